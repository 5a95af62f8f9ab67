// The Options dialogs, the display-selection dialog, double-clicks and the saved windows, with the
// frame and its windows in this process and a watcher thread playing the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/startup.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/window_rules.h"
#include "common/shared_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"
#include "tests/support/wine_drives.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::TempDir;
using qltest::WriteTextFile;

bool CopyFixture(const char* name, const std::string& to) {
  std::ifstream in(std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/" + name, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

// For a person to look at: with QL_SHOT_DIR set, a dialog waits (at most a minute) while a script
// outside takes a picture of the display: it sees NAME.ready and answers with NAME.done.
void Snapshot(const char* name) {
  char dir[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("QL_SHOT_DIR", dir, sizeof dir)) return;
  std::string base = std::string(dir) + "\\" + name;
  WriteTextFile(base + ".ready", "");
  qltest::WaitUntil([&] { return qltest::FileExists(base + ".done"); }, 60000);
}

// An association of an extension (in the class root, removed at the end) whose "open" command
// appends the opened file's name to `log`.
class DocumentAssociation {
 public:
  DocumentAssociation(const char* extension, const std::string& log)
      : extension_(extension), class_(std::string("QuillonTest") + (extension + 1)) {
    std::string command = "cmd.exe /c echo %1>>\"" + log + "\"";
    made_ = RegSetValueA(HKEY_CLASSES_ROOT, extension, REG_SZ, class_.c_str(), static_cast<DWORD>(class_.size())) ==
                ERROR_SUCCESS &&
            RegSetValueA(HKEY_CLASSES_ROOT, (class_ + "\\shell\\open\\command").c_str(), REG_SZ, command.c_str(),
                         static_cast<DWORD>(command.size())) == ERROR_SUCCESS;
  }
  ~DocumentAssociation() {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_);
    for (const char* sub : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, (class_ + sub).c_str());
  }
  bool made() const { return made_; }

 private:
  const char* extension_;
  std::string class_;
  bool made_ = false;
};

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(dir_ / "qlkbdtrp.exe", "runner"));
    // The windows start in the data directory.
    WritePrivateProfileStringA("Defaults", "Working Directory", data_.path().c_str(), ini().c_str());
    SetCurrentDirectoryA(data_.path().c_str());
  }
  void TearDown() override {
    Stop();
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  HWND Start(const char* commandLine = "") {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), commandLine, SW_SHOWNORMAL);
    PumpUntil([] { return false; }, 0);
    return frame_;
  }
  void Stop() {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    frame_ = nullptr;
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  std::string Ini(const char* section, const char* key) const {
    char value[300] = "";
    GetPrivateProfileStringA(section, key, "(missing)", value, sizeof value, ini().c_str());
    return value;
  }
  std::string ini() const { return dir_ / "ql53intl.ini"; }
  // Double-clicks the line of `list` whose first field is `name`.
  bool DoubleClick(HWND browser, HWND list, const std::string& name) {
    std::vector<std::string> lines = ql::ListLines(list);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].substr(0, lines[i].find('\t')) != name) continue;
      SendMessageA(list, LB_SETCARETINDEX, i, FALSE);
      SendMessageA(browser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
      PumpUntil([] { return false; }, 0);
      return true;
    }
    return false;
  }
  std::vector<std::string> Names(HWND list) {
    std::vector<std::string> out;
    for (const auto& l : ql::ListLines(list)) out.push_back(l.substr(0, l.find('\t')));
    return out;
  }

  TempDir dir_{"ql options"};
  TempDir data_{"ql optdata"};
  std::string cwd_;
  HWND frame_ = nullptr;
};

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  for (const auto& x : v)
    if (x == s) return true;
  return false;
}

