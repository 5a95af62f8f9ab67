// The ZIP library on its own: format pieces, option parsing, hostile archives, safe failure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "archivers/zip/member_match.h"
#include "archivers/zip/options.h"
#include "archivers/zip/ops.h"
#include "archivers/zip/tests/test_support.h"
#include "common/member_reference.h"
#include "archivers/zip/zipcore.h"
#include "common/member_reference.h"

using namespace qlzip;
using namespace ziptest;

namespace {

struct Cwd {
  explicit Cwd(const std::string& d) {
    char b[4096];
    old = getcwd(b, sizeof b) ? b : "/";
    EXPECT_EQ(chdir(d.c_str()), 0);
  }
  ~Cwd() { (void)chdir(old.c_str()); }
  std::string old;
};

int Zip(const std::string& cmd, Host& host, RecordingUi& ui) {
  return RunZip(ParseZipArgs(SplitEngineString(cmd)), host, ui);
}
int Unzip(const std::string& cmd, Host& host, RecordingUi& ui) {
  return RunUnzip(ParseUnzipArgs(SplitEngineString(cmd)), host, ui);
}

// Builds an archive in memory from (name, data, method-0) entries with hand-made headers.
struct RawEntry {
  std::string name;
  std::string data;
};
std::string BuildStored(const std::vector<RawEntry>& in, const std::string& comment = "") {
  std::vector<uint8_t> out, cd;
  std::vector<Entry> es;
  for (const auto& r : in) {
    Entry e;
    e.name = r.name;
    e.crc = Crc32(0, r.data.data(), r.data.size());
    e.csize = e.usize = r.data.size();
    e.needed = 10;
    e.dosTime = UnixToDos(1700000000);
    e.localOffset = out.size();
    auto lh = LocalHeader(e);
    out.insert(out.end(), lh.begin(), lh.end());
    out.insert(out.end(), r.data.begin(), r.data.end());
    es.push_back(e);
  }
  uint64_t cdStart = out.size();
  for (auto& e : es) {
    auto ch = CentralHeader(e);
    out.insert(out.end(), ch.begin(), ch.end());
  }
  auto end = EndRecord(es.size(), out.size() - cdStart, cdStart, comment);
  out.insert(out.end(), end.begin(), end.end());
  return std::string(out.begin(), out.end());
}

OpenResult OpenBytes(const std::string& bytes, Archive& ar) {
  MemorySource src(bytes.data(), bytes.size());
  return ar.Open(src);
}

}  // namespace

TEST(ZipCore, CryptoRoundTripAndCheckByte) {
  std::string plain = Sample(1000, 3);
  for (int level : {0, 6, 9}) {
    Entry e;
    e.dosTime = UnixToDos(1700000000);
    Encoded enc;
    EncodeBuffer(reinterpret_cast<const uint8_t*>(plain.data()), plain.size(), level, "s3cret", e, enc);
    e.dataOffset = 0;
    ASSERT_TRUE(e.encrypted());
    MemorySource src(enc.data.data(), enc.data.size());
    std::string got;
    auto sink = [&](const uint8_t* p, size_t n) {
      got.append(reinterpret_cast<const char*>(p), n);
      return true;
    };
    EXPECT_EQ(DecodeEntry(src, e, "s3cret", sink), DecodeResult::kOk);
    EXPECT_EQ(got, plain);
    EXPECT_EQ(DecodeEntry(src, e, "", sink), DecodeResult::kNeedPassword);
    // A wrong password fails at the check byte, or (1 in 256) at the CRC: reported as a password error.
    for (const char* wrong : {"S3cret", "secret", "x", "s3cret "}) {
      got.clear();
      EXPECT_EQ(DecodeEntry(src, e, wrong, sink), DecodeResult::kPassword) << wrong;
    }
  }
}

TEST(ZipCore, DosTimeRoundTrip) {
  for (int64_t t : {int64_t{315532800 + 86400}, int64_t{1000000000}, int64_t{1700000000}}) {
    int64_t back = DosToUnix(UnixToDos(t));
    EXPECT_LE(std::llabs(back - t), 1) << t;
  }
  EXPECT_EQ(UnixToDos(0), UnixToDos(315532800 - 10 * 86400));  // before 1980 clamps to 1980-01-01
}

TEST(ZipCore, StreamEncoderMatchesWholeEncoding) {
  std::string plain = Sample(300000, 5) + Random(70000, 9);
  for (const std::string pw : {"", "pw"}) {
    Entry e;
    e.dosTime = UnixToDos(1600000000);
    std::vector<uint8_t> out;
    StreamEncoder se(6, pw, e);
    for (size_t i = 0; i < plain.size(); i += 65536)
      se.Feed(reinterpret_cast<const uint8_t*>(plain.data()) + i, std::min<size_t>(65536, plain.size() - i), out);
    se.Finish(out);
    EXPECT_EQ(e.csize, out.size());
    EXPECT_EQ(e.usize, plain.size());
    EXPECT_EQ(e.encrypted(), !pw.empty());
    MemorySource src(out.data(), out.size());
    std::string got;
    EXPECT_EQ(DecodeEntry(src, e, pw, [&](const uint8_t* p, size_t n) {
                got.append(reinterpret_cast<const char*>(p), n);
                return true;
              }),
              DecodeResult::kOk);
    EXPECT_TRUE(got == plain);
  }
}

