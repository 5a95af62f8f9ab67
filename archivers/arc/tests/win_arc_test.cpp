// QLARC.EXE under Wine, called the way Quillon converts an ARC archive:
// "QLARC SOURCE TARGETDIR\" with a target directory whose name has blanks.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/lzh/lzh_format.h"

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
  std::string d = std::string(tmp) + "qlarc" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(d.c_str(), nullptr);
  return d;
}

// One member's header and data, as ARC writes them.
std::string Member(int method, const std::string& name, const std::string& packed,
                   const std::string& original) {
  std::string h = "\x1a";
  h += static_cast<char>(method);
  std::string n = name;
  n.resize(13, '\0');
  h += n;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) h += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(static_cast<uint32_t>(packed.size()), 4);
  put(0x5B8A, 2);
  put(0x6000, 2);
  put(lzh::Crc16(0, reinterpret_cast<const uint8_t*>(original.data()), original.size()), 2);
  put(static_cast<uint32_t>(original.size()), 4);
  return h + packed;
}

}  // namespace

TEST(ArcExe, ExtractsIntoATargetWithBlanksAndRefusesEscapes) {
  const std::string dir = ScratchDir();
  const std::string text = "plain stored text\r\n";
  const std::string runs = std::string(50, 'A') + "xyz" + std::string(40, 'B');
  const std::string packed = std::string("A\x90\x32xyzB\x90\x28", 9);
  const std::string archive = Member(2, "READ.ME", text, text) + Member(2, "..\\ESCAPE.TXT", "x", "x") +
                              Member(3, "RUNS.BIN", packed, runs) + std::string("\x1a\x00", 2);
  Write(dir + "\\SRC.ARC", archive);
  // As Quillon writes it (no quotes) and quoted with the closing backslash.
  const std::string target = dir + "\\scratch dir";
  const std::string exe = "\"" + ProgramDir() + "\\QLARC.EXE\" " + dir + "\\SRC.ARC ";
  for (const std::string& tail : {target + "\\", "\"" + target + "\\\""}) {
    CreateDirectoryA(target.c_str(), nullptr);
    DWORD code = RunProgram(dir, exe + tail);
    EXPECT_EQ(code, 1u) << tail;  // the escaping member is refused, the others extracted
    EXPECT_EQ(Read(target + "\\READ.ME"), text) << tail;
    EXPECT_EQ(Read(target + "\\RUNS.BIN"), runs) << tail;
    EXPECT_EQ(GetFileAttributesA((dir + "\\escape.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA((target + "\\READ.ME").c_str());
    DeleteFileA((target + "\\RUNS.BIN").c_str());
    RemoveDirectoryA(target.c_str());
  }
  DeleteFileA((dir + "\\SRC.ARC").c_str());
  RemoveDirectoryA(dir.c_str());
}
