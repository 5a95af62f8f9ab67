// ARJ.EXE under Wine, driven by the command texts Quillon builds for its ARJ operations:
// adds from the list file with every fragment, extracts, tests, view, delete, comments,
// convert, self-extracting, repair, join, rename, run from archive, virus scan; and the
// self-extractor module those self-extracting archives carry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/arj/arj_archive.h"
#include "archivers/arj/tests/win_test_util.h"

namespace {

using wintest::ProgramDir;
using wintest::Read;
using wintest::Write;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Text(int n, int seed) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "line " + std::to_string(i * seed % 1000) + " of the sample\r\n";
  return s;
}

struct Result {
  DWORD code = 99;
  std::string output;
};

// Runs `command` (a complete command line) in `dir` with `input` as its standard input.
Result RunIn(const std::string& dir, const std::string& command, const std::string& input = "") {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  // Per process: ctest runs the tests of this file side by side, sharing the prefix's temp directory.
  const std::string stem = std::string(tmp) + "arjtest" + std::to_string(GetCurrentProcessId());
  const std::string in_path = stem + ".in", out_path = stem + ".out";
  Write(in_path, input);
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE in = CreateFileA(in_path.c_str(), GENERIC_READ, FILE_SHARE_READ, &sa, OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateFileA(out_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi = {};
  std::vector<char> cmd(command.begin(), command.end());
  cmd.push_back(0);
  Result r;
  if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &r.code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(in);
  CloseHandle(out);
  r.output = Read(out_path);
  DeleteFileA(in_path.c_str());
  DeleteFileA(out_path.c_str());
  return r;
}

std::vector<std::string> Names(const std::string& archive) {
  std::vector<std::string> names;
  auto src = arj::FileSource::Open(archive);
  if (!src) return names;
  arj::ArchiveReader r(src.get());
  if (r.Open() != arj::ReadStatus::kOk) return names;
  arj::Entry e;
  while (r.Next(&e) == arj::ReadStatus::kOk) names.push_back(e.h.name);
  return names;
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
  for (const auto& x : v)
    if (x == s) return true;
  return false;
}

class ArjCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root_ = std::string(tmp) + "arjcmd" + std::to_string(GetCurrentProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    work_ = root_ + "\\QL5TEMP";
    src_ = root_ + "\\src";
    arj_ = ProgramDir() + "\\ARJ";
    for (const std::string& d : {root_, work_, src_, src_ + "\\sub", root_ + "\\target"})
      CreateDirectoryA(d.c_str(), nullptr);
    Write(src_ + "\\readme.txt", Text(3000, 7));
    Write(src_ + "\\data.bin", std::string(5000, '\x01') + Text(10, 3));
    Write(src_ + "\\sub\\note.txt", "a note\r\n");
  }
  void TearDown() override { RunIn(root_ + "\\..", "cmd /c rmdir /s /q \"" + root_ + "\""); }
  void List(const std::string& lines) { Write(work_ + "\\ql5files", lines); }
  std::string ListRef() const { return work_ + "\\ql5files"; }
  std::string WorkFrag() const { return " -w" + work_ + "\\"; }

  std::string root_, work_, src_, arj_;
};

// Add dropped files (full names in the list), every fragment in the standard order, then
// extract, test and delete as the archive window does.
TEST_F(ArjCommands, AddExtractTestDeleteFromTheWindow) {
  const std::string arc = root_ + "\\BOOK.ARJ";
  List(src_ + "\\readme.txt\r\n" + src_ + "\\data.bin\r\n" + src_ + "\\sub\\*.*\r\n");
  Result r = RunIn(root_, arj_ + " A " + arc + " -a -r -e -s -m1 -jm -k -va" + WorkFrag() +
                              " -gsecret !" + ListRef());
  ASSERT_EQ(r.code, 0u) << r.output;
  auto names = Names(arc);
  EXPECT_TRUE(Has(names, "readme.txt")) << r.output;
  EXPECT_TRUE(Has(names, "note.txt")) << r.output;
  EXPECT_EQ(names.size(), 3u);
  // E1: extract members (restore_subdirs off), overwrite all, password.
  List("readme.txt\r\nnote.txt\r\n");
  std::string target = root_ + "\\target";
  r = RunIn(target, arj_ + "  E  " + arc + " -jyo -gsecret  !" + ListRef());
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(target + "\\readme.txt"), Text(3000, 7));
  EXPECT_EQ(Read(target + "\\note.txt"), "a note\r\n");
  EXPECT_FALSE(Exists(target + "\\data.bin"));
  // T1 from the window and from Express (with the add fragments it carries).
  r = RunIn(root_, arj_ + " T " + arc + " -va" + WorkFrag() + " -gsecret");
  EXPECT_EQ(r.code, 0u) << r.output;
  r = RunIn(root_, arj_ + " T " + arc + " -a -r -e -s1 -m1 -jm -k -va" + WorkFrag() + " -gsecret");
  EXPECT_EQ(r.code, 0u) << r.output;
  r = RunIn(root_, arj_ + " T " + arc + " -va" + WorkFrag() + " -gwrong");
  EXPECT_EQ(r.code, 3u) << r.output;
  // Delete (archive window): list, work directory, password, backup.
  List("data.bin\r\n");
  r = RunIn(root_, arj_ + " D " + arc + " !" + ListRef() + WorkFrag() + " -gsecret -k");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_FALSE(Has(Names(arc), "data.bin"));
  EXPECT_TRUE(Has(Names(root_ + "\\BOOK.BAK"), "data.bin"));
  // Express delete with the add fragments.
  List("note.txt\r\n");
  r = RunIn(root_, arj_ + " D " + arc + " !" + ListRef() + " -a -r -e -s1 -m2 -k" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Names(arc), std::vector<std::string>{"readme.txt"});
}

