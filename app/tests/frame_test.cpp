// The frame created as the program creates it, in this process, with a program directory and a
// settings file of the test's own: the start-up load, the modes, the close and the hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "browser/bars_win.h"
#include "app/settings.h"
#include "common/shared_win.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

// The list font's height for a size in points on this screen.
int FontHeight(int points) {
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return -(points * perInch / 72);
}

// The browser windows opened since the last ForgetOpenedWindows, in slot order: the name each was
// opened with, its kind and its masks.
struct OpenedWindow {
  std::string archive;
  int archiveType;
  std::string dirMask;
  std::string archiveMask;
};
std::vector<HWND> g_knownWindows;

std::vector<HWND> BrowserWindowsNow() {
  std::vector<HWND> out;
  for (int i = 0; ql::g_windowTable && i < ql::kMaxWindows; ++i)
    if (ql::g_windowTable[i].hwndChild) out.push_back(ql::g_windowTable[i].hwndChild);
  return out;
}

void ForgetOpenedWindows() { g_knownWindows = BrowserWindowsNow(); }

std::vector<OpenedWindow> OpenedWindows() {
  std::vector<OpenedWindow> out;
  for (int i = 0; ql::g_windowTable && i < ql::kMaxWindows; ++i) {
    const ql::WindowRecord& r = ql::g_windowTable[i];
    if (!r.hwndChild) continue;
    bool known = false;
    for (HWND k : g_knownWindows) known = known || k == r.hwndChild;
    if (known) continue;
    OpenedWindow w;
    HGLOBAL text = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(r.hwndChild, ql::kWordListingText));
    if (const char* name = text ? static_cast<const char*>(GlobalLock(text)) : nullptr) {
      w.archive = name;
      GlobalUnlock(text);
    }
    w.archiveType = GetWindowLongA(r.hwndChild, ql::kWordArchiveType);
    w.dirMask = r.dirMask;
    w.archiveMask = r.archiveMask;
    out.push_back(w);
  }
  return out;
}

using qltest::DialogWatcher;
using qltest::FileExists;
using qltest::PumpUntil;
using qltest::ReadTextFile;
using qltest::TempDir;
using qltest::WriteTextFile;

std::string Ini(const std::string& ini, const char* section, const char* key) {
  char buf[512] = "";
  GetPrivateProfileStringA(section, key, "(missing)", buf, sizeof buf, ini.c_str());
  return buf;
}

std::string LoadedString(UINT id) {
  char buf[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
  return buf;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ForgetOpenedWindows();
    ql::g_mailLibraryName = "MAPI32.DLL";
    ASSERT_TRUE(WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) Close();
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  std::string ini() const { return dir_ / "ql53intl.ini"; }
  void Set(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, ini().c_str());
  }
  HWND Start(const char* commandLine = "") {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), commandLine, SW_SHOWNORMAL);
    return frame_;
  }
  // Closes the frame as the user would and runs the loop to its end, as the program does.
  void Close() {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    quitCode_ = ql::RunMessageLoop();
    ql::ExitInstance(GetModuleHandleA(nullptr));
    frame_ = nullptr;
  }
  UINT MenuState(UINT id) { return GetMenuState(ql::g_managerMenu, id, MF_BYCOMMAND); }

  TempDir dir_{"ql app test"};
  std::string cwd_;
  HWND frame_ = nullptr;
  int quitCode_ = -1;
};

TEST_F(FrameTest, FreshInstallationStartsWithDefaults) {
  ASSERT_NE(nullptr, Start());
  const ql::SettingsRecord& s = *ql::g_settings;
  EXPECT_STREQ(dir_.path().c_str(), s.ProgramDirectory);
  EXPECT_EQ(ini(), s.IniPath);
  for (const char* d : {s.InitialDirectory, s.TargetDirectory, s.SourceDirectory, s.ExpressFileDir,
                        s.ExpressArchiveDir})
    EXPECT_STREQ(dir_.path().c_str(), d);
  EXPECT_EQ(dir_ / "QL5TEMP", s.WorkDirectory);
  EXPECT_TRUE(FileExists(s.WorkDirectory));
  EXPECT_STREQ("None", s.VirusProgram);
  EXPECT_STREQ("None", s.ArcProgram);
  EXPECT_STREQ("None", s.LzhProgram);
  EXPECT_EQ(dir_ / "QL53.HLP", ql::g_helpFile);
  EXPECT_EQ(qltest::CurrentDirectory(), dir_.path()) << "the working directory is made current";

  EXPECT_TRUE(ql::g_managerMode);
  EXPECT_TRUE(ql::g_showToolbar);
  EXPECT_TRUE(ql::g_showDriveBar);
  EXPECT_EQ(0x3F, ql::g_confirmFlags) << "every confirmation on, windows not saved";
  EXPECT_STREQ("MS Sans Serif", ql::g_listFont.lfFaceName);
  EXPECT_EQ(FontHeight(8), ql::g_listFont.lfHeight) << "8 points";
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) < 801 ? 400 : 700, ql::g_listFont.lfWeight);
  EXPECT_GT(ql::g_listLineHeight, 0);
  EXPECT_EQ(0u, ql::g_listTextColor);

  EXPECT_EQ("Quillon - Manager Mode", qltest::WindowText(frame_));
  ASSERT_NE(nullptr, ql::g_mdiClient);
  EXPECT_TRUE(IsWindowVisible(ql::g_mdiClient));
  EXPECT_EQ(188, GetDlgCtrlID(ql::g_mdiClient));
  EXPECT_EQ(ql::g_res.managerAccel, ql::g_currentAccel);
  EXPECT_EQ("Manager", Ini(ini(), "switches", "Mode"));
  // An empty command line opens one plain window on the current directory.
  ASSERT_EQ(1u, OpenedWindows().size());
  EXPECT_EQ("", OpenedWindows()[0].archive);
  EXPECT_EQ("*.*", OpenedWindows()[0].dirMask);
  EXPECT_EQ("*.*", OpenedWindows()[0].archiveMask);
}

