// A small inflater (raw deflate, RFC 1951) for the self-extractor stub, which cannot carry zlib:
// canonical Huffman decoding bit by bit, a 64 KB window flushed to the caller. No allocation, no
// C++ library; the caller owns the state. Also Deflate64 (ZIP method 9), deflate's variant with
// a 64 KB window, a 16-bit extra length for code 285 and distance codes 30 and 31.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qlsfx {

struct InflateIo {
  // Fills `buf` with up to `size` bytes of compressed data; 0 at the end.
  size_t (*read)(void* context, uint8_t* buf, size_t size);
  // Takes decoded bytes; false stops the decoding.
  bool (*write)(void* context, const uint8_t* buf, size_t size);
  void* context;
};

enum class InflateResult { kOk, kDamaged, kTruncated, kStopped };

struct Huffman {
  uint16_t count[16];    // codes of each length
  uint16_t symbol[320];  // symbols ordered by code
};

struct InflateState {
  uint8_t window[65536];
  uint8_t input[4096];
  Huffman lengths, distances;
  // Working fields, set by Inflate.
  const InflateIo* io;
  size_t inPos, inLen;
  uint32_t bitBuf;
  int bitCount;
  size_t outPos;       // in the window
  uint64_t produced;   // in all
  bool truncated, stopped;
  bool deflate64;
};

// Decodes one raw deflate (or Deflate64) stream to its last block. `produced`: the decoded byte
// count.
InflateResult Inflate(InflateState* st, const InflateIo& io, uint64_t* produced, bool deflate64 = false);

}  // namespace qlsfx
