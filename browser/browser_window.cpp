// The window table and the browser window: creation, layout, activation, focus, painting, closing,
// the per-drive directories and loading the window's archive.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "browser/browser_win.h"
#include "browser/dir_lines.h"
#include "browser/item_format.h"
#include "common/text_and_paths.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

BrowserHost g_browserHost;
HWND g_activeBrowser = nullptr;
int g_shortNameDisplay = 0;
char g_currentItemName[262];
WindowRecord* g_windowTable = nullptr;

namespace {

HGLOBAL g_tableBlock = nullptr;
constexpr const char* kCaption = "Quillon";

void Pane(int pane, const std::string& text) {
  if (g_browserHost.setPaneText) g_browserHost.setPaneText(pane, text.c_str());
}

int FirstFreeSlot() {
  if (!g_windowTable) return -1;
  for (int i = 0; i < kMaxWindows; ++i)
    if (!g_windowTable[i].inUse && !g_windowTable[i].hwndChild) return i;
  return -1;
}

HWND MessageOwner() { return g_activeBrowser ? g_activeBrowser : g_browserHost.mdiClient; }

// The base name of a path: after the last backslash, before the last dot.
size_t BaseNameLength(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  const char* base = slash ? slash + 1 : path;
  const char* dot = std::strrchr(base, '.');
  return dot ? static_cast<size_t>(dot - base) : std::strlen(base);
}

std::string StripTrailingBackslash(std::string s) {
  if (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}

HICON IconFor(HWND h, const WindowRecord* r) {
  if (!r || !r->archivePath[0]) return g_browserHost.noArchiveIcon;
  return GetWindowLongA(h, kWordArchiveType) == kArchiveTypeArj ? g_browserHost.arjIcon : g_browserHost.zipIcon;
}

void ApplyWindowIcon(HWND h) {
  HICON icon = IconFor(h, RecordOf(h));
  if (!icon) return;
  SendMessageA(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void SetTitleOf(HWND browser, const char* archive) {
  SetWindowTextA(browser, archive && *archive ? archive : "[Untitled]");
}

// The window's place and size in the frame, kept as its restored ones.
void KeepRestoredPlace(HWND h, WindowRecord* r) {
  RECT wr;
  GetWindowRect(h, &wr);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&wr), 2);
  r->restoredX = wr.left;
  r->restoredY = wr.top;
  r->restoredWidth = wr.right - wr.left;
  r->restoredHeight = wr.bottom - wr.top;
}

void Layout(HWND h, WindowRecord* r, int cw, int ch) {
  if (!IsIconic(h) && !IsZoomed(h)) {
    r->splitterPos = AdjustSplitter(r->splitterPos, cw);
    KeepRestoredPlace(h, r);
  }
  const int H = g_browserHost.lineHeight;
  const int sp = r->splitterPos;
  const int lh = ListHeight(ch, H, ItemHeight());
  HDWP d = BeginDeferWindowPos(5);
  auto place = [&](HWND c, int x, int y, int w, int hh) {
    if (c && d) d = DeferWindowPos(d, c, nullptr, x, y, w < 0 ? 0 : w, hh < 0 ? 0 : hh, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(r->hwndDirHeader, 0, 0, sp, H);
  place(r->hwndDirList, 0, H + 4, sp, lh);
  place(r->hwndSplitter, sp, 0, 5, ch);
  place(r->hwndArchiveHeader, sp + 6, 0, cw - sp - 6, H);
  place(r->hwndArchiveList, sp + 6, H + 4, cw - sp - 6, lh);
  if (d) EndDeferWindowPos(d);
}

void UpdateCloseItem(HWND h) {
  HMENU sys = GetSystemMenu(h, FALSE);
  if (sys) EnableMenuItem(sys, SC_CLOSE, MF_BYCOMMAND | (BrowserWindowCount() <= 1 ? MF_GRAYED : MF_ENABLED));
}

void OnActivate(HWND h, WindowRecord* r) {
  g_activeBrowser = h;
  SetCurrentDirAndDrive(r->curDir);
  SetDirHeaderText(r);
  r->hwndFocusList = r->hwndDirList;
  char letter = DriveLetterOf(r->curDir);
  if (letter && g_browserHost.selectDrive) g_browserHost.selectDrive(static_cast<char>(letter - 'A' + 'a'));
  if (g_browserHost.enableParentButton) g_browserHost.enableParentButton(!IsDriveRoot(r->curDir));
  UpdateCloseItem(h);
  SetFocus(r->hwndDirList);
  ShowDirectoryTotals(h);
  // Also for a minimised window, which does not paint its totals: the panes follow the active window.
  ShowArchiveTotals(h);
}

LRESULT OnCreate(HWND h, LPARAM l) {
  const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(l);
  const MDICREATESTRUCTA* mcs = reinterpret_cast<const MDICREATESTRUCTA*>(cs->lpCreateParams);
  int slot = FirstFreeSlot();
  if (slot < 0) return -1;
  WindowRecord* r = &g_windowTable[slot];
  r->hwndChild = h;
  SetWindowLongA(h, kWordSlot, slot);
  const int type = static_cast<int>(LOWORD(mcs->lParam)) ;
  SetWindowLongA(h, kWordArchiveType, type);
  r->splitterPos = static_cast<int32_t>(static_cast<int16_t>(HIWORD(mcs->lParam)));
  const char* name = mcs->szTitle && std::strcmp(mcs->szTitle, "[Untitled]") != 0 ? mcs->szTitle : "";

  HINSTANCE inst = g_browserHost.instance;
  const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | WS_HSCROLL | WS_VSCROLL | LBS_NOTIFY |
                          LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT;
  r->hwndArchiveList = CreateWindowExA(0, "qllistbox", "", listStyle, 0, 0, 0, 0, h,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kArchiveListIdBase + slot)), inst,
                                       nullptr);
  if (!r->hwndArchiveList) {
    AppMessageBox(h, "Error! Unable To Create The Archive Window!", kCaption, MB_ICONEXCLAMATION);
    return -1;
  }
  SetListKind(r->hwndArchiveList, type);
  r->hwndDirList = CreateWindowExA(0, "qllistbox", "", listStyle | LBS_SORT, 0, 0, 0, 0, h,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDirListIdBase + slot)), inst, nullptr);
  SetListKind(r->hwndDirList, kListDirectory);
  r->hwndArchiveHeader = CreateWindowExA(0, "qlstatic", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, h,
                                         reinterpret_cast<HMENU>(kArchiveHeaderId), inst, nullptr);
  SetListKind(r->hwndArchiveHeader, type);
  r->hwndDirHeader = CreateWindowExA(0, "qlstatic", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, h,
                                     reinterpret_cast<HMENU>(kDirHeaderId), inst, nullptr);
  SetListKind(r->hwndDirHeader, kListDirectory);
  r->hwndSplitter = CreateWindowExA(0, "QLResizebox", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, h,
                                    reinterpret_cast<HMENU>(kSplitterId), inst, nullptr);
  if (g_browserHost.listFont) {
    for (HWND c : {r->hwndArchiveList, r->hwndDirList, r->hwndArchiveHeader, r->hwndDirHeader, r->hwndSplitter})
      if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_browserHost.listFont), FALSE);
  }

  // A directory for every drive: the current one on fixed and RAM drives, the root elsewhere.
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    char root[4] = {static_cast<char>('A' + i), ':', '\\', 0};
    UINT t = GetDriveTypeA(root);
    std::string dir = root;
    if (t == DRIVE_FIXED || t == DRIVE_RAMDISK) {
      char spec[3] = {static_cast<char>('A' + i), ':', 0};
      char full[MAX_PATH] = "";
      DWORD n = GetFullPathNameA(spec, sizeof full, full, nullptr);
      if (n > 0 && n < sizeof full) dir = StripTrailingBackslash(full);
    }
    RememberDriveDir(h, dir.c_str());
  }

  std::string cur = StripTrailingBackslash(CurrentDirectory());
  lstrcpynA(r->curDir, cur.c_str(), sizeof r->curDir);
  RememberDriveDir(h, r->curDir);

  if (!*name) {
    r->archivePath[0] = 0;
  } else if (std::strchr(name, '\\')) {
    lstrcpynA(r->archivePath, name, sizeof r->archivePath);
  } else {
    std::string p = JoinDirPattern(r->curDir, name);
    lstrcpynA(r->archivePath, p.c_str(), sizeof r->archivePath);
  }

  HGLOBAL text = GlobalAlloc(GHND, kListingTextBytes);
  if (!text) {
    ShowStringMessage(h, IDS_NO_MEMORY_STATUS);
    return -1;
  }
  char* t = static_cast<char*>(GlobalLock(text));
  lstrcpynA(t, name, 268);
  GlobalUnlock(text);
  SetWindowLongPtrA(h, kWordListingText, reinterpret_cast<LONG_PTR>(text));

  if (*name) {
    const bool zip = type == kArchiveTypeZip;
    if (std::strchr(name, '\\') && BaseNameLength(name) > (zip ? 256u : 8u)) {
      ShowStringMessage(h, IDS_NAME_TOO_LONG);
      return -1;
    }
    if (GetFileAttributesA(r->archivePath) != INVALID_FILE_ATTRIBUTES) {
      int result;
      if (zip) {
        result = LoadZipIntoWindow(r->archivePath, r->hwndArchiveList, r->archiveMask, nullptr);
      } else {
        SendMessageA(r->hwndArchiveList, WM_SETREDRAW, FALSE, 0);
        result = ReadArjDirectory(h, r->archivePath, r->hwndArchiveList, 1, r->archiveMask, nullptr);
        SendMessageA(r->hwndArchiveList, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
      }
      if (result < 0) return -1;
    }
  }
  // Columns for a window without lines yet.
  SendMessageA(r->hwndDirList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(" "));
  SendMessageA(r->hwndDirList, LB_RESETCONTENT, 0, 0);
  return 0;
}

