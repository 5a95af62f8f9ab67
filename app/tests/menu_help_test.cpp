#include "app/menu_help.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(MenuHelpTest, StringsAndContexts) {
  struct Case {
    unsigned command, string, context;
  } cases[] = {
      {900, 2001, 7016}, {906, 2019, 2003}, {913, 2026, 7024}, {952, 2012, 2003}, {973, 2023, 7061},
      {983, 2036, 7031}, {984, 2037, 7031}, {985, 2039, 7031}, {986, 2038, 7031}, {987, 2040, 7031},
      {988, 2041, 7031}, {1009, 2069, 7087}, {1010, 2070, 7087}, {1013, 2075, 7001}, {1026, 2002, 7058},
      {1027, 2003, 7057}, {1052, 2080, 7087}, {4000, 2001, 7043}, {4004, 2019, 2003}, {4006, 2022, 7046},
      {4025, 2043, 7051}, {4027, 2045, 7052}, {4031, 2056, 7084}, {4032, 2057, 7083}, {4042, 2020, 7045},
  };
  for (const auto& c : cases) {
    MenuHelp h{};
    ASSERT_TRUE(MenuHelpFor(c.command, &h)) << c.command;
    EXPECT_EQ(h.string, c.string) << c.command;
    EXPECT_EQ(h.context, c.context) << c.command;
  }
  // Items without an entry: the window list, the tool-bar commands, Express switch items without menu text.
  for (unsigned none : {5100u, 166u, 1054u, 4011u, 955u, 916u, 6000u}) EXPECT_FALSE(MenuHelpFor(none, nullptr)) << none;
}

TEST(MenuHelpTest, ToolTips) {
  struct Case {
    unsigned command, string;
  } cases[] = {{900, 2001}, {972, 2004}, {907, 2020}, {908, 2021}, {961, 2023}, {166, 2026},
               {974, 2011}, {1030, 2048}, {998, 2055}, {1031, 2050}, {169, 2081}, {1052, 2080},
               {1012, 2074}, {1054, 2085}, {1055, 2083}, {1056, 2084}};
  for (const auto& c : cases) EXPECT_EQ(ToolTipStringFor(c.command), c.string) << c.command;
  EXPECT_EQ(ToolTipStringFor(903), 0u);
  EXPECT_EQ(ToolTipStringFor(982), 0u);  // the virus button scans the archive (1030), not files
}

}  // namespace
}  // namespace ql
