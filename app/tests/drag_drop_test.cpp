// Drag and drop end to end, in this process, with the real runner, archivers and engines: posted
// mouse messages drag the selection of one browser window's list onto another window's list, the
// trash can or another program's window; Add picks the selection up and a click drops it. Debian's
// unzip and arj judge the archives.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/drag_win.h"
#include "browser/drop_rules.h"
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

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

std::set<std::string> Members(HWND list) {
  std::set<std::string> out;
  for (const std::string& line : ql::ListLines(list))
    if (!line.empty() && line[0] != '>') out.insert(FirstField(line));
  return out;
}

class DragDropTest : public ::testing::Test {
 protected:
  std::string prog, src, makings, archives, target, cwd;
  HWND frame = nullptr;
  std::mutex mutex;
  std::vector<SeenDialog> seen;

  void SetUp() override {
    ql::g_runnerMinimumWaitMs = 0;  // the runner's shortest wait has a test of its own
    cwd = qltest::CurrentDirectory();
    static int serial = 0;
    prog = FromUnix(OPS_DIR) + "\\drag " + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(OPS_DIR).c_str(), nullptr);
    ql::RemoveDirectoryTree(prog.c_str());
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    std::string programs = FromUnix("Z:" QL_PROGRAM_DIR);
    for (const char* file : {"qlkbdtrp.exe", "pkzip.exe", "pkunzip.exe", "ARJ.EXE", "QL53NTI1.DLL", "QL53NTI2.DLL"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE)) << file;
    src = prog + "\\Source Files";
    makings = prog + "\\Makings";
    archives = prog + "\\Archives";
    target = prog + "\\Dropped Here";
    for (const std::string& d : {src, makings, archives, target}) ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr));
    for (const char* name : {"A.TXT", "F1.TXT", "F2.TXT", "F3.TXT"})
      ASSERT_TRUE(qltest::WriteTextFile(src + "\\" + name, std::string("contents of ") + name + "\r\n"));
    ASSERT_TRUE(qltest::WriteTextFile(src + "\\B C.TXT", std::string(6000, 'b')));
    ASSERT_TRUE(CreateDirectoryA((src + "\\SUB").c_str(), nullptr));
    for (const char* name : {"M1.TXT", "M2.TXT", "M3.TXT", "D1.TXT"})
      ASSERT_TRUE(qltest::WriteTextFile(makings + "\\" + name, std::string("member ") + name + "\r\n"));
    // The archives the windows show, made by Debian's zip and arj.
    ASSERT_EQ(0, RunHost("cd '" + HostPath(makings) + "' && /usr/bin/zip -q '" + HostPath(archives) +
                             "/SRC.ZIP' M1.TXT M2.TXT M3.TXT >/dev/null 2>&1",
                         prog + "\\make.status"));
    ASSERT_EQ(0, RunHost("cd '" + HostPath(makings) + "' && /usr/bin/zip -q '" + HostPath(archives) +
                             "/DEST.ZIP' D1.TXT >/dev/null 2>&1",
                         prog + "\\make.status"));
    ASSERT_EQ(0, RunHost("cd '" + HostPath(makings) + "' && /usr/bin/arj a -y '" + HostPath(archives) +
                             "/DEST.ARJ' D1.TXT >/dev/null 2>&1",
                         prog + "\\make.status"));
    std::string ini = prog + "\\ql53intl.ini";
    WritePrivateProfileStringA("Defaults", "Working Directory", src.c_str(), ini.c_str());
    WritePrivateProfileStringA("Confirmation", "drag_n_drop", "False", ini.c_str());
    WritePrivateProfileStringA("Confirmation", "target_dir", "False", ini.c_str());
    WritePrivateProfileStringA("Confirmation", "delete", "True", ini.c_str());
    WritePrivateProfileStringA("switches", "store_pathnames", "None", ini.c_str());
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
    {
      std::lock_guard<std::mutex> lock(mutex);
      seen.push_back(s);
    }
    return qltest::PressDefault(d, s);
  }
  std::vector<SeenDialog> Seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }

  HWND Start() {
    frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    PumpUntil([] { return false; }, 0);
    return frame;
  }

  // A second window: an archive, or (with an empty path) a directory.
  HWND Open(const std::string& archive, int type) {
    HWND b = ql::OpenBrowserWindow(archive.c_str(), type, "*.*", "*.*");
    PumpUntil([] { return false; }, 0);
    return b;
  }

  static void ShowDirectory(HWND browser, const std::string& dir) {
    ql::WindowRecord* r = ql::RecordOf(browser);
    lstrcpynA(r->curDir, dir.c_str(), sizeof r->curDir);
    ql::FillDirectoryList(ql::SlotOf(browser));
  }

  // The windows side by side, so that every list can be pointed at.
  void Tile() {
    SendMessageA(ql::g_mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
    PumpUntil([] { return false; }, 0);
  }

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

  // A point in the middle of `target` (screen), which must be what the pointer finds there.
  static POINT Middle(HWND target) {
    RECT rc;
    GetWindowRect(target, &rc);
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    EXPECT_EQ(target, WindowFromPoint(pt)) << qltest::ClassOf(WindowFromPoint(pt));
    return pt;
  }

  // The button goes down on the first selected item of `source`, the pointer moves onto `target`
  // and the button comes up there: posted, as the mouse would send them.
  static void Drag(HWND source, HWND target, WPARAM keys = 0) {
    std::vector<int> sel = ql::SelectedIndexes(source);
    ASSERT_FALSE(sel.empty());
    RECT item;
    SendMessageA(source, LB_GETITEMRECT, sel[0], reinterpret_cast<LPARAM>(&item));
    POINT at = Middle(target);
    ScreenToClient(source, &at);
    PostMessageA(source, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(item.left + 4, item.top + 2));
    PostMessageA(source, WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
    PostMessageA(source, WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
  }

  int Judge(const std::string& archive, bool arj) {
    std::string cmd = arj ? "/usr/bin/arj t -y '" : "/usr/bin/unzip -tqq '";
    return RunHost(cmd + HostPath(archive) + "' >/dev/null 2>&1", prog + "\\judge.status");
  }
};

TEST_F(DragDropTest, FilesFromADirectoryListOntoAnotherWindowsZip) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  ASSERT_NE(nullptr, Start());
  HWND from = ql::g_activeBrowser;
  const std::string zip = archives + "\\DEST.ZIP";
  HWND to = Open(zip, ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, to);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* t = ql::RecordOf(to);
  ASSERT_EQ((std::set<std::string>{"D1.TXT"}), Members(t->hwndArchiveList));
  ASSERT_EQ(2, Select(f->hwndDirList, {"A.TXT", "B C.TXT"}));
  Drag(f->hwndDirList, t->hwndArchiveList);
  EXPECT_TRUE(PumpUntil([&] { return Members(t->hwndArchiveList).size() == 3; }, 60000));
  EXPECT_EQ((std::set<std::string>{"A.TXT", "B C.TXT", "D1.TXT"}), Members(t->hwndArchiveList));
  EXPECT_EQ(0, Judge(zip, false));
  EXPECT_TRUE(qltest::FileExists(src + "\\A.TXT")) << "a copy leaves the files";
  EXPECT_EQ(ql::kDropCopy, ql::g_dropAction);
  EXPECT_TRUE(Seen().empty()) << Seen()[0].text;
}

TEST_F(DragDropTest, TwoZipMembersOntoAnArjWindow) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  ASSERT_NE(nullptr, Start());
  HWND from = Open(archives + "\\SRC.ZIP", ql::kArchiveTypeZip);
  const std::string arj = archives + "\\DEST.ARJ";
  HWND to = Open(arj, ql::kArchiveTypeArj);
  ASSERT_TRUE(from && to);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* t = ql::RecordOf(to);
  // The ARJ window keeps its own archive mask.
  lstrcpyA(t->archiveMask, "*.TXT");
  ASSERT_EQ(2, Select(f->hwndArchiveList, {"M1.TXT", "M2.TXT"}));
  Drag(f->hwndArchiveList, t->hwndArchiveList);
  EXPECT_TRUE(PumpUntil([&] { return Members(t->hwndArchiveList).size() == 3; }, 60000));
  EXPECT_EQ((std::set<std::string>{"D1.TXT", "M1.TXT", "M2.TXT"}), Members(t->hwndArchiveList));
  EXPECT_EQ(0, Judge(arj, true));
  EXPECT_STREQ("*.TXT", t->archiveMask);
  // The source was read again and still holds its members; the copies in the work area are gone.
  EXPECT_EQ((std::set<std::string>{"M1.TXT", "M2.TXT", "M3.TXT"}), Members(f->hwndArchiveList));
  EXPECT_EQ(0, Judge(archives + "\\SRC.ZIP", false));
  EXPECT_FALSE(qltest::FileExists(prog + "\\QL5TEMP\\M1.TXT"));
  EXPECT_TRUE(Seen().empty()) << Seen()[0].text;
}

