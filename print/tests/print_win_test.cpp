// Printing listings to a real printer in the test prefix (Wine's PostScript driver); Ghostscript
// turns each printed page back into text. A watcher answers the print dialog like a user: all
// pages, a range, copies, or Cancel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/shared_win.h"
#include "print/listing_pages.h"
#include "print/print_win.h"
#include "print/tests/test_printer.h"
#include "tests/support/win_test_support.h"

namespace ql {
namespace {

using qltest::DialogWatcher;
using qltest::SeenDialog;

// Control ids of the common print dialog (dlgs.h).
constexpr int kAllPagesRadio = 0x420;
constexpr int kPagesRadio = 0x422;
constexpr int kFromEdit = 0x480;
constexpr int kToEdit = 0x481;
constexpr int kCopiesEdit = 0x482;

constexpr const char* kPrinterError = "Printer Error: Make sure printer is attached to the system.";

struct PrintChoice {
  int from = 0, to = 0;  // a page range when from > 0
  int copies = 0;        // left as offered when 0
  bool cancel = false;
};

// Answers the print dialog with `choice`, leaves the printing dialog alone and accepts anything
// else (a message).
qltest::DialogAnswer Answer(PrintChoice choice) {
  return [choice](HWND d, const SeenDialog& seen) {
    if (seen.title == "Print" && GetDlgItem(d, kCopiesEdit)) {
      if (choice.cancel) return IDCANCEL;
      if (choice.from > 0) {
        CheckRadioButton(d, kAllPagesRadio, kPagesRadio, kPagesRadio);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(kPagesRadio, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, kPagesRadio)));
        SetDlgItemInt(d, kFromEdit, static_cast<UINT>(choice.from), FALSE);
        SetDlgItemInt(d, kToEdit, static_cast<UINT>(choice.to), FALSE);
      }
      if (choice.copies > 0) SetDlgItemInt(d, kCopiesEdit, static_cast<UINT>(choice.copies), FALSE);
      return IDOK;
    }
    // The printing dialog is left to print. Its texts may not be readable while the pages are drawn
    // (its thread is busy then): a dialog without title or text is looked at again later.
    if (seen.title.empty() || seen.text.empty() || seen.text.compare(0, 11, "Printing...") == 0) return 0;
    return qltest::PressDefault(d, seen);
  };
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// Ghostscript's text has one blank between words: so have the expectations.
std::string Squeezed(std::string s) {
  for (char& c : s)
    if (c == '\t') c = ' ';
  std::string out;
  for (char c : s)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

void Put16(std::string* out, unsigned v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A ZIP of `count` empty stored members ENTRY001.TXT...: long listings without a large fixture.
std::string EmptyMembersZip(int count) {
  std::string local, central;
  const unsigned dosTime = 0x0000, dosDate = (16u << 9) | (4u << 5) | 15u;  // 04-15-96
  for (int i = 1; i <= count; ++i) {
    char name[16];
    snprintf(name, sizeof name, "ENTRY%03d.TXT", i);
    const unsigned offset = static_cast<unsigned>(local.size());
    Put32(&local, 0x04034b50);
    for (unsigned v : {10u, 0u, 0u, dosTime, dosDate}) Put16(&local, v);
    for (unsigned v : {0u, 0u, 0u}) Put32(&local, v);  // CRC, sizes: empty
    Put16(&local, static_cast<unsigned>(strlen(name)));
    Put16(&local, 0);
    local += name;
    Put32(&central, 0x02014b50);
    for (unsigned v : {20u, 10u, 0u, 0u, dosTime, dosDate}) Put16(&central, v);
    for (unsigned v : {0u, 0u, 0u}) Put32(&central, v);
    Put16(&central, static_cast<unsigned>(strlen(name)));
    for (unsigned v : {0u, 0u, 0u, 0u}) Put16(&central, v);
    Put32(&central, 0);
    Put32(&central, offset);
    central += name;
  }
  std::string zip = local + central;
  Put32(&zip, 0x06054b50);
  for (unsigned v : {0u, 0u, static_cast<unsigned>(count), static_cast<unsigned>(count)}) Put16(&zip, v);
  Put32(&zip, static_cast<unsigned>(central.size()));
  Put32(&zip, static_cast<unsigned>(local.size()));
  Put16(&zip, 0);
  return zip;
}

class PrintListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qltest::HaveGhostscript()) << "Ghostscript (gs) reads the printed pages back: run scripts/setup.sh";
    std::string error;
    ASSERT_TRUE(qltest::InstallTestPrinter(&error)) << error;
    host_.workDirectory = work_.path();
    for (const char* name : {"hundred.zip", "hundred.arj"}) {
      std::string from = std::string("Z:") + QL_SOURCE_DIR + "/print/tests/fixtures/" + name;
      ASSERT_TRUE(CopyFileA(from.c_str(), (archives_ / name).c_str(), FALSE)) << from;
    }
  }

