// bzip2 decoding: Huffman-coded move-to-front symbols with runs of zeros, the inverse
// Burrows-Wheeler transform, then the runs of four or more equal bytes. Each block carries the
// CRC of its output and the stream a CRC combined from the block CRCs (MSB-first CRC-32).
#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/zip/new_methods.h"
#include "archivers/zip/pulled_bytes.h"

namespace qlzip {

namespace {

struct CrcTable {
  uint32_t t[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i << 24;
      for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
      t[i] = c;
    }
  }
};
const CrcTable kCrc;

// Most-significant-bit-first bits. Past the end of the input it takes zero bytes.
class MsbBits {
 public:
  explicit MsbBits(PulledBytes& in) : in_(in) {}
  uint32_t Get(int n) {  // n <= 32
    Need(n);
    count_ -= n;
    return static_cast<uint32_t>(bits_ >> count_) & static_cast<uint32_t>((uint64_t{1} << n) - 1);
  }
  void Need(int n) {
    while (count_ < n) {
      bits_ = bits_ << 8 | in_.Byte();
      count_ += 8;
    }
  }
  // The next n bits without taking them (call Need first).
  uint32_t Look(int n) const {
    return static_cast<uint32_t>(bits_ >> (count_ - n)) & ((1u << n) - 1);
  }
  void Drop(int n) { count_ -= n; }
  void AlignToByte() { count_ -= count_ & 7; }
  bool overrun() const { return in_.pad() * 8 > static_cast<uint64_t>(count_); }
  bool FarOverrun() const { return in_.pad() > 16; }
  bool MoreInput() { return count_ >= 8 || !in_.AtEnd(); }

 private:
  PulledBytes& in_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

constexpr int kMaxAlpha = 258, kMaxGroups = 6, kMaxCodeLen = 20, kGroupSize = 50;
constexpr int kMaxSelectors = 18002;

// One of a block's Huffman codes: a table on the first kLook bits, then canonical decoding one
// bit at a time for longer codes.
class BzCode {
 public:
  static constexpr int kLook = 10;
  bool Build(const uint8_t* lens, int n) {
    int count[kMaxCodeLen + 2] = {};
    for (int i = 0; i < n; ++i) ++count[lens[i]];
    int64_t left = 1;
    for (int len = 1; len <= kMaxCodeLen; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) return false;  // over-subscribed
    }
    // Symbols in code order; first[len] is the first code of that length, index[len] where its
    // symbols start in sorted_.
    int pos = 0;
    uint32_t code = 0;
    for (int len = 1; len <= kMaxCodeLen; ++len) {
      first_[len] = code;
      index_[len] = pos;
      count_[len] = count[len];
      for (int s = 0; s < n; ++s)
        if (lens[s] == len) sorted_[pos++] = static_cast<uint16_t>(s);
      code = (code + count[len]) << 1;
    }
    std::fill(look_, look_ + (1 << kLook), 0);
    for (int len = 1; len <= kLook; ++len)
      for (int i = 0; i < count[len]; ++i) {
        uint32_t c = (first_[len] + i) << (kLook - len);
        uint16_t e = static_cast<uint16_t>(sorted_[index_[len] + i] | len << 9);
        for (uint32_t k = 0; k < (1u << (kLook - len)); ++k) look_[c + k] = e;
      }
    return true;
  }
  // The next symbol, or -1 for bits that are no code.
  int Decode(MsbBits& in) const {
    in.Need(kMaxCodeLen);
    uint16_t e = look_[in.Look(kLook)];
    if (e) {
      in.Drop(e >> 9);
      return e & 0x1FF;
    }
    uint32_t code = in.Look(kLook);
    for (int len = kLook + 1; len <= kMaxCodeLen; ++len) {
      code = in.Look(len);
      uint32_t k = code - first_[len];
      if (code >= first_[len] && k < static_cast<uint32_t>(count_[len])) {
        in.Drop(len);
        return sorted_[index_[len] + k];
      }
    }
    return -1;
  }

