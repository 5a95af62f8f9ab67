// The frame's comment and whole-archive commands (comments, convert, self-extracting, repair,
// join, rename) and the opening of comment and program lines of an archive list.
#pragma once
#include <windows.h>

#include <string>

namespace ql {

// Handles commands 914 to 920, 979, 980, 983 to 990, 1016 and 4024 to 4027; false for others.
bool DispatchTransformCommand(HWND frame, UINT id);

// An opened line of an archive list that is not viewed: a ">" comment line shows its comment, a
// program (*.EXE, *.COM, *.BAT, *.PIF) is run from the archive. False for other lines.
bool OpenArchiveListLine(HWND browser, const std::string& line);

}  // namespace ql
