// The file system of the native (POSIX) build.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "archivers/zip/host.h"

namespace qlzip {
namespace {

class PosixHost : public Host {
 public:
  std::FILE* OpenRead(const std::string& path) override { return std::fopen(path.c_str(), "rb"); }

  std::FILE* CreateNew(const std::string& path) override {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    std::FILE* f = fdopen(fd, "wb");
    if (!f) close(fd);
    return f;
  }

  bool Stat(const std::string& path, DirEntry& out) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return false;
    Fill(st, out);
    out.name = BaseName(path);
    return true;
  }

  bool List(const std::string& dir, std::vector<DirEntry>& out) override {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (struct dirent* de = readdir(d)) {
      std::string n = de->d_name;
      if (n == "." || n == "..") continue;
      struct stat st;
      if (fstatat(dirfd(d), de->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) continue;  // no links, devices or pipes
      DirEntry e;
      Fill(st, e);
      e.name = n;
      out.push_back(e);
    }
    closedir(d);
    return true;
  }

  bool MakeDir(const std::string& path) override { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }
  bool Remove(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool Replace(const std::string& from, const std::string& to) override {
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    // Another file system: copy beside the target first, then rename there.
    std::string side = to + ".qltmp";
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    unlink(side.c_str());
    std::FILE* out = CreateNew(side);
    bool ok = out != nullptr;
    char buf[1 << 16];
    size_t n;
    while (ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0) ok = std::fwrite(buf, 1, n, out) == n;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    if (out) ok = (std::fclose(out) == 0) && ok;
    if (ok && rename(side.c_str(), to.c_str()) == 0) {
      unlink(from.c_str());
      return true;
    }
    unlink(side.c_str());
    return false;
  }

  void SetTime(const std::string& path, int64_t mtime) override {
    struct timeval tv[2];
    tv[0].tv_sec = tv[1].tv_sec = static_cast<time_t>(mtime);
    tv[0].tv_usec = tv[1].tv_usec = 0;
    utimes(path.c_str(), tv);
  }

  void SetAttrs(const std::string& path, uint32_t dosAttrs, uint32_t unixMode) override {
    mode_t m = unixMode ? (unixMode & 0777) : 0644;  // never set-id or sticky bits from an archive
    if (dosAttrs & kReadOnly) m &= static_cast<mode_t>(~0222);
    chmod(path.c_str(), m);
  }

  std::string CurrentDir() override {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : ".";
  }
  std::string VolumeLabel(const std::string&) override { return ""; }
  bool SetVolumeLabel(const std::string&, const std::string&) override { return false; }
  bool IsRemovable(const std::string&) override { return false; }
  uint16_t MadeBy() const override { return 3 << 8 | 20; }

 private:
  static void Fill(const struct stat& st, DirEntry& e) {
    e.isDir = S_ISDIR(st.st_mode);
    e.size = e.isDir ? 0 : static_cast<uint64_t>(st.st_size);
    e.mtime = st.st_mtime;
    e.attrs = (e.isDir ? kDir : kArchive) | ((st.st_mode & 0200) ? 0 : kReadOnly);
    e.attrs |= (st.st_mode & 0xFFFF) << 16;  // the Unix mode rides in the high half
  }
};

}  // namespace

std::unique_ptr<Host> MakeHost() { return std::make_unique<PosixHost>(); }

}  // namespace qlzip
