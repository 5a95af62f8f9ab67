// The ARC extractor: the member decoders on small hand-made streams (good and damaged), archives
// made by Debian's arc with every method it writes, damaged and hostile archives, the commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "archivers/arc/arc_cli.h"
#include "archivers/arc/arc_format.h"
#include "archivers/arc/tests/arc_member.h"
#include "archivers/arc/tests/old_crunch_writer.h"
#include "archivers/arj/tests/test_util.h"

using arjtest::ReadFile;
using arjtest::ScratchDir;
using arjtest::WriteFile;

namespace {

using arjtest::CliResult;

CliResult Cli(const std::vector<std::string>& args) {
  return arjtest::CaptureCli(arc::RunCli, args);
}

uint16_t Crc(const std::string& d) {
  return lzh::Crc16(0, reinterpret_cast<const uint8_t*>(d.data()), d.size());
}

arc::DataResult Decode(int method, const std::string& packed, const std::string& expect,
                       std::string* out) {
  arc::Entry e;
  e.method = method;
  e.comp_size = static_cast<uint32_t>(packed.size());
  e.orig_size = static_cast<uint32_t>(expect.size());
  e.crc = Crc(expect);
  return arc::DecodeData(
      e, arjtest::StringReader(packed), arjtest::StringWriter(out));
}

using arctest::Member;

const std::string kEnd("\x1a\x00", 2);

bool HaveArc() { return system("command -v arc >/dev/null 2>&1") == 0; }

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

// A few long runs of random byte values: arc packs these (RLE90 alone).
std::string LongRuns(int runs) {
  std::string s, r = arjtest::RandomData(2 * runs, 17);
  for (int i = 0; i < runs; ++i) s += std::string(30 + static_cast<uint8_t>(r[2 * i + 1]) % 200, r[2 * i]);
  return s;
}

// A small file over a few symbols of skewed frequencies: arc squeezes these.
std::string Skewed(size_t n) {
  std::string s, r = arjtest::RandomData(n, 5);
  for (char c : r) s += "aaaaaaabbbbccd efghijklmnop"[static_cast<uint8_t>(c) % 27];
  return s;
}

}  // namespace

TEST(ArcDecode, HandMadeStreams) {
  struct Case { const char* what; int method; std::string packed; std::string expect; bool ok; };
  // A squeeze tree: node 0 = (leaf 'a', node 1), node 1 = (leaf 'b', leaf end).
  const std::string tree = Bytes({2, 0, 0x9E, 0xFF, 1, 0, 0x9D, 0xFF, 0xFF, 0xFE});
  const std::vector<Case> cases = {
      {"stored", 2, "hello", "hello", true},
      {"old stored", 1, "hello", "hello", true},
      {"rle run", 3, Bytes({'A', 0x90, 5, 'B'}), "AAAAAB", true},
      {"rle literal marker", 3, Bytes({'A', 0x90, 0, 'B'}), "A\x90" "B", true},
      {"rle run of the marker", 3, Bytes({0x90, 0, 0x90, 3}), "\x90\x90\x90", true},
      {"rle run with nothing before", 3, Bytes({0x90, 4}), "", false},
      {"squeezed a b a", 4, tree + Bytes({0x32}), "aba", true},  // bits 0, 1 0, 0, 1 1: a b a end
      {"squeezed child out of range", 4, Bytes({1, 0, 5, 0, 0xFE, 0xFF, 0}), "a", false},
      {"squeezed too many nodes", 4, Bytes({0x01, 0x02}), "a", false},
      {"squeezed, complete without the end code", 4, tree + Bytes({0x00}), "aaaaaaaa", true},
      {"squeezed, cut short", 4, tree + Bytes({0x00}), "aaaaaaaaa", false},
      {"squeezed, padding after the last byte", 4, tree + Bytes({0x02}), "ab", true},
      {"squashed first code too big", 9, Bytes({0xFF, 0x01}), "a", false},
      {"squashed code beyond the table", 9, Bytes({0x61, 0xF0, 0x03}), "aa", false},
      {"crunched bad width", 8, Bytes({20, 0x61, 0}), "a", false},
      // Old crunch: 'a' hashes to slot 0x890 by squaring, 'b' to 0x938; the pair (a, a) goes to
      // 0x095, (a, b) to 0x079, 0x90 to 0x4FF, 5 to 0x100; by multiplying 'a' is 0x460, 'b'
      // 0xF41, (a, b) 0x282.
      {"old crunch, a code defining itself", 5, Bytes({0x89, 0x00, 0x95}), "aaa", true},
      {"old crunch a b a b, half a byte of padding", 5, Bytes({0x89, 0x09, 0x38, 0x07, 0x90}), "abab", true},
      {"old crunch by multiplying", 7, Bytes({0x46, 0x0F, 0x41, 0x28, 0x20}), "abab", true},
      {"old crunch, a run packed", 6, Bytes({0x89, 0x04, 0xFF, 0x10, 0x00}), "aaaaa", true},
      {"old crunch, the other hash", 5, Bytes({0x46, 0x0F, 0x41, 0x28, 0x20}), "abab", false},
      {"old crunch, first code not a byte", 5, Bytes({0x09, 0x50}), "a", false},
      {"old crunch, a code not yet defined", 5, Bytes({0x89, 0x00, 0x96}), "aaa", false},
      {"old crunch, cut in the first code", 5, Bytes({0x89}), "a", false},
      {"stored too short", 2, "hell", "hello", false},
      {"more data than stated", 2, "hello!", "hello", false},
  };
  for (const Case& c : cases) {
    std::string out;
    arc::DataResult r = Decode(c.method, c.packed, c.expect, &out);
    if (c.ok) {
      EXPECT_EQ(r, arc::DataResult::kOk) << c.what;
      EXPECT_EQ(out, c.expect) << c.what;
    } else {
      EXPECT_NE(r, arc::DataResult::kOk) << c.what;
    }
  }
}

