// Times, under Wine, opening an archive in a browser window and listing a directory into one.
// Usage: browser_bench.exe <archive.zip> <directory|->   (prints seconds, line counts, memory)
// With "-" for the directory only the archive is opened, so that the process's peak memory
// tells what the archive window costs: the peak extra private memory over a baseline taken just
// before the window opens, against the bytes of the listing's text (each line plus CR LF).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "browser/browser_win.h"
#include "browser/tests/browser_harness.h"
#include "readers/byte_source.h"
#include "readers/zip_reader.h"

using namespace qlbrowsertest;

namespace {
double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS m{};
  m.cb = sizeof m;
  GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
  return m;
}

void ListDirectory(const char* dir) {
  SetCurrentDirectoryA(dir);
  double t0 = Now();
  HWND empty = ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.*", "*.*");
  double t1 = Now();
  if (!empty) return;
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
}

// The reader alone, its lines counted and dropped: what the window adds is the rest.
struct CountingSink {
  long lines = 0;
  static void Add(void* ctx, const char*, size_t) { ++static_cast<CountingSink*>(ctx)->lines; }
};

struct FileReader {
  HANDLE file;
  static size_t ReadAt(void* ctx, uint64_t pos, void* buf, size_t n) {
    HANDLE f = static_cast<FileReader*>(ctx)->file;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(pos);
    DWORD got = 0;
    if (!SetFilePointerEx(f, at, nullptr, FILE_BEGIN) || !ReadFile(f, buf, static_cast<DWORD>(n), &got, nullptr))
      return 0;
    return got;
  }
};

void ReadOnly(const char* path) {
  double t0 = Now();
  FileReader fr{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)};
  if (fr.file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size;
  GetFileSizeEx(fr.file, &size);
  ql::ByteSource src;
  src.size = static_cast<uint64_t>(size.QuadPart);
  src.ctx = &fr;
  src.readAt = FileReader::ReadAt;
  CountingSink count;
  ql::LineSink sink{&count, CountingSink::Add, CountingSink::Add, nullptr};
  ql::ListTargets targets;
  targets.list = &sink;
  ql::ReadZipListing(src, path, targets);
  CloseHandle(fr.file);
  double t1 = Now();
  std::printf("reader: %.3f s to read and format %ld lines without a window\n", t1 - t0, count.lines);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  TestFrame frame(1000, 700);
  const bool withDirectory = std::strcmp(argv[2], "-") != 0;
  if (withDirectory) ListDirectory(argv[2]);

  SetCurrentDirectoryA("C:\\");
  ReadOnly(argv[1]);
  PROCESS_MEMORY_COUNTERS before = Memory();
  double t4 = Now();
  HWND h = ql::OpenBrowserWindow(argv[1], ql::kArchiveTypeZip, "*.none", "*.*");
  Drain();
  double t5 = Now();
  PROCESS_MEMORY_COUNTERS after = Memory();
  if (!h) return 1;
  HWND list = ql::RecordOf(h)->hwndArchiveList;
  const long lines = static_cast<long>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::printf("archive: %.3f s to open a window with %ld lines\n", t5 - t4, lines);
  double text = 0;
  for (long i = 0; i < lines; ++i) text += static_cast<double>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 2;
  const double extra = static_cast<double>(after.PeakPagefileUsage) - static_cast<double>(before.PagefileUsage);
  // The working set, for comparison: it tells what of the private memory was touched.
  const double touched = static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.WorkingSetSize);
  if (!withDirectory)
    std::printf("memory: %.0f bytes peak extra, %.0f bytes of listing text, ratio %.2f (working set %.0f bytes more)\n",
                extra, text, text > 0 ? extra / text : 0.0, touched);
  return 0;
}
