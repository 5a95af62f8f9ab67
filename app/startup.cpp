#include "app/startup.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame.h"
#include "app/settings.h"
#include "app/startup_trace.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

char g_commandLineBuffer[kCommandLineBufferSize] = "";
SharedResources g_res = {};
HACCEL g_currentAccel = nullptr;
HWND g_frame = nullptr;
HWND g_mdiClient = nullptr;

namespace {

// ---- resources and classes ----

void LoadSharedResources(HINSTANCE inst) {
  g_res.managerAccel = LoadAcceleratorsA(inst, IDR_MANAGER);
  g_res.expressAccel = LoadAcceleratorsA(inst, IDR_EXPRESS);
  g_res.expressMenu = LoadMenuA(inst, IDR_EXPRESS);
  g_currentAccel = g_res.managerAccel;
  g_res.zipIcon = LoadIconA(inst, IDI_ZIP);
  g_res.arjIcon = LoadIconA(inst, IDI_ARJ);
  g_res.noArchiveIcon = LoadIconA(inst, IDI_NOARCHIVE);
  g_res.frameIcon = LoadIconA(inst, IDI_QL4);
  g_res.hardDrive = LoadBitmapA(inst, IDB_HARDDRIVE);
  g_res.floppy = LoadBitmapA(inst, IDB_FLOPPY);
  g_res.ramDrive = LoadBitmapA(inst, IDB_RAMDRIVE);
  g_res.cdRom = LoadBitmapA(inst, IDB_CDROM);
  g_res.netDrive = LoadBitmapA(inst, IDB_NETDRV);
  g_res.netDisabled = LoadBitmapA(inst, IDB_NETDISABLED);
  g_res.arrow = LoadCursorA(nullptr, IDC_ARROW);
  g_res.hourglass = LoadCursorA(nullptr, IDC_WAIT);
  g_res.copy = LoadCursorA(inst, IDCUR_COPY);
  g_res.move = LoadCursorA(inst, IDCUR_FILEMOV);
  g_res.multiCopy = LoadCursorA(inst, IDCUR_MULTCOPY);
  g_res.multiMove = LoadCursorA(inst, IDCUR_MULTMOVE);
  g_res.noDrop = LoadCursorA(inst, IDCUR_NODROP);
}

void FreeSharedResources() {
  for (HBITMAP b : {g_res.hardDrive, g_res.floppy, g_res.ramDrive, g_res.cdRom, g_res.netDrive, g_res.netDisabled})
    if (b) DeleteObject(b);
  if (g_res.expressMenu) DestroyMenu(g_res.expressMenu);
  g_res = SharedResources{};
  g_currentAccel = nullptr;
}

const char* const kOwnClasses[] = {"MDICHILD",   "qllistbox", "qlstatic",    "QLButtonbar", "QLResizebox",
                                   "qlbutton",   "qltoolbutton", "statusbar3D", "gasguage3D", "Quillon5"};

void UnregisterClasses(HINSTANCE inst) {
  for (const char* name : kOwnClasses) UnregisterClassA(name, inst);
}

// The browser windows' classes, the bars' classes, and the frame's.
bool RegisterClasses(HINSTANCE inst) {
  if (!RegisterBrowserClasses(inst) || !RegisterBarClasses(inst)) return false;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FrameWindowProc;
  wc.hInstance = inst;
  wc.hIcon = g_res.frameIcon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = IDR_MANAGER;
  wc.lpszClassName = kFrameClass;
  return RegisterClassA(&wc) != 0;
}

int Coordinate(const char* key) {
  std::optional<int> v = CoordinateValue(IniString("Coordinates", key, "-900", 16));
  return v ? *v : CW_USEDEFAULT;
}

void ShowFrame(HWND frame, int show) {
  switch (ParseWinStatus(IniString("Coordinates", "WinStatus", "Normal", 16))) {
    case WinStatus::Minimized: ShowWindow(frame, SW_SHOWMINIMIZED); break;
    case WinStatus::Maximized: {
      ShowWindow(frame, SW_SHOWMAXIMIZED);
      UpdateWindow(frame);
      RECT rc;
      GetClientRect(frame, &rc);
      SendMessageA(frame, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(rc.right, rc.bottom));
      break;
    }
    default: ShowWindow(frame, show); break;
  }
}

// The hand-over's backing file: temp.ql5 in the current directory, else in the temporary directory;
// when neither can be written the mapping lives in the paging file.
HANDLE CreateHandOverFile(std::string* created) {
  char temp[MAX_PATH + 1] = "";
  std::string places[2] = {kHandOverFile, ""};
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n > 0 && n < sizeof temp) places[1] = std::string(temp) + kHandOverFile;
  for (const std::string& place : places) {
    if (place.empty()) continue;
    HANDLE file = CreateFileA(place.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      *created = place;
      return file;
    }
  }
  created->clear();
  return INVALID_HANDLE_VALUE;
}

}  // namespace

void RefuseLongCommandLine(HWND owner, const std::string& path) {
  std::string shown = path.size() > 120 ? path.substr(0, 120) + "..." : path;
  char format[256] = "";
  LoadStringA(GetModuleHandleA(nullptr), IDS_COMMAND_LINE_TOO_LONG, format, sizeof format);
  std::string text(sizeof format + shown.size() + 32, '\0');
  int n = snprintf(&text[0], text.size(), format, static_cast<unsigned>(path.size()),
                   static_cast<unsigned>(kCommandLineBufferSize - 1), shown.c_str());
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  AppMessageBox(owner, text.c_str(), "Quillon", MB_OK | MB_ICONEXCLAMATION);
}

