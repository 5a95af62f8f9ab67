// Starting what a path names (Launch), choosing a program, the Run dialog, the association table
// and the Associate dialog, the Properties dialog and the File Statistics dialog.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace ql {

// Starts a program, opens an ARJ or ZIP archive (also a self-extracting ZIP program) in a browser
// window, or opens a document with its associated program. `commandLine` may carry arguments after
// the program. `show` applies to documents only. False after a message.
bool Launch(HWND owner, const std::string& commandLine, int show);

// The open-file dialog "Browse" for programs. True with the chosen path; false (and the cancelled
// flag set) when cancelled.
bool ChooseProgram(HWND owner, std::string* path);

// The RUN dialog: the command line starts as `initial`, the drop-down list holds `recent`. True on
// OK with the command line and the "Run &Minimized" choice; false (cancelled flag set) on Cancel.
bool RunCommandDialog(HWND owner, const std::string& initial, const std::vector<std::string>& recent,
                      std::string* command, bool* minimized);

// The association table: one record per extension known to the class root (with an open command)
// or to the profile's "Extensions" section.
struct AssociationRecord {
  char extension[8];
  char description[262];
  char command[262];  // the class name (registry) or the open command (profile)
  int fromRegistry;   // 1 registry, 0 profile
};
void BuildAssociationTable();
// Builds the table on a thread of its own; the first look into it waits for that.
void BuildAssociationTableInBackground();
void FreeAssociationTable();
const std::vector<AssociationRecord>& AssociationTable();
// Whether `extension` (without ".") has a record, ignoring case.
bool HasAssociation(std::string_view extension);

// The Associate dialog for the entry `name` of a directory list. True when an association was
// written or removed.
bool AssociateDialog(HWND owner, const std::string& name);

// The Properties dialog for a directory-list line of a window showing `directory`. True when the
// attributes (or the name) were set.
bool PropertiesDialog(HWND owner, const std::string& directory, const std::string& line);

// The File Statistics dialog for browser window `browser`.
void FileStatisticsDialog(HWND owner, HWND browser);

}  // namespace ql
