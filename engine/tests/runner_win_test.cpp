// The runner and engine calls under Wine, with recording stand-ins for the runner and the two
// engine libraries in a test program directory.
#include "engine/runner_win.h"
#include "app/shared_win.h"
#include "engine/delete_win.h"
#include "engine/express_win.h"
#include "engine/extract_win.h"
#include "engine/refresh_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/tests/box_answerer.h"
#include "engine/tests/win_test_util.h"

namespace ql {
namespace {

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
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved.c_str());
    RemoveTree(prog);
  }
  std::multimap<std::string, std::string> RunnerLog() { return Record(ReadAll(work + "\\runner.log")); }
  std::multimap<std::string, std::string> EngineLog() { return Record(ReadAll(prog + "\\engine.log")); }
  void SetMode(const char* mode) { ASSERT_TRUE(WriteWholeFile(work + "\\runner.mode", mode)); }
};

class RunArchiverTest : public ProgramDirTest {};

TEST_F(RunArchiverTest, RunnerGetsTheCommandAndQlworkAndTheWaitLastsASecond) {
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
    DWORD t0 = GetTickCount();
    EXPECT_EQ(RunResult::Done, RunArchiver(setup, command, c.show, c.view));
    EXPECT_GE(GetTickCount() - t0, 1000u);
    auto log = RunnerLog();
    EXPECT_EQ(command, One(log, "cmndargs"));
    EXPECT_EQ(prog + "\\SRC", One(log, "qlwork"));
    EXPECT_EQ(work, One(log, "work"));
    EXPECT_EQ(c.flags, All(log, "flag"));
    EXPECT_EQ(c.showState, One(log, "show"));  // minimised (2) or normal (5)
    EXPECT_FALSE(Exists(work + "\\cmndargs"));
    EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0)) << "QLWORK only during the wait";
    EXPECT_FALSE(ArchiverBusy());
  }
}

TEST_F(RunArchiverTest, WorkDirectoryWithTrailingBackslashGivesTheSameFiles) {
  setup.workDir = work + "\\";
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "X", false));
  auto log = RunnerLog();
  EXPECT_EQ("X", One(log, "cmndargs"));
  EXPECT_EQ(work, One(log, "work"));
}

TEST_F(RunArchiverTest, ARunnerThatDiesWithoutDeletingCmndargsEndsTheWait) {
  SetMode("keep");
  DWORD t0 = GetTickCount();
  EXPECT_EQ(RunResult::RunnerEnded, RunArchiver(setup, "Y", false));
  EXPECT_LT(GetTickCount() - t0, 20000u);
  EXPECT_EQ("Y", One(RunnerLog(), "cmndargs"));
  EXPECT_FALSE(Exists(work + "\\cmndargs")) << "a stale command is not left for the next runner";
  EXPECT_EQ(0u, GetEnvironmentVariableA("QLWORK", nullptr, 0));
}

// While the runner works, messages are dispatched (the accelerator hook sees them first); the wait
// ends only when the runner has deleted cmndargs. Here a timer message, handled during the wait,
// is what lets the stand-in finish.
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
  SetTimer(hwnd, 1, 1500, nullptr);
  setup.translateAccelerators = LiveWait::Hook;
  DWORD t0 = GetTickCount();
  EXPECT_EQ(RunResult::Done, RunArchiver(setup, "Z", false));
  DWORD elapsed = GetTickCount() - t0;
  EXPECT_EQ(1, LiveWait::timerTicks);
  EXPECT_EQ(1, LiveWait::hookCalls);
  EXPECT_GE(elapsed, 1400u);
  EXPECT_LT(elapsed, 30000u);
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
  SetTimer(hwnd, 1, 1200, nullptr);
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
    BoxAnswerer answer(GetCurrentThreadId());
    r = RunArchiver(setup, "X", false);
    texts = answer.Texts();
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
    BoxAnswerer answer(GetCurrentThreadId());
    r = RunArchiver(setup, "X", false);
    texts = answer.Texts();
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
      BoxAnswerer answer(GetCurrentThreadId());
      r = CallZipEngine(setup, "-a |X");
      texts = answer.Texts();
    }
    EXPECT_EQ(c.result, r);
    EXPECT_EQ(std::vector<std::string>{c.text}, texts);
  }
  EXPECT_FALSE(Exists(prog + "\\engine.log"));
}

