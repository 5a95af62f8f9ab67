#include "archivers/zip/old_methods.h"

#include <algorithm>
#include <vector>

namespace qlzip {

namespace {

// Least-significant-bit-first reader over the pulled bytes. Reading past the end yields zero
// bits and sets overrun(); the decoders check it after every symbol.
class BitReader {
 public:
  explicit BitReader(const PullFn& in) : in_(in), buf_(1 << 14) {}
  uint32_t Bits(int n) {
    while (count_ < n) {
      bits_ |= static_cast<uint32_t>(NextByte()) << count_;
      count_ += 8;
    }
    uint32_t v = bits_ & ((1u << n) - 1);
    bits_ >>= n;
    count_ -= n;
    return v;
  }
  bool overrun() const { return overrun_; }

 private:
  uint8_t NextByte() {
    if (pos_ == len_) {
      pos_ = 0;
      len_ = overrun_ ? 0 : in_(buf_.data(), buf_.size());
      if (len_ == 0) {
        overrun_ = true;
        return 0;
      }
    }
    return buf_[pos_++];
  }
  const PullFn& in_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0, len_ = 0;
  uint32_t bits_ = 0;
  int count_ = 0;
  bool overrun_ = false;
};

// The output and the sliding dictionary in one circular buffer, handed on each time it fills.
// It starts zeroed, so a back reference to before the first byte reads zeros, as PKZIP's own
// expanders do.
class Window {
 public:
  Window(const PushFn& out, uint64_t usize) : out_(out), left_(usize), buf_(kSize) {}
  uint64_t left() const { return left_; }
  bool failed() const { return failed_; }
  void Put(uint8_t b) {
    if (left_ == 0) return;
    --left_;
    buf_[pos_++] = b;
    if (pos_ == kSize) Flush();
  }
  // Copies `len` bytes from `dist` (1..32K) bytes back; a copy past the expected size is cut.
  void Copy(uint32_t dist, uint32_t len) {
    for (; len > 0 && left_ > 0; --len) Put(buf_[(pos_ - dist) & (kSize - 1)]);
  }
  void Flush() {
    if (pos_ && !failed_ && !out_(buf_.data(), pos_)) failed_ = true;
    pos_ = 0;
  }

 private:
  static constexpr size_t kSize = 1 << 16;
  const PushFn& out_;
  uint64_t left_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0;
  bool failed_ = false;
};

OldMethodResult Finish(Window& w) {
  w.Flush();
  return w.failed() ? OldMethodResult::kSink : OldMethodResult::kOk;
}

// Shrink --------------------------------------------------------------------------------------
// LZW with codes of 9 to 13 bits. Code 256 announces a control code: 1 widens the codes by a
// bit, 2 frees every leaf of the string tree (codes that no other code extends), after which
// the freed codes are reused lowest first. A freed code keeps its string until it is reused, and
// the code made right after a clear may extend a code that the clear freed. The clear looks at
// codes below the point where the last code was made; PKZIP clears only a full table, where that
// is all of them.

constexpr int kShrinkCodes = 1 << 13;
constexpr int kShrinkFirst = 257;

struct ShrinkTable {
  std::vector<uint16_t> parent = std::vector<uint16_t>(kShrinkCodes, 0);
  std::vector<uint8_t> suffix = std::vector<uint8_t>(kShrinkCodes, 0);
  std::vector<uint8_t> inUse = std::vector<uint8_t>(kShrinkCodes, 0);
  int nextFree = kShrinkFirst;  // lowest free code
  int limit = kShrinkFirst;     // one past the code made last

