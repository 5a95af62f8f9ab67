#include "browser/tests/browser_harness.h"

#include <cstdio>
#include <fstream>

#include "resources/ids.h"

namespace qlbrowsertest {

std::map<int, std::string> g_panes;
std::vector<WORD> g_frameCommands;

namespace {

HWND g_client = nullptr;

LRESULT CALLBACK FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE: {
      CLIENTCREATESTRUCT ccs{};
      ccs.idFirstChild = IDM_WINDOW_CHILD_FIRST;
      g_client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                                 0, 0, 0, 0, h, reinterpret_cast<HMENU>(IDC_MDI_CLIENT), GetModuleHandleA(nullptr),
                                 &ccs);
      return 0;
    }
    case WM_DRAWITEM:
      ql::DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_COMMAND:
      g_frameCommands.push_back(LOWORD(w));
      // As the program's frame does: Clear Archive Window for the window named in lParam.
      if (LOWORD(w) == IDM_CLEAR_ARCHIVE && ql::RecordOf(reinterpret_cast<HWND>(l)))
        ql::ClearArchiveWindow(reinterpret_cast<HWND>(l));
      return DefFrameProcA(h, g_client, m, w, l);
    default:
      return DefFrameProcA(h, g_client, m, w, l);
  }
}

void SetPane(int pane, const char* text) { g_panes[pane] = text; }

bool g_registered = false;

}  // namespace

TestFrame::TestFrame(int width, int height) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (!g_registered) {
    ql::RegisterBrowserClasses(inst);
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "QlBrowserTestFrame";
    RegisterClassA(&wc);
    g_registered = true;
  }
  ql::g_browserHost.instance = inst;
  ql::g_browserHost.listFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ql::g_browserHost.listFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  ql::g_browserHost.lineHeight = tm.tmHeight + tm.tmExternalLeading;
  ql::g_browserHost.charWidth = tm.tmAveCharWidth;
  ql::g_browserHost.setPaneText = SetPane;
  ql::g_browserHost.zipIcon = LoadIconA(inst, "ZIP");
  ql::g_browserHost.arjIcon = LoadIconA(inst, "ARJ");
  ql::g_browserHost.noArchiveIcon = LoadIconA(inst, "NOARCHIVE");
  ql::LoadItemBitmaps();
  ql::AllocateWindowTable();
  g_panes.clear();
  g_frameCommands.clear();
  frame_ = CreateWindowExA(0, "QlBrowserTestFrame", "Quillon", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width,
                           height, nullptr, nullptr, inst, nullptr);
  client_ = g_client;
  ql::g_browserHost.mdiClient = client_;
  RECT rc;
  GetClientRect(frame_, &rc);
  MoveWindow(client_, 0, 0, rc.right, rc.bottom, TRUE);
  ShowWindow(frame_, SW_SHOW);
  UpdateWindow(frame_);
}

void TestFrame::CloseAll() {
  for (int i = 0; i < ql::kMaxWindows; ++i) {
    HWND h = ql::g_windowTable ? ql::g_windowTable[i].hwndChild : nullptr;
    if (h && IsWindow(h)) SendMessageA(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
  }
}

TestFrame::~TestFrame() {
  CloseAll();
  DestroyWindow(frame_);
  ql::g_browserHost.mdiClient = nullptr;
  ql::FreeWindowTable();
  ql::g_activeBrowser = nullptr;
  Drain();
}

ScratchDir::ScratchDir() {
  char tmp[MAX_PATH] = "";
  GetTempPathA(sizeof tmp, tmp);
  char name[MAX_PATH] = "";
  GetTempFileNameA(tmp, "qlb", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  char full[MAX_PATH] = "";
  GetLongPathNameA(name, full, sizeof full);
  path_ = *full ? full : name;
}

namespace {
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = dir + "\\" + n;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(p);
      else
        DeleteFileA(p.c_str());
    } while (FindNextFileA(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryA(dir.c_str());
}
}  // namespace

ScratchDir::~ScratchDir() {
  char tmp[MAX_PATH] = "";
  GetTempPathA(sizeof tmp, tmp);
  SetCurrentDirectoryA(tmp);
  RemoveTree(path_);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(f);
  return ok && wrote == bytes.size();
}

bool CopyFixture(const char* name, const std::string& to) {
  std::string from = std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/" + name;
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return WriteFileBytes(to, bytes);
}

bool SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour, int minute) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  FILETIME local, utc;
  if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc)) return false;
  HANDLE f = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  BOOL ok = SetFileTime(f, nullptr, nullptr, &utc);
  CloseHandle(f);
  return ok != 0;
}

void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::vector<std::string> NonDriveLines(HWND list) {
  std::vector<std::string> out;
  for (auto& l : ql::ListLines(list))
    if (!(l.size() > 1 && l[0] == '[' && l[1] == '-')) out.push_back(l);
  return out;
}

std::vector<std::string> FirstFields(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (auto& l : lines) out.push_back(l.substr(0, l.find('\t')));
  return out;
}

}  // namespace qlbrowsertest
