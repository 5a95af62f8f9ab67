#include "tests/support/win_test_support.h"

#include <cstdlib>
#include <cstring>

namespace qltest {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool ok = false;
  for (;;) {
    if (done()) {
      ok = true;
      break;
    }
    if (GetTickCount() - start > timeoutMs) break;
    WaitForSingleObject(never, 10);
  }
  CloseHandle(never);
  return ok;
}

void Snapshot(const char* name) {
  char dir[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("QL_SHOT_DIR", dir, sizeof dir)) return;
  PumpUntil([] { return false; }, 0);
  std::string base = std::string(dir) + "\\" + name;
  WriteTextFile(base + ".ready", "");
  WaitUntil([&] { return FileExists(base + ".done"); }, 60000);
}

std::string WindowText(HWND h) {
  char buf[2048] = "";
  // WM_GETTEXT through SendMessage works across threads and processes.
  DWORD_PTR got = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &got);
  return buf;
}

std::string ClassOf(HWND h) {
  char cls[128] = "";
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

namespace {

struct FindContext {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK FindMatching(HWND h, LPARAM l) {
  auto* c = reinterpret_cast<FindContext*>(l);
  if (c->processId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != c->processId) return TRUE;
  }
  if (!IsWindowVisible(h) || ClassOf(h) != c->className) return TRUE;
  if (c->title && WindowText(h) != c->title) return TRUE;
  c->found = h;
  return FALSE;
}

BOOL CALLBACK CollectStatic(HWND h, LPARAM l) {
  auto* text = reinterpret_cast<std::string*>(l);
  std::string cls = ClassOf(h);
  if (!_stricmp(cls.c_str(), "Static")) {
    std::string t = WindowText(h);
    if (!t.empty()) {
      if (!text->empty()) *text += "\n";
      *text += t;
    }
  }
  return TRUE;
}

BOOL CALLBACK FindIcon(HWND h, LPARAM l) {
  if (_stricmp(ClassOf(h).c_str(), "Static") || (GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  DWORD_PTR icon = 0;
  SendMessageTimeoutA(h, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
  *reinterpret_cast<HICON*>(l) = reinterpret_cast<HICON>(icon);
  return icon == 0;
}

}  // namespace

HWND FindThreadWindow(DWORD threadId, const char* className, const char* title) {
  FindContext c = {0, className, title, nullptr};
  EnumThreadWindows(threadId, FindMatching, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
  FindContext c = {processId, className, title, nullptr};
  EnumWindows(FindMatching, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

int PressDefault(HWND dialog, const SeenDialog&) {
  for (int id : {IDOK, IDYES, IDCANCEL})
    if (GetDlgItem(dialog, id)) return id;
  return IDCANCEL;
}

DialogAnswer PressInBoxes(int button) {
  return [button](HWND dialog, const SeenDialog& seen) {
    if (FindWindowExA(dialog, nullptr, "msctls_progress32", nullptr)) return 0;
    // A message box seen before its text was set: read it again on the next look.
    if (seen.text.empty() && GetDlgItem(dialog, 0xFFFF)) return 0;
    return button;
  };
}

std::vector<std::string> TextsOf(const std::vector<SeenDialog>& seen) {
  std::vector<std::string> texts;
  for (const SeenDialog& s : seen) texts.push_back(s.text);
  return texts;
}

DialogWatcher::DialogWatcher(DWORD processId, DWORD threadId, DialogAnswer answer)
    : processId_(processId), threadId_(threadId), answer_(std::move(answer)),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Run(); }) {}

DialogWatcher::~DialogWatcher() {
  SetEvent(stop_);
  thread_.join();
  CloseHandle(stop_);
}

std::vector<SeenDialog> DialogWatcher::Seen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

bool DialogWatcher::WaitForAnswers(size_t count, DWORD timeoutMs) {
  return WaitUntil([&] { return Seen().size() >= count; }, timeoutMs);
}

BOOL CALLBACK DialogWatcher::Enumerate(HWND h, LPARAM self) {
  auto* w = reinterpret_cast<DialogWatcher*>(self);
  if (w->processId_) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != w->processId_) return TRUE;
  }
  if (IsWindowVisible(h) && ClassOf(h) == "#32770") w->Visit(h);
  return TRUE;
}

void DialogWatcher::Visit(HWND dialog) {
  if (answered_.count(dialog)) return;
  SeenDialog seen;
  seen.title = WindowText(dialog);
  EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&seen.text));
  seen.owner = GetWindow(dialog, GW_OWNER);
  EnumChildWindows(dialog, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
  // A dialog that closed while it was being read shows up with no title and no text: it was never
  // there to answer.
  if (!IsWindow(dialog)) return;
  seen.pressed = answer_ ? answer_(dialog, seen) : 0;
  if (!seen.pressed) return;
  answered_.insert(dialog);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back(seen);
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(seen.pressed, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, seen.pressed)));
}

