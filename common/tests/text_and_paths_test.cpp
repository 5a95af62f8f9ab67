#include "common/text_and_paths.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(TextAndPaths, CaseAndBlanks) {
  EXPECT_EQ("READ ME.TXT", Upper("read Me.txt"));
  EXPECT_EQ("\x84\xE9", Upper("\x84\xE9")) << "bytes above ASCII stay as they are";
  EXPECT_EQ('Q', UpperAscii('q'));
  EXPECT_EQ('[', UpperAscii('['));
  EXPECT_TRUE(EqualNoCase("Manager", "MANAGER"));
  EXPECT_FALSE(EqualNoCase("Manager", "Managers"));
  EXPECT_FALSE(EqualNoCase("\xE9", "\xC9")) << "only ASCII letters fold";
  EXPECT_EQ("a b", Trim(" \ta b\t "));
  EXPECT_EQ("", Trim(" \t "));
}

TEST(TextAndPaths, DirectoryAndDrive) {
  struct Case {
    const char* path;
    const char* directory;
    char drive;
  };
  const Case cases[] = {
      {"C:\\DIR\\FILE.ZIP", "C:\\DIR", 'C'}, {"c:\\FILE.ZIP", "c:\\", 'C'}, {"c:/dir/file", "c:/dir", 'C'},
      {"FILE.ZIP", "", 0},                    {"\\\\SERVER\\SHARE\\F", "\\\\SERVER\\SHARE", 0},
      {"1:\\F", "1:\\", 0},                   {"", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.directory, DirectoryOf(c.path)) << c.path;
    EXPECT_EQ(c.drive, DriveLetterOf(c.path)) << c.path;
  }
}

}  // namespace
}  // namespace ql