void OnDestroy(HWND h) {
  HGLOBAL text = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(h, kWordListingText));
  if (text) GlobalFree(text);
  SetWindowLongPtrA(h, kWordListingText, 0);
  if (g_activeBrowser == h) g_activeBrowser = nullptr;
  if (!g_windowTable) return;
  int slot = GetWindowLongA(h, kWordSlot);
  if (slot < 0 || slot >= kMaxWindows || g_windowTable[slot].hwndChild != h) return;
  WindowRecord* r = &g_windowTable[slot];
  for (auto& b : r->perDriveDirs) {
    if (b) GlobalFree(b);
    b = nullptr;
  }
  std::memset(r, 0, sizeof *r);
}

void PaintBrowser(HWND h, WindowRecord* r) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  if (IsIconic(h)) {
    HICON icon = IconFor(h, r);
    if (icon) DrawIcon(dc, 0, 0, icon);
  }
  EndPaint(h, &ps);
  if (!r || IsIconic(h)) return;
  InvalidateRect(r->hwndArchiveHeader, nullptr, TRUE);
  if (g_activeBrowser == h) {
    ShowArchiveTotals(h);
    SetDirHeaderText(r);
    ShowDirectoryTotals(h);
  }
}

}  // namespace

void SetDirHeaderText(const WindowRecord* r) {
  if (!r || !r->hwndDirHeader) return;
  std::string text = r->curDir;
  if (g_shortNameDisplay) {
    std::string shortForm = ShortPathForm(r->curDir);
    if (!shortForm.empty()) text = shortForm;
  }
  SetWindowTextA(r->hwndDirHeader, text.c_str());
}

