// The ARJ directory reader against archives made by Debian's arj, and against headers built
// here for the cases arj does not write (30-byte headers, volume labels, damage).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "readers/arj_reader.h"
#include "readers/listing_lines.h"
#include "readers/tests/reader_test_util.h"

using qltest::Kind;
using qltest::ListArchive;
using qltest::LoadFixture;
using qltest::RunOptions;

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kReadme = "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t36\t04/15/1996\t09:05p";
const char* const kEmpty = "EMPTY.TXT\tEMPTY.TXT\t0\t0\t01/01/2001\t00:30a";
const char* const kMain = "src\\main.c\tsrc\\main.c\t29\t29\t01/01/2001\t12:00p";
const char* const kNoise = "NOISE.BIN\tNOISE.BIN\t3000\t3000\t04/15/1996\t00:07a";

std::string At(const Bytes& b, uint64_t offset, uint64_t length) {
  return std::string(b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + length));
}

TEST(ArjReader, ListsTitleFilesAndFileCommentReferences) {
  Bytes bytes = LoadFixture("dos.arj");
  for (bool throughReads : {false, true}) {
    RunOptions o;
    o.throughReads = throughReads;
    qltest::Listing l = ListArchive(Kind::kArj, bytes, o);
    EXPECT_EQ(l.outcome.result, 4);
    EXPECT_EQ(l.outcome.message, 0u);
    ASSERT_EQ(l.list.size(), 6u);
    // The references cover the NUL-terminated name followed by the comment.
    uint64_t off = 0, len = 0;
    EXPECT_EQ(l.list[0].rfind("> Title: ", 0), 0u);
    ASSERT_TRUE(ql::LineCommentReference(l.list[0], &off, &len));
    EXPECT_EQ(At(bytes, off, len), std::string("dos.arj\0ARJ title\n", 18));
    EXPECT_EQ(l.list[1], kReadme);
    EXPECT_EQ(l.list[2].rfind("> File Comment: ", 0), 0u);
    ASSERT_TRUE(ql::LineCommentReference(l.list[2], &off, &len));
    EXPECT_EQ(At(bytes, off, len), std::string("DOCS/README.TXT\0File note\n", 26));
    EXPECT_EQ(l.list[3], kEmpty);
    EXPECT_EQ(l.list[4], kMain);
    EXPECT_EQ(l.list[5], kNoise);
    EXPECT_EQ(l.outcome.fileCount, 4u);
    EXPECT_EQ(l.outcome.totalLength, 4229u);
    EXPECT_EQ(l.outcome.archiveSize, bytes.size());
    EXPECT_FALSE(l.outcome.encryptedKnown);
  }
}

TEST(ArjReader, ColumnTitleAndSeparator) {
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("dos.arj"));
  EXPECT_EQ(l.columnCalls, 1);
  EXPECT_EQ(l.columnTitle, " Filename\tLength\t Size\t Date\t Time");
  EXPECT_EQ(l.separator, " --------------------\t-------\t-------\t--------\t------");
}

TEST(ArjReader, OutputFileGetsCommentTexts) {
  RunOptions o;
  o.withList = false;
  o.withFile = true;
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("dos.arj"), o);
  EXPECT_EQ(l.file, (std::vector<std::string>{"> Title: ARJ title\n", kReadme, "> File Comment: File note\n", kEmpty,
                                              kMain, kNoise}));
}

TEST(ArjReader, NamesOnlyListGetsFileNames) {
  RunOptions o;
  o.fullLines = false;
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("dirs.arj"), o);
  EXPECT_EQ(l.list, (std::vector<std::string>{"src\\main.c", "DOCS\\README.TXT"}));
  EXPECT_EQ(l.columnCalls, 0);
}

TEST(ArjReader, MaskFiltersLinesCountAndTitleButNotTotals) {
  RunOptions o;
  o.mask = "*.TXT";
  Bytes bytes = LoadFixture("dos.arj");
  qltest::Listing l = ListArchive(Kind::kArj, bytes, o);
  // The title's name is the archive's own name, dos.arj: no title line.
  EXPECT_EQ(l.list, (std::vector<std::string>{kReadme, l.list.size() > 1 ? l.list[1] : "", kEmpty}));
  EXPECT_EQ(l.list[1].rfind("> File Comment: ", 0), 0u);
  EXPECT_EQ(l.outcome.result, 2);
  EXPECT_EQ(l.outcome.fileCount, 2u);
  EXPECT_EQ(l.outcome.totalLength, 4229u);
  o.mask = "*.ARJ";
  l = ListArchive(Kind::kArj, bytes, o);
  ASSERT_EQ(l.list.size(), 1u);
  EXPECT_EQ(l.list[0].rfind("> Title: ", 0), 0u);
  EXPECT_EQ(l.outcome.result, 0);
}

