// Run, Launch, Associate, Properties and File Statistics through the frame, in this process. A
// watcher thread answers the dialogs as a user would; a recording stand-in program (QL_STANDIN)
// tells what was started, in which directory and with which command line. The tests use their own
// extension ".qlt" and remove its registry keys and profile entry afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "browser/gauge_win.h"
#include "browser/item_format.h"
#include "common/shared_win.h"
#include "fileops/launch_win.h"
#include "readers/readers_win.h"
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

constexpr const char* kClass = "rec_standin.exe";

// With QL_SCREENSHOT_HOLD_MS set, every dialog stays that long before it is answered, so that
// fileops/tests/screenshots.sh can take a picture of it.
void HoldForScreenshot() {
  char value[16] = "";
  if (GetEnvironmentVariableA("QL_SCREENSHOT_HOLD_MS", value, sizeof value)) Sleep(static_cast<DWORD>(atoi(value)));
}

std::string StandInSource() {
  std::string p = QL_STANDIN;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string ClassValue(const std::string& key) {
  char value[600] = "";
  LONG size = sizeof value;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return "<none>";
  return value;
}

std::string ExtensionsEntry(const char* ext) {
  char value[600] = "";
  GetProfileStringA("Extensions", ext, "<none>", value, sizeof value);
  return value;
}

void DeleteTree(HKEY parent, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyA(parent, key.c_str(), &h) != ERROR_SUCCESS) return;
  std::vector<std::string> children;
  char name[262];
  for (DWORD i = 0; RegEnumKeyA(h, i, name, sizeof name) == ERROR_SUCCESS; ++i) children.push_back(name);
  for (const std::string& c : children) DeleteTree(h, c);
  RegCloseKey(h);
  RegDeleteKeyA(parent, key.c_str());
}

std::string LongPath(const std::string& path) {
  char buf[MAX_PATH] = "";
  DWORD n = GetLongPathNameA(path.c_str(), buf, sizeof buf);
  return n && n < sizeof buf ? buf : path;
}

// The argument after the program in a recorded command line, without its quotes.
std::string FirstArgument(const std::string& commandLine) {
  size_t start = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    start = commandLine.find('"', 1) + 1;
  } else {
    start = commandLine.find(' ');
  }
  if (start == std::string::npos || start >= commandLine.size()) return "";
  std::string rest = commandLine.substr(commandLine.find_first_not_of(' ', start));
  if (!rest.empty() && rest[0] == '"') return rest.substr(1, rest.find('"', 1) - 1);
  return rest.substr(0, rest.find(' '));
}

// One recorded start of the stand-in.
struct Launched {
  std::string dir, cmd, drive, show;
};

std::vector<Launched> Records(const std::string& file) {
  std::vector<Launched> out;
  std::string text = ReadTextFile(file);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) break;
    std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    Launched s;
    for (auto [field, target] : {std::pair<const char*, std::string*>{"dir=", &s.dir}, {"|cmd=", &s.cmd},
                                 {"|drive=", &s.drive}, {"|show=", &s.show}}) {
      size_t at = line.find(field);
      if (at == std::string::npos) continue;
      at += strlen(field);
      size_t next = line.find('|', at);
      // The command line may hold "|" only in theory; the stand-in's fields come in a fixed order.
      *target = line.substr(at, next == std::string::npos ? std::string::npos : next - at);
    }
    out.push_back(s);
  }
  return out;
}

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

std::string DlgText(HWND d, int id) {
  char text[600] = "";
  GetDlgItemTextA(d, id, text, sizeof text);
  return text;
}

