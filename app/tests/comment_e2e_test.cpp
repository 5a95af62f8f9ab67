// quillon.exe with the zip engine: a title typed into the engine's comment dialog reaches the
// archive (Debian's unzip shows it), the window lists its ">" line again, and a double-click on
// that line shows the text in the comment viewer.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/tests/host_commands.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::FindProcessWindow;
using qltest::Process;
using qltest::SeenDialog;
using qltest::WaitUntil;

constexpr UINT kCommentTitleCommand = 915;
constexpr int kEngineCommentText = 1011;  // the engine's comment dialog
constexpr int kViewerText = 1060;         // "Read Archive Comment"

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

HWND ArchiveList(HWND browser) {
  for (HWND l : Children(browser, "qllistbox")) {
    int id = GetDlgCtrlID(l);
    if (id >= 1000 && id < 1032) return l;
  }
  return nullptr;
}

// A click (or double-click) of the left button on the first line of a list, as the user makes it.
void ClickFirstLine(HWND list, bool twice) {
  int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  LPARAM at = MAKELPARAM(8, h > 0 ? h / 2 : 4);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
  }
}

class CommentThroughTheFrame : public ::testing::Test {
 protected:
  std::string dir, archives;
  void SetUp() override {
    if (!ql::Exists("Z:\\usr\\bin\\unzip") || !ql::Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no Info-ZIP";
    // Under the build tree (drive Z:), where the host's zip and unzip reach the archive.
    dir = ql::FromUnix(E2E_DIR) + "\\frame " + qltest::ProcessTag();
    ql::RemoveTree(dir);
    CreateDirectoryA(ql::FromUnix(E2E_DIR).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    archives = dir + "\\Archives";
    ASSERT_TRUE(CreateDirectoryA(archives.c_str(), nullptr));
    for (const char* file : {"quillon.exe", "qlkbdtrp.exe", "QL53NTI1.DLL", "QL53NTI2.DLL"}) {
      std::string from = ql::FromUnix(QL_PROGRAM_DIR) + "\\" + file;
      ASSERT_TRUE(CopyFileA(from.c_str(), (dir + "\\" + file).c_str(), FALSE)) << file;
    }
  }
  void TearDown() override {
    if (!dir.empty() && !HasFailure()) ql::RemoveTree(dir);
  }
  HWND WaitForFrame(Process& p) {
    HWND frame = nullptr;
    WaitUntil([&] {
      frame = FindProcessWindow(p.id, "Quillon5");
      return frame && qltest::WindowText(frame) == "Quillon - Manager Mode";
    }, 30000);
    return frame;
  }
};

TEST_F(CommentThroughTheFrame, ATitleTypedInTheEngineDialogShowsInUnzipAndTheViewer) {
  std::string zip = archives + "\\REPORT.ZIP";
  ASSERT_TRUE(qltest::WriteTextFile(archives + "\\NOTE.TXT", "a note\r\n"));
  ASSERT_EQ(0, ql::RunHost("cd '" + ql::HostPath(archives) + "' && /usr/bin/zip -q REPORT.ZIP NOTE.TXT",
                           dir + "\\zip.status"));
  const std::string title = "Figures for the board\r\nsecond line";

  Process quillon;
  ASSERT_TRUE(quillon.Start(dir + "\\quillon.exe", zip, archives));
  HWND frame = WaitForFrame(quillon);
  ASSERT_NE(nullptr, frame);
  HWND client = GetDlgItem(frame, 188);
  ASSERT_NE(nullptr, client);
  std::vector<HWND> windows = Children(client, "MDICHILD");
  ASSERT_EQ(1u, windows.size());
  HWND list = ArchiveList(windows[0]);
  ASSERT_NE(nullptr, list);
  ASSERT_TRUE(WaitUntil([&] { return !Lines(list).empty(); }));
  ASSERT_NE('>', Lines(list)[0][0]) << "no title yet";

  std::mutex seenLock;
  std::vector<std::string> offered;
  std::string shown;
  auto Shown = [&] {
    std::lock_guard<std::mutex> lock(seenLock);
    return shown;
  };
  DialogWatcher watcher(quillon.id, DialogWatcher::kAnyThread, [&](HWND d, const SeenDialog& seen) {
    std::lock_guard<std::mutex> lock(seenLock);
    if (HWND edit = GetDlgItem(d, kEngineCommentText)) {
      offered.push_back(seen.title);
      SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
      return IDOK;
    }
    if (GetDlgItem(d, kViewerText)) {
      char text[1024] = "";
      GetDlgItemTextA(d, kViewerText, text, sizeof text);
      shown = text;
      return IDOK;
    }
    return GetDlgItem(d, 1003) ? 0 : qltest::PressDefault(d, seen);  // never cancel a progress
  });

  // The archive list is the active one; Comment > Archive Title.
  ClickFirstLine(list, false);
  PostMessageA(frame, WM_COMMAND, kCommentTitleCommand, 0);
  ASSERT_TRUE(WaitUntil([&] {
    std::vector<std::string> lines = Lines(list);
    return !lines.empty() && lines[0].rfind("> Title Comment: ", 0) == 0;
  }, 30000)) << "the window lists the new title";
  {
    std::lock_guard<std::mutex> lock(seenLock);
    EXPECT_EQ(1u, offered.size());
  }

  std::string out = dir + "\\unzip.out";
  EXPECT_EQ(0, ql::RunHost("/usr/bin/unzip -z '" + ql::HostPath(zip) + "' > '" + ql::HostPath(out) + "'",
                           dir + "\\unzip.status"));
  std::string z = ql::ReadAll(out);
  EXPECT_NE(std::string::npos, z.find("Figures for the board")) << z;
  EXPECT_NE(std::string::npos, z.find("second line")) << z;
  EXPECT_EQ(0, ql::RunHost("/usr/bin/unzip -tqq '" + ql::HostPath(zip) + "'", dir + "\\test.status"));

  // A double-click on the ">" line shows the title.
  ClickFirstLine(list, true);
  EXPECT_TRUE(WaitUntil([&] { return !Shown().empty(); }, 20000));
  EXPECT_EQ(title, Shown());
  for (const SeenDialog& d : watcher.Seen())
    if (d.title != "Comment" && d.title != "Read Archive Comment") ADD_FAILURE() << d.title << ": " << d.text;

  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, quillon.Wait(30000));
}

}  // namespace
