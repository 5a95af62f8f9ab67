// The frame's side of the Applications and Macros menus: the setup commands and the slot commands.
#pragma once
#include <windows.h>

namespace ql {

// Gives the menus the settings file, the help file and the menu bar.
void ConnectUserMenus();
// Handles Applications (953), Macros (1003) and the slot commands 6000-6015 and 6100-6135; false
// for any other command.
bool DispatchUserMenuCommand(HWND frame, UINT id);

}  // namespace ql
