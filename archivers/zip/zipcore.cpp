#include "archivers/zip/zipcore.h"

#include <zlib.h>

#include "archivers/zip/new_methods.h"
#include "archivers/zip/old_methods.h"
#include "archivers/zip/winzip_aes.h"
#include "common/zip_end_record.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

namespace qlzip {

namespace {
constexpr uint32_t kSigLocal = 0x04034b50, kSigCentral = 0x02014b50, kSigEnd = 0x06054b50,
                   kSigEnd64 = 0x06064b50, kSigLoc64 = 0x07064b50, kSigDescriptor = 0x08074b50;
constexpr uint32_t kMax32 = 0xFFFFFFFFu;
// Info-ZIP's extra fields: version 1, CRC-32 of the header's field, then the UTF-8 text.
constexpr uint16_t kUnicodePathId = 0x7075, kUnicodeCommentId = 0x6375;

// ZipCrypto steps its keys one byte at a time through the CRC-32 table: zlib's own.
const z_crc_t* const g_crcTable = get_crc_table();

inline uint32_t CrcByte(uint32_t k, uint8_t b) {
  return (k >> 8) ^ static_cast<uint32_t>(g_crcTable[(k ^ b) & 0xFF]);
}

bool ReadExact(ByteSource& s, uint64_t off, void* buf, size_t len) { return s.ReadAt(off, buf, len) == len; }
}  // namespace

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint64_t Get64(const uint8_t* p) { return Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32; }
void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
static void Put64(std::vector<uint8_t>& v, uint64_t x) {
  Put32(v, static_cast<uint32_t>(x));
  Put32(v, static_cast<uint32_t>(x >> 32));
}

size_t MemorySource::ReadAt(uint64_t offset, void* buf, size_t len) {
  if (offset >= n_) return 0;
  size_t k = static_cast<size_t>(std::min<uint64_t>(len, n_ - offset));
  memcpy(buf, p_ + offset, k);
  return k;
}

uint32_t Crc32(uint32_t crc, const void* data, size_t len) {
  const Bytef* p = static_cast<const Bytef*>(data);
  while (len > 0) {  // zlib takes a uInt length
    uInt n = static_cast<uInt>(std::min<size_t>(len, 1u << 30));
    crc = static_cast<uint32_t>(crc32(crc, p, n));
    p += n;
    len -= n;
  }
  return crc;
}

// ZipCrypto ----------------------------------------------------------------------------------

ZipCrypto::ZipCrypto(const std::string& password) : k0_(0x12345678), k1_(0x23456789), k2_(0x34567890) {
  for (unsigned char c : password) Update(c);
}
void ZipCrypto::Update(uint8_t b) {
  k0_ = CrcByte(k0_, b);
  k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
  k2_ = CrcByte(k2_, static_cast<uint8_t>(k1_ >> 24));
}
uint8_t ZipCrypto::KeyByte() const {
  uint32_t t = (k2_ | 2) & 0xFFFF;
  return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}
void ZipCrypto::Decrypt(uint8_t* buf, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    uint8_t p = buf[i] ^ KeyByte();
    Update(p);
    buf[i] = p;
  }
}
void ZipCrypto::Encrypt(uint8_t* buf, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    uint8_t p = buf[i];
    buf[i] = p ^ KeyByte();
    Update(p);
  }
}

// Times ---------------------------------------------------------------------------------------

uint32_t UnixToDos(int64_t t) {
  time_t tt = static_cast<time_t>(t);
  struct tm tmv;
#ifdef _WIN32
  struct tm* p = localtime(&tt);
  if (!p) return (1 << 21) | (1 << 16);
  tmv = *p;
#else
  if (!localtime_r(&tt, &tmv)) return (1 << 21) | (1 << 16);
#endif
  int year = tmv.tm_year + 1900;
  if (year < 1980) return (1 << 21) | (1 << 16);  // 1980-01-01
  if (year > 2107) year = 2107;
  uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | (tmv.tm_mon + 1) << 5 | tmv.tm_mday);
  uint32_t tim = static_cast<uint32_t>(tmv.tm_hour << 11 | tmv.tm_min << 5 | tmv.tm_sec / 2);
  return date << 16 | tim;
}

