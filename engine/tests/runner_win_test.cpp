// The runner and engine calls under Wine, with recording stand-ins for the runner and the two
// engine libraries in a test program directory.
#include "engine/runner_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/shared_win.h"
#include "tests/support/win_test_support.h"
#include "engine/tests/program_dir_test.h"
#include "resources/ids.h"

namespace ql {
namespace {

class RunArchiverTest : public ProgramDirTest {};

TEST_F(RunArchiverTest, RunnerGetsTheCommandAndQlwork) {
  struct Case {
    bool show, view;
    std::vector<std::string> flags;
    const char* showState;
  } cases[] = {{false, false, {"-B"}, "2"},
               {true, false, {}, "5"},
               {false, true, {"-T", "-B"}, "2"},
               {true, true, {"-T"}, "5"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.show) + std::to_string(c.view));
    DeleteFileA((work + "\\runner.log").c_str());
    ASSERT_TRUE(SetCurrentDirectoryA((prog + "\\SRC").c_str()));
    const std::string command = R"(C:\QL\pkzip -a C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files)";
    EXPECT_EQ(RunResult::Done, RunArchiver(setup, command, c.show, c.view));
    auto log = RunnerLog();
    EXPECT_EQ(command, One(log, "cmndargs"));
    EXPECT_EQ(prog + "\\SRC", One(log, "qlwork"));
    EXPECT_EQ(work, One(log, "cwd")) << "the runner holds no folder its command works in";
    EXPECT_EQ(work, One(log, "work"));
    EXPECT_EQ(c.flags, All(log, "flag"));
    EXPECT_EQ(c.showState, One(log, "show"));  // minimised (2) or normal (5)
    EXPECT_FALSE(Exists(work + "\\cmndargs"));
    EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0)) << "QLWORK only during the wait";
    EXPECT_FALSE(ArchiverBusy());
  }
}

// However quickly the runner finishes, its window stays for the minimum wait, a second unless the
// caller asks otherwise. A lower bound read on the clock the wait itself counts with: a busy machine
// only makes the wait longer.
TEST_F(RunArchiverTest, TheWaitLastsTheMinimumEvenWhenTheRunnerIsQuicker) {
  EXPECT_EQ(1000u, RunnerSetup{}.minimumWaitMs);
  setup.minimumWaitMs = RunnerSetup{}.minimumWaitMs;
  DWORD t0 = GetTickCount();
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "X", false));
  EXPECT_GE(GetTickCount() - t0, setup.minimumWaitMs);
  EXPECT_FALSE(Exists(work + "\\cmndargs"));
}

// The virus mode: " -V", a normal window, the runner's own directory the work directory (QLWORK
// still names the current one, where the detector runs), and the wait as long as asked.
TEST_F(RunArchiverTest, VirusModeRunsTheDetectorCommandInANormalWindow) {
  ASSERT_TRUE(SetCurrentDirectoryA((prog + "\\SRC").c_str()));
  const std::string command = R"("C:\Program Files\Scan\SCAN.EXE" /A D:)";
  for (DWORD minimum : {500u, 1000u}) {
    DeleteFileA((work + "\\runner.log").c_str());
    DWORD t0 = GetTickCount();
    EXPECT_EQ(RunResult::Done, RunVirusDetector(setup, command, minimum));
    EXPECT_GE(GetTickCount() - t0, minimum);
    auto log = RunnerLog();
    EXPECT_EQ(command, One(log, "cmndargs"));
    EXPECT_EQ(work, One(log, "work"));
    EXPECT_EQ(std::vector<std::string>{"-V"}, All(log, "flag"));
    EXPECT_EQ("5", One(log, "show"));
    EXPECT_EQ(prog + "\\SRC", One(log, "qlwork"));
    EXPECT_EQ(work, One(log, "cwd"));
    EXPECT_FALSE(Exists(work + "\\cmndargs"));
    EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0));
  }
}

