// The frame's bars with the frame and its windows in this process: the drive bar with a floppy A:
// and a CD-ROM D: added to the machine, its buttons' mouse and keys, drops on a drive button, the
// tool bar's buttons, the status bar's panes and the window classes of the bars' controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/help_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/drive_bar_win.h"
#include "browser/drag_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"
#include "tests/support/wine_drives.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::Snapshot;
using qltest::TempDir;
using qltest::WineDrive;
using qltest::WriteTextFile;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}


void Pump() { PumpUntil([] { return false; }, 0); }

// Words of a drive button.
LONG Kind(HWND b) { return GetWindowLongA(b, 4); }
char Letter(HWND b) { return static_cast<char>(GetWindowLongA(b, 8)); }
bool Selected(HWND b) { return GetWindowLongA(b, 16) != 0; }

class BarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
    WritePrivateProfileStringA("Defaults", "Working Directory", data_.path().c_str(), ini().c_str());
    WritePrivateProfileStringA("Confirmation", "drag_n_drop", "False", ini().c_str());
    SetCurrentDirectoryA(data_.path().c_str());
    ASSERT_TRUE(CreateDirectoryA((floppyDir_ / "DISKETTE").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(floppyDir_ / "ON_FLOPPY.TXT", "floppy"));
    ASSERT_TRUE(WriteTextFile(cdDir_ / "ON_CD.TXT", "cd"));
    ASSERT_TRUE(WriteTextFile(data_ / "HERE.TXT", "a file to drop"));
  }
  void TearDown() override {
    Stop();
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  // The drives come before the frame: the drive bar makes its buttons once.
  void AddDrives() {
    floppy_.reset(new WineDrive('a', DRIVE_REMOVABLE, floppyDir_.path()));
    cd_.reset(new WineDrive('d', DRIVE_CDROM, cdDir_.path()));
    ASSERT_TRUE(floppy_->made()) << "no floppy A: could be made through the mount manager";
    ASSERT_TRUE(cd_->made()) << "no CD-ROM D: could be made through the mount manager";
  }
  HWND Start() {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    Pump();
    return frame_;
  }
  void Stop() {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    frame_ = nullptr;
    cd_.reset();
    floppy_.reset();
  }
  std::string ini() const { return dir_ / "ql53intl.ini"; }
  static std::string DriveBoxText() {
    HWND box = GetDlgItem(ql::g_toolBar, IDC_DRIVE_BOX);
    LRESULT i = SendMessageA(box, CB_GETCURSEL, 0, 0);
    char text[32] = "";
    if (i != CB_ERR) SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
  }
  static std::vector<std::string> Names(HWND list) {
    std::vector<std::string> out;
    for (const auto& l : ql::ListLines(list)) out.push_back(l.substr(0, l.find('\t')));
    return out;
  }
  static bool Lists(HWND list, const std::string& name) {
    for (const auto& n : Names(list))
      if (n == name) return true;
    return false;
  }
  // A click as the mouse makes it: down and up inside the button.
  static void Click(HWND button) {
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Pump();
  }
  static void KeyUp(HWND h, WPARAM key) {
    SendMessageA(h, WM_KEYUP, key, 0);
    Pump();
  }
  // Holds or lets go of Shift in this thread's keyboard state.
  static void Shift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }

  TempDir dir_{"ql bars"};
  TempDir data_{"ql barsdata"};
  TempDir floppyDir_{"ql floppy"};
  TempDir cdDir_{"ql cdrom"};
  std::unique_ptr<WineDrive> floppy_, cd_;
  std::string cwd_;
  HWND frame_ = nullptr;
};

