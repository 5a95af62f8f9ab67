#include "app/help_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/settings.h"
#include "common/dialog_kit_win.h"
#include "common/help_book.h"
#include "common/help_contexts.h"
#include "resources/ids.h"

namespace ql {

namespace {

constexpr const char* kHelpClass = "QLHelpWindow";
constexpr const char* kTopicClass = "QLHelpTopic";
constexpr const char* kCaption = "Quillon Help";
constexpr const char* kPlacementSection = "Help Window";
constexpr const char* kPlacementKey = "Placement";
constexpr int kButtonBar = 32;   // height of the row of buttons
constexpr int kLeftPane = 240;   // widest Contents and index
constexpr int kMargin = 10;      // inside the topic pane
constexpr int kMinWidth = 420;
constexpr int kMinHeight = 300;

// The book read from the help file, with the file it came from and that file's time and size.
struct Loaded {
  help::Book book;
  std::vector<help::IndexEntry> index;
  std::string path;
  FILETIME written{};
  DWORD size = 0;
  bool valid = false;
  unsigned generation = 0;  // counts the readings, so that the window knows when to refill
};

// A piece of laid-out text in the topic pane: its place, its text and font, and its link.
struct Piece {
  RECT rc;
  std::string text;
  int font;  // 0 text, 1 bold, 2 title, 3 link
  int link;  // index into links, or -1
};

struct Link {
  std::string target;
  std::vector<int> pieces;
};

struct State {
  HWND window = nullptr;
  HWND topicPane = nullptr;
  HFONT uiFont = nullptr;
  HFONT fonts[4] = {};
  Loaded data;
  int topic = -1;
  std::vector<int> back;
  bool searchShown = false;
  unsigned listsGeneration = 0;
  unsigned readings = 0;
  // Layout of the topic pane.
  std::vector<Piece> pieces;
  std::vector<Link> links;
  int layoutWidth = -1;
  int textHeight = 0;
  int scroll = 0;
  int focusLink = -1;
};
State g_help;

// ---- the help file ----

bool FileStamp(const std::string& path, FILETIME* written, DWORD* size) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return false;
  if (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *written = a.ftLastWriteTime;
  *size = a.nFileSizeLow;
  return true;
}

// Reads the help file the settings name, again only when it changed. A missing or damaged file is
// reported to the user; false then.
bool LoadBook(HWND owner) {
  std::string path = g_helpFile;
  FILETIME written{};
  DWORD size = 0;
  bool exists = !path.empty() && FileStamp(path, &written, &size);
  Loaded& d = g_help.data;
  if (exists && d.valid && d.path == path && CompareFileTime(&d.written, &written) == 0 && d.size == size) return true;
  d = Loaded{};
  std::string error;
  std::string text;
  HANDLE f = exists ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                    : INVALID_HANDLE_VALUE;
  if (f == INVALID_HANDLE_VALUE) {
    std::string format = LoadText(IDS_HELP_MISSING);
    std::vector<char> msg(format.size() + path.size() + 16);
    snprintf(msg.data(), msg.size(), format.c_str(), path.empty() ? "QL53.HLP" : path.c_str());
    AppMessageBox(owner, msg.data(), "Quillon", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  // The help data is text of a few dozen kilobytes; anything far larger is not ours.
  constexpr DWORD kLimit = 4u << 20;
  if (size <= kLimit) {
    text.resize(size);
    DWORD got = 0;
    if (size && !ReadFile(f, &text[0], size, &got, nullptr)) got = 0;
    text.resize(got);
  }
  CloseHandle(f);
  if (!help::ParseBook(text, &d.book)) {
    error = d.book.errors.empty() ? "unreadable" : d.book.errors[0];
    if (size > kLimit) error = "too large";
    std::string format = LoadText(IDS_HELP_DAMAGED);
    std::vector<char> msg(format.size() + path.size() + error.size() + 16);
    snprintf(msg.data(), msg.size(), format.c_str(), path.c_str(), error.c_str());
    AppMessageBox(owner, msg.data(), "Quillon", MB_OK | MB_ICONEXCLAMATION);
    d = Loaded{};
    return false;
  }
  d.index = d.book.Index();
  d.generation = ++g_help.readings;
  d.path = path;
  d.written = written;
  d.size = size;
  d.valid = true;
  return true;
}

const help::Topic* CurrentTopic() {
  if (g_help.topic < 0 || g_help.topic >= static_cast<int>(g_help.data.book.topics.size())) return nullptr;
  return &g_help.data.book.topics[g_help.topic];
}

// ---- placement ----

void SavePlacement(HWND w) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(w, &wp)) return;
  const RECT& r = wp.rcNormalPosition;
  char text[64];
  snprintf(text, sizeof text, "%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  IniWrite(kPlacementSection, kPlacementKey, text);
}

// The saved place when it is sound and on a screen; else the right half of the work area.
RECT InitialPlacement() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  std::string saved = IniString(kPlacementSection, kPlacementKey, "", 64);
  long x, y, w, h;
  char extra;
  if (sscanf(saved.c_str(), "%ld %ld %ld %ld %c", &x, &y, &w, &h, &extra) == 4 && w >= kMinWidth &&
      h >= kMinHeight && w <= 20000 && h <= 20000 && x > -20000 && x < 20000 && y > -20000 && y < 20000) {
    RECT r{x, y, x + w, y + h};
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.right <= screen.left) screen = work;
    RECT title{r.left, r.top, r.right, r.top + 30};
    RECT seen;
    if (IntersectRect(&seen, &title, &screen) && seen.right - seen.left >= 60) return r;
  }
  long width = std::min<long>(640, std::max<long>(kMinWidth, (work.right - work.left) / 2));
  long height = std::min<long>(560, work.bottom - work.top);
  return RECT{work.right - width, work.top, work.right, work.top + height};
}

// ---- the topic pane: layout, drawing, links ----

void MakeFonts() {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  g_help.uiFont = CreateFontIndirectA(&lf);
  lf.lfHeight = lf.lfHeight < 0 ? lf.lfHeight - 1 : lf.lfHeight + 1;
  g_help.fonts[0] = CreateFontIndirectA(&lf);
  LOGFONTA bold = lf;
  bold.lfWeight = FW_BOLD;
  g_help.fonts[1] = CreateFontIndirectA(&bold);
  LOGFONTA title = bold;
  title.lfHeight = lf.lfHeight < 0 ? lf.lfHeight * 3 / 2 : lf.lfHeight * 3 / 2;
  g_help.fonts[2] = CreateFontIndirectA(&title);
  LOGFONTA link = lf;
  link.lfUnderline = TRUE;
  g_help.fonts[3] = CreateFontIndirectA(&link);
}

void FreeFonts() {
  for (HFONT& f : g_help.fonts) {
    if (f) DeleteObject(f);
    f = nullptr;
  }
  if (g_help.uiFont) DeleteObject(g_help.uiFont);
  g_help.uiFont = nullptr;
}

// Lays out the topic for a pane `width` pixels wide: words are wrapped, each word becomes a piece.
void Layout(HDC dc, int width) {
  g_help.pieces.clear();
  g_help.links.clear();
  g_help.layoutWidth = width;
  const help::Topic* t = CurrentTopic();
  if (!t) {
    g_help.textHeight = 0;
    return;
  }
  int right = std::max(width - kMargin, kMargin + 80);
  int y = kMargin;
  auto lineHeight = [&](int font) {
    SelectObject(dc, g_help.fonts[font]);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    return static_cast<int>(tm.tmHeight + tm.tmExternalLeading);
  };
  auto emit = [&](const std::vector<help::Span>& spans, int font, int left, int* yy) {
    int x = left;
    int height = lineHeight(font);
    for (const help::Span& s : spans) {
      int f = s.link.empty() ? font : 3;
      int link = -1;
      if (!s.link.empty()) {
        g_help.links.push_back(Link{s.link, {}});
        link = static_cast<int>(g_help.links.size()) - 1;
      }
      SelectObject(dc, g_help.fonts[f]);
      // A new span starts a new piece; the blanks after a word go into the piece before the next.
      bool joinable = false;
      std::string blanks;
      size_t at = 0;
      while (at < s.text.size()) {
        // A word with the blanks after it.
        size_t end = s.text.find(' ', at);
        end = end == std::string::npos ? s.text.size() : end;
        while (end < s.text.size() && s.text[end] == ' ') ++end;
        std::string word = s.text.substr(at, end - at);
        at = end;
        SIZE sz;
        std::string shown = word;
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &sz);
        if (x > left && x + sz.cx > right) {
          x = left;
          *yy += height;
          joinable = false;
          if (shown.empty()) continue;
        }
        if (!shown.empty()) {
          // Words of one style on one line are drawn together, so that the font spaces them.
          Piece* last = g_help.pieces.empty() ? nullptr : &g_help.pieces.back();
          if (last && joinable && last->rc.top == *yy && last->font == f && last->link == link) {
            last->text += blanks + shown;
            SIZE run;
            GetTextExtentPoint32A(dc, last->text.c_str(), static_cast<int>(last->text.size()), &run);
            last->rc.right = last->rc.left + run.cx;
          } else {
            g_help.pieces.push_back(Piece{RECT{x, *yy, x + sz.cx, *yy + height}, shown, f, link});
            if (link >= 0) g_help.links[link].pieces.push_back(static_cast<int>(g_help.pieces.size()) - 1);
          }
          joinable = true;
        }
        blanks = word.substr(shown.size());
        SIZE full;
        GetTextExtentPoint32A(dc, word.c_str(), static_cast<int>(word.size()), &full);
        x += full.cx;
      }
    }
    *yy += height;
  };
  emit({help::Span{t->title, ""}}, 2, kMargin, &y);
  y += lineHeight(0) / 2;
  int bulletIndent = 0;
  {
    SelectObject(dc, g_help.fonts[0]);
    SIZE sz;
    GetTextExtentPoint32A(dc, "\x95  ", 3, &sz);
    bulletIndent = sz.cx;
  }
  for (const help::Block& b : t->blocks) {
    switch (b.kind) {
      case help::Block::kHeading:
        y += lineHeight(1) / 2;
        emit(b.spans, 1, kMargin, &y);
        y += 2;
        break;
      case help::Block::kBullet:
        g_help.pieces.push_back(Piece{RECT{kMargin, y, kMargin + bulletIndent, y + lineHeight(0)}, "\x95", 0, -1});
        emit(b.spans, 0, kMargin + bulletIndent, &y);
        y += 2;
        break;
      case help::Block::kParagraph:
        emit(b.spans, 0, kMargin, &y);
        y += lineHeight(0) / 2;
        break;
    }
  }
  g_help.textHeight = y + kMargin;
}

