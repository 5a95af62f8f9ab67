// The menu help table against the menus and strings it names, as the resources build them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/menu_help.h"
#include "resources/ids.h"

namespace ql {
namespace {

constexpr unsigned kAllCommands = 0x10000;

std::string LoadText(UINT id) {
  char buf[1024] = {};
  int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

bool InMenu(HMENU menu, unsigned command) { return GetMenuState(menu, command, MF_BYCOMMAND) != UINT(-1); }

// Every command that shows a status-bar hint sits in the Manager or the Express menu, and its hint
// string exists.
TEST(MenuHelpMenus, EveryEntryIsAMenuItemWithItsHintString) {
  HMENU manager = LoadMenuA(GetModuleHandleA(nullptr), IDR_MANAGER);
  HMENU express = LoadMenuA(GetModuleHandleA(nullptr), IDR_EXPRESS);
  ASSERT_NE(nullptr, manager);
  ASSERT_NE(nullptr, express);
  size_t entries = 0;
  for (unsigned command = 0; command < kAllCommands; ++command) {
    MenuHelp h{};
    if (!MenuHelpFor(command, &h)) continue;
    ++entries;
    // IDM_DELETE_DIR has an entry but no menu item of its own (see resources/ids.h).
    if (command != IDM_DELETE_DIR)
      EXPECT_TRUE(InMenu(manager, command) || InMenu(express, command)) << command << " is in no menu";
    EXPECT_FALSE(LoadText(h.string).empty()) << command << ": no string " << h.string;
  }
  EXPECT_GT(entries, 0u);
  DestroyMenu(manager);
  DestroyMenu(express);
}

// Every tool-bar tip has its string, the tips of buttons without a menu entry too.
TEST(MenuHelpMenus, EveryToolTipStringExists) {
  size_t tips = 0;
  for (unsigned command = 0; command < kAllCommands; ++command) {
    unsigned tip = ToolTipStringFor(command);
    if (!tip) continue;
    ++tips;
    EXPECT_FALSE(LoadText(tip).empty()) << command << ": no string " << tip;
  }
  EXPECT_GT(tips, 0u);
  // The buttons without a menu entry have tips of their own.
  EXPECT_EQ(unsigned(IDS_HINT_SEND_MAIL), ToolTipStringFor(IDM_MAIL_BUTTON));
  EXPECT_EQ(unsigned(IDS_HINT_LONG_NAMES), ToolTipStringFor(IDM_LONG_NAMES));
  EXPECT_EQ(unsigned(IDS_HINT_SHORT_NAMES), ToolTipStringFor(IDM_SHORT_NAMES));
  EXPECT_EQ(unsigned(IDS_HINT_PARENT_DIR), ToolTipStringFor(IDM_PARENT_DIR));
}

}  // namespace
}  // namespace ql