TEST_F(FrameTest, CloseWritesPlacementAndRemovesTheWorkDirectory) {
  Set("Coordinates", "x", "30");
  Set("Coordinates", "y", "40");
  Set("Coordinates", "w", "500");
  Set("Coordinates", "h", "350");
  ASSERT_NE(nullptr, Start());
  std::string work = ql::g_settings->WorkDirectory;
  ASSERT_TRUE(WriteTextFile(work + "\\ql5files", "A.TXT\r\n"));
  CreateDirectoryA((work + "\\tmp41720").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(work + "\\tmp41720\\scratch.bin", "x"));
  SetFileAttributesA((work + "\\tmp41720\\scratch.bin").c_str(), FILE_ATTRIBUTE_READONLY);
  RECT r;
  GetWindowRect(frame_, &r);
  EXPECT_EQ(30, r.left);
  EXPECT_EQ(40, r.top);
  MoveWindow(frame_, 60, 70, 520, 360, TRUE);
  Close();
  EXPECT_EQ(0, quitCode_);
  EXPECT_EQ("Normal", Ini(ini(), "Coordinates", "WinStatus"));
  EXPECT_EQ("60", Ini(ini(), "Coordinates", "x"));
  EXPECT_EQ("70", Ini(ini(), "Coordinates", "y"));
  EXPECT_EQ("520", Ini(ini(), "Coordinates", "w"));
  EXPECT_EQ("360", Ini(ini(), "Coordinates", "h"));
  EXPECT_FALSE(FileExists(work)) << "the work directory goes with everything in it";
  EXPECT_EQ(nullptr, ql::g_settings);
}

TEST_F(FrameTest, CloseWhileMaximisedSavesTheNormalPlacement) {
  Set("Coordinates", "x", "10");
  Set("Coordinates", "y", "20");
  Set("Coordinates", "w", "400");
  Set("Coordinates", "h", "300");
  Set("Coordinates", "WinStatus", "Maximized");
  ASSERT_NE(nullptr, Start());
  EXPECT_TRUE(IsZoomed(frame_));
  Close();
  EXPECT_EQ("Maximized", Ini(ini(), "Coordinates", "WinStatus"));
  EXPECT_EQ("10", Ini(ini(), "Coordinates", "x"));
  EXPECT_EQ("400", Ini(ini(), "Coordinates", "w"));
}

struct DirCase {
  const char* name;
  const char* target;  // nullptr: key missing
  const char* expected;  // "P" program directory, "I" initial directory, else a literal
};
class TargetTest : public FrameTest, public ::testing::WithParamInterface<DirCase> {};

TEST_P(TargetTest, TargetDirectoryFromDefaults) {
  const DirCase c = GetParam();
  TempDir working("ql working");
  Set("Defaults", "Working Directory", (working.path() + "\\").c_str());  // trailing backslash removed
  if (c.target) Set("Defaults", "Target", c.target);
  ASSERT_NE(nullptr, Start());
  std::string expected = !strcmp(c.expected, "P") ? dir_.path() : !strcmp(c.expected, "I") ? working.path() : c.expected;
  EXPECT_EQ(expected, ql::g_settings->TargetDirectory);
  EXPECT_EQ(working.path(), ql::g_settings->InitialDirectory);
  EXPECT_EQ(working.path(), ql::g_settings->SourceDirectory) << "Source missing: the working directory";
  EXPECT_EQ(working.path(), qltest::CurrentDirectory());
}
INSTANTIATE_TEST_SUITE_P(Defaults, TargetTest,
                         ::testing::Values(DirCase{"Missing", nullptr, "I"}, DirCase{"Empty", "", "P"},
                                           DirCase{"TrailingBackslash", "C:\\ARCHIVES\\", "C:\\ARCHIVES"},
                                           DirCase{"TwoBackslashes", "C:\\OUT\\\\", "C:\\OUT"},
                                           DirCase{"Plain", "D:\\X", "D:\\X"}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(FrameTest, ExpressDirectoriesLoseTrailingBackslashes) {
  Set("Express File Dir", "ExpFileDir", "C:\\FILES\\");
  Set("Express File Dir", "ExpArcDir", "");
  Set("Utilities", "Virus Detector", "C:\\SCAN\\SCAN.EXE /A");
  ASSERT_NE(nullptr, Start());
  EXPECT_STREQ("C:\\FILES", ql::g_settings->ExpressFileDir);
  EXPECT_EQ(dir_.path(), ql::g_settings->ExpressArchiveDir) << "empty: the program directory";
  EXPECT_STREQ("C:\\SCAN\\SCAN.EXE /A", ql::g_settings->VirusProgram);
}

TEST_F(FrameTest, GarbageInTheFontKeysGivesTheirDefaults) {
  Set("Current Font", "font", "");
  Set("Current Font", "PointSize", "big");
  Set("Current Font", "DesiredPointSize", "10");
  Set("Current Font", "Weight", "heavy");
  Set("Current Font", "TextColor", "blue");
  ASSERT_NE(nullptr, Start());
  EXPECT_STREQ("MS Sans Serif", ql::g_listFont.lfFaceName);
  EXPECT_EQ(FontHeight(10), ql::g_listFont.lfHeight) << "from DesiredPointSize";
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) < 801 ? 400 : 700, ql::g_listFont.lfWeight);
  EXPECT_EQ(0u, ql::g_listTextColor);
}

