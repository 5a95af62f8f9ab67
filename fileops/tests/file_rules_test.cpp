// The platform-free rules of the file operations.
#include "fileops/file_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ql::DirLineKind;

TEST(FileRules, ClassifiesDirectoryListLines) {
  struct Case {
    const char* line;
    DirLineKind kind;
  } cases[] = {
      {"report.pdf\tREPORT.PDF\t12\t01/02/2001\t10:00a", DirLineKind::File},
      // Brackets inside or at the start of a file's name do not make it a directory.
      {"report[1].pdf\tREPORT~1.PDF\t12\t01/02/2001\t10:00a", DirLineKind::File},
      {"[draft].txt\t_DRAFT_.TXT\t5\t01/02/2001\t10:00a", DirLineKind::File},
      {"[old]\t[old]\t7\t01/02/2001\t10:00a", DirLineKind::File},
      {"[docs]\t[docs]\t", DirLineKind::Directory},
      {"[Long Name]\t[LONGNA~1]\t", DirLineKind::Directory},
      {"[..]\t[..]\t", DirLineKind::Parent},
      {"[-c-]\t[-c-]\t", DirLineKind::Drive},
      {"> File Comment: 10 4", DirLineKind::Marker},
      {"", DirLineKind::Empty},
  };
  for (const Case& c : cases) EXPECT_EQ(ql::ClassifyDirLine(c.line), c.kind) << c.line;
}

TEST(FileRules, PathsAndTargets) {
  struct Join {
    const char *dir, *name, *joined;
  } joins[] = {
      {"C:\\data", "a.txt", "C:\\data\\a.txt"},
      {"C:\\", "a.txt", "C:\\a.txt"},
      {"C:\\data\\", "a.txt", "C:\\data\\a.txt"},
      {"", "a.txt", "a.txt"},
  };
  for (const Join& j : joins) EXPECT_EQ(ql::JoinPath(j.dir, j.name), j.joined) << j.dir;

  struct Norm {
    const char *typed, *dir;
  } norms[] = {
      {"C:\\data\\", "C:\\data"}, {"  C:\\data  ", "C:\\data"}, {"C:\\", "C:\\"},
      {"C:", "C:\\"},             {"C:\\a\\\\", "C:\\a"},       {"", ""},
      {"sub\\", "sub"},
  };
  for (const Norm& n : norms) EXPECT_EQ(ql::NormalizeTargetDir(n.typed), n.dir) << n.typed;

  EXPECT_TRUE(ql::SameDirectoryText("C:\\Data\\", "c:\\data"));
  EXPECT_TRUE(ql::SameDirectoryText("C:", "C:\\"));
  EXPECT_FALSE(ql::SameDirectoryText("C:\\data", "C:\\data2"));
  EXPECT_EQ(ql::StripBrackets("[docs]"), "docs");
  EXPECT_EQ(ql::StripBrackets("report[1].pdf"), "report[1].pdf");
}

TEST(FileRules, ShortNamesOnPlainFat) {
  struct Case {
    const char *source, *target;
    bool shortName;
  } cases[] = {
      {"NTFS", "FAT", true}, {"FAT32", "FAT", true}, {"NTFS", "fat", true},   {"FAT", "FAT", false},
      {"NTFS", "NTFS", false}, {"FAT", "NTFS", false}, {"NTFS", "FAT32", false}, {"", "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ql::NeedsShortTargetName(c.source, c.target), c.shortName) << c.source << " -> " << c.target;
  EXPECT_EQ(ql::TargetFileName("Long Report.text", "LONGRE~1.TEX", "NTFS", "FAT"), "LONGRE~1.TEX");
  EXPECT_EQ(ql::TargetFileName("Long Report.text", "LONGRE~1.TEX", "NTFS", "NTFS"), "Long Report.text");
  // A name that already fits 8.3 has no separate short name.
  EXPECT_EQ(ql::TargetFileName("A.TXT", "", "NTFS", "FAT"), "A.TXT");

  struct Fit {
    const char* name;
    bool fits;
  } fits[] = {
      {"A.TXT", true},          {"README", true},         {"12345678.123", true}, {"123456789.TXT", false},
      {"A.TEXT", false},        {"A B.TXT", false},       {"A.B.C", false},      {".TXT", false},
      {"A.", false},            {"", false},              {"REPORT[1].PDF", false}, {"A+B.TXT", false},
      {"LONGRE~1.TEX", true},
  };
  for (const Fit& f : fits) EXPECT_EQ(ql::FitsShortName(f.name), f.fits) << f.name;
}

TEST(FileRules, NewNames) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {
      {"new.txt", true}, {"report[1].pdf", true}, {"Long Name With Blanks", true}, {"", false},  {"   ", false},
      {"a*.txt", false}, {"a?.txt", false},       {"a|b", false},                  {"a<b", false}, {"a\"b", false},
      {"a\tb", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ql::IsValidNewName(c.name), c.valid) << c.name;
}

TEST(FileRules, OverwriteDates) {
  struct Case {
    int y, mo, d, h, mi;
    const char* text;
  } cases[] = {
      {2001, 1, 2, 0, 15, "01/02/2001      00:15a"},  {2001, 1, 2, 11, 59, "01/02/2001      11:59a"},
      {2001, 1, 2, 12, 0, "01/02/2001      12:00p"},  {2001, 1, 2, 13, 5, "01/02/2001      01:05p"},
      {1999, 12, 31, 23, 59, "12/31/1999      11:59p"}, {0, 0, 0, 0, 0, "00/00/00      00:00a"},
  };
  for (const Case& c : cases) EXPECT_EQ(ql::OverwriteDateText(c.y, c.mo, c.d, c.h, c.mi), c.text);
}

TEST(FileRules, DragNamesShowSixThenDots) {
  EXPECT_EQ(ql::DragNamesText({}), "");
  EXPECT_EQ(ql::DragNamesText({"a", "b"}), "a b ");
  std::vector<std::string> eight{"1", "2", "3", "4", "5", "6", "7", "8"};
  EXPECT_EQ(ql::DragNamesText(eight), "1 2 3 4 5 6 ...");
  std::vector<std::string> six{"1", "2", "3", "4", "5", "6"};
  EXPECT_EQ(ql::DragNamesText(six), "1 2 3 4 5 6 ");
}

}  // namespace
