// The open browser windows kept in the settings file from one run to the next.
#include <windows.h>

#include <string>

#include "browser/browser_win.h"
#include "browser/window_rules.h"
#include "common/shared_win.h"
#include "readers/readers_win.h"

namespace ql {

namespace {

std::string Read(const char* ini, const std::string& section, const char* key, size_t size) {
  std::string buf(size, '\0');
  DWORD n = GetPrivateProfileStringA(section.c_str(), key, "", &buf[0], static_cast<DWORD>(size), ini);
  buf.resize(n);
  return buf;
}

void Write(const char* ini, const std::string& section, const char* key, const char* value) {
  WritePrivateProfileStringA(section.c_str(), key, value, ini);
}

// Windows on drives whose disks come and go are not kept.
bool OnChangingMedia(const char* path) {
  if (!path || !path[0] || path[1] != ':') return false;
  char root[4] = {path[0], ':', '\\', 0};
  UINT type = GetDriveTypeA(root);
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM || type == DRIVE_RAMDISK;
}

bool FileExistsAt(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void SaveBrowserWindows(const char* ini) {
  if (!ini || !*ini || !g_windowTable) return;
  for (int n = 1; n <= kMaxWindows; ++n)
    WritePrivateProfileStringA(SavedWindowSection(n).c_str(), nullptr, nullptr, ini);
  int n = 0;
  for (int slot = 0; slot < kMaxWindows; ++slot) {
    const WindowRecord& r = g_windowTable[slot];
    HWND h = r.hwndChild;
    if (!r.inUse || !h || !IsWindow(h)) continue;
    if (OnChangingMedia(r.curDir) || OnChangingMedia(r.archivePath)) continue;
    const std::string section = SavedWindowSection(++n);
    const bool active = h == g_activeBrowser;
    Write(ini, section, "Directory", r.curDir);
    Write(ini, section, "Archive", r.archivePath[0] ? r.archivePath : kEmptyArchiveValue);
    SavedShow show = IsIconic(h) ? SavedShow::Iconic : IsZoomed(h) ? SavedShow::Zoomed : SavedShow::Restored;
    Write(ini, section, "MinMax", SavedShowText(show));
    SavedCoords c{r.restoredX, r.restoredY, r.restoredWidth, r.restoredHeight, r.splitterPos};
    // A window never shown restored (made minimised or maximised) keeps its restored rectangle in
    // its placement only.
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if ((c.width <= 0 || c.height <= 0) && GetWindowPlacement(h, &wp)) {
      c.x = wp.rcNormalPosition.left;
      c.y = wp.rcNormalPosition.top;
      c.width = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
      c.height = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
    }
    Write(ini, section, "Coords", FormatSavedCoords(c).c_str());
    Write(ini, section, "DirMask", r.dirMask);
    Write(ini, section, "ArchiveMask", r.archiveMask);
    if (active) Write(ini, section, "ActiveWindow", "True");
  }
}

void RestoreBrowserWindows(const char* ini) {
  if (!ini || !*ini || !g_windowTable || !g_browserHost.mdiClient) return;
  HWND client = g_browserHost.mdiClient;
  const bool shown = IsWindowVisible(client) != FALSE;
  if (shown) ShowWindow(client, SW_HIDE);
  const std::string saved = CurrentDirectory();
  HWND toActivate = nullptr;
  bool anyZoomed = false;
  for (int n = 1; n <= kMaxWindows; ++n) {
    const std::string section = SavedWindowSection(n);
    std::string dir = Read(ini, section, "Directory", 262);
    if (dir.empty()) continue;
    // A directory that is gone: the window opens where the program started.
    if (SetCurrentDirAndDrive(dir.c_str())) SetCurrentDirAndDrive(saved.c_str());
    std::string archive = Read(ini, section, "Archive", 262);
    int type = kArchiveTypeZip;
    switch (ClassifySavedArchive(archive)) {
      case SavedArchiveKind::Unknown:
        continue;
      case SavedArchiveKind::Empty:
        archive.clear();
        break;
      case SavedArchiveKind::Arj:
        type = kArchiveTypeArj;
        break;
      case SavedArchiveKind::Zip:
        break;
      case SavedArchiveKind::ZipProgram:
        if (FileExistsAt(archive) && !FileHoldsZip(archive)) continue;
        break;
    }
    // An archive that is gone since: its window is not restored (an empty "[Untitled]" window
    // in its place would only be saved again at every exit).
    if (!archive.empty() && !FileExistsAt(archive)) continue;
    std::string dirMask = Read(ini, section, "DirMask", 66);
    std::string archiveMask = Read(ini, section, "ArchiveMask", 66);
    std::optional<SavedCoords> coords = ParseSavedCoords(Read(ini, section, "Coords", 80));
    SavedShow show = ParseSavedShow(Read(ini, section, "MinMax", 16));
    DWORD style = show == SavedShow::Iconic ? WS_MINIMIZE : show == SavedShow::Zoomed ? WS_MAXIMIZE : 0;
    int x = coords ? coords->x : CW_USEDEFAULT, y = coords ? coords->y : CW_USEDEFAULT;
    int w = coords ? coords->width : CW_USEDEFAULT, h = coords ? coords->height : CW_USEDEFAULT;
    HWND window = CreateBrowserWindow(archive.c_str(), type, dirMask.c_str(), archiveMask.c_str(), style, x, y, w,
                                      h, coords ? coords->splitter : 0);
    // An archive the reader refused (its message was shown): the window still comes back.
    if (!window && !archive.empty())
      window = CreateBrowserWindow("", kArchiveTypeZip, dirMask.c_str(), "*.*", style, x, y, w, h,
                                   coords ? coords->splitter : 0);
    if (!window) continue;
    if (show == SavedShow::Zoomed) anyZoomed = true;
    if (!Read(ini, section, "ActiveWindow", 16).empty()) toActivate = window;
  }
  SetCurrentDirAndDrive(saved.c_str());
  SendMessageA(client, WM_MDIICONARRANGE, 0, 0);
  if (toActivate) {
    if (anyZoomed)
      SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(toActivate), 0);
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(toActivate), 0);
  }
  // The active window's directory is the current one, whichever window was made last.
  MakeActiveBrowserDirectoryCurrent();
  if (shown) ShowWindow(client, SW_SHOW);
}

}  // namespace ql
