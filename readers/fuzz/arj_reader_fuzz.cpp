// Feeds arbitrary bytes to the ARJ reader, through a mapped image and through reads that deliver
// a few bytes at a time, with every kind of target.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "readers/arj_reader.h"

namespace {

struct Bytes {
  const uint8_t* data;
  size_t size;
};

size_t ReadSome(void* ctx, uint64_t pos, void* buf, size_t n) {
  const Bytes* b = static_cast<const Bytes*>(ctx);
  if (pos >= b->size) return 0;
  size_t k = std::min<size_t>({n, b->size - static_cast<size_t>(pos), 7});
  memcpy(buf, b->data + pos, k);
  return k;
}

void Count(void* ctx, const char* text, size_t len) {
  size_t* total = static_cast<size_t*>(ctx);
  *total += len;
  if (len) *total += static_cast<unsigned char>(text[len - 1]);  // touch the last byte
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t total = 0;
  ql::LineSink list{&total, Count, Count, nullptr};
  ql::LineSink file{&total, Count, nullptr, nullptr};
  ql::ListTargets targets;
  targets.list = &list;
  targets.file = &file;
  targets.fullLines = (size & 1) == 0;
  targets.mask = size % 3 == 0 ? "*.TXT" : "*.*";
  ql::ReadArjListing(ql::MemorySource(data, size), targets);
  Bytes bytes{data, size};
  ql::ByteSource reads;
  reads.size = size;
  reads.ctx = &bytes;
  reads.readAt = ReadSome;
  ql::ReadArjListing(reads, targets);
  return 0;
}
