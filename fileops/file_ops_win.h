// File operations on the directory list of a browser window: the copy engine, copying and moving
// files, renaming, making and changing directories, the target-directory chooser, the trash-can
// delete, and the confirmation dialogs they share with drag and drop.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/confirm_flags.h"
#include "fileops/file_rules.h"

namespace ql {

// What the file operations take from the program around them; the frame fills it in at start.
struct FileOpsHost {
  // The settings' work directory and "Working Directory" (Change Directory starts with it).
  const char* workDirectory = "";
  std::string (*workingDirectory)() = nullptr;
  // The settings' ConfirmFlags (common/confirm_flags.h).
  const unsigned short* confirmFlags = nullptr;
  // Manager mode (the chooser makes the active window's directory current again there).
  const bool* managerMode = nullptr;
};
extern FileOpsHost g_fileOpsHost;

// Copies (move == false) or moves the files named by full path into destDir, with the overwrite
// confirmations and the Copying progress window. False when the user cancelled or an error stopped
// it (its message already shown).
bool CopyFilesToDirectory(HWND owner, const std::vector<std::string>& paths, const std::string& destDir, bool move);
// The ConfirmDrag dialog ("Confirm Mouse Action"): up to six names then "...", and the destination.
// True for Yes.
bool ConfirmDragDrop(HWND owner, const std::vector<std::string>& names, const std::string& destination);
// The same, worded for a move ("Move To:") or a copy ("Copy To:").
bool ConfirmDragDrop(HWND owner, const std::vector<std::string>& names, const std::string& destination, bool move);
// The trash-can delete of the selection of the directory list of browser window `browser`.
// False when it stopped on a refusal, an error or Cancel.
bool DeleteDirectoryListSelection(HWND owner, HWND browser);

// Delete directory (965): the directory list's selected directories, each empty or with its whole
// tree, through the delete above and its confirmations. A selection that holds anything but
// directories is refused with 3037. True when all were deleted.
bool DeleteSelectedDirectories(HWND owner, HWND browser);

// The frame's commands on the active browser window: Copy (901), Move (968), Rename (963),
// Make Directory (964) and Change Directory (967).
void CopyFilesCommand(HWND frame);
void MoveFilesCommand(HWND frame);
void RenameCommand(HWND frame);
void MakeDirectoryCommand(HWND frame);
void ChangeDirectoryCommand(HWND frame);

// The target-directory chooser ("Select A Target Directory"). True with the chosen directory;
// false (and the cancelled flag set) when cancelled.
bool ChooseTargetDirectory(HWND owner, std::string* directory);

// The copy engine: one file from `source` to `target`, asking before it replaces an existing file.
// `answer` is the loop's confirmation answer (Yes to All stops the questions, Cancel ends the loop).
// True when copied, or skipped at the user's word (answer No); false to stop. `copied` tells which.
bool CopyOneFile(HWND owner, const std::string& source, const std::string& target, ConfirmAnswer* answer,
                 bool* copied);

// The confirmation dialogs: "ConfirmOverwrite", "ConfirmDelete", "DeleteDir" and "ConfirmDrag",
// each with its two texts. Cancel (and any other end) sets the cancelled flag.
ConfirmAnswer AskConfirmation(HWND owner, const char* templateName, const std::string& first,
                              const std::string& second);

}  // namespace ql