// Drop add from a list box (current directory = source, relative names), drop extract with
// paths, Express extract to a named target, view one member, freshen.
TEST_F(ArjCommands, DropAddExpressExtractViewFreshen) {
  const std::string arc = root_ + "\\DROP.ARJ";
  List("readme.txt\r\nsub\\*.*\r\n");
  Result r = RunIn(src_, arj_ + " A " + arc + " !" + ListRef() + " -r -e1" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  EXPECT_TRUE(Has(Names(arc), "sub/note.txt")) << r.output;
  // E4 with a target window and restore_subdirs on.
  List("sub\\note.txt\r\n");
  std::string t1 = root_ + "\\target";
  r = RunIn(t1, arj_ + " X " + arc + " !" + ListRef() + " -jyo -f -p1" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_FALSE(Exists(t1 + "\\sub\\note.txt"));  // -f: only files that exist
  r = RunIn(t1, arj_ + " X " + arc + " !" + ListRef() + " -jyo -p1" + WorkFrag());
  EXPECT_EQ(Read(t1 + "\\sub\\note.txt"), "a note\r\n");
  // E5: Express extract of everything to a target named after the list.
  List("*.*\r\n");
  std::string t2 = root_ + "\\express";
  r = RunIn(root_, arj_ + " X " + arc + " !" + ListRef() + " " + t2 + "\\ -jyo" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(t2 + "\\readme.txt"), Text(3000, 7));
  EXPECT_EQ(Read(t2 + "\\sub\\note.txt"), "a note\r\n");
  // V1: view a member into the work directory.
  r = RunIn(work_, arj_ + " E " + arc + " sub\\note.txt " + work_ + "\\ -jyo -p");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(work_ + "\\note.txt"), "a note\r\n");
  // A5: freshen with nothing newer changes nothing; a newer file is taken.
  r = RunIn(src_, arj_ + " F " + arc + " -r -e1 -s" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  Write(src_ + "\\readme.txt", "changed");
  HANDLE h = CreateFileA((src_ + "\\readme.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
  u.QuadPart += 3600ULL * 10000000ULL;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
  r = RunIn(src_, arj_ + " U " + arc + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  r = RunIn(work_, arj_ + " E " + arc + " readme.txt " + work_ + "\\ -jyo -p");
  EXPECT_EQ(Read(work_ + "\\readme.txt"), "changed");
}

// Comments (the user types at the console), rename, join.
TEST_F(ArjCommands, CommentsRenameJoin) {
  const std::string arc = root_ + "\\C.ARJ";
  Result r = RunIn(src_, arj_ + " A " + arc + " readme.txt data.bin" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  r = RunIn(root_, arj_ + " C -z " + arc + " -s1 -k" + WorkFrag(), "Title line\r\n\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  {
    auto src = arj::FileSource::Open(arc);
    arj::ArchiveReader rd(src.get());
    ASSERT_EQ(rd.Open(), arj::ReadStatus::kOk);
    EXPECT_EQ(rd.main().comment, "Title line\n");
  }
  List("readme.txt\r\n");
  r = RunIn(root_, arj_ + " C -jz " + arc + " -s" + WorkFrag() + " !" + ListRef(), "About it\r\n\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  // N: one new name per selected entry.
  List("readme.txt\r\ndata.bin\r\n");
  r = RunIn(root_, arj_ + " N " + arc + " -s1 -k -va" + WorkFrag() + " !" + ListRef(),
            "docs\\read.me\r\n\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  auto names = Names(arc);
  EXPECT_TRUE(Has(names, "docs/read.me")) << r.output;
  EXPECT_TRUE(Has(names, "data.bin"));
  // J: BOOK.ARJ and BOOK.A01 selected, only BOOK.ARJ listed.
  const std::string other = root_ + "\\OTHER.ARJ";
  r = RunIn(src_, arj_ + " A " + other + " sub\\note.txt" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  List(arc + "\r\n" + other + "\r\n");
  r = RunIn(root_, arj_ + " J JOINED -va !" + ListRef());
  EXPECT_EQ(r.code, 0u) << r.output;
  names = Names(root_ + "\\JOINED.ARJ");
  EXPECT_EQ(names.size(), 3u) << r.output;
  EXPECT_TRUE(Has(names, "sub/note.txt"));
}

// Convert into ARJ (moving pack of a scratch directory), self-extracting, repair, run from an
// archive and the virus scan extraction.
TEST_F(ArjCommands, ConvertSfxRepairRunScan) {
  const std::string scratch = work_ + "\\tmp41720";
  CreateDirectoryA(scratch.c_str(), nullptr);
  Write(scratch + "\\one.txt", Text(200, 1));
  Write(scratch + "\\prog.exe", "MZ fake program");
  Write(scratch + "\\helper.dll", "a library");
  const std::string arc = root_ + "\\CONV.ARJ";
  Result r = RunIn(scratch, arj_ + " M -e " + arc + " -m2 -a -s" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Names(arc).size(), 3u);
  EXPECT_FALSE(Exists(scratch + "\\one.txt"));
  // Self-extracting: ARJ F <archive> ... -r -je -s1 -k -w
  r = RunIn(root_, arj_ + " F " + arc + " ... -r -je -s1 -k" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << r.output;
  ASSERT_TRUE(Exists(root_ + "\\CONV.EXE")) << r.output;
  const std::string unpack = root_ + "\\unpack";
  CreateDirectoryA(unpack.c_str(), nullptr);
  r = RunIn(unpack, root_ + "\\CONV.EXE -y");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(unpack + "\\one.txt"), Text(200, 1));
  // Repair: e -jr gets out what a damaged archive still holds.
  std::string bytes = Read(arc);
  size_t at = bytes.find("helper.dll");
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 'X';
  Write(root_ + "\\BROKEN.ARJ", bytes);
  const std::string rep = root_ + "\\repair";
  CreateDirectoryA(rep.c_str(), nullptr);
  r = RunIn(rep, arj_ + " e " + root_ + "\\BROKEN.ARJ -jr -s -va" + WorkFrag());
  EXPECT_EQ(Read(rep + "\\one.txt"), Text(200, 1)) << r.output;
  EXPECT_TRUE(Exists(rep + "\\prog.exe"));
  // Run from archive: the program and its companions into the work directory.
  r = RunIn(work_, arj_ + " E " + arc + " prog.exe *.DLL *.OVL -jyo");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_TRUE(Exists(work_ + "\\prog.exe"));
  EXPECT_TRUE(Exists(work_ + "\\helper.dll"));
  EXPECT_FALSE(Exists(work_ + "\\one.txt"));
  // Virus scan: everything, no paths, into the work directory.
  r = RunIn(work_, arj_ + " E " + arc + " -jyo");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_TRUE(Exists(work_ + "\\one.txt"));
}

// Built by hand: members that try to climb out or name devices, and one good member ok.txt.
void WriteClimbingArchive(const std::string& arc) {
  FILE* f = fopen(arc.c_str(), "wb");
  arj::ArchiveWriter w(f);
  arj::Header m;
  m.file_type = arj::kMainHeader;
  m.name = "EVIL.ARJ";
  w.WriteMain(m);
  for (const char* n : {"..\\up.txt", "C:\\rooted.txt", "\\\\server\\share\\x.txt", "sub/../../up2.txt", "NUL", "ok.txt"}) {
    arj::Header h;
    h.name = n;
    std::string data = "x";
    size_t pos = 0;
    arj::ReadFn in = [&](uint8_t* b, size_t k) {
      k = std::min(k, data.size() - pos);
      memcpy(b, data.data() + pos, k);
      pos += k;
      return k;
    };
    arj::EncodeOptions o;
    w.AddData(h, 1, in, [&] { pos = 0; return true; }, o, "", nullptr);
  }
  w.Finish();
  fclose(f);
}

TEST_F(ArjCommands, RefusesNamesThatLeaveTheTarget) {
  const std::string arc = root_ + "\\EVIL.ARJ";
  WriteClimbingArchive(arc);
  const std::string t = root_ + "\\target\\inner";
  CreateDirectoryA(t.c_str(), nullptr);
  Result r = RunIn(t, arj_ + " X " + arc + " -jyo");
  EXPECT_EQ(r.code, 1u) << r.output;
  EXPECT_TRUE(Exists(t + "\\ok.txt"));
  EXPECT_FALSE(Exists(root_ + "\\target\\up.txt"));
  EXPECT_FALSE(Exists(root_ + "\\target\\up2.txt"));
  EXPECT_FALSE(Exists("C:\\rooted.txt"));
}

int64_t WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA ad;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &ad)) return -1;
  ULARGE_INTEGER u = {{ad.ftLastWriteTime.dwLowDateTime, ad.ftLastWriteTime.dwHighDateTime}};
  return static_cast<int64_t>(u.QuadPart / 10000000ULL);
}

// The self-extractor module: every method, directories, a target directory, the overwrite
// question answered by end of input, -y, and the files' times.
TEST_F(ArjCommands, SelfExtractorUnpacksEveryMethodIntoATarget) {
  const std::string arc = root_ + "\\ALL.ARJ";
  CreateDirectoryA((src_ + "\\empty").c_str(), nullptr);
  Result r = RunIn(src_, arj_ + " A " + arc + " -r -a1 -m1" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  for (int m : {0, 2, 3, 4}) {
    const std::string name = "m" + std::to_string(m) + ".txt";
    Write(src_ + "\\" + name, Text(3000, m + 2));
    r = RunIn(src_, arj_ + " A " + arc + " " + name + " -m" + std::to_string(m) + WorkFrag());
    ASSERT_EQ(r.code, 0u) << r.output;
  }
  r = RunIn(root_, arj_ + " F " + arc + " -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  const std::string exe = root_ + "\\ALL.EXE";
  ASSERT_TRUE(Exists(exe)) << r.output;

  const std::string out = root_ + "\\out";
  r = RunIn(root_, exe + " out\\");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_NE(r.output.find("All files OK"), std::string::npos) << r.output;
  EXPECT_EQ(Read(out + "\\readme.txt"), Text(3000, 7));
  EXPECT_EQ(Read(out + "\\data.bin"), std::string(5000, '\x01') + Text(10, 3));
  EXPECT_EQ(Read(out + "\\sub\\note.txt"), "a note\r\n");
  for (int m : {0, 2, 3, 4})
    EXPECT_EQ(Read(out + "\\m" + std::to_string(m) + ".txt"), Text(3000, m + 2)) << m;
  DWORD empty = GetFileAttributesA((out + "\\empty").c_str());
  EXPECT_TRUE(empty != INVALID_FILE_ATTRIBUTES && (empty & FILE_ATTRIBUTE_DIRECTORY));
  // DOS times keep even seconds.
  EXPECT_LE(std::abs(WriteTime(out + "\\readme.txt") - WriteTime(src_ + "\\readme.txt")), 2);

  // Existing files: no answer (end of input) keeps them, with a warning; -y replaces them.
  Write(out + "\\readme.txt", "mine");
  r = RunIn(root_, exe + " out\\");
  EXPECT_EQ(r.code, 1u) << r.output;
  EXPECT_NE(r.output.find("readme.txt exists. Overwrite?"), std::string::npos) << r.output;
  EXPECT_EQ(Read(out + "\\readme.txt"), "mine");
  r = RunIn(root_, exe + " -y out\\");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(out + "\\readme.txt"), Text(3000, 7));
}

// -je replaces only its own self-extractor of the same archive; any other program of the name
// stays, and the command says so and fails.
TEST_F(ArjCommands, SelfExtractingNeverOverwritesAnUnrelatedProgram) {
  const std::string arc = root_ + "\\KEEP.ARJ";
  Result r = RunIn(src_, arj_ + " A " + arc + " readme.txt -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  const std::string exe = root_ + "\\KEEP.EXE";
  ASSERT_TRUE(Exists(exe));
  r = RunIn(src_, arj_ + " A " + arc + " data.bin -je" + WorkFrag());
  EXPECT_EQ(r.code, 0u) << "our own self-extractor of KEEP.ARJ is remade\n" << r.output;
  EXPECT_NE(Read(exe).find("data.bin"), std::string::npos);

  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"another program", Read(ProgramDir() + "\\ARJ.EXE")},
      {"not a program", "just some text"},
      {"the self-extractor of another archive", ""},
  };
  r = RunIn(src_, arj_ + " A " + root_ + "\\OTHER.ARJ readme.txt -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  cases[2].bytes = Read(root_ + "\\OTHER.EXE");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write(exe, c.bytes);
    r = RunIn(src_, arj_ + " F " + arc + " -je" + WorkFrag());
    EXPECT_NE(r.code, 0u) << r.output;
    EXPECT_NE(r.output.find("KEEP.EXE already exists and is not a self-extractor made from"), std::string::npos)
        << r.output;
    EXPECT_TRUE(Read(exe) == c.bytes);
    EXPECT_FALSE(Exists(exe + ".$$$"));
  }
}

// The self-extractor module with a garbled archive, names that climb out, and a bad switch.
TEST_F(ArjCommands, SelfExtractorPasswordsAndUnsafeNames) {
  Result r = RunIn(src_, arj_ + " A " + root_ + "\\LOCK.ARJ readme.txt -gsecret -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  const std::string exe = root_ + "\\LOCK.EXE";
  ASSERT_TRUE(Exists(exe)) << r.output;
  const std::string u1 = root_ + "\\u1", u2 = root_ + "\\u2", u3 = root_ + "\\u3", u4 = root_ + "\\u4";
  for (const std::string& d : {u1, u2, u3, u4}) CreateDirectoryA(d.c_str(), nullptr);
  r = RunIn(u1, exe + " -gsecret");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(u1 + "\\readme.txt"), Text(3000, 7));
  r = RunIn(u2, exe + " -g?", "secret\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_NE(r.output.find("Enter password: "), std::string::npos) << r.output;
  EXPECT_EQ(Read(u2 + "\\readme.txt"), Text(3000, 7));
  // A wrong password shows as a CRC error and leaves nothing behind; none at all is a warning.
  r = RunIn(u3, exe + " -gwrong");
  EXPECT_EQ(r.code, 3u) << r.output;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((u3 + "\\*.*").c_str(), &fd);
  int files = 0;
  if (h != INVALID_HANDLE_VALUE) {
    do files += (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  EXPECT_EQ(files, 0) << r.output;
  r = RunIn(u4, exe);
  EXPECT_EQ(r.code, 1u) << r.output;
  EXPECT_FALSE(Exists(u4 + "\\readme.txt"));
  r = RunIn(u4, exe + " -x*.txt");
  EXPECT_EQ(r.code, 7u) << r.output;

  const std::string evil = root_ + "\\EVIL.ARJ";
  WriteClimbingArchive(evil);
  Write(root_ + "\\EVIL.EXE", Read(ProgramDir() + "\\ARJSFX.EXE") + Read(evil));
  const std::string t = root_ + "\\target\\inner";
  CreateDirectoryA(t.c_str(), nullptr);
  r = RunIn(t, root_ + "\\EVIL.EXE -y");
  EXPECT_EQ(r.code, 1u) << r.output;
  EXPECT_EQ(Read(t + "\\ok.txt"), "x");
  EXPECT_FALSE(Exists(root_ + "\\target\\up.txt"));
  EXPECT_FALSE(Exists(root_ + "\\target\\up2.txt"));
  EXPECT_FALSE(Exists("C:\\rooted.txt"));
}

void SetWriteTime(const std::string& path, int64_t unix_seconds) {
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ULARGE_INTEGER u;
  u.QuadPart = static_cast<ULONGLONG>(unix_seconds + 11644473600LL) * 10000000ULL;
  FILETIME ft = {u.LowPart, u.HighPart};
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

int Count(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// The self-extractor module's overwrite question (No, Yes, a letter that is no answer, All,
// Skip all, Quit), -n, -u and -f against older and newer files, and -jr keeping damaged data.
TEST_F(ArjCommands, SelfExtractorAnswersTheOverwriteQuestion) {
  Result r = RunIn(src_, arj_ + " A " + root_ + "\\ANS.ARJ readme.txt data.bin -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  const std::string exe = root_ + "\\ANS.EXE";
  ASSERT_TRUE(Exists(exe)) << r.output;
  const std::string readme = root_ + "\\out\\readme.txt", data = root_ + "\\out\\data.bin";
  const std::string readme_text = Text(3000, 7), data_text = std::string(5000, '\x01') + Text(10, 3);
  const std::string question = " exists. Overwrite? (Yes/No/All/Skip all/Quit) ";
  r = RunIn(root_, exe + " out\\");
  ASSERT_EQ(r.code, 0u) << r.output;
  auto mine = [&] {
    Write(readme, "mine");
    Write(data, "mine");
  };

  // No keeps the first file, Yes replaces the second; a No is a warning.
  mine();
  r = RunIn(root_, exe + " out\\", "n\r\ny\r\n");
  EXPECT_EQ(r.code, 1u) << r.output;
  EXPECT_NE(r.output.find("out\\readme.txt" + question), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("out\\data.bin" + question + "Extracting data.bin"), std::string::npos)
      << r.output;
  EXPECT_EQ(Read(readme), "mine");
  EXPECT_EQ(Read(data), data_text);
  // A letter that is no answer asks again; All answers for the files after it too.
  mine();
  r = RunIn(root_, exe + " out\\", "x\r\n  a\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Count(r.output, "out\\readme.txt" + question), 2) << r.output;
  EXPECT_EQ(Count(r.output, question), 2) << r.output;
  EXPECT_NE(r.output.find("All files OK"), std::string::npos) << r.output;
  EXPECT_EQ(Read(readme), readme_text);
  EXPECT_EQ(Read(data), data_text);
  // Skip all keeps every file without asking again; Quit stops at once. Both are warnings.
  for (const char* answer : {"s\r\n", "Q\r\n"}) {
    mine();
    r = RunIn(root_, exe + " out\\", answer);
    EXPECT_EQ(r.code, 1u) << answer << r.output;
    EXPECT_EQ(Count(r.output, question), 1) << answer << r.output;
    EXPECT_EQ(r.output.find("Extracting"), std::string::npos) << answer << r.output;
    EXPECT_EQ(Read(readme), "mine") << answer;
    EXPECT_EQ(Read(data), "mine") << answer;
  }

  // -n leaves what exists; -u and -f replace only what is older than the entry, unasked with -y;
  // -f makes nothing new.
  r = RunIn(root_, exe + " -n out\\");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Count(r.output, question), 0) << r.output;
  EXPECT_EQ(Read(readme), "mine");
  EXPECT_EQ(Read(data), "mine");
  SetWriteTime(readme, 1900000000);  // 2030
  SetWriteTime(data, 946684800);     // 2000
  r = RunIn(root_, exe + " -u -y out\\");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Read(readme), "mine");
  EXPECT_EQ(Read(data), data_text);
  DeleteFileA(readme.c_str());
  Write(data, "mine");
  SetWriteTime(data, 946684800);
  r = RunIn(root_, exe + " -f out\\", "y\r\n");
  EXPECT_EQ(r.code, 0u) << r.output;
  EXPECT_EQ(Count(r.output, question), 1) << r.output;
  EXPECT_FALSE(Exists(readme));
  EXPECT_EQ(Read(data), data_text);

  // A wrong password is a CRC error; -jr keeps what came out, and says so.
  r = RunIn(src_, arj_ + " A " + root_ + "\\JR.ARJ readme.txt -gsecret -je" + WorkFrag());
  ASSERT_EQ(r.code, 0u) << r.output;
  r = RunIn(root_, root_ + "\\JR.EXE -gwrong -jr jr\\");
  EXPECT_EQ(r.code, 3u) << r.output;
  EXPECT_NE(r.output.find("readme.txt                               CRC error!"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("Keeping the damaged data of jr\\readme.txt (-jr)"), std::string::npos)
      << r.output;
  EXPECT_TRUE(Exists(root_ + "\\jr\\readme.txt"));
}

}  // namespace