TEST_F(BarsTest, OneDriveButtonPerDriveAtItsPositionWithItsKind) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(ql::g_buttonBar && IsWindowVisible(ql::g_buttonBar));
  EXPECT_EQ(GetDlgCtrlID(ql::g_buttonBar), IDC_DRIVE_BAR);
  std::string letters;
  const DWORD drives = GetLogicalDrives();
  for (int d = 0; d < 26; ++d)
    if (drives & (1u << d)) letters += static_cast<char>('A' + d);
  ASSERT_NE(letters.find('A'), std::string::npos);
  ASSERT_NE(letters.find('D'), std::string::npos);
  ASSERT_EQ(ql::DriveButtonCount(), static_cast<int>(letters.size()));

  RECT bar;
  GetWindowRect(ql::g_buttonBar, &bar);
  const char current = static_cast<char>(toupper(qltest::CurrentDirectory()[0]));
  for (size_t i = 0; i < letters.size(); ++i) {
    SCOPED_TRACE(letters.substr(i, 1));
    HWND b = GetDlgItem(ql::g_buttonBar, IDM_DRIVE_BUTTON_FIRST + static_cast<int>(i));
    ASSERT_TRUE(b);
    EXPECT_EQ(b, ql::DriveButtonAt(static_cast<int>(i)));
    EXPECT_EQ(qltest::ClassOf(b), "qlbutton");
    EXPECT_EQ(qltest::WindowText(b), letters.substr(i, 1));
    EXPECT_EQ(Letter(b), letters[i]);
    RECT rc;
    GetWindowRect(b, &rc);
    MapWindowPoints(nullptr, ql::g_buttonBar, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 45 * static_cast<int>(i));
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right - rc.left, 40);
    EXPECT_EQ(rc.bottom - rc.top, (bar.bottom - bar.top) - 6);
    const LONG expected = letters[i] == 'A' ? 0 : letters[i] == 'D' ? 3 : 1;
    EXPECT_EQ(Kind(b), expected);
    EXPECT_EQ(Selected(b), letters[i] == current);
  }
  // The three drives A:, C: and D: stand side by side at 0, 45 and 90 when they are the first three.
  if (letters.compare(0, 3, "ACD") == 0) {
    for (int i = 0; i < 3; ++i) {
      RECT rc;
      GetWindowRect(ql::DriveButtonOf("ACD"[i]), &rc);
      MapWindowPoints(nullptr, ql::g_buttonBar, reinterpret_cast<POINT*>(&rc), 2);
      EXPECT_EQ(rc.left, 45 * i);
    }
  }
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(ql::g_buttonBar, 0)), ql::DriveButtonOf(current));
  Snapshot("drive-bar");
}

