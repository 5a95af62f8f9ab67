#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "archivers/arj/arj_codec.h"
#include "archivers/arj/tests/test_util.h"

namespace arj {
namespace {

ReadFn FromString(const std::string& s, size_t* pos) {
  return [&s, pos](uint8_t* b, size_t n) {
    n = std::min(n, s.size() - *pos);
    memcpy(b, s.data() + *pos, n);
    *pos += n;
    return n;
  };
}

std::string Compress(const std::string& in, int method, bool maximum = false) {
  size_t pos = 0;
  std::string out;
  EncodeOptions o;
  o.method = method;
  o.maximum = maximum;
  EXPECT_TRUE(Encode(o, FromString(in, &pos), [&](const uint8_t* d, size_t n) {
    out.append(reinterpret_cast<const char*>(d), n);
    return true;
  }));
  EXPECT_EQ(pos, in.size());
  return out;
}

DecodeResult Expand(const std::string& comp, int method, uint32_t size, std::string* out,
                    Garble* g = nullptr) {
  size_t pos = 0;
  out->clear();
  return Decode(method, static_cast<uint32_t>(comp.size()), size, FromString(comp, &pos), g,
                [&](const uint8_t* d, size_t n) {
                  out->append(reinterpret_cast<const char*>(d), n);
                  return true;
                });
}

struct DataCase {
  const char* name;
  std::string data;
};

std::vector<DataCase> Inputs() {
  std::string far;  // a repeat just inside the largest distance of methods 1-3
  far = arjtest::RandomData(26000, 3);
  far += far.substr(0, 4000);
  std::string fastest_far = arjtest::RandomData(15000, 4);  // within method 4's window
  fastest_far += fastest_far.substr(0, 3000);
  return {
      {"one byte", "x"},
      {"short", "abcabcabcabc"},
      {"text", arjtest::TextData(200000, 1)},
      {"random", arjtest::RandomData(70000, 2)},
      {"zeros", std::string(300000, '\0')},
      {"far repeat", far},
      {"fastest far repeat", fastest_far},
      {"skewed byte counts (codes longer than 12 bits)", [] {
         // Byte i appears 2^i times, in a scrambled order: code lengths reach the 16-bit limit.
         std::string s;
         for (int i = 0; i < 17; ++i) s.append(size_t(1) << i, static_cast<char>('A' + i));
         uint32_t x = 12345;
         for (size_t i = s.size() - 1; i > 0; --i) {
           x = x * 1103515245u + 12345u;
           std::swap(s[i], s[(x >> 8) % (i + 1)]);
         }
         return s;
       }()},
      {"all byte values", [] {
         std::string s;
         for (int r = 0; r < 40; ++r)
           for (int i = 0; i < 256; ++i) s += static_cast<char>((i * r) & 0xFF);
         return s;
       }()},
  };
}

TEST(ArjCodec, EveryMethodRoundTrips) {
  for (const DataCase& c : Inputs()) {
    for (int method = 1; method <= 4; ++method) {
      for (bool maximum : {false, true}) {
        if (maximum && method != 1) continue;
        std::string comp = Compress(c.data, method, maximum);
        std::string back;
        ASSERT_EQ(Expand(comp, method, static_cast<uint32_t>(c.data.size()), &back),
                  DecodeResult::kOk)
            << c.name << " m" << method;
        EXPECT_TRUE(back == c.data) << c.name << " m" << method;
      }
    }
  }
}

TEST(ArjCodec, ReusedEncoderWritesWhatAFreshOneWrites) {
  // One encoder for many inputs, as the archiver keeps it: nothing of an earlier input (even
  // one whose sink stopped half-way) may leak into the next one's output.
  Encoder encoder;
  auto run = [&](const std::string& in, const EncodeOptions& o, size_t stop_after) {
    size_t pos = 0;
    std::string out;
    encoder.Run(o, FromString(in, &pos), [&](const uint8_t* d, size_t n) {
      out.append(reinterpret_cast<const char*>(d), n);
      return out.size() < stop_after;
    });
    return out;
  };
  run(arjtest::TextData(300000, 21), EncodeOptions{}, 5000);
  for (const DataCase& c : Inputs()) {
    for (int method : {1, 2, 3, 4}) {
      EncodeOptions o;
      o.method = method;
      EXPECT_EQ(run(c.data, o, SIZE_MAX), Compress(c.data, method)) << c.name << " m" << method;
    }
  }
}

TEST(ArjCodec, CompressesTextAndRuns) {
  std::string text = arjtest::TextData(200000, 5);
  EXPECT_LT(Compress(text, 1).size(), text.size() / 3);
  EXPECT_LT(Compress(text, 4).size(), text.size() / 2);
  EXPECT_LT(Compress(std::string(100000, 'a'), 1).size(), 200u);
}

TEST(ArjCodec, StoredEntriesAndGarble) {
  std::string data = arjtest::TextData(5000, 9);
  std::string garbled = data;
  Garble g("secret", 0x5A);
  g.Apply(reinterpret_cast<uint8_t*>(&garbled[0]), garbled.size());
  EXPECT_NE(garbled, data);
  // The key stream is (modifier + password byte), cycling over the password.
  EXPECT_EQ(static_cast<uint8_t>(garbled[0]), static_cast<uint8_t>(data[0] ^ (0x5A + 's')));
  EXPECT_EQ(static_cast<uint8_t>(garbled[7]), static_cast<uint8_t>(data[7] ^ (0x5A + 'e')));
  std::string back;
  Garble right("secret", 0x5A);
  ASSERT_EQ(Expand(garbled, 0, static_cast<uint32_t>(data.size()), &back, &right),
            DecodeResult::kOk);
  EXPECT_EQ(back, data);
  // Stored data shorter than its size is damage.
  EXPECT_EQ(Expand(data.substr(0, 10), 0, 20, &back), DecodeResult::kBadData);
}

TEST(ArjCodec, WrongPasswordIsNeverSilentlyRight) {
  std::string data = arjtest::TextData(20000, 11);
  std::string comp = Compress(data, 1);
  Garble enc("right", 7);
  enc.Apply(reinterpret_cast<uint8_t*>(&comp[0]), comp.size());
  std::string back;
  Garble wrong("wrong", 7);
  DecodeResult r = Expand(comp, 1, static_cast<uint32_t>(data.size()), &back, &wrong);
  EXPECT_TRUE(r != DecodeResult::kOk || back != data);
  Garble right("right", 7);
  EXPECT_EQ(Expand(comp, 1, static_cast<uint32_t>(data.size()), &back, &right),
            DecodeResult::kOk);
  EXPECT_EQ(back, data);
}

TEST(ArjCodec, DamagedStreamsEndWithAnError) {
  std::string data = arjtest::TextData(50000, 13);
  for (int method : {1, 4}) {
    std::string comp = Compress(data, method);
    std::string back;
    // Cut short: the decoder must notice that it ran out of input.
    EXPECT_EQ(Expand(comp.substr(0, comp.size() / 2), method, 50000, &back),
              DecodeResult::kBadData)
        << method;
    // A size larger than what the stream holds.
    EXPECT_NE(Expand(comp, method, 10000000, &back), DecodeResult::kOk) << method;
  }
  std::string back;
  EXPECT_EQ(Expand("xyz", 7, 3, &back), DecodeResult::kUnsupported);
  // A match reaching back before the first byte (method 4: "10 0" length 3, distance 1).
  std::string bad = {static_cast<char>(0x80), 0, 0, 0};
  EXPECT_EQ(Expand(bad, 4, 3, &back), DecodeResult::kBadData);
}

TEST(ArjCodec, SinkCanStopTheEncoder) {
  std::string data = arjtest::RandomData(300000, 17);
  size_t pos = 0, taken = 0;
  EncodeOptions o;
  bool ok = Encode(o, FromString(data, &pos), [&](const uint8_t*, size_t n) {
    taken += n;
    return taken < 1000;
  });
  EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace arj
