// quillon.exe prints a 100-member ZIP's listing to the test prefix's printer from both modes: the
// archive list of a browser window, the archive selected in its directory list, and in Express
// mode the archive chosen in "Select An Archive File". Ghostscript reads the pages back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "print/tests/test_printer.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::FindProcessWindow;
using qltest::Process;
using qltest::SeenDialog;
using qltest::TempDir;
using qltest::WaitUntil;

constexpr int kFileNameCombo = 0x47c;  // cmb13, the explorer-style file name
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kMdiClient = 188;
constexpr WPARAM kPrintListing = 974, kExpressMode = 1000, kExpressPrintListing = 4003;

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

struct ChildSearch {
  const char* cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<ChildSearch*>(p);
  if (qltest::ClassOf(h) == c->cls) c->found.push_back(h);
  return TRUE;
}

std::vector<HWND> Children(HWND parent, const char* className) {
  ChildSearch ctx{className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

// The archive list (ids from 1000) or the directory list (ids from 1032) of a browser window.
HWND ListOf(HWND browser, bool archive) {
  for (HWND l : Children(browser, "qllistbox")) {
    int id = GetDlgCtrlID(l);
    if (archive ? (id >= 1000 && id < 1032) : (id >= 1032 && id < 1064)) return l;
  }
  return nullptr;
}

// The index of the line of another process's list box that begins with `start`; -1 when none.
int FindLine(HWND list, const std::string& start) {
  LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t wide[1024] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char buf[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    if (std::string(buf).compare(0, start.size(), start) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::string Lines(HWND list) {
  std::string all;
  LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t wide[1024] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char buf[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    all += std::string(buf) + "\n";
  }
  return all;
}

// OK in the print dialog, the archive typed into the file dialog, the printing dialog left alone.
qltest::DialogAnswer Answer(const std::string& archive) {
  return [archive](HWND d, const SeenDialog& seen) {
    if (seen.title == "Select An Archive File") {
      HWND name = GetDlgItem(d, kFileNameCombo);
      if (!name) name = GetDlgItem(d, kFileNameEdit);
      if (!name) return 0;
      SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()));
      return IDOK;
    }
    // The printing dialog is left to print. Its texts may not be readable while the pages are drawn
    // (its thread is busy then): a dialog without title or text is looked at again later.
    if (seen.title.empty() || seen.text.empty() || seen.text.compare(0, 11, "Printing...") == 0) return 0;
    return qltest::PressDefault(d, seen);
  };
}

class PrintEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qltest::HaveGhostscript()) << "Ghostscript (gs) reads the printed pages back: run scripts/setup.sh";
    std::string error;
    ASSERT_TRUE(qltest::InstallTestPrinter(&error)) << error;
    for (const char* file : {"quillon.exe", "qlkbdtrp.exe"}) {
      std::string from = std::string(QL_PROGRAM_DIR) + "/" + file;
      ASSERT_TRUE(CopyFileA(from.c_str(), (program_ / file).c_str(), FALSE)) << from;
    }
    std::string from = std::string("Z:") + QL_SOURCE_DIR + "/print/tests/fixtures/hundred.zip";
    ASSERT_TRUE(CopyFileA(from.c_str(), zip_.c_str(), FALSE));
    // The new window's directory list shows the program directory: a copy there to choose.
    ASSERT_TRUE(CopyFileA(from.c_str(), (program_ / "hundred.zip").c_str(), FALSE));
  }

  HWND WaitForFrame(Process& p, const char* title) {
    HWND frame = nullptr;
    WaitUntil([&] {
      frame = FindProcessWindow(p.id, "Quillon5");
      return frame && qltest::WindowText(frame) == title;
    }, 30000);
    return frame;
  }

  // The pages of one listing: each has the title, the column headings and "Page k of N"; every
  // member appears once; the last page has the totals.
  void CheckListing(const std::vector<std::string>& pages, const std::string& archive, const char* how) {
    SCOPED_TRACE(how);
    ASSERT_GE(pages.size(), 2u);
    const size_t n = pages.size();
    std::string all;
    for (size_t k = 1; k <= n; ++k) {
      const std::string& page = pages[k - 1];
      SCOPED_TRACE(page);
      EXPECT_EQ(1, Count(page, "File Listing For " + archive + ":"));
      EXPECT_EQ(1, Count(page, "Name Length Size Ratio Date Time"));
      EXPECT_EQ(1, Count(page, "Page " + std::to_string(k) + " of " + std::to_string(n)));
      all += page;
    }
    for (int i = 1; i <= 100; ++i) {
      char name[16];
      snprintf(name, sizeof name, "MEMBER%03d.TXT", i);
      EXPECT_EQ(1, Count(all, name)) << name;
    }
    EXPECT_EQ(1, Count(pages.back(), "100 Files, Comp: 18754 / Size: 118962 Bytes, 84.2%")) << pages.back();
  }

  TempDir program_{"ql installed"};
  TempDir archives_{"ql archives"};
  TempDir output_{"ql printed"};
  std::string zip_ = archives_ / "hundred.zip";
};

