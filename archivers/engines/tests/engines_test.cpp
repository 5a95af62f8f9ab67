// The engine libraries called the way Quillon calls them: LoadLibrary from the program directory,
// GetProcAddress("zip"/"unzip"), "|"-separated argument strings, the cookie.
#include <gtest/gtest.h>

#include "tests/support/win_test_support.h"
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "archivers/zip/host.h"
#include "archivers/zip/zipcore.h"

namespace {

typedef int(WINAPI* ZipFn)(HWND, LPCSTR, DWORD, int);
typedef int(WINAPI* UnzipFn)(HWND, LPCSTR, DWORD);
constexpr DWORD kCookie = 0x3B9A5E;

std::string ProgramDir() {
  std::string d = "Z:" + std::string(QL_PROGRAM_DIR);
  for (char& c : d)
    if (c == '/') c = '\\';
  return d;
}

void Put(const std::string& path, const std::string& data) {
  std::string dir = path.substr(0, path.find_last_of('\\'));
  for (size_t p = 3; p <= dir.size(); ++p)
    if (p == dir.size() || dir[p] == '\\') CreateDirectoryA(dir.substr(0, p).c_str(), nullptr);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD n = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
  CloseHandle(h);
}

std::string Get(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string s(GetFileSize(h, nullptr), '\0');
  DWORD n = 0;
  if (!s.empty()) ReadFile(h, &s[0], static_cast<DWORD>(s.size()), &n, nullptr);
  CloseHandle(h);
  return s;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Text(size_t n, unsigned seed) {
  std::string s;
  unsigned x = seed;
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += "word" + std::to_string((x >> 16) % 97) + ((x & 0x100) ? " " : "\r\n");
  }
  s.resize(n);
  return s;
}

std::string Noise(size_t n, unsigned seed) {
  std::string s(n, '\0');
  unsigned x = seed | 1;
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 3);
  }
  return s;
}

// The archive as our reader sees it: name -> data.
struct Listing {
  bool ok = false;
  std::string comment;
  std::vector<qlzip::Entry> entries;
  std::vector<std::string> data;
  std::string Data(const std::string& name) const {
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name == name) return data[i];
    return "<absent>";
  }
  std::string Names() const {
    std::string s;
    for (auto& e : entries) s += e.name + ";";
    return s;
  }
};

Listing Read(const std::string& zip, const std::string& password = "") {
  Listing l;
  std::string bytes = Get(zip);
  qlzip::MemorySource src(bytes.data(), bytes.size());
  qlzip::Archive ar;
  if (ar.Open(src) != qlzip::OpenResult::kOk) return l;
  l.ok = true;
  l.comment = ar.comment;
  l.entries = ar.entries;
  for (auto& e : ar.entries) {
    std::string d;
    auto r = qlzip::DecodeEntry(src, e, password, [&](const uint8_t* p, size_t n) {
      d.append(reinterpret_cast<const char*>(p), n);
      return true;
    });
    l.data.push_back(r == qlzip::DecodeResult::kOk ? d : std::string("<") + qlzip::DecodeResultText(r) + ">");
  }
  return l;
}

