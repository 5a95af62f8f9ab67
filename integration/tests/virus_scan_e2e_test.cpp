// The virus scans through the frame, in this process, with the real runner, pkunzip, unzip engine
// and ARJ, and the recording stand-in detector (tests/virus_standin.c) installed under a path with
// a blank: the drive scan from its dialog, the directory scan of the active window and the archive
// scan, for a DOS-kind detector (through the runner's virus mode, whose pause is answered through
// the runner's console) and a Windows-kind one (started directly).
//
// The fixtures were made with Debian's zip and arj: SCAN.ZIP and SCAN.ARJ hold A.TXT, "B C.TXT" and
// SUB/DEEP.TXT; SECRET.ZIP holds A.TXT and "B C.TXT" encrypted with the password "secret".
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "engine/tests/dialog_shot.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::DialogWatcher;
using qltest::PumpUntil;
using qltest::SeenDialog;

std::string FromUnix(std::string p) {
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

std::string LoadText(UINT id) {
  char buf[512] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
  return buf;
}

// What the stand-in detector wrote: one "key=value" per line.
using Record = std::multimap<std::string, std::string>;

std::string One(const Record& r, const std::string& key) {
  auto it = r.find(key);
  return it == r.end() ? std::string("(none)") : it->second;
}

std::set<std::string> Files(const Record& r) {
  std::set<std::string> files;
  auto range = r.equal_range("file");
  for (auto it = range.first; it != range.second; ++it) files.insert(it->second);
  return files;
}

enum class Detector { Dos, Windows };

class VirusScanTest : public ::testing::Test {
 protected:
  std::string prog, src, work, scanDir, detector, record, cwd;
  HWND frame = nullptr;
  std::mutex mutex;
  std::vector<SeenDialog> seen;
  std::vector<HANDLE> runners;  // runners whose pause is still to be answered

  void Install(Detector kind) {
    cwd = qltest::CurrentDirectory();
    static int serial = 0;
    // Under the build tree (drive Z:); the detector's directory holds a blank, and a decoy
    // "Virus.exe" waits where an unquoted path would be cut.
    prog = FromUnix(SCAN_DIR) + "\\virus" + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(SCAN_DIR).c_str(), nullptr);
    ql::RemoveDirectoryTree(prog.c_str());
    ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr)) << prog;
    std::string programs = FromUnix("Z:" QL_PROGRAM_DIR);
    for (const char* file : {"qlkbdtrp.exe", "pkunzip.exe", "ARJ.EXE", "QL53NTI1.DLL"})
      ASSERT_TRUE(CopyFileA((programs + "\\" + file).c_str(), (prog + "\\" + file).c_str(), FALSE)) << file;
    const std::string standins = FromUnix(STANDIN_DIR);
    ASSERT_TRUE(CreateDirectoryA((prog + "\\Virus Tools").c_str(), nullptr));
    detector = prog + "\\Virus Tools\\VSCAN.EXE";
    const char* standin = kind == Detector::Dos ? "\\virus_standin_dos.exe" : "\\virus_standin_win.exe";
    ASSERT_TRUE(CopyFileA((standins + standin).c_str(), detector.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((standins + "\\virus_standin_dos.exe").c_str(), (prog + "\\Virus.exe").c_str(), FALSE));

    src = prog + "\\Source Files";
    work = prog + "\\QL5TEMP";
    scanDir = work + "\\QLSCAN";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    ASSERT_TRUE(qltest::WriteTextFile(src + "\\REPORT.TXT", "not an archive\r\n"));
    const std::string fixtures = FromUnix("Z:" QL_SOURCE_DIR "/integration/tests/fixtures");
    for (const char* name : {"SCAN.ZIP", "SCAN.ARJ", "SECRET.ZIP"})
      ASSERT_TRUE(CopyFileA((fixtures + "\\" + name).c_str(), (src + "\\" + name).c_str(), FALSE)) << name;

    std::string ini = prog + "\\ql53intl.ini";
    WritePrivateProfileStringA("Defaults", "Working Directory", src.c_str(), ini.c_str());
    // As a user types it: no quotes, blanks in the path, an argument of the detector's own.
    WritePrivateProfileStringA("Utilities", "Virus Detector", (detector + " /report").c_str(), ini.c_str());
    WritePrivateProfileStringA("Utilities", "WinEnv", kind == Detector::Windows ? "True" : "False", ini.c_str());
    ql::SetProgramModulePath((prog + "\\quillon.exe").c_str());
    record = prog + "\\record.txt";
    SetEnvironmentVariableA("QL_VIRUS_RECORD", record.c_str());
    SetEnvironmentVariableA("QL_VIRUS_CMNDARGS", (work + "\\cmndargs").c_str());
  }

  void SetSwitch(const char* key, const char* value) {
    WritePrivateProfileStringA("switches", key, value, (prog + "\\ql53intl.ini").c_str());
  }

  void TearDown() override {
    for (HANDLE r : runners) TerminateProcess(r, 1);
    // The frame does not close while a runner's console is open; that window goes a little after
    // its process.
    qltest::WaitUntil([] { return !FindWindowA(nullptr, "Quillon Command Shell"); }, 20000);
    if (frame && IsWindow(frame)) {
      PostMessageA(frame, WM_CLOSE, 0, 0);
      ql::RunMessageLoop();
      ql::ExitInstance(GetModuleHandleA(nullptr));
    }
    for (HANDLE r : runners) CloseHandle(r);
    SetEnvironmentVariableA("QL_VIRUS_RECORD", nullptr);
    SetEnvironmentVariableA("QL_VIRUS_CMNDARGS", nullptr);
    SetCurrentDirectoryA(cwd.c_str());
    ql::SetProgramModulePath(nullptr);
    if (!HasFailure()) ql::RemoveDirectoryTree(prog.c_str());
  }

  // The user answers the drive dialog with `typed` (nullptr: Cancel) and accepts every message.
  void Start(const std::vector<const char*>& typed = {}) { StartWith(typed, nullptr); }

  void StartWith(const std::vector<const char*>& typed, const char* password) {
    watcher_.reset(new DialogWatcher(GetCurrentProcessId(), DialogWatcher::ThisThread(),
                                     [this, typed, password](HWND d, const SeenDialog& s) {
                                       return Answer(d, s, typed, password);
                                     }));
    frame = ql::InitInstance(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    ASSERT_NE(nullptr, frame);
    PumpUntil([] { return false; }, 0);
    ASSERT_TRUE(ql::RecordOf(ql::g_activeBrowser));
  }

  // The drive dialog takes the typed texts in turn: each but the last is refused with a message,
  // after which the next is typed; an empty list presses Cancel.
  int Answer(HWND d, const SeenDialog& s, const std::vector<const char*>& typed, const char* password) {
    if (s.title == "Virus Detection Check") {
      if (!IsWindowEnabled(d)) return 0;  // its message is up
      size_t turn = typedTurn_;
      if (turn == 0) ql::Shoot(d, "SCAN_DRV");
      if (typed.empty()) {
        Remember(s);
        return IDCANCEL;
      }
      if (turn > 0 && refusals_ < turn) return 0;  // the refusal is still to come
      SetDlgItemTextA(d, IDC_SCAN_DRIVE_LETTER, typed[turn]);
      ++typedTurn_;
      if (turn + 1 < typed.size()) {
        // Pressed without being taken for answered: the dialog stays for the next text.
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
        return 0;
      }
      Remember(s);
      return IDOK;
    }
    if (s.title == "Password Protection" && password) {
      SetDlgItemTextA(d, IDC_PASSWORD_EDIT, password);
      Remember(s);
      return IDOK;
    }
    if (s.text == LoadText(IDS_DRIVE_LETTER_ONLY)) {
      ql::Shoot(d, "SCAN_DRV refusal");
      ++refusals_;
    }
    Remember(s);
    return qltest::PressDefault(d, s);
  }

  void Remember(const SeenDialog& s) {
    std::lock_guard<std::mutex> lock(mutex);
    seen.push_back(s);
  }
  std::vector<SeenDialog> Seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }
  std::vector<std::string> SeenTexts() {
    std::vector<std::string> texts;
    for (const SeenDialog& s : Seen()) texts.push_back(s.text);
    return texts;
  }

  void Command(UINT id) {
    SendMessageA(frame, WM_COMMAND, id, 0);
    PumpUntil([] { return false; }, 0);
  }

  // The detector's record, once it is there (a Windows detector is not waited for).
  Record ReadRecord() {
    Record r;
    if (!qltest::WaitUntil([&] { return qltest::FileExists(record); }, 30000)) return r;
    std::string text = qltest::ReadTextFile(record);
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(at, end - at);
      size_t eq = line.find('=');
      if (eq != std::string::npos) r.emplace(line.substr(0, eq), line.substr(eq + 1));
      at = end + 1;
    }
    DeleteFileA(record.c_str());
    return r;
  }

  // The runner of a DOS detector waits for a key after the detector's report: the user presses
  // one in its console. Returns the runner's exit code, or -1 when it did not wait or end.
  long AnswerPause(const Record& r) {
    DWORD pid = static_cast<DWORD>(strtoul(One(r, "parent").c_str(), nullptr, 10));
    HANDLE runner = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    if (!runner) return -1;
    runners.push_back(runner);
    if (WaitForSingleObject(runner, 0) != WAIT_TIMEOUT) return -1;  // it did not wait for the key
    FreeConsole();
    if (!qltest::WaitUntil([&] { return AttachConsole(pid) != FALSE; }, 10000)) return -1;
    HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD key[2] = {};
    for (int i = 0; i < 2; ++i) {
      key[i].EventType = KEY_EVENT;
      key[i].Event.KeyEvent.bKeyDown = i == 0;
      key[i].Event.KeyEvent.wRepeatCount = 1;
      key[i].Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
      key[i].Event.KeyEvent.uChar.AsciiChar = ' ';
    }
    DWORD written = 0;
    bool sent = in != INVALID_HANDLE_VALUE && WriteConsoleInputA(in, key, 2, &written) && written == 2;
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    FreeConsole();
    if (!sent || WaitForSingleObject(runner, 30000) != WAIT_OBJECT_0) return -1;
    DWORD code = 1;
    GetExitCodeProcess(runner, &code);
    return static_cast<long>(code);
  }

  // Selects exactly the directory-list line named `name` and gives that list the focus.
  bool SelectInDirectoryList(const std::string& name) {
    ql::WindowRecord* r = ql::RecordOf(ql::g_activeBrowser);
    SendMessageA(r->hwndDirList, LB_SETSEL, FALSE, -1);
    std::vector<std::string> lines = ql::ListLines(r->hwndDirList);
    bool found = false;
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].substr(0, lines[i].find('\t')) == name) {
        SendMessageA(r->hwndDirList, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        found = true;
      }
    r->hwndFocusList = r->hwndDirList;
    return found;
  }

  // The detector's expectations for a scan of the scan directory.
  void ExpectScanOfMembers(const Record& r, const std::set<std::string>& members, bool dos) {
    EXPECT_EQ(detector, One(r, "program")) << "the detector, not the decoy at the first blank";
    EXPECT_EQ(scanDir, One(r, "cwd"));
    EXPECT_EQ(members, Files(r)) << "exactly the archive's files, flat";
    if (dos) {
      EXPECT_EQ("/report " + scanDir + "\\*.*", One(r, "args"));
      EXPECT_EQ("\"" + detector + "\" /report " + scanDir + "\\*.*", One(r, "cmndargs"));
    } else {
      EXPECT_EQ("/report", One(r, "args"));
    }
  }

 private:
  std::unique_ptr<DialogWatcher> watcher_;
  std::atomic<size_t> typedTurn_{0};
  std::atomic<size_t> refusals_{0};
};

