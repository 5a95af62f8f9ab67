// The platform-free rules of the Applications and Macros menus.
#include "integration/user_menu_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(UserMenuRules, SlotRangesAreExactlySixteenAndThirtySix) {
  struct Case {
    unsigned command;
    int app, macro;
  } cases[] = {{5999, 0, 0}, {6000, 1, 0}, {6015, 16, 0}, {6016, 0, 0}, {6099, 0, 0},
               {6100, 0, 1}, {6135, 0, 36}, {6136, 0, 0}, {0, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ql::SlotOfCommand(ql::kApplicationsMenu, c.command), c.app) << c.command;
    EXPECT_EQ(ql::SlotOfCommand(ql::kMacrosMenu, c.command), c.macro) << c.command;
  }
  EXPECT_EQ(ql::SlotKey(ql::kApplicationsMenu, 3), "App3");
  EXPECT_EQ(ql::SlotKey(ql::kMacrosMenu, 36), "Macro36");
  EXPECT_EQ(ql::RunMinKey(7), "RunMin7");
}

TEST(UserMenuRules, FindsSlotsByTextAndFreeSlots) {
  std::vector<std::string> texts{"Edit", "", "Zip it", "Edit", ""};
  EXPECT_EQ(ql::FirstFreeSlot(texts), 2);
  EXPECT_EQ(ql::FirstFreeSlot({"a", "b"}), 0);
  EXPECT_EQ(ql::SlotWithText(texts, "Edit"), 1);
  EXPECT_EQ(ql::SlotWithText(texts, "Zip it"), 3);
  EXPECT_EQ(ql::SlotWithText(texts, ""), 0) << "an empty text names no slot";
  EXPECT_EQ(ql::SlotWithText(texts, "edit"), 0);
  EXPECT_EQ(ql::SlotsWithText(texts, "Edit"), (std::vector<int>{1, 4}));
}

TEST(UserMenuRules, MenuFollowsTheListOrder) {
  std::vector<std::string> slots{"Zeta", "", "Alpha", "Alpha"};
  std::vector<ql::UserMenuItem> items = ql::MenuFromList(ql::kMacrosMenu, {"Alpha", "Gone", "Zeta"}, slots);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "Alpha");
  EXPECT_EQ(items[0].command, 6102u);
  EXPECT_EQ(items[1].text, "Zeta");
  EXPECT_EQ(items[1].command, 6100u);
  EXPECT_TRUE(ql::MenuFromList(ql::kApplicationsMenu, {}, slots).empty());
}

TEST(UserMenuRules, CommandLineQuotesAProgramWithBlanks) {
  EXPECT_EQ(ql::SlotCommandLine("C:\\TOOLS\\REC.EXE", "-v x"), "C:\\TOOLS\\REC.EXE -v x");
  EXPECT_EQ(ql::SlotCommandLine("C:\\My Tools\\rec.exe", "-v"), "\"C:\\My Tools\\rec.exe\" -v");
  EXPECT_EQ(ql::SlotCommandLine("\"C:\\My Tools\\rec.exe\"", ""), "\"C:\\My Tools\\rec.exe\" ");
}

}  // namespace
