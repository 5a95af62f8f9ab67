// Express mode end to end, in this process, through the frame and its commands with the real
// runner, pkzip, pkunzip, zip and unzip engines, ARJ and the self-extracting and repair programs:
// New with the files to compress, Extract with "selected files only", Delete, and the
// self-extracting and repair commands starting in the Express archive directory. Debian's unzip
// and arj judge the archives.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/dispatch.h"
#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::SeenDialog;
using qltest::FromUnix;
using qltest::HostPath;
using qltest::RunHost;

constexpr int kFileNameCombo = 0x47c;  // cmb13, the explorer-style file name
constexpr int kFileNameEdit = 0x480;   // edt1

std::vector<std::string> Entries(HWND list) {
  std::vector<std::string> v;
  LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char buf[MAX_PATH] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof buf))
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
    v.emplace_back(buf);
  }
  return v;
}

// Selects the entries of a dialog's first list with these names and presses "Select ->"; the
// number of entries found.
int Choose(HWND dlg, const std::vector<std::string>& names) {
  HWND list = GetDlgItem(dlg, IDC_EX_AVAILABLE);
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  int found = 0;
  for (const std::string& n : names) {
    LRESULT i = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(n.c_str()));
    if (i == LB_ERR) continue;
    SendMessageA(list, LB_SETSEL, TRUE, i);
    ++found;
  }
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_EX_SELECT, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_EX_SELECT)));
  return found;
}

class ExpressEndToEnd : public ::testing::Test {
 protected:
  std::string prog, src, work, archives, cwd, ini;
  HWND frame = nullptr;
  std::mutex mutex;
  std::vector<SeenDialog> seen;
  // What the user types into "Select An Archive File", and the folder it showed.
  std::string archiveToChoose;
  std::string shownFolder;
  // Answers the dialogs of the step under test; the file dialog and questions are answered alike.
  std::function<int(HWND, const SeenDialog&)> step;

  void SetUp() override {
    ql::g_runnerMinimumWaitMs = 0;  // the runner's shortest wait has a test of its own
    cwd = qltest::CurrentDirectory();
    static int serial = 0;
    // Under the build tree (drive Z:), so that the host's unzip and arj can read the archives.
    prog = FromUnix(OPS_DIR) + "\\express " + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(OPS_DIR).c_str(), nullptr);
    ql::RemoveDirectoryTree(prog.c_str());
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    std::string programs = FromUnix("Z:" QL_PROGRAM_DIR);
    for (const char* file : {"qlkbdtrp.exe", "pkzip.exe", "pkunzip.exe", "ARJ.EXE", "ARJSFX.EXE", "QL53NTI1.DLL",
                             "QL53NTI2.DLL", "ZIP2EXE.EXE", "ZIPSFX.EXE", "PKZIPFIX.EXE"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE)) << file;
    src = prog + "\\Source Files";
    work = prog + "\\Work";
    archives = prog + "\\Archives";
    for (const std::string& d : {src, work, archives}) ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
    for (const char* name : {"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT", "NOT ME.TXT"})
      ASSERT_TRUE(qltest::WriteTextFile(src + "\\" + name, std::string("contents of ") + name + "\r\n"));
    ini = prog + "\\ql53intl.ini";
    WritePrivateProfileStringA("switches", "Mode", "Express", ini.c_str());
    WritePrivateProfileStringA("Defaults", "Working Directory", prog.c_str(), ini.c_str());
    WritePrivateProfileStringA("Defaults", "Source", work.c_str(), ini.c_str());
    WritePrivateProfileStringA("Express File Dir", "ExpFileDir", src.c_str(), ini.c_str());
    WritePrivateProfileStringA("Express File Dir", "ExpArcDir", archives.c_str(), ini.c_str());
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