// Windows of this thread, found from a helper thread.
struct Found {
  const char* title;
  HWND hwnd;
};
BOOL CALLBACK FindTitled(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  char t[256] = "";
  GetWindowTextA(h, t, sizeof t);
  if (IsWindowVisible(h) && !strcmp(t, f->title)) {
    f->hwnd = h;
    return FALSE;
  }
  return TRUE;
}
HWND WaitWindow(DWORD tid, const char* title, DWORD ms = 20000) {
  DWORD start = GetTickCount();
  do {
    Found f = {title, nullptr};
    EnumThreadWindows(tid, FindTitled, reinterpret_cast<LPARAM>(&f));
    if (f.hwnd) return f.hwnd;
    Sleep(5);  // polling interval of the watcher, not a synchronisation point
  } while (GetTickCount() - start < ms);
  return nullptr;
}
// Waits until a window has gone, at most `ms`; false when it is still there.
bool WaitGone(HWND h, DWORD ms = 20000) {
  DWORD start = GetTickCount();
  while (IsWindow(h)) {
    if (GetTickCount() - start >= ms) return false;
    Sleep(5);  // polling interval of the watcher, not a synchronisation point
  }
  return true;
}
// For a person to look at: with QL_SHOT_DIR set, waits (at most a minute) while a script outside
// takes a picture of the display (app/tests/snapshots.sh): it sees NAME.ready, answers NAME.done.
void Snapshot(const char* name) {
  char dir[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("QL_SHOT_DIR", dir, sizeof dir)) return;
  std::string base = std::string(dir) + "\\" + name;
  HANDLE h = CreateFileA((base + ".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  DWORD start = GetTickCount();
  while (GetFileAttributesA((base + ".done").c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 60000)
    Sleep(50);  // waiting on the script outside, not a synchronisation point of the test
}

std::string ControlText(HWND h) {
  char buf[4096] = "";
  SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return buf;
}

class Engines : public ::testing::Test {
 protected:
  void SetUp() override {
    zipLib = LoadLibraryA((ProgramDir() + "\\QL53NTI2.DLL").c_str());
    unzipLib = LoadLibraryA((ProgramDir() + "\\QL53NTI1.DLL").c_str());
    ASSERT_TRUE(zipLib && unzipLib) << ProgramDir();
    zipFn = reinterpret_cast<ZipFn>(GetProcAddress(zipLib, "zip"));
    unzipFn = reinterpret_cast<UnzipFn>(GetProcAddress(unzipLib, "unzip"));
    ASSERT_TRUE(zipFn && unzipFn);
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    root = std::string(tmp) + "qleng" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(root);  // a run that was killed may have left it
    src = root + "\\src";
    work = root + "\\QL5TEMP";
    Put(src + "\\a.txt", Text(5000, 1));
    Put(src + "\\docs\\b.txt", Text(70000, 2));
    Put(src + "\\docs\\deep\\c.dat", Noise(3000, 3));
    Put(src + "\\Long File Name.text", Text(100, 4));
    Put(work + "\\ql5files", "");
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedDir = cwd;
    SetCurrentDirectoryA(src.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedDir.c_str());
    RemoveTree(root);
    if (zipLib) FreeLibrary(zipLib);
    if (unzipLib) FreeLibrary(unzipLib);
  }
  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        std::string p = dir + "\\" + n;
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
        else DeleteFileA(p.c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
  void List(const std::string& lines) { Put(work + "\\ql5files", lines); }
  std::string ListRef() { return "@" + work + "\\ql5files"; }
  int Zip(const std::string& args, HWND owner = nullptr) { return zipFn(owner, args.c_str(), kCookie, 0); }
  int Unzip(const std::string& args, HWND owner = nullptr) { return unzipFn(owner, args.c_str(), kCookie); }
  // An unzip run that ends with the engine's report box: the report's line naming `member` (empty
  // when none does), the box photographed as `shot` when given, then closed.
  struct Reported {
    int code;
    std::string line;
  };
  Reported UnzipReporting(const std::string& args, const char* member, const char* shot = nullptr) {
    DWORD tid = GetCurrentThreadId();
    std::string line;
    std::thread t([&] {
      HWND box = WaitWindow(tid, "Quillon Unzip");
      if (!box) return;
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char text[2048] = "";
        GetWindowTextA(c, text, sizeof text);
        if (strstr(text, member)) line = text;
      }
      if (shot) Snapshot(shot);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    int code = Unzip(args);
    t.join();
    return {code, line};
  }

  HMODULE zipLib = nullptr, unzipLib = nullptr;
  ZipFn zipFn = nullptr;
  UnzipFn unzipFn = nullptr;
  std::string root, src, work, savedDir;
};

}  // namespace

TEST_F(Engines, ExportsAreTheUndecoratedNames) {
  EXPECT_EQ(GetProcAddress(zipLib, "zip@16"), nullptr);
  EXPECT_EQ(GetProcAddress(unzipLib, "unzip@12"), nullptr);
  // A call with another cookie does nothing.
  std::string arc = root + "\\COOKIE.ZIP";
  EXPECT_EQ(zipFn(nullptr, ("-a|" + arc + "| a.txt|-q").c_str(), 12345, 0), 16);
  EXPECT_FALSE(FileExists(arc));
}

TEST_F(Engines, AddTemplatesBuildTheExpectedArchives) {
  std::string arc = root + "\\OUT\\NEW.ZIP";
  CreateDirectoryA((root + "\\OUT").c_str(), nullptr);
  // Add of dropped files / the example: "-a " archive, fragments, -b work dir, list reference, quiet.
  List("a.txt\r\ndocs\\*.*\r\n");
  ASSERT_EQ(Zip("-a |" + arc + "| -ex| -rp| -P| -b" + work + "\\| " + ListRef() + "| -q"), 0);
  Listing l = Read(arc);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.Names(), "a.txt;docs/b.txt;docs/deep/c.dat;");
  EXPECT_EQ(l.Data("docs/b.txt"), Get(src + "\\docs\\b.txt"));
  EXPECT_EQ(l.Data("docs/deep/c.dat"), Get(src + "\\docs\\deep\\c.dat"));
  EXPECT_EQ(l.entries[0].flags & 6, 2) << "maximum compression recorded in the flags";
  // Drop add into a ZIP window: options, archive, list reference.
  List("Long File Name.text\r\n");
  ASSERT_EQ(Zip("-a| -e0| -)| -=| -~| -3| -+| --| -(| -b" + work + "\\| " + arc + "| " + ListRef() + "| -q"), 0);
  l = Read(arc);
  EXPECT_EQ(l.Names(), "a.txt;docs/b.txt;docs/deep/c.dat;Long File Name.text;");
  EXPECT_EQ(l.entries[3].method, 0) << "-e0 stores";
  // Express add: archive first, then the options, then the list.
  std::string express = root + "\\EXPRESS.ZIP";
  List(src + "\\a.txt\r\n");
  ASSERT_EQ(Zip(express + "| -a| -es| -k| -b" + work + "\\| " + ListRef() + "| -q"), 0);
  EXPECT_EQ(Read(express).Names(), "a.txt;");
  // Freshen and update without a list: every member is looked at.
  Put(src + "\\a.txt", "newer text");
  FILETIME ft;
  SYSTEMTIME st = {2030, 1, 0, 1, 12, 0, 0, 0};
  SystemTimeToFileTime(&st, &ft);
  HANDLE h = CreateFileA((src + "\\a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
  ASSERT_EQ(Zip(" -f |" + arc + "| -en| -)| -=| -e0| -~| -3| -+| --| -(| -b" + work + "\\| -q"), 0);
  EXPECT_EQ(Read(arc).Data("a.txt"), "newer text");
  ASSERT_EQ(Zip(" -u |" + arc + "| -en| -b" + work + "\\| -q"), 12) << "nothing newer: nothing to do";
  // Move: the sources are gone afterwards.
  Put(src + "\\moved.txt", "move me");
  List("moved.txt\r\n");
  ASSERT_EQ(Zip("-m| -b" + work + "\\| " + arc + "| " + ListRef() + "| -q"), 0);
  EXPECT_FALSE(FileExists(src + "\\moved.txt"));
  EXPECT_EQ(Read(arc).Data("moved.txt"), "move me");
  // Nothing of the work is left in the work directory.
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((work + "\\*.TMP").c_str(), &fd);
  EXPECT_EQ(f, INVALID_HANDLE_VALUE);
  if (f != INVALID_HANDLE_VALUE) FindClose(f);
}

TEST_F(Engines, ExtractTestViewAndDelete) {
  std::string arc = root + "\\A.ZIP";
  List("*.*\r\n");
  ASSERT_EQ(Zip("-a |" + arc + "| -rp| -P| -b" + work + "\\| " + ListRef() + "| -q"), 0);
  std::string out = root + "\\OUT";
  CreateDirectoryA(out.c_str(), nullptr);
  SetCurrentDirectoryA(out.c_str());
  // Extract members with paths, list file of member names.
  List("docs/b.txt\r\ndocs\\deep\\c.dat\r\na.txt\r\n");
  ASSERT_EQ(Unzip(arc + "| -d| -o| -en| -er| -)| -3| -+| --| " + ListRef() + "|-q"), 0);
  EXPECT_EQ(Get(out + "\\docs\\b.txt"), Get(src + "\\docs\\b.txt"));
  EXPECT_EQ(Get(out + "\\docs\\deep\\c.dat"), Get(src + "\\docs\\deep\\c.dat"));
  EXPECT_EQ(Get(out + "\\a.txt"), Get(src + "\\a.txt"));
  // Express extract: archive, target directory, list.
  List("*.dat\r\n");
  ASSERT_EQ(Unzip(" -o| -)| -3| -+| --|| " + arc + "| " + out + "\\FLAT\\| " + ListRef() + "| -q"), 0);
  EXPECT_EQ(Get(out + "\\FLAT\\c.dat"), Get(src + "\\docs\\deep\\c.dat"));
  // Test, in the forms of the archive window and of a directory file.
  EXPECT_EQ(Unzip("-t |" + arc + "| -q"), 0);
  EXPECT_EQ(Unzip("| -t |" + arc + "| -q"), 0);
  // View: one member into the work directory, without its path.
  ASSERT_EQ(Unzip("| " + arc + " | docs/b.txt | -o | " + work + "\\|-q"), 0);
  EXPECT_EQ(Get(work + "\\b.txt"), Get(src + "\\docs\\b.txt"));
  // Delete from the browser window: "-d", archive, list, work directory.
  List("docs/b.txt\r\n");
  ASSERT_EQ(Zip("-d| " + arc + "| " + ListRef() + "| -b" + work + "\\| -q"), 0);
  Listing l = Read(arc);
  EXPECT_EQ(l.Names(), "a.txt;Long File Name.text;docs/deep/c.dat;");
  EXPECT_EQ(l.Data("docs/deep/c.dat"), Get(src + "\\docs\\deep\\c.dat"));
  // Express delete: "|", "-d", archive, options, list.
  List("a.txt\r\n");
  ASSERT_EQ(Zip("| -d|| " + arc + "|| -en| -)| -b" + work + "\\|| " + ListRef() + "|-q"), 0);
  EXPECT_EQ(Read(arc).Names(), "Long File Name.text;docs/deep/c.dat;");
}

TEST_F(Engines, CommentDialogShowsTheExistingTextAndStoresTheNewOne) {
  std::string arc = root + "\\C.ZIP";
  ASSERT_EQ(Zip("-a |" + arc + "| a.txt| Long File Name.text|-q"), 0);
  DWORD tid = GetCurrentThreadId();
  std::string seen[2];
  bool stayed = false;
  auto answer = [&](int i, const char* text, bool ok) {
    HWND dlg = WaitWindow(tid, "Comment");
    if (!dlg) return;
    seen[i] = ControlText(GetDlgItem(dlg, 1011));
    SendMessageA(GetDlgItem(dlg, 1011), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    PostMessageA(dlg, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
    // Wait for that dialog to go before the next one is looked for.
    if (!WaitGone(dlg)) stayed = true;
  };
  {
    std::thread t([&] {
      answer(0, "First line\r\nSecond line", true);
    });
    EXPECT_EQ(Zip(" -z |" + arc + "| -k| -b" + work + "\\"), 0);  // no -q: progress window too
    t.join();
  }
  EXPECT_EQ(seen[0], "");
  EXPECT_EQ(Read(arc).comment, "First line\r\nSecond line");
  {
    std::string before = Get(arc);
    std::thread t([&] { answer(1, "thrown away", false); });
    EXPECT_EQ(Zip(" -z |" + arc + "| -b" + work + "\\|-q"), 0);
    t.join();
    EXPECT_EQ(seen[1], "First line\r\nSecond line");
    EXPECT_EQ(Get(arc), before) << "Cancel leaves the archive as it was";
  }
  // File comments for the names of the list.
  List("Long File Name.text\r\n");
  {
    std::thread t([&] { answer(0, "about the long name", true); });
    EXPECT_EQ(Zip(" -c |" + arc + "| -b" + work + "\\| " + ListRef() + "| -q"), 0);
    t.join();
  }
  EXPECT_FALSE(stayed) << "a Comment dialog stayed after its button was pressed";
  Listing l = Read(arc);
  ASSERT_EQ(l.entries.size(), 2u);
  EXPECT_EQ(l.entries[0].comment, "");
  EXPECT_EQ(l.entries[1].comment, "about the long name");
}

TEST_F(Engines, CancelInTheProgressWindowLeavesTheArchiveUnchanged) {
  std::string arc = root + "\\BIG.ZIP";
  ASSERT_EQ(Zip("-a |" + arc + "| a.txt|-q"), 0);
  std::string before = Get(arc);
  Put(src + "\\huge.bin", Noise(48u << 20, 9));  // streamed in pieces, so Cancel is seen mid-file
  DWORD tid = GetCurrentThreadId();
  bool found = false;
  std::thread t([&] {
    HWND dlg = WaitWindow(tid, "Quillon Zip");
    found = dlg != nullptr;
    if (dlg) PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  int r = Zip("-a |" + arc + "| -ex| huge.bin| -b" + work + "\\");
  t.join();
  ASSERT_TRUE(found);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(Get(arc), before);
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((work + "\\*.TMP").c_str(), &fd);
  EXPECT_EQ(f, INVALID_HANDLE_VALUE);
  if (f != INVALID_HANDLE_VALUE) FindClose(f);
}

TEST_F(Engines, HostileMembersAreRefusedAndReported) {
  // Build an archive whose names try to leave the target.
  std::vector<uint8_t> bytes;
  std::vector<qlzip::Entry> es;
  const char* names[] = {"..\\..\\evil1.txt", "C:\\evil2.txt", "\\\\server\\share\\evil3.txt", "NUL", "ok.txt"};
  for (const char* n : names) {
    qlzip::Entry e;
    e.name = n;
    e.crc = qlzip::Crc32(0, "x", 1);
    e.csize = e.usize = 1;
    e.localOffset = bytes.size();
    auto lh = qlzip::LocalHeader(e);
    bytes.insert(bytes.end(), lh.begin(), lh.end());
    bytes.push_back('x');
    es.push_back(e);
  }
  uint64_t cd = bytes.size();
  for (auto& e : es) {
    auto ch = qlzip::CentralHeader(e);
    bytes.insert(bytes.end(), ch.begin(), ch.end());
  }
  auto end = qlzip::EndRecord(es.size(), bytes.size() - cd, cd, "");
  bytes.insert(bytes.end(), end.begin(), end.end());
  std::string arc = root + "\\deep1\\deep2\\HOSTILE.ZIP";
  Put(arc, std::string(bytes.begin(), bytes.end()));
  std::string out = root + "\\deep1\\deep2\\OUT";
  DWORD tid = GetCurrentThreadId();
  std::string report;
  std::thread t([&] {
    HWND box = WaitWindow(tid, "Quillon Unzip");
    if (!box) return;
    // The static with the text is the message box's second child on Wine and Windows alike.
    char buf[2048] = "";
    HWND c = GetWindow(box, GW_CHILD);
    while (c) {
      char cls[32];
      GetClassNameA(c, cls, sizeof cls);
      if (!strcmp(cls, "Static")) {
        GetWindowTextA(c, buf, sizeof buf);
        if (strlen(buf) > 5) break;
      }
      c = GetWindow(c, GW_HWNDNEXT);
    }
    report = buf;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  int r = Unzip(arc + "| -d| -o| " + out + "\\| -q");
  t.join();
  EXPECT_EQ(r, 1);
  EXPECT_EQ(Get(out + "\\ok.txt"), "x");
  for (const char* p : {"\\evil1.txt", "\\deep1\\evil1.txt", "\\deep1\\deep2\\evil1.txt"})
    EXPECT_FALSE(FileExists(root + p)) << p;
  EXPECT_FALSE(FileExists("C:\\evil2.txt"));
  EXPECT_NE(report.find("Refused"), std::string::npos) << report;
  EXPECT_NE(report.find("device name"), std::string::npos) << report;
}

namespace {
// Runs one of the console programs of the program directory and returns its exit code.
int RunProgram(const std::string& exe, const std::string& args, const std::string& dir) {
  std::string cmd = "\"" + ProgramDir() + "\\" + exe + "\" " + args;
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                           OPEN_EXISTING, 0, nullptr);
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, dir.c_str(), &si,
                      &pi)) {
    CloseHandle(nul);
    return -1;
  }
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 0xFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(nul);
  return static_cast<int>(code);
}
}  // namespace

TEST_F(Engines, ConsoleProgramsTakePkzipCommandLines) {
  std::string arc = root + "\\DOS.ZIP";
  List("a.txt\r\ndocs\\*.*\r\n");
  // The DOS command forms of the add, test, extract and delete templates.
  EXPECT_EQ(RunProgram("pkzip.exe", "-a -ex -rp -P " + arc + " -) -= -~ -3 -+ -- -( -b" + work + "\\ @" + work +
                                        "\\ql5files", src), 0);
  Listing l = Read(arc);
  EXPECT_EQ(l.Names(), "a.txt;docs/b.txt;docs/deep/c.dat;");
  EXPECT_EQ(RunProgram("pkunzip.exe", "-t " + arc + " -) -3 -+ --", src), 0);
  std::string out = root + "\\DOSOUT";
  CreateDirectoryA(out.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", arc + " -d -o -en -er -) -3 -+ -- @" + work + "\\ql5files", out), 0);
  EXPECT_EQ(Get(out + "\\docs\\b.txt"), Get(src + "\\docs\\b.txt"));
  List("docs\\b.txt\r\n");
  EXPECT_EQ(RunProgram("pkzip.exe", "-d " + arc + " @" + work + "\\ql5files -b" + work + "\\", src), 0);
  EXPECT_EQ(Read(arc).Names(), "a.txt;docs/deep/c.dat;");
  // Scrambled entries need the password.
  std::string secret = root + "\\SECRET.ZIP";
  EXPECT_EQ(RunProgram("pkzip.exe", "-a -sgeheim " + secret + " a.txt", src), 0);
  EXPECT_EQ(Read(secret, "geheim").Data("a.txt"), Get(src + "\\a.txt"));
  EXPECT_EQ(RunProgram("pkunzip.exe", "-t -swrong " + secret, src), 1);
  // PKZIP and PKUNZIP exit codes for the usual failures.
  EXPECT_EQ(RunProgram("pkzip.exe", "-a -& " + root + "\\SPAN.ZIP a.txt", src), 16) << "no spanning on a fixed disk";
  EXPECT_FALSE(FileExists(root + "\\SPAN.ZIP"));
  EXPECT_EQ(RunProgram("pkzip.exe", "-f " + root + "\\NONE.ZIP", src), 13);
  EXPECT_EQ(RunProgram("pkzip.exe", "-a -Y " + arc, src), 16);
  EXPECT_EQ(RunProgram("pkunzip.exe", root + "\\NONE.ZIP", src), 9);
  EXPECT_EQ(RunProgram("pkunzip.exe", arc + " nothing.here", src), 11);
}

TEST_F(Engines, ExistingFilesAreReplacedOnlyWhenTheUserSaysSo) {
  std::string arc = root + "\\R.ZIP";
  ASSERT_EQ(Zip("-a |" + arc + "| a.txt| Long File Name.text|-q"), 0);
  std::string out = root + "\\ROUT";
  struct Case {
    int button;        // pressed in every question
    int questions;     // questions expected
    const char* kept;  // text left in the files afterwards ("" = the archive's)
  } cases[] = {{IDNO, 2, "mine"}, {1031 /* Yes to All */, 1, ""}, {IDCANCEL, 1, "mine"}};
  DWORD tid = GetCurrentThreadId();
  for (const auto& c : cases) {
    Put(out + "\\a.txt", "mine");
    Put(out + "\\Long File Name.text", "mine");
    int asked = 0;
    bool reported = false, stayed = false;
    std::thread t([&] {
      for (int i = 0; i < c.questions; ++i) {
        HWND dlg = WaitWindow(tid, "Replace File");
        if (!dlg) return;
        ++asked;
        PostMessageA(dlg, WM_COMMAND, c.button, 0);
        if (!WaitGone(dlg)) {
          stayed = true;
          return;
        }
      }
      if (c.button != IDNO) return;
      // The files kept are reported at the end, in a message box with the engine's caption.
      DWORD start = GetTickCount();
      while (!reported && GetTickCount() - start < 20000) {
        HWND box = WaitWindow(tid, "Quillon Unzip", 200);
        for (HWND k = box ? GetWindow(box, GW_CHILD) : nullptr; k && !reported; k = GetWindow(k, GW_HWNDNEXT)) {
          char text[2048] = "";
          GetWindowTextA(k, text, sizeof text);
          if (strstr(text, "not extracted")) {
            reported = true;
            Snapshot("engine_kept_files_report");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
          }
        }
        Sleep(5);  // polling interval of the watcher, not a synchronisation point
      }
    });
    int r = Unzip(arc + "| " + out + "\\");  // no -o: the user is asked
    t.join();
    EXPECT_FALSE(stayed) << "a Replace File question stayed after " << c.button;
    EXPECT_EQ(asked, c.questions) << c.button;
    EXPECT_EQ(reported, c.button == IDNO) << c.button;
    // A file kept on No ends the run with a warning; Cancel breaks it off.
    EXPECT_EQ(r, c.button == IDCANCEL ? 255 : c.button == IDNO ? 1 : 0) << c.button;
    std::string want = *c.kept ? c.kept : Get(src + "\\a.txt");
    EXPECT_EQ(Get(out + "\\a.txt"), want) << c.button;
    std::string want2 = *c.kept ? c.kept : Get(src + "\\Long File Name.text");
    EXPECT_EQ(Get(out + "\\Long File Name.text"), want2) << c.button;
  }
}

TEST_F(Engines, HiddenAndSystemFilesNeedTheSwitchAndTheDateCanFollowTheNewest) {
  Put(src + "\\hidden.txt", "h");
  Put(src + "\\system.txt", "s");
  SetFileAttributesA((src + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA((src + "\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  std::string without = root + "\\PLAIN.ZIP", with = root + "\\ALL.ZIP";
  ASSERT_EQ(Zip("-a |" + without + "| *.*| -q"), 0);
  ASSERT_EQ(Zip("-a |" + with + "| -w| -o| *.*| -q"), 0);
  EXPECT_EQ(Read(without).Names(), "a.txt;Long File Name.text;");
  Listing l = Read(with);
  EXPECT_EQ(l.Names(), "a.txt;hidden.txt;Long File Name.text;system.txt;");
  // -o: the archive takes the date of its newest entry.
  uint32_t newest = 0;
  for (auto& e : l.entries) newest = std::max(newest, e.dosTime);
  WIN32_FILE_ATTRIBUTE_DATA fa;
  ASSERT_TRUE(GetFileAttributesExA(with.c_str(), GetFileExInfoStandard, &fa));
  FILETIME local;
  FileTimeToLocalFileTime(&fa.ftLastWriteTime, &local);
  WORD d = 0, t = 0;
  FileTimeToDosDateTime(&local, &d, &t);
  EXPECT_EQ((static_cast<uint32_t>(d) << 16 | t), newest);
  // Extraction restores the attributes.
  std::string out = root + "\\HOUT";
  ASSERT_EQ(Unzip(with + "| -o| " + out + "\\| -q"), 0);
  EXPECT_TRUE(GetFileAttributesA((out + "\\hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Members packed by PKZIP 1.x methods (shrink, reduce 1-4, implode 4K/8K with and without the
// literal tree), from the fixture the native tests check against Info-ZIP's unzip.
TEST_F(Engines, OldZipMethodsAreTestedAndExtractedByBothUnzips) {
  std::string fixture = "Z:" + std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/old_methods.zip";
  for (char& c : fixture)
    if (c == '/') c = '\\';
  std::string arc = root + "\\OLD.ZIP";
  Put(arc, Get(fixture));
  Listing l = Read(arc);
  ASSERT_TRUE(l.ok);
  std::vector<uint16_t> methods;
  for (auto& e : l.entries) methods.push_back(e.method);
  for (uint16_t m = 1; m <= 6; ++m)
    EXPECT_NE(std::find(methods.begin(), methods.end(), m), methods.end()) << "method " << m;
  EXPECT_EQ(RunProgram("pkunzip.exe", "-t " + arc, src), 0);
  std::string out = root + "\\DOSOUT", eng = root + "\\ENGOUT";
  CreateDirectoryA(out.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-d -o " + arc + " " + out + "\\", src), 0);
  EXPECT_EQ(Unzip("-t |" + arc + "| -q"), 0);
  EXPECT_EQ(Unzip(arc + "| -d| -o| " + eng + "\\| -q"), 0);
  for (size_t i = 0; i < l.entries.size(); ++i) {
    std::string name = l.entries[i].name;
    for (char& c : name)
      if (c == '/') c = '\\';
    EXPECT_EQ(l.data[i].substr(0, 1) == "<", false) << name << " " << l.data[i];
    EXPECT_EQ(Get(out + "\\" + name), l.data[i]) << "pkunzip " << name;
    EXPECT_EQ(Get(eng + "\\" + name), l.data[i]) << "engine " << name;
  }
  // A damaged imploded member fails the test and leaves nothing under its name.
  std::string bytes = Get(arc);
  size_t at = bytes.find("IMP8KLIT.TXT");
  ASSERT_NE(at, std::string::npos);
  for (size_t k = 300; k < 308; ++k) bytes[at + 12 + k] = static_cast<char>(bytes[at + 12 + k] ^ 0x5A);
  std::string bad = root + "\\BAD.ZIP", badOut = root + "\\BADOUT";
  Put(bad, bytes);
  CreateDirectoryA(badOut.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-t " + bad, src), 1);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-o " + bad + " IMP8KLIT.TXT " + badOut + "\\", src), 1);
  EXPECT_FALSE(FileExists(badOut + "\\IMP8KLIT.TXT"));
  // The engine reports the damage in its message box at the end.
  Reported run = UnzipReporting(bad + "| IMP8KLIT.TXT| -o| " + badOut + "\\| -q", "IMP8KLIT");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.line.find("IMP8KLIT"), std::string::npos) << run.line;
  EXPECT_FALSE(FileExists(badOut + "\\IMP8KLIT.TXT"));
}

// Names in UTF-8 (bit 11) or in an Info-ZIP Unicode path field whose CRC matches come out as they
// are through both unzips, a look-alike beside the name it resembles; a stale field is ignored.
TEST_F(Engines, UnicodeNamesAreWrittenAsTheyAreByBothUnzips) {
  std::string fixture = "Z:" + std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/unicode_names.zip";
  for (char& c : fixture)
    if (c == '/') c = '\\';
  std::string arc = root + "\\UNI.ZIP", out = root + "\\DOSOUT", eng = root + "\\ENGOUT";
  Put(arc, Get(fixture));
  CreateDirectoryA(out.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-d -o " + arc + " " + out + "\\", src), 0);
  EXPECT_EQ(Unzip(arc + "| -d| -o| " + eng + "\\| -q"), 0);
  const struct {
    const wchar_t* name;
    const char* data;
  } want[] = {{L"Ελληνικά.txt", "greek\r\n"}, {L"日本語\\ファイル.txt", "in a folder\r\n"},
              {L"π.txt", "pi\r\n"},           {L"p.txt", "plain p\r\n"},
              {L"Česká.txt", "czech\r\n"},    {L"stale.txt", "stale\r\n"}};
  for (const std::string& dir : {out, eng}) {
    for (const auto& w : want) EXPECT_EQ(qltest::ReadWideNamedFile(dir, w.name), w.data) << dir << " " << w.data;
    EXPECT_FALSE(FileExists(dir + "\\renamed.txt")) << dir;
  }
}

// Deflate64, bzip2, LZMA (with and without its end marker) and xz members made by 7z and python
// extract through pkunzip and the engine; the PPMd member is refused by name and the others
// still unpack.
TEST_F(Engines, NewZipMethodsAreExtractedByBothUnzipsAndPpmdIsNamed) {
  std::string fixtures = "Z:" + std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/";
  for (char& c : fixtures)
    if (c == '/') c = '\\';
  const std::string arc = root + "\\NEW.ZIP", xz = root + "\\XZ.ZIP";
  Put(arc, Get(fixtures + "new_methods.zip"));
  Put(xz, Get(fixtures + "xz_member.zip"));
  Listing l = Read(arc), lx = Read(xz);
  ASSERT_TRUE(l.ok && lx.ok);
  // Every member holds its own name on the first line, then the same text.
  const std::string text = l.Data("stored.txt").substr(std::string("stored\n").size());
  ASSERT_GT(text.size(), 6000u);
  const char* kUnpacked[] = {"deflate64", "bzip2", "lzma_marker", "lzma_sized"};
  for (const char* name : kUnpacked) EXPECT_EQ(l.Data(std::string(name) + ".txt"), name + ("\n" + text)) << name;
  EXPECT_EQ(lx.Data("xz.txt"), "deflate64\n" + text);

  const std::string out = root + "\\NEWDOS", eng = root + "\\NEWENG";
  CreateDirectoryA(out.c_str(), nullptr);
  CreateDirectoryA(eng.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-o " + arc + " " + out + "\\", src), 1) << "the PPMd member fails";
  EXPECT_EQ(RunProgram("pkunzip.exe", "-o " + xz + " " + out + "\\", src), 0);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-t " + xz, src), 0);
  Reported run = UnzipReporting(arc + "| -o| " + eng + "\\| -q", "ppmd.txt", "engine_ppmd_named");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.line.find("PPMd (method 98)"), std::string::npos) << run.line;
  EXPECT_EQ(Unzip(xz + "| -o| " + eng + "\\| -q"), 0);
  for (const std::string& dir : {out, eng}) {
    for (const char* name : kUnpacked) EXPECT_EQ(Get(dir + "\\" + name + ".txt"), name + ("\n" + text)) << dir << name;
    EXPECT_EQ(Get(dir + "\\xz.txt"), "deflate64\n" + text) << dir;
    EXPECT_EQ(Get(dir + "\\stored.txt"), "stored\n" + text) << dir;
    EXPECT_FALSE(FileExists(dir + "\\ppmd.txt")) << dir;
  }
}

// WinZip AES members made by 7z (AES-128 and AES-256, deflated and stored, AE-2 and AE-1) extract
// with the password through pkunzip and the engine, decrypted by CNG; a wrong password writes
// nothing.
TEST_F(Engines, AesMembersAreExtractedWithThePasswordByBothUnzips) {
  std::string fixture = "Z:" + std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/aes.zip";
  for (char& c : fixture)
    if (c == '/') c = '\\';
  const std::string arc = root + "\\AES.ZIP";
  Put(arc, Get(fixture));
  Listing l = Read(arc, "secret");
  ASSERT_TRUE(l.ok);
  // Every member but the tiny one holds its own name on the first line, then the same text.
  const std::string text = l.Data("aes128_stored.txt").substr(std::string("aes128_stored\n").size());
  ASSERT_GT(text.size(), 2000u) << l.Data("aes128_stored.txt");
  const char* kNames[] = {"aes128_deflate", "aes128_stored", "aes256_deflate", "aes256_stored"};
  EXPECT_EQ(l.Data("aes256_tiny.txt"), "tiny\n");
  EXPECT_EQ(Read(arc, "wrong").Data("aes128_deflate.txt"), "<incorrect password>");

  const std::string out = root + "\\AESDOS", eng = root + "\\AESENG", bad = root + "\\AESBAD";
  for (const std::string& dir : {out, eng, bad}) CreateDirectoryA(dir.c_str(), nullptr);
  EXPECT_EQ(RunProgram("pkunzip.exe", "-o -ssecret " + arc + " " + out + "\\", src), 0);
  EXPECT_EQ(Unzip(arc + "| -o| -ssecret| " + eng + "\\| -q"), 0);
  for (const std::string& dir : {out, eng}) {
    for (const char* name : kNames) EXPECT_EQ(Get(dir + "\\" + name + ".txt"), name + ("\n" + text)) << dir << name;
    EXPECT_EQ(Get(dir + "\\aes256_tiny.txt"), "tiny\n") << dir;
  }
  EXPECT_EQ(RunProgram("pkunzip.exe", "-o -swrong " + arc + " " + bad + "\\", src), 1);
  Reported run =
      UnzipReporting(arc + "| -o| -swrong| " + bad + "\\| -q", "aes128_deflate.txt", "engine_aes_wrong_password");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.line.find("incorrect password"), std::string::npos) << run.line;
  for (const char* name : kNames) EXPECT_FALSE(FileExists(bad + "\\" + name + ".txt")) << name;
  EXPECT_FALSE(FileExists(bad + "\\aes256_tiny.txt"));
}
