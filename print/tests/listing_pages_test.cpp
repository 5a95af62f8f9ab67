#include "print/listing_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

constexpr const char* kPath = R"(C:\ARC\BIG.ZIP)";

// A listing file as it is written: title, empty line, the two headings, `entries` entry lines and
// the totals line.
std::vector<std::string> ListingFile(ListingKind kind, int entries) {
  std::vector<std::string> lines = {ListingTitleLine(kPath) + "\r", "\r", std::string(ListingHeading(kind)) + "\r",
                                    std::string(ListingDashes(kind)) + "\r"};
  for (int i = 0; i < entries; ++i) {
    std::string n = "FILE" + std::to_string(i) + ".TXT";
    lines.push_back(kind == ListingKind::Zip ? n + "\t" + n + "\t100\t40\t60%\t01-02-96\t 3:04p\r"
                                             : n + "\t" + n + "\t100\t40\t01/02/1996\t03:04p\r");
  }
  lines.push_back(ListingTotalsLine({static_cast<uint64_t>(entries), 40u * entries, 100u * entries}) + "\r");
  return lines;
}

std::string TextAt(const ListingPage& page, int row) {
  for (const PageLine& l : page.lines)
    if (l.row == row) return l.text;
  return "(no line)";
}

int MaxRow(const ListingPage& page) {
  int m = 0;
  for (const PageLine& l : page.lines) m = std::max(m, l.row);
  return m;
}

