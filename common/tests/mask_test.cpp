#include <gtest/gtest.h>

#include "common/mask.h"

namespace {

struct MaskCase {
  const char* name;
  const char* mask;
  bool match;
};

const MaskCase kCases[] = {
    {"REPORT.ZIP", "*.ZIP", true},
    {"report.zip", "*.ZIP", true},
    {"C:\\DATA\\report.Zip", "*.zip", true},
    {"REPORT.ARJ", "*.ZIP", false},
    {"BACKUP.A01", "*.A0?", true},
    {"BACKUP.A1", "*.A0?", false},
    {"BACKUP.A0", "*.A0?", true},  // '?' passes over nothing at the end
    {"README", "*.*", true},
    {"README.TXT", "*.*", true},
    {"README", "*", true},
    {"README.TXT", "*", false},
    {".profile", "*.*", false},  // empty base never matches
    {"A.TXT", ".TXT", false},
    {"REPORT1.DOC", "REPORT?.*", true},
    {"REPORT12.DOC", "REPORT?.*", false},
    {"REPORT.DOC", "REPORT?.*", true},
    {"ABC.TXT", "A*Z.TXT", true},  // '*' takes the rest of the base
    {"ABC.TXT", "ABCD.TXT", false},
    {"ABCD.TXT", "ABC.TXT", false},
    {"A.TXT", "A", false},
    {"A", "A.TXT", false},
    {"SUB\\A.TXT", "SUB\\*.TXT", true},
    {"sub/a.txt", "SUB\\*.TXT", true},
    {"OTHER\\A.TXT", "SUB\\*.TXT", false},
    {"A.TXT", "SUB\\*.TXT", false},
    {"SUB\\A.TXT", "*.TXT", true},  // no directory in the mask: any directory
    {"archive.tar.gz", "*.GZ", true},
    {"archive.tar.gz", "*.TAR", false},
    {"", "*.*", false},
};

TEST(MatchFileMask, Table) {
  for (const MaskCase& c : kCases)
    EXPECT_EQ(c.match, ql::MatchFileMask(c.name, c.mask)) << c.name << " vs " << c.mask;
}

}  // namespace