TEST_F(OptionsTest, DefaultsStoreEachFieldUntilTheFirstEmptyOne) {
  ASSERT_NE(nullptr, Start());
  TempDir target("ql target"), source("ql source"), work("ql work");
  const std::string oldSource = ql::g_settings->SourceDirectory;
  std::atomic<int> stage{0};
  std::string sourceWhenRefused, targetWhenRefused;
  std::vector<qltest::SeenDialog> seen;
  {
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title == "Quillon Defaults" && stage == 0) {
      Snapshot("defaults");
      SetDlgItemTextA(d, IDC_SETUP_TARGET, (target.path() + "\\").c_str());
      SetDlgItemTextA(d, IDC_SETUP_SOURCE, "");
      SetDlgItemTextA(d, IDC_SETUP_WORKING, (work.path() + "\\").c_str());
      SetDlgItemTextA(d, IDC_SETUP_VIRUS, "C:\\SCAN\\SCAN.EXE /ALL");
      SendDlgItemMessageA(d, IDC_SETUP_VIRUS_DOS, BM_SETCHECK, BST_UNCHECKED, 0);
      SendDlgItemMessageA(d, IDC_SETUP_VIRUS_WINDOWS, BM_SETCHECK, BST_CHECKED, 0);
      SetDlgItemTextA(d, IDC_SETUP_ARC, "None");
      SetDlgItemTextA(d, IDC_SETUP_LZH, "C:\\TOOLS\\LHA.EXE x");
      SendDlgItemMessageA(d, IDC_SETUP_SAVE_WINDOWS, BM_SETCHECK, BST_CHECKED, 0);
      stage = 1;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return 0;
    }
    if (s.title == "Quillon" && stage == 1) {
      sourceWhenRefused = Ini("Defaults", "Source");
      targetWhenRefused = Ini("Defaults", "Target");
      stage = 2;
      return IDOK;
    }
    if (s.title == "Quillon Defaults" && stage == 2) {
      SetDlgItemTextA(d, IDC_SETUP_SOURCE, source.path().c_str());
      stage = 3;
      return IDOK;
    }
    return 0;
  });
  Command(IDM_DEFAULTS);
  seen = watcher.Seen();
  }
  ASSERT_EQ(stage, 3);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text.find("Please enter a default archive directory."), 0u) << seen[0].text;
  // The target was stored before the empty archive directory stopped the dialog; the source was not.
  EXPECT_EQ(targetWhenRefused, target.path());
  EXPECT_EQ(sourceWhenRefused, "(missing)");
  EXPECT_EQ(oldSource, data_.path());
  EXPECT_FALSE(ql::g_cancelled);
  EXPECT_EQ(Ini("Defaults", "Target"), target.path());
  EXPECT_EQ(Ini("Defaults", "Source"), source.path());
  EXPECT_EQ(Ini("Defaults", "Working Directory"), work.path());
  // The dialog stayed modal through the refusal, so the frame is activated again when it ends and
  // the active window's directory is the current one, as after any dialog.
  EXPECT_EQ(Lower(qltest::CurrentDirectory()), Lower(ql::RecordOf(ql::g_activeBrowser)->curDir));
  EXPECT_STREQ(ql::g_settings->InitialDirectory, work.path().c_str());
  EXPECT_EQ(Ini("Utilities", "Virus Detector"), "C:\\SCAN\\SCAN.EXE /ALL");
  EXPECT_EQ(Ini("Utilities", "WinEnv"), "True");
  EXPECT_EQ(Ini("Utilities", "ARC"), "None");
  EXPECT_EQ(Ini("Utilities", "LZH"), "C:\\TOOLS\\LHA.EXE x");
  EXPECT_STREQ(ql::g_settings->LzhProgram, "C:\\TOOLS\\LHA.EXE x");
  EXPECT_EQ(Ini("switches", "SaveArchiveNames"), "On");
  EXPECT_TRUE(ql::g_confirmFlags & ql::kSaveArchiveNames);

  // An empty extraction program is refused with its own text, and Cancel changes nothing more.
  stage = 0;
  DialogWatcher second(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title == "Quillon Defaults" && stage == 0) {
      char inUse[128] = "";
      GetDlgItemTextA(d, IDC_SETUP_ARC_IN_USE, inUse, sizeof inUse);
      EXPECT_NE(std::string(inUse).find("QLARC.EXE"), std::string::npos) << inUse;
      SetDlgItemTextA(d, IDC_SETUP_ARC, "");
      SendDlgItemMessageA(d, IDC_SETUP_SAVE_WINDOWS, BM_SETCHECK, BST_UNCHECKED, 0);
      stage = 1;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return 0;
    }
    if (s.title == "Quillon" && stage == 1) {
      stage = 2;
      return IDOK;
    }
    if (s.title == "Quillon Defaults" && stage == 2) {
      stage = 3;
      return IDCANCEL;
    }
    return 0;
  });
  Command(IDM_DEFAULTS);
  ASSERT_EQ(stage, 3);
  ASSERT_EQ(second.Seen().size(), 2u);
  EXPECT_EQ(second.Seen()[0].text.find("Please enter an ARC or LZH extraction program, or enter NONE"), 0u)
      << second.Seen()[0].text;
  EXPECT_TRUE(ql::g_cancelled);
  EXPECT_EQ(Ini("Utilities", "ARC"), "None");
  EXPECT_EQ(Ini("switches", "SaveArchiveNames"), "On");
}

