#include <windows.h>

#include <cstdio>

#include "archivers/arj/arj_format.h"
#include "archivers/arj/arj_fs.h"
#include "archivers/arj/arj_win_file.h"

namespace arj {
namespace fs {

const char kSep = '\\';
const uint8_t kHostOs = kHostDos;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

namespace {

std::string Native(const std::string& p) {
  std::string s = p;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

using win::FileTimeToUnix;
using win::UnixToFileTime;

void FromFindData(const WIN32_FIND_DATAA& fd, FileInfo* fi) {
  fi->is_dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  fi->hidden = (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
  fi->size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  fi->mtime = FileTimeToUnix(fd.ftLastWriteTime);
  fi->attrib = fd.dwFileAttributes & 0x3F;
}

}  // namespace

bool Stat(const std::string& path, FileInfo* info) {
  std::string p = Native(path);
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  WIN32_FILE_ATTRIBUTE_DATA ad;
  if (!GetFileAttributesExA(p.c_str(), GetFileExInfoStandard, &ad)) return false;
  info->name = path;
  info->is_dir = (ad.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info->hidden = (ad.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
  info->size = (static_cast<uint64_t>(ad.nFileSizeHigh) << 32) | ad.nFileSizeLow;
  info->mtime = FileTimeToUnix(ad.ftLastWriteTime);
  info->attrib = ad.dwFileAttributes & 0x3F;
  return true;
}

bool ListDir(const std::string& dir, std::vector<FileInfo>* out) {
  std::string d = dir.empty() ? "." : Native(dir);
  if (d.back() != '\\' && d.back() != ':') d += '\\';
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((d + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;  // no links
    FileInfo fi;
    fi.name = fd.cFileName;
    FromFindData(fd, &fi);
    out->push_back(fi);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return true;
}

bool MakeDirs(const std::string& path) {
  std::string p = Native(path);
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  size_t start = 0;
  if (p.size() >= 2 && p[1] == ':') start = 2;
  if (p.compare(0, 2, "\\\\") == 0) {
    // \\server\share\ is taken as it is
    size_t s = p.find('\\', 2);
    s = s == std::string::npos ? p.size() : p.find('\\', s + 1);
    start = s == std::string::npos ? p.size() : s;
  }
  for (size_t i = start + 1; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '\\') {
      std::string part = p.substr(0, i);
      DWORD a = GetFileAttributesA(part.c_str());
      if (a != INVALID_FILE_ATTRIBUTES) {
        if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
        continue;
      }
      if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    }
  }
  return true;
}

bool RemoveFile(const std::string& path) {
  std::string p = Native(path);
  SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(p.c_str()) != 0;
}

bool CopyWhole(const std::string& from, const std::string& to) {
  return ::CopyFileA(Native(from).c_str(), Native(to).c_str(), FALSE) != 0;
}

bool MoveReplace(const std::string& from, const std::string& to) {
  std::string f = Native(from), t = Native(to);
  SetFileAttributesA(t.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (MoveFileExA(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    return true;
  return false;
}

void SetFileTime(const std::string& path, int64_t mtime) {
  win::SetUnixMtime(Native(path).c_str(), mtime);
}

void SetAttributes(const std::string& path, uint8_t host_os, uint16_t mode, bool is_dir) {
  SetFileAttributesA(Native(path).c_str(), win::AttributesFor(host_os, mode, is_dir));
}

uint16_t ModeForHeader(const FileInfo& info) {
  return static_cast<uint16_t>((info.attrib & 0x27) | (info.is_dir ? 0x10 : 0));
}

uint64_t FreeSpace(const std::string& dir) {
  ULARGE_INTEGER avail;
  std::string d = dir.empty() ? "." : Native(dir);
  if (!GetDiskFreeSpaceExA(d.c_str(), &avail, nullptr, nullptr)) return UINT64_MAX;
  return avail.QuadPart;
}

std::string SelfDirectory() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string s(buf, n);
  size_t p = s.find_last_of("\\/");
  return p == std::string::npos ? "." : s.substr(0, p);
}

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(Native(path).c_str(), sizeof buf, buf, nullptr);
  if (n == 0 || n >= sizeof buf) return path;
  return std::string(buf, n);
}

uint32_t UnixToDos(int64_t t) {
  FILETIME ft = UnixToFileTime(t), local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return (1u << 21) | (1u << 16);
  return (static_cast<uint32_t>(date) << 16) | time;
}

int64_t DosToUnix(uint32_t dos) { return win::LocalDosToUnix(dos); }

int64_t Now() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return FileTimeToUnix(ft);
}

std::string VolumeLabel(const std::string& path) {
  std::string full = FullPath(path);
  if (full.size() < 3 || full[1] != ':') return std::string();
  char root[4] = {full[0], ':', '\\', 0};
  char label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
    return std::string();
  return label;
}

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
