// QLLZH.EXE under Wine, called the way Quillon converts an LZH archive:
// "QLLZH e SOURCE TARGETDIR\" with a target directory whose name has blanks.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/lzh/tests/lzh_writer.h"

namespace {

std::string ProgramDir() {
  std::string p = "Z:" + std::string(QL_PROGRAM_DIR);
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void Write(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary);
  f << data;
}

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

DWORD RunProgram(const std::string& dir, const std::string& command) {
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

std::string ScratchDir() {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string d = std::string(tmp) + "qllzh" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(d.c_str(), nullptr);
  return d;
}

}  // namespace

TEST(LzhExe, ExtractsIntoATargetWithBlanksAndRefusesEscapes) {
  const std::string dir = ScratchDir();
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i % 97) + " of the sample\r\n";
  const std::string archive = lzhtest::MakeArchive(
      {{"docs/read me.txt", text, "-lh5-", ""}, {"..\\escape.txt", "x", "-lh0-", ""},
       {"seven.bin", text + text, "-lh7-", ""}},
      1);
  Write(dir + "\\SRC.LZH", archive);
  // As Quillon writes it (no quotes) and quoted with the closing backslash.
  const std::string target = dir + "\\scratch dir";
  const std::string exe = "\"" + ProgramDir() + "\\QLLZH.EXE\" e " + dir + "\\SRC.LZH ";
  for (const std::string& tail : {target + "\\", "\"" + target + "\\\""}) {
    CreateDirectoryA(target.c_str(), nullptr);
    DWORD code = RunProgram(dir, exe + tail);
    EXPECT_EQ(code, 1u) << tail;  // the escaping member is refused, the others extracted
    EXPECT_EQ(Read(target + "\\docs\\read me.txt"), text) << tail;
    EXPECT_EQ(Read(target + "\\seven.bin"), text + text) << tail;
    EXPECT_EQ(GetFileAttributesA((dir + "\\escape.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA((target + "\\docs\\read me.txt").c_str());
    DeleteFileA((target + "\\seven.bin").c_str());
    RemoveDirectoryA((target + "\\docs").c_str());
    RemoveDirectoryA(target.c_str());
  }
  DeleteFileA((dir + "\\SRC.LZH").c_str());
  RemoveDirectoryA(dir.c_str());
}
