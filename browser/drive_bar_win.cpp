// The drive bar (QLButtonbar) and its drive buttons (qlbutton): one button per drive of the
// machine, made once when the bar is made, showing the drive's kind and letter; a click, Space or
// Enter changes the active window's drive, the arrow keys walk along the bar, and files dropped on a
// button go into that drive's directory.
#include "browser/drive_bar_win.h"

#include <winnetwk.h>

#include <string>

#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/drive_rules.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// Words of a drive button.
constexpr int kButtonKindWord = 4;
constexpr int kButtonLetterWord = 8;
constexpr int kButtonDownWord = 12;
constexpr int kButtonSelectedWord = 16;

// Word of the bar: the drive button selected now.
constexpr int kBarSelectedWord = 0;

constexpr int kButtonSpacing = 45;
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 42;
constexpr int kButtonTop = 2;

// The bar's buttons by position in the drive list.
struct DriveButtons {
  HWND button[26] = {};
  int count = 0;
};
DriveButtons g_buttons;
HFONT g_letterFont = nullptr;

char LetterOf(HWND button) { return static_cast<char>(GetWindowLongA(button, kButtonLetterWord)); }

int PositionOf(HWND button) {
  for (int i = 0; i < g_buttons.count; ++i)
    if (g_buttons.button[i] == button) return i;
  return -1;
}

HWND ButtonOfLetter(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  for (int i = 0; i < g_buttons.count; ++i)
    if (LetterOf(g_buttons.button[i]) == letter) return g_buttons.button[i];
  return nullptr;
}

char CurrentDrive() {
  char cwd[MAX_PATH] = "";
  DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (n == 0 || n >= sizeof cwd || cwd[1] != ':') return 0;
  return static_cast<char>(cwd[0] & ~0x20);
}

// The kind of a drive from the platform: its type, for network drives the connection query, for RAM
// disks the volume label.
int KindOfDrive(char letter) {
  char root[4] = {letter, ':', '\\', 0};
  DriveFacts facts;
  facts.letter = letter;
  facts.type = GetDriveTypeA(root);
  std::string label;
  if (facts.type == DRIVE_REMOTE) {
    // Asked with "X:": the bare letter is no local device name on NT, so every network drive would
    // look connected.
    char local[3] = {letter, ':', 0};
    char remote[2054] = "";
    DWORD size = sizeof remote;
    facts.networkAnswer = WNetGetConnectionA(local, remote, &size);
  } else if (facts.type == DRIVE_RAMDISK) {
    char name[MAX_PATH] = "";
    if (GetVolumeInformationA(root, name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0)) label = name;
    facts.label = label;
  }
  return DriveKindOf(facts);
}

void SelectButton(HWND bar, HWND button) {
  HWND old = reinterpret_cast<HWND>(GetWindowLongPtrA(bar, kBarSelectedWord));
  if (old && old != button && IsWindow(old)) SendMessageA(old, kSelectDriveMessage, 0, 0);
  if (button) SendMessageA(button, kSelectDriveMessage, 1, 0);
  SetWindowLongPtrA(bar, kBarSelectedWord, reinterpret_cast<LONG_PTR>(button));
}

// ---- the bar ----

void OnBarCreate(HWND bar) {
  g_buttons = DriveButtons{};
  // A drive without a disk answers quietly during the scan.
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  DWORD drives = GetLogicalDrives();
  HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE));
  for (int d = 0; d < 26; ++d) {
    if (!(drives & (1u << d))) continue;
    const int position = g_buttons.count;
    const char letter = static_cast<char>('A' + d);
    char title[2] = {letter, 0};
    HWND button = CreateWindowExA(0, "qlbutton", title, WS_CHILD | WS_VISIBLE, kButtonSpacing * position, kButtonTop,
                                  kButtonWidth, kButtonHeight, bar,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDM_DRIVE_BUTTON_FIRST + position)),
                                  inst, nullptr);
    if (!button) continue;
    SetWindowLongA(button, kButtonLetterWord, letter);
    SetWindowLongA(button, kButtonKindWord, KindOfDrive(letter));
    g_buttons.button[g_buttons.count++] = button;
  }
  SetErrorMode(oldMode);
  SelectButton(bar, ButtonOfLetter(CurrentDrive()));
}

