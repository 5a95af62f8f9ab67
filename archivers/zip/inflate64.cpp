// Deflate and Deflate64 decoding. Deflate64 is deflate with a 64 KiB window, length code 285
// standing for 3 + 16 extra bits and distance codes 30 and 31 (32769 and 49153, 14 extra bits).
#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/zip/new_methods.h"
#include "archivers/zip/pulled_bytes.h"

namespace qlzip {

namespace {

// Least-significant-bit-first bits in a 64-bit buffer, refilled eight bytes at a time where the
// input allows. Past the end of the input it takes zero bytes; overrun() tells whether any of
// those were used.
class BitIn {
 public:
  explicit BitIn(PulledBytes& in) : in_(in) {}
  // Makes at least 56 bits available.
  void Fill() {
    if (count_ > 56) return;
    size_t n;
    const uint8_t* p = in_.Peek(&n);
    if (n >= 8) {
      uint64_t v;
      memcpy(&v, p, 8);
      bits_ |= v << count_;
      in_.Take((63 - count_) >> 3);
      count_ |= 56;
      return;
    }
    while (count_ <= 56) {
      bits_ |= static_cast<uint64_t>(in_.Byte()) << count_;
      count_ += 8;
    }
  }
  uint32_t Look() const { return static_cast<uint32_t>(bits_); }
  void Drop(int n) {
    bits_ >>= n;
    count_ -= n;
  }
  uint32_t Get(int n) {
    uint32_t v = static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
    Drop(n);
    return v;
  }
  void AlignToByte() { Drop(count_ & 7); }
  // Copies n bytes of a stored block: first what the bit buffer holds, then straight from the
  // input. False when the input ends first.
  bool CopyBytes(uint8_t* dst, size_t n) {
    while (n > 0 && count_ >= 8) {
      *dst++ = static_cast<uint8_t>(Get(8));
      --n;
    }
    if (count_ == 0) bits_ = 0;  // drop bytes looked at ahead but not counted
    return in_.Read(dst, n);
  }
  bool overrun() const { return in_.pad() * 8 > static_cast<uint64_t>(count_); }
  bool FarOverrun() const { return in_.pad() > 16; }

 private:
  PulledBytes& in_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// A canonical Huffman code as a 10-bit first-level table with second-level tables for longer
// codes. An entry holds the symbol in its low 16 bits and the code length in bits 16-23; a
// first-level entry with kSub set holds the start of its second-level table instead.
class Huffman {
 public:
  static constexpr int kFirst = 10;
  static constexpr uint32_t kSub = 1u << 31;
  // False for an over-subscribed code or an incomplete one other than a single 1-bit code (the
  // rule zlib applies; `codeLengths` allows no incompleteness at all). An empty code is allowed
  // and decodes nothing.
  bool Build(const uint8_t* lens, int n, bool codeLengths) {
    int count[16] = {};
    for (int i = 0; i < n; ++i) ++count[lens[i]];
    count[0] = 0;
    int left = 1, maxLen = 0;
    for (int len = 1; len <= 15; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) return false;
      if (count[len]) maxLen = len;
    }
    if (left > 0 && maxLen > 0 && (codeLengths || maxLen != 1)) return false;
    uint32_t next[16];
    uint32_t code = 0;
    for (int len = 1; len <= 15; ++len) {
      code = (code + count[len - 1]) << 1;
      next[len] = code;
    }
    subBits_ = std::max(0, maxLen - kFirst);
    table_.assign(1u << kFirst, 0);
    for (int sym = 0; sym < n; ++sym) {
      int len = lens[sym];
      if (len == 0) continue;
      uint32_t rev = Reverse(next[len]++, len);
      uint32_t entry = static_cast<uint32_t>(sym) | static_cast<uint32_t>(len) << 16;
      if (len <= kFirst) {
        for (uint32_t i = rev; i < (1u << kFirst); i += 1u << len) table_[i] = entry;
        continue;
      }
      const uint32_t head = rev & ((1u << kFirst) - 1);
      if (!(table_[head] & kSub)) {
        table_[head] = kSub | static_cast<uint32_t>(table_.size());
        table_.resize(table_.size() + (size_t{1} << subBits_), 0);
      }
      const uint32_t start = table_[head] & 0xFFFF;
      for (uint32_t i = rev >> kFirst; i < (1u << subBits_); i += 1u << (len - kFirst))
        table_[start + i] = entry;
    }
    return true;
  }
  // The next symbol, or -1 for bits that are no code. Needs 15 bits in `in`.
  int Decode(BitIn& in) const {
    uint32_t bits = in.Look();
    uint32_t e = table_[bits & ((1u << kFirst) - 1)];
    if (e & kSub) e = table_[(e & 0xFFFF) + ((bits >> kFirst) & ((1u << subBits_) - 1))];
    int len = static_cast<int>((e >> 16) & 0xFF);
    if (len == 0) return -1;
    in.Drop(len);
    return static_cast<int>(e & 0xFFFF);
  }

 private:
  static uint32_t Reverse(uint32_t code, int len) {
    uint32_t r = 0;
    for (int i = 0; i < len; ++i, code >>= 1) r = r << 1 | (code & 1);
    return r;
  }
  std::vector<uint32_t> table_;
  int subBits_ = 0;
};

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint32_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                    49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

class Inflater {
 public:
  Inflater(bool deflate64, PulledBytes& in, LimitedSink& out)
      : d64_(deflate64), window_(deflate64 ? 1u << 16 : 1u << 15), bits_(in), out_(out),
        buf_(new uint8_t[kFlushAt + kMaxMatch + 16]) {}