void ShowReadyHint() {
  if (g_browserHost.setPaneText) g_browserHost.setPaneText(IDC_PANE_HINT, LoadText(IDS_READY).c_str());
}

// For the ARJ reader: a browser window whose record holds no archive path has nothing to read
// (other windows have no record to ask).
static bool ShowsArchive(HWND h) {
  WindowRecord* r = RecordOf(h);
  return !r || r->archivePath[0] != 0;
}

bool AllocateWindowTable() {
  SetBrowserQueries({ShowsArchive, RecallDriveDir});
  if (g_windowTable) return true;
  g_tableBlock = GlobalAlloc(GHND, sizeof(WindowRecord) * kMaxWindows + 2);
  if (!g_tableBlock) return false;
  g_windowTable = static_cast<WindowRecord*>(GlobalLock(g_tableBlock));
  return g_windowTable != nullptr;
}

void FreeWindowTable() {
  if (!g_tableBlock) return;
  for (int i = 0; i < kMaxWindows; ++i)
    for (auto& b : g_windowTable[i].perDriveDirs)
      if (b) GlobalFree(b);
  GlobalUnlock(g_tableBlock);
  GlobalFree(g_tableBlock);
  g_tableBlock = nullptr;
  g_windowTable = nullptr;
}

int SlotOf(HWND browser) {
  if (!g_windowTable || !browser || !IsWindow(browser)) return -1;
  char name[16] = "";
  GetClassNameA(browser, name, sizeof name);
  if (lstrcmpiA(name, "MDICHILD") != 0) return -1;
  int slot = GetWindowLongA(browser, kWordSlot);
  if (slot < 0 || slot >= kMaxWindows || g_windowTable[slot].hwndChild != browser) return -1;
  return slot;
}

