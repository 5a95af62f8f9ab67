#include "archivers/arj/arj_decode.h"

#include <cstdlib>
#include <cstring>

#include "archivers/arj/arj_method.h"

namespace arj {
namespace {

constexpr size_t kInBuf = 1 << 16;
constexpr size_t kStoredBuf = 1 << 18;  // stored data: straight through, in large pieces

template <typename T>
T Min(T a, T b) {
  return a < b ? a : b;
}

class BitReader {
 public:
  BitReader(const DecodeIo& io, uint32_t limit, uint8_t* buf) : io_(io), left_(limit), buf_(buf) {
    Fill();
  }
  // At least 32 bits can be peeked without another fill afterwards.
  void Refill() {
    if (count_ < 32) Fill();
  }
  uint32_t Peek(int n) {
    Refill();
    return PeekFilled(n);
  }
  // The next `n` bits (n <= count_): no fill.
  uint32_t PeekFilled(int n) const {
    return n == 0 ? 0 : static_cast<uint32_t>(bits_ >> (64 - n));
  }
  void Skip(int n) {
    bits_ <<= n;
    count_ -= n;
  }
  uint32_t Get(int n) {
    uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  // True once bits beyond the compressed data have been consumed.
  bool Overrun() const { return static_cast<int64_t>(overrun_) * 8 > count_; }

 private:
  void Fill() {
    if (end_ - pos_ >= 8) {
      // Whole bytes, as many as fit below the bits still held, in one load.
      const uint8_t* p = buf_ + pos_;
      uint64_t v = (uint64_t(p[0]) << 56) | (uint64_t(p[1]) << 48) | (uint64_t(p[2]) << 40) |
                   (uint64_t(p[3]) << 32) | (uint64_t(p[4]) << 24) | (uint64_t(p[5]) << 16) |
                   (uint64_t(p[6]) << 8) | uint64_t(p[7]);
      int take = (63 - count_) >> 3;
      v >>= 64 - 8 * take;
      bits_ |= v << (64 - count_ - 8 * take);
      pos_ += take;
      count_ += 8 * take;
      return;
    }
    while (count_ <= 56) {
      if (pos_ == end_) Read();
      uint8_t b = 0;
      if (pos_ < end_) {
        b = buf_[pos_++];
      } else {
        ++overrun_;
      }
      bits_ |= static_cast<uint64_t>(b) << (56 - count_);
      count_ += 8;
    }
  }
  void Read() {
    pos_ = end_ = 0;
    if (left_ == 0) return;
    size_t want = Min<size_t>(kInBuf, left_);
    size_t got = io_.read(io_.context, buf_, want);
    if (got > want) got = want;
    if (got == 0) {
      left_ = 0;
      return;
    }
    left_ -= static_cast<uint32_t>(got);
    end_ = got;
  }

  const DecodeIo& io_;
  uint32_t left_;
  uint8_t* buf_;
  size_t pos_ = 0, end_ = 0;
  uint64_t bits_ = 0;
  int count_ = 0;
  uint32_t overrun_ = 0;
};

// Canonical Huffman decoding: codes of up to kFastBits bits are found by one lookup of the
// next kFastBits bits; longer (rare) codes are decoded length by length from the canonical
// first codes.
constexpr int kFastBits = 12;
constexpr uint16_t kNoCode = 0xFFFF, kLongCode = 0xFFFE;

struct HuffStorage {
  uint16_t fast[size_t(1) << kFastBits];
  uint16_t sorted[kNC];  // symbols by (length, symbol)
};

class HuffTable {
 public:
  explicit HuffTable(HuffStorage* storage) : s_(storage) {}
  bool Build(const uint8_t* len, int n) {
    single_ = -1;
    int maxlen = 0;
    unsigned count[kMaxCodeLen + 1] = {};
    for (int i = 0; i < n; ++i) {
      if (len[i] > kMaxCodeLen) return false;
      if (len[i]) {
        ++count[len[i]];
        if (len[i] > maxlen) maxlen = len[i];
      }
    }
    if (maxlen == 0) return false;
    uint32_t kraft = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l) kraft += count[l] << (kMaxCodeLen - l);
    if (kraft > (1u << kMaxCodeLen)) return false;
    maxlen_ = maxlen;
    bits_ = maxlen < kFastBits ? maxlen : kFastBits;
    const size_t size = size_t(1) << bits_;
    for (size_t i = 0; i < size; ++i) s_->fast[i] = kNoCode;
    uint32_t next[kMaxCodeLen + 2] = {};
    uint32_t code = 0, offset = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l) {
      next[l] = code;
      first_[l] = code;
      count_[l] = count[l];
      offset_[l] = offset;
      offset += count[l];
      code = (code + count[l]) << 1;
    }
    uint32_t slot[kMaxCodeLen + 1];
    for (int l = 1; l <= kMaxCodeLen; ++l) slot[l] = offset_[l];
    for (int sym = 0; sym < n; ++sym) {
      int l = len[sym];
      if (!l) continue;
      s_->sorted[slot[l]++] = static_cast<uint16_t>(sym);
      uint32_t c = next[l]++;
      if (l > bits_) {
        s_->fast[c >> (l - bits_)] = kLongCode;
        continue;
      }
      size_t start = size_t(c) << (bits_ - l), span = size_t(1) << (bits_ - l);
      uint16_t v = static_cast<uint16_t>((sym << 5) | l);
      for (size_t i = start; i < start + span; ++i) s_->fast[i] = v;
    }
    return true;
  }
  void SetSingle(int symbol) { single_ = symbol; }
  // The reader holds at least 32 bits (BitReader::Refill).
  __attribute__((always_inline)) int DecodeFilled(BitReader& br) const {
    if (single_ >= 0) return single_;
    uint16_t v = s_->fast[br.PeekFilled(bits_)];
    if (__builtin_expect(v < kLongCode, 1)) {
      br.Skip(v & 31);
      return v >> 5;
    }
    return DecodeLong(br, v);
  }
  int Decode(BitReader& br) const {
    br.Refill();
    return DecodeFilled(br);
  }

