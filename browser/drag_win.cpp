// Dragging the selection of a list box onto another list, a drive button, the trash can, the MDI
// client or another program's window.
#include "browser/drag_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "browser/browser_win.h"
#include "browser/drop_rules.h"
#include "common/shared_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

int g_dropAction = kDropCopy;
HWND g_dropTarget = nullptr;

namespace {

// One drag at a time, program-wide.
struct DragState {
  HWND list = nullptr;      // the list holding the capture
  bool buttonDown = false;  // the button went down in `list`
  bool dragging = false;    // the pointer moved with the button down, or a pick-up started
  bool pickUp = false;      // started by the Add or Move command
  bool move = false;        // the drag mode
  bool heldClick = false;   // the button went down on a selected item: the list has not seen it yet
  WPARAM downKeys = 0;
  LPARAM downPos = 0;
  LPARAM lastPos = 0;
  const char* cursor = nullptr;
};
DragState g_drag;
bool g_pickUpMove = false;  // the mode the next pick-up takes from its command
bool g_releasing = false;   // our own ReleaseCapture, not a lost capture

constexpr short kPickUpPos = -10;

bool IsClass(HWND h, const char* name) {
  char buf[32] = "";
  GetClassNameA(h, buf, sizeof buf);
  return lstrcmpiA(buf, name) == 0;
}

LRESULT CallListBase(HWND h, UINT m, WPARAM w, LPARAM l) {
  return CallWindowProcA(g_browserHost.listBoxBase, h, m, w, l);
}

POINT ScreenPoint(HWND list, LPARAM pos) {
  POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ClientToScreen(list, &pt);
  return pt;
}

HWND Frame() { return g_browserHost.mdiClient ? GetParent(g_browserHost.mdiClient) : nullptr; }

// A window of this program's frame that is not one of the drop targets takes nothing.
bool InsideOwnFrame(HWND h) {
  HWND frame = Frame();
  return frame && GetAncestor(h, GA_ROOT) == frame;
}

// The window (h or one of its parents) that accepts dropped files; null when none does.
HWND AcceptingWindow(HWND h) {
  for (; h; h = GetAncestor(h, GA_PARENT)) {
    if (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return h;
    if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

bool IsDropTargetWindow(HWND h) {
  return IsTrashCan(h) || IsClass(h, "qllistbox") || (h && h == g_browserHost.mdiClient) || IsClass(h, "qlbutton");
}

DragOver Classify(HWND h) {
  if (!h) return DragOver::Nothing;
  if (IsDropTargetWindow(h)) return DragOver::DropTarget;
  if (InsideOwnFrame(h)) return DragOver::Refuses;
  return AcceptingWindow(h) ? DragOver::AcceptsFiles : DragOver::Refuses;
}

int SelectionCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETSELCOUNT, 0, 0)); }

void ShowCursorNamed(const char* name, bool force) {
  if (!force && g_drag.cursor && std::strcmp(g_drag.cursor, name) == 0) return;
  g_drag.cursor = name;
  HCURSOR c = LoadCursorA(g_browserHost.instance, name);
  SetCursor(c ? c : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

// The cursor for the window under the pointer at `pos` (client coordinates of the list).
void ChooseCursor(HWND list, LPARAM pos, bool force) {
  HWND under = WindowFromPoint(ScreenPoint(list, pos));
  ShowCursorNamed(DragCursorFor(Classify(under), g_drag.pickUp, g_drag.move, SelectionCount(list)), force);
}

void ReleaseDrag() {
  const bool captured = GetCapture() == g_drag.list;
  g_drag = DragState{};
  if (captured) {
    g_releasing = true;
    ReleaseCapture();
    g_releasing = false;
  }
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

// The full paths of a directory list's selected files and directories (drive and parent lines
// and marker lines name nothing that can be handed over).
std::vector<std::string> DirectoryPaths(HWND list) {
  std::vector<std::string> paths;
  WindowRecord* r = RecordOf(GetParent(list));
  if (!r) return paths;
  std::string dir = r->curDir;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::vector<std::string> lines = ListLines(list);
  for (int i : SelectedIndexes(list)) {
    if (i < 0 || static_cast<size_t>(i) >= lines.size()) continue;
    const std::string& line = lines[static_cast<size_t>(i)];
    DirLineKind kind = ClassifyDirLine(line);
    if (kind != DirLineKind::File && kind != DirLineKind::Directory) continue;
    std::string name = line.substr(0, line.find('\t'));
    if (kind == DirLineKind::Directory) name = name.substr(1, name.size() - 2);
    if (!name.empty()) paths.push_back(dir + "\\" + name);
  }
  return paths;
}

// Another program's window: the selection's paths, extracted first when they are members.
void DropOnOtherProgram(HWND list, HWND target, POINT screen) {
  std::vector<std::string> paths;
  if (ListKindOf(list) == kDropDirectory) {
    paths = DirectoryPaths(list);
  } else if (!g_browserHost.extractForOtherProgram || !g_browserHost.extractForOtherProgram(list, &paths)) {
    return;
  }
  if (paths.empty()) return;
  DropPathsOnWindow(GetParent(list), target, screen, paths);
}

// `keys` and `pos` are the button-up message's: the Shift key as it was when the button came up.
void EndDrag(HWND list, WPARAM keys, LPARAM pos) {
  const bool pickUp = g_drag.pickUp;
  const bool move = pickUp ? g_drag.move : (keys & MK_SHIFT) != 0;
  g_dropAction = move ? kDropMove : kDropCopy;
  ReleaseDrag();

  if (pickUp) ShowReadyHint();
  const POINT screen = ScreenPoint(list, pos);
  HWND target = WindowFromPoint(screen);
  if (target == list || SelectionCount(list) <= 0) return;
  HWND browser = GetParent(list);
  if (target && target == g_browserHost.mdiClient) {
    target = g_browserHost.newArchiveWindowForDrop ? g_browserHost.newArchiveWindowForDrop() : nullptr;
    if (!target) return;
  }
  if (!target || target == list || target == browser) return;
  g_dropTarget = target;
  if (IsDropTargetWindow(target)) {
    DropRecord record;
    record.sourceList = list;
    record.target = target;
    SendMessageA(browser, kDropRecordMessage, 0, reinterpret_cast<LPARAM>(&record));
    return;
  }
  if (InsideOwnFrame(target)) return;
  HWND acceptor = AcceptingWindow(target);
  if (acceptor) DropOnOtherProgram(list, acceptor, screen);
}

// ---- OLE drag and drop towards another program ----

// A data object offering one drop-files block (a fresh copy for every request).
class DropFilesData final : public IDataObject {
 public:
  explicit DropFilesData(HGLOBAL block) : block_(block) {}
  ~DropFilesData() { GlobalFree(block_); }
  DropFilesData(const DropFilesData&) = delete;
  DropFilesData& operator=(const DropFilesData&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (!f || !m) return E_INVALIDARG;
    if (f->cfFormat != CF_HDROP || !(f->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    const SIZE_T size = GlobalSize(block_);
    HGLOBAL copy = GlobalAlloc(GHND | GMEM_SHARE, size);
    if (!copy) return E_OUTOFMEMORY;
    void* to = GlobalLock(copy);
    const void* from = GlobalLock(block_);
    std::memcpy(to, from, size);
    GlobalUnlock(block_);
    GlobalUnlock(copy);
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = copy;
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &f, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  LONG refs_ = 1;
  HGLOBAL block_;
};

// The user already let go over the target: the drop happens as soon as OLE has entered it.
class DropAtOnce final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape || ++calls_ > 200) return DRAGDROP_S_CANCEL;
    return calls_ >= 3 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int calls_ = 0;
};

// OLE is loaded on the first drop into another program, not at start: most runs never make one,
// and the library and those it brings cost start-up time. It stays loaded once there.
struct OleEntries {
  HRESULT(WINAPI* initialize)(LPVOID) = nullptr;
  HRESULT(WINAPI* doDragDrop)(IDataObject*, IDropSource*, DWORD, DWORD*) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
};

const OleEntries* Ole() {
  static OleEntries entries;
  static bool loaded = false;
  if (!loaded) {
    loaded = true;
    if (HMODULE ole = LoadLibraryA("ole32.dll")) {
      entries.initialize = reinterpret_cast<decltype(entries.initialize)>(
          reinterpret_cast<void*>(GetProcAddress(ole, "OleInitialize")));
      entries.doDragDrop = reinterpret_cast<decltype(entries.doDragDrop)>(
          reinterpret_cast<void*>(GetProcAddress(ole, "DoDragDrop")));
      entries.uninitialize = reinterpret_cast<decltype(entries.uninitialize)>(
          reinterpret_cast<void*>(GetProcAddress(ole, "OleUninitialize")));
    }
  }
  return entries.initialize && entries.doDragDrop && entries.uninitialize ? &entries : nullptr;
}

// Takes over `block`.
bool OleDrop(HGLOBAL block, POINT screen) {
  const OleEntries* ole = Ole();
  if (!ole) {
    GlobalFree(block);
    return false;
  }
  const HRESULT init = ole->initialize(nullptr);
  auto* data = new DropFilesData(block);
  DropAtOnce source;
  // The drop goes where the pointer is: where the user let go.
  SetCursorPos(screen.x, screen.y);
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = ole->doDragDrop(data, &source, DROPEFFECT_COPY, &effect);
  data->Release();
  if (SUCCEEDED(init)) ole->uninitialize();
  return hr == DRAGDROP_S_DROP && effect != DROPEFFECT_NONE;
}

}  // namespace

bool DragInProgress() { return g_drag.dragging; }

void BeginPickUp(HWND list, bool move) {
  g_pickUpMove = move;
  g_dropAction = move ? kDropMove : kDropCopy;
  SendMessageA(list, WM_LBUTTONDOWN, move ? MK_SHIFT : 0, MAKELPARAM(kPickUpPos, kPickUpPos));
}

HGLOBAL BuildDropFiles(const std::vector<std::string>& paths, POINT point, bool nonClient) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& p : paths) {
    if (p.size() + 1 > static_cast<size_t>(-1) - size) return nullptr;
    size += p.size() + 1;
  }
  HGLOBAL block = GlobalAlloc(GHND | GMEM_SHARE, size);
  if (!block) return nullptr;
  auto* d = static_cast<DROPFILES*>(GlobalLock(block));
  if (!d) {
    GlobalFree(block);
    return nullptr;
  }
  d->pFiles = sizeof(DROPFILES);
  d->pt = point;
  d->fNC = nonClient ? TRUE : FALSE;
  d->fWide = FALSE;
  char* out = reinterpret_cast<char*>(d) + sizeof(DROPFILES);
  for (const std::string& p : paths) {
    std::memcpy(out, p.c_str(), p.size() + 1);
    out += p.size() + 1;
  }
  *out = '\0';
  GlobalUnlock(block);
  return block;
}

bool DropPathsOnWindow(HWND owner, HWND target, POINT screen, const std::vector<std::string>& paths) {
  if (!target || paths.empty()) return false;
  POINT client = screen;
  ScreenToClient(target, &client);
  DWORD_PTR hit = HTCLIENT;
  SendMessageTimeoutA(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y), SMTO_ABORTIFHUNG, 2000, &hit);
  HGLOBAL block = BuildDropFiles(paths, client, hit != HTCLIENT);
  if (!block) {
    ShowStringMessage(owner, IDS_DROP_NO_MEMORY);
    return false;
  }
  DWORD process = 0;
  GetWindowThreadProcessId(target, &process);
  if (process == GetCurrentProcessId()) {
    if (PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) return true;
    GlobalFree(block);
    return false;
  }
  return OleDrop(block, screen);
}

bool HandleDragMessage(HWND list, UINT m, WPARAM w, LPARAM l, LRESULT* result) {
  *result = 0;
  switch (m) {
    case WM_LBUTTONDOWN: {
      if (g_drag.dragging) return g_drag.list == list;  // the click that ends a pick-up: its button-up drops
      const short x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
      if (x == kPickUpPos && y == kPickUpPos) {
        if (GetCapture() && GetCapture() != list) ReleaseCapture();
        g_drag = DragState{};
        g_drag.list = list;
        g_drag.buttonDown = true;
        g_drag.dragging = true;
        g_drag.pickUp = true;
        g_drag.move = g_pickUpMove;
        g_drag.lastPos = l;
        SetCapture(list);
        ShowCursorNamed(DragCursorName(g_drag.move, SelectionCount(list)), true);
        return true;
      }
      g_drag = DragState{};
      g_drag.list = list;
      g_drag.buttonDown = true;
      g_drag.move = (w & MK_SHIFT) != 0 || GetKeyState(VK_SHIFT) < 0;
      g_drag.downKeys = w;
      g_drag.downPos = l;
      g_drag.lastPos = l;
      // A click on a selected item keeps the selection, so that all of it can be dragged; the
      // list sees the click when the button comes up without a drag.
      const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, l);
      if (HIWORD(hit) == 0 && SendMessageA(list, LB_GETSEL, LOWORD(hit), 0) > 0) {
        g_drag.heldClick = true;
        SetFocus(list);
        SetCapture(list);
        return true;
      }
      return false;
    }
    case WM_MOUSEMOVE:
      if (g_drag.list != list || !g_drag.buttonDown) return false;
      if (!g_drag.dragging && !(w & MK_LBUTTON)) return false;
      ShowReadyHint();
      g_drag.lastPos = l;
      if (!g_drag.dragging) {
        g_drag.dragging = true;
        if (GetCapture() != list) SetCapture(list);
      }
      ChooseCursor(list, l, false);
      return true;
    case WM_LBUTTONUP: {
      if (g_drag.list != list || !g_drag.buttonDown) return false;
      if (g_drag.dragging) {
        if (!g_drag.heldClick && !g_drag.pickUp) CallListBase(list, m, w, l);
        EndDrag(list, w, l);
        return true;
      }
      const DragState was = g_drag;
      ReleaseDrag();
      if (!was.heldClick) return false;
      CallListBase(list, WM_LBUTTONDOWN, was.downKeys, was.downPos);
      *result = CallListBase(list, WM_LBUTTONUP, w, l);
      return true;
    }
    case WM_SETCURSOR:
      if (!g_drag.dragging || !g_drag.cursor) return false;
      ShowCursorNamed(g_drag.cursor, true);
      *result = TRUE;
      return true;
    case WM_CAPTURECHANGED:
      if (g_drag.list == list && g_drag.buttonDown && !g_releasing && reinterpret_cast<HWND>(l) != list) {
        g_drag = DragState{};
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
      }
      return false;
    case WM_KEYDOWN:
      if (!g_drag.dragging || g_drag.list != list) {
        if (!g_drag.dragging) g_drag.move = false;
        return false;
      }
      if (w == VK_ESCAPE) {
        ReleaseDrag();
        ShowReadyHint();
        return true;
      }
      if (!g_drag.pickUp && (w == VK_SHIFT || w == VK_CONTROL)) {
        g_drag.move = w == VK_SHIFT;
        ChooseCursor(list, g_drag.lastPos, true);
      }
      return true;
    case WM_KEYUP:
      if (!g_drag.dragging || g_drag.list != list) return false;
      if (!g_drag.pickUp && w == VK_SHIFT) {
        g_drag.move = false;
        ChooseCursor(list, g_drag.lastPos, true);
      }
      return true;
    default:
      return false;
  }
}

