// Feeds arbitrary bytes to the ZIP reader.
#include "readers/fuzz/fuzz_reader.h"
#include "readers/zip_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader(data, size, [](const ql::ByteSource& src, const ql::ListTargets& t) { ql::ReadZipListing(src, "fuzz.zip", t); });
  return 0;
}
