#include "archivers/arj/arj_codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "archivers/arj/arj_method.h"

namespace arj {

void Garble::Apply(uint8_t* data, size_t size) {
  GarbleBytes(password_.data(), password_.size(), modifier_, &index_, data, size);
}

namespace {

// ---------------------------------------------------------------------------------------------
// Encoding

class BitWriter {
 public:
  explicit BitWriter(const WriteFn& out) : out_(out) { buf_.reserve(1 << 16); }
  void Put(int n, uint32_t v) {
    if (n == 0) return;
    acc_ = (acc_ << n) | (v & ((1u << n) - 1));
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      buf_.push_back(static_cast<uint8_t>(acc_ >> count_));
    }
  }
  bool Drain() {
    if (buf_.empty()) return true;
    bool ok = out_(buf_.data(), buf_.size());
    buf_.clear();
    return ok;
  }
  bool Finish() {
    if (count_ > 0) Put(8 - count_, 0);
    return Drain();
  }
  size_t pending() const { return buf_.size(); }

 private:
  const WriteFn& out_;
  std::vector<uint8_t> buf_;
  uint64_t acc_ = 0;
  int count_ = 0;
};

// Builds code lengths (at most 16 bits) for `freq`; returns the number of used symbols and,
// when that is 1, the symbol in `*only`.
int MakeLengths(const uint32_t* freq, int n, uint8_t* len, int* only) {
  std::fill(len, len + n, 0);
  // Used symbols sorted by (frequency, symbol).
  uint64_t key[kNC];
  int m = 0;
  for (int i = 0; i < n; ++i)
    if (freq[i]) key[m++] = (uint64_t(freq[i]) << 16) | static_cast<uint64_t>(i);
  *only = m ? static_cast<int>(key[0] & 0xFFFF) : 0;
  if (m <= 1) return m;
  std::sort(key, key + m);
  // Huffman tree by two queues: leaves in order, internal nodes as they are made.
  uint64_t weight[2 * kNC];
  int parent[2 * kNC];
  for (int i = 0; i < m; ++i) weight[i] = key[i] >> 16;
  int leaf = 0, node = m, next = m;
  auto take = [&]() {
    if (leaf < m && (node >= next || weight[leaf] <= weight[node])) return leaf++;
    return node++;
  };
  while (next < 2 * m - 1) {
    int x = take(), y = take();
    weight[next] = weight[x] + weight[y];
    parent[x] = parent[y] = next;
    ++next;
  }
  int depth[2 * kNC];
  depth[next - 1] = 0;
  for (int i = next - 2; i >= 0; --i) depth[i] = depth[parent[i]] + 1;
  uint32_t count[64] = {};
  for (int i = 0; i < m; ++i) ++count[std::min(depth[i], kMaxCodeLen)];
  uint64_t kraft = 0;
  for (int l = 1; l <= kMaxCodeLen; ++l) kraft += uint64_t(count[l]) << (kMaxCodeLen - l);
  while (kraft > (1u << kMaxCodeLen)) {
    --count[kMaxCodeLen];
    for (int l = kMaxCodeLen - 1; l > 0; --l) {
      if (count[l]) {
        --count[l];
        count[l + 1] += 2;
        break;
      }
    }
    --kraft;
  }
  // Most frequent symbols (the end of the sorted list) get the shortest codes.
  int k = m - 1;
  for (int l = 1; l <= kMaxCodeLen; ++l)
    for (uint32_t c = 0; c < count[l]; ++c) len[key[k--] & 0xFFFF] = static_cast<uint8_t>(l);
  return m;
}

void MakeCodes(const uint8_t* len, int n, uint16_t* code) {
  uint32_t count[kMaxCodeLen + 1] = {}, next[kMaxCodeLen + 2] = {};
  for (int i = 0; i < n; ++i) ++count[len[i]];
  count[0] = 0;
  uint32_t c = 0;
  for (int l = 1; l <= kMaxCodeLen; ++l) {
    next[l] = c;
    c = (c + count[l]) << 1;
  }
  for (int i = 0; i < n; ++i) code[i] = len[i] ? static_cast<uint16_t>(next[len[i]]++) : 0;
}

int BitLength(uint32_t v) {
  int n = 0;
  while (v) {
    ++n;
    v >>= 1;
  }
  return n;
}

// Code tables of one block and what writing them costs.
struct BlockTables {
  int count = 0;
  uint8_t c_len[kNC];
  uint16_t c_code[kNC];
  int c_used = 0, c_only = 0, c_n = 0;
  uint8_t t_len[kNT];
  uint16_t t_code[kNT];
  int t_used = 0, t_only = 0;
  uint32_t t_freq[kNT];
  uint8_t p_len[kNP];
  uint16_t p_code[kNP];
  int p_used = 0, p_only = 0;
};

// Symbol sink for methods 1-3: collects symbols, splits them into blocks where separate
// code tables pay off, then writes each block's tables and codes.
class HuffBlockWriter {
 public:
  static constexpr int kBufferSymbols = 16000;
  static constexpr int kMinBlock = 500;
  // Starts a new stream written to `bw`.
  void Start(BitWriter* bw) {
    bw_ = bw;
    n_ = 0;
  }

