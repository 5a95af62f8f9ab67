// The list box and column header superclasses of a browser window, and the lists' shared helpers.
#include <windows.h>

#include <cstring>
#include <string>

#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/drag_win.h"
#include "browser/item_format.h"
#include "resources/ids.h"

namespace ql {

void MeasureListLine(HWND list, const char* line);

namespace {

// Words after the base class's own: list box 0 ListKind, 4 stored extent (kept when the list is
// emptied, so columns only grow during the window's life); header 0 ListKind, 4 scroll position,
// 8 total text width of its list.
constexpr int kKindWord = 0;
constexpr int kExtentWord = 4;
constexpr int kScrollWord = 4;
constexpr int kTextWidthWord = 8;

bool IsClass(HWND h, const char* name) {
  char buf[32] = "";
  GetClassNameA(h, buf, sizeof buf);
  return lstrcmpiA(buf, name) == 0;
}

int BaseExtra(HWND control) {
  return IsClass(control, "qlstatic") ? g_browserHost.staticBaseExtra : g_browserHost.listBoxBaseExtra;
}

HWND HeaderOf(HWND list) {
  WindowRecord* r = RecordOf(GetParent(list));
  if (!r) return nullptr;
  return list == r->hwndArchiveList ? r->hwndArchiveHeader : nullptr;
}

void SyncHeaderScroll(HWND list) {
  HWND header = HeaderOf(list);
  if (!header) return;
  SetWindowLongA(header, g_browserHost.staticBaseExtra + kScrollWord, GetScrollPos(list, SB_HORZ));
  InvalidateRect(header, nullptr, TRUE);
}

LRESULT CallListBase(HWND h, UINT m, WPARAM w, LPARAM l) {
  return CallWindowProcA(g_browserHost.listBoxBase, h, m, w, l);
}

// The system's list box grows its item array a few items at a time, copying the whole array each
// time: filling a list of a million lines that way is quadratic. When the list being filled has
// no free room left, room for a quarter more lines is reserved, so the array grows geometrically.
// The free room is counted here rather than in a window word (setting one is a round trip to the
// window server under Wine); it is only a hint, forgotten when lines go or another list is filled.
struct ListRoom {
  HWND list = nullptr;
  LRESULT left = 0;
};
ListRoom g_room;

void UseRoom(HWND list) {
  if (g_room.list != list || g_room.left <= 0) {
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count < 0) return;
    const LRESULT more = count / 4 + 64;
    const LRESULT room = SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(more), 0);
    g_room.list = list;
    g_room.left = room > count ? room - count : more;
  }
  --g_room.left;
}

void ForgetRoom(HWND list) {
  if (g_room.list == list) g_room = ListRoom{};
}

void PaintHeader(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT rc;
  GetClientRect(h, &rc);
  HBRUSH back = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(dc, &rc, back);
  DeleteObject(back);
  const int kind = ListKindOf(h);
  WindowRecord* r = RecordOf(GetParent(h));
  // A window without an archive, or whose list has not been measured yet (a new archive), has no
  // columns: its header stays blank rather than drawing the titles on top of each other.
  const int32_t* known = !r ? nullptr : kind == kListZip ? r->zipColumns : kind == kListArj ? r->arjColumns : nullptr;
  if (r && r->archivePath[0] && known && known[0] > 0) {
    HGDIOBJ oldFont = g_browserHost.listFont ? SelectObject(dc, g_browserHost.listFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int offset = GetWindowLongA(h, g_browserHost.staticBaseExtra + kScrollWord);
    static const char* const kZip[] = {"  Name", "Length", "Size", "Ratio", "Date", "Time"};
    static const char* const kArj[] = {"  Filename", "Length", "Size", "Date", "Time"};
    const char* const* titles = kind == kListZip ? kZip : kArj;
    const int n = kind == kListZip ? 6 : 5;
    const int32_t* cols = kind == kListZip ? r->zipColumns : r->arjColumns;
    for (int i = 0; i < n; ++i) {
      int x = (i == 0 ? 0 : cols[i - 1]) - offset;
      TextOutA(dc, x, 0, titles[i], static_cast<int>(std::strlen(titles[i])));
    }
    if (oldFont) SelectObject(dc, oldFont);
  }
  EndPaint(h, &ps);
}

void SelectedTabFocus(HWND list, bool shift) {
  WindowRecord* r = RecordOf(GetParent(list));
  if (!r) return;
  if (list == r->hwndDirList && !shift && SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0) > 0) {
    SetFocus(r->hwndArchiveList);
  } else if (list == r->hwndArchiveList && shift) {
    SetFocus(r->hwndDirList);
  } else if (g_trashCan && IsWindowVisible(g_trashCan)) {
    // The tool bar's control that takes the keyboard: the trash can.
    SetFocus(g_trashCan);
  } else if (g_buttonBar && IsWindowVisible(g_buttonBar)) {
    SendMessageA(g_buttonBar, WM_COMMAND, IDM_TAKE_FOCUS, 0);
  }
}

}  // namespace

