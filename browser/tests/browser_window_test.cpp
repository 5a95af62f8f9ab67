// Browser windows in an MDI frame of the test's own: the table, creation refusals, layout, the
// directory list, archives, closing, the per-drive directories and the drawing's columns.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser/browser_win.h"
#include "browser/item_format.h"
#include "browser/tests/browser_harness.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

using namespace qlbrowsertest;

namespace ql {
namespace {

class BrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedDir_ = cwd;
    SetCurrentDirectoryA(dir_.path().c_str());
    g_shortNameDisplay = 0;
  }
  void TearDown() override { SetCurrentDirectoryA(savedDir_.c_str()); }

  HWND Open(const char* archive = "", int type = kArchiveTypeZip, const char* dirMask = "*.*") {
    HWND h = OpenBrowserWindow(archive, type, dirMask, "*.*");
    Drain();
    return h;
  }

  ScratchDir dir_;
  TestFrame frame_;
  std::string savedDir_;
};

TEST_F(BrowserTest, DirectoryListOrderWithTwoMasks) {
  for (const char* f : {"b.zip", "A.ARJ", "c.txt", "a.zip", "Z.arj"}) WriteFileBytes(dir_ / f, "x");
  CreateDirectoryA((dir_ / "dirs.zip").c_str(), nullptr);
  CreateDirectoryA((dir_ / "plain").c_str(), nullptr);
  HWND h = Open("", kArchiveTypeZip, "*.zip; *.arj");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  ASSERT_TRUE(r);
  auto all = ListLines(r->hwndDirList);
  // Drives come first.
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all[0].substr(0, 2), "[-");
  EXPECT_EQ(FirstFields(NonDriveLines(r->hwndDirList)),
            (std::vector<std::string>{"[dirs.zip]", "A.ARJ", "a.zip", "b.zip", "Z.arj"}));
  EXPECT_EQ(r->dirTotalBytes, 4u);
}

TEST_F(BrowserTest, ParentFirstAmongDirectoriesAndTimes) {
  std::string sub = dir_ / "sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  CreateDirectoryA((sub + "\\!bang").c_str(), nullptr);
  CreateDirectoryA((sub + "\\alpha").c_str(), nullptr);
  WriteFileBytes(sub + "\\night.txt", "12345");
  WriteFileBytes(sub + "\\noon.txt", "1");
  ASSERT_TRUE(SetLocalWriteTime(sub + "\\night.txt", 1996, 7, 4, 0, 15));
  ASSERT_TRUE(SetLocalWriteTime(sub + "\\noon.txt", 2001, 12, 31, 12, 15));
  SetCurrentDirectoryA(sub.c_str());
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  auto lines = NonDriveLines(r->hwndDirList);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "[..]\t[..]\t");
  EXPECT_EQ(lines[1].substr(0, 7), "[!bang]");
  EXPECT_EQ(lines[2].substr(0, 7), "[alpha]");
  EXPECT_EQ(lines[3], "night.txt\tnight.txt\t5\t07/04/1996\t00:15a");
  EXPECT_EQ(lines[4], "noon.txt\tnoon.txt\t1\t12/31/2001\t12:15p");
  EXPECT_EQ(r->dirTotalBytes, 6u);
  EXPECT_EQ(std::string(r->curDir), sub);
  // The window made its directory current while it listed and put the previous one back.
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_STREQ(cwd, sub.c_str());
  // Activation shows the directory totals: drives, directories (with the parent) and files.
  EXPECT_EQ(g_activeBrowser, h);
  char want[64];
  wsprintfA(want, "6 Bytes In %d Files.", r->dirItemCount);
  EXPECT_EQ(g_panes[IDC_PANE_DIR_TOTALS], want);
}

