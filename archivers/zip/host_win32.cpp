// The file system of the Win32 build. Paths are held in a code page (the ANSI one, or UTF-8 for a
// host that must reach every name) and go to the wide calls, so either form names any file.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <io.h>
#include <fcntl.h>

#include "archivers/zip/host.h"

namespace qlzip {
namespace {

std::string Native(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

int64_t FileTimeToUnix(const FILETIME& ft) {
  uint64_t t = static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
  return static_cast<int64_t>(t / 10000000ULL) - 11644473600LL;
}

FILETIME UnixToFileTime(int64_t u) {
  uint64_t t = static_cast<uint64_t>(u + 11644473600LL) * 10000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

// Code-page conversions through UTF-16 that never substitute a look-alike (Windows' best fit):
// false when a character has no place in the target code page.
std::wstring Widen(const std::string& s, UINT cp) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

bool Narrow(const std::wstring& w, UINT cp, std::string& out) {
  out.clear();
  if (w.empty()) return true;
  BOOL usedDefault = FALSE;
  const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* used = cp == CP_UTF8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, used);
  if (n <= 0) return false;
  out.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, used);
  // A round trip shows characters that were dropped or folded without the default character.
  return !usedDefault && (cp == CP_UTF8 || Widen(out, cp) == w);
}

class Win32Host : public Host {
 public:
  explicit Win32Host(UINT cp) : cp_(cp) {}

  std::FILE* OpenRead(const std::string& path) override {
    return _wfopen(Wide(path).c_str(), L"rb");
  }

  std::FILE* CreateNew(const std::string& path) override {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
      CloseHandle(h);
      return nullptr;
    }
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) _close(fd);
    return f;
  }

  bool Stat(const std::string& path, DirEntry& out) override {
    std::wstring p = Wide(path);
    if (p.find_first_of(L"*?") != std::wstring::npos) return false;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(p.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
      // A drive root or similar: attributes only.
      DWORD a = GetFileAttributesW(p.c_str());
      if (a == INVALID_FILE_ATTRIBUTES) return false;
      out = DirEntry();
      out.name = BaseName(path);
      out.isDir = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
      out.attrs = a & 0x37;
      return true;
    }
    FindClose(h);
    out = DirEntry();
    Fill(fd, out);
    return true;
  }

  // A name the code page cannot hold is seen as it is (utf8Name): it is opened through its short
  // name and stored under its real name.
  bool List(const std::string& dir, std::vector<DirEntry>& out) override {
    std::wstring pat = Wide(dir.empty() ? std::string("*") : JoinPath(dir, "*"));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pat.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
      if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      DirEntry e;
      Fill(fd, e);
      out.push_back(e);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return true;
  }

