#include "app/dispatch.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/archive_ops.h"
#include "app/drop_dispatch.h"
#include "app/express_commands.h"
#include "app/file_commands.h"
#include "app/transform_ops.h"
#include "app/frame.h"
#include "app/mail_commands.h"
#include "app/menu_help.h"
#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "app/options_dialogs.h"
#include "app/print_commands.h"
#include "app/run_commands.h"
#include "app/user_menu_commands.h"
#include "app/virus_commands.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/drag_win.h"
#include "common/shared_win.h"
#include "engine/dialogs_win.h"
#include "engine/switches_win.h"
#include "fileops/file_ops_win.h"
#include "common/mask.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

unsigned g_helpContext = 0;
char g_chosenFile[121];

namespace {

constexpr const char* kCaption = "Quillon";

std::string PaneText(int pane) {
  char buf[256] = "";
  if (g_statusBar) GetDlgItemTextA(g_statusBar, pane, buf, sizeof buf);
  return buf;
}

WindowRecord* Active() { return RecordOf(g_activeBrowser); }

HWND FocusedList() {
  WindowRecord* r = Active();
  if (!r) return nullptr;
  return r->hwndFocusList && IsWindow(r->hwndFocusList) ? r->hwndFocusList : r->hwndDirList;
}

bool HasSelection(HWND list) { return list && SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0; }


void PostSize(HWND frame) {
  RECT rc;
  GetClientRect(frame, &rc);
  WPARAM state = IsIconic(frame) ? SIZE_MINIMIZED : IsZoomed(frame) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  PostMessageA(frame, WM_SIZE, state, MAKELPARAM(rc.right, rc.bottom));
}

void ToggleBar(HWND frame, UINT id, bool* flag, const char* key) {
  *flag = !*flag;
  if (g_managerMenu) CheckMenuItem(g_managerMenu, id, MF_BYCOMMAND | (*flag ? MF_CHECKED : MF_UNCHECKED));
  IniWriteOnOff("switches", key, *flag);
  PostSize(frame);
}

void ToggleProgress(HWND frame) {
  bool on = !g_switches.viewArchiveProgress;
  for (auto [menu, id] : {std::pair<HMENU, UINT>{g_managerMenu, IDM_ARCHIVE_PROGRESS},
                          std::pair<HMENU, UINT>{g_res.expressMenu, IDM_EX_ARCHIVE_PROGRESS}})
    if (menu) CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  IniWriteOnOff("switches", "ViewArchiveProgress", on);
  g_switches.viewArchiveProgress = on;
  PostSize(frame);
}

void SelectAllOn(HWND list) {
  if (!g_activeBrowser || !list) return;
  SelectAllToggle(g_activeBrowser, list);
}

void DeleteSelection(HWND frame, HWND list) {
  if (!g_activeBrowser || !list) return;
  if (!HasSelection(list)) {
    ShowStringMessage(frame, IDS_NO_SELECTION);
    return;
  }
  WindowRecord* r = Active();
  if (r && list == r->hwndArchiveList) {
    DeleteArchiveSelection(frame, g_activeBrowser);
    return;
  }
  DeleteWithTrashCan(frame, list);
}

void PickUp(HWND frame, bool move) {
  SetPaneText(IDC_PANE_HINT, LoadText(move ? IDS_PICK_MOVE : IDS_PICK_ADD).c_str());
  HWND list = FocusedList();
  if (!HasSelection(list)) {
    ShowStringMessage(frame, IDS_NO_SELECTION);
    return;
  }
  StartPickUp(frame, list, move);
}

void RefreshActive() {
  WindowRecord* r = Active();
  if (!r) return;
  FillDirectoryList(SlotOf(g_activeBrowser));
  if (r->archivePath[0]) RefreshArchiveWindow(SlotOf(g_activeBrowser));
  InvalidateRect(g_activeBrowser, nullptr, TRUE);
}

void CloseAll() {
  CloseAllBrowserWindows();
  OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
}

// Select Files By Type: patterns select or deselect items of the focused list.
INT_PTR CALLBACK SelByTypeProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kSelectByType)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, l);
      SendDlgItemMessageA(d, IDC_SELBYTYPE_EDIT, EM_LIMITTEXT, 64, 0);
      PlaceDialog(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDC_SELBYTYPE_SELECT || LOWORD(w) == IDC_SELBYTYPE_DESELECT) {
        char text[65] = "";
        GetDlgItemTextA(d, IDC_SELBYTYPE_EDIT, text, sizeof text);
        HWND list = reinterpret_cast<HWND>(GetWindowLongPtrA(d, DWLP_USER));
        if (list) SelectByPatterns(list, text, LOWORD(w) == IDC_SELBYTYPE_SELECT);
        EndDialog(d, LOWORD(w));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

void SelectFilesByType(HWND frame) {
  HWND list = FocusedList();
  if (!list) return;
  RunDialog(frame, "SelByType", SelByTypeProc, reinterpret_cast<LPARAM>(list));
}

INT_PTR CALLBACK AboutProc(HWND d, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
        EndDialog(d, LOWORD(w));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// Makes the directory part of `path` current.
void MakeDirectoryOfCurrent(const char* path) {
  std::string dir(path);
  size_t slash = dir.find_last_of('\\');
  if (slash == std::string::npos) return;
  dir.resize(slash == 2 && dir[1] == ':' ? 3 : slash);
  SetCurrentDirAndDrive(dir.c_str());
}

}  // namespace

bool OpenArchiveByName(const char* path) {
  if (MatchFileMask(path, "*.ZIP") || (MatchFileMask(path, "*.EXE") && FileHoldsZip(path)))
    return OpenBrowserWindow(path, kArchiveTypeZip, "*.*", "*.*") != nullptr;
  if (MatchFileMask(path, "*.ARJ") || MatchFileMask(path, "*.A0?"))
    return OpenBrowserWindow(path, kArchiveTypeArj, "*.*", "*.*") != nullptr;
  return false;
}

bool ChooseArchiveFile(HWND frame, const char* startDir) {
  char file[MAX_PATH] = "";
  std::string start = startDir && *startDir ? startDir : CurrentDirectory();
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = g_frame ? g_frame : frame;
  ofn.lpstrFilter = "Archives *Arj *.Zip *.Exe\0*.arj;*.zip;*.exe\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = start.c_str();
  ofn.lpstrTitle = "Select An Archive File";
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NODEREFERENCELINKS | OFN_LONGNAMES | OFN_PATHMUSTEXIST |
              OFN_FILEMUSTEXIST;
  g_chosenFile[0] = 0;
  if (!GetOpenFileNameA(&ofn)) {
    g_cancelled = true;
    return false;
  }
  g_cancelled = false;
  if (std::strlen(file) >= sizeof g_chosenFile) {
    // A longer path would be cut into another name.
    ShowStringMessage(frame, IDS_NEED_ARCHIVE_FILE);
    return false;
  }
  lstrcpynA(g_chosenFile, file, sizeof g_chosenFile);
  return true;
}

LRESULT DispatchFrameCommand(HWND frame, WPARAM w, LPARAM l) {
  const UINT id = LOWORD(w);
  const UINT code = HIWORD(w);
  if (DispatchUserMenuCommand(frame, id)) return 0;
  // Notifications of the bars' controls.
  if (id == IDC_DRIVE_BOX && l) {
    if (code == CBN_SELCHANGE) {
      HWND box = reinterpret_cast<HWND>(l);
      LRESULT i = SendMessageA(box, CB_GETCURSEL, 0, 0);
      char item[16] = "";
      if (i != CB_ERR && SendMessageA(box, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof item)) {
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        ChangeDriveFromBox(item);
      }
    }
    return 0;
  }
  if (id == IDM_SELECT_ALL_FOCUSED) {
    SelectAllOn(FocusedList());
    return 0;
  }

  if (DispatchArchiveCommand(frame, id)) return 0;
  if (DispatchFileCommand(frame, id)) return 0;
  if (DispatchTransformCommand(frame, id)) return 0;
  if (DispatchOptionsCommand(frame, id)) return 0;
  if (DispatchPrintCommand(frame, id)) return 0;
  if (DispatchRunCommand(frame, id)) return 0;
  if (DispatchMailAndShellCommand(frame, id)) return 0;
  if (DispatchExpressCommand(frame, id)) return 0;
  if (DispatchVirusCommand(frame, id)) return 0;
  WindowRecord* r = Active();
  switch (id) {
    case IDM_EXIT:
    case IDM_EX_EXIT:
      PostMessageA(frame, WM_CLOSE, 0, 0);
      return 0;
    case IDM_SELECT_ALL_FILES:  // 903, File menu: the directory list
      if (r) SelectAllOn(r->hwndDirList);
      return 0;
    case IDM_SELECT_ALL_MEMBERS:  // 913, Edit menu: the archive list
      if (r) SelectAllOn(r->hwndArchiveList);
      return 0;
    case IDM_DELETE_MEMBERS:
      if (r) DeleteSelection(frame, r->hwndArchiveList);
      return 0;
    case IDM_DELETE_FILES:
      if (r) DeleteSelection(frame, r->hwndDirList);
      return 0;
    case IDM_DELETE_FOCUSED:
      if (r) DeleteSelection(frame, FocusedList());
      return 0;
    case IDM_ADD:
      PickUp(frame, false);
      return 0;
    case IDM_MOVE:
      PickUp(frame, true);
      return 0;
    case IDM_RENAME:
      if (!r) return 0;
      if (!HasSelection(FocusedList())) {
        ShowStringMessage(frame, IDS_NO_SELECTION);
        return 0;
      }
      RenameCommand(frame);
      return 0;
    case IDM_DELETE_DIR:
      if (r && HasSelection(FocusedList())) DeleteSelectedDirectories(frame, g_activeBrowser);
      return 0;
    case IDM_OPEN:
      if (ChooseArchiveFile(frame)) OpenArchiveByName(g_chosenFile);
      return 0;
    case IDM_SHOW_TOOLBAR:
      ToggleBar(frame, IDM_SHOW_TOOLBAR, &g_showToolbar, "Toolbar");
      return 0;
    case IDM_SHOW_DRIVE_BAR:
      ToggleBar(frame, IDM_SHOW_DRIVE_BAR, &g_showDriveBar, "Drivebar");
      return 0;
    case IDM_ARCHIVE_PROGRESS:
    case IDM_EX_ARCHIVE_PROGRESS:
      ToggleProgress(frame);
      return 0;
    case IDM_MODE_EXPRESS:
      SwitchMode(frame, true);
      return 0;
    case IDM_EX_MODE_MANAGER:
      SwitchMode(frame, false);
      return 0;
    case IDM_MODE_MANAGER:
    case IDM_EX_MODE_EXPRESS:
      return 0;
    case IDM_CASCADE:
      if (g_managerMode && g_mdiClient) SendMessageA(g_mdiClient, WM_MDICASCADE, 0, 0);
      return 0;
    case IDM_TILE:
    case IDM_TILE_VERTICALLY:
      if (g_managerMode && g_mdiClient) SendMessageA(g_mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
      return 0;
    case IDM_TILE_HORIZONTALLY:
      if (g_managerMode && g_mdiClient) SendMessageA(g_mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
      return 0;
    case IDM_ARRANGE_ICONS:
      if (g_managerMode && g_mdiClient) SendMessageA(g_mdiClient, WM_MDIICONARRANGE, 0, 0);
      return 0;
    case IDM_NEW_WINDOW:
      OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
      return 0;
    case IDM_REFRESH:
      RefreshActive();
      return 0;
    case IDM_CLOSE_ALL:
      CloseAll();
      return 0;
    case IDM_CLEAR_ARCHIVE: {
      // A refresh that found its archive gone names its window; the button clears the active one.
      HWND window = l && RecordOf(reinterpret_cast<HWND>(l)) ? reinterpret_cast<HWND>(l) : g_activeBrowser;
      if (window) ClearArchiveWindow(window);
      return 0;
    }
    case IDM_ABOUT:
      RunDialog(frame, "ABOUTBOX", AboutProc, 0);
      return 0;
    case IDM_PARENT_DIR:
      if (g_activeBrowser) GoToParentDirectory(g_activeBrowser);
      return 0;
    case IDM_LONG_NAMES:
      SetNameDisplay(0);
      return 0;
    case IDM_SHORT_NAMES:
      SetNameDisplay(1);
      return 0;
    case IDM_SELECT_FILES:
      SelectFilesByType(frame);
      return 0;
    case IDM_HELP_CONTENTS:
      ShowHelp(frame, HelpAction::Contents, help::kContents);
      return 0;
    case IDM_HELP_SEARCH:
      ShowHelp(frame, HelpAction::Search);
      return 0;
    case IDM_HELP_ON_HELP:
      ShowHelp(frame, HelpAction::HowToUse, help::kHowToUseHelp);
      return 0;
    default:
      break;
  }
  return -1;
}

void OnFrameMenuSelect(UINT item, UINT flags) {
  if (flags == 0xFFFF) return;  // the menu closed
  MenuHelp h{};
  if (!(flags & MF_POPUP) && MenuHelpFor(item, &h)) {
    SetPaneText(IDC_PANE_HINT, LoadText(h.string).c_str());
    g_helpContext = h.context;
  } else {
    SetPaneText(IDC_PANE_HINT, LoadText(IDS_READY).c_str());
  }
}

LRESULT OnFrameNotify(HWND, LPARAM l) {
  NMHDR* hdr = reinterpret_cast<NMHDR*>(l);
  if (hdr->code == TTN_NEEDTEXTA) {
    NMTTDISPINFOA* tip = reinterpret_cast<NMTTDISPINFOA*>(l);
    // The trash can is a window of its own in the tool bar: its tip names what it does.
    const bool trashCan = (tip->uFlags & TTF_IDISHWND) && g_trashCan &&
                          reinterpret_cast<HWND>(hdr->idFrom) == g_trashCan;
    unsigned id = trashCan ? IDS_HINT_DELETE : ToolTipStringFor(static_cast<unsigned>(hdr->idFrom));
    if (!id) return 0;
    std::string text = LoadText(id);
    if (text.size() > 79) text.resize(79);
    lstrcpynA(tip->szText, text.c_str(), sizeof tip->szText);
    tip->lpszText = tip->szText;
    if (PaneText(IDC_PANE_HINT) != text) SetPaneText(IDC_PANE_HINT, text.c_str());
    return 0;
  }
  if (hdr->code == TTN_POP) SetPaneText(IDC_PANE_HINT, LoadText(IDS_READY).c_str());
  return 0;
}

void OnFrameKeyDown(HWND frame, WPARAM key) {
  if (key == VK_F1) ShowHelp(frame, HelpAction::Context, g_helpContext);
}

void OnFrameHelp(HWND frame, const HELPINFO* info) {
  // F1 on a control of the tool bar or the drive bar climbs to the frame: help on the bars.
  HWND from = info && info->iContextType == HELPINFO_WINDOW ? static_cast<HWND>(info->hItemHandle) : nullptr;
  auto within = [from](HWND bar) { return bar && from && (from == bar || IsChild(bar, from)); };
  ShowHelp(frame, HelpAction::Context, within(g_toolBar) || within(g_buttonBar) ? help::kBars : g_helpContext);
}

void OnFrameEnterIdle(HWND frame, WPARAM source, LPARAM window) {
  if (GetKeyState(VK_F1) >= 0) return;
  if (source == MSGF_MENU) {
    ShowHelp(frame, HelpAction::Context, g_helpContext);
  } else if (source == MSGF_DIALOGBOX && window) {
    PostMessageA(reinterpret_cast<HWND>(window), WM_KEYDOWN, VK_F1, 0);
  }
}

void OnFrameMouseMove() {
  std::string ready = LoadText(IDS_READY);
  if (lstrcmpiA(PaneText(IDC_PANE_HINT).c_str(), ready.c_str()) != 0) SetPaneText(IDC_PANE_HINT, ready.c_str());
}

void OnFrameDropFiles(HWND frame, HDROP drop) {
  POINT pt{};
  DragQueryPoint(drop, &pt);
  ClientToScreen(frame, &pt);
  HWND target = WindowFromPoint(pt);
  std::string listPath = std::string(g_settings ? g_settings->WorkDirectory : "") + "\\ql5files";
  HANDLE listFile = CreateFileA(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (listFile == INVALID_HANDLE_VALUE) {
    MessageBeep(0);
    DragFinish(drop);
    return;
  }
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  int listed = 0;
  std::string first, last;
  for (UINT i = 0; i < count; ++i) {
    char name[MAX_PATH] = "";
    DragQueryFileA(drop, i, name, sizeof name);
    bool opened = false;
    if (MatchFileMask(name, "*.ARJ")) {
      MakeDirectoryOfCurrent(name);
      OpenBrowserWindow(name, kArchiveTypeArj, "*.*", "*.*");
      opened = true;
    } else if (MatchFileMask(name, "*.ZIP") || (MatchFileMask(name, "*.EXE") && FileHoldsZip(name))) {
      MakeDirectoryOfCurrent(name);
      OpenBrowserWindow(name, kArchiveTypeZip, "*.*", "*.*");
      opened = true;
    }
    if (opened) continue;
    std::string line = std::string(name) + "\r\n";
    DWORD wrote = 0;
    WriteFile(listFile, line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr);
    if (first.empty()) first = name;
    last = name;
    ++listed;
  }
  CloseHandle(listFile);
  DragFinish(drop);
  if (!listed) return;
  char targetClass[32] = "";
  if (target) GetClassNameA(target, targetClass, sizeof targetClass);
  if (target == frame || target == g_mdiClient) {
    // Files dropped on the frame go into a new archive.
    if (!NewArchiveFor(frame, nullptr)) return;
    MakeDirectoryOfCurrent(first.c_str());
    AddDroppedFilesTo(frame, g_activeBrowser);
  } else if (lstrcmpiA(targetClass, "qllistbox") == 0) {
    MakeDirectoryOfCurrent(last.c_str());
    AddDroppedFilesTo(frame, GetParent(target));
  } else {
    return;
  }
  MakeActiveBrowserDirectoryCurrent();
}

}  // namespace ql
