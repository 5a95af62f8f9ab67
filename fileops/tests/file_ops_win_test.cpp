// The file commands through the frame, in this process: Copy (F8), Move, Rename, Make and Change
// Directory, the trash-can delete of a directory list, and the target-directory chooser. A watcher
// thread answers the dialogs and message boxes as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "fileops/file_ops_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::FileExists;
using qltest::PumpUntil;
using qltest::ReadTextFile;
using qltest::SeenDialog;
using qltest::TempDir;
using qltest::WriteTextFile;

// With QL_SCREENSHOT_HOLD_MS set, every dialog stays that long before it is answered, so that
// fileops/tests/screenshots.sh can take a picture of it.
void HoldForScreenshot() {
  char value[16] = "";
  if (GetEnvironmentVariableA("QL_SCREENSHOT_HOLD_MS", value, sizeof value)) Sleep(static_cast<DWORD>(atoi(value)));
}

FILETIME TimeOf(int year, int month, int day, int hour) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

bool SetTimes(const std::string& path, const FILETIME& created, const FILETIME& written) {
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BOOL ok = SetFileTime(h, &created, nullptr, &written);
  CloseHandle(h);
  return ok != FALSE;
}

bool GetTimes(const std::string& path, FILETIME* created, FILETIME* written) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return false;
  *created = a.ftCreationTime;
  *written = a.ftLastWriteTime;
  return true;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The names (first fields) of the files in a directory, "." and ".." left out.