// -------------------------------------------------------------------------------------------
// Extracting whole archive files of a directory.

// A stored ZIP holding one file "A.TXT" with the text "x".
std::string TinyZip() {
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

class ExtractArchivesTest : public ProgramDirTest {
 protected:
  std::string dir;
  SwitchSet s;
  void SetUp() override {
    ProgramDirTest::SetUp();
    dir = prog + "\\SRC";
    ASSERT_TRUE(WriteWholeFile(dir + "\\ONE.ZIP", TinyZip()));
    ASSERT_TRUE(WriteWholeFile(dir + "\\NOTZIP.ZIP", "this is not a zip archive"));
    for (const char* arj : {"TWO.ARJ", "THREE.A01", "FOUR.A0X"})
      ASSERT_TRUE(WriteWholeFile(dir + "\\" + arj, "ARJ part"));
    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);  // everything through the runner, so that every run is recorded
  }
  // Runs the extract of `names`, answering every message box with `button`.
  RunResult Extract(const std::vector<std::string>& names, const std::string& target,
                    std::vector<std::string>* texts, int button = IDOK) {
    BoxAnswerer answer(GetCurrentThreadId(), button);
    RunResult r = ExtractArchiveFiles(setup, s, dir, names, target, [](SwitchSet&) { return true; });
    *texts = answer.Texts();
    return r;
  }
  std::vector<std::string> Runs() { return All(RunnerLog(), "cmndargs"); }
};

TEST_F(ExtractArchivesTest, EveryArchiveIsExtractedWithOneRunEach) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Done, Extract({"ONE.ZIP", "TWO.ARJ", "THREE.A01"}, prog + "\\OUT", &texts));
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ((std::vector<std::string>{
                prog + "\\pkunzip " + dir + "\\ONE.ZIP -o -+ -- *.*",
                prog + "\\ARJ  E " + dir + "\\TWO.ARJ -jyo ",
                prog + "\\ARJ  E " + dir + "\\THREE.A01 -jyo ",
            }),
            Runs());
  EXPECT_EQ(prog + "\\OUT", One(RunnerLog(), "qlwork"));
}

TEST_F(ExtractArchivesTest, AWrongPartNameEndsTheLoopBeforeItRuns) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP", "FOUR.A0X", "TWO.ARJ"}, prog + "\\OUT", &texts));
  EXPECT_EQ(std::vector<std::string>{"This file appears to be a damaged or invalid ARJ file."}, texts);
  EXPECT_EQ(1u, Runs().size()) << "the archive before it was extracted, none after";
}

TEST_F(ExtractArchivesTest, AFileThatHoldsNoZipIsNamed) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"NOTZIP.ZIP", "ONE.ZIP"}, prog + "\\OUT", &texts));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(dir + "\\NOTZIP.ZIP\nThis Zip file may be invalid,damaged, or a multiple volume Zip.", texts[0]);
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ExtractArchivesTest, ANameOfNoArchiveRefusesTheSelectionBeforeAnythingRuns) {
  WriteWholeFile(dir + "\\NOTES.TXT", "text");
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP", "NOTES.TXT"}, prog + "\\OUT", &texts));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(0u, texts[0].find("Invalid archive filename!")) << texts[0];
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ExtractArchivesTest, AMissingTargetIsCreatedOnlyWhenTheUserSaysYes) {
  std::string target = prog + "\\NEW\\DEEPER";
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP"}, target, &texts, IDNO));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("The following directory:\n" + target + "\n Does not exist.\nWould you like to create it?", texts[0]);
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(Runs().empty());

  EXPECT_EQ(RunResult::Done, Extract({"ONE.ZIP"}, target, &texts, IDYES));
  EXPECT_EQ(1u, texts.size());
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(target, One(RunnerLog(), "qlwork"));
}

// -------------------------------------------------------------------------------------------
// Deleting members from a browser window's archive.