const std::set<std::string> kMembers = {"A.TXT", "B C.TXT", "DEEP.TXT"};

// ---- A DOS detector, through the runner's virus mode ----

TEST_F(VirusScanTest, DosDriveScanRefusesANonLetterThenScansTheDriveTyped) {
  Install(Detector::Dos);
  Start({"1", "c"});
  Command(IDM_SCAN_DRIVE);
  EXPECT_FALSE(ql::g_cancelled);
  std::vector<std::string> texts = SeenTexts();
  EXPECT_EQ(1, std::count(texts.begin(), texts.end(), LoadText(IDS_DRIVE_LETTER_ONLY)));
  Record r = ReadRecord();
  ASSERT_FALSE(r.empty()) << "the detector ran";
  EXPECT_EQ(detector, One(r, "program"));
  EXPECT_EQ("/report C:", One(r, "args"));
  EXPECT_EQ("\"" + detector + "\" /report C:", One(r, "cmndargs"));
  EXPECT_EQ("C:\\", One(r, "cwd"));
  // The runner in virus mode, on the work directory.
  const std::string runnerLine = One(r, "parentcmd");
  EXPECT_NE(std::string::npos, runnerLine.find("qlkbdtrp.exe")) << runnerLine;
  EXPECT_NE(std::string::npos, runnerLine.find(work)) << runnerLine;
  EXPECT_EQ(" -V", runnerLine.substr(runnerLine.size() - 3)) << runnerLine;
  EXPECT_FALSE(qltest::FileExists(work + "\\cmndargs"));
  EXPECT_EQ(0, AnswerPause(r));
  EXPECT_EQ(0, lstrcmpiA(src.c_str(), qltest::CurrentDirectory().c_str())) << "the directory is restored";
}

