// What the Win32 halves of the archive operations share: the password question, the archive
// type of a named file, and the offer to create a directory that is missing.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/runner_win.h"

namespace ql {

// Asks for the password into the switch set; false when the user cancelled.
using AskPassword = std::function<bool(SwitchSet& s)>;

// The archive type of a file from its name (*.ZIP, *.ARJ, or *.EXE holding a ZIP). False for
// anything else; `message` then shows string 3039.
bool ArchiveKindOfFile(HWND owner, const std::string& path, ArchiveKind* kind, bool message);

// A directory that does not exist: string 421 asks whether to create it. True when it exists,
// or was created after a Yes.
bool OfferToCreateDirectory(HWND owner, const std::string& dir);

}  // namespace ql