TEST_F(BrowserTest, ThirtyThirdWindowIsRefused) {
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  std::vector<HWND> windows;
  for (int i = 0; i < kMaxWindows; ++i) {
    HWND h = OpenBrowserWindow("", kArchiveTypeZip, "*.none", "*.*");
    ASSERT_TRUE(h) << i;
    windows.push_back(h);
  }
  EXPECT_EQ(BrowserWindowCount(), 32);
  EXPECT_EQ(OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*"), nullptr);
  EXPECT_EQ(BrowserWindowCount(), 32);
  ASSERT_EQ(qltest::TextsOf(boxes.Seen()), (std::vector<std::string>{"The maximum window limit is: 32."}));
  // A freed slot is taken again.
  SendMessageA(frame_.client(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(windows[5]), 0);
  HWND again = Open();
  ASSERT_TRUE(again);
  EXPECT_EQ(SlotOf(again), 5);
}

TEST_F(BrowserTest, SameArchiveTwiceIsRefusedEmptyNamesNeverConflict) {
  ASSERT_TRUE(CopyFixture("plain.zip", dir_ / "plain.zip"));
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  HWND first = Open((dir_ / "plain.zip").c_str());
  ASSERT_TRUE(first);
  EXPECT_EQ(Open("PLAIN.ZIP"), nullptr);
  EXPECT_EQ(Open((dir_ / "Plain.Zip").c_str()), nullptr);
  EXPECT_TRUE(Open(""));
  EXPECT_TRUE(Open(""));
  EXPECT_EQ(qltest::TextsOf(boxes.Seen()), (std::vector<std::string>{"Requested archive file is already open!",
                                                     "Requested archive file is already open!"}));
}

TEST_F(BrowserTest, TypesOneAndFourAreRefused) {
  EXPECT_EQ(OpenBrowserWindow("", 1, "*.*", "*.*"), nullptr);
  EXPECT_EQ(OpenBrowserWindow("", 4, "*.*", "*.*"), nullptr);
  EXPECT_EQ(BrowserWindowCount(), 0);
}

TEST_F(BrowserTest, SplitterLimitsAtFirstLayout) {
  struct Case {
    int splitter, clientWidth, want;
  } cases[] = {{0, 600, 280}, {100, 600, 125}, {280, 200, 100}, {300, 600, 300}};
  for (const auto& c : cases) {
    RECT rc{0, 0, c.clientWidth, 300};
    AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_MDICHILD);
    HWND h = CreateBrowserWindow("", kArchiveTypeZip, "*.none", "*.*", 0, 0, 0, rc.right - rc.left,
                                 rc.bottom - rc.top, c.splitter);
    ASSERT_TRUE(h);
    RECT client;
    GetClientRect(h, &client);
    ASSERT_EQ(client.right, c.clientWidth);
    WindowRecord* r = RecordOf(h);
    EXPECT_EQ(r->splitterPos, c.want) << c.splitter << " in " << c.clientWidth;
    RECT list;
    GetWindowRect(r->hwndArchiveList, &list);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, c.want + 6);
    EXPECT_EQ(list.right, c.clientWidth);
    RECT dirList;
    GetWindowRect(r->hwndDirList, &dirList);
    EXPECT_EQ(dirList.right - dirList.left, c.want);
    // Whole items only.
    EXPECT_EQ((dirList.bottom - dirList.top) % ItemHeight(), 0);
    frame_.CloseAll();
  }
}

