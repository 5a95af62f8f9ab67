// Comments and whole-archive operations end to end with the real runner, ARJ, the engines,
// ZIP2EXE and its stub, ARJ's self-extractor and PKZIPFIX: a user types comments and answers
// ARJ's questions in the runner's console, self-extractors run under Wine, damaged archives are
// repaired, archives joined, members renamed, and a program and a document from an archive are
// started. Debian's unzip and arj judge what results.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/comments_win.h"
#include "engine/extract_win.h"
#include "engine/tests/dialog_shot.h"
#include "engine/tests/real_archivers.h"
#include "engine/transforms_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace ql {
namespace {

using qltest::DialogWatcher;
using qltest::SeenDialog;

// Ids of the engine library's comment dialog and of its progress bar.
constexpr int kEngineCommentText = 1011;
constexpr int kEngineProgressBar = 1003;

// The user who answers what is asked but never cancels an engine's progress.
int AcceptButNotProgress(HWND d, const SeenDialog& seen) {
  return GetDlgItem(d, kEngineProgressBar) ? 0 : qltest::PressDefault(d, seen);
}

std::string DlgText(HWND d, int id) {
  char buf[4096] = "";
  GetDlgItemTextA(d, id, buf, sizeof buf);
  return buf;
}

// The process id of a running child of this process named `exe`, or 0.
DWORD ChildProcess(const char* exe) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  DWORD found = 0;
  for (BOOL more = Process32First(snap, &e); more && !found; more = Process32Next(snap, &e)) {
    const char* base = strrchr(e.szExeFile, '\\');
    base = base ? base + 1 : e.szExeFile;
    if (e.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiA(base, exe) == 0) found = e.th32ProcessID;
  }
  CloseHandle(snap);
  return found;
}

// Key presses for `text` ("\r" is Enter), as a user types them.
std::vector<INPUT_RECORD> Keys(const std::string& text) {
  std::vector<INPUT_RECORD> keys;
  for (char c : text) {
    for (int down = 1; down >= 0; --down) {
      INPUT_RECORD r{};
      r.EventType = KEY_EVENT;
      r.Event.KeyEvent.bKeyDown = down;
      r.Event.KeyEvent.wRepeatCount = 1;
      SHORT vk = c == '\r' ? VK_RETURN : VkKeyScanA(c);
      r.Event.KeyEvent.wVirtualKeyCode = static_cast<WORD>(vk & 0xFF);
      if (vk & 0x100) r.Event.KeyEvent.dwControlKeyState = SHIFT_PRESSED;
      r.Event.KeyEvent.uChar.AsciiChar = c;
      keys.push_back(r);
    }
  }
  return keys;
}

// The runner's console, seen from this process: while an operation waits for the runner, a
// helper thread finds the runner, attaches to its console and types there; afterwards the test
// looks at the console window and presses the key the runner waits for before it ends.
class RunnerConsole {
 public:
  // Waits for the runner to start; false when none did within the time.
  bool Attach(DWORD timeoutMs = 30000) {
    if (!qltest::WaitUntil([&] { return (runner_ = ChildProcess("qlkbdtrp.exe")) != 0; }, timeoutMs)) return false;
    FreeConsole();
    return qltest::WaitUntil([&] { return AttachConsole(runner_) != FALSE; }, 10000);
  }
  // Types `text` into the console's input, where the runner's command reads it.
  bool Type(const std::string& text) {
    HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    std::vector<INPUT_RECORD> keys = Keys(text);
    DWORD written = 0;
    bool ok = WriteConsoleInputA(in, keys.data(), static_cast<DWORD>(keys.size()), &written) &&
              written == keys.size();
    CloseHandle(in);
    return ok;
  }
  // Whether the console's window is on screen in its normal state.
  bool Shown() {
    HWND w = GetConsoleWindow();
    return w && IsWindowVisible(w) && !IsIconic(w);
  }
  // Presses a key for the runner's pause and waits for it to end; true when it ended.
  bool Finish() {
    if (!runner_) return true;
    HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, runner_);
    bool ended = !p;
    for (int i = 0; !ended && i < 10; ++i) {
      Type(" ");
      ended = WaitForSingleObject(p, 3000) == WAIT_OBJECT_0;
    }
    if (!ended && p) TerminateProcess(p, 1);  // never leave it behind
    if (p) CloseHandle(p);
    FreeConsole();
    runner_ = 0;
    return ended;
  }
  ~RunnerConsole() { Finish(); }

 private:
  DWORD runner_ = 0;
};

