// Times one of our decoders against the native library on the same data (bench/codecs/run.sh).
//   qlzip-codec-bench <codec> <original> <stream> [<peer stream>]
// codec: deflate64 (the peer is zlib on a deflate stream of the same original, Debian having no
// Deflate64 library), deflate, bzip2, lzma (ZIP's LZMA data, with the end marker), xz. Each
// decoder runs five times into memory; the best times are printed with the ratio, then a
// RESULT line. Both outputs must equal the original.
#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "archivers/zip/new_methods.h"

namespace {

std::string Slurp(const char* path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool Ours(const std::string& codec, const std::string& in, uint64_t usize, std::string* out) {
  size_t at = 0;
  qlzip::PullFn pull = [&](uint8_t* buf, size_t n) {
    size_t k = std::min(n, in.size() - at);
    memcpy(buf, in.data() + at, k);
    at += k;
    return k;
  };
  qlzip::PushFn push = [&](const uint8_t* p, size_t n) {
    out->append(reinterpret_cast<const char*>(p), n);
    return true;
  };
  qlzip::OldMethodResult r;
  if (codec == "deflate64" || codec == "deflate") r = qlzip::Inflate(codec == "deflate64", usize, pull, push);
  else if (codec == "bzip2") r = qlzip::DecodeBzip2(usize, pull, push);
  else if (codec == "lzma") r = qlzip::DecodeZipLzma(true, usize, pull, push);
  else r = qlzip::DecodeXz(usize, pull, push);
  return r == qlzip::OldMethodResult::kOk;
}

bool Zlib(const std::string& in, std::string* out) {
  z_stream zs{};
  inflateInit2(&zs, -15);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  static char buf[1 << 17];
  int r;
  do {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    r = inflate(&zs, Z_NO_FLUSH);
    out->append(buf, sizeof buf - zs.avail_out);
  } while (r == Z_OK);
  inflateEnd(&zs);
  return r == Z_STREAM_END;
}

bool Bzip2(const std::string& in, std::string* out) {
  bz_stream bs{};
  BZ2_bzDecompressInit(&bs, 0, 0);
  bs.next_in = const_cast<char*>(in.data());
  bs.avail_in = static_cast<unsigned>(in.size());
  static char buf[1 << 17];
  int r;
  do {
    bs.next_out = buf;
    bs.avail_out = sizeof buf;
    r = BZ2_bzDecompress(&bs);
    out->append(buf, sizeof buf - bs.avail_out);
  } while (r == BZ_OK);
  BZ2_bzDecompressEnd(&bs);
  return r == BZ_STREAM_END;
}

bool LzmaCode(lzma_stream* s, const std::string& in, size_t skip, std::string* out) {
  s->next_in = reinterpret_cast<const uint8_t*>(in.data() + skip);
  s->avail_in = in.size() - skip;
  static uint8_t buf[1 << 17];
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

bool Liblzma(const std::string& codec, const std::string& in, std::string* out) {
  lzma_stream s = LZMA_STREAM_INIT;
  if (codec == "xz") return lzma_stream_decoder(&s, UINT64_MAX, 0) == LZMA_OK && LzmaCode(&s, in, 0, out);
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (in.size() < 9 ||
      lzma_properties_decode(&filters[0], nullptr, reinterpret_cast<const uint8_t*>(in.data() + 4), 5) != LZMA_OK)
    return false;
  bool ok = lzma_raw_decoder(&s, filters) == LZMA_OK && LzmaCode(&s, in, 9, out);
  free(filters[0].options);
  return ok;
}

double Best(const std::function<bool(std::string*)>& run, const std::string& expected, bool* same) {
  double best = 1e9;
  *same = true;
  for (int i = 0; i < 5; ++i) {
    std::string out;
    out.reserve(expected.size());
    auto t0 = std::chrono::steady_clock::now();
    bool ok = run(&out);
    auto t1 = std::chrono::steady_clock::now();
    if (!ok || out != expected) *same = false;
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: qlzip-codec-bench deflate64|deflate|bzip2|lzma|xz <original> <stream> [<peer stream>]\n");
    return 2;
  }
  const std::string codec = argv[1], original = Slurp(argv[2]), stream = Slurp(argv[3]);
  const std::string peerStream = argc > 4 ? Slurp(argv[4]) : stream;
  bool oursSame, peerSame;
  double ours = Best([&](std::string* out) { return Ours(codec, stream, original.size(), out); }, original, &oursSame);
  double peer = Best(
      [&](std::string* out) {
        if (codec == "deflate64" || codec == "deflate") return Zlib(peerStream, out);
        if (codec == "bzip2") return Bzip2(peerStream, out);
        return Liblzma(codec, peerStream, out);
      },
      original, &peerSame);
  if (!oursSame || !peerSame) {
    fprintf(stderr, "%s: %s decoded different bytes\n", codec.c_str(), oursSame ? "the library" : "ours");
    return 1;
  }
  const char* peerName = codec == "bzip2" ? "libbz2" : codec == "lzma" || codec == "xz" ? "liblzma" : "zlib";
  printf("%s: %zu bytes from %zu; ours %.4fs (%.1f MB/s), %s %.4fs; ratio %.2f (goal <= 1.5)\n", codec.c_str(),
         original.size(), stream.size(), ours, original.size() / ours / 1e6, peerName, peer, ours / peer);
  printf("RESULT codec-%s ours=%.5f peer=%.5f unit=s\n", codec.c_str(), ours, peer);
  return 0;
}