  int Answer(HWND d, const SeenDialog& s) {
    if (s.title == "Select An Archive File") {
      char folder[MAX_PATH] = "";
      SendMessageA(d, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
      HWND name = GetDlgItem(d, kFileNameCombo);
      if (!name) name = GetDlgItem(d, kFileNameEdit);
      if (!name) return 0;
      SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archiveToChoose.c_str()));
      std::lock_guard<std::mutex> lock(mutex);
      shownFolder = folder;
      seen.push_back(s);
      return IDOK;
    }
    int pressed = step ? step(d, s) : 0;
    if (!pressed) pressed = qltest::PressDefault(d, s);
    std::lock_guard<std::mutex> lock(mutex);
    seen.push_back(s);
    return pressed;
  }

  std::vector<SeenDialog> Seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }
  std::vector<std::string> Titles() {
    std::vector<std::string> t;
    for (const SeenDialog& s : Seen()) t.push_back(s.title.empty() ? s.text : s.title);
    return t;
  }
  std::string Folder() {
    std::lock_guard<std::mutex> lock(mutex);
    return shownFolder;
  }

  void StartInExpressMode() {
    frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    ASSERT_NE(nullptr, frame);
    PumpUntil([] { return false; }, 0);
    ASSERT_FALSE(ql::g_managerMode);
    char title[64] = "";
    GetWindowTextA(frame, title, sizeof title);
    ASSERT_STREQ("Quillon - Express Mode", title);
    // Express commands start from wherever the user was: somewhere else than their directories.
    SetCurrentDirectoryA(prog.c_str());
  }

  void Command(UINT id) {
    SendMessageA(frame, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }

  std::string IniValue(const char* section, const char* key) {
    char v[MAX_PATH] = "";
    GetPrivateProfileStringA(section, key, "", v, sizeof v, ini.c_str());
    return v;
  }

  int Host(const std::string& command) { return RunHost(command, prog + "\\host.status"); }

  // A ZIP made by Debian's zip from the source files.
  std::string MakeZip(const std::string& name, const std::string& members) {
    std::string zip = archives + "\\" + name;
    EXPECT_EQ(0, Host("cd '" + HostPath(src) + "' && /usr/bin/zip -q '" + HostPath(zip) + "' " + members));
    return zip;
  }

  std::set<std::string> ZipNames(const std::string& zip) {
    std::string out = prog + "\\names.txt";
    EXPECT_EQ(0, Host("/usr/bin/unzip -Z1 '" + HostPath(zip) + "' > '" + HostPath(out) + "'"));
    std::set<std::string> names;
    std::string text = qltest::ReadTextFile(out), line;
    for (char c : text) {
      if (c == '\n') {
        if (!line.empty()) names.insert(line);
        line.clear();
      } else if (c != '\r') {
        line += c;
      }
    }
    return names;
  }
};

TEST_F(ExpressEndToEnd, NewArjWithThreeChosenFilesInADotDirectory) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  int chosen = 0;
  std::vector<std::string> offered;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Create New Archive") {
      SetDlgItemTextA(d, IDC_NEW_FILE_NAME, "REPORT");
      SendMessageA(GetDlgItem(d, IDC_NEW_ARJ), BM_CLICK, 0, 0);
      SetDlgItemTextA(d, IDC_NEW_DIRECTORY, ".\\out");
      return IDOK;
    }
    if (s.title == "Select Files To Compress") {
      offered = Entries(GetDlgItem(d, IDC_EX_AVAILABLE));
      chosen = Choose(d, {"A.TXT", "F1.TXT", "F3.TXT"});
      return IDOK;
    }
    return 0;
  };
  StartInExpressMode();
  Command(IDM_EX_NEW);

  // The files are offered from the Express file directory; the missing directory is offered and made.
  EXPECT_EQ(3, chosen);
  EXPECT_EQ((std::vector<std::string>{"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT", "NOT ME.TXT"}), offered);
  std::vector<std::string> titles = Titles();
  ASSERT_EQ(3u, titles.size());
  EXPECT_EQ("Create New Archive", titles[0]);
  EXPECT_EQ("Select Files To Compress", titles[1]);
  EXPECT_NE(std::string::npos, Seen()[2].text.find(work + "\\out")) << Seen()[2].text;

  // ".\out" is below the directory the dialog made current: the "Source" directory.
  const std::string archive = work + "\\out\\REPORT.ARJ";
  ASSERT_TRUE(qltest::FileExists(archive));
  EXPECT_EQ(0, Host("cd '" + HostPath(prog) + "' && /usr/bin/arj t -y '" + HostPath(archive) + "' >/dev/null 2>&1"));
  std::string listed = prog + "\\arj.txt";
  EXPECT_EQ(0, Host("/usr/bin/arj l '" + HostPath(archive) + "' > '" + HostPath(listed) + "'"));
  std::string listing = qltest::ReadTextFile(listed);
  for (const char* name : {"A.TXT", "F1.TXT", "F3.TXT"}) EXPECT_NE(std::string::npos, listing.find(name)) << listing;
  for (const char* name : {"F2.TXT", "NOT ME.TXT"}) EXPECT_EQ(std::string::npos, listing.find(name)) << listing;

  // The settings file remembers the new archive's directory and where the files came from.
  EXPECT_EQ(work + "\\out", IniValue("Express New", "New1"));
  EXPECT_EQ(work + "\\out", IniValue("Express File Dir", "ExpArcDir"));
  EXPECT_EQ(src, IniValue("Express File Dir", "ExpFileDir"));
  // The command leaves the current directory as it found it.
  EXPECT_EQ(prog, qltest::CurrentDirectory());
}

