// Add, move, freshen and update with the file system: drops into an archive window and the
// freshen or update of a named archive file (its space check, the password, the run).
#pragma once
#include <string>

#include "engine/operations_win.h"

namespace ql {

// Add or move the selected lines of a directory window (or files placed in the work directory)
// into an archive window's archive.
RunResult DropAddFiles(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                       const std::string& archive, bool encrypted, bool move,
                       const DropSource& src, const AskPassword& askPassword);

// Freshen or update of a named archive file. `needed` is the space the archiver may need (the
// selected members' sizes plus the archive's size; 0 when unknown): refused with 3005 when
// either the archive's drive or the work directory's drive has less free.
RunResult FreshenArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             bool update, bool express, bool encrypted, unsigned long long needed,
                             const AskPassword& askPassword);

}  // namespace ql
