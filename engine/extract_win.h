// Extract, test and view with the file system: the extraction target, the extract of selected
// members and of whole archive files, the test of an archive file, and the view of a member.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// An extraction target that is not a drive root and does not exist: string 421 asks whether to
// create it. False when the answer is not Yes or the directory cannot be made.
bool EnsureTargetDirectory(HWND owner, const std::string& target);

// Extracts every named archive file of `directory`, whole and in order, into `target`: names
// that are not ZIP, Zip EXE or ARJ files refuse the whole selection (3002) before anything runs;
// a ZIP that cannot be opened (3006) or holds no ZIP (3007) and an ARJ part with a wrong name
// (3029) end the loop after the archives before it were extracted.
RunResult ExtractArchiveFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& directory,
                              const std::vector<std::string>& names, const std::string& target,
                              const AskPassword& askPassword);

// Extract the selected members of an archive window into `target` (offered for creation when
// missing). Refused with 3014 when no member is selected.
RunResult ExtractMembersTo(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                           const std::string& archive, bool encrypted,
                           const std::vector<std::string>& names, const std::string& target,
                           const AskPassword& askPassword);

// Test of an archive file (Express, a window's archive, or a file selected in a directory list).
RunResult TestArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          TestFrom from, const AskPassword& askPassword);

// Opens a file with the shell (the view of a member hands its extracted copy to it).
using OpenFile = std::function<void(const std::string& path)>;
void OpenWithShell(const std::string& path);

// Where a member extracted without its path into the work directory is, as a path the ANSI calls
// open: for a member named by its reference (common/member_reference.h), the real name, or the
// short name when the ANSI code page cannot hold the real one.
std::string ExtractedFilePath(const std::string& workDir, const std::string& member);

// View the member of a listing line: extracted into the work directory, then opened. Marker
// lines (">") and directory lines ("[") are ignored.
RunResult ViewArchiveMember(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                            const std::string& archive, bool encrypted, const std::string& line,
                            const AskPassword& askPassword, const OpenFile& open = OpenWithShell);

}  // namespace ql
