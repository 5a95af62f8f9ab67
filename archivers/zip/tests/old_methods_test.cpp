// The ZIP 1.x methods: shrink, reduce (factors 1-4) and implode (4K/8K, with and without the
// literal tree) decode what our test encoders write, Info-ZIP's unzip agrees on every fixture,
// and damaged streams are reported, never crash or run away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archivers/zip/old_methods.h"
#include "archivers/zip/tests/old_method_writer.h"
#include "archivers/zip/tests/test_support.h"
#include "archivers/zip/zipcore.h"

namespace {

using oldzip::Member;
using qlzip::DecodeResult;
using ziptest::ReadFile;
using ziptest::Shell;
using ziptest::WriteFile;

struct Decoded {
  DecodeResult result = DecodeResult::kDamaged;
  std::string data;
};

// Every entry of an archive in memory, decoded with our reader.
std::vector<Decoded> DecodeAll(const std::string& zip, const std::string& password = "") {
  qlzip::MemorySource src(zip.data(), zip.size());
  qlzip::Archive ar;
  std::vector<Decoded> out;
  if (ar.Open(src) != qlzip::OpenResult::kOk) return out;
  for (const auto& e : ar.entries) {
    Decoded d;
    d.result = qlzip::DecodeEntry(src, e, password, [&](const uint8_t* p, size_t n) {
      d.data.append(reinterpret_cast<const char*>(p), n);
      return true;
    });
    out.push_back(d);
  }
  return out;
}

// Data that the old methods meet: text, binary with the reduce escape byte 144, long runs.
std::string Escapes(size_t n) {
  std::string s = ziptest::Random(n, 5);
  for (size_t i = 0; i < n; i += 7) s[i] = '\x90';
  return s;
}

struct Shape {
  const char* name;
  uint16_t method;
  bool bigDictionary, literalTree;
  int maxFollowers, clearEvery;
};

const Shape kShapes[] = {
    {"shrink", 1, false, false, 32, 0},
    {"shrink cleared every 50 codes", 1, false, false, 32, 50},
    {"shrink cleared every 3 codes", 1, false, false, 32, 3},
    {"reduce factor 1", 2, false, false, 32, 0},
    {"reduce factor 2", 3, false, false, 32, 0},
    {"reduce factor 3", 4, false, false, 32, 0},
    {"reduce factor 4", 5, false, false, 32, 0},
    {"reduce factor 4, one follower", 5, false, false, 1, 0},
    {"reduce factor 2, two followers", 3, false, false, 2, 0},
    {"reduce factor 3, five followers", 4, false, false, 5, 0},
    {"implode 4K", 6, false, false, 32, 0},
    {"implode 4K literal tree", 6, false, true, 32, 0},
    {"implode 8K", 6, true, false, 32, 0},
    {"implode 8K literal tree", 6, true, true, 32, 0},
};

Member MemberOf(const Shape& s, const std::string& name, const std::string& data) {
  Member m;
  m.name = name;
  m.data = data;
  m.method = s.method;
  m.bigDictionary = s.bigDictionary;
  m.literalTree = s.literalTree;
  m.maxFollowers = s.maxFollowers;
  m.clearEvery = s.clearEvery;
  return m;
}

std::vector<std::pair<std::string, std::string>> Inputs() {
  return {{"empty", ""},
          {"one byte", "Q"},
          {"escape byte", "\x90"},
          {"text", ziptest::Sample(20000, 3)},
          {"escapes", Escapes(6000)},
          {"run", std::string(40000, 'A') + "B" + std::string(9000, 'A')},
          {"noise", ziptest::Random(5000, 9)},
          {"far repeats", ziptest::Random(7000, 11) + ziptest::Random(7000, 11)}};
}

TEST(OldMethods, EveryShapeDecodesEveryInput) {
  for (const Shape& s : kShapes) {
    std::vector<Member> members;
    for (auto& in : Inputs()) members.push_back(MemberOf(s, in.first, in.second));
    std::vector<Decoded> got = DecodeAll(oldzip::MakeZip(members));
    ASSERT_EQ(got.size(), members.size()) << s.name;
    for (size_t i = 0; i < members.size(); ++i) {
      EXPECT_EQ(got[i].result, DecodeResult::kOk) << s.name << ", " << members[i].name;
      EXPECT_TRUE(got[i].data == members[i].data) << s.name << ", " << members[i].name;
    }
  }
}

// A big text fills the shrink table: codes widen to 13 bits and the full table is cleared.
TEST(OldMethods, ShrinkFillsTheTableAndClearsIt) {
  std::string text = ziptest::Sample(200000, 4) + ziptest::Random(60000, 4);
  std::vector<uint8_t> packed = oldzip::Shrink(text);
  std::string out;
  auto r = qlzip::DecodeOldMethod(1, 0, text.size(), [&, at = size_t(0)](uint8_t* b, size_t n) mutable {
    size_t k = std::min(n, packed.size() - at);
    std::copy(packed.begin() + static_cast<long>(at), packed.begin() + static_cast<long>(at + k), b);
    at += k;
    return k;
  }, [&](const uint8_t* p, size_t n) {
    out.append(reinterpret_cast<const char*>(p), n);
    return true;
  });
  EXPECT_EQ(r, qlzip::OldMethodResult::kOk);
  EXPECT_TRUE(out == text);
  // A stream with no room to clear is denser than one cleared every few codes.
  EXPECT_LT(packed.size(), oldzip::Shrink(text, {5}).size());
}

TEST(OldMethods, EncryptedMembersNeedTheirPassword) {
  std::vector<Member> members;
  for (const Shape& s : {kShapes[0], kShapes[4], kShapes[13]}) {
    members.push_back(MemberOf(s, s.name, ziptest::Sample(3000, 8)));
    members.back().password = "old";
  }
  std::string zip = oldzip::MakeZip(members);
  for (const Decoded& d : DecodeAll(zip, "old")) EXPECT_EQ(d.result, DecodeResult::kOk);
  for (const Decoded& d : DecodeAll(zip, "wrong")) EXPECT_EQ(d.result, DecodeResult::kPassword);
}

// Streams ----------------------------------------------------------------------------------------

qlzip::OldMethodResult Decode(uint16_t method, uint16_t flags, uint64_t usize, const std::vector<uint8_t>& in,
                              std::string* out = nullptr) {
  size_t at = 0;
  uint64_t produced = 0;
  auto r = qlzip::DecodeOldMethod(method, flags, usize, [&](uint8_t* b, size_t n) {
    size_t k = std::min(n, in.size() - at);
    std::copy(in.begin() + static_cast<long>(at), in.begin() + static_cast<long>(at + k), b);
    at += k;
    return k;
  }, [&](const uint8_t* p, size_t n) {
    produced += n;
    if (out) out->append(reinterpret_cast<const char*>(p), n);
    return true;
  });
  EXPECT_LE(produced, usize);
  return r;
}

// Cut short or with bits flipped, a stream is reported as damaged or decodes to something the
// CRC check then refuses; the decoder never reads or writes out of bounds (ASan) or runs on.
TEST(OldMethods, DamagedStreamsAreReported) {
  std::string text = ziptest::Sample(8000, 6) + Escapes(2000);
  for (const Shape& s : kShapes) {
    Member m = MemberOf(s, "x", text);
    uint16_t flags = 0;
    std::vector<uint8_t> packed = oldzip::Pack(m, flags);
    for (size_t cut : {size_t(0), size_t(1), packed.size() / 3, packed.size() - 1}) {
      std::vector<uint8_t> part(packed.begin(), packed.begin() + static_cast<long>(cut));
      EXPECT_EQ(Decode(s.method, flags, text.size(), part), qlzip::OldMethodResult::kDamaged) << s.name << " cut at " << cut;
    }
    int caught = 0;
    for (size_t i = 0; i < packed.size(); i += 1 + packed.size() / 60) {
      std::vector<uint8_t> bad = packed;
      bad[i] ^= static_cast<uint8_t>(1u << (i % 8));
      std::string out;
      if (Decode(s.method, flags, text.size(), bad, &out) != qlzip::OldMethodResult::kOk || out != text) ++caught;
    }
    EXPECT_GT(caught, 40) << s.name;
  }
}

std::vector<uint8_t> Bits(const std::vector<std::pair<uint32_t, int>>& fields) {
  std::vector<uint8_t> v;
  int used = 0;
  for (auto& f : fields)
    for (int i = 0; i < f.second; ++i) {
      if (used == 0) v.push_back(0);
      if ((f.first >> i) & 1) v.back() = static_cast<uint8_t>(v.back() | 1 << used);
      used = (used + 1) & 7;
    }
  return v;
}

// Follower sets all empty (256 six-bit zeros), then the fields given.
std::vector<std::pair<uint32_t, int>> NoFollowers(std::vector<std::pair<uint32_t, int>> then) {
  std::vector<std::pair<uint32_t, int>> f(256, {0, 6});
  f.insert(f.end(), then.begin(), then.end());
  return f;
}

TEST(OldMethods, BrokenRulesAreDamage) {
  struct Case {
    const char* name;
    uint16_t method, flags;
    uint64_t usize;
    std::vector<uint8_t> stream;
    qlzip::OldMethodResult want;
  };
  using R = qlzip::OldMethodResult;
  std::vector<uint8_t> fourValues = {0, 0x31};  // one run: four values of length 2
  // A length tree of 64 values all 1 bit long: far more codes than one bit allows.
  std::vector<uint8_t> allOneBit = {3, 0xF0, 0xF0, 0xF0, 0xF0};
  std::vector<uint8_t> sixtyFiveValues = {4, 0xF5, 0xF5, 0xF5, 0xF5, 0x05};
  const Case cases[] = {
      {"shrink: first code is not a literal", 1, 0, 5, Bits({{300, 9}}), R::kDamaged},
      {"shrink: unknown control code", 1, 0, 5, Bits({{'a', 9}, {256, 9}, {3, 9}}), R::kDamaged},
      {"shrink: code not yet made", 1, 0, 5, Bits({{'a', 9}, {'b', 9}, {260, 9}}), R::kDamaged},
      {"shrink: the code being made", 1, 0, 4, Bits({{'a', 9}, {257, 9}, {'b', 9}}), R::kOk},
      {"shrink: widened past 13 bits", 1, 0, 5,
       Bits({{256, 9}, {1, 9}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12}, {256, 13}, {1, 13}}),
       R::kDamaged},
      {"shrink: stream ends early", 1, 0, 5, Bits({{'a', 9}}), R::kDamaged},
      {"reduce: follower set of 33", 2, 0, 5, Bits({{33, 6}}), R::kDamaged},
      {"reduce: plain bytes", 2, 0, 3, Bits(NoFollowers({{'a', 8}, {'b', 8}, {'c', 8}})), R::kOk},
      {"reduce: reference before the start", 5, 0, 4,
       Bits(NoFollowers({{144, 8}, {0x11, 8}, {0x20, 8}})), R::kOk},
      {"implode: oversubscribed length tree", 6, 0, 4, allOneBit, R::kDamaged},
      {"implode: too many lengths", 6, 0, 4, sixtyFiveValues, R::kDamaged},
      {"implode: too few lengths", 6, 0, 4, fourValues, R::kDamaged},
      {"implode: tree cut short", 6, 4, 4, std::vector<uint8_t>{200, 0x11}, R::kDamaged},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(Decode(c.method, c.flags, c.usize, c.stream, &out), c.want) << c.name;
    if (c.want == R::kOk) EXPECT_EQ(out.size(), c.usize) << c.name;
  }
  std::string out;
  Decode(1, 0, 4, Bits({{'a', 9}, {257, 9}, {'b', 9}}), &out);
  EXPECT_EQ(out, "aaab");
}

