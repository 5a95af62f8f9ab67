#include "readers/zip_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "common/mask.h"
#include "common/zip_end_record.h"
#include "readers/listing_lines.h"

namespace ql {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint32_t kSpanSig = 0x08074b50;
constexpr uint32_t kZip64EndSig = 0x06064b50;
constexpr uint32_t kZip64LocatorSig = 0x07064b50;

constexpr size_t kLocalSize = 30;
constexpr size_t kCentralSize = 46;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndMin = 56;
constexpr size_t kCommentTextMax = 4096;  // comment texts printed are cut here

uint32_t Sig(const uint8_t* p, size_t got) { return got >= 4 ? Le32(p) : 0; }

// Where the central directory lies, found from the end record at the tail of the file.
struct CentralPlace {
  uint64_t start = 0;  // file position of its first entry
  uint64_t end = 0;    // where it ends: the Zip64 end record, or the end record
  uint64_t delta = 0;  // added to the offsets it holds (a stub they do not count)
};

// Finds the end record (it may be followed by a comment of up to 65,535 bytes) and, when the
// archive has them, the Zip64 locator and end record. The offsets of a stored archive count from
// its own start; a stub put in front shifts everything, which shows as the difference between
// where the central directory really ends and where the end record says it starts plus its size.
bool FindCentralDirectory(ByteWindow& in, CentralPlace* place) {
  uint64_t size = in.Size();
  if (size < kEndSize) return false;
  uint64_t tailStart = size > kZipEndSearch ? size - kZipEndSearch : 0;
  size_t got = 0;
  size_t tailLen = static_cast<size_t>(size - tailStart);
  std::vector<uint8_t> tail;
  {
    const uint8_t* p = in.Get(tailStart, tailLen, &got);
    tail.assign(p, p + got);
  }
  if (tail.size() < kEndSize) return false;
  const long found = FindZipEndRecord(tail.data(), tail.size(), tailStart + tail.size());
  const uint8_t* e = found < 0 ? nullptr : tail.data() + found;
  const uint64_t endPos = tailStart + static_cast<uint64_t>(found < 0 ? 0 : found);
  if (!e) return false;
  uint64_t cdSize = Le32(e + 12);
  uint64_t cdOffset = Le32(e + 16);
  uint64_t cdEnd = endPos;
  if (endPos >= kZip64LocatorSize + kZip64EndMin) {
    const uint8_t* loc = in.Get(endPos - kZip64LocatorSize, kZip64LocatorSize, &got);
    if (got == kZip64LocatorSize && Le32(loc) == kZip64LocatorSig) {
      // The Zip64 end record: where the locator says, or (when a stub shifted the
      // offsets) right before the locator.
      uint64_t candidates[2] = {Le64(loc + 8), endPos - kZip64LocatorSize - kZip64EndMin};
      for (uint64_t at : candidates) {
        const uint8_t* rec = in.Get(at, kZip64EndMin, &got);
        if (got == kZip64EndMin && Le32(rec) == kZip64EndSig) {
          cdSize = Le64(rec + 40);
          cdOffset = Le64(rec + 48);
          cdEnd = at;
          break;
        }
      }
    }
  }
  if (cdSize > cdEnd) return false;
  place->start = cdEnd - cdSize;
  place->end = cdEnd;
  place->delta = place->start - cdOffset;  // wraps when bytes are missing: offsets then land nowhere
  return true;
}

// Local header offsets taken from the central directory, found through the end record. Walking
// the local headers needs them for entries whose sizes follow their data (data descriptors), and
// the first of them is where the archive starts behind a stub too long to scan.
class CentralIndex {
 public:
  // Locates the end record at the tail of the file and reads the central directory's entries.
  bool Build(ByteWindow& in) {
    built_ = true;
    CentralPlace place;
    if (!FindCentralDirectory(in, &place)) return false;
    cdStart_ = place.start;
    return ReadEntries(in, place.start, place.end, place.delta);
  }

