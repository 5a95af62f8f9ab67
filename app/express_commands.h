// Express mode's menu commands New, Add, Move, Extract, Delete and Run, over the express module.
#pragma once
#include <windows.h>

namespace ql {

// Handles 4000, 4002, 4005, 4006, 4007 and 4042; false for any other command.
bool DispatchExpressCommand(HWND frame, UINT id);

}  // namespace ql
