// The buffered window: few reads for headers close together, little data read for headers far apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "readers/byte_source.h"

namespace {

struct Counted {
  std::vector<uint8_t> bytes;
  int reads = 0;
  uint64_t delivered = 0;
  static size_t ReadAt(void* ctx, uint64_t pos, void* buf, size_t n) {
    Counted* c = static_cast<Counted*>(ctx);
    ++c->reads;
    if (pos >= c->bytes.size()) return 0;
    size_t k = std::min<size_t>(n, c->bytes.size() - static_cast<size_t>(pos));
    memcpy(buf, c->bytes.data() + pos, k);
    c->delivered += k;
    return k;
  }
  ql::ByteSource Source() {
    ql::ByteSource s;
    s.size = bytes.size();
    s.ctx = this;
    s.readAt = ReadAt;
    return s;
  }
};

Counted Pattern(size_t size) {
  Counted c;
  c.bytes.resize(size);
  for (size_t i = 0; i < size; ++i) c.bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return c;
}

TEST(ByteWindow, GivesTheRightBytesWhateverTheAccessPattern) {
  Counted c = Pattern(300000);
  ql::ByteWindow w(c.Source(), 65536);
  const uint64_t positions[] = {0, 1, 4095, 4096, 70000, 69990, 299990, 12, 131072, 299999, 300000, 400000};
  for (uint64_t pos : positions) {
    for (size_t n : {1u, 4u, 46u, 5000u, 70000u}) {
      size_t got = 0;
      const uint8_t* p = w.Get(pos, n, &got);
      size_t expect = pos >= c.bytes.size() ? 0 : std::min<size_t>(n, c.bytes.size() - pos);
      ASSERT_EQ(got, expect) << pos << " " << n;
      ASSERT_TRUE(got == 0 || memcmp(p, c.bytes.data() + pos, got) == 0) << pos << " " << n;
    }
  }
}

TEST(ByteWindow, HeadersCloseTogetherShareReads) {
  Counted c = Pattern(10 << 20);
  ql::ByteWindow w(c.Source());
  size_t got = 0;
  for (uint64_t pos = 0; pos + 100 < c.bytes.size(); pos += 100) w.Get(pos, 46, &got);
  EXPECT_LT(c.reads, 60);  // about 40 reads of 256 KiB, where there are 100,000 headers
}

TEST(ByteWindow, HeadersFarApartDoNotReadTheDataBetween) {
  Counted c = Pattern(64 << 20);
  ql::ByteWindow w(c.Source());
  size_t got = 0;
  for (uint64_t pos = 0; pos + 100 < c.bytes.size(); pos += 1 << 20) w.Get(pos, 46, &got);
  EXPECT_EQ(c.reads, 64);
  EXPECT_LE(c.delivered, 64u * 8192);
}

}  // namespace
