// Win32 file times and attributes as ARJ headers give them: inline and free of the C++ library,
// for the archiver's file system (arj_fs_win.cpp) and the self-extractor (sfx_main.cpp) alike.
#pragma once
#include <windows.h>

#include <cstdint>

#include "archivers/arj/arj_block.h"

namespace arj {
namespace win {

inline int64_t FileTimeToUnix(const FILETIME& ft) {
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  return static_cast<int64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

inline FILETIME UnixToFileTime(int64_t t) {
  ULARGE_INTEGER u;
  u.QuadPart = static_cast<ULONGLONG>(t + 11644473600LL) * 10000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  return ft;
}

// A local DOS date and time (date in the high word) in Unix seconds; 0 when it is not valid.
inline int64_t LocalDosToUnix(uint32_t dos) {
  FILETIME local, ft;
  if (!DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos), &local) ||
      !LocalFileTimeToFileTime(&local, &ft))
    return 0;
  return FileTimeToUnix(ft);
}

// Sets the last-write time of a file or directory (native path) to Unix seconds.
inline void SetUnixMtime(const char* path, int64_t mtime) {
  HANDLE h = CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  FILETIME ft = UnixToFileTime(mtime);
  ::SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

// The attributes to give a file for what an archive says of it: Unix permissions (read-only
// unless the owner may write) or DOS bits (read-only, hidden, system, archive; never the
// directory or label bits). FILE_ATTRIBUTE_NORMAL when none is set.
inline DWORD AttributesFor(uint8_t host_os, uint16_t mode, bool is_dir) {
  DWORD a;
  if (host_os == kHostUnix || host_os == kHostNeXT) {
    a = (mode & 0200) ? 0 : FILE_ATTRIBUTE_READONLY;
  } else {
    a = mode & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                FILE_ATTRIBUTE_ARCHIVE);
  }
  if (is_dir) a |= FILE_ATTRIBUTE_DIRECTORY;
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  return a;
}

}  // namespace win
}  // namespace arj
