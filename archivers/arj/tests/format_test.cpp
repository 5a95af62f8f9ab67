#include <gtest/gtest.h>

#include "archivers/arj/arj_format.h"

namespace arj {
namespace {

TEST(ArjCrc, MatchesTheZipCrc) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32("", 0), 0u);
  // Chunked updates give the same value as one pass (the 8-byte loop and the tail agree).
  std::string s(1000, 'x');
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i * 7);
  uint32_t c = 0xFFFFFFFFu;
  c = Crc32Update(c, s.data(), 13);
  c = Crc32Update(c, s.data() + 13, s.size() - 13);
  EXPECT_EQ(~c, Crc32(s.data(), s.size()));
}

Header SampleHeader() {
  Header h;
  h.host_os = kHostUnix;
  h.flags = kPathSym;
  h.method = 1;
  h.mtime = 0x12345678;
  h.comp_size = 100;
  h.orig_size = 200;
  h.crc = 0xDEADBEEF;
  h.entry_pos = 4;
  h.access_mode = 0x11A4;
  h.name = "sub/file.txt";
  h.comment = "a comment\n";
  h.ext_headers.push_back({'U', 0, 0x49, 'x'});
  return h;
}

TEST(ArjHeader, WritesAndParsesBack) {
  std::vector<uint8_t> b;
  ASSERT_TRUE(WriteHeader(SampleHeader(), &b));
  Header h;
  size_t used = 0;
  ASSERT_EQ(ParseHeader(b.data(), b.size(), &h, &used), ParseResult::kOk);
  EXPECT_EQ(used, b.size());
  EXPECT_EQ(h.name, "sub/file.txt");
  EXPECT_EQ(h.comment, "a comment\n");
  EXPECT_EQ(h.crc, 0xDEADBEEFu);
  EXPECT_EQ(h.orig_size, 200u);
  EXPECT_EQ(h.first_size, 30);
  ASSERT_EQ(h.ext_headers.size(), 1u);
  EXPECT_EQ(h.ext_headers[0][0], 'U');
}

TEST(ArjHeader, KeepsResumePositionOfContinuedParts) {
  Header h = SampleHeader();
  h.SetResumePosition(46960);
  std::vector<uint8_t> b;
  ASSERT_TRUE(WriteHeader(h, &b));
  Header back;
  size_t used = 0;
  ASSERT_EQ(ParseHeader(b.data(), b.size(), &back, &used), ParseResult::kOk);
  EXPECT_EQ(back.first_size, 34);
  EXPECT_EQ(back.ResumePosition(), 46960u);
  EXPECT_EQ(back.name, "sub/file.txt");
}

TEST(ArjHeader, RejectsDamage) {
  std::vector<uint8_t> b;
  ASSERT_TRUE(WriteHeader(SampleHeader(), &b));
  Header h;
  size_t used = 0;
  std::vector<uint8_t> bad = b;
  bad[20] ^= 1;  // inside the basic header: CRC mismatch
  EXPECT_EQ(ParseHeader(bad.data(), bad.size(), &h, &used), ParseResult::kBadCrc);
  bad = b;
  bad[0] = 0;
  EXPECT_EQ(ParseHeader(bad.data(), bad.size(), &h, &used), ParseResult::kBadId);
  bad = b;
  bad[2] = 0xFF;
  bad[3] = 0xFF;  // basic size beyond 2600
  EXPECT_EQ(ParseHeader(bad.data(), bad.size(), &h, &used), ParseResult::kBadSize);
  for (size_t cut = 0; cut < b.size(); ++cut)
    EXPECT_EQ(ParseHeader(b.data(), cut, &h, &used), ParseResult::kTruncated) << cut;
  const uint8_t end[4] = {0x60, 0xEA, 0, 0};
  EXPECT_EQ(ParseHeader(end, 4, &h, &used), ParseResult::kEnd);
}