// Fixtures -----------------------------------------------------------------------------------------

// The committed fixture is what the generator writes, and our reader expands it.
TEST(OldMethods, CommittedFixtureMatchesTheGenerator) {
  std::string fixture = ReadFile(std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/old_methods.zip");
  ASSERT_FALSE(fixture.empty());
  std::vector<Member> members = oldzip::FixtureMembers();
  std::vector<Decoded> got = DecodeAll(fixture);
  ASSERT_EQ(got.size(), members.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].result, DecodeResult::kOk) << members[i].name;
    EXPECT_TRUE(got[i].data == members[i].data) << members[i].name;
  }
  EXPECT_TRUE(fixture == oldzip::MakeZip(members)) << "regenerate with qlzip-oldmake";
}

// Info-ZIP's unzip is the judge of our encoders: it tests and extracts every member to the bytes
// that went in, and so do our pkunzip's -t and extraction. Debian's unzip (like 7z and bsdtar)
// is built without reduce, so reduced members are judged by pkunzip alone.
TEST(OldMethods, InfoZipAndPkunzipAgreeOnEveryShape) {
  std::string root = ziptest::MakeTempDir();
  std::vector<Member> members = oldzip::FixtureMembers();
  for (const Shape& s : kShapes) {
    members.push_back(MemberOf(s, std::string("T") + std::to_string(members.size()) + ".TXT", ziptest::Sample(30000, 12)));
    members.push_back(MemberOf(s, std::string("E") + std::to_string(members.size()) + ".BIN", Escapes(9000)));
  }
  members.push_back(MemberOf(kShapes[0], "BIG.TXT", ziptest::Sample(150000, 13) + ziptest::Random(40000, 13)));
  std::string zip = root + "/old.zip", judged = root + "/judged.zip";
  WriteFile(zip, oldzip::MakeZip(members));
  std::vector<Member> notReduced;
  for (const Member& m : members)
    if (m.method == 1 || m.method == 6) notReduced.push_back(m);
  WriteFile(judged, oldzip::MakeZip(notReduced));
  EXPECT_EQ(Shell("unzip -tq '" + judged + "' > '" + root + "/log' 2>&1"), 0) << ReadFile(root + "/log");
  ASSERT_EQ(Shell("unzip -q '" + judged + "' -d '" + root + "/infozip'"), 0);
  const std::string bin = QL_NATIVE_BIN;
  EXPECT_EQ(Shell("'" + bin + "/pkunzip' -t '" + zip + "' > '" + root + "/t.log' 2>&1"), 0) << ReadFile(root + "/t.log");
  ASSERT_EQ(Shell("cd '" + root + "' && '" + bin + "/pkunzip' -d '" + zip + "' '" + root + "/ours/' > '" + root +
                  "/x.log' 2>&1"), 0) << ReadFile(root + "/x.log");
  for (const Member& m : notReduced) EXPECT_TRUE(ReadFile(root + "/infozip/" + m.name) == m.data) << "unzip: " << m.name;
  for (const Member& m : members) EXPECT_TRUE(ReadFile(root + "/ours/" + m.name) == m.data) << "pkunzip: " << m.name;
  std::string log = ReadFile(root + "/x.log");
  for (const char* verb : {"Unshrinking: ", "Expanding: ", "Exploding: "})
    EXPECT_NE(log.find(verb), std::string::npos) << verb;
  Shell("'" + bin + "/pkunzip' -v '" + zip + "' > '" + root + "/v.log' 2>&1");
  std::string view = ReadFile(root + "/v.log");
  for (const char* method : {"Shrunk", "Reduce1", "Reduce2", "Reduce3", "Reduce4", "Implode"})
    EXPECT_NE(view.find(method), std::string::npos) << method;
  Shell("rm -rf '" + root + "'");
}