WindowRecord* RecordOf(HWND browser) {
  int slot = SlotOf(browser);
  return slot < 0 ? nullptr : &g_windowTable[slot];
}

int BrowserWindowCount() {
  int n = 0;
  if (!g_windowTable) return 0;
  for (int i = 0; i < kMaxWindows; ++i)
    if (g_windowTable[i].hwndChild && IsWindow(g_windowTable[i].hwndChild)) ++n;
  return n;
}

bool RememberDriveDir(HWND browser, const char* path) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !path) return false;
  char c = path[0];
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  // A path that does not fit the block is not remembered: a cut path would name another directory.
  if (std::strlen(path) >= static_cast<size_t>(kPerDriveDirBytes)) return false;
  int drive = (c | 0x20) - 'a';
  HGLOBAL& block = r->perDriveDirs[drive];
  if (!block) block = GlobalAlloc(GHND, kPerDriveDirBytes);
  if (!block) return false;
  char* p = static_cast<char*>(GlobalLock(block));
  if (!p) return false;
  lstrcpynA(p, path, kPerDriveDirBytes);
  GlobalUnlock(block);
  return true;
}

bool RecallDriveDir(HWND browser, char letter, char* out, size_t outSize) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !out || outSize == 0) return false;
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return false;
  HGLOBAL block = r->perDriveDirs[(letter | 0x20) - 'a'];
  if (!block) return false;
  const char* p = static_cast<const char*>(GlobalLock(block));
  if (!p) return false;
  bool any = *p != 0;
  lstrcpynA(out, p, static_cast<int>(outSize));
  GlobalUnlock(block);
  return any;
}

