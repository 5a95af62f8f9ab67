// Operations on whole archives with the file system: convert, self-extracting ARJ and ZIP,
// repair, join and rename in an ARJ, run a program from an archive, and open a document.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// Converts the first of `names` (files of `directory`) by `command` (983 to 988, 1016). The
// scratch directory is emptied first; the source is unpacked with its folders, packed
// recursively into a file of the work directory and tested there; only then does the new
// archive take its place (for 1016 replacing the source). A failure at any step leaves the
// source and any existing archive as they were and says so. `arcProgram`/`lzhProgram` are the
// settings; "None" uses the bundled QLARC.EXE/QLLZH.EXE. True when the new archive was made.
bool ConvertArchive(const RunnerSetup& setup, SwitchSet& s, unsigned command, const std::string& directory,
                    const std::vector<std::string>& names, const std::string& arcProgram,
                    const std::string& lzhProgram, const AskPassword& askPassword);

// Self-extracting ARJ or ZIP of `archive` (a full path, or a name in the current directory).
RunResult MakeSelfExtracting(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                             const std::string& archive, const AskPassword& askPassword);

// Repair of a damaged ARJ or ZIP archive `name` of `directory`: it must open for reading and
// writing, and twice its size must be free on its drive and on the work directory's.
RunResult RepairArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& directory,
                        const std::string& name, const AskPassword& askPassword);

// Join: the "Join Arj Files" dialog for the new name, then ARJ "J" with the selected ARJ files of
// `directory`. `encrypted`: the window's archive is password-protected. Returns the dialog's
// result (IDCANCEL sets the cancelled flag; so do the refusals, returning IDCANCEL).
INT_PTR JoinArjFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& directory,
                     const std::vector<std::string>& names, bool encrypted, const AskPassword& askPassword);

// Rename in an ARJ: ARJ "N" asks for the new name of each selected member. `members`: the chosen
// name field of each selected line of the archive list. True when ARJ ran.
bool RenameInArjArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& archive,
                        const std::vector<std::string>& members, const AskPassword& askPassword);

// Runs the program `entry` of `archive`: it and the archive's *.DLL and *.OVL members go into the
// work directory, and the program starts there. Entries other than *.EXE and *.COM are refused
// (string 3023).
RunResult RunFromArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& archive,
                         const std::string& entry, const AskPassword& askPassword);
// Starts a program without a command line, in its own directory, by its short path.
bool StartProgramAt(const std::string& path);

// Opens a document with the shell's "open" verb, or starts it as a program; string 3042 when
// neither works.
bool OpenDocument(HWND owner, const std::string& path, int show);

}  // namespace ql