// The CRC-32 of the ZIP format.
uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Put16(std::string* out, unsigned v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A ZIP archive whose entries are deflated as stored blocks: each is five bytes bigger than its
// contents, so the archive is bigger than what it holds.
std::string GrownZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out, central;
  for (const auto& [name, data] : entries) {
    std::string packed;
    packed.push_back(1);  // last block, stored
    Put16(&packed, static_cast<unsigned>(data.size()));
    Put16(&packed, static_cast<unsigned>(~data.size() & 0xFFFF));
    packed += data;
    uint32_t offset = static_cast<uint32_t>(out.size());
    std::string common;
    Put16(&common, 20);
    Put16(&common, 0);
    Put16(&common, 8);
    Put16(&common, 0x6000);
    Put16(&common, 0x2C21);
    Put32(&common, Crc32(data));
    Put32(&common, static_cast<uint32_t>(packed.size()));
    Put32(&common, static_cast<uint32_t>(data.size()));
    Put16(&common, static_cast<unsigned>(name.size()));
    Put16(&common, 0);
    Put32(&out, 0x04034B50);
    out += common + name + packed;
    Put32(&central, 0x02014B50);
    Put16(&central, 20);
    central += common;
    Put16(&central, 0);
    Put16(&central, 0);
    Put16(&central, 0);
    Put32(&central, 0);
    Put32(&central, offset);
    central += name;
  }
  uint32_t start = static_cast<uint32_t>(out.size());
  out += central;
  Put32(&out, 0x06054B50);
  Put16(&out, 0);
  Put16(&out, 0);
  Put16(&out, static_cast<unsigned>(entries.size()));
  Put16(&out, static_cast<unsigned>(entries.size()));
  Put32(&out, static_cast<uint32_t>(central.size()));
  Put32(&out, start);
  Put16(&out, 0);
  return out;
}

std::string Noise(size_t n) {
  std::string s;
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s.push_back(static_cast<char>(x >> 16));
  }
  return s;
}

class RunCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_ = qltest::CurrentDirectory();
    ql::SetProgramModulePath((program_ / "quillon.exe").c_str());
    ASSERT_TRUE(WriteTextFile(program_ / "qlkbdtrp.exe", "runner"));
    WritePrivateProfileStringA("Defaults", "Working Directory", data_.path().c_str(), ini().c_str());
    ASSERT_TRUE(CreateDirectoryA((program_ / "Stand In").c_str(), nullptr));
    standIn_ = program_ / "Stand In\\rec standin.exe";
    ASSERT_TRUE(CopyFileA(StandInSource().c_str(), standIn_.c_str(), FALSE)) << StandInSource();
    record_ = program_ / "record.txt";
    SetEnvironmentVariableA("QL_STANDIN_RECORD", record_.c_str());
    CleanAssociation();
  }
  void TearDown() override {
    if (frame_ && IsWindow(frame_)) {
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    CleanAssociation();
    SetEnvironmentVariableA("QL_STANDIN_RECORD", nullptr);
    SetCurrentDirectoryA(cwd_.c_str());
    ql::SetProgramModulePath(nullptr);
  }
  static void CleanAssociation() {
    DeleteTree(HKEY_CLASSES_ROOT, ".qlt");
    DeleteTree(HKEY_CLASSES_ROOT, kClass);
    WriteProfileStringA("Extensions", "qlt", nullptr);
    WriteProfileStringA("Extensions", "qlu", nullptr);
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
  // Selects the directory-list line whose first field is `name`, nothing else; its index.
  int Select(const std::string& name) {
    ql::FillDirectoryList(ql::SlotOf(r_->hwndChild));
    SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
    std::vector<std::string> lines = ql::ListLines(r_->hwndDirList);
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].substr(0, lines[i].find('\t')) == name) {
        SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        SendMessageA(r_->hwndDirList, LB_SETCARETINDEX, i, 0);
        return static_cast<int>(i);
      }
    ADD_FAILURE() << name << " is not listed";
    return -1;
  }
  // Waits until the stand-in has recorded `count` starts.
  std::vector<Launched> WaitForStarts(size_t count) {
    std::vector<Launched> starts;
    PumpUntil(
        [&] {
          starts = Records(record_);
          return starts.size() >= count;
        },
        20000);
    return starts;
  }
  std::string ini() const { return program_ / "ql53intl.ini"; }

  TempDir program_{"ql run"};
  TempDir data_{"ql run data"};
  std::string cwd_, standIn_, record_;
  HWND frame_ = nullptr;
  ql::WindowRecord* r_ = nullptr;
};

