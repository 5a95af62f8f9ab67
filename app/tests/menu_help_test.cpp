#include "app/menu_help.h"

#include <gtest/gtest.h>

#include "common/help_contexts.h"
#include "resources/ids.h"

namespace ql {
namespace {

// The table is read through the product's own look-ups, over every command id there can be.
constexpr unsigned kAllCommands = 0x10000;

TEST(MenuHelpTest, EveryEntryHasAHintAndAContextTheHelpWindowKnows) {
  size_t entries = 0;
  for (unsigned command = 0; command < kAllCommands; ++command) {
    MenuHelp h{};
    if (!MenuHelpFor(command, &h)) continue;
    ++entries;
    EXPECT_EQ(command, h.command);
    EXPECT_NE(0u, h.string) << command;
    const help::ContextEntry* known = help::NearestContext(h.context);
    ASSERT_NE(nullptr, known);
    EXPECT_EQ(h.context, known->context) << command << " opens a context no topic or family answers";
  }
  EXPECT_GT(entries, 0u);
}

// Items without an entry: the window list, the tool-bar commands, Express switch items without menu
// text, the first user program.
TEST(MenuHelpTest, CommandsWithoutMenuTextHaveNoEntry) {
  for (unsigned none : {IDM_WINDOW_CHILD_FIRST, IDM_SELECT_ALL_FOCUSED, IDM_PARENT_DIR, IDM_EX_ARJ_SWITCHES, IDM_TILE,
                        IDM_COMMENT_FILES_ALT1, IDM_APP_FIRST})
    EXPECT_FALSE(MenuHelpFor(none, nullptr)) << none;
}

// A tool-bar button that is also a menu item shows the item's hint as its tip.
TEST(MenuHelpTest, ToolTipOfAMenuCommandIsItsHint) {
  size_t tips = 0;
  for (unsigned command = 0; command < kAllCommands; ++command) {
    unsigned tip = ToolTipStringFor(command);
    if (!tip) continue;
    ++tips;
    MenuHelp h{};
    if (MenuHelpFor(command, &h)) EXPECT_EQ(h.string, tip) << command;
  }
  EXPECT_GT(tips, 0u);
  EXPECT_EQ(0u, ToolTipStringFor(IDM_SELECT_ALL_FILES));
  EXPECT_EQ(0u, ToolTipStringFor(IDM_SCAN_DIRECTORY)) << "the virus button scans the archive, not files";
}

}  // namespace
}  // namespace ql