void DialogWatcher::Run() {
  while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
    if (threadId_)
      EnumThreadWindows(threadId_, Enumerate, reinterpret_cast<LPARAM>(this));
    else
      EnumWindows(Enumerate, reinterpret_cast<LPARAM>(this));
    // Forget dialogs that are gone, so a new one at the same handle is answered too.
    for (auto it = answered_.begin(); it != answered_.end();)
      it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
  }
}

TempDir::TempDir(const char* prefix) {
  char temp[MAX_PATH + 1] = "";
  GetTempPathA(sizeof temp, temp);
  static LONG counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = std::string(temp) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(InterlockedIncrement(&counter));
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

namespace {

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
      std::string path = dir + "\\" + fd.cFileName;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

TempDir::~TempDir() {
  if (!path_.empty()) RemoveTree(path_);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(f);
  return ok;
}

std::string ReadTextFile(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
  CloseHandle(f);
  return text;
}

std::string ReadWideNamedFile(const std::string& dir, const wchar_t* name) {
  std::wstring path(dir.begin(), dir.end());
  path = path + L"\\" + name;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string s(GetFileSize(h, nullptr), '\0');
  DWORD n = 0;
  if (!s.empty()) ReadFile(h, &s[0], static_cast<DWORD>(s.size()), &n, nullptr);
  CloseHandle(h);
  return s;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string CurrentDirectory() {
  char dir[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof dir, dir);
  return dir;
}

std::string ProcessCurrentDirectory(HANDLE process) {
  struct BasicInformation {
    LONG exitStatus;
    void* pebBase;
    ULONG_PTR affinity;
    LONG basePriority;
    ULONG_PTR processId;
    ULONG_PTR parentId;
  };
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  BasicInformation info = {};
  ULONG got = 0;
  if (!query || query(process, 0, &info, sizeof info, &got) != 0 || !info.pebBase) return std::string();
  // PEB.ProcessParameters and CurrentDirectory.DosPath of the parameters, 32- and 64-bit layouts.
#ifdef _WIN64
  const size_t kParametersAt = 0x20, kDosPathAt = 0x38;
#else
  const size_t kParametersAt = 0x10, kDosPathAt = 0x24;
#endif
  auto read = [&](const void* at, void* into, SIZE_T size) {
    SIZE_T done = 0;
    return ReadProcessMemory(process, at, into, size, &done) && done == size;
  };
  char* params = nullptr;
  if (!read(static_cast<char*>(info.pebBase) + kParametersAt, &params, sizeof params) || !params) return std::string();
  struct {
    USHORT length;
    USHORT maximum;
    wchar_t* buffer;
  } dosPath = {};
  if (!read(params + kDosPathAt, &dosPath, sizeof dosPath) || !dosPath.buffer) return std::string();
  std::wstring wide(dosPath.length / 2, L'\0');
  if (!wide.empty() && !read(dosPath.buffer, &wide[0], dosPath.length)) return std::string();
  char narrow[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow, sizeof narrow - 1, nullptr,
                      nullptr);
  std::string dir = narrow;
  if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  return dir;
}

Process::~Process() {
  if (process) {
    if (Running()) TerminateProcess(process, 1);
    CloseHandle(process);
  }
}

bool Process::Start(const std::string& exe, const std::string& arguments, const std::string& directory) {
  std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process = pi.hProcess;
  id = pi.dwProcessId;
  threadId = pi.dwThreadId;
  return true;
}

long Process::Wait(DWORD timeoutMs) {
  if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<long>(code);
}

bool Process::Running() { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

std::string FromUnix(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string HostPath(std::string path) {
  path.erase(0, 2);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

int RunHost(const std::string& hostCommand, const std::string& statusFile) {
  DeleteFileA(statusFile.c_str());
  std::string status = HostPath(statusFile);
  std::string line = "/bin/sh -c \"" + hostCommand + "; echo $? > '" + status + ".tmp' && mv '" + status +
                     ".tmp' '" + status + "'\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  int result = -1;
  WaitUntil(
      [&] {
        std::string text = ReadTextFile(statusFile);
        if (text.empty()) return false;
        result = atoi(text.c_str());
        return true;
      },
      60000);
  return result;
}

}  // namespace qltest
