// Deleting members from an archive shown in a browser window: the confirmation, the refusal of
// deleting every member, the password and the run.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// The answers of the delete confirmation, kept process-wide between deletions: while the last
// one is Yes to All, later deletions do not ask.
enum class DeleteAnswer { None, Yes, YesToAll, No };
extern DeleteAnswer g_lastDeleteAnswer;

// Shows the delete confirmation with its question and the names line; returns the answer
// (None for Cancel).
using ConfirmDelete = std::function<DeleteAnswer(const std::string& question, const std::string& names)>;

struct DeleteRequest {
  ArchiveKind kind = ArchiveKind::Zip;
  std::string archive;
  bool encrypted = false;                  // the window's encrypted flag
  std::vector<std::string> selectedLines;  // the selected lines of the archive list
  long entryCount = 0;                     // the window's entry count
  bool confirm = true;                     // the Confirmation setting "delete"
};

RunResult DeleteFromArchive(const RunnerSetup& setup, SwitchSet& s, const DeleteRequest& req,
                            const ConfirmDelete& confirm, const AskPassword& askPassword);

}  // namespace ql
