#include "common/zip_end_record.h"

namespace ql {

long FindZipEndRecord(const uint8_t* tail, size_t len, uint64_t file_size) {
  if (len < kZipEndRecordSize || len > file_size) return -1;
  const uint64_t tail_start = file_size - len;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = len - kZipEndRecordSize + 1; i-- > 0;) {
      const uint8_t* p = tail + i;
      if (p[0] != 'P' || p[1] != 'K' || p[2] != 5 || p[3] != 6) continue;
      const uint64_t reach = tail_start + i + kZipEndRecordSize + (p[20] | p[21] << 8);
      if (pass == 0 ? reach != file_size : reach > file_size) continue;
      return static_cast<long>(i);
    }
  }
  return -1;
}

}  // namespace ql
