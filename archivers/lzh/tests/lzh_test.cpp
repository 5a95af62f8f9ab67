// The LZH extractor: CRC-16, headers of levels 0-2, the -lh5-/-lh6-/-lh7- decoders, the
// extractor's commands, damaged and hostile archives, and interop with Debian's lhasa.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archivers/arj/arj_decode.h"
#include "archivers/arj/tests/test_util.h"
#include "archivers/lzh/lzh_cli.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/lzh/tests/lzh_writer.h"

using arjtest::Exists;
using arjtest::ReadFile;
using arjtest::ScratchDir;
using arjtest::WriteFile;
using lzhtest::MakeArchive;
using lzhtest::Member;

namespace {

using arjtest::CliResult;

CliResult Cli(const std::vector<std::string>& args) {
  return arjtest::CaptureCli(lzh::RunCli, args);
}

// Decodes a member's packed data in memory.
lzh::DataResult DecodeBytes(const std::string& method, const std::string& packed,
                            const std::string& original, std::string* out) {
  lzh::Entry e;
  e.method = method;
  e.comp_size = static_cast<uint32_t>(packed.size());
  e.orig_size = static_cast<uint32_t>(original.size());
  e.crc = lzhtest::Crc16(original);
  return lzh::DecodeData(
      e, arjtest::StringReader(packed), arjtest::StringWriter(out));
}

std::string Runs(size_t n) {
  std::string s;
  while (s.size() < n) s += std::string(1 + s.size() % 300, static_cast<char>('a' + s.size() % 7));
  s.resize(n);
  return s;
}

// Data whose repeats lie far apart, so that only a large window finds them.
std::string FarRepeats(size_t block, int copies) {
  std::string b = arjtest::RandomData(block, 7), s;
  for (int i = 0; i < copies; ++i) s += b;
  return s;
}

bool HaveLhasa() { return system("command -v lha >/dev/null 2>&1") == 0; }

}  // namespace

TEST(LzhCrc, KnownValues) {
  struct { const char* text; uint16_t crc; } cases[] = {{"", 0}, {"123456789", 0xBB3D}, {"A", 0x30C0}};
  for (auto& c : cases)
    EXPECT_EQ(lzhtest::Crc16(c.text), c.crc) << c.text;
}

TEST(LzhDecode, RoundTripsEveryMethodAndKindOfData) {
  struct Case { const char* what; std::string data; int block; };
  const std::vector<Case> cases = {
      {"one byte", "x", 65535},
      {"text", arjtest::TextData(50000, 3), 65535},
      {"random", arjtest::RandomData(20000, 5), 65535},
      {"long runs", Runs(200000), 65535},
      {"many small blocks", arjtest::TextData(30000, 9), 100},
      {"far repeats", FarRepeats(20000, 3), 65535},
  };
  for (int method : {5, 6, 7}) {
    for (const Case& c : cases) {
      std::string packed = lzhtest::EncodeLh(method, c.data, c.block), out;
      std::string code = "-lh" + std::to_string(method) + "-";
      EXPECT_EQ(DecodeBytes(code, packed, c.data, &out), lzh::DataResult::kOk) << code << " " << c.what;
      EXPECT_TRUE(out == c.data) << code << " " << c.what;
    }
  }
}

TEST(LzhDecode, RefusesDamagedStreams) {
  const std::string data = arjtest::TextData(40000, 4);
  const std::string good = lzhtest::EncodeLh(5, data);
  struct Case { const char* what; std::string packed; uint32_t orig; };
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x10;
  std::string bad_table = good;
  bad_table[2] = '\xFF';  // the t-table count and lengths
  const std::vector<Case> cases = {
      {"cut short", good.substr(0, good.size() / 3), static_cast<uint32_t>(data.size())},
      {"a flipped bit", flipped, static_cast<uint32_t>(data.size())},
      {"a broken table", bad_table, static_cast<uint32_t>(data.size())},
      {"empty stream", "", static_cast<uint32_t>(data.size())},
      {"zeros", std::string(200, '\0'), 5000},
  };
  for (const Case& c : cases) {
    lzh::Entry e;
    e.method = "-lh5-";
    e.comp_size = static_cast<uint32_t>(c.packed.size());
    e.orig_size = c.orig;
    e.crc = lzhtest::Crc16(data);
    size_t pos = 0;
    lzh::DataResult r = lzh::DecodeData(
        e,
        [&](uint8_t* b, size_t n) {
          n = std::min(n, c.packed.size() - pos);
          memcpy(b, c.packed.data() + pos, n);
          pos += n;
          return n;
        },
        [](const uint8_t*, size_t) { return true; });
    EXPECT_NE(r, lzh::DataResult::kOk) << c.what;
  }
}