// A list box under the class name of the browser's lists, so that the readers give it the full
// lines the browser shows (comment lines included).
HWND FullLineList() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    GetClassInfoExA(nullptr, "LISTBOX", &wc);
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "qllistbox";
    registered = RegisterClassExA(&wc) != 0;
  }
  return CreateWindowExA(0, "qllistbox", "", WS_POPUP | LBS_HASSTRINGS, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

std::vector<std::string> LinesOf(HWND list) {
  std::vector<std::string> lines;
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::string line(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
    line.resize(strlen(line.c_str()));
    lines.push_back(line);
  }
  return lines;
}

// The lines Quillon lists for an archive.
std::vector<std::string> Listed(const std::string& archive, ArchiveKind kind) {
  HWND list = FullLineList();
  if (kind == ArchiveKind::Zip) ReadZipDirectory(archive.c_str(), list, "*.*", nullptr);
  else ReadArjDirectory(nullptr, archive.c_str(), list, 1, "*.*", nullptr);
  std::vector<std::string> lines = LinesOf(list);
  DestroyWindow(list);
  return lines;
}

std::string LineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& l : lines)
    if (l.compare(0, start.size(), start) == 0) return l;
  return "";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

// Runs a program in `dir` without a window and waits for it; its exit code, or -1.
long RunIn(const std::string& dir, const std::string& exe) {
  std::string line = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, dir.c_str(), &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  else TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  return static_cast<long>(code);
}

// The user who reads a message (its picture is kept under `shot` when shots are asked for) and
// presses its default button.
qltest::DialogAnswer ShotAndDefault(const std::string& shot) {
  return [shot](HWND d, const SeenDialog& seen) {
    Shoot(d, shot);
    return qltest::PressDefault(d, seen);
  };
}

AskPassword NoPassword() {
  return [](SwitchSet&) { return false; };
}

class TransformsE2ETest : public RealArchiversFixture {
 protected:
  std::string dir;  // where the archives are
  void SetUp() override {
    RealArchiversFixture::SetUp();
    if (HasFatalFailure()) return;
    std::string programs = FromUnix(QL_PROGRAM_DIR);
    for (const char* file : {"ZIP2EXE.EXE", "ZIPSFX.EXE", "PKZIPFIX.EXE", "ARJSFX.EXE"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE)) << file;
    dir = prog + "\\Archives";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    // As under the frame (a program without a console), each runner gets a console of its own.
    FreeConsole();
  }
  bool HaveJudges() { return Exists("Z:\\usr\\bin\\unzip") && Exists("Z:\\usr\\bin\\zip") && Exists("Z:\\usr\\bin\\arj"); }
  // The source files packed by Debian's zip or arj into `archive` (with their folders).
  bool HostPack(const std::string& archive, ArchiveKind kind) {
    return Host(src, kind == ArchiveKind::Zip ? "/usr/bin/zip -qr '" + HostPath(archive) + "' ."
                                             : "/usr/bin/arj a -r -y '" + HostPath(archive) + "' '*' >/dev/null");
  }
  // What a host command printed (stdout and stderr).
  std::string HostOutput(const std::string& command) {
    std::string out = prog + "\\host.out";
    DeleteFileA(out.c_str());
    Host(prog, command + " > '" + HostPath(out) + "' 2>&1");
    return ReadAll(out);
  }
  void ExpectSourceFiles(const std::string& out) {
    EXPECT_EQ("first file\r\n", ReadAll(out + "\\A.TXT"));
    EXPECT_EQ(std::string(5000, 'b'), ReadAll(out + "\\B C.TXT"));
    EXPECT_EQ("in a directory\r\n", ReadAll(out + "\\DOCS\\D.TXT"));
  }
  // A directory of its own under the test's program directory, made empty.
  std::string EmptyDir(const std::string& name) {
    std::string d = prog + "\\" + name;
    RemoveTree(d);
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
  }
};

