// The native archiver program (arj-ql) run as a user would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstring>

#include "archivers/arj/arj_archive.h"
#include "archivers/arj/arj_block.h"
#include "archivers/arj/arj_fs.h"
#include "archivers/arj/tests/test_util.h"

namespace arjtest {
namespace {

std::string Q(const std::string& s) { return "'" + s + "'"; }

RunResult Arj(const std::string& dir, const std::string& args, const std::string& input = "") {
  return arjtest::Run(dir, Q(OurArj()) + " " + args, input);
}

void SetMtime(const std::string& path, time_t t) {
  struct utimbuf u = {t, t};
  utime(path.c_str(), &u);
}

time_t Mtime(const std::string& path) {
  struct stat st;
  stat(path.c_str(), &st);
  return st.st_mtime;
}

// A small tree: text, incompressible bytes, an empty file, a nested directory.
void MakeTree(const std::string& root) {
  WriteFile(root + "/readme.txt", TextData(40000, 1));
  WriteFile(root + "/noise.bin", RandomData(30000, 2));
  WriteFile(root + "/empty.dat", "");
  WriteFile(root + "/sub/deeper/deep.txt", TextData(70000, 3));
  WriteFile(root + "/sub/note.txt", "a short note\n");
}

std::vector<std::string> Names(const std::string& archive) {
  auto src = arj::FileSource::Open(archive);
  std::vector<std::string> names;
  if (!src) return names;
  arj::ArchiveReader r(src.get());
  if (r.Open() != arj::ReadStatus::kOk) return names;
  arj::Entry e;
  while (r.Next(&e) == arj::ReadStatus::kOk) names.push_back(e.h.name);
  return names;
}

arj::Header MainOf(const std::string& archive) {
  auto src = arj::FileSource::Open(archive);
  arj::ArchiveReader r(src.get());
  r.Open();
  return r.main();
}

TEST(ArjProgram, AddsAndExtractsWithEverySwitchSet) {
  struct Case {
    const char* add;
    bool flat;  // names stored without paths
  } cases[] = {{"-r", false}, {"-r -m0", false}, {"-r -m2", false}, {"-r -m3", false},
               {"-r -m4", false}, {"-r -m1 -jm", false}, {"-r -e", true}};
  for (const Case& c : cases) {
    ScratchDir d;
    MakeTree(d / "src");
    RunResult r = Arj(d / "src", std::string("a ") + c.add + " ../t.arj");
    ASSERT_EQ(r.code, 0) << c.add << r.output;
    r = Arj(d.path(), "t t.arj");
    EXPECT_EQ(r.code, 0) << c.add << r.output;
    r = Arj(d.path(), "x t.arj out/");
    ASSERT_EQ(r.code, 0) << c.add << r.output;
    if (c.flat) {
      EXPECT_EQ(ReadFile(d / "out/deep.txt"), TextData(70000, 3));
      EXPECT_FALSE(Exists(d / "out/sub"));
    } else {
      EXPECT_EQ(CompareTrees(d / "src", d / "out"), "") << c.add;
    }
  }
}

TEST(ArjProgram, PathStorageFollowsTheSwitches) {
  ScratchDir d;
  MakeTree(d / "src");
  ASSERT_EQ(Arj(d.path(), "a -r full.arj src").code, 0);
  EXPECT_EQ(Names(d / "full.arj").back(), "src/sub/note.txt");
  ASSERT_EQ(Arj(d.path(), "a -r -e1 rel.arj 'src/*.*'").code, 0);
  auto rel = Names(d / "rel.arj");
  EXPECT_NE(std::find(rel.begin(), rel.end(), "src/sub/deeper/deep.txt"), rel.end());
  // With a base directory argument, names start below it.
  ASSERT_EQ(Arj(d.path(), "a -r base.arj src/ sub/*.*").code, 0);
  EXPECT_EQ(Names(d / "base.arj").back(), "sub/note.txt");
  ASSERT_EQ(Arj(d.path(), "a -r -e none.arj src").code, 0);
  auto none = Names(d / "none.arj");
  EXPECT_NE(std::find(none.begin(), none.end(), "deep.txt"), none.end());
  // Absolute names lose their root; E drops paths, X keeps them.
  ASSERT_EQ(Arj(d.path(), "a abs.arj " + Q(d / "src/sub/note.txt")).code, 0);
  std::string stored = Names(d / "abs.arj")[0];
  EXPECT_NE(stored[0], '/');
  EXPECT_EQ(Arj(d.path(), "e full.arj e/ src/sub/note.txt").code, 0);
  EXPECT_TRUE(Exists(d / "e/note.txt"));
  EXPECT_EQ(Arj(d.path(), "x full.arj x/ 'src\\sub\\note.txt'").code, 0);
  EXPECT_TRUE(Exists(d / "x/src/sub/note.txt"));
  EXPECT_FALSE(Exists(d / "x/src/readme.txt"));
}

// Hostile names are refused; nothing lands outside the target.
TEST(ArjProgram, NeverWritesOutsideTheTarget) {
  ScratchDir d;
  FILE* f = fopen((d / "evil.arj").c_str(), "wb");
  arj::ArchiveWriter w(f);
  arj::Header m;
  m.file_type = arj::kMainHeader;
  m.name = "evil.arj";
  w.WriteMain(m);
  const char* names[] = {"../escape.txt", "/tmp/abs-escape.txt", "C:\\drive.txt",
                         "sub/../../up.txt", "sub\\..\\..\\win.txt", "CON", "aux.txt",
                         "stream.txt:ads", "ok.txt"};
  for (const char* n : names) {
    arj::Header h;
    h.name = n;
    std::string data = std::string("payload of ") + n;
    size_t pos = 0;
    arj::ReadFn in = [&](uint8_t* b, size_t k) {
      k = std::min(k, data.size() - pos);
      memcpy(b, data.data() + pos, k);
      pos += k;
      return k;
    };
    arj::EncodeOptions o;
    ASSERT_TRUE(w.AddData(h, data.size(), in, [&] { pos = 0; return true; }, o, "", nullptr));
  }
  w.Finish();
  fclose(f);
  MakeDirs(d / "target/inner");
  RunResult r = Arj(d / "target/inner", "x ../../evil.arj -jyo");
  EXPECT_EQ(r.code, 1) << r.output;
  EXPECT_EQ(ReadFile(d / "target/inner/ok.txt"), "payload of ok.txt");
  EXPECT_FALSE(Exists(d / "target/escape.txt"));
  EXPECT_FALSE(Exists(d / "escape.txt"));
  EXPECT_FALSE(Exists(d / "up.txt"));
  EXPECT_FALSE(Exists("/tmp/abs-escape.txt"));
  EXPECT_FALSE(Exists(d / "target/inner/CON"));
  EXPECT_FALSE(Exists(d / "target/inner/aux.txt"));
  // Only the good file and no leftovers.
  EXPECT_EQ(arjtest::Run(d / "target/inner", "ls -A").output, "ok.txt\n");
  // E drops the paths: what is left of each name lands inside the target; devices and
  // streams are still refused.
  r = Arj(d / "target/inner", "e ../../evil.arj flat/ -jyo");
  EXPECT_EQ(r.code, 1) << r.output;
  EXPECT_EQ(arjtest::Run(d / "target/inner/flat", "ls -A").output,
            "abs-escape.txt\ndrive.txt\nescape.txt\nok.txt\nup.txt\nwin.txt\n");
  EXPECT_EQ(arjtest::Run(d / "target", "ls -A").output, "inner\n");
}

TEST(ArjProgram, CrcErrorsRemoveThePartialOutput) {
  ScratchDir d;
  WriteFile(d / "data.txt", TextData(50000, 7));
  ASSERT_EQ(Arj(d.path(), "a -m1 t.arj data.txt").code, 0);
  std::string arc = ReadFile(d / "t.arj");
  arc[arc.size() - 300] ^= 0x20;  // inside the compressed data
  WriteFile(d / "bad.arj", arc);
  WriteFile(d / "out/data.txt", "the old file");
  RunResult r = Arj(d.path(), "e bad.arj out/ -jyo");
  EXPECT_EQ(r.code, 3) << r.output;
  EXPECT_EQ(ReadFile(d / "out/data.txt"), "the old file");
  EXPECT_EQ(arjtest::Run(d / "out", "ls -A").output, "data.txt\n");
  EXPECT_EQ(Arj(d.path(), "t bad.arj").code, 3);
  // -jr recovers what it can: the damaged data is kept.
  r = Arj(d.path(), "e bad.arj rec/ -jr");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(ReadFile(d / "rec/data.txt").size(), 50000u);
}

TEST(ArjProgram, RecoverStepsOverADamagedHeader) {
  ScratchDir d;
  WriteFile(d / "a.txt", "first");
  WriteFile(d / "b.txt", "second");
  WriteFile(d / "c.txt", "third");
  ASSERT_EQ(Arj(d.path(), "a t.arj a.txt b.txt c.txt").code, 0);
  std::string arc = ReadFile(d / "t.arj");
  size_t b = arc.find("b.txt");
  arc[b] = 'X';  // header CRC now wrong
  WriteFile(d / "bad.arj", arc);
  EXPECT_EQ(Arj(d.path(), "x bad.arj o1/").code, 3);
  RunResult r = Arj(d.path(), "e bad.arj o2/ -jr");
  EXPECT_EQ(ReadFile(d / "o2/a.txt"), "first");
  EXPECT_EQ(ReadFile(d / "o2/c.txt"), "third");
  EXPECT_FALSE(Exists(d / "o2/b.txt"));
}

TEST(ArjProgram, GarbleNeedsTheRightPassword) {
  ScratchDir d;
  WriteFile(d / "s.txt", TextData(20000, 8));
  WriteFile(d / "r.bin", RandomData(5000, 9));
  ASSERT_EQ(Arj(d.path(), "a -gsecret g.arj s.txt r.bin").code, 0);
  EXPECT_TRUE(MainOf(d / "g.arj").flags & arj::kGarbled);
  RunResult r = Arj(d.path(), "x g.arj wrong/ -gnot");
  EXPECT_EQ(r.code, 3) << r.output;
  EXPECT_FALSE(Exists(d / "wrong/s.txt"));
  EXPECT_FALSE(Exists(d / "wrong/r.bin"));
  EXPECT_EQ(Arj(d.path(), "x g.arj none/").code, 1);
  EXPECT_FALSE(Exists(d / "none/s.txt"));
  EXPECT_EQ(Arj(d.path(), "x g.arj right/ -gsecret").code, 0);
  EXPECT_EQ(ReadFile(d / "right/s.txt"), TextData(20000, 8));
  EXPECT_EQ(ReadFile(d / "right/r.bin"), RandomData(5000, 9));
  // -g? asks on the console.
  EXPECT_EQ(Arj(d.path(), "t g.arj -g?", "secret\n").code, 0);
}

TEST(ArjProgram, TheArchiveIsNeverLeftCorrupt) {
  ScratchDir d;
  WriteFile(d / "a.txt", TextData(10000, 1));
  WriteFile(d / "b.txt", TextData(10000, 2));
  ASSERT_EQ(Arj(d.path(), "a t.arj a.txt b.txt").code, 0);
  const std::string good = ReadFile(d / "t.arj");
  // A work directory that does not exist: nothing changes.
  WriteFile(d / "c.txt", "new");
  EXPECT_NE(Arj(d.path(), "a t.arj c.txt -wnowhere/").code, 0);
  EXPECT_EQ(ReadFile(d / "t.arj"), good);
  // A damaged archive is not rewritten.
  std::string bad = good;
  bad[bad.find("b.txt")] = 'Z';
  WriteFile(d / "bad.arj", bad);
  EXPECT_EQ(Arj(d.path(), "a bad.arj c.txt").code, 3);
  EXPECT_EQ(ReadFile(d / "bad.arj"), bad);
  EXPECT_EQ(Arj(d.path(), "d bad.arj a.txt").code, 3);
  EXPECT_EQ(ReadFile(d / "bad.arj"), bad);
  // A good update through a work directory leaves no temporary files behind.
  MakeDirs(d / "work");
  EXPECT_EQ(Arj(d.path(), "a t.arj c.txt -wwork/").code, 0);
  EXPECT_EQ(arjtest::Run(d / "work", "ls -A").output, "");
  EXPECT_EQ(Names(d / "t.arj").size(), 3u);
  // -k keeps the previous archive.
  EXPECT_EQ(Arj(d.path(), "d t.arj c.txt -k").code, 0);
  EXPECT_EQ(Names(d / "t.bak").size(), 3u);
  EXPECT_EQ(Names(d / "t.arj").size(), 2u);
}

TEST(ArjProgram, DeleteFreshenUpdateMove) {
  ScratchDir d;
  WriteFile(d / "a.txt", "alpha");
  WriteFile(d / "b.txt", "bravo");
  WriteFile(d / "c.txt", "charlie");
  time_t old = time(nullptr) - 10000;
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) SetMtime(d / n, old);
  ASSERT_EQ(Arj(d.path(), "a t.arj a.txt b.txt c.txt").code, 0);
  // D with a list file (CR LF lines, as Quillon writes them).
  WriteFile(d / "list", "b.txt\r\n");
  EXPECT_EQ(Arj(d.path(), "d t.arj !list").code, 0);
  EXPECT_EQ(Names(d / "t.arj"), (std::vector<std::string>{"a.txt", "c.txt"}));
  // F replaces only newer files that are in the archive.
  WriteFile(d / "a.txt", "alpha 2");
  WriteFile(d / "new.txt", "new");
  EXPECT_EQ(Arj(d.path(), "f t.arj").code, 0);
  EXPECT_EQ(Names(d / "t.arj"), (std::vector<std::string>{"a.txt", "c.txt"}));
  EXPECT_EQ(Arj(d.path(), "e t.arj o1/ a.txt").code, 0);
  EXPECT_EQ(ReadFile(d / "o1/a.txt"), "alpha 2");
  // U adds new files and replaces newer ones only.
  WriteFile(d / "c.txt", "charlie older");
  SetMtime(d / "c.txt", old - 10000);
  EXPECT_EQ(Arj(d.path(), "u t.arj").code, 0);
  auto names = Names(d / "t.arj");
  EXPECT_NE(std::find(names.begin(), names.end(), "new.txt"), names.end());
  EXPECT_EQ(Arj(d.path(), "e t.arj o2/ c.txt").code, 0);
  EXPECT_EQ(ReadFile(d / "o2/c.txt"), "charlie");
  // M removes the sources once the archive is complete.
  WriteFile(d / "m/moved.txt", "moved");
  EXPECT_EQ(Arj(d / "m", "m ../t.arj moved.txt").code, 0);
  EXPECT_FALSE(Exists(d / "m/moved.txt"));
  names = Names(d / "t.arj");
  EXPECT_NE(std::find(names.begin(), names.end(), "moved.txt"), names.end());
  // Nothing to delete is a warning and leaves the archive alone.
  std::string before = ReadFile(d / "t.arj");
  EXPECT_EQ(Arj(d.path(), "d t.arj nothing.here").code, 1);
  EXPECT_EQ(ReadFile(d / "t.arj"), before);
}

TEST(ArjProgram, ExtractOverwriteRules) {
  ScratchDir d;
  WriteFile(d / "f.txt", "archived");
  SetMtime(d / "f.txt", time(nullptr) - 5000);
  ASSERT_EQ(Arj(d.path(), "a t.arj f.txt").code, 0);
  WriteFile(d / "o/f.txt", "present");
  EXPECT_EQ(Arj(d.path(), "e t.arj o/", "n\n").code, 1);
  EXPECT_EQ(ReadFile(d / "o/f.txt"), "present");
  EXPECT_EQ(Arj(d.path(), "e t.arj o/").code, 1);  // no answer at all: kept
  EXPECT_EQ(ReadFile(d / "o/f.txt"), "present");
  EXPECT_EQ(Arj(d.path(), "e t.arj o/", "y\n").code, 0);
  EXPECT_EQ(ReadFile(d / "o/f.txt"), "archived");
  EXPECT_EQ(Mtime(d / "o/f.txt"), Mtime(d / "f.txt"));
  // -f: only files that exist and are older.
  WriteFile(d / "o/f.txt", "newer copy");
  EXPECT_EQ(Arj(d.path(), "e t.arj o/ -f -jyo").code, 0);
  EXPECT_EQ(ReadFile(d / "o/f.txt"), "newer copy");
  SetMtime(d / "o/f.txt", time(nullptr) - 50000);
  EXPECT_EQ(Arj(d.path(), "e t.arj o/ -f -jyo").code, 0);
  EXPECT_EQ(ReadFile(d / "o/f.txt"), "archived");
  EXPECT_EQ(Arj(d.path(), "e t.arj fresh/ -f").code, 0);
  EXPECT_FALSE(Exists(d / "fresh/f.txt"));
}

TEST(ArjProgram, ArchiveAndFileComments) {
  ScratchDir d;
  WriteFile(d / "a.txt", "a");
  WriteFile(d / "b.txt", "b");
  ASSERT_EQ(Arj(d.path(), "a t.arj a.txt b.txt").code, 0);
  WriteFile(d / "c1", "First line\r\nSecond line\r\n");
  EXPECT_EQ(Arj(d.path(), "c t.arj -zc1").code, 0);
  EXPECT_EQ(MainOf(d / "t.arj").comment, "First line\nSecond line\n");
  EXPECT_EQ(Arj(d.path(), "c -z t.arj", "typed one\ntyped two\n\n").code, 0);
  EXPECT_EQ(MainOf(d / "t.arj").comment, "typed one\ntyped two\n");
  EXPECT_EQ(Arj(d.path(), "c t.arj -zNUL").code, 0);
  EXPECT_EQ(MainOf(d / "t.arj").comment, "");
  WriteFile(d / "list", "b.txt\r\n");
  EXPECT_EQ(Arj(d.path(), "c -jz t.arj !list", "about b\n\n").code, 0);
  RunResult v = Arj(d.path(), "v t.arj");
  EXPECT_NE(v.output.find("about b"), std::string::npos) << v.output;
  // The data of commented entries is untouched.
  EXPECT_EQ(Arj(d.path(), "t t.arj").code, 0);
}

TEST(ArjProgram, RenameAsksForEachName) {
  ScratchDir d;
  WriteFile(d / "a.txt", "a");
  WriteFile(d / "b.txt", "b");
  WriteFile(d / "c.txt", "c");
  ASSERT_EQ(Arj(d.path(), "a t.arj a.txt b.txt c.txt").code, 0);
  WriteFile(d / "list", "a.txt\r\nb.txt\r\n");
  EXPECT_EQ(Arj(d.path(), "n t.arj !list", "renamed/x.txt\n\n").code, 0);
  EXPECT_EQ(Names(d / "t.arj"),
            (std::vector<std::string>{"renamed/x.txt", "b.txt", "c.txt"}));
  // A name that would escape or collide is refused.
  EXPECT_EQ(Arj(d.path(), "n t.arj c.txt", "b.txt\n").code, 1);
  EXPECT_EQ(Arj(d.path(), "n t.arj c.txt", "../c.txt\n").code, 1);
  EXPECT_EQ(Arj(d.path(), "x t.arj o/").code, 0);
  EXPECT_EQ(ReadFile(d / "o/renamed/x.txt"), "a");
}

TEST(ArjProgram, JoinAppendsArchives) {
  ScratchDir d;
  WriteFile(d / "a.txt", TextData(3000, 1));
  WriteFile(d / "b.txt", TextData(3000, 2));
  ASSERT_EQ(Arj(d.path(), "a one.arj a.txt").code, 0);
  ASSERT_EQ(Arj(d.path(), "a -gpw two.arj b.txt").code, 0);
  WriteFile(d / "list", "one.arj\r\ntwo.arj\r\n");
  EXPECT_EQ(Arj(d.path(), "j BOOK !list").code, 0);
  EXPECT_EQ(Names(d / "BOOK.arj"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Arj(d.path(), "x BOOK.arj o/ -gpw").code, 0);
  EXPECT_EQ(ReadFile(d / "o/b.txt"), TextData(3000, 2));
  // A damaged source joins nothing.
  WriteFile(d / "bad.arj", "not an archive at all");
  std::string before = ReadFile(d / "BOOK.arj");
  EXPECT_EQ(Arj(d.path(), "j BOOK.arj bad.arj").code, 9);
  EXPECT_EQ(ReadFile(d / "BOOK.arj"), before);
}

TEST(ArjProgram, MultipleVolumes) {
  // The size with a unit, and the same size in bytes.
  for (const char* size : {"-v50k", "-v50000"}) {
    ScratchDir d;
    WriteFile(d / "src/big.bin", RandomData(130000, 4));
    WriteFile(d / "src/text.txt", TextData(200000, 5));
    WriteFile(d / "src/small.txt", "small");
    ASSERT_EQ(Arj(d / "src", std::string("a ") + size + " ../vol.arj big.bin text.txt small.txt").code, 0)
        << size;
    EXPECT_TRUE(Exists(d / "vol.a01")) << size;
    EXPECT_TRUE(Exists(d / "vol.a02")) << size;
    struct stat st;
    stat((d / "vol.arj").c_str(), &st);
    EXPECT_LE(st.st_size, 50000) << size;
    EXPECT_GT(st.st_size, 45000) << size;
    EXPECT_EQ(Arj(d.path(), "t vol.arj").code, 0) << size;
    EXPECT_EQ(Arj(d.path(), "x vol.arj out/").code, 0) << size;
    EXPECT_EQ(CompareTrees(d / "src", d / "out"), "") << size;
    // A later volume alone: the continued entry is skipped with a warning, whole ones come out.
    RunResult r = Arj(d.path(), "e vol.a02 part/");
    EXPECT_EQ(r.code, 1) << r.output;
  }
}

TEST(ArjProgram, ExitCodesAndMessages) {
  ScratchDir d;
  WriteFile(d / "junk.arj", std::string(3000, 'j'));
  EXPECT_EQ(Arj(d.path(), "q t.arj").code, 7);
  EXPECT_EQ(Arj(d.path(), "l t.arj -qq").code, 7);
  EXPECT_EQ(Arj(d.path(), "l missing.arj").code, 6);
  EXPECT_EQ(Arj(d.path(), "t junk.arj").code, 9);
  EXPECT_EQ(Arj(d.path(), "a t.arj no-such-file").code, 1);
  RunResult r = Arj(d.path(), "l junk.arj");
  EXPECT_NE(r.output.find("not an ARJ archive"), std::string::npos) << r.output;
  EXPECT_EQ(Arj(d.path(), "").code, 0);
}

// An archive written on another kind of host keeps its times in that host's form: after a change,
// its "last modified" time is now, read as that archive reads its times.
TEST(ArjProgram, ChangingAnArchiveOfAnotherHostDatesItNow) {
  for (const char* change : {"c t.arj -zc1", "n t.arj a.txt"}) {
    ScratchDir d;
    WriteFile(d / "a.txt", "a");
    WriteFile(d / "c1", "comment\r\n");
    ASSERT_EQ(Arj(d.path(), "a t.arj a.txt").code, 0);
    // Mark the main header as written on the other host (DOS here, Unix under Windows).
    std::string bytes = ReadFile(d / "t.arj");
    const uint8_t other = arj::fs::kHostOs == 0 ? 2 : 0;
    const size_t size = static_cast<uint8_t>(bytes[2]) | static_cast<uint8_t>(bytes[3]) << 8;
    bytes[7] = static_cast<char>(other);
    const uint32_t crc = arj::Crc32(bytes.data() + 4, size);
    for (int i = 0; i < 4; ++i) bytes[4 + size + i] = static_cast<char>(crc >> (8 * i));
    WriteFile(d / "t.arj", bytes);
    ASSERT_EQ(MainOf(d / "t.arj").host_os, other);
    ASSERT_EQ(Arj(d.path(), change, "b.txt\n").code, 0) << change;
    const arj::Header m = MainOf(d / "t.arj");
    const int64_t modified = m.UnixTimes() ? static_cast<int64_t>(m.comp_size) : arj::fs::DosToUnix(m.comp_size);
    EXPECT_LT(std::llabs(modified - static_cast<int64_t>(time(nullptr))), 600) << change << ": " << modified;
  }
}

TEST(ArjProgram, ArchiveTimeStamps) {
  ScratchDir d;
  WriteFile(d / "a.txt", "a");
  time_t when = time(nullptr) - 100000;
  SetMtime(d / "a.txt", when);
  ASSERT_EQ(Arj(d.path(), "a -s t.arj a.txt").code, 0);
  EXPECT_EQ(Mtime(d / "t.arj"), when);
  SetMtime(d / "t.arj", when - 500);
  WriteFile(d / "b.txt", "b");
  ASSERT_EQ(Arj(d.path(), "a -s1 t.arj b.txt").code, 0);
  EXPECT_EQ(Mtime(d / "t.arj"), when - 500);
}

}  // namespace
}  // namespace arjtest
