// The drop dispatcher: what a drop of a list's selection onto a list, a drive button, the trash can
// or the MDI client does, through the archive operations and the file operations; and the frame's
// commands that start a pick-up (Add, Move) or drop onto the trash can (Delete).
#pragma once
#include <windows.h>

#include "browser/browser_win.h"

namespace ql {

// Connects the dispatcher, the new archive for a drop on the MDI client and the extraction for
// drops on other programs to the browser windows.
void ConnectDropHost(BrowserHost& host);

// Runs the operation of `record` (sent to the source's browser window). 1 when it finished or
// did nothing, 0 after a refusal or a cancel.
int DispatchDrop(HWND browser, DropRecord* record);

// Add (908) and Move (909): the focused list of the active window starts a pick-up drag.
void StartPickUp(HWND frame, HWND list, bool move);

// Delete (973, and 961 with a directory list focused): the selection of `list` goes to the
// trash can, the dispatcher with no target.
void DeleteWithTrashCan(HWND frame, HWND list);

}  // namespace ql