// -------------------------------------------------------------------------------------------
// Comments

TEST_F(TransformsE2ETest, ZipTitleTypedInTheEngineDialogShowsInUnzipAndTheViewer) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string zip = dir + "\\TITLED.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  const std::string title = "Quarterly figures\r\nsecond line of the title";

  // The user types the title into the zip engine's dialog.
  CommentSource source;
  source.curDir = dir;
  source.archivePath = zip;
  source.kind = ArchiveKind::Zip;
  std::vector<std::string> offered;
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& seen) {
      HWND edit = GetDlgItem(d, kEngineCommentText);
      if (!edit) return AcceptButNotProgress(d, seen);
      offered.push_back(seen.title);
      SetWindowTextA(edit, title.c_str());
      return IDOK;
    });
    ASSERT_TRUE(CommentArchiveTitle(setup, s, source, NoPassword()));
  }
  ASSERT_EQ(1u, offered.size()) << "the engine's comment dialog showed once";
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));

  // Debian's unzip shows it.
  std::string z = HostOutput("/usr/bin/unzip -z '" + HostPath(zip) + "'");
  EXPECT_NE(std::string::npos, z.find("Quarterly figures")) << z;
  EXPECT_NE(std::string::npos, z.find("second line of the title")) << z;

  // Quillon lists a ">" line for it, and the viewer shows the text.
  std::string line = LineStartingWith(Listed(zip, ArchiveKind::Zip), "> Title Comment: ");
  ASSERT_FALSE(line.empty());
  std::string shown;
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& seen) {
      if (seen.title != "Read Archive Comment") return qltest::PressDefault(d, seen);
      shown = DlgText(d, IDC_COMMENT_TEXT);
      Shoot(d, "Read Archive Comment");
      return IDOK;
    });
    EXPECT_EQ(IDOK, ReadArchiveComment(nullptr, zip, ArchiveKind::Zip, line));
  }
  EXPECT_EQ(title, shown);
}

TEST_F(TransformsE2ETest, ArjFileCommentTypedInTheRunnerShowsInArjV) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string arj = dir + "\\NOTES.ARJ";
  ASSERT_TRUE(HostPack(arj, ArchiveKind::Arj));
  CommentSource source;
  source.curDir = dir;
  source.archivePath = arj;
  source.kind = ArchiveKind::Arj;
  source.selectedNames = {"A.TXT"};
  source.selectedBytes = 12;

  RunnerConsole console;
  bool shown = false;
  std::thread user([&] {
    if (!console.Attach()) return;
    shown = console.Shown();
    console.Type("Kept for the audit\r\r");
  });
  bool ran = CommentSelectedFiles(setup, s, source, NoPassword());
  user.join();
  EXPECT_TRUE(console.Finish()) << "the runner waited for a key and ended";
  ASSERT_TRUE(ran);
  EXPECT_TRUE(shown) << "the comment is typed in a shown window";
  EXPECT_EQ(0, Judge(arj, ArchiveKind::Arj));
  std::string v = HostOutput("/usr/bin/arj v '" + HostPath(arj) + "'");
  EXPECT_NE(std::string::npos, v.find("Kept for the audit")) << v;

  // Quillon's listing shows a ">" line for it, and the viewer its text.
  std::string line = LineStartingWith(Listed(arj, ArchiveKind::Arj), "> File Comment: ");
  ASSERT_FALSE(line.empty()) << Joined(Listed(arj, ArchiveKind::Arj));
  std::string text;
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& seen) {
      if (seen.title != "Read Archive Comment") return qltest::PressDefault(d, seen);
      text = DlgText(d, IDC_COMMENT_TEXT);
      return IDOK;
    });
    EXPECT_EQ(IDOK, ReadArchiveComment(nullptr, arj, ArchiveKind::Arj, line));
  }
  EXPECT_NE(std::string::npos, text.find("Kept for the audit")) << text;
}