TEST_F(BrowserTest, LastWindowCannotClose) {
  HWND a = Open();
  ASSERT_TRUE(a);
  SendMessageA(a, WM_SYSCOMMAND, SC_CLOSE, 0);
  Drain();
  EXPECT_TRUE(IsWindow(a));
  HMENU sys = GetSystemMenu(a, FALSE);
  EXPECT_TRUE(GetMenuState(sys, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);

  HWND b = Open();
  ASSERT_TRUE(b);
  EXPECT_FALSE(GetMenuState(GetSystemMenu(a, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
  int slotB = SlotOf(b);
  SendMessageA(b, WM_SYSCOMMAND, SC_CLOSE, 0);
  Drain();
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(g_windowTable[slotB].inUse, 0);
  EXPECT_EQ(g_windowTable[slotB].curDir[0], 0);
  EXPECT_TRUE(GetMenuState(GetSystemMenu(a, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
  SendMessageA(a, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(a));
}

TEST_F(BrowserTest, ZipWindowListsTheArchiveWithItsWords) {
  ASSERT_TRUE(CopyFixture("comments.zip", dir_ / "comments.zip"));
  HWND h = Open("comments.zip");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  EXPECT_EQ(std::string(r->archivePath), dir_ / "comments.zip");
  // The read happened on the program's drive when that is another one; the directory is back now.
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_EQ(std::string(cwd), dir_.path());
  char title[MAX_PATH] = "";
  GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(title, "comments.zip");
  auto lines = ListLines(r->hwndArchiveList);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 17), "> Title Comment: ");
  bool readme = false, comment = false;
  for (auto& l : lines) {
    if (l.rfind("DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t", 0) == 0) readme = true;
    if (l.rfind("> File Comment: ", 0) == 0) comment = true;
  }
  EXPECT_TRUE(readme) << lines[1];
  EXPECT_TRUE(comment);
  EXPECT_EQ(GetWindowLongA(h, kWordArchiveType), kArchiveTypeZip);
  EXPECT_GT(GetWindowLongA(h, kWordFileCount), 0);
  EXPECT_GT(GetWindowLongA(h, kWordArchiveSize), 0);
  EXPECT_EQ(ListKindOf(r->hwndArchiveList), 2);
  EXPECT_EQ(ListKindOf(r->hwndArchiveHeader), 2);
  EXPECT_EQ(ListKindOf(r->hwndDirList), 1);
  EXPECT_EQ(ListKindOf(r->hwndDirHeader), 1);
  EXPECT_EQ(GetDlgCtrlID(r->hwndArchiveList), 1000 + SlotOf(h));
  EXPECT_EQ(GetDlgCtrlID(r->hwndDirList), 1032 + SlotOf(h));
  // Columns were measured: every ZIP column lies right of the one before.
  for (int i = 1; i < 5; ++i) EXPECT_GT(r->zipColumns[i], r->zipColumns[i - 1]) << i;
  EXPECT_GT(r->zipColumns[0], 0);
}

TEST_F(BrowserTest, ArjWindowHasTitleAndCommentLines) {
  ASSERT_TRUE(CopyFixture("dos.arj", dir_ / "dos.arj"));
  HWND h = Open((dir_ / "dos.arj").c_str(), kArchiveTypeArj);
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  auto lines = ListLines(r->hwndArchiveList);
  ASSERT_FALSE(lines.empty());
  bool title = false, comment = false;
  for (auto& l : lines) {
    if (l.rfind("> Title: ", 0) == 0) title = true;
    if (l.rfind("> File Comment: ", 0) == 0) comment = true;
  }
  EXPECT_TRUE(title);
  EXPECT_TRUE(comment);
  EXPECT_EQ(GetWindowLongA(h, kWordArchiveType), kArchiveTypeArj);
  EXPECT_EQ(ListKindOf(r->hwndArchiveList), 3);
  EXPECT_EQ(ListKindOf(r->hwndArchiveHeader), 3);
  for (int i = 1; i < 4; ++i) EXPECT_GT(r->arjColumns[i], r->arjColumns[i - 1]) << i;
}

TEST_F(BrowserTest, NameTooLongAndUnreadableArchivesDestroyTheWindow) {
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  std::string arj = dir_ / "ninechars.arj";
  WriteFileBytes(arj, "not an arj");
  EXPECT_EQ(Open(arj.c_str(), kArchiveTypeArj), nullptr);
  std::string bad = dir_ / "bad.arj";
  WriteFileBytes(bad, std::string(200, 'x'));
  EXPECT_EQ(Open(bad.c_str(), kArchiveTypeArj), nullptr);
  EXPECT_EQ(BrowserWindowCount(), 0);
  // Every slot was given back.
  for (int i = 0; i < kMaxWindows; ++i) EXPECT_EQ(g_windowTable[i].hwndChild, nullptr);
  auto texts = qltest::TextsOf(boxes.Seen());
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Filename Exceeds The Maximum Number of Charcters! ");
  // A ZIP name that does not exist yet is an archive to be created: the window stays empty.
  HWND later = Open((dir_ / "later.zip").c_str());
  ASSERT_TRUE(later);
  EXPECT_EQ(SendMessageA(RecordOf(later)->hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(BrowserTest, RefreshReadsAgainAndClearsAVanishedOrEmptiedArchiveThroughTheFrame) {
  ASSERT_TRUE(CopyFixture("plain.zip", dir_ / "plain.zip"));
  HWND h = Open("plain.zip");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  LRESULT before = SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0);
  ASSERT_GT(before, 0);
  RefreshArchiveWindow(SlotOf(h));
  Drain();
  EXPECT_EQ(SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0), before);
  EXPECT_TRUE(g_frameCommands.empty());

  // The archive vanished: the frame is asked to clear the window (command 1052 naming it).
  ASSERT_TRUE(DeleteFileA((dir_ / "plain.zip").c_str()));
  RefreshArchiveWindow(SlotOf(h));
  Drain();
  EXPECT_EQ(g_frameCommands, std::vector<WORD>{IDM_CLEAR_ARCHIVE});
  EXPECT_EQ(SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(r->archivePath[0], 0);
  EXPECT_STREQ(r->archiveMask, "*.*");
  EXPECT_EQ(GetWindowLongA(h, kWordFileCount), 0);
  char title[64] = "";
  GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(title, "[Untitled]");

  // A window that names an archive not yet made (no entries listed) is left alone.
  g_frameCommands.clear();
  HWND fresh = Open((dir_ / "fresh.zip").c_str());
  ASSERT_TRUE(fresh);
  RefreshArchiveWindow(SlotOf(fresh));
  Drain();
  EXPECT_TRUE(g_frameCommands.empty());
  EXPECT_NE(RecordOf(fresh)->archivePath[0], 0);

  // An archive left without entries is cleared the same way (after the reader's message).
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  ASSERT_TRUE(CopyFixture("plain.zip", dir_ / "plain.zip"));
  HWND again = Open("plain.zip");
  ASSERT_TRUE(again);
  ASSERT_TRUE(CopyFixture("empty.zip", dir_ / "plain.zip"));
  RefreshArchiveWindow(SlotOf(again));
  Drain();
  EXPECT_EQ(g_frameCommands, std::vector<WORD>{IDM_CLEAR_ARCHIVE});
  EXPECT_EQ(RecordOf(again)->archivePath[0], 0);
}

TEST_F(BrowserTest, F1OpensTheWindowsHelpContext) {
  static std::vector<unsigned> contexts;
  contexts.clear();
  g_browserHost.showHelp = [](HWND, unsigned context) { contexts.push_back(context); };
  HWND h = Open("");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  SendMessageA(r->hwndDirList, WM_KEYDOWN, VK_F1, 0);
  SendMessageA(r->hwndArchiveList, WM_KEYDOWN, VK_F1, 0);
  SendMessageA(h, WM_KEYDOWN, VK_F1, 0);
  g_browserHost.showHelp = nullptr;
  EXPECT_EQ(contexts, (std::vector<unsigned>{kBrowserHelpContext, kBrowserHelpContext, kBrowserHelpContext}));
}

TEST_F(BrowserTest, PerDriveDirectories) {
  HWND h = Open();
  ASSERT_TRUE(h);
  char out[kPerDriveDirBytes] = "";
  ASSERT_TRUE(RecallDriveDir(h, dir_.path()[0], out, sizeof out));
  EXPECT_EQ(std::string(out), dir_.path());
  EXPECT_TRUE(RememberDriveDir(h, "Q:\\some\\where"));
  ASSERT_TRUE(RecallDriveDir(h, 'q', out, sizeof out));
  EXPECT_STREQ(out, "Q:\\some\\where");
  EXPECT_FALSE(RememberDriveDir(h, "\\\\server\\share"));
  EXPECT_FALSE(RecallDriveDir(h, '1', out, sizeof out));
  // A path that does not fit is refused; the one remembered before stays.
  std::string longPath = "Q:\\" + std::string(160, 'd');
  EXPECT_FALSE(RememberDriveDir(h, longPath.c_str()));
  ASSERT_TRUE(RecallDriveDir(h, 'Q', out, sizeof out));
  EXPECT_STREQ(out, "Q:\\some\\where");
}

TEST_F(BrowserTest, ColumnsAndExtentOnlyGrow) {
  HWND h = Open("", kArchiveTypeZip, "*.none");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  HWND list = r->hwndArchiveList;
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("README\tREADME\t10\t5\t50%\t01-02-96\t 1:00a"));
  int small = StoredExtent(list);
  int col = r->zipColumns[0];
  ASSERT_GT(small, 0);
  std::string longName(40, 'n');
  std::string line = longName + "\t" + longName + "\t10\t5\t50%\t01-02-96\t 1:00a";
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  int wide = StoredExtent(list);
  EXPECT_GT(wide, small);
  EXPECT_GT(r->zipColumns[0], col);
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), wide);
  int wideCol = r->zipColumns[0];
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a\ta\t1\t1\t0%\t01-02-96\t 1:00a"));
  EXPECT_EQ(StoredExtent(list), wide);
  EXPECT_EQ(r->zipColumns[0], wideCol);
  // Emptying the list keeps its extent and the window's columns: a narrower listing after it
  // does not shrink them.
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(StoredExtent(list), wide);
  EXPECT_EQ(r->zipColumns[0], wideCol);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a\ta\t1\t1\t0%\t01-02-96\t 1:00a"));
  EXPECT_EQ(StoredExtent(list), wide);
  EXPECT_EQ(r->zipColumns[0], wideCol);
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), wide);
}

// The lists reserve room ahead while lines are added; whatever the sequence of additions,
// insertions, deletions and resets, and whichever list is filled in between, each list holds
// exactly the lines (and item data) it was given, in order.
TEST_F(BrowserTest, ListsHoldExactlyTheirLinesWhileRoomIsReserved) {
  HWND h = Open("", kArchiveTypeZip, "*.none");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  struct Step {
    char op;  // 'a' add n lines, 't' insert n lines at the top, 'd' delete line `at`, 'r' reset
    int n;
    int at;
    bool otherList;  // the step goes to the archive list (false) or the other list
  };
  const Step steps[] = {
      {'a', 70, 0, false},  {'a', 5, 0, true},   {'a', 30, 0, false}, {'t', 3, 0, false},
      {'d', 0, 1, false},   {'d', 0, 50, false}, {'a', 100, 0, true}, {'a', 200, 0, false},
      {'r', 0, 0, true},    {'a', 1, 0, true},   {'r', 0, 0, false},  {'a', 90, 0, false},
      {'d', 0, 89, false},  {'a', 40, 0, false},
  };
  HWND lists[2] = {r->hwndArchiveList, r->hwndDirList};
  SendMessageA(lists[1], LB_RESETCONTENT, 0, 0);
  std::vector<std::string> want[2];
  int serial = 0;
  for (const Step& s : steps) {
    const int k = s.otherList ? 1 : 0;
    switch (s.op) {
      case 'a':
      case 't':
        for (int i = 0; i < s.n; ++i) {
          // The other list sorts: its lines are numbered so that they stay in the order given.
          char line[64];
          wsprintfA(line, "f%06d.txt\tf%06d.txt\t%d\t1\t0%%\t01-02-96\t 1:00a", serial, serial, serial);
          ++serial;
          LRESULT at = SendMessageA(lists[k], s.op == 'a' ? LB_ADDSTRING : LB_INSERTSTRING, 0,
                                    reinterpret_cast<LPARAM>(line));
          ASSERT_GE(at, 0);
          SendMessageA(lists[k], LB_SETITEMDATA, at, serial);
          if (s.op == 'a') want[k].push_back(line);
          else want[k].insert(want[k].begin(), line);
        }
        break;
      case 'd':
        ASSERT_LT(static_cast<size_t>(s.at), want[k].size());
        SendMessageA(lists[k], LB_DELETESTRING, s.at, 0);
        want[k].erase(want[k].begin() + s.at);
        break;
      case 'r':
        SendMessageA(lists[k], LB_RESETCONTENT, 0, 0);
        want[k].clear();
        break;
    }
    for (int j = 0; j < 2; ++j) ASSERT_EQ(ListLines(lists[j]), want[j]) << "after step " << (&s - steps);
  }
  // Item data stays with its line: each line's number is one less than its data.
  for (int j = 0; j < 2; ++j) {
    for (size_t i = 0; i < want[j].size(); ++i) {
      const int number = std::atoi(want[j][i].c_str() + 1);
      EXPECT_EQ(SendMessageA(lists[j], LB_GETITEMDATA, i, 0), number + 1) << j << " " << i;
    }
  }
}

TEST_F(BrowserTest, ReReadingANarrowerArchiveKeepsTheColumns) {
  ASSERT_TRUE(CopyFixture("long_name.zip", dir_ / "a.zip"));
  HWND h = Open((dir_ / "a.zip").c_str());
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  HWND list = r->hwndArchiveList;
  ASSERT_EQ(ListLines(list).size(), 1u);
  const int wide = StoredExtent(list);
  int32_t columns[6];
  std::copy(r->zipColumns, r->zipColumns + 6, columns);
  ASSERT_GT(wide, 0);
  // The same archive, now holding only short names, read again as after an operation.
  ASSERT_TRUE(CopyFixture("plain.zip", dir_ / "a.zip"));
  RefreshArchiveWindow(SlotOf(h));
  Drain();
  EXPECT_EQ(ListLines(list).size(), 4u);
  EXPECT_EQ(StoredExtent(list), wide);
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), wide);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r->zipColumns[i], columns[i]) << i;
}