TEST_F(ExpressEndToEnd, ExtractSelectedFilesOnlyIntoADirectoryThatIsMade) {
  const std::string zip = MakeZip("PARTS.ZIP", "A.TXT F1.TXT F2.TXT F3.TXT");
  const std::string target = prog + "\\Extracted Here\\Two";
  archiveToChoose = zip;
  std::vector<std::string> members;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Archive Extract Options") {
      SendMessageA(GetDlgItem(d, IDC_EX_SELECTED_ONLY), BM_CLICK, 0, 0);
      SetDlgItemTextA(d, IDC_EX_TARGET, target.c_str());
      return IDOK;
    }
    if (s.title == "Select Files To Extract") {
      members = Entries(GetDlgItem(d, IDC_EX_AVAILABLE));
      Choose(d, {"F1.TXT", "F3.TXT"});
      return IDOK;
    }
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_EXTRACT);

  std::vector<std::string> titles = Titles();
  ASSERT_EQ(4u, titles.size());
  EXPECT_EQ("Select An Archive File", titles[0]);
  EXPECT_EQ("Archive Extract Options", titles[1]);
  EXPECT_NE(std::string::npos, Seen()[2].text.find("Does not exist.")) << Seen()[2].text;
  EXPECT_NE(std::string::npos, Seen()[2].text.find(target)) << Seen()[2].text;
  EXPECT_EQ("Select Files To Extract", titles[3]);
  // The file dialog starts in the Express file directory.
  EXPECT_EQ(0, lstrcmpiA(src.c_str(), Folder().c_str())) << Folder();
  EXPECT_EQ((std::vector<std::string>{"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT"}), members);

  EXPECT_EQ("contents of F1.TXT\r\n", qltest::ReadTextFile(target + "\\F1.TXT"));
  EXPECT_EQ("contents of F3.TXT\r\n", qltest::ReadTextFile(target + "\\F3.TXT"));
  EXPECT_FALSE(qltest::FileExists(target + "\\A.TXT"));
  EXPECT_FALSE(qltest::FileExists(target + "\\F2.TXT"));
  EXPECT_EQ(target, IniValue("Express Extract", "Extract1"));
  EXPECT_EQ(target, IniValue("Express File Dir", "ExpFileDir"));
  EXPECT_EQ(prog, qltest::CurrentDirectory());
}

TEST_F(ExpressEndToEnd, DeleteRemovesTheChosenMembers) {
  const std::string zip = MakeZip("SMALLER.ZIP", "A.TXT F1.TXT F2.TXT F3.TXT");
  archiveToChoose = "SMALLER.ZIP";  // typed without a directory: the dialog starts in ExpArcDir
  int chosen = 0;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Select Files To Delete From This Archive") {
      chosen = Choose(d, {"F1.TXT", "F2.TXT"});
      return IDOK;
    }
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_DELETE);

  EXPECT_EQ(2, chosen);
  EXPECT_EQ((std::vector<std::string>{"Select An Archive File", "Select Files To Delete From This Archive"}), Titles());
  EXPECT_EQ(0, Host("/usr/bin/unzip -tqq '" + HostPath(zip) + "' >/dev/null 2>&1"));
  EXPECT_EQ((std::set<std::string>{"A.TXT", "F3.TXT"}), ZipNames(zip));
  EXPECT_EQ(prog, qltest::CurrentDirectory());
  // The folder the archive was chosen in is remembered, not whatever directory was current.
  EXPECT_EQ(0, lstrcmpiA(archives.c_str(), IniValue("Express File Dir", "ExpArcDir").c_str()))
      << IniValue("Express File Dir", "ExpArcDir");
}

