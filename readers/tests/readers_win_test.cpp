// The readers' Win32 half under Wine: list boxes, window words, listing text, output files and
// the messages the user sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "readers/readers_win.h"
#include "tests/support/win_test_support.h"

namespace {

std::string Fixture(const char* name) {
  std::string p = std::string("Z:") + QL_SOURCE_DIR + "/readers/tests/fixtures/" + name;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + name;
}

const char* const kChildClass = "QlReadersTestWindow";

// A stand-in browser window: 40 bytes of words, a column header (id 1) and an archive list.
class BrowserStandIn : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kChildClass;
    wc.cbWndExtra = ql::kBrowserExtraBytes;
    RegisterClassA(&wc);
    WNDCLASSA lb = {};
    GetClassInfoA(nullptr, "LISTBOX", &lb);
    lb.hInstance = GetModuleHandleA(nullptr);
    lb.lpszClassName = "qllistbox";
    RegisterClassA(&lb);
  }
  void SetUp() override {
    window = CreateWindowA(kChildClass, "browser", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    header = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 400, 20, window, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    fullList = CreateWindowA("qllistbox", "", WS_CHILD | LBS_HASSTRINGS, 0, 20, 400, 200, window,
                             reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    plainList = CreateWindowA("listbox", "", WS_CHILD | LBS_HASSTRINGS, 0, 20, 400, 200, window,
                              reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    ASSERT_NE(fullList, nullptr);
    ASSERT_NE(plainList, nullptr);
    listing = GlobalAlloc(GHND, 794);
    SetWindowLongPtrA(window, ql::kWordListingText, reinterpret_cast<LONG_PTR>(listing));
    for (int word : {8, 12, 16, 20, 28}) SetWindowLongA(window, word, 0x5A5A);
  }
  void TearDown() override {
    DestroyWindow(window);
    GlobalFree(listing);
  }
  static std::vector<std::string> Lines(HWND list) {
    std::vector<std::string> r;
    int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      std::string s(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
      r.push_back(s);
    }
    return r;
  }
  LONG Word(int at) const { return GetWindowLongA(window, at); }
  std::string ListingTitle() const {
    const char* p = static_cast<const char*>(GlobalLock(listing));
    std::string s = p + 268;
    GlobalUnlock(listing);
    return s;
  }
  std::string ListingSeparator() const {
    const char* p = static_cast<const char*>(GlobalLock(listing));
    std::string s = p + 268 + 262;
    GlobalUnlock(listing);
    return s;
  }

  HWND window = nullptr, header = nullptr, fullList = nullptr, plainList = nullptr;
  HGLOBAL listing = nullptr;
};

TEST_F(BrowserStandIn, ZipIntoBrowserListSetsLinesWordsAndTitles) {
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  ASSERT_EQ(ql::ReadZipDirectory(Fixture("comments.zip").c_str(), fullList, "*.*", nullptr), 1);
  std::vector<std::string> lines = Lines(fullList);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].rfind("> Title Comment: ", 0), 0u);
  EXPECT_EQ(lines[1], "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p");
  EXPECT_EQ(lines[2].rfind("> File Comment: ", 0), 0u);
  EXPECT_EQ(Word(8), 3628);
  EXPECT_EQ(Word(12), 4229);
  EXPECT_EQ(Word(16), 4);
  EXPECT_EQ(Word(20), 3057);
  EXPECT_EQ(Word(28), 0);
  EXPECT_EQ(Word(ql::kWordTotalLengthThousands), 4);
  EXPECT_EQ(Word(ql::kWordTotalSizeThousands), 3);
  char text[128] = "";
  GetWindowTextA(header, text, sizeof text);
  EXPECT_STREQ(text, "\n Name\t Length\t Size\t Ratio\t Date\t Time");
  EXPECT_EQ(ListingTitle(), " Name\t Length\t Size\t Ratio\t Date\t Time\r");
  EXPECT_EQ(ListingSeparator(), "");
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(BrowserStandIn, ZipEncryptedWordFollowsTheLastEntry) {
  ASSERT_EQ(ql::ReadZipDirectory(Fixture("enc_last.zip").c_str(), fullList, "*.*", nullptr), 1);
  EXPECT_EQ(Word(28), 1);
  SendMessageA(fullList, LB_RESETCONTENT, 0, 0);
  ASSERT_EQ(ql::ReadZipDirectory(Fixture("enc_first.zip").c_str(), fullList, "*.*", nullptr), 1);
  EXPECT_EQ(Word(28), 0);
}

TEST_F(BrowserStandIn, ZipIntoPlainListGivesNamesAndLeavesTheWords) {
  ASSERT_EQ(ql::ReadZipDirectory(Fixture("comments.zip").c_str(), plainList, "*.*", nullptr), 1);
  EXPECT_EQ(Lines(plainList), (std::vector<std::string>{"DOCS\\README.TXT", "EMPTY.TXT", "src\\main.c", "NOISE.BIN"}));
  for (int word : {8, 12, 16, 20, 28}) EXPECT_EQ(Word(word), 0x5A5A) << word;
}

TEST_F(BrowserStandIn, ZipIntoOutputFileWritesLinesWithCrLf) {
  std::string path = TempPath("ql-readers-out.txt");
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  int r = ql::ReadZipDirectory(Fixture("comments.zip").c_str(), nullptr, "*.*", out);
  CloseHandle(out);
  ASSERT_EQ(r, 1);
  std::ifstream f(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), {});
  f.close();
  DeleteFileA(path.c_str());
  EXPECT_EQ(text,
            "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p\r\n"
            "> File Comment: Readme comment\r\n"
            "EMPTY.TXT\tEMPTY.TXT\t0\t0\t00%\t01-01-01\t12:30a\r\n"
            "src\\main.c\tsrc\\main.c\t29\t29\t00%\t01-01-01\t12:00p\r\n"
            "> File Comment: Main note\r\n"
            "NOISE.BIN\tNOISE.BIN\t3000\t3000\t00%\t04-15-96\t12:07a\r\n"
            "> Title Comment: Archive title line one\r\nline two\r\n");
}

