#include "archivers/zipsfx/small_inflate.h"

namespace qlsfx {
namespace {

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distance codes 30 and 31 are Deflate64's.
constexpr uint16_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                    49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A byte of input; 0 past the end, which marks the state truncated.
int NextByte(InflateState* s) {
  if (s->inPos == s->inLen) {
    s->inPos = 0;
    s->inLen = s->truncated ? 0 : s->io->read(s->io->context, s->input, sizeof s->input);
    if (s->inLen == 0) {
      s->truncated = true;
      return 0;
    }
  }
  return s->input[s->inPos++];
}

uint32_t Bits(InflateState* s, int need) {
  while (s->bitCount < need) {
    s->bitBuf |= static_cast<uint32_t>(NextByte(s)) << s->bitCount;
    s->bitCount += 8;
  }
  uint32_t v = s->bitBuf & ((1u << need) - 1);
  s->bitBuf >>= need;
  s->bitCount -= need;
  return v;
}

bool Flush(InflateState* s) {
  if (s->outPos == 0) return true;
  if (!s->io->write(s->io->context, s->window, s->outPos)) {
    s->stopped = true;
    return false;
  }
  s->outPos = 0;
  return true;
}

bool Put(InflateState* s, uint8_t b) {
  s->window[s->outPos++] = b;
  ++s->produced;
  return s->outPos < sizeof s->window || Flush(s);
}

// A symbol, or -1 for a code that is not in the table.
int Decode(InflateState* s, const Huffman& h) {
  int code = 0, first = 0, index = 0;
  for (int len = 1; len < 16; ++len) {
    code |= static_cast<int>(Bits(s, 1));
    int count = h.count[len];
    if (code - count < first) return h.symbol[index + (code - first)];
    index += count;
    first += count;
    first <<= 1;
    code <<= 1;
  }
  return -1;
}

// Builds a table from code lengths; false when the lengths over-subscribe the code space.
bool Build(Huffman* h, const uint8_t* length, int n) {
  for (int i = 0; i < 16; ++i) h->count[i] = 0;
  for (int i = 0; i < n; ++i) h->count[length[i]]++;
  int left = 1;
  for (int len = 1; len < 16; ++len) {
    left <<= 1;
    left -= h->count[len];
    if (left < 0) return false;
  }
  uint16_t offs[16];
  offs[1] = 0;
  for (int len = 1; len < 15; ++len) offs[len + 1] = static_cast<uint16_t>(offs[len] + h->count[len]);
  for (int i = 0; i < n; ++i)
    if (length[i]) h->symbol[offs[length[i]]++] = static_cast<uint16_t>(i);
  return true;
}

InflateResult Stored(InflateState* s) {
  s->bitBuf = 0;
  s->bitCount = 0;
  uint32_t len = static_cast<uint32_t>(NextByte(s));
  len |= static_cast<uint32_t>(NextByte(s)) << 8;
  uint32_t nlen = static_cast<uint32_t>(NextByte(s));
  nlen |= static_cast<uint32_t>(NextByte(s)) << 8;
  if (s->truncated) return InflateResult::kTruncated;
  if (len != (~nlen & 0xFFFF)) return InflateResult::kDamaged;
  while (len--) {
    uint8_t b = static_cast<uint8_t>(NextByte(s));
    if (s->truncated) return InflateResult::kTruncated;
    if (!Put(s, b)) return InflateResult::kStopped;
  }
  return InflateResult::kOk;
}

InflateResult Codes(InflateState* s) {
  for (;;) {
    int sym = Decode(s, s->lengths);
    if (s->truncated) return InflateResult::kTruncated;
    if (sym < 0) return InflateResult::kDamaged;
    if (sym < 256) {
      if (!Put(s, static_cast<uint8_t>(sym))) return InflateResult::kStopped;
      continue;
    }
    if (sym == 256) return InflateResult::kOk;
    sym -= 257;
    if (sym >= 29) return InflateResult::kDamaged;
    // Deflate64's last length code has 16 extra bits over a base of 3.
    uint32_t len = (sym == 28 && s->deflate64) ? 3 + Bits(s, 16) : kLengthBase[sym] + Bits(s, kLengthExtra[sym]);
    int d = Decode(s, s->distances);
    if (d < 0 || d >= (s->deflate64 ? 32 : 30)) return s->truncated ? InflateResult::kTruncated : InflateResult::kDamaged;
    uint32_t dist = kDistBase[d] + Bits(s, kDistExtra[d]);
    if (s->truncated) return InflateResult::kTruncated;
    if (dist > s->produced) return InflateResult::kDamaged;  // before the start of the data
    while (len--) {
      size_t from = (s->outPos + sizeof s->window - dist) % sizeof s->window;
      if (!Put(s, s->window[from])) return InflateResult::kStopped;
    }
  }
}

InflateResult Fixed(InflateState* s) {
  uint8_t length[320];
  int i = 0;
  for (; i < 144; ++i) length[i] = 8;
  for (; i < 256; ++i) length[i] = 9;
  for (; i < 280; ++i) length[i] = 7;
  for (; i < 288; ++i) length[i] = 8;
  Build(&s->lengths, length, 288);
  for (i = 0; i < 32; ++i) length[i] = 5;
  Build(&s->distances, length, 32);
  return Codes(s);
}

InflateResult Dynamic(InflateState* s) {
  uint8_t length[320];
  const int nlen = static_cast<int>(Bits(s, 5)) + 257;
  const int ndist = static_cast<int>(Bits(s, 5)) + 1;
  const int ncode = static_cast<int>(Bits(s, 4)) + 4;
  if (nlen > 286 || ndist > (s->deflate64 ? 32 : 30)) return InflateResult::kDamaged;
  int i = 0;
  for (; i < ncode; ++i) length[kCodeLengthOrder[i]] = static_cast<uint8_t>(Bits(s, 3));
  for (; i < 19; ++i) length[kCodeLengthOrder[i]] = 0;
  if (s->truncated) return InflateResult::kTruncated;
  if (!Build(&s->lengths, length, 19)) return InflateResult::kDamaged;
  for (i = 0; i < nlen + ndist;) {
    int sym = Decode(s, s->lengths);
    if (s->truncated) return InflateResult::kTruncated;
    if (sym < 0) return InflateResult::kDamaged;
    if (sym < 16) {
      length[i++] = static_cast<uint8_t>(sym);
      continue;
    }
    uint8_t value = 0;
    int repeat;
    if (sym == 16) {
      if (i == 0) return InflateResult::kDamaged;
      value = length[i - 1];
      repeat = 3 + static_cast<int>(Bits(s, 2));
    } else if (sym == 17) {
      repeat = 3 + static_cast<int>(Bits(s, 3));
    } else {
      repeat = 11 + static_cast<int>(Bits(s, 7));
    }
    if (i + repeat > nlen + ndist) return InflateResult::kDamaged;
    while (repeat--) length[i++] = value;
  }
  if (length[256] == 0) return InflateResult::kDamaged;  // no end-of-block code
  if (!Build(&s->lengths, length, nlen) || !Build(&s->distances, length + nlen, ndist))
    return InflateResult::kDamaged;
  return Codes(s);
}

}  // namespace

InflateResult Inflate(InflateState* s, const InflateIo& io, uint64_t* produced, bool deflate64) {
  s->io = &io;
  s->deflate64 = deflate64;
  s->inPos = s->inLen = 0;
  s->bitBuf = 0;
  s->bitCount = 0;
  s->outPos = 0;
  s->produced = 0;
  s->truncated = s->stopped = false;
  InflateResult r = InflateResult::kOk;
  for (bool last = false; !last && r == InflateResult::kOk;) {
    last = Bits(s, 1) != 0;
    switch (Bits(s, 2)) {
      case 0: r = Stored(s); break;
      case 1: r = Fixed(s); break;
      case 2: r = Dynamic(s); break;
      default: r = InflateResult::kDamaged;
    }
    if (s->truncated && r == InflateResult::kOk) r = InflateResult::kTruncated;
  }
  if (r == InflateResult::kOk && !Flush(s)) r = InflateResult::kStopped;
  if (s->stopped) r = InflateResult::kStopped;
  *produced = s->produced;
  return r;
}

}  // namespace qlsfx
