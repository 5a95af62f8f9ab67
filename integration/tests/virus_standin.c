/* Recording stand-in for a virus detector, for tests only. Writes, whole, to the file named by
   the environment variable QL_VIRUS_RECORD: its own program path, its arguments (the command line
   after the program), its current directory, its parent process (id and command line), the text of
   the file named by QL_VIRUS_CMNDARGS while it runs (the runner's command file, which is still
   there while the detector runs), and every file it sees: below the directory of an argument
   ending in "\*.*", or else below its current directory. A drive argument
   ("D:") is recorded, not walked. Built twice: as a console program (a DOS-kind detector that the
   runner runs) and with QL_GUI as a Windows program. */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  char** items;
  size_t count, capacity;
} Names;

static void AddName(Names* n, const char* name) {
  if (n->count == n->capacity) {
    n->capacity = n->capacity ? n->capacity * 2 : 64;
    n->items = (char**)realloc(n->items, n->capacity * sizeof *n->items);
  }
  n->items[n->count++] = _strdup(name);
}

static int CompareNames(const void* a, const void* b) {
  return strcmp(*(char* const*)a, *(char* const*)b);
}

/* Every file below `dir`, as paths relative to it ("SUB\NAME.TXT"). */
static void Walk(const char* dir, const char* relative, Names* out) {
  char pattern[MAX_PATH * 2];
  snprintf(pattern, sizeof pattern, "%s\\*", dir);
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(pattern, &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
    char rel[MAX_PATH * 2], full[MAX_PATH * 2];
    snprintf(rel, sizeof rel, "%s%s%s", relative, *relative ? "\\" : "", fd.cFileName);
    snprintf(full, sizeof full, "%s\\%s", dir, fd.cFileName);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      Walk(full, rel, out);
    else
      AddName(out, rel);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
}

/* The command line after the program name. */
static const char* ArgumentsOf(const char* line) {
  if (*line == '"') {
    const char* close = strchr(line + 1, '"');
    line = close ? close + 1 : line + strlen(line);
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

/* The last argument, without the quotes around it. */
static void LastArgument(const char* args, char* out, size_t size) {
  out[0] = '\0';
  size_t n = strlen(args);
  while (n > 0 && args[n - 1] == ' ') --n;
  if (n == 0) return;
  size_t start;
  if (args[n - 1] == '"') {
    start = n - 1;
    while (start > 0 && args[start - 1] != '"') --start;
    snprintf(out, size, "%.*s", (int)(n - 1 - start), args + start);
    return;
  }
  start = n;
  while (start > 0 && args[start - 1] != ' ') --start;
  snprintf(out, size, "%.*s", (int)(n - start), args + start);
}

static DWORD ParentId(void) {
  DWORD parent = 0, self = GetCurrentProcessId();
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 e;
  e.dwSize = sizeof e;
  for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
    if (e.th32ProcessID == self) parent = e.th32ParentProcessID;
  CloseHandle(snap);
  return parent;
}

/* The command line of another process, from its process parameters. */
static void CommandLineOf(DWORD pid, char* out, size_t size) {
  out[0] = '\0';
  typedef LONG(WINAPI * Query)(HANDLE, int, void*, ULONG, ULONG*);
  struct {
    LONG exitStatus;
    void* peb;
    ULONG_PTR affinity;
    LONG priority;
    ULONG_PTR id;
    ULONG_PTR parent;
  } info;
  Query query = (Query)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!p) return;
  ULONG got = 0;
  memset(&info, 0, sizeof info);
#ifdef _WIN64
  const size_t parametersAt = 0x20, commandLineAt = 0x70;
#else
  const size_t parametersAt = 0x10, commandLineAt = 0x40;
#endif
  char* params = NULL;
  struct {
    USHORT length, maximum;
    wchar_t* buffer;
  } text;
  SIZE_T done = 0;
  if (query && query(p, 0, &info, sizeof info, &got) == 0 && info.peb &&
      ReadProcessMemory(p, (char*)info.peb + parametersAt, &params, sizeof params, &done) && params &&
      ReadProcessMemory(p, params + commandLineAt, &text, sizeof text, &done) && text.buffer) {
    wchar_t wide[2048];
    USHORT length = text.length < sizeof wide - 2 ? text.length : (USHORT)(sizeof wide - 2);
    if (ReadProcessMemory(p, text.buffer, wide, length, &done)) {
      wide[length / 2] = 0;
      WideCharToMultiByte(CP_ACP, 0, wide, -1, out, (int)size, NULL, NULL);
    }
  }
  CloseHandle(p);
}

static int Run(void) {
  char record[MAX_PATH + 1] = "";
  if (!GetEnvironmentVariableA("QL_VIRUS_RECORD", record, sizeof record)) return 0;
  char self[MAX_PATH + 1] = "", cwd[MAX_PATH + 1] = "", target[MAX_PATH * 2] = "", cmndargs[MAX_PATH + 1] = "";
  GetModuleFileNameA(NULL, self, sizeof self);
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const char* args = ArgumentsOf(GetCommandLineA());
  LastArgument(args, target, sizeof target);

  char temp[MAX_PATH + 8];
  snprintf(temp, sizeof temp, "%s.tmp", record);
  FILE* f = fopen(temp, "wb");
  if (!f) return 3;
  fprintf(f, "program=%s\n", self);
  fprintf(f, "args=%s\n", args);
  fprintf(f, "cwd=%s\n", cwd);
  DWORD parent = ParentId();
  char parentLine[4096];
  CommandLineOf(parent, parentLine, sizeof parentLine);
  fprintf(f, "parent=%lu\n", (unsigned long)parent);
  fprintf(f, "parentcmd=%s\n", parentLine);
  if (GetEnvironmentVariableA("QL_VIRUS_CMNDARGS", cmndargs, sizeof cmndargs)) {
    FILE* c = fopen(cmndargs, "rb");
    if (c) {
      char text[4096];
      size_t n = fread(text, 1, sizeof text - 1, c);
      text[n] = '\0';
      fclose(c);
      fprintf(f, "cmndargs=%s\n", text);
    }
  }
  Names seen = {NULL, 0, 0};
  size_t t = strlen(target);
  if (t == 2 && target[1] == ':') {
    fprintf(f, "drive=%s\n", target);
  } else if (t >= 4 && !strcmp(target + t - 4, "\\*.*")) {
    target[t - 4] = '\0';
    Walk(target[0] ? target : "\\", "", &seen);
  } else {
    Walk(cwd, "", &seen);
  }
  qsort(seen.items, seen.count, sizeof *seen.items, CompareNames);
  for (size_t i = 0; i < seen.count; ++i) fprintf(f, "file=%s\n", seen.items[i]);
  fclose(f);
  return MoveFileExA(temp, record, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

#ifdef QL_GUI
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  (void)instance;
  (void)previous;
  (void)line;
  (void)show;
  return Run();
}
#else
int main(void) { return Run(); }
#endif