TEST(ZipOptions, EngineStringsSplitIntoTokens) {
  struct Case {
    const char* in;
    std::vector<std::string> out;
  } cases[] = {
      {"-a |C:\\Q\\A.ZIP| -ex| -rp| -bC:\\Q\\QL5TEMP\\| @C:\\Q\\QL5TEMP\\ql5files",
       {"-a", "C:\\Q\\A.ZIP", "-ex", "-rp", "-bC:\\Q\\QL5TEMP\\", "@C:\\Q\\QL5TEMP\\ql5files"}},
      {"| C:\\My Files\\a.zip | read me.txt | -o | C:\\Work Dir\\",
       {"C:\\My Files\\a.zip", "read me.txt", "-o", "C:\\Work Dir\\"}},
      {"-d| C:\\A.ZIP| @C:\\W\\ql5files| -bC:\\Program Files\\W\\| -q",
       {"-d", "C:\\A.ZIP", "@C:\\W\\ql5files", "-bC:\\Program Files\\W\\", "-q"}},
      {"| -d|| C:\\A.ZIP|| -ex -e0 -) -= | @l", {"-d", "C:\\A.ZIP", "-ex", "-e0", "-)", "-=", "@l"}},
      {"C:\\A.ZIP| -o| -)| -3| -+| --|-q", {"C:\\A.ZIP", "-o", "-)", "-3", "-+", "--", "-q"}},
      {" -z |C:\\A.ZIP| -k| -bC:\\W\\|-q", {"-z", "C:\\A.ZIP", "-k", "-bC:\\W\\", "-q"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitEngineString(c.in), c.out) << c.in;
}

// Given names choose members the same way one by one and all at once through the hashed lists.
TEST(ZipChoose, GivenNamesChooseTheSameMembersOneByOneAndAllAtOnce) {
  struct Case {
    const char* stored;
    const char* spec;
    bool match;
  } cases[] = {
      {"README.TXT", "readme.txt", true},         // case is ignored
      {"DOCS/README.TXT", "README.TXT", true},    // a plain name matches in any folder
      {"DOCS/README.TXT", "docs\\readme.txt", true},
      {"DOCS/README.TXT", "OTHER/README.TXT", false},  // a name with a folder matches only whole
      {"DOCS/SUB/README.TXT", "SUB/README.TXT", false},
      {"README", "README.", true},                // an empty extension on either side
      {"README.", "README", true},
      {"A.B", "A.B.", false},                     // base "A" with "B" is not base "A.B"
      {"A.B.", "A.B", false},
      {"A.B.C", "a.b.c", true},
      {"DOCS/", "docs/", true},                   // a folder entry by its whole name
      {"DOCS/", "DOCS", false},
      {".profile", ".PROFILE", true},             // an empty base matches only whole
      {"SUB/.profile", ".profile", false},
      {"C:X.TXT", "X.TXT", true},                 // a drive part is dropped as a mask drops it
      {"DIR:SUB/X.TXT", "X.TXT", true},
      {"X.TXT", "D:X.TXT", true},
      {"DOCS/README.TXT", "*.TXT", true},         // masks as before
      {"DOCS/README.TXT", "DOCS/*.*", true},
      {"DOCS/README.TXT", "OTHER/*.*", false},
      {"README.TXT", "READ?E.*", true},
      {"README", "*", true},
      {"README.TXT", "*", false},
      {"README.TXT", "README.TX", false},
      {"README.TX", "README.TXT", false},
      {"READMEE.TXT", "README.TXT", false},
  };
  std::vector<std::string> all;
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMember(c.stored, c.spec), c.match) << c.stored << " vs " << c.spec;
    EXPECT_EQ(MemberMatcher({c.spec}).Matches(c.stored), c.match) << c.stored << " vs " << c.spec;
    all.push_back(c.spec);
  }
  MemberMatcher everything(all), nothing({});
  for (const auto& c : cases) {
    bool any = false;
    for (const auto& s : all) any = any || MatchesMember(c.stored, s);
    EXPECT_EQ(everything.Matches(c.stored), any) << c.stored;
    EXPECT_FALSE(nothing.Matches(c.stored)) << c.stored;
  }
  // A reference names the one member with its UTF-8 name, exactly; only where references are taken.
  std::string ref = ql::MemberReference("DOCS/\xC3\x9C" "ber.TXT");
  MemberMatcher withRefs({ref, "README.TXT"}, MemberMatcher::kWithReferences), plain({ref});
  EXPECT_TRUE(withRefs.Matches("DOCS/_ber.TXT", "DOCS/\xC3\x9C" "ber.TXT"));
  EXPECT_TRUE(withRefs.Matches("DOCS/_ber.TXT", "DOCS\\\xC3\x9C" "ber.TXT"));
  EXPECT_FALSE(withRefs.Matches("DOCS/_ber.TXT", "docs/\xC3\x9C" "ber.txt"));
  EXPECT_FALSE(withRefs.Matches("DOCS/_ber.TXT", "DOCS/_ber.TXT"));
  EXPECT_TRUE(withRefs.Matches("SUB/README.TXT", "SUB/README.TXT"));
  for (const char* stored : {"DOCS/_ber.TXT", "DOCS/\xC3\x9C" "ber.TXT"})
    EXPECT_EQ(plain.Matches(stored), MatchesMember(stored, ref)) << stored;
}

TEST(ZipOptions, ZipSwitchesMeanWhatPkzipMeans) {
  ZipArgs a = ParseZipArgs(SplitEngineString(
      "-m|C:\\A.ZIP| -ex| -&| -$| -)| -=| -~| -3| -+| --| -(| -w| -rp| -P| -k| -sgeheim| -bC:\\W\\| @C:\\W\\ql5files"));
  EXPECT_TRUE(a.error.empty()) << a.error;
  EXPECT_TRUE(a.move);
  EXPECT_EQ(a.action, ZipAction::kAdd);
  EXPECT_EQ(a.level, 9);
  EXPECT_TRUE(a.span && a.label && a.hiddenSystem && a.recurse && a.relPaths && a.givenPaths && a.keepDate);
  EXPECT_FALSE(a.newestDate);
  EXPECT_TRUE(a.password);
  EXPECT_EQ(a.passwordText, "geheim");
  EXPECT_EQ(a.tempDir, "C:\\W\\");
  EXPECT_EQ(a.archive, "C:\\A.ZIP");
  ASSERT_EQ(a.lists.size(), 1u);
  EXPECT_EQ(a.lists[0], "C:\\W\\ql5files");

  struct Level {
    const char* opt;
    int level;
  } levels[] = {{"-ex", 9}, {"-en", 6}, {"-ef", 3}, {"-es", 1}, {"-e0", 0}};
  for (auto& l : levels) EXPECT_EQ(ParseZipArgs({l.opt, "a.zip"}).level, l.level) << l.opt;
  EXPECT_EQ(ParseZipArgs({"-f", "a.zip"}).action, ZipAction::kFreshen);
  EXPECT_EQ(ParseZipArgs({"-u", "a.zip"}).action, ZipAction::kUpdate);
  EXPECT_EQ(ParseZipArgs({"-d", "a.zip", "x"}).action, ZipAction::kDelete);
  EXPECT_EQ(ParseZipArgs({"-z", "a.zip"}).action, ZipAction::kCommentsOnly);
  EXPECT_EQ(ParseZipArgs({"-c", "a.zip", "@l"}).action, ZipAction::kCommentsOnly);
  EXPECT_TRUE(ParseZipArgs({"-o", "a.zip"}).newestDate);
  EXPECT_FALSE(ParseZipArgs({"-Y", "a.zip"}).error.empty());
  EXPECT_FALSE(ParseZipArgs({"-a", "-d", "a.zip"}).error.empty());
  EXPECT_FALSE(ParseZipArgs({"-ex"}).error.empty());
}

