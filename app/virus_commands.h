// The virus scan commands of the frame: the drive (981), the active window's directory (982) and
// the archive the active window selects or shows (1030, also the tool bar's virus button).
#pragma once
#include <windows.h>

namespace ql {

// Handles the three scan commands; false for any other command.
bool DispatchVirusCommand(HWND frame, UINT id);

}  // namespace ql
