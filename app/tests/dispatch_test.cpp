// The frame's commands with browser windows, in this process: bars and layout, modes, Select All,
// Clear Archive Window, parent directory, names, menu help, tool tips and dropped files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/frame.h"
#include "browser/bars_win.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::TempDir;
using qltest::WriteTextFile;

std::string Pane(int id) {
  char buf[256] = "";
  GetDlgItemTextA(ql::g_statusBar, id, buf, sizeof buf);
  return buf;
}

RECT RectIn(HWND h, HWND parent) {
  RECT rc;
  GetWindowRect(h, &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool CopyFixture(const char* name, const std::string& to) {
  std::ifstream in(std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/" + name, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
    SetCurrentDirectoryA(data_.path().c_str());
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  HWND Start(const char* commandLine = "") {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), commandLine, SW_SHOWNORMAL);
    PumpUntil([] { return false; }, 0);
    return frame_;
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  void Resize() {
    RECT rc;
    GetClientRect(frame_, &rc);
    SendMessageA(frame_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
  }
  std::string ini() const { return dir_ / "ql53intl.ini"; }

  TempDir dir_{"ql dispatch"};
  TempDir data_{"ql data"};
  std::string cwd_;
  HWND frame_ = nullptr;
};

TEST_F(DispatchTest, ToolbarToggleMovesTheBars) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(ql::g_toolBar && ql::g_buttonBar);
  const int t = ql::BarHeight();
  ASSERT_GT(t, 0);
  EXPECT_EQ(RectIn(ql::g_buttonBar, frame_).top, t);
  EXPECT_EQ(RectIn(ql::g_mdiClient, frame_).top, 2 * t + 1);
  Command(IDM_SHOW_TOOLBAR);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(ql::g_toolBar); }, 2000));
  EXPECT_EQ(RectIn(ql::g_buttonBar, frame_).top, 0);
  EXPECT_EQ(RectIn(ql::g_mdiClient, frame_).top, t + 1);
  EXPECT_FALSE(GetMenuState(ql::g_managerMenu, IDM_SHOW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
  char value[8] = "";
  GetPrivateProfileStringA("switches", "Toolbar", "", value, sizeof value, ini().c_str());
  EXPECT_STREQ(value, "Off");
  Command(IDM_SHOW_DRIVE_BAR);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(ql::g_buttonBar); }, 2000));
  EXPECT_EQ(RectIn(ql::g_mdiClient, frame_).top, 1);
  Command(IDM_SHOW_TOOLBAR);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(ql::g_toolBar) != FALSE; }, 2000));
  EXPECT_EQ(RectIn(ql::g_mdiClient, frame_).top, t + 1);
}

TEST_F(DispatchTest, AFrameTooShortIsNotLaidOut) {
  ASSERT_NE(nullptr, Start());
  RECT before = RectIn(ql::g_mdiClient, frame_);
  RECT status = RectIn(ql::g_statusBar, frame_);
  const int tooShort = 2 * ql::BarHeight() + ql::g_listLineHeight + 8 - 1;
  SendMessageA(frame_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, tooShort));
  RECT after = RectIn(ql::g_mdiClient, frame_);
  EXPECT_TRUE(EqualRect(&before, &after));
  RECT statusAfter = RectIn(ql::g_statusBar, frame_);
  EXPECT_TRUE(EqualRect(&status, &statusAfter));
  // One pixel more and everything moves.
  SendMessageA(frame_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, tooShort + 1));
  EXPECT_EQ(RectIn(ql::g_statusBar, frame_).top, tooShort + 1 - (ql::g_listLineHeight + 8));
}

