// The rules of the file operations that need no window: the names a copy writes, joined paths,
// and the texts of the confirmation dialogs.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "readers/listing_lines.h"

namespace ql {

// The answer shared by an operation's loop and its confirmation dialogs (the dialogs' button ids).
enum class ConfirmAnswer { Cancel = 0, Yes = 380, YesToAll = 381, No = 382 };

// The name of a directory entry without its brackets ("[docs]" gives "docs"); other text unchanged.
std::string_view StripBrackets(std::string_view name);

// `dir` and `name` with one backslash between (none added after a root such as "C:\").
std::string JoinPath(std::string_view dir, std::string_view name);

// A target directory as typed: blanks around it and a trailing backslash dropped, except that a
// drive root keeps it ("C:\"); "C:" alone becomes "C:\".
std::string NormalizeTargetDir(std::string_view dir);

// True when the two directory paths are the same text, ignoring case and a trailing backslash.
bool SameDirectoryText(std::string_view a, std::string_view b);

// A copy from a file system that keeps long names onto a plain FAT drive writes the file under its
// short (8.3) name: true when the target name must be the short one.
bool NeedsShortTargetName(std::string_view sourceFileSystem, std::string_view targetFileSystem);
// The name a copied file gets: the short name under the rule above (the long name when the file
// has no separate short name because its name already fits 8.3).
std::string TargetFileName(std::string_view longName, std::string_view shortName, std::string_view sourceFileSystem,
                           std::string_view targetFileSystem);
// True when `name` fits the DOS 8.3 form: one to eight characters, optionally "." and one to three,
// none of them blanks or characters FAT refuses.
bool FitsShortName(std::string_view name);

// A name typed for Rename: false when it is empty, all blanks, or holds a character no file name
// may hold ("<>\"|?*" and control characters).
bool IsValidNewName(std::string_view name);

// The date of the overwrite question: "MM/DD/YYYY      hh:mma" on a 12-hour clock (0 to 11 as they
// are with "a", 12 with "p", 13 to 23 less 12 with "p").
std::string OverwriteDateText(int year, int month, int day, int hour, int minute);

// The names of a mouse-action question: up to six, each followed by a blank, "..." after the sixth.
std::string DragNamesText(const std::vector<std::string>& names);

}  // namespace ql
