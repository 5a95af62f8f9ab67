// The rebuild on damaged archives made in memory: cut inside the central directory or inside
// data, a bad CRC, damaged deflate data, garbage, a stub in front, data descriptors, encryption.
// Our own reader is the judge of each result.
#include "archivers/zipfix/zip_rebuild.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qlzipfix {
namespace {

using Bytes = std::vector<uint8_t>;

struct MemberSpec {
  MemberSpec(std::string n, std::string d, int l = 6, bool desc = false, std::string pw = "", std::string c = "")
      : name(std::move(n)), data(std::move(d)), level(l), descriptor(desc), password(std::move(pw)),
        comment(std::move(c)) {}
  std::string name;
  std::string data;
  int level = 6;             // 0 stores
  bool descriptor = false;   // sizes and CRC after the data (flag bit 3)
  std::string password;
  std::string comment;
};

struct Built {
  Bytes bytes;
  std::vector<uint64_t> dataStart;  // of each member's data
  uint64_t cdStart = 0;
};

std::string Sample(size_t n, int seed) {
  std::string s;
  for (size_t i = 0; s.size() < n; ++i) s += "line " + std::to_string((i * 7 + seed) % 113) + " of the sample\n";
  s.resize(n);
  return s;
}

Built Build(const std::vector<MemberSpec>& specs, const std::string& archiveComment = "") {
  Built b;
  std::vector<qlzip::Entry> entries;
  for (const MemberSpec& s : specs) {
    qlzip::Entry e;
    e.name = s.name;
    e.comment = s.comment;
    e.dosTime = 0x5A216000;
    e.externalAttr = 0x20;
    qlzip::Encoded enc;
    if (s.descriptor && !s.password.empty()) {
      // Streamed: the check byte of the encryption header comes from the time field.
      qlzip::StreamEncoder se(s.level, s.password, e);
      se.Feed(reinterpret_cast<const uint8_t*>(s.data.data()), s.data.size(), enc.data);
      se.Finish(enc.data);
    } else {
      qlzip::EncodeBuffer(reinterpret_cast<const uint8_t*>(s.data.data()), s.data.size(), s.level, s.password, e,
                          enc);
    }
    if (s.descriptor) e.flags |= 8;
    e.localOffset = b.bytes.size();
    Bytes h = qlzip::LocalHeader(e);
    b.bytes.insert(b.bytes.end(), h.begin(), h.end());
    b.dataStart.push_back(b.bytes.size());
    b.bytes.insert(b.bytes.end(), enc.data.begin(), enc.data.end());
    if (s.descriptor) {
      Bytes d = qlzip::DataDescriptor(e);
      b.bytes.insert(b.bytes.end(), d.begin(), d.end());
    }
    entries.push_back(e);
  }
  b.cdStart = b.bytes.size();
  for (const qlzip::Entry& e : entries) {
    Bytes c = qlzip::CentralHeader(e);
    b.bytes.insert(b.bytes.end(), c.begin(), c.end());
  }
  Bytes end = qlzip::EndRecord(entries.size(), b.bytes.size() - b.cdStart, b.cdStart, archiveComment);
  b.bytes.insert(b.bytes.end(), end.begin(), end.end());
  return b;
}

struct Rebuilt {
  RebuildResult result;
  RebuildReport report;
  Bytes bytes;
};

Rebuilt Rebuild(const Bytes& damaged) {
  Rebuilt r;
  qlzip::MemorySource src(damaged.data(), damaged.size());
  r.result = RebuildZip(src, [&](const uint8_t* p, size_t n) {
    r.bytes.insert(r.bytes.end(), p, p + n);
    return true;
  }, &r.report);
  return r;
}

// Every member of the rebuilt archive, decoded by our reader: name -> data ("!" + reason on failure).
std::vector<std::pair<std::string, std::string>> Contents(const Bytes& zip, const std::string& password = "") {
  std::vector<std::pair<std::string, std::string>> out;
  qlzip::MemorySource src(zip.data(), zip.size());
  qlzip::Archive ar;
  if (ar.Open(src) != qlzip::OpenResult::kOk) {
    out.emplace_back("!open", ar.error);
    return out;
  }
  EXPECT_EQ(0u, ar.leading) << "offsets count from the new archive's first byte";
  for (const qlzip::Entry& e : ar.entries) {
    std::string data;
    qlzip::DecodeResult d = qlzip::DecodeEntry(src, e, password, [&](const uint8_t* p, size_t n) {
      data.append(reinterpret_cast<const char*>(p), n);
      return true;
    });
    out.emplace_back(e.name, d == qlzip::DecodeResult::kOk ? data : std::string("!") + qlzip::DecodeResultText(d));
  }
  return out;
}

std::vector<std::string> LeftOutReasons(const RebuildReport& r) {
  std::vector<std::string> v;
  for (const LeftOut& l : r.leftOut) v.push_back(l.name + ": " + l.reason);
  return v;
}

const std::vector<MemberSpec> kThree = {
    {"docs/", "", 0},
    {"docs/readme.txt", Sample(3000, 1), 9},
    {"stored.bin", Sample(500, 2), 0},
    {"last.txt", Sample(20000, 3), 6},
};

TEST(ZipRebuild, CutAnywhereKeepsWhatIsWhole) {
  const Built full = Build(kThree, "the archive's title");
  struct Case {
    const char* name;
    size_t cut;                        // bytes kept
    std::vector<std::string> kept;
    std::vector<std::string> leftOut;  // "name: reason"
  } cases[] = {
      {"intact", full.bytes.size(), {"docs/", "docs/readme.txt", "stored.bin", "last.txt"}, {}},
      {"inside the central directory", static_cast<size_t>(full.cdStart + 60),
       {"docs/", "docs/readme.txt", "stored.bin", "last.txt"}, {}},
      {"right before the central directory", static_cast<size_t>(full.cdStart),
       {"docs/", "docs/readme.txt", "stored.bin", "last.txt"}, {}},
      {"inside the last member's data", static_cast<size_t>(full.dataStart[3] + 100),
       {"docs/", "docs/readme.txt", "stored.bin"}, {"last.txt: cut inside its data"}},
      {"inside the last member's header", static_cast<size_t>(full.dataStart[3] - 3),
       {"docs/", "docs/readme.txt", "stored.bin"}, {"last.: cut inside its header"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes cut(full.bytes.begin(), full.bytes.begin() + static_cast<long>(c.cut));
    Rebuilt r = Rebuild(cut);
    ASSERT_EQ(RebuildResult::kOk, r.result);
    EXPECT_EQ(c.kept, r.report.kept);
    EXPECT_EQ(c.leftOut, LeftOutReasons(r.report));
    auto contents = Contents(r.bytes);
    ASSERT_EQ(c.kept.size(), contents.size());
    for (size_t i = 0; i < contents.size(); ++i) {
      EXPECT_EQ(kThree[i].name, contents[i].first);
      EXPECT_EQ(kThree[i].data, contents[i].second) << contents[i].first;
    }
  }
}

TEST(ZipRebuild, DamagedDataIsLeftOutAndTheRestKept) {
  const Built full = Build(kThree);
  struct Case {
    const char* name;
    size_t member;   // whose data gets a flipped byte
    size_t at;       // offset in its data
    const char* reason;
  } cases[] = {
      {"stored byte", 2, 10, "stored.bin: CRC error"},
      {"deflated byte", 1, 40, nullptr},  // CRC error or damaged stream, depending on the bit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bad = full.bytes;
    bad[full.dataStart[c.member] + c.at] ^= 0x55;
    Rebuilt r = Rebuild(bad);
    ASSERT_EQ(RebuildResult::kOk, r.result);
    ASSERT_EQ(1u, r.report.leftOut.size());
    EXPECT_EQ(kThree[c.member].name, r.report.leftOut[0].name);
    if (c.reason) EXPECT_EQ(c.reason, LeftOutReasons(r.report)[0]);
    auto contents = Contents(r.bytes);
    ASSERT_EQ(3u, contents.size());
    for (auto& m : contents) EXPECT_NE('!', m.second.empty() ? 0 : m.second[0]) << m.first;
    EXPECT_EQ("last.txt", contents.back().first) << "members after the damage are kept";
  }
}

TEST(ZipRebuild, NothingToRecoverInGarbage) {
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"text", Bytes(1000, 'x')},
      {"a lone signature", {'P', 'K', 3, 4, 20, 0}},
      {"a header with no name", {'P', 'K', 3, 4, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rebuilt r = Rebuild(c.bytes);
    EXPECT_EQ(RebuildResult::kNothingFound, r.result);
    EXPECT_TRUE(r.bytes.empty()) << "nothing is written";
  }
}

TEST(ZipRebuild, StubAndGarbageInFrontAreDropped) {
  const Built full = Build(kThree);
  Bytes withStub(5000, 'M');
  withStub[100] = 'P';
  withStub[101] = 'K';  // a stray half signature
  withStub.insert(withStub.end(), full.bytes.begin(), full.bytes.begin() + static_cast<long>(full.cdStart + 10));
  Rebuilt r = Rebuild(withStub);
  ASSERT_EQ(RebuildResult::kOk, r.result);
  EXPECT_EQ(4u, r.report.kept.size());
  EXPECT_TRUE(r.report.leftOut.empty());
  EXPECT_EQ(4u, Contents(r.bytes).size());
}

TEST(ZipRebuild, DataDescriptorsFindTheirSizes) {
  std::vector<MemberSpec> specs = {
      {"deflated.txt", Sample(9000, 4), 6, true},
      {"stored.txt", Sample(700, 5), 0, true},
      {"empty.txt", "", 0, true},
      {"plain.txt", Sample(100, 6), 6, false},
  };
  const Built full = Build(specs);
  Bytes cut(full.bytes.begin(), full.bytes.begin() + static_cast<long>(full.cdStart + 5));
  Rebuilt r = Rebuild(cut);
  ASSERT_EQ(RebuildResult::kOk, r.result);
  EXPECT_EQ((std::vector<std::string>{"deflated.txt", "stored.txt", "empty.txt", "plain.txt"}), r.report.kept);
  EXPECT_TRUE(r.report.leftOut.empty()) << LeftOutReasons(r.report)[0];
  EXPECT_TRUE(r.report.unchecked.empty());
  auto contents = Contents(r.bytes);
  ASSERT_EQ(specs.size(), contents.size());
  for (size_t i = 0; i < specs.size(); ++i) EXPECT_EQ(specs[i].data, contents[i].second) << specs[i].name;

  // A stored member whose descriptor is gone cannot be measured: left out, the rest kept.
  Bytes noDesc = full.bytes;
  const size_t descAt = full.dataStart[1] + specs[1].data.size();
  noDesc[descAt] = 'X';  // its signature spoilt
  Rebuilt r2 = Rebuild(noDesc);
  ASSERT_EQ(RebuildResult::kOk, r2.result);
  ASSERT_EQ(1u, r2.report.leftOut.size());
  EXPECT_EQ("stored.txt", r2.report.leftOut[0].name);
  EXPECT_EQ(3u, r2.report.kept.size());
}

TEST(ZipRebuild, EncryptedMembersAreKeptUncheckedAndStillDecrypt) {
  std::vector<MemberSpec> specs = {
      {"secret.txt", Sample(4000, 7), 6, false, "s3cret"},
      {"secret-streamed.txt", Sample(3000, 8), 6, true, "s3cret"},
      {"open.txt", Sample(300, 9), 6},
  };
  const Built full = Build(specs);
  Bytes cut(full.bytes.begin(), full.bytes.begin() + static_cast<long>(full.cdStart + 1));
  Rebuilt r = Rebuild(cut);
  ASSERT_EQ(RebuildResult::kOk, r.result);
  EXPECT_EQ(3u, r.report.kept.size());
  EXPECT_EQ((std::vector<std::string>{"secret.txt", "secret-streamed.txt"}), r.report.unchecked);
  auto contents = Contents(r.bytes, "s3cret");
  ASSERT_EQ(3u, contents.size());
  for (size_t i = 0; i < specs.size(); ++i) EXPECT_EQ(specs[i].data, contents[i].second) << specs[i].name;
}

TEST(ZipRebuild, SurvivingCentralDirectoryKeepsCommentsAndAttributes) {
  std::vector<MemberSpec> specs = {{"a.txt", Sample(100, 1), 6, false, "", "a's comment"}, {"b.txt", "bbb", 0}};
  const Built full = Build(specs, "title line");
  Rebuilt r = Rebuild(full.bytes);
  ASSERT_EQ(RebuildResult::kOk, r.result);
  EXPECT_TRUE(r.report.centralUsed);
  qlzip::MemorySource src(r.bytes.data(), r.bytes.size());
  qlzip::Archive ar;
  ASSERT_EQ(qlzip::OpenResult::kOk, ar.Open(src));
  EXPECT_EQ("title line", ar.comment);
  ASSERT_EQ(2u, ar.entries.size());
  EXPECT_EQ("a's comment", ar.entries[0].comment);
  EXPECT_EQ(0x20u, ar.entries[0].externalAttr);
}

TEST(ZipRebuild, AWriteFailureIsReported) {
  const Built full = Build(kThree);
  qlzip::MemorySource src(full.bytes.data(), full.bytes.size());
  RebuildReport report;
  size_t calls = 0;
  EXPECT_EQ(RebuildResult::kWriteFailed,
            RebuildZip(src, [&](const uint8_t*, size_t) { return ++calls < 3; }, &report));
}

}  // namespace
}  // namespace qlzipfix