 private:
  __attribute__((noinline)) int DecodeLong(BitReader& br, uint16_t v) const {
    if (v == kNoCode) return -1;
    const uint32_t bits = br.PeekFilled(maxlen_);
    for (int l = bits_ + 1; l <= maxlen_; ++l) {
      uint32_t c = bits >> (maxlen_ - l);
      if (c - first_[l] < count_[l]) {
        br.Skip(l);
        return s_->sorted[offset_[l] + c - first_[l]];
      }
    }
    return -1;
  }

  int bits_ = 0, maxlen_ = 0;
  int single_ = -1;
  HuffStorage* s_;
  uint32_t first_[kMaxCodeLen + 1] = {}, count_[kMaxCodeLen + 1] = {},
           offset_[kMaxCodeLen + 1] = {};
};

// Output history plus a flush buffer.
class OutWindow {
 public:
  static constexpr size_t kMaxKeep = 65536;
  static constexpr size_t kSlideAt = kMaxKeep + (1 << 18);
  static constexpr size_t kSize = kSlideAt + kMaxMatch + 16;
  // `keep`: the longest distance a back reference may span (at most kMaxKeep).
  OutWindow(const DecodeIo& io, uint8_t* buf, size_t keep) : io_(io), buf_(buf), keep_(keep) {}
  bool Room() {
    if (pos_ < kSlideAt) return true;
    if (!Flush()) return false;
    memmove(buf_, buf_ + pos_ - keep_, keep_);
    pos_ = flushed_ = keep_;
    return true;
  }
  bool Flush() {
    if (pos_ > flushed_ && !io_.write(io_.context, buf_ + flushed_, pos_ - flushed_)) return false;
    flushed_ = pos_;
    return true;
  }
  void Put(uint8_t b) {
    buf_[pos_++] = b;
    ++total_;
  }
  // Copies `len` bytes from `dist` back; false when that reaches before the start.
  bool Copy(uint32_t dist, uint32_t len) {
    if (dist > total_ || dist > keep_) return false;
    uint8_t* d = buf_ + pos_;
    const uint8_t* s = d - dist;
    if (dist >= 8) {
      // Eight bytes at a time; the buffer has room for the few written past the end.
      for (uint32_t i = 0; i < len; i += 8) memcpy(d + i, s + i, 8);
    } else {
      for (uint32_t i = 0; i < len; ++i) d[i] = s[i];
    }
    pos_ += len;
    total_ += len;
    return true;
  }
  uint64_t total() const { return total_; }

