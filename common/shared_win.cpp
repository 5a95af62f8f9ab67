#include "common/shared_win.h"

#include "resources/ids.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace ql {

bool g_cancelled = false;

namespace {

// A message raised while a modal dialog is up belongs to that dialog. Owned by the window behind
// it (which the dialog disabled), the message would give that window back its input and bring it
// to the front when it closes, leaving the dialog hidden and no longer modal.
HWND MessageOwnerFor(HWND owner) {
  HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  if (!root || IsWindowEnabled(root)) return owner;
  HWND active = GetActiveWindow();
  if (active && active != root && IsWindowEnabled(active) && IsWindowVisible(active)) return active;
  HWND popup = GetLastActivePopup(root);
  if (popup && popup != root && IsWindowEnabled(popup) && IsWindowVisible(popup)) return popup;
  return owner;
}

}  // namespace

int AppMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  owner = MessageOwnerFor(owner);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if ((style & MB_ICONMASK) == 0) style |= MB_ICONEXCLAMATION;
  int r = MessageBoxA(owner, text, caption, style | MB_TASKMODAL);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return r;
}

int ShowStringMessage(HWND owner, UINT id) {
  char text[129] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return AppMessageBox(owner, text, "Quillon", MB_OK | MB_ICONEXCLAMATION);
}

namespace {
HelpHandler g_helpHandler = nullptr;
}  // namespace

void SetHelpHandler(HelpHandler handler) { g_helpHandler = handler; }

void ShowHelp(HWND owner, HelpAction action, DWORD context) {
  if (g_helpHandler) g_helpHandler(owner, action, context);
}

bool DialogHelpOrCancel(HWND dlg, UINT m, WPARAM w, DWORD context) {
  // F1 arrives as WM_HELP, or as a key-down the frame posts when F1 is held over a dialog.
  if (m == WM_HELP || (m == WM_COMMAND && LOWORD(w) == IDC_HELP_BUTTON) || (m == WM_KEYDOWN && w == VK_F1)) {
    ShowHelp(dlg, HelpAction::Context, context);
    return true;
  }
  if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
    EndDialog(dlg, IDCANCEL);
    return true;
  }
  return false;
}

int ShowStringMessageArg(HWND owner, UINT id, const char* arg, UINT style) {
  char format[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, format, sizeof format);
  // The argument may be a long path: size the text from it rather than cutting it.
  std::string text(strlen(format) + strlen(arg) + 1, '\0');
  int n = snprintf(&text[0], text.size(), format, arg);
  if (n >= 0) text.resize(static_cast<size_t>(n));
  return AppMessageBox(owner, text.c_str(), "Quillon", style);
}


bool SetCurrentDirAndDrive(const char* path) {
  if (!path || !*path || !SetCurrentDirectoryA(path)) return true;
  char now[MAX_PATH + 1] = "";
  DWORD n = GetCurrentDirectoryA(sizeof now, now);
  if (n > 0 && n < sizeof now && now[1] == ':') {
    char name[4] = {'=', static_cast<char>(toupper(static_cast<unsigned char>(now[0]))), ':', '\0'};
    SetEnvironmentVariableA(name, now);
  }
  return false;
}

bool CreateDirectoryPath(const char* path) {
  size_t len = path ? strlen(path) : 0;
  if (len < 4 || path[1] != ':' || path[2] != '\\' || len > MAX_PATH) return false;
  std::string level(path);
  while (!level.empty() && level.back() == '\\') level.pop_back();
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  bool created = false;
  for (size_t i = 3; i <= level.size(); ++i) {
    if (i == level.size() || level[i] == '\\') {
      std::string part = level.substr(0, i);
      created = CreateDirectoryA(part.c_str(), &sa) != FALSE;
    }
  }
  return created;
}

uint32_t DriveFreeBytes(char drive) {
  char root[4] = {drive, ':', '\\', '\0'};
  DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &freeClusters, &total)) return 0;
  unsigned long long product = 1ULL * sectors * bytes * freeClusters;
  return product > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<uint32_t>(product);
}

namespace {

bool IsDriveRoot(const std::string& dir) {
  return dir.empty() || dir == "\\" || (dir.size() <= 3 && dir.size() >= 2 && dir[1] == ':');
}

bool RemoveTreeBelow(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool ok = true;
  do {
    if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
    std::string path = dir + "\\" + fd.cFileName;
    SetFileAttributesA(path.c_str(), fd.dwFileAttributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                             FILE_ATTRIBUTE_SYSTEM));
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A linked directory is removed as a link, never entered.
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ok = RemoveTreeBelow(path);
      if (ok) ok = RemoveDirectoryA(path.c_str()) != FALSE;
    } else {
      ok = DeleteFileA(path.c_str()) != FALSE;
    }
  } while (ok && FindNextFileA(find, &fd));
  FindClose(find);
  return ok;
}

}  // namespace

bool RemoveDirectoryTree(const char* directory) {
  if (!directory) return false;
  std::string dir(directory);
  while (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
  if (IsDriveRoot(dir)) return false;
  DWORD attrs = GetFileAttributesA(dir.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  if (!RemoveTreeBelow(dir)) return false;
  return RemoveDirectoryA(dir.c_str()) != FALSE;
}

void CleanScratchDir(const char* workDirectory) {
  if (!workDirectory || !*workDirectory) return;
  std::string scratch(workDirectory);
  if (scratch.back() != '\\') scratch += '\\';
  scratch += "tmp41720";
  DWORD attrs = GetFileAttributesA(scratch.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((scratch + "\\*.*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      std::string path = scratch + "\\" + fd.cFileName;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryA(scratch.c_str());
}

std::string CurrentDirectory() {
  char buf[MAX_PATH + 1] = "";
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return {};
  return buf;
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ShortPathForm(const char* path) {
  if (!path) return std::string();
  std::string p(path);
  bool full = (p.size() > 1 && p[1] == ':') || (!p.empty() && (p[0] == '.' || p[0] == '\\'));
  if (!full || p.size() > MAX_PATH) return std::string();
  size_t start = 0;
  std::string out;
  if (p.size() >= 3 && p[1] == ':' && p[2] == '\\') {
    out = p.substr(0, 3);
    start = 3;
  } else if (p.size() >= 2 && p[1] == ':') {
    out = p.substr(0, 2);
    start = 2;
  }
  while (start < p.size()) {
    size_t slash = p.find('\\', start);
    size_t end = slash == std::string::npos ? p.size() : slash;
    std::string component = p.substr(start, end - start);
    std::string prefix = p.substr(0, end);
    if (component.empty() || component == "." || component == "..") {
      out += component;
    } else {
      WIN32_FIND_DATAA fd;
      HANDLE find = FindFirstFileA(prefix.c_str(), &fd);
      if (find == INVALID_HANDLE_VALUE) return std::string();
      FindClose(find);
      out += fd.cAlternateFileName[0] ? fd.cAlternateFileName : fd.cFileName;
    }
    if (slash == std::string::npos) break;
    out += '\\';
    start = slash + 1;
  }
  return out;
}

std::wstring WidenText(std::string_view text, UINT codePage) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
  return w;
}

bool NarrowText(std::wstring_view text, UINT codePage, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, used);
  if (n <= 0) return false;
  out->assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), &(*out)[0], n, nullptr, used);
  // A round trip shows characters dropped or folded without the default character.
  return !usedDefault && (utf8 || WidenText(*out, codePage) == text);
}

}  // namespace ql
