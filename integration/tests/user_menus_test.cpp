// The Applications and Macros menus through the frame, in this process: the setup dialogs write
// the settings file and the menus, a slot runs in the active window's directory with its drive's
// per-drive entry set, and a macro drives the archiver whose archive Debian's unzip judges. A
// watcher thread answers the dialogs as a user would; a recording stand-in program tells what was
// started.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::ReadTextFile;
using qltest::SeenDialog;
using qltest::WriteTextFile;
using qltest::FromUnix;
using qltest::HostPath;
using qltest::RunHost;

void HoldForScreenshot() {
  char value[16] = "";
  if (GetEnvironmentVariableA("QL_SCREENSHOT_HOLD_MS", value, sizeof value)) Sleep(static_cast<DWORD>(atoi(value)));
}

std::string DlgText(HWND d, int id) {
  char text[600] = "";
  GetDlgItemTextA(d, id, text, sizeof text);
  return text;
}

std::string ShortPath(const std::string& path) {
  char buf[MAX_PATH] = "";
  DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
  return n > 0 && n < sizeof buf ? buf : path;
}

// The items of a popup menu: command and text.
std::vector<std::pair<UINT, std::string>> MenuItems(HMENU popup) {
  std::vector<std::pair<UINT, std::string>> items;
  for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
    char text[130] = "";
    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.emplace_back(GetMenuItemID(popup, i), text);
  }
  return items;
}

// A dialog the user works in over several visits: `step` is called on every visit with the number
// of message boxes answered so far and gives the button that ends the dialog (0 keeps it open).
// Message boxes (captioned "Quillon") are answered with OK and their texts kept.
struct Session {
  std::string title;
  std::function<int(HWND, int visit, int boxes)> step;
  std::vector<std::string>* boxTexts;
  int visits = 0;
  int operator()(HWND d, const SeenDialog& seen) {
    if (seen.title == "Quillon") {
      boxTexts->push_back(seen.text);
      HoldForScreenshot();
      return IDOK;
    }
    if (seen.title != title) return qltest::PressDefault(d, seen);
    int pressed = step(d, visits++, static_cast<int>(boxTexts->size()));
    if (pressed) HoldForScreenshot();
    return pressed;
  }
};

class UserMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    static int serial = 0;
    // Under the build tree (drive Z:), so that the host's unzip can read the archives.
    root_ = FromUnix(RUNS_DIR) + "\\menus " + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(RUNS_DIR).c_str(), nullptr);
    ql::RemoveDirectoryTree(root_.c_str());
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_;
    program_ = root_ + "\\Program Dir";
    data_ = root_ + "\\Data Files";
    ASSERT_TRUE(CreateDirectoryA(program_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(data_.c_str(), nullptr));
    ql::SetProgramModulePath((program_ + "\\quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(program_ + "\\qlkbdtrp.exe", "runner"));
    WritePrivateProfileStringA("Defaults", "Working Directory", data_.c_str(), ini().c_str());
    standIn_ = program_ + "\\rec standin.exe";
    ASSERT_TRUE(CopyFileA(FromUnix(QL_STANDIN).c_str(), standIn_.c_str(), FALSE));
    record_ = root_ + "\\record.txt";
    SetEnvironmentVariableA("QL_STANDIN_RECORD", record_.c_str());
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    SetEnvironmentVariableA("QL_STANDIN_RECORD", nullptr);
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
    if (!HasFailure()) ql::RemoveDirectoryTree(root_.c_str());
  }
  void Start() {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    ASSERT_NE(frame_, nullptr);
    PumpUntil([] { return false; }, 0);
    r_ = ql::RecordOf(ql::g_activeBrowser);
    ASSERT_NE(r_, nullptr);
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  HMENU Popup(bool macros) {
    return GetSubMenu(ql::g_managerMenu,
                      (macros ? MANAGER_POS_MACROS : MANAGER_POS_APPLICATIONS) + ql::ManagerMenuShift(ql::g_managerMenu));
  }
  std::string Ini(const char* section, const std::string& key) {
    char value[300] = "<missing>";
    GetPrivateProfileStringA(section, key.c_str(), "<missing>", value, sizeof value, ini().c_str());
    return value;
  }
  std::string ini() const { return program_ + "\\ql53intl.ini"; }

  std::string cwd_, root_, program_, data_, standIn_, record_;
  HWND frame_ = nullptr;
  ql::WindowRecord* r_ = nullptr;
};

TEST_F(UserMenusTest, AnApplicationIsAddedRunInTheWindowsDirectoryAndRemoved) {
  const std::string parameterFile = data_ + "\\A Long Parameter.txt";
  ASSERT_TRUE(WriteTextFile(parameterFile, "p"));
  Start();
  std::vector<std::string> boxes;
  {
    DialogWatcher adding(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                         Session{"Application Setup",
                                 [&](HWND d, int, int) {
                                   SetDlgItemTextA(d, IDC_APPS_TEXT, "Recorder");
                                   SetDlgItemTextA(d, IDC_APPS_PROGRAM, standIn_.c_str());
                                   SetDlgItemTextA(d, IDC_APPS_PARAMETERS, parameterFile.c_str());
                                   CheckDlgButton(d, IDC_APPS_MINIMIZED, BST_CHECKED);
                                   SendMessageA(d, WM_COMMAND, IDOK, 0);  // Add
                                   return IDCANCEL;                       // Done
                                 },
                                 &boxes});
    Command(IDM_APPLICATIONS);
  }
  EXPECT_TRUE(boxes.empty()) << boxes[0];
  EXPECT_EQ(Ini("Menu Text", "App1"), "Recorder");
  EXPECT_EQ(Ini("App Name", "App1"), standIn_);
  EXPECT_EQ(Ini("App Cmnd", "App1"), parameterFile);
  EXPECT_EQ(Ini("App Cmnd", "RunMin1"), "App1");
  EXPECT_EQ(MenuItems(Popup(false)), (std::vector<std::pair<UINT, std::string>>{{6000, "Recorder"}}));

  // Run: the stand-in starts in the window's directory, minimised, with the per-drive entry of the
  // directory's drive set and the parameter in its short form; the entry is back afterwards.
  const char variable[4] = {'=', r_->curDir[0], ':', 0};
  SetEnvironmentVariableA(variable, "Z:\\before");
  Command(6000);
  std::string record;
  ASSERT_TRUE(PumpUntil([&] { return !(record = ReadTextFile(record_)).empty(); }, 20000));
  EXPECT_NE(record.find("dir=" + std::string(r_->curDir) + "|"), std::string::npos) << record;
  EXPECT_NE(record.find("|drive=" + std::string(r_->curDir) + "|"), std::string::npos) << record;
  EXPECT_NE(record.find(" " + ShortPath(parameterFile) + "|"), std::string::npos) << record;
  EXPECT_NE(record.find("|show=2"), std::string::npos) << record;
  char restored[MAX_PATH] = "";
  GetEnvironmentVariableA(variable, restored, sizeof restored);
  EXPECT_STREQ(restored, "Z:\\before");
  SetEnvironmentVariableA(variable, nullptr);

  // Delete the selected (first) entry: its keys are emptied and Done leaves the menu empty.
  {
    DialogWatcher removing(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                           Session{"Application Setup",
                                   [&](HWND d, int, int) {
                                     SendMessageA(d, WM_COMMAND, IDC_APPS_DELETE, 0);
                                     return IDCANCEL;
                                   },
                                   &boxes});
    Command(IDM_APPLICATIONS);
  }
  for (const char* section : {"Menu Text", "App Name", "App Cmnd"}) EXPECT_EQ(Ini(section, "App1"), "") << section;
  EXPECT_EQ(Ini("App Cmnd", "RunMin1"), "");
  EXPECT_TRUE(MenuItems(Popup(false)).empty());
}

TEST_F(UserMenusTest, WithNoBrowserWindowASlotRunsInTheCurrentDirectory) {
  WritePrivateProfileStringA("Menu Text", "App2", "Recorder", ini().c_str());
  WritePrivateProfileStringA("App Name", "App2", standIn_.c_str(), ini().c_str());
  WritePrivateProfileStringA("App Cmnd", "App2", "-v", ini().c_str());
  Start();
  ql::CloseAllBrowserWindows();
  PumpUntil([] { return false; }, 0);
  ASSERT_EQ(ql::g_activeBrowser, nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
  Command(6001);
  std::string record;
  ASSERT_TRUE(PumpUntil([&] { return !(record = ReadTextFile(record_)).empty(); }, 20000));
  EXPECT_NE(record.find("dir=" + root_ + "|"), std::string::npos) << record;
  EXPECT_NE(record.find(" -v|"), std::string::npos) << "a parameter that is no path stays as it is: " << record;
  EXPECT_NE(record.find("|show=1"), std::string::npos) << "shown normally: " << record;
}

TEST_F(UserMenusTest, FullMenusRefuseAnotherEntryWithTheirLimits) {
  for (int n = 1; n <= 16; ++n)
    WritePrivateProfileStringA("Menu Text", ("App" + std::to_string(n)).c_str(), ("Tool " + std::to_string(n)).c_str(),
                               ini().c_str());
  for (int n = 1; n <= 36; ++n)
    WritePrivateProfileStringA("Macro Desc", ("Macro" + std::to_string(n)).c_str(),
                               ("Macro " + std::to_string(n)).c_str(), ini().c_str());
  Start();
  EXPECT_EQ(MenuItems(Popup(true)).size(), 36u);
  std::vector<std::string> boxes;
  std::string afterLimit = "<not read>";
  {
    DialogWatcher apps(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                       Session{"Application Setup",
                               [&](HWND d, int visit, int seen) {
                                 if (visit == 0) {
                                   SetDlgItemTextA(d, IDC_APPS_TEXT, "One Too Many");
                                   SetDlgItemTextA(d, IDC_APPS_PROGRAM, "C:\\X.EXE");
                                   PostMessageA(d, WM_COMMAND, IDOK, 0);
                                   return 0;
                                 }
                                 if (seen < 1) return 0;
                                 afterLimit = DlgText(d, IDC_APPS_TEXT) + DlgText(d, IDC_APPS_PROGRAM);
                                 return IDCANCEL;
                               },
                               &boxes});
    Command(IDM_APPLICATIONS);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "You can only add 16 items to the Applications Menu");
  }
  EXPECT_EQ(afterLimit, "") << "the fields are cleared after the limit's message";

  boxes.clear();
  {
    DialogWatcher macros(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                         Session{"Archive Macros",
                                 [&](HWND d, int visit, int seen) {
                                   if (visit == 0) {
                                     SetDlgItemTextA(d, IDC_MACROS_TEXT, "Macro 37");
                                     SetDlgItemTextA(d, IDC_MACROS_PROGRAM, "C:\\PKZIP.EXE");
                                     PostMessageA(d, WM_COMMAND, IDC_MACROS_ADD, 0);
                                     return 0;
                                   }
                                   return seen < 1 ? 0 : IDC_MACROS_DONE;
                                 },
                                 &boxes});
    Command(IDM_MACROS);
    ASSERT_EQ(boxes.size(), 1u);
  }
  EXPECT_EQ(boxes[0], "You can only setup a maximum of 36 macros");
  EXPECT_EQ(Ini("Macro Desc", "Macro36"), "Macro 36");
  EXPECT_EQ(MenuItems(Popup(true)).size(), 36u);
}

// Two macros with the same description: deleting one empties its slot only; the other stays in
// the list and in the file, and the menu keeps it.
TEST_F(UserMenusTest, DeletingOneOfTwoSameNamedMacrosKeepsTheOther) {
  for (int n : {1, 2}) {
    const std::string key = "Macro" + std::to_string(n);
    WritePrivateProfileStringA("Macro Desc", key.c_str(), "Twin", ini().c_str());
    WritePrivateProfileStringA("Archiver Name", key.c_str(), ("C:\\TOOL" + std::to_string(n) + ".EXE").c_str(),
                               ini().c_str());
  }
  Start();
  int listed = -1;
  std::string shown;
  std::vector<std::string> boxes;
  {
    DialogWatcher macros(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                         Session{"Archive Macros",
                                 [&](HWND d, int visit, int) {
                                   if (visit != 0) return 0;
                                   HWND list = GetDlgItem(d, IDC_MACROS_LIST);
                                   SendMessageA(list, LB_SETCURSEL, 1, 0);
                                   SendMessageA(d, WM_COMMAND, IDC_MACROS_DELETE, 0);
                                   listed = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
                                   SendMessageA(list, LB_SETCURSEL, 0, 0);
                                   SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_MACROS_LIST, LBN_SELCHANGE),
                                                reinterpret_cast<LPARAM>(list));
                                   shown = DlgText(d, IDC_MACROS_PROGRAM);
                                   return IDC_MACROS_DONE;
                                 },
                                 &boxes});
    Command(IDM_MACROS);
  }
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(shown, "C:\\TOOL1.EXE") << "the remaining entry still points at its slot";
  EXPECT_EQ(Ini("Macro Desc", "Macro1"), "Twin");
  EXPECT_EQ(Ini("Archiver Name", "Macro1"), "C:\\TOOL1.EXE");
  EXPECT_NE(Ini("Macro Desc", "Macro2"), "Twin");
  EXPECT_EQ(MenuItems(Popup(true)).size(), 1u);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(UserMenusTest, AddAndUpdateCheckTheirFieldsAndKeepThemAfterARefusal) {
  Start();
  std::vector<std::string> boxes;
  std::string kept;
  // Each step posts one button and waits for the message box it brings.
  int posted = 0;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Session{"Archive Macros",
                                [&](HWND d, int, int seen) {
                                  if (seen < posted) return 0;
                                  switch (posted++) {
                                    case 0:  // no menu text
                                      SetDlgItemTextA(d, IDC_MACROS_PROGRAM, "C:\\PKZIP.EXE");
                                      PostMessageA(d, WM_COMMAND, IDC_MACROS_ADD, 0);
                                      return 0;
                                    case 1:  // no program
                                      kept = DlgText(d, IDC_MACROS_PROGRAM);
                                      SetDlgItemTextA(d, IDC_MACROS_TEXT, "Zip them");
                                      SetDlgItemTextA(d, IDC_MACROS_PROGRAM, "");
                                      PostMessageA(d, WM_COMMAND, IDC_MACROS_ADD, 0);
                                      return 0;
                                    case 2:  // Update with nothing selected
                                      PostMessageA(d, WM_COMMAND, IDC_MACROS_UPDATE, 0);
                                      return 0;
                                    default:
                                      return IDC_MACROS_DONE;
                                  }
                                },
                                &boxes});
  Command(IDM_MACROS);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], "Please enter a menu description.");
  EXPECT_EQ(kept, "C:\\PKZIP.EXE") << "a refused Add keeps the fields";
  EXPECT_EQ(boxes[1], "Please enter an program name\nIt must have an EXE or COM extension");
  EXPECT_EQ(boxes[2], "Error: You must select an item for this function to work.");
  EXPECT_EQ(Ini("Macro Desc", "Macro1"), "<missing>");
}

