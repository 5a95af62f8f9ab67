#include "browser/dir_lines.h"

#include <gtest/gtest.h>

#include <chrono>

namespace ql {
namespace {

FoundEntry File(const char* name, uint32_t size = 1, int hour = 10, int minute = 0, const char* shortName = "") {
  FoundEntry e;
  e.longName = name;
  e.shortName = shortName;
  e.size = size;
  e.year = 1996;
  e.month = 7;
  e.day = 4;
  e.hour = hour;
  e.minute = minute;
  return e;
}

FoundEntry Dir(const char* name, const char* shortName = "") {
  FoundEntry e;
  e.longName = name;
  e.shortName = shortName;
  e.directory = true;
  return e;
}

TEST(DirectoryLineTest, TwelveHourClock) {
  struct Case {
    int hour, minute;
    const char* time;
  } cases[] = {{0, 15, "00:15a"}, {11, 59, "11:59a"}, {12, 15, "12:15p"}, {13, 5, "01:05p"}, {23, 59, "11:59p"}};
  for (const auto& c : cases) {
    std::string line = DirectoryFileLine("A.TXT", "", 42, 2001, 2, 3, c.hour, c.minute);
    EXPECT_EQ(line, std::string("A.TXT\tA.TXT\t42\t02/03/2001\t") + c.time) << c.hour << ":" << c.minute;
  }
}

TEST(DirectoryLineTest, LongAndShortNames) {
  EXPECT_EQ(DirectoryFileLine("Long name.text", "LONGNA~1.TEX", 4000000000u, 1999, 12, 31, 9, 7),
            "Long name.text\tLONGNA~1.TEX\t4000000000\t12/31/1999\t09:07a");
  EXPECT_EQ(DirectoryDirLine("Program Files", "PROGRA~1"), "[Program Files]\t[PROGRA~1]\t");
  EXPECT_EQ(DirectoryDirLine("src", ""), "[src]\t[src]\t");
  EXPECT_EQ(DriveLine('C'), "[-c-]\t[-c-]\t");
}

TEST(DirectoryLinesTest, GroupsInOrderParentFirstCaseIgnored) {
  DirectoryLines d;
  d.AddEntry(File("zeta.zip", 10));
  d.AddEntry(Dir("beta"));
  d.AddEntry(File("Alpha.arj", 20));
  d.AddDrive('z');
  d.AddEntry(Dir("!first"));
  d.AddEntry(Dir(".."));
  d.AddEntry(Dir("."));
  d.AddEntry(File("alpha.zip", 30));
  d.AddDrive('C');
  d.AddEntry(Dir("Alpha"));
  auto lines = d.Finish();
  std::vector<std::string> names;
  for (auto& l : lines) names.push_back(l.substr(0, l.find('\t')));
  EXPECT_EQ(names, (std::vector<std::string>{"[-c-]", "[-z-]", "[..]", "[!first]", "[Alpha]", "[beta]",
                                             "Alpha.arj", "alpha.zip", "zeta.zip"}));
  EXPECT_EQ(d.totalBytes(), 60u);
  // "." is passed over; everything else counts as a raw item.
  EXPECT_EQ(d.itemCount(), 9);
}

TEST(DirectoryLinesTest, EqualLinesKeepArrivalOrder) {
  DirectoryLines d;
  // Same line but for letter case: the one that came first stays first.
  d.AddEntry(File("readme", 5, 10, 0, "B"));
  d.AddEntry(File("README", 5, 10, 0, "b"));
  d.AddEntry(File("Readme", 5, 10, 0, "B"));
  auto lines = d.Finish();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 7), "readme\t");
  EXPECT_EQ(lines[1].substr(0, 7), "README\t");
  EXPECT_EQ(lines[2].substr(0, 7), "Readme\t");
}

TEST(DirectoryLinesTest, BigFilesShowWholeTotalWrapsAtThirtyTwoBits) {
  DirectoryLines d;
  FoundEntry big = File("big.iso", 0);
  big.size = 0x1'0000'0005ull;  // 4 GB and 5 bytes
  d.AddEntry(big);
  d.AddEntry(File("a", 0xFFFFFFF0u));
  d.AddEntry(File("b", 0x20));
  auto lines = d.Finish();
  EXPECT_EQ(lines[2].substr(0, 20), "big.iso\tbig.iso\t4294");
  EXPECT_NE(lines[2].find("\t4294967301\t"), std::string::npos);
  EXPECT_EQ(d.totalBytes(), 0x15u);
}

TEST(DirectoryLinesTest, FiftyThousandFilesSortQuickly) {
  // A quadratic insertion would take minutes here even without sanitizers; the benchmark measures it.
  DirectoryLines d;
  for (int i = 50000; i > 0; --i) {
    char name[32];
    snprintf(name, sizeof name, "file%05d.dat", (i * 7919) % 50000);
    d.AddEntry(File(name, i));
  }
  auto lines = d.Finish();
  ASSERT_EQ(lines.size(), 50000u);
  for (size_t i = 1; i < lines.size(); ++i) ASSERT_FALSE(LineLess(lines[i], lines[i - 1])) << i;
}

TEST(MaskPatternTest, SplitsAndJoins) {
  EXPECT_EQ(SplitMaskPatterns("*.zip; *.arj"), (std::vector<std::string>{"*.zip", "*.arj"}));
  EXPECT_EQ(SplitMaskPatterns("  *.*"), (std::vector<std::string>{"*.*"}));
  EXPECT_EQ(SplitMaskPatterns(";;a*;"), (std::vector<std::string>{"a*"}));
  EXPECT_TRUE(SplitMaskPatterns("").empty());
  EXPECT_EQ(JoinDirPattern("C:\\", "*.*"), "C:\\*.*");
  EXPECT_EQ(JoinDirPattern("C:\\work", "*.zip"), "C:\\work\\*.zip");
  EXPECT_TRUE(IsDriveRoot("c:\\"));
  EXPECT_FALSE(IsDriveRoot("c:\\x"));
  EXPECT_FALSE(IsDriveRoot("\\\\"));
}

TEST(StatusTextTest, Totals) {
  EXPECT_EQ(DirTotalsText(12345, 7), "12345 Bytes In 7 Files.");
  EXPECT_EQ(ArchiveTotalsText(3, 250, 1000), "3 Files at 75.0%");
  EXPECT_EQ(ArchiveTotalsText(0, 0, 0), "0 Files at 0.0%");
  EXPECT_EQ(ArchiveTotalsText(1, 120, 100), "1 Files at -20.0%");
}

}  // namespace
}  // namespace ql
