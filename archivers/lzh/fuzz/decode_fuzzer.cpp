// Feeds arbitrary bytes to the -lh5-/-lh6-/-lh7- decoders (first byte: method, next two: the
// output size in units of 16 bytes).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archivers/lzh/lzh_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static const char* const kMethods[] = {"-lh5-", "-lh6-", "-lh7-", "-lh0-"};
  lzh::Entry e;
  e.method = kMethods[data[0] & 3];
  e.orig_size = (static_cast<uint32_t>(data[1]) << 8 | data[2]) * 16u;
  data += 3;
  size -= 3;
  e.comp_size = static_cast<uint32_t>(size);
  size_t pos = 0;
  lzh::DecodeData(
      e,
      [&](uint8_t* b, size_t n) {
        n = n < size - pos ? n : size - pos;
        memcpy(b, data + pos, n);
        pos += n;
        return n;
      },
      [](const uint8_t*, size_t) { return true; });
  return 0;
}
