// The ZIP 1.x compression methods that PKZIP 2.x no longer writes but still reads: shrink (1),
// reduce with compression factors 1-4 (2 to 5) and implode (6). Decoding only; platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace qlzip {

// Pulls up to `size` compressed bytes into `buf`; returns the count, 0 at the end of the data.
using PullFn = std::function<size_t(uint8_t* buf, size_t size)>;
// Takes `size` bytes of output; false stops the decoder.
using PushFn = std::function<bool(const uint8_t* buf, size_t size)>;

enum class OldMethodResult {
  kOk,
  kDamaged,  // the compressed data ends early or breaks the rules of its method
  kSink,     // the output function refused the data
};

// Whether `method` is one of shrink, reduce or implode.
bool IsOldMethod(uint16_t method);

// Expands exactly `usize` bytes of an entry stored with `method`. Implode reads the sliding
// dictionary size (bit 1: 8K, else 4K) and the literal tree (bit 2) from the general-purpose
// `flags`. The caller checks the CRC.
OldMethodResult DecodeOldMethod(uint16_t method, uint16_t flags, uint64_t usize, const PullFn& in,
                                const PushFn& out);

}  // namespace qlzip
