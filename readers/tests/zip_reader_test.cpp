// The ZIP directory reader against archives made by Info-ZIP zip and bsdtar, and against
// damaged and unusual files made from them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/member_reference.h"
#include "readers/byte_source.h"
#include "readers/listing_lines.h"
#include "readers/tests/reader_test_util.h"
#include "readers/zip_reader.h"

using qltest::Kind;
using qltest::LoadFixture;
using qltest::ListArchive;
using qltest::RunOptions;

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kPlainLines[] = {
    "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p",
    "EMPTY.TXT\tEMPTY.TXT\t0\t0\t00%\t01-01-01\t12:30a",
    "src\\main.c\tsrc\\main.c\t29\t29\t00%\t01-01-01\t12:00p",
    "NOISE.BIN\tNOISE.BIN\t3000\t3000\t00%\t04-15-96\t12:07a",
};

std::vector<std::string> PlainLines() { return {std::begin(kPlainLines), std::end(kPlainLines)}; }

struct FixtureCase {
  const char* file;
  std::vector<std::string> lines;
  uint64_t totalLength, totalSize;
  uint32_t count;
  bool encrypted;
};

TEST(ZipReader, ListsArchivesMadeByPeers) {
  const FixtureCase cases[] = {
      {"plain.zip", PlainLines(), 4229, 3057, 4, false},
      {"enc_last.zip",
       {"DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p",
        "src\\main.c\tsrc\\main.c\t29\t41\t-41%\t01-01-01\t12:00p"},
       1229, 69, 2, true},
      {"enc_first.zip",
       {"DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t40\t97%\t04-15-96\t 9:05p",
        "src\\main.c\tsrc\\main.c\t29\t29\t00%\t01-01-01\t12:00p"},
       1229, 69, 2, false},
      {"stored_enc.zip", {"src\\main.c\tsrc\\main.c\t29\t41\t-41%\t01-01-01\t12:00p"}, 29, 41, 1, true},
      // Written to a pipe: sizes only in data descriptors and the central directory.
      {"streamed.zip",
       {"DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p",
        "EMPTY.TXT\tEMPTY.TXT\t0\t0\t00%\t01-01-01\t12:30a",
        "src\\main.c\tsrc\\main.c\t29\t31\t-6%\t01-01-01\t12:00p"},
       1229, 59, 3, false},
      {"bsdtar.zip",
       {"DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p",
        "src\\main.c\tsrc\\main.c\t29\t31\t-6%\t01-01-01\t12:00p"},
       1229, 59, 2, false},
      {"zip64_forced.zip",
       {"DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t28\t98%\t04-15-96\t 9:05p",
        "src\\main.c\tsrc\\main.c\t29\t29\t00%\t01-01-01\t12:00p"},
       1229, 57, 2, false},
  };
  for (const FixtureCase& c : cases) {
    SCOPED_TRACE(c.file);
    Bytes bytes = LoadFixture(c.file);
    ASSERT_FALSE(bytes.empty());
    for (bool throughReads : {false, true}) {
      RunOptions o;
      o.throughReads = throughReads;
      qltest::Listing l = ListArchive(Kind::kZip, bytes, o);
      EXPECT_EQ(l.outcome.result, 1);
      EXPECT_EQ(l.outcome.message, 0u);
      EXPECT_TRUE(l.outcome.complete);
      EXPECT_EQ(l.list, c.lines);
      EXPECT_EQ(l.outcome.archiveSize, bytes.size());
      EXPECT_EQ(l.outcome.totalLength, c.totalLength);
      EXPECT_EQ(l.outcome.totalSize, c.totalSize);
      EXPECT_EQ(l.outcome.fileCount, c.count);
      EXPECT_TRUE(l.outcome.encryptedKnown);
      EXPECT_EQ(l.outcome.encrypted, c.encrypted);
    }
  }
}

TEST(ZipReader, FullListingSetsTheColumnTitleOnce) {
  qltest::Listing l = ListArchive(Kind::kZip, LoadFixture("plain.zip"));
  EXPECT_EQ(l.columnCalls, 1);
  EXPECT_EQ(l.columnTitle, " Name\t Length\t Size\t Ratio\t Date\t Time\r");
  EXPECT_EQ(l.separator, "");
}