TEST(ArjReader, DirectoriesAndLabelsShowOnlyWithAComment) {
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("dirs.arj"));
  ASSERT_EQ(l.list.size(), 4u);
  EXPECT_EQ(l.list[0], kMain);
  EXPECT_EQ(l.list[1], kReadme);
  // "src" has no comment; "DOCS" has one, and so has the label.
  EXPECT_EQ(l.list[2], "> Directory: DOCS");
  EXPECT_EQ(l.list[3], "> Volume Label: QLDISK");
  EXPECT_EQ(l.outcome.result, 2);
}

TEST(ArjReader, EveryMethodListsTheSameEntries) {
  for (int m = 0; m <= 4; ++m) {
    SCOPED_TRACE(m);
    qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("method" + std::to_string(m) + ".arj"));
    EXPECT_EQ(l.outcome.result, 2);
    ASSERT_EQ(l.list.size(), 2u);
    EXPECT_EQ(ql::LineLongName(l.list[0]).value_or(""), "DOCS\\README.TXT");
    EXPECT_EQ(ql::LineSizeField(l.list[0]), 1200);
    EXPECT_EQ(l.list[1], kNoise);
    if (m == 0) EXPECT_EQ(l.list[0], "DOCS\\README.TXT\tDOCS\\README.TXT\t1200\t1200\t04/15/1996\t09:05p");
  }
}

TEST(ArjReader, VolumesAndContinuedEntries) {
  // Entries continued from the previous volume carry flag 0x08 and a 46-byte fixed part.
  qltest::Listing first = ListArchive(Kind::kArj, LoadFixture("vol.arj"));
  qltest::Listing second = ListArchive(Kind::kArj, LoadFixture("vol.a01"));
  EXPECT_EQ(first.outcome.result, 1);
  ASSERT_EQ(first.list.size(), 1u);
  EXPECT_EQ(ql::LineLongName(first.list[0]).value_or(""), "BIG.BIN");
  EXPECT_EQ(second.outcome.result, 2);
  ASSERT_EQ(second.list.size(), 2u);
  EXPECT_EQ(ql::LineLongName(second.list[0]).value_or(""), "BIG.BIN");
  EXPECT_EQ(ql::LineSizeField(first.list[0]) + ql::LineSizeField(second.list[0]), 12000);
  EXPECT_EQ(second.list[1], kEmpty);
}

TEST(ArjReader, ChapterLabelsArePassedOver) {
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("chapters.arj"));
  EXPECT_EQ(l.list, (std::vector<std::string>{kReadme}));
  EXPECT_EQ(l.outcome.result, 1);
}

TEST(ArjReader, UnixHostTimesAreSecondsSince1970) {
  const char* old = getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "UTC0", 1);
  tzset();
  qltest::Listing l = ListArchive(Kind::kArj, LoadFixture("unix.arj"));
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
  EXPECT_EQ(l.list, (std::vector<std::string>{kReadme, kMain}));
}

// A header of the classic layout: 30-byte fixed part (more with `extra`), DOS host.
struct Header {
  uint8_t type = 0;
  uint8_t flags = 0;
  uint8_t host = 0;
  uint16_t date = static_cast<uint16_t>(((1996 - 1980) << 9) | (4 << 5) | 15);
  uint16_t time = 0;
  uint32_t size = 0;
  uint32_t length = 0;
  std::string name;
  std::string comment;
  size_t extra = 0;  // bytes of the fixed part beyond 30
  std::vector<uint16_t> extended;  // sizes of extended headers
  bool withData = true;
};

void Put16(Bytes* b, uint16_t v) {
  b->push_back(static_cast<unsigned char>(v));
  b->push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(Bytes* b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v));
  Put16(b, static_cast<uint16_t>(v >> 16));
}