class DeleteTest : public ProgramDirTest {
 protected:
  SwitchSet s;
  std::vector<std::pair<std::string, std::string>> asked;  // question and names of each confirmation
  DeleteAnswer answer = DeleteAnswer::Yes;
  int passwordAsks = 0;
  bool passwordGiven = true;
  void SetUp() override {
    ProgramDirTest::SetUp();
    g_lastDeleteAnswer = DeleteAnswer::None;
    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);
  }
  DeleteRequest Request(int selected, long entries) {
    DeleteRequest r;
    r.archive = prog + "\\A.ZIP";
    r.entryCount = entries;
    for (int i = 0; i < selected; ++i)
      r.selectedLines.push_back("M" + std::to_string(i) + ".TXT\tM" + std::to_string(i) + ".TXT\t1");
    return r;
  }
  RunResult Delete(const DeleteRequest& r, std::vector<std::string>* texts = nullptr) {
    BoxAnswerer boxes(GetCurrentThreadId());
    RunResult result = DeleteFromArchive(
        setup, s, r,
        [this](const std::string& q, const std::string& n) {
          asked.emplace_back(q, n);
          return answer;
        },
        [this](SwitchSet& sw) {
          ++passwordAsks;
          sw.archivePassword = "pw";
          return passwordGiven;
        });
    if (texts) *texts = boxes.Texts();
    return result;
  }
  size_t Runs() { return All(RunnerLog(), "cmndargs").size(); }
};

TEST_F(DeleteTest, SevenMembersShowSixNamesAndDots) {
  EXPECT_EQ(RunResult::Done, Delete(Request(7, 20)));
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Delete selected files in archive?", asked[0].first);
  EXPECT_EQ("M0.TXT M1.TXT M2.TXT M3.TXT M4.TXT M5.TXT ...", asked[0].second);
  EXPECT_EQ(1u, Runs());
  EXPECT_EQ("M0.TXT\r\nM1.TXT\r\nM2.TXT\r\nM3.TXT\r\nM4.TXT\r\nM5.TXT\r\nM6.TXT\r\n",
            ReadAll(work + "\\ql5files"));
}

TEST_F(DeleteTest, NoOrCancelRunsNothing) {
  for (DeleteAnswer a : {DeleteAnswer::No, DeleteAnswer::None}) {
    answer = a;
    g_cancelled = false;
    EXPECT_EQ(RunResult::Refused, Delete(Request(2, 20)));
    EXPECT_EQ(a == DeleteAnswer::None, g_cancelled);
  }
  EXPECT_EQ(0u, Runs());
}

TEST_F(DeleteTest, YesToAllStopsTheQuestionsAndConfirmationOffNeverAsks) {
  answer = DeleteAnswer::YesToAll;
  EXPECT_EQ(RunResult::Done, Delete(Request(1, 20)));
  EXPECT_EQ(RunResult::Done, Delete(Request(1, 20)));
  EXPECT_EQ(1u, asked.size());
  g_lastDeleteAnswer = DeleteAnswer::None;
  DeleteRequest quiet = Request(1, 20);
  quiet.confirm = false;
  EXPECT_EQ(RunResult::Done, Delete(quiet));
  EXPECT_EQ(1u, asked.size());
  EXPECT_EQ(3u, Runs());
}

TEST_F(DeleteTest, EveryMemberIsRefusedWithoutAskingForAPassword) {
  DeleteRequest all = Request(3, 3);
  all.encrypted = true;
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Delete(all, &texts));
  EXPECT_EQ(std::vector<std::string>{"Deleting all of the files in an archive will corrupt it!"}, texts);
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(0u, Runs());
}

TEST_F(DeleteTest, AnEncryptedArchiveAsksThePasswordAndCancelRunsNothing) {
  DeleteRequest enc = Request(1, 5);
  enc.encrypted = true;
  passwordGiven = false;
  EXPECT_EQ(RunResult::Refused, Delete(enc));
  EXPECT_EQ(0u, Runs());
  passwordGiven = true;
  EXPECT_EQ(RunResult::Done, Delete(enc));
  EXPECT_EQ(2, passwordAsks);
  EXPECT_EQ(prog + "\\pkzip -d " + prog + "\\A.ZIP @" + work + "\\ql5files -spw -b" + work + "\\",
            One(RunnerLog(), "cmndargs"));
}

