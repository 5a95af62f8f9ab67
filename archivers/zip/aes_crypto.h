// The cryptography WinZip AES members need, from the platform: AES block encryption (for the
// counter-mode keystream), HMAC-SHA1 and PBKDF2-HMAC-SHA1. CNG on Windows, nettle elsewhere.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qlzip {

// Derives `outLen` bytes from a password and salt with PBKDF2-HMAC-SHA1. False if the platform
// refused.
bool Pbkdf2HmacSha1(const std::string& password, const uint8_t* salt, size_t saltLen, unsigned iterations,
                    uint8_t* out, size_t outLen);

// AES with a 16-, 24- or 32-byte key, encrypting whole 16-byte blocks independently.
class AesBlocks {
 public:
  AesBlocks(const uint8_t* key, size_t keyLen);
  ~AesBlocks();
  AesBlocks(const AesBlocks&) = delete;
  AesBlocks& operator=(const AesBlocks&) = delete;
  bool ok() const { return impl_ != nullptr; }
  // Encrypts `len` bytes (a multiple of 16) from `in` to `out`; false on failure.
  bool Encrypt(const uint8_t* in, uint8_t* out, size_t len);

 private:
  struct Impl;
  Impl* impl_;
};

// HMAC-SHA1, fed in pieces.
class HmacSha1 {
 public:
  HmacSha1(const uint8_t* key, size_t keyLen);
  ~HmacSha1();
  HmacSha1(const HmacSha1&) = delete;
  HmacSha1& operator=(const HmacSha1&) = delete;
  bool ok() const { return impl_ != nullptr; }
  void Update(const uint8_t* data, size_t len);
  // Writes the 20-byte code; false on failure.
  bool Final(uint8_t out[20]);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace qlzip
