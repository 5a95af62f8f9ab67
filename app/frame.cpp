#include "app/frame.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "app/dispatch.h"
#include "app/drop_dispatch.h"
#include "app/help_window.h"
#include "app/settings.h"
#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "app/startup.h"
#include "app/startup_trace.h"
#include "app/archive_ops.h"
#include "app/file_commands.h"
#include "app/run_commands.h"
#include "app/user_menu_commands.h"
#include "app/mail_commands.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "common/text_and_paths.h"
#include "engine/dialogs_win.h"
#include "engine/switches_win.h"
#include "resources/ids.h"

namespace ql {

HMENU g_managerMenu = nullptr;
bool g_startupComplete = false;
char* g_mailSubject = nullptr;
char* g_mailNote = nullptr;

namespace {

constexpr UINT kFirstChildId = 5100;  // the browser windows listed in the Window menu

template <typename T>
void FreeBlock(T*& block) {
  if (block) GlobalFree(block);
  block = nullptr;
}

bool MdiClientShown() { return g_mdiClient && (GetWindowLongA(g_mdiClient, GWL_STYLE) & WS_VISIBLE); }

// ---- menus ----

void RebuildUserPopup(HMENU popup, const char* section, const char* stem, int count, UINT firstCommand) {
  if (!popup) return;
  while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
  if (!IniSectionHasLines(section)) return;  // every entry would read empty
  for (int n = 1; n <= count; ++n) {
    std::string key = std::string(stem) + std::to_string(n);
    std::string text = IniString(section, key.c_str(), "", 129);
    if (!text.empty()) AppendMenuA(popup, MF_STRING, firstCommand + n - 1, text.c_str());
  }
}

}  // namespace

int ManagerMenuShift(HMENU menu) {
  HMENU first = GetSubMenu(menu, 0);
  return first && GetMenuState(first, IDM_NEW_ARCHIVE, MF_BYCOMMAND) != static_cast<UINT>(-1) ? 0 : 1;
}

namespace {

// The Applications and Macros popups of the Manager menu.
void RebuildUserMenus(HMENU menu) {
  if (!menu) return;
  const int shift = ManagerMenuShift(menu);
  RebuildUserPopup(GetSubMenu(menu, MANAGER_POS_APPLICATIONS + shift), "Menu Text", "App", 16, IDM_APP_FIRST);
  RebuildUserPopup(GetSubMenu(menu, MANAGER_POS_MACROS + shift), "Macro Desc", "Macro", 36, IDM_MACRO_FIRST);
}

// The browser windows' totals belong to Manager mode; Express mode keeps those panes empty.
void BrowserPaneText(int pane, const char* text) {
  if (!g_managerMode && (pane == IDC_PANE_DIR_TOTALS || pane == IDC_PANE_ARCHIVE_TOTALS)) return;
  SetPaneText(pane, text);
}

// What the browser windows take from the frame: fonts, icons, the panes, the bars, the view of a member.
void ConnectBrowserHost() {
  BrowserHost& h = g_browserHost;
  h.instance = GetModuleHandleA(nullptr);
  h.mdiClient = g_mdiClient;
  h.listFont = ListFontHandle();
  if (g_listLineHeight > 0) h.lineHeight = g_listLineHeight;
  if (g_listCharWidth > 0) h.charWidth = g_listCharWidth;
  h.zipIcon = g_res.zipIcon;
  h.arjIcon = g_res.arjIcon;
  h.noArchiveIcon = g_res.noArchiveIcon;
  h.setPaneText = BrowserPaneText;
  h.selectDrive = SelectDrive;
  h.enableParentButton = EnableParentButton;
  h.barHeight = BarHeight;
  h.viewMember = [](HWND browser, const char* line) { ViewMemberLine(browser, line); };
  h.showHelp = [](HWND owner, unsigned context) { ShowHelp(owner, HelpAction::Context, context); };
  ConnectDropHost(h);
}

// ---- creation: the start-up load ----

bool AllocateFrameBlocks() {
  g_confirmFlags = 0;
  if (!AllocateWindowTable()) return false;
  g_mailSubject = static_cast<char*>(GlobalAlloc(GPTR, 514));
  g_mailNote = static_cast<char*>(GlobalAlloc(GPTR, 4098));
  return g_mailSubject && g_mailNote && AllocateSettings();
}

void FreeFrameBlocks() {
  FreeBlock(g_mailSubject);
  FreeBlock(g_mailNote);
  FreeWindowTable();
}

void CreateMdiClient(HWND frame, bool shown) {
  CLIENTCREATESTRUCT ccs = {};
  ccs.hWindowMenu = g_managerMenu ? GetSubMenu(g_managerMenu, MANAGER_POS_WINDOW) : nullptr;
  ccs.idFirstChild = kFirstChildId;
  DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_BORDER | (shown ? WS_VISIBLE : 0);
  g_mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, style, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_MDI_CLIENT)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE)), &ccs);
}

