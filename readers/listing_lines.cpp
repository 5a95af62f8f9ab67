#include "readers/listing_lines.h"

#include "common/member_reference.h"

namespace ql {

namespace {

// printf-style "%0<width>d" / "%<width>d" for a signed value.
void AppendInt(std::string* out, int64_t v, int width, char pad) {
  char digits[24];
  int n = 0;
  bool negative = v < 0;
  uint64_t u = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  do {
    digits[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  int len = n + (negative ? 1 : 0);
  if (pad == ' ')
    for (; len < width; ++len) out->push_back(' ');
  if (negative) out->push_back('-');
  if (pad == '0')
    for (; len < width; ++len) out->push_back('0');
  while (n) out->push_back(digits[--n]);
}

void AppendUnsigned(std::string* out, uint64_t v) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  while (n) out->push_back(digits[--n]);
}

void AppendNames(std::string* out, std::string_view name, uint64_t length, uint64_t size) {
  out->append(name);
  out->push_back('\t');
  out->append(name);
  out->push_back('\t');
  AppendUnsigned(out, length);
  out->push_back('\t');
  AppendUnsigned(out, size);
  out->push_back('\t');
}

}  // namespace

Stamp DosStamp(uint16_t date, uint16_t time) {
  Stamp s;
  s.year = 1980 + (date >> 9);
  s.month = (date >> 5) & 15;
  s.day = date & 31;
  s.hour = time >> 11;
  s.minute = (time >> 5) & 63;
  return s;
}

int64_t ZipRatio(uint64_t length, uint64_t size) {
  if (length == 0) return 0;
  // size * 100 / length without forming size * 100, which wraps for large sizes.
  uint64_t whole = size / length, rest = size % length;
  const uint64_t kLimit = static_cast<uint64_t>(INT64_MAX) / 100 - 1;
  if (whole > kLimit) return INT64_MIN + 100;  // absurd growth: as negative as it gets
  uint64_t fraction = rest <= UINT64_MAX / 100 ? rest * 100 / length : rest / (length / 100);
  return 100 - static_cast<int64_t>(whole * 100 + fraction);
}

void AppendZipFileLine(std::string* out, std::string_view name, uint64_t length, uint64_t size,
                       const Stamp& when) {
  AppendNames(out, name, length, size);
  AppendInt(out, ZipRatio(length, size), 2, '0');
  out->append("%\t");
  AppendInt(out, when.month, 2, '0');
  out->push_back('-');
  AppendInt(out, when.day, 2, '0');
  out->push_back('-');
  // Two digits of the year: years from 2000 on would otherwise show as 100 and more.
  AppendInt(out, when.year % 100, 2, '0');
  out->push_back('\t');
  int hour = when.hour;
  char half = hour >= 12 ? 'p' : 'a';
  if (hour == 0) hour = 12;
  else if (hour > 12) hour -= 12;
  AppendInt(out, hour, 2, ' ');
  out->push_back(':');
  AppendInt(out, when.minute, 2, '0');
  out->push_back(half);
}

void AppendArjFileLine(std::string* out, std::string_view name, uint64_t length, uint64_t size,
                       const Stamp& when) {
  AppendNames(out, name, length, size);
  AppendInt(out, when.month, 2, '0');
  out->push_back('/');
  AppendInt(out, when.day, 2, '0');
  out->push_back('/');
  AppendInt(out, when.year, 2, '0');
  out->push_back('\t');
  int hour = when.hour;
  char half = hour >= 12 ? 'p' : 'a';
  if (hour > 12) hour -= 12;
  AppendInt(out, hour, 2, '0');
  out->push_back(':');
  AppendInt(out, when.minute, 2, '0');
  out->push_back(half);
}

void AppendMemberReference(std::string* line, std::string_view utf8Name) {
  line->push_back('\t');
  line->append(MemberReference(utf8Name));
}

std::string ReferenceLine(std::string_view label, uint64_t offset, uint64_t length) {
  std::string s = "> ";
  s.append(label);
  s.append(": ");
  AppendUnsigned(&s, offset);
  s.push_back(' ');
  AppendUnsigned(&s, length);
  return s;
}

std::string MarkerLine(std::string_view label, std::string_view text) {
  std::string s = "> ";
  s.append(label);
  s.append(": ");
  s.append(text);
  return s;
}

std::optional<std::string_view> LineLongName(std::string_view line) {
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  return line.substr(0, tab);
}

std::optional<std::string_view> LineShortName(std::string_view line) {
  size_t first = line.find('\t');
  if (first == std::string_view::npos) return std::nullopt;
  size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  return line.substr(first + 1, second - first - 1);
}

int64_t LineSizeField(std::string_view line) {
  size_t first = line.find('\t');
  if (first == std::string_view::npos) return 0;
  size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) return 0;
  size_t third = line.find('\t', second + 1);
  if (third == std::string_view::npos) return 0;
  std::string_view field = line.substr(second + 1, third - second - 1);
  size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  uint64_t v = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    uint64_t d = static_cast<uint64_t>(field[i] - '0');
    if (v > (static_cast<uint64_t>(INT64_MAX) - d) / 10) return negative ? INT64_MIN : INT64_MAX;
    v = v * 10 + d;
  }
  return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
}