TEST_F(BrowserStandIn, ZipFailuresShowTheirMessageOwnedByTheWindow) {
  struct {
    const char* fixture;
    int result;
    std::string text;
  } cases[] = {
      {"empty.zip", -1,
       "Caution! " + Fixture("empty.zip") + " may be damaged,or a multiple volume.\nYou may need to repair it."},
      {"spanned.zip", -1, "Can't read multiple volume ZIP files!\nA macro would have to be made to extract it."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    SetWindowLongA(window, 16, 77);
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(ql::ReadZipDirectory(Fixture(c.fixture).c_str(), fullList, "*.*", nullptr), c.result);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, c.text);
    EXPECT_EQ(boxes.Seen()[0].title, "Quillon");
    EXPECT_EQ(boxes.Seen()[0].owner, window);
    EXPECT_EQ(Word(16), 0);
  }
}

TEST_F(BrowserStandIn, MissingZipIsNothingToDo) {
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  EXPECT_EQ(ql::ReadZipDirectory(Fixture("no-such.zip").c_str(), fullList, "*.*", nullptr), 0);
  EXPECT_EQ(ql::ReadZipDirectory("", fullList, "*.*", nullptr), 0);
  EXPECT_EQ(ql::ReadZipDirectory(Fixture("plain.zip").c_str(), nullptr, "*.*", nullptr), 0);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_EQ(SendMessageA(fullList, LB_GETCOUNT, 0, 0), 0);
}

std::vector<char> FixtureBytes(const char* name) {
  std::ifstream f(Fixture(name), std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(f), {});
}