  bool Literal(uint8_t c) {
    sym_[n_] = c;
    return ++n_ < kBufferSymbols || Flush();
  }
  bool Match(uint32_t dist, uint32_t len) {
    sym_[n_] = static_cast<uint16_t>(len + 256 - kThreshold);
    dist_[n_] = static_cast<uint16_t>(dist - 1);
    return ++n_ < kBufferSymbols || Flush();
  }
  bool Finish() { return (n_ == 0 || Flush()) && bw_->Finish(); }

 private:
  static int PSlot(uint32_t d) { return d ? BitLength(d) : 0; }

  struct Freqs {
    uint32_t c[kNC];
    uint32_t p[kNP];
  };

  void Count(int lo, int hi, Freqs* f) const {
    std::fill(f->c, f->c + kNC, 0);
    std::fill(f->p, f->p + kNP, 0);
    for (int i = lo; i < hi; ++i) {
      ++f->c[sym_[i]];
      if (sym_[i] >= 256) ++f->p[PSlot(dist_[i])];
    }
  }

  void Build(const Freqs& f, int count, BlockTables* t) const {
    t->count = count;
    t->c_used = MakeLengths(f.c, kNC, t->c_len, &t->c_only);
    std::fill(t->t_freq, t->t_freq + kNT, 0);
    int n = kNC;
    while (n > 0 && t->c_len[n - 1] == 0) --n;
    t->c_n = n;
    for (int i = 0; i < n;) {
      int k = t->c_len[i++];
      if (k == 0) {
        int count = 1;
        while (i < n && t->c_len[i] == 0) {
          ++i;
          ++count;
        }
        if (count <= 2) {
          t->t_freq[0] += count;
        } else if (count <= 18) {
          ++t->t_freq[1];
        } else if (count == 19) {
          ++t->t_freq[0];
          ++t->t_freq[1];
        } else {
          ++t->t_freq[2];
        }
      } else {
        ++t->t_freq[k + 2];
      }
    }
    t->t_used = MakeLengths(t->t_freq, kNT, t->t_len, &t->t_only);
    t->p_used = MakeLengths(f.p, kNP, t->p_len, &t->p_only);
  }

  static uint64_t PtLenBits(const uint8_t* len, int n, int nbit, int special) {
    while (n > 0 && len[n - 1] == 0) --n;
    uint64_t bits = nbit;
    int i = 0;
    while (i < n) {
      int k = len[i++];
      bits += k <= 6 ? 3 : k - 3;
      if (i == special) {
        while (i < 6 && len[i] == 0) ++i;
        bits += 2;
      }
    }
    return bits;
  }

