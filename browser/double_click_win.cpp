// Double-clicks (and Enter) on the lines of a browser window's lists.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "browser/browser_win.h"
#include "browser/dir_lines.h"
#include "browser/item_format.h"
#include "browser/window_rules.h"
#include "common/shared_win.h"
#include "readers/listing_lines.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

HWND Owner(HWND browser) { return browser ? browser : g_browserHost.mdiClient; }

void NotAvailableYet(HWND browser) { ShowStringMessage(Owner(browser), IDS_NOT_AVAILABLE); }

std::string CaretLine(HWND list) {
  LRESULT i = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
  LRESULT n = i >= 0 ? SendMessageA(list, LB_GETTEXTLEN, i, 0) : LB_ERR;
  if (n < 0) return std::string();
  std::string line(static_cast<size_t>(n) + 1, '\0');
  LRESULT got = SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
  line.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return line;
}

std::string CurrentDir() {
  char buf[MAX_PATH] = "";
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return (n > 0 && n < sizeof buf) ? std::string(buf) : std::string();
}

// Pane 199 after a change of directory: the lengths of the file lines and the number of lines.
void ShowListedTotals(const WindowRecord* r) {
  long bytes = 0;
  std::vector<std::string> lines = ListLines(r->hwndDirList);
  for (const auto& l : lines)
    if (IsFileLine(l)) bytes += static_cast<long>(LineSizeField(l));
  if (g_browserHost.setPaneText)
    g_browserHost.setPaneText(IDC_PANE_DIR_TOTALS, DirTotalsText(bytes, static_cast<int>(lines.size())).c_str());
}

void EnterDirectory(HWND browser, WindowRecord* r, const std::string& name) {
  std::string target = JoinDirPattern(r->curDir, name);
  if (SetCurrentDirAndDrive(target.c_str())) {
    SetCurrentDirAndDrive(r->curDir);
    return;
  }
  std::string now = CurrentDir();
  if (now.empty()) return;
  if (g_browserHost.enableParentButton) g_browserHost.enableParentButton(!IsDriveRoot(now));
  if (now.size() > 3 && now.back() == '\\') now.pop_back();
  RememberDriveDir(browser, r->curDir);
  lstrcpynA(r->curDir, now.c_str(), sizeof r->curDir);
  RememberDriveDir(browser, r->curDir);
  FillDirectoryList(SlotOf(browser));
  ShowListedTotals(r);
}

bool ShownElsewhere(HWND browser, const std::string& path) {
  for (int i = 0; g_windowTable && i < kMaxWindows; ++i) {
    const WindowRecord& o = g_windowTable[i];
    if (o.inUse && o.hwndChild != browser && o.archivePath[0] && lstrcmpiA(o.archivePath, path.c_str()) == 0)
      return true;
  }
  return false;
}

// The archive goes into this window when it shows none, else into a new window.
void OpenArchive(HWND browser, WindowRecord* r, const std::string& path, int type) {
  if (r->archivePath[0]) {
    OpenBrowserWindow(path.c_str(), type, "*.*", "*.*");
    return;
  }
  if (ShownElsewhere(browser, path)) {
    ShowStringMessage(Owner(browser), IDS_ARCHIVE_ALREADY_OPEN);
    return;
  }
  AssignArchiveToWindow(browser, path.c_str(), type);
  int result;
  if (type == kArchiveTypeArj) {
    SendMessageA(r->hwndArchiveList, WM_SETREDRAW, FALSE, 0);
    result = ReadArjDirectory(browser, r->archivePath, r->hwndArchiveList, 1, r->archiveMask, nullptr);
    SendMessageA(r->hwndArchiveList, WM_SETREDRAW, TRUE, 0);
  } else {
    result = LoadZipIntoWindow(r->archivePath, r->hwndArchiveList, r->archiveMask, nullptr);
  }
  // A file the reader refused leaves the window as it was: without an archive.
  if (result < 0) ClearArchiveWindow(browser);
  InvalidateRect(browser, nullptr, TRUE);
  if (g_activeBrowser == browser) ShowArchiveTotals(browser);
}