// A damaged member fails pkunzip -t and leaves no file under its name.
TEST(OldMethods, PkunzipReportsADamagedMemberAndKeepsNoPartialFile) {
  std::string root = ziptest::MakeTempDir();
  Member m = MemberOf(kShapes[11], "BAD.TXT", ziptest::Sample(9000, 14));
  std::string zip = oldzip::MakeZip({m});
  // Flip bits in the middle of the data (the local header is 30 + 7 bytes).
  for (size_t i = 0; i < 8; ++i) zip[37 + 300 + i] = static_cast<char>(zip[37 + 300 + i] ^ 0x5A);
  WriteFile(root + "/bad.zip", zip);
  const std::string bin = QL_NATIVE_BIN;
  EXPECT_EQ(Shell("'" + bin + "/pkunzip' -t '" + root + "/bad.zip' > /dev/null 2>&1"), 1);
  EXPECT_EQ(Shell("cd '" + root + "' && '" + bin + "/pkunzip' bad.zip out/ > /dev/null 2>&1"), 1);
  EXPECT_FALSE(ziptest::Exists(root + "/out/BAD.TXT"));
  EXPECT_EQ(Shell("ls -A '" + root + "/out' | wc -l | grep -qx 0"), 0);
  Shell("rm -rf '" + root + "'");
}

}  // namespace
