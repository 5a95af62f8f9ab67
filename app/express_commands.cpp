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
#include "fileops/launch_rules.h"
#include "resources/ids.h"

namespace ql {

namespace {

// The path typed into the Run dialog: an archive opens in a window, a program starts, anything
// else opens with the program associated with it.

// The "Command Line" of Express Run: a program (quoted when its path holds blanks) with its
// arguments, an archive, or a document.
void LaunchPath(HWND owner, const std::string& typed, bool minimized) {
  ProgramAndArguments split = SplitCommandLine(typed, PathExists);
  if (split.program.empty()) return;
  std::string path = split.program;
  if (path.find('.') == std::string::npos) path += ".EXE";
  if (OpenArchiveByName(path.c_str())) return;
  bool program = false;
  for (const char* m : {"*.EXE", "*.COM", "*.BAT", "*.PIF"}) program |= MatchFileMask(path, m);
  if (program) {
    std::string line = path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
    if (!split.arguments.empty()) line += " " + split.arguments;
    if (WinExec(line.c_str(), minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL) < 32)
      ShowStringMessage(owner, IDS_CANNOT_RUN);
    return;
  }
  HINSTANCE r = ShellExecuteA(owner, "open", path.c_str(), split.arguments.empty() ? nullptr : split.arguments.c_str(),
                              nullptr, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  INT_PTR code = reinterpret_cast<INT_PTR>(r);
  if (code <= 32) ShowStringMessage(owner, code == SE_ERR_NOASSOC ? IDS_NO_ASSOCIATION : IDS_CANNOT_RUN);
}

ExpressHost HostFor(HWND frame) {
  ExpressHost h;
  h.frame = frame;
  if (g_settings) {
    h.iniPath = g_settings->IniPath;
    h.sourceDir = g_settings->SourceDirectory;
    h.targetDir = g_settings->TargetDirectory;
  }
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
