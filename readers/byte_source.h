// Where the archive readers take their bytes from, and a buffered window over it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

// A read-only run of bytes: either a mapped image (`mapped` points at all `size` bytes) or a
// routine that reads at an offset and tells how many bytes it delivered.
struct ByteSource {
  uint64_t size = 0;
  const uint8_t* mapped = nullptr;
  void* ctx = nullptr;
  size_t (*readAt)(void* ctx, uint64_t pos, void* buf, size_t n) = nullptr;
};

ByteSource MemorySource(const void* data, size_t size);

// Hands out pointers to byte ranges of a source. Ranges that lie inside the last chunk read cost
// nothing; others read one chunk. Chunks grow (up to `chunk` bytes) while the reads keep landing
// just past the last one, so headers of small entries share one read, and shrink again after a
// long jump, so passing over large entries does not read their data.
class ByteWindow {
 public:
  explicit ByteWindow(const ByteSource& src, size_t chunk = 256 * 1024);
  // Up to `n` bytes at `pos`; `*got` is how many are there (fewer at the end of the source).
  const uint8_t* Get(uint64_t pos, size_t n, size_t* got);
  uint64_t Size() const { return src_.size; }

 private:
  ByteSource src_;
  size_t chunk_;
  size_t next_;  // size of the next chunk to read
  std::vector<uint8_t> buf_;
  uint64_t bufPos_ = 0;
  size_t bufLen_ = 0;
};

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t Le64(const uint8_t* p) {
  return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}

}  // namespace ql