void UpdateScrollBar(HWND pane) {
  RECT rc;
  GetClientRect(pane, &rc);
  int page = rc.bottom;
  int maxScroll = std::max(0, g_help.textHeight - page);
  g_help.scroll = std::min(std::max(g_help.scroll, 0), maxScroll);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = g_help.textHeight > 0 ? g_help.textHeight - 1 : 0;
  si.nPage = static_cast<UINT>(std::max(page, 1));
  si.nPos = g_help.scroll;
  SetScrollInfo(pane, SB_VERT, &si, TRUE);
}

void Relayout(HWND pane) {
  RECT rc;
  GetClientRect(pane, &rc);
  HDC dc = GetDC(pane);
  HGDIOBJ old = SelectObject(dc, g_help.fonts[0]);
  Layout(dc, rc.right);
  // The scroll bar can come or go with the layout; lay out again for the new width.
  UpdateScrollBar(pane);
  RECT after;
  GetClientRect(pane, &after);
  if (after.right != rc.right) {
    Layout(dc, after.right);
    UpdateScrollBar(pane);
  }
  SelectObject(dc, old);
  ReleaseDC(pane, dc);
  InvalidateRect(pane, nullptr, TRUE);
}

void PaintTopic(HWND pane) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(pane, &ps);
  RECT rc;
  GetClientRect(pane, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, g_help.fonts[0]);
  for (const Piece& p : g_help.pieces) {
    RECT r = p.rc;
    OffsetRect(&r, 0, -g_help.scroll);
    if (r.bottom < ps.rcPaint.top || r.top > ps.rcPaint.bottom) continue;
    SelectObject(dc, g_help.fonts[p.font]);
    SetTextColor(dc, p.link >= 0 ? RGB(0, 0, 192) : GetSysColor(COLOR_WINDOWTEXT));
    TextOutA(dc, r.left, r.top, p.text.c_str(), static_cast<int>(p.text.size()));
  }
  // The link chosen with the keyboard gets a focus frame while the pane has the focus.
  if (GetFocus() == pane && g_help.focusLink >= 0 && g_help.focusLink < static_cast<int>(g_help.links.size()))
    for (int i : g_help.links[g_help.focusLink].pieces) {
      RECT r = g_help.pieces[i].rc;
      OffsetRect(&r, 0, -g_help.scroll);
      InflateRect(&r, 1, 0);
      DrawFocusRect(dc, &r);
    }
  SelectObject(dc, old);
  EndPaint(pane, &ps);
}