// Starts a program file, shown normally, by its short path (blanks in a long one would split it).
void StartProgram(HWND browser, std::string path) {
  for (char& c : path)
    if (c == '"') c = ' ';
  size_t first = path.find_first_not_of(' ');
  size_t last = path.find_last_not_of(' ');
  path = first == std::string::npos ? std::string() : path.substr(first, last - first + 1);
  std::string shortForm = ShortPathForm(path.c_str());
  if (!shortForm.empty()) path = shortForm;
  if (path.empty() || WinExec(path.c_str(), SW_SHOWNORMAL) < 32) ShowStringMessage(Owner(browser), IDS_CANNOT_RUN);
}

void OpenWithShell(HWND browser, WindowRecord* r, const std::string& name) {
  // The shell's own failure box is left out: the message below says what to do.
  SHELLEXECUTEINFOA sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_FLAG_NO_UI;
  sei.hwnd = browser;
  sei.lpVerb = "open";
  sei.lpFile = name.c_str();
  sei.lpDirectory = r->curDir;
  sei.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&sei)) ShowStringMessage(Owner(browser), IDS_NO_ASSOCIATION);
  ShowDirectoryTotals(browser);
}

void DirectoryDoubleClick(HWND browser, WindowRecord* r, const std::string& line) {
  std::string name(ItemNameField(line, g_shortNameDisplay != 0));
  switch (ClassifyDirectoryItem(name)) {
    case DirItemAction::None:
      return;
    case DirItemAction::Drive:
      if (g_activeBrowser != browser && g_browserHost.mdiClient)
        SendMessageA(g_browserHost.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(browser), 0);
      if (g_activeBrowser == browser) ChangeDriveFromBox(name.c_str());
      return;
    case DirItemAction::Directory:
      EnterDirectory(browser, r, DirectoryLineName(name));
      return;
    case DirItemAction::OpenZip:
      OpenArchive(browser, r, JoinDirPattern(r->curDir, name), kArchiveTypeZip);
      return;
    case DirItemAction::OpenArj:
      OpenArchive(browser, r, JoinDirPattern(r->curDir, name), kArchiveTypeArj);
      return;
    case DirItemAction::RunExe: {
      std::string path = JoinDirPattern(r->curDir, name);
      if (FileHoldsZip(path))
        OpenArchive(browser, r, path, kArchiveTypeZip);
      else
        StartProgram(browser, path);
      return;
    }
    case DirItemAction::RunProgram:
      StartProgram(browser, JoinDirPattern(r->curDir, name));
      return;
    case DirItemAction::OpenWithShell:
      OpenWithShell(browser, r, name);
      return;
  }
}

void ArchiveDoubleClick(HWND browser, const std::string& line) {
  std::string name(ItemNameField(line, g_shortNameDisplay != 0));
  void (*action)(HWND, const char*) = nullptr;
  switch (ClassifyArchiveMember(IsMarkerLine(line) ? std::string_view(line) : std::string_view(name))) {
    case MemberAction::None:
      return;
    case MemberAction::ShowComment:
      action = g_browserHost.showComment;
      break;
    case MemberAction::RunFromArchive:
      action = g_browserHost.runMember;
      break;
    case MemberAction::RefuseArchive:
      ShowStringMessage(Owner(browser), IDS_ARCHIVE_IN_ARCHIVE);
      return;
    case MemberAction::View:
      action = g_browserHost.viewMember;
      break;
  }
  // Without an operation of its own the line goes to the member view, which may know it.
  if (!action) action = g_browserHost.viewMember;
  if (action)
    action(browser, line.c_str());
  else
    NotAvailableYet(browser);
}

}  // namespace

void OnListDoubleClick(HWND browser, HWND list) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !list) return;
  std::string line = CaretLine(list);
  if (line.empty()) return;
  if (list == r->hwndDirList)
    DirectoryDoubleClick(browser, r, line);
  else if (list == r->hwndArchiveList && r->archivePath[0])
    ArchiveDoubleClick(browser, line);
}

}  // namespace ql