void CreateWorkDirectory() {
  const char* work = g_settings->WorkDirectory;
  if (!CreateDirectoryPath(work)) CreateDirectoryA(work, nullptr);
}

void SendSizeMessage(HWND frame) {
  RECT rc;
  GetClientRect(frame, &rc);
  WPARAM state = IsIconic(frame) ? SIZE_MINIMIZED : IsZoomed(frame) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessageA(frame, WM_SIZE, state, MAKELPARAM(rc.right, rc.bottom));
}

// The first instance's own command line: an archive to open, or a plain window when it is empty.
void TakeCommandLine(HWND frame) {
  switch (ClassifyStartPath(g_commandLineBuffer)) {
    case StartRequest::Zip:
      OpenBrowserWindow(g_commandLineBuffer, kArchiveTypeZip, "*.*", "*.*");
      break;
    case StartRequest::Arj:
      OpenBrowserWindow(g_commandLineBuffer, kArchiveTypeArj, "*.*", "*.*");
      break;
    case StartRequest::None:
      if (!g_activeBrowser) OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
      break;
    case StartRequest::Invalid:
      ShowStringMessage(frame, IDS_INVALID_ARCHIVE_NAME);
      g_commandLineBuffer[0] = '\0';
      if (!g_activeBrowser) OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
      break;
  }
}

// What DragAcceptFiles does, without loading the shell library at start-up for it: the frame takes
// WM_DROPFILES while it carries WS_EX_ACCEPTFILES.
void AcceptDroppedFiles(HWND frame, bool accept) {
  LONG_PTR style = GetWindowLongPtrA(frame, GWL_EXSTYLE);
  style = accept ? (style | WS_EX_ACCEPTFILES) : (style & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES));
  SetWindowLongPtrA(frame, GWL_EXSTYLE, style);
}

