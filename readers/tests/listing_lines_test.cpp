// Building listing lines and reading them back.
#include <gtest/gtest.h>

#include "readers/listing_lines.h"

namespace {

uint16_t DosDate(int y, int m, int d) { return static_cast<uint16_t>(((y - 1980) << 9) | (m << 5) | d); }
uint16_t DosTime(int h, int m) { return static_cast<uint16_t>((h << 11) | (m << 5)); }

struct ZipLineCase {
  const char* what;
  const char* name;
  uint64_t length, size;
  int y, mo, d, h, mi;
  const char* expected;
};

TEST(ListingLines, ZipFileLines) {
  const ZipLineCase cases[] = {
      {"example", "DOCS\\README.TXT", 1234, 567, 1996, 4, 15, 21, 5,
       "DOCS\\README.TXT\tDOCS\\README.TXT\t1234\t567\t55%\t04-15-96\t 9:05p"},
      {"empty entry", "E", 0, 0, 1996, 4, 15, 9, 5, "E\tE\t0\t0\t00%\t04-15-96\t 9:05a"},
      {"half past midnight 2001, two digits of the year", "N", 10, 10, 2001, 1, 1, 0, 30, "N\tN\t10\t10\t00%\t01-01-01\t12:30a"},
      {"noon", "N", 10, 5, 2001, 1, 1, 12, 0, "N\tN\t10\t5\t50%\t01-01-01\t12:00p"},
      {"one minute to midnight", "N", 3, 1, 1999, 12, 31, 23, 59, "N\tN\t3\t1\t67%\t12-31-99\t11:59p"},
      {"stored and encrypted grows", "N", 29, 41, 1996, 4, 15, 13, 0, "N\tN\t29\t41\t-41%\t04-15-96\t 1:00p"},
      {"grew by a little", "N", 100, 104, 1996, 4, 15, 1, 1, "N\tN\t100\t104\t-4%\t04-15-96\t 1:01a"},
      {"size times 100 beyond 32 bits", "N", 100000000, 50000000, 1996, 4, 15, 1, 1,
       "N\tN\t100000000\t50000000\t50%\t04-15-96\t 1:01a"},
      {"entries over 4 GB", "N", 5000000000ull, 4900000000ull, 2010, 6, 1, 10, 10,
       "N\tN\t5000000000\t4900000000\t02%\t06-01-10\t10:10a"},
  };
  for (const ZipLineCase& c : cases) {
    std::string line;
    ql::AppendZipFileLine(&line, c.name, c.length, c.size,
                          ql::DosStamp(DosDate(c.y, c.mo, c.d), DosTime(c.h, c.mi)));
    EXPECT_EQ(line, c.expected) << c.what;
  }
}

TEST(ListingLines, ArjFileLinesUseFourDigitYearsAndMidnightAsZero) {
  struct {
    int h, mi;
    const char* time;
  } cases[] = {{0, 7, "00:07a"}, {11, 59, "11:59a"}, {12, 30, "12:30p"}, {23, 59, "11:59p"}, {13, 0, "01:00p"}};
  for (const auto& c : cases) {
    std::string line;
    ql::AppendArjFileLine(&line, "A.TXT", 3000000000u, 12, ql::DosStamp(DosDate(1996, 4, 15), DosTime(c.h, c.mi)));
    EXPECT_EQ(line, std::string("A.TXT\tA.TXT\t3000000000\t12\t04/15/1996\t") + c.time);
  }
}

TEST(ListingLines, DosStampKeepsImpossibleFieldsAsStored) {
  ql::Stamp s = ql::DosStamp(0, 0);
  EXPECT_EQ(s.year, 1980);
  EXPECT_EQ(s.month, 0);
  EXPECT_EQ(s.day, 0);
  std::string line;
  ql::AppendArjFileLine(&line, "A", 1, 1, s);
  EXPECT_EQ(line, "A\tA\t1\t1\t00/00/1980\t00:00a");
}

TEST(ListingLines, RatioNeverWraps) {
  EXPECT_EQ(ql::ZipRatio(0, 0), 0);
  EXPECT_EQ(ql::ZipRatio(0, 12), 0);
  EXPECT_EQ(ql::ZipRatio(1000, 0), 100);
  EXPECT_EQ(ql::ZipRatio(3, 1), 67);  // truncating division
  EXPECT_EQ(ql::ZipRatio(4294967295ull, 42949673ull), 99);
  EXPECT_EQ(ql::ZipRatio(1, 1000), -99900);
  EXPECT_LT(ql::ZipRatio(1, UINT64_MAX), 0);
  EXPECT_NEAR(ql::ZipRatio(UINT64_MAX, UINT64_MAX / 2), 50, 1);
  EXPECT_EQ(ql::ZipRatio(1ull << 40, 1ull << 39), 50);
}

TEST(ListingLines, MarkerAndReferenceLines) {
  EXPECT_EQ(ql::ReferenceLine("File Comment", 3361, 14), "> File Comment: 3361 14");
  EXPECT_EQ(ql::ReferenceLine("Title Comment", 0, 5000), "> Title Comment: 0 5000");
  EXPECT_EQ(ql::MarkerLine("Volume Label", "QLDISK"), "> Volume Label: QLDISK");
}

struct ReadBackCase {
  const char* line;
  const char* longName;   // nullptr: none
  const char* shortName;  // nullptr: none
  int64_t size;
  const char* firstField;
};

TEST(ListingLines, ReadingFieldsBack) {
  const ReadBackCase cases[] = {
      {"DOCS\\README.TXT\tDOCS\\README.TXT\t1234\t567\t55%\t04-15-96\t 9:05p", "DOCS\\README.TXT",
       "DOCS\\README.TXT", 1234, "DOCS\\README.TXT"},
      {"Program Files\tPROGRA~1\t4096\t04/15/1996\t09:05p", "Program Files", "PROGRA~1", 4096, "Program Files"},
      {"[Program Files]\t[PROGRA~1]\t", "[Program Files]", "[PROGRA~1]", 0, "[Program Files]"},
      {"[..]\t[..]\t", "[..]", "[..]", 0, "[..]"},
      {"[-c-]\t[-c-]\t", "[-c-]", "[-c-]", 0, "[-c-]"},
      {"> File Comment: 3361 14", nullptr, nullptr, 0, "> File Comment: 3361 14"},
      {"ONE\tFIELD", "ONE", nullptr, 0, "ONE"},
      {"A\tB\tnot a number\t", "A", "B", 0, "A"},
      {"A\tB\t3000000000\t", "A", "B", 3000000000ll, "A"},
      {"A\tB\t12", "A", "B", 0, "A"},  // no third tab
      {"", nullptr, nullptr, 0, ""},
  };
  for (const ReadBackCase& c : cases) {
    SCOPED_TRACE(c.line);
    auto l = ql::LineLongName(c.line);
    auto s = ql::LineShortName(c.line);
    EXPECT_EQ(l.has_value(), c.longName != nullptr);
    if (l && c.longName) EXPECT_EQ(*l, c.longName);
    EXPECT_EQ(s.has_value(), c.shortName != nullptr);
    if (s && c.shortName) EXPECT_EQ(*s, c.shortName);
    EXPECT_EQ(ql::LineSizeField(c.line), c.size);
    EXPECT_EQ(ql::LineFirstField(c.line), c.firstField);
    EXPECT_EQ(ql::LineSelectedName(c.line, false), c.longName ? c.longName : c.line);
    EXPECT_EQ(ql::LineSelectedName(c.line, true), c.shortName ? c.shortName : c.line);
  }
}

// A member line may end with a reference to the member's real name: operations hand that on, the
// drawing and printing leave it out, and no other line is taken for one.
TEST(ListingLines, MemberReferencesAtTheEndOfALine) {
  std::string line;
  ql::AppendZipFileLine(&line, "?.txt", 4, 4, ql::DosStamp(0x5A61, 0x6000));
  const std::string shown = line;
  ql::AppendMemberReference(&line, "π.txt");
  EXPECT_EQ(line, shown + "\t:CF802E747874");
  ASSERT_TRUE(ql::LineMemberReference(line));
  EXPECT_EQ(*ql::LineMemberReference(line), ":CF802E747874");
  EXPECT_EQ(ql::LineWithoutReference(line), shown);
  EXPECT_EQ(ql::LineMemberName(line, false), ":CF802E747874");
  EXPECT_EQ(ql::LineMemberName(line, true), ":CF802E747874");
  EXPECT_EQ(ql::LineFirstField(line), "?.txt");
  EXPECT_EQ(ql::LineSizeField(line), 4);
  // Lines without one, also those whose name looks like one.
  for (const char* other : {"p.txt\tp.txt\t9\t9\t0%\t03-01-26\t12:00p", ":CF80\t:CF80\t1\t1\t0%\t03-01-26\t12:00p",
                            "[:CF80]\t[:CF80]\t", "> File Comment: :CF80", ":CF80\tx"}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(ql::LineMemberReference(other));
    EXPECT_EQ(ql::LineWithoutReference(other), other);
    EXPECT_EQ(ql::LineMemberName(other, false), ql::LineSelectedName(other, false));
  }
}

TEST(ListingLines, DirectoryParentAndDriveLines) {
  struct {
    const char* line;
    const char* directory;  // nullptr: none
    char drive;
    bool parent;
  } cases[] = {
      {"[Program Files]\t[PROGRA~1]\t", "Program Files", 0, false},
      {"[..]\t[..]\t", "..", 0, true},
      {"[-c-]\t[-c-]\t", nullptr, 'c', false},
      {"README\tREADME\t12\t", nullptr, 0, false},
      {"> Directory: DOCS", nullptr, 0, false},
      {"[unclosed", nullptr, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto dir = ql::LineDirectoryName(c.line);
    EXPECT_EQ(dir.has_value(), c.directory != nullptr);
    if (dir && c.directory) EXPECT_EQ(*dir, c.directory);
    EXPECT_EQ(ql::LineDriveLetter(c.line), c.drive);
    EXPECT_EQ(ql::IsParentLine(c.line), c.parent);
  }
}

TEST(ListingLines, CommentReferences) {
  uint64_t offset = 0, length = 0;
  EXPECT_TRUE(ql::LineCommentReference("> File Comment: 3361 14", &offset, &length));
  EXPECT_EQ(offset, 3361u);
  EXPECT_EQ(length, 14u);
  EXPECT_TRUE(ql::LineCommentReference("> Title: 38 18", &offset, &length));
  EXPECT_EQ(offset, 38u);
  EXPECT_EQ(length, 18u);
  EXPECT_TRUE(ql::LineCommentReference("> Title Comment: 3596 5000", &offset, &length));
  EXPECT_EQ(length, 5000u);
  // Printed forms and markers carry text, not numbers.
  EXPECT_FALSE(ql::LineCommentReference("> File Comment: Readme comment", &offset, &length));
  EXPECT_FALSE(ql::LineCommentReference("> Directory: DOCS", &offset, &length));
  EXPECT_FALSE(ql::LineCommentReference("> Title Comment: 12", &offset, &length));
  EXPECT_FALSE(ql::LineCommentReference("A\tB\t12\t", &offset, &length));
  EXPECT_FALSE(ql::LineCommentReference("> File Comment: 99999999999999999999999 1", &offset, &length));
}

}  // namespace
