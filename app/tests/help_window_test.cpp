// The help window in this process: F1 in dialogs and on a menu item, Contents, Search with the
// keyword typed, links, Back, one window that remembers its place, and a missing or damaged help file.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/dispatch.h"
#include "app/help_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/help_contexts.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::TempDir;
using qltest::WriteTextFile;

constexpr const char* kTitlePrefix = "Quillon Help - ";

std::string HelpTitle() {
  HWND h = ql::HelpWindowHandle();
  return h ? qltest::WindowText(h) : std::string();
}

bool CopyHelpFile(const std::string& to) {
  std::ifstream in(std::string(QL_PROGRAM_DIR) + "/QL53.HLP", std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return !bytes.empty() && WriteTextFile(to, bytes);
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
    ASSERT_TRUE(CopyHelpFile(dir_ / "QL53.HLP"));
    SetCurrentDirectoryA(data_.path().c_str());
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    EXPECT_EQ(ql::HelpWindowHandle(), nullptr) << "the help window outlived the frame";
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  HWND Start() {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    PumpUntil([] { return false; }, 0);
    return frame_;
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  bool WaitForTitle(const std::string& title) {
    return PumpUntil([&] { return HelpTitle() == kTitlePrefix + title; }, 5000);
  }
  HWND Child(int id) { return GetDlgItem(ql::HelpWindowHandle(), id); }
  std::string ini() const { return dir_ / "ql53intl.ini"; }

  TempDir dir_{"ql help"};
  TempDir data_{"ql help data"};
  std::string cwd_;
  HWND frame_ = nullptr;
};

// F1 as the user presses it: the key goes down and up on the keyboard, reaching the dialog that
// has the focus.
void PressF1In(HWND dialog) {
  SetForegroundWindow(dialog);
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof keys[0]);
}

TEST_F(HelpWindowTest, F1InDialogsOpensEachDialogsTopic) {
  ASSERT_NE(nullptr, Start());
  if (!ql::g_activeBrowser) Command(IDM_NEW_WINDOW);
  ASSERT_NE(nullptr, ql::g_activeBrowser);
  struct Case {
    UINT command;
    const char* dialogTitle;
    const char* topic;
  };
  const Case cases[] = {
      {IDM_SELECT_FILES, "Select Files By Type", "Selecting Files"},
      {IDM_ZIP_SWITCHES, nullptr, "Switches"},
      {IDM_NEW_ARCHIVE, nullptr, "Create a New Archive"},
  };
  for (const Case& c : cases) {
    std::atomic<bool> shown{false};
    std::string expected = kTitlePrefix + std::string(c.topic);
    {
      // The user presses F1, reads the help window that appears, then cancels the dialog.
      DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                            [&](HWND dialog, const qltest::SeenDialog&) {
                              PressF1In(dialog);
                              shown = qltest::WaitUntil([&] { return HelpTitle() == expected; }, 5000);
                              return IDCANCEL;
                            });
      Command(c.command);
      ASSERT_TRUE(watcher.WaitForAnswers(1)) << c.topic;
      auto seen = watcher.Seen();
      if (c.dialogTitle) {
        EXPECT_EQ(seen[0].title, c.dialogTitle);
      }
    }
    EXPECT_TRUE(shown) << c.topic << ": the help window showed \"" << HelpTitle() << "\"";
    EXPECT_TRUE(IsWindowVisible(ql::HelpWindowHandle()));
  }
}

void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
  std::vector<INPUT> in;
  for (auto [key, up] : strokes) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof in[0]);
}

TEST_F(HelpWindowTest, F1HeldInAnOpenMenuOpensTheHighlightedItemsTopic) {
  ASSERT_NE(nullptr, Start());
  SetForegroundWindow(frame_);
  PumpUntil([] { return false; }, 0);
  // The user opens the Edit menu with the keyboard (its first item, Extract, is highlighted), holds
  // F1, reads the help, lets go and closes the menu.
  std::atomic<bool> shown{false};
  std::atomic<bool> done{false};
  DWORD thread = GetCurrentThreadId();
  std::thread user([&] {
    Keys({{VK_MENU, false}, {'E', false}, {'E', true}, {VK_MENU, true}});
    bool open = qltest::WaitUntil([&] { return qltest::FindThreadWindow(thread, "#32768") != nullptr; }, 5000);
    if (open) {
      Keys({{VK_F1, false}});
      shown = qltest::WaitUntil([] { return HelpTitle() == std::string(kTitlePrefix) + "Extract"; }, 5000);
      Keys({{VK_F1, true}});
    }
    Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}, {VK_ESCAPE, false}, {VK_ESCAPE, true}});
    done = true;
  });
  PumpUntil([&] { return done && !qltest::FindThreadWindow(thread, "#32768"); }, 15000);
  user.join();
  EXPECT_TRUE(shown) << "the help window showed \"" << HelpTitle() << "\"";
}