// ---- the trash can ----

HWND g_trashCan = nullptr;

namespace {

constexpr int kTrashImage = 11;  // its picture in the tool-bar strip
constexpr int kImageWidth = 20, kImageHeight = 17;

struct TrashState {
  bool down = false;
};
TrashState g_trash;

void PaintTrashCan(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT rc;
  GetClientRect(h, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rc, g_trash.down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (GetFocus() == h) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
  HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TOOLBAR));
  if (strip) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, strip);
    const int shift = g_trash.down ? 1 : 0;
    BitBlt(dc, (rc.right - kImageWidth) / 2 + shift, (rc.bottom - kImageHeight) / 2 + shift, kImageWidth,
           kImageHeight, mem, kTrashImage * kImageWidth, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(strip);
  }
  EndPaint(h, &ps);
}

LRESULT CALLBACK TrashCanProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT:
      PaintTrashCan(h);
      return 0;
    case WM_LBUTTONDOWN:
      g_trash.down = true;
      SetCapture(h);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      if (!g_trash.down) return 0;
      g_trash.down = false;
      ReleaseCapture();
      InvalidateRect(h, nullptr, TRUE);
      RECT rc;
      GetClientRect(h, &rc);
      POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      HWND frame = GetAncestor(h, GA_ROOT);
      // A click deletes the focused list's selection, as the Del key does.
      if (PtInRect(&rc, pt) && frame) PostMessageA(frame, WM_COMMAND, IDM_DELETE_FOCUSED, 0);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (g_trash.down && reinterpret_cast<HWND>(l) != h) {
        g_trash.down = false;
        InvalidateRect(h, nullptr, TRUE);
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: {
      // Reached by Tab from a list: Space or Enter deletes the focused list's selection (as Del
      // does everywhere); Tab and Escape go back to the list.
      HWND frame = GetAncestor(h, GA_ROOT);
      if ((w == VK_SPACE || w == VK_RETURN) && frame) {
        PostMessageA(frame, WM_COMMAND, IDM_DELETE_FOCUSED, 0);
        return 0;
      }
      if ((w == VK_TAB || w == VK_ESCAPE) && g_activeBrowser) {
        SendMessageA(g_activeBrowser, WM_COMMAND, IDM_TAKE_FOCUS, 0);
        return 0;
      }
      break;
    }
    case WM_DESTROY:
      if (g_trashCan == h) g_trashCan = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

bool RegisterTrashCanClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TrashCanProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "qltoolbutton";
  return RegisterClassA(&wc) != 0;
}

