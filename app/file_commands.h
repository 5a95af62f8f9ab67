// The frame's file commands (copy, move, rename, make and change directory, and the delete of a
// directory list's selection) over the file operations, and their connection to the settings.
#pragma once
#include <windows.h>

namespace ql {

// Gives the file operations the settings they read (work directory, confirmations, mode), and the
// archive dialogs the file operations' directory chooser.
void ConnectFileOps();

// Handles the file commands; false for any other command.
bool DispatchFileCommand(HWND frame, UINT id);

}  // namespace ql
