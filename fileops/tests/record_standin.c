/* A stand-in program for the tests of Run, Associate, Launch and the Applications menu: it appends
   one line to the file named by QL_STANDIN_RECORD, "dir=<current directory>|cmd=<command line>|
   drive=<the per-drive entry of its directory's drive>|show=<wShowWindow>", and ends. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  char record[MAX_PATH] = "", dir[MAX_PATH] = "", variable[4] = "=C:", drive[MAX_PATH] = "";
  char line[4096];
  STARTUPINFOA si;
  HANDLE f;
  DWORD wrote = 0;
  (void)instance;
  (void)previous;
  (void)args;
  (void)show;
  if (!GetEnvironmentVariableA("QL_STANDIN_RECORD", record, sizeof record)) return 1;
  GetCurrentDirectoryA(sizeof dir, dir);
  variable[1] = dir[0];
  GetEnvironmentVariableA(variable, drive, sizeof drive);
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  snprintf(line, sizeof line, "dir=%s|cmd=%s|drive=%s|show=%d\r\n", dir, GetCommandLineA(), drive,
           (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1);
  /* Several runs may append; the file is opened for each line and shared. */
  f = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL, NULL);
  if (f == INVALID_HANDLE_VALUE) return 2;
  WriteFile(f, line, (DWORD)strlen(line), &wrote, NULL);
  CloseHandle(f);
  return 0;
}