std::vector<std::string> DirectoryNames(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

std::string ShortPath(const std::string& path) {
  char buf[MAX_PATH] = "";
  DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
  return n > 0 && n < sizeof buf ? buf : "";
}

// Answers by caption: the function for a caption decides the button (0 leaves the window alone
// for now). Message boxes are captioned "Quillon"; they get Yes or OK unless a rule says otherwise.
using Rule = std::function<int(HWND, const SeenDialog&)>;
struct Rules {
  std::vector<std::pair<std::string, Rule>> rules;
  int operator()(HWND d, const SeenDialog& seen) const {
    for (const auto& [title, rule] : rules)
      if (seen.title == title) {
        int pressed = rule(d, seen);
        if (pressed) HoldForScreenshot();
        return pressed;
      }
    HoldForScreenshot();
    return qltest::PressDefault(d, seen);
  }
};

// Types `text` into the dialog's entry field and presses `button`.
Rule Type(std::string text, int button = IDOK) {
  return [text, button](HWND d, const SeenDialog&) {
    SetDlgItemTextA(d, IDC_FO_ENTRY, text.c_str());
    return button;
  };
}

Rule Press(int button) {
  return [button](HWND, const SeenDialog&) { return button; };
}

// A message box whose owner dialog stays open after it: OK, and then Cancel for the dialog.
Rule OkThenCancelOwner() {
  return [](HWND box, const SeenDialog&) {
    HWND owner = GetWindow(box, GW_OWNER);
    if (owner) PostMessageA(owner, WM_COMMAND, IDCANCEL, 0);
    return IDOK;
  };
}

std::vector<std::string> Texts(const std::vector<SeenDialog>& seen, const std::string& title) {
  std::vector<std::string> out;
  for (const SeenDialog& s : seen)
    if (s.title == title) out.push_back(s.text);
  return out;
}

class FileOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((program_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(program_ / "qlkbdtrp.exe", "runner"));
    WritePrivateProfileStringA("Defaults", "Working Directory", data_.path().c_str(), ini().c_str());
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  void Confirmation(const char* key, bool on) {
    WritePrivateProfileStringA("Confirmation", key, on ? "True" : "False", ini().c_str());
  }
  void Start() {
    frame_ = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    ASSERT_NE(frame_, nullptr);
    PumpUntil([] { return false; }, 0);
    r_ = ql::RecordOf(ql::g_activeBrowser);
    ASSERT_NE(r_, nullptr);
    ASSERT_EQ(lstrcmpiA(r_->curDir, data_.path().c_str()), 0) << r_->curDir;
  }
  void Command(UINT id) {
    SendMessageA(frame_, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }
  void Relist() { ql::FillDirectoryList(ql::SlotOf(r_->hwndChild)); }
  // Selects the directory-list lines whose first field is one of `names`, nothing else.
  void Select(const std::vector<std::string>& names) {
    Relist();
    SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
    std::vector<std::string> lines = ql::ListLines(r_->hwndDirList);
    size_t found = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string first = lines[i].substr(0, lines[i].find('\t'));
      for (const std::string& n : names)
        if (first == n) {
          SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
          ++found;
        }
    }
    ASSERT_EQ(found, names.size());
    SetFocus(r_->hwndDirList);
  }
  std::string ini() const { return program_ / "ql53intl.ini"; }

  TempDir program_{"ql fileops"};
  TempDir data_{"ql files"};
  std::string cwd_;
  HWND frame_ = nullptr;
  ql::WindowRecord* r_ = nullptr;
};

TEST_F(FileOpsTest, CopyIntoANewThreeLevelPathKeepsTheTimes) {
  const std::vector<std::string> names{"a.txt", "report[1].pdf", "long name.text"};
  const FILETIME created = TimeOf(2001, 2, 3, 4), written = TimeOf(2002, 5, 6, 7);
  for (const std::string& n : names) {
    ASSERT_TRUE(WriteTextFile(data_ / n, "content of " + n));
    ASSERT_TRUE(SetTimes(data_ / n, created, written));
  }
  ASSERT_TRUE(WriteTextFile(data_ / "not selected.txt", "x"));
  Start();
  Select(names);
  const std::string target = data_ / "one\\two\\three";
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Copy File(s) To", Type(target)}, {"Copying Files", Press(0)}}});
  Command(IDM_COPY);
  std::vector<SeenDialog> seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(seen[0].text.find(data_.path()), std::string::npos) << "Copy From shows the window's directory";
  EXPECT_EQ(seen[1].title, "Quillon");
  EXPECT_NE(seen[1].text.find("The following directory:\n" + target + "\n Does not exist."), std::string::npos)
      << seen[1].text;
  for (const std::string& n : names) {
    EXPECT_EQ(ReadTextFile(target + "\\" + n), "content of " + n);
    FILETIME c{}, w{}, sourceCreated{}, sourceWritten{};
    ASSERT_TRUE(GetTimes(target + "\\" + n, &c, &w));
    ASSERT_TRUE(GetTimes(data_ / n, &sourceCreated, &sourceWritten));
    EXPECT_TRUE(SameTime(w, written)) << n;
    // Wine on a Linux file system cannot set a file's creation time; where it can, the copy has it.
    if (SameTime(sourceCreated, created)) {
      EXPECT_TRUE(SameTime(c, created)) << n;
    }
  }
  EXPECT_EQ(DirectoryNames(target).size(), 3u) << "no temporary file stays behind";
  EXPECT_FALSE(FileExists(target + "\\not selected.txt"));
}

TEST_F(FileOpsTest, ADirectoryOrACommentInTheSelectionIsRefused) {
  ASSERT_TRUE(WriteTextFile(data_ / "a.txt", "a"));
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  Start();
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  Select({"a.txt", "[sub]"});
  Command(IDM_COPY);
  Command(IDM_MOVE_FILES);
  SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
  Command(IDM_COPY);
  ASSERT_TRUE(watcher.WaitForAnswers(3));
  std::vector<SeenDialog> seen = watcher.Seen();
  EXPECT_EQ(seen[0].text, "No Drives And Directories Are Allowed For This Operation.");
  EXPECT_EQ(seen[1].text, "No Drives And Directories Are Allowed For This Operation.");
  EXPECT_EQ(seen[2].text, "No files have been selected for this operation.");
  EXPECT_TRUE(ql::g_cancelled);
}

TEST_F(FileOpsTest, ACopyOntoItselfIsRefusedAlsoThroughAShortSpelling) {
  const std::string content(100000, 'q');
  ASSERT_TRUE(WriteTextFile(data_ / "a long name.txt", content));
  const std::string shortDir = ShortPath(data_.path());
  ASSERT_FALSE(shortDir.empty());
  ASSERT_NE(shortDir, data_.path()) << "the data directory has a blank, so its short form differs";
  Start();
  for (const std::string& target : {data_.path(), shortDir, data_.path() + "\\"}) {
    Select({"a long name.txt"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Copy File(s) To", Type(target)}, {"Copying Files", Press(0)}}});
    Command(IDM_COPY);
    std::vector<std::string> boxes = Texts(watcher.Seen(), "Quillon");
    ASSERT_EQ(boxes.size(), 1u) << target;
    EXPECT_EQ(boxes[0], "You attempted to copy or move this file.\nThis will overwrite an existing copy of the file!");
    EXPECT_EQ(ReadTextFile(data_ / "a long name.txt"), content) << target;
  }
  // The copy engine by itself, given the source's short name as the target.
  ql::ConfirmAnswer answer = ql::ConfirmAnswer::Yes;
  bool copied = true;
  const std::string source = data_ / "a long name.txt";
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  EXPECT_FALSE(ql::CopyOneFile(frame_, source, ShortPath(source), &answer, &copied));
  EXPECT_FALSE(copied);
  EXPECT_EQ(ReadTextFile(source), content);
  EXPECT_EQ(DirectoryNames(data_.path()).size(), 1u);
}

TEST_F(FileOpsTest, CancelDuringALargeCopyKeepsTheOlderTarget) {
  // Big enough that copying takes far longer than the watcher needs to see it start.
  const DWORD kBig = 192u << 20;
  {
    HANDLE h = CreateFileA((data_ / "big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7);
    DWORD wrote = 0;
    for (DWORD done = 0; done < kBig; done += wrote)
      ASSERT_TRUE(WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &wrote, nullptr));
    CloseHandle(h);
  }
  const std::string out = data_ / "out";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  ASSERT_TRUE(WriteTextFile(out + "\\big.bin", "the older copy"));
  Confirmation("copy", false);
  Start();
  Select({"big.bin"});
  std::atomic<bool> sawPartial{false};
  auto cancelOnceCopying = [&](HWND, const SeenDialog&) {
    // Cancel only when part of the new copy has been written beside the old one.
    for (const std::string& n : DirectoryNames(out)) {
      if (n == "big.bin") continue;
      WIN32_FILE_ATTRIBUTE_DATA a{};
      if (GetFileAttributesExA((out + "\\" + n).c_str(), GetFileExInfoStandard, &a) && a.nFileSizeLow > 0) {
        sawPartial = true;
        return IDCANCEL;
      }
    }
    return 0;
  };
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Copy File(s) To", Type(out)}, {"Copying Files", cancelOnceCopying}}});
  Command(IDM_COPY);
  EXPECT_TRUE(sawPartial);
  EXPECT_EQ(ReadTextFile(out + "\\big.bin"), "the older copy");
  EXPECT_EQ(DirectoryNames(out), std::vector<std::string>{"big.bin"}) << "no temporary file stays behind";
  EXPECT_TRUE(Texts(watcher.Seen(), "Quillon").empty());
}

TEST_F(FileOpsTest, OverwriteQuestionsYesToAllAndNo) {
  const std::string out = data_ / "out";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
    ASSERT_TRUE(WriteTextFile(data_ / n, std::string("new ") + n));
    ASSERT_TRUE(WriteTextFile(out + "\\" + n, std::string("old ") + n));
  }
  Start();
  {
  DialogWatcher watcher(
      GetCurrentProcessId(), DialogWatcher::ThisThread(),
      Rules{{{"Copy File(s) To", Type(out)},
             {"Copying Files", Press(0)},
             {"Confirm Overwrite", Press(IDC_DELETE_YES_ALL)}}});
  Select({"a.txt", "b.txt", "c.txt"});
  Command(IDM_COPY);
  std::vector<std::string> asked = Texts(watcher.Seen(), "Confirm Overwrite");
  ASSERT_EQ(asked.size(), 1u) << "Yes to All asks once";
  EXPECT_NE(asked[0].find(out + "\\a.txt"), std::string::npos) << asked[0];
  EXPECT_NE(asked[0].find(data_ / "a.txt"), std::string::npos) << asked[0];
  EXPECT_NE(asked[0].find("File Date:"), std::string::npos);
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) EXPECT_EQ(ReadTextFile(out + "\\" + n), std::string("new ") + n);
  }

  // The next operation asks again; in a move, No keeps both the source and the target.
  for (const char* n : {"a.txt", "b.txt"}) ASSERT_TRUE(WriteTextFile(out + "\\" + n, std::string("old ") + n));
  Select({"a.txt", "b.txt"});
  DialogWatcher mover(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                      Rules{{{"Move Files", Type(out)}, {"Confirm Overwrite", Press(IDC_DELETE_NO)}}});
  Command(IDM_MOVE_FILES);
  EXPECT_EQ(Texts(mover.Seen(), "Confirm Overwrite").size(), 2u);
  for (const char* n : {"a.txt", "b.txt"}) {
    EXPECT_EQ(ReadTextFile(out + "\\" + n), std::string("old ") + n);
    EXPECT_EQ(ReadTextFile(data_ / n), std::string("new ") + n);
  }
  EXPECT_TRUE(Texts(mover.Seen(), "Quillon").empty());
}

TEST_F(FileOpsTest, MoveAndItsRefusalOntoItself) {
  for (const char* n : {"a.txt", "report[1].pdf"}) ASSERT_TRUE(WriteTextFile(data_ / n, n));
  const std::string out = data_ / "moved";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  Start();
  Select({"a.txt", "report[1].pdf"});
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), Rules{{{"Move Files", Type(out)}}});
    Command(IDM_MOVE_FILES);
    EXPECT_EQ(watcher.Seen().size(), 1u);
  }
  for (const char* n : {"a.txt", "report[1].pdf"}) {
    EXPECT_FALSE(FileExists(data_ / n)) << n;
    EXPECT_EQ(ReadTextFile(out + "\\" + n), n);
  }
  // The list was read again: the moved files are gone from it.
  EXPECT_EQ(SendMessageA(r_->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("a.txt")),
            LB_ERR);

  ASSERT_TRUE(WriteTextFile(data_ / "b.txt", "b"));
  Select({"b.txt"});
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Move Files", Type(data_.path() + "\\")}}});
  Command(IDM_MOVE_FILES);
  std::vector<std::string> boxes = Texts(watcher.Seen(), "Quillon");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "You attempted to copy or move this file.\nThis will overwrite an existing copy of the file!");
  EXPECT_EQ(boxes[1], "Error: Couldn't Move " + (data_ / "b.txt") + ".");
  EXPECT_EQ(ReadTextFile(data_ / "b.txt"), "b");
}