  bool built() const { return built_; }
  bool usable() const { return usable_; }
  // The lowest local header offset (in file positions); only when usable.
  uint64_t First() const { return offsets_.front(); }

  // Where the header after the one at `pos` begins: the next local header, or the central
  // directory after the last one. Always beyond `pos`.
  uint64_t NextAfter(uint64_t pos) const {
    auto it = std::upper_bound(offsets_.begin(), offsets_.end(), pos);
    if (it != offsets_.end()) return *it;
    return cdStart_ > pos ? cdStart_ : pos + 1;
  }

 private:
  bool ReadEntries(ByteWindow& in, uint64_t pos, uint64_t end, uint64_t delta) {
    offsets_.clear();
    while (pos + kCentralSize <= end) {
      size_t got = 0;
      const uint8_t* c = in.Get(pos, kCentralSize, &got);
      if (got < kCentralSize || Le32(c) != kCentralSig) break;
      uint16_t nameLen = Le16(c + 28), extraLen = Le16(c + 30), commentLen = Le16(c + 32);
      uint64_t local = Le32(c + 42);
      bool hasLength = Le32(c + 24) == 0xFFFFFFFF, hasSize = Le32(c + 20) == 0xFFFFFFFF;
      if (local == 0xFFFFFFFF) {
        size_t g = 0;
        const uint8_t* x = in.Get(pos + kCentralSize + nameLen, extraLen, &g);
        uint64_t found = 0;
        if (Zip64Field(x, g, hasLength, hasSize, &found)) local = found;
      }
      offsets_.push_back(local + delta);
      pos += kCentralSize + nameLen + extraLen + commentLen;
    }
    std::sort(offsets_.begin(), offsets_.end());
    usable_ = !offsets_.empty();
    return usable_;
  }

  // The local header offset from a Zip64 extra field (it follows the sizes that are saturated).
  static bool Zip64Field(const uint8_t* x, size_t len, bool hasLength, bool hasSize,
                         uint64_t* out) {
    for (size_t i = 0; i + 4 <= len;) {
      uint16_t id = Le16(x + i), n = Le16(x + i + 2);
      if (i + 4 + n > len) break;
      if (id == 1) {
        size_t at = (hasLength ? 8 : 0) + (hasSize ? 8 : 0);
        if (at + 8 > n) return false;
        *out = Le64(x + i + 4 + at);
        return true;
      }
      i += 4 + n;
    }
    return false;
  }

  bool built_ = false;
  bool usable_ = false;
  uint64_t cdStart_ = 0;
  std::vector<uint64_t> offsets_;
};

// Real sizes of a central entry whose 32-bit fields are saturated (Zip64 extra field 0x0001).
void ApplyZip64Sizes(const uint8_t* x, size_t len, uint64_t* length, uint64_t* size) {
  bool wantLength = *length == 0xFFFFFFFF, wantSize = *size == 0xFFFFFFFF;
  if (!wantLength && !wantSize) return;
  for (size_t i = 0; i + 4 <= len;) {
    uint16_t id = Le16(x + i), n = Le16(x + i + 2);
    if (i + 4 + n > len) return;
    if (id == 1) {
      size_t at = i + 4;
      size_t stop = i + 4 + n;
      if (wantLength && at + 8 <= stop) {
        *length = Le64(x + at);
        at += 8;
      }
      if (wantSize && at + 8 <= stop) *size = Le64(x + at);
      return;
    }
    i += 4 + n;
  }
}

constexpr uint16_t kUnicodePathId = 0x7075;  // Info-ZIP: version 1, CRC-32 of the header name, the name
constexpr uint16_t kUtf8Flag = 0x0800;       // general-purpose bit 11: the name is UTF-8

bool IsUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) continue;
    size_t k = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
    if (k == 0 || c > 0xF4 || i + k >= s.size()) return false;
    for (size_t j = 1; j <= k; ++j)
      if ((static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) return false;
    i += k;
  }
  return true;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// The real name of a central entry as UTF-8, as the unzips take it: from a Unicode path field