  OldMethodResult Run() {
    for (bool last = false; !last;) {
      bits_.Fill();
      last = bits_.Get(1);
      uint32_t type = bits_.Get(2);
      bool ok = type == 0   ? Stored()
                : type == 1 ? FixedCodes() && Codes()
                : type == 2 ? DynamicCodes() && Codes()
                            : false;
      if (!ok) return out_.refused() ? OldMethodResult::kSink : OldMethodResult::kDamaged;
    }
    if (bits_.overrun()) return OldMethodResult::kDamaged;
    if (!out_.Push(buf_.get() + flushed_, pos_ - flushed_)) return out_.Failure();
    return OldMethodResult::kOk;
  }

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  static constexpr size_t kMaxMatch = 65538;

  // Hands on the buffer once it passes kFlushAt and keeps the last window of it at the front.
  bool MakeRoom() {
    if (pos_ < kFlushAt) return true;
    if (!out_.Push(buf_.get() + flushed_, pos_ - flushed_)) return false;
    memmove(buf_.get(), buf_.get() + pos_ - window_, window_);
    pos_ = flushed_ = window_;
    return true;
  }

  bool Stored() {
    bits_.AlignToByte();
    bits_.Fill();
    uint32_t len = bits_.Get(16), nlen = bits_.Get(16);
    if (len != (~nlen & 0xFFFF)) return false;
    while (len > 0) {
      if (!MakeRoom()) return false;
      uint32_t k = std::min<uint32_t>(len, static_cast<uint32_t>(kFlushAt + kMaxMatch - pos_));
      if (!bits_.CopyBytes(buf_.get() + pos_, k)) return false;
      pos_ += k;
      len -= k;
    }
    return true;
  }

  bool FixedCodes() {
    uint8_t lens[320];
    std::fill(lens, lens + 144, 8);
    std::fill(lens + 144, lens + 256, 9);
    std::fill(lens + 256, lens + 280, 7);
    std::fill(lens + 280, lens + 288, 8);
    std::fill(lens + 288, lens + 320, 5);
    return lit_.Build(lens, 288, false) && dist_.Build(lens + 288, 32, false);
  }

  bool DynamicCodes() {
    bits_.Fill();
    int nlit = static_cast<int>(bits_.Get(5)) + 257, ndist = static_cast<int>(bits_.Get(5)) + 1;
    int ncode = static_cast<int>(bits_.Get(4)) + 4;
    if (nlit > (d64_ ? 288 : 286) || ndist > (d64_ ? 32 : 30)) return false;
    uint8_t codeLens[19] = {};
    for (int i = 0; i < ncode; ++i) {
      bits_.Fill();
      codeLens[kCodeLengthOrder[i]] = static_cast<uint8_t>(bits_.Get(3));
    }
    Huffman code;
    if (!code.Build(codeLens, 19, true)) return false;
    uint8_t lens[288 + 32] = {};
    for (int i = 0; i < nlit + ndist;) {
      bits_.Fill();
      if (bits_.FarOverrun()) return false;
      int sym = code.Decode(bits_);
      if (sym < 0) return false;
      if (sym < 16) {
        lens[i++] = static_cast<uint8_t>(sym);
        continue;
      }
      uint8_t value = 0;
      int repeat;
      if (sym == 16) {
        if (i == 0) return false;
        value = lens[i - 1];
        repeat = 3 + static_cast<int>(bits_.Get(2));
      } else if (sym == 17) {
        repeat = 3 + static_cast<int>(bits_.Get(3));
      } else {
        repeat = 11 + static_cast<int>(bits_.Get(7));
      }
      if (i + repeat > nlit + ndist) return false;
      while (repeat-- > 0) lens[i++] = value;
    }
    if (lens[256] == 0) return false;  // no end-of-block code
    return lit_.Build(lens, nlit, false) && dist_.Build(lens + nlit, ndist, false);
  }

  bool Codes() {
    uint8_t* const buf = buf_.get();
    for (;;) {
      if (pos_ >= kFlushAt && !MakeRoom()) return false;
      bits_.Fill();
      if (bits_.FarOverrun()) return false;
      int sym = lit_.Decode(bits_);
      if (sym < 256) {
        if (sym < 0) return false;
        buf[pos_++] = static_cast<uint8_t>(sym);
        continue;
      }
      if (sym == 256) return true;
      sym -= 257;
      if (sym >= 29) return false;
      uint32_t len;
      if (sym == 28 && d64_) {
        len = 3 + bits_.Get(16);
      } else {
        len = kLengthBase[sym] + bits_.Get(kLengthExtra[sym]);
      }
      bits_.Fill();
      int dsym = dist_.Decode(bits_);
      if (dsym < 0 || dsym >= (d64_ ? 32 : 30)) return false;
      uint32_t dist = kDistBase[dsym] + bits_.Get(kDistExtra[dsym]);
      if (dist > pos_) return false;
      uint8_t* d = buf + pos_;
      const uint8_t* s = d - dist;
      if (dist >= 8) {
        for (uint32_t i = 0; i < len; i += 8) memcpy(d + i, s + i, 8);
      } else if (dist == 1) {
        memset(d, *s, len);
      } else {
        for (uint32_t i = 0; i < len; ++i) d[i] = s[i];
      }
      pos_ += len;
    }
  }

  const bool d64_;
  const size_t window_;
  BitIn bits_;
  LimitedSink& out_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0, flushed_ = 0;
  Huffman lit_, dist_;
};

}  // namespace

OldMethodResult Inflate(bool deflate64, uint64_t limit, const PullFn& in, const PushFn& out) {
  PulledBytes bytes(in);
  LimitedSink sink(out, limit);
  return Inflater(deflate64, bytes, sink).Run();
}

}  // namespace qlzip
