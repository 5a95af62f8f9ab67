#include "engine/operations_win.h"

#include "common/mask.h"
#include "common/shared_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

bool ArchiveKindOfFile(HWND owner, const std::string& path, ArchiveKind* kind, bool message) {
  const bool exeHoldsZip = MatchFileMask(path, "*.EXE") && FileHoldsZip(path);
  if (ArchiveKindFromName(path, exeHoldsZip, kind)) return true;
  if (message) ShowStringMessage(owner, IDS_ZIP_INVALID);
  return false;
}

bool OfferToCreateDirectory(HWND owner, const std::string& dir) {
  if (DirectoryExists(dir)) return true;
  if (ShowStringMessageArg(owner, IDS_CREATE_DIRECTORY_ASK, dir.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  CreateDirectoryPath(dir.c_str());
  return DirectoryExists(dir);
}

}  // namespace ql
