#include "browser/gauge_rules.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(GaugeRulesTest, PercentAndText) {
  struct Case {
    unsigned position, range, percent;
    const char* text;
  } cases[] = {
      {0, 1, 0, "  0%"},         {7, 100, 7, "  7%"},         {1, 3, 33, " 33%"},
      {2, 3, 66, " 66%"},        {5, 5, 100, "100%"},         {5, 0, 500, "500%"},  // a range of 0 counts as 1
      {50000000, 100000000, 50, " 50%"},  // position × 100 does not wrap at 32 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.percent, GaugePercent(c.position, c.range)) << c.position << "/" << c.range;
    EXPECT_EQ(c.text, GaugePercentText(GaugePercent(c.position, c.range))) << c.position << "/" << c.range;
  }
}

TEST(GaugeRulesTest, BarReachesItsShareOfTheInnerRightEdge) {
  struct Case {
    int left, right;
    unsigned position, range;
    int bar;
  } cases[] = {
      {1, 199, 0, 10, 1},      // empty: the bar ends where it starts
      {1, 199, 5, 10, 99},     // 199 × 0.5 = 99.5, truncated
      {1, 199, 10, 10, 199},   // full
      {1, 199, 30, 10, 199},   // past the range: full, not beyond
      {1, 199, 1, 0, 199},     // a range of 0 counts as 1
      {1, 99, 1, 3, 33},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.bar, GaugeBarRight(c.left, c.right, c.position, c.range)) << c.position << "/" << c.range;
}

}  // namespace
}  // namespace ql
