// The file-system services the ARJ program needs; arj_fs_posix.cpp and arj_fs_win.cpp
// implement them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace arj {
namespace fs {

struct FileInfo {
  std::string name;  // bare name (ListDir) or the path asked for (Stat)
  bool is_dir = false;
  bool hidden = false;  // hidden or system: skipped unless -a
  uint64_t size = 0;
  int64_t mtime = 0;   // Unix seconds
  uint32_t attrib = 0;  // DOS attributes (Win32) or permission bits (POSIX)
};

extern const char kSep;            // the native separator
extern const uint8_t kHostOs;      // host byte written into new headers
bool Stat(const std::string& path, FileInfo* info);
bool ListDir(const std::string& dir, std::vector<FileInfo>* out);
bool MakeDirs(const std::string& path);  // creates every missing level
bool RemoveFile(const std::string& path);
// Renames, replacing an existing target; falls back to copying across volumes.
bool MoveReplace(const std::string& from, const std::string& to);
bool CopyWhole(const std::string& from, const std::string& to);
void SetFileTime(const std::string& path, int64_t mtime);
// Applies what an archive says about a file's attributes (DOS bits or Unix permissions).
void SetAttributes(const std::string& path, uint8_t host_os, uint16_t mode, bool is_dir);
// The attribute word to store for a file of this host.
uint16_t ModeForHeader(const FileInfo& info);
uint64_t FreeSpace(const std::string& dir);
std::string SelfDirectory();
std::string FullPath(const std::string& path);
// Local DOS time conversions.
uint32_t UnixToDos(int64_t t);
int64_t DosToUnix(uint32_t dos);
int64_t Now();
// A drive's volume label ("" when none or unknown).
std::string VolumeLabel(const std::string& path);
// Console: reads one line without its line end; false at end of input.
bool ReadLine(std::string* line);
bool IsSeparator(char c);

}  // namespace fs
}  // namespace arj
