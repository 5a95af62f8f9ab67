#include <gtest/gtest.h>

#include "archivers/runner/runner_args.h"

namespace ql {
namespace {

TEST(RunnerArgs, WorkDirectoryAndSwitches) {
  struct Case { const char* tail; const char* dir; bool batch, virus, view; };
  const Case cases[] = {
      {"C:\\QUILLON\\QL5TEMP", "C:\\QUILLON\\QL5TEMP", false, false, false},
      {"C:\\QUILLON\\QL5TEMP -B", "C:\\QUILLON\\QL5TEMP", true, false, false},
      {"C:\\QUILLON\\QL5TEMP -V", "C:\\QUILLON\\QL5TEMP", false, true, false},
      {"C:\\QUILLON\\QL5TEMP -T", "C:\\QUILLON\\QL5TEMP", false, false, true},
      {"C:\\QUILLON\\QL5TEMP -B -T", "C:\\QUILLON\\QL5TEMP", true, false, true},
      // Quillon passes the work directory as stored, blanks and all.
      {"C:\\Program Files\\Quillon\\QL5TEMP -B", "C:\\Program Files\\Quillon\\QL5TEMP", true, false, false},
      {"\"C:\\Program Files\\Quillon\\QL5TEMP\" -b", "C:\\Program Files\\Quillon\\QL5TEMP", true, false, false},
      {"C:\\A -X", "C:\\A -X", false, false, false},  // not a switch of ours: part of the directory
      {"", "", false, false, false},
      {"-B", "", true, false, false},
  };
  for (const Case& c : cases) {
    RunnerArgs a = ParseRunnerArgs(c.tail);
    EXPECT_EQ(c.dir, a.workDirectory) << c.tail;
    EXPECT_EQ(c.batch, a.batch) << c.tail;
    EXPECT_EQ(c.virus, a.virusScan) << c.tail;
    EXPECT_EQ(c.view, a.view) << c.tail;
  }
}

TEST(RunnerArgs, TailSkipsTheProgramName) {
  EXPECT_EQ("C:\\W -B", CommandLineTail("C:\\QUILLON\\QLKBDTRP.EXE C:\\W -B"));
  EXPECT_EQ("C:\\W", CommandLineTail("\"C:\\Program Files\\qlkbdtrp.exe\"  C:\\W "));
  EXPECT_EQ("", CommandLineTail("qlkbdtrp.exe"));
  EXPECT_EQ("", CommandLineTail("\"unterminated"));
}

TEST(RunnerArgs, CommandFileWithOrWithoutTrailingBackslash) {
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndargs", CommandFilePath("C:\\Q\\QL5TEMP"));
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndargs", CommandFilePath("C:\\Q\\QL5TEMP\\"));
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndexit", ExitFilePath("C:\\Q\\QL5TEMP"));
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndexit", ExitFilePath("C:\\Q\\QL5TEMP\\"));
}

TEST(RunnerArgs, ExitFileHoldsTheCodeInDecimalWithCrLf) {
  EXPECT_EQ("0\r\n", ExitFileText(0));
  EXPECT_EQ("3\r\n", ExitFileText(3));
  // A crashed command's NTSTATUS reads as the unsigned 32-bit number, never negative.
  EXPECT_EQ("3221225477\r\n", ExitFileText(0xC0000005ul));
  EXPECT_EQ("4294967295\r\n", ExitFileText(0xFFFFFFFFul));
}

}  // namespace
}  // namespace ql