int64_t DosToUnix(uint32_t dos) {
  struct tm tmv = {};
  uint32_t date = dos >> 16, tim = dos & 0xFFFF;
  tmv.tm_year = static_cast<int>((date >> 9) + 80);
  tmv.tm_mon = static_cast<int>(((date >> 5) & 15)) - 1;
  tmv.tm_mday = static_cast<int>(date & 31);
  tmv.tm_hour = static_cast<int>(tim >> 11);
  tmv.tm_min = static_cast<int>((tim >> 5) & 63);
  tmv.tm_sec = static_cast<int>((tim & 31) * 2);
  tmv.tm_isdst = -1;
  if (tmv.tm_mon < 0) tmv.tm_mon = 0;
  if (tmv.tm_mday == 0) tmv.tm_mday = 1;
  time_t t = mktime(&tmv);
  return t == static_cast<time_t>(-1) ? 315532800 : static_cast<int64_t>(t);
}

// Reading -------------------------------------------------------------------------------------

OpenResult Archive::Open(ByteSource& src) {
  entries.clear();
  comment.clear();
  warning.clear();
  leading = 0;
  uint64_t size = src.Size();
  if (size < 22) return OpenResult::kNotZip;
  size_t tail = static_cast<size_t>(std::min<uint64_t>(size, ql::kZipEndSearch));
  std::vector<uint8_t> buf(tail);
  if (!ReadExact(src, size - tail, buf.data(), tail)) return OpenResult::kNotZip;
  const long found = ql::FindZipEndRecord(buf.data(), tail, size);
  if (found < 0) return OpenResult::kNotZip;
  const uint8_t* e = &buf[static_cast<size_t>(found)];
  uint64_t endPos = size - tail + static_cast<uint64_t>(found);
  uint32_t disk = Get16(e + 4), cdDisk = Get16(e + 6);
  uint64_t count = Get16(e + 10), cdSize = Get32(e + 12), cdOffset = Get32(e + 16);
  comment.assign(reinterpret_cast<const char*>(e + 22), Get16(e + 20));
  uint64_t cdEnd = endPos;
  if (endPos >= 20) {
    uint8_t loc[20];
    if (ReadExact(src, endPos - 20, loc, 20) && Get32(loc) == kSigLoc64) {
      uint64_t e64 = Get64(loc + 8);
      uint8_t r[56];
      // The locator's offset does not count leading data; the record sits right before it.
      uint64_t at = endPos - 20 >= 56 ? endPos - 20 - 56 : 0;
      if (ReadExact(src, at, r, 56) && Get32(r) == kSigEnd64) {
        count = Get64(r + 32);
        cdSize = Get64(r + 40);
        cdOffset = Get64(r + 48);
        disk = Get32(r + 16);
        cdDisk = Get32(r + 20);
        cdEnd = at;
      } else if (ReadExact(src, e64, r, 56) && Get32(r) == kSigEnd64) {
        count = Get64(r + 32);
        cdSize = Get64(r + 40);
        cdOffset = Get64(r + 48);
        cdEnd = e64;
      } else {
        error = "bad Zip64 end record";
        return OpenResult::kDamaged;
      }
    }
  }
  if (disk != 0 || cdDisk != 0) return OpenResult::kMultiVolume;
  if (cdSize > cdEnd) {
    error = "central directory size beyond its end";
    return OpenResult::kDamaged;
  }
  uint64_t cdStart = cdEnd - cdSize;
  if (cdOffset > cdStart) {
    error = "central directory offset beyond its place";
    return OpenResult::kDamaged;
  }
  leading = cdStart - cdOffset;  // data in front of the archive (self-extractor)
  if (cdSize > (1u << 30) || count > cdSize / 46 + 1) {
    if (!(count == 0 && cdSize == 0)) {
      error = "central directory too large";
      return OpenResult::kDamaged;
    }
  }
  std::vector<uint8_t> cd(static_cast<size_t>(cdSize));
  if (cdSize && !ReadExact(src, cdStart, cd.data(), cd.size())) {
    error = "central directory unreadable";
    return OpenResult::kDamaged;
  }
  size_t pos = 0;
  entries.reserve(static_cast<size_t>(count));
  // Every entry the central directory holds is read, up to its real end: an end record that
  // counts too few would otherwise hide members.
  for (uint64_t n = 0; n < count || (pos + 46 <= cd.size() && Get32(&cd[pos]) == kSigCentral); ++n) {
    if (pos + 46 > cd.size() || Get32(&cd[pos]) != kSigCentral) {
      error = "central directory entry broken";
      return OpenResult::kDamaged;
    }
    const uint8_t* c = &cd[pos];
    Entry en;
    en.madeBy = Get16(c + 4);
    en.needed = Get16(c + 6);
    en.flags = Get16(c + 8);
    en.method = Get16(c + 10);
    en.dosTime = static_cast<uint32_t>(Get16(c + 14)) << 16 | Get16(c + 12);
    en.crc = Get32(c + 16);
    en.csize = Get32(c + 20);
    en.usize = Get32(c + 24);
    size_t nl = Get16(c + 28), xl = Get16(c + 30), cl = Get16(c + 32);
    uint32_t diskStart = Get16(c + 34);
    en.internalAttr = Get16(c + 36);
    en.externalAttr = Get32(c + 38);
    en.localOffset = Get32(c + 42);
    if (pos + 46 + nl + xl + cl > cd.size()) {
      error = "central directory entry broken";
      return OpenResult::kDamaged;
    }
    en.name.assign(reinterpret_cast<const char*>(c + 46), nl);
    const uint8_t* x = c + 46 + nl;
    size_t xp = 0;
    while (xp + 4 <= xl) {
      uint16_t id = Get16(x + xp), len = Get16(x + xp + 2);
      if (xp + 4 + len > xl) break;
      const uint8_t* d = x + xp + 4;
      if (id == 0x0001) {
        size_t k = 0;
        if (en.usize == kMax32 && k + 8 <= len) { en.usize = Get64(d + k); k += 8; }
        if (en.csize == kMax32 && k + 8 <= len) { en.csize = Get64(d + k); k += 8; }
        if (en.localOffset == kMax32 && k + 8 <= len) { en.localOffset = Get64(d + k); k += 8; }
        if (diskStart == 0xFFFF && k + 4 <= len) { diskStart = Get32(d + k); k += 4; }
      } else {
        if (id == kUnicodePathId && len > 5 && d[0] == 1 && Get32(d + 1) == Crc32(0, c + 46, nl))
          en.utf8Name.assign(reinterpret_cast<const char*>(d + 5), len - 5u);
        en.extra.insert(en.extra.end(), x + xp, x + xp + 4 + len);
      }
      xp += 4u + len;
    }
    en.comment.assign(reinterpret_cast<const char*>(c + 46 + nl + xl), cl);
    if (diskStart != 0) return OpenResult::kMultiVolume;
    en.localOffset += leading;
    pos += 46 + nl + xl + cl;
    // Local header: only its name and extra lengths are taken from it.
    uint8_t lh[30];
    if (en.localOffset + 30 > cdStart || !ReadExact(src, en.localOffset, lh, 30) || Get32(lh) != kSigLocal) {
      error = "local header missing for " + en.name;
      return OpenResult::kDamaged;
    }
    en.dataOffset = en.localOffset + 30 + Get16(lh + 26) + Get16(lh + 28);
    if (en.dataOffset > cdStart || en.csize > cdStart - en.dataOffset) {
      error = "data of " + en.name + " runs past the central directory";
      return OpenResult::kDamaged;
    }
    en.dataEnd = en.dataOffset + en.csize;
    entries.push_back(std::move(en));
  }
  if (entries.size() != count)
    warning = "the end record counts " + std::to_string(count) + " entries, the central directory holds " +
              std::to_string(entries.size());
  // No two entries may share bytes: overlapping entries are the shape of a decompression bomb.
  std::vector<std::pair<uint64_t, uint64_t>> spans;
  spans.reserve(entries.size());
  for (auto& en : entries) spans.emplace_back(en.localOffset, en.dataEnd);
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first < spans[i - 1].second) return OpenResult::kOverlap;
  // Data descriptors: extend each entry's span up to the next header so that copying keeps them.
  for (size_t i = 0; i < entries.size(); ++i) {
    Entry& en = entries[i];
    if (!(en.flags & 8)) continue;
    uint8_t d[24];
    size_t got = src.ReadAt(en.dataEnd, d, sizeof d);
    size_t k = 0;
    if (got >= 4 && Get32(d) == kSigDescriptor) k = 4;
    bool z64 = en.csize >= kMax32 || en.usize >= kMax32;
    size_t need = k + 4 + (z64 ? 16 : 8);
    // Streamed Zip64 descriptors carry 8-byte sizes even for small entries.
    if (!z64 && got >= k + 20 && Get32(d + k) == en.crc && Get64(d + k + 4) == en.csize &&
        Get64(d + k + 12) == en.usize)
      need = k + 20;
    if (got >= need) en.dataEnd += need;
  }
  return OpenResult::kOk;
}

