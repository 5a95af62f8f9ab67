// A read-only archive file with 64-bit positions, shared by the LZH and ARC extractors.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace qlx {

class ArchiveFile {
 public:
  ~ArchiveFile() { Close(); }
  bool Open(const std::string& path);
  void Close();
  size_t Read(uint8_t* buf, size_t size);
  bool Seek(uint64_t pos);
  uint64_t pos() const { return pos_; }
  uint64_t size() const { return size_; }

 private:
  FILE* f_ = nullptr;
  uint64_t pos_ = 0, size_ = 0;
};

}  // namespace qlx
