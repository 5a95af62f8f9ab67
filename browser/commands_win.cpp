// Commands that act on one browser window's lists: Select All, selection by type, parent directory,
// and the long or short names of every window.
#include <windows.h>

#include <string>

#include "common/shared_win.h"
#include "browser/browser_win.h"
#include "browser/dir_lines.h"
#include "browser/item_format.h"
#include "common/mask.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

namespace {

std::string CurrentDir() {
  char buf[MAX_PATH] = "";
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return (n > 0 && n < sizeof buf) ? std::string(buf) : std::string();
}

}  // namespace

void ShowDirectorySelectionTotals(HWND list) {
  std::vector<std::string> lines = ListLines(list);
  std::vector<int> sel = SelectedIndexes(list);
  long bytes = 0;
  int count = 0;
  auto add = [&](const std::string& l) {
    ++count;
    if (IsFileLine(l)) bytes += static_cast<long>(LineSizeField(l));
  };
  if (sel.empty()) {
    for (const auto& l : lines) add(l);
  } else {
    for (int i : sel) add(lines[static_cast<size_t>(i)]);
  }
  if (g_browserHost.setPaneText) g_browserHost.setPaneText(IDC_PANE_DIR_TOTALS, DirTotalsText(bytes, count).c_str());
}

void SelectAllToggle(HWND browser, HWND list) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !list) return;
  const bool none = SendMessageA(list, LB_GETSELCOUNT, 0, 0) <= 0;
  const bool select = none || r->selectAllState == kSelectAllDeselect;
  r->selectAllState = select ? kSelectAllSelect : kSelectAllDeselect;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  if (select) {
    const bool dirList = list == r->hwndDirList;
    if (!dirList) {
      SendMessageA(list, LB_SETSEL, TRUE, -1);
    } else {
      std::vector<std::string> lines = ListLines(list);
      for (size_t i = 0; i < lines.size(); ++i)
        if (!IsPlaceLine(lines[i])) SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    }
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  if (list == r->hwndDirList) ShowDirectorySelectionTotals(list);
}

int SelectByPatterns(HWND list, const char* patterns, bool select) {
  if (!list || !patterns) return 0;
  std::string text(patterns);
  if (text.size() > 64) text.resize(64);
  std::vector<std::string> masks = SplitMaskPatterns(text);
  std::vector<std::string> lines = ListLines(list);
  int changed = 0;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (const auto& mask : masks) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!MatchFileMask(ItemNameField(lines[i], g_shortNameDisplay != 0), mask)) continue;
      SendMessageA(list, LB_SETSEL, select ? TRUE : FALSE, static_cast<LPARAM>(i));
      ++changed;
    }
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  return changed;
}

bool GoToParentDirectory(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return false;
  std::string before = r->curDir;
  SetCurrentDirAndDrive(r->curDir);
  SetCurrentDirAndDrive("..");
  std::string now = CurrentDir();
  if (now.empty()) return false;
  if (g_browserHost.enableParentButton) g_browserHost.enableParentButton(!IsDriveRoot(now));
  if (now.size() > 3 && now.back() == '\\') now.pop_back();
  lstrcpynA(r->curDir, now.c_str(), sizeof r->curDir);
  RememberDriveDir(browser, r->curDir);
  FillDirectoryList(SlotOf(browser));
  return lstrcmpiA(before.c_str(), r->curDir) != 0;
}

void SetNameDisplay(int shortNames) {
  g_shortNameDisplay = shortNames ? 1 : 0;
  if (!g_windowTable) return;
  for (int i = 0; i < kMaxWindows; ++i) {
    WindowRecord* r = &g_windowTable[i];
    if (!r->hwndChild || !IsWindow(r->hwndChild)) continue;
    SetDirHeaderText(r);
    InvalidateRect(r->hwndDirList, nullptr, TRUE);
    InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
  }
}

std::string DriveDirectory(HWND browser, char letter) {
  char buf[kPerDriveDirBytes] = "";
  if (browser && RecallDriveDir(browser, letter, buf, sizeof buf)) return buf;
  char name[4] = {'=', static_cast<char>(letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter), ':', 0};
  char env[MAX_PATH] = "";
  DWORD n = GetEnvironmentVariableA(name, env, sizeof env);
  if (n > 0 && n < sizeof env) return env;
  return std::string(1, name[1]) + ":\\";
}

bool ChangeDriveFromBox(const char* item) {
  if (!g_activeBrowser && !OpenBrowserWindow("", kArchiveTypeArj, "*.*", "*.*")) return false;
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r || !item || !IsDriveLine(item)) return false;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  SetCurrentDirAndDrive(DriveDirectory(g_activeBrowser, item[2]).c_str());
  std::string now = CurrentDir();
  // A drive without a disk: back to the window's own drive.
  bool ok = !now.empty() && (now[0] | 0x20) == (item[2] | 0x20);
  if (!ok) {
    SetCurrentDirAndDrive(DriveDirectory(g_activeBrowser, r->curDir[0]).c_str());
    SetErrorMode(oldMode);
    if (g_browserHost.selectDrive) g_browserHost.selectDrive(static_cast<char>(r->curDir[0] | 0x20));
    return false;
  }
  SetErrorMode(oldMode);
  if (g_browserHost.selectDrive) g_browserHost.selectDrive(static_cast<char>(item[2] | 0x20));
  if (now.size() > 3 && now.back() == '\\') now.pop_back();
  lstrcpynA(r->curDir, now.c_str(), sizeof r->curDir);
  RememberDriveDir(g_activeBrowser, r->curDir);
  FillDirectoryList(SlotOf(g_activeBrowser));
  InvalidateRect(g_activeBrowser, nullptr, TRUE);
  long bytes = 0;
  std::vector<std::string> lines = ListLines(r->hwndDirList);
  for (const auto& l : lines)
    if (IsFileLine(l)) bytes += static_cast<long>(LineSizeField(l));
  if (g_browserHost.setPaneText)
    g_browserHost.setPaneText(IDC_PANE_DIR_TOTALS, DirTotalsText(bytes, static_cast<int>(lines.size())).c_str());
  SetFocus(r->hwndDirList);
  return true;
}

}  // namespace ql