 private:
  const DecodeIo& io_;
  uint8_t* buf_;
  size_t keep_;
  size_t pos_ = 0, flushed_ = 0;
  uint64_t total_ = 0;
};

// Everything methods 1-4 (and the LHA methods sharing their coding) need, in one allocation.
struct Workspace {
  uint8_t in[kInBuf];
  uint8_t window[OutWindow::kSize];
  HuffStorage c_table;
  HuffStorage p_table;
  HuffStorage t_table;
};

class HuffDecoder {
 public:
  HuffDecoder(BitReader& br, Workspace* ws, int np, int pbit)
      : br_(br), np_(np), pbit_(pbit), t_table_(&ws->t_table), c_table_(&ws->c_table),
        p_table_(&ws->p_table) {}

  DecodeResult Run(uint32_t orig_size, OutWindow& w) {
    uint32_t block_left = 0;
    while (w.total() < orig_size) {
      if (br_.Overrun()) return DecodeResult::kBadData;
      if (!w.Room()) return DecodeResult::kWriteError;
      if (block_left == 0) {
        block_left = br_.Get(16);
        if (block_left == 0) block_left = 65536;
        if (!ReadPtLen(kNT, kTBit, 3, &t_table_) || !ReadCLen() ||
            !ReadPtLen(np_, pbit_, -1, &p_table_))
          return DecodeResult::kBadData;
      }
      --block_left;
      int c = c_table_.Decode(br_);
      if (c < 0) return DecodeResult::kBadData;
      if (c < 256) {
        w.Put(static_cast<uint8_t>(c));
        continue;
      }
      uint32_t len = static_cast<uint32_t>(c) - (256 - kThreshold);
      int p = p_table_.Decode(br_);
      if (p < 0) return DecodeResult::kBadData;
      uint32_t dist = 0;
      if (p > 0) dist = (1u << (p - 1)) + (p > 1 ? br_.Get(p - 1) : 0);
      uint64_t left = orig_size - w.total();
      if (len > left) len = static_cast<uint32_t>(left);
      if (!w.Copy(dist + 1, len)) return DecodeResult::kBadData;
    }
    return br_.Overrun() ? DecodeResult::kBadData : DecodeResult::kOk;
  }

 private:
  bool ReadPtLen(int nn, int nbit, int special, HuffTable* table) {
    uint8_t len[kNT] = {};
    int n = static_cast<int>(br_.Get(nbit));
    if (n == 0) {
      int c = static_cast<int>(br_.Get(nbit));
      if (c >= nn) return false;
      table->SetSingle(c);
      if (nn == kNT) memset(pt_len_, 0, sizeof pt_len_);
      return true;
    }
    if (n > nn) return false;
    int i = 0;
    while (i < n) {
      int c = static_cast<int>(br_.Peek(3));
      if (c == 7) {
        uint32_t look = br_.Peek(16);
        uint32_t mask = 1u << 12;
        while (mask & look) {
          mask >>= 1;
          ++c;
        }
        if (c > kMaxCodeLen) return false;
        br_.Skip(c - 3);
      } else {
        br_.Skip(3);
      }
      len[i++] = static_cast<uint8_t>(c);
      if (i == special) {
        int z = static_cast<int>(br_.Get(2));
        while (z-- > 0 && i < nn) len[i++] = 0;
      }
    }
    if (nn == kNT) memcpy(pt_len_, len, sizeof len);
    return table->Build(len, nn);
  }

  bool ReadCLen() {
    uint8_t len[kNC] = {};
    int n = static_cast<int>(br_.Get(kCBit));
    if (n == 0) {
      int c = static_cast<int>(br_.Get(kCBit));
      if (c >= kNC) return false;
      c_table_.SetSingle(c);
      return true;
    }
    if (n > kNC) return false;
    int i = 0;
    while (i < n) {
      int c = t_table_.Decode(br_);
      if (c < 0) return false;
      if (c <= 2) {
        int run = c == 0 ? 1 : (c == 1 ? static_cast<int>(br_.Get(4)) + 3
                                       : static_cast<int>(br_.Get(kCBit)) + 20);
        if (i + run > n) return false;
        while (run-- > 0) len[i++] = 0;
      } else {
        len[i++] = static_cast<uint8_t>(c - 2);
      }
    }
    return c_table_.Build(len, kNC);
  }

