#include "engine/convert_extras.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "readers/byte_source.h"
#include "readers/arj_reader.h"
#include "readers/tests/reader_test_util.h"
#include "readers/zip_reader.h"

namespace ql {
namespace {

std::string Fixture(const std::string& name) {
  std::vector<unsigned char> b = qltest::LoadFixture(name);
  return std::string(b.begin(), b.end());
}

// What the reader's printing target makes of `bytes`, directory entries included: each entry's
// name and its comment's text.
std::vector<std::string> Printed(const std::string& bytes, bool arj) {
  struct Lines {
    std::vector<std::string> all;
    static void Add(void* ctx, const char* text, size_t len) {
      std::string line(text, len);
      static_cast<Lines*>(ctx)->all.push_back(line.substr(0, line.find('\t')));
    }
  } lines;
  LineSink sink;
  sink.ctx = &lines;
  sink.add = Lines::Add;
  ListTargets targets;
  targets.file = &sink;
  targets.directoryEntries = true;
  ByteSource src = MemorySource(bytes.data(), bytes.size());
  EXPECT_TRUE(arj ? ReadArjListing(src, targets).complete : ReadZipListing(src, "new.zip", targets).complete);
  return lines.all;
}

// Whether Debian's `judge` (a command taking the archive's path) passes `bytes`; skipped when
// the judge is not installed.
void ExpectJudged(const std::string& bytes, const char* program, const std::string& judge, const char* ext) {
  if (access(program, X_OK) != 0) return;
  // One file per process and call: ctest runs the cases of this file side by side.
  static int calls = 0;
  std::string path = testing::TempDir() + "convert_extras_" + std::to_string(getpid()) + "_" +
                     std::to_string(++calls) + ext;
  std::ofstream(path, std::ios::binary) << bytes;
  EXPECT_EQ(0, system((judge + " '" + path + "' >/dev/null 2>&1").c_str())) << judge;
  std::remove(path.c_str());
}

// The new ZIP: everything before the central directory, then the new tail.
std::string ZipWithExtras(const std::string& zip, const std::vector<MemberComment>& comments,
                          const std::vector<std::string>& folders, size_t* missed) {
  uint64_t offset = 0, size = 0;
  uint16_t entries = 0;
  const uint8_t* end = reinterpret_cast<const uint8_t*>(zip.data()) + zip.size() - kZipEndSize;
  EXPECT_TRUE(PlainZipDirectory(end, zip.size(), &offset, &size, &entries));
  std::string tail;
  EXPECT_TRUE(ZipTailWithExtras(zip.substr(offset, size), offset, entries, comments, folders, 0x5B8A6000, &tail,
                                missed));
  return zip.substr(0, offset) + tail;
}

TEST(ConvertExtras, SameMemberName) {
  const struct {
    const char *a, *b;
    bool same;
  } cases[] = {
      {"DOCS\\README.TXT", "docs/readme.txt", true}, {"sub\\", "sub", true},   {"sub/deeper/", "SUB\\DEEPER", true},
      {"sub", "sub\\deeper", false},                 {"a.txt", "a.txt ", false}, {"", "\\", true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.same, SameMemberName(c.a, c.b)) << c.a << " / " << c.b;
}

// A packer's ZIP gets file comments and folder entries; a folder already there is not added
// again; a comment whose member is missing is counted.
TEST(ConvertExtras, AZipTakesFileCommentsAndFolderEntries) {
  size_t missed = 0;
  std::string zip = ZipWithExtras(Fixture("plain.zip"),
                                  {{"docs\\readme.txt", "Readme note\r\nline two"}, {"gone.txt", "x"}, {"sub\\", "a folder"}},
                                  {"sub"}, &missed);
  EXPECT_EQ(1u, missed);
  zip = ZipWithExtras(zip, {{"src\\main.c", "Main"}}, {"SUB\\", "sub\\deeper"}, &missed);
  EXPECT_EQ(0u, missed);
  EXPECT_EQ((std::vector<std::string>{"DOCS\\README.TXT", "> File Comment: Readme note\r\nline two", "EMPTY.TXT",
                                      "src\\main.c", "> File Comment: Main", "NOISE.BIN", "sub\\",
                                      "> File Comment: a folder", "sub\\deeper\\"}),
            Printed(zip, false));
  ExpectJudged(zip, "/usr/bin/unzip", "/usr/bin/unzip -tq", ".zip");
  ExpectJudged(zip, "/usr/bin/unzip", "f() { /usr/bin/unzip -Z \"$1\" | grep -q '^d.* sub/deeper/$'; }; f", ".zip");
}

// A folder name in UTF-8 (from an archive that marked its names so) is marked as UTF-8 in the
// new entry; a name in a DOS code page is not.
TEST(ConvertExtras, AFolderNameInUtf8IsMarkedSo) {
  size_t missed = 0;
  std::string zip = ZipWithExtras(Fixture("plain.zip"), {}, {"caf\xC3\xA9", "CAF\x90", "plain"}, &missed);
  ExpectJudged(zip, "/usr/bin/unzip", "/usr/bin/unzip -tq", ".zip");
  const struct {
    std::string name;
    uint16_t flags;
  } cases[] = {{"caf\xC3\xA9/", 0x0800}, {"CAF\x90/", 0}, {"plain/", 0}};
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(zip.data());
  for (const auto& c : cases) {
    // The central entry: its name at 46; the local header it points at.
    size_t name = zip.rfind(c.name);
    ASSERT_TRUE(name != std::string::npos && name >= 46) << c.name;
    const uint8_t* central = bytes + name - 46;
    ASSERT_EQ(0x02014B50u, Le32(central)) << c.name;
    EXPECT_EQ(c.flags, Le16(central + 8)) << c.name;
    EXPECT_EQ(c.flags, Le16(bytes + Le32(central + 42) + 6)) << c.name;
  }
}

// Only the plain end of a new archive is written again: an archive comment, Zip64 records or a
// directory that does not read whole leave the archive alone.
TEST(ConvertExtras, AZipThatIsNotAPackersPlainNewArchiveIsLeftAlone) {
  uint64_t offset = 0, size = 0;
  uint16_t entries = 0;
  for (const char* name : {"comments.zip", "zip64_forced.zip"}) {
    std::string zip = Fixture(name);
    EXPECT_FALSE(PlainZipDirectory(reinterpret_cast<const uint8_t*>(zip.data()) + zip.size() - kZipEndSize, zip.size(),
                                   &offset, &size, &entries))
        << name;
  }
  std::string zip = Fixture("plain.zip");
  ASSERT_TRUE(PlainZipDirectory(reinterpret_cast<const uint8_t*>(zip.data()) + zip.size() - kZipEndSize, zip.size(),
                                &offset, &size, &entries));
  std::string tail;
  size_t missed = 0;
  std::string directory = zip.substr(offset, size);
  EXPECT_FALSE(ZipTailWithExtras(directory, offset, entries + 1, {}, {"sub"}, 0, &tail, &missed));
  EXPECT_FALSE(ZipTailWithExtras(directory.substr(0, directory.size() - 1), offset, entries, {}, {"sub"}, 0, &tail,
                                 &missed));
  EXPECT_TRUE(tail.empty());
}

// Copies `arj` through CopyArjWithComments; "" when the copy refuses it.
std::string ArjWithComments(const std::string& arj, const std::vector<MemberComment>& comments, size_t* missed) {
  size_t at = 0;
  std::string out;
  bool ok = CopyArjWithComments(
      [&](void* buf, size_t n) {
        n = std::min(n, arj.size() - at);
        memcpy(buf, arj.data() + at, n);
        at += n;
        return n;
      },
      [&](const void* data, size_t n) {
        out.append(static_cast<const char*>(data), n);
        return true;
      },
      comments, missed);
  return ok ? out : "";
}

// An ARJ gets file comments, with its data and everything else as it was; a comment that would
// make a header too large for ARJ, or whose member is missing, is counted.
TEST(ConvertExtras, AnArjTakesFileComments) {
  size_t missed = 0;
  std::string arj = ArjWithComments(Fixture("unix.arj"),
                                    {{"docs\\readme.txt", "note\nline 2"},
                                     {"gone.txt", "x"},
                                     {"src\\main.c", std::string(2600, 'c')}},
                                    &missed);
  EXPECT_EQ(2u, missed);
  EXPECT_EQ((std::vector<std::string>{"DOCS\\README.TXT", "> File Comment: note\nline 2", "src\\main.c"}),
            Printed(arj, true));
  ExpectJudged(arj, "/usr/bin/arj", "/usr/bin/arj t", ".arj");
}

// A damaged header, or a volume of a multiple-volume archive, is not copied.
TEST(ConvertExtras, AnArjThatIsNotWholeAndSoundIsRefused) {
  for (const char* name : {"header_crc.arj", "vol.arj"}) {
    size_t missed = 0;
    EXPECT_EQ("", ArjWithComments(Fixture(name), {{"DOCS\\README.TXT", "x"}}, &missed)) << name;
  }
}

}  // namespace
}  // namespace ql