bool OnCreate(HWND frame) {
  TraceStartup("creation handler");
  AcceptDroppedFiles(frame, true);
  g_frame = frame;
  g_managerMenu = GetMenu(frame);
  g_startupComplete = false;
  if (!AllocateFrameBlocks()) {
    ShowStringMessage(nullptr, IDS_NO_MEMORY);
    FreeFrameBlocks();
    FreeSettings();
    return false;
  }
  LoadProgramPaths();
  LoadUtilityPrograms();
  LoadDirectories();
  if (!RunnerExists()) {
    ShowStringMessageArg(frame, IDS_FILE_MISSING, g_settings->RunnerPath, MB_OK | MB_ICONSTOP);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return true;
  }
  LoadHelpFilePath();
  InstallHelpWindow();
  LoadArchiveSwitches();
  LoadConfirmations();
  ConnectFileOps();
  ConnectRunCommands();
  ConnectUserMenus();
  LoadBarFlags();
  TraceStartup("settings read");
  if (g_managerMenu) {
    CheckMenuItem(g_managerMenu, IDM_SHOW_TOOLBAR, MF_BYCOMMAND | (g_showToolbar ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(g_managerMenu, IDM_SHOW_DRIVE_BAR, MF_BYCOMMAND | (g_showDriveBar ? MF_CHECKED : MF_UNCHECKED));
  }
  RebuildUserMenus(g_managerMenu);
  UINT zipOptions = MF_BYCOMMAND | (UsePkzipSetting() ? MF_ENABLED : MF_GRAYED);
  if (g_managerMenu) EnableMenuItem(g_managerMenu, IDM_ZIP_OPTIONS, zipOptions);
  if (g_res.expressMenu) EnableMenuItem(g_res.expressMenu, IDM_EX_ZIP_OPTIONS, zipOptions);
  DrawMenuBar(frame);
  LoadItemBitmaps();
  LoadListFont(frame);
  std::string mode = IniString("switches", "Mode", "Manager", 16);
  CreateMdiClient(frame, EqualNoCase(mode, "Manager"));
  ConnectBrowserHost();
  ApplyListFontToBrowsers();
  BarOptions bars;
  bars.showToolbar = g_showToolbar;
  bars.showDriveBar = g_showDriveBar;
  bars.driveBoxFont = DriveBoxFontHandle();
  bars.letterFont = BarFontHandle();
  CreateBars(frame, bars);
  TraceStartup("bars created");
  CreateWorkDirectory();
  GreyMailItems(false);
  SwitchMode(frame, ChooseStartMode(mode, g_commandLineBuffer[0] != '\0') == Mode::Express);
  RegisterArchiveAssociation();
  LoadSaveArchiveNames();
  SendSizeMessage(frame);
  if (g_confirmFlags & kSaveArchiveNames) RestoreBrowserWindows(g_settings->IniPath);
  if (g_managerMode && g_mdiClient) {
    ShowWindow(g_mdiClient, SW_SHOW);
    UpdateWindow(g_mdiClient);
  }
  TraceStartup("mode chosen and windows restored");
  TakeCommandLine(frame);
  TraceStartup("command line taken");
  g_startupComplete = true;
  return true;
}

// ---- messages ----

void OnSize(HWND frame, int width, int height) { LayoutFrame(frame, width, height); }

void OnPaint(HWND frame) {
  TraceStartup("frame paint");
  ValidateRect(frame, nullptr);
  for (HWND bar : {g_toolBar, g_buttonBar, g_statusBar})
    if (bar && IsWindowVisible(bar)) InvalidateRect(bar, nullptr, TRUE);
  if (MdiClientShown()) {
    InvalidateRect(g_mdiClient, nullptr, TRUE);
    if (g_activeBrowser) InvalidateRect(g_activeBrowser, nullptr, TRUE);
  }
  if (g_statusBar)
    for (int pane : {IDC_PANE_HINT, IDC_PANE_DIR_TOTALS, IDC_PANE_MODE, IDC_PANE_ARCHIVE_TOTALS})
      if (HWND h = GetDlgItem(g_statusBar, pane)) InvalidateRect(h, nullptr, TRUE);
}

// WIN.INI changes: only the Extensions section matters, for the pictures of associated files.
void OnSettingChange(LPARAM l) {
  const char* section = reinterpret_cast<const char*>(l);
  if (!section || lstrcmpiA(section, "Extensions") != 0) return;
  RebuildAssociations();
  for (int i = 0; g_windowTable && i < kMaxWindows; ++i) {
    const WindowRecord& r = g_windowTable[i];
    if (!r.hwndChild) continue;
    InvalidateRect(r.hwndDirList, nullptr, TRUE);
    InvalidateRect(r.hwndArchiveList, nullptr, TRUE);
  }
}

void OnActivate(WPARAM w) {
  if (LOWORD(w) != WA_INACTIVE && g_activeBrowser) MakeActiveBrowserDirectoryCurrent();
}

bool CommandShellOpen() {
  const char* title = "Quillon Command Shell";
  return FindWindowA("ConsoleWindowClass", title) || FindWindowA("WineConsoleClass", title);
}

void OnClose(HWND frame) {
  if (CommandShellOpen()) {
    ShowStringMessage(frame, IDS_SHELL_OPEN);
    return;
  }
  LogOffMailAtClose(frame);
  // A frame whose start ended early (no runner) has nothing of its own to save.
  if (g_startupComplete) {
    if (g_confirmFlags & kSaveArchiveNames) SaveBrowserWindows(g_settings->IniPath);
    CloseAllBrowserWindows();
    SaveFramePlacement(frame);
  }
  DestroyWindow(frame);
}

void OnDestroy(HWND frame) {
  AcceptDroppedFiles(frame, false);
  CloseHelpWindow();
  ReleaseToolBarImages();
  FreeFrameBlocks();
  // The menu not attached to the frame is not destroyed with it.
  HMENU attached = GetMenu(frame);
  for (HMENU* menu : {&g_managerMenu, &g_res.expressMenu}) {
    if (*menu && *menu != attached) DestroyMenu(*menu);
    *menu = nullptr;
  }
  FreeItemBitmaps();
  ReleaseItemMeasurer();
  ReleaseDialogObjects();
  if (g_settings) {
    CleanScratchDir(g_settings->WorkDirectory);
    RemoveDirectoryTree(g_settings->WorkDirectory);
  }
  FreeSettings();
  g_mdiClient = nullptr;
  g_frame = nullptr;
  g_startupComplete = false;
  PostQuitMessage(0);
}

// Commands without a handler of the frame go to the active browser window, then to the MDI default
// handling (which activates the windows listed in the Window menu).
LRESULT ForwardCommand(HWND frame, WPARAM w, LPARAM l) {
  if (LOWORD(w) < kFirstChildId && g_mdiClient) {
    HWND child = reinterpret_cast<HWND>(SendMessageA(g_mdiClient, WM_MDIGETACTIVE, 0, 0));
    if (child) SendMessageA(child, WM_COMMAND, w, l);
  }
  return DefFrameProcA(frame, g_mdiClient, WM_COMMAND, w, l);
}

LRESULT OnCommand(HWND frame, WPARAM w, LPARAM l) {
  LRESULT done = DispatchFrameCommand(frame, w, l);
  return done != -1 ? done : ForwardCommand(frame, w, l);
}

// The first instance's side of the hand-over: the second instance waits in SendMessage meanwhile.
LRESULT OnHandOver(HWND frame) {
  HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, kHandOverMapping);
  if (!map) {
    ShowStringMessage(frame, IDS_NEED_ARCHIVE_FILE);
    return 0;
  }
  const char* view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, kHandOverSize));
  if (!view) {
    CloseHandle(map);
    ShowStringMessage(frame, IDS_NEED_ARCHIVE_FILE);
    return 0;
  }
  if (IsIconic(frame))
    ShowWindow(frame, SW_RESTORE);
  else
    SetActiveWindow(frame);
  SetForegroundWindow(frame);
  std::string path = CommandLinePath(std::string(view, strnlen(view, kHandOverSize - 1)));
  UnmapViewOfFile(view);
  CloseHandle(map);
  if (!CommandLineFits(path)) {  // our own second start refuses such a line before handing it over
    RefuseLongCommandLine(frame, path);
    return 0;
  }
  lstrcpynA(g_commandLineBuffer, path.c_str(), sizeof g_commandLineBuffer);
  if (!path.empty()) {
    std::string dir = DirectoryPartOf(path);
    if (!dir.empty()) SetCurrentDirAndDrive(dir.c_str());
  }
  switch (ClassifyHandedPath(path)) {
    case StartRequest::Zip: OpenBrowserWindow(path.c_str(), kArchiveTypeZip, "*.*", "*.*"); break;
    case StartRequest::Arj: OpenBrowserWindow(path.c_str(), kArchiveTypeArj, "*.*", "*.*"); break;
    default: break;
  }
  return 1;
}

}  // namespace

