// Times a GUI program from its start to its frame painted on screen: CreateProcess, then the first
// idle moment of its message loop, then a visible top-level window of the given class in that
// process with nothing left to paint. Each run closes the program again. Prints every run and the
// median in milliseconds:  startup_probe <exe> <frame class> <runs> [arguments]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Find {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK FindFrame(HWND h, LPARAM l) {
  auto* f = reinterpret_cast<Find*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char cls[128] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (pid == f->pid && IsWindowVisible(h) && !strcmp(cls, f->cls)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: startup_probe <exe> <frame class> <runs> [arguments]\n");
    return 2;
  }
  std::string exe = argv[1];
  std::string dir = exe.substr(0, exe.find_last_of("\\/"));
  int runs = atoi(argv[3]);
  std::string args = argc > 4 ? argv[4] : "";
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::string line = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
      fprintf(stderr, "cannot start %s\n", exe.c_str());
      return 1;
    }
    WaitForInputIdle(pi.hProcess, 60000);
    Find f = {pi.dwProcessId, argv[2], nullptr};
    DWORD limit = GetTickCount() + 60000;
    for (;;) {
      f.found = nullptr;
      EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&f));
      if (f.found && !GetUpdateRect(f.found, nullptr, FALSE)) break;
      if (GetTickCount() > limit) {
        fprintf(stderr, "no painted %s window\n", argv[2]);
        TerminateProcess(pi.hProcess, 1);
        return 1;
      }
      Sleep(1);
    }
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end, freq));
    PostMessageA(f.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    printf("run %d: %.1f ms\n", run + 1, times.back());
  }
  std::sort(times.begin(), times.end());
  printf("median: %.1f ms\n", times[times.size() / 2]);
  return 0;
}
