// Reading and writing ARJ archives over byte sources and stdio files. Platform-free.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "archivers/arj/arj_codec.h"
#include "archivers/arj/arj_format.h"

namespace arj {

// Random-access bytes: a file or a memory block.
class Source {
 public:
  virtual ~Source() = default;
  // Reads up to `size` bytes at `offset`; returns the count read.
  virtual size_t ReadAt(uint64_t offset, void* buf, size_t size) = 0;
  virtual uint64_t Size() const = 0;
};

class MemorySource : public Source {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t ReadAt(uint64_t offset, void* buf, size_t size) override;
  uint64_t Size() const override { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// Small reads (headers) are served from a read-ahead buffer, so that walking the headers of a
// large archive costs few system calls; large reads go to the file directly.
class FileSource : public Source {
 public:
  static std::unique_ptr<FileSource> Open(const std::string& path);
  ~FileSource() override;
  size_t ReadAt(uint64_t offset, void* buf, size_t size) override;
  uint64_t Size() const override { return size_; }

 private:
  size_t ReadFile(uint64_t offset, void* buf, size_t size);
  FILE* f_ = nullptr;
  uint64_t size_ = 0;
  uint64_t pos_ = UINT64_MAX;
  std::vector<uint8_t> cache_;
  uint64_t cache_at_ = 0;
  size_t cache_size_ = 0;
};

// stdio helpers with 64-bit offsets.
bool SeekFile(FILE* f, uint64_t offset);
uint64_t TellFile(FILE* f);
bool TruncateFile(FILE* f, uint64_t size);

struct Entry {
  Header h;
  uint64_t header_offset = 0;
  uint64_t data_offset = 0;
};

enum class ReadStatus { kOk, kEnd, kNotArj, kDamaged, kTruncated };

// Walks an archive: finds the main header (also behind a self-extractor stub), then yields
// local headers one by one.
class ArchiveReader {
 public:
  explicit ArchiveReader(Source* src) : src_(src) {}
  // Finds the main header within the first `max_scan` bytes.
  ReadStatus Open(uint64_t max_scan = 16u << 20);
  // Next local header. With `recover`, a damaged header is skipped by searching forward for
  // the next valid one.
  ReadStatus Next(Entry* e, bool recover = false);
  const Header& main() const { return main_; }
  uint64_t main_offset() const { return main_offset_; }
  // Offset just past the end marker (valid after Next returned kEnd).
  uint64_t end_offset() const { return pos_; }
  // Reads an entry's data as a pull function.
  ReadFn DataReader(const Entry& e);

 private:
  ReadStatus ReadHeaderAt(uint64_t offset, Header* h, size_t* used);
  bool FindHeader(uint64_t from, uint64_t limit, bool want_main, uint64_t* found);

  Source* src_;
  Header main_;
  uint64_t main_offset_ = 0;
  uint64_t pos_ = 0;
  std::vector<uint8_t> buf_;
};

// Test / extract one entry's data into a sink, checking its CRC. `password` may be empty.
enum class EntryResult { kOk, kCrcError, kBadData, kWriteError, kNeedPassword, kUnsupported };
EntryResult ExtractData(Source* src, const Entry& e, const std::string& password,
                        const WriteFn& out);

// Writes an archive to a stdio file front to back.
class ArchiveWriter {
 public:
  explicit ArchiveWriter(FILE* f) : f_(f) {}
  bool WriteMain(const Header& main);
  // Copies an entry with its compressed data unchanged from another archive.
  bool CopyEntry(Source* src, const Entry& e);
  bool CopyEntry(Source* src, const Entry& e, const Header& changed);
  // Adds a header without data (directories, labels).
  bool AddHeaderOnly(const Header& h);
  // Compresses `size` bytes from `in` (which must be able to start over through `rewind`).
  // Stores when compression does not shrink the data. Fills method, sizes and CRC.
  bool AddData(Header h, uint64_t size, const ReadFn& in, const std::function<bool()>& rewind,
               const EncodeOptions& opts, const std::string& password, Header* written);
  bool Finish();
  // Forgets everything written after `pos` (an earlier position()).
  bool Rollback(uint64_t pos);
  uint64_t position() const { return pos_; }
  bool failed() const { return failed_; }
  // Set when an input could not be read back completely during AddData.
  bool input_failed() const { return input_failed_; }

 private:
  bool Write(const void* data, size_t size);
  FILE* f_;
  Encoder encoder_;
  uint64_t pos_ = 0;
  bool failed_ = false;
  bool input_failed_ = false;
};

}  // namespace arj
