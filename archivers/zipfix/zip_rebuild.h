// Rebuilding a damaged ZIP archive from its local headers: every member whose local header and
// data are intact is copied into a new archive with a new central directory; members whose data
// fails its CRC, or that are cut off, are left out and reported. Platform-free: the damaged bytes
// come from a ByteSource and the new archive goes to a sink.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archivers/zip/zipcore.h"

namespace qlzipfix {

struct LeftOut {
  std::string name;     // as stored; empty when the header itself was unreadable
  uint64_t offset = 0;  // of its local header in the damaged file
  std::string reason;
};

struct RebuildReport {
  std::vector<std::string> kept;       // members written to the new archive, in order
  std::vector<std::string> unchecked;  // kept without a CRC check (encrypted, or a method we can't decode)
  std::vector<LeftOut> leftOut;
  bool centralUsed = false;  // comments and attributes came from a surviving central directory
};

enum class RebuildResult { kOk, kNothingFound, kWriteFailed };

// Scans `in` for local headers and writes the rebuilt archive through `out` (false stops the
// writing). Offsets in the new archive are counted from its first byte: a self-extractor's stub
// in front of the damaged archive is not copied. Nothing is written when no member survives.
RebuildResult RebuildZip(qlzip::ByteSource& in, const std::function<bool(const uint8_t*, size_t)>& out,
                         RebuildReport* report);

}  // namespace qlzipfix