TEST(ZipOptions, UnzipSwitchesAndDestination) {
  UnzipArgs a = ParseUnzipArgs(SplitEngineString(
      "C:\\A.ZIP| -d| -o| -n| -en| -er| -)| -3| -+| --| -$| -spw| @C:\\W\\ql5files"));
  EXPECT_TRUE(a.error.empty()) << a.error;
  EXPECT_TRUE(a.paths && a.overwrite && a.newer && a.reverse && a.label && a.password);
  EXPECT_EQ(a.order, "n");
  EXPECT_EQ(a.passwordText, "pw");
  EXPECT_TRUE(a.dest.empty());
  UnzipArgs v = ParseUnzipArgs(SplitEngineString("| C:\\A.ZIP | DOC\\READ.ME | -o | C:\\Q\\QL5TEMP\\"));
  EXPECT_EQ(v.archive, "C:\\A.ZIP");
  EXPECT_EQ(v.specs, std::vector<std::string>{"DOC\\READ.ME"});
  EXPECT_EQ(v.dest, "C:\\Q\\QL5TEMP\\");
  UnzipArgs c = ParseUnzipArgs({"C:\\A.ZIP", "*.DLL", "*.OVL", "C:\\W\\"});
  EXPECT_EQ(c.specs, (std::vector<std::string>{"*.DLL", "*.OVL"}));
  EXPECT_EQ(c.dest, "C:\\W\\");
  EXPECT_TRUE(ParseUnzipArgs({"-t", "a.zip"}).test);
  EXPECT_EQ(ParseUnzipArgs({"-es", "-ed", "a.zip"}).order, "sd");
  EXPECT_FALSE(ParseUnzipArgs({"-k", "a.zip"}).error.empty());
}

TEST(ZipSafety, MemberPathsOutsideTheTargetAreRefused) {
  const char* refused[] = {"../evil.txt", "a/../../evil.txt", "sub\\..\\..\\evil.txt", "/etc/passwd",
                           "\\windows\\x.dll", "C:\\x.txt", "C:x.txt", "\\\\server\\share\\x", "//server/share/x",
                           "CON", "nul.txt", "sub/COM1", "LPT9.log", "aux .txt", "a:b", "dir/..", "...",
                           "tab\there", "", "q?.txt"};
  for (const char* n : refused) {
    std::string clean, why;
    EXPECT_FALSE(SafeMemberPath(n, clean, why)) << n << " -> " << clean;
    EXPECT_FALSE(why.empty()) << n;
  }
  struct Ok {
    const char* in;
    const char* clean;
  } ok[] = {{"a.txt", "a.txt"}, {"sub/b.txt", "sub/b.txt"}, {"sub\\c.txt", "sub/c.txt"}, {"./d.txt", "d.txt"},
            {"console.txt", "console.txt"}, {"com10", "com10"}, {"a..b", "a..b"}};
  for (auto& o : ok) {
    std::string clean, why;
    EXPECT_TRUE(SafeMemberPath(o.in, clean, why)) << o.in << ": " << why;
    EXPECT_EQ(clean, o.clean);
  }
}

TEST(ZipSafety, HostileArchiveWritesNothingOutsideTarget) {
  std::string root = MakeTempDir();
  std::string bytes = BuildStored({{"../evil1.txt", "x"}, {"sub/../../evil2.txt", "x"}, {"/tmp/evil3.txt", "x"},
                                   {"C:\\evil4.txt", "x"}, {"CON", "x"}, {"good/fine.txt", "fine"}});
  WriteFile(root + "/in/hostile.zip", bytes);
  auto host = MakeHost();
  for (const char* opts : {"-d -o", "-o"}) {
    std::string out = root + "/out" + std::to_string(strlen(opts));
    RecordingUi ui;
    Cwd cwd(root + "/in");
    int r = Unzip(std::string("hostile.zip|") + opts + "|" + out + "/", *host, ui);
    EXPECT_EQ(r, kUnzipWarning);
    EXPECT_EQ(ui.errors.size(), 5u) << ui.AllErrors();
    auto tree = Tree(root);
    for (auto& kv : tree) EXPECT_EQ(kv.first.find("evil"), std::string::npos) << kv.first;
    EXPECT_FALSE(Exists("/tmp/evil3.txt"));
    EXPECT_EQ(ReadFile(out + (strlen(opts) > 2 ? "/good/fine.txt" : "/fine.txt")), "fine");
  }
  Shell("rm -rf '" + root + "'");
}