// -------------------------------------------------------------------------------------------
// Self-extracting archives

TEST_F(TransformsE2ETest, SelfExtractingZipIsListedAndExtractsItsFilesUnderWine) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string zip = dir + "\\FOO.ZIP", exe = dir + "\\FOO.EXE";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  RunResult r;
  {
    RunnerConsole console;
    std::thread user([&] { console.Attach(); });
    SetCurrentDirectoryA(dir.c_str());  // a bare name is the window's directory's file
    r = MakeSelfExtracting(setup, s, ArchiveKind::Zip, "FOO.ZIP", NoPassword());
    user.join();
    console.Finish();
  }
  ASSERT_EQ(RunResult::Done, r);
  unsigned long code = 99;
  EXPECT_TRUE(ReadRunnerExitCode(work.c_str(), &code) && code == 0) << code;
  ASSERT_TRUE(Exists(exe));
  EXPECT_EQ(0, Judge(exe, ArchiveKind::Zip));

  // Quillon lists it as a ZIP.
  EXPECT_TRUE(FileHoldsZip(exe));
  std::string lines = Joined(Listed(exe, ArchiveKind::Zip));
  for (const char* name : {"A.TXT", "B C.TXT", "D.TXT"}) EXPECT_NE(std::string::npos, lines.find(name)) << lines;

  // Run in an empty directory, it reproduces the files.
  std::string out = EmptyDir("Unpacked");
  qltest::Process p;
  ASSERT_TRUE(p.Start(exe, "", out));
  std::vector<SeenDialog> seen;
  {
    DialogWatcher w(p.id, DialogWatcher::kAnyThread);
    EXPECT_EQ(0, p.Wait(60000));
    seen = w.Seen();
  }
  for (const SeenDialog& d : seen) EXPECT_EQ(std::string::npos, d.text.find("already exists")) << d.text;
  ExpectSourceFiles(out);
}

TEST_F(TransformsE2ETest, AnUnrelatedProgramOfTheSameNameSurvivesBothSelfExtractors) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  const std::string unrelated = ReadAll(prog + "\\PKZIPFIX.EXE");
  struct Case {
    ArchiveKind kind;
    const char* archive;
    const char* exe;
  } cases[] = {{ArchiveKind::Zip, "FOO.ZIP", "FOO.EXE"}, {ArchiveKind::Arj, "BAR.ARJ", "BAR.EXE"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    ASSERT_TRUE(HostPack(dir + "\\" + c.archive, c.kind));
    ASSERT_TRUE(WriteWholeFile(dir + "\\" + c.exe, unrelated));
    RunResult r;
    std::vector<std::string> told;
    {
      DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), ShotAndDefault("Self-extractor not made"));
      RunnerConsole console;
      std::thread user([&] { console.Attach(); });
      r = MakeSelfExtracting(setup, s, c.kind, dir + "\\" + c.archive, NoPassword());
      user.join();
      console.Finish();
      for (const SeenDialog& seen : boxes.Seen()) told.push_back(seen.text);
    }
    EXPECT_EQ(RunResult::Done, r);
    unsigned long code = 0;
    EXPECT_TRUE(ReadRunnerExitCode(work.c_str(), &code));
    EXPECT_NE(0u, code) << "refused";
    EXPECT_TRUE(ReadAll(dir + "\\" + c.exe) == unrelated) << "the program is left as it was";
    // The console may have been minimised and gone at once: the user is told.
    EXPECT_EQ(std::vector<std::string>{"The self-extracting archive of\n" + dir + "\\" + c.archive +
                                       "\nwas not made: the archiver reported a failure. Existing files were "
                                       "left as they were."},
              told);
  }
}