  ShrinkTable() {
    for (int c = 0; c < 256; ++c) inUse[c] = 1;
  }
  void Add(int prefix, uint8_t byte) {
    parent[nextFree] = static_cast<uint16_t>(prefix);
    suffix[nextFree] = byte;
    inUse[nextFree] = 1;
    limit = nextFree + 1;
    while (nextFree < kShrinkCodes && inUse[nextFree]) ++nextFree;
  }
  void PartialClear() {
    std::vector<uint8_t> extended(kShrinkCodes, 0);
    for (int c = kShrinkFirst; c < limit; ++c)
      if (inUse[c]) extended[parent[c]] = 1;
    for (int c = kShrinkFirst; c < limit; ++c)
      if (!extended[c]) inUse[c] = 0;
    nextFree = kShrinkFirst;
    while (nextFree < kShrinkCodes && inUse[nextFree]) ++nextFree;
    limit = nextFree;
  }
  // Writes the string of `code` into `stack` from `at` on, last byte first; returns the end,
  // 0 when the chain does not end in a byte.
  int Unwind(int code, std::vector<uint8_t>& stack, int at) const {
    int n = at;
    while (code >= kShrinkFirst) {
      if (n >= kShrinkCodes) return 0;  // a chain that loops
      stack[n++] = suffix[code];
      code = parent[code];
    }
    if (code == 256) return 0;
    stack[n++] = static_cast<uint8_t>(code);
    return n;
  }
};

OldMethodResult Unshrink(BitReader& br, Window& w) {
  ShrinkTable t;
  std::vector<uint8_t> stack(kShrinkCodes + 1);
  int width = 9;
  int prev = -1;
  while (w.left() > 0 && !w.failed()) {
    int code = static_cast<int>(br.Bits(width));
    if (br.overrun()) return OldMethodResult::kDamaged;
    if (code == 256) {
      uint32_t control = br.Bits(width);
      if (br.overrun()) return OldMethodResult::kDamaged;
      if (control == 1 && width < 13) {
        ++width;
      } else if (control == 2) {
        t.PartialClear();
      } else {
        return OldMethodResult::kDamaged;
      }
      continue;
    }
    int n;
    if (t.inUse[code]) {
      n = t.Unwind(code, stack, 0);
    } else {
      // Only the code about to be made may be used before it exists: the previous string
      // followed by its own first byte.
      if (code != t.nextFree || prev < 0) return OldMethodResult::kDamaged;
      n = t.Unwind(prev, stack, 1);
      if (n) stack[0] = stack[n - 1];
    }
    if (n == 0) return OldMethodResult::kDamaged;
    // The previous string and this string's first byte make the next code.
    if (prev >= 0 && t.nextFree < kShrinkCodes) t.Add(prev, stack[n - 1]);
    while (n > 0) w.Put(stack[--n]);
    prev = code;
  }
  return Finish(w);
}

// Reduce --------------------------------------------------------------------------------------
// Each byte is coded against the byte before it: a follower set of up to 32 likely successors is
// stored for every byte value, and an index into it replaces the byte where possible. The bytes so
// decoded hold literals and, after the escape byte 144, back references.

constexpr uint8_t kReduceEscape = 144;

int FollowerIndexBits(int n) {
  int b = 1;
  while ((1 << b) < n) ++b;
  return b;
}

OldMethodResult Unreduce(BitReader& br, Window& w, int factor) {
  uint8_t sets[256][32];
  int counts[256];
  for (int j = 255; j >= 0; --j) {
    counts[j] = static_cast<int>(br.Bits(6));
    if (counts[j] > 32) return OldMethodResult::kDamaged;
    for (int i = 0; i < counts[j]; ++i) sets[j][i] = static_cast<uint8_t>(br.Bits(8));
  }
  if (br.overrun()) return OldMethodResult::kDamaged;
  const uint32_t lenMask = 0xFFu >> factor;
  int last = 0;
  int state = 0;
  uint32_t v = 0, len = 0;
  while (w.left() > 0 && !w.failed()) {
    uint32_t c;
    int n = counts[last];
    if (n == 0 || br.Bits(1)) {
      c = br.Bits(8);
    } else {
      uint32_t i = br.Bits(FollowerIndexBits(n));
      if (i >= static_cast<uint32_t>(n)) return OldMethodResult::kDamaged;
      c = sets[last][i];
    }
    if (br.overrun()) return OldMethodResult::kDamaged;
    last = static_cast<int>(c);
    switch (state) {
      case 0:
        if (c == kReduceEscape) state = 1;
        else w.Put(static_cast<uint8_t>(c));
        break;
      case 1:
        if (c == 0) {
          w.Put(kReduceEscape);
          state = 0;
        } else {
          v = c;
          len = v & lenMask;
          state = len == lenMask ? 2 : 3;
        }
        break;
      case 2:
        len += c;
        state = 3;
        break;
      default: {
        uint32_t dist = ((v >> (8 - factor)) << 8 | c) + 1;
        w.Copy(dist, len + 3);
        state = 0;
        break;
      }
    }
  }
  return Finish(w);
}

// Implode -------------------------------------------------------------------------------------
// LZ77 with a 4K or 8K dictionary. Literals, match lengths and the upper six bits of distances
// are Shannon-Fano coded; the trees are sent as run lengths of code lengths. Codes sit in the
// stream most significant bit first.

class ShannonFano {
 public:
  // Reads the description of a tree of `n` values; false when it is damaged.
  bool Read(BitReader& br, int n) {
    std::vector<uint8_t> lens;
    int bytes = static_cast<int>(br.Bits(8)) + 1;
    for (int i = 0; i < bytes; ++i) {
      uint32_t b = br.Bits(8);
      int runs = static_cast<int>(b >> 4) + 1;
      if (static_cast<int>(lens.size()) + runs > n) return false;
      lens.insert(lens.end(), static_cast<size_t>(runs), static_cast<uint8_t>((b & 15) + 1));
    }
    if (br.overrun() || static_cast<int>(lens.size()) != n) return false;
    // Values by length, shortest first; the codes are dealt out from the longest up, as
    // consecutive numbers within each length.
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lens[a] < lens[b]; });
    sorted_ = order;
    std::fill(count_, count_ + 17, 0);
    uint32_t code = 0, step = 0;
    int lastLen = 0;
    for (int i = n - 1; i >= 0; --i) {
      int len = lens[static_cast<size_t>(order[static_cast<size_t>(i)])];
      code += step;
      if (len != lastLen) {
        lastLen = len;
        step = 1u << (16 - len);
        start_[len] = code >> (16 - len);
        top_[len] = i;
      }
      ++count_[len];
    }
    // More codes than the lengths allow overlap one another.
    return code + step <= 0x10000;
  }

