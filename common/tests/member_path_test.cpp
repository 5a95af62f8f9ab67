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

namespace {

// The plain-buffer form the self-extractor uses: the same answers, a bounded output.
TEST(SafeMemberPath, PlainBufferFormGivesTheSameAnswersWithinItsRoom) {
  char clean[16];
  const char* why = nullptr;
  ASSERT_TRUE(ql::SafeMemberPath("./sub\\\\a.txt", 12, clean, sizeof clean, &why));
  EXPECT_STREQ(clean, "sub/a.txt");
  // Exactly room for "sub/a.txt" and its terminator, then one byte less.
  EXPECT_TRUE(ql::SafeMemberPath("sub/a.txt", 9, clean, 10, &why));
  EXPECT_FALSE(ql::SafeMemberPath("sub/a.txt", 9, clean, 9, &why));
  EXPECT_STREQ(clean, "");
  // The size counts, not a terminator: a NUL inside the name is a control character.
  EXPECT_FALSE(ql::SafeMemberPath("a\0b", 3, clean, sizeof clean, &why));
  EXPECT_STREQ(why, "control character in name");
  EXPECT_FALSE(ql::SafeMemberPath("ok/../x", 7, clean, sizeof clean, &why));
  EXPECT_STREQ(clean, "");
}

}  // namespace