// One value far out of range must not collapse the frame: the font falls back to its default and
// the bars, the status bar and a usable browser window are there.
TEST_F(FrameTest, AnOutOfRangeFontSizeGivesTheDefaultFont) {
  Set("switches", "Mode", "Manager");
  Set("Current Font", "PointSize", "-99999");
  Set("Current Font", "Weight", "99999");
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(FontHeight(8), ql::g_listFont.lfHeight);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) < 801 ? 400 : 700, ql::g_listFont.lfWeight);
  EXPECT_TRUE(IsWindowVisible(ql::g_statusBar));
  EXPECT_TRUE(IsWindowVisible(ql::g_buttonBar));
  ASSERT_NE(nullptr, ql::g_activeBrowser);
  RECT rc;
  GetClientRect(ql::g_activeBrowser, &rc);
  EXPECT_GT(rc.bottom, 100);
  EXPECT_GT(rc.right, 200);
}

TEST_F(FrameTest, SettingsFromTheFile) {
  Set("switches", "Toolbar", "off");
  Set("switches", "Drivebar", "ON");
  Set("switches", "SaveArchiveNames", "On");
  Set("Confirmation", "copy", "false");
  Set("Confirmation", "del_dir", "FALSE");
  Set("Confirmation", "target_dir", "yes");  // not "True": off
  Set("Current Font", "font", "Courier New");
  Set("Current Font", "PointSize", "-15");
  Set("Current Font", "Weight", "400");
  Set("Current Font", "Italic", "1");
  Set("Current Font", "TextColor", "4294901760");
  ASSERT_NE(nullptr, Start());
  EXPECT_FALSE(ql::g_showToolbar);
  EXPECT_TRUE(ql::g_showDriveBar);
  EXPECT_EQ(0x02 | 0x08 | 0x10 | 0x40, ql::g_confirmFlags);
  EXPECT_STREQ("Courier New", ql::g_listFont.lfFaceName);
  EXPECT_EQ(-15, ql::g_listFont.lfHeight);
  EXPECT_EQ(400, ql::g_listFont.lfWeight);
  EXPECT_EQ(1, ql::g_listFont.lfItalic);
  EXPECT_EQ(4294901760u, ql::g_listTextColor);
  ASSERT_NE(nullptr, ql::g_managerMenu);
  EXPECT_FALSE(MenuState(IDM_SHOW_TOOLBAR) & MF_CHECKED);
  EXPECT_TRUE(MenuState(IDM_SHOW_DRIVE_BAR) & MF_CHECKED);
}

struct ModeCase {
  const char* name;
  const char* mode;  // nullptr: key missing
  const char* commandLine;
  bool manager;
};
class ModeTest : public FrameTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTest, StartMode) {
  const ModeCase c = GetParam();
  if (c.mode) Set("switches", "Mode", c.mode);
  ASSERT_NE(nullptr, Start(c.commandLine));
  EXPECT_EQ(c.manager, ql::g_managerMode);
  EXPECT_EQ(c.manager ? "Manager" : "Express", Ini(ini(), "switches", "Mode"));
  EXPECT_EQ(c.manager ? "Quillon - Manager Mode" : "Quillon - Express Mode", qltest::WindowText(frame_));
  EXPECT_EQ(c.manager, IsWindowVisible(ql::g_mdiClient) != FALSE);
  EXPECT_EQ(c.manager ? ql::g_res.managerAccel : ql::g_res.expressAccel, ql::g_currentAccel);
  ASSERT_NE(nullptr, ql::g_managerMenu);
  ASSERT_NE(nullptr, ql::g_res.expressMenu);
  EXPECT_EQ(c.manager ? ql::g_managerMenu : ql::g_res.expressMenu, GetMenu(frame_));
}
INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTest,
    ::testing::Values(ModeCase{"Missing", nullptr, "", true}, ModeCase{"Manager", "Manager", "", true},
                      ModeCase{"Express", "Express", "", false},
                      ModeCase{"ExpressWithCommandLine", "Express", "C:\\DATA\\A.ZIP", true},
                      ModeCase{"OtherWord", "Dialogs", "", false},
                      ModeCase{"OtherWordWithCommandLine", "Dialogs", "C:\\DATA\\A.ZIP", false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FrameTest, ModeSwitchesBackAndForth) {
  ASSERT_NE(nullptr, Start());
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_EXPRESS, 0);
  EXPECT_FALSE(ql::g_managerMode);
  EXPECT_FALSE(IsWindowVisible(ql::g_mdiClient));
  EXPECT_EQ("Express", Ini(ini(), "switches", "Mode"));
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  EXPECT_TRUE(ql::g_managerMode);
  EXPECT_TRUE(IsWindowVisible(ql::g_mdiClient));
  EXPECT_EQ("Manager", Ini(ini(), "switches", "Mode"));
}