std::string UnsupportedText(const Entry& e) {
  if (e.method == 99) {
    AesField aes;
    if (!FindAesField(e.extra, aes)) return "encrypted in a way that is not supported (method 99)";
    Entry inner = e;
    inner.method = aes.method;
    return UnsupportedText(inner);
  }
  if (e.flags & 0x40) return "encrypted with PKWARE strong encryption, which is not supported";
  static const struct {
    uint16_t method;
    const char* name;
  } kNames[] = {{7, "Tokenizing"}, {9, "Deflate64"}, {10, "PKWARE DCL Implode"}, {12, "bzip2"},
                {14, "LZMA"},      {18, "IBM TERSE"}, {19, "IBM LZ77 z"},  {93, "Zstandard"},
                {95, "XZ"},        {96, "JPEG"},      {97, "WavPack"},     {98, "PPMd"}};
  std::string name = "unknown";
  for (const auto& n : kNames)
    if (n.method == e.method) name = n.name;
  return "compression method not supported: " + name + " (method " + std::to_string(e.method) + ")";
}

const char* DecodeResultText(DecodeResult r) {
  switch (r) {
    case DecodeResult::kOk: return "OK";
    case DecodeResult::kCrc: return "CRC error";
    case DecodeResult::kPassword: return "incorrect password";
    case DecodeResult::kNeedPassword: return "encrypted, a password is needed";
    case DecodeResult::kMethod: return "compression method not supported";
    case DecodeResult::kDamaged: return "data damaged";
    case DecodeResult::kTooLong: return "data longer than its recorded size";
    case DecodeResult::kSink: return "could not write the output";
    case DecodeResult::kCancelled: return "cancelled";
  }
  return "error";
}