// Nothing chosen: 3054, and the dialog stays until cancelled; the archive is untouched.
TEST_F(ExpressEndToEnd, DeleteWithNothingChosenSaysSoAndKeepsTheArchive) {
  const std::string zip = MakeZip("KEEP.ZIP", "A.TXT F1.TXT");
  const std::string before = qltest::ReadTextFile(zip);
  archiveToChoose = zip;
  HWND dialog = nullptr;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Select Files To Delete From This Archive") {
      dialog = d;
      return IDOK;
    }
    // The message answered, the user gives up: the dialog is still there to be cancelled.
    if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_DELETE);
  std::vector<SeenDialog> s = Seen();
  ASSERT_EQ(3u, s.size());
  EXPECT_EQ("You Must Have At Least One File In The 'Selected Files' Listbox.", s[2].text);
  EXPECT_EQ(before, qltest::ReadTextFile(zip));
}

// Self-extracting and repair: the file dialog starts in the Express archive directory (the bare
// name typed there is found), the operation runs on the chosen archive, and the directory is
// remembered.
TEST_F(ExpressEndToEnd, SelfExtractingAndRepairStartInTheArchiveDirectory) {
  const std::string zip = MakeZip("SAMPLEZ.ZIP", "A.TXT F1.TXT");
  const std::string arj = archives + "\\SAMPLEA.ARJ";
  ASSERT_EQ(0, Host("cd '" + HostPath(src) + "' && /usr/bin/arj a -y '" + HostPath(arj) + "' F2.TXT >/dev/null 2>&1"));
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  WritePrivateProfileStringA("Express File Dir", "ExpArcDir", archives.c_str(), ini.c_str());

  struct Case {
    UINT command;
    const char* choose;
    std::string result;
  } cases[] = {
      {IDM_EX_SFX_ZIP, "SAMPLEZ.ZIP", archives + "\\SAMPLEZ.EXE"},
      {IDM_EX_SFX_ARJ, "SAMPLEA.ARJ", archives + "\\SAMPLEA.EXE"},
      {IDM_EX_REPAIR_ZIP, "SAMPLEZ.ZIP", archives + "\\PKFIXED.ZIP"},
      // ARJ's repair extracts what it saves into a new directory named after the archive.
      {IDM_EX_REPAIR_ARJ, "SAMPLEA.ARJ", archives + "\\SAMPLEA\\F2.TXT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    {
      std::lock_guard<std::mutex> lock(mutex);
      shownFolder.clear();
    }
    archiveToChoose = c.choose;
    SetCurrentDirectoryA(prog.c_str());
    Command(c.command);
    EXPECT_EQ(0, lstrcmpiA(archives.c_str(), Folder().c_str())) << Folder();
    EXPECT_TRUE(qltest::FileExists(c.result)) << c.result;
    EXPECT_EQ(archives, IniValue("Express File Dir", "ExpArcDir"));
  }
  EXPECT_EQ(0, Host("/usr/bin/unzip -tqq '" + HostPath(archives + "\\SAMPLEZ.EXE") + "' >/dev/null 2>&1"));
  EXPECT_EQ(0, Host("/usr/bin/unzip -tqq '" + HostPath(archives + "\\PKFIXED.ZIP") + "' >/dev/null 2>&1"));
  EXPECT_EQ("contents of F2.TXT\r\n", qltest::ReadTextFile(archives + "\\SAMPLEA\\F2.TXT"));
}

