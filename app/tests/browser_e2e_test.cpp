// quillon.exe with archives: a ZIP named on the command line is listed in a browser window with
// its totals in the status bar, and a second start with an ARJ volume name opens an ARJ window in
// the first instance.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/win_test_support.h"

namespace {

using qltest::FindProcessWindow;
using qltest::Process;
using qltest::TempDir;
using qltest::WaitUntil;

bool CopyFixture(const char* name, const std::string& to) {
  std::ifstream in(std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/" + name, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
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

// The lines of another process's list box. Between processes the text travels as wide characters.
std::vector<std::string> Lines(HWND list) {
  std::vector<std::string> out;
  LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t wide[1024] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char buf[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    out.push_back(buf);
  }
  return out;
}

HWND ListOf(HWND browser, bool archive) {
  for (HWND l : Children(browser, "qllistbox")) {
    int id = GetDlgCtrlID(l);
    if (archive ? (id >= 1000 && id < 1032) : (id >= 1032 && id < 1064)) return l;
  }
  return nullptr;
}

std::string Pane(HWND frame, int id) {
  HWND bar = GetDlgItem(frame, 193);
  return bar ? qltest::WindowText(GetDlgItem(bar, id)) : std::string("(no status bar)");
}

class BrowserEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"quillon.exe", "qlkbdtrp.exe"}) {
      std::string from = std::string(QL_PROGRAM_DIR) + "/" + file;
      ASSERT_TRUE(CopyFileA(from.c_str(), (program_ / file).c_str(), FALSE));
    }
  }
  HWND WaitForFrame(Process& p) {
    HWND frame = nullptr;
    WaitUntil([&] {
      frame = FindProcessWindow(p.id, "Quillon5");
      return frame && qltest::WindowText(frame) == "Quillon - Manager Mode";
    }, 30000);
    return frame;
  }
  TempDir program_{"ql installed"};
  TempDir archives_{"ql archives"};
};

TEST_F(BrowserEndToEnd, CommandLineZipIsListedAndASecondStartOpensAnArjVolume) {
  ASSERT_TRUE(CopyFixture("comments.zip", archives_ / "comments.zip"));
  ASSERT_TRUE(CopyFixture("dos.arj", archives_ / "PART.A01"));
  Process first;
  ASSERT_TRUE(first.Start(program_ / "quillon.exe", archives_ / "comments.zip", archives_.path()));
  HWND frame = WaitForFrame(first);
  ASSERT_NE(nullptr, frame);
  HWND client = GetDlgItem(frame, 188);
  ASSERT_NE(nullptr, client);
  std::vector<HWND> windows = Children(client, "MDICHILD");
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(qltest::WindowText(windows[0]), archives_ / "comments.zip");
  HWND list = ListOf(windows[0], true);
  ASSERT_NE(nullptr, list);
  std::vector<std::string> lines = Lines(list);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].substr(0, 17), "> Title Comment: ");
  EXPECT_EQ(lines[1], "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p");
  EXPECT_EQ(lines[2].substr(0, 16), "> File Comment: ");
  EXPECT_EQ(lines[3].substr(0, 10), "EMPTY.TXT\t");
  EXPECT_EQ(lines[6].substr(0, 10), "NOISE.BIN\t");
  // The status panes: the archive's totals and the directory's.
  long length = 0, size = 0;
  int files = 0;
  for (const auto& l : lines) {
    if (l[0] == '>') continue;
    ++files;
    size_t t2 = l.find('\t', l.find('\t') + 1);
    length += std::stol(l.substr(t2 + 1));
    size += std::stol(l.substr(l.find('\t', t2 + 1) + 1));
  }
  char want[64];
  snprintf(want, sizeof want, "%d Files at %.1f%%", files, 100.0 - size * 100.0 / length);
  EXPECT_TRUE(WaitUntil([&] { return Pane(frame, 398) == want; }, 5000)) << Pane(frame, 398) << " vs " << want;
  HWND dirList = ListOf(windows[0], false);
  ASSERT_NE(nullptr, dirList);
  LRESULT dirLines = SendMessageA(dirList, LB_GETCOUNT, 0, 0);
  std::string dirPane = Pane(frame, 199);
  EXPECT_NE(dirPane.find(" Bytes In " + std::to_string(dirLines) + " Files."), std::string::npos) << dirPane;
  EXPECT_EQ(Pane(frame, 196), "Manager Mode");

  Process second;
  ASSERT_TRUE(second.Start(program_ / "quillon.exe", archives_ / "PART.A01", archives_.path()));
  EXPECT_EQ(0, second.Wait(30000));
  ASSERT_TRUE(WaitUntil([&] { return Children(client, "MDICHILD").size() == 2; }, 10000));
  HWND arj = nullptr;
  for (HWND w : Children(client, "MDICHILD"))
    if (qltest::WindowText(w) == archives_ / "PART.A01") arj = w;
  ASSERT_NE(nullptr, arj);
  std::vector<std::string> arjLines = Lines(ListOf(arj, true));
  ASSERT_FALSE(arjLines.empty());
  bool title = false;
  for (const auto& l : arjLines) title = title || l.rfind("> Title: ", 0) == 0;
  EXPECT_TRUE(title);
  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, first.Wait(30000));
}

}  // namespace