int LoadZipIntoWindow(const char* path, HWND list, const char* mask, HANDLE out) {
  CurrentDirAroundRead dir(list ? GetParent(list) : nullptr, true);
  if (list) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  int result = ReadZipDirectory(path, list, mask, out);
  if (list) {
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  return result;
}

void ClearArchiveWindow(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  r->archivePath[0] = 0;
  SendMessageA(r->hwndArchiveList, LB_RESETCONTENT, 0, 0);
  lstrcpynA(r->archiveMask, "*.*", sizeof r->archiveMask);
  SetTitleOf(browser, "");
  ApplyWindowIcon(browser);
  for (int w : {kWordArchiveSize, kWordTotalLength, kWordFileCount, kWordTotalSize, kWordEncrypted})
    SetWindowLongA(browser, w, 0);
  InvalidateRect(browser, nullptr, TRUE);
  InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
  if (g_activeBrowser == browser) ShowArchiveTotals(browser);
}

void AssignArchiveToWindow(HWND browser, const char* path, int archiveType) {
  WindowRecord* r = RecordOf(browser);
  if (!r || (archiveType != kArchiveTypeZip && archiveType != kArchiveTypeArj)) return;
  // What the window listed belongs to the archive it showed before.
  SendMessageA(r->hwndArchiveList, LB_RESETCONTENT, 0, 0);
  for (int w : {kWordArchiveSize, kWordTotalLength, kWordFileCount, kWordTotalSize, kWordEncrypted})
    SetWindowLongA(browser, w, 0);
  lstrcpynA(r->archivePath, path ? path : "", sizeof r->archivePath);
  lstrcpynA(r->archiveMask, "*.*", sizeof r->archiveMask);
  SetWindowLongA(browser, kWordArchiveType, archiveType);
  SetListKind(r->hwndArchiveList, archiveType);
  SetListKind(r->hwndArchiveHeader, archiveType);
  SetTitleOf(browser, r->archivePath);
  ApplyWindowIcon(browser);
  InvalidateRect(r->hwndArchiveHeader, nullptr, TRUE);
  InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
  if (g_activeBrowser == browser) ShowArchiveTotals(browser);
}

void RefreshArchiveWindow(int slot) {
  if (!g_windowTable || slot < 0 || slot >= kMaxWindows || !g_windowTable[slot].inUse) return;
  WindowRecord* r = &g_windowTable[slot];
  HWND h = r->hwndChild;
  if (!h || !IsWindow(h) || !r->archivePath[0]) return;
  HWND frame = g_browserHost.mdiClient ? GetParent(g_browserHost.mdiClient) : nullptr;
  auto clear = [&] {
    if (frame) PostMessageA(frame, WM_COMMAND, IDM_CLEAR_ARCHIVE, reinterpret_cast<LPARAM>(h));
    else ClearArchiveWindow(h);
  };
  if (GetFileAttributesA(r->archivePath) == INVALID_FILE_ATTRIBUTES) {
    if (GetWindowLongA(h, kWordFileCount) > 0) clear();
    return;
  }
  SendMessageA(r->hwndArchiveList, WM_SETREDRAW, FALSE, 0);
  SendMessageA(r->hwndArchiveList, LB_RESETCONTENT, 0, 0);
  if (GetWindowLongA(h, kWordArchiveType) == kArchiveTypeArj)
    ReadArjDirectory(h, r->archivePath, r->hwndArchiveList, 1, r->archiveMask, nullptr);
  else
    LoadZipIntoWindow(r->archivePath, r->hwndArchiveList, r->archiveMask, nullptr);
  SendMessageA(r->hwndArchiveList, WM_SETREDRAW, TRUE, 0);
  if (GetWindowLongA(h, kWordFileCount) == 0) {
    clear();
    return;
  }
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
  if (g_activeBrowser == h) ShowArchiveTotals(h);
}

void CloseAllBrowserWindows() {
  if (!g_windowTable || !g_browserHost.mdiClient) return;
  for (int i = 0; i < kMaxWindows; ++i) {
    HWND h = g_windowTable[i].hwndChild;
    if (h && IsWindow(h)) SendMessageA(g_browserHost.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
  }
}

void MakeActiveBrowserDirectoryCurrent() {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (r) SetCurrentDirAndDrive(r->curDir);
}

void ApplyListFontToBrowsers() {
  if (!g_windowTable) return;
  for (int i = 0; i < kMaxWindows; ++i) {
    const WindowRecord& r = g_windowTable[i];
    if (!r.hwndChild) continue;
    for (HWND c : {r.hwndArchiveList, r.hwndDirList, r.hwndArchiveHeader, r.hwndDirHeader})
      if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_browserHost.listFont), TRUE);
    // Owner-drawn fixed items share one height, set through item 0.
    for (HWND list : {r.hwndArchiveList, r.hwndDirList})
      if (list) SendMessageA(list, LB_SETITEMHEIGHT, 0, ItemHeight());
    InvalidateRect(r.hwndChild, nullptr, TRUE);
  }
}

