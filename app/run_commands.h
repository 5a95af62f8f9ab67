// The frame's Run, Associate, Properties and File Statistics commands, and the association table
// behind the pictures of associated files.
#pragma once
#include <windows.h>

namespace ql {

// Builds the association table and gives the browser windows its lookup.
void ConnectRunCommands();
// The settings changed for the "Extensions" section: the table is built again.
void RebuildAssociations();
// Handles Run (905), Associate (975), Properties (1022) and File Statistics (1031); false for any
// other command.
bool DispatchRunCommand(HWND frame, UINT id);

}  // namespace ql