  // Returns the next value, or -1 when the bits match no code.
  int Decode(BitReader& br) const {
    uint32_t v = 0;
    for (int len = 1; len <= 16; ++len) {
      v = v << 1 | br.Bits(1);
      if (count_[len] && v >= start_[len] && v - start_[len] < static_cast<uint32_t>(count_[len]))
        return sorted_[static_cast<size_t>(top_[len] - static_cast<int>(v - start_[len]))];
    }
    return -1;
  }

 private:
  std::vector<int> sorted_;
  int count_[17] = {};
  uint32_t start_[17] = {};
  int top_[17] = {};
};

OldMethodResult Explode(BitReader& br, Window& w, uint16_t flags) {
  const bool bigDictionary = flags & 2, literalTree = flags & 4;
  ShannonFano literals, lengths, distances;
  if (literalTree && !literals.Read(br, 256)) return OldMethodResult::kDamaged;
  if (!lengths.Read(br, 64) || !distances.Read(br, 64)) return OldMethodResult::kDamaged;
  const int lowBits = bigDictionary ? 7 : 6;
  const uint32_t minMatch = literalTree ? 3 : 2;
  while (w.left() > 0 && !w.failed()) {
    if (br.Bits(1)) {
      int c = literalTree ? literals.Decode(br) : static_cast<int>(br.Bits(8));
      if (c < 0 || br.overrun()) return OldMethodResult::kDamaged;
      w.Put(static_cast<uint8_t>(c));
      continue;
    }
    uint32_t low = br.Bits(lowBits);
    int high = distances.Decode(br);
    int len = lengths.Decode(br);
    if (high < 0 || len < 0) return OldMethodResult::kDamaged;
    uint32_t length = static_cast<uint32_t>(len);
    if (length == 63) length += br.Bits(8);
    if (br.overrun()) return OldMethodResult::kDamaged;
    w.Copy((static_cast<uint32_t>(high) << lowBits | low) + 1, length + minMatch);
  }
  return Finish(w);
}

}  // namespace

bool IsOldMethod(uint16_t method) { return method >= 1 && method <= 6; }

OldMethodResult DecodeOldMethod(uint16_t method, uint16_t flags, uint64_t usize, const PullFn& in,
                                const PushFn& out) {
  BitReader br(in);
  Window w(out, usize);
  switch (method) {
    case 1: return Unshrink(br, w);
    case 2: case 3: case 4: case 5: return Unreduce(br, w, method - 1);
    case 6: return Explode(br, w, flags);
    default: return OldMethodResult::kDamaged;
  }
}

}  // namespace qlzip
