// Test fixtures of the archive operations under Wine: a program directory of its own per test,
// with recording stand-ins for the runner and the two engine libraries under their real names.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/operations_win.h"
#include "engine/runner_win.h"
#include "engine/tests/win_test_util.h"

namespace ql {

// A program directory of its own per test: the stand-ins under the real names, a work directory,
// a source and a target directory.
class ProgramDirTest : public ::testing::Test {
 protected:
  std::string prog, work, saved;
  RunnerSetup setup;

  virtual const char* DirPrefix() { return "qleng"; }

  void SetUp() override {
    char cur[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof cur, cur);
    saved = cur;
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    prog = std::string(temp) + DirPrefix() + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++serial);
    if (prog.back() == '\\') prog.pop_back();
    RemoveTree(prog);
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    work = prog + "\\QL5TEMP";
    for (const char* sub : {"\\QL5TEMP", "\\SRC", "\\OUT"})
      ASSERT_TRUE(CreateDirectoryA((prog + sub).c_str(), nullptr));
    std::string standins = FromUnix(STANDIN_DIR);
    struct Copy {
      const char* from;
      const char* to;
    } copies[] = {{"standin_runner.exe", "qlkbdtrp.exe"},
                  {"standin_zip.dll", "QL53NTI2.DLL"},
                  {"standin_unzip.dll", "QL53NTI1.DLL"}};
    for (const Copy& c : copies)
      ASSERT_TRUE(CopyFileA((standins + "\\" + c.from).c_str(), (prog + "\\" + c.to).c_str(), FALSE))
          << c.from;
    setup.runnerPath = prog + "\\qlkbdtrp.exe";
    setup.programDir = prog;
    setup.workDir = work;
    setup.minimumWaitMs = 0;  // the runner's shortest wait has a test of its own
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved.c_str());
    RemoveTree(prog);
  }
  std::multimap<std::string, std::string> RunnerLog() { return Record(ReadAll(work + "\\runner.log")); }
  std::multimap<std::string, std::string> EngineLog() { return Record(ReadAll(prog + "\\engine.log")); }
  void SetMode(const char* mode) { ASSERT_TRUE(WriteWholeFile(work + "\\runner.mode", mode)); }
};

// A stored ZIP holding one file "A.TXT" with the text "x".
inline std::string TinyZip() {
  auto le16 = [](std::string& o, unsigned v) { o += char(v & 255); o += char((v >> 8) & 255); };
  auto le32 = [&](std::string& o, unsigned long v) { le16(o, v & 0xFFFF); le16(o, (v >> 16) & 0xFFFF); };
  const unsigned long crc = 0x8CDC1683UL;  // CRC-32 of "x"
  std::string z;
  le32(z, 0x04034b50); le16(z, 10); le16(z, 0); le16(z, 0); le16(z, 0); le16(z, 0x21);
  le32(z, crc); le32(z, 1); le32(z, 1); le16(z, 5); le16(z, 0); z += "A.TXT"; z += "x";
  size_t cd = z.size();
  le32(z, 0x02014b50); le16(z, 20); le16(z, 10); le16(z, 0); le16(z, 0); le16(z, 0); le16(z, 0x21);
  le32(z, crc); le32(z, 1); le32(z, 1); le16(z, 5); le16(z, 0); le16(z, 0); le16(z, 0); le16(z, 0);
  le32(z, 0); le32(z, 0); z += "A.TXT";
  size_t cdSize = z.size() - cd;
  le32(z, 0x06054b50); le16(z, 0); le16(z, 0); le16(z, 1); le16(z, 1); le32(z, cdSize); le32(z, cd);
  le16(z, 0);
  return z;
}

// Operations on a named archive file: a fresh switch set with everything through the runner, and
// a password question that counts its asks and gives "pw".
class NamedArchiveTest : public ProgramDirTest {
 protected:
  SwitchSet s;
  int passwordAsks = 0;
  void SetUp() override {
    ProgramDirTest::SetUp();
    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);
  }
  AskPassword Ask() {
    return [this](SwitchSet& sw) {
      ++passwordAsks;
      sw.archivePassword = "pw";
      return true;
    };
  }
  std::vector<std::string> Runs() { return All(RunnerLog(), "cmndargs"); }
};

}  // namespace ql
