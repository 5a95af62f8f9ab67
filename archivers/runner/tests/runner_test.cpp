// Runs the real qlkbdtrp.exe on a cmndargs file, as Quillon does, and checks where and how the command ran.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/support/win_test_support.h"

namespace {

using qltest::FileExists;
using qltest::ReadTextFile;
using qltest::TempDir;
using qltest::WriteTextFile;

std::string ThisExe() {
  char p[MAX_PATH + 1] = "";
  GetModuleFileNameA(nullptr, p, sizeof p);
  return p;
}

std::string RunnerExe() { return std::string(QL_PROGRAM_DIR) + "/qlkbdtrp.exe"; }

// Started by the runner as its command: records the console title and the current directory.
TEST(RunnerChild, RecordsWhereItRan) {
  char out[MAX_PATH + 1] = "";
  if (!GetEnvironmentVariableA("QL_RUNNER_RECORD", out, sizeof out)) GTEST_SKIP() << "started by the runner only";
  char title[256] = "";
  GetConsoleTitleA(title, sizeof title);
  WriteTextFile(out, std::string(title) + "\n" + qltest::CurrentDirectory());
}

struct RunCase {
  const char* name;
  const char* workSuffix;  // added to the work directory on the runner's command line
  bool viaInterpreter;     // a built-in command, run through the command interpreter
};

class RunnerTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunnerTest, RunsCmndargsInQlworkAndDeletesIt) {
  const RunCase c = GetParam();
  TempDir work("ql runner work");  // a blank in the work directory, as under "Program Files"
  TempDir qlwork("qlwork");
  std::string record = qlwork / "record.txt";
  std::string command;
  if (c.viaInterpreter) {
    command = "echo ran> marker.txt";
  } else {
    command = "\"" + ThisExe() + "\" --gtest_filter=RunnerChild.RecordsWhereItRan";
  }
  ASSERT_TRUE(WriteTextFile(work / "cmndargs", command));
  SetEnvironmentVariableA("QLWORK", qlwork.path().c_str());
  SetEnvironmentVariableA("QL_RUNNER_RECORD", record.c_str());

  std::string line = "\"" + RunnerExe() + "\" " + work.path() + c.workSuffix + " -B";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                             &si, &pi));
  SetEnvironmentVariableA("QLWORK", nullptr);
  SetEnvironmentVariableA("QL_RUNNER_RECORD", nullptr);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  EXPECT_EQ(0u, code);
  EXPECT_FALSE(FileExists(work / "cmndargs")) << "the runner deletes its command file when done";
  if (c.viaInterpreter) {
    EXPECT_TRUE(FileExists(qlwork / "marker.txt")) << "the command ran in QLWORK";
  } else {
    std::string text = ReadTextFile(record);
    EXPECT_EQ("Quillon Command Shell\n" + qlwork.path(), text);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, RunnerTest,
                         ::testing::Values(RunCase{"Program", "", false},
                                           RunCase{"ProgramWorkDirWithBackslash", "\\", false},
                                           RunCase{"BuiltIn", "", true}),
                         [](const auto& i) { return std::string(i.param.name); });

// Without -B (and always for a virus scan) the console stays after the command, until a key is
// pressed; Quillon's wait (the command file) ends as soon as the command has.
class RunnerPauseTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RunnerPauseTest, ConsoleWaitsForAKeyAfterTheCommandEnded) {
  TempDir work("qlrunner-pause");
  TempDir qlwork("qlwork");
  ASSERT_TRUE(WriteTextFile(work / "cmndargs", "echo ran> marker.txt"));
  SetEnvironmentVariableA("QLWORK", qlwork.path().c_str());
  qltest::Process runner;
  std::string exe = RunnerExe();
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = "\"" + exe + "\" " + work.path() + GetParam();
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                             &si, &pi));
  SetEnvironmentVariableA("QLWORK", nullptr);
  CloseHandle(pi.hThread);
  runner.process = pi.hProcess;
  runner.id = pi.dwProcessId;
  ASSERT_TRUE(qltest::WaitUntil([&] { return !FileExists(work / "cmndargs"); }, 60000));
  EXPECT_TRUE(FileExists(qlwork / "marker.txt"));
  // Press a key in the runner's console, as the user would.
  FreeConsole();
  bool attached = false;
  ASSERT_TRUE(qltest::WaitUntil([&] { return attached = AttachConsole(runner.id) != FALSE; }, 10000));
  HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, in);
  EXPECT_TRUE(runner.Running()) << "the console waits for a key";
  INPUT_RECORD key[2] = {};
  for (int i = 0; i < 2; ++i) {
    key[i].EventType = KEY_EVENT;
    key[i].Event.KeyEvent.bKeyDown = i == 0;
    key[i].Event.KeyEvent.wRepeatCount = 1;
    key[i].Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
    key[i].Event.KeyEvent.uChar.AsciiChar = ' ';
  }
  DWORD written = 0;
  ASSERT_TRUE(WriteConsoleInputA(in, key, 2, &written));
  CloseHandle(in);
  FreeConsole();
  EXPECT_EQ(0, runner.Wait(30000));
}

