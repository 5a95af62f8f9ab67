// What every dialog of the program does alike: where it stands, how it runs, reading its fields,
// loading a string, and starting another program.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace ql {

// Centred horizontally, the top at a third of the free height of the screen.
void PlaceDialog(HWND dlg);

// Runs the dialog template `name` of the program's resources and sets the cancelled flag from the
// button that ended it. A template that cannot be made is reported (string 101 and the name, stop
// icon) and counts as Cancel: a question that was never shown is never answered Yes or OK.
INT_PTR RunDialog(HWND owner, const char* name, DLGPROC proc, LPARAM param);

// Says that the dialog `name` could not be made (string 101 and the name, stop icon).
void ReportDialogNotMade(HWND owner, const char* name);

// The text of control `id`, at most `limit` characters.
std::string DlgText(HWND dlg, int id, size_t limit = MAX_PATH);

// True when the check box or radio button `id` is checked; Check sets it.
bool Checked(HWND dlg, int id);
void Check(HWND dlg, int id, bool on);

// String `id` of the program's resources, at most `limit` characters; "" when there is none.
std::string LoadText(UINT id, size_t limit = 511);

// How StartProcess starts a program: in `directory` (nullptr: the current one), with the window
// shown as `show` (-1: as the program chooses), with CreateProcess `flags`, and with `application`
// as the program to run when it is not the first word of the command line.
struct ProcessStart {
  const char* directory = nullptr;
  int show = -1;
  DWORD flags = 0;
  const char* application = nullptr;
};

// Starts `commandLine` (which may be empty when `how.application` is given). Returns the process,
// which the caller closes, or nullptr when it could not be started.
HANDLE StartProcess(const std::string& commandLine, const ProcessStart& how = {});

}  // namespace ql