namespace {
// Decodes an entry whose data is plain or ZipCrypto-encrypted; `checkCrc` false for data whose
// stored CRC is not kept (WinZip AE-2).
DecodeResult DecodeEntryData(ByteSource& src, const Entry& e, const std::string& password, bool checkCrc,
                             const std::function<bool(const uint8_t*, size_t)>& sink) {
  if (e.method != 0 && e.method != 8 && !IsOldMethod(e.method) && !IsNewMethod(e.method))
    return DecodeResult::kMethod;
  if (e.flags & 0x40) return DecodeResult::kMethod;  // strong encryption
  uint64_t off = e.dataOffset, left = e.csize;
  ZipCrypto crypt(password);
  if (e.encrypted()) {
    if (password.empty()) return DecodeResult::kNeedPassword;
    if (left < 12) return DecodeResult::kDamaged;
    uint8_t hdr[12];
    if (!ReadExact(src, off, hdr, 12)) return DecodeResult::kDamaged;
    crypt.Decrypt(hdr, 12);
    if (hdr[11] != e.checkByte()) return DecodeResult::kPassword;
    off += 12;
    left -= 12;
  }
  // A stored entry holds exactly its size; deflate cannot expand beyond about 1032:1.
  if (e.method == 0 && left != e.usize) return DecodeResult::kDamaged;
  if (e.method == 8 && e.usize / 1032 > left + 1) return DecodeResult::kDamaged;
  // Past the check byte a wrong password still passes 1 time in 256; what it decrypts then
  // fails as deflate data, length or CRC. For an encrypted entry those say "wrong password".
  const DecodeResult badData = e.encrypted() ? DecodeResult::kPassword : DecodeResult::kDamaged;
  if (IsOldMethod(e.method) || IsNewMethod(e.method)) {
    // None of the old methods expands a byte into more than 8K bytes (a shrink code of 13 bits
    // stands for at most 8K - 256 bytes).
    if (IsOldMethod(e.method) && e.usize / 8192 > left + 1) return DecodeResult::kDamaged;
    uint32_t crc = 0;
    uint64_t produced = 0;
    auto pull = [&](uint8_t* buf, size_t len) -> size_t {
      size_t k = static_cast<size_t>(std::min<uint64_t>(left, len));
      if (k == 0 || !ReadExact(src, off, buf, k)) return 0;
      off += k;
      left -= k;
      if (e.encrypted()) crypt.Decrypt(buf, k);
      return k;
    };
    auto push = [&](const uint8_t* p, size_t len) {
      crc = Crc32(crc, p, len);
      produced += len;
      return sink(p, len);
    };
    const OldMethodResult r = IsOldMethod(e.method) ? DecodeOldMethod(e.method, e.flags, e.usize, pull, push)
                                                    : DecodeNewMethod(e.method, e.flags, e.usize, pull, push);
    switch (r) {
      case OldMethodResult::kSink: return DecodeResult::kSink;
      case OldMethodResult::kDamaged: return badData;
      case OldMethodResult::kOk: break;
    }
    if (produced != e.usize) return badData;
    if (checkCrc && crc != e.crc) return e.encrypted() ? DecodeResult::kPassword : DecodeResult::kCrc;
    return DecodeResult::kOk;
  }
  // Buffers as large as the entry needs, up to 64 KiB in and 128 KiB out, left uninitialised:
  // small entries (most of a big archive) cost no large allocation. Inflate writes straight into
  // the output buffer across input chunks; the CRC is taken over each new piece while it is fresh
  // in the cache, and the output is handed on when the buffer is full. Larger buffers measured
  // slower: the output then leaves the cache before it is written.
  constexpr uint64_t kInMax = 1 << 16, kOutMax = 1 << 17;
  const size_t inSize = static_cast<size_t>(std::max<uint64_t>(1, std::min(left, kInMax)));
  const size_t outSize = static_cast<size_t>(std::max<uint64_t>(1 << 12, std::min(e.usize, kOutMax)));
  bool inflating = e.method == 8;
  std::unique_ptr<uint8_t[]> in(new uint8_t[inSize]);
  std::unique_ptr<uint8_t[]> out(inflating ? new uint8_t[outSize] : nullptr);
  size_t filled = 0;  // output in `out` not yet handed on
  uint32_t crc = 0;
  uint64_t produced = 0;
  z_stream zs;
  memset(&zs, 0, sizeof zs);
  if (inflating && inflateInit2(&zs, -15) != Z_OK) return DecodeResult::kDamaged;
  struct Closer {
    z_stream* z;
    bool on;
    ~Closer() { if (on) inflateEnd(z); }
  } closer{&zs, inflating};
  bool ended = false;
  while (left > 0 || (inflating && !ended)) {
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, inSize));
    if (chunk && !ReadExact(src, off, in.get(), chunk)) return DecodeResult::kDamaged;
    off += chunk;
    left -= chunk;
    if (e.encrypted()) crypt.Decrypt(in.get(), chunk);
    if (!inflating) {
      produced += chunk;
      crc = Crc32(crc, in.get(), chunk);
      if (!sink(in.get(), chunk)) return DecodeResult::kSink;
      continue;
    }
    zs.next_in = in.get();
    zs.avail_in = static_cast<uInt>(chunk);
    do {
      if (filled == outSize) {
        if (!sink(out.get(), filled)) return DecodeResult::kSink;
        filled = 0;
      }
      zs.next_out = out.get() + filled;
      zs.avail_out = static_cast<uInt>(outSize - filled);
      int r = inflate(&zs, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) return badData;
      size_t n = outSize - filled - zs.avail_out;
      produced += n;
      if (produced > e.usize) return e.encrypted() ? badData : DecodeResult::kTooLong;
      crc = Crc32(crc, out.get() + filled, n);
      filled += n;
      if (r == Z_STREAM_END) {
        ended = true;
        break;
      }
      if (r == Z_BUF_ERROR && zs.avail_in == 0 && n == 0) break;
    } while (zs.avail_out == 0 || zs.avail_in > 0);
    if (!ended && left == 0 && zs.avail_in == 0) {
      // Input used up without the end of the stream.
      return badData;
    }
    if (ended) break;
  }
  if (filled && !sink(out.get(), filled)) return DecodeResult::kSink;
  if (produced != e.usize) return badData;
  if (checkCrc && crc != e.crc) return e.encrypted() ? DecodeResult::kPassword : DecodeResult::kCrc;
  return DecodeResult::kOk;
}
// A WinZip AES member: the password check, then the authentication code over all of the
// encrypted data, and only then the data itself, decrypted on the way into the decoder: a member
// whose code does not match hands nothing to the sink.
DecodeResult DecodeAesEntry(ByteSource& src, const Entry& e, const std::string& password,
                            const std::function<bool(const uint8_t*, size_t)>& sink) {
  AesField field;
  if (!FindAesField(e.extra, field)) return DecodeResult::kMethod;
  if (password.empty()) return DecodeResult::kNeedPassword;
  AesMember member(src, e.dataOffset, e.csize, field);
  switch (member.Open(password)) {
    case AesMember::Status::kOk: break;
    case AesMember::Status::kPassword: return DecodeResult::kPassword;
    default: return DecodeResult::kDamaged;
  }
  if (member.Authenticate() != AesMember::Status::kOk) return DecodeResult::kDamaged;
  Entry inner = e;
  inner.method = field.method;
  inner.flags &= static_cast<uint16_t>(~1);
  inner.dataOffset = 0;
  inner.csize = member.plainSize();
  return DecodeEntryData(member.Plain(), inner, std::string(), field.version == 1, sink);
}
}  // namespace