// The drive box holds exactly what the combo box's own drive listing makes of this machine's
// drives, the floppy and the CD-ROM included.
TEST_F(BarsTest, DriveBoxListsTheDrivesAsTheSystemListingDoes) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  auto items = [](HWND box) {
    std::vector<std::string> out;
    for (LRESULT i = 0, n = SendMessageA(box, CB_GETCOUNT, 0, 0); i < n; ++i) {
      char text[32] = "";
      SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  };
  HWND reference = CreateWindowExA(0, "COMBOBOX", nullptr, WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, 0,
                                   0, 100, 100, frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(reference);
  SendMessageA(reference, CB_DIR, DDL_DRIVES | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>("*.*"));
  const std::vector<std::string> expected = items(reference);
  DestroyWindow(reference);
  for (const char* drive : {"[-a-]", "[-c-]", "[-d-]"})
    EXPECT_NE(std::find(expected.begin(), expected.end(), drive), expected.end()) << drive;
  EXPECT_EQ(items(GetDlgItem(ql::g_toolBar, IDC_DRIVE_BOX)), expected);
}

TEST_F(BarsTest, AClickMovesTheActiveWindowToTheDrivesRememberedDirectory) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  const std::string home = r->curDir;
  const char homeDrive = static_cast<char>(toupper(home[0]));
  HWND floppy = ql::DriveButtonOf('A'), cd = ql::DriveButtonOf('D'), own = ql::DriveButtonOf(homeDrive);
  ASSERT_TRUE(floppy && cd && own);

  // A drive the window has not been on: its root.
  Click(floppy);
  EXPECT_EQ(Lower(r->curDir), "a:\\");
  EXPECT_TRUE(Lists(r->hwndDirList, "ON_FLOPPY.TXT"));
  EXPECT_EQ(DriveBoxText(), "[-a-]");
  EXPECT_TRUE(Selected(floppy));
  EXPECT_FALSE(Selected(own));
  EXPECT_EQ(Lower(qltest::CurrentDirectory()), "a:\\");

  // Into a directory of the floppy, over to the CD-ROM and back: each drive keeps its directory.
  LRESULT sub = SendMessageA(r->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("[DISKETTE]"));
  ASSERT_NE(sub, LB_ERR);
  SendMessageA(r->hwndDirList, LB_SETCARETINDEX, sub, FALSE);
  SendMessageA(ql::g_activeBrowser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(r->hwndDirList), LBN_DBLCLK),
               reinterpret_cast<LPARAM>(r->hwndDirList));
  Pump();
  ASSERT_EQ(Lower(r->curDir), "a:\\diskette");
  Click(cd);
  EXPECT_EQ(Lower(r->curDir), "d:\\");
  EXPECT_TRUE(Lists(r->hwndDirList, "ON_CD.TXT"));
  EXPECT_EQ(DriveBoxText(), "[-d-]");
  EXPECT_TRUE(Selected(cd));
  EXPECT_FALSE(Selected(floppy));
  Click(floppy);
  EXPECT_EQ(Lower(r->curDir), "a:\\diskette");
  Click(own);
  EXPECT_EQ(Lower(r->curDir), Lower(home));
  EXPECT_TRUE(Lists(r->hwndDirList, "HERE.TXT"));
  EXPECT_EQ(DriveBoxText(), std::string("[-") + static_cast<char>(tolower(homeDrive)) + "-]");

  // The drive box's choice moves the drive bar's selection with it.
  HWND box = GetDlgItem(ql::g_toolBar, IDC_DRIVE_BOX);
  LRESULT d = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("[-d-]"));
  ASSERT_NE(d, CB_ERR);
  SendMessageA(box, CB_SETCURSEL, d, 0);
  SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDC_DRIVE_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
  Pump();
  EXPECT_EQ(Lower(r->curDir), "d:\\");
  EXPECT_TRUE(Selected(cd));
  EXPECT_FALSE(Selected(own));
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(ql::g_buttonBar, 0)), cd);
}