// -------------------------------------------------------------------------------------------
// Operations on a named archive file (Express dialogs, Freshen, Update, Test).

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

TEST_F(NamedArchiveTest, ArchiveTypeFromTheName) {
  ASSERT_TRUE(WriteWholeFile(prog + "\\SFX.EXE", std::string(2000, 'M') + TinyZip()));
  ASSERT_TRUE(WriteWholeFile(prog + "\\PLAIN.EXE", std::string(2000, 'M')));
  struct Case {
    const char* name;
    bool known;
    ArchiveKind kind;
  } cases[] = {{"\\A.ZIP", true, ArchiveKind::Zip}, {"\\A.arj", true, ArchiveKind::Arj},
               {"\\SFX.EXE", true, ArchiveKind::Zip}, {"\\PLAIN.EXE", false, ArchiveKind::Zip},
               {"\\A.LZH", false, ArchiveKind::Zip}};
  for (const Case& c : cases) {
    ArchiveKind k = ArchiveKind::Zip;
    EXPECT_EQ(c.known, ArchiveKindOfFile(nullptr, prog + c.name, &k, false)) << c.name;
    if (c.known) {
      EXPECT_EQ(c.kind, k) << c.name;
    }
  }
  std::vector<std::string> texts;
  {
    BoxAnswerer boxes(GetCurrentThreadId());
    EXPECT_EQ(RunResult::Refused, ExpressAddFiles(setup, s, prog + "\\A.LZH", {"X"}, false, Ask()));
    texts = boxes.Texts();
  }
  EXPECT_EQ(std::vector<std::string>{"This Zip file may be invalid,damaged, or a multiple volume Zip."},
            texts);
  EXPECT_TRUE(Runs().empty());
}

TEST_F(NamedArchiveTest, ExpressAddOffersToCreateTheArchiveDirectory) {
  std::string archive = prog + "\\NEWDIR\\NEW.ZIP";
  {
    BoxAnswerer no(GetCurrentThreadId(), IDNO);
    EXPECT_EQ(RunResult::Refused, ExpressAddFiles(setup, s, archive, {"A.TXT"}, false, Ask()));
    EXPECT_EQ(1u, no.Texts().size());
  }
  EXPECT_TRUE(Runs().empty());
  {
    BoxAnswerer yes(GetCurrentThreadId(), IDYES);
    EXPECT_EQ(RunResult::Done, ExpressAddFiles(setup, s, archive, {"A.TXT"}, true, Ask()));
    EXPECT_EQ(1u, yes.Texts().size());
  }
  EXPECT_TRUE(Exists(prog + "\\NEWDIR"));
  EXPECT_EQ(prog + "\\pkzip -m -= -+ -- -b" + work + "\\ " + archive + " @" + work + "\\ql5files",
            One(RunnerLog(), "cmndargs"));
  EXPECT_EQ(0, passwordAsks);
}

