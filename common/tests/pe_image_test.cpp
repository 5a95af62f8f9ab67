#include "common/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/fake_program.h"

namespace ql {
namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// An MZ header pointing at a PE header with the given sections (raw offset, raw size).
std::vector<uint8_t> Image(std::vector<std::pair<uint32_t, uint32_t>> sections, uint16_t optionalSize = 0xE0) {
  std::vector<uint8_t> v(0x400, 0);
  v[0] = 'M';
  v[1] = 'Z';
  Put32(v, 0x3C, 0x80);
  Put32(v, 0x80, 0x00004550u);
  v[0x86] = static_cast<uint8_t>(sections.size());
  v[0x94] = static_cast<uint8_t>(optionalSize);
  size_t table = 0x80 + 24 + optionalSize;
  for (size_t i = 0; i < sections.size(); ++i) {
    Put32(v, table + 40 * i + 16, sections[i].second);
    Put32(v, table + 40 * i + 20, sections[i].first);
  }
  return v;
}

TEST(PeImageEnd, EndOfTheFurthestSection) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint64_t end;
  } cases[] = {
      {"one section", Image({{0x400, 0x200}}), 0x600},
      {"sections out of order", Image({{0x1000, 0x800}, {0x400, 0x200}}), 0x1800},
      {"a section without raw data", Image({{0x400, 0x200}, {0x9000, 0}}), 0x600},
      {"no sections", Image({}), 0},
      {"not MZ", std::vector<uint8_t>(0x400, 'x'), 0},
      {"too short", std::vector<uint8_t>{'M', 'Z'}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.end, PeImageEnd(c.bytes.data(), c.bytes.size())) << c.name;
  std::vector<uint8_t> far = Image({{0x400, 0x200}});
  Put32(far, 0x3C, 0x7FFFFFF0u);  // the PE header beyond what was read
  EXPECT_EQ(0u, PeImageEnd(far.data(), far.size()));
  std::vector<uint8_t> many = Image({{0x400, 0x200}});
  many[0x86] = 0xFF;  // more sections than the bytes hold
  EXPECT_EQ(0u, PeImageEnd(many.data(), many.size()));
}

TEST(PeKind, MachineAndHeaderKind) {
  std::vector<uint8_t> v = Image({{0x400, 0x200}});
  v[0x84] = 0x4C;
  v[0x85] = 0x01;
  v[0x98] = 0x0B;  // optional header magic 0x10B: PE32
  v[0x99] = 0x01;
  PeKind k{};
  ASSERT_TRUE(ReadPeKind(v.data(), v.size(), &k));
  EXPECT_EQ(0x14C, k.machine);
  EXPECT_TRUE(k.pe32);
  v[0x84] = 0x64;
  v[0x85] = 0x86;
  v[0x98] = 0x0B;  // 0x20B: PE32+
  v[0x99] = 0x02;
  ASSERT_TRUE(ReadPeKind(v.data(), v.size(), &k));
  EXPECT_EQ(0x8664, k.machine);
  EXPECT_FALSE(k.pe32);
  std::vector<uint8_t> text(0x400, 'x');
  EXPECT_FALSE(ReadPeKind(text.data(), text.size(), &k));
}

// Whatever a linker or another tool left behind the sections, appended data is found by its
// signature, and nothing inside the image counts.
TEST(FindAfterImage, PassesOverWhatTheLinkerLeftBehindTheSections) {
  const char sig[] = "APPENDED";
  auto atSig = [&](const uint8_t* p, size_t left) { return left >= 8 && std::memcmp(p, sig, 8) == 0; };
  auto with = [&](std::vector<uint8_t> program) {
    program.insert(program.end(), sig, sig + 8);
    return program;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint64_t at;
  } cases[] = {
      {"right behind the sections", with(qltest::FakeProgram(0x600)), 0x600},
      {"behind a COFF string table", with(qltest::FakeProgram(0x600, qltest::CoffStringTable())), 0x600 + 14},
      {"behind an overlay", with(qltest::FakeProgram(0x600, std::vector<uint8_t>(700, 0))), 0x600 + 700},
      {"nothing appended", qltest::FakeProgram(0x600, qltest::CoffStringTable()), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.at, FindAfterImage(c.bytes.data(), c.bytes.size(), atSig)) << c.name;
  std::vector<uint8_t> inside = qltest::FakeProgram(0x600);
  std::memcpy(&inside[0x300], sig, 8);  // the signature as a constant inside the program itself
  EXPECT_EQ(0u, FindAfterImage(inside.data(), inside.size(), atSig));
  std::vector<uint8_t> text(0x800, 'x');
  std::memcpy(&text[0x700], sig, 8);
  EXPECT_EQ(0u, FindAfterImage(text.data(), text.size(), atSig)) << "not a program";
}

}  // namespace
}  // namespace ql
