// The AES, HMAC-SHA1 and PBKDF2 of aes_crypto.h from nettle.
#include "archivers/zip/aes_crypto.h"

#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <nettle/pbkdf2.h>

namespace qlzip {

bool Pbkdf2HmacSha1(const std::string& password, const uint8_t* salt, size_t saltLen, unsigned iterations,
                    uint8_t* out, size_t outLen) {
  pbkdf2_hmac_sha1(password.size(), reinterpret_cast<const uint8_t*>(password.data()), iterations, saltLen,
                   salt, outLen, out);
  return true;
}

struct AesBlocks::Impl {
  size_t keyLen;
  union {
    aes128_ctx k128;
    aes192_ctx k192;
    aes256_ctx k256;
  };
};

AesBlocks::AesBlocks(const uint8_t* key, size_t keyLen) : impl_(nullptr) {
  if (keyLen != 16 && keyLen != 24 && keyLen != 32) return;
  impl_ = new Impl;
  impl_->keyLen = keyLen;
  if (keyLen == 16) aes128_set_encrypt_key(&impl_->k128, key);
  if (keyLen == 24) aes192_set_encrypt_key(&impl_->k192, key);
  if (keyLen == 32) aes256_set_encrypt_key(&impl_->k256, key);
}

AesBlocks::~AesBlocks() { delete impl_; }

bool AesBlocks::Encrypt(const uint8_t* in, uint8_t* out, size_t len) {
  if (!impl_ || len % 16) return false;
  if (impl_->keyLen == 16) aes128_encrypt(&impl_->k128, len, out, in);
  if (impl_->keyLen == 24) aes192_encrypt(&impl_->k192, len, out, in);
  if (impl_->keyLen == 32) aes256_encrypt(&impl_->k256, len, out, in);
  return true;
}

struct HmacSha1::Impl {
  hmac_sha1_ctx ctx;
};

HmacSha1::HmacSha1(const uint8_t* key, size_t keyLen) : impl_(new Impl) {
  hmac_sha1_set_key(&impl_->ctx, keyLen, key);
}

HmacSha1::~HmacSha1() { delete impl_; }

void HmacSha1::Update(const uint8_t* data, size_t len) { hmac_sha1_update(&impl_->ctx, len, data); }

bool HmacSha1::Final(uint8_t out[20]) {
  hmac_sha1_digest(&impl_->ctx, SHA1_DIGEST_SIZE, out);
  return true;
}

}  // namespace qlzip
