// ZIPSFX.EXE: the self-extractor stub that ZIP2EXE puts in front of a ZIP archive. Run, it extracts
// the archive behind it into the current directory, or into the directory given as its argument
// (made when missing), with the members' folders. It asks before replacing a file, asks for the
// password of encrypted members (traditional PKWARE encryption), unpacks stored and deflated
// members, and refuses member names that would write outside the target (the extractors' own
// check). Each member is written under a temporary name and put in place only when its CRC
// checked out. At the end a message tells what was done and what was not.
//
// A copy travels in every self-extracting archive and the archive must begin within 32,760 bytes
// of the file's start, so it is built without the C++ library, with its own small inflater.
// Exit codes: 0 all extracted, 1 some members not extracted, 2 cancelled or no archive.
#include <windows.h>

#include "archivers/zipsfx/small_inflate.h"
#include "archivers/zipsfx/sfx_directory.h"
#include "archivers/zipsfx/zipsfx_res.h"
#include "common/member_path.h"

namespace {

using namespace qlsfx;

constexpr int kExitOk = 0, kExitSome = 1, kExitStopped = 2;
constexpr size_t kTailMax = 65536 + 22;

char g_title[MAX_PATH];  // the program's own file name, as every window's caption
HANDLE g_self = INVALID_HANDLE_VALUE;
char g_password[128];
bool g_havePassword = false;
// Taken from the heap, not the image: the stub's file stays small.
InflateState* g_inflate = nullptr;

// The problems met, one line each, for the message at the end.
constexpr int kReportSize = 2048;
char* g_report = nullptr;
int g_problems = 0;

void* Alloc(size_t n) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n ? n : 1); }
void Free(void* p) {
  if (p) HeapFree(GetProcessHeap(), 0, p);
}

void Problem(const char* name, const char* what) {
  ++g_problems;
  if (g_problems > 12) return;
  char line[MAX_PATH + 96];
  if (g_problems == 12)
    lstrcpyA(line, "...\n");
  else
    wsprintfA(line, "%.260s: %s\n", name, what);
  if (lstrlenA(g_report) + lstrlenA(line) < kReportSize) lstrcatA(g_report, line);
}

int Ask(const char* text, UINT style) { return MessageBoxA(nullptr, text, g_title, style | MB_SETFOREGROUND); }

bool ReadAt(uint64_t at, void* buf, DWORD n) {
  LARGE_INTEGER li;
  li.QuadPart = static_cast<LONGLONG>(at);
  DWORD got = 0;
  return SetFilePointerEx(g_self, li, nullptr, FILE_BEGIN) && ReadFile(g_self, buf, n, &got, nullptr) && got == n;
}

// ---------------------------------------------------------------------------------------------
// Paths

bool IsDir(const char* path) {
  DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing level of `path` (backslashes).
bool MakeDirs(char* path) {
  for (char* p = path; *p; ++p) {
    if (*p != '\\' || p == path || p[-1] == ':') continue;
    *p = 0;
    if (!IsDir(path)) CreateDirectoryA(path, nullptr);
    *p = '\\';
  }
  return IsDir(path) || CreateDirectoryA(path, nullptr);
}

// The member's name in the ANSI code page: UTF-8 when flag bit 11 says so, OEM from DOS-family
// systems, the bytes as they are otherwise. False when a character has no place in the ANSI code
// page: Windows would put a look-alike in its place ("p" for "π"), a different name that could
// land on another member's file.
bool LocalName(const Member& m, char* out, int room) {
  int n = m.nameLength < room - 1 ? m.nameLength : room - 1;
  CopyMemory(out, m.name, n);
  out[n] = 0;
  const unsigned host = m.madeBy >> 8;
  UINT from;
  if (m.flags & 0x800) from = CP_UTF8;
  else if (host == 0 || host == 6 || host == 11 || host == 14) from = CP_OEMCP;
  else return true;
  WCHAR wide[MAX_PATH];
  int w = MultiByteToWideChar(from, 0, reinterpret_cast<const char*>(m.name), n, wide, MAX_PATH - 1);
  if (n > 0 && w <= 0) return false;
  BOOL usedDefault = FALSE;
  int a = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, w, out, room - 1, nullptr, &usedDefault);
  out[a > 0 ? a : 0] = 0;
  if (usedDefault || (w > 0 && a <= 0)) return false;
  // The round trip catches characters folded without the default character.
  WCHAR back[MAX_PATH];
  int b = MultiByteToWideChar(CP_ACP, 0, out, a, back, MAX_PATH - 1);
  if (b != w) return false;
  for (int i = 0; i < w; ++i)
    if (back[i] != wide[i]) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Password

struct PasswordPrompt {
  const char* text;
};

INT_PTR CALLBACK PasswordProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowTextA(dlg, g_title);
      SetDlgItemTextA(dlg, IDC_SFX_PROMPT, reinterpret_cast<PasswordPrompt*>(lp)->text);
      SendDlgItemMessageA(dlg, IDC_SFX_PASSWORD, EM_LIMITTEXT, sizeof g_password - 1, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        GetDlgItemTextA(dlg, IDC_SFX_PASSWORD, g_password, sizeof g_password);
        EndDialog(dlg, IDOK);
      } else if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
      }
      return TRUE;
  }
  return FALSE;
}

