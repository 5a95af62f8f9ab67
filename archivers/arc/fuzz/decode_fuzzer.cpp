// Feeds arbitrary bytes to the ARC member decoders (first byte: method, next two: the output
// size in units of 16 bytes), and the same bytes to the header reader.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archivers/arc/arc_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  size_t pos = 0;
  arc::ReadFn whole = [&](uint8_t* b, size_t n) {
    n = n < size - pos ? n : size - pos;
    memcpy(b, data + pos, n);
    pos += n;
    return n;
  };
  arc::Entry h;
  arc::ReadHeader(whole, &h);
  static const int kMethods[] = {1, 2, 3, 4, 8, 9, 4, 8, 5, 6, 7, 5, 6, 7, 9, 3};
  arc::Entry e;
  e.method = kMethods[data[0] & 15];
  e.orig_size = (static_cast<uint32_t>(data[1]) << 8 | data[2]) * 16u;
  data += 3;
  size -= 3;
  pos = 0;
  e.comp_size = static_cast<uint32_t>(size);
  arc::DecodeData(e, whole, [](const uint8_t*, size_t) { return true; });
  return 0;
}
