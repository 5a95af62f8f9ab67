// Expands arbitrary bytes with one of the newer ZIP methods, chosen when the target is built
// (FUZZ_CODEC_deflate64, _bzip2, _lzma or _xz). The first byte gives the LZMA end-marker flag
// (bit 0); the next two the expected size in units of 16 bytes; the rest is the stream.
#include <cstddef>
#include <cstdint>

#include "archivers/zip/new_methods.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool marker = data[0] & 1;
  const uint64_t usize = static_cast<uint64_t>(data[1] | data[2] << 8) * 16;
  const uint8_t* p = data + 3;
  size_t left = size - 3;
  uint64_t produced = 0;
  qlzip::PullFn in = [&](uint8_t* buf, size_t n) {
    size_t k = n < left ? n : left;
    for (size_t i = 0; i < k; ++i) buf[i] = p[i];
    p += k;
    left -= k;
    return k;
  };
  qlzip::PushFn out = [&](const uint8_t*, size_t n) {
    produced += n;
    if (produced > usize) __builtin_trap();
    return true;
  };
#if defined(FUZZ_CODEC_deflate64)
  qlzip::Inflate(true, usize, in, out);
#elif defined(FUZZ_CODEC_bzip2)
  qlzip::DecodeBzip2(usize, in, out);
#elif defined(FUZZ_CODEC_lzma)
  qlzip::DecodeZipLzma(marker, usize, in, out);
#else
  qlzip::DecodeXz(usize, in, out);
#endif
  (void)marker;
  return 0;
}
