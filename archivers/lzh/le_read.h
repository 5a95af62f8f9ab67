// Little-endian fields and exact reads, shared by the LZH and ARC header and data readers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace qlx {

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads exactly `size` bytes through `in`; false when it stops short.
inline bool ReadAll(const std::function<size_t(uint8_t*, size_t)>& in, uint8_t* buf,
                    size_t size) {
  while (size > 0) {
    size_t got = in(buf, size);
    if (got == 0 || got > size) return false;
    buf += got;
    size -= got;
  }
  return true;
}

}  // namespace qlx