HWND CreateTrashCan(HWND toolBar) {
  if (!toolBar) return nullptr;
  // A gap and a place of the trash can's width at the right end of the buttons.
  TBBUTTON gap[2] = {};
  gap[0].iBitmap = 8;
  gap[0].fsStyle = TBSTYLE_SEP;
  gap[1].iBitmap = 27;
  gap[1].fsStyle = TBSTYLE_SEP;
  SendMessageA(toolBar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(gap));
  const LRESULT last = SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0) - 1;
  RECT place{};
  SendMessageA(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&place));
  const int height = 24;
  const int top = place.top + ((place.bottom - place.top) - height) / 2;
  g_trashCan = CreateWindowExA(0, "qltoolbutton", "Trash Can", WS_CHILD | WS_VISIBLE, place.left, top > 0 ? top : 0,
                               27, height, toolBar, nullptr, GetModuleHandleA(nullptr), nullptr);
  // Its tip comes from the tool bar's tip window, asked of the frame as the buttons' tips are.
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolBar, TB_GETTOOLTIPS, 0, 0));
  if (g_trashCan && tips) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(toolBar);
    ti.uId = reinterpret_cast<UINT_PTR>(g_trashCan);
    ti.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  return g_trashCan;
}

bool IsTrashCan(HWND h) {
  if (!h || !IsClass(h, "qltoolbutton")) return false;
  char text[32] = "";
  GetWindowTextA(h, text, sizeof text);
  return lstrcmpiA(text, "trash can") == 0;
}

}  // namespace ql