int LinkAt(int x, int y) {
  POINT pt{x, y + g_help.scroll};
  for (const Piece& p : g_help.pieces)
    if (p.link >= 0 && PtInRect(&p.rc, pt)) return p.link;
  return -1;
}

void ScrollTo(HWND pane, int pos) {
  RECT rc;
  GetClientRect(pane, &rc);
  int maxScroll = std::max(0, g_help.textHeight - static_cast<int>(rc.bottom));
  pos = std::min(std::max(pos, 0), maxScroll);
  if (pos == g_help.scroll) return;
  g_help.scroll = pos;
  SetScrollPos(pane, SB_VERT, pos, TRUE);
  InvalidateRect(pane, nullptr, TRUE);
}

void ShowTopic(int topic, bool remember);

void FollowLink(int link) {
  if (link < 0 || link >= static_cast<int>(g_help.links.size())) return;
  int target = g_help.data.book.Find(g_help.links[link].target);
  if (target >= 0) ShowTopic(target, true);
}

// Keeps the link chosen with the keyboard in sight.
void RevealLink(HWND pane, int link) {
  if (link < 0 || g_help.links[link].pieces.empty()) return;
  const RECT& r = g_help.pieces[g_help.links[link].pieces.front()].rc;
  RECT rc;
  GetClientRect(pane, &rc);
  if (r.top < g_help.scroll) ScrollTo(pane, r.top - kMargin);
  else if (r.bottom > g_help.scroll + rc.bottom) ScrollTo(pane, r.bottom - rc.bottom + kMargin);
}

