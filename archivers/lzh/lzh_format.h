// LZH archives: header levels 0 to 3, the CRC-16 they use, and the member methods -lh0-,
// -lh5-, -lh6-, -lh7- and -lhd- (directory). Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace lzh {

// CRC-16 with the polynomial x^16+x^15+x^2+1 (reflected 0xA001), starting at `crc`.
uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size);

// Reads up to `size` bytes, returns the count (0 at the end or on failure).
using ReadFn = std::function<size_t(uint8_t* buf, size_t size)>;
// Takes `size` bytes; false stops the decoder.
using WriteFn = std::function<bool(const uint8_t* buf, size_t size)>;

struct Entry {
  std::string method;     // the five characters, e.g. "-lh5-"
  std::string name;       // stored path, '/' separated (directory part joined to the name)
  uint32_t comp_size = 0; // bytes of member data after the header
  uint32_t orig_size = 0;
  int64_t unix_time = -1; // modification time when the header gives Unix seconds
  uint32_t dos_time = 0;  // otherwise the DOS date and time
  uint16_t crc = 0;       // CRC-16 of the original data
  int level = 0;
  uint8_t os = 0;         // the creating system's letter ('M', 'U', ...), 0 for level 0
  uint16_t unix_mode = 0; // from a Unix mode header, 0 when there is none
  // A Unix symbolic link: stored as "-lhd-" with the name "NAME|TARGET".
  bool is_symlink() const {
    return (unix_mode & 0170000) == 0120000 || (method == "-lhd-" && name.find('|') != std::string::npos);
  }
  bool is_dir() const { return method == "-lhd-" && !is_symlink(); }
};

enum class HeaderResult {
  kOk,
  kEnd,          // the end mark (or the end of the file where a header would start)
  kTruncated,    // the file ends inside a header
  kBadChecksum,  // level 0/1 header sum or level 2 header CRC does not match
  kBadHeader,    // sizes or fields make no sense
  kUnsupported,  // a header level other than 0 to 3
};

// Reads one header from `in`; afterwards `in` stands at the member's data.
HeaderResult ReadHeader(const ReadFn& in, Entry* entry);
const char* HeaderMessage(HeaderResult r);

enum class DataResult { kOk, kBadData, kBadCrc, kWriteError, kUnsupported, kNoMemory };

// Decodes one member's data (exactly `entry.comp_size` bytes available from `in`, unless the
// file is short) and checks its CRC-16.
DataResult DecodeData(const Entry& entry, const ReadFn& in, const WriteFn& out);
bool MethodSupported(const std::string& method);
const char* DataMessage(DataResult r);

}  // namespace lzh
