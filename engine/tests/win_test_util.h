// Test helpers for the Win32 tests: files, records written by the stand-ins, paths.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace ql {

inline std::string FromUnix(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

inline std::string ReadAll(const std::string& path) {
  std::string out;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "key=value" lines of a record; repeated keys keep every value in order.
inline std::multimap<std::string, std::string> Record(const std::string& text) {
  std::multimap<std::string, std::string> m;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    size_t eq = line.find('=');
    if (eq != std::string::npos) m.emplace(line.substr(0, eq), line.substr(eq + 1));
    pos = end + 1;
  }
  return m;
}
inline std::string One(const std::multimap<std::string, std::string>& m, const std::string& key) {
  auto it = m.find(key);
  return it == m.end() ? std::string("<none>") : it->second;
}
inline std::vector<std::string> All(const std::multimap<std::string, std::string>& m, const std::string& key) {
  std::vector<std::string> v;
  for (auto range = m.equal_range(key); range.first != range.second; ++range.first)
    v.push_back(range.first->second);
  return v;
}

inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace ql
