// quillon.exe with its desktop neighbours under Wine: the mail button through mapi32 and the
// stand-in mail client, the File Manager extension registered, loaded by a stand-in file manager
// and opening an archive in the running Quillon, and a Program Manager group and item made through
// the PROGMAN DDE server of Wine's desktop.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <string>
#include <vector>

#include "integration/tests/mail_test_support.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::FileExists;
using qltest::FindProcessWindow;
using qltest::LogLines;
using qltest::Process;
using qltest::SeenDialog;
using qltest::StandInMailClient;
using qltest::TempDir;
using qltest::WaitUntil;

std::string Standin(const char* file) {
  std::string path = std::string(QL_STANDIN_DIR) + "/" + file;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string AddonEntry() {
  char value[MAX_PATH] = "";
  GetPrivateProfileStringA("Addons", "Quillon Extension", "(missing)", value, sizeof value, "winfile.ini");
  return value;
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

BOOL CALLBACK CountFrames(HWND h, LPARAM p) {
  if (qltest::ClassOf(h) == "Quillon5") ++*reinterpret_cast<int*>(p);
  return TRUE;
}

int QuillonFrames() {
  int n = 0;
  EnumWindows(CountFrames, reinterpret_cast<LPARAM>(&n));
  return n;
}

// The titles of the browser windows of a frame (each is its archive's path, or its directory).
std::vector<std::string> BrowserTitles(HWND frame) {
  std::vector<std::string> titles;
  HWND client = GetDlgItem(frame, 188);
  for (HWND child : Children(client, "MDICHILD")) titles.push_back(qltest::WindowText(child));
  return titles;
}

// The lines of another process's list box (the text travels as wide characters).
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

// Deletes a directory and the files in it (one level: what a group holds).
void RemoveGroupFolder(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

class MailAndShellEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"quillon.exe", "qlkbdtrp.exe", "QL53FM.DLL", "QL5DINTL.DLL"}) {
      std::string from = std::string(QL_PROGRAM_DIR) + "/" + file;
      ASSERT_TRUE(CopyFileA(from.c_str(), (program_ / file).c_str(), FALSE)) << file;
    }
  }
  void TearDown() override {
    WritePrivateProfileStringA("Addons", "Quillon Extension", nullptr, "winfile.ini");
  }
  bool StartQuillon(Process& p) {
    if (!p.Start(program_ / "quillon.exe", "", program_.path())) return false;
    WaitUntil([&] {
      frame_ = FindProcessWindow(p.id, "Quillon5");
      return frame_ && qltest::WindowText(frame_) == "Quillon - Manager Mode";
    }, 30000);
    return frame_ != nullptr;
  }
  // Sends a command and returns when the frame has carried it out.
  void Command(UINT id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(frame_, WM_COMMAND, id, 0, SMTO_NORMAL, 60000, &result);
  }
  long Close(Process& p) {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    return p.Wait(30000);
  }

  TempDir program_{"ql installed"};
  HWND frame_ = nullptr;
};

TEST_F(MailAndShellEndToEnd, TheMailButtonLogsOnSendsAndLogsOffThroughTheMailClient) {
  std::string log = program_ / "mail.log";
  StandInMailClient client(log);
  ASSERT_TRUE(client.ok());
  Process p;
  ASSERT_TRUE(StartQuillon(p));
  Command(169);
  const std::string ui = qltest::HexHandle(frame_);
  EXPECT_EQ(LogLines(log),
            (std::vector<std::string>{
                "Logon session=0 ui=" + ui + " flags=1 profile=null password=null -> ok",
                "SendMail session=5151 ui=" + ui +
                    " flags=8 subject='' note='' type=null received='1980/01/01 12:00' msgflags=1 from='Quillon' "
                    "recipients=0 files=0",
                "Logoff session=5151 ui=" + ui + " flags=0"}));
  EXPECT_EQ(0, Close(p));
  EXPECT_EQ(LogLines(log).size(), 3u) << "logged off already: the close does not log off again";
}

TEST_F(MailAndShellEndToEnd, AfterARefusedLogonTheMailButtonStops) {
  std::string log = program_ / "mail.log";
  StandInMailClient client(log, true);
  ASSERT_TRUE(client.ok());
  Process p;
  ASSERT_TRUE(StartQuillon(p));
  Command(169);
  const std::vector<std::string> refused{"Logon session=0 ui=" + qltest::HexHandle(frame_) +
                                         " flags=1 profile=null password=null -> refused"};
  EXPECT_EQ(LogLines(log), refused);
  Command(169);
  EXPECT_EQ(LogLines(log).size(), 2u) << "each press tries to log on again, and only that";
  EXPECT_EQ(0, Close(p));
  EXPECT_EQ(LogLines(log).size(), 2u) << "never logged on, so no logoff at close";
}

