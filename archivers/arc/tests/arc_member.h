// Test archives: one ARC member's header and data, as ARC writes them.
#pragma once
#include <cstdint>
#include <string>

#include "archivers/lzh/lzh_format.h"

namespace arctest {

// Dated 10 Dec 2025 12:00; method 1 (old stored) has the short header without the original size.
inline std::string Member(int method, const std::string& name, const std::string& packed,
                          const std::string& original) {
  std::string h = "\x1a";
  h += static_cast<char>(method);
  std::string n = name;
  n.resize(13, '\0');
  h += n;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) h += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(static_cast<uint32_t>(packed.size()), 4);
  put(0x5B8A, 2);  // 10 Dec 2025
  put(0x6000, 2);  // 12:00
  put(lzh::Crc16(0, reinterpret_cast<const uint8_t*>(original.data()), original.size()), 2);
  if (method != 1) put(static_cast<uint32_t>(original.size()), 4);
  return h + packed;
}

}  // namespace arctest