void OnBarSize(HWND bar) {
  RECT outer;
  GetWindowRect(bar, &outer);
  const int height = outer.bottom - outer.top - 6;
  for (int i = 0; i < g_buttons.count; ++i) {
    HWND b = g_buttons.button[i];
    RECT br;
    GetWindowRect(b, &br);
    MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&br), 2);
    MoveWindow(b, br.left, kButtonTop, br.right - br.left, height > 0 ? height : 1, TRUE);
  }
}

// Command 100 + n: the active window goes to drive n's remembered directory.
void OnDriveCommand(HWND bar, int drive, bool listAgain) {
  const char letter = static_cast<char>('A' + drive);
  HWND button = ButtonOfLetter(letter);
  if (!button) return;
  HWND active = g_activeBrowser;
  HWND previous = reinterpret_cast<HWND>(GetWindowLongPtrA(bar, kBarSelectedWord));
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const bool failed = SetCurrentDirAndDrive(DriveDirectory(active, letter).c_str());
  char now[MAX_PATH] = "";
  DWORD n = failed ? 0 : GetCurrentDirectoryA(sizeof now, now);
  const bool readable = n > 0 && n < sizeof now && (now[0] & ~0x20) == letter;
  if (failed) {
    SetErrorMode(oldMode);
    return;
  }
  if (!readable) {
    // No disk: back to the drive selected before, whose button stays selected.
    if (previous && IsWindow(previous)) SetCurrentDirAndDrive(DriveDirectory(active, LetterOf(previous)).c_str());
    SetErrorMode(oldMode);
    return;
  }
  SetErrorMode(oldMode);
  SelectButton(bar, button);
  WindowRecord* r = RecordOf(active);
  if (r) {
    std::string dir = now;
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    lstrcpynA(r->curDir, dir.c_str(), sizeof r->curDir);
    RememberDriveDir(active, r->curDir);
    if (listAgain) {
      FillDirectoryList(SlotOf(active));
      ShowDirectoryTotals(active);
    }
    InvalidateRect(active, nullptr, TRUE);
  }
  SelectDriveItem(static_cast<char>(letter | 0x20));
}

// Command 402: the focus goes to the current drive's button (the first without a browser window).
void OnTakeFocus() {
  if (g_buttons.count == 0) return;
  HWND button = g_activeBrowser ? ButtonOfLetter(CurrentDrive()) : nullptr;
  SetFocus(button ? button : g_buttons.button[0]);
}

// Command 403: from the button of `letter` to its neighbour.
void OnNeighbour(WORD key, char letter) {
  int from = PositionOf(ButtonOfLetter(letter));
  if (from < 0) return;
  int to = DriveNeighbour(g_buttons.count, from, key == VK_RIGHT);
  if (to != from) SetFocus(g_buttons.button[to]);
}

LRESULT OnBarCommand(HWND bar, WPARAM w, LPARAM l) {
  const UINT id = LOWORD(w);
  if (id >= IDM_DRIVE_BUTTON_FIRST && id < IDM_DRIVE_BUTTON_FIRST + 26) {
    OnDriveCommand(bar, static_cast<int>(id - IDM_DRIVE_BUTTON_FIRST), l != 0);
  } else if (id == IDM_TAKE_FOCUS) {
    OnTakeFocus();
  } else if (id == IDM_DRIVE_BAR_NEIGHBOUR) {
    OnNeighbour(HIWORD(w), static_cast<char>(l));
  }
  return 0;
}

// ---- a drive button ----

void SendDriveCommand(HWND button) {
  HWND bar = GetParent(button);
  const char letter = LetterOf(button);
  if (bar && letter >= 'A' && letter <= 'Z')
    SendMessageA(bar, WM_COMMAND, IDM_DRIVE_BUTTON_FIRST + (letter - 'A'), reinterpret_cast<LPARAM>(button));
}