TEST_F(RunCommandsTest, AssociateWritesQuotedCommandsAndRunAndDoubleClickStartTheProgram) {
  const std::string doc = data_ / "my notes.qlt";
  ASSERT_TRUE(WriteTextFile(doc, "notes"));
  Start();
  Select("my notes.qlt");
  std::string offeredExtension;
  {
    DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                          Rules{{{"Associate Files", [&](HWND d, const SeenDialog&) {
                                    offeredExtension = DlgText(d, IDC_ASSOC_EXTENSION);
                                    SetDlgItemTextA(d, IDC_ASSOC_PROGRAM, standIn_.c_str());
                                    return IDOK;
                                  }}}});
    Command(IDM_ASSOCIATE);
    ASSERT_TRUE(watcher.WaitForAnswers(1));
  }
  EXPECT_EQ(offeredExtension, "qlt");
  const std::string quoted = "\"" + standIn_ + "\"";
  EXPECT_EQ(ClassValue(".qlt"), kClass);
  EXPECT_EQ(ClassValue(std::string(kClass) + "\\shell\\open\\command"), quoted + " \"%1\"");
  EXPECT_EQ(ExtensionsEntry("qlt"), quoted + " ^.qlt");
  EXPECT_TRUE(ql::HasAssociation("qlt")) << "the broadcast rebuilt the association table";
  EXPECT_TRUE(ql::HasAssociation("QLT"));
  const std::string line = "my notes.qlt\tMYNOTE~1.QLT\t5\t01/02/2001\t10:00a";
  EXPECT_EQ(ql::ChooseItemPicture(line, false, ql::DriveFacts{}, ql::g_browserHost.associated),
            ql::ItemPicture::TextFile)
      << "an associated file shows the \"textfile\" picture";

  // Run: the command line offered is the selected file; the stand-in opens it.
  Select("my notes.qlt");
  std::string offered;
  {
    DialogWatcher runWatcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                             Rules{{{"Run", [&](HWND d, const SeenDialog&) {
                                       offered = DlgText(d, IDC_RUN_LINE);
                                       return IDOK;
                                     }}}});
    Command(IDM_RUN);
  }
  EXPECT_EQ(lstrcmpiA(offered.c_str(), doc.c_str()), 0) << offered;
  std::vector<Launched> starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(lstrcmpiA(LongPath(FirstArgument(starts[0].cmd)).c_str(), doc.c_str()), 0) << starts[0].cmd;

  // A double-click on the file does the same.
  int index = Select("my notes.qlt");
  ASSERT_GE(index, 0);
  ql::OnListDoubleClick(r_->hwndChild, r_->hwndDirList);
  starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(lstrcmpiA(LongPath(FirstArgument(starts[1].cmd)).c_str(), doc.c_str()), 0) << starts[1].cmd;

  // "(None)" removes the association from both places.
  Select("my notes.qlt");
  bool noneOffered = false;
  DialogWatcher noneWatcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                            Rules{{{"Associate Files", [&](HWND d, const SeenDialog&) {
                                      HWND list = GetDlgItem(d, IDC_ASSOC_LIST);
                                      LRESULT i = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>("(None)"));
                                      noneOffered = i != LB_ERR;
                                      SetDlgItemTextA(d, IDC_ASSOC_PROGRAM, "(None)");
                                      return IDOK;
                                    }}}});
  Command(IDM_ASSOCIATE);
  ASSERT_TRUE(noneWatcher.WaitForAnswers(1));
  EXPECT_TRUE(noneOffered);
  EXPECT_EQ(ClassValue(".qlt"), "<none>");
  EXPECT_EQ(ExtensionsEntry("qlt"), "<none>");
  EXPECT_FALSE(ql::HasAssociation("qlt"));
}