TEST_F(BarsTest, ReleasingTheMouseOutsideAfterLeavingTheButtonDoesNothing) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  const std::string home = r->curDir;
  HWND cd = ql::DriveButtonOf('D');
  ASSERT_TRUE(cd);
  // Down, out and up outside: no change, and the capture is given back.
  SendMessageA(cd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(GetCapture(), cd);
  EXPECT_EQ(GetWindowLongA(cd, 12), 1);
  SendMessageA(cd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 10));
  EXPECT_EQ(GetWindowLongA(cd, 12), 0);
  SendMessageA(cd, WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
  Pump();
  EXPECT_EQ(r->curDir, home);
  EXPECT_FALSE(Selected(cd));
  EXPECT_NE(GetCapture(), cd);
  // Down and up outside without having moved out: the drive is chosen.
  SendMessageA(cd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(cd, WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
  Pump();
  EXPECT_EQ(Lower(r->curDir), "d:\\");
  EXPECT_TRUE(Selected(cd));
  EXPECT_NE(GetCapture(), cd);
}

TEST_F(BarsTest, KeyboardFocusMovesBetweenTheBars) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  const int count = ql::DriveButtonCount();
  ASSERT_GE(count, 3);
  const char homeDrive = static_cast<char>(toupper(r->curDir[0]));

  // 402: the current drive's button.
  SendMessageA(ql::g_buttonBar, WM_COMMAND, IDM_TAKE_FOCUS, 0);
  Pump();
  EXPECT_EQ(GetFocus(), ql::DriveButtonOf(homeDrive));
  // Tab from the directory list reaches the drive bar once the tool bar is hidden.
  SetFocus(r->hwndDirList);
  SendMessageA(frame_, WM_COMMAND, IDM_SHOW_TOOLBAR, 0);
  Pump();
  ASSERT_FALSE(IsWindowVisible(ql::g_toolBar));
  KeyUp(r->hwndDirList, VK_TAB);
  EXPECT_EQ(GetFocus(), ql::DriveButtonOf(homeDrive));

  // Arrows: right to the next; from the last back one, never to the first; left from the first on.
  SetFocus(ql::DriveButtonAt(0));
  KeyUp(GetFocus(), VK_RIGHT);
  EXPECT_EQ(GetFocus(), ql::DriveButtonAt(1));
  SetFocus(ql::DriveButtonAt(count - 1));
  KeyUp(GetFocus(), VK_RIGHT);
  EXPECT_EQ(GetFocus(), ql::DriveButtonAt(count - 2));
  KeyUp(GetFocus(), VK_LEFT);
  EXPECT_EQ(GetFocus(), ql::DriveButtonAt(count - 3));
  SetFocus(ql::DriveButtonAt(0));
  KeyUp(GetFocus(), VK_LEFT);
  EXPECT_EQ(GetFocus(), ql::DriveButtonAt(1));

  // Tab goes back to the active window's list.
  KeyUp(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), r->hwndDirList);
  // Shift+Tab with the tool bar shown goes to the tool bar.
  SendMessageA(frame_, WM_COMMAND, IDM_SHOW_TOOLBAR, 0);
  Pump();
  ASSERT_TRUE(IsWindowVisible(ql::g_toolBar));
  SetFocus(ql::DriveButtonOf('D'));
  Shift(true);
  KeyUp(GetFocus(), VK_TAB);
  Shift(false);
  EXPECT_EQ(GetFocus(), ql::g_trashCan);

  // Space chooses the focused drive; Enter opens a new window on it.
  KeyUp(ql::DriveButtonOf('D'), VK_SPACE);
  EXPECT_EQ(Lower(r->curDir), "d:\\");
  EXPECT_TRUE(Selected(ql::DriveButtonOf('D')));
  ASSERT_EQ(ql::BrowserWindowCount(), 1);
  KeyUp(ql::DriveButtonOf('A'), VK_RETURN);
  ASSERT_EQ(ql::BrowserWindowCount(), 2);
  ql::WindowRecord* second = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(second && second != r);
  EXPECT_EQ(Lower(second->curDir), "a:\\");
  EXPECT_TRUE(Selected(ql::DriveButtonOf('A')));
  EXPECT_EQ(Lower(r->curDir), "d:\\");
}