// A message raised by a dialog belongs to that dialog: once it is closed the dialog is still
// modal, in front, and the frame behind it stays disabled.
TEST_F(OptionsTest, ARefusalFromDefaultsLeavesTheDialogModal) {
  ASSERT_NE(nullptr, Start());
  std::atomic<int> stage{0};
  std::atomic<HWND> dialog{nullptr}, messageOwner{nullptr};
  std::atomic<bool> frameEnabledAfter{true};
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title == "Quillon Defaults" && stage == 0) {
      dialog = d;
      SetDlgItemTextA(d, IDC_SETUP_SOURCE, "");
      stage = 1;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return 0;
    }
    if (s.title == "Quillon" && stage == 1) {
      messageOwner = GetWindow(d, GW_OWNER);
      Snapshot("defaults-refusal");
      stage = 2;
      return IDOK;
    }
    if (s.title == "Quillon Defaults" && stage == 2) {
      frameEnabledAfter = IsWindowEnabled(frame_) != FALSE;
      stage = 3;
      return IDCANCEL;
    }
    return 0;
  });
  Command(IDM_DEFAULTS);
  ASSERT_EQ(stage, 3);
  EXPECT_EQ(messageOwner.load(), dialog.load());
  EXPECT_FALSE(frameEnabledAfter);
  EXPECT_TRUE(IsWindowEnabled(frame_));
}

TEST_F(OptionsTest, ConfirmationsWriteTheirFlags) {
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(ql::g_confirmFlags & 0x3F, 0x3F);
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title != "Confirmations") return 0;
    Snapshot("confirmations");
    for (int id : {IDC_WARN_REPLACE, IDC_WARN_MOUSE, IDC_WARN_DIR_DELETE})
      SendDlgItemMessageA(d, id, BM_SETCHECK, BST_UNCHECKED, 0);
    return IDOK;
  });
  Command(IDM_CONFIRMATION);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  struct Key {
    const char* key;
    WORD flag;
    const char* value;
  } keys[] = {{"copy", 0x01, "False"},   {"delete", 0x02, "True"},      {"del_dir", 0x04, "False"},
              {"move", 0x08, "True"},    {"drag_n_drop", 0x10, "False"}, {"target_dir", 0x20, "True"}};
  for (const Key& k : keys) {
    EXPECT_EQ(Ini("Confirmation", k.key), k.value) << k.key;
    EXPECT_EQ((ql::g_confirmFlags & k.flag) != 0, std::string(k.value) == "True") << k.key;
  }
}

// The file operations ask by the flags the dialog leaves: deleting a file asks while "File
// Delete" is checked and goes ahead without a question once it is not.
TEST_F(OptionsTest, TheFileOperationQuestionsFollowTheConfirmations) {
  for (const char* f : {"one.txt", "two.txt"}) ASSERT_TRUE(WriteTextFile(data_ / f, "x"));
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  std::atomic<bool> uncheckDelete{false};
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title == "Confirmations") {
      if (uncheckDelete) SendDlgItemMessageA(d, IDC_WARN_DELETE, BM_SETCHECK, BST_UNCHECKED, 0);
      return IDOK;
    }
    return GetDlgItem(d, IDC_DELETE_YES) ? IDC_DELETE_YES : qltest::PressDefault(d, s);
  });
  auto deleteFile = [&](const char* name) {
    SendMessageA(r->hwndDirList, LB_SETSEL, FALSE, -1);
    LRESULT i = SendMessageA(r->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    ASSERT_NE(i, LB_ERR) << name;
    SendMessageA(r->hwndDirList, LB_SETSEL, TRUE, i);
    SetFocus(r->hwndDirList);
    Command(IDM_DELETE_FILES);
  };
  // Confirmed as they stand: the question comes.
  Command(IDM_CONFIRMATION);
  ASSERT_TRUE(ql::g_confirmFlags & 0x02);
  deleteFile("one.txt");
  ASSERT_EQ(watcher.Seen().size(), 2u);
  EXPECT_NE(watcher.Seen()[1].text.find("one.txt"), std::string::npos) << watcher.Seen()[1].text;
  EXPECT_FALSE(qltest::FileExists(data_ / "one.txt"));
  // "File Delete" unchecked: no question.
  uncheckDelete = true;
  Command(IDM_CONFIRMATION);
  ASSERT_EQ(ql::g_confirmFlags & 0x02, 0);
  deleteFile("two.txt");
  EXPECT_FALSE(qltest::FileExists(data_ / "two.txt"));
  EXPECT_EQ(watcher.Seen().size(), 3u) << watcher.Seen().back().title;
}