TEST_F(TransformsE2ETest, SelfExtractingArjExtractsItsFilesUnderWine) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string arj = dir + "\\BOOK.ARJ", exe = dir + "\\BOOK.EXE";
  ASSERT_TRUE(HostPack(arj, ArchiveKind::Arj));
  RunResult r;
  {
    RunnerConsole console;
    std::thread user([&] { console.Attach(); });
    r = MakeSelfExtracting(setup, s, ArchiveKind::Arj, arj, NoPassword());
    user.join();
    console.Finish();
  }
  ASSERT_EQ(RunResult::Done, r);
  ASSERT_TRUE(Exists(exe));
  std::string out = EmptyDir("Unpacked");
  ASSERT_TRUE(CopyFileA(exe.c_str(), (out + "\\BOOK.EXE").c_str(), FALSE));
  EXPECT_EQ(0, RunIn(out, out + "\\BOOK.EXE"));
  ExpectSourceFiles(out);
}

// -------------------------------------------------------------------------------------------
// Repair

TEST_F(TransformsE2ETest, RepairZipOfAnArchiveCutInsideItsCentralDirectory) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string zip = dir + "\\CUT.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  std::string whole = ReadAll(zip);
  size_t central = whole.find(std::string("PK\x01\x02", 4));
  ASSERT_NE(std::string::npos, central);
  std::string cut = whole.substr(0, central + 60);
  ASSERT_TRUE(WriteWholeFile(zip, cut));
  ASSERT_NE(0, Judge(zip, ArchiveKind::Zip)) << "the cut archive is damaged";
  // Each repair tells where it went; a second one in the same place keeps the first.
  auto repair = [&](std::vector<std::string>* told) {
    DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), ShotAndDefault("Repaired ZIP written"));
    RunnerConsole console;
    std::thread user([&] { console.Attach(); });
    RunResult r = RepairArchive(setup, s, ArchiveKind::Zip, dir, "CUT.ZIP", NoPassword());
    user.join();
    console.Finish();
    for (const SeenDialog& seen : boxes.Seen()) told->push_back(seen.text);
    return r;
  };
  std::vector<std::string> told;
  ASSERT_EQ(RunResult::Done, repair(&told));
  EXPECT_EQ(std::vector<std::string>{"The repaired archive was written to\n" + dir + "\\PKFIXED.ZIP"}, told);
  EXPECT_EQ(0, Judge(dir + "\\PKFIXED.ZIP", ArchiveKind::Zip));
  EXPECT_EQ(cut, ReadAll(zip)) << "the damaged archive is left as it was";
  std::string out = EmptyDir("Check");
  ASSERT_TRUE(Host(out, "/usr/bin/unzip -q '" + HostPath(dir + "\\PKFIXED.ZIP") + "'"));
  ExpectSourceFiles(out);

  const std::string first = ReadAll(dir + "\\PKFIXED.ZIP");
  told.clear();
  ASSERT_EQ(RunResult::Done, repair(&told));
  EXPECT_EQ(std::vector<std::string>{"The repaired archive was written to\n" + dir + "\\PKFIX001.ZIP"}, told);
  EXPECT_TRUE(ReadAll(dir + "\\PKFIXED.ZIP") == first) << "the earlier repair is kept";
  EXPECT_EQ(0, Judge(dir + "\\PKFIX001.ZIP", ArchiveKind::Zip));
}