// written for the name as stored, from a name flagged UTF-8, from the DOS code page for DOS-family
// hosts, or a name that is UTF-8 by habit. Empty for a plain ASCII name and for a name nothing
// can say more of than its bytes.
std::string RealName(uint16_t madeBy, uint16_t flags, const uint8_t* header, size_t headerLen,
                     std::string_view stored, const uint8_t* x, size_t xLen, const NameText* names) {
  for (size_t i = 0; i + 4 <= xLen;) {
    uint16_t id = Le16(x + i), n = Le16(x + i + 2);
    if (i + 4 + n > xLen) break;
    if (id == kUnicodePathId && n > 5 && x[i + 4] == 1 &&
        Le32(x + i + 5) == static_cast<uint32_t>(crc32(0, header, static_cast<uInt>(headerLen))))
      return std::string(reinterpret_cast<const char*>(x + i + 9), n - 5u);
    i += 4u + n;
  }
  if (IsAscii(stored)) return std::string();
  if (flags & kUtf8Flag) return std::string(stored);
  unsigned host = madeBy >> 8;
  if (host == 0 || host == 6 || host == 11 || host == 14)
    return names && names->oemToUtf8 ? names->oemToUtf8(stored) : std::string();
  return IsUtf8(stored) ? std::string(stored) : std::string();
}

void Add(LineSink* s, const std::string& line) {
  if (s && s->add) s->add(s->ctx, line.data(), line.size());
}

// A list box takes a line up to its first carriage return.
void AddToList(LineSink* s, const std::string& line) {
  if (!s || !s->add) return;
  size_t cr = line.find('\r');
  s->add(s->ctx, line.data(), cr == std::string::npos ? line.size() : cr);
}

// A comment as printed: at most 4,096 bytes, and like a C string it ends at a NUL.
std::string_view PrintedComment(const uint8_t* p, size_t len) {
  size_t n = std::min(len, kCommentTextMax);
  const void* nul = memchr(p, 0, n);
  if (nul) n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - p);
  return std::string_view(reinterpret_cast<const char*>(p), n);
}

ZipStart LocateStart(ByteWindow& in, CentralIndex* index);

class ZipWalk {
 public:
  ZipWalk(const ByteSource& src, std::string_view path, const ListTargets& t)
      : in_(src), path_(path), t_(t) {
    out_.archiveSize = src.size;
  }

  ListOutcome Run() {
    ZipStart start = LocateStart(in_, &index_);
    if (!start.found) return Fail(kMsgZipDamaged, -1);
    if (start.spanning) return Fail(kMsgZipMultiVolume, -1, false);
    uint64_t pos = start.offset;
    if (!WalkLocal(&pos)) return Fail(kMsgZipDamaged, -1);
    return WalkCentral(pos);
  }

 private:
  ListOutcome Fail(unsigned message, int result, bool withPath = true) {
    out_.result = result;
    out_.message = message;
    if (withPath) out_.messageArg = std::string(path_);
    out_.fileCount = 0;
    out_.complete = false;
    return out_;
  }

  // Passes over the local headers and their data; leaves `pos` at the first other header.
  bool WalkLocal(uint64_t* pos) {
    for (;;) {
      size_t got = 0;
      const uint8_t* h = in_.Get(*pos, kLocalSize, &got);
      if (Sig(h, got) != kLocalSig) return true;
      if (got < kLocalSize) return false;
      uint16_t flags = Le16(h + 6);
      uint64_t size = Le32(h + 18);
      uint64_t next;
      ++out_.fileCount;
      out_.encryptedKnown = true;
      out_.encrypted = (flags & 1) != 0;
      if ((flags & 8) || size == 0xFFFFFFFF) {
        // Sizes follow the data (or sit in a Zip64 field): the central directory knows them.
        if (!index_.built()) index_.Build(in_);
        if (!index_.usable()) return false;
        next = index_.NextAfter(*pos);
      } else {
        if (out_.archiveSize < size) return false;
        next = *pos + kLocalSize + Le16(h + 26) + Le16(h + 28) + size;
      }
      *pos = next;
    }
  }

