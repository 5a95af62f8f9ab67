// Test helpers: the host's own programs (Debian's unzip, zip and arj) run from a test under Wine
// on files of drive Z:.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/tests/win_test_util.h"

namespace ql {

// "Z:\a\b" as the host sees it.
inline std::string HostPath(std::string p) {
  p.erase(0, 2);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// Runs a shell command of the host system and returns its exit status, or -1. Wine starts Unix
// programs detached, without a process to wait for, so the command leaves its status in a file
// (written under a temporary name and renamed when complete) and we wait for that file.
inline int RunHost(const std::string& hostCommand, const std::string& statusFile) {
  DeleteFileA(statusFile.c_str());
  std::string status = HostPath(statusFile);
  std::string line = "/bin/sh -c \"" + hostCommand + "; echo $? > '" + status + ".tmp' && mv '" +
                     status + ".tmp' '" + status + "'\"";
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(20)) {
    std::string text = ReadAll(statusFile);
    if (!text.empty()) return atoi(text.c_str());
  }
  return -1;
}

}  // namespace ql