// Writes `stub` filler bytes followed by `zip` to `path`.
bool WriteWithStub(const std::string& path, DWORD stub, const std::vector<char>& zip) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  std::string pad(stub, 'M');
  f.write(pad.data(), static_cast<std::streamsize>(pad.size()));
  f.write(zip.data(), static_cast<std::streamsize>(zip.size()));
  return static_cast<bool>(f);
}

// Totals past 4 GB: the 32-bit words stop at their largest, the words in thousands hold them.
TEST_F(BrowserStandIn, TotalsPastFourGigabytesAreKeptInThousands) {
  std::vector<char> zip = FixtureBytes("plain.zip");
  ASSERT_FALSE(zip.empty());
  // Every entry of the central directory claims 2,000,000,000 bytes.
  int patched = 0;
  for (size_t i = 0; i + 28 <= zip.size(); ++i) {
    if (zip[i] != 'P' || zip[i + 1] != 'K' || zip[i + 2] != 1 || zip[i + 3] != 2) continue;
    const uint32_t length = 2000000000u;
    for (int b = 0; b < 4; ++b) zip[i + 24 + b] = static_cast<char>((length >> (8 * b)) & 0xFF);
    ++patched;
  }
  ASSERT_EQ(patched, 4);
  const std::string path = TempPath("ql_big_totals.zip");
  ASSERT_TRUE(WriteWithStub(path, 0, zip));
  ASSERT_EQ(ql::ReadZipDirectory(path.c_str(), fullList, "*.*", nullptr), 1);
  EXPECT_EQ(static_cast<DWORD>(Word(ql::kWordTotalLength)), 0xFFFFFFFFu);
  EXPECT_EQ(Word(ql::kWordTotalLengthThousands), 8000000);
  EXPECT_EQ(Word(ql::kWordTotalSizeThousands), 3);
  DeleteFileA(path.c_str());
}

TEST_F(BrowserStandIn, FindZipStartPositionsTheFileAfterAStub) {
  std::vector<char> zip = FixtureBytes("plain.zip");
  ASSERT_FALSE(zip.empty());
  std::vector<char> noEnd(zip.begin(), zip.end() - 22);  // plain.zip has no archive comment
  std::string path = TempPath("ql-readers-sfx.exe");
  struct {
    DWORD stub;
    const std::vector<char>* bytes;
    bool found;
  } cases[] = {
      {0, &zip, true},          {20000, &zip, true},  {32760, &zip, true},
      {32761, &zip, true},      {84848, &zip, true},  // longer stubs are found through the end record
      {84848, &noEnd, false},  {20000, &noEnd, true},  // the scan needs no end record
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stub << (c.bytes == &noEnd ? " without end record" : ""));
    ASSERT_TRUE(WriteWithStub(path, c.stub, *c.bytes));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, 7, nullptr, FILE_BEGIN);
    bool spanning = true;
    bool found = ql::FindZipStart(h, &spanning);
    DWORD at = SetFilePointer(h, 0, nullptr, FILE_CURRENT);
    char sig[4] = {};
    DWORD got = 0;
    ReadFile(h, sig, 4, &got, nullptr);
    CloseHandle(h);
    EXPECT_EQ(found, c.found);
    EXPECT_FALSE(spanning);
    if (found) {
      EXPECT_EQ(at, c.stub);
      EXPECT_EQ(std::string(sig, got), std::string("PK\3\4", 4));
    }
  }
  DeleteFileA(path.c_str());
}

TEST_F(BrowserStandIn, ZipBehindALongStubIsListed) {
  std::vector<char> zip = FixtureBytes("comments.zip");
  ASSERT_FALSE(zip.empty());
  std::string path = TempPath("ql-readers-long-sfx.exe");
  const DWORD stub = 84848;
  ASSERT_TRUE(WriteWithStub(path, stub, zip));
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  ASSERT_EQ(ql::ReadZipDirectory(path.c_str(), fullList, "*.*", nullptr), 1);
  std::vector<std::string> lines = Lines(fullList);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p");
  // Comment references count from the start of the file, stub included.
  EXPECT_EQ(lines[2], "> File Comment: " + std::to_string(stub + 3361) + " 14");
  EXPECT_EQ(Word(8), static_cast<LONG>(stub + zip.size()));
  EXPECT_EQ(Word(16), 4);
  EXPECT_EQ(Word(20), 3057);
  EXPECT_TRUE(boxes.Seen().empty());
  DeleteFileA(path.c_str());
}

