#include "common/recent_list.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentList, FloppyDrivesAreAAndBOnly) {
  struct Case {
    const char* path;
    bool floppy;
  } cases[] = {{"A:\\", true},  {"b:\\data", true}, {"A:", true},     {"C:\\A", false},
               {"\\\\A\\share", false}, {"A", false}, {"", false},      {"AB:\\x", false}};
  for (const Case& c : cases) EXPECT_EQ(c.floppy, ql::OnFloppyDrive(c.path)) << c.path;
}

TEST(RecentList, ChoosesTheNewestEntryOffTheFloppies) {
  struct Case {
    std::vector<std::string> values;
    size_t index;
    bool remembered;
  } cases[] = {
      {{"C:\\NEW", "D:\\OLD"}, 0, false},
      {{"A:\\", "C:\\NEW", "D:\\OLD"}, 1, false},       // the newest is on a floppy
      {{"a:\\x", "B:\\y", "E:\\Z"}, 2, false},
      {{"A:\\", "", "C:\\x"}, 1, true},                 // the first one off the floppies has no value
      {{"A:\\", "B:\\"}, 2, true},                      // key 3 has no value
      {{}, 0, true},                                    // an empty list shows the text it had
  };
  for (const Case& c : cases) {
    ql::RecentChoice r = ql::ChooseRecentEntry(c.values, 10);
    EXPECT_EQ(c.index, r.index) << (c.values.empty() ? "" : c.values[0]);
    EXPECT_EQ(c.remembered, r.remembered) << (c.values.empty() ? "" : c.values[0]);
  }
}

TEST(RecentList, EveryEntryOnAFloppyShowsTheNewest) {
  std::vector<std::string> all(10, "A:\\");
  ql::RecentChoice r = ql::ChooseRecentEntry(all, 10);
  EXPECT_EQ(0u, r.index);
  EXPECT_FALSE(r.remembered);
  r = ql::ChooseRecentEntry({"", "A:\\"}, 2);
  EXPECT_EQ(0u, r.index);
  EXPECT_TRUE(r.remembered);
}

}  // namespace