bool TranslateAppAccelerators(MSG* msg) {
  if (g_frame && g_currentAccel && TranslateAcceleratorA(g_frame, g_currentAccel, msg)) return true;
  return g_managerMode && g_mdiClient && TranslateMDISysAccel(g_mdiClient, msg);
}

void KeepKeysFromHiddenWindows(MSG* msg) {
  if (g_managerMode || !g_frame || !g_mdiClient) return;
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return;
  if (msg->hwnd == g_mdiClient || IsChild(g_mdiClient, msg->hwnd)) msg->hwnd = g_frame;
}

bool HandOverToRunningInstance(const char* commandLine) {
  HWND running = FindWindowA(kFrameClass, nullptr);
  if (!running) return false;
  std::string line = commandLine ? commandLine : "";
  if (line.size() >= kHandOverSize || !CommandLineFits(CommandLinePath(line))) {
    RefuseLongCommandLine(nullptr, CommandLinePath(line));
    return true;
  }
  std::string fileName;
  HANDLE file = CreateHandOverFile(&fileName);
  HANDLE map = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, kHandOverSize, kHandOverMapping);
  auto finish = [&] {
    if (map) CloseHandle(map);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!fileName.empty()) DeleteFileA(fileName.c_str());
  };
  if (!map) {
    finish();
    return true;
  }
  char* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, kHandOverSize));
  if (!view) {
    finish();
    return true;
  }
  memcpy(view, line.c_str(), line.size() + 1);
  FlushViewOfFile(view, line.size());
  UnmapViewOfFile(view);
  SendMessageA(running, kHandOverMessage, 0, 0);
  finish();
  return true;
}

HWND InitInstance(HINSTANCE inst, const char* commandLine, int show) {
  TraceStartup("entry");
  std::string path = CommandLinePath(commandLine ? commandLine : "");
  g_commandLineBuffer[0] = '\0';
  if (!CommandLineFits(path))
    RefuseLongCommandLine(nullptr, path);
  else
    lstrcpynA(g_commandLineBuffer, path.c_str(), sizeof g_commandLineBuffer);

  LoadSharedResources(inst);
  TraceStartup("shared resources");
  if (!RegisterClasses(inst)) {
    ExitInstance(inst);
    return nullptr;
  }
  InitCommonControls();
  TraceStartup("classes and common controls");

  // The system takes its default for y only together with x (and for the height only with the
  // width): a coordinate given alone is applied once the frame exists.
  const int x = Coordinate("x"), y = Coordinate("y"), w = Coordinate("w"), h = Coordinate("h");
  const bool both = x != CW_USEDEFAULT && y != CW_USEDEFAULT;
  const bool size = w != CW_USEDEFAULT && h != CW_USEDEFAULT;
  HWND frame = CreateWindowExA(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               both ? x : CW_USEDEFAULT, both ? y : CW_USEDEFAULT, size ? w : CW_USEDEFAULT,
                               size ? h : CW_USEDEFAULT, nullptr, nullptr, inst, nullptr);
  if (!frame) {
    ExitInstance(inst);
    return nullptr;
  }
  if ((!both && (x != CW_USEDEFAULT || y != CW_USEDEFAULT)) || (!size && (w != CW_USEDEFAULT || h != CW_USEDEFAULT))) {
    RECT rc;
    GetWindowRect(frame, &rc);
    SetWindowPos(frame, nullptr, x != CW_USEDEFAULT ? x : rc.left, y != CW_USEDEFAULT ? y : rc.top,
                 w != CW_USEDEFAULT ? w : rc.right - rc.left, h != CW_USEDEFAULT ? h : rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  TraceStartup("frame created");
  ShowFrame(frame, show);
  // Windows restored while the frame was still hidden drew their captions inactive: the active
  // one is drawn active now that the frame is.
  HWND activeChild = g_mdiClient ? reinterpret_cast<HWND>(SendMessageA(g_mdiClient, WM_MDIGETACTIVE, 0, 0)) : nullptr;
  if (activeChild && GetActiveWindow() == frame) SendMessageA(activeChild, WM_NCACTIVATE, TRUE, 0);
  TraceStartup("frame shown");
  UpdateWindow(frame);
  TraceStartup("frame updated");
  if (LoadMailLibrary() != kMailLibraryLoaded) GreyMailItems(true);
  TraceStartup("mail library");
  PrepareMailMessage(g_mailSubject, g_mailNote);
  return frame;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    KeepKeysFromHiddenWindows(&msg);
    if (g_managerMode && g_mdiClient && TranslateMDISysAccel(g_mdiClient, &msg)) continue;
    if (g_frame && g_currentAccel && TranslateAcceleratorA(g_frame, g_currentAccel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void ExitInstance(HINSTANCE inst) {
  FreeMailLibrary();
  FreeSharedResources();
  UnregisterClasses(inst);
}

int RunQuillon(HINSTANCE inst, const char* commandLine, int show) {
  TraceStartup("process entry");
  if (HandOverToRunningInstance(commandLine)) return 0;
  if (!InitInstance(inst, commandLine, show)) return 1;
  int code = RunMessageLoop();
  ExitInstance(inst);
  return code;
}

}  // namespace ql