TEST_F(DispatchTest, ExpressModeHidesTheClientAndIgnoresArranging) {
  ASSERT_NE(nullptr, Start());
  Command(IDM_NEW_WINDOW);
  ASSERT_EQ(ql::BrowserWindowCount(), 2);
  Command(IDM_MODE_EXPRESS);
  EXPECT_FALSE(IsWindowVisible(ql::g_mdiClient));
  EXPECT_FALSE(IsWindowVisible(ql::g_toolBar));
  EXPECT_EQ(Pane(IDC_PANE_MODE), "Express Mode");
  // The browser windows' totals stay out of the panes in Express mode.
  Command(IDM_NEW_WINDOW);
  EXPECT_EQ(Pane(IDC_PANE_DIR_TOTALS), "");
  EXPECT_EQ(Pane(IDC_PANE_ARCHIVE_TOTALS), "");
  std::vector<RECT> before;
  for (int i = 0; i < ql::kMaxWindows; ++i)
    if (ql::g_windowTable[i].hwndChild) before.push_back(RectIn(ql::g_windowTable[i].hwndChild, ql::g_mdiClient));
  for (UINT c : {IDM_CASCADE, IDM_TILE_VERTICALLY, IDM_TILE_HORIZONTALLY, IDM_TILE, IDM_ARRANGE_ICONS}) Command(c);
  size_t k = 0;
  for (int i = 0; i < ql::kMaxWindows; ++i)
    if (ql::g_windowTable[i].hwndChild) {
      RECT now = RectIn(ql::g_windowTable[i].hwndChild, ql::g_mdiClient);
      EXPECT_TRUE(EqualRect(&before[k++], &now));
    }
  // Back in Manager mode tiling moves them.
  Command(IDM_EX_MODE_MANAGER);
  EXPECT_TRUE(IsWindowVisible(ql::g_mdiClient));
  Command(IDM_TILE_VERTICALLY);
  RECT a = RectIn(ql::g_windowTable[0].hwndChild, ql::g_mdiClient);
  RECT b = RectIn(ql::g_windowTable[1].hwndChild, ql::g_mdiClient);
  EXPECT_NE(a.left, b.left);
}

TEST_F(DispatchTest, SelectAllTwiceClearArchiveWindowAndTheToolbarSelectAll) {
  WriteTextFile(data_ / "one.txt", "12345");
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  ASSERT_TRUE(CopyFixture("plain.zip", data_ / "plain.zip"));
  ASSERT_NE(nullptr, Start((data_ / "plain.zip").c_str()));
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  Command(IDM_SELECT_ALL_FILES);
  EXPECT_EQ(ql::SelectedIndexes(r->hwndDirList).size(), 2u);  // one.txt and plain.zip, not sub or drives
  EXPECT_EQ(Pane(IDC_PANE_DIR_TOTALS).find("Bytes In 2 Files."), Pane(IDC_PANE_DIR_TOTALS).size() - 17);
  Command(IDM_SELECT_ALL_FILES);
  EXPECT_TRUE(ql::SelectedIndexes(r->hwndDirList).empty());
  // The tool bar's Select All takes the focused list.
  SetFocus(r->hwndArchiveList);
  Command(IDM_SELECT_ALL_FOCUSED);
  LRESULT count = SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0);
  ASSERT_GT(count, 0);
  EXPECT_EQ(static_cast<LRESULT>(ql::SelectedIndexes(r->hwndArchiveList).size()), count);
  Command(IDM_CLEAR_ARCHIVE);
  EXPECT_EQ(SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(r->archivePath[0], 0);
  char title[64] = "";
  GetWindowTextA(ql::g_activeBrowser, title, sizeof title);
  EXPECT_STREQ(title, "[Untitled]");
  EXPECT_EQ(GetWindowLongA(ql::g_activeBrowser, ql::kWordFileCount), 0);
}

TEST_F(DispatchTest, ParentDirectoryAtARootGreysTheButton) {
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  EXPECT_TRUE(SendMessageA(ql::g_toolBar, TB_ISBUTTONENABLED, IDM_PARENT_DIR, 0));
  for (int i = 0; i < 40 && lstrlenA(r->curDir) > 3; ++i) Command(IDM_PARENT_DIR);
  ASSERT_EQ(lstrlenA(r->curDir), 3) << r->curDir;
  EXPECT_FALSE(SendMessageA(ql::g_toolBar, TB_ISBUTTONENABLED, IDM_PARENT_DIR, 0));
  std::string root = r->curDir;
  Command(IDM_PARENT_DIR);
  EXPECT_EQ(root, r->curDir);
  EXPECT_FALSE(SendMessageA(ql::g_toolBar, TB_ISBUTTONENABLED, IDM_PARENT_DIR, 0));
}

