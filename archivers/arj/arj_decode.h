// Decoding of ARJ methods 0 (stored), 1-3 (LZ77 + static Huffman) and 4 (LZ77 + unary codes),
// and the garble key stream. Data flows through plain callbacks and buffers come from malloc,
// so the self-extractor uses this without the C++ library; arj_codec.h wraps it for the rest.
#pragma once
#include <cstddef>
#include <cstdint>

namespace arj {

enum class DecodeResult {
  kOk,
  kBadData,     // the stream is not a valid stream of the method (or the password is wrong)
  kWriteError,  // the sink refused
  kUnsupported, // unknown method
  kNoMemory,    // DecodeStream only: a buffer could not be allocated
};

struct DecodeIo {
  // Reads up to `size` bytes into `buf` (garble already removed); returns the count, 0 at the
  // end or on failure.
  size_t (*read)(void* context, uint8_t* buf, size_t size);
  // Takes `size` bytes; returns false to stop the decoder.
  bool (*write)(void* context, const uint8_t* buf, size_t size);
  void* context;
};

// Decodes one entry's data: at most `comp_size` bytes are read, exactly `orig_size` bytes are
// written when the result is kOk.
DecodeResult DecodeStream(int method, uint32_t comp_size, uint32_t orig_size, const DecodeIo& io);

// The block structure of methods 1-3 with other position-code parameters, as LHA's -lh5- to
// -lh7- use it: `np` position codes whose count is stored in `pbit` bits, back references
// spanning at most `window` bytes (up to 65536). Methods 1-3 are {17, 5, 32768}.
struct HuffParams {
  int np;
  int pbit;
  uint32_t window;
};
DecodeResult DecodeHuffman(const HuffParams& params, uint32_t comp_size, uint32_t orig_size,
                           const DecodeIo& io);

// Garble: every data byte is XORed with (modifier + password[i]), i cycling over the password;
// `index` carries the position in the password from one call to the next.
inline void GarbleBytes(const char* password, size_t password_size, uint8_t modifier,
                        size_t* index, uint8_t* data, size_t size) {
  if (password_size == 0) return;
  size_t k = *index;
  for (size_t i = 0; i < size; ++i) {
    data[i] ^= static_cast<uint8_t>(modifier + static_cast<uint8_t>(password[k]));
    if (++k == password_size) k = 0;
  }
  *index = k;
}

}  // namespace arj
