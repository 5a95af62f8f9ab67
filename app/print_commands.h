// The print commands of both modes: the archive whose listing is printed (the active window's, or
// the one chosen in Express mode) and the printer setup.
#pragma once
#include <windows.h>

namespace ql {

// Print Archive Listing: 974 (Manager menu and tool bar), 4003 (Express menu), 167 (either mode);
// Setup Printer: 952 and 4041. False for any other command.
bool DispatchPrintCommand(HWND frame, UINT id);

}  // namespace ql