TEST(LzhDecode, WindowLimitsDistances) {
  // A -lh7- stream reaching 40000 bytes back decodes as -lh7- and is refused by the smaller
  // windows (same bits, fewer position codes or a shorter reach).
  const std::string data = FarRepeats(40000, 2);
  const std::string packed = lzhtest::EncodeLh(7, data);
  std::string out;
  EXPECT_EQ(DecodeBytes("-lh7-", packed, data, &out), lzh::DataResult::kOk);
  arj::DecodeIo io{[](void*, uint8_t*, size_t) -> size_t { return 0; },
                   [](void*, const uint8_t*, size_t) { return true; }, nullptr};
  EXPECT_EQ(arj::DecodeHuffman(arj::HuffParams{20, 5, 65536}, 10, 10, io), arj::DecodeResult::kUnsupported);
  EXPECT_EQ(arj::DecodeHuffman(arj::HuffParams{17, 5, 65537}, 10, 10, io), arj::DecodeResult::kUnsupported);
}

TEST(LzhArchive, ExtractsEveryLevelAndMethod) {
  const std::vector<Member> members = {
      {"readme.txt", arjtest::TextData(3000, 1), "-lh0-", ""},
      {"docs/", "", "-lhd-", ""},
      {"docs/guide.txt", arjtest::TextData(70000, 2), "-lh5-", ""},
      {"bin/data.bin", arjtest::RandomData(9000, 3), "-lh6-", ""},
      {"deep/er/runs.dat", Runs(150000), "-lh7-", ""},
      {"empty.txt", "", "-lh5-", ""},
  };
  for (int level : {0, 1, 2, 3}) {
    ScratchDir dir;
    WriteFile(dir / "a.lzh", MakeArchive(members, level));
    CliResult r = Cli({"e", dir / "a.lzh", dir / "out dir/"});
    ASSERT_EQ(r.code, 0) << "level " << level << "\n" << r.output;
    for (const Member& m : members) {
      if (m.method == "-lhd-") {
        EXPECT_TRUE(Exists(dir / ("out dir/" + m.name))) << m.name;
        continue;
      }
      EXPECT_TRUE(ReadFile(dir / ("out dir/" + m.name)) == m.data) << "level " << level << " " << m.name;
    }
    CliResult t = Cli({"t", dir / "a.lzh"});
    EXPECT_EQ(t.code, 0) << t.output;
    CliResult l = Cli({"l", dir / "a.lzh"});
    EXPECT_EQ(l.code, 0);
    EXPECT_NE(l.output.find("deep/er/runs.dat"), std::string::npos) << l.output;
    EXPECT_NE(l.output.find("6 member(s)"), std::string::npos) << l.output;
  }
}

TEST(LzhArchive, DamageIsReportedAndLeavesNoFile) {
  const std::string data = arjtest::TextData(20000, 6);
  const std::vector<Member> one = {{"f.txt", data, "-lh5-", ""}};
  const std::string level0 = MakeArchive(one, 0), level2 = MakeArchive(one, 2);
  struct Case { const char* what; std::string archive; const char* message; };
  auto with = [](std::string s, size_t at, char x) { s[at] = static_cast<char>(s[at] ^ x); return s; };
  // Level 0: the header sum over bytes 2 .. size+1, recomputed after a change.
  auto resum = [](std::string s) {
    uint8_t sum = 0;
    for (size_t i = 2; i < static_cast<uint8_t>(s[0]) + 2u; ++i) sum = static_cast<uint8_t>(sum + s[i]);
    s[1] = static_cast<char>(sum);
    return s;
  };
  const std::vector<Case> cases = {
      {"data byte flipped", with(level0, level0.size() - 100, 0x04), "not extracted"},
      {"crc field changed", resum(with(level0, 22 + 5, 0x01)), "CRC error"},
      {"level 0 header sum", with(level0, 10, 0x01), "header checksum error"},
      {"level 2 header crc", with(level2, 27, 0x01), "header checksum error"},
      {"level 2 name changed", with(level2, 33, 0x01), "header checksum error"},
      {"cut in the data", level0.substr(0, level0.size() - 500), "ends inside the data"},
      {"cut in the header", level0.substr(0, 12), "ends inside a header"},
      {"header level 4", with(level2, 20, 0x06), "unsupported header level"},
      {"level 2 marked as level 3", with(level2, 20, 0x01), "damaged header"},
      {"unknown method", MakeArchive({{"f.txt", data, "-lzq-", "xyz"}}, 1), "unsupported method -lzq-"},
      {"not an archive", "hello world, this is just text\n", "damaged header"},
      {"empty file", "", "not an LZH archive"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "a.lzh", c.archive);
    arjtest::MakeDirs(dir / "out");
    CliResult r = Cli({"e", dir / "a.lzh", dir / "out"});
    EXPECT_EQ(r.code, 1) << c.what << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.what << "\n" << r.output;
    EXPECT_EQ(arjtest::Run(dir / "out", "ls -A").output, "") << c.what;
  }
}

