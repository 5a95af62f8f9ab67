// Feeds arbitrary bytes to the decoders of methods 1-4 (first byte: method and garble,
// next two: the output size).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archivers/arj/arj_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  int method = 1 + (data[0] & 3);
  bool garbled = (data[0] & 4) != 0;
  uint32_t out_size = (static_cast<uint32_t>(data[1]) << 8 | data[2]) * 16u;
  data += 3;
  size -= 3;
  size_t pos = 0;
  arj::ReadFn in = [&](uint8_t* b, size_t n) {
    n = n < size - pos ? n : size - pos;
    memcpy(b, data + pos, n);
    pos += n;
    return n;
  };
  arj::Garble g("key", 9);
  arj::Decode(method, static_cast<uint32_t>(size), out_size, in, garbled ? &g : nullptr,
              [](const uint8_t*, size_t) { return true; });
  return 0;
}