TEST_F(DispatchTest, LongAndShortNames) {
  ASSERT_NE(nullptr, Start());
  Command(IDM_SHORT_NAMES);
  EXPECT_EQ(ql::g_shortNameDisplay, 1);
  Command(IDM_LONG_NAMES);
  EXPECT_EQ(ql::g_shortNameDisplay, 0);
}

TEST_F(DispatchTest, MenuHelpSetsTheHintAndTheContext) {
  ASSERT_NE(nullptr, Start());
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_NEW_ARCHIVE, MF_STRING), 0);
  EXPECT_EQ(Pane(IDC_PANE_HINT), " Create a new archive file");
  EXPECT_EQ(ql::g_helpContext, 7016u);
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_CONVERT_ARC_TO_ZIP, MF_STRING), 0);
  EXPECT_EQ(Pane(IDC_PANE_HINT), " Convert Arc to Zip");
  // An item without help: "Ready", and the context stays.
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_WINDOW_CHILD_FIRST, MF_STRING), 0);
  EXPECT_EQ(Pane(IDC_PANE_HINT), "Ready");
  EXPECT_EQ(ql::g_helpContext, 7031u);
  // The mouse over the frame puts "Ready" back.
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_EXIT, MF_STRING), 0);
  EXPECT_EQ(Pane(IDC_PANE_HINT), " Quit - Exit");
  SendMessageA(frame_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Pane(IDC_PANE_HINT), "Ready");
}