DecodeResult DecodeEntry(ByteSource& src, const Entry& e, const std::string& password,
                         const std::function<bool(const uint8_t*, size_t)>& sink) {
  if (e.method == 99 && !(e.flags & 0x40)) return DecodeAesEntry(src, e, password, sink);
  return DecodeEntryData(src, e, password, true, sink);
}

// Writing -------------------------------------------------------------------------------------

uint16_t LevelFlags(int level) {
  if (level >= 8) return 2;        // maximum
  if (level == 2) return 6;        // super fast
  if (level >= 3 && level <= 4) return 4;  // fast
  if (level == 1) return 6;
  return 0;
}

namespace {
std::mt19937& Rng() {
  static thread_local std::mt19937 rng([] {
    std::random_device rd;
    return rd() ^ static_cast<uint32_t>(time(nullptr)) ^ static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&rd));
  }());
  return rng;
}

void CryptHeader(ZipCrypto& zc, uint8_t check, std::vector<uint8_t>& out) {
  uint8_t h[12];
  for (int i = 0; i < 11; ++i) h[i] = static_cast<uint8_t>(Rng()() >> 13);
  h[11] = check;
  zc.Encrypt(h, 12);
  out.insert(out.end(), h, h + 12);
}
}  // namespace

void EncodeBuffer(const uint8_t* data, size_t len, int level, const std::string& password, Entry& e, Encoded& out) {
  e.crc = Crc32(0, data, len);
  e.usize = len;
  e.flags &= static_cast<uint16_t>(~(1 | 6 | 8));
  std::vector<uint8_t>& d = out.data;
  d.clear();
  size_t head = password.empty() ? 0 : 12;
  bool stored = level == 0 || len == 0;
  if (!stored) {
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    deflateInit2(&zs, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    d.resize(head + deflateBound(&zs, static_cast<uLong>(len)));
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(len);
    zs.next_out = d.data() + head;
    zs.avail_out = static_cast<uInt>(d.size() - head);
    int r = deflate(&zs, Z_FINISH);
    size_t n = zs.total_out;
    deflateEnd(&zs);
    if (r != Z_STREAM_END || n >= len) {
      stored = true;
    } else {
      d.resize(head + n);
      e.method = 8;
      e.flags |= LevelFlags(level);
    }
  }
  if (stored) {
    e.method = 0;
    d.resize(head + len);
    if (len) memcpy(d.data() + head, data, len);
  }
  e.needed = e.method == 8 || head ? 20 : 10;
  if (head) {
    e.flags |= 1;
    ZipCrypto zc(password);
    std::vector<uint8_t> h;
    CryptHeader(zc, static_cast<uint8_t>(e.crc >> 24), h);
    memcpy(d.data(), h.data(), 12);
    zc.Encrypt(d.data() + 12, d.size() - 12);
  }
  e.csize = d.size();
}

struct StreamEncoder::Impl {
  z_stream zs;
  bool deflating;
  bool crypt;
  bool headerDone = false;
  ZipCrypto zc;
  explicit Impl(const std::string& pw) : zc(pw) {}
};

StreamEncoder::StreamEncoder(int level, const std::string& password, Entry& e) : e_(e) {
  impl_ = new Impl(password);
  memset(&impl_->zs, 0, sizeof impl_->zs);
  impl_->deflating = level > 0;
  impl_->crypt = !password.empty();
  e.crc = 0;
  e.usize = 0;
  e.csize = 0;
  e.flags &= static_cast<uint16_t>(~(1 | 6 | 8));
  if (impl_->deflating) {
    deflateInit2(&impl_->zs, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    e.method = 8;
    e.flags |= LevelFlags(level);
  } else {
    e.method = 0;
  }
  e.needed = impl_->deflating || impl_->crypt ? 20 : 10;
}

StreamEncoder::~StreamEncoder() {
  if (impl_->deflating) deflateEnd(&impl_->zs);
  delete impl_;
}

void StreamEncoder::Emit(std::vector<uint8_t>& out, size_t from) {
  if (impl_->crypt) impl_->zc.Encrypt(out.data() + from, out.size() - from);
  e_.csize += out.size() - from;
}

void StreamEncoder::Feed(const uint8_t* data, size_t len, std::vector<uint8_t>& out) {
  size_t from = out.size();
  if (impl_->crypt && !impl_->headerDone) {
    // First call: the encryption header. Streamed entries check against the time field.
    impl_->headerDone = true;
    e_.flags |= 1 | 8;
    CryptHeader(impl_->zc, static_cast<uint8_t>(e_.dosTime >> 8), out);
    e_.csize += 12;
    from = out.size();
  }
  e_.crc = Crc32(e_.crc, data, len);
  e_.usize += len;
  if (!impl_->deflating) {
    out.insert(out.end(), data, data + len);
  } else {
    z_stream& zs = impl_->zs;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(len);
    while (zs.avail_in > 0) {
      size_t at = out.size();
      out.resize(at + (1 << 16));
      zs.next_out = out.data() + at;
      zs.avail_out = 1 << 16;
      deflate(&zs, Z_NO_FLUSH);
      out.resize(out.size() - zs.avail_out);
    }
  }
  Emit(out, from);
}

void StreamEncoder::Finish(std::vector<uint8_t>& out) {
  if (impl_->crypt && !impl_->headerDone) {
    impl_->headerDone = true;
    e_.flags |= 1 | 8;
    CryptHeader(impl_->zc, static_cast<uint8_t>(e_.dosTime >> 8), out);
    e_.csize += 12;
  }
  size_t from = out.size();
  if (impl_->deflating) {
    z_stream& zs = impl_->zs;
    zs.next_in = nullptr;
    zs.avail_in = 0;
    int r;
    do {
      size_t at = out.size();
      out.resize(at + (1 << 16));
      zs.next_out = out.data() + at;
      zs.avail_out = 1 << 16;
      r = deflate(&zs, Z_FINISH);
      out.resize(out.size() - zs.avail_out);
    } while (r != Z_STREAM_END);
  }
  Emit(out, from);
}

namespace {
bool NeedsZip64(const Entry& e) { return e.usize >= kMax32 || e.csize >= kMax32; }
}

namespace {

// The Info-ZIP Unicode path and comment fields of an extra field: readers compare the local name
// with the central one, so a local header carries them as well.
std::vector<uint8_t> UnicodeFields(const std::vector<uint8_t>& extra) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 4 <= extra.size();) {
    uint16_t id = Get16(&extra[i]), len = Get16(&extra[i + 2]);
    if (i + 4 + len > extra.size()) break;
    if (id == kUnicodePathId || id == kUnicodeCommentId)
      out.insert(out.end(), extra.begin() + i, extra.begin() + i + 4 + len);
    i += 4u + len;
  }
  return out;
}

}  // namespace