INSTANTIATE_TEST_SUITE_P(Switches, RunnerPauseTest, ::testing::Values("", " -V", " -B -V"),
                         [](const auto& i) { return std::string(*i.param ? "VirusScan" : "Plain") +
                                                    (strstr(i.param, "-B") ? "Batch" : ""); });

// Viewing a member: the viewer is the user's window, so the runner ends with its command.
TEST(Runner, ViewModeEndsWithoutAPause) {
  TempDir work("qlrunner-view");
  TempDir qlwork("qlwork");
  ASSERT_TRUE(WriteTextFile(work / "cmndargs", "echo viewed> marker.txt"));
  SetEnvironmentVariableA("QLWORK", qlwork.path().c_str());
  std::string line = "\"" + RunnerExe() + "\" " + work.path() + " -T";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                             &si, &pi));
  SetEnvironmentVariableA("QLWORK", nullptr);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_FALSE(FileExists(work / "cmndargs"));
  EXPECT_TRUE(FileExists(qlwork / "marker.txt"));
}

// Runs the runner with -B on `command` (through the command interpreter) and gives its exit code.
DWORD RunBatch(const std::string& workDir, const std::string& qlworkDir) {
  SetEnvironmentVariableA("QLWORK", qlworkDir.c_str());
  std::string line = "\"" + RunnerExe() + "\" " + workDir + " -B";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                                &si, &pi);
  SetEnvironmentVariableA("QLWORK", nullptr);
  if (!started) return 0xDEADu;
  DWORD code = 0xDEADu;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// The command's exit code is left in cmndexit (decimal, CR LF) by the time cmndargs is gone; a
// cmndexit of an earlier run never survives into the next.
TEST(Runner, LeavesTheExitCodeInCmndexit) {
  struct Case {
    const char* command;
    const char* text;
  } cases[] = {{"echo ok> marker.txt", "0\r\n"}, {"exit 3", "3\r\n"}, {"exit 0", "0\r\n"}};
  TempDir work("qlrunner-exit");
  TempDir qlwork("qlwork");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ASSERT_TRUE(WriteTextFile(work / "cmndexit", "77\r\n"));  // stale, from an earlier run
    ASSERT_TRUE(WriteTextFile(work / "cmndargs", c.command));
    RunBatch(work.path(), qlwork.path());
    EXPECT_FALSE(FileExists(work / "cmndargs"));
    EXPECT_EQ(c.text, ReadTextFile(work / "cmndexit"));
    EXPECT_FALSE(FileExists(work / "cmndexit.$$$"));
  }
}

TEST(Runner, StaleCmndexitGoesEvenWhenThereIsNothingToRun) {
  TempDir work("qlrunner-stale");
  TempDir qlwork("qlwork");
  ASSERT_TRUE(WriteTextFile(work / "cmndexit", "0\r\n"));
  EXPECT_NE(0u, RunBatch(work.path(), qlwork.path()));  // no cmndargs
  EXPECT_FALSE(FileExists(work / "cmndexit")) << "an old success must not be read as this run's";
}

TEST(Runner, MissingCommandFileEndsWithoutRunning) {
  TempDir work("qlrunner-empty");
  std::string line = "\"" + RunnerExe() + "\" " + work.path() + " -B";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                             &si, &pi));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_NE(0u, code);
}

}  // namespace