TEST_F(OptionsTest, ATenPointFontIsWrittenAndTheListsFollow) {
  ASSERT_NE(nullptr, Start());
  const int before = ql::g_listLineHeight;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title != "Font") return 0;
    HWND size = GetDlgItem(d, 0x472);  // the size box
    if (!size) return 0;
    LRESULT i = SendMessageA(size, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("10"));
    if (i == CB_ERR) return 0;
    SendMessageA(size, CB_SETCURSEL, i, 0);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
    Snapshot("font");
    return IDOK;
  });
  Command(IDM_FONTS);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_FALSE(ql::g_cancelled);
  EXPECT_EQ(Ini("Current Font", "DesiredPointSize"), "10");
  int pointSize = std::stoi(Ini("Current Font", "PointSize"));
  EXPECT_LT(pointSize, 0);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(pointSize, -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(Ini("Current Font", "font"), ql::g_listFont.lfFaceName);
  EXPECT_EQ(Ini("Current Font", "TextColor"), "0");
  EXPECT_GT(ql::g_listLineHeight, before);
  // Item heights, the window's layout and the status bar follow the new line height.
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  const int item = ql::ItemHeight();
  EXPECT_EQ(SendMessageA(r->hwndDirList, LB_GETITEMHEIGHT, 0, 0), item);
  EXPECT_EQ(SendMessageA(r->hwndArchiveList, LB_GETITEMHEIGHT, 0, 0), item);
  RECT header;
  GetWindowRect(r->hwndDirHeader, &header);
  EXPECT_EQ(header.bottom - header.top, ql::g_listLineHeight);
  RECT status;
  GetClientRect(ql::g_statusBar, &status);
  EXPECT_EQ(status.bottom, ql::g_listLineHeight + 8);
  Snapshot("font-applied");
  // The next start reads the same font.
  Stop();
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(ql::g_listFont.lfHeight, pointSize);
}

TEST_F(OptionsTest, DisplayMaskZipThenProgramsFiltersTheDirectoryList) {
  for (const char* f : {"a.zip", "b.exe", "c.txt", "d.bat"}) ASSERT_TRUE(WriteTextFile(data_ / f, "x"));
  ASSERT_NE(nullptr, Start());
  ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_TRUE(r);
  ASSERT_TRUE(Contains(Names(r->hwndDirList), "c.txt"));
  const std::string programsThenZip = std::string(ql::kProgramsPiece) + "; *.zip";
  std::atomic<int> stage{0};
  std::vector<std::string> fields;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title != "Select Files To Display") return 0;
    char field[300] = "";
    GetDlgItemTextA(d, IDC_MASK_EDIT, field, sizeof field);
    if (stage == 0) {
      PostMessageA(GetDlgItem(d, IDC_MASK_ZIP), BM_CLICK, 0, 0);
      stage = 1;
    } else if (stage == 1 && std::string(field) == "*.ZIP") {
      fields.push_back(field);
      PostMessageA(GetDlgItem(d, IDC_MASK_PROGRAMS), BM_CLICK, 0, 0);
      stage = 2;
    } else if (stage == 2 && std::string(field) == programsThenZip) {
      fields.push_back(field);
      Snapshot("dirmask");
      stage = 3;
      return IDOK;
    }
    return 0;
  });
  Command(IDM_BY_FILE_TYPE);
  ASSERT_EQ(stage, 3);
  EXPECT_STREQ(r->dirMask, programsThenZip.c_str());
  std::vector<std::string> names = Names(r->hwndDirList);
  EXPECT_TRUE(Contains(names, "a.zip"));
  EXPECT_TRUE(Contains(names, "b.exe"));
  EXPECT_TRUE(Contains(names, "d.bat"));
  EXPECT_FALSE(Contains(names, "c.txt"));
}