TEST_F(VirusScanTest, DosDriveScanOfAnEmptyFieldTakesTheWorkDirectorysDrive) {
  Install(Detector::Dos);
  Start({""});
  Command(IDM_SCAN_DRIVE);
  Record r = ReadRecord();
  ASSERT_FALSE(r.empty());
  EXPECT_EQ("/report Z:", One(r, "args"));
  EXPECT_EQ("\"" + detector + "\" /report Z:", One(r, "cmndargs"));
  EXPECT_EQ("Z:\\", One(r, "cwd"));
  EXPECT_EQ(0, AnswerPause(r));
}

TEST_F(VirusScanTest, DriveDialogCancelScansNothing) {
  Install(Detector::Dos);
  Start({});
  Command(IDM_SCAN_DRIVE);
  EXPECT_TRUE(ql::g_cancelled);
  ASSERT_EQ(1u, Seen().size());
  EXPECT_EQ("Virus Detection Check", Seen()[0].title);
  EXPECT_FALSE(qltest::FileExists(record));
  EXPECT_FALSE(qltest::FileExists(work + "\\cmndargs"));
}

TEST_F(VirusScanTest, DosDirectoryScanPassesTheWindowsDirectory) {
  Install(Detector::Dos);
  Start();
  Command(IDM_SCAN_DIRECTORY);
  Record r = ReadRecord();

  ASSERT_FALSE(r.empty());
  EXPECT_EQ(detector, One(r, "program"));
  EXPECT_EQ("/report \"" + src + "\\*.*\"", One(r, "args"));
  EXPECT_EQ("\"" + detector + "\" /report \"" + src + "\\*.*\"", One(r, "cmndargs"));
  EXPECT_EQ(src, One(r, "cwd"));
  EXPECT_EQ((std::set<std::string>{"REPORT.TXT", "SCAN.ARJ", "SCAN.ZIP", "SECRET.ZIP"}), Files(r));
  EXPECT_EQ(0, AnswerPause(r));
}