TEST_F(RunArchiverTest, WorkDirectoryWithTrailingBackslashGivesTheSameFiles) {
  setup.workDir = work + "\\";
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "X", false));
  auto log = RunnerLog();
  EXPECT_EQ("X", One(log, "cmndargs"));
  EXPECT_EQ(work, One(log, "work"));
}

TEST_F(RunArchiverTest, ExitCodeIsReadFromCmndexit) {
  unsigned long code = 99;
  EXPECT_FALSE(ReadRunnerExitCode(work.c_str(), &code)) << "no cmndexit yet";
  struct Case {
    const char* text;
    bool ok;
    unsigned long code;
  } cases[] = {{"0\r\n", true, 0}, {"3\r\n", true, 3}, {"", false, 0}, {"x\r\n", false, 0}};
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteWholeFile(work + "\\cmndexit", c.text));
    code = 99;
    EXPECT_EQ(c.ok, ReadRunnerExitCode((work + "\\").c_str(), &code)) << c.text;
    if (c.ok) {
      EXPECT_EQ(c.code, code);
    }
  }
  // The stand-in runner leaves no exit code: the one of an earlier command is not taken for its.
  ASSERT_TRUE(WriteWholeFile(work + "\\cmndexit", "0\r\n"));
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "Z", false));
  EXPECT_FALSE(ReadRunnerExitCode(work.c_str(), &code));
}

TEST_F(RunArchiverTest, ARunnerThatDiesWithoutDeletingCmndargsEndsTheWait) {
  SetMode("keep");
  EXPECT_EQ(RunResult::RunnerEnded, RunArchiver(setup, "Y", false));
  EXPECT_EQ("Y", One(RunnerLog(), "cmndargs"));
  EXPECT_FALSE(Exists(work + "\\cmndargs")) << "a stale command is not left for the next runner";
  EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0));
}

// While the runner works, messages are dispatched (the accelerator hook sees them first); the wait
// ends only when the runner has deleted cmndargs. Here a timer message, handled during the wait,
// is what lets the stand-in finish: the wait cannot have ended before it.
struct LiveWait {
  static HANDLE release;
  static int timerTicks;
  static int hookCalls;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
      ++timerTicks;
      KillTimer(hwnd, wp);
      SetEvent(release);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  static bool Hook(MSG* msg) {
    if (msg->message == WM_TIMER) ++hookCalls;
    return false;
  }
};
HANDLE LiveWait::release = nullptr;
int LiveWait::timerTicks = 0;
int LiveWait::hookCalls = 0;

TEST_F(RunArchiverTest, TheWaitDispatchesMessagesUntilTheRunnerHasFinished) {
  SetMode("wait");
  LiveWait::release = CreateEventA(nullptr, TRUE, FALSE, "QLTEST_RELEASE");
  ASSERT_NE(nullptr, LiveWait::release);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = LiveWait::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "qlenginetestwait";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("qlenginetestwait", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hwnd);
  SetTimer(hwnd, 1, 100, nullptr);
  setup.translateAccelerators = LiveWait::Hook;
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "Z", false));
  EXPECT_EQ(1, LiveWait::timerTicks);
  EXPECT_EQ(1, LiveWait::hookCalls);
  EXPECT_FALSE(Exists(work + "\\cmndargs"));
  DestroyWindow(hwnd);
  CloseHandle(LiveWait::release);
}

// An operation started from the interface while a runner is awaited is refused before it
// touches the list file or the command file the runner is using.
struct NestedRun {
  static const RunnerSetup* setup;
  static HANDLE release;
  static RunResult nested;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
      KillTimer(hwnd, wp);
      Command other;
      other.text = "OTHER";
      other.writeList = true;
      other.listFile = "OTHER.TXT\r\n";
      nested = RunCommand(*setup, other);
      SetEvent(release);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
};
const RunnerSetup* NestedRun::setup = nullptr;
HANDLE NestedRun::release = nullptr;
RunResult NestedRun::nested = RunResult::Done;