// CRC-32 as ARJ keeps it for each header, bit by bit.
uint32_t Crc32(const Bytes& bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    c ^= byte;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void Append(Bytes* b, const Header& h) {
  Bytes basic;
  basic.push_back(static_cast<unsigned char>(30 + h.extra));
  basic.push_back(11);
  basic.push_back(1);
  basic.push_back(h.host);
  basic.push_back(h.flags);
  basic.push_back(0);
  basic.push_back(h.type);
  basic.push_back(0);
  Put16(&basic, h.time);
  Put16(&basic, h.date);
  Put32(&basic, h.size);
  Put32(&basic, h.length);
  Put32(&basic, 0);
  Put16(&basic, 0);
  Put16(&basic, 0x20);
  Put16(&basic, 0);
  basic.insert(basic.end(), h.extra, 0);
  basic.insert(basic.end(), h.name.begin(), h.name.end());
  basic.push_back(0);
  basic.insert(basic.end(), h.comment.begin(), h.comment.end());
  basic.push_back(0);
  b->push_back(0x60);
  b->push_back(0xEA);
  Put16(b, static_cast<uint16_t>(basic.size()));
  b->insert(b->end(), basic.begin(), basic.end());
  Put32(b, Crc32(basic));
  for (uint16_t n : h.extended) {
    Put16(b, n);
    b->insert(b->end(), n, 'E');
    Put32(b, 0);
  }
  Put16(b, 0);
  if (h.withData) b->insert(b->end(), h.size, 'D');
}

Bytes Archive(const std::vector<Header>& entries, bool endMarker = true) {
  Bytes b;
  Header main;
  main.type = 2;
  main.name = "TEST.ARJ";
  main.size = 0x2A2A2A2A;  // the main header keeps a time here, not a size
  main.withData = false;
  Append(&b, main);
  for (const Header& h : entries) Append(&b, h);
  if (endMarker) {
    b.push_back(0x60);
    b.push_back(0xEA);
    Put16(&b, 0);
  }
  return b;
}

Header File(const std::string& name, int hour, int minute, uint32_t size = 10, uint32_t length = 20) {
  Header h;
  h.name = name;
  h.time = static_cast<uint16_t>((hour << 11) | (minute << 5));
  h.size = size;
  h.length = length;
  return h;
}

TEST(ArjReader, ClassicHeadersAndTwelveHourTimes) {
  Header extended = File("B.TXT", 12, 30);
  extended.extended = {5, 300};
  Header continued = File("C.TXT", 23, 59);
  continued.flags = 0x08;
  continued.extra = 4;  // the resume position
  Header chapter;
  chapter.type = 5;
  chapter.name = "<<<001>>>";
  chapter.comment = "not shown";
  Header special = File("LINK", 1, 1);
  special.type = 6;
  Header emptyButData = File("D.TXT", 0, 7, 0, 0);
  Bytes b = Archive({File("A.TXT", 0, 7), extended, continued, chapter, special, emptyButData});
  qltest::Listing l = ListArchive(Kind::kArj, b);
  EXPECT_EQ(l.outcome.message, 0u);
  EXPECT_EQ(l.outcome.result, 4);
  EXPECT_EQ(l.list, (std::vector<std::string>{
                        "A.TXT\tA.TXT\t20\t10\t04/15/1996\t00:07a",
                        "B.TXT\tB.TXT\t20\t10\t04/15/1996\t12:30p",
                        "C.TXT\tC.TXT\t20\t10\t04/15/1996\t11:59p",
                        "D.TXT\tD.TXT\t0\t0\t04/15/1996\t00:07a",
                    }));
  // Sizes of every header but the main one count, listed or not.
  EXPECT_EQ(l.outcome.totalLength, 20u * 4);
  EXPECT_EQ(l.outcome.totalSize, 10u * 4);
}

TEST(ArjReader, DamagedAndShortFiles) {
  Bytes good = Archive({File("A.TXT", 1, 0), File("B.TXT", 2, 0)});
  Bytes badId = good;
  // Spoil the id of the second file header: it starts after the main and the first header.
  size_t second = 0;
  for (size_t i = 4, seen = 0; i + 1 < badId.size(); ++i)
    if (badId[i] == 0x60 && badId[i + 1] == 0xEA && ++seen == 2) second = i;
  ASSERT_NE(second, 0u);
  badId[second] = 0;
  Header huge = File("H.TXT", 1, 0);
  huge.comment = std::string(2700, 'c');
  struct {
    const char* what;
    Bytes bytes;
    int result;
    size_t lines;
  } cases[] = {
      {"fewer than 34 bytes", Bytes(good.begin(), good.begin() + 33), -1, 0},
      {"an id only", Bytes{0x60, 0xEA}, -1, 0},
      {"empty file", Bytes(), -1, 0},
      {"not an ARJ file", Bytes(100, 'x'), -1, 0},
      {"later header without the id", badId, -1, 1},
      {"header larger than ARJ writes", Archive({huge}), -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qltest::Listing l = ListArchive(Kind::kArj, c.bytes);
    EXPECT_EQ(l.outcome.result, c.result);
    EXPECT_EQ(l.outcome.message, ql::kMsgBadArj);
    EXPECT_EQ(l.outcome.fileCount, 0u);
    EXPECT_EQ(l.list.size(), c.lines);
  }
}

// Where each header of an archive starts, following the chain (the end marker last).
std::vector<size_t> HeaderStarts(const Bytes& b) {
  auto le16 = [&b](size_t at) { return static_cast<size_t>(b[at] | (b[at + 1] << 8)); };
  std::vector<size_t> starts;
  size_t pos = 0;
  while (pos + 4 <= b.size()) {
    starts.push_back(pos);
    size_t basic = le16(pos + 2);
    if (basic == 0) break;
    size_t at = pos + 4 + basic + 4;
    while (size_t n = le16(at)) at += 2 + n + 4;
    at += 2;
    const unsigned char* f = b.data() + pos + 4;
    size_t size = f[6] == 2 ? 0 : (f[12] | (f[13] << 8) | (f[14] << 16) | (static_cast<size_t>(f[15]) << 24));
    pos = at + size;
  }
  return starts;
}

bool PeerRefuses(const Bytes& bytes) {
  char name[] = "/tmp/ql-readers-XXXXXX.arj";
  int fd = mkstemps(name, 4);
  if (fd < 0) return false;
  bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  close(fd);
  int status = written ? std::system(("arj l " + std::string(name) + " >/dev/null 2>&1").c_str()) : 0;
  unlink(name);
  return written && status != 0;
}

TEST(ArjReader, HeaderWhoseCrcDoesNotMatchIsDamaged) {
  // header_crc.arj: one byte of its file header's compressed size changed, as a bad disk would.
  qltest::Listing fixture = ListArchive(Kind::kArj, LoadFixture("header_crc.arj"));
  EXPECT_EQ(fixture.outcome.result, -1);
  EXPECT_EQ(fixture.outcome.message, ql::kMsgBadArj);
  EXPECT_TRUE(fixture.list.empty());
  EXPECT_TRUE(PeerRefuses(LoadFixture("header_crc.arj")));

  Bytes good = LoadFixture("dos.arj");
  std::vector<size_t> at = HeaderStarts(good);
  ASSERT_EQ(at.size(), 6u);  // main header, four files, end marker
  auto name = [&](size_t k) { return at[k] + 4 + good[at[k] + 4]; };  // after the fixed part
  auto crc = [&](size_t k) { return at[k] + 4 + (good[at[k] + 2] | (good[at[k] + 3] << 8)); };
  struct {
    const char* what;
    size_t offset;
    size_t linesBefore;  // the title, README and its comment, EMPTY.TXT, main.c
  } cases[] = {
      {"main header: archive name", name(0) + 1, 0},
      {"main header: its CRC", crc(0), 0},
      {"first file: compressed size", at[1] + 4 + 12 + 2, 1},
      {"first file: its comment", crc(1) - 2, 1},
      {"third file: name", name(3) + 4, 4},
      {"last file: date", at[4] + 4 + 10, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bad = good;
    bad[c.offset] ^= 0x01;
    for (bool throughReads : {false, true}) {
      RunOptions o;
      o.throughReads = throughReads;
      o.withFile = true;
      qltest::Listing l = ListArchive(Kind::kArj, bad, o);
      EXPECT_EQ(l.outcome.result, -1);
      EXPECT_EQ(l.outcome.message, ql::kMsgBadArj);
      EXPECT_EQ(l.outcome.fileCount, 0u);
      EXPECT_FALSE(l.outcome.complete);
      EXPECT_EQ(l.list.size(), c.linesBefore);
    }
    EXPECT_TRUE(PeerRefuses(bad));
  }
  // The same archive unchanged lists, and arj takes it.
  EXPECT_EQ(ListArchive(Kind::kArj, good).outcome.result, 4);
  EXPECT_FALSE(PeerRefuses(good));
}

TEST(ArjReader, FileEndingWithoutEndMarkerKeepsWhatWasRead) {
  Bytes b = Archive({File("A.TXT", 1, 0), File("B.TXT", 2, 0)}, false);
  qltest::Listing l = ListArchive(Kind::kArj, b);
  EXPECT_EQ(l.outcome.result, 2);
  EXPECT_EQ(l.outcome.message, 0u);
  // Cut inside the last header: the entries before it stand.
  Bytes cut(b.begin(), b.end() - 20);
  l = ListArchive(Kind::kArj, cut);
  EXPECT_EQ(l.outcome.result, 1);
  EXPECT_EQ(l.outcome.message, 0u);
}

TEST(ArjReader, BytesAfterTheEndMarkerAreNotCounted) {
  Bytes b = Archive({File("A.TXT", 1, 0)});
  b.insert(b.end(), 64, 0xFF);
  qltest::Listing l = ListArchive(Kind::kArj, b);
  EXPECT_EQ(l.outcome.result, 1);
  EXPECT_EQ(l.outcome.totalLength, 20u);
  EXPECT_EQ(l.outcome.totalSize, 10u);
}

TEST(ArjReader, EveryTruncationEndsCleanly) {
  Bytes whole = LoadFixture("dos.arj");
  for (size_t n = 0; n < whole.size(); ++n) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(n));
    qltest::Listing l = ListArchive(Kind::kArj, cut);
    ASSERT_TRUE(l.outcome.result == -1 || l.outcome.result <= 4) << n;
    ASSERT_LE(l.list.size(), 6u) << n;
    if (n < 34) ASSERT_EQ(l.outcome.result, -1) << n;
  }
}

}  // namespace
