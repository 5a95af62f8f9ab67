#include "engine/refresh_win.h"

#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

void RefreshArchiveList(HWND frame, HWND window, HWND list, const std::string& archivePath,
                        const std::string& mask, ArchiveKind kind) {
  if (!window || !IsWindow(window) || archivePath.empty()) return;
  if (GetFileAttributesA(archivePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetWindowLongA(window, kWordFileCount) > 0)
      PostMessageA(frame, WM_COMMAND, IDM_CLEAR_ARCHIVE, 0);
    return;
  }
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (kind == ArchiveKind::Zip)
    ReadZipDirectory(archivePath.c_str(), list, mask.c_str(), nullptr);
  else
    ReadArjDirectory(window, archivePath.c_str(), list, 1, mask.c_str(), nullptr);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  if (GetWindowLongA(window, kWordFileCount) == 0) {
    PostMessageA(frame, WM_COMMAND, IDM_CLEAR_ARCHIVE, 0);
  } else {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
}

}  // namespace ql
