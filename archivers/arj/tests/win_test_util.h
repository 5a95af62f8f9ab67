// Helpers for the tests that run the archiver programs (ARJ.EXE, QLLZH.EXE, QLARC.EXE) under
// Wine: the program directory, whole files, running a command line, a scratch directory.
#pragma once
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace wintest {

// The program directory as a Windows path.
inline std::string ProgramDir() {
  std::string p = "Z:" + std::string(QL_PROGRAM_DIR);
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

inline void Write(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary);
  f << data;
}

inline std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Runs `command` in `dir` without a window and waits for it; its exit code (99 when it could
// not start).
inline DWORD RunProgram(const std::string& dir, const std::string& command) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::vector<char> cmd(command.begin(), command.end());
  cmd.push_back(0);
  DWORD code = 99;
  if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     dir.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  return code;
}

// `prefix` and this process's id under the temporary directory, created if missing.
inline std::string ScratchDir(const std::string& prefix) {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string d = std::string(tmp) + prefix + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(d.c_str(), nullptr);
  return d;
}

}  // namespace wintest
