// ARJ compression methods: 0 (stored), 1-3 (LZ77 + static Huffman), 4 (LZ77 + unary codes),
// and the garble key stream. Platform-free; data flows through pull/push callbacks. Decoding
// itself lives in arj_decode.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archivers/arj/arj_decode.h"

namespace arj {

// Reads up to `size` bytes into `buf`, returns the count (0 at the end or on failure).
using ReadFn = std::function<size_t(uint8_t* buf, size_t size)>;
// Takes `size` bytes; returns false to stop the coder (write failure or budget spent).
using WriteFn = std::function<bool(const uint8_t* buf, size_t size)>;

// Garble: every data byte is XORed with (modifier + password[i]), i cycling over the password.
class Garble {
 public:
  Garble() = default;
  Garble(std::string password, uint8_t modifier)
      : password_(std::move(password)), modifier_(modifier) {}
  bool active() const { return !password_.empty(); }
  void Apply(uint8_t* data, size_t size);

 private:
  std::string password_;
  uint8_t modifier_ = 0;
  size_t index_ = 0;
};

// Decodes one entry's data: `comp_size` bytes are pulled from `in` (garble removed when
// `garble` is given), exactly `orig_size` bytes are pushed to `out`. Never kNoMemory: a failed
// allocation throws std::bad_alloc.
DecodeResult Decode(int method, uint32_t comp_size, uint32_t orig_size, const ReadFn& in,
                    Garble* garble, const WriteFn& out);

struct EncodeOptions {
  int method = 1;        // 1..4
  bool maximum = false;  // -jm: search harder
};

// Compresses everything `in` gives. Returns false when `out` stopped it.
bool Encode(const EncodeOptions& options, const ReadFn& in, const WriteFn& out);

// The same as Encode, keeping its buffers (several hundred KB) from one input to the next: an
// archiver adding many small files spends its time compressing rather than allocating.
class Encoder {
 public:
  Encoder();
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  bool Run(const EncodeOptions& options, const ReadFn& in, const WriteFn& out);

 private:
  struct Buffers;
  std::unique_ptr<Buffers> b_;
};

}  // namespace arj
