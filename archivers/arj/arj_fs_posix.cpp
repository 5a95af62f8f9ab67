#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "archivers/arj/arj_format.h"
#include "archivers/arj/arj_fs.h"

namespace arj {
namespace fs {

const char kSep = '/';
const uint8_t kHostOs = kHostUnix;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

static std::string Native(const std::string& p) {
  std::string s = p;
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

bool Stat(const std::string& path, FileInfo* info) {
  struct stat st;
  if (stat(Native(path).c_str(), &st) != 0) return false;
  info->name = path;
  info->is_dir = S_ISDIR(st.st_mode);
  info->hidden = false;
  info->size = static_cast<uint64_t>(st.st_size);
  info->mtime = st.st_mtime;
  info->attrib = st.st_mode & 07777;
  return S_ISDIR(st.st_mode) || S_ISREG(st.st_mode);
}

bool ListDir(const std::string& dir, std::vector<FileInfo>* out) {
  std::string d = dir.empty() ? "." : Native(dir);
  DIR* h = opendir(d.c_str());
  if (!h) return false;
  while (struct dirent* e = readdir(h)) {
    if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
    FileInfo fi;
    std::string full = d + (d.back() == '/' ? "" : "/") + e->d_name;
    struct stat st;
    if (lstat(full.c_str(), &st) != 0) continue;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;  // no links or devices
    fi.name = e->d_name;
    fi.is_dir = S_ISDIR(st.st_mode);
    fi.size = static_cast<uint64_t>(st.st_size);
    fi.mtime = st.st_mtime;
    fi.attrib = st.st_mode & 07777;
    out->push_back(fi);
  }
  closedir(h);
  return true;
}

bool MakeDirs(const std::string& path) {
  std::string p = Native(path);
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      struct stat st;
      if (stat(part.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) return false;
        continue;
      }
      if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

bool RemoveFile(const std::string& path) { return unlink(Native(path).c_str()) == 0; }

bool CopyWhole(const std::string& from, const std::string& to) {
  FILE* in = fopen(Native(from).c_str(), "rb");
  if (!in) return false;
  FILE* out = fopen(Native(to).c_str(), "wb");
  if (!out) {
    fclose(in);
    return false;
  }
  char buf[65536];
  size_t n;
  bool ok = true;
  while ((n = fread(buf, 1, sizeof buf, in)) > 0)
    if (fwrite(buf, 1, n, out) != n) ok = false;
  if (ferror(in)) ok = false;
  fclose(in);
  if (fclose(out) != 0) ok = false;
  if (!ok) unlink(Native(to).c_str());
  return ok;
}

bool MoveReplace(const std::string& from, const std::string& to) {
  if (rename(Native(from).c_str(), Native(to).c_str()) == 0) return true;
  // Across file systems: copy beside the target first, then rename there.
  std::string tmp = to + ".$$$";
  if (!CopyWhole(from, tmp)) return false;
  if (rename(tmp.c_str(), Native(to).c_str()) != 0) {
    unlink(tmp.c_str());
    return false;
  }
  unlink(Native(from).c_str());
  return true;
}

void SetFileTime(const std::string& path, int64_t mtime) {
  struct timeval tv[2];
  tv[0].tv_sec = tv[1].tv_sec = static_cast<time_t>(mtime);
  tv[0].tv_usec = tv[1].tv_usec = 0;
  utimes(Native(path).c_str(), tv);
}

void SetAttributes(const std::string& path, uint8_t host_os, uint16_t mode, bool is_dir) {
  mode_t m;
  if (host_os == kHostUnix || host_os == kHostNeXT) {
    m = mode & 0777;  // no set-id or sticky bits from an archive
    if (is_dir) m |= 0700;
  } else {
    m = is_dir ? 0755 : ((mode & 1) ? 0444 : 0644);
  }
  mode_t mask = umask(0);
  umask(mask);
  chmod(Native(path).c_str(), m & ~mask);
}

uint16_t ModeForHeader(const FileInfo& info) {
  return static_cast<uint16_t>((info.is_dir ? 0x2000 : 0x1000) | (info.attrib & 0777));
}

uint64_t FreeSpace(const std::string& dir) {
  struct statvfs sv;
  if (statvfs(dir.empty() ? "." : Native(dir).c_str(), &sv) != 0) return UINT64_MAX;
  return static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
}

std::string SelfDirectory() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  buf[n] = 0;
  std::string s(buf);
  size_t p = s.rfind('/');
  return p == std::string::npos ? "." : s.substr(0, p);
}

std::string FullPath(const std::string& path) {
  char buf[4096];
  std::string p = Native(path);
  if (realpath(p.c_str(), buf)) return buf;
  if (!p.empty() && p[0] == '/') return p;
  if (getcwd(buf, sizeof buf)) return std::string(buf) + "/" + p;
  return p;
}

uint32_t UnixToDos(int64_t t) {
  time_t tt = static_cast<time_t>(t);
  struct tm tm;
  if (!localtime_r(&tt, &tm)) return 0;
  CalendarTime c;
  c.year = tm.tm_year + 1900;
  c.month = tm.tm_mon + 1;
  c.day = tm.tm_mday;
  c.hour = tm.tm_hour;
  c.minute = tm.tm_min;
  c.second = tm.tm_sec;
  return ToDosTime(c);
}

int64_t DosToUnix(uint32_t dos) {
  CalendarTime c = FromDosTime(dos);
  struct tm tm = {};
  tm.tm_year = c.year - 1900;
  tm.tm_mon = c.month - 1;
  tm.tm_mday = c.day;
  tm.tm_hour = c.hour;
  tm.tm_min = c.minute;
  tm.tm_sec = c.second;
  tm.tm_isdst = -1;
  time_t t = mktime(&tm);
  return t == static_cast<time_t>(-1) ? 0 : t;
}

int64_t Now() { return time(nullptr); }

std::string VolumeLabel(const std::string&) { return std::string(); }

bool ReadLine(std::string* line) {
  // getc on stdin reads exactly what std::getline(std::cin) did (cin is synchronised with
  // stdio) without bringing in the iostreams and their locales.
  line->clear();
  int c = getc(stdin);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = getc(stdin)) line->push_back(static_cast<char>(c));
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

}  // namespace fs
}  // namespace arj