TEST(ArcDecode, WrongCrcIsReported) {
  arc::Entry e;
  e.method = 2;
  e.comp_size = e.orig_size = 5;
  e.crc = static_cast<uint16_t>(Crc("hello") ^ 1);
  std::string data = "hello";
  size_t pos = 0;
  auto r = arc::DecodeData(
      e, [&](uint8_t* b, size_t n) { n = std::min(n, data.size() - pos); memcpy(b, data.data() + pos, n); pos += n; return n; },
      [](const uint8_t*, size_t) { return true; });
  EXPECT_EQ(r, arc::DataResult::kBadCrc);
}

// Debian's arc writes each of its methods; ours extracts every member to the same bytes.
TEST(ArcInterop, EveryMethodArcWritesExtractsByteForByte) {
  if (!HaveArc()) GTEST_SKIP() << "Debian's arc is not installed";
  struct File { const char* name; std::string data; };
  const std::vector<File> files = {
      {"TEXT.TXT", arjtest::TextData(200000, 3)},
      {"RANDOM.BIN", arjtest::RandomData(30000, 4)},
      {"RUNS.BIN", std::string(40, 'A') + "xyz" + std::string(40, 'B')},
      {"LONGRUNS.BIN", LongRuns(20)},
      {"MARKS.BIN", std::string(300, '\x90') + "x" + std::string(5, '\x90') + std::string("\x90\x00\x90", 3) + std::string(70, 'q')},
      {"SKEWED.BIN", Skewed(5000)},
      {"SKEWED2.BIN", Skewed(3000) + std::string(100, '\x90') + Skewed(2000)},
      {"EMPTY.TXT", ""},
      {"ONE.TXT", "x"},
      {"BIGTEXT.TXT", arjtest::TextData(1500000, 8)},
  };
  std::set<std::string> methods;
  for (const char* command : {"a", "aq"}) {
    ScratchDir dir;
    arjtest::MakeDirs(dir / "src");
    std::string names;
    for (const File& f : files) {
      WriteFile(dir / ("src/" + std::string(f.name)), f.data);
      names += std::string(" ") + f.name;
    }
    arjtest::RunResult made = arjtest::Run(dir / "src", std::string("arc ") + command + " ../T.ARC" + names);
    ASSERT_EQ(made.code, 0) << made.output;
    CliResult list = Cli({"-l", dir / "T.ARC"});
    ASSERT_EQ(list.code, 0) << list.output;
    for (const char* m : {"stored", "packed", "squeezed", "crunched", "squashed"})
      if (list.output.find(m) != std::string::npos) methods.insert(m);
    CliResult t = Cli({"-t", dir / "T.ARC"});
    EXPECT_EQ(t.code, 0) << t.output;
    CliResult r = Cli({dir / "T.ARC", dir / "out dir/"});
    ASSERT_EQ(r.code, 0) << command << "\n" << list.output << r.output;
    for (const File& f : files)
      EXPECT_TRUE(ReadFile(dir / ("out dir/" + std::string(f.name))) == f.data) << command << " " << f.name;
  }
  EXPECT_EQ(methods, (std::set<std::string>{"stored", "packed", "squeezed", "crunched", "squashed"}));
}

