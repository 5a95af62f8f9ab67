#include "app/file_commands.h"

#include <string>

#include "app/settings.h"
#include "browser/browser_win.h"
#include "engine/dialogs_win.h"
#include "fileops/file_ops_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

std::string WorkingDirectory() {
  return IniString("Defaults", "Working Directory", g_settings ? g_settings->InitialDirectory : "");
}

}  // namespace

void ConnectFileOps() {
  g_fileOpsHost.workDirectory = g_settings ? g_settings->WorkDirectory : "";
  g_fileOpsHost.workingDirectory = WorkingDirectory;
  g_fileOpsHost.confirmFlags = &g_confirmFlags;
  g_fileOpsHost.managerMode = &g_managerMode;
  // The archive dialogs' Browse and Select Other choose with the file operations' chooser.
  g_dialogHost.chooseDirectory = ChooseTargetDirectory;
}

bool DispatchFileCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_COPY:
      CopyFilesCommand(frame);
      return true;
    case IDM_MOVE_FILES:
      MoveFilesCommand(frame);
      return true;
    case IDM_MAKE_DIR:
      MakeDirectoryCommand(frame);
      return true;
    case IDM_CHANGE_DIR:
      ChangeDirectoryCommand(frame);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