TEST_F(RunArchiverTest, ACommandDuringTheWaitIsRefusedAndTouchesNothing) {
  SetMode("wait");
  NestedRun::setup = &setup;
  NestedRun::release = CreateEventA(nullptr, TRUE, FALSE, "QLTEST_RELEASE");
  WNDCLASSA wc = {};
  wc.lpfnWndProc = NestedRun::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "qlenginetestnested";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("qlenginetestnested", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hwnd);
  SetTimer(hwnd, 1, 100, nullptr);
  Command first;
  first.text = "FIRST";
  first.writeList = true;
  first.listFile = "FIRST.TXT\r\n";
  EXPECT_EQ(RunResult::Done, RunCommand(setup, first));
  EXPECT_EQ(RunResult::Busy, NestedRun::nested);
  EXPECT_EQ("FIRST.TXT\r\n", ReadAll(work + "\\ql5files"));
  EXPECT_EQ(std::vector<std::string>{"FIRST"}, All(RunnerLog(), "cmndargs"));
  DestroyWindow(hwnd);
  CloseHandle(NestedRun::release);
}

TEST_F(RunArchiverTest, MissingRunnerIsReportedAndNothingWaits) {
  setup.runnerPath = prog + "\\missing.exe";
  RunResult r;
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher answer(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    r = RunArchiver(setup, "X", false);
    texts = qltest::TextsOf(answer.Seen());
  }
  EXPECT_EQ(RunResult::NotStarted, r);
  ASSERT_EQ(1u, texts.size());
  EXPECT_NE(std::string::npos, texts[0].find(setup.runnerPath)) << texts[0];
  EXPECT_FALSE(Exists(work + "\\cmndargs"));
  EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0));
}

TEST_F(RunArchiverTest, CmndargsThatCannotBeCreatedRunsNothing) {
  setup.workDir = prog + "\\NOWHERE";
  RunResult r;
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher answer(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    r = RunArchiver(setup, "X", false);
    texts = qltest::TextsOf(answer.Seen());
  }
  EXPECT_EQ(RunResult::NotCreated, r);
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("Quillon didn't create the requested archive:\n " + prog + "\\NOWHERE\\cmndargs", texts[0]);
  EXPECT_FALSE(Exists(work + "\\runner.log"));
}

class EngineCallTest : public ProgramDirTest {};

TEST_F(EngineCallTest, EnginesReceiveTheirArgumentStrings) {
  setup.shortNameDisplay = 1;
  HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  setup.owner = owner;
  const std::string zipArgs = R"(-a |C:\DATA\A.ZIP| -ex| -rp| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files| -q)";
  EXPECT_EQ(RunResult::Done, CallZipEngine(setup, zipArgs));
  setup.shortNameDisplay = 0;
  EXPECT_EQ(RunResult::Done, CallUnzipEngine(setup, "-t |C:\\DATA\\A.ZIP"));
  auto log = EngineLog();
  EXPECT_EQ((std::vector<std::string>{"zip owner=1 cookie=3b9a5e short=1",
                                      "unzip owner=1 cookie=3b9a5e short=-1"}),
            All(log, "entry"));
  EXPECT_EQ((std::vector<std::string>{zipArgs, "-t |C:\\DATA\\A.ZIP"}), All(log, "args"));
  DestroyWindow(owner);
}

