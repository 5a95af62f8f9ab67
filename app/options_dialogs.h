// The Options menu's dialogs (Quillon Defaults, Confirmations, the list font) and the display
// selection of the active window's focused list (By File Type...). Each writes its settings the
// moment it is confirmed and sets the cancelled flag.
#pragma once
#include <windows.h>

namespace ql {

// Handles 951 (Defaults), 1002 (Confirmations), 969 (Fonts) and 998 (By File Type); false for any
// other command.
bool DispatchOptionsCommand(HWND frame, UINT id);

INT_PTR OpenDefaultsDialog(HWND frame);
INT_PTR OpenConfirmationsDialog(HWND frame);
// The platform's font choice for the lists and status panes; IDOK or IDCANCEL.
INT_PTR ChooseListFont(HWND frame);
// The display-selection dialog for the focused list of `browser`.
INT_PTR OpenDisplayMaskDialog(HWND frame, HWND browser);

// Gives every browser window, its lists and headers, and the status panes the list font, and lays
// the frame and every window out again.
void ApplyListFont(HWND frame);

}  // namespace ql
