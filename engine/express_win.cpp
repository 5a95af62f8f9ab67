#include "engine/express_win.h"

#include "common/shared_win.h"
#include "common/text_and_paths.h"

namespace ql {

namespace {

// A directory named by an Express dialog (longer than two characters) that does not exist is
// offered for creation; false when it is not there afterwards.
bool EnsureExpressDirectory(HWND owner, const std::string& dir) {
  return dir.size() <= 2 || OfferToCreateDirectory(owner, dir);
}

}  // namespace

RunResult ExpressAddFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          const std::vector<std::string>& names, bool move,
                          const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (!EnsureExpressDirectory(setup.owner, DirectoryOf(archive))) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::Add, s, false) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup, ExpressAdd(s, EnginePathsOf(setup), kind, archive, names, CurrentDirectory(), move));
}

RunResult ExpressExtractFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                              const std::vector<std::string>* names, const std::string& target,
                              const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (!EnsureExpressDirectory(setup.owner, target)) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::ExtractSwitch, s, false) && !askPassword(s))
    return RunResult::Refused;
  Command cmd = ExpressExtract(s, EnginePathsOf(setup), kind, archive, names, target);
  // The target is named on the command; the archiver runs in the archive's directory.
  cmd.currentDir = DirectoryOf(archive);
  return RunCommand(setup, cmd);
}

RunResult ExpressDeleteFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             const std::vector<std::string>& names, const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (names.empty()) return RunResult::Done;
  if (NeedsPassword(PasswordRule::Add, s, false) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup, ExpressDelete(s, EnginePathsOf(setup), kind, archive, names));
}

}  // namespace ql