  // Prints `request` with the watcher answering as `choice` says; the printed pages' texts.
  std::vector<std::string> Print(const ListingRequest& request, PrintChoice choice, bool* printed,
                                 std::vector<SeenDialog>* seen = nullptr) {
    // Every job's pages in a directory of their own.
    std::string dir = output_ / ("job" + std::to_string(++jobs_));
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    qltest::PrinterOutput out(dir);
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), Answer(choice));
    *printed = PrintArchiveListing(host_, request);
    if (*printed) {
      EXPECT_TRUE(qltest::WaitUntil([&] { return out.JobsDone() == 1; }, 20000)) << "the job's pages";
    }
    if (seen) *seen = watcher.Seen();
    return out.Pages();
  }

  // The pages the listing file makes on the test printer.
  int ExpectedPageCount(ListingKind kind, const std::string& archive) {
    HDC dc = CreatePrinterContext();
    PrinterMetrics m;
    bool ok = MeasurePrinter(dc, &m);
    if (dc) DeleteDC(dc);
    EXPECT_TRUE(ok);
    std::vector<std::string> lines = SplitListingLines(qltest::ReadTextFile(work_ / "ql5files"));
    return static_cast<int>(LayOutListing(lines, kind, archive, m.linesPerPage).size());
  }

  static ListingRequest Chosen(const std::string& path) {
    ListingRequest r;
    r.archivePath = path;
    return r;
  }

  qltest::TempDir work_{"ql print work"};
  qltest::TempDir archives_{"ql print archives"};
  qltest::TempDir output_{"ql printed"};
  PrintHost host_;
  int jobs_ = 0;
};

TEST_F(PrintListing, EveryPageHasTitleHeadingsAndItsNumber) {
  const std::string zip = archives_ / "hundred.zip";
  bool printed = false;
  std::vector<std::string> pages = Print(Chosen(zip), {}, &printed);
  ASSERT_TRUE(printed);
  const int n = ExpectedPageCount(ListingKind::Zip, zip);
  ASSERT_GE(n, 2) << "the listing takes more than one page";
  ASSERT_EQ(static_cast<size_t>(n), pages.size());
  std::string all;
  for (int k = 1; k <= n; ++k) {
    const std::string& page = pages[static_cast<size_t>(k - 1)];
    SCOPED_TRACE("page " + std::to_string(k) + ":\n" + page);
    EXPECT_EQ(1, Count(page, "File Listing For " + zip + ":"));
    EXPECT_EQ(1, Count(page, "Name Length Size Ratio Date Time"));
    EXPECT_EQ(1, Count(page, Squeezed(ListingDashes(ListingKind::Zip))));
    EXPECT_EQ(1, Count(page, "Page " + std::to_string(k) + " of " + std::to_string(n)));
    all += page;
  }
  for (int i = 1; i <= 100; ++i) {
    char name[16];
    snprintf(name, sizeof name, "MEMBER%03d.TXT", i);
    EXPECT_EQ(1, Count(all, name)) << name;
  }
  EXPECT_EQ(1, Count(all, "> Title Comment: One hundred members")) << "the archive comment's text";
  // Totals of the lines: 100 members, as unzip -v counts them.
  EXPECT_EQ(1, Count(pages.back(), Squeezed(ListingTotalsLine({100, 18754, 118962})))) << pages.back();
  // The listing file stays in the work directory.
  std::string file = qltest::ReadTextFile(work_ / "ql5files");
  EXPECT_EQ(0u, file.find("File Listing For " + zip + ":\r\n\r\nName\t Length\t Size\tRatio\t Date\t Time\r\n"));
}

TEST_F(PrintListing, ArjListingRepeatsItsHeadings) {
  const std::string arj = archives_ / "hundred.arj";
  bool printed = false;
  std::vector<std::string> pages = Print(Chosen(arj), {}, &printed);
  ASSERT_TRUE(printed);
  const int n = ExpectedPageCount(ListingKind::Arj, arj);
  ASSERT_EQ(static_cast<size_t>(n), pages.size());
  for (int k = 1; k <= n; ++k) {
    const std::string& page = pages[static_cast<size_t>(k - 1)];
    SCOPED_TRACE(page);
    EXPECT_EQ(1, Count(page, "Filename Length Size Date Time"));
    EXPECT_EQ(1, Count(page, "Page " + std::to_string(k) + " of " + std::to_string(n)));
  }
  EXPECT_EQ(1, Count(pages.back(), "100 Files, Comp: ")) << pages.back();
  EXPECT_EQ(1, Count(pages.back(), "Size: 118962 Bytes")) << pages.back();
}

