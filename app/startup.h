// Start-up, the single instance and the message loop: the process entry's work from the look for a
// running instance to the release of everything after the loop.
#pragma once
#include <windows.h>

#include <string>

#include "app/settings_rules.h"
#include "integration/mail_win.h"

namespace ql {

// A second instance has left its command line in the QUILLON mapping.
constexpr UINT kHandOverMessage = WM_USER + 130;
constexpr const char* kFrameClass = "Quillon5";
constexpr const char* kFrameTitle = "Quillon 5.3 For Windows 95/NT 3.51";
constexpr const char* kHandOverMapping = "QUILLON";
constexpr const char* kHandOverFile = "temp.ql5";

// The command line as one path; read by the frame's creation handler and the hand-over.
extern char g_commandLineBuffer[kCommandLineBufferSize];

// Resources loaded once at start and kept for the whole run.
struct SharedResources {
  HACCEL managerAccel;
  HACCEL expressAccel;
  HMENU expressMenu;
  HICON zipIcon, arjIcon, noArchiveIcon, frameIcon;
  HBITMAP hardDrive, floppy, ramDrive, cdRom, netDrive, netDisabled;
  HCURSOR arrow, hourglass, copy, move, multiCopy, multiMove, noDrop;
};
extern SharedResources g_res;
extern HACCEL g_currentAccel;
extern HWND g_frame;
extern HWND g_mdiClient;

// The mail library (g_mailLibraryName, g_mailLibrary) lives with the mail commands.

// The whole run; the process's exit code.
int RunQuillon(HINSTANCE instance, const char* commandLine, int show);

// The pieces of RunQuillon: a running instance takes the command line (true when handed over or
// refused, so this process ends); everything up to the message loop (the frame, or null when the
// start ends early); the loop (the quit code); the release after it.
bool HandOverToRunningInstance(const char* commandLine);
HWND InitInstance(HINSTANCE instance, const char* commandLine, int show);
int RunMessageLoop();
void ExitInstance(HINSTANCE instance);

// A command line that cannot be held is refused with this message, never cut.
void RefuseLongCommandLine(HWND owner, const std::string& path);

// Offers a message to the current accelerator table and then, in Manager mode, to the MDI system
// accelerators.
bool TranslateAppAccelerators(MSG* msg);

// In Express mode the browser windows are hidden: a key addressed to one of them (or to the MDI
// client) is handed to the frame instead, so that nothing the user cannot see acts on it.
void KeepKeysFromHiddenWindows(MSG* msg);

}  // namespace ql