TEST_F(MailAndShellEndToEnd, TheFileManagerExtensionOpensTheSelectedArchiveInTheRunningQuillon) {
  TempDir archives("ql fm archives");
  std::string archive = archives / "Backup 1.zip";
  {
    std::ifstream in(std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/plain.zip", std::ios::binary);
    std::ofstream out(archive, std::ios::binary);
    out << in.rdbuf();
    ASSERT_TRUE(static_cast<bool>(out));
  }
  Process quillon;
  ASSERT_TRUE(StartQuillon(quillon));
  Command(1032);
  EXPECT_EQ(AddonEntry(), program_ / "QL53FM.DLL");

  std::string fmLog = program_ / "fm.log";
  SetEnvironmentVariableA("QL_FM_LOG", fmLog.c_str());
  Process host;
  ASSERT_TRUE(host.Start(Standin("ql_file_manager_host.exe"), "\"" + archive + "\"", archives.path()));
  SetEnvironmentVariableA("QL_FM_LOG", nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !LogLines(fmLog).empty() && LogLines(fmLog).back() == "ready"; }, 30000));
  EXPECT_EQ(LogLines(fmLog), (std::vector<std::string>{"loaded Quillon Extension menu=&Quillon &Open In Quillon=101",
                                                       "ready"}));
  HWND fileManager = FindProcessWindow(host.id, "QlFileManagerHost");
  ASSERT_NE(nullptr, fileManager);

  // The command hands the archive to the running Quillon, which opens a window on it.
  PostMessageA(fileManager, WM_COMMAND, 101, 0);
  EXPECT_TRUE(WaitUntil([&] {
    for (const std::string& t : BrowserTitles(frame_))
      if (t == archive) return true;
    return false;
  }, 30000)) << "a browser window on the archive";
  EXPECT_TRUE(WaitUntil([&] { return LogLines(fmLog).back() == "done 101"; }, 30000));
  EXPECT_EQ(QuillonFrames(), 1) << "the second start handed over and ended";
  PostMessageA(fileManager, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, host.Wait(30000));

  Command(1033);
  EXPECT_EQ(AddonEntry(), "(missing)");
  EXPECT_EQ(0, Close(quillon));
}

TEST_F(MailAndShellEndToEnd, NewGroupAndNewItemReachProgramManager) {
  char programs[MAX_PATH] = "";
  ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs));
  // A caption with a comma and parentheses: it must stay one argument of the DDE command.
  const std::string group = "Quillon Tests (mail, shell)";
  const std::string folder = std::string(programs) + "\\" + group;
  RemoveGroupFolder(folder);

  Process p;
  ASSERT_TRUE(StartQuillon(p));
  std::string initialProgram = "(unseen)";
  DialogWatcher watcher(p.id, DialogWatcher::kAnyThread, [&](HWND d, const SeenDialog& seen) {
    char text[300] = "";
    if (seen.title == "Create A New Group Window") {
      SetDlgItemTextA(d, 4062, group.c_str());
      return IDOK;
    }
    if (seen.title == "Add Item To A Group") {
      GetDlgItemTextA(d, 4060, text, sizeof text);
      initialProgram = text;
      SetDlgItemTextA(d, 4061, "Quillon Archive Manager");
      return IDOK;
    }
    return qltest::PressDefault(d, seen);
  });

  PostMessageA(frame_, WM_COMMAND, 1027, 0);
  ASSERT_TRUE(watcher.WaitForAnswers(1, 30000));
  EXPECT_TRUE(WaitUntil([&] { return qltest::FileExists(folder); }, 30000)) << folder;
  // Wine's shell opens the new group in a window of its own.
  HWND groupWindow = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (groupWindow = FindWindowA(nullptr, group.c_str())) != nullptr; }, 30000));
  if (groupWindow) PostMessageA(groupWindow, WM_CLOSE, 0, 0);

  // quillon.exe selected in the directory list gives the program name.
  HWND browser = Children(GetDlgItem(frame_, 188), "MDICHILD").at(0);
  HWND dirList = nullptr;
  for (HWND l : Children(browser, "qllistbox"))
    if (GetDlgCtrlID(l) >= 1032 && GetDlgCtrlID(l) < 1064) dirList = l;
  ASSERT_NE(nullptr, dirList);
  std::vector<std::string> lines = Lines(dirList);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].substr(0, lines[i].find('\t')) == "quillon.exe") SendMessageA(dirList, LB_SETSEL, TRUE, i);
  PostMessageA(frame_, WM_COMMAND, 1026, 0);
  ASSERT_TRUE(watcher.WaitForAnswers(2, 30000));
  EXPECT_EQ(initialProgram, program_ / "quillon.exe");
  std::string link = folder + "\\Quillon Archive Manager.lnk";
  EXPECT_TRUE(WaitUntil([&] { return qltest::FileExists(link); }, 30000)) << link;

  EXPECT_EQ(0, Close(p));
  if (groupWindow) WaitUntil([&] { return !IsWindow(groupWindow); }, 10000);
  RemoveGroupFolder(folder);
  EXPECT_FALSE(qltest::FileExists(folder));
}

}  // namespace