TEST_F(NamedArchiveTest, ExpressExtractDeleteAndTestAskThePasswordByTheirRules) {
  std::string archive = prog + "\\A.ZIP";
  SetOn(s, Sw::Password, true);  // the add password: asked by delete and archive tests only
  EXPECT_EQ(RunResult::Done, ExpressExtractFiles(setup, s, archive, nullptr, prog + "\\OUT", Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, TestArchiveFile(setup, s, archive, TestFrom::DirectoryFile, Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, TestArchiveFile(setup, s, archive, TestFrom::Express, Ask()));
  EXPECT_EQ(1, passwordAsks);
  EXPECT_EQ(RunResult::Done, ExpressDeleteFiles(setup, s, archive, {"A.TXT"}, Ask()));
  EXPECT_EQ(2, passwordAsks);
  std::vector<std::string> runs = Runs();
  ASSERT_EQ(4u, runs.size());
  EXPECT_EQ(prog + "\\pkunzip  -o -+ -- " + archive + " " + prog + "\\OUT\\ @" + work + "\\ql5files",
            runs[0]);
  EXPECT_EQ(prog + "\\pkunzip -t " + archive + " -+ -- -spw", runs[2]);
}

TEST_F(NamedArchiveTest, FreshenRefusesWhenTheSpaceCannotBeThere) {
  std::vector<std::string> texts;
  {
    BoxAnswerer boxes(GetCurrentThreadId());
    EXPECT_EQ(RunResult::Refused, FreshenArchiveFile(setup, s, prog + "\\A.ZIP", false, false, false,
                                                     ~0ULL, Ask()));
    texts = boxes.Texts();
  }
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("Insufficient disk space available,\nor a read only disk was selected.", texts[0]);
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(RunResult::Done, FreshenArchiveFile(setup, s, prog + "\\A.ZIP", true, false, true, 1, Ask()));
  EXPECT_EQ(1, passwordAsks) << "an encrypted window archive asks";
  EXPECT_EQ(prog + "\\pkzip -u " + prog + "\\A.ZIP -= -+ -- -P -spw -b" + work + "\\",
            One(RunnerLog(), "cmndargs"));
}

TEST_F(NamedArchiveTest, ExtractMembersTargetPasswordAndSelection) {
  std::string zip = prog + "\\A.ZIP", arj = prog + "\\A.ARJ";
  std::vector<std::string> texts;
  {
    BoxAnswerer boxes(GetCurrentThreadId());
    EXPECT_EQ(RunResult::Refused, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, false, {}, prog, Ask()));
    texts = boxes.Texts();
  }
  EXPECT_EQ(std::vector<std::string>{"Please select at least one file\nIn the archive window."}, texts);
  // ZIP: only an encrypted archive with the extract password switch on asks.
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, true, {"A"}, prog, Ask()));
  EXPECT_EQ(0, passwordAsks);
  SetOn(s, Sw::ExtractWithPassword, true);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, false, {"A"}, prog, Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, true, {"A"}, prog, Ask()));
  EXPECT_EQ(1, passwordAsks);
  // ARJ: either asks.
  SetOn(s, Sw::ExtractWithPassword, false);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Arj, arj, true, {"A"}, prog, Ask()));
  EXPECT_EQ(2, passwordAsks);
  EXPECT_EQ(4u, Runs().size());
}

