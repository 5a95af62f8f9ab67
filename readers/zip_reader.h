// ZIP directory reader: lists a ZIP archive (also a self-extracting one) into listing lines.
#pragma once
#include <cstdint>
#include <string_view>

#include "readers/byte_source.h"
#include "readers/listing.h"

namespace ql {

// How far the scan for the first local header reaches: stubs up to this length are found by
// their first local signature; longer ones through the end record.
constexpr uint64_t kZipStartLimit = 32760;

struct ZipStart {
  bool found = false;     // a local header starts at `offset`
  bool spanning = false;  // the file begins with the spanning marker of a multiple-volume set
  uint64_t offset = 0;
};

// Looks for the first local header: at offset 0 (or 4 after a spanning marker), else the first
// local signature that starts at most 32,760 bytes further on, else the first local header the
// central directory names (found through the end record at the tail, its offsets moved by the
// length of a stub they do not count).
ZipStart LocateZipStart(ByteWindow& in);

// Walks local headers from the first one, then the central directory, then the end record, and
// turns every central entry into lines for `targets`. `path` is the argument of the messages.
ListOutcome ReadZipListing(const ByteSource& src, std::string_view path, const ListTargets& targets);

}  // namespace ql