 private:
  uint16_t look_[1 << kLook];
  uint32_t first_[kMaxCodeLen + 1];
  int index_[kMaxCodeLen + 1], count_[kMaxCodeLen + 1];
  uint16_t sorted_[kMaxAlpha];
};

class Bunzip {
 public:
  Bunzip(PulledBytes& in, LimitedSink& out) : bits_(in), out_(out), buf_(kOut + 512) {}

  OldMethodResult Run() {
    bool first = true;
    for (;;) {
      // A stream: "BZh" and the block size in hundreds of kilobytes.
      uint32_t magic = bits_.Get(32);
      if ((magic >> 8) != 0x425A68 || (magic & 0xFF) < '1' || (magic & 0xFF) > '9') {
        if (first) return OldMethodResult::kDamaged;
        break;  // what follows the last stream is ignored, as bzip2 does
      }
      first = false;
      blockMax_ = ((magic & 0xFF) - '0') * 100000;
      if (tt_.size() < blockMax_) tt_.resize(blockMax_);
      uint32_t combined = 0;
      for (;;) {
        uint32_t hi = bits_.Get(24), lo = bits_.Get(24);
        uint32_t blockCrc = bits_.Get(32);
        if (bits_.overrun()) return OldMethodResult::kDamaged;
        if (hi == 0x177245 && lo == 0x385090) {
          if (blockCrc != combined) return OldMethodResult::kDamaged;
          break;
        }
        if (hi != 0x314159 || lo != 0x265359) return OldMethodResult::kDamaged;
        uint32_t nblock = 0;
        if (!ReadBlock(&nblock)) return OldMethodResult::kDamaged;
        uint32_t crc = 0;
        if (!Output(nblock, &crc)) return out_.Failure();
        if (crc != blockCrc) return OldMethodResult::kDamaged;
        combined = (combined << 1 | combined >> 31) ^ crc;
      }
      bits_.AlignToByte();
      if (!bits_.MoreInput()) break;
    }
    if (!out_.Push(buf_.data(), pos_)) return out_.Failure();
    return OldMethodResult::kOk;
  }

 private:
  static constexpr size_t kOut = 1 << 16;