TEST_F(NamedArchiveTest, DropAddAsksForAnEncryptedArchiveAndIgnoresAnEmptySelection) {
  DropSource none;
  none.sourceDir = prog + "\\SRC";
  EXPECT_EQ(RunResult::Done, DropAddFiles(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", true, false, none, Ask()));
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(0, passwordAsks);
  DropSource one = none;
  one.nameFields = {"A.TXT"};
  EXPECT_EQ(RunResult::Done, DropAddFiles(setup, s, ArchiveKind::Arj, prog + "\\A.ARJ", true, true, one, Ask()));
  EXPECT_EQ(1, passwordAsks);
  EXPECT_EQ(prog + "\\ARJ M " + prog + "\\A.ARJ !" + work + "\\ql5files -e1 -w" + work + "\\ -gpw",
            One(RunnerLog(), "cmndargs"));
}

TEST_F(NamedArchiveTest, ViewRunsForMemberLinesAndOpensTheExtractedCopy) {
  std::vector<std::string> opened;
  auto open = [&](const std::string& path) { opened.push_back(path); };
  for (const char* ignored : {">comment line", "[DOCS]\tDOCS\t0", ""})
    EXPECT_EQ(RunResult::Done,
              ViewArchiveMember(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", false, ignored, Ask(), open));
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(RunResult::Done, ViewArchiveMember(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", false,
                                               "DOCS/READ.ME\tREAD.ME\t10", Ask(), open));
  auto log = RunnerLog();
  EXPECT_EQ((std::vector<std::string>{"-T", "-B"}), All(log, "flag"));
  EXPECT_EQ(work, One(log, "qlwork"));
  EXPECT_EQ(std::vector<std::string>{work + "\\READ.ME"}, opened);
}

TEST_F(NamedArchiveTest, AViewedFileWithoutAProgramIsReported) {
  std::string file = work + "\\VIEWED.QLNOASSOC";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  std::vector<std::string> texts;
  {
    BoxAnswerer boxes(GetCurrentThreadId());
    OpenWithShell(file);
    texts = boxes.Texts();
  }
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(0u, texts[0].find("Error: Unable to run this file.")) << texts[0];
}

// -------------------------------------------------------------------------------------------
// Re-reading an archive window after an operation.

struct FrameRecorder {
  static int clears;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && LOWORD(wp) == IDM_CLEAR_ARCHIVE) ++clears;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
};
int FrameRecorder::clears = 0;

class RefreshTest : public ProgramDirTest {
 protected:
  HWND frame = nullptr, window = nullptr, list = nullptr;
  void SetUp() override {
    ProgramDirTest::SetUp();
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameRecorder::Proc;
    wc.hInstance = inst;
    wc.lpszClassName = "qlenginetestframe";
    RegisterClassA(&wc);
    WNDCLASSA child = {};
    child.lpfnWndProc = DefWindowProcA;
    child.hInstance = inst;
    child.cbWndExtra = 40;
    child.lpszClassName = "qlenginetestbrowser";
    RegisterClassA(&child);
    // The browser's list box class, as the readers know it: a list box by another name.
    WNDCLASSA lb = {};
    GetClassInfoA(nullptr, "LISTBOX", &lb);
    lb.hInstance = inst;
    lb.lpszClassName = "qllistbox";
    RegisterClassA(&lb);
    frame = CreateWindowA("qlenginetestframe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    window = CreateWindowA("qlenginetestbrowser", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                           nullptr, inst, nullptr);
    list = CreateWindowA("qllistbox", "", WS_CHILD | LBS_NOTIFY, 0, 0, 300, 200, window,
                         reinterpret_cast<HMENU>(2), inst, nullptr);
    ASSERT_TRUE(frame && window && list);
    FrameRecorder::clears = 0;
  }
  void TearDown() override {
    DestroyWindow(window);
    DestroyWindow(frame);
    ProgramDirTest::TearDown();
  }
  int Clears() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return FrameRecorder::clears;
  }
};

TEST_F(RefreshTest, TheListIsReadAgainAndAGoneArchiveIsCleared) {
  std::string archive = prog + "\\A.ZIP";
  ASSERT_TRUE(WriteWholeFile(archive, TinyZip()));
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("STALE\tLINE"));
  RefreshArchiveList(frame, window, list, archive, "*.*", ArchiveKind::Zip);
  EXPECT_EQ(1, GetWindowLongA(window, kWordFileCount));
  LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  bool stale = false, member = false;
  for (LRESULT i = 0; i < n; ++i) {
    char line[600] = "";
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    stale |= strncmp(line, "STALE", 5) == 0;
    member |= strncmp(line, "A.TXT\t", 6) == 0;
  }
  EXPECT_FALSE(stale);
  EXPECT_TRUE(member);
  EXPECT_EQ(0, Clears());

  DeleteFileA(archive.c_str());
  RefreshArchiveList(frame, window, list, archive, "*.*", ArchiveKind::Zip);
  EXPECT_EQ(1, Clears()) << "a window that listed entries is cleared when its archive is gone";
  SetWindowLongA(window, kWordFileCount, 0);
  RefreshArchiveList(frame, window, list, archive, "*.*", ArchiveKind::Zip);
  EXPECT_EQ(1, Clears()) << "an empty window stays as it is";
  RefreshArchiveList(frame, window, list, "", "*.*", ArchiveKind::Zip);
  EXPECT_EQ(1, Clears());
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
    BoxAnswerer answer(GetCurrentThreadId());
    r = RunCommand(setup, DeleteMembers(s, EnginePaths{prog, work}, ArchiveKind::Zip,
                                        prog + "\\A.ZIP", false, kLines, 2));
    texts = answer.Texts();
  }
  EXPECT_EQ(RunResult::Refused, r);
  EXPECT_EQ(std::vector<std::string>{"Deleting all of the files in an archive will corrupt it!"}, texts);
  EXPECT_FALSE(Exists(work + "\\runner.log"));
  EXPECT_FALSE(Exists(work + "\\ql5files"));
}

}  // namespace
}  // namespace ql
