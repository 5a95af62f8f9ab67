// The ZIP directory as the self-extractor stub reads it: the end record at the end of its own file,
// then the central headers, then each member's local header. Platform-free and without the C++
// library (the stub carries it). The signatures are made at run time: the stub's own bytes must
// never hold one, or readers that scan from the front would take the stub for the archive.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qlsfx {

// 'P', 'K', a, b as a little-endian word, computed when called.
uint32_t Signature(uint8_t a, uint8_t b);

uint16_t Get16(const uint8_t* p);
uint32_t Get32(const uint8_t* p);

struct EndRecord {
  uint64_t cdStart = 0;  // where the central directory really is
  uint32_t cdSize = 0;
  uint32_t count = 0;
  int64_t delta = 0;     // added to recorded offsets: 0 when they count from the file's start
};

// Finds the end record in `tail`, the last `n` bytes of a file that starts `tailStart` bytes
// earlier; the central directory must lie right before it. False when there is none, or when the
// archive needs Zip64 or spans disks.
bool FindEndRecord(const uint8_t* tail, size_t n, uint64_t tailStart, EndRecord* end);

struct Member {
  const uint8_t* name;
  uint16_t nameLength;
  uint16_t madeBy, flags, method, time, date;
  uint32_t crc, csize, usize;
  uint64_t localOffset;  // with the end record's delta applied
  uint32_t externalAttr;
};

// The central header at `p` (`n` bytes available); `used` its whole length. False when it is not
// one, is cut off, or needs Zip64.
bool ParseCentral(const uint8_t* p, size_t n, const EndRecord& end, Member* m, size_t* used);

// The length of the local header whose 30 fixed bytes are at `p` (with name and extra), or 0 when
// they are not a local header.
size_t LocalHeaderLength(const uint8_t* p);

// Traditional PKWARE encryption, decrypting.
struct ZipKeys {
  uint32_t k0, k1, k2;
};
void CrcTableInit();  // before anything below
uint32_t Crc32(uint32_t crc, const uint8_t* p, size_t n);
void ZipKeysInit(ZipKeys* k, const char* password);
uint8_t ZipDecryptByte(ZipKeys* k, uint8_t c);

}  // namespace qlsfx