// Run: the typed archive opens in a window of its own, and the command line heads the recent list.
TEST_F(ExpressEndToEnd, RunOpensATypedArchiveAndRemembersTheLine) {
  const std::string zip = MakeZip("RUNME.ZIP", "A.TXT");
  WritePrivateProfileStringA("Run Files", "Prog1", "C:\\OLDER.EXE", ini.c_str());
  std::vector<std::string> offered;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Run") {
      HWND list = GetDlgItem(d, IDC_EX_RUN_LIST);
      for (LRESULT i = 0, n = SendMessageA(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
        char item[MAX_PATH] = "";
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof item))
          SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        offered.emplace_back(item);
      }
      SetDlgItemTextA(d, IDC_EX_RUN_LINE, zip.c_str());
      return IDOK;
    }
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_RUN);
  EXPECT_EQ((std::vector<std::string>{"C:\\OLDER.EXE"}), offered);
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  EXPECT_EQ(0, lstrcmpiA(zip.c_str(), r->archivePath)) << r->archivePath;
  EXPECT_EQ(zip, IniValue("Run Files", "Prog1"));
  EXPECT_EQ("C:\\OLDER.EXE", IniValue("Run Files", "Prog2"));
}

// Run: a command line is a program with its arguments, the program's path quoted or not.
TEST_F(ExpressEndToEnd, RunStartsAProgramWithItsArguments) {
  char system[MAX_PATH] = "";
  ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
  const std::string cmd = std::string(system) + "\\cmd.exe";
  const struct {
    std::string line;
    std::string out;
  } cases[] = {
      {cmd + " /c echo plain> \"" + work + "\\plain out.txt\"", work + "\\plain out.txt"},
      {"\"" + cmd + "\" /c echo quoted> \"" + work + "\\quoted out.txt\"", work + "\\quoted out.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    step = [&](HWND d, const SeenDialog& s) -> int {
      if (s.title != "Run") return 0;
      SetDlgItemTextA(d, IDC_EX_RUN_LINE, c.line.c_str());
      return IDOK;
    };
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
    if (!frame) StartInExpressMode();
    Command(IDM_EX_RUN);
    EXPECT_TRUE(PumpUntil([&] { return qltest::FileExists(c.out); }, 20000));
    for (const SeenDialog& s : watcher.Seen())
      EXPECT_EQ("Run", s.title) << s.text;
  }
}

// Move: the chosen file goes into the archive picked in the Express archive directory and leaves
// its directory; the archive's directory heads the "Express New" list.
TEST_F(ExpressEndToEnd, MoveTakesTheChosenFileIntoAnExistingArchive) {
  const std::string zip = MakeZip("GROW.ZIP", "A.TXT");
  archiveToChoose = "GROW.ZIP";
  int chosen = 0;
  step = [&](HWND d, const SeenDialog& s) -> int {
    if (s.title == "Select Files To Compress") {
      chosen = Choose(d, {"F2.TXT"});
      return IDOK;
    }
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_MOVE);
  EXPECT_EQ(1, chosen);
  EXPECT_EQ(0, lstrcmpiA(archives.c_str(), Folder().c_str())) << Folder();
  EXPECT_EQ(0, Host("/usr/bin/unzip -tqq '" + HostPath(zip) + "' >/dev/null 2>&1"));
  EXPECT_EQ((std::set<std::string>{"A.TXT", "F2.TXT"}), ZipNames(zip));
  EXPECT_FALSE(qltest::FileExists(src + "\\F2.TXT"));
  EXPECT_TRUE(qltest::FileExists(src + "\\F1.TXT"));
  EXPECT_EQ(0, lstrcmpiA(archives.c_str(), IniValue("Express New", "New1").c_str()));
  EXPECT_EQ(0, lstrcmpiA(archives.c_str(), IniValue("Express File Dir", "ExpArcDir").c_str()));
  EXPECT_EQ(prog, qltest::CurrentDirectory());
}

// An archive of another kind is refused with 3002 before any file is chosen.
TEST_F(ExpressEndToEnd, AddRefusesAnArchiveThatIsNotZipOrArj) {
  const std::string other = archives + "\\OTHER.EXE";
  ASSERT_TRUE(qltest::WriteTextFile(other, "MZ not an archive"));
  archiveToChoose = other;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  StartInExpressMode();
  Command(IDM_EX_ADD);
  std::vector<SeenDialog> s = Seen();
  ASSERT_EQ(2u, s.size());
  EXPECT_EQ("Invalid archive filename! Valid file names have an ZIP, ARJ or Zip EXE extensions.", s[1].text);
  EXPECT_EQ("", IniValue("Express New", "New1"));
}

}  // namespace