bool AskPassword(const char* name, bool wrong) {
  char text[MAX_PATH + 96];
  wsprintfA(text, wrong ? "The password is not correct.\nPassword for %.260s:" : "%.260s is encrypted.\nPassword:",
            name);
  PasswordPrompt prompt = {text};
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SFX_PASSWORD), nullptr,
                              PasswordProc, reinterpret_cast<LPARAM>(&prompt));
  g_havePassword = r == IDOK;
  return g_havePassword;
}

// Whether the password opens the member: its 12-byte header must end in the check byte.
bool PasswordFits(const Member& m, const uint8_t* header, ZipKeys* keys) {
  ZipKeysInit(keys, g_password);
  uint8_t last = 0;
  for (int i = 0; i < 12; ++i) last = ZipDecryptByte(keys, header[i]);
  const uint8_t check = (m.flags & 8) ? static_cast<uint8_t>(m.time >> 8) : static_cast<uint8_t>(m.crc >> 24);
  return last == check;
}

// ---------------------------------------------------------------------------------------------
// One member's data

struct Pipe {
  uint64_t pos, end;
  bool encrypted;
  ZipKeys keys;
  HANDLE out;
  uint32_t crc;
  uint64_t written, limit;
  bool failed;
};

size_t PipeRead(void* context, uint8_t* buf, size_t size) {
  Pipe* p = static_cast<Pipe*>(context);
  if (p->pos >= p->end) return 0;
  if (size > p->end - p->pos) size = static_cast<size_t>(p->end - p->pos);
  if (!ReadAt(p->pos, buf, static_cast<DWORD>(size))) return 0;
  p->pos += size;
  if (p->encrypted)
    for (size_t i = 0; i < size; ++i) buf[i] = ZipDecryptByte(&p->keys, buf[i]);
  return size;
}

bool PipeWrite(void* context, const uint8_t* buf, size_t size) {
  Pipe* p = static_cast<Pipe*>(context);
  p->written += size;
  if (p->written > p->limit) return false;  // more than the member says it holds
  p->crc = Crc32(p->crc, buf, size);
  DWORD done = 0;
  if (!WriteFile(p->out, buf, static_cast<DWORD>(size), &done, nullptr) || done != size) {
    p->failed = true;
    return false;
  }
  return true;
}

