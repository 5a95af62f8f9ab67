// LZMA decoding (ZIP method 14), and LZMA2 chunks in the .xz container (ZIP method 95).
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "archivers/zip/new_methods.h"
#include "archivers/zip/pulled_bytes.h"
#include "archivers/zip/zipcore.h"

namespace qlzip {

namespace {

constexpr int kProbBits = 11;
constexpr uint16_t kProbInit = 1 << (kProbBits - 1);
constexpr int kMoveBits = 5;
constexpr uint32_t kTop = 1u << 24;

class RangeDecoder {
 public:
  explicit RangeDecoder(PulledBytes& in) : in_(&in) {}
  // The first byte is always 0; a code equal to the range cannot come from an encoder.
  bool Init() {
    range_ = 0xFFFFFFFFu;
    code_ = 0;
    uint8_t first = in_->Byte();
    for (int i = 0; i < 4; ++i) code_ = code_ << 8 | in_->Byte();
    return first == 0 && code_ != range_;
  }
  int Bit(uint16_t& p) {
    uint32_t bound = (range_ >> kProbBits) * p;
    int bit;
    if (code_ < bound) {
      range_ = bound;
      p = static_cast<uint16_t>(p + (((1u << kProbBits) - p) >> kMoveBits));
      bit = 0;
    } else {
      range_ -= bound;
      code_ -= bound;
      p = static_cast<uint16_t>(p - (p >> kMoveBits));
      bit = 1;
    }
    Normalize();
    return bit;
  }
  uint32_t Direct(int n) {
    uint32_t r = 0;
    while (n-- > 0) {
      range_ >>= 1;
      uint32_t t = code_ >= range_ ? 1 : 0;
      code_ -= range_ & (0u - t);
      r = r << 1 | t;
      Normalize();
    }
    return r;
  }
  // n-bit tree, most significant bit first.
  uint32_t Tree(uint16_t* probs, int n) {
    uint32_t m = 1;
    for (int i = 0; i < n; ++i) m = m << 1 | static_cast<uint32_t>(Bit(probs[m]));
    return m - (1u << n);
  }
  uint32_t ReverseTree(uint16_t* probs, int n) {
    uint32_t m = 1, r = 0;
    for (int i = 0; i < n; ++i) {
      uint32_t b = static_cast<uint32_t>(Bit(probs[m]));
      m = m << 1 | b;
      r |= b << i;
    }
    return r;
  }
  bool finished() const { return code_ == 0; }

 private:
  void Normalize() {
    if (range_ < kTop) {
      range_ <<= 8;
      code_ = code_ << 8 | in_->Byte();
    }
  }
  PulledBytes* in_;
  uint32_t range_ = 0, code_ = 0;
};

// The dictionary: a circular buffer that is handed on each time it wraps and at the end.
class Dictionary {
 public:
  Dictionary(LimitedSink& out) : out_(out) {}
  bool Allocate(uint64_t size) {
    size = std::max<uint64_t>(size, 4096);
    if (size > (uint64_t{1} << 32) + 4096) return false;
    buf_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    size_ = static_cast<size_t>(size);
    return buf_ != nullptr;
  }
  void Reset() { total_ = 0; }
  uint64_t total() const { return total_; }
  // The byte `dist` + 1 back.
  uint8_t Back(uint32_t dist) const {
    size_t i = pos_ >= size_t{dist} + 1 ? pos_ - dist - 1 : pos_ + size_ - dist - 1;
    return buf_[i];
  }
  bool Put(uint8_t b) {
    buf_[pos_++] = b;
    ++total_;
    return pos_ != size_ || Wrap();
  }
  // Whether a match `dist` + 1 back fits in what the dictionary holds.
  bool Reaches(uint32_t dist) const { return dist < total_ && dist < size_; }
  bool Copy(uint32_t dist, uint32_t len) {
    while (len > 0) {
      size_t src = pos_ >= size_t{dist} + 1 ? pos_ - dist - 1 : pos_ + size_ - dist - 1;
      size_t n = std::min<size_t>({len, size_ - pos_, size_ - src});
      uint8_t* d = buf_.get() + pos_;
      const uint8_t* s = buf_.get() + src;
      if (dist + 1 >= n) {
        memmove(d, s, n);  // the source may lie just ahead of the target, across the wrap
      } else {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
      }
      pos_ += n;
      total_ += n;
      len -= static_cast<uint32_t>(n);
      if (pos_ == size_ && !Wrap()) return false;
    }
    return true;
  }
  // Copies n bytes of an uncompressed LZMA2 chunk.
  bool Stored(PulledBytes& in, size_t n) {
    while (n > 0) {
      size_t k = std::min(n, size_ - pos_);
      if (!in.Read(buf_.get() + pos_, k)) return false;
      pos_ += k;
      total_ += k;
      n -= k;
      if (pos_ == size_ && !Wrap()) return false;
    }
    return true;
  }
  bool Flush() {
    bool ok = out_.Push(buf_.get() + flushed_, pos_ - flushed_);
    flushed_ = pos_;
    return ok;
  }

