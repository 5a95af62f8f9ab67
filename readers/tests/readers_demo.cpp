// A window with an archive list filled by the ZIP reader, then the message for a damaged archive;
// for screenshots only (readers/tests/screenshot.sh).
#include <windows.h>

#include <string>

#include "readers/readers_win.h"

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmd, int) {
  std::string dir = cmd;  // fixtures directory, as a Windows path
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = inst;
  wc.lpszClassName = "QlReadersDemo";
  wc.cbWndExtra = ql::kBrowserExtraBytes;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
  WNDCLASSA lb = {};
  GetClassInfoA(nullptr, "LISTBOX", &lb);
  lb.hInstance = inst;
  lb.lpszClassName = "qllistbox";
  RegisterClassA(&lb);
  HWND w = CreateWindowA("QlReadersDemo", "Readers demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 760, 300,
                         nullptr, nullptr, inst, nullptr);
  HWND header = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 740, 36, w, reinterpret_cast<HMENU>(1),
                              inst, nullptr);
  HWND list = CreateWindowA("qllistbox", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_USETABSTOPS, 0,
                            40, 740, 220, w, reinterpret_cast<HMENU>(1000), inst, nullptr);
  (void)header;
  ql::ReadZipDirectory((dir + "\\comments.zip").c_str(), list, "*.*", nullptr);
  UpdateWindow(w);
  ql::ReadZipDirectory((dir + "\\empty.zip").c_str(), list, "*.*", nullptr);
  return 0;
}
