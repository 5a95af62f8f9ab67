// Walks arbitrary bytes as an ARJ archive: main header search, every local header, and the
// data of each entry through its decoder.
#include <cstddef>
#include <cstdint>

#include "archivers/arj/arj_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  arj::MemorySource src(data, size);
  arj::ArchiveReader reader(&src);
  if (reader.Open(1 << 20) != arj::ReadStatus::kOk) return 0;
  arj::Entry e;
  int n = 0;
  while (reader.Next(&e, n % 2 == 1) == arj::ReadStatus::kOk && ++n < 64) {
    if (e.h.orig_size > (1u << 22)) continue;  // keep each run short
    arj::ExtractData(&src, e, "pw", [](const uint8_t*, size_t) { return true; });
  }
  return 0;
}