TEST_F(PrintEndToEnd, ListingPrintedFromBothModes) {
  qltest::PrinterOutput out(output_.path());
  Process p;
  ASSERT_TRUE(p.Start(program_ / "quillon.exe", zip_, archives_.path()));
  HWND frame = WaitForFrame(p, "Quillon - Manager Mode");
  ASSERT_NE(nullptr, frame);
  DialogWatcher watcher(p.id, DialogWatcher::kAnyThread, Answer(zip_));
  std::vector<HWND> windows = Children(GetDlgItem(frame, kMdiClient), "MDICHILD");
  ASSERT_EQ(1u, windows.size());
  HWND archiveList = ListOf(windows[0], true);
  HWND dirList = ListOf(windows[0], false);
  ASSERT_TRUE(archiveList && dirList);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(archiveList, LB_GETCOUNT, 0, 0) > 100; }));

  // Manager mode, the archive list clicked: the window's archive and totals.
  PostMessageA(archiveList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(archiveList, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  PostMessageA(frame, WM_COMMAND, kPrintListing, 0);
  ASSERT_TRUE(WaitUntil([&] { return out.JobsDone() == 1; }, 60000));
  std::vector<std::string> first = out.Pages();
  CheckListing(first, zip_, "the archive list");

  // Manager mode, the archive selected in the directory list.
  PostMessageA(dirList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(dirList, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  int line = FindLine(dirList, "hundred.zip\t");
  ASSERT_GE(line, 0) << Lines(dirList);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(dirList, LB_GETSELCOUNT, 0, 0) > 0; }));
  SendMessageA(dirList, LB_SETSEL, FALSE, -1);
  SendMessageA(dirList, LB_SETSEL, TRUE, line);
  PostMessageA(frame, WM_COMMAND, kPrintListing, 0);
  ASSERT_TRUE(WaitUntil([&] { return out.JobsDone() == 2; }, 60000));
  std::vector<std::string> second = out.Pages();
  second.erase(second.begin(), second.begin() + static_cast<long>(first.size()));
  CheckListing(second, program_ / "hundred.zip", "the directory list");

  // Express mode: the archive chosen in the file dialog.
  PostMessageA(frame, WM_COMMAND, kExpressMode, 0);
  ASSERT_NE(nullptr, WaitForFrame(p, "Quillon - Express Mode"));
  PostMessageA(frame, WM_COMMAND, kExpressPrintListing, 0);
  ASSERT_TRUE(WaitUntil([&] { return out.JobsDone() == 3; }, 60000));
  std::vector<std::string> third = out.Pages();
  third.erase(third.begin(), third.begin() + static_cast<long>(first.size() + second.size()));
  CheckListing(third, zip_, "Express mode");

  for (const SeenDialog& s : watcher.Seen())
    EXPECT_TRUE(s.title == "Print" || s.title == "Select An Archive File") << s.title << ": " << s.text << " ("
                                                                          << s.pressed << ")";
  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, p.Wait(30000));
}

}  // namespace