TEST_F(EngineCallTest, MissingLibraryOrEntryPointIsReported) {
  struct Case {
    std::function<void()> arrange;
    RunResult result;
    const char* text;
  } cases[] = {
      {[&] { DeleteFileA((prog + "\\QL53NTI2.DLL").c_str()); }, RunResult::NoLibrary,
       "Error: Unable To Load QL53NTI2.DLL.  Aborting."},
      {[&] {
         CopyFileA((prog + "\\QL53NTI1.DLL").c_str(), (prog + "\\QL53NTI2.DLL").c_str(), FALSE);
       },
       RunResult::NoEntryPoint, "Error: Unable To Find Function in QL53NTI2.DLL. Aborting."},
  };
  for (const Case& c : cases) {
    c.arrange();
    RunResult r;
    std::vector<std::string> texts;
    {
      qltest::DialogWatcher answer(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
      r = CallZipEngine(setup, "-a |X");
      texts = qltest::TextsOf(answer.Seen());
    }
    EXPECT_EQ(c.result, r);
    EXPECT_EQ(std::vector<std::string>{c.text}, texts);
  }
  EXPECT_FALSE(Exists(prog + "\\engine.log"));
}

// -------------------------------------------------------------------------------------------
// Operations end to end: each builder's command carried out through RunCommand reaches the
// runner or the engine exactly, with its list file and its current directory.

struct OperationCase {
  const char* name;
  // Builds the command for a program directory; `s` is the switch set of a fresh settings file.
  std::function<Command(const SwitchSet& s, const EnginePaths& p, const std::string& prog)> build;
  bool usePkzip;
  const char* text;  // {P} the program directory, {W} the work directory
  const char* cwd;   // the directory the archiver runs in
  const char* list;  // ql5files, or null when the command has no list
  std::vector<std::string> runnerFlags;
};

std::string Expand(std::string t, const std::string& prog) {
  for (size_t pos; (pos = t.find("{W}")) != std::string::npos;) t.replace(pos, 3, prog + "\\QL5TEMP");
  for (size_t pos; (pos = t.find("{P}")) != std::string::npos;) t.replace(pos, 3, prog);
  return t;
}

DropSource Source(const std::string& prog) {
  DropSource src;
  src.sourceDir = prog + "\\SRC";
  src.nameFields = {"A.TXT", "B.TXT"};
  return src;
}
const std::vector<std::string> kLines = {"A.TXT\tA.TXT\t10", "B.TXT\tB.TXT\t20"};

Command AddTo(const SwitchSet& s, const EnginePaths& p, const std::string& prog, ArchiveKind k, bool move) {
  return DropAdd(s, p, k, prog + (k == ArchiveKind::Zip ? "\\DATA.ZIP" : "\\DATA.ARJ"), false, move,
                 Source(prog));
}
std::string Arc(const std::string& prog, ArchiveKind k) {
  return prog + (k == ArchiveKind::Zip ? "\\DATA.ZIP" : "\\DATA.ARJ");
}

class OperationTest : public ProgramDirTest, public ::testing::WithParamInterface<OperationCase> {};

TEST_P(OperationTest, ReachesTheArchiverExactly) {
  const OperationCase& c = GetParam();
  SwitchSet s;
  LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
  SetOn(s, Sw::UsePkzip, c.usePkzip);
  Command cmd = c.build(s, EnginePaths{prog, work}, prog);
  ASSERT_TRUE(SetCurrentDirectoryA(prog.c_str()));
  EXPECT_EQ(RunResult::Done, RunCommand(setup, cmd));
  char now[MAX_PATH + 1];
  GetCurrentDirectoryA(sizeof now, now);
  EXPECT_EQ(prog, std::string(now)) << "the current directory is restored";

  std::string expected = Expand(c.text, prog);
  std::string cwd = Expand(c.cwd, prog);
  if (cmd.via == Via::Runner) {
    auto log = RunnerLog();
    EXPECT_EQ(expected, One(log, "cmndargs"));
    EXPECT_EQ(cwd, One(log, "qlwork"));
    EXPECT_EQ(c.runnerFlags, All(log, "flag"));
    EXPECT_FALSE(Exists(prog + "\\engine.log"));
  } else {
    auto log = EngineLog();
    EXPECT_EQ(expected, One(log, "args"));
    EXPECT_EQ(cwd, One(log, "cwd"));
    EXPECT_FALSE(Exists(work + "\\runner.log"));
  }
  if (c.list) {
    EXPECT_EQ(Expand(c.list, prog), ReadAll(work + "\\ql5files"));
  }
}

const ArchiveKind ZIP = ArchiveKind::Zip, ARJ = ArchiveKind::Arj;
const std::vector<std::string> kHidden = {"-B"}, kShown = {}, kView = {"-T", "-B"};

std::vector<OperationCase> Operations() {
  using P = const EnginePaths&;
  using S = const SwitchSet&;
  using D = const std::string&;
  auto add = [](ArchiveKind k) { return [k](S s, P p, D prog) { return AddTo(s, p, prog, k, false); }; };
  auto move = [](ArchiveKind k) { return [k](S s, P p, D prog) { return AddTo(s, p, prog, k, true); }; };
  auto freshen = [](ArchiveKind k) {
    return [k](S s, P p, D prog) { return FreshenOrUpdate(s, p, k, Arc(prog, k), false, false, false); };
  };
  auto extract = [](ArchiveKind k) {
    return [k](S s, P p, D prog) { return ExtractMembers(s, p, k, Arc(prog, k), false, {"A.TXT"}, prog + "\\OUT"); };
  };
  auto test = [](ArchiveKind k) {
    return [k](S s, P p, D prog) { return TestArchive(s, p, k, Arc(prog, k), TestFrom::WindowArchive); };
  };
  auto view = [](ArchiveKind k) {
    return [k](S s, P p, D prog) { return ViewMember(s, p, k, Arc(prog, k), false, "A.TXT"); };
  };
  auto del = [](ArchiveKind k) {
    return [k](S s, P p, D prog) { return DeleteMembers(s, p, k, Arc(prog, k), false, kLines, 5); };
  };
  const char* srcList = "A.TXT\r\nB.TXT\r\n";
  return {
      {"ZipEngineAdd", add(ZIP), false,
       R"(-a| -=| -+| --| -P| -b{W}\| {P}\DATA.ZIP| @{W}\ql5files| -q)", R"({P}\SRC)", srcList, {}},
      {"ZipEngineMove", move(ZIP), false,
       R"(-m| -=| -+| --| -P| -b{W}\| {P}\DATA.ZIP| @{W}\ql5files| -q)", R"({P}\SRC)", srcList, {}},
      {"ZipEngineFreshen", freshen(ZIP), false, R"(| -f |{P}\DATA.ZIP| -=| -+| --| -P| -b{W}\| -q)",
       "{P}", nullptr, {}},
      {"ZipEngineExtract", extract(ZIP), false, R"({P}\DATA.ZIP| -o| -+| --| @{W}\ql5files|-q)",
       R"({P}\OUT)", "A.TXT\r\n", {}},
      {"ZipEngineTest", test(ZIP), false, R"(-t |{P}\DATA.ZIP| -q)", "{P}", nullptr, {}},
      {"ZipEngineView", view(ZIP), false, R"(| {P}\DATA.ZIP | A.TXT | -o | {W}\|-q)", "{W}", nullptr, {}},
      {"ZipEngineDelete", del(ZIP), false, R"(-d| {P}\DATA.ZIP| @{W}\ql5files| -b{W}\| -q)", "{P}",
       srcList, {}},
      {"PkzipAdd", add(ZIP), true, R"({P}\pkzip -a -= -+ -- -P -b{W}\ {P}\DATA.ZIP @{W}\ql5files)",
       R"({P}\SRC)", srcList, kHidden},
      {"PkzipMove", move(ZIP), true, R"({P}\pkzip -m -= -+ -- -P -b{W}\ {P}\DATA.ZIP @{W}\ql5files)",
       R"({P}\SRC)", srcList, kHidden},
      {"PkzipFreshen", freshen(ZIP), true, R"({P}\pkzip -f {P}\DATA.ZIP -= -+ -- -P -b{W}\)", "{P}",
       nullptr, kHidden},
      {"PkunzipExtract", extract(ZIP), true, R"({P}\pkunzip {P}\DATA.ZIP -o -+ -- @{W}\ql5files)",
       R"({P}\OUT)", "A.TXT\r\n", kHidden},
      {"PkunzipTest", test(ZIP), true, R"({P}\pkunzip -t {P}\DATA.ZIP -+ --)", "{P}", nullptr, kShown},
      {"PkunzipView", view(ZIP), true, R"({P}\pkunzip  -+ -- {P}\DATA.ZIP A.TXT -o {W}\)", "{W}",
       nullptr, kView},
      {"PkzipDelete", del(ZIP), true, R"({P}\pkzip -d {P}\DATA.ZIP @{W}\ql5files -b{W}\)", "{P}",
       srcList, kHidden},
      {"ArjAdd", add(ARJ), false, R"({P}\ARJ A {P}\DATA.ARJ !{W}\ql5files -e1 -w{W}\)", R"({P}\SRC)",
       srcList, kHidden},
      {"ArjMove", move(ARJ), false, R"({P}\ARJ M {P}\DATA.ARJ !{W}\ql5files -e1 -w{W}\)", R"({P}\SRC)",
       srcList, kHidden},
      {"ArjFreshen", freshen(ARJ), false, R"({P}\ARJ F {P}\DATA.ARJ -e1 -w{W}\)", "{P}", nullptr, kHidden},
      {"ArjExtract", extract(ARJ), false, R"({P}\ARJ  E {P}\DATA.ARJ -jyo  !{W}\ql5files)", R"({P}\OUT)",
       "A.TXT\r\n", kHidden},
      {"ArjTest", test(ARJ), false, R"({P}\ARJ T {P}\DATA.ARJ -w{W}\)", "{P}", nullptr, kShown},
      {"ArjView", view(ARJ), false, R"({P}\ARJ E {P}\DATA.ARJ A.TXT {W}\ -jyo -p)", "{W}", nullptr, kView},
      {"ArjDelete", del(ARJ), false, R"({P}\ARJ D {P}\DATA.ARJ !{W}\ql5files -w{W}\)", "{P}", srcList,
       kHidden},
  };
}

INSTANTIATE_TEST_SUITE_P(Archivers, OperationTest, ::testing::ValuesIn(Operations()),
                         [](const ::testing::TestParamInfo<OperationCase>& i) { return std::string(i.param.name); });

// A program directory with blanks in its path: the runner still finds its work directory, and
// the archive and list paths reach the archiver as single arguments.
class BlankPathTest : public ProgramDirTest {
  const char* DirPrefix() override { return "ql eng "; }
};

TEST_F(BlankPathTest, PathsWithBlanksReachTheRunnerIntact) {
  SwitchSet s;
  LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
  SetOn(s, Sw::UsePkzip, true);
  Command cmd = ExtractMembers(s, EnginePaths{prog, work}, ArchiveKind::Zip, prog + "\\MY DATA.ZIP",
                               false, {"A B.TXT"}, prog + "\\OUT");
  EXPECT_EQ(RunResult::Done, RunCommand(setup, cmd));
  auto log = RunnerLog();
  EXPECT_EQ(work, One(log, "work"));
  EXPECT_EQ("\"" + prog + "\\pkunzip\" \"" + prog + "\\MY DATA.ZIP\" -o -+ -- \"@" + work + "\\ql5files\"",
            One(log, "cmndargs"));
  EXPECT_EQ("A B.TXT\r\n", ReadAll(work + "\\ql5files"));
}

TEST_F(BlankPathTest, DeletingEveryMemberIsRefusedWithItsMessage) {
  SwitchSet s;
  RunResult r;
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher answer(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    r = RunCommand(setup, DeleteMembers(s, EnginePaths{prog, work}, ArchiveKind::Zip,
                                        prog + "\\A.ZIP", false, kLines, 2));
    texts = qltest::TextsOf(answer.Seen());
  }
  EXPECT_EQ(RunResult::Refused, r);
  EXPECT_EQ(std::vector<std::string>{"Deleting all of the files in an archive will corrupt it!"}, texts);
  EXPECT_FALSE(Exists(work + "\\runner.log"));
  EXPECT_FALSE(Exists(work + "\\ql5files"));
}

}  // namespace
}  // namespace ql