TEST_F(FileOpsTest, RenameFilesAndDirectories) {
  ASSERT_TRUE(WriteTextFile(data_ / "a.txt", "a"));
  ASSERT_TRUE(WriteTextFile(data_ / "b.txt", "b"));
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  Start();
  {
    Select({"a.txt"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Rename A File Or Directory", Type("renamed[1].txt")}}});
    Command(IDM_RENAME);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_NE(watcher.Seen()[0].text.find(data_.path()), std::string::npos);
    EXPECT_EQ(ReadTextFile(data_ / "renamed[1].txt"), "a");
    EXPECT_FALSE(FileExists(data_ / "a.txt"));
    EXPECT_NE(SendMessageA(r_->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("renamed[1].txt")),
              LB_ERR);
  }
  {
    Select({"[sub]"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Rename A File Or Directory", Type("subdir")}}});
    Command(IDM_RENAME);
    EXPECT_TRUE(ql::DirectoryExists(data_ / "subdir"));
  }
  {
    // The main error: a name that is taken. The dialog stays until it is cancelled.
    Select({"b.txt"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Rename A File Or Directory", Type("renamed[1].txt")}, {"Quillon", OkThenCancelOwner()}}});
    Command(IDM_RENAME);
    EXPECT_EQ(Texts(watcher.Seen(), "Quillon"), std::vector<std::string>{"Error: Unable To Rename This File."});
    EXPECT_EQ(ReadTextFile(data_ / "b.txt"), "b");
    EXPECT_EQ(ReadTextFile(data_ / "renamed[1].txt"), "a");
  }
  {
    // An empty name, and a drive line.
    Select({"b.txt"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Rename A File Or Directory", Type("")}, {"Quillon", OkThenCancelOwner()}}});
    Command(IDM_RENAME);
    std::vector<std::string> lines = ql::ListLines(r_->hwndDirList);
    SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("[-", 0) == 0) {
        SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        break;
      }
    Command(IDM_RENAME);
    EXPECT_EQ(Texts(watcher.Seen(), "Quillon"),
              (std::vector<std::string>{"You Must Enter A Filename.", "You Can't Rename A Drive Letter!"}));
  }
}

TEST_F(FileOpsTest, MakeDirectory) {
  Start();
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Create A Directory", Type("new dir\\below")}}});
    Command(IDM_MAKE_DIR);
    EXPECT_TRUE(ql::DirectoryExists(data_ / "new dir\\below"));
    EXPECT_NE(SendMessageA(r_->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("[new dir]")),
              LB_ERR);
  }
  // The main error: a directory that exists already; and an empty name.
  for (const char* typed : {"new dir", ""}) {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Create A Directory", Type(typed)}, {"Quillon", OkThenCancelOwner()}}});
    Command(IDM_MAKE_DIR);
    EXPECT_EQ(Texts(watcher.Seen(), "Quillon"),
              std::vector<std::string>{*typed ? "Unable To Create The Directory." : "You Must Enter A Directory Name."});
  }
}

TEST_F(FileOpsTest, ChangeDirectory) {
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "sub\\inside.txt", "x"));
  Start();
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Change  Directory", [&](HWND d, const SeenDialog& s) {
                                    char start[MAX_PATH] = "";
                                    GetDlgItemTextA(d, IDC_FO_ENTRY, start, sizeof start);
                                    EXPECT_EQ(lstrcmpiA(start, data_.path().c_str()), 0)
                                        << "starts with the working directory";
                                    return Type(data_ / "sub")(d, s);
                                  }}}});
    Command(IDM_CHANGE_DIR);
    EXPECT_EQ(watcher.Seen().size(), 1u);
  }
  EXPECT_EQ(lstrcmpiA(r_->curDir, (data_ / "sub").c_str()), 0) << r_->curDir;
  EXPECT_EQ(lstrcmpiA(ql::CurrentDirectory().c_str(), (data_ / "sub").c_str()), 0) << ql::CurrentDirectory();
  EXPECT_NE(SendMessageA(r_->hwndDirList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>("inside.txt")),
            LB_ERR);
  // The main error: a directory that does not exist; and an empty text.
  for (std::string typed : {data_ / "missing", std::string()}) {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Change  Directory", Type(typed)}, {"Quillon", OkThenCancelOwner()}}});
    Command(IDM_CHANGE_DIR);
    EXPECT_EQ(Texts(watcher.Seen(), "Quillon"),
              std::vector<std::string>{typed.empty() ? "You must enter a directory name!"
                                                     : "Error: Invalid Subdirectory!"});
  }
  EXPECT_EQ(lstrcmpiA(r_->curDir, (data_ / "sub").c_str()), 0);
}