void GreyMailItems(bool includingLogOn) {
  const UINT items[] = {IDM_MAIL_LOGON,     IDM_MAIL_LOGOFF, IDM_MAIL_SEND,  IDM_MAIL_FIND_FIRST,
                        IDM_MAIL_FIND_NEXT, IDM_MAIL_READ,   IDM_MAIL_DELETE};
  for (UINT id : items) {
    if (id == IDM_MAIL_LOGON && !includingLogOn) continue;
    for (HMENU menu : {g_managerMenu, g_res.expressMenu})
      if (menu) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  }
}

// ---- modes and layout ----

void SwitchMode(HWND window, bool toExpress) {
  HWND frame = window;
  if (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) frame = GetAncestor(frame, GA_ROOT);
  if (!frame || !(GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION)) return;
  g_managerMode = !toExpress;

  HMENU menu = toExpress ? g_res.expressMenu : g_managerMenu;
  if (g_mdiClient && menu) {
    // The Window popup is taken where it stands now; setting the menu may put a maximised
    // window's system menu in front of it.
    HMENU windowMenu = toExpress ? nullptr : GetSubMenu(menu, MANAGER_POS_WINDOW + ManagerMenuShift(menu));
    SendMessageA(g_mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), reinterpret_cast<LPARAM>(windowMenu));
    if (GetMenu(frame) != menu) return;
  } else if (menu) {
    if (!SetMenu(frame, menu)) return;
  }

  bool progress = g_switches.viewArchiveProgress;
  if (toExpress) {
    g_currentAccel = g_res.expressAccel;
    if (g_res.expressMenu)
      CheckMenuItem(g_res.expressMenu, IDM_EX_ARCHIVE_PROGRESS, MF_BYCOMMAND | (progress ? MF_CHECKED : MF_UNCHECKED));
    // The focus leaves the browser windows before they are hidden: keys go to the frame.
    HWND focus = GetFocus();
    if (g_mdiClient && focus && (focus == g_mdiClient || IsChild(g_mdiClient, focus))) SetFocus(frame);
    if (MdiClientShown()) {
      for (HWND bar : {g_toolBar, g_buttonBar}) if (bar) ShowWindow(bar, SW_HIDE);
      ShowWindow(g_mdiClient, SW_HIDE);
    }
    SetPaneText(IDC_PANE_MODE, "Express Mode");
    for (int pane : {IDC_PANE_HINT, IDC_PANE_DIR_TOTALS, IDC_PANE_ARCHIVE_TOTALS}) SetPaneText(pane, "");
    SetModeSetting(false);
  } else {
    g_currentAccel = g_res.managerAccel;
    if (g_managerMenu)
      CheckMenuItem(g_managerMenu, IDM_ARCHIVE_PROGRESS, MF_BYCOMMAND | (progress ? MF_CHECKED : MF_UNCHECKED));
    if (g_mdiClient && !MdiClientShown()) {
      if (g_toolBar && g_showToolbar) ShowWindow(g_toolBar, SW_SHOW);
      if (g_buttonBar && g_showDriveBar) ShowWindow(g_buttonBar, SW_SHOW);
      ShowWindow(g_mdiClient, SW_SHOW);
    }
    if (g_mdiClient && GetFocus() == frame) SetFocus(g_mdiClient);
    RebuildUserMenus(g_managerMenu);
    SetPaneText(IDC_PANE_MODE, "Manager Mode");
    // The totals panes stayed empty in Express mode.
    ShowDirectoryTotals(g_activeBrowser);
    ShowArchiveTotals(g_activeBrowser);
    SetModeSetting(true);
  }
  SetWindowTextA(frame, toExpress ? "Quillon - Express Mode" : "Quillon - Manager Mode");
  DrawMenuBar(frame);
  SendSizeMessage(frame);
}

