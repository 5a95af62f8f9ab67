// Deflate64, bzip2, LZMA and xz decoding, judged against Debian's zlib, libbz2 and liblzma on
// real files and on damaged streams, and against 7z and unzip on archives they wrote.
#include <bzlib.h>
#include <gtest/gtest.h>
#include <lzma.h>
#include <zlib.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "archivers/zip/new_methods.h"
#include "archivers/zip/tests/test_support.h"
#include "archivers/zip/zipcore.h"

using qlzip::OldMethodResult;
using ziptest::ReadFile;
using ziptest::Shell;

namespace {

using Decoder = std::function<OldMethodResult(const qlzip::PullFn&, const qlzip::PushFn&)>;

struct Decoded {
  OldMethodResult result;
  std::string data;
};

// Runs a decoder over `in`, pulled `step` bytes at a time.
Decoded Decode(const Decoder& decoder, const std::string& in, size_t step = 65536) {
  Decoded d{OldMethodResult::kDamaged, {}};
  size_t at = 0;
  d.result = decoder(
      [&](uint8_t* buf, size_t n) {
        size_t k = std::min({n, step, in.size() - at});
        memcpy(buf, in.data() + at, k);
        at += k;
        return k;
      },
      [&](const uint8_t* p, size_t n) {
        d.data.append(reinterpret_cast<const char*>(p), n);
        return true;
      });
  return d;
}

// Test inputs: real files, and shapes that reach the corners of the formats.
std::vector<std::pair<std::string, std::string>> Inputs() {
  std::vector<std::pair<std::string, std::string>> v;
  v.emplace_back("licence", ReadFile("/usr/share/common-licenses/GPL-3"));
  v.emplace_back("program", ReadFile("/proc/self/exe").substr(0, 1500000));
  std::mt19937 rng(31);
  std::string words, random(300000, '\0'), runs;
  static const char* kWords[] = {"archive ", "member ", "window\n", "dictionary ", "method "};
  while (words.size() < 700000) words += kWords[rng() % 5];
  for (char& c : random) c = static_cast<char>(rng());
  for (int len : {1, 3, 4, 5, 8, 255, 258, 259, 260, 1000, 65538, 70000, 4, 4})
    runs += std::string(static_cast<size_t>(len), static_cast<char>('a' + len % 7)) + "xy";
  v.emplace_back("words", words);
  v.emplace_back("random", random);
  v.emplace_back("runs", runs);
  v.emplace_back("zeros", std::string(1 << 20, '\0'));
  v.emplace_back("one byte", "q");
  v.emplace_back("empty", "");
  return v;
}

// The native libraries, to make streams and to judge ours ----------------------------------

std::string ZlibRawDeflate(const std::string& data, int level) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

bool ZlibRawInflate(const std::string& in, std::string* out) {
  z_stream zs{};
  inflateInit2(&zs, -15);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  char buf[65536];
  int r;
  do {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    r = inflate(&zs, Z_NO_FLUSH);
    out->append(buf, sizeof buf - zs.avail_out);
  } while (r == Z_OK && out->size() < (8u << 20));
  inflateEnd(&zs);
  return r == Z_STREAM_END;
}

std::string Bzip2Compress(const std::string& data, int level) {
  std::vector<char> out(data.size() + data.size() / 100 + 1024);
  unsigned n = static_cast<unsigned>(out.size());
  BZ2_bzBuffToBuffCompress(out.data(), &n, const_cast<char*>(data.data()), static_cast<unsigned>(data.size()),
                           level, 0, 0);
  return std::string(out.data(), n);
}

bool Bzip2Decompress(const std::string& in, std::string* out) {
  bz_stream bs{};
  BZ2_bzDecompressInit(&bs, 0, 0);
  bs.next_in = const_cast<char*>(in.data());
  bs.avail_in = static_cast<unsigned>(in.size());
  char buf[65536];
  int r;
  do {
    bs.next_out = buf;
    bs.avail_out = sizeof buf;
    r = BZ2_bzDecompress(&bs);
    out->append(buf, sizeof buf - bs.avail_out);
  } while (r == BZ_OK && (bs.avail_in > 0 || bs.avail_out == 0));
  BZ2_bzDecompressEnd(&bs);
  return r == BZ_STREAM_END;
}

bool LzmaRun(lzma_stream* s, const std::string& in, std::string* out) {
  s->next_in = reinterpret_cast<const uint8_t*>(in.data());
  s->avail_in = in.size();
  uint8_t buf[65536];
  lzma_ret r;
  do {
    s->next_out = buf;
    s->avail_out = sizeof buf;
    r = lzma_code(s, LZMA_FINISH);
    out->append(reinterpret_cast<char*>(buf), sizeof buf - s->avail_out);
  } while (r == LZMA_OK);
  lzma_end(s);
  return r == LZMA_STREAM_END;
}

// ZIP's LZMA data: version, properties size, the five property bytes, the raw stream.
std::string ZipLzmaEncode(const std::string& data, bool marker, uint32_t preset) {
  lzma_options_lzma opt;
  lzma_lzma_preset(&opt, preset);
  opt.ext_flags = marker ? LZMA_LZMA1EXT_ALLOW_EOPM : 0;
  opt.ext_size_low = static_cast<uint32_t>(data.size());
  opt.ext_size_high = 0;
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream s = LZMA_STREAM_INIT;
  std::string raw;
  if (lzma_raw_encoder(&s, filters) != LZMA_OK || !LzmaRun(&s, data, &raw)) return "";
  uint32_t props = 0;
  lzma_properties_size(&props, filters);
  std::string head(4 + props, '\0');
  head[0] = 20;
  head[2] = static_cast<char>(props);
  lzma_properties_encode(filters, reinterpret_cast<uint8_t*>(&head[4]));
  return head + raw;
}

bool ZipLzmaDecompress(const std::string& in, bool marker, uint64_t usize, std::string* out) {
  if (in.size() < 9) return false;
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], nullptr, reinterpret_cast<const uint8_t*>(in.data() + 4), 5) != LZMA_OK)
    return false;
  auto* opt = static_cast<lzma_options_lzma*>(filters[0].options);
  opt->ext_flags = marker ? LZMA_LZMA1EXT_ALLOW_EOPM : 0;
  opt->ext_size_low = static_cast<uint32_t>(usize);
  opt->ext_size_high = static_cast<uint32_t>(usize >> 32);
  lzma_stream s = LZMA_STREAM_INIT;
  bool ok = lzma_raw_decoder(&s, filters) == LZMA_OK && LzmaRun(&s, in.substr(9), out);
  free(opt);
  return ok;
}

