// ARJ directory reader: lists an ARJ archive by walking its chain of headers.
#pragma once
#include <string_view>

#include "readers/byte_source.h"
#include "readers/listing.h"

namespace ql {

// Largest basic header accepted (fixed part, name and comment); ARJ itself writes no larger one.
constexpr size_t kArjHeaderMax = 2600;

// Walks the headers from the start of the file, passing over extended headers and compressed
// data, and turns files, the title, directories and volume labels into lines for `targets`.
// The result is the number of file entries listed, or -1 with message 3029 for a damaged archive
// (a header without its id, or whose CRC does not match).
ListOutcome ReadArjListing(const ByteSource& src, const ListTargets& targets);

}  // namespace ql