// Delete directory (965): the selected directory goes, with its tree, after the directory
// question; a file in the selection is refused with 3037 and stays.
TEST_F(FileOpsTest, DeleteDirectoryRemovesTheSelectedDirectoryTree) {
  CreateDirectoryA((data_ / "gone").c_str(), nullptr);
  CreateDirectoryA((data_ / "gone\\below").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "gone\\below\\deep.txt", "x"));
  CreateDirectoryA((data_ / "empty").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "kept.txt", "kept"));
  Start();
  {
    Select({"kept.txt"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(), Rules{});
    Command(IDM_DELETE_DIR);
    EXPECT_EQ(Texts(watcher.Seen(), "Quillon"),
              std::vector<std::string>{"Current Selection Is Not A Directory Or May Contain Files."});
    EXPECT_TRUE(FileExists(data_ / "kept.txt"));
  }
  {
    Select({"[gone]", "[empty]"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Confirm Directory Delete", Press(IDC_DELETE_YES)}}});
    Command(IDM_DELETE_DIR);
    EXPECT_EQ(Texts(watcher.Seen(), "Confirm Directory Delete").size(), 2u);
    EXPECT_TRUE(Texts(watcher.Seen(), "Quillon").empty());
  }
  EXPECT_FALSE(ql::DirectoryExists(data_ / "gone"));
  EXPECT_FALSE(ql::DirectoryExists(data_ / "empty"));
  EXPECT_TRUE(FileExists(data_ / "kept.txt"));
  for (const std::string& line : ql::ListLines(r_->hwndDirList))
    EXPECT_NE(line.substr(0, line.find('\t')), "[gone]") << "the listing is made again";
}

TEST_F(FileOpsTest, DeleteRemovesADirectoryTreeAndFiles) {
  CreateDirectoryA((data_ / "tree").c_str(), nullptr);
  CreateDirectoryA((data_ / "tree\\below").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "tree\\below\\deep.txt", "x"));
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(WriteTextFile(data_ / n, n));
  Start();
  {
    Select({"[tree]"});
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Confirm Directory Delete", Press(IDC_DELETE_YES)}}});
    Command(IDM_DELETE_FILES);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_NE(watcher.Seen()[0].text.find("Delete this sub directory and any directories below it?"), std::string::npos);
    EXPECT_NE(watcher.Seen()[0].text.find(data_ / "tree"), std::string::npos);
    EXPECT_FALSE(ql::DirectoryExists(data_ / "tree"));
  }
  {
    // Yes to All on the first file deletes the others without asking; No keeps a file.
    Select({"a.txt", "b.txt"});
    {
      bool hasHelp = false;
      DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                            Rules{{{"Confirm Delete", [&](HWND d, const SeenDialog&) {
                                     // A Help button, as every confirmation dialog has.
                                     HWND help = GetDlgItem(d, IDC_HELP_BUTTON);
                                     hasHelp = help && IsWindowVisible(help) && IsWindowEnabled(help);
                                     return IDC_DELETE_YES_ALL;
                                   }}}});
      Command(IDM_DELETE_FILES);
      EXPECT_EQ(Texts(watcher.Seen(), "Confirm Delete").size(), 1u);
      EXPECT_TRUE(hasHelp);
    }
    EXPECT_FALSE(FileExists(data_ / "a.txt"));
    EXPECT_FALSE(FileExists(data_ / "b.txt"));
    Select({"c.txt"});
    DialogWatcher asks(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                       Rules{{{"Confirm Delete", Press(IDC_DELETE_NO)}}});
    Command(IDM_DELETE_FOCUSED);
    EXPECT_EQ(Texts(asks.Seen(), "Confirm Delete").size(), 1u) << "Yes to All lasted one run";
    EXPECT_NE(asks.Seen()[0].text.find("Do you really want to delete the following file?"), std::string::npos);
    EXPECT_TRUE(FileExists(data_ / "c.txt"));
  }
}