TEST(ZipReader, NamesOnlyListGetsBareNamesAndNoCommentsOrTitle) {
  RunOptions o;
  o.fullLines = false;
  qltest::Listing l = ListArchive(Kind::kZip, LoadFixture("comments.zip"), o);
  EXPECT_EQ(l.outcome.result, 1);
  EXPECT_EQ(l.list, (std::vector<std::string>{"DOCS\\README.TXT", "EMPTY.TXT", "src\\main.c", "NOISE.BIN"}));
  EXPECT_EQ(l.columnCalls, 0);
}

std::string At(const Bytes& b, uint64_t offset, uint64_t length) {
  return std::string(b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + length));
}

TEST(ZipReader, CommentReferencesPointAtTheCommentTexts) {
  Bytes bytes = LoadFixture("comments.zip");
  qltest::Listing l = ListArchive(Kind::kZip, bytes);
  ASSERT_EQ(l.list.size(), 7u);
  // The title goes first, each file comment right after its file line.
  uint64_t off = 0, len = 0;
  ASSERT_TRUE(ql::LineCommentReference(l.list[0], &off, &len));
  EXPECT_EQ(l.list[0].rfind("> Title Comment: ", 0), 0u);
  EXPECT_EQ(At(bytes, off, len), "Archive title line one\r\nline two");
  EXPECT_EQ(l.list[1], kPlainLines[0]);
  ASSERT_TRUE(ql::LineCommentReference(l.list[2], &off, &len));
  EXPECT_EQ(l.list[2].rfind("> File Comment: ", 0), 0u);
  EXPECT_EQ(At(bytes, off, len), "Readme comment");
  EXPECT_EQ(l.list[3], kPlainLines[1]);
  EXPECT_EQ(l.list[4], kPlainLines[2]);
  ASSERT_TRUE(ql::LineCommentReference(l.list[5], &off, &len));
  EXPECT_EQ(At(bytes, off, len), "Main note");
  EXPECT_EQ(l.list[6], kPlainLines[3]);
}

TEST(ZipReader, OutputFileGetsCommentTexts) {
  RunOptions o;
  o.withList = false;
  o.withFile = true;
  qltest::Listing l = ListArchive(Kind::kZip, LoadFixture("comments.zip"), o);
  EXPECT_EQ(l.outcome.result, 1);
  EXPECT_EQ(l.file, (std::vector<std::string>{kPlainLines[0], "> File Comment: Readme comment", kPlainLines[1],
                                              kPlainLines[2], "> File Comment: Main note", kPlainLines[3],
                                              "> Title Comment: Archive title line one\r\nline two"}));
}

TEST(ZipReader, LongCommentsAreReferencedWholeAndPrintedUpTo4096Bytes) {
  // A title of 5,000 bytes set into the end record of an archive made by zip.
  Bytes exact = LoadFixture("plain.zip");
  ASSERT_EQ(exact[exact.size() - 2], 0);
  exact[exact.size() - 2] = 5000 & 0xFF;
  exact[exact.size() - 1] = 5000 >> 8;
  for (int i = 0; i < 5000; ++i) exact.push_back(static_cast<unsigned char>('a' + i % 26));
  // zip -z itself, given 5,000 bytes (it breaks them into lines).
  Bytes byZip = LoadFixture("long_title.zip");
  for (const Bytes* bytes : {&exact, &byZip}) {
    RunOptions o;
    o.withFile = true;
    qltest::Listing l = ListArchive(Kind::kZip, *bytes, o);
    ASSERT_EQ(l.list.size(), 5u);
    uint64_t off = 0, len = 0;
    ASSERT_TRUE(ql::LineCommentReference(l.list[0], &off, &len));
    EXPECT_EQ(off + len, bytes->size());
    EXPECT_GE(len, 5000u);
    if (bytes == &exact) EXPECT_EQ(l.list[0], "> Title Comment: " + std::to_string(bytes->size() - 5000) + " 5000");
    ASSERT_EQ(l.file.size(), 5u);
    EXPECT_EQ(l.file[4], "> Title Comment: " + At(*bytes, off, 4096));
  }
}