std::vector<uint8_t> LocalHeader(const Entry& e) {
  std::vector<uint8_t> v;
  v.reserve(30 + e.name.size() + 20);
  bool z64 = NeedsZip64(e);
  const std::vector<uint8_t> unicode = UnicodeFields(e.extra);
  bool desc = e.flags & 8;
  Put32(v, kSigLocal);
  Put16(v, z64 ? 45 : e.needed);
  Put16(v, e.flags);
  Put16(v, e.method);
  Put16(v, e.dosTime & 0xFFFF);
  Put16(v, e.dosTime >> 16);
  Put32(v, desc ? 0 : e.crc);
  Put32(v, z64 ? kMax32 : desc ? 0 : static_cast<uint32_t>(e.csize));
  Put32(v, z64 ? kMax32 : desc ? 0 : static_cast<uint32_t>(e.usize));
  Put16(v, static_cast<uint32_t>(e.name.size()));
  Put16(v, static_cast<uint32_t>((z64 ? 20 : 0) + unicode.size()));
  v.insert(v.end(), e.name.begin(), e.name.end());
  if (z64) {
    Put16(v, 1);
    Put16(v, 16);
    Put64(v, e.usize);
    Put64(v, e.csize);
  }
  v.insert(v.end(), unicode.begin(), unicode.end());
  return v;
}