TEST_F(TransformsE2ETest, RepairArjRecoversTheSoundMembersInAShownWindow) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string arj = dir + "\\DAMAGED.ARJ";
  ASSERT_TRUE(HostPack(arj, ArchiveKind::Arj));
  // Damage the data of the long member: after its header's name, comment, CRC and the empty
  // extended header size.
  std::string bytes = ReadAll(arj);
  size_t name = bytes.find(std::string("B C.TXT\0", 8));
  ASSERT_NE(std::string::npos, name);
  size_t header = bytes.rfind(std::string("\x60\xEA", 2), name);
  ASSERT_NE(std::string::npos, header);
  uint32_t packed = 0;
  memcpy(&packed, bytes.data() + header + 16, 4);
  size_t comment = bytes.find('\0', name + 8);
  ASSERT_NE(std::string::npos, comment);
  size_t data = comment + 1 + 4 + 2;
  ASSERT_GE(packed, 4u);
  ASSERT_LT(data + packed, bytes.size());
  for (size_t i = data + packed / 2 - 2; i < data + packed / 2 + 2; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  ASSERT_TRUE(WriteWholeFile(arj, bytes));
  ASSERT_NE(0, Judge(arj, ArchiveKind::Arj)) << "arj t finds the damage";

  // The user's own files beside the archive, one of a member's name, and a directory of the
  // archive's name.
  ASSERT_TRUE(WriteWholeFile(dir + "\\A.TXT", "mine"));
  ASSERT_TRUE(CreateDirectoryA((dir + "\\DAMAGED").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(dir + "\\DAMAGED\\A.TXT", "mine too"));

  std::vector<std::string> told;
  RunResult r;
  {
    DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), ShotAndDefault("ARJ members recovered"));
    RunnerConsole console;
    bool shown = false;
    std::thread user([&] {
      if (console.Attach()) shown = console.Shown();
    });
    r = RepairArchive(setup, s, ArchiveKind::Arj, dir, "DAMAGED.ARJ", NoPassword());
    user.join();
    EXPECT_TRUE(shown || console.Shown()) << "ARJ runs in a shown window";
    EXPECT_TRUE(console.Finish());
    for (const SeenDialog& seen : boxes.Seen()) told.push_back(seen.text);
  }
  ASSERT_EQ(RunResult::Done, r);
  // The sound members come out whole, with their folders, into a new directory named after the
  // archive; the user's files are untouched, and is told where to look.
  const std::string into = dir + "\\DAMAGED.1";
  EXPECT_EQ(std::vector<std::string>{"What could be recovered from the archive was extracted, with its folders, "
                                     "into the new directory\n" + into},
            told);
  EXPECT_EQ("first file\r\n", ReadAll(into + "\\A.TXT"));
  EXPECT_EQ("in a directory\r\n", ReadAll(into + "\\DOCS\\D.TXT"));
  EXPECT_EQ("mine", ReadAll(dir + "\\A.TXT"));
  EXPECT_EQ("mine too", ReadAll(dir + "\\DAMAGED\\A.TXT"));
  EXPECT_FALSE(Exists(dir + "\\D.TXT"));
  EXPECT_FALSE(Exists(dir + "\\DAMAGED\\DOCS"));
  EXPECT_EQ(bytes, ReadAll(arj)) << "the archive is left as it was";
}

// -------------------------------------------------------------------------------------------
// Join and rename

