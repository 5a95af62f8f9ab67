#include "archivers/lzh/archive_file.h"

namespace qlx {

static int SeekTo(FILE* f, uint64_t pos, int whence) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<int64_t>(pos), whence);
#else
  return fseeko(f, static_cast<off_t>(pos), whence);
#endif
}

static uint64_t Tell(FILE* f) {
#ifdef _WIN32
  return static_cast<uint64_t>(_ftelli64(f));
#else
  return static_cast<uint64_t>(ftello(f));
#endif
}

bool ArchiveFile::Open(const std::string& path) {
  Close();
  f_ = fopen(path.c_str(), "rb");
  if (!f_) return false;
  if (SeekTo(f_, 0, SEEK_END) != 0) return false;
  size_ = Tell(f_);
  return SeekTo(f_, 0, SEEK_SET) == 0;
}

void ArchiveFile::Close() {
  if (f_) fclose(f_);
  f_ = nullptr;
  pos_ = size_ = 0;
}

size_t ArchiveFile::Read(uint8_t* buf, size_t size) {
  if (!f_) return 0;
  size_t got = fread(buf, 1, size, f_);
  pos_ += got;
  return got;
}

bool ArchiveFile::Seek(uint64_t pos) {
  if (!f_ || SeekTo(f_, pos, SEEK_SET) != 0) return false;
  pos_ = pos;
  return true;
}

}  // namespace qlx
