/* A program that shows it ran: it writes QLRECORD.TXT into its current directory, holding
   "ran" and the rest of its command line (the document it was asked to open, if any). Used as a
   program inside an archive and as the program registered for a document type of the tests. */
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmdLine, int show) {
  (void)inst; (void)prev; (void)show;
  HANDLE f = CreateFileA("QLRECORD.$$$", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD n = 0;
  WriteFile(f, "ran", 3, &n, NULL);
  if (cmdLine && *cmdLine) {
    WriteFile(f, " ", 1, &n, NULL);
    WriteFile(f, cmdLine, (DWORD)strlen(cmdLine), &n, NULL);
  }
  CloseHandle(f);
  /* Renamed when whole, so that a reader never sees half of it. */
  return MoveFileExA("QLRECORD.$$$", "QLRECORD.TXT", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