TEST(ZipSafety, OverlappingEntriesAreRefused) {
  // Two central records pointing at one local header: the classic overlapping bomb shape.
  std::string one = BuildStored({{"a.txt", Sample(5000, 1)}});
  Archive ar;
  ASSERT_EQ(OpenBytes(one, ar), OpenResult::kOk);
  size_t cdStart = ar.entries[0].dataEnd;
  std::string cdRec = one.substr(cdStart, 46 + 5);
  std::string bomb = one.substr(0, cdStart) + cdRec + cdRec;
  std::vector<uint8_t> end = EndRecord(2, cdRec.size() * 2, cdStart, "");
  bomb += std::string(end.begin(), end.end());
  EXPECT_EQ(OpenBytes(bomb, ar), OpenResult::kOverlap);

  std::string root = MakeTempDir();
  WriteFile(root + "/bomb.zip", bomb);
  auto host = MakeHost();
  RecordingUi ui;
  Cwd cwd(root);
  EXPECT_EQ(Unzip("bomb.zip|-o", *host, ui), kUnzipDamaged);
  EXPECT_FALSE(Exists(root + "/a.txt"));
  ASSERT_FALSE(ui.errors.empty());
  EXPECT_NE(ui.errors[0].find("overlapping"), std::string::npos);
  Shell("rm -rf '" + root + "'");
}

// Two members of one name: the second meets the file the first wrote in the same run, which is
// asked about like any existing file; with no (or a No) answer the first stays and a warning says so.
TEST(ZipExtract, AFileWrittenEarlierInTheRunIsAskedAbout) {
  std::string root = MakeTempDir();
  WriteFile(root + "/same.zip", BuildStored({{"same.txt", "first"}, {"same.txt", "second"}}));
  auto host = MakeHost();
  Cwd cwd(root);
  struct Case {
    const char* cmd;
    Ui::Answer answer;
    int code;
    const char* kept;
  } cases[] = {
      {"same.zip|-d|n/", Ui::kNo, kUnzipWarning, "first"},
      {"same.zip|n2/", Ui::kNo, kUnzipWarning, "first"},
      {"same.zip|-d|y/", Ui::kYes, kUnzipOk, "second"},
      {"same.zip|-o|o/", Ui::kNo, kUnzipOk, "second"},
  };
  for (const auto& c : cases) {
    RecordingUi ui;
    ui.overwriteAnswer = c.answer;
    EXPECT_EQ(Unzip(c.cmd, *host, ui), c.code) << c.cmd << ui.AllErrors();
    std::string dir = std::string(c.cmd).substr(9);
    dir = root + "/" + dir.substr(dir.find('|') == std::string::npos ? 0 : dir.find('|') + 1);
    EXPECT_EQ(ReadFile(dir + "same.txt"), c.kept) << c.cmd;
    if (c.code == kUnzipWarning) {
      ASSERT_EQ(ui.errors.size(), 1u) << c.cmd;
      EXPECT_NE(ui.errors[0].find("exists"), std::string::npos) << ui.errors[0];
    }
    auto tree = Tree(dir);
    EXPECT_EQ(tree.size(), 1u) << c.cmd;
  }
  Shell("rm -rf '" + root + "'");
}

TEST(ZipReader, FindsTheEndRecordAndLeadingData) {
  std::string arc = BuildStored({{"a.txt", "alpha"}, {"b.txt", "beta"}}, "comment PK\x05\x06 inside");
  Archive ar;
  ASSERT_EQ(OpenBytes(arc, ar), OpenResult::kOk);
  EXPECT_EQ(ar.entries.size(), 2u);
  EXPECT_EQ(ar.comment, "comment PK\x05\x06 inside");
  std::string sfx = std::string(5000, 'M') + arc;  // a stub in front, offsets not adjusted
  ASSERT_EQ(OpenBytes(sfx, ar), OpenResult::kOk);
  EXPECT_EQ(ar.leading, 5000u);
  MemorySource src(sfx.data(), sfx.size());
  std::string got;
  EXPECT_EQ(DecodeEntry(src, ar.entries[1], "", [&](const uint8_t* p, size_t n) {
              got.append(reinterpret_cast<const char*>(p), n);
              return true;
            }),
            DecodeResult::kOk);
  EXPECT_EQ(got, "beta");
  // Damage: truncation, a broken central record, a count that lies.
  EXPECT_EQ(OpenBytes(arc.substr(0, arc.size() - 30), ar), OpenResult::kNotZip);
  std::string broken = arc;
  broken[ar.entries[0].dataEnd - 5000 + 0] = 'X';
  EXPECT_NE(OpenBytes(broken, ar), OpenResult::kOk);
  EXPECT_EQ(OpenBytes("PK\x05\x06", ar), OpenResult::kNotZip);
}

// Bytes left after the end record by some tools and transfers, and data in front of the first
// member: the archive reads, lists, tests and extracts as it is.
TEST(ZipReader, ArbitraryBytesAroundTheArchiveAreTolerated) {
  std::string arc = BuildStored({{"one.txt", Sample(120, 1)}, {"two.txt", Sample(60, 2)}});
  std::string after = Random(189, 9), before = Random(89, 8);
  struct Case {
    const char* what;
    std::string bytes;
    uint64_t leading;
  } cases[] = {
      {"after", arc + after, 0},
      {"before and after", before + arc + after, 89},
      {"after, with an end signature in the padding", arc + "PK\x05\x06" + after, 0},
  };
  std::string root = MakeTempDir();
  auto host = MakeHost();
  Cwd cwd(root);
  int n = 0;
  for (const auto& c : cases) {
    Archive ar;
    ASSERT_EQ(OpenBytes(c.bytes, ar), OpenResult::kOk) << c.what;
    EXPECT_EQ(ar.entries.size(), 2u) << c.what;
    EXPECT_EQ(ar.leading, c.leading) << c.what;
    std::string name = "p" + std::to_string(++n) + ".zip", out = "o" + std::to_string(n) + "/";
    WriteFile(root + "/" + name, c.bytes);
    RecordingUi t;
    EXPECT_EQ(Unzip("-t|" + name, *host, t), kUnzipOk) << c.what << t.AllErrors();
    RecordingUi x;
    EXPECT_EQ(Unzip(name + "|" + out, *host, x), kUnzipOk) << c.what << x.AllErrors();
    EXPECT_EQ(ReadFile(root + "/" + out + "two.txt"), Sample(60, 2)) << c.what;
  }
  Shell("rm -rf '" + root + "'");
}

