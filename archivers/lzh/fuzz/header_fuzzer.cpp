// Feeds arbitrary bytes to the LZH header reader, header after header, as the extractor walks
// an archive (member data skipped by its stored size).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archivers/lzh/lzh_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t pos = 0;
  lzh::ReadFn in = [&](uint8_t* b, size_t n) {
    n = n < size - pos ? n : size - pos;
    memcpy(b, data + pos, n);
    pos += n;
    return n;
  };
  for (int i = 0; i < 64; ++i) {
    lzh::Entry e;
    if (lzh::ReadHeader(in, &e) != lzh::HeaderResult::kOk) break;
    if (e.comp_size > size - pos) break;
    pos += e.comp_size;
  }
  return 0;
}