TEST(ZipReader, MaskFiltersLinesButNotTotalsAndTheTitleFollowsTheLastEntry) {
  struct {
    const char* mask;
    std::vector<std::string> lines;
  } cases[] = {
      // The last entry is NOISE.BIN: no title unless it matches.
      {"*.TXT", {kPlainLines[0], "> File Comment: 3361 14", kPlainLines[1]}},
      {"*.BIN", {"> Title Comment: 3596 32", kPlainLines[3]}},
      {"SRC\\*.*", {kPlainLines[2], "> File Comment: 3510 9"}},
      {"*.NONE", {}},
  };
  Bytes bytes = LoadFixture("comments.zip");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    RunOptions o;
    o.mask = c.mask;
    qltest::Listing l = ListArchive(Kind::kZip, bytes, o);
    EXPECT_EQ(l.outcome.result, 1);
    EXPECT_EQ(l.list, c.lines);
    EXPECT_EQ(l.outcome.fileCount, 4u);
    EXPECT_EQ(l.outcome.totalLength, 4229u);
    EXPECT_EQ(l.outcome.totalSize, 3057u);
  }
}

TEST(ZipReader, NamesLongerThanTheOldBuffersAreKeptWhole) {
  qltest::Listing l = ListArchive(Kind::kZip, LoadFixture("long_name.zip"));
  ASSERT_EQ(l.list.size(), 1u);
  std::string name = std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\" + std::string(100, 'c') + "\\x.c";
  EXPECT_EQ(l.list[0], name + "\t" + name + "\t29\t29\t00%\t04-15-96\t 9:05p");
  EXPECT_EQ(*ql::LineLongName(l.list[0]), name);
}

Bytes WithStub(const Bytes& zip, size_t stub) {
  Bytes b(stub, 'M');
  b.insert(b.end(), zip.begin(), zip.end());
  return b;
}

TEST(ZipReader, SelfExtractingStubsOfAnyLength) {
  Bytes zip = LoadFixture("plain.zip");
  // Up to 32,760 bytes the scan finds the first local header; longer stubs (today's
  // self-extractors run to 80 KB and more) are found through the end record.
  for (size_t stub : {0, 1, 3, 4, 20000, 32759, 32760, 32761, 40000, 84848, 200000}) {
    SCOPED_TRACE(stub);
    Bytes sfx = WithStub(zip, stub);
    ql::ByteSource src = ql::MemorySource(sfx.data(), sfx.size());
    ql::ByteWindow w(src);
    ql::ZipStart start = ql::LocateZipStart(w);
    EXPECT_TRUE(start.found);
    EXPECT_FALSE(start.spanning);
    EXPECT_EQ(start.offset, stub);
    for (bool throughReads : {false, true}) {
      RunOptions o;
      o.throughReads = throughReads;
      qltest::Listing l = ListArchive(Kind::kZip, sfx, o);
      EXPECT_EQ(l.outcome.result, 1);
      EXPECT_EQ(l.outcome.message, 0u);
      EXPECT_EQ(l.list, PlainLines());
      EXPECT_EQ(l.outcome.fileCount, 4u);
      EXPECT_EQ(l.outcome.totalLength, 4229u);
      EXPECT_EQ(l.outcome.archiveSize, sfx.size());
    }
  }
}

TEST(ZipReader, LongStubWithoutAUsableEndRecordIsDamaged) {
  Bytes plain = LoadFixture("plain.zip");
  ASSERT_EQ(plain[plain.size() - 2], 0);  // no archive comment: the end record is the last 22 bytes
  Bytes noEnd(plain.begin(), plain.end() - 22);
  Bytes noLocal = plain;
  noLocal[0] = 'X';  // the local header the central directory names is gone
  Bytes shortDirectory = plain;
  shortDirectory[plain.size() - 22 + 12] = 0xFF;  // central directory larger than the file
  shortDirectory[plain.size() - 22 + 15] = 0x7F;
  struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"no end record", noEnd},
      {"only an end record", LoadFixture("empty.zip")},
      {"no local header where the central directory says", noLocal},
      {"central directory larger than the file", shortDirectory},
      {"no archive at all", Bytes(3000, 'x')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes sfx = WithStub(c.bytes, 40000);
    ql::ByteSource src = ql::MemorySource(sfx.data(), sfx.size());
    ql::ByteWindow w(src);
    EXPECT_FALSE(ql::LocateZipStart(w).found);
    qltest::Listing l = ListArchive(Kind::kZip, sfx);
    EXPECT_EQ(l.outcome.result, -1);
    EXPECT_EQ(l.outcome.message, ql::kMsgZipDamaged);
    EXPECT_EQ(l.outcome.messageArg, "C:\\A.ZIP");
    EXPECT_TRUE(l.list.empty());
    EXPECT_EQ(l.outcome.fileCount, 0u);
  }
}