TEST(LzhArchive, DamagedMemberKeepsTheOldFile) {
  const std::string data = arjtest::TextData(20000, 6);
  std::string a = MakeArchive({{"f.txt", data, "-lh6-", ""}}, 2);
  a[a.size() - 50] ^= 0x40;
  ScratchDir dir;
  WriteFile(dir / "a.lzh", a);
  WriteFile(dir / "f.txt", "the old file");
  CliResult r = Cli({"e", "-y", dir / "a.lzh", dir.path() + "/"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(ReadFile(dir / "f.txt"), "the old file");
}

// A file that exists, or that an earlier member of the same name wrote in this run, is asked
// about; with no answer it is kept and the run ends with a warning; -y replaces it.
TEST(LzhProgram, ExistingFilesAreAskedAbout) {
  struct Case {
    const char* what;
    std::string options, input;
    bool old_file;
    int code;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {"no answer keeps the old file", "", "", true, 1, "old"},
      {"no answer keeps the first member", "", "", false, 1, "first"},
      {"yes replaces", "", "y\ny\n", true, 0, "second"},
      {"all replaces", "", "a\n", true, 0, "second"},
      {"no keeps", "", "n\nn\n", false, 1, "first"},
      {"-y replaces without asking", "-y ", "", true, 0, "second"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "a.lzh", MakeArchive({{"same.txt", "first", "-lh0-", ""},
                                          {"same.txt", "second", "-lh5-", ""}}, 2));
    arjtest::MakeDirs(dir / "out");
    if (c.old_file) WriteFile(dir / "out/same.txt", "old");
    arjtest::RunResult r = arjtest::Run(
        dir.path(), std::string("'") + QLLZH_PATH + "' e " + c.options + "a.lzh out/", c.input);
    EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.output;
    EXPECT_EQ(ReadFile(dir / "out/same.txt"), c.kept) << c.what;
    if (c.code) EXPECT_NE(r.output.find("exists, not extracted"), std::string::npos) << r.output;
    EXPECT_EQ(arjtest::Run(dir / "out", "ls -A").output, "same.txt\n") << c.what;
  }
}

// Unix symbolic links ("-lhd-" members named "NAME|TARGET", with or without a Unix mode header)
// are refused as links, not for the shape of their name; the other members still come out.
TEST(LzhArchive, SymbolicLinksAreRefusedAsLinks) {
  const std::string link_mode("\xff\xa1", 2);  // 0120777
  for (int level : {2, 3}) {
    for (const std::string& mode : {link_mode, std::string()}) {
      ScratchDir dir;
      WriteFile(dir / "a.lzh", MakeArchive({{"dir2/symlink1|../file1", "", "-lhd-", "", mode},
                                            {"file1", "one", "-lh5-", ""}}, level));
      CliResult r = Cli({"e", dir / "a.lzh", dir / "out/"});
      EXPECT_EQ(r.code, 1) << r.output;
      EXPECT_NE(r.output.find("symlink1|../file1: a symbolic link, not extracted"), std::string::npos) << r.output;
      EXPECT_EQ(r.output.find("ends in a dot"), std::string::npos) << r.output;
      EXPECT_EQ(arjtest::Run(dir / "out", "find . | sort").output, ".\n./file1\n") << level;
    }
  }
}

TEST(LzhArchive, HostileNamesAreRefused) {
  const std::vector<std::string> names = {"../evil.txt", "/abs.txt", "C:/drive.txt", "a/../../up.txt",
                                          "CON", "x/NUL.txt", "ok/../../../y.txt"};
  for (int level : {0, 1, 2}) {
    for (const std::string& name : names) {
      ScratchDir dir;
      arjtest::MakeDirs(dir / "t/in");
      WriteFile(dir / "a.lzh", MakeArchive({{name, "bad", "-lh0-", ""}, {"good.txt", "good", "-lh5-", ""}}, level));
      CliResult r = Cli({"e", dir / "a.lzh", dir / "t/in/"});
      EXPECT_EQ(r.code, 1) << name << " level " << level << "\n" << r.output;
      EXPECT_NE(r.output.find("refused name"), std::string::npos) << name << "\n" << r.output;
      EXPECT_EQ(ReadFile(dir / "t/in/good.txt"), "good") << name;
      // Only the good member exists anywhere in the scratch tree (besides the archive).
      EXPECT_EQ(arjtest::Run(dir.path(), "find . -type f | sort").output, "./a.lzh\n./t/in/good.txt\n")
          << name << " level " << level;
    }
  }
}

TEST(LzhProgram, CommandLineErrors) {
  ScratchDir dir;
  WriteFile(dir / "a.lzh", MakeArchive({{"f", "x", "-lh0-", ""}}, 0));
  struct Case { std::vector<std::string> args; int code; };
  const std::vector<Case> cases = {
      {{}, 2}, {{"e"}, 2}, {{"q", dir / "a.lzh"}, 2}, {{"l", dir / "a.lzh", "x"}, 2},
      {{"e", dir / "missing.lzh", dir.path()}, 2}, {{"ex", dir / "a.lzh"}, 2},
  };
  for (const Case& c : cases) {
    CliResult r = Cli(c.args);
    EXPECT_EQ(r.code, c.code) << (c.args.empty() ? "" : c.args[0]);
  }
  EXPECT_NE(Cli({}).output.find("usage"), std::string::npos);
}

// Debian's lhasa, an independent implementation, reads the archives of the writer above to the
// same bytes; our extractor reads them too. This ties the test writer (and so the decoder) to
// the real format.
TEST(LzhInterop, LhasaAgreesOnEveryLevelAndMethod) {
  if (!HaveLhasa()) GTEST_SKIP() << "Debian's lhasa is not installed";
  const std::vector<Member> members = {
      {"plain.txt", arjtest::TextData(5000, 11), "-lh0-", ""},
      {"sub/five.txt", arjtest::TextData(120000, 12), "-lh5-", ""},
      {"sub/six.bin", FarRepeats(20000, 3), "-lh6-", ""},
      {"seven/runs.dat", Runs(300000), "-lh7-", ""},
      {"seven/far.bin", FarRepeats(50000, 2), "-lh7-", ""},
  };
  for (int level : {0, 1, 2, 3}) {
    ScratchDir dir;
    WriteFile(dir / "a.lzh", MakeArchive(members, level));
    arjtest::MakeDirs(dir / "peer");
    arjtest::RunResult peer = arjtest::Run(dir.path(), "lha -xqw=peer a.lzh");
    ASSERT_EQ(peer.code, 0) << "level " << level << "\n" << peer.output;
    arjtest::RunResult test = arjtest::Run(dir.path(), "lha t a.lzh");
    EXPECT_EQ(test.code, 0) << test.output;
    ASSERT_EQ(Cli({"e", dir / "a.lzh", dir / "ours"}).code, 0);
    for (const Member& m : members) {
      EXPECT_TRUE(ReadFile(dir / ("peer/" + m.name)) == m.data) << "lhasa, level " << level << " " << m.name;
      EXPECT_TRUE(ReadFile(dir / ("ours/" + m.name)) == m.data) << "ours, level " << level << " " << m.name;
    }
    EXPECT_EQ(arjtest::CompareTrees(dir / "peer", dir / "ours"), "") << "level " << level;
  }
}

// The native program itself, as Quillon calls it: "e ARCHIVE TARGETDIR\".
TEST(LzhProgram, NativeToolExtractsIntoTargetWithBlanks) {
  ScratchDir dir;
  WriteFile(dir / "a.lzh", MakeArchive({{"d/f.txt", "hello", "-lh5-", ""}}, 1));
  arjtest::RunResult r = arjtest::Run(dir.path(), std::string("'") + QLLZH_PATH + "' e a.lzh 'the target/'");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(ReadFile(dir / "the target/d/f.txt"), "hello");
}

// Quillon passes "e SOURCE TARGET\" without quotes, so paths with blanks arrive in pieces; a
// quoted target ending in a backslash arrives with a '"' at its end.
TEST(LzhProgram, PathsWithBlanksArriveInPieces) {
  ScratchDir dir;
  arjtest::MakeDirs(dir / "src dir");
  WriteFile(dir / "src dir/my src.lzh", MakeArchive({{"f.txt", "pieces", "-lh5-", ""}}, 2));
  WriteFile(dir / "src dir/my", "a file named like the first piece of the archive's name");
  struct Case { std::vector<std::string> args; std::string target; };
  const std::vector<Case> cases = {
      {{"e", dir / "src", "dir/my", "src.lzh", dir / "the", "target/"}, "the target"},
      {{"e", dir / "src dir/my src.lzh", dir / "quoted one/\""}, "quoted one"},
      {{"e", dir / "src", "dir/my", "src.lzh", dir / "one"}, "one"},
  };
  for (const Case& c : cases) {
    CliResult r = Cli(c.args);
    EXPECT_EQ(r.code, 0) << c.target << "\n" << r.output;
    EXPECT_EQ(ReadFile(dir / (c.target + "/f.txt")), "pieces") << c.target;
  }
  EXPECT_EQ(Cli({"l", dir / "src", "dir/my", "src.lzh"}).code, 0);
}
