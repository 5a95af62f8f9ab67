// Where a ZIP archive's end record lies, as every program here that opens a ZIP finds it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ql {

constexpr size_t kZipEndRecordSize = 22;
// The tail worth reading to find it: the record and the longest comment it can carry.
constexpr uint64_t kZipEndSearch = kZipEndRecordSize + 65535;

// `tail` holds the last `len` bytes of a file of `file_size` bytes. The end record is the last one
// whose comment reaches the end of the file exactly; failing that (bytes left after the archive
// by a tool or a transfer), the last one whose comment fits in the file. Returns its index in
// `tail`, or -1 when there is none.
long FindZipEndRecord(const uint8_t* tail, size_t len, uint64_t file_size);

}  // namespace ql
