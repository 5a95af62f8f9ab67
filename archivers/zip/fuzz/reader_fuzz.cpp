// Reads an arbitrary byte string as a ZIP archive: directory, every entry's data, member paths.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archivers/zip/ops.h"
#include "archivers/zip/zipcore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qlzip::MemorySource src(data, size);
  qlzip::Archive ar;
  if (ar.Open(src) != qlzip::OpenResult::kOk) return 0;
  uint64_t budget = 1 << 24;  // bounds the work per input
  for (const qlzip::Entry& e : ar.entries) {
    std::string clean, why;
    qlzip::SafeMemberPath(e.name, clean, why);
    for (const char* pw : {"", "s3cret"}) {
      qlzip::DecodeEntry(src, e, pw, [&](const uint8_t*, size_t n) {
        if (n > budget) return false;
        budget -= n;
        return true;
      });
    }
  }
  return 0;
}
