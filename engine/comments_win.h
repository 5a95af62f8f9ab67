// Archive and member comments with the file system: the title and member comment runs, the
// selection list writer, and the "Read Archive Comment" viewer of ">" lines.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/operations_win.h"

namespace ql {

// What the comment operations take from a browser window.
struct CommentSource {
  std::string curDir;                 // the window's directory
  std::string archivePath;            // the window's archive ("" when it shows none)
  ArchiveKind kind = ArchiveKind::Zip;
  bool directoryListActive = false;   // the active list is the directory list
  // The selected lines' chosen name fields of the active list (long or short by
  // ShortNameDisplay for the directory list, the first field for the archive list).
  std::vector<std::string> selectedNames;
  unsigned long long selectedBytes = 0;  // their uncompressed lengths (">" lines left out)
  unsigned long long archiveBytes = 0;   // the window's compressed total
};

// Comment the archive title: the archive from the directory list's one selected file or the
// window's archive, the space check, the password, the run. True when the archiver ran (the
// caller reads the window again).
bool CommentArchiveTitle(const RunnerSetup& setup, SwitchSet& s, const CommentSource& src,
                         const AskPassword& askPassword);
// Comment the selected members of the window's archive.
bool CommentSelectedFiles(const RunnerSetup& setup, SwitchSet& s, const CommentSource& src,
                          const AskPassword& askPassword);

// Writes ql5files with the selection list's names; the number of lines written (0: none, or
// the file could not be made, string 3006 shown).
size_t WriteSelectionList(const RunnerSetup& setup, const std::vector<std::string>& names);

// Shows the comment a ">" line points at, read from the archive file. Returns 1 (OK) or 2
// (cancelled or failed, the cancelled flag set).
INT_PTR ReadArchiveComment(HWND owner, const std::string& archive, ArchiveKind kind,
                           const std::string& line);

}  // namespace ql
