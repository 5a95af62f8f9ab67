// QLLZH.EXE under Wine, called the way Quillon converts an LZH archive:
// "QLLZH e SOURCE TARGETDIR\" with a target directory whose name has blanks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "archivers/arj/tests/win_test_util.h"
#include "archivers/lzh/tests/lzh_writer.h"

namespace {

using wintest::ProgramDir;
using wintest::Read;
using wintest::RunProgram;
using wintest::Write;

std::string ScratchDir() { return wintest::ScratchDir("qllzh"); }

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