HWND CreateBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask,
                         DWORD style, int x, int y, int width, int height, int splitterPos) {
  if (archiveType == 1 || archiveType == 4) return nullptr;
  if (!g_windowTable || !g_browserHost.mdiClient) return nullptr;
  HCURSOR oldCursor = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  int slot = FirstFreeSlot();
  if (slot < 0) {
    char text[128];
    std::snprintf(text, sizeof text, LoadText(IDS_WINDOW_LIMIT).c_str(), kMaxWindows);
    SetCursor(oldCursor);
    AppMessageBox(MessageOwner(), text, kCaption, MB_ICONEXCLAMATION);
    return nullptr;
  }
  WindowRecord* r = &g_windowTable[slot];
  lstrcpynA(r->dirMask, dirMask && *dirMask ? dirMask : "*.*", sizeof r->dirMask);
  lstrcpynA(r->archiveMask, archiveMask && *archiveMask ? archiveMask : "*.*", sizeof r->archiveMask);
  std::string name = archive ? archive : "";
  if (!name.empty()) {
    // The same archive, however it is spelled, is shown once.
    char full[MAX_PATH] = "";
    DWORD n = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    std::string wanted = (n > 0 && n < sizeof full) ? full : name;
    for (int i = 0; i < kMaxWindows; ++i) {
      const WindowRecord& o = g_windowTable[i];
      if (o.inUse && o.archivePath[0] &&
          (lstrcmpiA(o.archivePath, name.c_str()) == 0 || lstrcmpiA(o.archivePath, wanted.c_str()) == 0)) {
        SetCursor(oldCursor);
        ShowStringMessage(MessageOwner(), IDS_ARCHIVE_ALREADY_OPEN);
        return nullptr;
      }
    }
  }
  if (archiveType != kArchiveTypeArj) archiveType = kArchiveTypeZip;
  std::string title = name.empty() ? "[Untitled]" : name;
  MDICREATESTRUCTA mcs{};
  mcs.szClass = "MDICHILD";
  mcs.szTitle = title.c_str();
  mcs.hOwner = g_browserHost.instance;
  mcs.x = x;
  mcs.y = y;
  mcs.cx = width;
  mcs.cy = height;
  mcs.style = style | WS_CLIPCHILDREN;
  mcs.lParam = MAKELPARAM(archiveType, static_cast<WORD>(splitterPos));
  HWND h = reinterpret_cast<HWND>(SendMessageA(g_browserHost.mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (!h) {
    std::memset(r, 0, sizeof *r);
    SetCursor(oldCursor);
    return nullptr;
  }
  r->inUse = 1;
  ApplyWindowIcon(h);
  SetListKind(r->hwndArchiveHeader, archiveType);
  r->archiveListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(r->hwndArchiveList, GWLP_WNDPROC));
  FillDirectoryList(slot);
  const int quarter = LOWORD(GetDialogBaseUnits()) / 4;
  int tabs[3] = {32 * quarter, 52 * quarter, 74 * quarter};
  SendMessageA(r->hwndDirList, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabs));
  ShowWindow(h, SW_SHOW);
  UpdateWindow(h);
  for (int i = 0; i < kMaxWindows; ++i)
    if (g_windowTable[i].hwndChild) UpdateCloseItem(g_windowTable[i].hwndChild);
  SetCursor(oldCursor);
  SetFocus(r->hwndDirList);
  return h;
}

HWND OpenBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask) {
  return CreateBrowserWindow(archive, archiveType, dirMask, archiveMask, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, 0);
}

void ShowDirectoryTotals(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  Pane(IDC_PANE_DIR_TOTALS, DirTotalsText(r ? static_cast<long>(r->dirTotalBytes) : 0, r ? r->dirItemCount : 0));
}

void ShowArchiveTotals(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) {
    Pane(IDC_PANE_ARCHIVE_TOTALS, ArchiveTotalsText(0, 0, 0));
    return;
  }
  double length = static_cast<double>(static_cast<uint32_t>(GetWindowLongA(browser, kWordTotalLength)));
  double size = static_cast<double>(static_cast<uint32_t>(GetWindowLongA(browser, kWordTotalSize)));
  Pane(IDC_PANE_ARCHIVE_TOTALS, ArchiveTotalsText(GetWindowLongA(browser, kWordFileCount), size, length));
}

namespace {

// The restored place and size, kept while the window is neither minimised nor maximised.
void OnMove(HWND h) {
  WindowRecord* r = RecordOf(h);
  if (r && !IsIconic(h) && !IsZoomed(h)) KeepRestoredPlace(h, r);
}

void OnMdiActivate(HWND h, LPARAM l) {
  WindowRecord* r = RecordOf(h);
  if (reinterpret_cast<HWND>(l) == h) {
    if (r) OnActivate(h, r);
  } else if (g_activeBrowser == h) {
    g_activeBrowser = nullptr;
  }
}

// The focus goes on to the list that had it (the directory list at first). False for a window
// without a record.
bool OnSetFocus(HWND h) {
  WindowRecord* r = RecordOf(h);
  if (!r) return false;
  if (!r->hwndFocusList || !IsWindow(r->hwndFocusList)) r->hwndFocusList = r->hwndDirList;
  SetFocus(r->hwndFocusList);
  return true;
}

// The focus command: to the list in focus, else to the window (code 0) or the archive list when
// it holds lines.
void TakeFocus(HWND h, WindowRecord* r, int code) {
  if (r->hwndFocusList && IsWindow(r->hwndFocusList)) {
    SetFocus(r->hwndFocusList);
  } else if (code == 0) {
    SetFocus(h);
  } else if (SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0) > 0) {
    r->hwndFocusList = r->hwndArchiveList;
    SetFocus(r->hwndArchiveList);
  }
}