int ListKindOf(HWND control) {
  if (!control || !IsWindow(control)) return 0;
  return GetWindowLongA(control, BaseExtra(control) + kKindWord);
}

void SetListKind(HWND control, int kind) {
  if (control) SetWindowLongA(control, BaseExtra(control) + kKindWord, kind);
}

int StoredExtent(HWND list) { return GetWindowLongA(list, g_browserHost.listBoxBaseExtra + kExtentWord) & 0xFFFF; }

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> out;
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  out.reserve(n > 0 ? n : 0);
  std::string buf;
  for (int i = 0; i < n; ++i) {
    LRESULT len = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    buf.assign(len > 0 ? static_cast<size_t>(len) + 1 : 1, '\0');
    LRESULT got = SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&buf[0]));
    out.emplace_back(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
  }
  return out;
}

std::vector<int> SelectedIndexes(HWND list) {
  std::vector<int> out;
  LRESULT n = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  if (n <= 0) return out;
  out.resize(static_cast<size_t>(n));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(out.data()));
  out.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

LRESULT CALLBACK ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  LRESULT handled = 0;
  if (HandleDragMessage(h, m, w, l, &handled)) return handled;
  switch (m) {
    case WM_SETFOCUS: {
      WindowRecord* r = RecordOf(GetParent(h));
      if (r) r->hwndFocusList = h;
      break;
    }
    case WM_HSCROLL: {
      LRESULT res = CallListBase(h, m, w, l);
      SyncHeaderScroll(h);
      return res;
    }
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
      MeasureListLine(h, reinterpret_cast<const char*>(l));
      UseRoom(h);
      break;
    case LB_RESETCONTENT:
    case LB_DELETESTRING:
    case WM_NCDESTROY:
      // The system may give room back when lines go.
      ForgetRoom(h);
      break;
    case LB_SETHORIZONTALEXTENT: {
      HWND header = HeaderOf(h);
      if (header) SetWindowLongA(header, g_browserHost.staticBaseExtra + kTextWidthWord, static_cast<LONG>(w));
      break;
    }
    case WM_MOUSEMOVE:
      ShowReadyHint();
      break;
    case WM_KEYDOWN:
      if (w == VK_F1 && RecordOf(GetParent(h)) && g_browserHost.showHelp) {
        g_browserHost.showHelp(GetParent(h), kBrowserHelpContext);
        return 0;
      }
      break;
    case WM_KEYUP: {
      WindowRecord* r = RecordOf(GetParent(h));
      if (!r) break;
      if (w == VK_RETURN) {
        SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), LBN_DBLCLK), reinterpret_cast<LPARAM>(h));
        return 0;
      }
      if (w == VK_TAB) {
        SelectedTabFocus(h, GetKeyState(VK_SHIFT) < 0);
        return 0;
      }
      if ((w == VK_LEFT || w == VK_RIGHT) && h == r->hwndArchiveList) {
        SendMessageA(h, WM_HSCROLL, w == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT, 0);
        return 0;
      }
      break;
    }
    case WM_RBUTTONDOWN: {
      HWND parent = GetParent(h);
      if (!RecordOf(parent) || SendMessageA(h, LB_GETSELCOUNT, 0, 0) <= 0) break;
      HMENU menu = LoadMenuA(g_browserHost.instance, ListKindOf(h) == kListDirectory ? "PopupFile" : "PopupArchive");
      if (!menu) break;
      POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      ClientToScreen(h, &pt);
      TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, h, nullptr);
      DestroyMenu(menu);
      return 0;
    }
    case WM_COMMAND: {
      // Commands of the context menu belong to the frame.
      HWND frame = g_browserHost.mdiClient ? GetParent(g_browserHost.mdiClient) : nullptr;
      if (frame) PostMessageA(frame, WM_COMMAND, w, l);
      return 0;
    }
    default:
      break;
  }
  return CallListBase(h, m, w, l);
}

LRESULT CALLBACK StaticTextProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_SETTEXT:
      // The system's static control paints its new text at once, past WM_PAINT; a column header
      // keeps the text as data and draws only what PaintHeader draws.
      if (RecordOf(GetParent(h))) {
        LRESULT r = DefWindowProcA(h, m, w, l);
        InvalidateRect(h, nullptr, TRUE);
        return r;
      }
      break;
    case WM_PAINT:
      if (RecordOf(GetParent(h))) {
        PaintHeader(h);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (RecordOf(GetParent(h))) return 1;
      break;
    case WM_HSCROLL:
      if (LOWORD(w) == SB_ENDSCROLL) {
        SetWindowLongA(h, g_browserHost.staticBaseExtra + kScrollWord, static_cast<short>(HIWORD(w)));
        InvalidateRect(h, nullptr, TRUE);
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(g_browserHost.staticBase, h, m, w, l);
}

namespace {

// The splitter's drag: the bar drawn last (screen coordinates) and the parent's client rectangle.
struct SplitterDrag {
  HWND splitter = nullptr;
  bool drawn = false;
  RECT bar{};
  RECT parentClient{};  // screen coordinates
};
SplitterDrag g_drag;

void InvertBar(const RECT& r) {
  HDC dc = GetDC(nullptr);
  PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, DSTINVERT);
  ReleaseDC(nullptr, dc);
}

}  // namespace