TEST(ArjHeader, RefusesNamesBeyondTheHeaderLimit) {
  Header h = SampleHeader();
  h.name.assign(2000, 'n');
  h.comment.assign(1000, 'c');
  std::vector<uint8_t> b;
  EXPECT_FALSE(WriteHeader(h, &b));
}

TEST(ArjTime, DosAndUnixConversions) {
  CalendarTime t{1996, 4, 15, 0, 7, 30};
  uint32_t dos = ToDosTime(t);
  CalendarTime back = FromDosTime(dos);
  EXPECT_EQ(back.year, 1996);
  EXPECT_EQ(back.month, 4);
  EXPECT_EQ(back.day, 15);
  EXPECT_EQ(back.hour, 0);
  EXPECT_EQ(back.minute, 7);
  EXPECT_EQ(back.second, 30);
  struct Case {
    int64_t unix_time;
    CalendarTime cal;
  } cases[] = {
      {0, {1970, 1, 1, 0, 0, 0}},
      {951782400, {2000, 2, 29, 0, 0, 0}},
      {1798761599, {2026, 12, 31, 23, 59, 59}},
  };
  for (const Case& c : cases) {
    CalendarTime got = FromUnixTime(c.unix_time);
    EXPECT_EQ(got.year, c.cal.year);
    EXPECT_EQ(got.month, c.cal.month);
    EXPECT_EQ(got.day, c.cal.day);
    EXPECT_EQ(got.hour, c.cal.hour);
    EXPECT_EQ(got.second, c.cal.second);
    EXPECT_EQ(ToUnixTime(c.cal), c.unix_time);
  }
}

TEST(ArjNames, UnsafeMemberNamesAreRefused) {
  struct Case {
    const char* name;
    const char* safe;  // "" = refused
  } cases[] = {
      {"a.txt", "a.txt"},
      {"sub/deeper/deep.dat", "sub/deeper/deep.dat"},
      {"sub\\win.txt", "sub/win.txt"},
      {"./x/./y", "x/y"},
      {"../evil.txt", ""},
      {"sub/../../evil.txt", ""},
      {"sub\\..\\..\\evil.txt", ""},
      {"/abs/path.txt", ""},
      {"\\abs\\path.txt", ""},
      {"\\\\server\\share\\x", ""},
      {"C:evil.txt", ""},
      {"C:\\evil.txt", ""},
      {"CON", ""},
      {"sub/nul.txt", ""},
      {"com1", ""},
      {"LPT9.log", ""},
      {"file.txt:stream", ""},
      {"trailing.", ""},
      {"trailing ", ""},
      {"bell\a", ""},
      {"", ""},
      {"console.txt", "console.txt"},
      {"com10", "com10"},
  };
  for (const Case& c : cases) EXPECT_EQ(SafeRelativePath(c.name), c.safe) << c.name;
}

TEST(ArjNames, StoredNames) {
  EXPECT_EQ(StoredName("C:\\src\\a.txt"), "src/a.txt");
  EXPECT_EQ(StoredName("/abs/x"), "abs/x");
  EXPECT_EQ(StoredName(".\\sub\\.\\f"), "sub/f");
  EXPECT_EQ(StoredName("a//b"), "a/b");
}

TEST(ArjNames, VolumeNames) {
  EXPECT_EQ(NextVolumeName("BOOK.ARJ", 1), "BOOK.A01");
  EXPECT_EQ(NextVolumeName("dir/book.arj", 12), "dir/book.a12");
  EXPECT_EQ(NextVolumeName("BOOK.ARJ", 100), "BOOK.100");
  EXPECT_EQ(NextVolumeName("archive.001", 1), "archive.002");
  EXPECT_EQ(FollowingVolumeName("BOOK.ARJ"), "BOOK.A01");
  EXPECT_EQ(FollowingVolumeName("dir/BOOK.A07"), "dir/BOOK.A08");
  EXPECT_EQ(FollowingVolumeName("BOOK.A99"), "BOOK.100");
  EXPECT_EQ(FollowingVolumeName("x.004"), "x.005");
}

}  // namespace
}  // namespace arj