// Pages 2 to 3 print exactly those two pages, numbered against the end of the range; two
// copies print them twice, each copy from its first page.
TEST_F(PrintListing, PageRangeAndCopies) {
  const std::string zip = archives_ / "long.zip";
  ASSERT_TRUE(qltest::WriteTextFile(zip, EmptyMembersZip(300)));
  bool printed = false;
  std::vector<std::string> all = Print(Chosen(zip), {}, &printed);
  ASSERT_TRUE(printed);
  ASSERT_GE(all.size(), 4u) << "room for a range in the middle";
  const size_t n = all.size();

  std::vector<std::string> range = Print(Chosen(zip), {2, 3, 0, false}, &printed);
  ASSERT_TRUE(printed);
  ASSERT_EQ(2u, range.size());
  EXPECT_EQ(1, Count(range[0], "Page 2 of 3")) << range[0];
  EXPECT_EQ(1, Count(range[1], "Page 3 of 3")) << range[1];
  EXPECT_EQ(0, Count(range[0] + range[1], "of " + std::to_string(n))) << "no footer of the whole listing";
  // The entries are those of pages 2 and 3 of the whole listing.
  auto body = [](const std::string& page) { return page.substr(0, page.find("Page ")); };
  EXPECT_EQ(body(all[1]), body(range[0]));
  EXPECT_EQ(body(all[2]), body(range[1]));

  std::vector<std::string> copies = Print(Chosen(zip), {2, 3, 2, false}, &printed);
  ASSERT_TRUE(printed);
  ASSERT_EQ(4u, copies.size());
  EXPECT_EQ(range[0], copies[0]);
  EXPECT_EQ(range[1], copies[1]);
  EXPECT_EQ(range[0], copies[2]);
  EXPECT_EQ(range[1], copies[3]);

  std::vector<std::string> twice = Print(Chosen(zip), {0, 0, 2, false}, &printed);
  ASSERT_TRUE(printed);
  ASSERT_EQ(2 * n, twice.size());
  for (size_t i = 0; i < n; ++i) EXPECT_EQ(all[i], twice[n + i]) << "page " << i + 1 << " of the second copy";
}

TEST_F(PrintListing, WithoutPrinterSays3043BeforeAnyDialog) {
  ASSERT_TRUE(qltest::RemoveTestPrinter());
  bool printed = true;
  std::vector<SeenDialog> seen;
  std::vector<std::string> pages = Print(Chosen(archives_ / "hundred.zip"), {}, &printed, &seen);
  EXPECT_FALSE(printed);
  EXPECT_TRUE(pages.empty());
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Quillon", seen[0].title);
  EXPECT_EQ(kPrinterError, seen[0].text);
  EXPECT_FALSE(qltest::FileExists(work_ / "ql5files")) << "the listing file of a failed job is removed";
}

TEST_F(PrintListing, CancelInThePrintDialogPrintsNothingAndSaysNothing) {
  bool printed = true;
  std::vector<SeenDialog> seen;
  std::vector<std::string> pages = Print(Chosen(archives_ / "hundred.zip"), {0, 0, 0, true}, &printed, &seen);
  EXPECT_FALSE(printed);
  EXPECT_TRUE(g_cancelled);
  EXPECT_TRUE(pages.empty());
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Print", seen[0].title);
}

TEST_F(PrintListing, MissingArchiveSays3057) {
  const std::string missing = archives_ / "gone.zip";
  bool printed = true;
  std::vector<SeenDialog> seen;
  Print(Chosen(missing), {}, &printed, &seen);
  EXPECT_FALSE(printed);
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Error: Unable To Load " + missing + ".  Aborting.", seen[0].text);
  EXPECT_FALSE(qltest::FileExists(work_ / "ql5files"));
}

TEST_F(PrintListing, UnwritableWorkDirectorySays3028) {
  host_.workDirectory = work_ / "missing";
  bool printed = true;
  std::vector<SeenDialog> seen;
  Print(Chosen(archives_ / "hundred.zip"), {}, &printed, &seen);
  EXPECT_FALSE(printed);
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Quillon couldn't create its temporary file:\n[" + (work_ / "missing") + "\\ql5files]", seen[0].text);
}

}  // namespace
}  // namespace ql