TEST_F(BrowserTest, FocusFollowsTheListAndActivation) {
  ASSERT_TRUE(CopyFixture("plain.zip", dir_ / "plain.zip"));
  HWND h = Open("plain.zip");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  EXPECT_EQ(GetFocus(), r->hwndDirList);
  SetFocus(r->hwndArchiveList);
  EXPECT_EQ(r->hwndFocusList, r->hwndArchiveList);
  // Command 402 puts the focus back on the focused list.
  SetFocus(frame_.frame());
  SendMessageA(h, WM_COMMAND, IDM_TAKE_FOCUS, 0);
  EXPECT_EQ(GetFocus(), r->hwndArchiveList);
  // A second window becomes the active one; the first is active again when chosen.
  HWND other = Open();
  ASSERT_TRUE(other);
  EXPECT_EQ(g_activeBrowser, other);
  SendMessageA(frame_.client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
  Drain();
  EXPECT_EQ(g_activeBrowser, h);
  EXPECT_EQ(r->hwndFocusList, r->hwndDirList);
  // Selecting one archive line alone makes its name the current item.
  SetFocus(r->hwndArchiveList);
  SendMessageA(r->hwndArchiveList, LB_SETSEL, TRUE, 0);
  SendMessageA(h, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(r->hwndArchiveList), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(r->hwndArchiveList));
  auto lines = ListLines(r->hwndArchiveList);
  EXPECT_EQ(std::string(g_currentItemName), lines[0].substr(0, lines[0].find('\t')));
}

TEST_F(BrowserTest, EverySelectedItemIsReturned) {
  HWND h = Open("", kArchiveTypeZip, "*.none");
  ASSERT_TRUE(h);
  HWND list = RecordOf(h)->hwndArchiveList;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 3000; ++i) {
    char line[64];
    wsprintfA(line, "f%04d\tf%04d\t1\t1\t0%%\t01-02-96\t 1:00a", i);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  SendMessageA(list, LB_SETSEL, TRUE, -1);
  auto sel = SelectedIndexes(list);
  ASSERT_EQ(sel.size(), 3000u);
  EXPECT_EQ(sel.back(), 2999);
}


TEST_F(BrowserTest, SelectAllTwiceOnTheDirectoryList) {
  CreateDirectoryA((dir_ / "sub").c_str(), nullptr);
  WriteFileBytes(dir_ / "one.txt", "12345");
  WriteFileBytes(dir_ / "two.txt", "1234567");
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  HWND list = r->hwndDirList;
  SelectAllToggle(h, list);
  auto lines = ListLines(list);
  std::vector<std::string> selected;
  for (int i : SelectedIndexes(list)) selected.push_back(lines[i].substr(0, lines[i].find('\t')));
  EXPECT_EQ(selected, (std::vector<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(g_panes[IDC_PANE_DIR_TOTALS], "12 Bytes In 2 Files.");
  SelectAllToggle(h, list);
  EXPECT_TRUE(SelectedIndexes(list).empty());
  char want[64];
  wsprintfA(want, "12 Bytes In %d Files.", static_cast<int>(lines.size()));
  EXPECT_EQ(g_panes[IDC_PANE_DIR_TOTALS], want);
  // After a clearing, a selection made by hand is completed by the next toggle, then cleared.
  SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(lines.size() - 1));
  SelectAllToggle(h, list);
  EXPECT_EQ(SelectedIndexes(list).size(), 2u);
  SelectAllToggle(h, list);
  EXPECT_TRUE(SelectedIndexes(list).empty());
}

TEST_F(BrowserTest, SelectAllOnTheArchiveListTakesEveryLine) {
  ASSERT_TRUE(CopyFixture("comments.zip", dir_ / "comments.zip"));
  HWND h = Open("comments.zip");
  ASSERT_TRUE(h);
  HWND list = RecordOf(h)->hwndArchiveList;
  SelectAllToggle(h, list);
  EXPECT_EQ(static_cast<LRESULT>(SelectedIndexes(list).size()), SendMessageA(list, LB_GETCOUNT, 0, 0));
}

TEST_F(BrowserTest, SelectByTypePatterns) {
  for (const char* f : {"a.doc", "b.DOC", "c.txt", "d.zip", "Long name.text"}) WriteFileBytes(dir_ / f, "x");
  HWND h = Open();
  ASSERT_TRUE(h);
  HWND list = RecordOf(h)->hwndDirList;
  auto names = [&] {
    auto lines = ListLines(list);
    std::vector<std::string> out;
    for (int i : SelectedIndexes(list)) out.push_back(lines[i].substr(0, lines[i].find('\t')));
    return out;
  };
  SelectByPatterns(list, "*.doc;   *.zip", true);
  EXPECT_EQ(names(), (std::vector<std::string>{"a.doc", "b.DOC", "d.zip"}));
  SelectByPatterns(list, "b*.*", false);
  EXPECT_EQ(names(), (std::vector<std::string>{"a.doc", "d.zip"}));
  // The short view matches the short names.
  SelectByPatterns(list, "*.*", false);
  SetNameDisplay(1);
  SelectByPatterns(list, "*.tex", true);
  EXPECT_EQ(names(), (std::vector<std::string>{"Long name.text"}));
  SetNameDisplay(0);
  SelectByPatterns(list, "*.*", false);
  SelectByPatterns(list, "*.tex", true);
  EXPECT_TRUE(names().empty());
}

TEST_F(BrowserTest, ParentDirectoryAndTheRoot) {
  std::string sub = dir_ / "sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  SetCurrentDirectoryA(sub.c_str());
  static bool enabled = true;
  g_browserHost.enableParentButton = [](bool e) { enabled = e; };
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  EXPECT_TRUE(GoToParentDirectory(h));
  EXPECT_EQ(std::string(r->curDir), dir_.path());
  EXPECT_TRUE(enabled);
  EXPECT_EQ(FirstFields(NonDriveLines(r->hwndDirList))[1], "[sub]");
  SetCurrentDirectoryA("C:\\");
  lstrcpyA(r->curDir, "C:\\");
  FillDirectoryList(SlotOf(h));
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(GoToParentDirectory(h));
  EXPECT_STREQ(r->curDir, "C:\\");
  EXPECT_FALSE(enabled);
  // No parent line at a root.
  for (auto& l : ListLines(r->hwndDirList)) EXPECT_NE(l.substr(0, 4), "[..]");
  g_browserHost.enableParentButton = nullptr;
}

TEST_F(BrowserTest, DriveChangeGoesToTheRememberedDirectoryAndBack) {
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  const char home = static_cast<char>(dir_.path()[0] | 0x20);
  const char other = home == 'z' ? 'c' : 'z';
  std::string otherDir = std::string(1, static_cast<char>(other - 'a' + 'A')) + ":\\";
  ASSERT_TRUE(RememberDriveDir(h, otherDir.c_str()));
  char item[6] = {'[', '-', other, '-', ']', 0};
  ASSERT_TRUE(ChangeDriveFromBox(item));
  EXPECT_STREQ(r->curDir, otherDir.c_str());
  EXPECT_NE(g_panes[IDC_PANE_DIR_TOTALS].find(" Files."), std::string::npos);
  char back[6] = {'[', '-', home, '-', ']', 0};
  ASSERT_TRUE(ChangeDriveFromBox(back));
  EXPECT_EQ(std::string(r->curDir), dir_.path()) << "the directory remembered for the drive";
  // A drive that does not exist leaves the window where it is.
  EXPECT_FALSE(ChangeDriveFromBox("[-q-]"));
  EXPECT_EQ(std::string(r->curDir), dir_.path());
}

TEST_F(BrowserTest, SplitterDragStaysBetweenItsLimits) {
  HWND h = CreateBrowserWindow("", kArchiveTypeZip, "*.none", "*.*", 0, 0, 0, 800, 400, 0);
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  struct Case {
    int pointer, want;
  } cases[] = {{300, 300}, {600, 425}, {20, 125}, {200, 200}};
  for (const auto& c : cases) {
    // Pointer positions are in the splitter's client coordinates; the targets in the window's.
    RECT sp;
    GetWindowRect(r->hwndSplitter, &sp);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    SendMessageA(r->hwndSplitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
    int x = origin.x + c.pointer - sp.left;
    SendMessageA(r->hwndSplitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 10));
    SendMessageA(r->hwndSplitter, WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    EXPECT_EQ(r->splitterPos, c.want) << c.pointer;
    RECT list;
    GetWindowRect(r->hwndArchiveList, &list);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, c.want + 6) << c.pointer;
  }
  // A click without a move changes nothing.
  SendMessageA(r->hwndSplitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  SendMessageA(r->hwndSplitter, WM_LBUTTONUP, 0, MAKELPARAM(2, 10));
  EXPECT_EQ(r->splitterPos, 200);
}

TEST_F(BrowserTest, SplitterDragEndsWithTheListsDrawnAgain) {
  HWND h = CreateBrowserWindow("", kArchiveTypeZip, "*.none", "*.*", 0, 0, 0, 800, 400, 0);
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  Drain();
  // Dragged out and back to where it was: the split does not change, but the inverted bar
  // passed over the lists, which are painted again.
  RECT sp;
  GetWindowRect(r->hwndSplitter, &sp);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  SendMessageA(r->hwndSplitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  SendMessageA(r->hwndSplitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + 350 - sp.left, 10));
  SendMessageA(r->hwndSplitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + r->splitterPos - sp.left, 10));
  ASSERT_FALSE(GetUpdateRect(r->hwndArchiveList, nullptr, FALSE));
  SendMessageA(r->hwndSplitter, WM_LBUTTONUP, 0, MAKELPARAM(origin.x + r->splitterPos - sp.left, 10));
  EXPECT_TRUE(GetUpdateRect(r->hwndArchiveList, nullptr, FALSE));
  EXPECT_TRUE(GetUpdateRect(r->hwndDirList, nullptr, FALSE));
}

TEST_F(BrowserTest, ColumnHeadersDrawNoTextOfTheirOwn) {
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  // The directory header holds the directory as its text but shows only its background.
  SetWindowTextA(r->hwndDirHeader, "WWWWWWWWWWWWWWWWWWWW");
  UpdateWindow(r->hwndDirHeader);
  EXPECT_EQ("WWWWWWWWWWWWWWWWWWWW", [&] {
    char t[64] = "";
    GetWindowTextA(r->hwndDirHeader, t, sizeof t);
    return std::string(t);
  }());
  auto inked = [](HWND header) {
    UpdateWindow(header);
    RECT rc;
    GetClientRect(header, &rc);
    HDC dc = GetDC(header);
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    int other = 0;
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right && x < 200; ++x) other += GetPixel(dc, x, y) != back;
    ReleaseDC(header, dc);
    return other;
  };
  EXPECT_EQ(0, inked(r->hwndDirHeader));
  // A window given a new ARJ archive has no columns until a line is measured: no titles drawn
  // over each other.
  AssignArchiveToWindow(h, (dir_ / "NEW.ARJ").c_str(), kArchiveTypeArj);
  EXPECT_EQ(kListArj, ListKindOf(r->hwndArchiveHeader));
  EXPECT_EQ(0, inked(r->hwndArchiveHeader));
}

TEST_F(BrowserTest, ShortNamesInTheDirectoryHeader) {
  std::string sub = dir_ / "Program Files";
  CreateDirectoryA(sub.c_str(), nullptr);
  SetCurrentDirectoryA(sub.c_str());
  HWND h = Open();
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  char text[MAX_PATH] = "";
  GetWindowTextA(r->hwndDirHeader, text, sizeof text);
  EXPECT_EQ(std::string(text), sub);
  SetNameDisplay(1);
  GetWindowTextA(r->hwndDirHeader, text, sizeof text);
  char shortPath[MAX_PATH] = "";
  GetShortPathNameA(sub.c_str(), shortPath, sizeof shortPath);
  EXPECT_STREQ(text, shortPath);
  EXPECT_EQ(std::string(text).find("Program Files"), std::string::npos);
  SetNameDisplay(0);
}

TEST_F(BrowserTest, HeaderScrollsWithTheArchiveList) {
  HWND h = Open("", kArchiveTypeZip, "*.none");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  std::string longName(120, 'n');
  std::string line = longName + "\t" + longName + "\t10\t5\t50%\t01-02-96\t 1:00a";
  SendMessageA(r->hwndArchiveList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(r->hwndArchiveList, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 0);
  int pos = GetScrollPos(r->hwndArchiveList, SB_HORZ);
  EXPECT_GT(pos, 0);
  EXPECT_EQ(GetWindowLongA(r->hwndArchiveHeader, g_browserHost.staticBaseExtra + 4), pos);
  EXPECT_EQ(GetWindowLongA(r->hwndArchiveHeader, g_browserHost.staticBaseExtra + 8), StoredExtent(r->hwndArchiveList));
}

TEST_F(BrowserTest, CaretOfAnUnfocusedListIsFramedNotFilled) {
  HWND h = Open("", kArchiveTypeZip, "*.none");
  ASSERT_TRUE(h);
  WindowRecord* r = RecordOf(h);
  SendMessageA(r->hwndArchiveList, LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>("README\tREADME\t10\t5\t50%\t01-02-96\t 1:00a"));
  SendMessageA(r->hwndArchiveList, LB_SETSEL, TRUE, 0);
  SetFocus(r->hwndDirList);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 40);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_LISTBOX;
  dis.itemID = 0;
  dis.hwndItem = r->hwndArchiveList;
  dis.hDC = dc;
  dis.rcItem = RECT{0, 0, 300, ItemHeight()};
  auto draw = [&](UINT action, UINT state) {
    dis.itemAction = action;
    dis.itemState = state;
    DrawListItem(&dis);
  };
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
  const COLORREF window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
  // Selected and drawn whole: the highlight fills the item.
  draw(ODA_DRAWENTIRE, ODS_SELECTED);
  EXPECT_EQ(GetPixel(dc, 250, ItemHeight() / 2) & 0xFFFFFF, highlight);
  // The caret in a list without the focus: unselected, inside a highlight frame.
  draw(ODA_FOCUS, ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(GetPixel(dc, 250, ItemHeight() / 2) & 0xFFFFFF, window);
  EXPECT_EQ(GetPixel(dc, 250, 0) & 0xFFFFFF, highlight);
  EXPECT_EQ(GetPixel(dc, 0, ItemHeight() / 2) & 0xFFFFFF, highlight);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}


TEST_F(BrowserTest, NameColumnIsTheNameAsTheSystemMeasuresIt) {
  const char* names[] = {"Wide WWW name.zip", "iiiiiiiiiiiiiiiiiiiiiiii.txt", "Mixed Case 123 (copy).doc"};
  BITMAP bm{};
  GetObjectA(ItemBitmap("harddrive"), sizeof bm, &bm);
  const int b = (g_browserHost.charWidth > bm.bmWidth ? g_browserHost.charWidth : bm.bmWidth) + 2;
  for (const char* n : names) {
    HWND h = Open("", kArchiveTypeZip, "*.none");
    ASSERT_TRUE(h);
    WindowRecord* r = RecordOf(h);
    std::string line = std::string(n) + "\t" + n + "\t1\t1\t0%\t01-02-96\t 1:00a";
    SendMessageA(r->hwndArchiveList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    HDC dc = GetDC(r->hwndArchiveList);
    HGDIOBJ old = SelectObject(dc, g_browserHost.listFont);
    SIZE name{}, gap{};
    GetTextExtentPoint32A(dc, n, lstrlenA(n), &name);
    GetTextExtentPoint32A(dc, "ww", 2, &gap);
    SelectObject(dc, old);
    ReleaseDC(r->hwndArchiveList, dc);
    EXPECT_EQ(r->zipColumns[0], b + gap.cx + name.cx) << n;
  }
}

}  // namespace
}  // namespace ql