TEST_F(OptionsTest, DoubleClicksOnTheDirectoryList) {
  ASSERT_TRUE(CopyFixture("comments.zip", data_ / "comments.zip"));
  ASSERT_TRUE(CopyFixture("plain.zip", data_ / "second.zip"));
  ASSERT_TRUE(CopyFixture("dos.arj", data_ / "PART.A01"));
  ASSERT_TRUE(CreateDirectoryA((data_ / "sub").c_str(), nullptr));
  for (const char* f : {"invoice.exe.pdf", "x.arc"}) ASSERT_TRUE(WriteTextFile(data_ / f, "not a program"));
  ASSERT_NE(nullptr, Start());
  HWND first = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(first);
  ASSERT_TRUE(r);
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());

  // A ZIP in a window without an archive goes into that window.
  ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "comments.zip"));
  EXPECT_EQ(Lower(r->archivePath), Lower(data_ / "comments.zip"));
  EXPECT_GT(SendMessageA(r->hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(ql::BrowserWindowCount(), 1);
  // Now that it shows one, another ZIP opens a new window; so does an ARJ volume.
  ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "second.zip"));
  EXPECT_EQ(ql::BrowserWindowCount(), 2);
  SendMessageA(ql::g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
  ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "PART.A01"));
  ASSERT_EQ(ql::BrowserWindowCount(), 3);
  EXPECT_EQ(GetWindowLongA(ql::g_activeBrowser, 0), ql::kArchiveTypeArj);
  EXPECT_EQ(watcher.Seen().size(), 0u);

  // Names that only contain a program's or an archive's extension are documents: the shell opens
  // them with their association (here one of the test's own, which notes the name).
  SendMessageA(ql::g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
  {
    // One log each: two shells appending to one file at once would collide.
    const std::string pdfLog = data_ / "pdf.log", arcLog = data_ / "arc.log";
    DocumentAssociation pdf(".pdf", pdfLog), arc(".arc", arcLog);
    ASSERT_TRUE(pdf.made() && arc.made());
    ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "invoice.exe.pdf"));
    ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "x.arc"));
    EXPECT_TRUE(qltest::WaitUntil([&] {
      return qltest::ReadTextFile(pdfLog).find("invoice.exe.pdf") != std::string::npos;
    })) << qltest::ReadTextFile(pdfLog);
    EXPECT_TRUE(qltest::WaitUntil([&] {
      return qltest::ReadTextFile(arcLog).find("x.arc") != std::string::npos;
    })) << qltest::ReadTextFile(arcLog);
  }
  EXPECT_EQ(watcher.Seen().size(), 0u);
  EXPECT_EQ(ql::BrowserWindowCount(), 3);
  // A directory and its parent.
  ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "[sub]"));
  EXPECT_EQ(Lower(r->curDir), Lower(data_ / "sub"));
  EXPECT_EQ(Names(r->hwndDirList).size(), ql::ListLines(r->hwndDirList).size());
  ASSERT_TRUE(DoubleClick(first, r->hwndDirList, "[..]"));
  EXPECT_EQ(Lower(r->curDir), Lower(data_.path()));

  // A nested archive in the archive list is refused.
  ql::WindowRecord* w = ql::RecordOf(first);
  SendMessageA(w->hwndArchiveList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("INNER.ZIP\tINNER.ZIP\t1\t1\t0%\t01-01-01\t 1:00a"));
  ASSERT_TRUE(DoubleClick(first, w->hwndArchiveList, "INNER.ZIP"));
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(watcher.Seen()[0].text.find("ERROR: You can't open an ARJ or ZIP file from within an archive."), 0u)
      << watcher.Seen()[0].text;
}

// A ">" line of a ZIP window opens the comment viewer on the comment it stands for.
TEST_F(OptionsTest, DoubleClickOnAZipMarkerLineOpensTheCommentViewer) {
  ASSERT_TRUE(CopyFixture("comments.zip", data_ / "comments.zip"));
  ASSERT_NE(nullptr, Start());
  HWND window = ql::g_activeBrowser;
  ql::WindowRecord* r = ql::RecordOf(window);
  ASSERT_TRUE(r);
  ASSERT_TRUE(DoubleClick(window, r->hwndDirList, "comments.zip"));
  std::string marker;
  for (const auto& line : ql::ListLines(r->hwndArchiveList))
    if (!line.empty() && line[0] == '>') {
      marker = line.substr(0, line.find('\t'));
      break;
    }
  ASSERT_FALSE(marker.empty()) << "the fixture's listing has a comment line";
  std::string shown;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    char text[2048] = "";
    GetDlgItemTextA(d, IDC_COMMENT_TEXT, text, sizeof text);
    shown = text;
    return qltest::PressDefault(d, s);
  });
  ASSERT_TRUE(DoubleClick(window, r->hwndArchiveList, marker));
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(watcher.Seen()[0].title, "Read Archive Comment");
  EXPECT_FALSE(shown.empty()) << "the viewer shows the comment";
}