TEST_F(BrowserStandIn, ArjIntoBrowserListSetsLinesWordsAndTitles) {
  SendMessageA(fullList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("left over"));
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  ASSERT_EQ(ql::ReadArjDirectory(window, Fixture("dos.arj").c_str(), fullList, 1, "*.*", nullptr), 4);
  std::vector<std::string> lines = Lines(fullList);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("> Title: ", 0), 0u);
  EXPECT_EQ(lines[1], "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t36\t04/15/1996\t09:05p");
  EXPECT_EQ(Word(8), 3417);
  EXPECT_EQ(Word(12), 4229);
  EXPECT_EQ(Word(16), 4);
  EXPECT_EQ(Word(20), 3065);
  EXPECT_EQ(Word(28), 0x5A5A);  // not an ARJ word
  EXPECT_EQ(ListingTitle(), " Filename\tLength\t Size\t Date\t Time");
  EXPECT_EQ(ListingSeparator(), " --------------------\t-------\t-------\t--------\t------");
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(BrowserStandIn, ArjNamesOnlyIntoPlainList) {
  ASSERT_EQ(ql::ReadArjDirectory(nullptr, Fixture("dirs.arj").c_str(), plainList, 0, "*.*", nullptr), 2);
  EXPECT_EQ(Lines(plainList), (std::vector<std::string>{"src\\main.c", "DOCS\\README.TXT"}));
}

