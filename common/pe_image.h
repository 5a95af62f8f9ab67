// Where a Windows program's image ends in its file: after the raw data of its last section. What
// follows (the overlay) is where self-extractors carry their archive.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ql {

// The end of the image described by the headers in `head` (the file's first `size` bytes); 0
// when they are not those of a PE file or are cut off.
uint64_t PeImageEnd(const uint8_t* head, size_t size);

}  // namespace ql
