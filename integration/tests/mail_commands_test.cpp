// The Mail menu on a frame made in this process as the program makes it, with the stand-in mail
// client registered for mapi32: each command's call reaches the provider as the log shows, and the
// mail items are enabled and greyed as the commands go.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "integration/mail_win.h"
#include "integration/tests/mail_test_support.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::LogLines;
using qltest::PumpUntil;
using qltest::StandInMailClient;
using qltest::TempDir;

const UINT kMailItems[] = {IDM_MAIL_LOGON, IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST,
                           IDM_MAIL_FIND_NEXT, IDM_MAIL_READ, IDM_MAIL_DELETE};

class MailCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(qltest::WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) Close();
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  // Starts the frame with the stand-in as the mail client (mapi32 picks it as it loads).
  HWND Start(bool refuseLogon = false) {
    client_ = std::make_unique<StandInMailClient>(log(), refuseLogon);
    if (!client_->ok()) return nullptr;
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    PumpUntil([] { return false; }, 0);
    return frame_;
  }
  void Close() {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    ql::RunMessageLoop();
    ql::ExitInstance(GetModuleHandleA(nullptr));
    frame_ = nullptr;
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  // The mail items that are enabled now, in menu order.
  std::vector<UINT> Enabled() {
    std::vector<UINT> on;
    for (UINT id : kMailItems)
      if (!(GetMenuState(ql::g_managerMenu, id, MF_BYCOMMAND) & MF_GRAYED)) on.push_back(id);
    return on;
  }
  // The log's lines since the last call.
  std::vector<std::string> NewCalls() {
    std::vector<std::string> lines = LogLines(log());
    std::vector<std::string> fresh(lines.begin() + static_cast<long>(std::min(seen_, lines.size())), lines.end());
    seen_ = lines.size();
    return fresh;
  }
  std::string ui() const { return qltest::HexHandle(frame_); }
  std::string log() const { return dir_ / "mail.log"; }

  TempDir dir_{"ql mail"};
  std::string cwd_;
  HWND frame_ = nullptr;
  std::unique_ptr<StandInMailClient> client_;
  size_t seen_ = 0;
};

using Items = std::vector<UINT>;

TEST_F(MailCommandsTest, LogOnFindReadDeleteAndLogOff) {
  ASSERT_NE(nullptr, Start());
  ASSERT_NE(nullptr, ql::g_mailLibrary);
  EXPECT_EQ(Enabled(), Items{IDM_MAIL_LOGON});

  Command(IDM_MAIL_LOGON);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"Logon session=0 ui=" + ui() +
                                                 " flags=1 profile=null password=null -> ok"});
  EXPECT_TRUE(ql::MailLoggedOn());
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST}));

  const std::string head = " session=5151 ui=" + ui();
  Command(IDM_MAIL_FIND_FIRST);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"FindNext" + head + " flags=4100 type=null seed='' -> QL-MSG-1"});
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT, IDM_MAIL_READ}));

  // Reading brings the mail client's window up.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MS Mail32 Appframe";
  RegisterClassA(&wc);
  HWND client = CreateWindowA("MS Mail32 Appframe", "Mail", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(nullptr, client);
  EXPECT_FALSE(IsWindowVisible(client));
  Command(IDM_MAIL_READ);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"ReadMail" + head + " flags=800 id='QL-MSG-1' -> ok"});
  EXPECT_TRUE(IsWindowVisible(client));
  DestroyWindow(client);
  UnregisterClassA("MS Mail32 Appframe", wc.hInstance);
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT,
                              IDM_MAIL_READ, IDM_MAIL_DELETE}));

  Command(IDM_MAIL_DELETE);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"DeleteMail" + head + " flags=0 id='QL-MSG-1' -> ok"});
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT}));

  // The next find starts after the message just deleted; after the last one there is none.
  Command(IDM_MAIL_FIND_NEXT);
  EXPECT_EQ(NewCalls(),
            std::vector<std::string>{"FindNext" + head + " flags=4100 type=null seed='QL-MSG-1' -> QL-MSG-2"});
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST, IDM_MAIL_FIND_NEXT, IDM_MAIL_READ}));
  Command(IDM_MAIL_READ);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"ReadMail" + head + " flags=800 id='QL-MSG-2' -> ok"});
  Command(IDM_MAIL_FIND_NEXT);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"FindNext" + head + " flags=4100 type=null seed='QL-MSG-2' -> none"});
  EXPECT_EQ(Enabled(), (Items{IDM_MAIL_LOGOFF, IDM_MAIL_SEND, IDM_MAIL_FIND_FIRST}));

  // Find First starts from the beginning again.
  Command(IDM_MAIL_FIND_FIRST);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"FindNext" + head + " flags=4100 type=null seed='' -> QL-MSG-2"});

  Command(IDM_MAIL_LOGOFF);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"Logoff" + head + " flags=0"});
  EXPECT_FALSE(ql::MailLoggedOn());
  EXPECT_EQ(Enabled(), Items{IDM_MAIL_LOGON});
  // Closed logged off: no second logoff.
  Close();
  EXPECT_TRUE(NewCalls().empty());
}