TEST_F(DispatchTest, ToolTipTextsReachTheHintPane) {
  ASSERT_NE(nullptr, Start());
  NMTTDISPINFOA tip{};
  tip.hdr.hwndFrom = nullptr;
  tip.hdr.idFrom = IDM_PARENT_DIR;
  tip.hdr.code = TTN_NEEDTEXTA;
  SendMessageA(frame_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  EXPECT_STREQ(tip.lpszText, "Goto Parent Directory.");
  EXPECT_EQ(Pane(IDC_PANE_HINT), "Goto Parent Directory.");
  NMHDR pop{nullptr, 0, static_cast<UINT>(TTN_POP)};
  SendMessageA(frame_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
  EXPECT_EQ(Pane(IDC_PANE_HINT), "Ready");
}

HGLOBAL DropOf(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (auto& n : names) size += n.size() + 1;
  HGLOBAL g = GlobalAlloc(GHND, size);
  auto* d = static_cast<DROPFILES*>(GlobalLock(g));
  d->pFiles = sizeof(DROPFILES);
  d->pt = POINT{10, 10};
  char* p = reinterpret_cast<char*>(d) + sizeof(DROPFILES);
  for (auto& n : names) {
    lstrcpyA(p, n.c_str());
    p += n.size() + 1;
  }
  GlobalUnlock(g);
  return g;
}

TEST_F(DispatchTest, DroppingZipAndArjOpensOneWindowEach) {
  ASSERT_TRUE(CopyFixture("plain.zip", data_ / "plain.zip"));
  ASSERT_TRUE(CopyFixture("dos.arj", data_ / "dos.arj"));
  ASSERT_NE(nullptr, Start());
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  SendMessageA(frame_, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({data_ / "plain.zip", data_ / "dos.arj"})), 0);
  EXPECT_EQ(ql::BrowserWindowCount(), 3);
  int zips = 0, arjs = 0;
  for (int i = 0; i < ql::kMaxWindows; ++i) {
    const ql::WindowRecord& r = ql::g_windowTable[i];
    if (!r.hwndChild || !r.archivePath[0]) continue;
    if (GetWindowLongA(r.hwndChild, ql::kWordArchiveType) == ql::kArchiveTypeZip) ++zips;
    else ++arjs;
    EXPECT_GT(SendMessageA(r.hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
  }
  EXPECT_EQ(zips, 1);
  EXPECT_EQ(arjs, 1);
  EXPECT_TRUE(watcher.Seen().empty()) << "no dialog for archives only";
}

TEST_F(DispatchTest, RefreshCloseAllAndDeleteWithoutSelection) {
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  LRESULT before = SendMessageA(r->hwndDirList, LB_GETCOUNT, 0, 0);
  ASSERT_TRUE(WriteTextFile(std::string(r->curDir) + "\\new file.txt", "abc"));
  Command(IDM_REFRESH);
  EXPECT_EQ(SendMessageA(r->hwndDirList, LB_GETCOUNT, 0, 0), before + 1);
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
    for (UINT c : {IDM_DELETE_MEMBERS, IDM_DELETE_FILES, IDM_DELETE_FOCUSED}) Command(c);
    ASSERT_TRUE(watcher.WaitForAnswers(3));
    for (const auto& seen : watcher.Seen()) EXPECT_EQ(seen.text, "No files have been selected for this operation.");
  }
  Command(IDM_NEW_WINDOW);
  Command(IDM_NEW_WINDOW);
  ASSERT_EQ(ql::BrowserWindowCount(), 3);
  Command(IDM_CLOSE_ALL);
  EXPECT_EQ(ql::BrowserWindowCount(), 1);
  EXPECT_NE(ql::g_activeBrowser, nullptr);
}

TEST_F(DispatchTest, SelectFilesByTypeDialog) {
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  for (const char* f : {"a.doc", "b.txt", "c.TXT"}) ASSERT_TRUE(WriteTextFile(std::string(r->curDir) + "\\" + f, "x"));
  Command(IDM_REFRESH);
  auto selectedNames = [&] {
    std::vector<std::string> out;
    auto lines = ql::ListLines(r->hwndDirList);
    for (int i : ql::SelectedIndexes(r->hwndDirList)) out.push_back(lines[i].substr(0, lines[i].find('\t')));
    return out;
  };
  std::string typed = "  *.txt; a*.*";
  int button = 327;  // Select
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog&) {
    SetDlgItemTextA(d, 329, typed.c_str());
    return button;
  });
  Command(IDM_SELECT_FILES);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(watcher.Seen()[0].title, "Select Files By Type");
  EXPECT_NE(watcher.Seen()[0].text.find("( *.* or *.doc for example)"), std::string::npos) << watcher.Seen()[0].text;
  EXPECT_EQ(selectedNames(), (std::vector<std::string>{"a.doc", "b.txt", "c.TXT"}));
  typed = "*.TXT";
  button = 328;  // Deselect
  Command(IDM_SELECT_FILES);
  ASSERT_TRUE(watcher.WaitForAnswers(2));
  EXPECT_EQ(selectedNames(), (std::vector<std::string>{"a.doc"}));
  // Cancel changes nothing.
  typed = "*.doc";
  button = IDCANCEL;
  Command(IDM_SELECT_FILES);
  ASSERT_TRUE(watcher.WaitForAnswers(3));
  EXPECT_EQ(selectedNames(), (std::vector<std::string>{"a.doc"}));
}

TEST_F(DispatchTest, ThirtyThirdWindowFromTheMenu) {
  ASSERT_NE(nullptr, Start());
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  for (int i = 0; i < 31; ++i) Command(IDM_NEW_WINDOW);
  ASSERT_EQ(ql::BrowserWindowCount(), 32);
  EXPECT_TRUE(watcher.Seen().empty());
  Command(IDM_NEW_WINDOW);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(watcher.Seen()[0].text, "The maximum window limit is: 32.");
  EXPECT_EQ(ql::BrowserWindowCount(), 32);
}

}  // namespace
