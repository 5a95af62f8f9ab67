// The frame's commands in their order (applications and macros, control notifications, the
// Manager and Express tables), menu help, tool tips, F1 and files dropped from other programs.
#pragma once
#include <windows.h>

namespace ql {

// HelpContext: the help context of the menu item selected last.
extern unsigned g_helpContext;
// The archive chosen last in "Select An Archive File" (up to 120 characters).
extern char g_chosenFile[121];

// The command dispatch; commands it does not know go to the default frame handling.
LRESULT DispatchFrameCommand(HWND frame, WPARAM w, LPARAM l);
// Menu select: the hint text and the help context.
void OnFrameMenuSelect(UINT item, UINT flags);
// Tool-tip texts.
LRESULT OnFrameNotify(HWND frame, LPARAM l);
// F1 and the F1 of menus and dialogs.
void OnFrameKeyDown(HWND frame, WPARAM key);
// WM_HELP that reached the frame (F1 on a bar's control): help on the bars, else the last menu
// item's topic.
void OnFrameHelp(HWND frame, const HELPINFO* info);
void OnFrameEnterIdle(HWND frame, WPARAM source, LPARAM window);
// Mouse move over the frame: the hint goes back to "Ready".
void OnFrameMouseMove();
// Files dropped from another program.
void OnFrameDropFiles(HWND frame, HDROP drop);
// The open-file dialog "Select An Archive File", starting in `startDir` (the current directory when
// null or empty); true when a file was chosen (into g_chosenFile).
bool ChooseArchiveFile(HWND frame, const char* startDir = nullptr);
// Opens `path` in a new browser window of the kind its name says; false when it names no archive.
bool OpenArchiveByName(const char* path);

}  // namespace ql