// The archive scans with each extractor: from the directory list's selection and from a window
// showing the archive. Files left in the work directory and in the scan directory by earlier work
// are neither scanned nor left in the scan directory.
enum class Extractor { ZipEngine, Pkunzip, Arj };

class ArchiveScanTest : public VirusScanTest, public ::testing::WithParamInterface<Extractor> {};

TEST_P(ArchiveScanTest, DetectorSeesExactlyTheMembers) {
  Install(Detector::Dos);
  SetSwitch("use_pkzip", GetParam() == Extractor::Pkunzip ? "On" : "Off");
  Start();
  const std::string name = GetParam() == Extractor::Arj ? "SCAN.ARJ" : "SCAN.ZIP";
  for (bool fromWindow : {false, true}) {
    SCOPED_TRACE(fromWindow ? "the window's archive" : "the directory list's selection");
    ASSERT_TRUE(qltest::WriteTextFile(work + "\\LEFTOVER.TXT", "viewed earlier\r\n"));
    CreateDirectoryA(scanDir.c_str(), nullptr);
    ASSERT_TRUE(qltest::WriteTextFile(scanDir + "\\OLD.TXT", "from an earlier scan\r\n"));
    if (fromWindow) {
      ASSERT_TRUE(ql::OpenArchiveByName((src + "\\" + name).c_str()));
      PumpUntil([] { return false; }, 0);
      ql::WindowRecord* w = ql::RecordOf(ql::g_activeBrowser);
      ASSERT_TRUE(w);
      ASSERT_STREQ((src + "\\" + name).c_str(), w->archivePath);
      w->hwndFocusList = w->hwndArchiveList;
    } else {
      ASSERT_TRUE(SelectInDirectoryList(name));
    }
    Command(IDM_SCAN_ARCHIVE);
    Record r = ReadRecord();
    ASSERT_FALSE(r.empty()) << "the detector ran";
    ExpectScanOfMembers(r, kMembers, true);
    EXPECT_EQ(0, AnswerPause(r));
    EXPECT_FALSE(qltest::FileExists(scanDir)) << "the extracted files go with the scan";
    EXPECT_TRUE(qltest::FileExists(work + "\\LEFTOVER.TXT")) << "nothing else in the work directory is touched";
    EXPECT_EQ(0, lstrcmpiA(src.c_str(), qltest::CurrentDirectory().c_str()));
  }
  EXPECT_TRUE(Seen().empty()) << (Seen().empty() ? "" : Seen()[0].text);
}

INSTANTIATE_TEST_SUITE_P(Extractors, ArchiveScanTest,
                         ::testing::Values(Extractor::ZipEngine, Extractor::Pkunzip, Extractor::Arj),
                         [](const ::testing::TestParamInfo<Extractor>& i) {
                           return i.param == Extractor::ZipEngine ? std::string("ZipEngine")
                                  : i.param == Extractor::Pkunzip ? std::string("Pkunzip")
                                                                  : std::string("Arj");
                         });