TEST_F(DragDropTest, MembersDroppedOnADirectoryAreExtractedThere) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  ASSERT_NE(nullptr, Start());
  HWND dirWindow = ql::g_activeBrowser;
  ShowDirectory(dirWindow, target);
  HWND from = Open(archives + "\\SRC.ZIP", ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, from);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* d = ql::RecordOf(dirWindow);
  ASSERT_EQ(2, Select(f->hwndArchiveList, {"M1.TXT", "M3.TXT"}));
  Drag(f->hwndArchiveList, d->hwndDirList);
  EXPECT_TRUE(PumpUntil([&] { return qltest::FileExists(target + "\\M3.TXT"); }, 60000));
  EXPECT_EQ("member M1.TXT\r\n", qltest::ReadTextFile(target + "\\M1.TXT"));
  EXPECT_EQ("member M3.TXT\r\n", qltest::ReadTextFile(target + "\\M3.TXT"));
  EXPECT_FALSE(qltest::FileExists(target + "\\M2.TXT"));
  EXPECT_TRUE(PumpUntil([&] { return Members(d->hwndDirList).count("M3.TXT") == 1; }, 5000))
      << "the directory list is listed again";
  EXPECT_TRUE(Seen().empty()) << Seen()[0].text;
}

// Files dragged with Shift onto another window's directory list move there after the drop's
// confirmation; directories cannot be dragged onto a directory (3047).
TEST_F(DragDropTest, FilesMovedOntoADirectoryListAfterTheConfirmation) {
  WritePrivateProfileStringA("Confirmation", "drag_n_drop", "True", (prog + "\\ql53intl.ini").c_str());
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [this](HWND d, const SeenDialog& s) {
    if (s.title == "Copying Files" || s.title == "Moving Files") return 0;  // progress: closes itself
    Answer(d, s);
    return GetDlgItem(d, IDC_DELETE_YES) ? IDC_DELETE_YES : qltest::PressDefault(d, s);
  });
  ASSERT_NE(nullptr, Start());
  HWND from = ql::g_activeBrowser;
  HWND dirWindow = Open("", ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, dirWindow);
  ShowDirectory(dirWindow, target);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* d = ql::RecordOf(dirWindow);
  ASSERT_EQ(2, Select(f->hwndDirList, {"F1.TXT", "F2.TXT"}));
  Drag(f->hwndDirList, d->hwndDirList, MK_SHIFT);
  EXPECT_TRUE(PumpUntil([&] { return Members(d->hwndDirList).count("F2.TXT") == 1; }, 30000));
  EXPECT_EQ("contents of F1.TXT\r\n", qltest::ReadTextFile(target + "\\F1.TXT"));
  EXPECT_FALSE(qltest::FileExists(src + "\\F1.TXT")) << "moved";
  EXPECT_FALSE(qltest::FileExists(src + "\\F2.TXT")) << "moved";
  ASSERT_FALSE(Seen().empty());
  EXPECT_EQ("Confirm Mouse Action", Seen()[0].title);
  EXPECT_NE(std::string::npos, Seen()[0].text.find("F1.TXT F2.TXT")) << Seen()[0].text;
  EXPECT_NE(std::string::npos, Seen()[0].text.find(target)) << Seen()[0].text;

  // A directory in the selection: refused before anything is asked or copied.
  const size_t before = Seen().size();
  ASSERT_EQ(2, Select(f->hwndDirList, {"A.TXT", "[SUB]"}));
  Drag(f->hwndDirList, d->hwndDirList);
  ASSERT_TRUE(PumpUntil([&] { return Seen().size() > before; }, 20000));
  EXPECT_EQ("You can copy and move files only\n.Use File Manager for Directory Copy and Move.", Seen().back().text);
  EXPECT_FALSE(qltest::FileExists(target + "\\A.TXT"));
}

