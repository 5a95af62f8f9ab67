// ARJ archive format: header blocks as values, time stamps, names. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archivers/arj/arj_block.h"

namespace arj {

// One header block, main or local, with every field kept so that it can be written back.
struct Header {
  uint8_t first_size = 30;
  uint8_t version = 11;
  uint8_t min_version = 1;
  uint8_t host_os = kHostDos;
  uint8_t flags = 0;
  uint8_t method = 0;  // main header: security version
  uint8_t file_type = kBinary;
  uint8_t garble_mod = 0;
  uint32_t mtime = 0;
  uint32_t comp_size = 0;
  uint32_t orig_size = 0;
  uint32_t crc = 0;
  uint16_t entry_pos = 0;
  uint16_t access_mode = 0;
  uint8_t byte28 = 0;  // local: first chapter; main: encryption version
  uint8_t byte29 = 0;  // local: last chapter; main: last chapter
  std::vector<uint8_t> extra;  // bytes of the fixed part beyond 30, kept as read
  std::string name;
  std::string comment;
  std::vector<std::vector<uint8_t>> ext_headers;  // payloads of the extended header chain

  // Resume position of a continued entry (bytes 30..33 of the fixed part when present).
  uint32_t ResumePosition() const;
  void SetResumePosition(uint32_t pos);
  bool IsFile() const { return file_type == kBinary || file_type == kText; }
  bool UnixTimes() const { return host_os == kHostUnix || host_os == kHostNeXT; }
};

// Parses one header block from `data`. On kOk `used` is the length of the whole block through
// the end of the extended header chain; on kEnd it is 4.
ParseResult ParseHeader(const uint8_t* data, size_t size, Header* h, size_t* used);

// Serialises a header block (id, size, basic header, CRC, extended headers, terminating 0).
// Returns false when the name and comment do not fit the basic header limit.
bool WriteHeader(const Header& h, std::vector<uint8_t>* out);
void WriteEndMarker(std::vector<uint8_t>* out);

// Time conversion. DOS packed time (local calendar fields) and Unix seconds.
struct CalendarTime {
  int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
CalendarTime FromDosTime(uint32_t dos);
uint32_t ToDosTime(const CalendarTime& t);
CalendarTime FromUnixTime(int64_t t);  // UTC calendar
int64_t ToUnixTime(const CalendarTime& t);  // UTC calendar

// Stored names: normalises separators to '/' and removes drive, root and "./" prefixes.
std::string StoredName(const std::string& path);

// Checks an archive member name before it is joined to a target directory. Returns the
// relative path (with '/' separators) to write, or an empty string when the name must be
// refused: absolute, drive or UNC prefixes, ".." components, device names, control bytes,
// ':' (alternate streams), components ending in a dot or blank.
std::string SafeRelativePath(const std::string& name);
// The bare file name part of a member name ("" for none).
std::string BaseName(const std::string& name);

// The archive a self-extractor carries behind its program image (as -je writes them): the offset
// of its main header in `head` (the program file's first bytes) and the archive name that header
// keeps. False when no sound main header follows the image.
bool FindAppendedArchive(const uint8_t* head, size_t size, uint64_t* at, std::string* name);

// Multi-volume names: NAME.ARJ, NAME.A01 ... NAME.A99, NAME.100 ...; names already ending
// in a digit count on with three digits.
std::string NextVolumeName(const std::string& name, int index);
// The volume after the one named (NAME.ARJ -> NAME.A01, NAME.A07 -> NAME.A08).
std::string FollowingVolumeName(const std::string& name);

}  // namespace arj