int SplitterBarLeft(int pointerX, int parentLeft) {
  int x = pointerX - parentLeft;
  if (x < 125) x = 125;
  if (x > 425) x = 425;
  return parentLeft + x;
}

LRESULT CALLBACK ResizeBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_LBUTTONDOWN: {
      SetCapture(h);
      HWND parent = GetParent(h);
      GetClientRect(parent, &g_drag.parentClient);
      MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&g_drag.parentClient), 2);
      g_drag.splitter = h;
      g_drag.drawn = false;
      return 0;
    }
    case WM_MOUSEMOVE: {
      ShowReadyHint();
      if (g_drag.splitter != h) return 0;
      POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      ClientToScreen(h, &pt);
      RECT bar;
      GetWindowRect(h, &bar);
      int width = bar.right - bar.left;
      bar.left = SplitterBarLeft(pt.x, g_drag.parentClient.left);
      bar.right = bar.left + width;
      if (g_drag.drawn) InvertBar(g_drag.bar);
      g_drag.bar = bar;
      InvertBar(g_drag.bar);
      g_drag.drawn = true;
      return 0;
    }
    case WM_LBUTTONUP: {
      if (g_drag.splitter != h) return 0;
      SplitterDrag drag = g_drag;
      g_drag = SplitterDrag{};
      ReleaseCapture();
      if (!drag.drawn) return 0;
      InvertBar(drag.bar);
      HWND parent = GetParent(h);
      // Lists repainted during the drag took parts of the inverted bar into their own pixels:
      // everything under the window is drawn again.
      RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      const int top = g_browserHost.barHeight ? g_browserHost.barHeight() : 0;
      const int left = drag.bar.left - drag.parentClient.left;
      const int height = drag.parentClient.bottom - drag.parentClient.top;
      if (left < top || height < top + g_browserHost.lineHeight + 8) return 0;
      // The window the splitter belongs to takes the new split, whichever window is active.
      WindowRecord* r = RecordOf(parent);
      if (!r) return 0;
      MoveWindow(h, left, top, drag.bar.right - drag.bar.left, height - top, TRUE);
      r->splitterPos = left;
      RECT rc;
      GetClientRect(parent, &rc);
      SendMessageA(parent, WM_SIZE, IsZoomed(parent) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (g_drag.splitter == h && reinterpret_cast<HWND>(l) != h) {
        if (g_drag.drawn) {
          InvertBar(g_drag.bar);
          RedrawWindow(GetParent(h), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        g_drag = SplitterDrag{};
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

bool RegisterBrowserClasses(HINSTANCE instance) {
  g_browserHost.instance = instance;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = BrowserWindowProc;
  wc.cbWndExtra = kBrowserExtraBytes;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "MDICHILD";
  if (!RegisterClassA(&wc)) return false;

  struct Super {
    const char* base;
    const char* name;
    WNDPROC proc;
    WNDPROC* keep;
    int* extra;
    bool windowBackground;
  } supers[] = {
      {"listbox", "qllistbox", ListBoxProc, &g_browserHost.listBoxBase, &g_browserHost.listBoxBaseExtra, false},
      {"static", "qlstatic", StaticTextProc, &g_browserHost.staticBase, &g_browserHost.staticBaseExtra, true},
  };
  for (const auto& s : supers) {
    WNDCLASSA b{};
    if (!GetClassInfoA(nullptr, s.base, &b)) return false;
    *s.keep = b.lpfnWndProc;
    *s.extra = b.cbWndExtra;
    b.lpfnWndProc = s.proc;
    b.cbWndExtra += 20;
    b.hInstance = instance;
    b.lpszClassName = s.name;
    b.style &= ~CS_GLOBALCLASS;
    if (s.windowBackground) b.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!RegisterClassA(&b)) return false;
  }

  WNDCLASSA sp{};
  sp.lpfnWndProc = ResizeBoxProc;
  sp.cbWndExtra = 32;
  sp.hInstance = instance;
  sp.hCursor = LoadCursorA(instance, "resize");
  sp.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  sp.lpszClassName = "QLResizebox";
  RegisterClassA(&sp);
  return true;
}

}  // namespace ql