TEST_F(MailCommandsTest, SendAttachesTheSelectedFilesOfTheDirectoryList) {
  ASSERT_TRUE(qltest::WriteTextFile(dir_ / "mail one.txt", "first"));
  ASSERT_TRUE(qltest::WriteTextFile(dir_ / "notes.txt", "second"));
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  Command(IDM_MAIL_LOGON);
  NewCalls();
  const std::string send = "SendMail session=5151 ui=" + ui() +
                           " flags=8 subject='' note='' type=null received='1980/01/01 12:00' msgflags=1 "
                           "from='Quillon' recipients=0";
  Command(IDM_MAIL_SEND);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{send + " files=0"});

  // The two files and a directory entry selected: the files go along, the directory does not.
  std::vector<std::string> lines = ql::ListLines(r->hwndDirList);
  int picked = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name = lines[i].substr(0, lines[i].find('\t'));
    if (name == "mail one.txt" || name == "notes.txt" || name == "QL5TEMP" || name == "[QL5TEMP]") {
      SendMessageA(r->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
      ++picked;
    }
  }
  ASSERT_EQ(picked, 3) << "the two files and the work directory are listed";
  Command(IDM_MAIL_SEND);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{send + " files=2 file='" + (dir_ / "mail one.txt") + "' file='" +
                                                 (dir_ / "notes.txt") + "'"});
  // The mail button sends only, while logged on.
  Command(IDM_MAIL_BUTTON);
  ASSERT_EQ(NewCalls().size(), 1u);
  // Closing logs off.
  const std::string logoff = "Logoff session=5151 ui=" + ui() + " flags=0";
  Close();
  EXPECT_EQ(NewCalls(), std::vector<std::string>{logoff});
}

TEST_F(MailCommandsTest, TheMailButtonLogsOnSendsAndLogsOff) {
  ASSERT_NE(nullptr, Start());
  Command(IDM_MAIL_BUTTON);
  std::vector<std::string> calls = NewCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].substr(0, 6), "Logon ");
  EXPECT_EQ(calls[1].substr(0, 9), "SendMail ");
  EXPECT_EQ(calls[2], "Logoff session=5151 ui=" + ui() + " flags=0");
  EXPECT_FALSE(ql::MailLoggedOn());
  EXPECT_EQ(Enabled(), Items{IDM_MAIL_LOGON});
}

TEST_F(MailCommandsTest, ARefusedLogonLeavesTheProgramLoggedOff) {
  ASSERT_NE(nullptr, Start(true));
  const std::string refused = "Logon session=0 ui=" + ui() + " flags=1 profile=null password=null -> refused";
  Command(IDM_MAIL_LOGON);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{refused});
  EXPECT_FALSE(ql::MailLoggedOn());
  EXPECT_EQ(Enabled(), Items{IDM_MAIL_LOGON});
  // The mail button stops after the refused logon: nothing is sent, nobody is logged off.
  Command(IDM_MAIL_BUTTON);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{refused});
  EXPECT_EQ(Enabled(), Items{IDM_MAIL_LOGON});
  // Nor at close.
  Close();
  EXPECT_TRUE(NewCalls().empty());
}

}  // namespace