Bytes ReadWholeFile(const std::string& path) {
  Bytes b;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return b;
  unsigned char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
  fclose(f);
  return b;
}

// Self-extractors made the usual way with Info-ZIP: Debian's unzipsfx stub (over 80 KB) with an
// archive appended, as it is and after zip -A has moved the offsets past the stub.
TEST(ZipReader, InfoZipSelfExtractorsBehindALongStub) {
  Bytes stub = ReadWholeFile("/usr/bin/unzipsfx");
  ASSERT_GT(stub.size(), ql::kZipStartLimit);
  char dirTemplate[] = "/tmp/ql-readers-XXXXXX";
  std::string dir = mkdtemp(dirTemplate);
  std::string fixtures = qltest::FixturePath("");
  std::string script = "cd " + dir + " && for z in plain streamed; do cat /usr/bin/unzipsfx " + fixtures +
                       "$z.zip > $z.exe && cp $z.exe $z-adjusted.exe && zip -q -A $z-adjusted.exe; done";
  ASSERT_EQ(std::system(script.c_str()), 0);
  struct {
    const char* file;
    size_t lines;
    uint32_t count;
    uint64_t totalSize;
  } cases[] = {
      {"plain.exe", 4, 4, 3057},
      {"plain-adjusted.exe", 4, 4, 3057},
      {"streamed.exe", 3, 3, 59},
      {"streamed-adjusted.exe", 3, 3, 59},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Bytes sfx = ReadWholeFile(dir + "/" + c.file);
    ASSERT_GT(sfx.size(), stub.size());
    ql::ByteSource src = ql::MemorySource(sfx.data(), sfx.size());
    ql::ByteWindow w(src);
    ql::ZipStart start = ql::LocateZipStart(w);
    EXPECT_TRUE(start.found);
    EXPECT_EQ(start.offset, stub.size());
    qltest::Listing l = ListArchive(Kind::kZip, sfx);
    EXPECT_EQ(l.outcome.result, 1);
    EXPECT_EQ(l.outcome.message, 0u);
    EXPECT_EQ(l.list.size(), c.lines);
    if (c.lines == 4) EXPECT_EQ(l.list, PlainLines());
    EXPECT_EQ(l.outcome.fileCount, c.count);
    EXPECT_EQ(l.outcome.totalSize, c.totalSize);
  }
  // zip -A did change the offsets: both forms are really covered.
  EXPECT_NE(ReadWholeFile(dir + "/plain.exe"), ReadWholeFile(dir + "/plain-adjusted.exe"));
  std::system(("rm -rf " + dir).c_str());
}