  ListOutcome WalkCentral(uint64_t pos) {
    size_t got = 0;
    const uint8_t* h = in_.Get(pos, kCentralSize, &got);
    if (got < kCentralSize || Le32(h) != kCentralSig) return Fail(kMsgZipDamaged, -1);
    if (t_.list && t_.fullLines && t_.list->columns)
      t_.list->columns(t_.list->ctx, " Name\t Length\t Size\t Ratio\t Date\t Time\r", "");
    bool lastMatched = false;
    for (;;) {
      if (!Entry(&pos, &lastMatched)) return Fail(kMsgZipDamaged, -1);
      h = in_.Get(pos, kCentralSize, &got);
      uint32_t sig = Sig(h, got);
      if (sig == kCentralSig) {
        // A file that ends inside the central directory is damaged.
        if (got < kCentralSize) return Fail(kMsgZipDamaged, -1);
        continue;
      }
      return End(pos, lastMatched);
    }
  }

  // One central entry at `*pos`: lines for the targets, sizes for the totals.
  bool Entry(uint64_t* pos, bool* matched) {
    size_t got = 0;
    const uint8_t* h = in_.Get(*pos, kCentralSize, &got);
    uint16_t time = Le16(h + 12), date = Le16(h + 14);
    uint64_t size = Le32(h + 20), length = Le32(h + 24);
    uint16_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    uint64_t total = kCentralSize + uint64_t{nameLen} + extraLen + commentLen;
    if (*pos + total > out_.archiveSize) return false;
    h = in_.Get(*pos, static_cast<size_t>(total), &got);
    const uint8_t* namePtr = h + kCentralSize;
    ApplyZip64Sizes(namePtr + nameLen, extraLen, &length, &size);

    name_.assign(reinterpret_cast<const char*>(namePtr), nameLen);
    size_t nul = name_.find('\0');
    if (nul != std::string::npos) name_.resize(nul);
    real_ = RealName(Le16(h + 4), Le16(h + 8), namePtr, nameLen, name_, namePtr + nameLen, extraLen, t_.names);
    real_.resize(std::min(real_.size(), real_.find('\0')));
    if (!real_.empty()) name_ = t_.names && t_.names->utf8ToLine ? t_.names->utf8ToLine(real_) : real_;
    std::replace(name_.begin(), name_.end(), '/', '\\');

    out_.totalLength += length;
    out_.totalSize += size;
    *matched = MatchFileMask(name_, t_.mask) || (t_.directoryEntries && !name_.empty() && name_.back() == '\\');
    if (*matched) {
      uint64_t commentPos = *pos + kCentralSize + nameLen + extraLen;
      line_.clear();
      AppendZipFileLine(&line_, name_, length, size, DosStamp(date, time));
      if (t_.list) {
        if (t_.fullLines) {
          if (real_.empty()) {
            AddToList(t_.list, line_);
          } else {
            std::string withReference = line_;
            AppendMemberReference(&withReference, real_);
            AddToList(t_.list, withReference);
          }
          if (commentLen) AddToList(t_.list, ReferenceLine("File Comment", commentPos, commentLen));
        } else {
          AddToList(t_.list, name_);
        }
      }
      if (t_.file) {
        Add(t_.file, line_);
        if (commentLen)
          Add(t_.file, MarkerLine("File Comment", PrintedComment(namePtr + nameLen + extraLen,
                                                                   commentLen)));
      }
    }
    *pos += total;
    return true;
  }

