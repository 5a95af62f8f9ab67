// Feeds arbitrary bytes to the ARJ reader.
#include "readers/fuzz/fuzz_reader.h"
#include "readers/arj_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader(data, size, [](const ql::ByteSource& src, const ql::ListTargets& t) { ql::ReadArjListing(src, t); });
  return 0;
}
