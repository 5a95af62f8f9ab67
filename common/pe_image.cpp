#include "common/pe_image.h"

namespace ql {
namespace {
uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
}  // namespace

uint64_t PeImageEnd(const uint8_t* head, size_t size) {
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z') return 0;
  const uint64_t pe = Le32(head + 0x3C);
  if (pe + 24 > size || Le32(head + pe) != 0x00004550u) return 0;  // "PE\0\0"
  const uint32_t sections = Le16(head + pe + 6);
  const uint64_t table = pe + 24 + Le16(head + pe + 20);
  if (sections == 0 || table + 40ull * sections > size) return 0;
  uint64_t end = 0;
  for (uint32_t i = 0; i < sections; ++i) {
    const uint8_t* s = head + table + 40ull * i;
    const uint64_t raw = Le32(s + 16), at = Le32(s + 20);
    if (raw && at + raw > end) end = at + raw;
  }
  return end;
}

bool ReadPeKind(const uint8_t* head, size_t size, PeKind* kind) {
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z') return false;
  const uint64_t pe = Le32(head + 0x3C);
  if (pe + 26 > size || Le32(head + pe) != 0x00004550u || Le16(head + pe + 20) < 2) return false;
  kind->machine = static_cast<uint16_t>(Le16(head + pe + 4));
  kind->pe32 = Le16(head + pe + 24) == 0x10B;
  return true;
}

}  // namespace ql