TEST_F(TransformsE2ETest, JoinTwoArjArchivesNamedInTheDialog) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  ASSERT_TRUE(Host(src, "/usr/bin/arj a -y '" + HostPath(dir + "\\FIRST.ARJ") + "' A.TXT >/dev/null"));
  ASSERT_TRUE(Host(src + "\\DOCS", "/usr/bin/arj a -y '" + HostPath(dir + "\\SECOND.ARJ") + "' D.TXT >/dev/null"));
  std::vector<std::string> dialogs;
  INT_PTR r;
  {
    RunnerConsole console;
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& seen) {
      HWND edit = GetDlgItem(d, IDC_JOIN_NAME);
      if (!edit) return qltest::PressDefault(d, seen);
      dialogs.push_back(seen.title);
      SetWindowTextA(edit, "BOTH.ARJ");
      Shoot(d, "Join Arj Files");
      return IDOK;
    });
    std::thread user([&] { console.Attach(); });
    r = JoinArjFiles(setup, s, dir, {"FIRST.ARJ", "SECOND.ARJ"}, false, NoPassword());
    user.join();
    console.Finish();
  }
  EXPECT_EQ(IDOK, r);
  EXPECT_EQ(std::vector<std::string>{"Join Arj Files"}, dialogs);
  std::string both = dir + "\\BOTH.ARJ";
  EXPECT_EQ(0, Judge(both, ArchiveKind::Arj));
  std::string l = HostOutput("/usr/bin/arj l '" + HostPath(both) + "'");
  EXPECT_NE(std::string::npos, l.find("A.TXT")) << l;
  EXPECT_NE(std::string::npos, l.find("D.TXT")) << l;
}

TEST_F(TransformsE2ETest, RenameInAnArjAnsweredInTheRunnersConsole) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string arj = dir + "\\NAMES.ARJ";
  ASSERT_TRUE(HostPack(arj, ArchiveKind::Arj));
  RunnerConsole console;
  bool typed = false;
  std::thread user([&] { typed = console.Attach() && console.Type("RENAMED.TXT\r"); });
  bool ran = RenameInArjArchive(setup, s, ArchiveKind::Arj, arj, {"A.TXT"}, NoPassword());
  user.join();
  EXPECT_TRUE(console.Finish());
  ASSERT_TRUE(typed);
  ASSERT_TRUE(ran);
  EXPECT_EQ(0, Judge(arj, ArchiveKind::Arj));
  std::string l = HostOutput("/usr/bin/arj l '" + HostPath(arj) + "'");
  EXPECT_NE(std::string::npos, l.find("RENAMED.TXT")) << l;
  EXPECT_EQ(std::string::npos, l.find(" A.TXT")) << l;
}

// -------------------------------------------------------------------------------------------
// Starting what an archive holds

class StartFromArchiveTest : public TransformsE2ETest {
 protected:
  std::string recorder;
  void SetUp() override {
    TransformsE2ETest::SetUp();
    if (HasFatalFailure()) return;
    recorder = FromUnix(STANDIN_DIR) + "\\recorder.exe";
    ASSERT_TRUE(Exists(recorder));
  }
  // The record the recorder leaves in `where`, once it is there.
  std::string RecordIn(const std::string& where) {
    std::string record = where + "\\QLRECORD.TXT";
    qltest::WaitUntil([&] { return Exists(record); }, 30000);
    return ReadAll(record);
  }
};

TEST_F(StartFromArchiveTest, AProgramRunsFromTheWorkDirectory) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  std::string pack = EmptyDir("Program");
  ASSERT_TRUE(CopyFileA(recorder.c_str(), (pack + "\\SETUP.EXE").c_str(), FALSE));
  ASSERT_TRUE(WriteWholeFile(pack + "\\HELPER.DLL", "not really a library"));
  struct Case {
    ArchiveKind kind;
    const char* archive;
    const char* command;
  } cases[] = {{ArchiveKind::Zip, "PROGRAM.ZIP", "/usr/bin/zip -q '%s' SETUP.EXE HELPER.DLL"},
               {ArchiveKind::Arj, "PROGRAM.ARJ", "/usr/bin/arj a -y '%s' SETUP.EXE HELPER.DLL >/dev/null"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    std::string archive = dir + "\\" + c.archive;
    std::string command = c.command;
    command.replace(command.find("%s"), 2, HostPath(archive));
    ASSERT_TRUE(Host(pack, command));
    DeleteFileA((work + "\\QLRECORD.TXT").c_str());
    DeleteFileA((work + "\\SETUP.EXE").c_str());
    DeleteFileA((work + "\\HELPER.DLL").c_str());
    RunResult r;
    {
      RunnerConsole console;
      std::thread user([&] {
        if (c.kind == ArchiveKind::Arj) console.Attach();  // the zip side runs in the engine
      });
      r = RunFromArchive(setup, s, c.kind, archive, "SETUP.EXE", NoPassword());
      user.join();
      console.Finish();
    }
    ASSERT_EQ(RunResult::Done, r);
    // The program is started, not waited for: its record appears when it has run.
    qltest::WaitUntil([&] { return !RecordIn(work).empty(); }, 30000);
    EXPECT_EQ("ran", RecordIn(work)) << "the program ran in the work directory without a command line";
    EXPECT_EQ("not really a library", ReadAll(work + "\\HELPER.DLL")) << "its libraries came along";
  }
}

