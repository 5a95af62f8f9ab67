#include "archivers/arj/arj_format.h"

#include "common/member_path.h"
#include "common/pe_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace arj {
namespace {

void Put16(std::vector<uint8_t>* o, uint32_t v) {
  o->push_back(static_cast<uint8_t>(v));
  o->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* o, uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

bool IsSep(char c) { return c == '/' || c == '\\'; }

std::vector<std::string> SplitComponents(const std::string& s) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (IsSep(c)) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

}  // namespace

uint32_t Header::ResumePosition() const {
  if (extra.size() >= 4) return ReadLe32(extra.data());
  return 0;
}

void Header::SetResumePosition(uint32_t pos) {
  if (extra.size() < 4) {
    extra.resize(4, 0);
    if (first_size < 34) first_size = 34;
  }
  extra[0] = static_cast<uint8_t>(pos);
  extra[1] = static_cast<uint8_t>(pos >> 8);
  extra[2] = static_cast<uint8_t>(pos >> 16);
  extra[3] = static_cast<uint8_t>(pos >> 24);
}

ParseResult ParseHeader(const uint8_t* data, size_t size, Header* h, size_t* used) {
  HeaderFields f;
  ParseResult r = ParseHeaderFields(data, size, &f, used);
  if (r != ParseResult::kOk) return r;
  h->first_size = f.first_size;
  h->version = f.version;
  h->min_version = f.min_version;
  h->host_os = f.host_os;
  h->flags = f.flags;
  h->method = f.method;
  h->file_type = f.file_type;
  h->garble_mod = f.garble_mod;
  h->mtime = f.mtime;
  h->comp_size = f.comp_size;
  h->orig_size = f.orig_size;
  h->crc = f.crc;
  h->entry_pos = f.entry_pos;
  h->access_mode = f.access_mode;
  h->byte28 = f.byte28;
  h->byte29 = f.byte29;
  h->extra.assign(f.extra, f.extra + f.extra_size);
  h->name.assign(f.name, f.name_size);
  h->comment.assign(f.comment, f.comment_size);
  h->ext_headers.clear();
  for (const uint8_t *p = f.ext_chain, *end = p + f.ext_chain_size; p < end;) {
    size_t n = ReadLe16(p);
    h->ext_headers.emplace_back(p + 2, p + 2 + n);
    p += 2 + n + 4;
  }
  return ParseResult::kOk;
}

bool WriteHeader(const Header& h, std::vector<uint8_t>* out) {
  size_t first = 30 + h.extra.size();
  size_t basic = first + h.name.size() + 1 + h.comment.size() + 1;
  if (basic > kMaxBasicSize || first > 255) return false;
  out->push_back(kIdLo);
  out->push_back(kIdHi);
  Put16(out, static_cast<uint32_t>(basic));
  size_t start = out->size();
  out->push_back(static_cast<uint8_t>(first));
  out->push_back(h.version);
  out->push_back(h.min_version);
  out->push_back(h.host_os);
  out->push_back(h.flags);
  out->push_back(h.method);
  out->push_back(h.file_type);
  out->push_back(h.garble_mod);
  Put32(out, h.mtime);
  Put32(out, h.comp_size);
  Put32(out, h.orig_size);
  Put32(out, h.crc);
  Put16(out, h.entry_pos);
  Put16(out, h.access_mode);
  out->push_back(h.byte28);
  out->push_back(h.byte29);
  out->insert(out->end(), h.extra.begin(), h.extra.end());
  out->insert(out->end(), h.name.begin(), h.name.end());
  out->push_back(0);
  out->insert(out->end(), h.comment.begin(), h.comment.end());
  out->push_back(0);
  Put32(out, Crc32(out->data() + start, basic));
  for (const auto& e : h.ext_headers) {
    if (e.empty() || e.size() > 0xFFFF) continue;
    Put16(out, static_cast<uint32_t>(e.size()));
    out->insert(out->end(), e.begin(), e.end());
    Put32(out, Crc32(e.data(), e.size()));
  }
  Put16(out, 0);
  return true;
}

void WriteEndMarker(std::vector<uint8_t>* out) {
  out->push_back(kIdLo);
  out->push_back(kIdHi);
  out->push_back(0);
  out->push_back(0);
}

CalendarTime FromDosTime(uint32_t d) {
  CalendarTime t;
  t.year = 1980 + static_cast<int>(d >> 25);
  t.month = (d >> 21) & 15;
  t.day = (d >> 16) & 31;
  t.hour = (d >> 11) & 31;
  t.minute = (d >> 5) & 63;
  t.second = (d & 31) * 2;
  return t;
}

uint32_t ToDosTime(const CalendarTime& t) {
  int year = t.year < 1980 ? 1980 : (t.year > 2107 ? 2107 : t.year);
  if (t.year < 1980) return (1u << 21) | (1u << 16);
  return (static_cast<uint32_t>(year - 1980) << 25) | (static_cast<uint32_t>(t.month) << 21) |
         (static_cast<uint32_t>(t.day) << 16) | (static_cast<uint32_t>(t.hour) << 11) |
         (static_cast<uint32_t>(t.minute) << 5) | static_cast<uint32_t>(t.second / 2);
}

// Days from 1970-01-01 for a proleptic Gregorian date, and back.
static int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CalendarTime FromUnixTime(int64_t s) {
  int64_t days = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
  int64_t rem = s - days * 86400;
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  CalendarTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (t.month <= 2));
  t.hour = static_cast<int>(rem / 3600);
  t.minute = static_cast<int>(rem / 60 % 60);
  t.second = static_cast<int>(rem % 60);
  return t;
}