 private:
  bool Wrap() {
    if (!Flush()) return false;
    pos_ = flushed_ = 0;
    return true;
  }
  LimitedSink& out_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t size_ = 0, pos_ = 0, flushed_ = 0;
  uint64_t total_ = 0;
};

struct LenCoder {
  uint16_t choice, choice2, low[16][8], mid[16][8], high[256];
  void Reset() {
    choice = choice2 = kProbInit;
    std::fill(&low[0][0], &low[0][0] + 16 * 8, kProbInit);
    std::fill(&mid[0][0], &mid[0][0] + 16 * 8, kProbInit);
    std::fill(high, high + 256, kProbInit);
  }
  // The match length less 2.
  uint32_t Decode(RangeDecoder& rc, uint32_t posState) {
    if (!rc.Bit(choice)) return rc.Tree(low[posState], 3);
    if (!rc.Bit(choice2)) return 8 + rc.Tree(mid[posState], 3);
    return 16 + rc.Tree(high, 8);
  }
};

enum class LzmaStop { kLimit, kMarker, kDamaged, kSink };

class Lzma {
 public:
  Lzma(RangeDecoder& rc, Dictionary& dict) : rc_(rc), dict_(dict) {}
  // lc + lp * 9 + pb * 45; false when out of range (LZMA2 also wants lc + lp <= 4).
  bool SetProperties(uint8_t b, bool lzma2) {
    if (b >= 9 * 5 * 5) return false;
    lc_ = b % 9;
    lp_ = (b / 9) % 5;
    pb_ = b / 45;
    if (lzma2 && lc_ + lp_ > 4) return false;
    literals_.resize(size_t{0x300} << (lc_ + lp_));
    return true;
  }
  void ResetState() {
    std::fill(literals_.begin(), literals_.end(), kProbInit);
    for (auto* a : {&isMatch_[0], &isRep0Long_[0]}) std::fill(a, a + 12 * 16, kProbInit);
    for (auto* a : {isRep_, isRepG0_, isRepG1_, isRepG2_}) std::fill(a, a + 12, kProbInit);
    std::fill(&slot_[0][0], &slot_[0][0] + 4 * 64, kProbInit);
    std::fill(special_, special_ + 115, kProbInit);
    std::fill(align_, align_ + 16, kProbInit);
    len_.Reset();
    repLen_.Reset();
    state_ = 0;
    rep0_ = rep1_ = rep2_ = rep3_ = 0;
  }

