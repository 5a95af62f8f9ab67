// Times, under Wine, opening an archive in a browser window and listing a directory into one.
// Usage: browser_bench.exe <archive.zip> <directory>   (prints seconds and line counts)
#include <windows.h>

#include <cstdio>

#include "browser/browser_win.h"
#include "browser/tests/browser_harness.h"

using namespace qlbrowsertest;

namespace {
double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  TestFrame frame(1000, 700);
  SetCurrentDirectoryA(argv[2]);
  double t0 = Now();
  HWND empty = ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.*", "*.*");
  double t1 = Now();
  if (!empty) return 1;
  ql::WindowRecord* r = ql::RecordOf(empty);
  std::printf("directory: %.3f s to open a window listing %ld lines (%d raw items)\n", t1 - t0,
              static_cast<long>(SendMessageA(r->hwndDirList, LB_GETCOUNT, 0, 0)), r->dirItemCount);
  // The bare directory search, for scale.
  double s0 = Now();
  WIN32_FIND_DATAA fd;
  long found = 0;
  HANDLE f = FindFirstFileA("*.*", &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do ++found;
    while (FindNextFileA(f, &fd));
    FindClose(f);
  }
  double s1 = Now();
  std::printf("directory: %.3f s for the bare search of %ld entries\n", s1 - s0, found);
  double t2 = Now();
  ql::FillDirectoryList(ql::SlotOf(empty));
  double t3 = Now();
  std::printf("directory: %.3f s to list it again\n", t3 - t2);

  SetCurrentDirectoryA("C:\\");
  double t4 = Now();
  HWND h = ql::OpenBrowserWindow(argv[1], ql::kArchiveTypeZip, "*.none", "*.*");
  Drain();
  double t5 = Now();
  if (!h) return 1;
  std::printf("archive: %.3f s to open a window with %ld lines\n", t5 - t4,
              static_cast<long>(SendMessageA(ql::RecordOf(h)->hwndArchiveList, LB_GETCOUNT, 0, 0)));
  return 0;
}