// A file whose name begins with "[" is a file: copied onto a directory and added to a ZIP.
TEST_F(DragDropTest, AFileNamedLikeADirectoryIsDraggedAsAFile) {
  ASSERT_TRUE(qltest::WriteTextFile(src + "\\[draft].txt", "draft\r\n"));
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) {
                          if (s.title == "Copying Files") return 0;  // progress: closes itself
                          return Answer(d, s);
                        });
  ASSERT_NE(nullptr, Start());
  HWND from = ql::g_activeBrowser;
  HWND dirWindow = Open("", ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, dirWindow);
  ShowDirectory(dirWindow, target);
  const std::string zip = archives + "\\DEST.ZIP";
  HWND zipWindow = Open(zip, ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, zipWindow);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ASSERT_EQ(1, Select(f->hwndDirList, {"[draft].txt"}));
  Drag(f->hwndDirList, ql::RecordOf(dirWindow)->hwndDirList);
  EXPECT_TRUE(PumpUntil([&] { return qltest::FileExists(target + "\\[draft].txt"); }, 30000));
  ASSERT_EQ(1, Select(f->hwndDirList, {"[draft].txt"}));
  Drag(f->hwndDirList, ql::RecordOf(zipWindow)->hwndArchiveList);
  EXPECT_TRUE(PumpUntil([&] { return Members(ql::RecordOf(zipWindow)->hwndArchiveList).count("[draft].txt") == 1; },
                        60000));
  EXPECT_EQ(0, Judge(zip, false));
  for (const SeenDialog& s : Seen()) ADD_FAILURE() << s.title << ": " << s.text;
}

