// Rebuilds an arbitrary byte string as a damaged ZIP; whatever comes out must be an archive our
// reader opens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archivers/zipfix/zip_rebuild.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qlzip::MemorySource src(data, size);
  std::vector<uint8_t> out;
  qlzipfix::RebuildReport report;
  qlzipfix::RebuildResult r = qlzipfix::RebuildZip(src, [&](const uint8_t* p, size_t n) {
    out.insert(out.end(), p, p + n);
    return true;
  }, &report);
  if (r == qlzipfix::RebuildResult::kOk) {
    qlzip::MemorySource rebuilt(out.data(), out.size());
    qlzip::Archive ar;
    if (ar.Open(rebuilt) != qlzip::OpenResult::kOk || ar.entries.size() != report.kept.size()) abort();
  }
  return 0;
}
