// The dialogs of the archive operations: the switch sets (Zip, Arj, path storage, DOS PKZIP
// options, default program), the password, a new archive, the extraction target and the delete
// confirmation. Each opener sets the cancelled flag; a dialog that cannot be made says so and
// counts as cancelled (common/dialog_kit_win.h).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/help_contexts.h"
#include "engine/commands.h"
#include "engine/delete_win.h"
#include "engine/switches_win.h"  // the switches dialogs edit g_switches

namespace ql {

// Where the dialogs write their keys, and the directory chooser of their Browse and Select Other
// buttons (the program hands in the file operations' target chooser; without one those buttons
// do nothing).
struct DialogHost {
  std::string iniPath;
  bool (*chooseDirectory)(HWND owner, std::string* dir) = nullptr;
};
extern DialogHost g_dialogHost;

// The switches dialogs; they return IDOK or IDCANCEL.
INT_PTR OpenZipSwitches(HWND owner);
INT_PTR OpenArjSwitches(HWND owner);
INT_PTR OpenZipOptions(HWND owner);
// On OK the caller enables or greys the Zip Options commands by `use_pkzip`.
INT_PTR OpenDefaultZip(HWND owner);

// The password prompt into `s.archivePassword`; false when cancelled.
bool AskPasswordDialog(HWND owner, SwitchSet& s);

// The extraction target: the default target, the current directory or another one chosen.
// False when cancelled.
bool ConfirmTargetDialog(HWND owner, const std::string& defaultTarget, std::string* target);

// The confirmation dialogs: the texts of the delete questions (question and names), of
// ConfirmOverwrite (also the two dates) and of ConfirmDrag (also the action, "Copy To:" or
// "Move To:"), and the help context of the dialog.
struct ConfirmTexts {
  std::string question, names;
  std::string targetDate, sourceDate;
  std::string action;
  DWORD help = help::kDeleteFiles;
};

// Runs the confirmation template `name` (ConfirmDelete, DeleteDir, ConfirmOverwrite, ConfirmDrag)
// with the arrow cursor. Returns IDC_DELETE_YES (also for OK), IDC_DELETE_YES_ALL, IDC_DELETE_NO or
// IDCANCEL; a template that cannot be made counts as Cancel.
INT_PTR RunConfirmDialog(HWND owner, const char* name, const ConfirmTexts& texts);

// The delete confirmation of archive members with its question and names line.
DeleteAnswer ConfirmDeleteDialog(HWND owner, const std::string& question, const std::string& names);

// The new archive dialog. `directory` starts as the source directory; `history` is the "New Files"
// list, newest first, and only fills the directory box. On OK `directory` is the chosen directory
// as the archive's path uses it (no trailing "\", except a drive root "X:\"), which the caller
// keeps in the "New Files" list; `path` is the new archive's path (not created) and `kind` its
// type; `openExisting` is set when the named file existed and the user chose to open it.
struct NewArchiveChoice {
  std::string directory;
  std::vector<std::string> history;
  std::string path;
  ArchiveKind kind = ArchiveKind::Zip;
  bool openExisting = false;
};
bool NewArchiveDialog(HWND owner, NewArchiveChoice* choice);

// The one New Archive procedure, for Manager's dialog above and Express's: the template and its
// help, an optional caption, what fills the directory box (its edit text and list), the directory
// chooser of Browse, and OK. Both fields take kNewArchiveFieldLimit characters; OK hands `accept`
// the directory and name as typed and the kind chosen, and the dialog ends with OK when it returns
// true (it shows its own messages, and may end the dialog itself with Cancel).
constexpr int kNewArchiveFieldLimit = 260;
struct NewArchiveForm {
  const char* templateName = "NEW_ARCHIVE";
  const char* title = nullptr;
  DWORD help = 0;
  std::function<void(HWND combo)> fillDirectories;
  std::function<bool(HWND owner, std::string* dir)> chooseDirectory;
  std::function<bool(HWND dlg, const std::string& dir, const std::string& name, ArchiveKind kind)> accept;
};
// True when the dialog ended with OK (the cancelled flag set otherwise).
bool RunNewArchiveForm(HWND owner, const NewArchiveForm& form);

// Frees the GDI objects the dialogs make once and keep (the brush of the path storage note); for
// the end of the program. A dialog opened afterwards makes them again.
void ReleaseDialogObjects();

// The full name of an existing directory, tried as the current directory with the critical-error
// box suppressed; "" when it cannot be entered.
std::string FullDirName(const std::string& dir);

}  // namespace ql