// An end record that counts fewer entries than the central directory holds: every member is
// read, and the inconsistency is reported rather than "No errors detected".
TEST(ZipReader, AnEndRecordCountingTooFewHidesNoMember) {
  std::string arc = BuildStored({{"one.txt", "1"}, {"two.txt", "22"}, {"three.txt", "333"}});
  for (size_t at : {arc.size() - 14, arc.size() - 12}) arc[at] = 1, arc[at + 1] = 0;
  Archive ar;
  ASSERT_EQ(OpenBytes(arc, ar), OpenResult::kOk);
  EXPECT_EQ(ar.entries.size(), 3u);
  EXPECT_NE(ar.warning.find("counts 1"), std::string::npos) << ar.warning;
  std::string root = MakeTempDir();
  WriteFile(root + "/low.zip", arc);
  auto host = MakeHost();
  Cwd cwd(root);
  RecordingUi t;
  EXPECT_EQ(Unzip("-t|low.zip", *host, t), kUnzipWarning);
  for (const auto& l : t.lines) EXPECT_EQ(l.find("No errors"), std::string::npos) << l;
  ASSERT_FALSE(t.errors.empty());
  EXPECT_NE(t.errors[0].find("holds 3"), std::string::npos) << t.errors[0];
  RecordingUi x;
  EXPECT_EQ(Unzip("low.zip|all/", *host, x), kUnzipWarning);
  EXPECT_EQ(Tree(root + "/all").size(), 3u);
  RecordingUi one;
  EXPECT_EQ(Unzip("low.zip|two.txt|one/", *host, one), kUnzipWarning) << one.AllErrors();
  EXPECT_EQ(ReadFile(root + "/one/two.txt"), "22");
  Shell("rm -rf '" + root + "'");
}

// A member we do not decode is reported by its method's name and number; method 99 without
// WinZip's AES field as encryption we do not know.
TEST(ZipExtract, UnsupportedMethodsAreNamed) {
  struct Case {
    uint16_t method, flags;
    const char* text;
  } cases[] = {
      {93, 0, "Zstandard (method 93)"}, {96, 0, "JPEG (method 96)"}, {98, 0, "PPMd (method 98)"},
      {99, 1, "not supported (method 99)"}, {77, 0, "unknown (method 77)"},
  };
  std::string root = MakeTempDir();
  auto host = MakeHost();
  Cwd cwd(root);
  for (const auto& c : cases) {
    std::string arc = BuildStored({{"m.txt", "data"}});
    // The method and flags of the local header (offset 0) and of the central record.
    size_t central = arc.find("PK\x01\x02");
    for (size_t at : {size_t{6}, central + 8}) {
      arc[at] = static_cast<char>(c.flags);
      arc[at + 2] = static_cast<char>(c.method);
    }
    WriteFile(root + "/m.zip", arc);
    for (const char* cmd : {"-t|m.zip", "-o|m.zip|out/"}) {
      RecordingUi ui;
      EXPECT_EQ(Unzip(cmd, *host, ui), kUnzipWarning) << cmd;
      ASSERT_EQ(ui.errors.size(), 1u) << cmd;
      EXPECT_NE(ui.errors[0].find(c.text), std::string::npos) << ui.errors[0];
    }
  }
  Shell("rm -rf '" + root + "'");
}

// WinZip AES members made by 7z (AES-128 and AES-256, deflated and stored, AE-2 and one AE-1)
// come out as 7z extracts them. A wrong password, a damaged authentication code or damaged
// encrypted data says so and leaves no file; AE-1's CRC is checked, AE-2's stored 0 is not.
TEST(ZipExtract, AesMembersComeOutOnlyWhenPasswordAndCodeMatch) {
  const std::string fixture = std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/aes.zip";
  const std::string zip = ReadFile(fixture);
  Archive ar;
  ASSERT_EQ(OpenBytes(zip, ar), OpenResult::kOk);
  ASSERT_EQ(ar.entries.size(), 5u);
  std::string root = MakeTempDir();
  auto host = MakeHost();
  Cwd cwd(root);
  ASSERT_EQ(Shell("7z x -y -psecret -o'" + root + "/theirs' '" + fixture + "' >/dev/null"), 0);
  const auto theirs = Tree(root + "/theirs");
  ASSERT_EQ(theirs.size(), 5u);
  WriteFile(root + "/aes.zip", zip);
  RecordingUi ui;
  EXPECT_EQ(Unzip("-ssecret|aes.zip|ours/", *host, ui), kUnzipOk) << ui.AllErrors();
  EXPECT_EQ(Tree(root + "/ours"), theirs);
  RecordingUi t;
  EXPECT_EQ(Unzip("-t|-ssecret|aes.zip", *host, t), kUnzipOk) << t.AllErrors();

  // Damage to every member: the last byte of its code, or a byte of its encrypted data.
  std::string code = zip, data = zip, crc = zip;
  for (const Entry& e : ar.entries) {
    code[e.dataOffset + e.csize - 1] ^= 0x01;
    data[e.dataOffset + 16 + 2 + 3] ^= 0x40;  // past the longest salt and the check value
  }
  // The AE-1 member's CRC in its central record (the one the reader uses), off by one.
  const size_t tiny = zip.rfind("aes256_tiny.txt") - 46;
  ASSERT_EQ(zip.compare(tiny, 4, "PK\x01\x02"), 0);
  crc[tiny + 16] ^= 0x01;
  struct Case {
    const char* zip;
    std::string bytes;
    const char* password;
    const char* message;
    size_t failing;  // members reported; the others come out
  } cases[] = {
      {"wrong.zip", zip, "wrong", "incorrect password", 5},
      {"code.zip", code, "secret", "damaged", 5},
      {"data.zip", data, "secret", "damaged", 5},
      {"crc.zip", crc, "secret", "CRC", 1},
  };
  int n = 0;
  for (const auto& c : cases) {
    WriteFile(root + "/" + c.zip, c.bytes);
    const std::string out = "x" + std::to_string(++n);
    RecordingUi x;
    EXPECT_EQ(Unzip("-o|-s" + std::string(c.password) + "|" + c.zip + "|" + out + "/", *host, x), kUnzipWarning)
        << c.zip;
    ASSERT_EQ(x.errors.size(), c.failing) << c.zip << x.AllErrors();
    for (const auto& err : x.errors) EXPECT_NE(err.find(c.message), std::string::npos) << c.zip << ": " << err;
    const auto got = Tree(root + "/" + out);
    EXPECT_EQ(got.size(), 5 - c.failing) << c.zip;
    for (const auto& kv : got) EXPECT_EQ(theirs.at(kv.first), kv.second) << c.zip << " " << kv.first;
  }
  Shell("rm -rf '" + root + "'");
}