int64_t ToUnixTime(const CalendarTime& t) {
  unsigned m = t.month < 1 ? 1 : (t.month > 12 ? 12 : t.month);
  unsigned d = t.day < 1 ? 1 : (t.day > 31 ? 31 : t.day);
  return DaysFromCivil(t.year, m, d) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string StoredName(const std::string& path) {
  std::string s = path;
  if (s.size() >= 2 && s[1] == ':') s.erase(0, 2);
  for (char& c : s)
    if (c == '\\') c = '/';
  for (;;) {
    if (!s.empty() && s[0] == '/') {
      s.erase(0, 1);
    } else if (s.compare(0, 2, "./") == 0) {
      s.erase(0, 2);
    } else {
      break;
    }
  }
  // Remove inner "./" components and doubled separators.
  std::string out;
  for (const std::string& c : SplitComponents(s)) {
    if (c.empty() || c == ".") continue;
    if (!out.empty()) out += '/';
    out += c;
  }
  return out;
}

std::string SafeRelativePath(const std::string& name) {
  std::string clean, why;
  return ql::SafeMemberPath(name, clean, why) ? clean : std::string();
}

std::string BaseName(const std::string& name) {
  size_t p = name.find_last_of("/\\");
  return p == std::string::npos ? name : name.substr(p + 1);
}

std::string NextVolumeName(const std::string& name, int index) {
  size_t slash = name.find_last_of("/\\");
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    char buf[8];
    snprintf(buf, sizeof buf, ".%03d", index);
    return name + buf;
  }
  std::string stem = name.substr(0, dot + 1), ext = name.substr(dot + 1);
  bool digits = !ext.empty();
  for (char c : ext) digits = digits && c >= '0' && c <= '9';
  char buf[16];
  if (digits) {
    snprintf(buf, sizeof buf, "%03d", atoi(ext.c_str()) + index);
  } else if (index < 100) {
    snprintf(buf, sizeof buf, "%c%02d", ext.empty() ? 'A' : ext[0], index);
  } else {
    snprintf(buf, sizeof buf, "%03d", index);
  }
  return stem + buf;
}

std::string FollowingVolumeName(const std::string& name) {
  size_t slash = name.find_last_of("/\\");
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return NextVolumeName(name, 1);
  std::string ext = name.substr(dot + 1);
  size_t digits = 0;
  while (digits < ext.size() && ext[ext.size() - 1 - digits] >= '0' &&
         ext[ext.size() - 1 - digits] <= '9')
    ++digits;
  if (ext.size() == 3 && digits >= 2) {
    int n = atoi(ext.c_str() + 3 - digits) + 1;
    char buf[8];
    if (digits == 3 || n > 99) {
      snprintf(buf, sizeof buf, "%03d", n);
    } else {
      snprintf(buf, sizeof buf, "%c%02d", ext[0], n);
    }
    return name.substr(0, dot + 1) + buf;
  }
  return NextVolumeName(name, 1);
}

bool FindAppendedArchive(const uint8_t* head, size_t size, uint64_t* at, std::string* name) {
  HeaderFields h;
  *at = ql::FindAfterImage(head, size, [&h](const uint8_t* p, size_t left) {
    size_t used = 0;
    return left >= 2 && p[0] == kIdLo && p[1] == kIdHi && ParseHeaderFields(p, left, &h, &used) == ParseResult::kOk &&
           h.file_type == kMainHeader;
  });
  if (*at == 0) return false;
  name->assign(h.name, h.name_size);
  return true;
}

}  // namespace arj
