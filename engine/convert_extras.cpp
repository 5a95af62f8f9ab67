#include "engine/convert_extras.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "readers/arj_reader.h"
#include "readers/byte_source.h"

namespace ql {

namespace {

char FoldedChar(char c) {
  if (c == '\\') return '/';
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view WithoutEndSeparator(std::string_view s) {
  if (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.remove_suffix(1);
  return s;
}

void Put16(std::string* out, uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Set16(std::string* s, size_t at, uint32_t v) {
  (*s)[at] = static_cast<char>(v & 0xFF);
  (*s)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The first comment not yet given whose member is `name`; -1 for none.
long CommentFor(std::string_view name, const std::vector<MemberComment>& comments, const std::vector<bool>& given) {
  for (size_t i = 0; i < comments.size(); ++i)
    if (!given[i] && SameMemberName(name, comments[i].name)) return static_cast<long>(i);
  return -1;
}

size_t CountNotGiven(const std::vector<bool>& given) {
  return static_cast<size_t>(std::count(given.begin(), given.end(), false));
}

// ZIP records: signatures, sizes and field offsets.
constexpr uint32_t kLocalSig = 0x04034B50, kCentralSig = 0x02014B50, kEndSig = 0x06054B50;
constexpr size_t kCentralSize = 46;
constexpr uint32_t kNoZip64Past = 0xFFFFFFFF;  // a field of this value or more needs Zip64
constexpr size_t kCenNameLen = 28, kCenExtraLen = 30, kCenCommentLen = 32;
constexpr size_t kEndDisk = 4, kEndDirDisk = 6, kEndDiskEntries = 8, kEndEntries = 10, kEndDirSize = 12,
                 kEndDirOffset = 16, kEndCommentLen = 20;
constexpr uint16_t kVersionFolder = 10;     // 1.0: a stored entry without data
constexpr uint16_t kMadeByDos = 20;         // version 2.0 on MS-DOS: the attributes are DOS ones
constexpr uint32_t kDosFolderAttribute = 0x10;
constexpr uint16_t kUtf8NameFlag = 0x0800;

// A stored ZIP name of the folder `name` as listed: "/" between folders and at the end.
std::string ZipFolderName(std::string_view name) {
  std::string out(WithoutEndSeparator(name));
  std::replace(out.begin(), out.end(), '\\', '/');
  return out + "/";
}

// Whether `name` has letters beyond ASCII, all of them in well-formed UTF-8: the name came from
// an archive that marked its names as UTF-8 (a name in a DOS code page is hardly ever
// well-formed UTF-8), and the new entry says so too.
bool Utf8Name(const std::string& name) {
  bool beyondAscii = false;
  for (size_t i = 0; i < name.size();) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    size_t follow = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : 4;
    if (follow == 4 || name.size() - i <= follow) return false;
    for (size_t k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return false;
    beyondAscii = beyondAscii || follow > 0;
    i += follow + 1;
  }
  return beyondAscii;
}

// ARJ header fields.
constexpr uint16_t kArjId = 0xEA60;
constexpr size_t kArjFixedMin = 30;
constexpr size_t kArjFlags = 4, kArjFileType = 6, kArjCompressedSize = 12;
constexpr uint8_t kArjMainType = 2, kArjDirectoryType = 3;
constexpr uint8_t kArjMainVolume = 0x04, kArjMainProtected = 0x08, kArjMainSecured = 0x40;
constexpr uint8_t kArjEntryVolume = 0x04, kArjEntryContinued = 0x08;

uint32_t Crc32Of(const std::string& s) {
  return static_cast<uint32_t>(crc32(0, Bytes(s), static_cast<uInt>(s.size())));
}

}  // namespace

bool SameMemberName(std::string_view a, std::string_view b) {
  a = WithoutEndSeparator(a);
  b = WithoutEndSeparator(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldedChar(a[i]) != FoldedChar(b[i])) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// ZIP

bool PlainZipDirectory(const uint8_t* end, uint64_t fileSize, uint64_t* offset, uint64_t* size,
                       uint16_t* entries) {
  if (fileSize < kZipEndSize || Le32(end) != kEndSig || Le16(end + kEndCommentLen) != 0) return false;
  if (Le16(end + kEndDisk) != 0 || Le16(end + kEndDirDisk) != 0) return false;
  uint16_t count = Le16(end + kEndEntries);
  if (count != Le16(end + kEndDiskEntries) || count == 0xFFFF) return false;
  uint32_t at = Le32(end + kEndDirOffset), length = Le32(end + kEndDirSize);
  if (at == kNoZip64Past || length == kNoZip64Past) return false;
  // Zip64 records would lie between the directory and the end record.
  if (uint64_t{at} + length != fileSize - kZipEndSize) return false;
  *offset = at;
  *size = length;
  *entries = count;
  return true;
}

bool ZipTailWithExtras(const std::string& directory, uint64_t offset, uint16_t entries,
                       const std::vector<MemberComment>& comments,
                       const std::vector<std::string>& folders, uint32_t dosStamp, std::string* tail,
                       size_t* missed) {
  std::vector<bool> given(comments.size(), false);
  std::vector<std::string> names;  // stored names of the entries, old and new
  std::string central;
  size_t pos = 0;
  for (uint16_t i = 0; i < entries; ++i) {
    if (directory.size() - pos < kCentralSize) return false;
    const uint8_t* h = Bytes(directory) + pos;
    if (Le32(h) != kCentralSig) return false;
    size_t nameLen = Le16(h + kCenNameLen), extraLen = Le16(h + kCenExtraLen), commentLen = Le16(h + kCenCommentLen);
    size_t total = kCentralSize + nameLen + extraLen + commentLen;
    if (directory.size() - pos < total) return false;
    std::string name = directory.substr(pos + kCentralSize, nameLen);
    std::string entry = directory.substr(pos, total);
    long c = CommentFor(name, comments, given);
    if (c >= 0 && comments[c].text.size() <= 0xFFFF) {
      given[c] = true;
      entry.resize(kCentralSize + nameLen + extraLen);
      entry += comments[c].text;
      Set16(&entry, kCenCommentLen, static_cast<uint32_t>(comments[c].text.size()));
    }
    central += entry;
    names.push_back(std::move(name));
    pos += total;
  }
  if (pos != directory.size()) return false;

  std::string locals;
  size_t count = entries;
  for (const std::string& folder : folders) {
    if (std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameMemberName(n, folder); }))
      continue;
    std::string name = ZipFolderName(folder);
    if (name.size() > 0xFFFF) return false;
    uint64_t at = offset + locals.size();
    if (at >= kNoZip64Past) return false;
    std::string comment;
    long c = CommentFor(folder, comments, given);
    if (c >= 0 && comments[c].text.size() <= 0xFFFF) {
      given[c] = true;
      comment = comments[c].text;
    }
    // A stored entry without data: version 1.0, CRC and sizes 0.
    uint16_t flags = Utf8Name(name) ? kUtf8NameFlag : 0;
    Put32(&locals, kLocalSig);
    Put16(&locals, kVersionFolder);
    Put16(&locals, flags);
    Put16(&locals, 0);
    Put32(&locals, dosStamp);
    Put32(&locals, 0);
    Put32(&locals, 0);
    Put32(&locals, 0);
    Put16(&locals, static_cast<uint32_t>(name.size()));
    Put16(&locals, 0);
    locals += name;

    Put32(&central, kCentralSig);
    Put16(&central, kMadeByDos);
    Put16(&central, kVersionFolder);
    Put16(&central, flags);
    Put16(&central, 0);
    Put32(&central, dosStamp);
    Put32(&central, 0);
    Put32(&central, 0);
    Put32(&central, 0);
    Put16(&central, static_cast<uint32_t>(name.size()));
    Put16(&central, 0);
    Put16(&central, static_cast<uint32_t>(comment.size()));
    Put16(&central, 0);  // disk
    Put16(&central, 0);  // internal attributes
    Put32(&central, kDosFolderAttribute);
    Put32(&central, static_cast<uint32_t>(at));
    central += name;
    central += comment;
    names.push_back(name);
    ++count;
  }
  uint64_t newOffset = offset + locals.size();
  if (count >= 0xFFFF || newOffset >= kNoZip64Past || central.size() >= kNoZip64Past) return false;

  std::string out = locals + central;
  Put32(&out, kEndSig);
  Put16(&out, 0);
  Put16(&out, 0);
  Put16(&out, static_cast<uint32_t>(count));
  Put16(&out, static_cast<uint32_t>(count));
  Put32(&out, static_cast<uint32_t>(central.size()));
  Put32(&out, static_cast<uint32_t>(newOffset));
  Put16(&out, 0);
  *tail = std::move(out);
  *missed = CountNotGiven(given);
  return true;
}

// ---------------------------------------------------------------------------------------------
// ARJ

bool CopyArjWithComments(const ReadBytes& read, const WriteBytes& write,
                         const std::vector<MemberComment>& comments, size_t* missed) {
  auto readAll = [&](std::string* into, size_t n) {
    into->resize(n);
    size_t done = 0;
    while (done < n) {
      size_t got = read(&(*into)[done], n - done);
      if (got == 0) return false;
      done += got;
    }
    return true;
  };
  auto put = [&](const std::string& s) { return s.empty() || write(s.data(), s.size()); };
  std::vector<bool> given(comments.size(), false);
  size_t tooLong = 0;
  std::string head, basic, crc, ext, data;
  for (bool first = true;; first = false) {
    if (!readAll(&head, 4) || Le16(Bytes(head)) != kArjId) return false;
    size_t basicSize = Le16(Bytes(head) + 2);
    if (basicSize == 0) {
      // The end marker, and whatever follows it, as it is.
      if (first || !put(head)) return false;
      char buf[64 * 1024];
      for (size_t got; (got = read(buf, sizeof buf)) > 0;)
        if (!write(buf, got)) return false;
      break;
    }
    if (basicSize < kArjFixedMin || basicSize > kArjHeaderMax) return false;
    if (!readAll(&basic, basicSize) || !readAll(&crc, 4) || Crc32Of(basic) != Le32(Bytes(crc))) return false;
    const uint8_t* b = Bytes(basic);
    size_t fixed = b[0];
    uint8_t flags = b[kArjFlags], type = b[kArjFileType];
    if (fixed < kArjFixedMin || fixed > basicSize) return false;
    uint64_t dataSize = 0;
    if (first) {
      if (type != kArjMainType || (flags & (kArjMainVolume | kArjMainProtected | kArjMainSecured))) return false;
    } else {
      if (flags & (kArjEntryVolume | kArjEntryContinued)) return false;
      dataSize = Le32(b + kArjCompressedSize);
      std::string_view text(basic.data() + fixed, basicSize - fixed);
      std::string name(text.substr(0, text.find('\0')));
      long c = type <= 1 || type == kArjDirectoryType ? CommentFor(name, comments, given) : -1;
      if (c >= 0) {
        const std::string& comment = comments[c].text;
        std::string rebuilt = basic.substr(0, fixed) + name + '\0' + comment + '\0';
        if (comment.find('\0') != std::string::npos || rebuilt.size() > kArjHeaderMax) {
          given[c] = true;
          ++tooLong;
        } else {
          given[c] = true;
          basic = std::move(rebuilt);
          Set16(&head, 2, static_cast<uint32_t>(basic.size()));
          uint32_t sum = Crc32Of(basic);
          crc.clear();
          Put32(&crc, sum);
        }
      }
    }
    if (!put(head) || !put(basic) || !put(crc)) return false;
    // The extended headers: a size, the bytes and their CRC each, until a size of 0.
    for (;;) {
      if (!readAll(&ext, 2) || !put(ext)) return false;
      size_t n = Le16(Bytes(ext));
      if (n == 0) break;
      if (!readAll(&ext, n + 4) || !put(ext)) return false;
    }
    while (dataSize > 0) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(dataSize, 256 * 1024));
      if (!readAll(&data, n) || !put(data)) return false;
      dataSize -= n;
    }
  }
  *missed = CountNotGiven(given) + tooLong;
  return true;
}

}  // namespace ql
