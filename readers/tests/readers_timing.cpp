// Times the ZIP reader's Win32 half on one archive: into an output file, and into an archive
// list box of a hidden window. Prints milliseconds; run by bench/list/wine.sh.
//   readers_timing.exe ARCHIVE
#include <windows.h>

#include <cstdio>

#include "readers/readers_win.h"

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = inst;
  wc.lpszClassName = "QlReadersTiming";
  wc.cbWndExtra = ql::kBrowserExtraBytes;
  RegisterClassA(&wc);
  WNDCLASSA lb = {};
  GetClassInfoA(nullptr, "LISTBOX", &lb);
  lb.hInstance = inst;
  lb.lpszClassName = "qllistbox";
  RegisterClassA(&lb);
  HWND w = CreateWindowA("QlReadersTiming", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, inst, nullptr);
  HWND list = CreateWindowA("qllistbox", "", WS_CHILD | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0, 400, 300, w,
                            reinterpret_cast<HMENU>(1000), inst, nullptr);

  HANDLE out = CreateFileA("NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  double t0 = Now();
  int r1 = ql::ReadZipDirectory(argv[1], nullptr, "*.*", out);
  double t1 = Now();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  int r2 = ql::ReadZipDirectory(argv[1], list, "*.*", nullptr);
  double t2 = Now();
  CloseHandle(out);
  printf("output file: %.1f ms (result %d)\nlist box: %.1f ms (result %d, %ld lines, file count %ld)\n", t1 - t0, r1,
         t2 - t1, r2, static_cast<long>(SendMessageA(list, LB_GETCOUNT, 0, 0)), GetWindowLongA(w, 16));
  DestroyWindow(w);
  return r1 == 1 && r2 == 1 ? 0 : 1;
}