// What the class root and the profile know when the program starts is in the table, from each
// source with its own kind of record.
TEST_F(RunCommandsTest, AssociationsKnownAtStartAreInTheTable) {
  const std::string command = "\"" + standIn_ + "\" \"%1\"";
  RegSetValueA(HKEY_CLASSES_ROOT, ".qlt", REG_SZ, kClass, static_cast<DWORD>(strlen(kClass)));
  RegSetValueA(HKEY_CLASSES_ROOT, (std::string(kClass) + "\\shell\\open\\command").c_str(), REG_SZ, command.c_str(),
               static_cast<DWORD>(command.size()));
  WriteProfileStringA("Extensions", "qlu", ("\"" + standIn_ + "\" ^.qlu").c_str());
  Start();
  EXPECT_TRUE(ql::HasAssociation("QLT"));
  EXPECT_TRUE(ql::HasAssociation("qlu"));
  EXPECT_FALSE(ql::HasAssociation("qlv"));
  int fromRegistry = -1, fromProfile = -1;
  for (const ql::AssociationRecord& r : ql::AssociationTable()) {
    if (lstrcmpiA(r.extension, "qlt") == 0) fromRegistry = r.fromRegistry;
    if (lstrcmpiA(r.extension, "qlu") == 0) fromProfile = r.fromRegistry;
  }
  EXPECT_EQ(fromRegistry, 1);
  EXPECT_EQ(fromProfile, 0);
}

TEST_F(RunCommandsTest, AssociateRefusesProgramsAndOffersOnlyNoneWithoutAnExtension) {
  ASSERT_TRUE(WriteTextFile(data_ / "PROGRAM.EXE", "MZ"));
  ASSERT_TRUE(WriteTextFile(data_ / "README", "text"));
  ASSERT_TRUE(WriteTextFile(data_ / "a.qlt", "a"));
  Start();
  std::vector<std::string> items;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Associate Files", [&](HWND d, const SeenDialog&) {
                                  HWND list = GetDlgItem(d, IDC_ASSOC_LIST);
                                  LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
                                  for (LRESULT i = 0; i < n; ++i) {
                                    char text[600] = "";
                                    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                                    items.push_back(text);
                                  }
                                  return IDCANCEL;
                                }}}});
  Select("PROGRAM.EXE");
  Command(IDM_ASSOCIATE);
  Select("README");
  Command(IDM_ASSOCIATE);
  SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
  Command(IDM_ASSOCIATE);
  Select("a.qlt");
  SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, 0);
  Command(IDM_ASSOCIATE);
  ASSERT_TRUE(watcher.WaitForAnswers(4));
  std::vector<SeenDialog> seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].text, "Error: No Exe, Com, Pif, Or Batch files allowed for this operation.");
  EXPECT_EQ(seen[1].title, "Associate Files");
  EXPECT_EQ(items, std::vector<std::string>{"(None)"});
  EXPECT_EQ(seen[2].text, "No files have been selected for this operation.");
  EXPECT_EQ(seen[3].text, "Only one file can be selected for this operation!");
  EXPECT_EQ(ClassValue(".EXE"), ClassValue(".exe")) << "nothing written";
}

TEST_F(RunCommandsTest, RunStartsAProgramWithArgumentsAndKeepsTheRecentList) {
  ASSERT_TRUE(WriteTextFile(data_ / "a.txt", "a"));
  Start();
  const std::string first = "\"" + standIn_ + "\" alpha beta";
  const std::string second = standIn_ + " gamma";
  std::vector<std::string> offeredRecent;
  std::string next = first;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Run", [&](HWND d, const SeenDialog&) {
                                  HWND box = GetDlgItem(d, IDC_RUN_RECENT);
                                  offeredRecent.clear();
                                  LRESULT n = SendMessageA(box, CB_GETCOUNT, 0, 0);
                                  for (LRESULT i = 0; i < n; ++i) {
                                    char text[600] = "";
                                    SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                                    offeredRecent.push_back(text);
                                  }
                                  SetDlgItemTextA(d, IDC_RUN_LINE, next.c_str());
                                  return IDOK;
                                }}}});
  Select("a.txt");
  Command(IDM_RUN);
  std::vector<Launched> starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_NE(starts[0].cmd.find(" alpha beta"), std::string::npos) << starts[0].cmd;
  next = second;
  Select("a.txt");
  Command(IDM_RUN);
  starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_NE(starts[1].cmd.find(" gamma"), std::string::npos) << starts[1].cmd;
  EXPECT_EQ(offeredRecent, std::vector<std::string>{first}) << "the second Run offered the first";
  EXPECT_EQ(ql::IniString("Run Files", "Prog1", ""), second);
  EXPECT_EQ(ql::IniString("Run Files", "Prog2", ""), first);
}