TEST(ZipReader, StreamedEntriesFindTheirSizesThroughTheEndRecord) {
  Bytes streamed = LoadFixture("streamed.zip");
  Bytes appended = streamed;
  appended.insert(appended.end(), 100, 'J');
  Bytes withoutEnd(streamed.begin(), streamed.end() - 22);
  struct {
    const char* what;
    Bytes bytes;
    int result;
  } cases[] = {
      // A stub the central directory's offsets do not count.
      {"behind a stub", WithStub(streamed, 20000), 1},
      {"behind a stub longer than the scan", WithStub(streamed, 90000), 1},
      {"bytes appended after the archive", appended, 1},
      {"no end record to find the sizes by", withoutEnd, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qltest::Listing l = ListArchive(Kind::kZip, c.bytes);
    EXPECT_EQ(l.outcome.result, c.result);
    if (c.result == 1) {
      EXPECT_EQ(l.list.size(), 3u);
      EXPECT_EQ(l.outcome.fileCount, 3u);
      EXPECT_EQ(l.outcome.totalSize, 59u);
    } else {
      EXPECT_EQ(l.outcome.message, ql::kMsgZipDamaged);
    }
  }
}

TEST(ZipReader, RefusedFiles) {
  struct {
    const char* what;
    Bytes bytes;
    int result;
    unsigned message;
    bool withPath;
  } cases[] = {
      {"spanning marker", LoadFixture("spanned.zip"), -1, ql::kMsgZipMultiVolume, false},
      {"only an end record", LoadFixture("empty.zip"), -1, ql::kMsgZipDamaged, true},
      {"empty file", Bytes(), -1, ql::kMsgZipDamaged, true},
      {"not a zip", Bytes(5000, 'x'), -1, ql::kMsgZipDamaged, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qltest::Listing l = ListArchive(Kind::kZip, c.bytes);
    EXPECT_EQ(l.outcome.result, c.result);
    EXPECT_EQ(l.outcome.message, c.message);
    EXPECT_EQ(l.outcome.messageArg, c.withPath ? "C:\\A.ZIP" : "");
    EXPECT_TRUE(l.list.empty());
    EXPECT_EQ(l.outcome.fileCount, 0u);
    EXPECT_FALSE(l.outcome.complete);
  }
}

void Put32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

size_t Find(const Bytes& b, const char* sig, size_t from = 0) {
  for (size_t i = from; i + 4 <= b.size(); ++i)
    if (memcmp(b.data() + i, sig, 4) == 0) return i;
  return std::string::npos;
}

TEST(ZipReader, DamagedArchives) {
  Bytes plain = LoadFixture("plain.zip");
  size_t central = Find(plain, "PK\1\2");
  size_t end = Find(plain, "PK\5\6");
  ASSERT_NE(central, std::string::npos);
  ASSERT_NE(end, std::string::npos);

  Bytes tooBig = plain;
  Put32(&tooBig, 18, static_cast<uint32_t>(plain.size() + 1));  // first local compressed size
  Bytes badEnd = plain;
  Put32(&badEnd, end, 0x01020304);
  Bytes garbageAfterLocals = plain;
  Put32(&garbageAfterLocals, central, 0x01020304);

  struct {
    const char* what;
    Bytes bytes;
    int result;
    size_t linesBefore;
  } cases[] = {
      {"compressed size larger than the file", tooBig, -1, 0},
      {"end record signature wrong", badEnd, -1, 4},
      {"no central header after the local headers", garbageAfterLocals, -1, 0},
      {"end record cut short", Bytes(plain.begin(), plain.begin() + static_cast<long>(end + 10)), 0, 4},
      {"file ends inside the central directory", Bytes(plain.begin(), plain.begin() + static_cast<long>(central + 60)), -1, 0},
      {"file ends right after a central entry", Bytes(plain.begin(), plain.begin() + static_cast<long>(end)), 0, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qltest::Listing l = ListArchive(Kind::kZip, c.bytes);
    EXPECT_EQ(l.outcome.result, c.result);
    EXPECT_EQ(l.outcome.message, ql::kMsgZipDamaged);
    EXPECT_EQ(l.outcome.fileCount, 0u);
    EXPECT_EQ(l.list.size(), c.linesBefore);
  }
}

TEST(ZipReader, EveryTruncationFailsWithoutRepeatingAnEntry) {
  Bytes whole = LoadFixture("comments.zip");
  for (size_t n = 0; n < whole.size(); ++n) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(n));
    for (bool throughReads : {false, true}) {
      RunOptions o;
      o.throughReads = throughReads;
      o.withFile = true;
      qltest::Listing l = ListArchive(Kind::kZip, cut, o);
      ASSERT_NE(l.outcome.result, 1) << n;
      ASSERT_NE(l.outcome.message, 0u) << n;
      std::set<std::string> seen;
      for (const std::string& line : l.list) ASSERT_TRUE(seen.insert(line).second) << n << ": " << line;
      ASSERT_LE(l.list.size(), 6u) << n;
    }
  }
}

// Info-ZIP zip on more than 65,535 files: a Zip64 end record and locator precede the end record.
class ZipManyEntries : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char dirTemplate[] = "/tmp/ql-readers-XXXXXX";
    dir_ = mkdtemp(dirTemplate);
    std::string script = "cd " + dir_ +
                         " && mkdir f && cd f && seq -w 1 70000 | sed 's/$/.TXT/' | xargs touch -t 199604152105"
                         " && cd .. && ls f | sed 's|^|f/|' | zip -q -X -0 many.zip -@";
    ASSERT_EQ(std::system(script.c_str()), 0);
    FILE* f = fopen((dir_ + "/many.zip").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    fseek(f, 0, SEEK_END);
    zip_.resize(static_cast<size_t>(ftell(f)));
    fseek(f, 0, SEEK_SET);
    ASSERT_EQ(fread(zip_.data(), 1, zip_.size(), f), zip_.size());
    fclose(f);
    std::system(("rm -rf " + dir_).c_str());
  }
  static std::string dir_;
  static Bytes zip_;
};
std::string ZipManyEntries::dir_;
Bytes ZipManyEntries::zip_;

