#include "archivers/zipsfx/sfx_directory.h"

namespace qlsfx {
namespace {

// Read at every use, so that no compiler folds a signature into a constant.
volatile uint8_t g_secondLetter = 'K';

// The stub keeps its own byte-wise CRC-32 table, built at start-up: zlib's crc32 brings about 7 KB
// of code and tables, which would take the stub past the 32,760 bytes it must stay under.
uint32_t g_crcTable[256];

}  // namespace

uint32_t Signature(uint8_t a, uint8_t b) {
  return 0x50u | static_cast<uint32_t>(g_secondLetter) << 8 | static_cast<uint32_t>(a) << 16 |
         static_cast<uint32_t>(b) << 24;
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | static_cast<uint32_t>(Get16(p + 2)) << 16; }

bool FindEndRecord(const uint8_t* tail, size_t n, uint64_t tailStart, EndRecord* end) {
  if (n < 22) return false;
  const uint32_t sig = Signature(5, 6);
  for (size_t i = n - 22 + 1; i-- > 0;) {
    const uint8_t* p = tail + i;
    if (Get32(p) != sig || i + 22 + Get16(p + 20) != n) continue;
    if (Get16(p + 4) != 0 || Get16(p + 6) != 0) return false;  // spans disks
    const uint32_t count = Get16(p + 10), size = Get32(p + 12), offset = Get32(p + 16);
    if (count == 0xFFFF || size == 0xFFFFFFFFu || offset == 0xFFFFFFFFu) return false;  // Zip64
    const uint64_t at = tailStart + i;
    if (size > at) return false;
    end->cdStart = at - size;
    end->cdSize = size;
    end->count = count;
    end->delta = static_cast<int64_t>(end->cdStart) - static_cast<int64_t>(offset);
    return true;
  }
  return false;
}

bool ParseCentral(const uint8_t* p, size_t n, const EndRecord& end, Member* m, size_t* used) {
  if (n < 46 || Get32(p) != Signature(1, 2)) return false;
  const size_t nl = Get16(p + 28), xl = Get16(p + 30), cl = Get16(p + 32);
  if (46 + nl + xl + cl > n) return false;
  m->madeBy = Get16(p + 4);
  m->flags = Get16(p + 8);
  m->method = Get16(p + 10);
  m->time = Get16(p + 12);
  m->date = Get16(p + 14);
  m->crc = Get32(p + 16);
  m->csize = Get32(p + 20);
  m->usize = Get32(p + 24);
  m->externalAttr = Get32(p + 38);
  const uint32_t offset = Get32(p + 42);
  if (m->csize == 0xFFFFFFFFu || m->usize == 0xFFFFFFFFu || offset == 0xFFFFFFFFu) return false;
  const int64_t local = static_cast<int64_t>(offset) + end.delta;
  if (local < 0) return false;
  m->localOffset = static_cast<uint64_t>(local);
  m->name = p + 46;
  m->nameLength = static_cast<uint16_t>(nl);
  *used = 46 + nl + xl + cl;
  return true;
}

size_t LocalHeaderLength(const uint8_t* p) {
  if (Get32(p) != Signature(3, 4)) return 0;
  return 30 + static_cast<size_t>(Get16(p + 26)) + Get16(p + 28);
}

void CrcTableInit() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    g_crcTable[i] = c;
  }
}

uint32_t Crc32(uint32_t crc, const uint8_t* p, size_t n) {
  crc = ~crc;
  while (n--) crc = g_crcTable[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

namespace {
uint32_t CrcByte(uint32_t k, uint8_t b) { return g_crcTable[(k ^ b) & 0xFF] ^ (k >> 8); }

void Update(ZipKeys* k, uint8_t plain) {
  k->k0 = CrcByte(k->k0, plain);
  k->k1 = (k->k1 + (k->k0 & 0xFF)) * 134775813u + 1;
  k->k2 = CrcByte(k->k2, static_cast<uint8_t>(k->k1 >> 24));
}
}  // namespace

void ZipKeysInit(ZipKeys* k, const char* password) {
  k->k0 = 0x12345678u;
  k->k1 = 0x23456789u;
  k->k2 = 0x34567890u;
  while (*password) Update(k, static_cast<uint8_t>(*password++));
}

uint8_t ZipDecryptByte(ZipKeys* k, uint8_t c) {
  const uint32_t t = (k->k2 | 2) & 0xFFFF;
  const uint8_t plain = static_cast<uint8_t>(c ^ ((t * (t ^ 1)) >> 8));
  Update(k, plain);
  return plain;
}

}  // namespace qlsfx