  // The end record (after a Zip64 end record and locator, when the archive has them).
  ListOutcome End(uint64_t pos, bool lastMatched) {
    size_t got = 0;
    const uint8_t* h = in_.Get(pos, kEndSize, &got);
    if (Sig(h, got) == kZip64EndSig) {
      h = in_.Get(pos, 12, &got);
      if (got < 12) return Fail(kMsgZipDamaged, -1);
      uint64_t recSize = Le64(h + 4);
      if (recSize > out_.archiveSize - pos - 12) return Fail(kMsgZipDamaged, -1);
      pos += 12 + recSize;
      h = in_.Get(pos, kEndSize, &got);
    }
    if (Sig(h, got) == kZip64LocatorSig) {
      pos += kZip64LocatorSize;
      h = in_.Get(pos, kEndSize, &got);
    }
    if (got < kEndSize) return Fail(kMsgZipDamaged, 0);
    if (Le32(h) != kEndSig) return Fail(kMsgZipDamaged, -1);
    uint16_t commentLen = Le16(h + 20);
    uint64_t commentPos = pos + kEndSize;
    // A title cut off by the end of the file: the file is damaged.
    if (commentPos + commentLen > out_.archiveSize) return Fail(kMsgZipDamaged, -1);
    if (commentLen && lastMatched) {
      uint64_t len = commentLen;
      if (t_.list && t_.fullLines) {
        std::string line = ReferenceLine("Title Comment", commentPos, len);
        if (t_.list->insertTop) t_.list->insertTop(t_.list->ctx, line.data(), line.size());
        else AddToList(t_.list, line);
      }
      if (t_.file) {
        const uint8_t* c = in_.Get(commentPos, std::min<size_t>(len, kCommentTextMax), &got);
        Add(t_.file, MarkerLine("Title Comment", PrintedComment(c, got)));
      }
    }
    out_.result = 1;
    out_.complete = true;
    return out_;
  }

  ByteWindow in_;
  std::string_view path_;
  const ListTargets& t_;
  ListOutcome out_;
  CentralIndex index_;
  std::string name_;
  std::string real_;  // the entry's real name as UTF-8 when it is not plain ASCII
  std::string line_;
};

ZipStart LocateStart(ByteWindow& in, CentralIndex* index) {
  ZipStart r;
  size_t got = 0;
  const uint8_t* p = in.Get(0, 4, &got);
  uint64_t at = 0;
  if (Sig(p, got) == kSpanSig) {
    r.spanning = true;
    at = 4;
    p = in.Get(at, 4, &got);
  }
  if (Sig(p, got) == kLocalSig) {
    r.found = true;
    r.offset = at;
    return r;
  }
  // One read of the bytes after that up to offset 32,760 past it (a stub's length), searched
  // from its first byte; a header one to three bytes in is found too.
  uint64_t from = at + 1;
  p = in.Get(from, static_cast<size_t>(kZipStartLimit) + 3, &got);
  for (size_t i = 0; i + 4 <= got; ++i) {
    if (p[i] == 'P' && Le32(p + i) == kLocalSig) {
      r.found = true;
      r.offset = from + i;
      return r;
    }
  }
  // A longer stub: the central directory, found from the end record, names the local headers;
  // the first of them starts the archive.
  if (!index->built()) index->Build(in);
  if (index->usable()) {
    p = in.Get(index->First(), 4, &got);
    if (Sig(p, got) == kLocalSig) {
      r.found = true;
      r.offset = index->First();
    }
  }
  return r;
}

}  // namespace

ZipStart LocateZipStart(ByteWindow& in) {
  CentralIndex index;
  return LocateStart(in, &index);
}

ListOutcome ReadZipListing(const ByteSource& src, std::string_view path,
                           const ListTargets& targets) {
  ZipWalk walk(src, path, targets);
  return walk.Run();
}

}  // namespace ql
