// The archive commands of the frame end to end, in this process, with the real runner, pkzip,
// pkunzip, zip and unzip engines and ARJ: a new archive named in its dialog, files added from the
// window's directory list, extracted into a directory that is offered and made, tested, a member
// viewed, members deleted after the confirmation, and deleting every member refused. Debian's
// unzip and arj judge the archives.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/dispatch.h"
#include "app/frame.h"
#include "app/settings.h"
#include "common/shared_win.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "browser/item_format.h"
#include "engine/dialogs_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::SeenDialog;
using qltest::FromUnix;
using qltest::HostPath;
using qltest::RunHost;

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

enum class Archiver { ZipEngine, DosPkzip, Arj };

class ArchiveOpsTest : public ::testing::TestWithParam<Archiver> {
 protected:
  std::string prog, src, target, archives, cwd;
  HWND frame = nullptr;
  std::mutex mutex;
  std::vector<SeenDialog> seen;
  std::string pendingNewDir;
  std::string newName = "REPORT";
  bool answerNo = false;

  void SetUp() override {
    ql::g_runnerMinimumWaitMs = 0;  // the runner's shortest wait has a test of its own
    cwd = qltest::CurrentDirectory();
    static int serial = 0;
    // Under the build tree (drive Z:), so that the host's unzip and arj can read the archives.
    prog = FromUnix(OPS_DIR) + "\\ops " + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(OPS_DIR).c_str(), nullptr);
    ql::RemoveDirectoryTree(prog.c_str());  // left by an earlier process of the same id
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    std::string programs = FromUnix("Z:" QL_PROGRAM_DIR);
    for (const char* file : {"qlkbdtrp.exe", "pkzip.exe", "pkunzip.exe", "ARJ.EXE", "QL53NTI1.DLL", "QL53NTI2.DLL"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE)) << file;
    src = prog + "\\Source Files";
    target = prog + "\\Extracted Here";
    archives = prog + "\\Archives";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    for (const char* name : {"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT", "F4.TXT", "F5.TXT", "F6.TXT"})
      ASSERT_TRUE(qltest::WriteTextFile(src + "\\" + name, std::string("contents of ") + name + "\r\n"));
    ASSERT_TRUE(qltest::WriteTextFile(src + "\\B C.TXT", std::string(6000, 'b')));
    ASSERT_TRUE(qltest::WriteTextFile(src + "\\NOTE.QQX", "a member no program opens\r\n"));
    std::string ini = prog + "\\ql53intl.ini";
    WritePrivateProfileStringA("Defaults", "Working Directory", src.c_str(), ini.c_str());
    WritePrivateProfileStringA("Confirmation", "target_dir", "True", ini.c_str());
    WritePrivateProfileStringA("Confirmation", "delete", "True", ini.c_str());
    // Add picks up and drops on the window's own archive list without the drop's confirmation.
    WritePrivateProfileStringA("Confirmation", "drag_n_drop", "False", ini.c_str());
    WritePrivateProfileStringA("switches", "use_pkzip", GetParam() == Archiver::DosPkzip ? "On" : "Off", ini.c_str());
    ql::SetProgramModulePath((prog + "\\quillon.exe").c_str());
  }

  void TearDown() override {
    if (frame && IsWindow(frame)) {
      PostMessageA(frame, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    SetCurrentDirectoryA(cwd.c_str());
    ql::SetProgramModulePath(nullptr);
    if (!HasFailure()) ql::RemoveDirectoryTree(prog.c_str());
  }

  // The user: names REPORT in the new archive dialog, picks a new target directory, creates missing
  // directories and confirms deletions; every dialog is recorded.
  int Answer(HWND d, const SeenDialog& s) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      seen.push_back(s);
    }
    if (s.title == "Create A New Archive") {
      SetDlgItemTextA(d, IDC_NEW_FILE_NAME, newName.c_str());
      // Typed with a trailing backslash: the history keeps the directory as the path uses it.
      SetDlgItemTextA(d, IDC_NEW_DIRECTORY, (archives + "\\").c_str());
      if (GetParam() == Archiver::Arj) SendMessageA(GetDlgItem(d, IDC_NEW_ARJ), BM_CLICK, 0, 0);
      return IDOK;
    }
    if (s.title == "Target Extraction Directory") {
      // Another directory, as the directory picker would put it into the field.
      SendMessageA(GetDlgItem(d, IDC_TARGET_CURRENT), BM_CLICK, 0, 0);
      SetDlgItemTextA(d, IDC_TARGET_FIELD, target.c_str());
      return IDOK;
    }
    if (s.title == "Confirm Delete") return answerNo ? IDC_DELETE_NO : IDC_DELETE_YES;
    return qltest::PressDefault(d, s);
  }

  std::vector<SeenDialog> Seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }
  void Forget() {
    std::lock_guard<std::mutex> lock(mutex);
    seen.clear();
  }

  void Command(UINT id) {
    SendMessageA(frame, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }

  // Add picks the directory list's selection up; the click on the window's own archive list drops
  // it there.
  void AddByPickUp(ql::WindowRecord* r) {
    Command(IDM_ADD);
    RECT rc;
    GetWindowRect(r->hwndArchiveList, &rc);
    POINT at{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ScreenToClient(r->hwndDirList, &at);
    PostMessageA(r->hwndDirList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(r->hwndDirList, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PumpUntil([] { return false; }, 0);
  }

  // Selects exactly the lines of `list` whose first field is one of `names`.
  static int Select(HWND list, const std::set<std::string>& names) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    std::vector<std::string> lines = ql::ListLines(list);
    int n = 0;
    for (size_t i = 0; i < lines.size(); ++i)
      if (names.count(FirstField(lines[i]))) {
        SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        ++n;
      }
    return n;
  }

  int Judge(const std::string& archive) {
    std::string cmd = GetParam() == Archiver::Arj ? "/usr/bin/arj t -y '" : "/usr/bin/unzip -tqq '";
    return RunHost(cmd + HostPath(archive) + "' >/dev/null 2>&1", prog + "\\judge.status");
  }
};

TEST_P(ArchiveOpsTest, CreateAddExtractTestViewAndDelete) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  HWND b = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(b);
  ASSERT_TRUE(r);
  ASSERT_EQ(0, lstrcmpiA(r->curDir, src.c_str())) << r->curDir;

  // A new archive: REPORT becomes REPORT.Zip (or .Arj) in a directory that is offered and made.
  Command(IDM_NEW_ARCHIVE);
  const bool arj = GetParam() == Archiver::Arj;
  const std::string archive = archives + (arj ? "\\REPORT.Arj" : "\\REPORT.Zip");
  EXPECT_STREQ(archive.c_str(), r->archivePath);
  EXPECT_EQ(arj ? ql::kArchiveTypeArj : ql::kArchiveTypeZip, GetWindowLongA(b, ql::kWordArchiveType));
  // The column header and the list take the columns of the new archive's type.
  EXPECT_EQ(arj ? ql::kListArj : ql::kListZip, ql::ListKindOf(r->hwndArchiveHeader));
  EXPECT_EQ(arj ? ql::kListArj : ql::kListZip, ql::ListKindOf(r->hwndArchiveList));
  EXPECT_TRUE(qltest::FileExists(archives));
  EXPECT_FALSE(qltest::FileExists(archive));
  {
    char history[MAX_PATH] = "";
    GetPrivateProfileStringA("New Files", "New1", "", history, sizeof history, (prog + "\\ql53intl.ini").c_str());
    EXPECT_STREQ(archives.c_str(), history);
  }

  // Add every file of the directory list.
  const std::set<std::string> all = {"A.TXT", "B C.TXT", "NOTE.QQX", "F1.TXT", "F2.TXT",
                                     "F3.TXT", "F4.TXT", "F5.TXT", "F6.TXT"};
  ASSERT_EQ(9, Select(r->hwndDirList, all));
  r->hwndFocusList = r->hwndDirList;
  AddByPickUp(r);
  ASSERT_TRUE(qltest::FileExists(archive));
  EXPECT_EQ(0, Judge(archive));
  std::set<std::string> members;
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') members.insert(FirstField(line));
  EXPECT_EQ(all, members);
  EXPECT_EQ(9, GetWindowLongA(b, ql::kWordFileCount));

  // Extract everything: the target is confirmed, offered for creation and made.
  Forget();
  ASSERT_EQ(9, Select(r->hwndArchiveList, all));
  r->hwndFocusList = r->hwndArchiveList;
  Command(IDM_EXTRACT);
  std::vector<SeenDialog> asked = Seen();
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ("Target Extraction Directory", asked[0].title);
  EXPECT_NE(std::string::npos, asked[1].text.find("Does not exist.")) << asked[1].text;
  EXPECT_EQ(std::string(6000, 'b'), qltest::ReadTextFile(target + "\\B C.TXT"));
  EXPECT_EQ("contents of F6.TXT\r\n", qltest::ReadTextFile(target + "\\F6.TXT"));

  // Test the window's archive.
  Command(IDM_TEST);
  EXPECT_EQ(0, Judge(archive));

  // View a member by a double-click: extracted into the work directory; no program opens it,
  // which is reported.
  Forget();
  int note = -1;
  std::vector<std::string> lines = ql::ListLines(r->hwndArchiveList);
  for (size_t i = 0; i < lines.size(); ++i)
    if (FirstField(lines[i]) == "NOTE.QQX") note = static_cast<int>(i);
  ASSERT_GE(note, 0);
  SendMessageA(r->hwndArchiveList, LB_SETCARETINDEX, note, FALSE);
  SendMessageA(b, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(r->hwndArchiveList), LBN_DBLCLK),
               reinterpret_cast<LPARAM>(r->hwndArchiveList));
  PumpUntil([] { return false; }, 0);
  EXPECT_EQ("a member no program opens\r\n", qltest::ReadTextFile(prog + "\\QL5TEMP\\NOTE.QQX"));

  // Answering No deletes nothing and leaves the selection as it was.
  Forget();
  answerNo = true;
  ASSERT_EQ(7, Select(r->hwndArchiveList, {"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT", "F4.TXT", "F5.TXT", "F6.TXT"}));
  Command(IDM_DELETE_MEMBERS);
  answerNo = false;
  ASSERT_EQ(1u, Seen().size());
  EXPECT_EQ(7, SendMessageA(r->hwndArchiveList, LB_GETSELCOUNT, 0, 0));
  EXPECT_EQ(9, GetWindowLongA(b, ql::kWordFileCount));

  // Delete seven members: six names and "..." are shown.
  Forget();
  ASSERT_EQ(7, Select(r->hwndArchiveList, {"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT", "F4.TXT", "F5.TXT", "F6.TXT"}));
  Command(IDM_DELETE_MEMBERS);
  asked = Seen();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ("Confirm Delete", asked[0].title);
  EXPECT_NE(std::string::npos, asked[0].text.find("Delete selected files in archive?"));
  EXPECT_NE(std::string::npos, asked[0].text.find(" ...")) << asked[0].text;
  EXPECT_EQ(std::string::npos, asked[0].text.find("F6.TXT")) << "only six names";
  members.clear();
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') members.insert(FirstField(line));
  EXPECT_EQ((std::set<std::string>{"B C.TXT", "NOTE.QQX"}), members);
  EXPECT_EQ(0, Judge(archive));

  // Deleting every member is refused and leaves the archive as it was.
  Forget();
  std::string before = qltest::ReadTextFile(archive);
  ASSERT_EQ(2, Select(r->hwndArchiveList, {"B C.TXT", "NOTE.QQX"}));
  Command(IDM_DELETE_MEMBERS);
  asked = Seen();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("Deleting all of the files in an archive will corrupt it!", asked[1].text);
  EXPECT_EQ(before, qltest::ReadTextFile(archive));

  // New Archive on this window: the old listing and totals go with the old archive.
  newName = "SECOND";
  Command(IDM_NEW_ARCHIVE);
  EXPECT_STREQ((archives + (arj ? "\\SECOND.Arj" : "\\SECOND.Zip")).c_str(), r->archivePath);
  EXPECT_EQ(0, SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0));
  EXPECT_EQ(0, GetWindowLongA(b, ql::kWordFileCount));
  EXPECT_EQ(0, GetWindowLongA(b, ql::kWordTotalLength));
}