  // Bits needed to write a block with these frequencies.
  uint64_t Cost(const Freqs& f) const {
    BlockTables t;
    Build(f, 0, &t);
    uint64_t bits = 16;
    if (t.c_used > 1) {
      bits += t.t_used > 1 ? PtLenBits(t.t_len, kNT, kTBit, 3) : 2 * kTBit;
      bits += kCBit;
      bits += uint64_t(t.t_freq[0]) * t.t_len[0] + uint64_t(t.t_freq[1]) * (t.t_len[1] + 4) +
              uint64_t(t.t_freq[2]) * (t.t_len[2] + kCBit);
      for (int k = 3; k < kNT; ++k) bits += uint64_t(t.t_freq[k]) * t.t_len[k];
    } else {
      bits += 2 * kTBit + 2 * kCBit;
    }
    bits += t.p_used > 1 ? PtLenBits(t.p_len, kNP, kPBit, -1) : 2 * kPBit;
    for (int c = 0; c < kNC; ++c) bits += uint64_t(f.c[c]) * t.c_len[c];
    for (int p = 0; p < kNP; ++p) bits += uint64_t(f.p[p]) * (t.p_len[p] + (p > 1 ? p - 1 : 0));
    return bits;
  }

  // The buffer is cut into chunks whose frequencies are counted once; a block is a run of
  // chunks, split in halves while separate tables pay off.
  bool Flush() {
    const int chunks = (n_ + kMinBlock - 1) / kMinBlock;
    chunk_.resize(chunks);
    for (int k = 0; k < chunks; ++k)
      Count(k * kMinBlock, std::min(n_, (k + 1) * kMinBlock), &chunk_[k]);
    bool ok = Split(0, chunks);
    n_ = 0;
    return ok;
  }

  void Sum(int lo, int hi, Freqs* f) const {
    *f = chunk_[lo];
    for (int k = lo + 1; k < hi; ++k) {
      for (int c = 0; c < kNC; ++c) f->c[c] += chunk_[k].c[c];
      for (int p = 0; p < kNP; ++p) f->p[p] += chunk_[k].p[p];
    }
  }

  bool Split(int lo, int hi) {
    Freqs whole;
    Sum(lo, hi, &whole);
    if (hi - lo >= 2) {
      int mid = lo + (hi - lo) / 2;
      Freqs a, b;
      Sum(lo, mid, &a);
      Sum(mid, hi, &b);
      if (Cost(a) + Cost(b) < Cost(whole)) return Split(lo, mid) && Split(mid, hi);
    }
    return Send(whole, lo * kMinBlock, std::min(n_, hi * kMinBlock));
  }

  void WritePtLen(const uint8_t* len, int n, int nbit, int special) {
    while (n > 0 && len[n - 1] == 0) --n;
    bw_->Put(nbit, n);
    int i = 0;
    while (i < n) {
      int k = len[i++];
      if (k <= 6) {
        bw_->Put(3, k);
      } else {
        bw_->Put(k - 3, (1u << (k - 3)) - 2);
      }
      if (i == special) {
        while (i < 6 && len[i] == 0) ++i;
        bw_->Put(2, (i - 3) & 3);
      }
    }
  }

  bool Send(const Freqs& f, int lo, int hi) {
    BlockTables t;
    Build(f, hi - lo, &t);
    bw_->Put(16, t.count);
    if (t.c_used > 1) {
      if (t.t_used > 1) {
        WritePtLen(t.t_len, kNT, kTBit, 3);
      } else {
        bw_->Put(kTBit, 0);
        bw_->Put(kTBit, t.t_only);
      }
      MakeCodes(t.t_len, kNT, t.t_code);
      const int n = t.c_n;
      bw_->Put(kCBit, n);
      for (int i = 0; i < n;) {
        int k = t.c_len[i++];
        if (k == 0) {
          int count = 1;
          while (i < n && t.c_len[i] == 0) {
            ++i;
            ++count;
          }
          if (count <= 2) {
            for (int j = 0; j < count; ++j) bw_->Put(t.t_len[0], t.t_code[0]);
          } else if (count <= 18) {
            bw_->Put(t.t_len[1], t.t_code[1]);
            bw_->Put(4, count - 3);
          } else if (count == 19) {
            bw_->Put(t.t_len[0], t.t_code[0]);
            bw_->Put(t.t_len[1], t.t_code[1]);
            bw_->Put(4, 15);
          } else {
            bw_->Put(t.t_len[2], t.t_code[2]);
            bw_->Put(kCBit, count - 20);
          }
        } else {
          bw_->Put(t.t_len[k + 2], t.t_code[k + 2]);
        }
      }
    } else {
      bw_->Put(kTBit, 0);
      bw_->Put(kTBit, 0);
      bw_->Put(kCBit, 0);
      bw_->Put(kCBit, t.c_only);
    }
    MakeCodes(t.c_len, kNC, t.c_code);
    if (t.p_used > 1) {
      WritePtLen(t.p_len, kNP, kPBit, -1);
    } else {
      bw_->Put(kPBit, 0);
      bw_->Put(kPBit, t.p_only);
    }
    MakeCodes(t.p_len, kNP, t.p_code);
    for (int i = lo; i < hi; ++i) {
      uint16_t c = sym_[i];
      bw_->Put(t.c_len[c], t.c_code[c]);
      if (c >= 256) {
        uint32_t d = dist_[i];
        int p = PSlot(d);
        bw_->Put(t.p_len[p], t.p_code[p]);
        if (p > 1) bw_->Put(p - 1, d - (1u << (p - 1)));
      }
      if (bw_->pending() >= 60000 && !bw_->Drain()) return false;
    }
    return bw_->Drain();
  }

