/* Recording stand-in for the runner. Appends to runner.log in the work directory (its first
   argument): its arguments, QLWORK, its current directory and the cmndargs text, then deletes
   cmndargs, as the runner does when its command has ended. A file runner.mode in the work
   directory changes that: "keep" ends without deleting cmndargs (a runner that died); "wait"
   waits for the event QLTEST_RELEASE before deleting it; "exec" runs the command in the
   directory named by QLWORK and waits for it, as the runner does, before deleting cmndargs.
   A file runner.exit in the work directory is left as the command's exit code file cmndexit. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void ReadSmall(const char* path, char* buf, size_t size) {
  buf[0] = '\0';
  FILE* f = fopen(path, "rb");
  if (!f) return;
  size_t n = fread(buf, 1, size - 1, f);
  buf[n] = '\0';
  fclose(f);
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmdLine, int show) {
  (void)inst; (void)prev; (void)cmdLine;
  if (__argc < 2) return 2;
  const char* work = __argv[1];
  char path[MAX_PATH * 2], text[8192], mode[64], qlwork[MAX_PATH + 1] = "", cwd[MAX_PATH + 1] = "";
  snprintf(path, sizeof path, "%s\\runner.mode", work);
  ReadSmall(path, mode, sizeof mode);
  snprintf(path, sizeof path, "%s\\cmndargs", work);
  ReadSmall(path, text, sizeof text);
  GetEnvironmentVariableA("QLWORK", qlwork, sizeof qlwork);
  GetCurrentDirectoryA(sizeof cwd, cwd);

  char log[MAX_PATH * 2];
  snprintf(log, sizeof log, "%s\\runner.log", work);
  FILE* f = fopen(log, "ab");
  if (!f) return 3;
  fprintf(f, "work=%s\n", work);
  for (int i = 2; i < __argc; ++i) fprintf(f, "flag=%s\n", __argv[i]);
  fprintf(f, "show=%d\n", show);
  fprintf(f, "qlwork=%s\n", qlwork);
  fprintf(f, "cwd=%s\n", cwd);
  fprintf(f, "cmndargs=%s\n", text);
  fclose(f);

  if (strncmp(mode, "keep", 4) == 0) return 1;
  if (strncmp(mode, "wait", 4) == 0) {
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "QLTEST_RELEASE");
    if (release) {
      WaitForSingleObject(release, 60000);
      CloseHandle(release);
    }
  }
  if (strncmp(mode, "exec", 4) == 0) {
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (CreateProcessA(NULL, text, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL,
                       qlwork[0] ? qlwork : NULL, &si, &pi)) {
      DWORD rc = 0;
      WaitForSingleObject(pi.hProcess, INFINITE);
      GetExitCodeProcess(pi.hProcess, &rc);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      f = fopen(log, "ab");
      if (f) {
        fprintf(f, "exit=%lu\n", (unsigned long)rc);
        fclose(f);
      }
    }
  }
  {
    char exitPath[MAX_PATH * 2], exitText[32];
    snprintf(exitPath, sizeof exitPath, "%s\\runner.exit", work);
    ReadSmall(exitPath, exitText, sizeof exitText);
    if (exitText[0]) {
      snprintf(exitPath, sizeof exitPath, "%s\\cmndexit", work);
      FILE* e = fopen(exitPath, "wb");
      if (e) {
        fputs(exitText, e);
        fclose(e);
      }
    }
  }
  DeleteFileA(path);
  return 0;
}
