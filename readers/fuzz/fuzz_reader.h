// What both reader fuzz targets share: the input offered through a mapped image and through
// reads that deliver a few bytes at a time, with every kind of target.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "readers/byte_source.h"
#include "readers/listing.h"

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

// Runs `read(source, targets)` on the input once mapped and once in 7-byte reads.
template <typename Read>
void FuzzReader(const uint8_t* data, size_t size, Read read) {
  size_t total = 0;
  ql::LineSink list{&total, Count, Count, nullptr};
  ql::LineSink file{&total, Count, nullptr, nullptr};
  ql::ListTargets targets;
  targets.list = &list;
  targets.file = &file;
  targets.fullLines = (size & 1) == 0;
  targets.mask = size % 3 == 0 ? "*.TXT" : "*.*";
  read(ql::MemorySource(data, size), targets);
  Bytes bytes{data, size};
  ql::ByteSource reads;
  reads.size = size;
  reads.ctx = &bytes;
  reads.readAt = ReadSome;
  read(reads, targets);
}

}  // namespace

