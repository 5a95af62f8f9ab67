#include "app/user_menu_commands.h"

#include "app/frame.h"
#include "app/settings.h"
#include "integration/user_menus_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

HWND g_menuFrame = nullptr;

HMENU UserPopup(bool macros) {
  if (!g_managerMenu) return nullptr;
  int position = macros ? MANAGER_POS_MACROS : MANAGER_POS_APPLICATIONS;
  return GetSubMenu(g_managerMenu, position + ManagerMenuShift(g_managerMenu));
}

}  // namespace

void ConnectUserMenus() {
  g_userMenusHost.iniPath = g_settings ? g_settings->IniPath : "";
  g_userMenusHost.popup = UserPopup;
  g_userMenusHost.menuWindow = [] { return g_menuFrame; };
}

bool DispatchUserMenuCommand(HWND frame, UINT id) {
  g_menuFrame = frame;
  switch (id) {
    case IDM_APPLICATIONS:
      ApplicationsDialog(frame);
      return true;
    case IDM_MACROS:
      MacrosDialog(frame);
      return true;
    default:
      return RunApplication(id) || RunMacro(id);
  }
}

}  // namespace ql
