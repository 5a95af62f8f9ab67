// Express mode's platform-free rules: the path of a new archive from the New dialog's texts, the
// directory texts of its dialogs, and the moving of entries between a dialog's two lists.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ql {

// The New dialog's archive: `dirText` resolved (a leading "." is the current directory, a
// leading ".." its parent, anything else the directory's full name when it exists, else taken
// from the current directory), "\" and `fileName`, which gets ".ZIP" or ".ARJ" when it has no
// ".". `valid` tells whether the path names a ZIP or ARJ archive. Dots elsewhere in the text
// ("my..dir", "C:\a\..\b") are left to the file system.
struct ExpressNewTarget {
  std::string directory;
  std::string path;
  bool valid = false;
};
ExpressNewTarget ResolveExpressNewArchive(const std::string& dirText, const std::string& fileName, bool arj,
                                          const std::string& currentDir,
                                          const std::function<std::string(const std::string&)>& fullDirName);

// A directory text as typed, without its trailing "\" (a drive root "X:\" keeps it).
std::string DirectoryTextWithoutSlash(std::string text);

// Moves the `chosen` entries (indexes into `from`) to the end of `to`, skipping those `to` holds
// already (names compared ignoring case), then, when `removeFromSource`, takes them out of `from`
// by name.
void MoveListEntries(std::vector<std::string>& from, std::vector<std::string>& to,
                     const std::vector<size_t>& chosen, bool removeFromSource);

}  // namespace ql