void PaintButton(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT rc;
  GetClientRect(h, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = g_letterFont ? SelectObject(dc, g_letterFont) : nullptr;
  SIZE w{};
  GetTextExtentPoint32A(dc, "w", 1, &w);
  const int pictureArea = rc.right - w.cx - 6;

  HBITMAP picture = LoadBitmapA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)),
                                DriveKindBitmap(GetWindowLongA(h, kButtonKindWord)));
  if (picture) {
    BITMAP bm{};
    GetObjectA(picture, sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, picture);
    BitBlt(dc, (pictureArea - bm.bmWidth) / 2, (rc.bottom - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight, mem, 0, 0,
           SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(picture);
  }

  char letter[2] = {LetterOf(h), 0};
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  RECT text{pictureArea, 0, rc.right - 3, rc.bottom};
  DrawTextA(dc, letter, 1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (oldFont) SelectObject(dc, oldFont);

  if (GetFocus() == h) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
  if (BrowserWindowCount() > 0) {
    RECT frame = rc;
    InflateRect(&frame, -1, -1);
    const bool selected = GetWindowLongA(h, kButtonSelectedWord) != 0;
    FrameRect(dc, &frame, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  }
  EndPaint(h, &ps);
}

void OnButtonMouseMove(HWND h, LPARAM l) {
  if (GetWindowLongA(h, kButtonDownWord)) {
    RECT rc;
    GetClientRect(h, &rc);
    POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    if (!PtInRect(&rc, pt)) SetWindowLongA(h, kButtonDownWord, 0);
  }
  ShowReadyHint();
}

void OnButtonUp(HWND h) {
  const bool down = GetWindowLongA(h, kButtonDownWord) != 0;
  SetWindowLongA(h, kButtonDownWord, 0);
  // The capture goes back also after the pointer left the button, so the rest of the frame gets
  // the mouse again.
  if (GetCapture() == h) ReleaseCapture();
  if (down) SendDriveCommand(h);
}

// Keys act when they come up.
void OnButtonKeyUp(HWND h, WPARAM key) {
  const char letter = LetterOf(h);
  switch (key) {
    case VK_TAB:
      if (GetKeyState(VK_SHIFT) < 0 && g_toolBar && IsWindowVisible(g_toolBar))
        FocusToolBar();
      else if (g_activeBrowser)
        PostMessageA(g_activeBrowser, WM_COMMAND, IDM_TAKE_FOCUS, 0);
      return;
    case VK_RETURN: {
      UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
      SetCurrentDirAndDrive(DriveDirectory(g_activeBrowser, letter).c_str());
      SetErrorMode(oldMode);
      OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
      SendDriveCommand(h);
      return;
    }
    case VK_SPACE:
      SendDriveCommand(h);
      return;
    case VK_LEFT:
    case VK_RIGHT:
      // The bar knows its buttons' order.
      PostMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(IDM_DRIVE_BAR_NEIGHBOUR, key), static_cast<LPARAM>(letter));
      return;
    default:
      return;
  }
}

// A drop on the button: the source window's drop dispatcher, with this button as the target.
LRESULT OnButtonDrop(HWND h, LPARAM l) {
  DropRecord* record = reinterpret_cast<DropRecord*>(l);
  if (!record || !record->sourceList || !IsWindow(record->sourceList)) return 1;
  record->target = h;
  return SendMessageA(GetParent(record->sourceList), kDropRecordMessage, 0, l);
}

}  // namespace

LRESULT CALLBACK DriveBarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE: OnBarCreate(h); return 0;
    case WM_SIZE: OnBarSize(h); return 0;
    case WM_PAINT:
      for (int i = 0; i < g_buttons.count; ++i) InvalidateRect(g_buttons.button[i], nullptr, TRUE);
      break;
    case WM_MOUSEMOVE: ShowReadyHint(); return 0;
    case WM_COMMAND: return OnBarCommand(h, w, l);
    case kSelectDriveMessage: SelectButton(h, ButtonOfLetter(static_cast<char>(w))); return 0;
    case WM_DESTROY: g_buttons = DriveButtons{}; break;
    default: break;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK DriveButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: PaintButton(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(h, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN:
      SetCapture(h);
      SetWindowLongA(h, kButtonDownWord, 1);
      return 0;
    case WM_MOUSEMOVE: OnButtonMouseMove(h, l); return 0;
    case WM_LBUTTONUP: OnButtonUp(h); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != h) SetWindowLongA(h, kButtonDownWord, 0);
      return 0;
    case WM_KEYUP: OnButtonKeyUp(h, w); return 0;
    case kSelectDriveMessage:
      SetWindowLongA(h, kButtonSelectedWord, w ? 1 : 0);
      InvalidateRect(h, nullptr, FALSE);
      UpdateWindow(h);
      return 0;
    case kDropRecordMessage: return OnButtonDrop(h, l);
    default: break;
  }
  return DefWindowProcA(h, m, w, l);
}

void SetDriveLetterFont(HFONT font) { g_letterFont = font; }

HWND DriveButtonAt(int position) {
  return position >= 0 && position < g_buttons.count ? g_buttons.button[position] : nullptr;
}

int DriveButtonCount() { return g_buttons.count; }

HWND DriveButtonOf(char letter) { return ButtonOfLetter(letter); }

}  // namespace ql
