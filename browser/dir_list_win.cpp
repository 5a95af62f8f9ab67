// The directory lister: the left pane of a browser window from its curDir and dirMask.
#include <windows.h>

#include <string>
#include <unordered_set>

#include "common/shared_win.h"
#include "browser/browser_win.h"
#include "browser/dir_lines.h"

namespace ql {

namespace {

std::string Lower(const std::string& s) {
  std::string l(s);
  for (auto& c : l)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return l;
}

// Adds what a search for `pattern` finds; directories only when `withDirs`. Every name is listed
// once, however many patterns find it.
int AddMatchingItems(DirectoryLines* lines, std::unordered_set<std::string>* seen, const std::string& pattern,
                     bool withDirs) {
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA(pattern.c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return 0;
  int added = 0;
  do {
    FoundEntry e;
    e.longName = fd.cFileName;
    e.shortName = fd.cAlternateFileName;
    e.directory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string& name = e.longName.empty() ? e.shortName : e.longName;
    if (name.empty() || name[0] == '\\' || name == ".") continue;
    if (e.directory && !withDirs) continue;
    if (!seen->insert(Lower(name) + (e.directory ? "\\" : "")).second) continue;
    e.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    FILETIME local;
    SYSTEMTIME st{};
    if (FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &st)) {
      e.year = st.wYear;
      e.month = st.wMonth;
      e.day = st.wDay;
      e.hour = st.wHour;
      e.minute = st.wMinute;
    }
    lines->AddEntry(e);
    ++added;
  } while (FindNextFileA(f, &fd));
  FindClose(f);
  return added;
}

}  // namespace

int FillDirectoryList(int slot) {
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  char saved[MAX_PATH] = "";
  DWORD n = GetCurrentDirectoryA(sizeof saved, saved);
  if (n == 0 || n >= sizeof saved) {
    SetErrorMode(oldMode);
    return 0;
  }
  HCURSOR oldCursor = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  if (g_browserHost.selectDrive && saved[1] == ':')
    g_browserHost.selectDrive(static_cast<char>(saved[0] | 0x20));

  WindowRecord* r = (g_windowTable && slot >= 0 && slot < kMaxWindows) ? &g_windowTable[slot] : nullptr;
  if (r && r->hwndChild && r->hwndDirList && IsWindow(r->hwndDirList)) {
    HWND list = r->hwndDirList;
    SetCurrentDirAndDrive(r->curDir);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);

    DirectoryLines lines;
    std::unordered_set<std::string> seen;
    for (const std::string& p : SplitMaskPatterns(r->dirMask))
      AddMatchingItems(&lines, &seen, JoinDirPattern(r->curDir, p), true);
    if (g_browserHost.enableParentButton) g_browserHost.enableParentButton(!IsDriveRoot(r->curDir));
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
      if (drives & (1u << i)) lines.AddDrive(static_cast<char>('a' + i));

    std::vector<std::string> out = lines.Finish();
    SendMessageA(list, LB_INITSTORAGE, out.size(), out.size() * 48);
    int pos = 0;
    for (const std::string& line : out)
      SendMessageA(list, LB_INSERTSTRING, pos++, reinterpret_cast<LPARAM>(line.c_str()));
    r->dirTotalBytes = lines.totalBytes();
    r->dirItemCount = lines.itemCount();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  SetCurrentDirAndDrive(saved);
  SetCursor(oldCursor);
  SetDirHeaderText(r);
  SetErrorMode(oldMode);
  return 1;
}

}  // namespace ql