TEST_F(BarsTest, FilesDroppedOnADriveButtonAreCopiedThere) {
  AddDrives();
  ASSERT_NE(nullptr, Start());
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [](HWND d, const qltest::SeenDialog& s) {
    if (s.title == "Copying Files" || s.title == "Moving Files") return 0;  // progress: closes itself
    return qltest::PressDefault(d, s);
  });
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  SendMessageA(r->hwndDirList, LB_SETSEL, FALSE, -1);
  LRESULT i = SendMessageA(r->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("HERE.TXT"));
  ASSERT_NE(i, LB_ERR);
  SendMessageA(r->hwndDirList, LB_SETSEL, TRUE, i);
  // Dragged with the mouse onto the floppy's button.
  HWND floppy = ql::DriveButtonOf('A');
  RECT rc;
  GetWindowRect(floppy, &rc);
  POINT at{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ASSERT_EQ(WindowFromPoint(at), floppy);
  ScreenToClient(r->hwndDirList, &at);
  RECT item;
  SendMessageA(r->hwndDirList, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
  PostMessageA(r->hwndDirList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 4, item.top + 2));
  PostMessageA(r->hwndDirList, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(r->hwndDirList, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(PumpUntil([&] { return qltest::FileExists(floppyDir_ / "HERE.TXT"); }, 20000));
  EXPECT_EQ(qltest::ReadTextFile(floppyDir_ / "HERE.TXT"), "a file to drop");
  EXPECT_TRUE(qltest::FileExists(data_ / "HERE.TXT")) << "a copy leaves the file";

  // The button's own drop message takes the same road, into the CD-ROM's directory.
  i = SendMessageA(r->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("HERE.TXT"));
  ASSERT_NE(i, LB_ERR);
  SendMessageA(r->hwndDirList, LB_SETSEL, TRUE, i);
  ql::DropRecord record;
  record.sourceList = r->hwndDirList;
  SendMessageA(ql::DriveButtonOf('D'), ql::kDropRecordMessage, 0, reinterpret_cast<LPARAM>(&record));
  EXPECT_TRUE(PumpUntil([&] { return qltest::FileExists(cdDir_ / "HERE.TXT"); }, 20000));
  EXPECT_EQ(record.target, ql::DriveButtonOf('D'));
  EXPECT_EQ(watcher.Seen().size(), 0u) << watcher.Seen()[0].text;
}

TEST_F(BarsTest, ToolBarButtonsInTheirOrder) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(ql::g_toolBar);
  EXPECT_EQ(GetDlgCtrlID(ql::g_toolBar), 100);
  EXPECT_TRUE(GetWindowLongA(ql::g_toolBar, GWL_STYLE) & TBSTYLE_TOOLTIPS);
  struct Button {
    int image, command;
    bool separator, enabled, checked;
  } expected[] = {
      {178, 0, true, false, false},
      {16, IDM_PARENT_DIR, false, false, false},
      {0, 0, true, false, false},
      {0, IDM_NEW_ARCHIVE, false, true, false},
      {1, IDM_OPEN, false, true, false},
      {2, IDM_EXTRACT, false, true, false},
      {3, IDM_ADD, false, true, false},
      {4, 961, false, true, false},
      {5, 166, false, true, false},
      {6, IDM_PRINT_LISTING, false, true, false},
      {7, IDM_SCAN_ARCHIVE, false, true, false},  // 1030: scan the archive
      {8, IDM_BY_FILE_TYPE, false, true, false},
      {9, 1031, false, true, false},
      {10, 169, false, true, false},
      {12, IDM_CLEAR_ARCHIVE, false, true, false},
      {13, 1012, false, true, false},
      {0, 0, true, false, false},
      {14, IDM_LONG_NAMES, false, true, true},
      {15, IDM_SHORT_NAMES, false, true, false},
  };
  ASSERT_GE(SendMessageA(ql::g_toolBar, TB_BUTTONCOUNT, 0, 0), 19);
  for (int i = 0; i < 19; ++i) {
    SCOPED_TRACE(i);
    TBBUTTON b{};
    ASSERT_TRUE(SendMessageA(ql::g_toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
    const Button& e = expected[i];
    EXPECT_EQ((b.fsStyle & TBSTYLE_SEP) != 0, e.separator);
    if (e.separator) {
      if (e.image) {
        EXPECT_EQ(b.iBitmap, e.image);
      }
      continue;
    }
    EXPECT_EQ(b.iBitmap, e.image);
    EXPECT_EQ(b.idCommand, e.command);
    if (i != 1) {  // the parent button follows the window
      EXPECT_EQ((b.fsState & TBSTATE_ENABLED) != 0, e.enabled);
    }
    EXPECT_EQ((b.fsState & TBSTATE_CHECKED) != 0, e.checked);
  }
  TBBUTTON shortNames{};
  SendMessageA(ql::g_toolBar, TB_GETBUTTON, 18, reinterpret_cast<LPARAM>(&shortNames));
  EXPECT_TRUE(shortNames.fsStyle & TBSTYLE_CHECKGROUP);
  // The virus button's tip.
  NMTTDISPINFOA tip{};
  tip.hdr.idFrom = IDM_SCAN_ARCHIVE;
  tip.hdr.code = TTN_NEEDTEXTA;
  SendMessageA(frame_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  EXPECT_STREQ(tip.lpszText, " Scan archive files");
  // The drive box in the tool bar.
  HWND box = GetDlgItem(ql::g_toolBar, IDC_DRIVE_BOX);
  ASSERT_TRUE(box);
  RECT rc;
  GetWindowRect(box, &rc);
  MapWindowPoints(nullptr, ql::g_toolBar, reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 5);
  EXPECT_EQ(rc.top, 3);
  EXPECT_EQ(rc.right - rc.left, 165);
  EXPECT_EQ(DriveBoxText(), std::string("[-") + static_cast<char>(tolower(qltest::CurrentDirectory()[0])) + "-]");
  Snapshot("tool-bar");
}

// The greyed parent-directory button shows its picture dimmed, not an empty square: drawn into a
// memory bitmap, the inside of the button holds more than the button face.
TEST_F(BarsTest, TheGreyedParentButtonShowsItsPictureDimmed) {
  ASSERT_NE(nullptr, Start());
  ql::EnableParentButton(false);
  ASSERT_FALSE(SendMessageA(ql::g_toolBar, TB_ISBUTTONENABLED, IDM_PARENT_DIR, 0));
  UpdateWindow(ql::g_toolBar);
  Snapshot("greyed-parent-button");
  EXPECT_TRUE(SendMessageA(ql::g_toolBar, TB_GETDISABLEDIMAGELIST, 0, 0));
  RECT client, button;
  GetClientRect(ql::g_toolBar, &client);
  ASSERT_TRUE(SendMessageA(ql::g_toolBar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button)));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SendMessageA(ql::g_toolBar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const COLORREF face = GetPixel(dc, button.left + 2, button.top + 2);
  int drawn = 0;
  for (int y = button.top + 3; y < button.bottom - 3; ++y)
    for (int x = button.left + 3; x < button.right - 3; ++x)
      if (GetPixel(dc, x, y) != face) ++drawn;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_GT(drawn, 20);
}

// The trash can has a tip of its own, in the tool bar's style, from the tool bar's tip window.
TEST_F(BarsTest, TheTrashCanHasATip) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(ql::g_trashCan);
  HWND tips = reinterpret_cast<HWND>(SendMessageA(ql::g_toolBar, TB_GETTOOLTIPS, 0, 0));
  ASSERT_TRUE(tips);
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = frame_;
  ti.uId = reinterpret_cast<UINT_PTR>(ql::g_trashCan);
  EXPECT_TRUE(SendMessageA(tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
  NMTTDISPINFOA tip{};
  tip.hdr.hwndFrom = tips;
  tip.hdr.idFrom = reinterpret_cast<UINT_PTR>(ql::g_trashCan);
  tip.hdr.code = TTN_NEEDTEXTA;
  tip.uFlags = TTF_IDISHWND;
  SendMessageA(frame_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  ASSERT_TRUE(tip.lpszText);
  EXPECT_STREQ(tip.lpszText, " Delete selected files");
}

// F1 on a drive button or on the trash can (WM_HELP climbs from the control to the frame) opens
// help on the bars.
TEST_F(BarsTest, HelpFromTheBars) {
  ASSERT_NE(nullptr, Start());
  static std::vector<DWORD> contexts;
  contexts.clear();
  ql::SetHelpHandler([](HWND, ql::HelpAction, DWORD context) { contexts.push_back(context); });
  for (HWND control : {ql::DriveButtonAt(0), ql::g_trashCan}) {
    ASSERT_TRUE(control);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = GetDlgCtrlID(control);
    info.hItemHandle = control;
    SendMessageA(control, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  }
  ql::InstallHelpWindow();
  EXPECT_EQ((std::vector<DWORD>{7056, 7056}), contexts);
}

TEST_F(BarsTest, StatusPanesKeepTheirOwnFontAndRepaintAtOnce) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(ql::g_statusBar);
  EXPECT_EQ(GetDlgCtrlID(ql::g_statusBar), IDC_STATUS_BAR);
  EXPECT_EQ(GetWindowLongA(ql::g_statusBar, GWL_STYLE) & 0x3FF, 0x100);  // raised
  struct Pane {
    int id;
    LONG style;  // sunken, and the alignment
  } panes[] = {{IDC_PANE_HINT, 0x200}, {IDC_PANE_DIR_TOTALS, 0x201}, {IDC_PANE_MODE, 0x201},
               {IDC_PANE_ARCHIVE_TOTALS, 0x201}};
  LOGFONTA list{};
  ASSERT_TRUE(GetObjectA(ql::ListFontHandle(), sizeof list, &list));
  for (const Pane& p : panes) {
    SCOPED_TRACE(p.id);
    HWND h = GetDlgItem(ql::g_statusBar, p.id);
    ASSERT_TRUE(h);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0x3FF, p.style);
    // Its own copy of the list font.
    HFONT own = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    ASSERT_TRUE(own);
    EXPECT_NE(own, ql::ListFontHandle());
    LOGFONTA lf{};
    ASSERT_TRUE(GetObjectA(own, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, list.lfHeight);
    EXPECT_STREQ(lf.lfFaceName, list.lfFaceName);
  }
  // A new font replaces the copy (the old one is deleted); the given font stays the caller's.
  HWND hint = GetDlgItem(ql::g_statusBar, IDC_PANE_HINT);
  HFONT before = reinterpret_cast<HFONT>(SendMessageA(hint, WM_GETFONT, 0, 0));
  HFONT given = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  SendMessageA(hint, WM_SETFONT, reinterpret_cast<WPARAM>(given), TRUE);
  HFONT after = reinterpret_cast<HFONT>(SendMessageA(hint, WM_GETFONT, 0, 0));
  EXPECT_NE(after, given);
  EXPECT_EQ(GetObjectType(before), 0u) << "the earlier copy is deleted";
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(after, sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, -20);
  DeleteObject(given);
  EXPECT_NE(GetObjectType(after), 0u);
  // Setting the text paints it at once: nothing is left to paint afterwards.
  SetWindowTextA(hint, "Something to show");
  EXPECT_FALSE(GetUpdateRect(hint, nullptr, FALSE));
  Snapshot("status-bar");
}

TEST_F(BarsTest, WindowClassesOfTheBarsAndControls) {
  ASSERT_NE(nullptr, Start());
  HINSTANCE inst = GetModuleHandleA(nullptr);
  struct Class {
    const char* name;
    int windowBytes, classBytes;
    UINT style;
  } classes[] = {
      {"QLButtonbar", 32, 0, 0},
      {"qlbutton", 32, 8, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS},
      {"statusbar3D", 16, 0, 0},
      {"QLResizebox", 32, 0, 0},
      {"gasguage3D", 16, 0, 0},
  };
  for (const Class& c : classes) {
    SCOPED_TRACE(c.name);
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(inst, c.name, &wc));
    EXPECT_EQ(wc.cbWndExtra, c.windowBytes);
    EXPECT_EQ(wc.cbClsExtra, c.classBytes);
    EXPECT_EQ(wc.style, c.style);
    EXPECT_EQ(wc.hCursor, c.name == std::string("QLResizebox") ? LoadCursorA(inst, "resize")
                                                                : LoadCursorA(nullptr, IDC_ARROW));
  }
  WNDCLASSA base{}, header{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "static", &base));
  ASSERT_TRUE(GetClassInfoA(inst, "qlstatic", &header));
  EXPECT_EQ(header.cbWndExtra, base.cbWndExtra + 20);
}

}  // namespace