TEST_F(RunCommandsTest, RunOpensAnArchiveInAWindowAndRefusesDirectories) {
  const std::string archive = data_ / "grown.zip";
  ASSERT_TRUE(WriteTextFile(archive, GrownZip({{"NOISE.BIN", Noise(1999)}})));
  CreateDirectoryA((data_ / "sub").c_str(), nullptr);
  Start();
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread());
  int before = ql::BrowserWindowCount();
  Select("grown.zip");
  Command(IDM_RUN);
  ASSERT_EQ(ql::BrowserWindowCount(), before + 1);
  ql::WindowRecord* opened = ql::RecordOf(ql::g_activeBrowser);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(lstrcmpiA(LongPath(opened->archivePath).c_str(), archive.c_str()), 0) << opened->archivePath;
  r_ = opened;
  Select("[sub]");
  Command(IDM_RUN);
  std::vector<SeenDialog> seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].title, "Run");
  EXPECT_EQ(seen[1].text, "No Drives And Directories Are Allowed For This Operation.");
}

TEST_F(RunCommandsTest, PropertiesSetsAttributesOfALongNameWithoutRenaming) {
  const std::string name = "A long file name.txt";
  ASSERT_TRUE(WriteTextFile(data_ / name, "keep"));
  Start();
  std::string shownName, title;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Properties For - " + name, [&](HWND d, const SeenDialog& s) {
                                  title = s.title;
                                  shownName = DlgText(d, IDC_PROPS_NAME);
                                  CheckDlgButton(d, IDC_PROPS_READ_ONLY, BST_CHECKED);
                                  CheckDlgButton(d, IDC_PROPS_HIDDEN, BST_CHECKED);
                                  return IDOK;
                                }}}});
  Select(name);
  Command(IDM_PROPERTIES);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(shownName, name);
  DWORD attributes = GetFileAttributesA((data_ / name).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "the file keeps its name";
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ReadTextFile(data_ / name), "keep");
  EXPECT_FALSE(FileExists(data_ / name.substr(0, 12)));
  SetFileAttributesA((data_ / name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file past 4 GB (sparse, so it takes no room) shows its whole size.
TEST_F(RunCommandsTest, PropertiesShowsASizePastFourGigabytes) {
  HANDLE f = CreateFileA((data_ / "big.iso").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = 5000000000LL;
  bool sized = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && SetEndOfFile(f);
  CloseHandle(f);
  ASSERT_TRUE(sized);
  Start();
  std::string size;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Properties For - big.iso", [&](HWND d, const SeenDialog&) {
                                  size = DlgText(d, IDC_PROPS_SIZE);
                                  return IDCANCEL;
                                }}}});
  Select("big.iso");
  Command(IDM_PROPERTIES);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(size, "5000000000");
  DeleteFileA((data_ / "big.iso").c_str());
}

TEST_F(RunCommandsTest, PropertiesShowsTheFileAndRefusesADrive) {
  ASSERT_TRUE(WriteTextFile(data_ / "b.txt", "12345"));
  Start();
  std::string size, changed, path;
  bool readOnly = true;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"Properties For - b.txt", [&](HWND d, const SeenDialog&) {
                                  size = DlgText(d, IDC_PROPS_SIZE);
                                  changed = DlgText(d, IDC_PROPS_CHANGED);
                                  path = DlgText(d, IDC_PROPS_PATH);
                                  readOnly = IsDlgButtonChecked(d, IDC_PROPS_READ_ONLY) == BST_CHECKED;
                                  return IDCANCEL;
                                }}}});
  Select("b.txt");
  Command(IDM_PROPERTIES);
  std::vector<std::string> lines = ql::ListLines(r_->hwndDirList);
  int drive = -1;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("[-", 0) == 0) drive = static_cast<int>(i);
  ASSERT_GE(drive, 0);
  SendMessageA(r_->hwndDirList, LB_SETSEL, FALSE, -1);
  SendMessageA(r_->hwndDirList, LB_SETSEL, TRUE, drive);
  Command(IDM_PROPERTIES);
  ASSERT_TRUE(watcher.WaitForAnswers(2));
  std::vector<SeenDialog> seen = watcher.Seen();
  EXPECT_EQ(size, "5");
  EXPECT_EQ(lstrcmpiA(path.c_str(), data_.path().c_str()), 0) << path;
  EXPECT_FALSE(readOnly);
  // "month/day/year  h:mm:ssAM"
  ASSERT_GE(changed.size(), 18u) << changed;
  EXPECT_TRUE(changed.compare(changed.size() - 2, 2, "AM") == 0 || changed.compare(changed.size() - 2, 2, "PM") == 0)
      << changed;
  EXPECT_NE(changed.find("  "), std::string::npos) << changed;
  EXPECT_EQ(seen[1].text, "No Drive Letters Allowed For This Operation.");
}

