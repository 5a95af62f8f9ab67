#include "common/dialog_kit_win.h"

#include <vector>

#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

void PlaceDialog(HWND dlg) {
  RECT rc;
  GetWindowRect(dlg, &rc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 3;
  SetWindowPos(dlg, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ReportDialogNotMade(HWND owner, const char* name) {
  std::string text = LoadText(IDS_CANNOT_CREATE_DIALOG, 99) + (name ? name : "");
  AppMessageBox(owner, text.c_str(), "Quillon", MB_OK | MB_ICONSTOP);
}

INT_PTR RunDialog(HWND owner, const char* name, DLGPROC proc, LPARAM param) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), name, owner, proc, param);
  if (r == -1) {
    ReportDialogNotMade(owner, name);
    r = IDCANCEL;
  }
  g_cancelled = r == IDCANCEL;
  return r;
}

std::string DlgText(HWND dlg, int id, size_t limit) {
  std::vector<char> buf(limit + 1, 0);
  GetDlgItemTextA(dlg, id, buf.data(), static_cast<int>(buf.size()));
  return buf.data();
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void Check(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::string LoadText(UINT id, size_t limit) {
  std::vector<char> buf(limit + 1, 0);
  LoadStringA(GetModuleHandleA(nullptr), id, buf.data(), static_cast<int>(buf.size()));
  return buf.data();
}

HANDLE StartProcess(const std::string& commandLine, const ProcessStart& how) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (how.show >= 0) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(how.show);
  }
  PROCESS_INFORMATION pi{};
  char* cmd = commandLine.empty() && how.application ? nullptr : line.data();
  if (!CreateProcessA(how.application, cmd, nullptr, nullptr, FALSE, how.flags, nullptr, how.directory, &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

}  // namespace ql
