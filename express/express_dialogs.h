// Express mode's commands: New, Add, Move, Extract, Delete and Run, each through the file dialog
// "Select An Archive File" (or the New dialog) and the dialogs that choose files from lists. The
// frame gives what the dialogs need from it through the host below.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/operations_win.h"
#include "engine/runner_win.h"

namespace ql {

struct ExpressHost {
  HWND frame = nullptr;
  std::string iniPath;    // ql53intl.ini
  std::string sourceDir;  // "Defaults"/"Source": new archives and the start of the archive directory
  std::string targetDir;  // "Defaults"/"Target": where extracting starts
  // "Select An Archive File", starting in the current directory; false when cancelled.
  std::function<bool(HWND owner, std::string* archive)> chooseArchive;
  std::function<RunnerSetup(HWND owner)> runnerSetup;
  std::function<AskPassword(HWND owner)> askPassword;
  // "Choose target directory": a directory picked by the user; false when cancelled.
  std::function<bool(HWND owner, std::string* dir)> chooseDirectory;
  // Writes "Express File Dir"/"ExpArcDir" (archiveDir) or "ExpFileDir".
  std::function<void(bool archiveDir, const std::string& dir)> rememberDirectory;
  // Starts or opens the path typed into the Run dialog.
  std::function<void(HWND owner, const std::string& path, bool minimized)> launch;
};

// The host the commands use; set by the frame before the first command.
void SetExpressHost(const ExpressHost& host);

// 4000: the New dialog, then the files to compress.
void ExpressNew();
// 4005 and 4006: an existing archive, then the files to compress (or move).
void ExpressAddOrMove(bool move);
// 4042: an archive, then the extract options (and the members to extract).
void ExpressExtract();
// 4007: an archive, then the members to delete.
void ExpressDelete();
// 4002: the Run dialog.
void ExpressRun();

}  // namespace ql
