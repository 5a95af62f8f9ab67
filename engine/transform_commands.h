// Command builders of the comment operations and of the operations that transform whole
// archives: comments, convert, self-extracting, repair, join, rename, and the extract that runs a
// program from an archive; plus the comment reader's text. Platform-free; the Win32 halves are
// comments_win.cpp and transforms_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/commands.h"

namespace ql {

// -------------------------------------------------------------------------------------------
// Comments.

// The archive title (ZIP archive comment, ARJ main-header comment): the archiver asks for it.
// The current directory is the archive's. ZIP goes through the zip engine unless `use_pkzip`,
// `multi_volume_support` or `password` is on; ARJ always through the runner, shown.
Command CommentTitle(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                     const std::string& archive);
// The comments of the members named in ql5files (already written by the caller).
Command CommentFiles(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                     const std::string& archive);

// The names the selection list writer puts into ql5files, from each selected line's name field
// (the directory list's chosen field, or an archive line's first field). Marker lines are
// skipped, "[..]" and drives too; "[DOCS]" becomes "DOCS\*.*". `fullPathDir` (the window's
// directory, given only when full path names are stored) goes with a "\" before every name.
std::vector<std::string> SelectionListNames(const std::vector<std::string>& nameFields,
                                            const std::string& fullPathDir);

// Where a comment line points and how much the viewer reads: the line's length, but never past
// the end of the file and never more than `capacity` bytes. False when the line carries no
// location or the location lies outside the file.
bool CommentReadRange(const std::string& line, uint64_t fileSize, size_t capacity,
                      uint64_t* offset, size_t* count);
// The comment in the bytes read at a comment line's offset: for ZIP all of them, for ARJ the
// NUL-terminated text after the stored name's terminating NUL (nothing when that NUL is missing).
// Every line feed not preceded by a carriage return gets one; the text ends at a NUL.
std::string CommentTextOf(const char* bytes, size_t count, ArchiveKind kind);

// -------------------------------------------------------------------------------------------
// Convert.

enum class ConvertFrom { Zip, Arj, Arc, Lzh };
enum class ConvertTo { Zip, Arj };
struct ConvertKind {
  ConvertFrom from;
  ConvertTo to;
  bool deflateOldZip;  // Zip 1.x to Zip 2.x: the new archive replaces the source
};
// The kind of a convert command (983 to 988, 1016); false for any other id.
bool ConvertKindOf(unsigned command, ConvertKind* kind);
// Whether a chosen file can be the source of the convert: its name fits the source type (a ZIP
// source may also be an .EXE, when `exeHoldsZip`).
bool ConvertSourceAccepted(const ConvertKind& k, const std::string& name, bool exeHoldsZip);
// The name of the converted archive: everything after the source's last "." becomes "ARJ" or
// "ZIP".
std::string ConvertTargetPath(const std::string& source, ConvertTo to);
// The scratch directory of the work directory: tmp41720, or, when a process still holds that one
// (a runner console left open has it as its current directory), tmp41720.1, tmp41720.2 ...
// (`n`).
std::string ScratchDirectory(const std::string& workDir, unsigned n = 0);
// Where the pack writes before the new archive has passed its test: ~QLCV000.ARJ (or .ZIP, the
// target's extension; `n` numbers the free names) beside `target`, so that the tested archive
// takes the target's name by a rename on the same drive. A partial archive never carries the
// target's name.
std::string ConvertPackPath(const std::string& target, unsigned n);
// The extraction program of ARC or LZH archives: the one configured, or the bundled QLARC.EXE /
// QLLZH.EXE of the program directory when the setting is "None" (or empty).
std::string ConvertProgram(const EnginePaths& p, ConvertFrom from, const std::string& configured);

// The three runs of a convert: unpack the source with its folders into the scratch directory
// `scratch`, pack it recursively into `packPath`, and test that archive. An ARJ pack takes the
// archive comment from `titleFile` ("-z"), when one is given, and with `folderEntries` stores the
// folders as entries of their own ("-a1"), so that empty ones are kept.
struct ConvertCommands {
  Command unpack, pack, test;
};
ConvertCommands ConvertCommandsFor(const SwitchSet& s, const EnginePaths& p, const ConvertKind& k,
                                   const std::string& source, const std::string& program,
                                   const std::string& packPath, const std::string& scratch,
                                   const std::string& titleFile = "", bool folderEntries = false);
// The largest archive comment ARJ keeps, in bytes (carriage returns are not stored).
constexpr size_t kArjTitleMax = 2048;
// Whether ARJ can keep `title` whole as its archive comment: short enough, and free of the bytes
// that end a comment file's text (NUL and Ctrl-Z).
bool ArjKeepsTitle(const std::string& title);
// Whether ARJ can keep `comment` whole as the comment of the member `name`: as for the title,
// and the entry's header, which holds both, stays within ARJ's limit.
bool ArjKeepsFileComment(const std::string& name, const std::string& comment);

// -------------------------------------------------------------------------------------------
// Self-extracting, repair, join, rename.

// ARJ "F ... -je" on `archive` (its directory current). Refused (3013) unless the upper-cased
// path holds ".ARJ".
Command SelfExtractingArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive);
// ZIP2EXE on `archive` as chosen. Refused (425) unless the upper-cased path holds ".ZIP".
Command SelfExtractingZip(const SwitchSet& s, const EnginePaths& p, const std::string& archive);
// ARJ "x -jr -n" of a damaged archive into the new directory `into`, keeping the folders and
// writing over nothing; its runner window shown.
Command RepairArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive, const std::string& into);
// PKZIPFIX: `name` rebuilt in `directory` into PKFIXED.ZIP, or the first free PKFIX001.ZIP ...
// when an earlier repair is there.
Command RepairZip(const SwitchSet& s, const EnginePaths& p, const std::string& name,
                  const std::string& directory);
// Repair needs twice the archive's size on the archive's drive and on the work directory's.
bool RepairLacksSpace(unsigned long long archiveSize, unsigned long long archiveDriveFree,
                      unsigned long long workDriveFree);

// Join: every selected name (not a marker line) must match "*.A??" (else 3013); ql5files holds
// the names that match "*.ARJ". `password`: the password was asked and given.
Command JoinArj(const SwitchSet& s, const EnginePaths& p, const std::string& newName,
                const std::vector<std::string>& names, bool password);
// Whether every name join takes is an ARJ part ("*.A??"); marker lines are passed over.
bool JoinNamesAccepted(const std::vector<std::string>& names);

// ARJ "N": ARJ asks for each member's new name; ql5files holds `names`.
Command RenameInArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive,
                    const std::vector<std::string>& names);

// -------------------------------------------------------------------------------------------
// Run a program from an archive.

// Whether an entry can be run: not a directory line, and named *.EXE or *.COM.
bool RunnableEntry(const std::string& name);
// Extracts `entry` and the archive's *.DLL and *.OVL members into the work directory.
Command ExtractProgramToRun(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                            const std::string& archive, const std::string& entry);

}  // namespace ql