// In Express mode the browser windows are hidden: the focus stays with the frame, even when the
// frame is clicked, and a key meant for the hidden list is handed to the frame.
TEST_F(FrameTest, ExpressModeKeepsKeysFromTheHiddenBrowser) {
  ASSERT_NE(nullptr, Start());
  ASSERT_NE(nullptr, ql::g_activeBrowser);
  HWND list = ql::RecordOf(ql::g_activeBrowser)->hwndDirList;
  SetFocus(list);
  ASSERT_EQ(list, GetFocus());
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_EXPRESS, 0);
  auto inBrowser = [](HWND w) { return w && (w == ql::g_mdiClient || IsChild(ql::g_mdiClient, w)); };
  EXPECT_FALSE(inBrowser(GetFocus()));
  SetFocus(nullptr);
  SetFocus(frame_);  // the user clicks the frame
  EXPECT_EQ(frame_, GetFocus());
  for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_CHAR}) {
    MSG key = {list, message, VK_RETURN, 0x001C0001, 0, {0, 0}};
    ql::KeepKeysFromHiddenWindows(&key);
    EXPECT_EQ(frame_, key.hwnd) << message;
  }
  MSG mouse = {list, WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
  ql::KeepKeysFromHiddenWindows(&mouse);
  EXPECT_EQ(list, mouse.hwnd);
  // Back in Manager mode the keys reach the lists again.
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  EXPECT_TRUE(inBrowser(GetFocus()));
  MSG key = {list, WM_KEYUP, VK_RETURN, 0x001C0001, 0, {0, 0}};
  ql::KeepKeysFromHiddenWindows(&key);
  EXPECT_EQ(list, key.hwnd);
}

// The top-level popup of `menu` whose text is `text`.
HMENU PopupNamed(HMENU menu, const char* text) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char item[64] = "";
    GetMenuStringA(menu, i, item, sizeof item, MF_BYPOSITION);
    if (std::string(item) == text) return GetSubMenu(menu, i);
  }
  return nullptr;
}

bool ListsWindows(HMENU popup) {
  return popup && GetMenuState(popup, IDM_WINDOW_CHILD_FIRST, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

std::string PaneText(int pane) {
  char text[256] = "";
  GetDlgItemTextA(ql::g_statusBar, pane, text, sizeof text);
  return text;
}

TEST_F(FrameTest, WindowListStaysInTheWindowMenuAfterARoundTripWithAMaximisedWindow) {
  ASSERT_NE(nullptr, Start());
  ASSERT_NE(nullptr, ql::g_activeBrowser);
  SendMessageA(ql::g_mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(ql::g_activeBrowser), 0);
  ASSERT_TRUE(IsZoomed(ql::g_activeBrowser));
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_EXPRESS, 0);
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  SendMessageA(ql::g_mdiClient, WM_MDIREFRESHMENU, 0, 0);
  HMENU bar = GetMenu(frame_);
  ASSERT_EQ(ql::g_managerMenu, bar);
  EXPECT_TRUE(ListsWindows(PopupNamed(bar, "&Window")));
  EXPECT_FALSE(ListsWindows(PopupNamed(bar, "&Help")));
}

TEST_F(FrameTest, ExpressStartThenManagerShowsAUsableWindowAndItsTotals) {
  Set("switches", "Mode", "Express");
  ASSERT_NE(nullptr, Start());
  ASSERT_FALSE(ql::g_managerMode);
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  std::vector<HWND> windows = BrowserWindowsNow();
  ASSERT_EQ(1u, windows.size());
  RECT rc;
  GetWindowRect(windows[0], &rc);
  EXPECT_GT(rc.right - rc.left, 300);
  EXPECT_GT(rc.bottom - rc.top, 150);
  EXPECT_NE("", PaneText(IDC_PANE_DIR_TOTALS));
  EXPECT_EQ("0 Files at 0.0%", PaneText(IDC_PANE_ARCHIVE_TOTALS));
}

TEST_F(FrameTest, TotalsPanesShowZeroWithoutAnActiveWindow) {
  ASSERT_NE(nullptr, Start());
  ql::SetPaneText(IDC_PANE_DIR_TOTALS, "");
  ql::SetPaneText(IDC_PANE_ARCHIVE_TOTALS, "");
  ql::CloseAllBrowserWindows();
  ASSERT_EQ(nullptr, ql::g_activeBrowser);
  RECT rc;
  GetClientRect(frame_, &rc);
  SendMessageA(frame_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
  EXPECT_EQ("0 Bytes In 0 Files.", PaneText(IDC_PANE_DIR_TOTALS));
  EXPECT_EQ("0 Files at 0.0%", PaneText(IDC_PANE_ARCHIVE_TOTALS));
}

std::vector<std::pair<UINT, std::string>> PopupItems(HMENU popup) {
  std::vector<std::pair<UINT, std::string>> items;
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    char text[256] = "";
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    items.emplace_back(GetMenuItemID(popup, i), text);
  }
  return items;
}

TEST_F(FrameTest, ApplicationsAndMacrosMenusFromTheFile) {
  Set("Menu Text", "App1", "&Notepad");
  Set("Menu Text", "App3", "Calculator");
  Set("Macro Desc", "Macro2", "Zip the reports");
  Set("Macro Desc", "Macro36", "Last one");
  ASSERT_NE(nullptr, Start());
  HMENU apps = GetSubMenu(ql::g_managerMenu, MANAGER_POS_APPLICATIONS);
  HMENU macros = GetSubMenu(ql::g_managerMenu, MANAGER_POS_MACROS);
  ASSERT_NE(nullptr, apps);
  ASSERT_NE(nullptr, macros);
  using Items = std::vector<std::pair<UINT, std::string>>;
  EXPECT_EQ((Items{{6000, "&Notepad"}, {6002, "Calculator"}}), PopupItems(apps));
  EXPECT_EQ((Items{{6101, "Zip the reports"}, {6135, "Last one"}}), PopupItems(macros));
  // The menus are built again from the file when Manager mode comes back.
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_EXPRESS, 0);
  Set("Menu Text", "App1", nullptr);
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  EXPECT_EQ((Items{{6002, "Calculator"}}), PopupItems(apps));
  // A section left without keys, and one removed whole, empty their menus.
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_EXPRESS, 0);
  Set("Menu Text", "App3", nullptr);
  WritePrivateProfileStringA("Macro Desc", nullptr, nullptr, ini().c_str());
  SendMessageA(frame_, WM_COMMAND, IDM_EX_MODE_MANAGER, 0);
  EXPECT_EQ(Items{}, PopupItems(apps));
  EXPECT_EQ(Items{}, PopupItems(macros));
}

