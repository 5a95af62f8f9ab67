#include "archivers/arj/arj_block.h"

#include <cstring>

#include <zlib.h>

namespace arj {
namespace {

size_t BoundedLength(const char* s, size_t max) {
  const void* z = memchr(s, 0, max);
  return z ? static_cast<size_t>(static_cast<const char*>(z) - s) : max;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  // zlib keeps the register inverted between calls; this interface keeps it plain.
  const Bytef* p = static_cast<const Bytef*>(data);
  uLong c = ~crc;
  while (size > 0) {  // zlib takes a uInt length
    uInt n = static_cast<uInt>(size < (1u << 30) ? size : (1u << 30));
    c = crc32(c, p, n);
    p += n;
    size -= n;
  }
  return ~static_cast<uint32_t>(c);
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