TEST_F(ZipManyEntries, AllAreListedAndCounted) {
  for (bool throughReads : {false, true}) {
    RunOptions o;
    o.throughReads = throughReads;
    qltest::Listing l = ListArchive(Kind::kZip, zip_, o);
    EXPECT_EQ(l.outcome.result, 1);
    EXPECT_EQ(l.outcome.message, 0u);
    EXPECT_EQ(l.outcome.fileCount, 70000u);
    ASSERT_EQ(l.list.size(), 70000u);
    EXPECT_EQ(l.list.front(), "f\\00001.TXT\tf\\00001.TXT\t0\t0\t00%\t04-15-96\t 9:05p");
    EXPECT_EQ(l.list.back(), "f\\70000.TXT\tf\\70000.TXT\t0\t0\t00%\t04-15-96\t 9:05p");
    // Buffered reads: far fewer reads of the file than entries.
    if (throughReads) EXPECT_LT(l.sourceReads, 200);
  }
}

}  // namespace

namespace {

// A stand-in for the code pages: DOS byte 0xE3 is pi, and a line holds ASCII only.
std::string FakeOemToUtf8(std::string_view oem) {
  std::string out;
  for (char c : oem) out += static_cast<unsigned char>(c) == 0xE3 ? std::string("π") : std::string(1, c);
  return out;
}
std::string FakeUtf8ToLine(std::string_view utf8) {
  std::string out;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
  return out;
}

// Names that are not plain ASCII: shown as the lines' code page allows, each line carrying the
// reference to its real name; a Unicode path field counts when its CRC matches the header name.
TEST(ZipReader, NamesBeyondAsciiAreShownAsWellAsTheLinesAllowAndCarryTheirRealName) {
  std::ifstream f(std::string(QL_SOURCE_DIR) + "/archivers/zip/tests/fixtures/unicode_names.zip", std::ios::binary);
  Bytes bytes{std::istreambuf_iterator<char>(f), {}};
  ASSERT_FALSE(bytes.empty());
  const ql::NameText fake = {FakeOemToUtf8, FakeUtf8ToLine};
  struct Case {
    const ql::NameText* names;
    std::vector<std::pair<std::string, std::string>> want;  // shown name, real name ("" for none)
  } cases[] = {
      {&fake,
       {{"????????.txt", "Ελληνικά.txt"}, {"???\\????.txt", "日本語/ファイル.txt"}, {"?.txt", "π.txt"},
        {"p.txt", ""}, {"?esk?.txt", "Česká.txt"}, {"stale.txt", ""}}},
      // Without a converter (the native tools) a UTF-8 name is shown as its bytes.
      {nullptr,
       {{"Ελληνικά.txt", "Ελληνικά.txt"}, {"日本語\\ファイル.txt", "日本語/ファイル.txt"}, {"π.txt", "π.txt"},
        {"p.txt", ""}, {"Česká.txt", "Česká.txt"}, {"stale.txt", ""}}},
  };
  for (const Case& c : cases) {
    RunOptions o;
    o.names = c.names;
    o.withFile = true;
    qltest::Listing l = ListArchive(Kind::kZip, bytes, o);
    ASSERT_EQ(l.list.size(), c.want.size());
    ASSERT_EQ(l.file.size(), c.want.size());
    for (size_t i = 0; i < c.want.size(); ++i) {
      const std::string& line = l.list[i];
      SCOPED_TRACE(line);
      EXPECT_EQ(ql::LineFirstField(line), c.want[i].first);
      auto ref = ql::LineMemberReference(line);
      EXPECT_EQ(ref.has_value(), !c.want[i].second.empty());
      if (ref) EXPECT_EQ(*ref, ql::MemberReference(c.want[i].second));
      // The printed listing shows the same name, without the reference.
      EXPECT_EQ(l.file[i], std::string(ql::LineWithoutReference(line)));
    }
  }
}

}  // namespace