TEST_F(FileOpsTest, DeleteRefusesDrivesParentsAndReportsWhatItCannotDelete) {
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "sub\\locked.txt", "keep"));
  ASSERT_TRUE(SetFileAttributesA((data_ / "sub\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  Confirmation("delete", false);
  Start();
  // Go into the subdirectory so that the list has a parent line.
  ASSERT_TRUE(ql::SetCurrentDirAndDrive((data_ / "sub").c_str()) == false);
  lstrcpynA(r_->curDir, (data_ / "sub").c_str(), sizeof r_->curDir);
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  Select({"[..]"});
  Command(IDM_DELETE_FILES);
  std::vector<std::string> lines = ql::ListLines(r_->hwndDirList);
  SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("[-", 0) == 0) {
      SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
      break;
    }
  Command(IDM_DELETE_FILES);
  Select({"locked.txt"});
  Command(IDM_DELETE_FILES);
  std::vector<std::string> boxes = Texts(watcher.Seen(), "Quillon");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], "You Can't Delete A Parent Directory.");
  EXPECT_EQ(boxes[1], "You Can't Delete A Drive Letter.");
  EXPECT_EQ(boxes[2],
            "Unable To Delete This File. It May Be Read Only Or Another Process May Be Using It.\n" +
                (data_ / "sub\\locked.txt"));
  EXPECT_EQ(ReadTextFile(data_ / "sub\\locked.txt"), "keep");
  EXPECT_TRUE(ql::DirectoryExists(data_.path()));
  SetFileAttributesA((data_ / "sub\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileOpsTest, TheTargetChooserListsDirectoriesAndDescends) {
  CreateDirectoryA((data_ / "first").c_str(), nullptr);
  CreateDirectoryA((data_ / "first\\second").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(data_ / "file.txt", "x"));
  Start();
  std::vector<std::string> listed;
  std::string afterDescend;
  DialogWatcher watcher(
      GetCurrentProcessId(), DialogWatcher::ThisThread(),
      Rules{{{"Select A Target Directory", [&](HWND d, const SeenDialog&) {
        HWND list = GetDlgItem(d, IDC_FO_DIR_LIST);
        LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
        listed.clear();
        for (LRESULT i = 0; i < n; ++i) {
          char item[MAX_PATH] = "";
          SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
          listed.push_back(item);
        }
        // Double-click "[first]": the chooser goes down into it and lists it.
        LRESULT first = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>("[first]"));
        SendMessageA(list, LB_SETCURSEL, first, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_FO_DIR_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        char entry[MAX_PATH] = "";
        GetDlgItemTextA(d, IDC_FO_ENTRY, entry, sizeof entry);
        afterDescend = entry;
        SetDlgItemTextA(d, IDC_FO_ENTRY, "second");
        return IDOK;
      }}}});
  std::string chosen;
  ASSERT_TRUE(ql::ChooseTargetDirectory(frame_, &chosen));
  EXPECT_EQ(lstrcmpiA(chosen.c_str(), (data_ / "first\\second").c_str()), 0) << chosen;
  EXPECT_EQ(lstrcmpiA(afterDescend.c_str(), (data_ / "first").c_str()), 0) << afterDescend;
  bool hasFirst = false, hasFile = false, hasDrive = false;
  for (const std::string& item : listed) {
    hasFirst |= item == "[first]";
    hasFile |= item == "file.txt";
    hasDrive |= item.rfind("[-", 0) == 0;
  }
  EXPECT_TRUE(hasFirst);
  EXPECT_TRUE(hasDrive);
  EXPECT_FALSE(hasFile) << "directories and drives only";
  // In Manager mode the window's directory is current again afterwards.
  EXPECT_EQ(lstrcmpiA(ql::CurrentDirectory().c_str(), r_->curDir), 0);
}

TEST_F(FileOpsTest, TheTargetChooserWantsANameAndCancelGivesNothing) {
  Start();
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Select A Target Directory", Type("")}, {"Quillon", OkThenCancelOwner()}}});
  std::string chosen = "before";
  EXPECT_FALSE(ql::ChooseTargetDirectory(frame_, &chosen));
  EXPECT_TRUE(chosen.empty());
  EXPECT_TRUE(ql::g_cancelled);
  EXPECT_EQ(Texts(watcher.Seen(), "Quillon"), std::vector<std::string>{"You must enter a directory name!"});
}

TEST_F(FileOpsTest, DragCopyAndMoveWithTheirConfirmation) {
  for (const char* n : {"a.txt", "b.txt"}) ASSERT_TRUE(WriteTextFile(data_ / n, n));
  const std::string out = data_ / "out";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  Start();
  std::string title;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Moving Files", [&](HWND, const SeenDialog&) { return 0; }},
                               {"Copying Files", Press(0)},
                               {"Confirm Mouse Action", Press(IDC_DELETE_YES)}}});
  std::vector<std::string> eight{"1", "2", "3", "4", "5", "6", "7", "8"};
  EXPECT_TRUE(ql::ConfirmDragDrop(frame_, eight, out, true));
  std::vector<std::string> asked = Texts(watcher.Seen(), "Confirm Mouse Action");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].find("1 2 3 4 5 6 ..."), std::string::npos) << asked[0];
  EXPECT_NE(asked[0].find("Move To:"), std::string::npos) << asked[0];
  EXPECT_NE(asked[0].find(out), std::string::npos) << asked[0];

  EXPECT_TRUE(ql::CopyFilesToDirectory(frame_, {data_ / "a.txt"}, out, false));
  EXPECT_EQ(ReadTextFile(out + "\\a.txt"), "a.txt");
  EXPECT_TRUE(FileExists(data_ / "a.txt"));
  EXPECT_TRUE(ql::CopyFilesToDirectory(frame_, {data_ / "b.txt"}, out, true));
  EXPECT_EQ(ReadTextFile(out + "\\b.txt"), "b.txt");
  EXPECT_FALSE(FileExists(data_ / "b.txt"));
  // Onto itself: refused, and the source stays.
  EXPECT_FALSE(ql::CopyFilesToDirectory(frame_, {data_ / "a.txt"}, data_.path(), true));
  EXPECT_EQ(ReadTextFile(data_ / "a.txt"), "a.txt");
}

}  // namespace