  bool MakeDir(const std::string& path) override {
    return CreateDirectoryW(Wide(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  }

  bool Remove(const std::string& path) override {
    std::wstring p = Wide(path);
    SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(p.c_str()) != 0;
  }

  bool Replace(const std::string& from, const std::string& to) override {
    std::wstring f = Wide(from), t = Wide(to);
    DWORD a = GetFileAttributesW(t.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) return false;
    if (MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (GetLastError() != ERROR_NOT_SAME_DEVICE) return false;
    // Another drive: copy beside the target, then move there.
    std::wstring side = t + L".QLT";
    DeleteFileW(side.c_str());
    if (!CopyFileW(f.c_str(), side.c_str(), TRUE)) {
      DeleteFileW(side.c_str());
      return false;
    }
    if (!MoveFileExW(side.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      DeleteFileW(side.c_str());
      return false;
    }
    DeleteFileW(f.c_str());
    return true;
  }

  void SetTime(const std::string& path, int64_t mtime) override {
    HANDLE h = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    FILETIME ft = UnixToFileTime(mtime);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
  }

  void SetAttrs(const std::string& path, uint32_t dosAttrs, uint32_t) override {
    DWORD a = dosAttrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesW(Wide(path).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL);
  }

  std::string CurrentDir() override {
    wchar_t buf[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    std::string out;
    if (!n || n >= MAX_PATH || !Narrow(std::wstring(buf, n), cp_, out)) return ".";
    return ToSlashes(out);
  }

  std::string VolumeLabel(const std::string& path) override {
    std::wstring root = RootOf(path);
    wchar_t label[MAX_PATH] = L"";
    if (root.empty() || !GetVolumeInformationW(root.c_str(), label, MAX_PATH, nullptr, nullptr, nullptr,
                                                nullptr, 0))
      return "";
    std::string out;
    Narrow(label, cp_, out);
    return out;
  }

  bool SetVolumeLabel(const std::string& path, const std::string& label) override {
    std::wstring root = RootOf(path);
    return !root.empty() && SetVolumeLabelW(root.c_str(), Widen(label, cp_).c_str());
  }

  bool IsRemovable(const std::string& path) override {
    std::wstring root = RootOf(path);
    return !root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
  }

  bool FoldsCase() const override { return true; }
  uint16_t MadeBy() const override { return 20; }  // MS-DOS host, 2.0

  std::string LocalName(const std::string& stored, NameKind kind, bool* exact) override {
    if (exact) *exact = true;
    if (stored.empty()) return stored;
    // Plain bytes are read as the ANSI code page, as the ANSI calls always did.
    if (kind == kRawName && cp_ == CP_ACP) return stored;
    const UINT from = kind == kUtf8Name ? CP_UTF8 : kind == kOemName ? CP_OEMCP : CP_ACP;
    std::string out;
    if (!Narrow(Widen(stored, from), cp_, out) && exact) *exact = false;
    return out.empty() ? stored : out;
  }

  std::string ArchiveName(const std::string& local, bool& utf8) override {
    const bool mayUtf8 = utf8;
    utf8 = false;
    std::wstring w = Widen(local, cp_);
    std::string out;
    if (Narrow(w, CP_OEMCP, out)) return out;
    if (mayUtf8 && Narrow(w, CP_UTF8, out)) {
      utf8 = true;
      return out;
    }
    // Text that must stay in the OEM code page (a comment) takes Windows' nearest characters.
    int n = WideCharToMultiByte(CP_OEMCP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return local;
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
  }

  std::string Utf8Name(const std::string& local) override {
    std::string out;
    return Narrow(Widen(local, cp_), CP_UTF8, out) ? out : local;
  }

  std::unique_ptr<Host> Utf8Host() override {
    if (cp_ == CP_UTF8) return nullptr;
    return std::make_unique<Win32Host>(CP_UTF8);
  }

 private:
  std::wstring Wide(const std::string& path) const { return Widen(Native(path), cp_); }

  void Fill(const WIN32_FIND_DATAW& fd, DirEntry& e) const {
    e.isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.size = e.isDir ? 0 : (static_cast<uint64_t>(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow);
    e.mtime = FileTimeToUnix(fd.ftLastWriteTime);
    e.attrs = fd.dwFileAttributes & 0x37;
    if (Narrow(fd.cFileName, cp_, e.name)) return;
    Narrow(fd.cFileName, CP_UTF8, e.utf8Name);
    // Empty when the name has no short form in the code page either.
    if (!fd.cAlternateFileName[0] || !Narrow(fd.cAlternateFileName, cp_, e.name)) e.name.clear();
  }

  std::wstring RootOf(const std::string& path) const {
    std::wstring p = Wide(path);
    if (p.size() >= 2 && p[1] == L':') return p.substr(0, 2) + L"\\";
    wchar_t cwd[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, cwd);
    if (n >= 2 && n < MAX_PATH && cwd[1] == L':') return std::wstring(cwd, 2) + L"\\";
    return std::wstring();
  }

  UINT cp_;  // the code page of the paths and local names this host is given
};

}  // namespace

std::unique_ptr<Host> MakeHost() { return std::make_unique<Win32Host>(CP_ACP); }

}  // namespace qlzip
