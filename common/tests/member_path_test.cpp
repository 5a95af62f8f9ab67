#include <gtest/gtest.h>

#include "common/member_path.h"

namespace {

// The one rule both extractors share; their own tests run it through their programs.
TEST(SafeMemberPath, RefusesWhatCouldLandOutsideTheTarget) {
  struct Case {
    const char* name;
    const char* clean;  // nullptr: refused
  } cases[] = {
      {"a.txt", "a.txt"},           {"sub\\c.txt", "sub/c.txt"},   {"./x//./y", "x/y"},
      {"a..b", "a..b"},             {"console.txt", "console.txt"}, {"com10", "com10"},
      {"../evil", nullptr},         {"a/../../evil", nullptr},     {"/etc/passwd", nullptr},
      {"\\\\srv\\share\\x", nullptr}, {"C:x.txt", nullptr},         {"f.txt:stream", nullptr},
      {"CON", nullptr},             {"sub/nul.txt", nullptr},      {"aux .txt", nullptr},
      {"LPT9.log", nullptr},        {"trailing.", nullptr},        {"trailing ", nullptr},
      {"...", nullptr},             {"q?.txt", nullptr},           {"bell\a", nullptr},
      {"", nullptr},                {"./", nullptr},
  };
  for (const Case& c : cases) {
    std::string clean, why;
    bool ok = ql::SafeMemberPath(c.name, clean, why);
    EXPECT_EQ(c.clean != nullptr, ok) << c.name << " -> " << clean;
    if (c.clean) EXPECT_EQ(c.clean, clean) << c.name;
    if (!c.clean) EXPECT_FALSE(why.empty()) << c.name;
  }
}

}  // namespace