  BitReader& br_;
  int np_, pbit_;
  uint8_t pt_len_[kNT] = {};
  HuffTable t_table_, c_table_, p_table_;
};

DecodeResult DecodeFastest(BitReader& br, uint32_t orig_size, OutWindow& w) {
  while (w.total() < orig_size) {
    if (br.Overrun()) return DecodeResult::kBadData;
    if (!w.Room()) return DecodeResult::kWriteError;
    int k = 0;
    while (k < 7 && br.Get(1)) ++k;
    uint32_t l = (1u << k) - 1 + (k ? br.Get(k) : 0);
    if (l == 0) {
      w.Put(static_cast<uint8_t>(br.Get(8)));
      continue;
    }
    uint32_t len = l + 2;
    int j = 0;
    while (j < 4 && br.Get(1)) ++j;
    uint32_t dist = (1u << (9 + j)) - 512 + br.Get(9 + j);
    uint64_t left = orig_size - w.total();
    if (len > left) len = static_cast<uint32_t>(left);
    if (!w.Copy(dist + 1, len)) return DecodeResult::kBadData;
  }
  return br.Overrun() ? DecodeResult::kBadData : DecodeResult::kOk;
}

DecodeResult DecodeStored(uint32_t comp_size, uint32_t orig_size, const DecodeIo& io) {
  if (comp_size < orig_size) return DecodeResult::kBadData;
  uint8_t* buf = static_cast<uint8_t*>(malloc(kStoredBuf));
  if (!buf) return DecodeResult::kNoMemory;
  DecodeResult r = DecodeResult::kOk;
  uint32_t left = orig_size;
  while (left > 0) {
    size_t want = Min<size_t>(kStoredBuf, left);
    size_t got = io.read(io.context, buf, want);
    if (got == 0 || got > want) {
      r = DecodeResult::kBadData;
      break;
    }
    if (!io.write(io.context, buf, got)) {
      r = DecodeResult::kWriteError;
      break;
    }
    left -= static_cast<uint32_t>(got);
  }
  free(buf);
  return r;
}

DecodeResult DecodeCoded(int method, const HuffParams& params, uint32_t comp_size,
                         uint32_t orig_size, const DecodeIo& io) {
  if (orig_size == 0) return DecodeResult::kOk;
  Workspace* ws = static_cast<Workspace*>(malloc(sizeof(Workspace)));
  if (!ws) return DecodeResult::kNoMemory;
  DecodeResult r;
  {
    BitReader br(io, comp_size, ws->in);
    OutWindow w(io, ws->window, params.window);
    if (method == 4) {
      r = DecodeFastest(br, orig_size, w);
    } else {
      HuffDecoder d(br, ws, params.np, params.pbit);
      r = d.Run(orig_size, w);
    }
    if (r == DecodeResult::kOk && !w.Flush()) r = DecodeResult::kWriteError;
    // Damaged data: what was decoded before the damage still goes out, for callers that keep
    // it (ARJ's -jr); the others throw it away with the rest of the member.
    if (r == DecodeResult::kBadData && !w.Flush()) r = DecodeResult::kWriteError;
  }
  free(ws);
  return r;
}

}  // namespace

DecodeResult DecodeStream(int method, uint32_t comp_size, uint32_t orig_size, const DecodeIo& io) {
  if (method == 0) return DecodeStored(comp_size, orig_size, io);
  if (method < 1 || method > 4) return DecodeResult::kUnsupported;
  return DecodeCoded(method, HuffParams{kNP, kPBit, 32768}, comp_size, orig_size, io);
}

DecodeResult DecodeHuffman(const HuffParams& params, uint32_t comp_size, uint32_t orig_size,
                           const DecodeIo& io) {
  if (params.np < 1 || params.np > kNT || params.pbit < 1 || params.pbit > 8 ||
      params.window < 1 || params.window > 65536)
    return DecodeResult::kUnsupported;
  return DecodeCoded(1, params, comp_size, orig_size, io);
}

}  // namespace arj
