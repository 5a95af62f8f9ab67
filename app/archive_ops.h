// The frame's archive commands: the switches dialogs, a new archive, add and move into the active
// window's archive, freshen, update, extract, test, view and delete, over the engine operations.
#pragma once
#include <windows.h>

#include <string>

namespace ql {

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

// Add and Move: the selected lines of the active window's directory list go into its archive
// (a new one is asked for when it has none).
void AddSelectionToArchive(HWND frame, bool move);

// Adds the files listed in ql5files (dropped from another program, their directory current) to
// `browser`'s archive, asking for a new archive first when the window has none.
void AddDroppedFilesTo(HWND frame, HWND browser);

// Views the member of `line` of `browser`'s archive: extracted into the work directory and opened.
void ViewMemberLine(HWND browser, const std::string& line);

}  // namespace ql
