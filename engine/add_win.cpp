#include "engine/add_win.h"

#include <cctype>
#include <cstdio>

#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// Bytes free for the caller on the drive of `path` (its root when it names a drive); 0 when
// unknown.
unsigned long long FreeBytes(const std::string& path) {
  std::string root = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "\\" : path;
  ULARGE_INTEGER avail;
  if (!GetDiskFreeSpaceExA(root.c_str(), &avail, nullptr, nullptr)) return 0;
  return avail.QuadPart;
}

}  // namespace

RunResult DropAddFiles(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                       const std::string& archive, bool encrypted, bool move,
                       const DropSource& src, const AskPassword& askPassword) {
  if (src.listBox && src.nameFields.empty()) return RunResult::Done;
  if (NeedsPassword(PasswordRule::AddToWindow, s, encrypted) && !askPassword(s))
    return RunResult::Refused;
  RunResult r = RunCommand(setup, DropAdd(s, EnginePathsOf(setup), kind, archive, encrypted, move, src));
  // A multiple-volume ARJ on a floppy ends on its last disk: ask for the first one back.
  if (r == RunResult::Done && kind == ArchiveKind::Arj && On(s, Sw::MultiVolume) &&
      !archive.empty() && (toupper(static_cast<unsigned char>(archive[0])) == 'A' ||
                           toupper(static_cast<unsigned char>(archive[0])) == 'B')) {
    HANDLE file = CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      char text[64];
      snprintf(text, sizeof text, "Insert Disk #0 Into Drive %c:", archive[0]);
      AppMessageBox(setup.owner, text, "Quillon", MB_OK | MB_ICONEXCLAMATION);
    } else {
      CloseHandle(file);
    }
  }
  return r;
}

RunResult FreshenArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             bool update, bool express, bool encrypted, unsigned long long needed,
                             const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  char drive = archive.size() >= 2 && archive[1] == ':' ? archive[0] : 'C';
  if (needed && FreshenLacksSpace(needed, FreeBytes(archive), FreeBytes(setup.workDir), drive)) {
    ShowStringMessage(setup.owner, IDS_NO_DISK_SPACE);
    return RunResult::Refused;
  }
  PasswordRule rule = express ? PasswordRule::FreshenExpress : PasswordRule::FreshenManager;
  if (NeedsPassword(rule, s, express ? false : encrypted) && !askPassword(s))
    return RunResult::Refused;
  return RunCommand(setup, FreshenOrUpdate(s, EnginePathsOf(setup), kind, archive, update, express, encrypted));
}

}  // namespace ql