// A lone selected line of the archive list in focus names the current item.
void RememberCurrentItem(HWND list) {
  std::vector<int> sel = SelectedIndexes(list);
  std::string line(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, sel[0], 0)) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, sel[0], reinterpret_cast<LPARAM>(&line[0]));
  line.resize(std::strlen(line.c_str()));
  size_t tab = line.find('\t');
  lstrcpynA(g_currentItemName, line.substr(0, tab).c_str(), sizeof g_currentItemName);
}

// The focus command and the notifications of the two lists. True when handled.
bool OnCommand(HWND h, WPARAM w, LPARAM l) {
  WindowRecord* r = RecordOf(h);
  if (!r) return false;
  HWND from = reinterpret_cast<HWND>(l);
  const int code = HIWORD(w);
  if (LOWORD(w) == IDM_TAKE_FOCUS && !from) {
    TakeFocus(h, r, code);
    return true;
  }
  if (!from || (from != r->hwndArchiveList && from != r->hwndDirList)) return false;
  if (code == LBN_DBLCLK) {
    OnListDoubleClick(h, from);
    return true;
  }
  if (from != r->hwndFocusList) return true;
  if (code == LBN_SELCHANGE && from == r->hwndArchiveList && SendMessageA(from, LB_GETSELCOUNT, 0, 0) == 1)
    RememberCurrentItem(from);
  return true;
}

}  // namespace

LRESULT CALLBACK BrowserWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE:
      return OnCreate(h, l);
    case WM_SIZE: {
      WindowRecord* r = RecordOf(h);
      if (r && w != SIZE_MINIMIZED) Layout(h, r, LOWORD(l), HIWORD(l));
      break;
    }
    case WM_MOVE:
      OnMove(h);
      break;
    case WM_MDIACTIVATE:
      OnMdiActivate(h, l);
      break;
    case WM_SETFOCUS:
      if (OnSetFocus(h)) return 0;
      break;
    case WM_PAINT:
      PaintBrowser(h, RecordOf(h));
      return 0;
    case WM_ERASEBKGND:
      if (IsIconic(h)) return 1;
      break;
    case WM_QUERYDRAGICON: {
      return reinterpret_cast<LRESULT>(IconFor(h, RecordOf(h)));
    }
    case WM_INITMENUPOPUP:
      UpdateCloseItem(h);
      break;
    case WM_SYSCOMMAND:
      if ((w & 0xFFF0) == SC_CLOSE && BrowserWindowCount() <= 1) return 0;
      break;
    case WM_CLOSE:
      if (BrowserWindowCount() <= 1) return 0;
      break;
    case WM_DESTROY:
      OnDestroy(h);
      for (int i = 0; g_windowTable && i < kMaxWindows; ++i)
        if (g_windowTable[i].hwndChild && g_windowTable[i].hwndChild != h) UpdateCloseItem(g_windowTable[i].hwndChild);
      break;
    case WM_MOUSEMOVE:
      ShowReadyHint();
      break;
    case WM_KEYDOWN:
      if (w == VK_F1 && g_browserHost.showHelp) {
        g_browserHost.showHelp(h, kBrowserHelpContext);
        return 0;
      }
      break;
    case WM_MEASUREITEM: {
      MEASUREITEMSTRUCT* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      mis->itemHeight = ItemHeight();
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_COMMAND:
      if (OnCommand(h, w, l)) return 0;
      break;
    case kDropRecordMessage:
      if (!g_browserHost.dispatchDrop || !l) return 1;
      return g_browserHost.dispatchDrop(h, reinterpret_cast<DropRecord*>(l));
    default:
      break;
  }
  return DefMDIChildProcA(h, m, w, l);
}

}  // namespace ql