// A document type of the tests' own, opened by the recorder: registered in the test prefix for
// the time of one test.
class RecorderAssociation {
 public:
  explicit RecorderAssociation(const std::string& program) {
    std::string command = "\"" + program + "\" \"%1\"";
    ok_ = RegSetValueA(HKEY_CLASSES_ROOT, ".qlrecdoc", REG_SZ, "QuillonTestRecordDoc", 0) == ERROR_SUCCESS &&
          RegSetValueA(HKEY_CLASSES_ROOT, "QuillonTestRecordDoc\\shell\\open\\command", REG_SZ, command.c_str(),
                       0) == ERROR_SUCCESS;
  }
  ~RecorderAssociation() {
    for (const char* key : {"QuillonTestRecordDoc\\shell\\open\\command", "QuillonTestRecordDoc\\shell\\open",
                            "QuillonTestRecordDoc\\shell", "QuillonTestRecordDoc", ".qlrecdoc"})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

TEST_F(StartFromArchiveTest, ADocumentOpensWithItsAssociation) {
  if (!HaveJudges()) GTEST_SKIP() << "no Info-ZIP or arj";
  RecorderAssociation association(recorder);
  ASSERT_TRUE(association.ok());
  std::string pack = EmptyDir("Document");
  ASSERT_TRUE(WriteWholeFile(pack + "\\LETTER.QLRECDOC", "Dear reader"));
  std::string zip = dir + "\\LETTERS.ZIP";
  ASSERT_TRUE(Host(pack, "/usr/bin/zip -q '" + HostPath(zip) + "' LETTER.QLRECDOC"));
  DeleteFileA((work + "\\QLRECORD.TXT").c_str());

  std::string opened;
  DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
  RunResult r = ViewArchiveMember(setup, s, ArchiveKind::Zip, zip, false, "LETTER.QLRECDOC\tLETTER.QLRECDOC\t11",
                                  NoPassword(), [&](const std::string& path) {
                                    opened = path;
                                    EXPECT_TRUE(OpenDocument(nullptr, path, SW_SHOWNORMAL));
                                  });
  ASSERT_EQ(RunResult::Done, r);
  for (const SeenDialog& d : w.Seen()) ADD_FAILURE() << d.text;
  EXPECT_EQ(work + "\\LETTER.QLRECDOC", opened);
  EXPECT_EQ("Dear reader", ReadAll(opened));
  // The association's program runs on its own: wait (at most 30 s) until its record names the
  // document, not merely until a record is there.
  qltest::WaitUntil([&] { return ReadAll(work + "\\QLRECORD.TXT").find("LETTER.QLRECDOC") != std::string::npos; },
                    30000);
  std::string record = RecordIn(work);
  EXPECT_EQ(0u, record.find("ran ")) << record;
  EXPECT_NE(std::string::npos, record.find("LETTER.QLRECDOC")) << record;
}

}  // namespace
}  // namespace ql