// Writes a section of a saved window.
void SaveSection(const std::string& ini, int n, const std::vector<std::pair<const char*, std::string>>& keys) {
  std::string section = ql::SavedWindowSection(n);
  for (const auto& k : keys) WritePrivateProfileStringA(section.c_str(), k.first, k.second.c_str(), ini.c_str());
}

TEST_F(OptionsTest, SavedWindowsComeBackAsTheyWere) {
  ASSERT_TRUE(CopyFixture("comments.zip", data_ / "comments.zip"));
  ASSERT_TRUE(CreateDirectoryA((data_ / "sub").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((data_ / "other").c_str(), nullptr));
  // Sections of an earlier run, more than will be saved now.
  for (int n = 1; n <= 32; ++n) SaveSection(ini(), n, {{"Directory", data_.path()}, {"Archive", "garbage"}});
  ASSERT_NE(nullptr, Start());
  // SaveArchiveNames through the Defaults dialog.
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), [&](HWND d, const qltest::SeenDialog& s) {
    if (s.title != "Quillon Defaults") return 0;
    SendDlgItemMessageA(d, IDC_SETUP_SAVE_WINDOWS, BM_SETCHECK, BST_CHECKED, 0);
    return IDOK;
  });
  Command(IDM_DEFAULTS);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  ASSERT_EQ(Ini("switches", "SaveArchiveNames"), "On");

  // The first window: an archive, a directory mask and a moved splitter.
  HWND archiveWindow = ql::g_activeBrowser;
  ql::WindowRecord* a = ql::RecordOf(archiveWindow);
  ASSERT_TRUE(a);
  ASSERT_TRUE(DoubleClick(archiveWindow, a->hwndDirList, "comments.zip"));
  lstrcpyA(a->dirMask, "*.zip; *.txt");
  a->splitterPos = 210;
  SetWindowPos(archiveWindow, nullptr, 10, 12, 500, 300, SWP_NOZORDER);
  // A window on a CD-ROM is not saved, and the next window takes its section number.
  ASSERT_TRUE(CreateDirectoryA((data_ / "cd").c_str(), nullptr));
  qltest::WineDrive cd('q', DRIVE_CDROM, data_ / "cd");
  if (cd.made()) {
    SetCurrentDirectoryA(cd.Root().c_str());
    ASSERT_TRUE(ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.*", "*.*"));
    ASSERT_EQ(ql::BrowserWindowCount(), 2);
  } else {
    ADD_FAILURE() << "no CD-ROM drive could be made through the mount manager";
  }
  // Nor is one on a floppy.
  ASSERT_TRUE(CreateDirectoryA((data_ / "floppy").c_str(), nullptr));
  qltest::WineDrive floppy('a', DRIVE_REMOVABLE, data_ / "floppy");
  if (floppy.made()) {
    SetCurrentDirectoryA(floppy.Root().c_str());
    ASSERT_TRUE(ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.*", "*.*"));
    ASSERT_EQ(ql::BrowserWindowCount(), 3);
  } else {
    ADD_FAILURE() << "no floppy drive could be made through the mount manager";
  }
  // The second: an empty window in a subdirectory; the third, the active one, in another.
  SetCurrentDirectoryA((data_ / "sub").c_str());
  HWND subWindow = ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.*", "*.*");
  ASSERT_TRUE(subWindow);
  SetCurrentDirectoryA((data_ / "other").c_str());
  HWND otherWindow = ql::OpenBrowserWindow("", ql::kArchiveTypeZip, "*.txt", "*.*");
  ASSERT_TRUE(otherWindow);
  SendMessageA(ql::g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(otherWindow), 0);
  ASSERT_EQ(ql::g_activeBrowser, otherWindow);
  ql::WindowRecord saved = *a;
  Stop();

  EXPECT_EQ(Lower(Ini("Window1", "Directory")), Lower(data_.path()));
  EXPECT_EQ(Lower(Ini("Window1", "Archive")), Lower(data_ / "comments.zip"));
  EXPECT_EQ(Ini("Window1", "DirMask"), "*.zip; *.txt");
  EXPECT_EQ(Ini("Window1", "Coords"), ql::FormatSavedCoords({saved.restoredX, saved.restoredY, saved.restoredWidth,
                                                               saved.restoredHeight, 210}));
  EXPECT_EQ(Ini("Window1", "MinMax"), "Restored");
  EXPECT_EQ(Ini("Window1", "ActiveWindow"), "(missing)");
  EXPECT_EQ(Ini("Window2", "Archive"), "{Empty Archive}");
  EXPECT_EQ(Lower(Ini("Window3", "Directory")), Lower(data_ / "other"));
  EXPECT_EQ(Ini("Window3", "ActiveWindow"), "True");
  for (int n = 4; n <= 32; ++n) EXPECT_EQ(Ini(ql::SavedWindowSection(n).c_str(), "Directory"), "(missing)") << n;

  SetCurrentDirectoryA(data_.path().c_str());
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(ql::BrowserWindowCount(), 3);
  std::vector<ql::WindowRecord*> back;
  for (int i = 0; i < ql::kMaxWindows; ++i)
    if (ql::g_windowTable[i].inUse) back.push_back(&ql::g_windowTable[i]);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(Lower(back[0]->curDir), Lower(data_.path()));
  EXPECT_EQ(Lower(back[0]->archivePath), Lower(data_ / "comments.zip"));
  EXPECT_GT(SendMessageA(back[0]->hwndArchiveList, LB_GETCOUNT, 0, 0), 0);
  EXPECT_STREQ(back[0]->dirMask, "*.zip; *.txt");
  EXPECT_EQ(back[0]->splitterPos, 210);
  EXPECT_EQ(back[0]->restoredWidth, saved.restoredWidth);
  EXPECT_EQ(back[0]->restoredHeight, saved.restoredHeight);
  EXPECT_EQ(Lower(back[1]->curDir), Lower(data_ / "sub"));
  EXPECT_STREQ(back[1]->archivePath, "");
  EXPECT_EQ(Lower(back[2]->curDir), Lower(data_ / "other"));
  EXPECT_STREQ(back[2]->dirMask, "*.txt");
  EXPECT_EQ(ql::g_activeBrowser, back[2]->hwndChild);
  EXPECT_EQ(Lower(qltest::CurrentDirectory()), Lower(data_ / "other"));
  Snapshot("restored");
  EXPECT_EQ(watcher.Seen().size(), 1u);
}

// Pane 398 follows the active window also when that window is minimised.
TEST_F(OptionsTest, ArchiveTotalsFollowAMinimisedActiveWindow) {
  ASSERT_TRUE(CopyFixture("comments.zip", data_ / "comments.zip"));
  ASSERT_NE(nullptr, Start());
  HWND empty = ql::g_activeBrowser;
  ASSERT_TRUE(empty);
  HWND archive = ql::OpenBrowserWindow((data_ / "comments.zip").c_str(), ql::kArchiveTypeZip, "*.*", "*.*");
  ASSERT_TRUE(archive);
  PumpUntil([] { return false; }, 0);
  auto pane = [] {
    char text[128] = "";
    GetDlgItemTextA(ql::g_statusBar, IDC_PANE_ARCHIVE_TOTALS, text, sizeof text);
    return std::string(text);
  };
  const std::string archiveFigures = pane();
  ASSERT_EQ(archiveFigures.find("4 Files"), 0u) << archiveFigures;
  ShowWindow(empty, SW_MINIMIZE);
  SendMessageA(ql::g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(empty), 0);
  PumpUntil([] { return false; }, 0);
  ASSERT_EQ(ql::g_activeBrowser, empty);
  ASSERT_TRUE(IsIconic(empty));
  EXPECT_EQ(pane(), "0 Files at 0.0%");
}

// A start that restores a single saved window draws that window's caption active: it is the
// active window and has the focus. Read back from the screen: the caption holds the active
// caption's colour and not the inactive one's.
TEST_F(OptionsTest, ASingleRestoredWindowHasAnActiveCaption) {
  WritePrivateProfileStringA("switches", "SaveArchiveNames", "On", ini().c_str());
  SaveSection(ini(), 1, {{"Directory", data_.path()}, {"Archive", "{Empty Archive}"}, {"MinMax", "Restored"},
                         {"Coords", "10 10 420 260 200"}, {"ActiveWindow", "True"}});
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(ql::BrowserWindowCount(), 1);
  HWND child = ql::g_activeBrowser;
  ASSERT_TRUE(child);
  RedrawWindow(child, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PumpUntil([] { return false; }, 0);
  Snapshot("single-restored-window");
  RECT wr;
  GetWindowRect(child, &wr);
  const int border = GetSystemMetrics(SM_CYFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  HDC dc = GetWindowDC(child);
  int active = 0, inactive = 0;
  const COLORREF activeColours[] = {GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION)};
  const COLORREF inactiveColours[] = {GetSysColor(COLOR_INACTIVECAPTION), GetSysColor(COLOR_GRADIENTINACTIVECAPTION)};
  for (int y = border; y < border + caption - 1; ++y)
    for (int x = border; x < wr.right - wr.left - border; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      for (COLORREF a : activeColours) active += c == a;
      for (COLORREF i : inactiveColours) inactive += c == i;
    }
  ReleaseDC(child, dc);
  EXPECT_GT(active, 0);
  EXPECT_EQ(inactive, 0);
  EXPECT_TRUE(ql::RecordOf(child) && GetFocus() == ql::RecordOf(child)->hwndDirList);
}

// Windows saved minimised or maximised keep their restored place, size and splitter from one
// exit to the next.
TEST_F(OptionsTest, IconicAndZoomedWindowsKeepTheirRestoredRectangle) {
  WritePrivateProfileStringA("switches", "SaveArchiveNames", "On", ini().c_str());
  SaveSection(ini(), 1, {{"Directory", data_.path()}, {"Archive", "{Empty Archive}"}, {"MinMax", "Iconic"},
                         {"Coords", "30 40 420 260 200"}});
  SaveSection(ini(), 2, {{"Directory", data_.path()}, {"Archive", "{Empty Archive}"}, {"MinMax", "Restored"},
                         {"Coords", "50 60 400 250 180"}, {"ActiveWindow", "True"}});
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(ql::BrowserWindowCount(), 2);
  Stop();
  EXPECT_EQ(Ini("Window1", "MinMax"), "Iconic");
  EXPECT_EQ(Ini("Window1", "Coords"), "30 40 420 260 200");
  EXPECT_EQ(Ini("Window2", "Coords"), "50 60 400 250 180");
}

TEST_F(OptionsTest, DamagedSavedWindowsNeverStopTheStart) {
  ASSERT_TRUE(CopyFixture("plain.zip", data_ / "kept.zip"));
  WritePrivateProfileStringA("switches", "SaveArchiveNames", "On", ini().c_str());
  const std::string gone = data_ / "gone.zip";
  SaveSection(ini(), 1, {{"Directory", data_.path()}, {"Archive", gone}, {"Coords", "x y z"}, {"MinMax", "??"}});
  SaveSection(ini(), 2, {{"Directory", data_.path()}, {"Archive", data_ / "notes.txt"}});  // not an archive
  SaveSection(ini(), 3, {{"Directory", ""}, {"Archive", data_ / "kept.zip"}});           // no directory
  SaveSection(ini(), 4, {{"Directory", data_ / "vanished"}, {"Archive", data_ / "kept.zip"},
                         {"Coords", "5 5 400 250 40"}, {"DirMask", std::string(200, '*')}});
  SaveSection(ini(), 9, {{"Directory", data_.path()}, {"Archive", "{Empty Archive}"}, {"ActiveWindow", "True"}});
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(watcher.Seen().size(), 0u);
  // The vanished archive's window is not restored, silently.
  ASSERT_EQ(ql::BrowserWindowCount(), 2);
  std::vector<ql::WindowRecord*> back;
  for (int i = 0; i < ql::kMaxWindows; ++i)
    if (ql::g_windowTable[i].inUse) back.push_back(&ql::g_windowTable[i]);
  // The vanished directory: the window opens where the program started; the splitter of 40 is 125;
  // the mask is cut to what the key holds.
  EXPECT_EQ(Lower(back[0]->archivePath), Lower(data_ / "kept.zip"));
  EXPECT_EQ(Lower(back[0]->curDir), Lower(data_.path()));
  EXPECT_EQ(back[0]->splitterPos, 125);
  EXPECT_EQ(std::string(back[0]->dirMask), std::string(65, '*'));
  EXPECT_EQ(ql::g_activeBrowser, back[1]->hwndChild);
  // Nor is it saved again at the exit.
  Stop();
  EXPECT_EQ(Ini("Window3", "Directory"), "(missing)");
  EXPECT_NE(Lower(Ini("Window1", "Archive")), Lower(gone));
  EXPECT_NE(Lower(Ini("Window2", "Archive")), Lower(gone));
}

}  // namespace