TEST_F(DragDropTest, DriveAndParentLinesOnTheTrashCanAreRefused) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r && ql::g_trashCan);
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"[-c-]", "You Can't Delete A Drive Letter."},
      {"[..]", "You Can't Delete A Parent Directory."},
  };
  size_t answered = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(1, Select(r->hwndDirList, {c.line})) << c.line;
    SendMessageA(r->hwndDirList, LB_SETTOPINDEX, ql::SelectedIndexes(r->hwndDirList)[0], 0);
    Drag(r->hwndDirList, ql::g_trashCan);
    ++answered;
    ASSERT_TRUE(PumpUntil([&] { return Seen().size() >= answered; }, 20000)) << c.line;
    EXPECT_EQ(c.message, Seen().back().text);
  }
  EXPECT_TRUE(qltest::FileExists(src + "\\A.TXT"));
  EXPECT_EQ(answered, Seen().size());
}

TEST_F(DragDropTest, AnotherProgramsWindowReceivesTheDraggedPaths) {
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  const std::string output = prog + "\\received.txt";
  qltest::Process receiver;
  ASSERT_TRUE(receiver.Start(FromUnix("Z:" DROP_RECEIVER), "\"" + output + "\" 60000", prog));
  HWND window = nullptr;
  ASSERT_TRUE(qltest::WaitUntil([&] { return (window = qltest::FindProcessWindow(receiver.id, "QLDropReceiver")); },
                                20000));
  ASSERT_EQ(2, Select(r->hwndDirList, {"A.TXT", "B C.TXT"}));
  Drag(r->hwndDirList, window);
  ASSERT_TRUE(PumpUntil([&] { return qltest::FileExists(output); }, 30000));
  const std::string got = qltest::ReadTextFile(output);
  EXPECT_NE(std::string::npos, got.find(src + "\\A.TXT\n")) << got;
  EXPECT_NE(std::string::npos, got.find(src + "\\B C.TXT\n")) << got;
  EXPECT_EQ(0, receiver.Wait(20000));
}

