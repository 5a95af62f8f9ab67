#include "app/startup_trace.h"

#include <windows.h>

#include <cstdio>

namespace ql {

namespace {

// The file named by the variable, or nothing; looked up once.
const char* TraceFile() {
  static char file[MAX_PATH] = "";
  static bool looked = false;
  if (!looked) {
    looked = true;
    DWORD n = GetEnvironmentVariableA("QUILLON_TRACE_STARTUP", file, sizeof file);
    if (n == 0 || n >= sizeof file) file[0] = '\0';
  }
  return file[0] ? file : nullptr;
}

ULONGLONG FileTimeValue(const FILETIME& t) {
  return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

void TraceStartup(const char* what) {
  const char* file = TraceFile();
  if (!file) return;
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  GetSystemTimeAsFileTime(&now);
  double ms = static_cast<double>(FileTimeValue(now) - FileTimeValue(created)) / 10000.0;
  if (FILE* f = fopen(file, "a")) {
    fprintf(f, "%8.1f %s\n", ms, what);
    fclose(f);
  }
}

}  // namespace ql
