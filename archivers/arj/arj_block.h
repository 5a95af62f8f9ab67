// ARJ header blocks read in place: CRC-32 (zlib's), the format's constants and the fields of one
// header block, with name, comment and extended headers left in the caller's buffer. Nothing
// here allocates or needs the C++ library, so the self-extractor shares it with the archiver.
#pragma once
#include <cstddef>
#include <cstdint>

namespace arj {

// CRC-32 as used by ARJ and ZIP (reflected 0xEDB88320). `crc` is the running register: start
// with 0xFFFFFFFF, finish by inverting.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);
inline uint32_t Crc32(const void* data, size_t size) {
  return ~Crc32Update(0xFFFFFFFFu, data, size);
}

constexpr uint8_t kIdLo = 0x60, kIdHi = 0xEA;
constexpr size_t kMaxBasicSize = 2600;
constexpr size_t kMaxCommentSize = 2048;

enum Flags : uint8_t {
  kGarbled = 0x01,
  kVolume = 0x04,
  kExtFile = 0x08,
  kPathSym = 0x10,
};

enum FileType : uint8_t {
  kBinary = 0,
  kText = 1,
  kMainHeader = 2,
  kDirectory = 3,
  kVolumeLabel = 4,
  kChapterLabel = 5,
  kUnixSpecial = 6,
};

enum HostOs : uint8_t { kHostDos = 0, kHostUnix = 2, kHostNeXT = 8, kHostWin32 = 11 };

enum class ParseResult {
  kOk,
  kEnd,        // the end marker (basic size 0)
  kTruncated,  // not enough bytes
  kBadId,
  kBadSize,
  kBadCrc,
};

// One header block as it lies in a buffer; the pointers point into that buffer.
struct HeaderFields {
  uint8_t first_size, version, min_version, host_os, flags, method, file_type, garble_mod;
  uint32_t mtime, comp_size, orig_size, crc;
  uint16_t entry_pos, access_mode;
  uint8_t byte28, byte29;
  const uint8_t* extra;  // bytes of the fixed part beyond 30
  size_t extra_size;
  const char* name;  // not terminated in the buffer when the block is damaged: use name_size
  size_t name_size;
  const char* comment;
  size_t comment_size;
  // The extended header chain without its terminating 0 word: (size word, payload, CRC)*.
  const uint8_t* ext_chain;
  size_t ext_chain_size;
};

// Parses and checks (id, sizes, CRCs) one header block from `data`. On kOk `used` is the length
// of the whole block through the end of the extended header chain; on kEnd it is 4.
ParseResult ParseHeaderFields(const uint8_t* data, size_t size, HeaderFields* f, size_t* used);

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLe32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace arj