  // Reads the block's tables and symbols into tt_ (one byte per entry) and sets origPtr_.
  bool ReadBlock(uint32_t* nblockOut) {
    if (bits_.Get(1)) return false;  // randomised blocks: written by no bzip2 since 0.9.5
    origPtr_ = bits_.Get(24);
    uint8_t seqToByte[256];
    int nInUse = 0;
    uint32_t used16 = bits_.Get(16);
    for (int i = 0; i < 16; ++i) {
      if (!(used16 & (0x8000u >> i))) continue;
      uint32_t used = bits_.Get(16);
      for (int j = 0; j < 16; ++j)
        if (used & (0x8000u >> j)) seqToByte[nInUse++] = static_cast<uint8_t>(i * 16 + j);
    }
    if (nInUse == 0) return false;
    const int alphaSize = nInUse + 2;
    const int nGroups = static_cast<int>(bits_.Get(3));
    const int nSelectors = static_cast<int>(bits_.Get(15));
    if (nGroups < 2 || nGroups > kMaxGroups || nSelectors < 1) return false;
    uint8_t mtfGroup[kMaxGroups];
    for (int i = 0; i < nGroups; ++i) mtfGroup[i] = static_cast<uint8_t>(i);
    selectors_.resize(std::min(nSelectors, kMaxSelectors));
    for (int i = 0; i < nSelectors; ++i) {
      int j = 0;
      while (bits_.Get(1)) {
        if (++j >= nGroups) return false;
      }
      if (bits_.FarOverrun()) return false;
      uint8_t g = mtfGroup[j];
      for (; j > 0; --j) mtfGroup[j] = mtfGroup[j - 1];
      mtfGroup[0] = g;
      if (i < kMaxSelectors) selectors_[static_cast<size_t>(i)] = g;
    }
    for (int t = 0; t < nGroups; ++t) {
      uint8_t lens[kMaxAlpha];
      int cur = static_cast<int>(bits_.Get(5));
      for (int i = 0; i < alphaSize; ++i) {
        for (;;) {
          if (cur < 1 || cur > kMaxCodeLen || bits_.FarOverrun()) return false;
          if (!bits_.Get(1)) break;
          cur += bits_.Get(1) ? -1 : 1;
        }
        lens[i] = static_cast<uint8_t>(cur);
      }
      if (!codes_[t].Build(lens, alphaSize)) return false;
    }
    // The symbols: runs of the front byte in bijective base 2 (RUNA = 1, RUNB = 2 at each
    // place), move-to-front positions, the end of the block.
    uint8_t mtf[256];
    memcpy(mtf, seqToByte, 256);
    uint32_t counts[256] = {};
    const int eob = nInUse + 1;
    uint32_t nblock = 0, run = 0, place = 1;
    size_t group = 0;
    int left = 0;
    const BzCode* code = nullptr;
    for (;;) {
      if (left == 0) {
        if (group >= selectors_.size()) return false;
        code = &codes_[selectors_[group++]];
        left = kGroupSize;
        if (bits_.FarOverrun()) return false;
      }
      --left;
      int sym = code->Decode(bits_);
      if (sym < 0 || sym > eob) return false;
      if (sym <= 1) {
        if (place > (1u << 20)) return false;
        run += place << sym;
        place <<= 1;
        continue;
      }
      if (run) {
        if (run > blockMax_ - nblock) return false;
        uint8_t b = mtf[0];
        counts[b] += run;
        for (uint32_t k = 0; k < run; ++k) tt_[nblock++] = b;
        run = 0;
        place = 1;
      }
      if (sym == eob) break;
      if (nblock >= blockMax_) return false;
      int k = sym - 1;
      uint8_t b = mtf[k];
      memmove(mtf + 1, mtf, static_cast<size_t>(k));
      mtf[0] = b;
      ++counts[b];
      tt_[nblock++] = b;
    }
    if (bits_.overrun() || origPtr_ >= nblock) return false;
    // Inverse BWT: entry i gets the index of its successor in its high 24 bits.
    uint32_t start[256];
    uint32_t sum = 0;
    for (int b = 0; b < 256; ++b) {
      start[b] = sum;
      sum += counts[b];
    }
    for (uint32_t i = 0; i < nblock; ++i) tt_[start[tt_[i] & 0xFF]++] |= i << 8;
    *nblockOut = nblock;
    return true;
  }

  // Walks the transform from origPtr_ and undoes the runs of four, into buf_.
  bool Output(uint32_t nblock, uint32_t* crcOut) {
    const uint32_t* tt = tt_.data();
    const uint32_t* crcT = kCrc.t;
    uint8_t* buf = buf_.data();
    uint32_t crc = 0xFFFFFFFFu;
    uint32_t p = tt[origPtr_] >> 8;
    int last = -1, run = 0;
    size_t pos = pos_;
    for (uint32_t i = 0; i < nblock; ++i) {
      uint32_t v = tt[p];
      p = v >> 8;
      uint8_t b = static_cast<uint8_t>(v);
      if (run == 4) {
        for (uint32_t k = 0; k < b; ++k) {
          buf[pos++] = static_cast<uint8_t>(last);
          crc = crc << 8 ^ crcT[(crc >> 24) ^ static_cast<uint8_t>(last)];
        }
        run = 0;
      } else {
        run = b == last ? run + 1 : 1;
        last = b;
        buf[pos++] = b;
        crc = crc << 8 ^ crcT[(crc >> 24) ^ b];
      }
      if (pos >= kOut) {
        if (!out_.Push(buf, pos)) return false;
        pos = 0;
      }
    }
    pos_ = pos;
    *crcOut = ~crc;
    return true;
  }

  MsbBits bits_;
  LimitedSink& out_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0;
  std::vector<uint32_t> tt_;
  std::vector<uint8_t> selectors_;
  BzCode codes_[kMaxGroups];
  uint32_t blockMax_ = 0, origPtr_ = 0;
};

}  // namespace

OldMethodResult DecodeBzip2(uint64_t limit, const PullFn& in, const PushFn& out) {
  PulledBytes bytes(in);
  LimitedSink sink(out, limit);
  return Bunzip(bytes, sink).Run();
}

}  // namespace qlzip