std::string XzEncode(const std::string& data, lzma_check check, uint32_t preset) {
  std::string out(lzma_stream_buffer_bound(data.size()), '\0');
  size_t n = 0;
  lzma_easy_buffer_encode(preset, check, nullptr, reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                          reinterpret_cast<uint8_t*>(&out[0]), &n, out.size());
  out.resize(n);
  return out;
}

bool XzDecompress(const std::string& in, std::string* out) {
  lzma_stream s = LZMA_STREAM_INIT;
  return lzma_stream_decoder(&s, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK && LzmaRun(&s, in, out);
}

// One codec: how the library makes streams, how it and we decode them.
struct Codec {
  const char* name;
  std::function<std::string(const std::string&, int variant)> encode;
  int variants;
  std::function<bool(const std::string&, uint64_t usize, int variant, std::string*)> oracle;
  std::function<OldMethodResult(uint64_t usize, int variant, const qlzip::PullFn&, const qlzip::PushFn&)> ours;
};

const lzma_check kChecks[] = {LZMA_CHECK_CRC64, LZMA_CHECK_CRC32, LZMA_CHECK_SHA256, LZMA_CHECK_NONE};

std::vector<Codec> Codecs() {
  return {
      {"deflate", [](const std::string& d, int v) { return ZlibRawDeflate(d, v == 0 ? 1 : 9); }, 2,
       [](const std::string& in, uint64_t, int, std::string* out) { return ZlibRawInflate(in, out); },
       [](uint64_t usize, int, const qlzip::PullFn& in, const qlzip::PushFn& out) {
         return qlzip::Inflate(false, usize, in, out);
       }},
      {"bzip2", [](const std::string& d, int v) { return Bzip2Compress(d, v == 0 ? 1 : 9); }, 2,
       [](const std::string& in, uint64_t, int, std::string* out) { return Bzip2Decompress(in, out); },
       [](uint64_t usize, int, const qlzip::PullFn& in, const qlzip::PushFn& out) {
         return qlzip::DecodeBzip2(usize, in, out);
       }},
      {"lzma", [](const std::string& d, int v) { return ZipLzmaEncode(d, v == 0, v == 0 ? 6 : 1); }, 2,
       [](const std::string& in, uint64_t usize, int v, std::string* out) {
         return ZipLzmaDecompress(in, v == 0, usize, out);
       },
       [](uint64_t usize, int v, const qlzip::PullFn& in, const qlzip::PushFn& out) {
         return qlzip::DecodeZipLzma(v == 0, usize, in, out);
       }},
      {"xz", [](const std::string& d, int v) { return XzEncode(d, kChecks[v], v == 0 ? 6 : 0); }, 4,
       [](const std::string& in, uint64_t, int, std::string* out) { return XzDecompress(in, out); },
       [](uint64_t usize, int, const qlzip::PullFn& in, const qlzip::PushFn& out) {
         return qlzip::DecodeXz(usize, in, out);
       }},
  };
}

Decoder Ours(const Codec& c, uint64_t usize, int variant) {
  return [&c, usize, variant](const qlzip::PullFn& in, const qlzip::PushFn& out) {
    return c.ours(usize, variant, in, out);
  };
}

TEST(NewMethods, EveryInputDecodesAsTheLibraryDecodesIt) {
  for (const auto& [name, data] : Inputs()) {
    for (const Codec& c : Codecs()) {
      for (int v = 0; v < c.variants; ++v) {
        SCOPED_TRACE(std::string(c.name) + " variant " + std::to_string(v) + " of " + name);
        std::string packed = c.encode(data, v);
        ASSERT_FALSE(packed.empty());
        std::string theirs;
        ASSERT_TRUE(c.oracle(packed, data.size(), v, &theirs));
        ASSERT_EQ(theirs, data);
        for (size_t step : {size_t{65536}, size_t{7}}) {
          if (step == 7 && data.size() > 400000) continue;
          Decoded ours = Decode(Ours(c, data.size(), v), packed, step);
          EXPECT_EQ(ours.result, OldMethodResult::kOk);
          EXPECT_TRUE(ours.data == data) << "step " << step << ": " << ours.data.size() << " bytes";
        }
      }
    }
  }
}

// Damaged streams: whatever we accept, the library accepts with the same bytes, and the other
// way round.
TEST(NewMethods, DamagedStreamsAreJudgedAsTheLibraryJudgesThem) {
  std::mt19937 rng(1031);
  auto inputs = Inputs();
  std::string sample = inputs[0].second.substr(0, 20000) + inputs[4].second.substr(0, 20000);
  for (const Codec& c : Codecs()) {
    for (int v = 0; v < c.variants; ++v) {
      const std::string packed = c.encode(sample, v);
      int oursOk = 0;
      for (int round = 0; round < 150; ++round) {
        std::string bad = packed;
        if (round % 5 == 4) {
          bad.resize(rng() % bad.size());
        } else {
          for (int k = 0; k <= round % 3; ++k) bad[rng() % bad.size()] ^= static_cast<char>(1 + rng() % 255);
        }
        SCOPED_TRACE(std::string(c.name) + " variant " + std::to_string(v) + " round " + std::to_string(round));
        // Only LZMA's size is part of the stream; the others may decode to any length.
        const uint64_t usize = std::string(c.name) == "lzma" ? sample.size() : 8u << 20;
        std::string theirs;
        bool theirsOk = c.oracle(bad, usize, v, &theirs);
        Decoded ours = Decode(Ours(c, usize, v), bad);
        EXPECT_EQ(ours.result == OldMethodResult::kOk, theirsOk);
        if (ours.result == OldMethodResult::kOk) {
          ++oursOk;
          EXPECT_TRUE(ours.data == theirs);
        }
      }
      EXPECT_LT(oursOk, 150);
    }
  }
}

// pkunzip and 7z extract the committed fixtures to the same bytes; the PPMd member is refused
// by name and the others still unpack.
TEST(NewMethods, PkunzipExtractsTheFixturesAsSevenZipDoes) {
  const std::string root = ziptest::MakeTempDir(), bin = QL_NATIVE_BIN, fixtures = QL_FIXTURES;
  for (const char* zip : {"new_methods.zip", "xz_member.zip"}) {
    SCOPED_TRACE(zip);
    const std::string theirs = root + "/" + zip + ".7z", ours = root + "/" + zip + ".ours";
    ASSERT_EQ(Shell("7z x -y -o'" + theirs + "' '" + fixtures + "/" + zip + "' > /dev/null"), 0);
    const bool refusesOne = std::string(zip) == "new_methods.zip";
    EXPECT_EQ(Shell("'" + bin + "/pkunzip' '" + fixtures + "/" + zip + "' '" + ours + "/' > '" + root +
                    "/log' 2>&1"), refusesOne ? 1 : 0);
    const std::string log = ReadFile(root + "/log");
    auto expected = ziptest::Tree(theirs);
    if (refusesOne) {
      EXPECT_NE(log.find("ppmd.txt: compression method not supported: PPMd (method 98)"), std::string::npos) << log;
      EXPECT_EQ(expected.erase("ppmd.txt"), 1u);
      EXPECT_EQ(expected.size(), 5u);
    }
    EXPECT_TRUE(ziptest::Tree(ours) == expected) << log;
  }
  Shell("'" + bin + "/pkunzip' -v '" + fixtures + "/new_methods.zip' > '" + root + "/v.log' 2>&1");
  const std::string view = ReadFile(root + "/v.log");
  for (const char* method : {"Defl64", "BZip2", "LZMA", "PPMd"}) EXPECT_NE(view.find(method), std::string::npos) << method;
  Shell("rm -rf '" + root + "'");
}

// Larger archives made on the spot by 7z, Info-ZIP's zip and python's zipfile: matches more
// than 32 KiB back and 258 bytes long, bzip2 streams of several blocks, LZMA of several
// megabytes. What pkunzip extracts is what 7z (and unzip, for the methods it knows) extract.
TEST(NewMethods, PkunzipAgreesWithSevenZipAndUnzipOnGeneratedArchives) {
  const std::string root = ziptest::MakeTempDir(), bin = QL_NATIVE_BIN;
  std::mt19937 rng(9531);
  std::string far(50000, '\0'), words;
  for (char& c : far) c = static_cast<char>(rng());
  static const char* kWords[] = {"archive ", "member ", "window\n", "dictionary ", "method ", "block "};
  while (words.size() < 1500000) words += kWords[rng() % 6] + std::to_string(rng() % 1000);
  ziptest::WriteFile(root + "/in/far.bin", far + words.substr(0, 10000) + far);
  ziptest::WriteFile(root + "/in/zeros.bin", std::string(700000, '\0') + "end");
  ziptest::WriteFile(root + "/in/words.txt", words);
  ziptest::WriteFile(root + "/in/program.bin", ReadFile("/proc/self/exe").substr(0, 2000000));
  const std::string in = "cd '" + root + "/in' && ";
  struct Made {
    const char* name;
    std::string command;
    bool unzipKnows;
  } made[] = {
      {"deflate64.zip", "7z a -tzip -mm=Deflate64 ../deflate64.zip . > /dev/null", true},
      {"bzip2_7z.zip", "7z a -tzip -mm=BZip2 -mx=1 ../bzip2_7z.zip . > /dev/null", true},
      {"bzip2_zip.zip", "zip -q -Z bzip2 ../bzip2_zip.zip *", true},
      {"lzma_7z.zip", "7z a -tzip -mm=LZMA:eos=off ../lzma_7z.zip . > /dev/null", false},
      {"py.zip", "python3 -c \"import zipfile, os\n"
                 "with zipfile.ZipFile('../py.zip', 'w') as z:\n"
                 "  for i, f in enumerate(sorted(os.listdir('.'))):\n"
                 "    z.write(f, compress_type=(zipfile.ZIP_LZMA, zipfile.ZIP_BZIP2)[i % 2])\"", false},
  };
  const auto expected = ziptest::Tree(root + "/in");
  ASSERT_EQ(expected.size(), 4u);
  for (const Made& m : made) {
    SCOPED_TRACE(m.name);
    const std::string zip = root + "/" + m.name;
    ASSERT_EQ(Shell(in + m.command), 0);
    const std::string ours = root + "/ours_" + m.name, sevenz = root + "/7z_" + m.name, unzip = root + "/unzip_" + m.name;
    EXPECT_EQ(Shell("'" + bin + "/pkunzip' '" + zip + "' '" + ours + "/' > '" + root + "/log' 2>&1"), 0)
        << ReadFile(root + "/log");
    ASSERT_EQ(Shell("7z x -y -o'" + sevenz + "' '" + zip + "' > /dev/null"), 0);
    EXPECT_TRUE(ziptest::Tree(sevenz) == expected);
    EXPECT_TRUE(ziptest::Tree(ours) == expected);
    if (m.unzipKnows) {
      ASSERT_EQ(Shell("unzip -q '" + zip + "' -d '" + unzip + "'"), 0);
      EXPECT_TRUE(ziptest::Tree(unzip) == ziptest::Tree(ours));
    }
    EXPECT_EQ(Shell("'" + bin + "/pkunzip' -t '" + zip + "' > /dev/null 2>&1"), 0);
  }
  Shell("rm -rf '" + root + "'");
}

}  // namespace
