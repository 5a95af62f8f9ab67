// The Applications and Macros menus: running a slot in the active window's directory, and the
// "APPLICATIONS" and "MACROS" setup dialogs that edit the slots in the settings file.
#pragma once
#include <windows.h>

namespace ql {

// What the menus take from the program around them; the frame fills it in at start.
struct UserMenusHost {
  const char* iniPath = "";
  // The Applications (macros false) or Macros popup of the menu bar in use, or null.
  HMENU (*popup)(bool macros) = nullptr;
  // The window whose menu bar is redrawn after Done.
  HWND (*menuWindow)() = nullptr;
};
extern UserMenusHost g_userMenusHost;

// Runs slot command - 5999 (applications, commands 6000 to 6015) or command - 6099 (macros, 6100
// to 6135) in the active browser window's directory (the current directory without one). False for
// any other command.
bool RunApplication(unsigned command);
bool RunMacro(unsigned command);

// The setup dialogs; Done rebuilds the menu from the dialog's list.
void ApplicationsDialog(HWND owner);
void MacrosDialog(HWND owner);

}  // namespace ql