  // Decodes until the dictionary's total reaches `end`, or to the end marker when allowed.
  LzmaStop Run(uint64_t end, bool markerAllowed) {
    const uint32_t pbMask = (1u << pb_) - 1, lpMask = (1u << lp_) - 1;
    // The coder works on a copy that lives in registers; it goes back when the run ends.
    RangeDecoder rc = rc_;
    struct Keep {
      RangeDecoder& to;
      const RangeDecoder& from;
      ~Keep() { to = from; }
    } keep{rc_, rc};
    Dictionary& dict = dict_;
    while (dict.total() < end) {
      const uint64_t total = dict.total();
      const uint32_t posState = static_cast<uint32_t>(total) & pbMask;
      if (!rc.Bit(isMatch_[state_ * 16 + posState])) {
        uint32_t prev = total ? dict.Back(0) : 0;
        uint16_t* probs = literals_.data() +
                          0x300 * (((static_cast<uint32_t>(total) & lpMask) << lc_) + (prev >> (8 - lc_)));
        uint32_t sym = 1;
        if (state_ >= 7) {
          uint32_t match = dict.Back(rep0_);
          do {
            uint32_t mbit = (match >> 7) & 1;
            match <<= 1;
            uint32_t bit = static_cast<uint32_t>(rc.Bit(probs[0x100 + (mbit << 8) + sym]));
            sym = sym << 1 | bit;
            if (bit != mbit) break;
          } while (sym < 0x100);
        }
        while (sym < 0x100) sym = sym << 1 | static_cast<uint32_t>(rc.Bit(probs[sym]));
        state_ = state_ < 4 ? 0 : state_ < 10 ? state_ - 3 : state_ - 6;
        if (!dict.Put(static_cast<uint8_t>(sym))) return LzmaStop::kSink;
        continue;
      }
      uint32_t len;
      if (!rc.Bit(isRep_[state_])) {
        len = len_.Decode(rc, posState);
        state_ = state_ < 7 ? 7 : 10;
        uint32_t dist = Distance(rc, len);
        if (dist == 0xFFFFFFFFu) return markerAllowed ? LzmaStop::kMarker : LzmaStop::kDamaged;
        rep3_ = rep2_;
        rep2_ = rep1_;
        rep1_ = rep0_;
        rep0_ = dist;
      } else {
        if (total == 0) return LzmaStop::kDamaged;
        if (!rc.Bit(isRepG0_[state_])) {
          if (!rc.Bit(isRep0Long_[state_ * 16 + posState])) {
            state_ = state_ < 7 ? 9 : 11;
            if (!dict.Reaches(rep0_)) return LzmaStop::kDamaged;
            if (!dict.Put(dict.Back(rep0_))) return LzmaStop::kSink;
            continue;
          }
        } else {
          uint32_t dist;
          if (!rc.Bit(isRepG1_[state_])) {
            dist = rep1_;
          } else {
            if (!rc.Bit(isRepG2_[state_])) {
              dist = rep2_;
            } else {
              dist = rep3_;
              rep3_ = rep2_;
            }
            rep2_ = rep1_;
          }
          rep1_ = rep0_;
          rep0_ = dist;
        }
        len = repLen_.Decode(rc, posState);
        state_ = state_ < 7 ? 8 : 11;
      }
      len += 2;
      if (!dict.Reaches(rep0_) || len > end - total) return LzmaStop::kDamaged;
      if (!dict.Copy(rep0_, len)) return LzmaStop::kSink;
    }
    return LzmaStop::kLimit;
  }

 private:
  uint32_t Distance(RangeDecoder& rc, uint32_t len) {
    uint32_t slot = rc.Tree(slot_[std::min<uint32_t>(len, 3)], 6);
    if (slot < 4) return slot;
    int direct = static_cast<int>(slot >> 1) - 1;
    uint32_t dist = (2 | (slot & 1)) << direct;
    if (slot < 14) return dist + rc.ReverseTree(special_ + dist - slot, direct);
    dist += rc.Direct(direct - 4) << 4;
    return dist + rc.ReverseTree(align_, 4);
  }

