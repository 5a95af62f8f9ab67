// quillon.exe itself under Wine: each test installs the program (quillon.exe and its runner) into a
// fresh program directory of its own, so its ql53intl.ini and work directory are private.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::FileExists;
using qltest::FindProcessWindow;
using qltest::Process;
using qltest::TempDir;
using qltest::WaitUntil;

std::string Ini(const std::string& ini, const char* section, const char* key) {
  char buf[512] = "";
  GetPrivateProfileStringA(section, key, "(missing)", buf, sizeof buf, ini.c_str());
  return buf;
}

class Installed : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Install(true)); }
  bool Install(bool withRunner) {
    for (const char* file : {"quillon.exe", "qlkbdtrp.exe"}) {
      if (!withRunner && !strcmp(file, "qlkbdtrp.exe")) continue;
      std::string from = std::string(QL_PROGRAM_DIR) + "/" + file;
      if (!CopyFileA(from.c_str(), (program_ / file).c_str(), FALSE)) return false;
    }
    return true;
  }
  std::string exe() const { return program_ / "quillon.exe"; }
  std::string ini() const { return program_ / "ql53intl.ini"; }

  // The frame of `p` once its start-up has finished (the mode is in its title then).
  HWND WaitForFrame(Process& p) {
    HWND frame = nullptr;
    WaitUntil([&] {
      frame = FindProcessWindow(p.id, "Quillon5");
      return frame && qltest::WindowText(frame) == "Quillon - Manager Mode";
    }, 30000);
    return frame;
  }

  // Closes the program as the user would; its exit code.
  long CloseAndWait(Process& p, HWND frame) {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return p.Wait(30000);
  }

  TempDir program_{"ql installed"};
};

TEST_F(Installed, SecondStartHandsOverAndEnds) {
  TempDir archives("ql archives");
  Process first;
  ASSERT_TRUE(first.Start(exe(), "", "C:\\"));
  HWND frame = WaitForFrame(first);
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(program_.path(), qltest::ProcessCurrentDirectory(first.process)) << "the working directory";
  PostMessageA(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(frame) != FALSE; }));

  Process second;
  ASSERT_TRUE(second.Start(exe(), archives / "Backup 1.zip", archives.path()));
  EXPECT_EQ(0, second.Wait(30000)) << "the second start ends";
  EXPECT_EQ(nullptr, FindProcessWindow(second.id, "Quillon5")) << "and never made a window";
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(frame); })) << "the first comes back";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == frame; })) << "to the front";
  EXPECT_EQ(archives.path(), qltest::ProcessCurrentDirectory(first.process)) << "and takes the directory";
  EXPECT_FALSE(FileExists(archives / "temp.ql5"));
  EXPECT_TRUE(first.Running());

  EXPECT_EQ(0, CloseAndWait(first, frame));
}

TEST_F(Installed, CloseWritesTheSettingsFile) {
  Process p;
  ASSERT_TRUE(p.Start(exe(), "", program_.path()));
  HWND frame = WaitForFrame(p);
  ASSERT_NE(nullptr, frame);
  EXPECT_TRUE(FileExists(program_ / "QL5TEMP"));
  MoveWindow(frame, 15, 25, 600, 420, TRUE);
  ASSERT_TRUE(WaitUntil([&] {
    RECT r;
    GetWindowRect(frame, &r);
    return r.left == 15 && r.right - r.left == 600;
  }));
  EXPECT_EQ(0, CloseAndWait(p, frame));
  EXPECT_EQ("Normal", Ini(ini(), "Coordinates", "WinStatus"));
  EXPECT_EQ("15", Ini(ini(), "Coordinates", "x"));
  EXPECT_EQ("25", Ini(ini(), "Coordinates", "y"));
  EXPECT_EQ("600", Ini(ini(), "Coordinates", "w"));
  EXPECT_EQ("420", Ini(ini(), "Coordinates", "h"));
  EXPECT_EQ("Manager", Ini(ini(), "switches", "Mode"));
  EXPECT_FALSE(FileExists(program_ / "QL5TEMP")) << "the work directory is removed at the end";

  // The next start takes the placement back.
  Process again;
  ASSERT_TRUE(again.Start(exe(), "", program_.path()));
  frame = WaitForFrame(again);
  ASSERT_NE(nullptr, frame);
  RECT r;
  GetWindowRect(frame, &r);
  EXPECT_EQ(15, r.left);
  EXPECT_EQ(420, r.bottom - r.top);
  EXPECT_EQ(0, CloseAndWait(again, frame));
}

TEST_F(Installed, TooLongCommandLineIsRefusedWithAMessage) {
  std::string tooLong = "C:\\" + std::string(300, 'x') + ".zip";
  Process p;
  ASSERT_TRUE(p.Start(exe(), tooLong, program_.path()));
  DialogWatcher watcher(p.id, DialogWatcher::kAnyThread);
  ASSERT_TRUE(watcher.WaitForAnswers(1, 30000));
  EXPECT_EQ("Quillon", watcher.Seen()[0].title);
  EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("too long")) << watcher.Seen()[0].text;
  HWND frame = WaitForFrame(p);
  ASSERT_NE(nullptr, frame) << "Quillon starts as without a command line";
  EXPECT_EQ(0, CloseAndWait(p, frame));
  EXPECT_EQ(1u, watcher.Seen().size());
}

TEST_F(Installed, MissingRunnerIsReportedAndEnds) {
  DeleteFileA((program_ / "qlkbdtrp.exe").c_str());
  Process p;
  ASSERT_TRUE(p.Start(exe(), "", program_.path()));
  DialogWatcher watcher(p.id, DialogWatcher::kAnyThread);
  EXPECT_EQ(0, p.Wait(30000)) << "the program ends once the message is answered";
  ASSERT_EQ(1u, watcher.Seen().size());
  EXPECT_EQ("Quillon can't find the following file:\n" + (program_ / "qlkbdtrp.exe") +
                "\nThis file MUST be located in the Quillon directory.",
            watcher.Seen()[0].text);
}

}  // namespace