TEST_F(HelpWindowTest, F1OnAHighlightedMenuItemOpensItsTopic) {
  ASSERT_NE(nullptr, Start());
  // The menu loop reports the highlighted item; F1 then opens its topic.
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_EXTRACT, MF_HILITE), reinterpret_cast<LPARAM>(GetMenu(frame_)));
  SendMessageA(frame_, WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(WaitForTitle("Extract")) << HelpTitle();
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_REFRESH, MF_HILITE),
               reinterpret_cast<LPARAM>(GetMenu(frame_)));
  SendMessageA(frame_, WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(WaitForTitle("Browser Windows")) << HelpTitle();
  EXPECT_EQ(ql::g_helpContext, ql::help::kBrowserWindow);
  // F1 in a browser window's list opens the window's topic.
  ql::ShowHelp(frame_, ql::HelpAction::Contents);
  ASSERT_TRUE(WaitForTitle("Welcome to Quillon"));
  if (!ql::g_activeBrowser) Command(IDM_NEW_WINDOW);
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_NE(r, nullptr);
  SendMessageA(r->hwndDirList, WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(WaitForTitle("Browser Windows")) << HelpTitle();
}

TEST_F(HelpWindowTest, ContentsSearchLinksAndBack) {
  ASSERT_NE(nullptr, Start());
  Command(IDM_HELP_CONTENTS);
  ASSERT_TRUE(WaitForTitle("Welcome to Quillon")) << HelpTitle();
  HWND help = ql::HelpWindowHandle();
  EXPECT_TRUE(IsWindowVisible(Child(ql::kHelpContentsList)));
  EXPECT_FALSE(IsWindowVisible(Child(ql::kHelpKeywordEdit)));
  EXPECT_GT(SendMessageA(Child(ql::kHelpContentsList), LB_GETCOUNT, 0, 0), 40);

  // Search: typing chooses the first keyword with those letters; Enter shows its topic.
  Command(IDM_HELP_SEARCH);
  EXPECT_EQ(ql::HelpWindowHandle(), help) << "a second help window";
  HWND edit = Child(ql::kHelpKeywordEdit);
  ASSERT_TRUE(IsWindowVisible(edit));
  EXPECT_TRUE(IsWindowVisible(Child(ql::kHelpIndexList)));
  SetWindowTextA(edit, "extr");
  HWND index = Child(ql::kHelpIndexList);
  int sel = static_cast<int>(SendMessageA(index, LB_GETCURSEL, 0, 0));
  ASSERT_GE(sel, 0);
  char text[128] = "";
  SendMessageA(index, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::string(text).substr(0, 4), "extr") << text;
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitForTitle("Extract")) << HelpTitle();
  EXPECT_EQ(ql::HelpTopicShown(), "extract");
  // Nothing matches: no keyword is chosen and Display shows nothing new.
  SetWindowTextA(edit, "zzzz");
  EXPECT_EQ(SendMessageA(index, LB_GETCURSEL, 0, 0), LB_ERR);

  // A link: Tab chooses the first link of the topic, Enter follows it; Back returns.
  HWND pane = Child(ql::kHelpTopicPane);
  SendMessageA(pane, WM_KEYDOWN, VK_TAB, 0);
  SendMessageA(pane, WM_KEYDOWN, VK_RETURN, 0);
  PumpUntil([] { return ql::HelpTopicShown() != "extract"; }, 3000);
  std::string linked = ql::HelpTopicShown();
  EXPECT_NE(linked, "extract");
  EXPECT_FALSE(linked.empty());
  SendMessageA(help, WM_COMMAND, ql::kHelpBackButton, 0);
  EXPECT_TRUE(WaitForTitle("Extract")) << HelpTitle();
  SendMessageA(help, WM_COMMAND, ql::kHelpBackButton, 0);
  EXPECT_TRUE(WaitForTitle("Welcome to Quillon")) << HelpTitle();
  EXPECT_FALSE(IsWindowEnabled(Child(ql::kHelpBackButton)));

  // Contents: choosing a title shows it.
  Command(IDM_HELP_CONTENTS);
  HWND contents = Child(ql::kHelpContentsList);
  int n = static_cast<int>(SendMessageA(contents, LB_GETCOUNT, 0, 0));
  int chosen = -1;
  for (int i = 0; i < n && chosen < 0; ++i) {
    SendMessageA(contents, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (std::string(text).find("Drag and Drop") != std::string::npos) chosen = i;
  }
  ASSERT_GE(chosen, 0);
  SendMessageA(contents, LB_SETCURSEL, chosen, 0);
  SendMessageA(help, WM_COMMAND, MAKEWPARAM(ql::kHelpContentsList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(contents));
  EXPECT_TRUE(WaitForTitle("Drag and Drop")) << HelpTitle();

  Command(IDM_HELP_ON_HELP);
  EXPECT_TRUE(WaitForTitle("How to Use Help")) << HelpTitle();
}

TEST_F(HelpWindowTest, TheWindowRemembersItsPlace) {
  ASSERT_NE(nullptr, Start());
  Command(IDM_HELP_CONTENTS);
  HWND help = ql::HelpWindowHandle();
  ASSERT_NE(help, nullptr);
  MoveWindow(help, 40, 50, 500, 420, TRUE);
  ql::CloseHelpWindow();
  EXPECT_EQ(ql::HelpWindowHandle(), nullptr);
  char value[64] = "";
  GetPrivateProfileStringA("Help Window", "Placement", "", value, sizeof value, ini().c_str());
  EXPECT_STREQ(value, "40 50 500 420");
  Command(IDM_HELP_CONTENTS);
  ASSERT_NE(ql::HelpWindowHandle(), nullptr);
  RECT rc;
  GetWindowRect(ql::HelpWindowHandle(), &rc);
  EXPECT_EQ(rc.left, 40);
  EXPECT_EQ(rc.top, 50);
  EXPECT_EQ(rc.right - rc.left, 500);
  EXPECT_EQ(rc.bottom - rc.top, 420);
  ql::CloseHelpWindow();

  // A placement that makes no sense gives the default place, on the screen.
  for (const char* bad : {"garbage", "40 50 10 10", "-90000 5 500 400", "1 2 3"}) {
    WritePrivateProfileStringA("Help Window", "Placement", bad, ini().c_str());
    Command(IDM_HELP_CONTENTS);
    ASSERT_NE(ql::HelpWindowHandle(), nullptr) << bad;
    GetWindowRect(ql::HelpWindowHandle(), &rc);
    EXPECT_GE(rc.right - rc.left, 420) << bad;
    EXPECT_GE(rc.left, 0) << bad;
    EXPECT_LT(rc.left, GetSystemMetrics(SM_CXSCREEN)) << bad;
    ql::CloseHelpWindow();
  }
}

TEST_F(HelpWindowTest, AMissingOrDamagedHelpFileIsReported) {
  ASSERT_NE(nullptr, Start());
  struct Case {
    const char* name;
    const char* content;  // null: no file
    const char* message;
  };
  const Case cases[] = {
      {"missing", nullptr, "cannot find its help file"},
      {"damaged", "MZ this is not help\r\n", "is damaged"},
      {"empty", "", "is damaged"},
      {"cut short", "QLHELP 1\n@topic a\n", "is damaged"},
  };
  for (const Case& c : cases) {
    DeleteFileA((dir_ / "QL53.HLP").c_str());
    if (c.content) {
      ASSERT_TRUE(WriteTextFile(dir_ / "QL53.HLP", c.content));
    }
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
    Command(IDM_HELP_CONTENTS);
    ASSERT_TRUE(watcher.WaitForAnswers(1)) << c.name;
    auto seen = watcher.Seen();
    EXPECT_EQ(seen[0].title, "Quillon") << c.name;
    EXPECT_NE(seen[0].text.find(c.message), std::string::npos) << c.name << ": " << seen[0].text;
    EXPECT_EQ(ql::HelpWindowHandle(), nullptr) << c.name;
  }
  // Put back, the file is read again and help works.
  ASSERT_TRUE(CopyHelpFile(dir_ / "QL53.HLP"));
  Command(IDM_HELP_CONTENTS);
  EXPECT_TRUE(WaitForTitle("Welcome to Quillon")) << HelpTitle();
}

std::vector<std::pair<int, DWORD>> g_requests;

TEST(HelpRoutingTest, DialogsAndLowerModulesReachTheInstalledHandler) {
  ql::SetHelpHandler([](HWND, ql::HelpAction action, DWORD context) {
    g_requests.emplace_back(static_cast<int>(action), context);
  });
  HWND dlg = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(ql::DialogHelpOrCancel(dlg, WM_HELP, 0, ql::help::kRun));
  EXPECT_TRUE(ql::DialogHelpOrCancel(dlg, WM_COMMAND, IDC_HELP_BUTTON, ql::help::kRenameFile));
  EXPECT_TRUE(ql::DialogHelpOrCancel(dlg, WM_KEYDOWN, VK_F1, ql::help::kFonts));
  EXPECT_FALSE(ql::DialogHelpOrCancel(dlg, WM_KEYDOWN, VK_F2, ql::help::kFonts));
  ql::ShowHelp(dlg, ql::HelpAction::Context, ql::help::kBrowserWindow);
  ql::ShowHelp(dlg, ql::HelpAction::Search);
  const int context = static_cast<int>(ql::HelpAction::Context);
  EXPECT_EQ(g_requests, (std::vector<std::pair<int, DWORD>>{{context, ql::help::kRun},
                                                           {context, ql::help::kRenameFile},
                                                           {context, ql::help::kFonts},
                                                           {context, ql::help::kBrowserWindow},
                                                           {static_cast<int>(ql::HelpAction::Search), 0}}));
  // Without a handler a request does nothing.
  ql::SetHelpHandler(nullptr);
  ql::ShowHelp(dlg, ql::HelpAction::Contents);
  EXPECT_EQ(g_requests.size(), 5u);
  DestroyWindow(dlg);
}

}  // namespace
