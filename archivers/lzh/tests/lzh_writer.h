// Test-side LZH writer: a small -lh5-/-lh6-/-lh7- encoder (greedy matches, fixed-shape Huffman
// tables, several blocks) and archives with header levels 0, 1, 2 and 3. Its output is judged by
// Debian's lhasa in the interop tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace lzhtest {

// `method` 5, 6 or 7; `block_symbols` caps the symbols per block (to force several blocks).
std::string EncodeLh(int method, const std::string& data, int block_symbols = 65535);

struct Member {
  std::string name;    // '/' separated
  std::string data;
  std::string method;  // "-lh0-", "-lh5-", ..., "-lhd-"; or any other code with `raw` data
  std::string raw;     // when not empty: stored as the member's data instead of encoding
  std::string unix_mode = {};  // levels 2 and 3: the two bytes of a Unix mode header (0x50)
};

std::string MakeArchive(const std::vector<Member>& members, int level);
uint16_t Crc16(const std::string& data);

}  // namespace lzhtest
