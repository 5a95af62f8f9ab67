// Command builders of the archive operations: from the switch set and an operation's inputs to
// the exact DOS command line (for the runner's `cmndargs`) or the "|"-separated engine string,
// plus the list file `ql5files`. Platform-free; the Win32 half writes the files and runs them.
// One source per family: commands_add.cpp, commands_extract.cpp, commands_delete.cpp, with the
// paths and the list file in list_file.cpp and the option fragments in command_fragments.cpp.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/switches.h"
#include "resources/ids.h"

namespace ql {

enum class ArchiveKind { Zip, Arj };

// How a built command is carried out.
enum class Via {
  Runner,       // `text` is a DOS command line for the runner
  ZipEngine,    // `text` is the argument string of `zip` in QL53NTI2.DLL
  UnzipEngine,  // `text` is the argument string of `unzip` in QL53NTI1.DLL
};

struct Command {
  Via via = Via::Runner;
  std::string text;
  bool showWindow = false;  // the runner's console is shown (no " -B")
  bool viewMode = false;    // the runner gets " -T" (viewing a member)
  std::string currentDir;   // made current before running; empty: leave it
  bool writeList = false;   // `listFile` goes into ql5files before running
  std::string listFile;     // content of ql5files, each name ended by CR LF
  int message = 0;          // non-zero: refuse with this string id, run nothing
};

// Where the program's own files are.
struct EnginePaths {
  std::string programDir;  // without trailing "\"
  std::string workDir;     // as stored; a "\" is appended where missing
};

// Directory + "\" + name; "?" in place of the name when directory plus 13 characters reach 260.
std::string ProgramFile(const std::string& dir, const std::string& name);
// The work directory with exactly one trailing "\".
std::string WorkSlash(const std::string& workDir);
// The work directory without a trailing "\".
std::string WorkNoSlash(const std::string& workDir);
std::string CmndargsPath(const std::string& workDir);
std::string ListFilePath(const std::string& workDir);
// Where the runner leaves the command's exit code: the work directory and "cmndexit".
std::string CmndexitPath(const std::string& workDir);
// The content of cmndexit: decimal digits (a 32-bit code) and CR LF. False for anything else.
bool ParseRunnerExitCode(const std::string& text, unsigned long* code);
// The runner's command: runner path, the work directory, " -T" when viewing, " -B" when hidden.
std::string RunnerCommandLine(const std::string& runnerPath, const std::string& workDir,
                              bool showWindow, bool viewMode);
// The runner's command for a virus detector: runner path, the work directory and " -V".
std::string VirusRunnerCommandLine(const std::string& runnerPath, const std::string& workDir);

// One command-line argument as the archivers' argument rules need it: unchanged unless it holds
// a blank, a tab or a double quote (or is empty); then enclosed in double quotes, with quotes
// escaped and backslashes before a quote doubled.
std::string QuoteArg(const std::string& arg);

// A name the list file can carry: not empty, without CR, LF or NUL (a member name holding a line
// break would otherwise smuggle a second name, such as "*.*", into the list).
bool ListableName(const std::string& name);
// Content of ql5files: each listable name followed by CR LF. Any number of names.
std::string ListFileContent(const std::vector<std::string>& names);

// The names an add takes from the lines of a list box, given each line's chosen name field
// (the long or short name, or the whole line when the field is missing). Marker lines (">")
// are skipped; a directory "[DOCS]" becomes "DOCS\*.*" (a file "[draft].txt" stays as it is);
// drives "[-c-]" and "[..]" are skipped;
// with a non-empty `prefix` every name gets prefix + "\" in front.
std::vector<std::string> AddNamesFromLines(const std::vector<std::string>& nameFields,
                                           const std::string& prefix);

// The archive type from its name: *.ZIP and *.ARJ; *.EXE only when `exeHoldsZip`.
// Returns false for any other name (string 3039).
bool ArchiveKindFromName(const std::string& path, bool exeHoldsZip, ArchiveKind* kind);

// -------------------------------------------------------------------------------------------
// Passwords: when an operation asks for one (a needed password turns the ZIP engines off).
enum class PasswordRule {
  Add,             // A1, A4, Express delete: `password`
  AddToWindow,     // A2, A3, browser delete: `password` or the window's encrypted flag
  FreshenManager,  // A5 in a browser window: `password` or encrypted
  FreshenExpress,  // A5 in Express: `password`
  ExtractMembersZip,  // E1 ZIP: `extract_with_password` and encrypted
  ExtractEither,   // E1 ARJ, E3, E4, V1: `extract_with_password` or encrypted
  ExtractSwitch,   // E2, E5, test of a directory file: `extract_with_password`
  TestArchive,     // tests in Express and of a window's archive: `extract_with_password` or `password`
};
bool NeedsPassword(PasswordRule rule, const SwitchSet& s, bool encrypted);

// -------------------------------------------------------------------------------------------
// Add, move, freshen and update.

// A1: add files dropped from outside; ql5files is already written by the caller.
Command AddDroppedFiles(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                        const std::string& archive, const std::string& currentDir);

// A2/A3 source of a drop: the selected lines of a directory list box, or files the caller has
// placed in the work directory (their names in the existing ql5files content).
struct DropSource {
  bool listBox = true;
  std::string sourceDir;                 // list box: the window's directory
  std::vector<std::string> nameFields;   // list box: chosen name field of each selected line
  std::string placedList;                // not a list box: the ql5files content as written
};
Command DropAdd(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                const std::string& archive, bool encrypted, bool move, const DropSource& src);

// A4: Express add (or move with `move`) of the dialog's list lines.
Command ExpressAdd(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                   const std::string& archive, const std::vector<std::string>& nameFields,
                   const std::string& currentDir, bool move);

// A5: freshen (or update) the whole archive. `express` chooses the Express order and password
// rule; `encrypted` is the browser window's flag.
Command FreshenOrUpdate(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                        const std::string& archive, bool update, bool express, bool encrypted);

// Freshen and update in a browser window: the space the archiver may need (the selected members'
// sizes plus the archive's size) must fit on the archive's drive and on the work directory's
// drive; floppy drives A and B are not checked. True when the operation is refused (3005).
bool FreshenLacksSpace(unsigned long long needed, unsigned long long archiveDriveFree,
                       unsigned long long workDriveFree, char archiveDrive);

// N1: the path of a new archive from the dialog's directory text and file name.
struct NewArchiveTarget {
  std::string directory;  // the resolved directory (ask 421 when it does not exist)
  std::string path;       // the archive path (ask 3038 when it exists)
};
// `fullDirName` returns the full name of an existing directory, or "" when it cannot be entered.
NewArchiveTarget ResolveNewArchive(const std::string& dirText, const std::string& fileName,
                                   ArchiveKind kind, const std::string& currentDir,
                                   const std::function<std::string(const std::string&)>& fullDirName);
// The resolved directory as the archive's path uses it, the form the "New Files" list keeps:
// without a trailing "\", except a drive root "X:\" (a bare "X:" gets its "\").
std::string NewArchiveDirectory(const std::string& directory);

// -------------------------------------------------------------------------------------------
// Extract, test and view.

// E1: the selected members into `target`.
Command ExtractMembers(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                       const std::string& archive, bool encrypted,
                       const std::vector<std::string>& names, const std::string& target);

// E2: every member of one archive file into `target`.
Command ExtractWholeArchive(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                            const std::string& archive, const std::string& target);
// E2 checks: a name an extract of archives accepts (*.ZIP, *.EXE, *.A??), and an ARJ part name
// (ending in ARJ or A00, or ".A" and a non-zero number).
bool IsExtractableArchiveName(const std::string& name);
bool IsArjPartName(const std::string& name);

// E3/E4: members dragged out of an archive window. `targetDir`: the drop target's directory, or
// the work directory when there is no target window.
Command DropExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                    const std::string& archive, bool encrypted,
                    const std::vector<std::string>& names, bool targetWindow,
                    const std::string& targetDir);

