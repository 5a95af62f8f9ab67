// ZIP2EXE's core: the stub checks, the tag that tells our self-extractors apart, and the
// self-extracting file itself, judged by our reader, by a front-to-back scan and by Info-ZIP.
#include "archivers/zipsfx/sfx_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fake_program.h"

namespace qlsfx {
namespace {

using Bytes = std::vector<uint8_t>;

// A program of `size` bytes whose one section ends where the file ends.
Bytes FakeStub(size_t size) { return qltest::FakeProgram(size); }

TEST(StubProblem, SizeAndSignatures) {
  struct Case {
    const char* name;
    Bytes stub;
    bool fine;
  } cases[] = {
      {"small and clean", FakeStub(20000), true},
      {"one byte under the limit", FakeStub(kStubLimit - 1), true},
      {"at the limit", FakeStub(kStubLimit), false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.fine, StubProblem(c.stub.data(), c.stub.size()).empty()) << c.name;
  for (uint8_t third : {1, 3, 5, 7}) {
    Bytes stub = FakeStub(4000);
    stub[3001] = 'P';
    stub[3002] = 'K';
    stub[3003] = third;
    stub[3004] = static_cast<uint8_t>(third + 1);
    std::string why = StubProblem(stub.data(), stub.size());
    EXPECT_NE(std::string::npos, why.find("offset 3001")) << int(third) << ": " << why;
  }
  Bytes half = FakeStub(4000);
  half[3998] = 'P';
  half[3999] = 'K';  // at the very end, without the rest of a signature
  EXPECT_EQ("", StubProblem(half.data(), half.size()));
}

TEST(SfxTag, TellsOurSelfExtractorOfAnArchiveApart) {
  Bytes ours = FakeStub(3000);
  Bytes tag = SfxTag("FOO.ZIP");
  ours.insert(ours.end(), tag.begin(), tag.end());
  ours.resize(ours.size() + 100, 'z');
  EXPECT_TRUE(IsSelfExtractorOf(ours.data(), ours.size(), "FOO.ZIP"));
  EXPECT_TRUE(IsSelfExtractorOf(ours.data(), ours.size(), "foo.zip"));
  EXPECT_FALSE(IsSelfExtractorOf(ours.data(), ours.size(), "BAR.ZIP")) << "another archive's";
  EXPECT_FALSE(IsSelfExtractorOf(ours.data(), ours.size(), "FOO.ZI"));
  Bytes plain = FakeStub(3000);
  plain.resize(plain.size() + 100, 0);
  EXPECT_FALSE(IsSelfExtractorOf(plain.data(), plain.size(), "FOO.ZIP")) << "any other program";
  Bytes text(5000, 't');
  EXPECT_FALSE(IsSelfExtractorOf(text.data(), text.size(), "FOO.ZIP")) << "not a program";
  Bytes cut(ours.begin(), ours.begin() + 3000 + 12);
  EXPECT_FALSE(IsSelfExtractorOf(cut.data(), cut.size(), "FOO.ZIP")) << "tag cut off";
  Bytes inside = FakeStub(3000);
  std::copy(tag.begin(), tag.end(), inside.begin() + 1000);
  EXPECT_FALSE(IsSelfExtractorOf(inside.data(), inside.size(), "FOO.ZIP")) << "the tag as a constant inside a program";
}

// The stub file need not end where its sections do (the i686 linker leaves a COFF string table
// behind them): the tag is found behind whatever the stub file holds.
TEST(SfxTag, FoundBehindWhatTheLinkerLeftAfterTheSections) {
  for (const Bytes& trailer : {qltest::CoffStringTable(), Bytes(4096, 0), Bytes{}}) {
    Bytes stub = qltest::FakeProgram(3000, trailer);
    Bytes made = stub;
    Bytes tag = SfxTag("FOO.ZIP");
    made.insert(made.end(), tag.begin(), tag.end());
    made.resize(made.size() + 100, 'z');
    EXPECT_EQ(stub.size(), SfxTagAt(made.data(), made.size())) << trailer.size();
    EXPECT_TRUE(IsSelfExtractorOf(made.data(), made.size(), "foo.zip")) << trailer.size();
    EXPECT_FALSE(IsSelfExtractorOf(stub.data(), stub.size(), "FOO.ZIP")) << "the bare stub, " << trailer.size();
  }
}

std::string Sample(size_t n, int seed) {
  std::string s;
  for (size_t i = 0; s.size() < n; ++i) s += "row " + std::to_string((i * 13 + seed) % 101) + " of the data\n";
  s.resize(n);
  return s;
}

// An archive with a stored, a deflated and an encrypted member; `lead` bytes of another stub in
// front, offsets not adjusted for them.
Bytes Zip(size_t lead = 0, uint16_t secondMethod = 8) {
  Bytes b(lead, 'L');
  Bytes cd;
  struct M {
    const char* name;
    int level;
    const char* password;
  } members[] = {{"stored.txt", 0, ""}, {"sub/deflated.txt", 6, ""}, {"sub/secret.txt", 6, "pw"}};
  int i = 0;
  for (const M& m : members) {
    qlzip::Entry e;
    e.name = m.name;
    std::string data = Sample(4000, i);
    qlzip::Encoded enc;
    qlzip::EncodeBuffer(reinterpret_cast<const uint8_t*>(data.data()), data.size(), m.level, m.password, e, enc);
    if (i == 1) e.method = secondMethod;
    e.localOffset = b.size() - lead;
    Bytes h = qlzip::LocalHeader(e);
    b.insert(b.end(), h.begin(), h.end());
    b.insert(b.end(), enc.data.begin(), enc.data.end());
    Bytes c = qlzip::CentralHeader(e);
    cd.insert(cd.end(), c.begin(), c.end());
    ++i;
  }
  const size_t cdAt = b.size() - lead;
  b.insert(b.end(), cd.begin(), cd.end());
  Bytes end = qlzip::EndRecord(3, cd.size(), cdAt, "");
  b.insert(b.end(), end.begin(), end.end());
  return b;
}

bool Make(const Bytes& stub, const Bytes& zip, Bytes* out, std::string* error) {
  qlzip::MemorySource src(zip.data(), zip.size());
  return MakeSelfExtractor(stub, src, "FOO.ZIP", [&](const uint8_t* p, size_t n) {
    out->insert(out->end(), p, p + n);
    return true;
  }, error);
}

int Shell(const std::string& cmd) {
  int r = std::system(cmd.c_str());
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

TEST(MakeSelfExtractor, ReadersFromTheFrontAndFromTheEndBothFindTheArchive) {
  const Bytes stub = FakeStub(24000);
  for (size_t lead : {size_t(0), size_t(5000)}) {
    SCOPED_TRACE(lead);
    Bytes exe;
    std::string error;
    ASSERT_TRUE(Make(stub, Zip(lead), &exe, &error)) << error;
    const size_t archiveStart = stub.size() + SfxTag("FOO.ZIP").size();
    EXPECT_EQ(Zip(0).size() + archiveStart, exe.size()) << "an old stub in front is not copied";
    EXPECT_TRUE(IsSelfExtractorOf(exe.data(), exe.size(), "FOO.ZIP"));
    // A scan from the front (as Quillon's) meets the first local header first.
    const std::string text(exe.begin(), exe.end());
    EXPECT_EQ(archiveStart, text.find(std::string("PK\x03\x04", 4)));
    EXPECT_LT(archiveStart, kStubLimit + 4);
    // The end record's offsets are right as they stand: no leading data to account for.
    qlzip::MemorySource src(exe.data(), exe.size());
    qlzip::Archive ar;
    ASSERT_EQ(qlzip::OpenResult::kOk, ar.Open(src));
    ASSERT_EQ(3u, ar.entries.size());
    EXPECT_EQ(archiveStart, ar.entries[0].localOffset);
    for (size_t i = 0; i < ar.entries.size(); ++i) {
      std::string data;
      EXPECT_EQ(qlzip::DecodeResult::kOk, qlzip::DecodeEntry(src, ar.entries[i], "pw", [&](const uint8_t* p, size_t n) {
        data.append(reinterpret_cast<const char*>(p), n);
        return true;
      }));
      EXPECT_EQ(Sample(4000, static_cast<int>(i)), data);
    }
    // Info-ZIP warns (exit 1) about offsets that need correcting; ours need none.
    struct stat st;
    if (stat("/usr/bin/unzip", &st) == 0) {
      char dir[] = "/tmp/qlsfxXXXXXX";
      ASSERT_TRUE(mkdtemp(dir));
      std::string path = std::string(dir) + "/FOO.EXE";
      std::ofstream(path, std::ios::binary).write(text.data(), static_cast<long>(text.size()));
      EXPECT_EQ(0, Shell("unzip -P pw -tqq " + path + " >/dev/null 2>&1"));
      Shell(std::string("rm -rf ") + dir);
    }
  }
}

// The stub inflates Deflate64 too.
TEST(MakeSelfExtractor, TakesDeflate64Members) {
  Bytes exe;
  std::string error;
  EXPECT_TRUE(Make(FakeStub(24000), Zip(0, 9), &exe, &error)) << error;
}

TEST(MakeSelfExtractor, RefusesWhatTheStubCouldNotUnpack) {
  const Bytes stub = FakeStub(24000);
  const Bytes whole = Zip();
  struct Case {
    const char* name;
    Bytes zip;
    const char* reason;
  } cases[] = {
      {"garbage", Bytes(3000, 'g'), "not a ZIP"},
      {"imploded member", Zip(0, 6), "method 6"},
      {"bzip2 member", Zip(0, 12), "method 12"},
      {"LZMA member", Zip(0, 14), "method 14"},
      {"cut archive", Bytes(whole.begin(), whole.end() - 30), "not a ZIP"},
  };
  for (const Case& c : cases) {
    Bytes exe;
    std::string error;
    EXPECT_FALSE(Make(stub, c.zip, &exe, &error)) << c.name;
    EXPECT_NE(std::string::npos, error.find(c.reason)) << c.name << ": " << error;
  }
}

}  // namespace
}  // namespace qlsfx
