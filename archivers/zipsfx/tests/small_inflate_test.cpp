// The stub's inflater against zlib's deflate, and its answers to damaged streams; the stub's
// directory reading and decryption against the ZIP library.
#include "archivers/zipsfx/small_inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archivers/zip/zipcore.h"
#include "archivers/zipsfx/sfx_directory.h"

namespace qlsfx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Deflate(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream zs = {};
  EXPECT_EQ(Z_OK, deflateInit2(&zs, level, Z_DEFLATED, -15, 8, strategy));
  Bytes out(deflateBound(&zs, data.size()) + 16);
  zs.next_in = const_cast<uint8_t*>(data.data());
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(Z_STREAM_END, deflate(&zs, Z_FINISH));
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

struct Feed {
  const Bytes* in;
  size_t pos;
  size_t step;  // bytes per read
  Bytes out;
  size_t stopAfter;  // the writer refuses beyond this
};

size_t FeedRead(void* c, uint8_t* buf, size_t size) {
  Feed* f = static_cast<Feed*>(c);
  size_t n = std::min({size, f->step, f->in->size() - f->pos});
  std::copy(f->in->begin() + static_cast<long>(f->pos), f->in->begin() + static_cast<long>(f->pos + n), buf);
  f->pos += n;
  return n;
}

bool FeedWrite(void* c, const uint8_t* buf, size_t size) {
  Feed* f = static_cast<Feed*>(c);
  if (f->out.size() + size > f->stopAfter) return false;
  f->out.insert(f->out.end(), buf, buf + size);
  return true;
}

InflateResult InflateAll(const Bytes& in, Bytes* out, size_t step = 4096, size_t stopAfter = SIZE_MAX,
                         bool deflate64 = false) {
  auto st = std::make_unique<InflateState>();
  Feed f{&in, 0, step, {}, stopAfter};
  InflateIo io{FeedRead, FeedWrite, &f};
  uint64_t produced = 0;
  InflateResult r = Inflate(st.get(), io, &produced, deflate64);
  if (r == InflateResult::kOk) EXPECT_EQ(produced, f.out.size());
  *out = f.out;
  return r;
}

Bytes Text(size_t n) {
  Bytes b;
  for (size_t i = 0; b.size() < n; ++i) {
    std::string line = "line " + std::to_string(i % 977) + " of a text that repeats itself now and then\n";
    b.insert(b.end(), line.begin(), line.end());
  }
  b.resize(n);
  return b;
}

Bytes Noise(size_t n, uint32_t seed) {
  Bytes b(n);
  for (uint8_t& x : b) {
    seed = seed * 1103515245u + 12345u;
    x = static_cast<uint8_t>(seed >> 16);
  }
  return b;
}

// Deflate64 as 7z writes it: matches from 32 to 64 KiB back and up to 65538 bytes long.
TEST(SmallInflate, DecodesDeflate64AsSevenZipWritesIt) {
  char dir[] = "/tmp/qlsfx64XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string d = dir;
  Bytes far = Noise(40000, 64), data = far;
  Bytes text = Text(15000), zeros(200000, 0);
  data.insert(data.end(), text.begin(), text.end());
  data.insert(data.end(), far.begin(), far.end());
  data.insert(data.end(), zeros.begin(), zeros.end());
  {
    std::ofstream f(d + "/data", std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  ASSERT_EQ(std::system(("cd " + d + " && 7z a -tzip -mm=Deflate64 d.zip data > /dev/null").c_str()), 0);
  std::ifstream z(d + "/d.zip", std::ios::binary);
  const Bytes zip((std::istreambuf_iterator<char>(z)), std::istreambuf_iterator<char>());
  std::system(("rm -rf " + d).c_str());
  ASSERT_GT(zip.size(), 30u);
  ASSERT_EQ(qlzip::Get16(&zip[8]), 9);
  const size_t start = 30 + qlzip::Get16(&zip[26]) + qlzip::Get16(&zip[28]);
  const Bytes stream(zip.begin() + static_cast<long>(start), zip.begin() + static_cast<long>(start + qlzip::Get32(&zip[18])));
  Bytes out;
  EXPECT_EQ(InflateAll(stream, &out, 4096, SIZE_MAX, true), InflateResult::kOk);
  EXPECT_TRUE(out == data);
  // As plain deflate the same stream breaks the rules: distances past 32 KiB.
  EXPECT_NE(InflateAll(stream, &out), InflateResult::kOk);
}

TEST(SmallInflate, DecodesWhatZlibWrites) {
  struct Case {
    const char* name;
    Bytes data;
    int level, strategy;
    size_t step;
  } cases[] = {
      {"empty", {}, 6, Z_DEFAULT_STRATEGY, 4096},
      {"one byte", {'x'}, 6, Z_DEFAULT_STRATEGY, 4096},
      {"text, stored blocks", Text(70000), 0, Z_DEFAULT_STRATEGY, 4096},
      {"text, fast", Text(200000), 1, Z_DEFAULT_STRATEGY, 4096},
      {"text, best, byte by byte", Text(100000), 9, Z_DEFAULT_STRATEGY, 1},
      {"text, fixed codes", Text(50000), 6, Z_FIXED, 4096},
      {"text, Huffman only", Text(50000), 6, Z_HUFFMAN_ONLY, 777},
      {"runs", Bytes(300000, 'a'), 9, Z_RLE, 4096},
      {"noise", Noise(100000, 7), 6, Z_DEFAULT_STRATEGY, 4096},
  };
  for (const Case& c : cases) {
    Bytes z = Deflate(c.data, c.level, c.strategy);
    Bytes out;
    EXPECT_EQ(InflateResult::kOk, InflateAll(z, &out, c.step)) << c.name;
    EXPECT_TRUE(out == c.data) << c.name;
  }
}

// Bits in deflate's order (least significant first).
struct BitWriter {
  Bytes bytes;
  int used = 8;
  void Put(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      if (used == 8) {
        bytes.push_back(0);
        used = 0;
      }
      bytes.back() |= static_cast<uint8_t>(((value >> i) & 1) << used++);
    }
  }
};

// A dynamic block header whose code-length code has every one of its 19 lengths set to `len`.
Bytes DynamicHeader(uint32_t len) {
  BitWriter w;
  w.Put(1, 1);   // last block
  w.Put(2, 2);   // dynamic
  w.Put(0, 5);   // 257 length codes
  w.Put(0, 5);   // 1 distance code
  w.Put(15, 4);  // 19 code-length codes
  for (int i = 0; i < 19; ++i) w.Put(len, 3);
  w.Put(0, 16);
  return w.bytes;
}

TEST(SmallInflate, DamagedStreamsAreReportedNotDecoded) {
  const Bytes good = Deflate(Text(20000), 6);
  Bytes cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  struct Case {
    const char* name;
    Bytes stream;
    InflateResult result;
  } cases[] = {
      {"nothing at all", {}, InflateResult::kTruncated},
      {"cut in half", cut, InflateResult::kTruncated},
      {"block type 3", {0x07}, InflateResult::kDamaged},
      {"stored length check fails", {0x01, 0x05, 0x00, 0x00, 0x00}, InflateResult::kDamaged},
      // Fixed codes: a match at distance 1 before any byte was written.
      {"distance before the start", {0x03, 0x02, 0x00}, InflateResult::kDamaged},
      // Dynamic block whose code-length code over-subscribes (all 19 lengths 1).
      {"over-subscribed code", DynamicHeader(1), InflateResult::kDamaged},
  };
  for (const Case& c : cases) {
    Bytes out;
    EXPECT_EQ(c.result, InflateAll(c.stream, &out)) << c.name;
  }
}

TEST(SmallInflate, AWriterThatRefusesStopsTheDecoding) {
  const Bytes data = Text(100000);
  Bytes out;
  EXPECT_EQ(InflateResult::kStopped, InflateAll(Deflate(data, 6), &out, 4096, 40000));
  EXPECT_LE(out.size(), 40000u);
}

TEST(SfxDirectory, SignaturesAreTheZipOnes) {
  EXPECT_EQ(0x04034b50u, Signature(3, 4));
  EXPECT_EQ(0x02014b50u, Signature(1, 2));
  EXPECT_EQ(0x06054b50u, Signature(5, 6));
}

// An archive of two members behind `lead` bytes of stub, with offsets adjusted or not.
Bytes Archive(size_t lead, bool adjusted, std::vector<qlzip::Entry>* entries) {
  Bytes b(lead, 'S');
  Bytes cd;
  for (const char* name : {"a.txt", "dir/b.txt"}) {
    qlzip::Entry e;
    e.name = name;
    qlzip::Encoded enc;
    Bytes data = Text(5000);
    qlzip::EncodeBuffer(data.data(), data.size(), 6, "", e, enc);
    e.localOffset = b.size() - (adjusted ? 0 : lead);
    Bytes h = qlzip::LocalHeader(e);
    b.insert(b.end(), h.begin(), h.end());
    b.insert(b.end(), enc.data.begin(), enc.data.end());
    Bytes c = qlzip::CentralHeader(e);
    cd.insert(cd.end(), c.begin(), c.end());
    entries->push_back(e);
  }
  const uint64_t cdAt = b.size() - (adjusted ? 0 : lead);
  b.insert(b.end(), cd.begin(), cd.end());
  Bytes end = qlzip::EndRecord(2, cd.size(), cdAt, "comment");
  b.insert(b.end(), end.begin(), end.end());
  return b;
}

TEST(SfxDirectory, FindsTheMembersWhetherOffsetsWereAdjustedOrNot) {
  CrcTableInit();
  for (bool adjusted : {true, false}) {
    SCOPED_TRACE(adjusted);
    std::vector<qlzip::Entry> entries;
    const size_t lead = 9000;
    Bytes b = Archive(lead, adjusted, &entries);
    EndRecord end;
    ASSERT_TRUE(FindEndRecord(b.data(), b.size(), 0, &end));
    ASSERT_EQ(2u, end.count);
    // Only the last 200 bytes, as the stub reads a tail of its file.
    EndRecord fromTail;
    ASSERT_TRUE(FindEndRecord(b.data() + b.size() - 200, 200, b.size() - 200, &fromTail));
    EXPECT_EQ(end.cdStart, fromTail.cdStart);
    size_t pos = end.cdStart;
    for (const qlzip::Entry& e : entries) {
      Member m;
      size_t used = 0;
      ASSERT_TRUE(ParseCentral(b.data() + pos, b.size() - pos, end, &m, &used));
      EXPECT_EQ(e.name, std::string(reinterpret_cast<const char*>(m.name), m.nameLength));
      EXPECT_EQ(e.localOffset + (adjusted ? 0 : lead), m.localOffset);
      EXPECT_EQ(30 + e.name.size(), LocalHeaderLength(b.data() + m.localOffset));
      EXPECT_EQ(e.crc, m.crc);
      pos += used;
    }
  }
}

TEST(SfxDirectory, RefusesWhatItCannotRead) {
  std::vector<qlzip::Entry> entries;
  Bytes b = Archive(0, true, &entries);
  EndRecord end;
  Bytes noEnd(b.begin(), b.end() - 5);
  EXPECT_FALSE(FindEndRecord(noEnd.data(), noEnd.size(), 0, &end)) << "cut end record";
  Bytes zip64 = b;
  const size_t e = zip64.size() - 22 - 7;
  for (int i = 16; i < 20; ++i) zip64[e + i] = 0xFF;
  EXPECT_FALSE(FindEndRecord(zip64.data(), zip64.size(), 0, &end)) << "Zip64";
  ASSERT_TRUE(FindEndRecord(b.data(), b.size(), 0, &end));
  Member m;
  size_t used = 0;
  EXPECT_FALSE(ParseCentral(b.data() + end.cdStart, 45, end, &m, &used)) << "cut central header";
  EXPECT_FALSE(ParseCentral(b.data(), b.size(), end, &m, &used)) << "a local header is not a central one";
}

TEST(SfxDirectory, DecryptsWhatTheZipLibraryEncrypts) {
  CrcTableInit();
  const Bytes plain = Text(300);
  Bytes enc = plain;
  qlzip::ZipCrypto(std::string("s3cret")).Encrypt(enc.data(), enc.size());
  ZipKeys k;
  ZipKeysInit(&k, "s3cret");
  for (uint8_t& c : enc) c = ZipDecryptByte(&k, c);
  EXPECT_TRUE(enc == plain);
  EXPECT_EQ(qlzip::Crc32(0, plain.data(), plain.size()), Crc32(0, plain.data(), plain.size()));
}

}  // namespace
}  // namespace qlsfx