// E5: Express extract; `names` null extracts everything ("*.*").
Command ExpressExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                       const std::string& archive, const std::vector<std::string>* names,
                       const std::string& target);

// T1.
enum class TestFrom { Express, WindowArchive, DirectoryFile };
Command TestArchive(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                    const std::string& archive, TestFrom from);

// V1: extract one member into the work directory for viewing.
Command ViewMember(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                   const std::string& archive, bool encrypted, const std::string& member);
// The file a view opens afterwards: work directory + "\" + the member's name after its last
// "\" (or "/").
std::string ViewedFile(const std::string& workDir, const std::string& member);

// -------------------------------------------------------------------------------------------
// Delete.

// Browser window delete of the selected lines (member name: text before the first tab).
// `entryCount` is the window's entry count: deleting all of them is refused (3027).
Command DeleteMembers(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                      const std::string& archive, bool encrypted,
                      const std::vector<std::string>& selectedLines, long entryCount);
// The names shown by the delete confirmation: the first six names, each followed by a blank,
// and "..." when there are more.
std::string DeleteConfirmNames(const std::vector<std::string>& selectedLines);

// Express delete of all names of the dialog's list.
Command ExpressDelete(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                      const std::string& archive, const std::vector<std::string>& names);

// Strings the builders refuse with.
constexpr int kMsgDeleteAll = IDS_DELETE_ALL_CORRUPTS;

}  // namespace ql