TEST_F(DragDropTest, AddPicksUpAndAClickOnAnArchiveListDropsThere) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        [this](HWND d, const SeenDialog& s) { return Answer(d, s); });
  ASSERT_NE(nullptr, Start());
  HWND from = ql::g_activeBrowser;
  const std::string zip = archives + "\\DEST.ZIP";
  HWND to = Open(zip, ql::kArchiveTypeZip);
  ASSERT_NE(nullptr, to);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* t = ql::RecordOf(to);
  SendMessageA(ql::g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(from), 0);
  PumpUntil([] { return false; }, 0);
  ASSERT_EQ(2, Select(f->hwndDirList, {"F1.TXT", "F2.TXT"}));
  f->hwndFocusList = f->hwndDirList;
  SendMessageA(frame, WM_COMMAND, IDM_ADD, 0);
  EXPECT_TRUE(ql::DragInProgress()) << "the selection is picked up";
  EXPECT_EQ(f->hwndDirList, GetCapture());
  EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "multcopy"), GetCursor());
  EXPECT_EQ(0u, Members(t->hwndArchiveList).count("F1.TXT")) << "nothing added yet";
  // The click on the other window's archive list.
  POINT at = Middle(t->hwndArchiveList);
  ScreenToClient(f->hwndDirList, &at);
  PostMessageA(f->hwndDirList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(f->hwndDirList, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(PumpUntil([&] { return Members(t->hwndArchiveList).size() == 3; }, 60000));
  EXPECT_EQ((std::set<std::string>{"D1.TXT", "F1.TXT", "F2.TXT"}), Members(t->hwndArchiveList));
  EXPECT_EQ(0, Judge(zip, false));
  EXPECT_FALSE(ql::DragInProgress());
  EXPECT_TRUE(qltest::FileExists(src + "\\F1.TXT")) << "Add copies";
  EXPECT_TRUE(Seen().empty()) << Seen()[0].text;
}

// The trash can by keyboard: Tab from a list whose window has no archive entries reaches it, Space
// there deletes the focused list's selection (Del does the same from anywhere), Tab goes back.
TEST_F(DragDropTest, TheTrashCanIsReachedByTabAndDeletesWithSpace) {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [this](HWND d, const SeenDialog& s) {
    Answer(d, s);
    return GetDlgItem(d, IDC_DELETE_YES) ? IDC_DELETE_YES : qltest::PressDefault(d, s);
  });
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r && ql::g_trashCan);
  ASSERT_EQ(1, Select(r->hwndDirList, {"F3.TXT"}));
  SetFocus(r->hwndDirList);
  SendMessageA(r->hwndDirList, WM_KEYDOWN, VK_TAB, 0);
  SendMessageA(r->hwndDirList, WM_KEYUP, VK_TAB, 0);
  ASSERT_EQ(ql::g_trashCan, GetFocus());
  PostMessageA(ql::g_trashCan, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !qltest::FileExists(src + "\\F3.TXT"); }, 20000));
  ASSERT_FALSE(Seen().empty());
  EXPECT_NE(std::string::npos, Seen()[0].text.find("Do you really want to delete the following file?"))
      << Seen()[0].text;
  EXPECT_TRUE(qltest::FileExists(src + "\\F2.TXT"));
  EXPECT_EQ(0u, Members(r->hwndDirList).count("F3.TXT")) << "the list is listed again";
  SendMessageA(ql::g_trashCan, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(r->hwndDirList, GetFocus());
}

