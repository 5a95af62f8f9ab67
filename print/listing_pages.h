// A printed archive listing, without the printer: the lines of the listing file (title, column
// headings, totals), what each line prints as, and how the lines fall onto pages with their
// repeated headings and "Page k of N" footers for a page range and a number of copies.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

enum class ListingKind { Zip, Arj };

// The kind a chosen archive is listed as by its name: "*.ZIP" and "*.EXE" through the ZIP reader,
// anything else through the ARJ reader.
ListingKind ListingKindOfName(std::string_view path);

// "File Listing For <path>:", the first line of the listing and of every later page.
std::string ListingTitleLine(std::string_view archivePath);
// The two column-heading lines the listing file holds.
const char* ListingHeading(ListingKind kind);
const char* ListingDashes(ListingKind kind);

// The last line: "<n> Files, Comp: <compressed> /  Size: <size> Bytes, <saving>%", the saving being
// 100 - compressed * 100 / size (0.0 for a size of 0).
struct ListingTotals {
  uint64_t files = 0;
  uint64_t compressed = 0;
  uint64_t uncompressed = 0;
};
std::string ListingTotalsLine(const ListingTotals& totals);

// The totals of the entry lines the readers write to a file (name, short name, length, size, ...);
// marker lines, headings and other lines count nothing.
ListingTotals TotalsOfEntryLines(const std::vector<std::string>& lines);

// Tab stops of a printed listing in character widths.
std::vector<int> ListingTabStops(ListingKind kind);

// What a line of the listing file prints as: a carriage return at the end is dropped, and an
// entry line (one with a tab that is not a heading) loses its first field, the long name.
std::string PrintedText(std::string_view line);

// Splits the listing file's text into lines at line feeds (a last line without one counts).
std::vector<std::string> SplitListingLines(std::string_view text);

// A line on a page: its row (the top row is 1; y = row * line height) and its text.
struct PageLine {
  int row = 0;
  std::string text;
};

struct ListingPage {
  int number = 0;  // 1 for the first page of the listing
  std::vector<PageLine> lines;
  std::string footer;  // "Page k of N", set for pages that are printed
};

// Rows of a page left for text: the page height in lines less six (the footer sits at the third
// row from the bottom). Pages smaller than this cannot hold a listing.
constexpr int kMinLinesPerPage = 12;
inline int UsableRows(int linesPerPage) { return linesPerPage - 6; }
inline int FooterRow(int linesPerPage) { return linesPerPage - 3; }

// Lays the listing file's lines out on pages of `linesPerPage` lines: the file's own lines fill
// rows 1 to the usable rows of page 1; each later page repeats the title and the column headings
// and continues below them. A page is started only for a line that needs it. Empty for a page
// height below kMinLinesPerPage.
std::vector<ListingPage> LayOutListing(const std::vector<std::string>& fileLines, ListingKind kind,
                                       std::string_view archivePath, int linesPerPage);

// The pages that go to the printer: pages `from` to `to` (limited to the pages there are), the
// whole run once per copy, each with its footer "Page k of <to>".
std::vector<ListingPage> PagesToPrint(const std::vector<ListingPage>& pages, int from, int to, int copies);

// Where a centred footer starts, in characters: half of what the text leaves of the line.
int FooterColumn(int charsPerLine, size_t textLength);

// The default printer as WIN.INI's "device" names it: "printer,driver,port" with optional blanks
// around the commas. False when a part is missing.
struct PrinterDevice {
  std::string printer;
  std::string driver;
  std::string port;
};
bool ParseDeviceEntry(std::string_view entry, PrinterDevice* device);

}  // namespace ql
