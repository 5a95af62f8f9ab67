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
  bool FoldsCase() const override { return false; }
  uint16_t MadeBy() const override { return 3 << 8 | 20; }

  // Local names are UTF-8 here; OEM names with high bytes become code page 437 text.
  std::string LocalName(const std::string& stored, NameKind kind, bool* exact) override {
    if (exact) *exact = true;
    if (kind != kOemName) return stored;
    std::string out;
    for (unsigned char c : stored) {
      if (c < 0x80) {
        out += static_cast<char>(c);
        continue;
      }
      uint32_t u = kCp437High[c - 0x80];
      if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
      } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      }
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
  }
  std::string Utf8Name(const std::string& local) override { return local; }
  std::string ArchiveName(const std::string& local, bool& utf8) override {
    utf8 = false;
    for (unsigned char c : local)
      if (c >= 0x80) utf8 = true;
    return local;
  }

  static const uint16_t kCp437High[128];

 private:
  static void Fill(const struct stat& st, DirEntry& e) {
    e.isDir = S_ISDIR(st.st_mode);
    e.size = e.isDir ? 0 : static_cast<uint64_t>(st.st_size);
    e.mtime = st.st_mtime;
    e.attrs = (e.isDir ? kDir : kArchive) | ((st.st_mode & 0200) ? 0 : kReadOnly);
    e.attrs |= (st.st_mode & 0xFFFF) << 16;  // the Unix mode rides in the high half
  }
};

const uint16_t PosixHost::kCp437High[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 0x20A7, 0x192,
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0x2310, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x3B1, 0xDF, 0x393, 0x3C0, 0x3A3, 0x3C3, 0xB5, 0x3C4, 0x3A6, 0x398, 0x3A9, 0x3B4, 0x221E, 0x3C6, 0x3B5, 0x2229,
    0x2261, 0xB1, 0x2265, 0x2264, 0x2320, 0x2321, 0xF7, 0x2248, 0xB0, 0x2219, 0xB7, 0x221A, 0x207F, 0xB2, 0x25A0, 0xA0};

}  // namespace

std::unique_ptr<Host> MakeHost() { return std::make_unique<PosixHost>(); }

}  // namespace qlzip
