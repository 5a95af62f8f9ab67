#include "archivers/arj/arj_block.h"

#include <cstring>

namespace arj {
namespace {

// Slicing-by-8 tables, filled on first use.
struct CrcTables {
  uint32_t t[8][256];
  CrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};
const CrcTables& Tables() {
  static const CrcTables tables;
  return tables;
}

size_t BoundedLength(const char* s, size_t max) {
  const void* z = memchr(s, 0, max);
  return z ? static_cast<size_t>(static_cast<const char*>(z) - s) : max;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  const auto& t = Tables().t;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  while (size >= 8) {
    uint32_t a = crc ^ ReadLe32(p);
    uint32_t b = ReadLe32(p + 4);
    crc = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
          t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
    p += 8;
    size -= 8;
  }
  while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
  return crc;
}

ParseResult ParseHeaderFields(const uint8_t* data, size_t size, HeaderFields* f, size_t* used) {
  if (size < 4) return ParseResult::kTruncated;
  if (data[0] != kIdLo || data[1] != kIdHi) return ParseResult::kBadId;
  size_t basic = ReadLe16(data + 2);
  if (basic == 0) {
    *used = 4;
    return ParseResult::kEnd;
  }
  if (basic > kMaxBasicSize || basic < 30) return ParseResult::kBadSize;
  if (size < 4 + basic + 4) return ParseResult::kTruncated;
  const uint8_t* b = data + 4;
  if (Crc32(b, basic) != ReadLe32(b + basic)) return ParseResult::kBadCrc;
  size_t first = b[0];
  if (first < 30 || first > basic) return ParseResult::kBadSize;
  f->first_size = b[0];
  f->version = b[1];
  f->min_version = b[2];
  f->host_os = b[3];
  f->flags = b[4];
  f->method = b[5];
  f->file_type = b[6];
  f->garble_mod = b[7];
  f->mtime = ReadLe32(b + 8);
  f->comp_size = ReadLe32(b + 12);
  f->orig_size = ReadLe32(b + 16);
  f->crc = ReadLe32(b + 20);
  f->entry_pos = ReadLe16(b + 24);
  f->access_mode = ReadLe16(b + 26);
  f->byte28 = b[28];
  f->byte29 = b[29];
  f->extra = b + 30;
  f->extra_size = first - 30;
  const char* s = reinterpret_cast<const char*>(b + first);
  size_t rest = basic - first;
  f->name = s;
  f->name_size = BoundedLength(s, rest);
  f->comment = s + f->name_size;
  f->comment_size = 0;
  if (f->name_size < rest) {
    f->comment = s + f->name_size + 1;
    f->comment_size = BoundedLength(f->comment, rest - f->name_size - 1);
  }
  size_t pos = 4 + basic + 4;
  f->ext_chain = data + pos;
  for (;;) {
    if (size < pos + 2) return ParseResult::kTruncated;
    size_t n = ReadLe16(data + pos);
    if (n == 0) break;
    pos += 2;
    if (size < pos + n + 4) return ParseResult::kTruncated;
    if (Crc32(data + pos, n) != ReadLe32(data + pos + n)) return ParseResult::kBadCrc;
    pos += n + 4;
  }
  f->ext_chain_size = static_cast<size_t>(data + pos - f->ext_chain);
  *used = pos + 2;
  return ParseResult::kOk;
}

}  // namespace arj
