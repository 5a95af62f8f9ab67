// ZIP archive format: reading the central directory, decoding and encoding entries, ZipCrypto.
// Platform-free: bytes come from a ByteSource and go to callbacks; no file system here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qlzip {

// Random access to the bytes of an archive.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to len bytes at offset; returns the count read (short only at the end or on error).
  virtual size_t ReadAt(uint64_t offset, void* buf, size_t len) = 0;
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, size_t size) : p_(static_cast<const uint8_t*>(data)), n_(size) {}
  uint64_t Size() const override { return n_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t len) override;

 private:
  const uint8_t* p_;
  size_t n_;
};

uint32_t Crc32(uint32_t crc, const void* data, size_t len);

// Traditional PKWARE encryption.
class ZipCrypto {
 public:
  explicit ZipCrypto(const std::string& password);
  void Decrypt(uint8_t* buf, size_t len);
  void Encrypt(uint8_t* buf, size_t len);

 private:
  uint8_t KeyByte() const;
  void Update(uint8_t b);
  uint32_t k0_, k1_, k2_;
};

// DOS date and time (date in the high 16 bits) from and to Unix time, in local time.
uint32_t UnixToDos(int64_t t);
int64_t DosToUnix(uint32_t dos);

enum DosAttr : uint32_t { kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04, kLabel = 0x08, kDir = 0x10,
                          kArchive = 0x20 };

struct Entry {
  std::string name;          // as stored (forward slashes as written by most archivers)
  std::string comment;
  std::string utf8Name;      // from an Info-ZIP Unicode path field that matches the stored name
  std::vector<uint8_t> extra;  // central extra field without the Zip64 record
  uint16_t madeBy = 20;
  uint16_t needed = 20;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosTime = 0;      // date << 16 | time
  uint32_t crc = 0;
  uint64_t csize = 0;
  uint64_t usize = 0;
  uint32_t internalAttr = 0;
  uint32_t externalAttr = 0;
  uint64_t localOffset = 0;  // of the local header, adjusted for leading data
  uint64_t dataOffset = 0;   // of the (possibly encrypted) data; set by Archive::Open
  uint64_t dataEnd = 0;      // end of data plus data descriptor

  bool encrypted() const { return flags & 1; }
  bool isDir() const { return (!name.empty() && (name.back() == '/' || name.back() == '\\')) ||
                              ((externalAttr & kDir) && usize == 0); }
  bool isLabel() const { return (madeBy >> 8) == 0 && (externalAttr & kLabel) && !(externalAttr & kDir); }
  bool isSymlink() const { return (madeBy >> 8) == 3 && ((externalAttr >> 16) & 0170000) == 0120000; }
  // The check byte that a correct password yields in the last byte of the encryption header.
  uint8_t checkByte() const { return (flags & 8) ? static_cast<uint8_t>(dosTime >> 8) : static_cast<uint8_t>(crc >> 24); }
};

enum class OpenResult { kOk, kNotZip, kDamaged, kOverlap, kMultiVolume };

class Archive {
 public:
  // Reads and checks the central directory. Entries are in central-directory order.
  OpenResult Open(ByteSource& src);
  std::vector<Entry> entries;
  std::string comment;
  uint64_t leading = 0;   // bytes before the archive (self-extracting stub)
  std::string error;      // detail for kDamaged
  std::string warning;    // an inconsistency that did not stop the reading (kOk)
};

enum class DecodeResult { kOk, kCrc, kPassword, kNeedPassword, kMethod, kDamaged, kTooLong, kSink, kCancelled };
const char* DecodeResultText(DecodeResult r);
// What kMethod means for `e`: the method by name and number ("PPMd (method 98)"); for a WinZip
// AES member the method inside it.
std::string UnsupportedText(const Entry& e);

// Decodes one entry of an opened archive, handing plain data to `sink` (false = stop).
// `password` is used when the entry is encrypted, with ZipCrypto or WinZip AES (empty:
// kNeedPassword). An AES member whose authentication code does not match is kDamaged before
// anything reaches `sink`.
DecodeResult DecodeEntry(ByteSource& src, const Entry& e, const std::string& password,
                         const std::function<bool(const uint8_t*, size_t)>& sink);

// Encoding ------------------------------------------------------------------------------------

// Compresses a whole buffer: level 0 stores, 1-9 deflate (stored when deflate does not help).
// Fills method, crc, sizes and the level bits of flags; with a password the result is encrypted.
struct Encoded {
  std::vector<uint8_t> data;
};
void EncodeBuffer(const uint8_t* data, size_t len, int level, const std::string& password, Entry& e, Encoded& out);

// Streaming encoder for entries too big to hold in memory. With a password the entry uses a data
// descriptor (flag bit 3) so that the check byte comes from the time field.
class StreamEncoder {
 public:
  StreamEncoder(int level, const std::string& password, Entry& e);
  ~StreamEncoder();
  // Appends compressed output to out.
  void Feed(const uint8_t* data, size_t len, std::vector<uint8_t>& out);
  void Finish(std::vector<uint8_t>& out);

 private:
  void Emit(std::vector<uint8_t>& out, size_t from);
  struct Impl;
  Impl* impl_;
  Entry& e_;
};

std::vector<uint8_t> LocalHeader(const Entry& e);
std::vector<uint8_t> DataDescriptor(const Entry& e);
std::vector<uint8_t> CentralHeader(const Entry& e);
std::vector<uint8_t> EndRecord(uint64_t count, uint64_t cdSize, uint64_t cdOffset, const std::string& comment);
// Level bits of the general-purpose flags for a deflate level.
uint16_t LevelFlags(int level);

void Put16(std::vector<uint8_t>& v, uint32_t x);
void Put32(std::vector<uint8_t>& v, uint32_t x);
uint16_t Get16(const uint8_t* p);
uint32_t Get32(const uint8_t* p);
uint64_t Get64(const uint8_t* p);

}  // namespace qlzip