// Decodes the member into `out`; the reason when it fails.
const char* WriteData(const Member& m, uint64_t dataStart, const ZipKeys* keys, HANDLE out) {
  Pipe p = {};
  p.pos = dataStart;
  p.end = dataStart + m.csize;
  p.encrypted = keys != nullptr;
  if (keys) {
    p.keys = *keys;
    p.pos += 12;
  }
  p.out = out;
  p.limit = m.usize;
  if (m.method == 0) {
    uint8_t* buf = g_inflate->input;
    for (size_t n; (n = PipeRead(&p, buf, sizeof g_inflate->input)) > 0;)
      if (!PipeWrite(&p, buf, n)) break;
  } else {
    InflateIo io = {PipeRead, PipeWrite, &p};
    uint64_t produced = 0;
    InflateResult r = Inflate(g_inflate, io, &produced, m.method == 9);
    if (r == InflateResult::kDamaged || r == InflateResult::kTruncated) return "its data is damaged";
  }
  if (p.failed) return "could not be written (is the disk full?)";
  if (p.written != m.usize || p.crc != m.crc) return keys ? "CRC error (wrong password?)" : "CRC error";
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Extraction

enum class Step { kNext, kStop };

// Reports a member packed with a method the stub does not carry, by its name where it has one.
void UnknownMethod(const char* name, uint16_t method) {
  static const struct {
    uint16_t method;
    char name[10];
  } kNames[] = {{12, "bzip2"}, {14, "LZMA"}, {93, "Zstandard"}, {95, "xz"}, {98, "PPMd"}};
  const char* methodName = "an unknown method";
  for (const auto& n : kNames)
    if (n.method == method) methodName = n.name;
  char why[96];  // fits the report line with the longest name
  wsprintfA(why, "packed with %s (method %u), which this self-extractor cannot unpack", methodName,
            static_cast<unsigned>(method));
  Problem(name, why);
}

Step ExtractMember(const Member& m, const char* targetDir, int* extracted) {
  char name[MAX_PATH];
  if (!LocalName(m, name, sizeof name)) {
    Problem(name, "not extracted: its name has characters that this system's code page cannot hold");
    return Step::kNext;
  }
  char clean[MAX_PATH];
  const char* why = nullptr;
  if (!ql::SafeMemberPath(name, static_cast<size_t>(lstrlenA(name)), clean, sizeof clean, &why)) {
    Problem(name, "refused: it would be written outside the target or to a device");
    return Step::kNext;
  }
  char target[MAX_PATH + MAX_PATH];
  if (lstrlenA(targetDir) + lstrlenA(clean) + 2 >= MAX_PATH) {
    Problem(name, "the path is too long");
    return Step::kNext;
  }
  wsprintfA(target, "%s\\%s", targetDir, clean);
  for (char* p = target; *p; ++p)
    if (*p == '/') *p = '\\';
  const bool isDir = m.nameLength > 0 && (m.name[m.nameLength - 1] == '/' || m.name[m.nameLength - 1] == '\\');
  if (isDir) {
    if (!MakeDirs(target)) Problem(name, "the folder could not be made");
    return Step::kNext;
  }
  if (m.method == 99) {
    Problem(name, "encrypted with WinZip AES (method 99), which this self-extractor cannot unpack");
    return Step::kNext;
  }
  if (m.method != 0 && m.method != 8 && m.method != 9) {
    UnknownMethod(name, m.method);
    return Step::kNext;
  }
  uint8_t local[30];
  size_t headerLength = 0;
  if (!ReadAt(m.localOffset, local, sizeof local) || (headerLength = LocalHeaderLength(local)) == 0) {
    Problem(name, "its header is damaged");
    return Step::kNext;
  }
  const uint64_t dataStart = m.localOffset + headerLength;

  ZipKeys keys;
  const bool encrypted = m.flags & 1;
  if (encrypted) {
    uint8_t header[12];
    if (m.csize < 12 || !ReadAt(dataStart, header, sizeof header)) {
      Problem(name, "its data is damaged");
      return Step::kNext;
    }
    bool wrong = false;
    while (!g_havePassword || !PasswordFits(m, header, &keys)) {
      if (!AskPassword(name, wrong)) return Step::kStop;
      wrong = true;
    }
  }

  DWORD attrs = GetFileAttributesA(target);
  if (attrs != INVALID_FILE_ATTRIBUTES) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
      Problem(name, "a folder of that name is in the way");
      return Step::kNext;
    }
    char question[MAX_PATH + 64];
    wsprintfA(question, "%.260s already exists.\nReplace it?", target);
    int answer = Ask(question, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return Step::kStop;
    if (answer != IDYES) {
      Problem(name, "kept the existing file");
      return Step::kNext;
    }
  }

  char dir[MAX_PATH + MAX_PATH];
  lstrcpyA(dir, target);
  char* slash = nullptr;
  for (char* p = dir; *p; ++p)
    if (*p == '\\') slash = p;
  if (slash) *slash = 0;
  if (!MakeDirs(dir)) {
    Problem(name, "its folder could not be made");
    return Step::kNext;
  }
  char temp[MAX_PATH];
  if (!GetTempFileNameA(dir, "qsx", 0, temp)) {
    Problem(name, "could not be written");
    return Step::kNext;
  }
  HANDLE out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const char* failure = "could not be written";
  if (out != INVALID_HANDLE_VALUE) {
    failure = WriteData(m, dataStart, encrypted ? &keys : nullptr, out);
    FILETIME local_time, utc;
    if (!failure && DosDateTimeToFileTime(m.date, m.time, &local_time) && LocalFileTimeToFileTime(&local_time, &utc))
      SetFileTime(out, nullptr, nullptr, &utc);
    if (!CloseHandle(out) && !failure) failure = "could not be written";
  }
  if (!failure) {
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING)) failure = "could not replace the existing file";
  }
  if (failure) {
    DeleteFileA(temp);
    Problem(name, failure);
    return Step::kNext;
  }
  // DOS attributes from systems that keep them (read-only, hidden, system, archive).
  const unsigned host = m.madeBy >> 8;
  if ((host == 0 || host == 11 || host == 14 || host == 3) && (m.externalAttr & 0x07))
    SetFileAttributesA(target, m.externalAttr & 0x27);
  ++*extracted;
  return Step::kNext;
}