// Freshen from the archive window: the archive's directory becomes current, and a file there that
// is newer than its member replaces it; the others stay as they are.
TEST_P(ArchiveOpsTest, FreshenReplacesTheNewerFileBesideTheArchive) {
  archives = src;  // the new archive goes beside its files
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  HWND b = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(b);
  ASSERT_TRUE(r);
  Command(IDM_NEW_ARCHIVE);
  const std::string archive = r->archivePath;
  ASSERT_EQ(2, Select(r->hwndDirList, {"A.TXT", "F1.TXT"}));
  r->hwndFocusList = r->hwndDirList;
  AddByPickUp(r);
  ASSERT_TRUE(qltest::FileExists(archive));

  // F1.TXT grows and is an hour newer; A.TXT is untouched.
  const std::string grown(3000, 'g');
  ASSERT_TRUE(qltest::WriteTextFile(src + "\\F1.TXT", grown));
  HANDLE f = CreateFileA((src + "\\F1.TXT").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  t.QuadPart += 36000000000ULL;  // one hour
  ft.dwLowDateTime = t.LowPart;
  ft.dwHighDateTime = t.HighPart;
  SetFileTime(f, nullptr, nullptr, &ft);
  CloseHandle(f);

  r->hwndFocusList = r->hwndArchiveList;
  Command(IDM_FRESHEN);
  EXPECT_EQ(0, Judge(archive));
  std::map<std::string, int64_t> sizes;
  for (const std::string& line : ql::ListLines(r->hwndArchiveList)) {
    if (line[0] == '>') continue;
    size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1), t3 = line.find('\t', t2 + 1);
    ASSERT_NE(std::string::npos, t3) << line;
    sizes[FirstField(line)] = atoll(line.substr(t2 + 1, t3 - t2 - 1).c_str());
  }
  EXPECT_EQ(2u, sizes.size()) << "freshen adds nothing";
  EXPECT_EQ(3000, sizes["F1.TXT"]);
  EXPECT_EQ(static_cast<int64_t>(std::string("contents of A.TXT\r\n").size()), sizes["A.TXT"]);
}

