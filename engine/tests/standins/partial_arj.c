/* An archiver that fails part-way, as one does on a full disk: for a command that writes an
   archive (A or M) it writes 16,384 bytes under the archive's name and ends with exit code 5
   (a write error); any other command ends with that code at once. Each command line is appended
   to partial.log beside the program. Copied under the name ARJ.EXE. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  char log[MAX_PATH + 16];
  DWORD n = GetModuleFileNameA(NULL, log, MAX_PATH);
  while (n > 0 && log[n - 1] != '\\') --n;
  strcpy(log + n, "partial.log");
  FILE* f = fopen(log, "ab");
  if (f) {
    for (int i = 1; i < argc; ++i) fprintf(f, "%s%s", i > 1 ? "\t" : "", argv[i]);
    fprintf(f, "\n");
    fclose(f);
  }
  if (argc < 3) return 5;
  if (lstrcmpiA(argv[1], "A") != 0 && lstrcmpiA(argv[1], "M") != 0) return 5;
  const char* archive = NULL;
  for (int i = 2; i < argc && !archive; ++i)
    if (argv[i][0] != '-') archive = argv[i];
  if (!archive) return 5;
  FILE* out = fopen(archive, "wb");
  if (out) {
    static char block[16384];
    memset(block, 0x60, sizeof block);
    fwrite(block, 1, sizeof block, out);
    fclose(out);
  }
  return 5;
}