int Run(const char* targetArg) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return kExitStopped;
  const char* base = self;
  for (const char* p = self; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  lstrcpynA(g_title, base, sizeof g_title);

  char targetDir[MAX_PATH];
  if (targetArg && *targetArg) {
    if (!GetFullPathNameA(targetArg, sizeof targetDir, targetDir, nullptr)) return kExitStopped;
  } else if (!GetCurrentDirectoryA(sizeof targetDir, targetDir)) {
    return kExitStopped;
  }
  int len = lstrlenA(targetDir);
  while (len > 3 && targetDir[len - 1] == '\\') targetDir[--len] = 0;
  if (len == 3 && targetDir[2] == '\\') targetDir[2] = 0;  // "C:" + "\name"

  g_self = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size = {};
  if (g_self == INVALID_HANDLE_VALUE || !GetFileSizeEx(g_self, &size)) {
    Ask("This program cannot read its own file.", MB_OK | MB_ICONSTOP);
    return kExitStopped;
  }
  const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  const size_t tailSize = static_cast<size_t>(fileSize < kTailMax ? fileSize : kTailMax);
  uint8_t* tail = static_cast<uint8_t*>(Alloc(tailSize));
  EndRecord end;
  bool found = tail && ReadAt(fileSize - tailSize, tail, static_cast<DWORD>(tailSize)) &&
               FindEndRecord(tail, tailSize, fileSize - tailSize, &end);
  Free(tail);
  uint8_t* cd = found ? static_cast<uint8_t*>(Alloc(end.cdSize)) : nullptr;
  if (!cd || !ReadAt(end.cdStart, cd, end.cdSize)) {
    Ask("This program carries no archive, or its archive is damaged.", MB_OK | MB_ICONSTOP);
    Free(cd);
    return kExitStopped;
  }
  if (!IsDir(targetDir) && !MakeDirs(targetDir)) {
    char text[MAX_PATH + 64];
    wsprintfA(text, "The folder %.260s cannot be made.", targetDir);
    Ask(text, MB_OK | MB_ICONSTOP);
    Free(cd);
    return kExitStopped;
  }

  int extracted = 0;
  bool stopped = false;
  size_t pos = 0;
  for (uint32_t i = 0; i < end.count && !stopped; ++i) {
    Member m;
    size_t used = 0;
    if (!ParseCentral(cd + pos, end.cdSize - pos, end, &m, &used)) {
      Problem("The archive", "its directory is damaged: the rest was not extracted");
      break;
    }
    pos += used;
    stopped = ExtractMember(m, targetDir, &extracted) == Step::kStop;
  }
  Free(cd);

  char text[kReportSize + 2 * MAX_PATH];
  wsprintfA(text, "%s%d file(s) extracted to %.260s.", stopped ? "Stopped. " : "", extracted, targetDir);
  if (g_problems) {
    lstrcatA(text, "\n\nNot extracted:\n");
    lstrcatA(text, g_report);
  }
  Ask(text, MB_OK | (g_problems || stopped ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
  return stopped ? kExitStopped : g_problems ? kExitSome : kExitOk;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CrcTableInit();
  g_inflate = static_cast<InflateState*>(Alloc(sizeof(InflateState)));
  g_report = static_cast<char*>(Alloc(kReportSize));
  if (!g_inflate || !g_report) return kExitStopped;
  const char* target = nullptr;
  for (int i = 1; i < __argc; ++i)
    if (__argv[i][0]) target = __argv[i];
  int r = Run(target);
  if (g_self != INVALID_HANDLE_VALUE) CloseHandle(g_self);
  return r;
}