// The drag cursors: three files with Shift held show "multmove"; Shift let go shows "multcopy";
// over a window that takes nothing, "nodrop"; Escape ends the drag without a drop.
TEST_F(DragDropTest, CursorsFollowTheModeAndTheWindowUnderThePointer) {
  ASSERT_NE(nullptr, Start());
  HWND from = ql::g_activeBrowser;
  HWND to = Open(archives + "\\DEST.ZIP", ql::kArchiveTypeZip);
  Tile();
  ql::WindowRecord* f = ql::RecordOf(from);
  ql::WindowRecord* t = ql::RecordOf(to);
  ASSERT_EQ(3, Select(f->hwndDirList, {"F1.TXT", "F2.TXT", "F3.TXT"}));
  std::vector<int> sel = ql::SelectedIndexes(f->hwndDirList);
  RECT item;
  SendMessageA(f->hwndDirList, LB_GETITEMRECT, sel[0], reinterpret_cast<LPARAM>(&item));
  POINT overList = Middle(t->hwndArchiveList);
  ScreenToClient(f->hwndDirList, &overList);
  POINT overHeader;
  {
    RECT rc;
    GetWindowRect(t->hwndArchiveHeader, &rc);
    overHeader = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ScreenToClient(f->hwndDirList, &overHeader);
  }
  HINSTANCE inst = GetModuleHandleA(nullptr);
  SendMessageA(f->hwndDirList, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(item.left + 4, item.top + 2));
  EXPECT_EQ(3, SendMessageA(f->hwndDirList, LB_GETSELCOUNT, 0, 0)) << "a click on the selection keeps it";
  SendMessageA(f->hwndDirList, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(overList.x, overList.y));
  EXPECT_TRUE(ql::DragInProgress());
  EXPECT_EQ(LoadCursorA(inst, "multmove"), GetCursor());
  SendMessageA(f->hwndDirList, WM_KEYUP, VK_SHIFT, 0);
  EXPECT_EQ(LoadCursorA(inst, "multcopy"), GetCursor());
  SendMessageA(f->hwndDirList, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(overHeader.x, overHeader.y));
  EXPECT_EQ(LoadCursorA(inst, "nodrop"), GetCursor());
  SendMessageA(f->hwndDirList, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(ql::DragInProgress());
  EXPECT_NE(f->hwndDirList, GetCapture());
  SendMessageA(f->hwndDirList, WM_LBUTTONUP, 0, MAKELPARAM(overList.x, overList.y));
  PumpUntil([] { return false; }, 0);
  EXPECT_EQ((std::set<std::string>{"D1.TXT"}), Members(t->hwndArchiveList)) << "nothing was dropped";
}

}  // namespace

namespace {

// The block handed to other programs takes every path, however many: no silent limit at 1,022.
TEST(DropFilesBlock, HoldsEveryPathWithThePointAndTheFlags) {
  std::vector<std::string> paths;
  for (int i = 0; i < 1500; ++i) paths.push_back("C:\\Some Directory\\file " + std::to_string(i) + ".txt");
  HGLOBAL block = ql::BuildDropFiles(paths, POINT{12, 34}, true);
  ASSERT_NE(nullptr, block);
  HDROP drop = static_cast<HDROP>(block);
  ASSERT_EQ(1500u, DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
  for (UINT i : {0u, 1021u, 1022u, 1499u}) {
    char name[MAX_PATH] = "";
    DragQueryFileA(drop, i, name, sizeof name);
    EXPECT_EQ(paths[i], name);
  }
  POINT pt{};
  EXPECT_FALSE(DragQueryPoint(drop, &pt)) << "outside the client area";
  EXPECT_EQ(12, pt.x);
  EXPECT_EQ(34, pt.y);
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  EXPECT_EQ(20u, header->pFiles);
  EXPECT_FALSE(header->fWide);
  GlobalUnlock(block);
  GlobalFree(block);
}

}  // namespace
