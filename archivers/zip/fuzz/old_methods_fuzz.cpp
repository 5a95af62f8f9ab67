// Expands arbitrary bytes as shrunk, reduced or imploded data. The first byte picks the method
// (low three bits, 1-6 used) and the implode flags (bits 3 and 4: 8K dictionary, literal tree);
// the next two give the expected size; the rest is the compressed stream.
#include <cstddef>
#include <cstdint>

#include "archivers/zip/old_methods.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint16_t method = static_cast<uint16_t>(data[0] % 6 + 1);
  uint16_t flags = static_cast<uint16_t>((data[0] >> 2) & 6);
  uint64_t usize = static_cast<uint64_t>(data[1] | data[2] << 8) * 4;
  const uint8_t* p = data + 3;
  size_t left = size - 3;
  uint64_t produced = 0;
  qlzip::DecodeOldMethod(
      method, flags, usize,
      [&](uint8_t* buf, size_t n) {
        size_t k = n < left ? n : left;
        for (size_t i = 0; i < k; ++i) buf[i] = p[i];
        p += k;
        left -= k;
        return k;
      },
      [&](const uint8_t*, size_t n) {
        produced += n;
        if (produced > usize) __builtin_trap();
        return true;
      });
  return 0;
}