TEST_F(FrameTest, PlaceholdersGoAndZipOptionsFollowUsePkzip) {
  Set("switches", "use_pkzip", "On");
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(0, GetMenuItemCount(GetSubMenu(ql::g_managerMenu, MANAGER_POS_APPLICATIONS)));
  EXPECT_EQ(0, GetMenuItemCount(GetSubMenu(ql::g_managerMenu, MANAGER_POS_MACROS)));
  EXPECT_FALSE(MenuState(IDM_ZIP_OPTIONS) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(ql::g_res.expressMenu, IDM_EX_ZIP_OPTIONS, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(FrameTest, ZipOptionsGreyWithoutUsePkzip) {
  ASSERT_NE(nullptr, Start());
  EXPECT_TRUE(MenuState(IDM_ZIP_OPTIONS) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(ql::g_res.expressMenu, IDM_EX_ZIP_OPTIONS, MF_BYCOMMAND) & MF_GRAYED);
}

// A child of the MDI client that records the commands it is given.
std::vector<WORD> g_childCommands;
LRESULT CALLBACK RecordingChild(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) g_childCommands.push_back(LOWORD(w));
  return DefMDIChildProcA(h, m, w, l);
}

TEST_F(FrameTest, CommandsTheFrameDoesNotHandleReachTheActiveChild) {
  ASSERT_NE(nullptr, Start());
  WNDCLASSA wc = {};
  wc.lpfnWndProc = RecordingChild;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QlRecordingChild";
  RegisterClassA(&wc);
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = "QlRecordingChild";
  mcs.szTitle = "child";
  mcs.hOwner = wc.hInstance;
  mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
  HWND child = reinterpret_cast<HWND>(SendMessageA(ql::g_mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  ASSERT_NE(nullptr, child);
  g_childCommands.clear();
  SendMessageA(frame_, WM_COMMAND, IDM_TAKE_FOCUS, 0);  // not the frame's: the active window's
  SendMessageA(frame_, WM_COMMAND, IDM_MODE_MANAGER, 0);     // the frame's own: not passed on
  EXPECT_EQ(std::vector<WORD>{IDM_TAKE_FOCUS}, g_childCommands);
  SendMessageA(ql::g_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  UnregisterClassA("QlRecordingChild", wc.hInstance);
}

struct AccelCase {
  const char* name;
  const char* mode;
  bool f5Translated;  // F5 is "&Refresh" in Manager mode, nothing in Express mode
};
class AcceleratorTest : public FrameTest, public ::testing::WithParamInterface<AccelCase> {};

TEST_P(AcceleratorTest, KeysAreTranslatedWithTheModesTable) {
  const AccelCase c = GetParam();
  Set("switches", "Mode", c.mode);
  ASSERT_NE(nullptr, Start());
  MSG key = {};
  key.hwnd = frame_;
  key.message = WM_KEYDOWN;
  key.wParam = VK_F5;
  key.lParam = 0x003F0001;
  EXPECT_EQ(c.f5Translated, ql::TranslateAppAccelerators(&key));
}
INSTANTIATE_TEST_SUITE_P(Modes, AcceleratorTest,
                         ::testing::Values(AccelCase{"Manager", "Manager", true},
                                           AccelCase{"Express", "Express", false}),
                         [](const auto& i) { return std::string(i.param.name); });

struct PlacementCase {
  const char* name;
  const char* x;
  const char* y;
  const char* w;
  const char* h;
  int left, top, width, height;  // kDefault: the system chose
};
constexpr int kDefault = -12345;
class PlacementTest : public FrameTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, CoordinatesFromTheFile) {
  const PlacementCase c = GetParam();
  if (c.x) Set("Coordinates", "x", c.x);
  if (c.y) Set("Coordinates", "y", c.y);
  if (c.w) Set("Coordinates", "w", c.w);
  if (c.h) Set("Coordinates", "h", c.h);
  ASSERT_NE(nullptr, Start());
  RECT r;
  GetWindowRect(frame_, &r);
  if (c.left != kDefault) {
    EXPECT_EQ(c.left, r.left);
  } else {
    EXPECT_NE(-900, r.left);
  }
  if (c.top != kDefault) {
    EXPECT_EQ(c.top, r.top);
  } else {
    EXPECT_GT(r.top, -200) << "the system's default, not a coordinate off the screen";
  }
  if (c.width != kDefault) {
    EXPECT_EQ(c.width, r.right - r.left);
    EXPECT_EQ(c.height, r.bottom - r.top);
  } else {
    EXPECT_GT(r.right - r.left, 100);
  }
}
INSTANTIATE_TEST_SUITE_P(
    Coordinates, PlacementTest,
    ::testing::Values(
        PlacementCase{"Used", "20", "30", "400", "300", 20, 30, 400, 300},
        PlacementCase{"Minus100IsUsed", "-100", "-100", "400", "300", -100, -100, 400, 300},
        PlacementCase{"Minus900IsTheDefault", "-900", "-900", "-900", "-900", kDefault, kDefault, kDefault, kDefault},
        PlacementCase{"MissingIsTheDefault", nullptr, nullptr, nullptr, nullptr, kDefault, kDefault, kDefault, kDefault},
        PlacementCase{"GarbageIsTheDefault", "left", "30", "wide", "300", kDefault, kDefault, kDefault, kDefault},
        PlacementCase{"DefaultPlaceGivenSize", "-101", "0", "450", "320", kDefault, 0, 450, 320},
        PlacementCase{"XWithoutY", "-100", nullptr, "400", "300", -100, kDefault, 400, 300},
        PlacementCase{"XWithYBelowMinus100", "40", "-500", "400", "300", 40, kDefault, 400, 300}),
    [](const auto& i) { return std::string(i.param.name); });

struct StatusCase {
  const char* name;
  const char* status;
  bool zoomed;
  bool iconic;
};
class WinStatusTest : public FrameTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(WinStatusTest, ShownAsSaved) {
  const StatusCase c = GetParam();
  Set("Coordinates", "WinStatus", c.status);
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(c.zoomed, IsZoomed(frame_) != FALSE);
  EXPECT_EQ(c.iconic, IsIconic(frame_) != FALSE);
  if (c.zoomed) {
    // The layout ran for the maximised size: the MDI client spans the client width.
    RECT client, mdi;
    GetClientRect(frame_, &client);
    GetWindowRect(ql::g_mdiClient, &mdi);
    EXPECT_EQ(client.right, mdi.right - mdi.left);
  }
}
INSTANTIATE_TEST_SUITE_P(WinStatus, WinStatusTest,
                         ::testing::Values(StatusCase{"Maximized", "Maximized", true, false},
                                           StatusCase{"LowerCase", "maximized", true, false},
                                           StatusCase{"UpperCase", "MAXIMIZED", true, false},
                                           StatusCase{"Minimized", "mInImIzEd", false, true},
                                           StatusCase{"Normal", "Normal", false, false},
                                           StatusCase{"Unknown", "Zoomed", false, false}),
                         [](const auto& i) { return std::string(i.param.name); });

// The seven mail items; "&Log On To Mail Server" stays enabled when the library is usable.
const UINT kMailItems[] = {IDM_MAIL_LOGON, IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST,
                           IDM_MAIL_FIND_NEXT, IDM_MAIL_READ, IDM_MAIL_DELETE};

struct MailCase {
  const char* name;
  const char* library;
  bool usable;
};
class MailTest : public FrameTest, public ::testing::WithParamInterface<MailCase> {};

TEST_P(MailTest, MailItemsGreyWithoutAUsableLibrary) {
  const MailCase c = GetParam();
  ql::g_mailLibraryName = c.library;
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(c.usable, ql::g_mailLibrary != nullptr);
  for (UINT id : kMailItems)
    ASSERT_NE(static_cast<UINT>(-1), GetMenuState(ql::g_managerMenu, id, MF_BYCOMMAND)) << "mail item " << id;
  for (UINT id : kMailItems) {
    bool grey = (MenuState(id) & MF_GRAYED) != 0;
    bool expectGrey = !(c.usable && id == IDM_MAIL_LOGON);
    EXPECT_EQ(expectGrey, grey) << id;
  }
}
INSTANTIATE_TEST_SUITE_P(Libraries, MailTest,
                         ::testing::Values(MailCase{"Missing", "QLNOMAIL.DLL", false},
                                           MailCase{"WithoutMailEntries", "KERNEL32.DLL", false},
                                           MailCase{"Usable", "MAPI32.DLL", true}),
                         [](const auto& i) { return std::string(i.param.name); });

// Keys of the class root the program writes; removed again so that nothing of the test stays.
void DeleteKeyTree(HKEY root, const char* key) {
  HKEY k;
  if (RegOpenKeyA(root, key, &k) != ERROR_SUCCESS) return;
  char sub[256];
  while (RegEnumKeyA(k, 0, sub, sizeof sub) == ERROR_SUCCESS) DeleteKeyTree(k, sub);
  RegCloseKey(k);
  RegDeleteKeyA(root, key);
}

std::string RegDefault(const char* key) {
  char value[512] = "";
  LONG size = sizeof value;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) != ERROR_SUCCESS) return "(missing)";
  return value;
}

TEST_F(FrameTest, RegistryAssociationWrittenAtStart) {
  for (const char* key : {"Quillon", ".ZIP", ".ARJ"}) DeleteKeyTree(HKEY_CLASSES_ROOT, key);
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ("Quillon", RegDefault("Quillon"));
  EXPECT_EQ("Quillon", RegDefault(".ZIP"));
  EXPECT_EQ("Quillon", RegDefault(".ARJ"));
  // The program directory has blanks in its name: the path is quoted.
  EXPECT_EQ("\"" + (dir_ / "quillon.exe") + "\" %1", RegDefault("Quillon\\shell\\open\\command"));
  for (const char* key : {"Quillon", ".ZIP", ".ARJ"}) DeleteKeyTree(HKEY_CLASSES_ROOT, key);
}

TEST_F(FrameTest, MissingRunnerIsReportedAndEndsTheProgram) {
  DeleteFileA((dir_ / "qlkbdtrp.exe").c_str());
  DialogWatcher watcher(0, DialogWatcher::ThisThread());
  ASSERT_NE(nullptr, Start());
  quitCode_ = ql::RunMessageLoop();  // the frame closes itself
  ql::ExitInstance(GetModuleHandleA(nullptr));
  frame_ = nullptr;
  EXPECT_EQ(0, quitCode_);
  auto seen = watcher.Seen();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Quillon", seen[0].title);
  EXPECT_EQ("Quillon can't find the following file:\n" + (dir_ / "qlkbdtrp.exe") +
                "\nThis file MUST be located in the Quillon directory.",
            seen[0].text)
      << "the long form remains when the short form cannot be made";
  EXPECT_EQ("(missing)", Ini(ini(), "Coordinates", "WinStatus")) << "nothing saved by a frame that never started";
}

TEST_F(FrameTest, InvalidCommandLineIsReportedAndForgotten) {
  DialogWatcher watcher(0, DialogWatcher::ThisThread());
  ASSERT_NE(nullptr, Start("C:\\DATA\\README.TXT"));
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(LoadedString(IDS_INVALID_ARCHIVE_NAME), watcher.Seen()[0].text);
  EXPECT_STREQ("", ql::g_commandLineBuffer);
  // Manager mode keeps one window: the usual empty one opens after the message.
  std::vector<OpenedWindow> opened = OpenedWindows();
  ASSERT_EQ(1u, opened.size());
  EXPECT_EQ("", opened[0].archive);
  EXPECT_NE(nullptr, ql::g_activeBrowser);
}

struct OpenCase {
  const char* name;
  const char* commandLine;
  const char* archive;
  int type;
};
class CommandLineTest : public FrameTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(CommandLineTest, CommandLineOpensAWindow) {
  const OpenCase c = GetParam();
  ASSERT_NE(nullptr, Start(c.commandLine));
  ASSERT_EQ(1u, OpenedWindows().size());
  EXPECT_EQ(c.archive, OpenedWindows()[0].archive);
  EXPECT_EQ(c.type, OpenedWindows()[0].archiveType);
  EXPECT_STREQ(c.archive, ql::g_commandLineBuffer);
}
INSTANTIATE_TEST_SUITE_P(
    Names, CommandLineTest,
    ::testing::Values(OpenCase{"Zip", "C:\\DATA\\A.ZIP", "C:\\DATA\\A.ZIP", 2},
                      OpenCase{"SelfExtracting", "c:\\data\\setup.exe", "c:\\data\\setup.exe", 2},
                      OpenCase{"Arj", "C:\\DATA\\B.ARJ", "C:\\DATA\\B.ARJ", 3},
                      OpenCase{"QuotedWithBlanks", "\"C:\\My Data\\C.ZIP\"", "C:\\My Data\\C.ZIP", 2}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FrameTest, TooLongCommandLineIsRefusedNotCut) {
  std::string longPath = "C:\\" + std::string(280, 'L') + ".ZIP";
  DialogWatcher watcher(0, DialogWatcher::ThisThread());
  ASSERT_NE(nullptr, Start(longPath.c_str()));
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("too long")) << watcher.Seen()[0].text;
  EXPECT_STREQ("", ql::g_commandLineBuffer);
  ASSERT_EQ(1u, OpenedWindows().size());
  EXPECT_EQ("", OpenedWindows()[0].archive) << "started as without a command line";
}

TEST_F(FrameTest, NoCloseWhileTheCommandShellIsOpen) {
  ASSERT_NE(nullptr, Start());
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleTitleA("Quillon Command Shell");
  ASSERT_TRUE(qltest::WaitUntil([] {
    return FindWindowA("ConsoleWindowClass", "Quillon Command Shell") ||
           FindWindowA("WineConsoleClass", "Quillon Command Shell");
  })) << "a console window titled as the runner's";
  {
    DialogWatcher watcher(0, DialogWatcher::ThisThread());
    SendMessageA(frame_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(watcher.WaitForAnswers(1));
    EXPECT_EQ(LoadedString(IDS_SHELL_OPEN), watcher.Seen()[0].text);
  }
  EXPECT_TRUE(IsWindow(frame_)) << "the frame stays";
  FreeConsole();
  ASSERT_TRUE(qltest::WaitUntil([] {
    return !FindWindowA("ConsoleWindowClass", "Quillon Command Shell") &&
           !FindWindowA("WineConsoleClass", "Quillon Command Shell");
  }));
  Close();
  EXPECT_EQ(0, quitCode_);
}

TEST_F(FrameTest, HandedOverLineTooLongIsRefusedNotCut) {
  ASSERT_NE(nullptr, Start());
  ForgetOpenedWindows();
  std::string before = qltest::CurrentDirectory();
  std::string line = "C:\\" + std::string(400, 'd') + "\\A.ZIP";
  HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024, "QUILLON");
  ASSERT_NE(nullptr, map);
  char* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 1024));
  ASSERT_NE(nullptr, view);
  memcpy(view, line.c_str(), line.size() + 1);
  UnmapViewOfFile(view);
  {
    DialogWatcher watcher(0, DialogWatcher::ThisThread());
    SendMessageA(frame_, ql::kHandOverMessage, 0, 0);
    ASSERT_TRUE(watcher.WaitForAnswers(1));
    EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("too long")) << watcher.Seen()[0].text;
  }
  CloseHandle(map);
  EXPECT_TRUE(OpenedWindows().empty());
  EXPECT_EQ(before, qltest::CurrentDirectory());
}

