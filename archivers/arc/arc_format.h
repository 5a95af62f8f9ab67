// ARC archives: the entry headers and the member methods 1 and 2 (stored), 3 (packed: RLE90),
// 4 (squeezed: Huffman + RLE90), 5 to 7 (crunched the old way: 12-bit LZW over a hashed string
// table; 6 and 7 + RLE90, 7 with another hash), 8 (crunched: 9-12 bit LZW with resets + RLE90)
// and 9 (squashed: 9-13 bit LZW), each checked against its CRC-16. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "archivers/lzh/lzh_format.h"

namespace arc {

using lzh::ReadFn;
using lzh::WriteFn;

struct Entry {
  int method = 0;
  std::string name;
  uint32_t comp_size = 0;
  uint32_t orig_size = 0;
  uint16_t date = 0, time = 0;  // DOS
  uint16_t crc = 0;
};

enum class HeaderResult { kOk, kEnd, kTruncated, kNoMarker };
HeaderResult ReadHeader(const ReadFn& in, Entry* entry);
const char* HeaderMessage(HeaderResult r);

enum class DataResult { kOk, kBadData, kBadCrc, kWriteError, kUnsupported };
bool MethodSupported(int method);
const char* MethodName(int method);
// Decodes one member (`entry.comp_size` bytes from `in`), writing exactly `entry.orig_size`
// bytes when it succeeds.
DataResult DecodeData(const Entry& entry, const ReadFn& in, const WriteFn& out);
const char* DataMessage(DataResult r);

}  // namespace arc
