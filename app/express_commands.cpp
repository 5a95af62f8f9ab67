#include "app/express_commands.h"

#include <shellapi.h>

#include <string>

#include "app/archive_ops.h"
#include "app/dispatch.h"
#include "app/settings.h"
#include "common/mask.h"
#include "common/shared_win.h"
#include "express/express_dialogs.h"
#include "fileops/file_ops_win.h"
#include "fileops/launch_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// The path typed into the Run dialog starts as the Manager's Run does: a program, an archive in a
// window, or a document with its associated program.
void LaunchPath(HWND owner, const std::string& typed, bool minimized) {
  Launch(owner, typed, minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
}

ExpressHost HostFor(HWND frame) {
  ExpressHost h;
  h.frame = frame;
  if (g_settings) {
    h.iniPath = g_settings->IniPath;
    h.sourceDir = g_settings->SourceDirectory;
    h.targetDir = g_settings->TargetDirectory;
  }
  h.helpFile = g_helpFile;
  h.chooseArchive = [](HWND owner, std::string* archive) {
    if (!ChooseArchiveFile(owner)) return false;
    *archive = g_chosenFile;
    return true;
  };
  h.chooseDirectory = ChooseTargetDirectory;
  h.runnerSetup = SetupFor;
  h.askPassword = PasswordAsker;
  h.rememberDirectory = [](bool archiveDir, const std::string& dir) {
    SetDirectorySetting(archiveDir ? DirSetting::ExpressArchive : DirSetting::ExpressFile, dir.c_str());
  };
  h.launch = LaunchPath;
  return h;
}

}  // namespace

bool DispatchExpressCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_EX_NEW:
    case IDM_EX_RUN:
    case IDM_EX_ADD:
    case IDM_EX_MOVE:
    case IDM_EX_DELETE:
    case IDM_EX_EXTRACT:
      break;
    default:
      return false;
  }
  // The settings the dialogs start from are read again for every command.
  SetExpressHost(HostFor(frame));
  switch (id) {
    case IDM_EX_NEW: ExpressNew(); break;
    case IDM_EX_RUN: ExpressRun(); break;
    case IDM_EX_ADD: ExpressAddOrMove(false); break;
    case IDM_EX_MOVE: ExpressAddOrMove(true); break;
    case IDM_EX_DELETE: ExpressDelete(); break;
    default: ExpressExtract(); break;
  }
  return true;
}

}  // namespace ql
