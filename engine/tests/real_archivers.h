// Test fixture of the operations end to end with the real runner, archivers and engines: a program
// directory of its own under the build tree (drive Z:, where Debian's unzip and arj reach the
// files), and the host's programs run as judges.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/operations_win.h"
#include "engine/runner_win.h"
#include "engine/tests/host_commands.h"
#include "engine/tests/win_test_util.h"
#include "tests/support/win_test_support.h"

namespace ql {

class RealArchiversFixture : public ::testing::Test {
 protected:
  std::string prog, work, src, saved;
  RunnerSetup setup;
  SwitchSet s;

  void SetUp() override {
    char cur[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof cur, cur);
    saved = cur;
    // Under the build tree (drive Z:), so that the host's unzip and arj can read the archives.
    static int serial = 0;
    prog = FromUnix(E2E_DIR) + "\\e2e " + qltest::ProcessTag() + "_" +
           std::to_string(++serial);
    RemoveTree(prog);
    CreateDirectoryA(FromUnix(E2E_DIR).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    work = prog + "\\QL5TEMP";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    std::string programs = FromUnix(QL_PROGRAM_DIR);
    for (const char* file : {"qlkbdtrp.exe", "pkzip.exe", "pkunzip.exe", "ARJ.EXE", "QL53NTI1.DLL",
                             "QL53NTI2.DLL", "QLARC.EXE", "QLLZH.EXE"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE))
          << file;
    setup.runnerPath = prog + "\\qlkbdtrp.exe";
    setup.programDir = prog;
    setup.workDir = work;
    setup.minimumWaitMs = 0;  // the runner's shortest wait has a test of its own

    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::RestoreSubdirs, true);

    src = prog + "\\Source Files";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((src + "\\DOCS").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(src + "\\A.TXT", "first file\r\n"));
    ASSERT_TRUE(WriteWholeFile(src + "\\B C.TXT", std::string(5000, 'b')));
    ASSERT_TRUE(WriteWholeFile(src + "\\DOCS\\D.TXT", "in a directory\r\n"));
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved.c_str());
    if (!prog.empty() && !HasFailure()) RemoveTree(prog);
  }
  // Debian's unzip or arj on an archive: their exit status.
  int Judge(const std::string& archive, ArchiveKind kind) {
    std::string cmd = kind == ArchiveKind::Zip ? "/usr/bin/unzip -tqq '" : "/usr/bin/arj t -y '";
    return RunHost(cmd + HostPath(archive) + "' >/dev/null 2>&1", prog + "\\judge.status");
  }
  EnginePaths Paths() { return EnginePaths{prog, work}; }
  // A shell command of the host run in `hostDir`: whether it succeeded.
  bool Host(const std::string& hostDir, const std::string& command) {
    return RunHost("cd '" + HostPath(hostDir) + "' && " + command, prog + "\\host.status") == 0;
  }
};

}  // namespace ql
