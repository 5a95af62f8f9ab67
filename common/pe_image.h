// Windows program files as containers: where a program's image ends, what it was built for, and
// where data appended to it (a self-extractor's archive) begins.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ql {

// The end of the image described by the headers in `head` (the file's first `size` bytes): after
// the raw data of its furthest section. 0 when they are not those of a PE file or are cut off.
uint64_t PeImageEnd(const uint8_t* head, size_t size);

// The COFF Machine field (0x14C for i386, 0x8664 for x86-64) and whether the optional header is
// the 32-bit PE32 kind (not PE32+). False when `head` does not hold a PE file's headers.
struct PeKind {
  uint16_t machine;
  bool pe32;
};
bool ReadPeKind(const uint8_t* head, size_t size, PeKind* kind);

// The offset of the first place at or after the image's end where `accept(bytes, left)` takes
// what follows, or 0. Linkers may leave more behind the sections (the i686 one writes a COFF
// string table for long section names; others leave symbols, debug data or an overlay), so what
// a tool appended is looked for by its own signature rather than expected right at the end.
template <typename Accept>
uint64_t FindAfterImage(const uint8_t* head, size_t size, Accept accept) {
  const uint64_t end = PeImageEnd(head, size);
  if (end == 0) return 0;
  for (uint64_t at = end; at < size; ++at)
    if (accept(head + at, static_cast<size_t>(size - at))) return at;
  return 0;
}

}  // namespace ql