  RangeDecoder& rc_;
  Dictionary& dict_;
  int lc_ = 0, lp_ = 0, pb_ = 0;
  std::vector<uint16_t> literals_;
  uint16_t isMatch_[12 * 16], isRep0Long_[12 * 16];
  uint16_t isRep_[12], isRepG0_[12], isRepG1_[12], isRepG2_[12];
  uint16_t slot_[4][64], special_[115], align_[16];
  LenCoder len_, repLen_;
  uint32_t state_ = 0, rep0_ = 0, rep1_ = 0, rep2_ = 0, rep3_ = 0;
};

OldMethodResult FromStop(LzmaStop s) {
  return s == LzmaStop::kSink ? OldMethodResult::kSink : OldMethodResult::kDamaged;
}

// LZMA2: chunks of LZMA data (which may reset the state, set new properties or reset the
// dictionary) and of stored data, until a 0 byte.
OldMethodResult DecodeLzma2(PulledBytes& in, Dictionary& dict) {
  RangeDecoder rc(in);
  Lzma lzma(rc, dict);
  bool needDictReset = true, needProps = true;
  for (;;) {
    uint8_t control = in.Byte();
    if (in.pad()) return OldMethodResult::kDamaged;
    if (control == 0) return OldMethodResult::kOk;
    if (control >= 0xE0 || control == 1) {
      needProps = true;
      needDictReset = false;
      dict.Reset();
    } else if (needDictReset) {
      return OldMethodResult::kDamaged;
    }
    if (control < 0x80) {
      if (control > 2) return OldMethodResult::kDamaged;
      size_t n = (size_t{in.Byte()} << 8 | in.Byte()) + 1;
      if (!dict.Stored(in, n)) return in.pad() ? OldMethodResult::kDamaged : OldMethodResult::kSink;
      continue;
    }
    uint64_t usize = (uint64_t{control & 0x1Fu} << 16 | uint64_t{in.Byte()} << 8 | in.Byte()) + 1;
    uint64_t psize = (uint64_t{in.Byte()} << 8 | in.Byte()) + 1;
    if (control >= 0xC0) {
      if (!lzma.SetProperties(in.Byte(), true)) return OldMethodResult::kDamaged;
      needProps = false;
    } else if (needProps) {
      return OldMethodResult::kDamaged;
    }
    if (control >= 0xA0) lzma.ResetState();
    const uint64_t start = in.consumed();
    if (!rc.Init()) return OldMethodResult::kDamaged;
    LzmaStop s = lzma.Run(dict.total() + usize, false);
    if (s != LzmaStop::kLimit) return FromStop(s);
    if (in.pad() || !rc.finished() || in.consumed() - start != psize) return OldMethodResult::kDamaged;
  }
}

// CRC-64 (ECMA-182, reflected), the xz check 4; eight bytes a step through eight tables.
class Crc64 {
 public:
  Crc64() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint64_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xC96C5795D7870F42ull : c >> 1;
      t_[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (int k = 1; k < 8; ++k) t_[k][i] = t_[0][t_[k - 1][i] & 0xFF] ^ (t_[k - 1][i] >> 8);
  }
  uint64_t Update(uint64_t crc, const uint8_t* p, size_t n) const {
    crc = ~crc;
    for (; n >= 8; n -= 8, p += 8) {
      uint64_t v;
      memcpy(&v, p, 8);  // little-endian hosts only, as every build of ours is
      v ^= crc;
      crc = t_[7][v & 0xFF] ^ t_[6][(v >> 8) & 0xFF] ^ t_[5][(v >> 16) & 0xFF] ^ t_[4][(v >> 24) & 0xFF] ^
            t_[3][(v >> 32) & 0xFF] ^ t_[2][(v >> 40) & 0xFF] ^ t_[1][(v >> 48) & 0xFF] ^ t_[0][v >> 56];
    }
    for (; n > 0; --n) crc = t_[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
  }

 private:
  uint64_t t_[8][256];
};

// SHA-256 (FIPS 180-4), the xz check 10.
class Sha256 {
 public:
  void Update(const uint8_t* p, size_t n) {
    length_ += n;
    while (n > 0) {
      size_t k = std::min(n, size_t{64} - fill_);
      memcpy(block_ + fill_, p, k);
      fill_ += k;
      p += k;
      n -= k;
      if (fill_ == 64) {
        Compress();
        fill_ = 0;
      }
    }
  }
  void Final(uint8_t out[32]) {
    uint64_t bits = length_ * 8;
    uint8_t pad = 0x80;
    Update(&pad, 1);
    pad = 0;
    while (fill_ != 56) Update(&pad, 1);
    uint8_t len[8];
    for (int i = 0; i < 8; ++i) len[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    Update(len, 8);
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 4; ++j) out[i * 4 + j] = static_cast<uint8_t>(h_[i] >> (24 - 8 * j));
  }