// Extract with the directory list current: the selected archive file is extracted whole into the
// confirmed target, which is offered and made.
TEST_P(ArchiveOpsTest, ExtractArchiveFilesFromTheDirectoryList) {
  archives = src;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  Command(IDM_NEW_ARCHIVE);
  const std::string archive = r->archivePath;
  ASSERT_EQ(2, Select(r->hwndDirList, {"A.TXT", "B C.TXT"}));
  r->hwndFocusList = r->hwndDirList;
  AddByPickUp(r);
  ASSERT_TRUE(qltest::FileExists(archive));
  const std::string name = archive.substr(archive.find_last_of('\\') + 1);
  ASSERT_EQ(1, Select(r->hwndDirList, {name})) << "the directory list shows the new archive";
  Forget();
  Command(IDM_EXTRACT);
  std::vector<SeenDialog> asked = Seen();
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ("Target Extraction Directory", asked[0].title);
  EXPECT_NE(std::string::npos, asked[1].text.find("Does not exist."));
  EXPECT_EQ("contents of A.TXT\r\n", qltest::ReadTextFile(target + "\\A.TXT"));
  EXPECT_EQ(std::string(6000, 'b'), qltest::ReadTextFile(target + "\\B C.TXT"));
}

// A program inside an archive made by Debian's zip or arj: a double-click on the archive in the
// directory list opens it in the window, and a double-click on the program's line extracts it with
// its library into the work directory, where it runs (the recorder leaves QLRECORD.TXT there).
TEST_P(ArchiveOpsTest, DoubleClickOnAProgramInTheArchiveRunsIt) {
  const bool arj = GetParam() == Archiver::Arj;
  const std::string pack = prog + "\\Pack";
  ASSERT_TRUE(CreateDirectoryA(pack.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(FromUnix(RECORDER_EXE).c_str(), (pack + "\\SETUP.EXE").c_str(), FALSE));
  ASSERT_TRUE(qltest::WriteTextFile(pack + "\\HELPER.DLL", "not really a library"));
  const std::string name = arj ? "PROGRAM.ARJ" : "PROGRAM.ZIP";
  const std::string archive = src + "\\" + name;
  const std::string make = arj ? "/usr/bin/arj a -y '" + HostPath(archive) + "' SETUP.EXE HELPER.DLL"
                               : "/usr/bin/zip -q '" + HostPath(archive) + "' SETUP.EXE HELPER.DLL";
  ASSERT_EQ(0, RunHost("cd '" + HostPath(pack) + "' && " + make + " >/dev/null 2>&1", prog + "\\make.status"));

  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  HWND b = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(b);
  ASSERT_TRUE(r);
  auto doubleClick = [&](HWND list, const std::string& first) {
    std::vector<std::string> lines = ql::ListLines(list);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (FirstField(lines[i]) != first) continue;
      SendMessageA(list, LB_SETCARETINDEX, i, FALSE);
      SendMessageA(b, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
      PumpUntil([] { return false; }, 0);
      return true;
    }
    return false;
  };

  ASSERT_TRUE(doubleClick(r->hwndDirList, name));
  ASSERT_EQ(0, lstrcmpiA(archive.c_str(), r->archivePath)) << r->archivePath;
  std::set<std::string> members;
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') members.insert(FirstField(line));
  ASSERT_EQ((std::set<std::string>{"SETUP.EXE", "HELPER.DLL"}), members);

  const std::string work = prog + "\\QL5TEMP";
  const std::string record = work + "\\QLRECORD.TXT";
  ASSERT_FALSE(qltest::FileExists(record));
  Forget();
  ASSERT_TRUE(doubleClick(r->hwndArchiveList, "SETUP.EXE"));
  EXPECT_TRUE(qltest::WaitUntil([&] { return qltest::FileExists(record); }, 30000)) << "the program did not run";
  EXPECT_EQ("ran", qltest::ReadTextFile(record)) << "started without a command line";
  EXPECT_EQ("not really a library", qltest::ReadTextFile(work + "\\HELPER.DLL")) << "its library came along";
  for (const SeenDialog& d : Seen()) ADD_FAILURE() << "unexpected dialog: " << d.title << ": " << d.text;
  // The run leaves the window's directory current, and the archive as it was.
  EXPECT_EQ(0, lstrcmpiA(src.c_str(), qltest::CurrentDirectory().c_str())) << qltest::CurrentDirectory();
  EXPECT_EQ(0, Judge(archive));
}

// Names beyond the ANSI code page (UTF-8, or an Info-ZIP Unicode path field): each line shows its
// name as well as the code page allows, and extracting, viewing and deleting a line act on its own
// member, never on a look-alike ("π.txt" shows as "?.txt", a wildcard "p.txt" would match).
TEST_P(ArchiveOpsTest, NamesBeyondTheCodePageActOnTheirOwnMember) {
  if (GetParam() == Archiver::Arj) GTEST_SKIP() << "ZIP member names";
  const std::string archive = src + "\\UNI.ZIP";
  ASSERT_TRUE(CopyFileA(FromUnix("Z:" QL_SOURCE_DIR "/archivers/zip/tests/fixtures/unicode_names.zip").c_str(),
                        archive.c_str(), FALSE));
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  HWND b = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(b);
  ASSERT_TRUE(r);
  auto lineOf = [&](HWND list, const std::string& first) {
    std::vector<std::string> lines = ql::ListLines(list);
    for (size_t i = 0; i < lines.size(); ++i)
      if (FirstField(lines[i]) == first) return static_cast<int>(i);
    return -1;
  };
  auto doubleClick = [&](HWND list, const std::string& first) {
    int i = lineOf(list, first);
    if (i < 0) return false;
    SendMessageA(list, LB_SETCARETINDEX, i, FALSE);
    SendMessageA(b, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    PumpUntil([] { return false; }, 0);
    return true;
  };
  ASSERT_TRUE(doubleClick(r->hwndDirList, "UNI.ZIP"));
  std::multiset<std::string> shown;
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') shown.insert(FirstField(line));
  // Windows-1252 holds the "s" and the "a" with an acute of "Česká", and none of the rest.
  EXPECT_EQ((std::multiset<std::string>{"????????.txt", "???\\????.txt", "?.txt", "p.txt", "?esk\xE1.txt", "stale.txt"}),
            shown);
  qltest::Snapshot("unicode-names");

  // Extract the line of "π.txt": that member alone, under its own name.
  Forget();
  ASSERT_EQ(1, Select(r->hwndArchiveList, {"?.txt"}));
  r->hwndFocusList = r->hwndArchiveList;
  Command(IDM_EXTRACT);
  EXPECT_EQ("pi\r\n", qltest::ReadWideNamedFile(target, L"π.txt"));
  EXPECT_FALSE(qltest::FileExists(target + "\\p.txt")) << "the look-alike came along";

  // View "Česká.txt" by a double-click: its own contents land in the work directory.
  ASSERT_TRUE(doubleClick(r->hwndArchiveList, "?esk\xE1.txt"));
  EXPECT_EQ("czech\r\n", qltest::ReadWideNamedFile(prog + "\\QL5TEMP", L"Česká.txt"));

  // Delete the line of "π.txt": "p.txt" stays.
  Forget();
  ASSERT_EQ(1, Select(r->hwndArchiveList, {"?.txt"}));
  Command(IDM_DELETE_MEMBERS);
  shown.clear();
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') shown.insert(FirstField(line));
  EXPECT_EQ(0u, shown.count("?.txt"));
  EXPECT_EQ(1u, shown.count("p.txt"));
  EXPECT_EQ(5u, shown.size());
  EXPECT_EQ(0, Judge(archive));
}

// Files dropped from another program onto a window without an archive: the new archive dialog
// names one, and the files are added to it.
HGLOBAL DropAt(const std::vector<std::string>& names, POINT pt) {
  size_t size = sizeof(DROPFILES) + 1;
  for (auto& n : names) size += n.size() + 1;
  HGLOBAL g = GlobalAlloc(GHND, size);
  auto* d = static_cast<DROPFILES*>(GlobalLock(g));
  d->pFiles = sizeof(DROPFILES);
  d->pt = pt;
  char* p = reinterpret_cast<char*>(d) + sizeof(DROPFILES);
  for (auto& n : names) {
    lstrcpyA(p, n.c_str());
    p += n.size() + 1;
  }
  GlobalUnlock(g);
  return g;
}

TEST_P(ArchiveOpsTest, FilesDroppedFromOutsideGoIntoANewArchive) {
  // Without path names, so the members are the bare names of the dropped full paths.
  WritePrivateProfileStringA("switches", "store_pathnames", "None", (prog + "\\ql53intl.ini").c_str());
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  HWND b = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(b);
  ASSERT_TRUE(r);
  RECT rc;
  GetWindowRect(r->hwndDirList, &rc);
  POINT pt{rc.left + 20, rc.top + 20};
  ScreenToClient(frame, &pt);
  SendMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(DropAt({src + "\\A.TXT", src + "\\B C.TXT"}, pt)), 0);
  PumpUntil([] { return false; }, 0);
  const std::string archive = archives + (GetParam() == Archiver::Arj ? "\\REPORT.Arj" : "\\REPORT.Zip");
  EXPECT_STREQ(archive.c_str(), r->archivePath);
  ASSERT_TRUE(qltest::FileExists(archive));
  EXPECT_EQ(0, Judge(archive));
  std::set<std::string> members;
  for (const std::string& line : ql::ListLines(r->hwndArchiveList))
    if (line[0] != '>') members.insert(FirstField(line));
  EXPECT_EQ((std::set<std::string>{"A.TXT", "B C.TXT"}), members);
}

// The default program and the switches from the menus: Zip Options is enabled with DOS PKZIP, the
// Zip switches then offer the controls the DOS programs support, and Cancel changes nothing.
class SwitchMenuTest : public ArchiveOpsTest {};

TEST_P(SwitchMenuTest, DefaultProgramEnablesZipOptionsAndTheSwitchesFollow) {
  std::atomic<bool> passwordEnabled{false};
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
    if (s.title == "Select Default Zip/Unzip") {
      SendMessageA(GetDlgItem(d, IDC_DEFZIP_DOS), BM_CLICK, 0, 0);
      return IDOK;
    }
    if (s.title == "Zip Switches") {
      passwordEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SW_PASSWORD)) != FALSE;
      SendMessageA(GetDlgItem(d, IDC_SW_RECURSE), BM_CLICK, 0, 0);
      return IDCANCEL;
    }
    return qltest::PressDefault(d, s);
  });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  EXPECT_TRUE(GetMenuState(ql::g_managerMenu, IDM_ZIP_OPTIONS, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(ql::UseEngine(ql::g_switches));
  Command(IDM_DEFAULT_ZIP);
  EXPECT_FALSE(GetMenuState(ql::g_managerMenu, IDM_ZIP_OPTIONS, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(ql::UseEngine(ql::g_switches));
  char value[8] = "";
  GetPrivateProfileStringA("switches", "use_pkzip", "", value, sizeof value, (prog + "\\ql53intl.ini").c_str());
  EXPECT_STREQ("On", value);
  uint32_t before = ql::g_switches.bits;
  Command(IDM_ZIP_SWITCHES);
  EXPECT_TRUE(passwordEnabled);
  EXPECT_TRUE(ql::g_cancelled);
  EXPECT_EQ(before, ql::g_switches.bits);
  // The archive progress view reaches the switch set the operations read.
  bool progress = ql::g_switches.viewArchiveProgress;
  Command(IDM_ARCHIVE_PROGRESS);
  EXPECT_NE(progress, ql::g_switches.viewArchiveProgress);
}

INSTANTIATE_TEST_SUITE_P(Archivers, ArchiveOpsTest,
                         ::testing::Values(Archiver::ZipEngine, Archiver::DosPkzip, Archiver::Arj),
                         [](const ::testing::TestParamInfo<Archiver>& i) {
                           return i.param == Archiver::ZipEngine  ? std::string("ZipEngine")
                                  : i.param == Archiver::DosPkzip ? std::string("DosPkzip")
                                                                  : std::string("Arj");
                         });

// With Password Protect on, the add asks for the password, leaves the engine for pkzip, and the
// archive opens only with that password.
TEST_P(SwitchMenuTest, PasswordProtectedAddAsksAndEncrypts) {
  WritePrivateProfileStringA("switches", "password", "On", (prog + "\\ql53intl.ini").c_str());
  WritePrivateProfileStringA("switches", "store_pathnames", "None", (prog + "\\ql53intl.ini").c_str());
  std::atomic<int> asked{0};
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const SeenDialog& s) {
    if (s.title == "Password Protection") {
      ++asked;
      SetDlgItemTextA(d, IDC_PASSWORD_EDIT, "sesame 7");
      return IDOK;
    }
    return Answer(d, s);
  });
  frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
  ASSERT_NE(nullptr, frame);
  PumpUntil([] { return false; }, 0);
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  Command(IDM_NEW_ARCHIVE);
  ASSERT_EQ(2, Select(r->hwndDirList, {"A.TXT", "B C.TXT"}));
  r->hwndFocusList = r->hwndDirList;
  AddByPickUp(r);
  EXPECT_EQ(1, asked.load());
  const std::string archive = archives + "\\REPORT.Zip";
  ASSERT_TRUE(qltest::FileExists(archive));
  EXPECT_EQ(0, RunHost("/usr/bin/unzip -P 'sesame 7' -tqq '" + HostPath(archive) + "' >/dev/null 2>&1",
                       prog + "\\judge.status"));
  EXPECT_NE(0, RunHost("/usr/bin/unzip -P wrong -tqq '" + HostPath(archive) + "' >/dev/null 2>&1",
                       prog + "\\judge.status"));
  EXPECT_EQ("sesame 7", ql::g_switches.archivePassword) << "kept for the next operation";
}

// Starts from the internal engine.
INSTANTIATE_TEST_SUITE_P(Menus, SwitchMenuTest, ::testing::Values(Archiver::ZipEngine));

}  // namespace
