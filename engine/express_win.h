// Archive operations on a named archive file, as the Express dialogs and the Freshen, Update and
// Test commands start them: the archive type from its name, the directory questions, the
// password, the run.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/extract_win.h"

namespace ql {

// The archive type of a file from its name (*.ZIP, *.ARJ, or *.EXE holding a ZIP). False for
// anything else; `message` then shows string 3039.
bool ArchiveKindOfFile(HWND owner, const std::string& path, ArchiveKind* kind, bool message);

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

// Test of an archive file (Express, or a file selected in a directory list).
RunResult TestArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          TestFrom from, const AskPassword& askPassword);

// Freshen or update of a named archive file. `needed` is the space the archiver may need (the
// selected members' sizes plus the archive's size; 0 when unknown): refused with 3005 when
// either the archive's drive or the work directory's drive has less free.
RunResult FreshenArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             bool update, bool express, bool encrypted, unsigned long long needed,
                             const AskPassword& askPassword);

}  // namespace ql

namespace ql {

// Extract the selected members of an archive window into `target` (offered for creation when
// missing). Refused with 3014 when no member is selected.
RunResult ExtractMembersTo(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                           const std::string& archive, bool encrypted,
                           const std::vector<std::string>& names, const std::string& target,
                           const AskPassword& askPassword);

// Add or move the selected lines of a directory window (or files placed in the work directory)
// into an archive window's archive.
RunResult DropAddFiles(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                       const std::string& archive, bool encrypted, bool move,
                       const DropSource& src, const AskPassword& askPassword);

// Opens a file with the shell (the view of a member hands its extracted copy to it).
using OpenFile = std::function<void(const std::string& path)>;
void OpenWithShell(const std::string& path);

// View the member of a listing line: extracted into the work directory, then opened. Marker
// lines (">") and directory lines ("[") are ignored.
RunResult ViewArchiveMember(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                            const std::string& archive, bool encrypted, const std::string& line,
                            const AskPassword& askPassword, const OpenFile& open = OpenWithShell);

}  // namespace ql
