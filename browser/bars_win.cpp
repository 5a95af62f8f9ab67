#include "browser/bars_win.h"

#include <commctrl.h>

#include <vector>

#include "browser/browser_win.h"
#include "browser/drag_win.h"
#include "browser/drive_bar_win.h"
#include "browser/gauge_win.h"
#include "resources/ids.h"

namespace ql {

HWND g_toolBar = nullptr;
HWND g_buttonBar = nullptr;
HWND g_statusBar = nullptr;

namespace {

// Style bits of a statusbar3D window, and its word holding its own font.
constexpr DWORD kPaneRaised = 0x100;
constexpr DWORD kPaneSunken = 0x200;
constexpr DWORD kPaneCentred = 0x001;
constexpr DWORD kPaneRight = 0x002;
constexpr int kPaneFontWord = 0;

// The drive box's items, as the combo box's own drive listing makes them ("[-c-]" for each drive
// with a root directory), but asking for the type only of the drives the system reports: the
// listing's look at all 26 letters is slow under Wine.
void AddDriveItems(HWND box) {
  const DWORD drives = GetLogicalDrives();
  for (int d = 0; d < 26; ++d) {
    if (!(drives & (1u << d))) continue;
    const char root[4] = {static_cast<char>('A' + d), ':', '\\', 0};
    if (GetDriveTypeA(root) <= DRIVE_NO_ROOT_DIR) continue;
    const char item[6] = {'[', '-', static_cast<char>('a' + d), '-', ']', 0};
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
}

// The pictures of the greyed buttons: the tool bar's own, each pixel made a light grey of its
// brightness, the background (the colour of the first pixel) left clear. Without them the tool bar
// would draw a greyed button as an empty square.
HIMAGELIST DimmedToolBarImages(HINSTANCE inst, int width, int height, int count) {
  HBITMAP source = static_cast<HBITMAP>(
      LoadImageA(inst, MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!source) return nullptr;
  BITMAP info{};
  GetObjectA(source, sizeof info, &info);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  HDC screen = GetDC(nullptr);
  const bool read = !pixels.empty() && GetDIBits(screen, source, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                                                 &bi, DIB_RGB_COLORS) > 0;
  DeleteObject(source);
  HIMAGELIST list = nullptr;
  if (read) {
    const DWORD back = pixels[0] & 0xFFFFFF;
    for (DWORD& p : pixels) {
      if ((p & 0xFFFFFF) == back) continue;
      const DWORD r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      const DWORD grey = 128 + (r * 30 + g * 59 + b * 11) / 100 / 2;
      p = (grey << 16) | (grey << 8) | grey;
      if (p == back) p ^= 1;  // never taken for the background
    }
    HBITMAP dimmed = CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
    if (dimmed && SetDIBits(screen, dimmed, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &bi,
                            DIB_RGB_COLORS) > 0) {
      list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
      const COLORREF mask = RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF);
      if (list && ImageList_AddMasked(list, dimmed, mask) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
      }
    }
    if (dimmed) DeleteObject(dimmed);
  }
  ReleaseDC(nullptr, screen);
  return list;
}

void CreateToolBar(HWND frame, const BarOptions& options) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  g_toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_BORDER | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0,
                              0, 0, frame, reinterpret_cast<HMENU>(IDC_TOOLBAR), inst, nullptr);
  if (!g_toolBar) return;
  SendMessageA(g_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(g_toolBar, TB_SETBITMAPSIZE, 0, MAKELONG(20, 17));
  SendMessageA(g_toolBar, TB_SETBUTTONSIZE, 0, MAKELONG(27, 24));
  TBADDBITMAP bm{inst, IDB_TOOLBAR};
  SendMessageA(g_toolBar, TB_ADDBITMAP, 17, reinterpret_cast<LPARAM>(&bm));
  if (HIMAGELIST dimmed = DimmedToolBarImages(inst, 20, 17, 17)) {
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
        SendMessageA(g_toolBar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(dimmed)));
    if (old) ImageList_Destroy(old);
  }
  struct B {
    int image, command;
    BYTE style, state;
  } buttons[] = {
      {178, 0, TBSTYLE_SEP, 0},
      {16, IDM_PARENT_DIR, TBSTYLE_BUTTON, 0},
      {0, 0, TBSTYLE_SEP, 0},
      {0, IDM_NEW_ARCHIVE, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {1, IDM_OPEN, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {2, IDM_EXTRACT, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {3, IDM_ADD, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {4, IDM_DELETE_FOCUSED, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {5, IDM_SELECT_ALL_FOCUSED, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {6, IDM_PRINT_LISTING, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {7, IDM_SCAN_ARCHIVE, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {8, IDM_BY_FILE_TYPE, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {9, IDM_FILE_STATISTICS, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {10, IDM_MAIL_BUTTON, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {12, IDM_CLEAR_ARCHIVE, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {13, IDM_HELP_CONTENTS, TBSTYLE_BUTTON, TBSTATE_ENABLED},
      {0, 0, TBSTYLE_SEP, 0},
      {14, IDM_LONG_NAMES, TBSTYLE_CHECKGROUP, TBSTATE_ENABLED | TBSTATE_CHECKED},
      {15, IDM_SHORT_NAMES, TBSTYLE_CHECKGROUP, TBSTATE_ENABLED},
  };
  for (const auto& b : buttons) {
    TBBUTTON t{};
    t.iBitmap = b.image;
    t.idCommand = b.command;
    t.fsStyle = b.style;
    t.fsState = b.state;
    SendMessageA(g_toolBar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&t));
  }
  CreateTrashCan(g_toolBar);
  HWND box = CreateWindowExA(0, "COMBOBOX", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_SORT |
                                 CBS_HASSTRINGS,
                             5, 3, 165, 150, g_toolBar, reinterpret_cast<HMENU>(IDC_DRIVE_BOX), inst, nullptr);
  if (box) {
    if (options.driveBoxFont) SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(options.driveBoxFont), FALSE);
    AddDriveItems(box);
    int h = ItemHeight();
    SendMessageA(box, CB_SETITEMHEIGHT, 0, h);
    SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), h - 1);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    if (cwd[1] == ':') SelectDriveItem(static_cast<char>(cwd[0] | 0x20));
  }
  if (options.showToolbar) ShowWindow(g_toolBar, SW_SHOW);
}

void CreateStatusBar(HWND frame) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  g_statusBar = CreateWindowExA(0, "statusbar3D", nullptr, WS_CHILD | WS_VISIBLE | kPaneRaised, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(IDC_STATUS_BAR), inst, nullptr);
  if (!g_statusBar) return;
  for (int pane : {IDC_PANE_HINT, IDC_PANE_DIR_TOTALS, IDC_PANE_MODE, IDC_PANE_ARCHIVE_TOTALS}) {
    DWORD align = pane == IDC_PANE_HINT ? 0 : kPaneCentred;
    HWND h = CreateWindowExA(0, "statusbar3D", nullptr, WS_CHILD | WS_VISIBLE | kPaneSunken | align, 0, 0, 0, 0,
                             g_statusBar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(pane)), inst, nullptr);
    if (h && g_browserHost.listFont)
      SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(g_browserHost.listFont), FALSE);
  }
  SetPaneText(IDC_PANE_HINT, "Ready");
}

// The status bar and its panes (statusbar3D): light grey, a raised or sunken frame, the text
// aligned by the style bits, in the pane's own copy of the font it was given (word 0).
void PaintPane(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT rc;
  GetClientRect(h, &rc);
  HBRUSH grey = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
  FillRect(dc, &rc, grey);
  DeleteObject(grey);
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  if (style & (kPaneRaised | kPaneSunken)) {
    const bool raised = (style & kPaneRaised) != 0;
    HPEN light = CreatePen(PS_SOLID, 1, RGB(0xFF, 0xFF, 0xFF));
    HPEN dark = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(dc, raised ? light : dark);
    MoveToEx(dc, 0, rc.bottom - 1, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, rc.right - 1, 0);
    SelectObject(dc, raised ? dark : light);
    LineTo(dc, rc.right - 1, rc.bottom - 1);
    LineTo(dc, 0, rc.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
  }
  char text[256] = "";
  GetWindowTextA(h, text, sizeof text);
  if (*text) {
    HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(h, kPaneFontWord));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT tr = rc;
    InflateRect(&tr, -1, -1);
    UINT align = DT_LEFT;
    if (style & kPaneCentred) {
      align = DT_CENTER;
    } else if (style & kPaneRight) {
      align = DT_RIGHT;
    } else {
      tr.left = rc.left + 4;
    }
    DrawTextA(dc, text, -1, &tr, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont) SelectObject(dc, oldFont);
  }
  EndPaint(h, &ps);
}

// A pane keeps a font of its own, made from the given font's description.
void SetPaneFont(HWND h, HFONT given, bool redraw) {
  HFONT old = reinterpret_cast<HFONT>(GetWindowLongPtrA(h, kPaneFontWord));
  HFONT copy = nullptr;
  LOGFONTA lf;
  if (given && GetObjectA(given, sizeof lf, &lf) == sizeof lf) copy = CreateFontIndirectA(&lf);
  SetWindowLongPtrA(h, kPaneFontWord, reinterpret_cast<LONG_PTR>(copy));
  if (old) DeleteObject(old);
  if (redraw) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
}

LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: PaintPane(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT done = DefWindowProcA(h, m, w, l);
      InvalidateRect(h, nullptr, TRUE);
      UpdateWindow(h);
      return done;
    }
    case WM_SETFONT: SetPaneFont(h, reinterpret_cast<HFONT>(w), LOWORD(l) != 0); return 0;
    case WM_GETFONT: return GetWindowLongPtrA(h, kPaneFontWord);
    case WM_DESTROY: SetPaneFont(h, nullptr, false); break;
    default: break;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

void ReleaseToolBarImages() {
  if (!g_toolBar || !IsWindow(g_toolBar)) return;
  HIMAGELIST dimmed = reinterpret_cast<HIMAGELIST>(SendMessageA(g_toolBar, TB_SETDISABLEDIMAGELIST, 0, 0));
  if (dimmed) ImageList_Destroy(dimmed);
}

bool RegisterBarClasses(HINSTANCE instance) {
  struct ClassDef {
    const char* name;
    WNDPROC proc;
    UINT style;
    int classBytes, windowBytes;
    HBRUSH background;
  };
  const HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  const ClassDef classes[] = {
      {"QLButtonbar", DriveBarProc, 0, 0, 32, face},
      {"qlbutton", DriveButtonProc, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, 8, 32, face},
      {"statusbar3D", StatusBarProc, 0, 0, 16, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
      {"gasguage3D", GaugeProc, 0, 0, kGaugeExtraBytes, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH))},
  };
  bool ok = true;
  for (const ClassDef& c : classes) {
    WNDCLASSA wc = {};
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.cbClsExtra = c.classBytes;
    wc.cbWndExtra = c.windowBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = c.background;
    wc.lpszClassName = c.name;
    ok = RegisterClassA(&wc) != 0 && ok;
  }
  return RegisterTrashCanClass(instance) && ok;
}

void CreateBars(HWND frame, const BarOptions& options) {
  InitCommonControls();
  CreateToolBar(frame, options);
  SetDriveLetterFont(options.letterFont);
  g_buttonBar = CreateWindowExA(0, "QLButtonbar", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_BORDER, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(IDC_DRIVE_BAR), GetModuleHandleA(nullptr), nullptr);
  if (g_buttonBar && options.showDriveBar) ShowWindow(g_buttonBar, SW_SHOW);
  CreateStatusBar(frame);
}

int BarHeight() {
  if (!g_toolBar) return 0;
  RECT rc;
  GetWindowRect(g_toolBar, &rc);
  return rc.bottom - rc.top > 0 ? rc.bottom - rc.top : 28;
}

void SetPaneText(int pane, const char* text) {
  if (!g_statusBar) return;
  HWND h = GetDlgItem(g_statusBar, pane);
  if (!h) return;
  char now[256] = "";
  GetWindowTextA(h, now, sizeof now);
  if (lstrcmpA(now, text) == 0) return;
  SetWindowTextA(h, text);
  InvalidateRect(h, nullptr, TRUE);
}

void SelectDrive(char letter) {
  SelectDriveItem(letter);
  if (g_buttonBar) SendMessageA(g_buttonBar, kSelectDriveMessage, static_cast<WPARAM>(letter & ~0x20), 0);
}

void FocusToolBar() {
  // The trash can is the tool bar's one control that takes the keyboard.
  if (g_trashCan && IsWindowVisible(g_trashCan)) SetFocus(g_trashCan);
}

void EnableParentButton(bool enabled) {
  if (g_toolBar) SendMessageA(g_toolBar, TB_ENABLEBUTTON, IDM_PARENT_DIR, MAKELONG(enabled ? TRUE : FALSE, 0));
}

void SelectDriveItem(char letter) {
  HWND box = g_toolBar ? GetDlgItem(g_toolBar, IDC_DRIVE_BOX) : nullptr;
  if (!box) return;
  char item[6] = {'[', '-', letter, '-', ']', 0};
  LRESULT i = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
  if (i != CB_ERR) SendMessageA(box, CB_SETCURSEL, i, 0);
}

}  // namespace ql
