#include "print/listing_pages.h"

#include <algorithm>
#include <cstdio>

#include "common/mask.h"
#include "common/text_and_paths.h"
#include "readers/listing_lines.h"

namespace ql {

namespace {

constexpr const char* kZipHeading = "Name\t Length\t Size\tRatio\t Date\t Time";
constexpr const char* kZipDashes = "---------------\t-------\t------\t-----\t------\t------";
constexpr const char* kArjHeading = "Filename\tLength\t Size\t Date\t Time";
constexpr const char* kArjDashes = "---------------\t-------\t-------\t--------\t------";
// The ZIP heading of later pages, as the archive list's column header spells it.
constexpr const char* kZipPageHeading = "Name\t Length\t Size\t Ratio\t Date\t Time";

bool IsHeadingLine(std::string_view line) {
  for (const char* h : {kZipHeading, kZipDashes, kArjHeading, kArjDashes})
    if (line == h) return true;
  return false;
}

// The decimal number a whole field holds; false for an empty field or any other character.
bool DecimalField(std::string_view field, uint64_t* value) {
  if (field.empty() || field.size() > 19) return false;
  uint64_t v = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v;
  return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return out;
    start = tab + 1;
  }
}

// Starts a later page: the title on row 1, the column headings below it; the row the text
// continues on.
int AddPageHeading(ListingPage* page, ListingKind kind, const std::string& title) {
  page->lines.push_back({1, title});
  if (kind == ListingKind::Arj) {
    page->lines.push_back({3, kArjHeading});
    page->lines.push_back({4, kArjDashes});
    return 5;
  }
  page->lines.push_back({3, kZipPageHeading});
  page->lines.push_back({5, kZipDashes});
  return 6;
}

}  // namespace

ListingKind ListingKindOfName(std::string_view path) {
  return MatchFileMask(path, "*.ZIP") || MatchFileMask(path, "*.EXE") ? ListingKind::Zip : ListingKind::Arj;
}

std::string ListingTitleLine(std::string_view archivePath) {
  return "File Listing For " + std::string(archivePath) + ":";
}

const char* ListingHeading(ListingKind kind) { return kind == ListingKind::Arj ? kArjHeading : kZipHeading; }
const char* ListingDashes(ListingKind kind) { return kind == ListingKind::Arj ? kArjDashes : kZipDashes; }

std::string ListingTotalsLine(const ListingTotals& t) {
  double saving = t.uncompressed ? 100.0 - static_cast<double>(t.compressed) * 100.0 / static_cast<double>(t.uncompressed)
                                 : 0.0;
  char buf[160];
  std::snprintf(buf, sizeof buf, "%llu Files, Comp: %llu /  Size: %llu Bytes, %.1f%%",
                static_cast<unsigned long long>(t.files), static_cast<unsigned long long>(t.compressed),
                static_cast<unsigned long long>(t.uncompressed), saving);
  return buf;
}

ListingTotals TotalsOfEntryLines(const std::vector<std::string>& lines) {
  ListingTotals t;
  for (const std::string& raw : lines) {
    std::string_view line = raw;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || IsMarkerLine(line) || IsHeadingLine(line)) continue;
    std::vector<std::string_view> f = Fields(line);
    uint64_t length = 0, size = 0;
    if (f.size() < 4 || f[0].empty() || !DecimalField(f[2], &length) || !DecimalField(f[3], &size)) continue;
    ++t.files;
    t.uncompressed += length;
    t.compressed += size;
  }
  return t;
}

std::vector<int> ListingTabStops(ListingKind kind) {
  if (kind == ListingKind::Arj) return {34, 46, 58, 70};
  return {17, 28, 40, 49, 61};
}

std::string PrintedText(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // Marker lines (comments, titles) print whole, also when their text holds a tab.
  if (line.empty() || IsMarkerLine(line) || IsHeadingLine(line)) return std::string(line);
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::string(line);
  return std::string(line.substr(tab + 1));
}

std::vector<std::string> SplitListingLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, lf - start));
    start = lf + 1;
  }
  return lines;
}

std::vector<ListingPage> LayOutListing(const std::vector<std::string>& fileLines, ListingKind kind,
                                       std::string_view archivePath, int linesPerPage) {
  std::vector<ListingPage> pages;
  if (linesPerPage < kMinLinesPerPage) return pages;
  const int usable = UsableRows(linesPerPage);
  const std::string title = ListingTitleLine(archivePath);
  ListingPage page;
  page.number = 1;
  int row = 1;
  for (const std::string& line : fileLines) {
    if (row > usable) {
      int next = page.number + 1;
      pages.push_back(std::move(page));
      page = ListingPage{};
      page.number = next;
      row = AddPageHeading(&page, kind, title);
    }
    page.lines.push_back({row, PrintedText(line)});
    ++row;
  }
  pages.push_back(std::move(page));
  return pages;
}

std::vector<ListingPage> PagesToPrint(const std::vector<ListingPage>& pages, int from, int to, int copies) {
  std::vector<ListingPage> out;
  const int count = static_cast<int>(pages.size());
  from = std::max(from, 1);
  to = std::min(to, count);
  if (from > to) return out;
  copies = std::max(copies, 1);
  for (int c = 0; c < copies; ++c) {
    for (int n = from; n <= to; ++n) {
      ListingPage p = pages[static_cast<size_t>(n - 1)];
      p.footer = "Page " + std::to_string(n) + " of " + std::to_string(to);
      out.push_back(std::move(p));
    }
  }
  return out;
}

int FooterColumn(int charsPerLine, size_t textLength) {
  long long free = static_cast<long long>(charsPerLine) - static_cast<long long>(textLength);
  return free > 0 ? static_cast<int>(free / 2) : 0;
}

bool ParseDeviceEntry(std::string_view entry, PrinterDevice* device) {
  size_t c1 = entry.find(',');
  if (c1 == std::string_view::npos) return false;
  size_t c2 = entry.find(',', c1 + 1);
  if (c2 == std::string_view::npos) return false;
  size_t c3 = entry.find(',', c2 + 1);
  std::string_view printer = Trim(entry.substr(0, c1));
  std::string_view driver = Trim(entry.substr(c1 + 1, c2 - c1 - 1));
  std::string_view port =
      Trim(entry.substr(c2 + 1, c3 == std::string_view::npos ? std::string_view::npos : c3 - c2 - 1));
  if (printer.empty() || driver.empty() || port.empty()) return false;
  device->printer = std::string(printer);
  device->driver = std::string(driver);
  device->port = std::string(port);
  return true;
}

}  // namespace ql