// A reference (what a list line carries for a name the window can only show as a look-alike)
// names exactly one member, for extraction and for deletion; its look-alike is left alone.
TEST(ZipNames, AMemberReferenceNamesOneMemberExactly) {
  std::string root = MakeTempDir();
  WriteFile(root + "/un.zip", ReadFile(std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/unicode_names.zip"));
  Cwd cwd(root);
  auto host = MakeHost();
  const std::string pi = ql::MemberReference("π.txt"), folder = ql::MemberReference("日本語/ファイル.txt");
  RecordingUi ui;
  EXPECT_EQ(Unzip("-d|un.zip|" + pi + "|" + folder + "|out/", *host, ui), kUnzipOk) << ui.AllErrors();
  std::map<std::string, std::string> want = {{"π.txt", "pi\r\n"}, {"日本語/ファイル.txt", "in a folder\r\n"}};
  EXPECT_EQ(Tree(root + "/out"), want);
  // The look-alike "?.txt" as a reference is a name, not a wildcard: it names nothing here.
  RecordingUi none;
  EXPECT_EQ(Unzip("un.zip|" + ql::MemberReference("?.txt") + "|out2/", *host, none), kUnzipNoFiles);
  RecordingUi del;
  EXPECT_EQ(Zip("-d|un.zip|" + pi, *host, del), kZipOk) << del.AllErrors();
  Archive ar;
  ASSERT_EQ(OpenBytes(ReadFile(root + "/un.zip"), ar), OpenResult::kOk);
  std::string names;
  for (const Entry& e : ar.entries) names += e.name + ";";
  EXPECT_EQ(names, "Ελληνικά.txt;日本語/ファイル.txt;p.txt;Ceska.txt;stale.txt;");
  // The members kept keep their Unicode path fields in the local headers too, where Info-ZIP
  // compares the names.
  EXPECT_EQ(Shell("unzip -tqq '" + root + "/un.zip' >/dev/null 2>&1"), 0);
  Shell("rm -rf '" + root + "'");
}

TEST(ZipExtract, BadDataIsReportedAndNoPartialFileStays) {
  std::string text = Sample(200000, 7);
  std::string root = MakeTempDir();
  auto host = MakeHost();
  WriteFile(root + "/src/data.txt", text);
  WriteFile(root + "/src/small.txt", "small");
  {
    Cwd cwd(root + "/src");
    RecordingUi ui;
    ASSERT_EQ(Zip("-a|../good.zip|data.txt|small.txt", *host, ui), kZipOk) << ui.AllErrors();
    RecordingUi ui2;
    ASSERT_EQ(Zip("-a|-sabc|../crypt.zip|data.txt", *host, ui2), kZipOk) << ui2.AllErrors();
  }
  std::string good = ReadFile(root + "/good.zip");
  Archive ar;
  ASSERT_EQ(OpenBytes(good, ar), OpenResult::kOk);
  // Flip a byte in the middle of the deflated data: CRC or data error, never a file.
  std::string bad = good;
  bad[ar.entries[0].dataOffset + ar.entries[0].csize / 2] ^= 0x55;
  WriteFile(root + "/bad.zip", bad);
  // A method we do not decode (PPMd, 98).
  std::string odd = good;
  odd[ar.entries[1].localOffset + 8] = 98;
  size_t cd = static_cast<size_t>(ar.entries[1].dataEnd);
  for (size_t i = cd; i + 4 < odd.size(); ++i)
    if (odd.compare(i, 4, "PK\x01\x02") == 0 && odd.compare(i + 46, 9, "small.txt") == 0) odd[i + 10] = 98;
  WriteFile(root + "/odd.zip", odd);

  Cwd cwd(root);
  struct Case {
    const char* cmd;
    const char* file;
    const char* message;
  } cases[] = {
      {"bad.zip|-o|x1/", "x1/data.txt", nullptr},
      {"odd.zip|-o|x2/", "x2/small.txt", "method"},
      {"crypt.zip|-o|-swrong|x3/", "x3/data.txt", "password"},
      {"crypt.zip|-o|x4/", "x4/data.txt", "password"},
  };
  for (const auto& c : cases) {
    RecordingUi ui;
    EXPECT_EQ(Unzip(c.cmd, *host, ui), kUnzipWarning) << c.cmd;
    EXPECT_FALSE(Exists(root + "/" + c.file)) << c.cmd;
    ASSERT_EQ(ui.errors.size(), 1u) << c.cmd << ui.AllErrors();
    if (c.message) EXPECT_NE(ui.errors[0].find(c.message), std::string::npos) << ui.errors[0];
    auto tree = Tree(root + "/" + std::string(c.file).substr(0, 2));
    for (auto& kv : tree) EXPECT_EQ(kv.first.find(".~q"), std::string::npos) << kv.first;
  }
  RecordingUi ok;
  EXPECT_EQ(Unzip("odd.zip|-o|x2/", *host, ok), kUnzipWarning);
  EXPECT_EQ(ReadFile(root + "/x2/data.txt"), text);  // the other member still comes out
  RecordingUi t;
  EXPECT_EQ(Unzip("-t|bad.zip", *host, t), kUnzipWarning);
  RecordingUi good2;
  EXPECT_EQ(Unzip("crypt.zip|-o|-sabc|x5/", *host, good2), kUnzipOk) << good2.AllErrors();
  EXPECT_EQ(ReadFile(root + "/x5/data.txt"), text);
  Shell("rm -rf '" + root + "'");
}

// A host whose writes fail (disk full) or whose sources cannot be opened.
class FaultyHost : public Host {
 public:
  explicit FaultyHost(std::unique_ptr<Host> h) : real(std::move(h)) {}
  std::FILE* OpenRead(const std::string& p) override {
    return p.find(unreadable.empty() ? "\x01" : unreadable) != std::string::npos ? nullptr : real->OpenRead(p);
  }
  std::FILE* CreateNew(const std::string& p) override {
    if (diskFull || (!fullFor.empty() && p.find(fullFor) != std::string::npos))
      return std::fopen("/dev/full", "wb");
    return real->CreateNew(p);
  }
  bool Stat(const std::string& p, DirEntry& o) override { return real->Stat(p, o); }
  bool List(const std::string& d, std::vector<DirEntry>& o) override { return real->List(d, o); }
  bool MakeDir(const std::string& p) override { return real->MakeDir(p); }
  bool Remove(const std::string& p) override { return real->Remove(p); }
  bool Replace(const std::string& f, const std::string& t) override { return real->Replace(f, t); }
  void SetTime(const std::string& p, int64_t t) override { real->SetTime(p, t); }
  void SetAttrs(const std::string& p, uint32_t a, uint32_t m) override { real->SetAttrs(p, a, m); }
  std::string CurrentDir() override { return real->CurrentDir(); }
  std::string VolumeLabel(const std::string& p) override { return real->VolumeLabel(p); }
  bool SetVolumeLabel(const std::string& p, const std::string& l) override { return real->SetVolumeLabel(p, l); }
  bool IsRemovable(const std::string& p) override { return real->IsRemovable(p); }
  uint16_t MadeBy() const override { return real->MadeBy(); }
  bool FoldsCase() const override { return real->FoldsCase(); }
  std::string LocalName(const std::string& s, NameKind k, bool* exact) override { return real->LocalName(s, k, exact); }
  std::string Utf8Name(const std::string& l) override { return real->Utf8Name(l); }
  std::string ArchiveName(const std::string& l, bool& u) override { return real->ArchiveName(l, u); }
  std::unique_ptr<Host> real;
  bool diskFull = false;
  std::string fullFor;  // writes of files whose path has this in it fail with a full disk
  std::string unreadable;
};

// A member that meets a full disk is reported as such; the members after it are each tried on
// their own and come out when there is room for them.
TEST(ZipExtract, AFullDiskFailsOnlyTheMemberThatMetIt) {
  std::vector<RawEntry> members = {{"huge.bin", Random(300000, 3)}};
  for (int i = 0; i < 40; ++i) members.push_back({"small" + std::to_string(i) + ".txt", "twenty-nine bytes of content."});
  std::string root = MakeTempDir();
  WriteFile(root + "/in.zip", BuildStored(members));
  Cwd cwd(root);
  SetWorkerThreads(1);
  FaultyHost host(MakeHost());
  host.fullFor = "huge";
  RecordingUi ui;
  EXPECT_EQ(Unzip("in.zip|out/", host, ui), kUnzipDiskFull);
  SetWorkerThreads(0);
  ASSERT_EQ(ui.errors.size(), 1u) << ui.AllErrors();
  EXPECT_NE(ui.errors[0].find("huge.bin: disk full"), std::string::npos) << ui.errors[0];
  auto tree = Tree(root + "/out");
  EXPECT_EQ(tree.size(), 40u);
  EXPECT_EQ(tree.count("huge.bin"), 0u);
  EXPECT_EQ(tree["small39.txt"], "twenty-nine bytes of content.");
  Shell("rm -rf '" + root + "'");
}

TEST(ZipWrite, FailureHalfWayLeavesTheOldArchiveByteIdentical) {
  std::string root = MakeTempDir();
  for (int i = 0; i < 12; ++i) WriteFile(root + "/src/f" + std::to_string(i) + ".txt", Sample(50000 + i * 1000, i));
  WriteFile(root + "/src/big.bin", Random(9u << 20, 4));  // streamed, not read whole
  Cwd cwd(root + "/src");
  auto real = MakeHost();
  RecordingUi ui0;
  ASSERT_EQ(Zip("-a|../arc.zip|f1.txt|f2.txt", *real, ui0), kZipOk) << ui0.AllErrors();
  std::string before = ReadFile(root + "/arc.zip");

  struct Case {
    const char* what;
    bool diskFull;
    const char* unreadable;
    int cancelAfter;
    int code;
  } cases[] = {
      {"disk full", true, "", -1, kZipDiskFull},
      {"unreadable source", false, "f7.txt", -1, kZipCantOpen},
      {"cancel", false, "", 5, kZipBreak},
      {"cancel while streaming", false, "", 20, kZipBreak},
  };
  for (const auto& c : cases) {
    FaultyHost host(MakeHost());
    host.diskFull = c.diskFull;
    host.unreadable = c.unreadable;
    RecordingUi ui;
    ui.cancelAfter = c.cancelAfter;
    EXPECT_EQ(Zip("-a|../arc.zip|-ex|*.*|big.bin", host, ui), c.code) << c.what;
    EXPECT_TRUE(ReadFile(root + "/arc.zip") == before) << c.what;
    auto tree = Tree(root);
    for (auto& kv : tree) EXPECT_EQ(kv.first.find(".TMP"), std::string::npos) << c.what << " left " << kv.first;
  }
  // The same command with nothing in the way succeeds.
  RecordingUi ui;
  EXPECT_EQ(Zip("-a|../arc.zip|-ex|*.*", *real, ui), kZipOk) << ui.AllErrors();
  Archive ar;
  EXPECT_EQ(OpenBytes(ReadFile(root + "/arc.zip"), ar), OpenResult::kOk);
  EXPECT_EQ(ar.entries.size(), 13u);
  Shell("rm -rf '" + root + "'");
}

TEST(ZipWrite, SpanningOnAFixedDiskIsRefused) {
  std::string root = MakeTempDir();
  WriteFile(root + "/a.txt", "a");
  Cwd cwd(root);
  auto host = MakeHost();
  RecordingUi ui;
  EXPECT_EQ(Zip("-a|-&|span.zip|a.txt", *host, ui), kZipBadParams);
  EXPECT_FALSE(Exists(root + "/span.zip"));
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("removable"), std::string::npos);
  Shell("rm -rf '" + root + "'");
}

TEST(ZipWrite, CommentsShowTheExistingTextAndAreStored) {
  std::string root = MakeTempDir();
  WriteFile(root + "/a.txt", "a");
  WriteFile(root + "/b.txt", "b");
  Cwd cwd(root);
  auto host = MakeHost();
  RecordingUi ui;
  ASSERT_EQ(Zip("-a|c.zip|a.txt|b.txt", *host, ui), kZipOk);
  RecordingUi z;
  z.comments = {"First title"};
  ASSERT_EQ(Zip(" -z |c.zip| -k|-q", *host, z), kZipOk) << z.AllErrors();
  RecordingUi z2;
  z2.comments = {"Second title"};
  ASSERT_EQ(Zip(" -z |c.zip", *host, z2), kZipOk);
  ASSERT_EQ(z2.shownComments.size(), 1u);
  EXPECT_EQ(z2.shownComments[0], "First title");
  WriteFile(root + "/list", "b.txt\r\n");
  RecordingUi c;
  c.comments = {"about b"};
  ASSERT_EQ(Zip(" -c |c.zip| @list", *host, c), kZipOk) << c.AllErrors();
  Archive ar;
  ASSERT_EQ(OpenBytes(ReadFile(root + "/c.zip"), ar), OpenResult::kOk);
  EXPECT_EQ(ar.comment, "Second title");
  EXPECT_EQ(ar.entries[0].comment, "");
  EXPECT_EQ(ar.entries[1].comment, "about b");
  Shell("rm -rf '" + root + "'");
}

TEST(ZipExtract, CancelStopsCleanlyWithoutPartialFiles) {
  std::string root = MakeTempDir();
  for (int i = 0; i < 20; ++i) WriteFile(root + "/src/f" + std::to_string(i) + ".txt", Sample(300000, i));
  auto host = MakeHost();
  {
    Cwd cwd(root + "/src");
    RecordingUi ui;
    ASSERT_EQ(Zip("-a|../many.zip|*.*", *host, ui), kZipOk);
  }
  Cwd cwd(root);
  RecordingUi ui;
  ui.cancelAfter = 0;
  EXPECT_EQ(Unzip("many.zip|-o|out/", *host, ui), kUnzipBreak);
  auto tree = Tree(root + "/out");
  EXPECT_LT(tree.size(), 20u);
  for (auto& kv : tree) {
    EXPECT_EQ(kv.first.find(".~q"), std::string::npos) << kv.first;
    EXPECT_TRUE(kv.second == ReadFile(root + "/src/" + kv.first)) << kv.first;
  }
  Shell("rm -rf '" + root + "'");
}

TEST(ZipWrite, TheArchiveIsNeverAddedToItself) {
  std::string root = MakeTempDir();
  WriteFile(root + "/a.txt", "a");
  Cwd cwd(root);
  auto host = MakeHost();
  for (std::string name : {root + "/self.zip", std::string("self.zip"), std::string("./self.zip")}) {
    RecordingUi ui;
    ASSERT_EQ(Zip("-a|" + name + "|*.*", *host, ui), kZipOk) << name << ui.AllErrors();
    Archive ar;
    ASSERT_EQ(OpenBytes(ReadFile(root + "/self.zip"), ar), OpenResult::kOk);
    ASSERT_EQ(ar.entries.size(), 1u) << name;
    EXPECT_EQ(ar.entries[0].name, "a.txt");
  }
  Shell("rm -rf '" + root + "'");
}

TEST(ZipWrite, VolumeLabelIsStoredAsALabelEntryAndNotExtractedAsAFile) {
  std::string root = MakeTempDir();
  WriteFile(root + "/a.txt", "a");
  Cwd cwd(root);
  struct LabelHost : FaultyHost {
    LabelHost() : FaultyHost(MakeHost()) {}
    std::string VolumeLabel(const std::string&) override { return "MYDISK"; }
    bool SetVolumeLabel(const std::string&, const std::string& l) override {
      label = l;
      return true;
    }
    std::string label;
  } host;
  RecordingUi ui;
  ASSERT_EQ(Zip("-a|-$|lab.zip|a.txt", host, ui), kZipOk) << ui.AllErrors();
  RecordingUi again;
  ASSERT_EQ(Zip("-a|-$|lab.zip|a.txt", host, again), kZipOk) << again.AllErrors();
  Archive ar;
  ASSERT_EQ(OpenBytes(ReadFile(root + "/lab.zip"), ar), OpenResult::kOk);
  ASSERT_EQ(ar.entries.size(), 2u) << "one label, however often it is stored";
  EXPECT_EQ(ar.entries[1].name, "MYDISK");
  EXPECT_TRUE(ar.entries[1].isLabel());
  EXPECT_EQ(Shell("unzip -tq lab.zip >/dev/null"), 0);
  RecordingUi x;
  ASSERT_EQ(Unzip("lab.zip|-o|out/", host, x), kUnzipOk) << x.AllErrors();
  EXPECT_FALSE(Exists(root + "/out/MYDISK"));
  EXPECT_EQ(host.label, "");
  RecordingUi y;
  ASSERT_EQ(Unzip("lab.zip|-o|-$|out/", host, y), kUnzipOk) << y.AllErrors();
  EXPECT_EQ(host.label, "MYDISK");
  // -f only refreshes files that exist and are older.
  WriteFile(root + "/out/a.txt", "old");
  Shell("touch -d '2001-01-01' '" + root + "/out/a.txt'");
  RecordingUi f;
  ASSERT_EQ(Unzip("lab.zip|-f|-o|out2/", host, f), kUnzipOk);
  EXPECT_FALSE(Exists(root + "/out2/a.txt"));
  ASSERT_EQ(Unzip("lab.zip|-f|-o|out/", host, f), kUnzipOk);
  EXPECT_EQ(ReadFile(root + "/out/a.txt"), "a");
  Shell("rm -rf '" + root + "'");
}
