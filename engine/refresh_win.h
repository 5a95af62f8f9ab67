// Re-reading an archive window's list after an operation changed its archive.
#pragma once
#include <windows.h>

#include <string>

#include "engine/commands.h"

namespace ql {

// `RefreshArchiveWindow` for one browser window (the window table gives its parts): when the
// archive is gone, a window that listed entries asks the frame to clear it (command 1052);
// otherwise the list is read again without redrawing meanwhile, and an archive left without
// entries is cleared the same way.
void RefreshArchiveList(HWND frame, HWND window, HWND list, const std::string& archivePath,
                        const std::string& mask, ArchiveKind kind);

}  // namespace ql