void LayoutFrame(HWND, int width, int height) {
  int t = BarHeight();
  int s = g_listLineHeight + 8;
  int n = (g_showToolbar ? 1 : 0) + (g_showDriveBar ? 1 : 0);
  if (height < n * t + s) return;
  // The client keeps its Manager size while Express mode hides it, so that windows opened
  // meanwhile come up at a usable size.
  if (g_mdiClient) MoveWindow(g_mdiClient, 0, n * t + 1, width, height - n * t - s - 1, MdiClientShown());
  if (g_managerMode) {
    if (g_toolBar && g_showToolbar) SendMessageA(g_toolBar, WM_SIZE, 0, 0);
    if (g_buttonBar && g_showDriveBar) MoveWindow(g_buttonBar, 0, g_showToolbar ? t : 0, width, t, TRUE);
  }
  if (g_statusBar) {
    MoveWindow(g_statusBar, 0, height - s, width, s, TRUE);
    RECT rc;
    GetClientRect(g_statusBar, &rc);
    int w = rc.right, h = rc.bottom, w2 = w - w / 8;
    const int panes[3] = {IDC_PANE_HINT, IDC_PANE_DIR_TOTALS, IDC_PANE_ARCHIVE_TOTALS};
    const int lefts[3] = {3, w2 / 3, 2 * w2 / 3};
    for (int i = 0; i < 3; ++i) {
      HWND pane = GetDlgItem(g_statusBar, panes[i]);
      if (pane) MoveWindow(pane, lefts[i], 3, w2 / 3 - 10, h - 6, TRUE);
    }
    if (HWND mode = GetDlgItem(g_statusBar, IDC_PANE_MODE)) MoveWindow(mode, w - w / 8 - 6, 3, w / 8, h - 6, TRUE);
    if (g_managerMode && !g_activeBrowser) {
      ShowDirectoryTotals(nullptr);
      ShowArchiveTotals(nullptr);
    }
  }
  if (g_managerMode) {
    for (HWND bar : {g_toolBar, g_buttonBar}) {
      bool wanted = bar == g_toolBar ? g_showToolbar : g_showDriveBar;
      if (bar) ShowWindow(bar, wanted ? SW_SHOW : SW_HIDE);
    }
  } else {
    if (g_toolBar) ShowWindow(g_toolBar, SW_HIDE);
    if (MdiClientShown()) ShowWindow(g_mdiClient, SW_HIDE);
  }
}