 private:
  static uint32_t Rot(uint32_t x, int n) { return x >> n | x << (32 - n); }
  void Compress() {
    static const uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
      w[i] = uint32_t{block_[4 * i]} << 24 | uint32_t{block_[4 * i + 1]} << 16 |
             uint32_t{block_[4 * i + 2]} << 8 | block_[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
      uint32_t s0 = Rot(w[i - 15], 7) ^ Rot(w[i - 15], 18) ^ (w[i - 15] >> 3);
      uint32_t s1 = Rot(w[i - 2], 17) ^ Rot(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4], f = h_[5], g = h_[6], h = h_[7];
    for (int i = 0; i < 64; ++i) {
      uint32_t t1 = h + (Rot(e, 6) ^ Rot(e, 11) ^ Rot(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
      uint32_t t2 = (Rot(a, 2) ^ Rot(a, 13) ^ Rot(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      h = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    uint32_t add[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) h_[i] += add[i];
  }
  uint32_t h_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  uint8_t block_[64];
  size_t fill_ = 0;
  uint64_t length_ = 0;
};

// Reads an xz variable-length integer (7 bits a byte, low first, at most 9 bytes, no
// superfluous zero byte); false when malformed. `crc` collects the bytes read.
bool ReadVli(PulledBytes& in, uint64_t* v, std::vector<uint8_t>* seen) {
  *v = 0;
  for (int i = 0; i < 9; ++i) {
    uint8_t b = in.Byte();
    if (seen) seen->push_back(b);
    *v |= uint64_t{b & 0x7Fu} << (7 * i);
    if (!(b & 0x80)) return !(b == 0 && i > 0) && !in.pad();
  }
  return false;
}

bool VliFrom(const uint8_t* p, size_t n, size_t* at, uint64_t* v) {
  *v = 0;
  for (int i = 0; i < 9 && *at < n; ++i) {
    uint8_t b = p[(*at)++];
    *v |= uint64_t{b & 0x7Fu} << (7 * i);
    if (!(b & 0x80)) return !(b == 0 && i > 0);
  }
  return false;
}

size_t CheckSize(int check) {
  static const uint8_t sizes[16] = {0, 4, 4, 4, 8, 8, 8, 16, 16, 16, 32, 32, 32, 64, 64, 64};
  return sizes[check & 15];
}

const uint8_t kXzMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0};

// Output that also keeps the running check of a block.
class CheckedSink {
 public:
  CheckedSink(const PushFn& out, int check) : out_(out), check_(check) {}
  static const Crc64& Table() {
    static const Crc64 table;
    return table;
  }
  bool Take(const uint8_t* p, size_t n) {
    if (check_ == 1) crc32_ = Crc32(crc32_, p, n);
    if (check_ == 4) crc64_ = Table().Update(crc64_, p, n);
    if (check_ == 10) sha_.Update(p, n);
    return out_(p, n);
  }
  // Whether the stored check matches what was handed on (checks we do not know pass).
  bool Matches(const uint8_t* stored) {
    if (check_ == 1) return Get32(stored) == crc32_;
    if (check_ == 4) return Get64(stored) == crc64_;
    if (check_ == 10) {
      uint8_t digest[32];
      sha_.Final(digest);
      return memcmp(digest, stored, 32) == 0;
    }
    return true;
  }

 private:
  const PushFn& out_;
  int check_;
  uint32_t crc32_ = 0;
  uint64_t crc64_ = 0;
  Sha256 sha_;
};

// One xz stream after its 6 magic bytes; `limit` counts down the output allowed.
OldMethodResult DecodeXzStream(PulledBytes& in, uint64_t* limit, const PushFn& out) {
  uint8_t flags[6];
  if (!in.Read(flags, 6)) return OldMethodResult::kDamaged;
  if (flags[0] != 0 || (flags[1] & 0xF0) || Crc32(0, flags, 2) != Get32(flags + 2)) return OldMethodResult::kDamaged;
  const int check = flags[1] & 0x0F;
  struct Record {
    uint64_t unpadded, usize;
  };
  std::vector<Record> records;
  for (;;) {
    std::vector<uint8_t> header(1, in.Byte());
    if (in.pad()) return OldMethodResult::kDamaged;
    if (header[0] == 0) break;  // the index
    const size_t headerSize = (size_t{header[0]} + 1) * 4;
    header.resize(headerSize);
    if (!in.Read(header.data() + 1, headerSize - 1)) return OldMethodResult::kDamaged;
    if (Crc32(0, header.data(), headerSize - 4) != Get32(header.data() + headerSize - 4))
      return OldMethodResult::kDamaged;
    const uint8_t bflags = header[1];
    if (bflags & 0x3C) return OldMethodResult::kDamaged;
    size_t at = 2;
    uint64_t csizeField = 0, usizeField = 0, id = 0, propsSize = 0;
    const size_t end = headerSize - 4;
    if ((bflags & 0x40) && (!VliFrom(header.data(), end, &at, &csizeField) || csizeField == 0))
      return OldMethodResult::kDamaged;
    if ((bflags & 0x80) && !VliFrom(header.data(), end, &at, &usizeField)) return OldMethodResult::kDamaged;
    // Only LZMA2 alone: the filters that go before it (BCJ, delta) are not written into ZIPs.
    if ((bflags & 3) != 0 || !VliFrom(header.data(), end, &at, &id) || id != 0x21 ||
        !VliFrom(header.data(), end, &at, &propsSize) || propsSize != 1 || at + 1 > end)
      return OldMethodResult::kDamaged;
    const uint8_t dictBits = header[at++];
    if (dictBits > 40) return OldMethodResult::kDamaged;
    for (; at < end; ++at)
      if (header[at]) return OldMethodResult::kDamaged;
    uint64_t dictSize = dictBits == 40 ? 0xFFFFFFFFull : uint64_t{2u | (dictBits & 1u)} << (dictBits / 2 + 11);
    if (bflags & 0x80) dictSize = std::min(dictSize, usizeField);
    dictSize = std::min(dictSize, *limit);

    CheckedSink checked(out, check);
    PushFn take = [&](const uint8_t* p, size_t n) { return checked.Take(p, n); };
    LimitedSink sink(take, *limit);
    Dictionary dict(sink);
    if (!dict.Allocate(dictSize)) return OldMethodResult::kDamaged;
    const uint64_t start = in.consumed();
    OldMethodResult r = DecodeLzma2(in, dict);
    if (r != OldMethodResult::kOk) return r;
    if (!dict.Flush()) return sink.Failure();
    const uint64_t csize = in.consumed() - start, usize = sink.passed();
    if (((bflags & 0x40) && csize != csizeField) || ((bflags & 0x80) && usize != usizeField))
      return OldMethodResult::kDamaged;
    *limit -= usize;
    uint8_t tail[3 + 64];
    const size_t padding = (4 - csize % 4) % 4, checkSize = CheckSize(check);
    if (!in.Read(tail, padding + checkSize)) return OldMethodResult::kDamaged;
    for (size_t i = 0; i < padding; ++i)
      if (tail[i]) return OldMethodResult::kDamaged;
    if (!checked.Matches(tail + padding)) return OldMethodResult::kDamaged;
    records.push_back({headerSize + csize + checkSize, usize});
  }
  // The index: the number of records, each block's unpadded and uncompressed size, padding to
  // four bytes, its CRC-32; then the footer.
  std::vector<uint8_t> index(1, 0);
  uint64_t count = 0;
  if (!ReadVli(in, &count, &index) || count != records.size()) return OldMethodResult::kDamaged;
  for (const Record& rec : records) {
    uint64_t unpadded = 0, usize = 0;
    if (!ReadVli(in, &unpadded, &index) || !ReadVli(in, &usize, &index)) return OldMethodResult::kDamaged;
    if (unpadded != rec.unpadded || usize != rec.usize) return OldMethodResult::kDamaged;
  }
  while (index.size() % 4) {
    index.push_back(in.Byte());
    if (index.back()) return OldMethodResult::kDamaged;
  }
  uint8_t footer[4 + 12];
  if (!in.Read(footer, 16)) return OldMethodResult::kDamaged;
  if (Crc32(0, index.data(), index.size()) != Get32(footer)) return OldMethodResult::kDamaged;
  const uint8_t* f = footer + 4;
  if (Crc32(0, f + 4, 6) != Get32(f) || (uint64_t{Get32(f + 4)} + 1) * 4 != index.size() + 4 ||
      f[8] != flags[0] || f[9] != flags[1] || f[10] != 'Y' || f[11] != 'Z')
    return OldMethodResult::kDamaged;
  return OldMethodResult::kOk;
}

}  // namespace

OldMethodResult DecodeZipLzma(bool endMarker, uint64_t usize, const PullFn& in, const PushFn& out) {
  PulledBytes bytes(in);
  uint8_t head[9];
  if (!bytes.Read(head, 9) || Get16(head + 2) != 5) return OldMethodResult::kDamaged;
  LimitedSink sink(out, usize);
  Dictionary dict(sink);
  if (!dict.Allocate(std::min<uint64_t>(Get32(head + 5), usize))) return OldMethodResult::kDamaged;
  RangeDecoder rc(bytes);
  Lzma lzma(rc, dict);
  if (!lzma.SetProperties(head[4], false)) return OldMethodResult::kDamaged;
  lzma.ResetState();
  if (!rc.Init()) return OldMethodResult::kDamaged;
  LzmaStop s = lzma.Run(usize, endMarker);
  if (s == LzmaStop::kLimit && endMarker) s = lzma.Run(usize + 1, true);  // the marker after the data
  if (s != (endMarker ? LzmaStop::kMarker : LzmaStop::kLimit)) return FromStop(s);
  if (bytes.pad()) return OldMethodResult::kDamaged;
  if (!dict.Flush()) return sink.Failure();
  return OldMethodResult::kOk;
}

OldMethodResult DecodeXz(uint64_t limit, const PullFn& in, const PushFn& out) {
  PulledBytes bytes(in);
  for (bool first = true;; first = false) {
    uint8_t magic[6];
    if (!first) {
      // Stream padding: zero bytes in fours, then perhaps another stream.
      uint64_t zeros = 0;
      for (;;) {
        if (bytes.AtEnd()) return zeros % 4 == 0 ? OldMethodResult::kOk : OldMethodResult::kDamaged;
        magic[0] = bytes.Byte();
        if (magic[0] != 0) break;
        ++zeros;
      }
      if (zeros % 4) return OldMethodResult::kDamaged;
    } else {
      magic[0] = bytes.Byte();
    }
    if (!bytes.Read(magic + 1, 5) || memcmp(magic, kXzMagic, 6) != 0) return OldMethodResult::kDamaged;
    OldMethodResult r = DecodeXzStream(bytes, &limit, out);
    if (r != OldMethodResult::kOk) return r;
  }
}

bool IsNewMethod(uint16_t method) { return method == 9 || method == 12 || method == 14 || method == 95; }

OldMethodResult DecodeNewMethod(uint16_t method, uint16_t flags, uint64_t usize, const PullFn& in,
                                const PushFn& out) {
  switch (method) {
    case 9: return Inflate(true, usize, in, out);
    case 12: return DecodeBzip2(usize, in, out);
    case 14: return DecodeZipLzma(flags & 2, usize, in, out);
    case 95: return DecodeXz(usize, in, out);
    default: return OldMethodResult::kDamaged;
  }
}

}  // namespace qlzip
