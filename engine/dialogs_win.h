// The dialogs of the archive operations: the switch sets (Zip, Arj, path storage, DOS PKZIP
// options, default program), the password, a new archive, the extraction target and the delete
// confirmation. Each opener sets the cancelled flag; a dialog that cannot be made says so and
// counts as cancelled (common/dialog_kit_win.h).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

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

// The delete confirmation with its question and names line.
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

// Frees the GDI objects the dialogs make once and keep (the brush of the path storage note); for
// the end of the program. A dialog opened afterwards makes them again.
void ReleaseDialogObjects();

// The full name of an existing directory, tried as the current directory with the critical-error
// box suppressed; "" when it cannot be entered.
std::string FullDirName(const std::string& dir);

}  // namespace ql
