// A minimal Windows program file for tests of what is appended to programs: MZ and PE headers
// with one section whose raw data ends at `imageEnd`, then `trailer` bytes that are not part of
// any section (as a linker's COFF string table or another tool's overlay would be).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qltest {

inline std::vector<uint8_t> FakeProgram(size_t imageEnd, std::vector<uint8_t> trailer = {}) {
  std::vector<uint8_t> v(imageEnd, 0x90);
  auto put32 = [&v](size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
  };
  v[0] = 'M';
  v[1] = 'Z';
  put32(0x3C, 0x80);
  put32(0x80, 0x00004550u);  // "PE\0\0"
  v[0x84] = 0x4C;            // i386
  v[0x85] = 0x01;
  v[0x86] = 1;  // one section
  v[0x87] = 0;
  v[0x94] = 0;  // no optional header
  v[0x95] = 0;
  put32(0x80 + 24 + 16, static_cast<uint32_t>(imageEnd - 0x200));  // raw size
  put32(0x80 + 24 + 20, 0x200);                                     // raw offset
  v.insert(v.end(), trailer.begin(), trailer.end());
  return v;
}

// What the i686 linker leaves behind a stripped program with a long section name: a COFF string
// table (its 4-byte length, then ".eh_frame\0").
inline std::vector<uint8_t> CoffStringTable() {
  return {14, 0, 0, 0, '.', 'e', 'h', '_', 'f', 'r', 'a', 'm', 'e', 0};
}

}  // namespace qltest