  BitWriter* bw_ = nullptr;
  int n_ = 0;
  uint16_t sym_[kBufferSymbols];
  uint16_t dist_[kBufferSymbols];
  std::vector<Freqs> chunk_;
};

// Symbol sink for method 4.
class FastestWriter {
 public:
  explicit FastestWriter(BitWriter& bw) : bw_(bw) {}
  bool Literal(uint8_t c) {
    bw_.Put(9, c);
    return Check();
  }
  bool Match(uint32_t dist, uint32_t len) {
    uint32_t l = len - 2;
    int k = BitLength(l + 1) - 1;
    bw_.Put(k, (1u << k) - 1);
    if (k < 7) bw_.Put(1, 0);
    bw_.Put(k, l + 1 - (1u << k));
    uint32_t d = dist - 1;
    int j = 0;
    while (j < 4 && d >= (1u << (10 + j)) - 512) ++j;
    bw_.Put(j, (1u << j) - 1);
    if (j < 4) bw_.Put(1, 0);
    bw_.Put(9 + j, d - ((1u << (9 + j)) - 512));
    return Check();
  }
  bool Finish() { return bw_.Finish(); }

 private:
  bool Check() { return bw_.pending() < 60000 || bw_.Drain(); }
  BitWriter& bw_;
};

struct MatchParams {
  uint32_t max_dist;
  int max_chain;   // candidates tried on the chain of positions sharing three bytes
  int nice_len;
  int good_len;
  int long_chain;  // candidates tried on the chain of positions sharing eight bytes
};

constexpr uint32_t kW = 32768, kWMask = kW - 1;
constexpr int kHashBits = 15;
constexpr uint32_t kNil = 0;
constexpr uint32_t kLongHashBytes = 8;

// Window positions stay below 2 * kW, so the chains hold them in 16 bits.
struct LzBuffers {
  std::vector<uint8_t> win = std::vector<uint8_t>(2 * kW + kMaxMatch + 16, 0);
  std::vector<uint16_t> head = std::vector<uint16_t>(1u << kHashBits, kNil);
  std::vector<uint16_t> prev = std::vector<uint16_t>(kW, kNil);
  std::vector<uint16_t> long_head = std::vector<uint16_t>(1u << kHashBits, kNil);
  std::vector<uint16_t> long_prev = std::vector<uint16_t>(kW, kNil);
};

// Hash-chain LZ77 with one step of lazy evaluation over a sliding window. Two chains: positions
// sharing their first eight bytes (few, good candidates even in text of a small vocabulary) and
// positions sharing three (short matches). The buffers come from the caller, sized, so that one
// set serves many inputs; only the heads need clearing (every chain starts there).
template <class Sink>
bool RunLz(const MatchParams& prm, const ReadFn& in, Sink& sink, LzBuffers& buf) {
  constexpr uint32_t kMinLookahead = kMaxMatch + kThreshold + 1;
  std::vector<uint8_t>& win = buf.win;
  std::vector<uint16_t>& head = buf.head;
  std::vector<uint16_t>& prev = buf.prev;
  std::vector<uint16_t>& lhead = buf.long_head;
  std::vector<uint16_t>& lprev = buf.long_prev;
  std::fill(head.begin(), head.end(), kNil);
  std::fill(lhead.begin(), lhead.end(), kNil);
  uint32_t strstart = 0, lookahead = 0, match_start = 0;
  bool eof = false;
  constexpr uint32_t kL = kLongHashBytes;

  auto hash = [&](uint32_t p) {
    uint32_t v = win[p] | (win[p + 1] << 8) | (win[p + 2] << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
  };
  auto long_hash = [&](uint32_t p) {
    uint64_t v;
    memcpy(&v, win.data() + p, 8);
    v <<= 8 * (8 - kL);
    return static_cast<uint32_t>((v * 0x9E3779B97F4A7C15ull) >> (64 - kHashBits));
  };
  uint32_t long_cur = kNil;
  uint32_t data_end = 0;  // end of the bytes read into the window
  auto insert = [&](uint32_t p) {
    uint32_t h = hash(p);
    uint32_t old = head[h];
    prev[p & kWMask] = static_cast<uint16_t>(old);
    head[h] = static_cast<uint16_t>(p);
    long_cur = kNil;
    if (p + kL <= data_end) {
      uint32_t lh = long_hash(p);
      long_cur = lhead[lh];
      lprev[p & kWMask] = static_cast<uint16_t>(long_cur);
      lhead[lh] = static_cast<uint16_t>(p);
    }
    return old;
  };
  auto fill = [&]() {
    while (!eof && lookahead < kMinLookahead) {
      if (strstart >= 2 * kW - kMinLookahead) {
        memmove(win.data(), win.data() + kW, kW);
        match_start -= kW;
        strstart -= kW;
        for (auto* table : {&head, &prev, &lhead, &lprev})
          for (auto& h : *table) h = static_cast<uint16_t>(h >= kW ? h - kW : kNil);
      }
      uint32_t end = strstart + lookahead;
      size_t got = in(win.data() + end, 2 * kW - end);
      if (got == 0) {
        eof = true;
        memset(win.data() + end, 0, win.size() - end);
      }
      lookahead += static_cast<uint32_t>(got);
      data_end = strstart + lookahead;
    }
  };
  auto longest = [&](uint32_t cur3, uint32_t lcur, uint32_t best) {
    int scale = best >= static_cast<uint32_t>(prm.good_len) ? 2 : 0;
    uint32_t maxlen = std::min<uint32_t>(kMaxMatch, lookahead);
    uint32_t nice = std::min<uint32_t>(prm.nice_len, maxlen);
    if (best >= maxlen) return best;
    uint32_t limit = strstart > prm.max_dist ? strstart - prm.max_dist : 0;
    const uint8_t* scan = win.data() + strstart;
    auto walk = [&](uint32_t cur, const std::vector<uint16_t>& chain_prev, int chain) {
      if (cur == kNil || cur <= limit || chain <= 0) return false;
      do {
        const uint8_t* m = win.data() + cur;
        if (m[best] != scan[best] || m[best - 1] != scan[best - 1] || m[0] != scan[0] ||
            m[1] != scan[1])
          continue;
        uint32_t len = 2;
        while (len + 8 <= maxlen) {
          uint64_t a, b;
          memcpy(&a, m + len, 8);
          memcpy(&b, scan + len, 8);
          if (a != b) {
            uint64_t x = a ^ b;
            len += static_cast<uint32_t>(__builtin_ctzll(x) >> 3);
            goto done;
          }
          len += 8;
        }
        while (len < maxlen && m[len] == scan[len]) ++len;
      done:
        if (len > maxlen) len = maxlen;
        if (len > best) {
          match_start = cur;
          best = len;
          if (len >= nice) return true;
        }
      } while ((cur = chain_prev[cur & kWMask]) > limit && --chain > 0);
      return false;
    };
    // Candidates sharing eight bytes first; the three-byte chain only while nothing that long
    // has turned up.
    if (walk(lcur, lprev, prm.long_chain >> scale)) return best;
    if (best < kL) walk(cur3, prev, prm.max_chain >> scale);
    return best;
  };

  uint32_t match_length = kThreshold - 1, prev_length, prev_match;
  bool match_available = false;
  for (;;) {
    if (lookahead < kMinLookahead) {
      fill();
      if (lookahead == 0) break;
    }
    uint32_t hash_head = kNil;
    uint32_t lcur = kNil;
    if (lookahead >= kThreshold) {
      hash_head = insert(strstart);
      lcur = long_cur;
    }
    prev_length = match_length;
    prev_match = match_start;
    match_length = kThreshold - 1;
    if (hash_head != kNil && prev_length < kMaxMatch && strstart - hash_head <= prm.max_dist) {
      match_length = longest(hash_head, lcur, prev_length);
      if (match_length > lookahead) match_length = lookahead;
      if (match_length == kThreshold && strstart - match_start > 4096) match_length = kThreshold - 1;
    }
    if (prev_length >= kThreshold && match_length <= prev_length) {
      uint32_t max_insert = strstart + lookahead - kThreshold;
      if (!sink.Match(strstart - 1 - prev_match, prev_length)) return false;
      lookahead -= prev_length - 1;
      prev_length -= 2;
      do {
        if (++strstart <= max_insert) insert(strstart);
      } while (--prev_length != 0);
      match_available = false;
      match_length = kThreshold - 1;
      ++strstart;
    } else if (match_available) {
      if (!sink.Literal(win[strstart - 1])) return false;
      ++strstart;
      --lookahead;
    } else {
      match_available = true;
      ++strstart;
      --lookahead;
    }
  }
  if (match_available && !sink.Literal(win[strstart - 1])) return false;
  return sink.Finish();
}

}  // namespace

namespace {

struct DecodeContext {
  const ReadFn& in;
  Garble* garble;
  const WriteFn& out;
};

size_t ReadThrough(void* context, uint8_t* buf, size_t size) {
  auto* c = static_cast<DecodeContext*>(context);
  size_t got = c->in(buf, size);
  if (c->garble) c->garble->Apply(buf, got < size ? got : size);
  return got;
}

bool WriteThrough(void* context, const uint8_t* buf, size_t size) {
  return static_cast<DecodeContext*>(context)->out(buf, size);
}

}  // namespace

DecodeResult Decode(int method, uint32_t comp_size, uint32_t orig_size, const ReadFn& in,
                    Garble* garble, const WriteFn& out) {
  DecodeContext context{in, garble, out};
  DecodeResult r =
      DecodeStream(method, comp_size, orig_size, DecodeIo{ReadThrough, WriteThrough, &context});
  if (r == DecodeResult::kNoMemory) throw std::bad_alloc();
  return r;
}

struct Encoder::Buffers {
  LzBuffers lz;
  std::unique_ptr<HuffBlockWriter> huff;
};

Encoder::Encoder() = default;
Encoder::~Encoder() = default;

bool Encoder::Run(const EncodeOptions& o, const ReadFn& in, const WriteFn& out) {
  if (!b_) b_ = std::make_unique<Buffers>();
  BitWriter bw(out);
  if (o.method == 4) {
    FastestWriter sink(bw);
    MatchParams p{15800, o.maximum ? 256 : 16, o.maximum ? 256 : 64, 16, o.maximum ? 256 : 32};
    return RunLz(p, in, sink, b_->lz);
  }
  if (!b_->huff) b_->huff = std::make_unique<HuffBlockWriter>();
  HuffBlockWriter& sink = *b_->huff;
  sink.Start(&bw);
  MatchParams p{26622, 32, 128, 32, 96};
  if (o.maximum) {
    p = {26622, 1024, 256, 64, 1024};
  } else if (o.method == 2) {
    p = {26622, 16, 64, 16, 48};
  } else if (o.method == 3) {
    p = {26622, 8, 32, 8, 16};
  }
  return RunLz(p, in, sink, b_->lz);
}

bool Encode(const EncodeOptions& o, const ReadFn& in, const WriteFn& out) {
  Encoder encoder;
  return encoder.Run(o, in, out);
}

}  // namespace arj
