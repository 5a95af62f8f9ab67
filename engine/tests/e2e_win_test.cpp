// Operations end to end with our real pkzip and pkunzip: a new archive is created, files are
// added, extracted into a new directory, tested, viewed and deleted, and Debian's unzip checks
// every archive that results. The runner here is the stand-in in its "exec" mode, which runs
// the command of cmndargs in QLWORK as the runner does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/runner_win.h"
#include "engine/tests/win_test_util.h"

namespace ql {
namespace {

// "Z:\a\b" as the host sees it.
std::string HostPath(std::string p) {
  p.erase(0, 2);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// Runs a shell command of the host system and returns its exit status, or -1. Wine starts Unix
// programs detached, without a process to wait for, so the command leaves its status in a file
// (written under a temporary name and renamed when complete) and we wait for that file.
int RunHost(const std::string& hostCommand, const std::string& statusFile) {
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

class RealArchiverTest : public ::testing::Test {
 protected:
  std::string prog, work, saved;
  RunnerSetup setup;
  SwitchSet s;

  void SetUp() override {
    if (GetFileAttributesA("Z:\\usr\\bin\\unzip") == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "Debian's unzip is not installed";
    char cur[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof cur, cur);
    saved = cur;
    // Under the build tree (drive Z:), so that the host's unzip can read the archives.
    prog = FromUnix(E2E_DIR) + "\\e2e " + std::to_string(GetCurrentProcessId());
    RemoveTree(prog);
    CreateDirectoryA(FromUnix(E2E_DIR).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    work = prog + "\\QL5TEMP";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    std::string programs = FromUnix(QL_PROGRAM_DIR);
    ASSERT_TRUE(CopyFileA((FromUnix(STANDIN_DIR) + "\\standin_runner.exe").c_str(),
                          (prog + "\\qlkbdtrp.exe").c_str(), FALSE));
    for (const char* exe : {"pkzip.exe", "pkunzip.exe"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + exe).c_str(), (prog + "\\" + exe).c_str(), FALSE)) << exe;
    ASSERT_TRUE(WriteWholeFile(work + "\\runner.mode", "exec"));
    setup.runnerPath = prog + "\\qlkbdtrp.exe";
    setup.programDir = prog;
    setup.workDir = work;

    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);
    SetOn(s, Sw::RestoreSubdirs, true);

    std::string src = prog + "\\Source Files";
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
  int UnzipTest(const std::string& archive) {
    return RunHost("/usr/bin/unzip -tqq '" + HostPath(archive) + "'", prog + "\\unzip.status");
  }
  EnginePaths Paths() { return EnginePaths{prog, work}; }
};

TEST_F(RealArchiverTest, CreateAddExtractTestViewAndDelete) {
  // A new archive named REPORT in a directory that does not exist yet.
  NewArchiveTarget target = ResolveNewArchive(prog + "\\Archives", "REPORT", ArchiveKind::Zip,
                                              prog, [](const std::string&) { return std::string(); });
  ASSERT_EQ(prog + "\\Archives\\REPORT.Zip", target.path);
  ASSERT_TRUE(CreateDirectoryA(target.directory.c_str(), nullptr));
  const std::string archive = target.path;
  ASSERT_NE(0, UnzipTest(archive)) << "the judge fails an archive that is not there";

  // Add the selected lines of a directory window.
  DropSource src;
  src.sourceDir = prog + "\\Source Files";
  src.nameFields = {"A.TXT", "B C.TXT", "[DOCS]", "[..]"};
  ASSERT_EQ(RunResult::Done, RunCommand(setup, DropAdd(s, Paths(), ArchiveKind::Zip, archive, false, false, src)));
  EXPECT_EQ("0", One(Record(ReadAll(work + "\\runner.log")), "exit"));
  ASSERT_TRUE(Exists(archive));
  EXPECT_EQ(0, UnzipTest(archive));
  EXPECT_TRUE(Exists(src.sourceDir + "\\A.TXT")) << "an add keeps the source files";

  // Extract every member into a new directory, with directories.
  std::string out = prog + "\\Out Dir";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, ExtractMembers(s, Paths(), ArchiveKind::Zip, archive, false,
                                             {"A.TXT", "B C.TXT", "DOCS/D.TXT"}, out)));
  EXPECT_EQ("first file\r\n", ReadAll(out + "\\A.TXT"));
  EXPECT_EQ(std::string(5000, 'b'), ReadAll(out + "\\B C.TXT"));
  EXPECT_EQ("in a directory\r\n", ReadAll(out + "\\DOCS\\D.TXT"));

  // Test: the runner's window shows, the archive is read whole.
  DeleteFileA((work + "\\runner.log").c_str());
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, TestArchive(s, Paths(), ArchiveKind::Zip, archive, TestFrom::WindowArchive)));
  EXPECT_EQ("0", One(Record(ReadAll(work + "\\runner.log")), "exit"));

  // View: the member lands in the work directory.
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, ViewMember(s, Paths(), ArchiveKind::Zip, archive, false, "DOCS/D.TXT")));
  EXPECT_EQ("in a directory\r\n", ReadAll(ViewedFile(work, "DOCS/D.TXT")));

  // Delete one member; the archive stays sound and keeps the others.
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, DeleteMembers(s, Paths(), ArchiveKind::Zip, archive, false,
                                            {"B C.TXT\tB C.TXT\t5000"}, 3)));
  EXPECT_EQ(0, UnzipTest(archive));
  std::string again = prog + "\\Again";
  ASSERT_TRUE(CreateDirectoryA(again.c_str(), nullptr));
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, ExpressExtract(s, Paths(), ArchiveKind::Zip, archive, nullptr, again)));
  EXPECT_TRUE(Exists(again + "\\A.TXT"));
  EXPECT_TRUE(Exists(again + "\\DOCS\\D.TXT"));
  EXPECT_FALSE(Exists(again + "\\B C.TXT"));

  // Move: the source files go into the archive and leave the directory.
  DropSource more;
  more.sourceDir = prog + "\\Source Files";
  more.nameFields = {"B C.TXT"};
  ASSERT_EQ(RunResult::Done,
            RunCommand(setup, DropAdd(s, Paths(), ArchiveKind::Zip, archive, false, true, more)));
  EXPECT_FALSE(Exists(more.sourceDir + "\\B C.TXT"));
  EXPECT_EQ(0, UnzipTest(archive));
}

}  // namespace
}  // namespace ql
