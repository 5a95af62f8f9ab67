#include "app/mail_commands.h"

#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "integration/mail_win.h"
#include "integration/shell_win.h"
#include "resources/ids.h"
#include "readers/listing_lines.h"

namespace ql {

namespace {

MailMenus Menus() { return MailMenus{g_managerMenu, g_res.expressMenu}; }

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

// The files selected in the active window's directory list, as full paths; directories and
// drives stay out.
std::vector<std::string> SelectedFilesToAttach() {
  std::vector<std::string> paths;
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r || !r->hwndDirList) return paths;
  std::vector<std::string> lines;
  for (const std::string& line : SelectedLines(r->hwndDirList))
    if (!IsPlaceLine(line)) lines.push_back(line);
  for (const std::string& name : NamesOf(lines))
    if (!name.empty()) paths.push_back(WithSlash(r->curDir) + name);
  return paths;
}

// "&Program Name:" starts with the current directory and the name of the entry selected first in
// the active window's directory list, when there is one.
std::string ProgramOfSelection() {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r || !r->hwndDirList) return {};
  std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
  if (names.empty()) return {};
  std::string dir = CurrentDirectory();
  if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  return WithSlash(dir) + names.front();
}

}  // namespace

bool DispatchMailAndShellCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_MAIL_LOGON: MailLogOn(frame, Menus()); return true;
    case IDM_MAIL_LOGOFF: MailLogOff(frame, Menus()); return true;
    case IDM_MAIL_SEND: MailSend(frame, SelectedFilesToAttach()); return true;
    case IDM_MAIL_FIND_FIRST: MailFind(frame, Menus(), true); return true;
    case IDM_MAIL_FIND_NEXT: MailFind(frame, Menus(), false); return true;
    case IDM_MAIL_READ: MailRead(frame, Menus()); return true;
    case IDM_MAIL_DELETE: MailDelete(frame, Menus()); return true;
    case IDM_MAIL_BUTTON: MailButton(frame, Menus(), SelectedFilesToAttach()); return true;
    case IDM_INSTALL_FM_EXT: InstallFileManagerExtension(g_settings->ProgramDirectory); return true;
    case IDM_REMOVE_FM_EXT: RemoveFileManagerExtension(); return true;
    case IDM_NEW_GROUP: NewGroupDialog(frame, g_settings->ProgramDirectory); return true;
    case IDM_NEW_ITEM: NewItemDialog(frame, g_settings->ProgramDirectory, ProgramOfSelection()); return true;
    default: return false;
  }
}

void LogOffMailAtClose(HWND frame) {
  if (MailLoggedOn()) MailLogOff(frame, Menus());
}

}  // namespace ql
