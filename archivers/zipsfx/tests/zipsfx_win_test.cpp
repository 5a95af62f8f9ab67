// ZIP2EXE.EXE, the stub ZIPSFX.EXE and PKZIPFIX.EXE under Wine, on archives made by Info-ZIP's zip
// (folders, stored, deflated and encrypted members), judged by Info-ZIP's unzip -t and by
// Quillon's own ZIP reader.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archivers/zipsfx/sfx_image.h"
#include "readers/readers_win.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::FileExists;
using qltest::ReadTextFile;
using qltest::WriteTextFile;
using qltest::FromUnix;
using qltest::HostPath;
using qltest::RunHost;

std::string ProgramDir() { return FromUnix("Z:" QL_PROGRAM_DIR); }

struct Output {
  DWORD code = 99;
  std::string text;
};

// Runs a console program of the program directory in `dir`, its output captured.
Output RunConsole(const std::string& dir, const std::string& program, const std::string& args) {
  // A file of its own for each run: the last run's may still be held open for a moment by the
  // program that wrote it, and must never be read as this run's output.
  static int runs = 0;
  const std::string outPath = dir + "\\console" + std::to_string(++runs) + ".out";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return Output{~0u, "cannot create " + outPath};
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi = {};
  std::string line = "\"" + ProgramDir() + "\\" + program + "\" " + args;
  Output r;
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, dir.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 60000);
    GetExitCodeProcess(pi.hProcess, &r.code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(out);
  r.text = ReadTextFile(outPath);
  DeleteFileA(outPath.c_str());
  return r;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string Text(int lines, int seed) {
  std::string s;
  for (int i = 0; i < lines; ++i) s += "line " + std::to_string((i * seed) % 1009) + " of the sample\n";
  return s;
}

// The members of the fixture, relative to its source folder.
const char* const kMembers[] = {"deflated.txt", "sub\\stored.txt", "sub\\deeper\\deep.txt", "secret.txt"};

class ZipProgramsTest : public ::testing::Test {
 protected:
  std::string dir, src;
  void SetUp() override {
    if (!FileExists("Z:\\usr\\bin\\zip") || !FileExists("Z:\\usr\\bin\\unzip"))
      GTEST_SKIP() << "Info-ZIP is not installed";
    static int serial = 0;
    dir = FromUnix(ZIPSFX_E2E_DIR) + "\\run" + qltest::ProcessTag() + "_" + std::to_string(++serial);
    CreateDirectoryA(FromUnix(ZIPSFX_E2E_DIR).c_str(), nullptr);
    RemoveTree(dir);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    src = dir + "\\src";
    for (const char* d : {"\\src", "\\src\\sub", "\\src\\sub\\deeper"}) CreateDirectoryA((dir + d).c_str(), nullptr);
    ASSERT_TRUE(WriteTextFile(src + "\\deflated.txt", Text(3000, 7)));
    ASSERT_TRUE(WriteTextFile(src + "\\sub\\stored.txt", "kept as it is"));
    ASSERT_TRUE(WriteTextFile(src + "\\sub\\deeper\\deep.txt", Text(500, 3)));
    ASSERT_TRUE(WriteTextFile(src + "\\secret.txt", Text(800, 11)));
    const std::string h = HostPath(dir);
    ASSERT_EQ(0, RunHost("cd '" + h + "/src' && zip -qr ../FOO.ZIP deflated.txt sub && zip -q0 ../FOO.ZIP sub/stored.txt"
                         " && zip -q -P s3cret ../FOO.ZIP secret.txt", dir + "\\zip.status"));
  }
  void TearDown() override {
    if (!dir.empty()) RemoveTree(dir);
  }
  int UnzipTest(const std::string& archive) {
    return RunHost("/usr/bin/unzip -P s3cret -tqq '" + HostPath(archive) + "' >/dev/null 2>&1", dir + "\\judge.status");
  }
  void ExpectSameFiles(const std::string& out) {
    for (const char* m : kMembers) EXPECT_EQ(ReadTextFile(src + "\\" + m), ReadTextFile(out + "\\" + m)) << m;
  }
};

TEST_F(ZipProgramsTest, SelfExtractorIsAZipForEveryReaderAndExtractsItsFiles) {
  Output made = RunConsole(dir, "ZIP2EXE.EXE", "FOO.ZIP");
  ASSERT_EQ(0u, made.code) << made.text;
  const std::string exe = dir + "\\FOO.EXE";
  ASSERT_TRUE(FileExists(exe));
  EXPECT_EQ(0, UnzipTest(exe)) << "unzip -t, trusting the end record";

  // Quillon's reader, scanning from the front.
  HANDLE f = CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  bool spanning = true;
  EXPECT_TRUE(ql::FindZipStart(f, &spanning));
  EXPECT_FALSE(spanning);
  CloseHandle(f);
  const std::string listing = dir + "\\listing.txt";
  HANDLE out = CreateFileA(listing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(1, ql::ReadZipDirectory(exe.c_str(), nullptr, "*.*", out));
  CloseHandle(out);
  const std::string lines = ReadTextFile(listing);
  for (const char* name : {"deflated.txt", "stored.txt", "deep.txt", "secret.txt"})
    EXPECT_NE(std::string::npos, lines.find(name)) << lines;

  // Run: a file in the way is replaced after the question; the password is asked (a wrong one
  // first); the end tells what was done.
  const std::string target = dir + "\\out";
  CreateDirectoryA(target.c_str(), nullptr);
  CreateDirectoryA((target + "\\sub").c_str(), nullptr);
  ASSERT_TRUE(WriteTextFile(target + "\\sub\\stored.txt", "an older copy"));
  qltest::Process p;
  ASSERT_TRUE(p.Start(exe, "out", dir));
  int passwords = 0;
  qltest::DialogWatcher watcher(p.id, qltest::DialogWatcher::kAnyThread, [&](HWND d, const qltest::SeenDialog& s) {
    if (HWND edit = GetDlgItem(d, 102)) {
      SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(passwords++ == 0 ? "wrong" : "s3cret"));
      return IDOK;
    }
    if (s.text.find("already exists") != std::string::npos) return IDYES;
    return IDOK;
  });
  EXPECT_EQ(0, p.Wait(60000));
  std::vector<qltest::SeenDialog> seen = watcher.Seen();
  ASSERT_EQ(4u, seen.size());
  EXPECT_NE(std::string::npos, seen[0].text.find("stored.txt already exists")) << seen[0].text;
  EXPECT_NE(std::string::npos, seen[1].text.find("secret.txt is encrypted")) << seen[1].text;
  EXPECT_NE(std::string::npos, seen[2].text.find("The password is not correct")) << seen[2].text;
  EXPECT_NE(std::string::npos, seen[3].text.find("4 file(s) extracted to")) << seen[3].text;
  for (const auto& s : seen) EXPECT_EQ("FOO.EXE", s.title);
  ExpectSameFiles(target);
}

TEST_F(ZipProgramsTest, DecliningKeepsTheFileAndCancelStops) {
  ASSERT_EQ(0u, RunConsole(dir, "ZIP2EXE.EXE", "FOO").code);
  ASSERT_TRUE(WriteTextFile(dir + "\\deflated.txt", "mine"));
  qltest::Process p;
  ASSERT_TRUE(p.Start(dir + "\\FOO.EXE", "", dir));  // into the current directory
  qltest::DialogWatcher watcher(p.id, qltest::DialogWatcher::kAnyThread, [&](HWND d, const qltest::SeenDialog& s) {
    if (GetDlgItem(d, 102)) return IDCANCEL;
    if (s.text.find("already exists") != std::string::npos) return IDNO;
    return IDOK;
  });
  EXPECT_EQ(2, p.Wait(60000)) << "cancelled";
  EXPECT_EQ("mine", ReadTextFile(dir + "\\deflated.txt"));
  EXPECT_EQ(ReadTextFile(src + "\\sub\\stored.txt"), ReadTextFile(dir + "\\sub\\stored.txt"));
  EXPECT_FALSE(FileExists(dir + "\\secret.txt"));
  std::vector<qltest::SeenDialog> seen = watcher.Seen();
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(std::string::npos, seen.back().text.find("Stopped.")) << seen.back().text;
  EXPECT_NE(std::string::npos, seen.back().text.find("deflated.txt: kept the existing file")) << seen.back().text;
}

// A name the ANSI code page cannot hold is never written as a look-alike: "π.txt" would become
// "p.txt" and land on the member of that name.
TEST_F(ZipProgramsTest, ANameTheCodePageCannotHoldIsNotWrittenAsALookAlike) {
  // python3's zipfile stores a name outside ASCII as UTF-8 with flag bit 11.
  ASSERT_TRUE(WriteTextFile(dir + "\\pi.py", "import zipfile\nz = zipfile.ZipFile('PI.ZIP', 'w')\n"
                                             "z.writestr('\\u03c0.txt', 'pi')\nz.writestr('p.txt', 'p')\nz.close()\n"));
  ASSERT_EQ(0, RunHost("cd '" + HostPath(dir) + "' && python3 pi.py", dir + "\\python.status"));
  ASSERT_EQ(0u, RunConsole(dir, "ZIP2EXE.EXE", "PI.ZIP").code);
  qltest::Process p;
  ASSERT_TRUE(p.Start(dir + "\\PI.EXE", "out", dir));
  qltest::DialogWatcher watcher(p.id, qltest::DialogWatcher::kAnyThread,
                                [&](HWND, const qltest::SeenDialog&) { return IDOK; });
  EXPECT_EQ(1, p.Wait(60000));
  EXPECT_EQ("p", ReadTextFile(dir + "\\out\\p.txt")) << "the look-alike landed on p.txt";
  std::vector<qltest::SeenDialog> seen = watcher.Seen();
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(std::string::npos, seen.back().text.find("code page cannot hold")) << seen.back().text;
}

// Members packed by 7z. ZIP2EXE names the first method the stub cannot unpack; behind the stub
// all the same, Deflate64 and stored members are unpacked, the others are named by their method
// in the report, and the rest still unpack.
TEST_F(ZipProgramsTest, DeflateSixtyFourUnpacksAndOtherMethodsAreNamed) {
  const std::string fixture = FromUnix("Z:" QL_SOURCE_DIR "/archivers/zip/tests/fixtures/new_methods.zip");
  ASSERT_TRUE(CopyFileA(fixture.c_str(), (dir + "\\NEW.ZIP").c_str(), FALSE));
  Output refused = RunConsole(dir, "ZIP2EXE.EXE", "NEW.ZIP");
  EXPECT_NE(0u, refused.code);
  EXPECT_NE(std::string::npos, refused.text.find("bzip2.txt is packed with method 12")) << refused.text;
  ASSERT_TRUE(WriteTextFile(dir + "\\NEW.EXE", ReadTextFile(ProgramDir() + "\\ZIPSFX.EXE") + ReadTextFile(dir + "\\NEW.ZIP")));
  qltest::Process p;
  ASSERT_TRUE(p.Start(dir + "\\NEW.EXE", "out", dir));
  qltest::DialogWatcher watcher(p.id, qltest::DialogWatcher::kAnyThread,
                                [&](HWND, const qltest::SeenDialog&) { return IDOK; });
  EXPECT_EQ(1, p.Wait(60000));
  const std::string stored = ReadTextFile(dir + "\\out\\stored.txt");
  ASSERT_EQ(0u, stored.find("stored\n"));
  EXPECT_EQ("deflate64\n" + stored.substr(7), ReadTextFile(dir + "\\out\\deflate64.txt"));
  for (const char* left : {"bzip2.txt", "lzma_marker.txt", "lzma_sized.txt", "ppmd.txt"})
    EXPECT_FALSE(FileExists(dir + "\\out\\" + left)) << left;
  std::vector<qltest::SeenDialog> seen = watcher.Seen();
  ASSERT_FALSE(seen.empty());
  for (const char* named : {"bzip2.txt: packed with bzip2 (method 12), which this self-extractor cannot unpack",
                            "lzma_sized.txt: packed with LZMA (method 14)", "ppmd.txt: packed with PPMd (method 98)"})
    EXPECT_NE(std::string::npos, seen.back().text.find(named)) << seen.back().text;
}

// WinZip AES members are left by the stub, each named as AES-encrypted, without a password prompt.
TEST_F(ZipProgramsTest, AesMembersAreNamedAndLeft) {
  const std::string fixture = FromUnix("Z:" QL_SOURCE_DIR "/archivers/zip/tests/fixtures/aes.zip");
  ASSERT_TRUE(WriteTextFile(dir + "\\AES.EXE", ReadTextFile(ProgramDir() + "\\ZIPSFX.EXE") + ReadTextFile(fixture)));
  qltest::Process p;
  ASSERT_TRUE(p.Start(dir + "\\AES.EXE", "out", dir));
  qltest::DialogWatcher watcher(p.id, qltest::DialogWatcher::kAnyThread,
                                [&](HWND, const qltest::SeenDialog&) { return IDOK; });
  EXPECT_EQ(1, p.Wait(60000));
  EXPECT_FALSE(FileExists(dir + "\\out\\aes128_deflate.txt"));
  std::vector<qltest::SeenDialog> seen = watcher.Seen();
  ASSERT_EQ(1u, seen.size()) << "one report, no password prompt";
  for (const char* named : {"aes128_deflate.txt: encrypted with WinZip AES (method 99)", "aes256_tiny.txt: encrypted"})
    EXPECT_NE(std::string::npos, seen.back().text.find(named)) << seen.back().text;
}

TEST_F(ZipProgramsTest, AnUnrelatedProgramIsNeverOverwritten) {
  // Our own self-extractor of FOO.ZIP is remade; any other FOO.EXE stays.
  ASSERT_EQ(0u, RunConsole(dir, "ZIP2EXE.EXE", "FOO.ZIP").code);
  EXPECT_EQ(0u, RunConsole(dir, "ZIP2EXE.EXE", "FOO.ZIP").code) << "ours is replaced";
  const std::string unrelated = ReadTextFile(ProgramDir() + "\\PKZIPFIX.EXE");
  ASSERT_TRUE(WriteTextFile(dir + "\\FOO.EXE", unrelated));
  Output r = RunConsole(dir, "ZIP2EXE.EXE", "FOO.ZIP");
  EXPECT_EQ(5u, r.code) << r.text;
  EXPECT_NE(std::string::npos, r.text.find("is not a self-extractor made from FOO.ZIP")) << r.text;
  EXPECT_TRUE(ReadTextFile(dir + "\\FOO.EXE") == unrelated);
  // Nor is the self-extractor of another archive.
  ASSERT_TRUE(CopyFileA((dir + "\\FOO.ZIP").c_str(), (dir + "\\BAR.ZIP").c_str(), FALSE));
  ASSERT_EQ(0u, RunConsole(dir, "ZIP2EXE.EXE", "BAR.ZIP").code);
  ASSERT_TRUE(CopyFileA((dir + "\\BAR.EXE").c_str(), (dir + "\\FOO.EXE").c_str(), FALSE));
  const std::string bars = ReadTextFile(dir + "\\FOO.EXE");
  EXPECT_EQ(5u, RunConsole(dir, "ZIP2EXE.EXE", "FOO.ZIP").code);
  EXPECT_TRUE(ReadTextFile(dir + "\\FOO.EXE") == bars);
}

TEST_F(ZipProgramsTest, PkzipfixRebuildsAnArchiveCutInsideItsCentralDirectory) {
  std::string zip = ReadTextFile(dir + "\\FOO.ZIP");
  const size_t cd = zip.find(std::string("PK\x01\x02", 4));
  ASSERT_NE(std::string::npos, cd);
  ASSERT_TRUE(WriteTextFile(dir + "\\CUT.ZIP", zip.substr(0, cd + 80)));
  CreateDirectoryA((dir + "\\fixed").c_str(), nullptr);
  Output r = RunConsole(dir, "PKZIPFIX.EXE", "CUT.ZIP " + dir + "\\fixed");
  EXPECT_EQ(0u, r.code) << r.text;
  EXPECT_EQ(zip.substr(0, cd + 80), ReadTextFile(dir + "\\CUT.ZIP")) << "the input is unchanged";
  EXPECT_EQ(0, UnzipTest(dir + "\\fixed\\PKFIXED.ZIP")) << r.text;

  // A member whose data fails its CRC is left out and named.
  std::string bad = zip;
  bad[bad.find("kept as it is")] = 'K';
  ASSERT_TRUE(WriteTextFile(dir + "\\BAD.ZIP", bad));
  r = RunConsole(dir, "PKZIPFIX.EXE", "BAD.ZIP " + dir + "\\BAD.ZIP");  // a file names its directory
  EXPECT_EQ(1u, r.code) << r.text;
  EXPECT_NE(std::string::npos, r.text.find("Left out: sub/stored.txt")) << r.text;
  EXPECT_NE(std::string::npos, r.text.find("CRC error")) << r.text;
  EXPECT_EQ(0, UnzipTest(dir + "\\PKFIXED.ZIP"));
  EXPECT_TRUE(ReadTextFile(dir + "\\BAD.ZIP") == bad);
}

TEST(ZipSfxStub, ShortEnoughAndWithoutSignatures) {
  const std::string stub = ReadTextFile(ProgramDir() + "\\ZIPSFX.EXE");
  ASSERT_FALSE(stub.empty());
  EXPECT_LT(stub.size(), qlsfx::kStubLimit);
  EXPECT_EQ("", qlsfx::StubProblem(reinterpret_cast<const uint8_t*>(stub.data()), stub.size()));
}

}  // namespace