TEST_F(FrameTest, HandOverWithoutMappingShows3053) {
  ASSERT_NE(nullptr, Start());
  DialogWatcher watcher(0, DialogWatcher::ThisThread());
  SendMessageA(frame_, ql::kHandOverMessage, 0, 0);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(LoadedString(IDS_NEED_ARCHIVE_FILE), watcher.Seen()[0].text);
}

// ---- a second quillon.exe hands its command line to this frame ----

struct HandOverCase {
  const char* name;
  const char* file;  // under the second instance's directory; "" for no command line
  int type;          // 0: no window opened
};
class HandOverTest : public FrameTest, public ::testing::WithParamInterface<HandOverCase> {
 protected:
  long StartSecond(const std::string& arguments, const std::string& directory) {
    qltest::Process second;
    EXPECT_TRUE(second.Start(std::string(QL_PROGRAM_DIR) + "/quillon.exe", arguments, directory));
    // It waits in SendMessage until this thread has handled the hand-over.
    EXPECT_TRUE(PumpUntil([&] { return !second.Running(); }, 30000));
    return second.Wait(1000);
  }
};

TEST_P(HandOverTest, SecondStartHandsOverAndEnds) {
  const HandOverCase c = GetParam();
  TempDir other("ql second");
  ASSERT_NE(nullptr, Start());
  ForgetOpenedWindows();
  ShowWindow(frame_, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(frame_));
  std::string before = qltest::CurrentDirectory();
  std::string path = *c.file ? other / c.file : std::string();
  EXPECT_EQ(0, StartSecond(path, other.path()));
  PumpUntil([&] { return !IsIconic(frame_); }, 2000);
  EXPECT_FALSE(IsIconic(frame_)) << "the first instance is restored";
  if (*c.file) {
    EXPECT_EQ(other.path(), qltest::CurrentDirectory()) << "the first instance takes the directory";
    EXPECT_EQ(path, ql::g_commandLineBuffer);
  } else {
    EXPECT_EQ(before, qltest::CurrentDirectory());
  }
  if (c.type) {
    ASSERT_EQ(1u, OpenedWindows().size());
    EXPECT_EQ(path, OpenedWindows()[0].archive);
    EXPECT_EQ(c.type, OpenedWindows()[0].archiveType);
  } else {
    EXPECT_TRUE(OpenedWindows().empty());
  }
  EXPECT_FALSE(FileExists(other / "temp.ql5")) << "the backing file is deleted";
}
INSTANTIATE_TEST_SUITE_P(Names, HandOverTest,
                         ::testing::Values(HandOverCase{"Zip", "A.ZIP", 2}, HandOverCase{"Arj", "B.arj", 3},
                                           HandOverCase{"ArjVolume", "B.A01", 3},
                                           HandOverCase{"ExeOpensNothing", "SETUP.EXE", 0},
                                           HandOverCase{"NoCommandLine", "", 0}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(HandOverTest, UnwritableDirectoryStillHandsOver) {
  TempDir other("ql second");
  // temp.ql5 cannot be created where a directory of that name stands.
  ASSERT_TRUE(CreateDirectoryA((other / "temp.ql5").c_str(), nullptr));
  ASSERT_NE(nullptr, Start());
  ForgetOpenedWindows();
  EXPECT_EQ(0, StartSecond(other / "C.ZIP", other.path()));
  ASSERT_EQ(1u, OpenedWindows().size());
  EXPECT_EQ(other / "C.ZIP", OpenedWindows()[0].archive);
}

TEST_F(HandOverTest, TooLongCommandLineIsRefusedBySecondStart) {
  TempDir other("ql second");
  ASSERT_NE(nullptr, Start());
  ForgetOpenedWindows();
  std::string before = qltest::CurrentDirectory();
  qltest::Process second;
  ASSERT_TRUE(second.Start(std::string(QL_PROGRAM_DIR) + "/quillon.exe", other / std::string(300, 'n') + ".ZIP",
                           other.path()));
  DialogWatcher watcher(second.id, DialogWatcher::kAnyThread);
  EXPECT_TRUE(PumpUntil([&] { return !second.Running(); }, 30000));
  EXPECT_EQ(0, second.Wait(1000));
  ASSERT_EQ(1u, watcher.Seen().size());
  EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("too long"));
  EXPECT_TRUE(OpenedWindows().empty()) << "the first instance is not disturbed";
  EXPECT_EQ(before, qltest::CurrentDirectory());
}

}  // namespace
