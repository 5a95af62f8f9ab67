// The frame window (class Quillon5): creation (the start-up load), layout, modes, commands,
// the hand-over from a second instance, close and destruction.
#pragma once
#include <windows.h>

namespace ql {

LRESULT CALLBACK FrameWindowProc(HWND h, UINT m, WPARAM w, LPARAM l);

// The Manager menu (the class menu) while the frame lives.
extern HMENU g_managerMenu;
// True once the creation handler ran to its end (a missing runner stops it early).
extern bool g_startupComplete;
// The outgoing mail's subject (514 bytes) and note text (4098 bytes).
extern char* g_mailSubject;
extern char* g_mailNote;

// Greys the mail commands of both menus: all seven when the mail library is missing, all but Log On
// while no mail session is open.
void GreyMailItems(bool includingLogOn);

// Switches `window`'s frame to Express or Manager mode: menu, accelerators, bars, panes, Mode key, title.
void SwitchMode(HWND window, bool toExpress);

// While a browser window is maximised its system menu stands first in the Manager menu bar and
// every popup one position further right: 1 then, else 0.
int ManagerMenuShift(HMENU menu);

// Places the MDI client, the bars and the status panes in a frame client of `width` x `height`.
void LayoutFrame(HWND frame, int width, int height);

}  // namespace ql
