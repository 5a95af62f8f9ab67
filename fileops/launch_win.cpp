#include "fileops/launch_win.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "browser/browser_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "common/dialog_kit_win.h"
#include "engine/transforms_win.h"
#include "fileops/file_ops_win.h"
#include "fileops/launch_rules.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool FileExistsAt(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The path found along the program search path, in its short form when it has one.
std::string SearchedPath(const std::string& path) {
  char found[MAX_PATH] = "";
  char* filePart = nullptr;
  DWORD n = SearchPathA(nullptr, path.c_str(), nullptr, sizeof found, found, &filePart);
  if (n == 0 || n >= sizeof found) return path;
  std::string shortForm = ShortPathForm(found);
  return shortForm.empty() ? std::string(found) : shortForm;
}

// A program path that still holds a blank goes to the command line in double quotes.
std::string CommandProgram(const std::string& path) {
  return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

// COM, BAT and PIF programs: created directly, in their own directory.
bool CreateProgramProcess(const std::string& path, const std::string& arguments) {
  size_t slash = path.find_last_of('\\');
  std::string dir = slash == std::string::npos ? CurrentDirectory() : path.substr(0, slash == 2 ? 3 : slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(path.c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
    if (fd.cAlternateFileName[0]) name = fd.cAlternateFileName;
  }
  // The name goes with its directory: the process's own current directory may be another one.
  std::string full = slash == std::string::npos ? name : (dir.back() == '\\' ? dir : dir + "\\") + name;
  std::string commandLine = CommandProgram(full);
  if (!arguments.empty()) commandLine += " " + arguments;
  ProcessStart how;
  how.directory = dir.c_str();
  HANDLE process = StartProcess(commandLine, how);
  if (!process) return false;
  CloseHandle(process);
  return true;
}

INT_PTR CALLBACK RunProc(HWND d, UINT m, WPARAM w, LPARAM l);

struct RunData {
  std::string initial;
  const std::vector<std::string>* recent;
  std::string command;
  bool minimized = false;
};

INT_PTR CALLBACK RunProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kRun)) return TRUE;
  RunData* data = reinterpret_cast<RunData*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, l);
      data = reinterpret_cast<RunData*>(l);
      SendDlgItemMessageA(d, IDC_RUN_LINE, EM_LIMITTEXT, MAX_PATH, 0);
      SetDlgItemTextA(d, IDC_RUN_LINE, data->initial.c_str());
      for (const std::string& entry : *data->recent)
        if (!entry.empty())
          SendDlgItemMessageA(d, IDC_RUN_RECENT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
      PlaceDialog(d);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_RUN_RECENT:
          if (HIWORD(w) == CBN_SELCHANGE) {
            HWND box = GetDlgItem(d, IDC_RUN_RECENT);
            LRESULT i = SendMessageA(box, CB_GETCURSEL, 0, 0);
            LRESULT length = i == CB_ERR ? CB_ERR : SendMessageA(box, CB_GETLBTEXTLEN, i, 0);
            if (length != CB_ERR) {
              std::vector<char> text(static_cast<size_t>(length) + 1);
              SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
              SetDlgItemTextA(d, IDC_RUN_LINE, text.data());
            }
          }
          return TRUE;
        case IDC_RUN_BROWSE: {
          std::string chosen;
          if (ChooseProgram(d, &chosen)) SetDlgItemTextA(d, IDC_RUN_LINE, chosen.c_str());
          return TRUE;
        }
        case IDOK: {
          data->command = DlgText(d, IDC_RUN_LINE);
          data->minimized = Checked(d, IDC_RUN_MINIMIZED);
          EndDialog(d, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool Launch(HWND owner, const std::string& commandLine, int show) {
  ProgramAndArguments split = SplitCommandLine(commandLine, FileExistsAt);
  if (split.program.empty()) return false;
  std::string path = SearchedPath(WithProgramExtension(split.program));
  switch (LaunchKindOf(path)) {
    case LaunchKind::ArjArchive:
      return OpenBrowserWindow(path.c_str(), kArchiveTypeArj, "*.*", "*.*") != nullptr;
    case LaunchKind::ZipArchive:
      return OpenBrowserWindow(path.c_str(), kArchiveTypeZip, "*.*", "*.*") != nullptr;
    case LaunchKind::Document:
      return OpenDocument(owner, path, show);
    case LaunchKind::Program:
      break;
  }
  if (!IsExeProgram(path)) {
    if (CreateProgramProcess(path, split.arguments)) return true;
    ShowStringMessage(owner, IDS_CANNOT_RUN);
    return false;
  }
  if (FileHoldsZip(path)) return OpenBrowserWindow(path.c_str(), kArchiveTypeZip, "*.*", "*.*") != nullptr;
  std::string line = CommandProgram(path);
  if (!split.arguments.empty()) line += " " + split.arguments;
  if (WinExec(line.c_str(), SW_SHOWNORMAL) < 32) {
    ShowStringMessage(owner, IDS_CANNOT_RUN);
    return false;
  }
  return true;
}

bool ChooseProgram(HWND owner, std::string* path) {
  char file[121] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "Programs *.Exe *.Com *.Bat *.Pif\0*.exe;*.com;*.bat;*.pif\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = "Browse";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES | OFN_EXPLORER;
  if (!GetOpenFileNameA(&ofn)) {
    g_cancelled = true;
    return false;
  }
  g_cancelled = false;
  *path = file;
  return true;
}

bool RunCommandDialog(HWND owner, const std::string& initial, const std::vector<std::string>& recent,
                      std::string* command, bool* minimized) {
  RunData data;
  data.initial = initial;
  data.recent = &recent;
  if (RunDialog(owner, "RUN", RunProc, reinterpret_cast<LPARAM>(&data)) != IDOK) return false;
  *command = data.command;
  *minimized = data.minimized;
  return true;
}

}  // namespace ql