TEST_F(RunCommandsTest, StatisticsShowThousandsAndAClampedPercent) {
  const std::string archive = data_ / "grown.zip";
  ASSERT_TRUE(WriteTextFile(archive, GrownZip({{"NOISE.BIN", Noise(1999)}, {"SMALL.TXT", std::string(500, 's')}})));
  Start();
  {
    // No archive in the window yet.
    DialogWatcher refusals(GetCurrentProcessId(), DialogWatcher::ThisThread());
    Command(IDM_FILE_STATISTICS);
    ASSERT_TRUE(refusals.WaitForAnswers(1));
    EXPECT_EQ(refusals.Seen()[0].text, "Please select at least one file\nIn the archive window.");
  }
  Select("grown.zip");
  ql::OnListDoubleClick(r_->hwndChild, r_->hwndDirList);
  ASSERT_TRUE(r_->archivePath[0]);
  std::vector<std::string> lines = ql::ListLines(r_->hwndArchiveList);
  ASSERT_EQ(lines.size(), 2u);

  struct Gauge {
    LONG range, position;
    std::string text;
  };
  std::vector<Gauge> gauges;
  std::string archiveName, count, fileName;
  DialogWatcher watcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                        Rules{{{"File Statistics", [&](HWND d, const SeenDialog&) {
                                  archiveName = DlgText(d, IDC_STATS_ARCHIVE_NAME);
                                  count = DlgText(d, IDC_STATS_FILE_COUNT);
                                  fileName = DlgText(d, IDC_STATS_FILE_NAME);
                                  gauges.clear();
                                  for (int id = IDC_STATS_ARCHIVE_ORIGINAL; id <= IDC_STATS_FILE_PERCENT; ++id) {
                                    if (id == IDC_STATS_FILE_NAME) continue;
                                    HWND g = GetDlgItem(d, id);
                                    gauges.push_back({GetWindowLongA(g, ql::kGaugeRangeWord), GetWindowLongA(g, ql::kGaugePositionWord),
                                                     DlgText(d, id)});
                                  }
                                  return IDOK;
                                }}}});
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("NOISE.BIN", 0) == 0) SendMessageA(r_->hwndArchiveList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
  Command(IDM_FILE_STATISTICS);
  ASSERT_TRUE(watcher.WaitForAnswers(1));
  EXPECT_EQ(archiveName, "grown.zip");
  EXPECT_EQ(count, "2");
  EXPECT_EQ(fileName, "NOISE.BIN");
  ASSERT_EQ(gauges.size(), 6u);
  // Archive: 2499 bytes held in 2509: 2 K and 2 K, 0 %.
  EXPECT_EQ(gauges[0].range, 2);
  EXPECT_EQ(gauges[0].position, 2);
  EXPECT_EQ(gauges[0].text, "2 K");
  EXPECT_EQ(gauges[1].text, "2 K");
  EXPECT_EQ(gauges[2].range, 100);
  EXPECT_EQ(gauges[2].position, 0);
  // NOISE.BIN: 1999 bytes in 2004: 1 K and 2 K; the percent would be -100 and is held at 0.
  EXPECT_EQ(gauges[3].text, "1 K");
  EXPECT_EQ(gauges[3].position, 1);
  EXPECT_EQ(gauges[4].text, "2 K");
  EXPECT_EQ(gauges[4].position, 2);
  EXPECT_EQ(gauges[5].range, 100);
  EXPECT_EQ(gauges[5].position, 0);
}

}  // namespace