std::vector<uint8_t> DataDescriptor(const Entry& e) {
  std::vector<uint8_t> v;
  Put32(v, kSigDescriptor);
  Put32(v, e.crc);
  if (NeedsZip64(e)) {
    Put64(v, e.csize);
    Put64(v, e.usize);
  } else {
    Put32(v, static_cast<uint32_t>(e.csize));
    Put32(v, static_cast<uint32_t>(e.usize));
  }
  return v;
}

std::vector<uint8_t> CentralHeader(const Entry& e) {
  std::vector<uint8_t> v, z;
  v.reserve(46 + e.name.size() + 28 + e.extra.size() + e.comment.size());
  if (e.usize >= kMax32) Put64(z, e.usize);
  if (e.csize >= kMax32) Put64(z, e.csize);
  if (e.localOffset >= kMax32) Put64(z, e.localOffset);
  Put32(v, kSigCentral);
  Put16(v, e.madeBy);
  Put16(v, z.empty() ? e.needed : 45);
  Put16(v, e.flags);
  Put16(v, e.method);
  Put16(v, e.dosTime & 0xFFFF);
  Put16(v, e.dosTime >> 16);
  Put32(v, e.crc);
  Put32(v, e.csize >= kMax32 ? kMax32 : static_cast<uint32_t>(e.csize));
  Put32(v, e.usize >= kMax32 ? kMax32 : static_cast<uint32_t>(e.usize));
  Put16(v, static_cast<uint32_t>(e.name.size()));
  Put16(v, static_cast<uint32_t>(e.extra.size() + (z.empty() ? 0 : 4 + z.size())));
  Put16(v, static_cast<uint32_t>(e.comment.size()));
  Put16(v, 0);
  Put16(v, e.internalAttr);
  Put32(v, e.externalAttr);
  Put32(v, e.localOffset >= kMax32 ? kMax32 : static_cast<uint32_t>(e.localOffset));
  v.insert(v.end(), e.name.begin(), e.name.end());
  if (!z.empty()) {
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(z.size()));
    v.insert(v.end(), z.begin(), z.end());
  }
  v.insert(v.end(), e.extra.begin(), e.extra.end());
  v.insert(v.end(), e.comment.begin(), e.comment.end());
  return v;
}