LRESULT CALLBACK TopicProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT:
      PaintTopic(h);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Relayout(h);
      return 0;
    case WM_VSCROLL: {
      RECT rc;
      GetClientRect(h, &rc);
      int line = 16;
      int pos = g_help.scroll;
      switch (LOWORD(w)) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= rc.bottom - line; break;
        case SB_PAGEDOWN: pos += rc.bottom - line; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = g_help.textHeight; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO si{};
          si.cbSize = sizeof si;
          si.fMask = SIF_TRACKPOS;
          GetScrollInfo(h, SB_VERT, &si);
          pos = si.nTrackPos;
          break;
        }
        default: break;
      }
      ScrollTo(h, pos);
      return 0;
    }
    case WM_MOUSEWHEEL:
      ScrollTo(h, g_help.scroll - GET_WHEEL_DELTA_WPARAM(w) * 48 / WHEEL_DELTA);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(h, &pt);
        SetCursor(LoadCursor(nullptr, LinkAt(pt.x, pt.y) >= 0 ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      SetFocus(h);
      return 0;
    case WM_LBUTTONUP:
      FollowLink(LinkAt(GET_X_LPARAM(l), GET_Y_LPARAM(l)));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
    case WM_KEYDOWN: {
      int count = static_cast<int>(g_help.links.size());
      switch (w) {
        case VK_TAB:
          // Tab and Shift+Tab step through the links.
          if (count) {
            bool backwards = GetKeyState(VK_SHIFT) < 0;
            int f = g_help.focusLink;
            f = backwards ? (f <= 0 ? count - 1 : f - 1) : (f + 1) % count;
            g_help.focusLink = f;
            RevealLink(h, f);
            InvalidateRect(h, nullptr, TRUE);
          }
          return 0;
        case VK_RETURN:
          FollowLink(g_help.focusLink);
          return 0;
        case VK_BACK:
          SendMessageA(GetParent(h), WM_COMMAND, kHelpBackButton, 0);
          return 0;
        case VK_UP: SendMessageA(h, WM_VSCROLL, SB_LINEUP, 0); return 0;
        case VK_DOWN: SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0); return 0;
        case VK_PRIOR: SendMessageA(h, WM_VSCROLL, SB_PAGEUP, 0); return 0;
        case VK_NEXT: SendMessageA(h, WM_VSCROLL, SB_PAGEDOWN, 0); return 0;
        case VK_HOME: SendMessageA(h, WM_VSCROLL, SB_TOP, 0); return 0;
        case VK_END: SendMessageA(h, WM_VSCROLL, SB_BOTTOM, 0); return 0;
        default: break;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

// ---- the window ----

HWND Child(int id) { return GetDlgItem(g_help.window, id); }

void ShowTopic(int topic, bool remember) {
  if (topic < 0 || topic >= static_cast<int>(g_help.data.book.topics.size())) return;
  if (remember && g_help.topic >= 0 && g_help.topic != topic) g_help.back.push_back(g_help.topic);
  if (g_help.back.size() > 100) g_help.back.erase(g_help.back.begin());
  g_help.topic = topic;
  g_help.scroll = 0;
  g_help.focusLink = -1;
  const help::Topic& t = g_help.data.book.topics[topic];
  SetWindowTextA(g_help.window, (std::string(kCaption) + " - " + t.title).c_str());
  EnableWindow(Child(kHelpBackButton), !g_help.back.empty());
  // The Contents follow the topic shown.
  HWND list = Child(kHelpContentsList);
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i)
    if (static_cast<int>(SendMessageA(list, LB_GETITEMDATA, i, 0)) == topic) {
      if (SendMessageA(list, LB_GETCURSEL, 0, 0) != i) SendMessageA(list, LB_SETCURSEL, i, 0);
      break;
    }
  Relayout(g_help.topicPane);
}

void FillLists() {
  g_help.listsGeneration = g_help.data.generation;
  HWND contents = Child(kHelpContentsList);
  SendMessageA(contents, LB_RESETCONTENT, 0, 0);
  std::string group;
  bool first = true;
  const auto& topics = g_help.data.book.topics;
  for (size_t i = 0; i < topics.size(); ++i) {
    if (first || topics[i].group != group) {
      group = topics[i].group;
      if (!group.empty()) {
        int at = static_cast<int>(SendMessageA(contents, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.c_str())));
        SendMessageA(contents, LB_SETITEMDATA, at, static_cast<LPARAM>(-1));
      }
      first = false;
    }
    std::string line = "      " + topics[i].title;
    int at = static_cast<int>(SendMessageA(contents, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
    SendMessageA(contents, LB_SETITEMDATA, at, static_cast<LPARAM>(i));
  }
  HWND index = Child(kHelpIndexList);
  SendMessageA(index, WM_SETREDRAW, FALSE, 0);
  SendMessageA(index, LB_RESETCONTENT, 0, 0);
  for (const help::IndexEntry& e : g_help.data.index) {
    int at = static_cast<int>(SendMessageA(index, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str())));
    SendMessageA(index, LB_SETITEMDATA, at, static_cast<LPARAM>(e.topic));
  }
  SendMessageA(index, WM_SETREDRAW, TRUE, 0);
}

void LayoutWindow(HWND w) {
  RECT rc;
  GetClientRect(w, &rc);
  int x = 6;
  for (int id : {kHelpContentsButton, kHelpSearchButton, kHelpBackButton}) {
    MoveWindow(Child(id), x, 4, 84, 24, TRUE);
    x += 90;
  }
  int top = kButtonBar + 2;
  int height = std::max<int>(rc.bottom - top - 6, 40);
  int left = std::min<int>(kLeftPane, std::max<int>(rc.right * 2 / 5, 120));
  MoveWindow(Child(kHelpContentsList), 6, top, left - 6, height, TRUE);
  MoveWindow(Child(kHelpKeywordLabel), 6, top, left - 6, 16, TRUE);
  MoveWindow(Child(kHelpKeywordEdit), 6, top + 18, left - 6, 22, TRUE);
  MoveWindow(Child(kHelpIndexList), 6, top + 44, left - 6, std::max(height - 44 - 30, 20), TRUE);
  MoveWindow(Child(kHelpDisplayButton), 6, top + height - 26, 84, 24, TRUE);
  MoveWindow(g_help.topicPane, left + 6, top, std::max<int>(rc.right - left - 12, 40), height, TRUE);
}

void ShowPane(bool search) {
  g_help.searchShown = search;
  ShowWindow(Child(kHelpContentsList), search ? SW_HIDE : SW_SHOW);
  for (int id : {kHelpKeywordLabel, kHelpKeywordEdit, kHelpIndexList, kHelpDisplayButton})
    ShowWindow(Child(id), search ? SW_SHOW : SW_HIDE);
  SetFocus(Child(search ? kHelpKeywordEdit : kHelpContentsList));
  if (search) SendMessageA(Child(kHelpKeywordEdit), EM_SETSEL, 0, -1);
}

// Search as you type: the first keyword that begins with the text typed is chosen.
void KeywordChanged() {
  char typed[128] = "";
  GetWindowTextA(Child(kHelpKeywordEdit), typed, sizeof typed);
  int i = help::FindIndexPrefix(g_help.data.index, typed);
  HWND index = Child(kHelpIndexList);
  if (i >= 0) {
    SendMessageA(index, LB_SETCURSEL, i, 0);
    SendMessageA(index, LB_SETTOPINDEX, i, 0);
  } else {
    SendMessageA(index, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void DisplayChosenKeyword() {
  HWND index = Child(kHelpIndexList);
  int sel = static_cast<int>(SendMessageA(index, LB_GETCURSEL, 0, 0));
  if (sel < 0) {
    MessageBeep(MB_OK);
    return;
  }
  ShowTopic(static_cast<int>(SendMessageA(index, LB_GETITEMDATA, sel, 0)), true);
}

WNDPROC g_editProc = nullptr;

// The keyword field: Enter displays the chosen keyword's topic, the arrow keys move in the index.
LRESULT CALLBACK KeywordEditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_GETDLGCODE) return CallWindowProcA(g_editProc, h, m, w, l) | DLGC_WANTALLKEYS;
  if (m == WM_CHAR && (w == '\r' || w == '\n')) return 0;
  if (m == WM_KEYDOWN) {
    HWND index = Child(kHelpIndexList);
    switch (w) {
      case VK_RETURN:
        DisplayChosenKeyword();
        return 0;
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT:
        SendMessageA(index, WM_KEYDOWN, w, l);
        return 0;
      default:
        break;
    }
  }
  return CallWindowProcA(g_editProc, h, m, w, l);
}

HWND MakeChild(HWND parent, const char* cls, const char* text, DWORD style, int id, DWORD exStyle = 0) {
  HWND h = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(g_help.uiFont), FALSE);
  return h;
}

LRESULT CALLBACK HelpProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE: {
      g_help.window = h;
      MakeChild(h, "BUTTON", "&Contents", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kHelpContentsButton);
      MakeChild(h, "BUTTON", "&Search", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kHelpSearchButton);
      MakeChild(h, "BUTTON", "&Back", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, kHelpBackButton);
      MakeChild(h, "LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                kHelpContentsList, WS_EX_CLIENTEDGE);
      MakeChild(h, "STATIC", "Type a &keyword:", 0, kHelpKeywordLabel);
      HWND edit = MakeChild(h, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kHelpKeywordEdit, WS_EX_CLIENTEDGE);
      SendMessageA(edit, EM_LIMITTEXT, 100, 0);
      g_editProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeywordEditProc)));
      MakeChild(h, "LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kHelpIndexList,
                WS_EX_CLIENTEDGE);
      MakeChild(h, "BUTTON", "&Display", WS_TABSTOP | BS_PUSHBUTTON, kHelpDisplayButton);
      g_help.topicPane = CreateWindowExA(WS_EX_CLIENTEDGE, kTopicClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP,
                                         0, 0, 10, 10, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHelpTopicPane)),
                                         GetModuleHandleA(nullptr), nullptr);
      return 0;
    }
    case WM_SIZE:
      LayoutWindow(h);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMinTrackSize.x = kMinWidth;
      mm->ptMinTrackSize.y = kMinHeight;
      return 0;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case kHelpContentsButton:
          ShowPane(false);
          return 0;
        case kHelpSearchButton:
          ShowPane(true);
          KeywordChanged();
          return 0;
        case kHelpBackButton:
          if (!g_help.back.empty()) {
            int previous = g_help.back.back();
            g_help.back.pop_back();
            ShowTopic(previous, false);
          }
          return 0;
        case kHelpDisplayButton:
          DisplayChosenKeyword();
          return 0;
        case kHelpKeywordEdit:
          if (HIWORD(w) == EN_CHANGE) KeywordChanged();
          return 0;
        case kHelpIndexList:
          if (HIWORD(w) == LBN_DBLCLK) DisplayChosenKeyword();
          return 0;
        case kHelpContentsList:
          if (HIWORD(w) == LBN_SELCHANGE) {
            HWND list = Child(kHelpContentsList);
            int sel = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
            int topic = sel < 0 ? -1 : static_cast<int>(SendMessageA(list, LB_GETITEMDATA, sel, 0));
            if (topic >= 0 && topic != g_help.topic) ShowTopic(topic, true);
          }
          return 0;
        default:
          break;
      }
      break;
    case WM_KEYDOWN:
      if (w == VK_ESCAPE) {
        SendMessageA(h, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_CLOSE:
      SavePlacement(h);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      g_help.window = nullptr;
      g_help.topicPane = nullptr;
      g_help.topic = -1;
      g_help.back.clear();
      g_help.pieces.clear();
      g_help.links.clear();
      FreeFonts();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

bool RegisterClasses() {
  static bool done = false;
  if (done) return true;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = HelpProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.hIcon = LoadIconA(inst, "QL4");
  wc.lpszClassName = kHelpClass;
  if (!RegisterClassA(&wc)) return false;
  WNDCLASSA tc{};
  tc.style = CS_HREDRAW | CS_VREDRAW;
  tc.lpfnWndProc = TopicProc;
  tc.hInstance = inst;
  tc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  tc.lpszClassName = kTopicClass;
  if (!RegisterClassA(&tc)) return false;
  done = true;
  return true;
}

bool CreateHelpWindow(HWND owner) {
  if (!RegisterClasses()) return false;
  MakeFonts();
  RECT r = InitialPlacement();
  // Owned by the frame, so that it stays with Quillon, but never by a dialog that will close.
  HWND top = owner ? GetAncestor(owner, GA_ROOTOWNER) : nullptr;
  HWND w = CreateWindowExA(0, kHelpClass, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, top, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!w) {
    FreeFonts();
    return false;
  }
  FillLists();
  LayoutWindow(w);
  ShowPane(false);
  return true;
}

void Open(HWND owner, HelpAction action, DWORD context) {
  if (!LoadBook(owner)) {
    // The file went away or broke while the window was open: close it rather than show stale text.
    if (g_help.window) DestroyWindow(g_help.window);
    return;
  }
  bool fresh = !g_help.window;
  if (fresh && !CreateHelpWindow(owner)) {
    ReportDialogNotMade(owner, kHelpClass);
    return;
  }
  if (!fresh && g_help.listsGeneration != g_help.data.generation) {
    // The file was read again: the lists and the history belong to the old one.
    g_help.back.clear();
    g_help.topic = -1;
    FillLists();
  }
  const help::Book& book = g_help.data.book;
  int topic = -1;
  switch (action) {
    case HelpAction::Contents:
      topic = book.ForContext(help::kContents);
      break;
    case HelpAction::HowToUse:
      topic = book.ForContext(help::kHowToUseHelp);
      break;
    case HelpAction::Search:
      topic = g_help.topic >= 0 ? g_help.topic : book.ForContext(help::kContents);
      break;
    case HelpAction::Context:
      // No menu item chosen yet: the Contents.
      topic = book.ForContext(context ? context : help::kContents);
      break;
  }
  if (IsIconic(g_help.window)) ShowWindow(g_help.window, SW_RESTORE);
  ShowWindow(g_help.window, SW_SHOW);
  ShowTopic(topic, true);
  if (action == HelpAction::Search) {
    ShowPane(true);
    SetWindowTextA(Child(kHelpKeywordEdit), "");
    KeywordChanged();
  } else if (action == HelpAction::Contents) {
    ShowPane(false);
  }
  SetForegroundWindow(g_help.window);
}

}  // namespace

void OpenHelp(HWND owner, HelpAction action, DWORD context) { Open(owner, action, context); }

void InstallHelpWindow() { SetHelpHandler(OpenHelp); }

void CloseHelpWindow() {
  if (g_help.window) SendMessageA(g_help.window, WM_CLOSE, 0, 0);
}

HWND HelpWindowHandle() { return g_help.window; }

std::string HelpTopicShown() {
  const help::Topic* t = g_help.window ? CurrentTopic() : nullptr;
  return t ? t->id : std::string();
}

}  // namespace ql
