// WinZip AES members (method 99): the 0x9901 extra field, key derivation and password check,
// the authentication code, and the decrypted data as a ByteSource.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archivers/zip/aes_crypto.h"
#include "archivers/zip/zipcore.h"

namespace qlzip {

struct AesField {
  uint16_t version = 0;   // 1 = AE-1 (CRC kept), 2 = AE-2 (CRC 0)
  uint8_t strength = 0;   // 1, 2, 3 = AES-128, -192, -256
  uint16_t method = 0;    // the compression method of the data inside
  size_t keyLength() const { return 8u + 8u * strength; }
  size_t saltLength() const { return keyLength() / 2; }
};

// Finds a valid WinZip AES field in an extra field.
bool FindAesField(const std::vector<uint8_t>& extra, AesField& out);

// One AES member's encrypted data: salt and check value in front, the 10-byte code behind.
class AesMember {
 public:
  enum class Status { kOk, kPassword, kDamaged, kCrypto };
  // `dataOffset` and `dataSize` cover everything from the salt to the end of the code.
  AesMember(ByteSource& src, uint64_t dataOffset, uint64_t dataSize, const AesField& field);
  ~AesMember();
  AesMember(const AesMember&) = delete;
  AesMember& operator=(const AesMember&) = delete;
  // Derives the keys and compares the password check value.
  Status Open(const std::string& password);
  // Computes the authentication code over the encrypted data and compares the stored one.
  Status Authenticate();
  // The plain (still compressed) data, at offsets from 0; valid while this object lives.
  ByteSource& Plain();
  uint64_t plainSize() const { return encSize_; }

 private:
  class CtrSource;
  ByteSource& src_;
  uint64_t begin_, size_, encBegin_ = 0, encSize_ = 0;
  AesField field_;
  std::vector<uint8_t> hmacKey_;
  std::unique_ptr<AesBlocks> aes_;
  std::unique_ptr<CtrSource> plain_;
};

}  // namespace qlzip