TEST(ListingLines, WhatEachLinePrintsAs) {
  struct Case {
    const char* line;
    const char* printed;
  } cases[] = {
      {"LONG NAME.TXT\tLONGNA~1.TXT\t100\t40\t60%\t01-02-96\t 3:04p\r", "LONGNA~1.TXT\t100\t40\t60%\t01-02-96\t 3:04p"},
      {"A.TXT\tA.TXT\t5\t5\t01/02/1996\t03:04p", "A.TXT\t5\t5\t01/02/1996\t03:04p"},
      {"Name\t Length\t Size\tRatio\t Date\t Time\r", "Name\t Length\t Size\tRatio\t Date\t Time"},
      {"---------------\t-------\t------\t-----\t------\t------", "---------------\t-------\t------\t-----\t------\t------"},
      {"Filename\tLength\t Size\t Date\t Time", "Filename\tLength\t Size\t Date\t Time"},
      {"---------------\t-------\t-------\t--------\t------", "---------------\t-------\t-------\t--------\t------"},
      {"File Listing For C:\\A.ZIP:\r", "File Listing For C:\\A.ZIP:"},
      {"\r", ""},
      {"> File Comment: two\tcolumns\r", "> File Comment: two\tcolumns"},
      {"3 Files, Comp: 1 /  Size: 2 Bytes, 50.0%", "3 Files, Comp: 1 /  Size: 2 Bytes, 50.0%"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.printed, PrintedText(c.line)) << c.line;
}

TEST(ListingLines, SplitAtLineFeeds) {
  EXPECT_EQ((std::vector<std::string>{"a\r", "", "b\tc\r", "last"}), SplitListingLines("a\r\n\nb\tc\r\nlast"));
  EXPECT_EQ((std::vector<std::string>{"a\r"}), SplitListingLines("a\r\n"));
  EXPECT_TRUE(SplitListingLines("").empty());
}

TEST(ListingTotals, LineAndSaving) {
  struct Case {
    ListingTotals totals;
    const char* line;
  } cases[] = {
      {{100, 4000, 10000}, "100 Files, Comp: 4000 /  Size: 10000 Bytes, 60.0%"},
      {{2, 0, 0}, "2 Files, Comp: 0 /  Size: 0 Bytes, 0.0%"},
      {{1, 150, 100}, "1 Files, Comp: 150 /  Size: 100 Bytes, -50.0%"},
      {{3, 1, 3}, "3 Files, Comp: 1 /  Size: 3 Bytes, 66.7%"},
      {{1, 5000000000ull, 10000000000ull}, "1 Files, Comp: 5000000000 /  Size: 10000000000 Bytes, 50.0%"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.line, ListingTotalsLine(c.totals));
}

TEST(ListingTotals, CountedFromTheEntryLines) {
  std::vector<std::string> lines = ListingFile(ListingKind::Zip, 3);
  lines.insert(lines.begin() + 5, "> File Comment: 12\t34\t56\r");
  lines.push_back("ODD\tLINE\tx\t1");
  ListingTotals t = TotalsOfEntryLines(lines);
  EXPECT_EQ(3u, t.files);
  EXPECT_EQ(300u, t.uncompressed);
  EXPECT_EQ(120u, t.compressed);
  t = TotalsOfEntryLines(ListingFile(ListingKind::Arj, 2));
  EXPECT_EQ(2u, t.files);
  EXPECT_EQ(200u, t.uncompressed);
  EXPECT_EQ(80u, t.compressed);
}

TEST(ListingLayout, KindsAndTabStops) {
  EXPECT_EQ(ListingKind::Zip, ListingKindOfName(R"(C:\A\B.zip)"));
  EXPECT_EQ(ListingKind::Zip, ListingKindOfName(R"(C:\A\SETUP.EXE)"));
  EXPECT_EQ(ListingKind::Arj, ListingKindOfName(R"(C:\A\B.ARJ)"));
  EXPECT_EQ(ListingKind::Arj, ListingKindOfName(R"(C:\A\B.A01)"));
  EXPECT_EQ(17, ListingTabStops(ListingKind::Zip).front());
  EXPECT_EQ(5u, ListingTabStops(ListingKind::Zip).size());
  EXPECT_EQ(34, ListingTabStops(ListingKind::Arj).front());
  EXPECT_EQ(4u, ListingTabStops(ListingKind::Arj).size());
}

// Page 1 holds the file's lines on rows 1 to L - 6; every later page repeats the title and the
// headings and continues below them; a page is started only for a line that needs it.
TEST(ListingLayout, PagesAndTheirHeadings) {
  struct Case {
    ListingKind kind;
    int fileLines;  // lines of the listing file
    int linesPerPage;
    size_t pages;
  } cases[] = {
      {ListingKind::Zip, 24, 30, 1},  // exactly the usable rows
      {ListingKind::Zip, 25, 30, 2},  // one more
      {ListingKind::Arj, 24, 30, 1},
      {ListingKind::Arj, 25, 30, 2},
      {ListingKind::Zip, 105, 30, 6},  // 24 + 5 * 19 (a later page holds rows 6 to 24)
      {ListingKind::Arj, 104, 30, 5},  // 24 + 4 * 20 (rows 5 to 24)
      {ListingKind::Zip, 105, 66, 2},
      {ListingKind::Zip, 5, 12, 1},  // the smallest page
      {ListingKind::Arj, 4, 60, 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = ListingFile(c.kind, 0);
    lines.resize(static_cast<size_t>(c.fileLines), "X\tX\t1\t1\r");
    std::vector<ListingPage> pages = LayOutListing(lines, c.kind, kPath, c.linesPerPage);
    ASSERT_EQ(c.pages, pages.size()) << c.fileLines << " lines on " << c.linesPerPage;
    size_t printed = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
      const ListingPage& p = pages[i];
      EXPECT_EQ(static_cast<int>(i + 1), p.number);
      EXPECT_LE(MaxRow(p), UsableRows(c.linesPerPage)) << "page " << p.number;
      EXPECT_EQ(std::string("File Listing For ") + kPath + ":", TextAt(p, 1));
      if (i == 0) {
        EXPECT_EQ(ListingHeading(c.kind), TextAt(p, 3));
        EXPECT_EQ(ListingDashes(c.kind), TextAt(p, 4));
        printed += p.lines.size();
        continue;
      }
      if (c.kind == ListingKind::Arj) {
        EXPECT_EQ(ListingHeading(c.kind), TextAt(p, 3));
        EXPECT_EQ(ListingDashes(c.kind), TextAt(p, 4));
        EXPECT_EQ("X\t1\t1", TextAt(p, 5));
        printed += p.lines.size() - 3;
      } else {
        EXPECT_EQ("Name\t Length\t Size\t Ratio\t Date\t Time", TextAt(p, 3));
        EXPECT_EQ(ListingDashes(c.kind), TextAt(p, 5));
        EXPECT_EQ("X\t1\t1", TextAt(p, 6));
        printed += p.lines.size() - 3;
      }
      EXPECT_FALSE(p.lines.empty());
    }
    EXPECT_EQ(static_cast<size_t>(c.fileLines), printed) << "every line of the file, once";
  }
}

TEST(ListingLayout, TooSmallAPageHoldsNothing) {
  std::vector<ListingPage> empty = LayOutListing({}, ListingKind::Zip, kPath, 60);
  ASSERT_EQ(1u, empty.size()) << "an empty file still makes its page";
  EXPECT_TRUE(empty[0].lines.empty());
  EXPECT_TRUE(LayOutListing(ListingFile(ListingKind::Zip, 3), ListingKind::Zip, kPath, 11).empty());
  EXPECT_TRUE(LayOutListing(ListingFile(ListingKind::Zip, 3), ListingKind::Zip, kPath, 0).empty());
  EXPECT_TRUE(LayOutListing(ListingFile(ListingKind::Zip, 3), ListingKind::Zip, kPath, -40).empty());
}

// Only the pages of the range are printed, each copy from its first page, the footer naming the
// last page of the range.
TEST(ListingLayout, RangeAndCopies) {
  std::vector<ListingPage> five;
  for (int i = 1; i <= 5; ++i) five.push_back(ListingPage{i, {{1, "page " + std::to_string(i)}}, ""});
  struct Case {
    int from, to, copies;
    std::vector<std::string> footers;
  } cases[] = {
      {1, 5, 1, {"Page 1 of 5", "Page 2 of 5", "Page 3 of 5", "Page 4 of 5", "Page 5 of 5"}},
      {2, 3, 1, {"Page 2 of 3", "Page 3 of 3"}},
      {2, 3, 2, {"Page 2 of 3", "Page 3 of 3", "Page 2 of 3", "Page 3 of 3"}},
      {5, 5, 1, {"Page 5 of 5"}},
      {4, 9, 1, {"Page 4 of 5", "Page 5 of 5"}},
      {0, 1, 0, {"Page 1 of 1"}},
      {4, 3, 1, {}},
      {6, 7, 1, {}},
  };
  for (const Case& c : cases) {
    std::vector<ListingPage> out = PagesToPrint(five, c.from, c.to, c.copies);
    std::vector<std::string> footers;
    for (const ListingPage& p : out) {
      footers.push_back(p.footer);
      EXPECT_EQ("page " + std::to_string(p.number), p.lines.at(0).text) << "the page's own lines";
    }
    EXPECT_EQ(c.footers, footers) << c.from << "-" << c.to << " x" << c.copies;
  }
}

TEST(ListingLayout, FooterIsCentred) {
  EXPECT_EQ(34, FooterColumn(80, 11));
  EXPECT_EQ(0, FooterColumn(10, 11));
  EXPECT_EQ(0, FooterColumn(0, 11));
  EXPECT_EQ(FooterRow(66), 63);
}

TEST(DefaultPrinter, DeviceEntry) {
  struct Case {
    const char* entry;
    bool ok;
    const char* printer;
    const char* driver;
    const char* port;
  } cases[] = {
      {"ProbePS,wineps.drv,LPT1:", true, "ProbePS", "wineps.drv", "LPT1:"},
      {"HP LaserJet 4 , HPPCL5MS , LPT2:", true, "HP LaserJet 4", "HPPCL5MS", "LPT2:"},
      {"Office,winspool,Ne00:,15,45", true, "Office", "winspool", "Ne00:"},
      {"", false, "", "", ""},
      {"OnlyName", false, "", "", ""},
      {"Name,driver", false, "", "", ""},
      {"Name,driver,", false, "", "", ""},
      {",driver,LPT1:", false, "", "", ""},
  };
  for (const Case& c : cases) {
    PrinterDevice d;
    ASSERT_EQ(c.ok, ParseDeviceEntry(c.entry, &d)) << c.entry;
    if (!c.ok) continue;
    EXPECT_EQ(c.printer, d.printer);
    EXPECT_EQ(c.driver, d.driver);
    EXPECT_EQ(c.port, d.port);
  }
}

}  // namespace
}  // namespace ql