LRESULT CALLBACK FrameWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE: return OnCreate(h) ? 0 : -1;
    case WM_SIZE: OnSize(h, LOWORD(l), HIWORD(l)); return 0;
    case WM_PAINT: OnPaint(h); return 0;
    case WM_ACTIVATE: OnActivate(w); break;
    case WM_SETFOCUS:
      // In Express mode the frame keeps the focus; the default would pass it on to the hidden
      // browser window.
      if (!g_managerMode) return 0;
      break;
    case WM_CLOSE: OnClose(h); return 0;
    case WM_DESTROY: OnDestroy(h); return 0;
    case WM_COMMAND: return OnCommand(h, w, l);
    case kHandOverMessage: return OnHandOver(h);
    case WM_MENUSELECT: OnFrameMenuSelect(LOWORD(w), HIWORD(w)); break;
    case WM_NOTIFY: return OnFrameNotify(h, l);
    case WM_KEYDOWN: OnFrameKeyDown(h, w); break;
    case WM_HELP: OnFrameHelp(h, reinterpret_cast<const HELPINFO*>(l)); return TRUE;
    case WM_ENTERIDLE: OnFrameEnterIdle(h, w, l); break;
    case WM_MOUSEMOVE: OnFrameMouseMove(); break;
    case WM_DROPFILES: OnFrameDropFiles(h, reinterpret_cast<HDROP>(w)); return 0;
    case WM_WININICHANGE: OnSettingChange(l); break;
    case WM_DRAWITEM:
      if (w == IDC_DRIVE_BOX) {
        DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        return TRUE;
      }
      break;
    case WM_MEASUREITEM:
      if (w == IDC_DRIVE_BOX) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = ItemHeight();
        return TRUE;
      }
      break;
    default: break;
  }
  return DefFrameProcA(h, g_mdiClient, m, w, l);
}

}  // namespace ql
