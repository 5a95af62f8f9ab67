#include "engine/delete_win.h"

#include <windows.h>

#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

DeleteAnswer g_lastDeleteAnswer = DeleteAnswer::None;

RunResult DeleteFromArchive(const RunnerSetup& setup, SwitchSet& s, const DeleteRequest& req,
                            const ConfirmDelete& confirm, const AskPassword& askPassword) {
  if (req.selectedLines.empty()) return RunResult::Done;
  if (req.confirm && g_lastDeleteAnswer != DeleteAnswer::YesToAll) {
    std::string question = LoadText(IDS_DELETE_MEMBERS_ASK, 128);
    g_lastDeleteAnswer = confirm(question, DeleteConfirmNames(req.selectedLines));
    if (g_lastDeleteAnswer == DeleteAnswer::None) g_cancelled = true;
    if (g_lastDeleteAnswer != DeleteAnswer::Yes && g_lastDeleteAnswer != DeleteAnswer::YesToAll)
      return RunResult::Refused;
  }
  EnginePaths paths = EnginePathsOf(setup);
  // Deleting every member is refused before a password is asked for.
  Command cmd = DeleteMembers(s, paths, req.kind, req.archive, req.encrypted, req.selectedLines,
                              req.entryCount);
  if (cmd.message) return RunCommand(setup, cmd);
  if (NeedsPassword(PasswordRule::AddToWindow, s, req.encrypted)) {
    if (!askPassword(s)) return RunResult::Refused;
    cmd = DeleteMembers(s, paths, req.kind, req.archive, req.encrypted, req.selectedLines,
                        req.entryCount);
  }
  return RunCommand(setup, cmd);
}

}  // namespace ql