// Methods 5 to 7, which arc reads but no longer writes: members made by the test-side writer,
// which Debian's arc extracts to the original bytes, and so does ours. The text is long enough
// to fill the string table; the runs make codes that define themselves.
TEST(ArcInterop, OldCrunchedMembersExtractLikeArc) {
  struct File { const char* name; std::string data; };
  const std::vector<File> files = {
      {"TEXT.TXT", arjtest::TextData(60000, 11)},
      {"RANDOM.BIN", arjtest::RandomData(20000, 12)},
      {"RUN.TXT", std::string(3000, 'a') + "b"},
      {"MARKS.BIN", std::string(300, '\x90') + "x" + std::string("\x90\x00\x90", 3) + LongRuns(10)},
      {"ONE.TXT", "x"},
  };
  for (int method : {5, 6, 7}) {
    ScratchDir dir;
    std::string archive;
    for (const File& f : files) archive += Member(method, f.name, arctest::OldCrunch(method, f.data), f.data);
    WriteFile(dir / "OLD.ARC", archive + kEnd);
    if (HaveArc()) {
      arjtest::MakeDirs(dir / "peer");
      arjtest::RunResult peer = arjtest::Run(dir / "peer", "arc x ../OLD.ARC");
      ASSERT_EQ(peer.code, 0) << method << "\n" << peer.output;
      for (const File& f : files)
        EXPECT_TRUE(ReadFile(dir / ("peer/" + std::string(f.name))) == f.data) << "arc, method " << method << " " << f.name;
    }
    CliResult t = Cli({"-t", dir / "OLD.ARC"});
    EXPECT_EQ(t.code, 0) << method << "\n" << t.output;
    CliResult r = Cli({dir / "OLD.ARC", dir / "ours/"});
    ASSERT_EQ(r.code, 0) << method << "\n" << r.output;
    for (const File& f : files)
      EXPECT_TRUE(ReadFile(dir / ("ours/" + std::string(f.name))) == f.data) << "method " << method << " " << f.name;
  }
}