TEST_F(BrowserStandIn, ArjFailuresShowTheirMessages) {
  struct {
    std::string path;
    std::string text;
    bool question;
  } cases[] = {
      {Fixture("plain.zip"), "This file appears to be a damaged or invalid ARJ file.", false},
      {Fixture("no-such.arj"), "Quillon didn't create the requested archive:\n " + Fixture("no-such.arj"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    SetWindowLongA(window, 16, 77);
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(ql::ReadArjDirectory(window, c.path.c_str(), fullList, 1, "*.*", nullptr), -1);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, c.text);
    EXPECT_EQ(boxes.Seen()[0].title, "Quillon");
    EXPECT_EQ(boxes.Seen()[0].owner, window);
    EXPECT_EQ(boxes.Seen()[0].icon == LoadIcon(nullptr, IDI_QUESTION), c.question);
    EXPECT_EQ(Word(16), 0);
  }
}

// Answers the ARJ reader's questions about the stand-in window: whether it shows an archive, and
// which directories it remembers per drive. Forgotten again at the end of the test.
struct StandInQueries {
  StandInQueries() { ql::SetBrowserQueries({Shows, Recall}); }
  ~StandInQueries() {
    ql::SetBrowserQueries({});
    noArchive = nullptr;
    remembered.clear();
  }
  static bool Shows(HWND w) { return w != noArchive; }
  static bool Recall(HWND, char letter, char* out, size_t n) {
    auto it = remembered.find(letter);
    if (it == remembered.end()) return false;
    lstrcpynA(out, it->second.c_str(), static_cast<int>(n));
    return true;
  }
  static HWND noArchive;
  static std::map<char, std::string> remembered;
};
HWND StandInQueries::noArchive = nullptr;
std::map<char, std::string> StandInQueries::remembered;

std::string CurrentDir() {
  char buf[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof buf, buf);
  return buf;
}

TEST_F(BrowserStandIn, ArjWindowWithoutAnArchiveReadsNothing) {
  StandInQueries queries;
  StandInQueries::noArchive = window;
  SendMessageA(fullList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("left over"));
  qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
  EXPECT_EQ(ql::ReadArjDirectory(window, Fixture("dos.arj").c_str(), fullList, 1, "*.*", nullptr), 0);
  EXPECT_EQ(Lines(fullList), std::vector<std::string>{"left over"});
  for (int word : {8, 12, 16, 20}) EXPECT_EQ(Word(word), 0x5A5A) << word;
  EXPECT_EQ(ListingTitle(), "");
  // Without a window, or without its list, there is no record to ask: the archive is read.
  EXPECT_EQ(ql::ReadArjDirectory(nullptr, Fixture("dos.arj").c_str(), plainList, 0, "*.*", nullptr), 4);
  EXPECT_EQ(ql::ReadArjDirectory(window, Fixture("dos.arj").c_str(), nullptr, 1, "*.*", nullptr), 4);
  EXPECT_TRUE(boxes.Seen().empty());
  // Once the window shows an archive, it is read into the list.
  StandInQueries::noArchive = nullptr;
  EXPECT_EQ(ql::ReadArjDirectory(window, Fixture("dos.arj").c_str(), fullList, 1, "*.*", nullptr), 4);
  EXPECT_EQ(Lines(fullList).size(), 6u);
  EXPECT_EQ(Word(16), 4);
}

TEST_F(BrowserStandIn, ArjReadRunsInTheDirectoryRememberedForTheProgramsDrive) {
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, sizeof module);
  const char programDrive = static_cast<char>(toupper(static_cast<unsigned char>(module[0])));
  std::string work = TempPath("ql-readers-cwd");
  CreateDirectoryA(work.c_str(), nullptr);
  // The relative archive names below resolve only in the fixtures' directory, on another drive.
  ASSERT_NE(toupper(static_cast<unsigned char>(work[0])), programDrive);
  std::string fixtures = Fixture("");
  fixtures.pop_back();
  const std::string saved = CurrentDir();
  const std::string envName = std::string("=") + programDrive + ":";
  char savedEnv[MAX_PATH] = "";
  const bool hadEnv = GetEnvironmentVariableA(envName.c_str(), savedEnv, sizeof savedEnv) > 0;

  StandInQueries queries;
  enum Where { kNone, kFixtures, kWork };
  const std::string dirs[] = {"", fixtures, work};
  struct {
    const char* what;
    bool withWindow;
    Where remembered;  // what the window remembers for the program's drive
    Where entry;       // what the drive's "=X:" entry names
    const char* path;
    int result;
    size_t boxes;
  } cases[] = {
      {"the window's directory for the drive", true, kFixtures, kNone, "dos.arj", 4, 0},
      {"the window's directory before the drive's entry", true, kFixtures, kWork, "dirs.arj", 2, 0},
      {"the drive's entry, for a window that remembers none", true, kNone, kFixtures, "dos.arj", 4, 0},
      {"the drive's entry, without a window", false, kWork, kFixtures, "dirs.arj", 2, 0},
      {"a name found nowhere", true, kFixtures, kFixtures, "no-such.arj", -1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));
    const std::string before = CurrentDir();
    StandInQueries::remembered.clear();
    if (c.remembered != kNone) StandInQueries::remembered[programDrive] = dirs[c.remembered];
    SetEnvironmentVariableA(envName.c_str(), c.entry != kNone ? dirs[c.entry].c_str() : nullptr);
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(ql::ReadArjDirectory(c.withWindow ? window : nullptr, c.path, c.withWindow ? fullList : plainList,
                                   1, "*.*", nullptr),
              c.result);
    EXPECT_EQ(boxes.Seen().size(), c.boxes);
    // Afterwards the directory that was current is current again.
    EXPECT_EQ(CurrentDir(), before);
  }
  SetEnvironmentVariableA(envName.c_str(), hadEnv ? savedEnv : nullptr);
  SetCurrentDirectoryA(saved.c_str());
  RemoveDirectoryA(work.c_str());
}

}  // namespace
