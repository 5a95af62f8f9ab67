#include "readers/arj_reader.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include <zlib.h>

#include "common/mask.h"
#include "readers/listing_lines.h"

namespace ql {

namespace {

constexpr uint16_t kHeaderId = 0xEA60;
constexpr size_t kFixedMin = 30;  // smallest fixed part of a basic header
constexpr size_t kFirstRead = 34;

enum ArjFileType { kBinary = 0, kText = 1, kMain = 2, kDirectory = 3, kLabel = 4 };
enum ArjHost { kHostUnix = 2, kHostNext = 8 };

// ARJ on UNIX hosts stores seconds since 1970 (UTC) where DOS hosts store a DOS date and time;
// both are shown in local calendar fields.
Stamp EntryStamp(uint8_t host, uint32_t stamp) {
  if (host != kHostUnix && host != kHostNext) return DosStamp(stamp >> 16, stamp & 0xFFFF);
  time_t t = static_cast<time_t>(stamp);
  Stamp s;
  const struct tm* tm = localtime(&t);
  if (!tm) tm = gmtime(&t);
  if (!tm) return s;
  s.year = tm->tm_year + 1900;
  s.month = tm->tm_mon + 1;
  s.day = tm->tm_mday;
  s.hour = tm->tm_hour;
  s.minute = tm->tm_min;
  return s;
}

void Add(LineSink* s, const std::string& line) {
  if (s && s->add) s->add(s->ctx, line.data(), line.size());
}

// CRC-32 (the ZIP and ARJ polynomial) of `n` bytes; a basic header is at most a few KB.
uint32_t Crc32(const uint8_t* p, size_t n) {
  return static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

// The NUL-terminated string at the start of `p` (all of it without a NUL).
std::string_view CString(const uint8_t* p, size_t n) {
  const void* nul = memchr(p, 0, n);
  size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : n;
  return std::string_view(reinterpret_cast<const char*>(p), len);
}

class ArjWalk {
 public:
  ArjWalk(const ByteSource& src, const ListTargets& t) : in_(src), t_(t) {
    out_.archiveSize = src.size;
  }

  ListOutcome Run() {
    if (t_.list && t_.fullLines && t_.list->columns)
      t_.list->columns(t_.list->ctx, " Filename\tLength\t Size\t Date\t Time",
                       " --------------------\t-------\t-------\t--------\t------");
    size_t got = 0;
    const uint8_t* h = in_.Get(0, kFirstRead, &got);
    if (got < kFirstRead || Le16(h) != kHeaderId) return Damaged();
    uint64_t pos = 0;
    for (;;) {
      h = in_.Get(pos, 4, &got);
      if (got < 4) break;  // the file ends without the end marker: what was read stands
      if (Le16(h) != kHeaderId) return Damaged();
      size_t basic = Le16(h + 2);
      if (basic == 0) break;  // end marker
      if (basic > kArjHeaderMax || basic < kFixedMin) return Damaged();
      // The basic header and its CRC. A header whose CRC does not match is damaged: its sizes
      // and name cannot be trusted, and ARJ itself refuses it.
      h = in_.Get(pos, 4 + basic + 4, &got);
      if (got < 4 + basic + 4) break;
      if (Crc32(h + 4, basic) != Le32(h + 4 + basic)) return Damaged();
      if (!Header(pos, h + 4, basic)) return Damaged();
      // Then the chain of extended headers, each with its own CRC.
      uint64_t at = pos + 4 + basic + 4;
      bool cut = false;
      for (;;) {
        const uint8_t* x = in_.Get(at, 2, &got);
        if (got < 2) {
          cut = true;
          break;
        }
        uint16_t n = Le16(x);
        at += 2;
        if (n == 0) break;
        at += uint64_t{n} + 4;
      }
      if (cut) break;
      pos = at + skip_;
    }
    out_.result = static_cast<int>(std::min<uint32_t>(out_.fileCount, INT32_MAX));
    out_.complete = true;
    return out_;
  }

 private:
  ListOutcome Damaged() {
    out_.result = -1;
    out_.message = kMsgBadArj;
    out_.fileCount = 0;
    out_.complete = false;
    return out_;
  }

  // One basic header (`b`, `basic` bytes: the fixed part, the name and the comment) at `pos`.
  bool Header(uint64_t pos, const uint8_t* b, size_t basic) {
    size_t fixed = b[0];
    if (fixed < kFixedMin || fixed > basic) return false;
    uint8_t host = b[3];
    uint8_t type = b[6];
    uint32_t stamp = Le32(b + 8);
    uint64_t size = Le32(b + 12), length = Le32(b + 16);
    // The main header keeps times and the archive's own size where entries keep their sizes.
    if (type == kMain || length == 0) size = 0;
    if (type == kMain) length = 0;
    out_.totalLength += length;
    out_.totalSize += size;
    skip_ = size;
    if (type > kLabel) return true;

    // The name follows the whole fixed part, whatever its size; then the comment.
    const uint8_t* text = b + fixed;
    size_t textLen = basic - fixed;
    std::string_view rawName = CString(text, textLen);
    size_t commentAt = std::min(rawName.size() + 1, textLen);
    std::string_view comment = CString(text + commentAt, textLen - commentAt);
    name_.assign(rawName);
    std::replace(name_.begin(), name_.end(), '/', '\\');
    uint64_t namePos = pos + 4 + fixed;
    uint64_t spanLen = name_.size() + 1 + comment.size();

    bool matched = MatchFileMask(name_, t_.mask);
    if (!matched) return true;
    if (type == kBinary || type == kText) ++out_.fileCount;
    bool full = t_.list && t_.fullLines;
    switch (type) {
      case kBinary:
      case kText:
        line_.clear();
        AppendArjFileLine(&line_, name_, length, size, EntryStamp(host, stamp));
        if (full) Add(t_.list, line_);
        if (t_.list && !t_.fullLines) Add(t_.list, name_);
        Add(t_.file, line_);
        if (!comment.empty()) {
          if (full) Add(t_.list, ReferenceLine("File Comment", namePos, spanLen));
          Add(t_.file, MarkerLine("File Comment", comment));
        }
        break;
      case kMain:
        if (!comment.empty()) {
          if (full) Add(t_.list, ReferenceLine("Title", namePos, spanLen));
          Add(t_.file, MarkerLine("Title", comment));
        }
        break;
      case kDirectory:
      case kLabel:
        if (!comment.empty() || (type == kDirectory && t_.directoryEntries)) {
          std::string line = MarkerLine(type == kDirectory ? "Directory" : "Volume Label", name_);
          if (full) Add(t_.list, line);
          Add(t_.file, line);
        }
        break;
    }
    return true;
  }

  ByteWindow in_;
  const ListTargets& t_;
  ListOutcome out_;
  uint64_t skip_ = 0;
  std::string name_;
  std::string line_;
};

}  // namespace

ListOutcome ReadArjListing(const ByteSource& src, const ListTargets& targets) {
  ArjWalk walk(src, targets);
  return walk.Run();
}

}  // namespace ql