TEST(ArcArchive, DamageIsReportedAndLeavesNoFile) {
  const std::string text = "some text, some text, some text\n";
  const std::string good = Member(2, "A.TXT", text, text) + kEnd;
  auto with = [](std::string s, size_t at, char x) { s[at] = static_cast<char>(s[at] ^ x); return s; };
  struct Case { const char* what; std::string archive; const char* message; };
  const std::vector<Case> cases = {
      {"data byte changed", with(good, 35, 0x01), "CRC error"},
      {"cut in the data", good.substr(0, 40), "ends inside the data"},
      {"cut in the header", good.substr(0, 10), "ends inside a header"},
      {"no mark", "PK\x03\x04 not an arc file at all", "not an ARC archive"},
      {"garbage after a member", Member(2, "B.TXT", text, text) + "garbage", "no header mark"},
      {"old crunch, damaged codes", Member(5, "C.TXT", Bytes({0x89, 0x00, 0x96}), "aaa") + kEnd, "damaged data"},
      {"a later method", Member(10, "E.TXT", text, text) + kEnd, "unsupported method 10"},
      {"unknown method", Member(40, "D.TXT", text, text) + kEnd, "unsupported method 40"},
      {"empty file", "", "not an ARC archive"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    arjtest::MakeDirs(dir / "out");
    WriteFile(dir / "x.arc", c.archive);
    CliResult r = Cli({dir / "x.arc", dir / "out/"});
    EXPECT_EQ(r.code, 1) << c.what << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.what << "\n" << r.output;
    std::string left = arjtest::Run(dir / "out", "ls -A").output;
    if (std::string(c.what) == "garbage after a member") {
      EXPECT_EQ(left, "B.TXT\n") << c.what;  // the good member before the damage stays
    } else {
      EXPECT_EQ(left, "") << c.what;
    }
  }
}

TEST(ArcArchive, HostileNamesAreRefused) {
  for (const std::string& name : {"../EVIL.TXT", "/ABS.TXT", "C:DRIVE.TXT", "CON", "..\\UP.TXT", "A/../../B"}) {
    ScratchDir dir;
    arjtest::MakeDirs(dir / "t/in");
    WriteFile(dir / "x.arc", Member(2, name, "bad", "bad") + Member(2, "GOOD.TXT", "good", "good") + kEnd);
    CliResult r = Cli({dir / "x.arc", dir / "t/in/"});
    EXPECT_EQ(r.code, 1) << name << "\n" << r.output;
    EXPECT_NE(r.output.find("refused name"), std::string::npos) << name << "\n" << r.output;
    EXPECT_EQ(arjtest::Run(dir.path(), "find . -type f | sort").output, "./t/in/GOOD.TXT\n./x.arc\n") << name;
  }
}

// An existing file is asked about: with no answer it is kept and the run warns; -y replaces it.
TEST(ArcProgram, ExistingFilesAreAskedAbout) {
  struct Case { const char* what; std::string options, input; int code; std::string kept; };
  const std::vector<Case> cases = {
      {"no answer keeps the old file", "", "", 1, "old"},
      {"yes replaces", "", "y\n", 0, "new"},
      {"-y replaces without asking", "-y ", "", 0, "new"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "x.arc", Member(2, "F.TXT", "new", "new") + kEnd);
    arjtest::MakeDirs(dir / "out");
    WriteFile(dir / "out/F.TXT", "old");
    arjtest::RunResult r =
        arjtest::Run(dir.path(), std::string("'") + QLARC_PATH + "' " + c.options + "x.arc out/", c.input);
    EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.output;
    EXPECT_EQ(ReadFile(dir / "out/F.TXT"), c.kept) << c.what;
    EXPECT_EQ(arjtest::Run(dir / "out", "ls -A").output, "F.TXT\n") << c.what;
  }
}

TEST(ArcProgram, CommandLine) {
  ScratchDir dir;
  arjtest::MakeDirs(dir / "a b");
  WriteFile(dir / "a b/my arc.arc", Member(2, "F.TXT", "pieces", "pieces") + kEnd);
  struct Case { std::vector<std::string> args; int code; std::string extracted; };
  const std::vector<Case> cases = {
      {{}, 2, ""},
      {{"-x", dir / "a b/my arc.arc"}, 2, ""},
      {{"-l", dir / "a b/my arc.arc", "extra"}, 2, ""},
      {{dir / "missing.arc", dir.path()}, 2, ""},
      {{"-l", dir / "a", "b/my", "arc.arc"}, 0, ""},
      {{"-T", dir / "a b/my arc.arc"}, 0, ""},
      {{dir / "a", "b/my", "arc.arc", dir / "the", "target/"}, 0, "the target/F.TXT"},
      {{dir / "a b/my arc.arc", dir / "quoted/\""}, 0, "quoted/F.TXT"},
  };
  for (const Case& c : cases) {
    CliResult r = Cli(c.args);
    EXPECT_EQ(r.code, c.code) << (c.args.empty() ? "" : c.args[0]) << "\n" << r.output;
    if (!c.extracted.empty()) EXPECT_EQ(ReadFile(dir / c.extracted), "pieces");
  }
  EXPECT_NE(Cli({}).output.find("-l ARCHIVE"), std::string::npos);
  // The native program itself.
  arjtest::RunResult run = arjtest::Run(dir.path(), std::string("'") + QLARC_PATH + "' 'a b/my arc.arc' prog/");
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_EQ(ReadFile(dir / "prog/F.TXT"), "pieces");
}
