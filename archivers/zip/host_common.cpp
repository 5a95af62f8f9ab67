#include "archivers/zip/host.h"

namespace qlzip {

bool SeekFile(std::FILE* f, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t TellFile(std::FILE* f) {
#ifdef _WIN32
  return static_cast<uint64_t>(_ftelli64(f));
#else
  return static_cast<uint64_t>(ftello(f));
#endif
}

FileSource::FileSource(std::FILE* f) : f_(f) {
#ifdef _WIN32
  _fseeki64(f, 0, SEEK_END);
#else
  fseeko(f, 0, SEEK_END);
#endif
  size_ = TellFile(f);
}

FileSource::~FileSource() {
  if (f_) std::fclose(f_);
}

size_t FileSource::ReadAt(uint64_t offset, void* buf, size_t len) {
  if (offset >= size_) return 0;
  if (pos_ != offset && !SeekFile(f_, offset)) {
    pos_ = UINT64_MAX;
    return 0;
  }
  size_t n = std::fread(buf, 1, len, f_);
  pos_ = offset + n;
  return n;
}

Host::NameKind NameKindOf(const Entry& e) {
  if (e.flags & 0x800) return Host::kUtf8Name;
  unsigned hostByte = e.madeBy >> 8;
  if (hostByte == 0 || hostByte == 6 || hostByte == 11 || hostByte == 14) return Host::kOemName;
  // Elsewhere names are UTF-8 by habit when they decode as such.
  bool high = false;
  const std::string& n = e.name;
  for (size_t i = 0; i < n.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(n[i]);
    if (c < 0x80) continue;
    high = true;
    size_t k = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
    if (k == 0 || c > 0xF4 || i + k >= n.size()) return Host::kRawName;
    for (size_t j = 1; j <= k; ++j)
      if ((static_cast<unsigned char>(n[i + j]) & 0xC0) != 0x80) return Host::kRawName;
    i += k;
  }
  return high ? Host::kUtf8Name : Host::kRawName;
}

std::string ToSlashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir == ".") return name;
  if (dir.back() == '/' || dir.back() == ':') return dir + name;
  return dir + "/" + name;
}

std::string DirName(const std::string& path) {
  size_t s = path.find_last_of('/');
  if (s == std::string::npos) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return "";
  }
  if (s == 0) return "/";
  if (s == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, s);
}

std::string BaseName(const std::string& path) {
  size_t s = path.find_last_of("/:");
  return s == std::string::npos ? path : path.substr(s + 1);
}

bool HasExtension(const std::string& path) { return BaseName(path).find('.') != std::string::npos; }

}  // namespace qlzip