TEST_F(UserMenusTest, AMacroZipsTheWindowsFilesAndUnzipAcceptsTheArchive) {
  std::string pkzip = program_ + "\\pkzip.exe";
  ASSERT_TRUE(CopyFileA(FromUnix("Z:" QL_PROGRAM_DIR "/pkzip.exe").c_str(), pkzip.c_str(), FALSE));
  for (const char* name : {"ONE.TXT", "TWO.TXT"})
    ASSERT_TRUE(WriteTextFile(data_ + "\\" + name, std::string("contents of ") + name + "\r\n"));
  Start();
  std::vector<std::string> boxes;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Session{"Archive Macros",
                                [&](HWND d, int, int) {
                                  SetDlgItemTextA(d, IDC_MACROS_TEXT, "Zip the texts");
                                  SetDlgItemTextA(d, IDC_MACROS_PROGRAM, pkzip.c_str());
                                  SetDlgItemTextA(d, IDC_MACROS_COMMAND, "-a MACRO.ZIP *.TXT");
                                  SendMessageA(d, WM_COMMAND, IDC_MACROS_ADD, 0);
                                  return IDC_MACROS_DONE;
                                },
                                &boxes});
  Command(IDM_MACROS);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Ini("Macro Command", "RunMin1"), "") << "macros have no minimised choice";
  ASSERT_EQ(MenuItems(Popup(true)), (std::vector<std::pair<UINT, std::string>>{{6100, "Zip the texts"}}));
  Command(6100);
  const std::string archive = data_ + "\\MACRO.ZIP";
  // pkzip has finished when the archive exists and nobody holds it open.
  ASSERT_TRUE(PumpUntil(
      [&] {
        HANDLE h = CreateFileA(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER size{};
        GetFileSizeEx(h, &size);
        CloseHandle(h);
        return size.QuadPart > 22;
      },
      30000));
  EXPECT_EQ(0, RunHost("/usr/bin/unzip -tqq '" + HostPath(archive) + "' >/dev/null 2>&1", root_ + "\\judge.status"));
  EXPECT_EQ(0, RunHost("test \\\"$(/usr/bin/unzip -Z1 '" + HostPath(archive) + "' | sort | tr '\\n' ' ')\\\" = 'ONE.TXT TWO.TXT '",
                       root_ + "\\names.status"));
}

}  // namespace