// With "extract with password" on, the scan asks for the password and extracts with pkunzip even
// though the engine is the default.
TEST_F(VirusScanTest, ArchiveScanOfAnEncryptedZipAsksForThePassword) {
  Install(Detector::Dos);
  SetSwitch("use_pkzip", "Off");
  SetSwitch("extract_with_password", "On");
  StartWith({}, "secret");
  ASSERT_TRUE(SelectInDirectoryList("SECRET.ZIP"));
  Command(IDM_SCAN_ARCHIVE);
  Record r = ReadRecord();
  ASSERT_FALSE(r.empty());
  std::vector<SeenDialog> asked = Seen();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Password Protection", asked[0].title);
  ExpectScanOfMembers(r, {"A.TXT", "B C.TXT"}, true);
  EXPECT_EQ(0, AnswerPause(r));
}

TEST_F(VirusScanTest, ArchiveScanOfAFileThatIsNoArchiveExtractsNothing) {
  Install(Detector::Dos);
  Start();
  ASSERT_TRUE(SelectInDirectoryList("REPORT.TXT"));
  Command(IDM_SCAN_ARCHIVE);
  std::vector<std::string> texts = SeenTexts();
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(LoadText(IDS_INVALID_ARCHIVE_NAME), texts[0]);
  EXPECT_FALSE(qltest::FileExists(scanDir));
  EXPECT_FALSE(qltest::FileExists(record));
}

// A file of an earlier scan that cannot be deleted: the scan stops rather than blame it on this
// archive.
TEST_F(VirusScanTest, ArchiveScanStopsWhenTheScanDirectoryCannotBeEmptied) {
  Install(Detector::Dos);
  Start();
  CreateDirectoryA(scanDir.c_str(), nullptr);
  HANDLE locked = CreateFileA((scanDir + "\\BUSY.TXT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, locked);
  ASSERT_TRUE(SelectInDirectoryList("SCAN.ZIP"));
  Command(IDM_SCAN_ARCHIVE);
  CloseHandle(locked);
  std::vector<std::string> texts = SeenTexts();
  ASSERT_EQ(1u, texts.size());
  EXPECT_NE(std::string::npos, texts[0].find(scanDir)) << texts[0];
  EXPECT_FALSE(qltest::FileExists(record)) << "no detector ran";
  EXPECT_FALSE(qltest::FileExists(scanDir + "\\A.TXT")) << "nothing was extracted";
}

// ---- A Windows detector, started directly ----

TEST_F(VirusScanTest, WindowsDetectorIsStartedDirectlyForEveryScan) {
  Install(Detector::Windows);
  Start({""});
  // The drive scan: the field left empty takes the work directory's drive.
  Command(IDM_SCAN_DRIVE);
  Record r = ReadRecord();
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(detector, One(r, "program"));
  EXPECT_EQ(std::to_string(GetCurrentProcessId()), One(r, "parent")) << "started by Quillon itself";
  EXPECT_EQ("/report Z:", One(r, "args"));
  EXPECT_EQ("Z:\\", One(r, "cwd"));
  EXPECT_EQ("(none)", One(r, "cmndargs")) << "no runner command";

  // The directory scan: the detector alone, in the window's directory.
  Command(IDM_SCAN_DIRECTORY);
  r = ReadRecord();
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(std::to_string(GetCurrentProcessId()), One(r, "parent"));
  EXPECT_EQ("/report", One(r, "args"));
  EXPECT_EQ(src, One(r, "cwd"));
  EXPECT_EQ((std::set<std::string>{"REPORT.TXT", "SCAN.ARJ", "SCAN.ZIP", "SECRET.ZIP"}), Files(r));

  // The archive scan: the detector alone in the scan directory, which goes when it has ended.
  for (const char* name : {"SCAN.ZIP", "SCAN.ARJ"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(SelectInDirectoryList(name));
    Command(IDM_SCAN_ARCHIVE);
    ASSERT_TRUE(qltest::FileExists(record)) << "Quillon waited for the detector";
    r = ReadRecord();
    EXPECT_EQ(std::to_string(GetCurrentProcessId()), One(r, "parent"));
    ExpectScanOfMembers(r, kMembers, false);
    EXPECT_FALSE(qltest::FileExists(scanDir));
  }
  EXPECT_EQ(0, lstrcmpiA(src.c_str(), qltest::CurrentDirectory().c_str()));
}

}  // namespace
