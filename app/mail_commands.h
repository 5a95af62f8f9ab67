// The frame's side of mail, the File Manager extension and Program Manager groups: the Mail menu,
// the tool bar's mail button, Options > Install/Remove File Manager Ext and File > New Item/Group.
#pragma once
#include <windows.h>

namespace ql {

// Runs command `id` when it is one of these; false otherwise.
bool DispatchMailAndShellCommand(HWND frame, UINT id);

// At close: logs off when logged on to mail.
void LogOffMailAtClose(HWND frame);

}  // namespace ql
