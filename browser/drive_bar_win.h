// The drive bar (class QLButtonbar) and its drive buttons (class qlbutton).
//
// Messages of the bar: command 100 + n selects drive n (A = 0) for the active browser window
// (lParam nonzero: its directory list is listed again); command 402 puts the keyboard focus on the
// current drive's button; command 403 (the key in the high word, a drive letter in lParam) moves
// the focus from that drive's button to its neighbour; kSelectDriveMessage with a drive letter
// selects that drive's button.
//
// Messages of a button: kSelectDriveMessage (wParam nonzero: selected); kDropRecordMessage with a
// drop record goes on to the source window's drop dispatcher with the button as the target.
//
// Words of a button: 4 drive kind, 8 drive letter (upper case), 12 button-down flag, 16 selected
// flag. Word 0 of the bar: the selected button.
#pragma once
#include <windows.h>

namespace ql {

constexpr UINT kSelectDriveMessage = WM_USER + 128;

LRESULT CALLBACK DriveBarProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK DriveButtonProc(HWND h, UINT m, WPARAM w, LPARAM l);

// The font of the buttons' letters (the frame's small bar font; not owned).
void SetDriveLetterFont(HFONT font);

// The bar's buttons, by position in the drive list and by letter (either case); null when none.
HWND DriveButtonAt(int position);
int DriveButtonCount();
HWND DriveButtonOf(char letter);

}  // namespace ql
