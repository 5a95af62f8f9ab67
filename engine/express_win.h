// Express mode's operations on a named archive file: add (or move), extract and delete the names
// of the dialog's list, with the archive type from the name, the directory questions, the
// password and the run.
#pragma once
#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// Express add (or move): the names of the dialog's list into `archive`. A missing archive
// directory is offered for creation (421).
RunResult ExpressAddFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          const std::vector<std::string>& names, bool move,
                          const AskPassword& askPassword);

// Express extract of the listed names (all members when `names` is null) into `target`, which
// is offered for creation when missing (421).
RunResult ExpressExtractFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                              const std::vector<std::string>* names, const std::string& target,
                              const AskPassword& askPassword);

// Express delete of the listed names.
RunResult ExpressDeleteFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             const std::vector<std::string>& names, const AskPassword& askPassword);

}  // namespace ql
