#include <gtest/gtest.h>

#include <cstring>

#include "archivers/arj/arj_archive.h"
#include "archivers/arj/tests/test_util.h"
#include "tests/support/fake_program.h"

namespace arj {
namespace {


// Writes an archive with the given files through ArchiveWriter and returns its bytes.
std::string BuildArchive(const std::vector<std::pair<std::string, std::string>>& files,
                         int method, const std::string& password = "") {
  FILE* f = tmpfile();
  ArchiveWriter w(f);
  Header main;
  main.file_type = kMainHeader;
  main.name = "test.arj";
  EXPECT_TRUE(w.WriteMain(main));
  for (const auto& file : files) {
    const std::string& name = file.first;
    const std::string& data = file.second;
    Header h;
    h.name = name;
    h.garble_mod = 0x33;
    size_t pos = 0;
    ReadFn in = [&](uint8_t* b, size_t n) {
      n = std::min(n, data.size() - pos);
      memcpy(b, data.data() + pos, n);
      pos += n;
      return n;
    };
    std::function<bool()> rewind = [&] {
      pos = 0;
      return true;
    };
    EncodeOptions o;
    o.method = method;
    Header written;
    EXPECT_TRUE(w.AddData(h, data.size(), in, rewind, o, password, &written));
    EXPECT_EQ(written.orig_size, data.size());
  }
  EXPECT_TRUE(w.Finish());
  std::string out(w.position(), '\0');
  rewind(f);
  EXPECT_EQ(fread(&out[0], 1, out.size(), f), out.size());
  fclose(f);
  return out;
}

std::vector<Entry> ReadAll(const std::string& bytes, ReadStatus* last, bool recover = false) {
  MemorySource src(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ArchiveReader r(&src);
  std::vector<Entry> out;
  *last = r.Open();
  if (*last != ReadStatus::kOk) return out;
  Entry e;
  while ((*last = r.Next(&e, recover)) == ReadStatus::kOk) out.push_back(e);
  return out;
}

std::string ExtractOne(const std::string& bytes, const Entry& e, const std::string& pw,
                       EntryResult* result) {
  MemorySource src(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::string out;
  *result = ExtractData(&src, e, pw, [&](const uint8_t* d, size_t n) {
    out.append(reinterpret_cast<const char*>(d), n);
    return true;
  });
  return out;
}

TEST(ArjArchive, StoresWhatDoesNotShrink) {
  std::string text = arjtest::TextData(30000, 1), noise = arjtest::RandomData(30000, 2);
  std::string arc = BuildArchive({{"text.txt", text}, {"noise.bin", noise}, {"empty", ""}}, 1);
  ReadStatus st;
  auto entries = ReadAll(arc, &st);
  ASSERT_EQ(st, ReadStatus::kEnd);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].h.method, 1);
  EXPECT_LT(entries[0].h.comp_size, text.size());
  EXPECT_EQ(entries[1].h.method, 0);
  EXPECT_EQ(entries[1].h.comp_size, noise.size());
  EXPECT_EQ(entries[2].h.method, 0);
  EntryResult r;
  EXPECT_EQ(ExtractOne(arc, entries[0], "", &r), text);
  EXPECT_EQ(r, EntryResult::kOk);
  EXPECT_EQ(ExtractOne(arc, entries[1], "", &r), noise);
  EXPECT_EQ(r, EntryResult::kOk);
}

TEST(ArjArchive, GarbledEntriesNeedTheRightPassword) {
  std::string text = arjtest::TextData(20000, 3);
  for (int method : {0, 1, 4}) {
    std::string arc = BuildArchive({{"secret.txt", text}}, method, "pass");
    ReadStatus st;
    auto entries = ReadAll(arc, &st);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].h.flags & kGarbled);
    EntryResult r;
    EXPECT_EQ(ExtractOne(arc, entries[0], "pass", &r), text);
    EXPECT_EQ(r, EntryResult::kOk);
    ExtractOne(arc, entries[0], "wrong", &r);
    EXPECT_EQ(r, EntryResult::kCrcError) << method;
    ExtractOne(arc, entries[0], "", &r);
    EXPECT_EQ(r, EntryResult::kNeedPassword);
  }
}

TEST(ArjArchive, FindsTheMainHeaderBehindAStub) {
  std::string arc = BuildArchive({{"a.txt", "hello"}}, 1);
  // A stub holding stray header ids, one of them with a plausible size.
  std::string stub = "MZ" + std::string(3000, '\x90');
  stub[100] = '\x60';
  stub[101] = '\xEA';
  stub[102] = 40;
  stub[103] = 0;
  stub[500] = '\x60';
  stub[501] = '\xEA';
  std::string sfx = stub + arc;
  ReadStatus st;
  auto entries = ReadAll(sfx, &st);
  EXPECT_EQ(st, ReadStatus::kEnd);
  ASSERT_EQ(entries.size(), 1u);
  EntryResult r;
  EXPECT_EQ(ExtractOne(sfx, entries[0], "", &r), "hello");
}

// A self-extractor is told apart by the archive behind its program image, wherever the stub's
// file ends: the i686 linker leaves a COFF string table behind the sections.
TEST(ArjArchive, FindsTheArchiveAppendedToAProgram) {
  const std::string arc = BuildArchive({{"a.txt", "hello"}}, 1);
  for (const std::vector<uint8_t>& trailer : {qltest::CoffStringTable(), std::vector<uint8_t>(3000, 0),
                                              std::vector<uint8_t>{}}) {
    std::vector<uint8_t> stub = qltest::FakeProgram(4000, trailer);
    stub[600] = kIdLo;  // stray ids inside the image do not count
    stub[601] = kIdHi;
    std::vector<uint8_t> sfx = stub;
    sfx.insert(sfx.end(), arc.begin(), arc.end());
    uint64_t at = 0;
    std::string name;
    ASSERT_TRUE(FindAppendedArchive(sfx.data(), sfx.size(), &at, &name)) << trailer.size();
    EXPECT_EQ(stub.size(), at);
    EXPECT_EQ("test.arj", name);
    EXPECT_FALSE(FindAppendedArchive(stub.data(), stub.size(), &at, &name)) << "the bare stub";
  }
}

TEST(ArjArchive, DamageIsReportedAndCanBeStepedOver) {
  std::string arc = BuildArchive({{"one.txt", "first file"}, {"two.txt", "second file"},
                                  {"three.txt", "third file"}},
                                 0);
  ReadStatus st;
  auto entries = ReadAll(arc, &st);
  ASSERT_EQ(entries.size(), 3u);
  std::string bad = arc;
  bad[entries[1].header_offset + 10] ^= 0x55;  // break the second header's CRC
  auto got = ReadAll(bad, &st);
  EXPECT_EQ(st, ReadStatus::kDamaged);
  EXPECT_EQ(got.size(), 1u);
  got = ReadAll(bad, &st, true);
  EXPECT_EQ(st, ReadStatus::kEnd);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[1].h.name, "three.txt");
  // Data damage shows as a CRC error.
  bad = arc;
  bad[entries[2].data_offset] ^= 1;
  got = ReadAll(bad, &st);
  EntryResult r;
  ExtractOne(bad, got[2], "", &r);
  EXPECT_EQ(r, EntryResult::kCrcError);
  // Cut inside the data of the last entry.
  got = ReadAll(arc.substr(0, entries[2].data_offset + 3), &st);
  EXPECT_EQ(st, ReadStatus::kTruncated);
  // Not an archive at all.
  ReadAll(std::string(5000, 'z'), &st);
  EXPECT_EQ(st, ReadStatus::kNotArj);
}

}  // namespace
}  // namespace arj