std::string_view LineSelectedName(std::string_view line, bool shortNames) {
  std::optional<std::string_view> field = shortNames ? LineShortName(line) : LineLongName(line);
  return field ? *field : line;
}

std::optional<std::string_view> LineMemberReference(std::string_view line) {
  if (IsMarkerLine(line)) return std::nullopt;
  size_t tab = line.rfind('\t');
  // Never the name field itself: a file line has its columns before the reference.
  if (tab == std::string_view::npos || tab == line.find('\t')) return std::nullopt;
  std::string_view field = line.substr(tab + 1);
  std::string name;
  if (!MemberReferenceName(field, &name)) return std::nullopt;
  return field;
}

std::string_view LineWithoutReference(std::string_view line) {
  std::optional<std::string_view> ref = LineMemberReference(line);
  return ref ? line.substr(0, line.size() - ref->size() - 1) : line;
}

std::string_view LineMemberName(std::string_view line, bool shortNames) {
  std::optional<std::string_view> ref = LineMemberReference(line);
  return ref ? *ref : LineSelectedName(line, shortNames);
}

std::string_view LineFirstField(std::string_view line) {
  return line.substr(0, line.find('\t'));
}

DirLineKind ClassifyDirLine(std::string_view line) {
  if (line.empty()) return DirLineKind::Empty;
  if (line[0] == '>') return DirLineKind::Marker;
  if (line[0] != '[') return DirLineKind::File;
  std::string_view name = line.substr(0, line.find('\t'));
  // Directory and drive lines end after their two name fields; a file line goes on with its size.
  size_t first = line.find('\t');
  size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
  bool moreFields = second != std::string_view::npos && second + 1 < line.size();
  if (moreFields || name.size() < 2 || name.back() != ']') return DirLineKind::File;
  if (name == "[..]") return DirLineKind::Parent;
  if (name.size() == 5 && name[1] == '-' && name[3] == '-') return DirLineKind::Drive;
  return DirLineKind::Directory;
}

std::optional<std::string_view> LineDirectoryName(std::string_view line) {
  DirLineKind kind = ClassifyDirLine(line);
  if (kind != DirLineKind::Directory && kind != DirLineKind::Parent) return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

bool LineCommentReference(std::string_view line, uint64_t* offset, uint64_t* length) {
  if (!IsMarkerLine(line)) return false;
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  uint64_t values[2] = {0, 0};
  size_t i = colon + 1;
  for (uint64_t& v : values) {
    while (i < line.size() && line[i] == ' ') ++i;
    size_t start = i;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
      if (v > (UINT64_MAX - 9) / 10) return false;
      v = v * 10 + static_cast<uint64_t>(line[i] - '0');
    }
    if (i == start) return false;
  }
  if (i != line.size()) return false;
  *offset = values[0];
  *length = values[1];
  return true;
}

}  // namespace ql
