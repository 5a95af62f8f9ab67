// The frame's archive commands: the switches dialogs, a new archive, add and move into the active
// window's archive, freshen, update, extract, test, view and delete, over the engine operations.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// What the archive operations take from the settings and the frame, for messages owned by `owner`.
RunnerSetup SetupFor(HWND owner);
// The runner's shortest wait in every setup SetupFor makes (`RunnerSetup::minimumWaitMs`); tests
// that run many commands through the frame set 0.
extern DWORD g_runnerMinimumWaitMs;
// The password dialog owned by `owner`.
AskPassword PasswordAsker(HWND owner);
// The type of a browser window's archive.
ArchiveKind KindOf(HWND browser);
// Whether an operation ran its archiver (not refused, answered No or cancelled).
bool Ran(RunResult r);
// The window's encrypted flag.
bool Encrypted(HWND browser);
// The selected lines of a list box, in list order.
std::vector<std::string> SelectedLines(HWND list);
// The name field (long or short by ShortNameDisplay) of each line; marker lines are skipped.
std::vector<std::string> NamesOf(const std::vector<std::string>& lines);
// Lists the window's directory again, and its archive too when `archive`; then repaints it.
void ReadAgain(HWND browser, bool archive);
// Express mode's "Select An Archive File", remembering the chosen directory; "" when cancelled.
std::string ChooseExpressArchive(HWND frame);

// The switch set from section "switches" and the PKZIP 1.x probe; at start.
void LoadArchiveSwitches();

// Handles the archive commands; false for any other command.
bool DispatchArchiveCommand(HWND frame, UINT id);

// The new archive dialog for `browser` (its record takes the path, title and type), or for a new
// window when `browser` is null. False when cancelled.
bool NewArchiveFor(HWND frame, HWND browser);

// Deletes the selected members of `browser`'s archive list (confirmation, refusal of deleting
// every member, password, run, re-read).
void DeleteArchiveSelection(HWND frame, HWND browser);


// Adds the files listed in ql5files (dropped from another program, their directory current) to
// `browser`'s archive, asking for a new archive first when the window has none.
void AddDroppedFilesTo(HWND frame, HWND browser);

// Views the member of `line` of `browser`'s archive: extracted into the work directory and opened.
void ViewMemberLine(HWND browser, const std::string& line);

}  // namespace ql
