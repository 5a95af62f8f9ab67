// QLARC.EXE under Wine, called the way Quillon converts an ARC archive:
// "QLARC SOURCE TARGETDIR\" with a target directory whose name has blanks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "archivers/arc/tests/arc_member.h"
#include "archivers/arj/tests/win_test_util.h"

namespace {

using wintest::ProgramDir;
using wintest::Read;
using wintest::RunProgram;
using wintest::Write;

using arctest::Member;

std::string ScratchDir() { return wintest::ScratchDir("qlarc"); }

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
