/* Recording stand-in for the zip and unzip engine libraries: each call appends a line to
   engine.log beside the library with the entry point, cookie, short-name flag, the current
   directory and the argument string. Built once with `zip` and once with `unzip`. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static char g_log[MAX_PATH + 16];

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    DWORD n = GetModuleFileNameA(inst, g_log, MAX_PATH);
    while (n > 0 && g_log[n - 1] != '\\') --n;
    strcpy(g_log + n, "engine.log");
  }
  return TRUE;
}

static void Record(const char* entry, HWND owner, const char* args, DWORD cookie, int shortNames) {
  char cwd[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  FILE* f = fopen(g_log, "ab");
  if (!f) return;
  fprintf(f, "entry=%s owner=%d cookie=%lx short=%d\ncwd=%s\nargs=%s\n", entry, owner != NULL,
          (unsigned long)cookie, shortNames, cwd, args);
  fclose(f);
}

#ifdef ZIP_ENTRY
int WINAPI zip(HWND owner, LPSTR args, DWORD cookie, int shortNames) {
  Record("zip", owner, args, cookie, shortNames);
  return 0;
}
#else
int WINAPI unzip(HWND owner, LPSTR args, DWORD cookie) {
  Record("unzip", owner, args, cookie, -1);
  return 0;
}
#endif