std::vector<uint8_t> EndRecord(uint64_t count, uint64_t cdSize, uint64_t cdOffset, const std::string& comment) {
  std::vector<uint8_t> v;
  bool z64 = count >= 0xFFFF || cdSize >= kMax32 || cdOffset >= kMax32;
  if (z64) {
    uint64_t at = cdOffset + cdSize;
    Put32(v, kSigEnd64);
    Put64(v, 44);
    Put16(v, 45);
    Put16(v, 45);
    Put32(v, 0);
    Put32(v, 0);
    Put64(v, count);
    Put64(v, count);
    Put64(v, cdSize);
    Put64(v, cdOffset);
    Put32(v, kSigLoc64);
    Put32(v, 0);
    Put64(v, at);
    Put32(v, 1);
  }
  Put32(v, kSigEnd);
  Put16(v, 0);
  Put16(v, 0);
  Put16(v, count >= 0xFFFF ? 0xFFFF : static_cast<uint32_t>(count));
  Put16(v, count >= 0xFFFF ? 0xFFFF : static_cast<uint32_t>(count));
  Put32(v, cdSize >= kMax32 ? kMax32 : static_cast<uint32_t>(cdSize));
  Put32(v, cdOffset >= kMax32 ? kMax32 : static_cast<uint32_t>(cdOffset));
  size_t cl = std::min<size_t>(comment.size(), 0xFFFF);
  Put16(v, static_cast<uint32_t>(cl));
  v.insert(v.end(), comment.begin(), comment.begin() + static_cast<long>(cl));
  return v;
}

}  // namespace qlzip
