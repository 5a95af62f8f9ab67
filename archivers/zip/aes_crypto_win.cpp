// The AES, HMAC-SHA1 and PBKDF2 of aes_crypto.h from Windows' CNG (bcrypt).
#include "archivers/zip/aes_crypto.h"

#include <windows.h>
#include <bcrypt.h>

namespace qlzip {
namespace {
bool Succeeded(NTSTATUS s) { return s >= 0; }

// An HMAC-SHA1 provider, open for the life of the object that needs it.
struct HmacProvider {
  BCRYPT_ALG_HANDLE alg = nullptr;
  HmacProvider() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA1_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
      alg = nullptr;
  }
  ~HmacProvider() {
    if (alg) BCryptCloseAlgorithmProvider(alg, 0);
  }
};
}  // namespace

bool Pbkdf2HmacSha1(const std::string& password, const uint8_t* salt, size_t saltLen, unsigned iterations,
                    uint8_t* out, size_t outLen) {
  HmacProvider p;
  if (!p.alg) return false;
  return Succeeded(BCryptDeriveKeyPBKDF2(p.alg, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                                         static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt),
                                         static_cast<ULONG>(saltLen), iterations, out, static_cast<ULONG>(outLen), 0));
}

struct AesBlocks::Impl {
  BCRYPT_ALG_HANDLE alg = nullptr;
  BCRYPT_KEY_HANDLE key = nullptr;
  ~Impl() {
    if (key) BCryptDestroyKey(key);
    if (alg) BCryptCloseAlgorithmProvider(alg, 0);
  }
};

AesBlocks::AesBlocks(const uint8_t* key, size_t keyLen) : impl_(new Impl) {
  bool ok = (keyLen == 16 || keyLen == 24 || keyLen == 32) &&
            Succeeded(BCryptOpenAlgorithmProvider(&impl_->alg, BCRYPT_AES_ALGORITHM, nullptr, 0));
  if (!ok) impl_->alg = nullptr;
  ok = ok && Succeeded(BCryptSetProperty(impl_->alg, BCRYPT_CHAINING_MODE,
                                         reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                         sizeof(BCRYPT_CHAIN_MODE_ECB), 0));
  ok = ok && Succeeded(BCryptGenerateSymmetricKey(impl_->alg, &impl_->key, nullptr, 0, const_cast<PUCHAR>(key),
                                                  static_cast<ULONG>(keyLen), 0));
  if (!ok) {
    delete impl_;
    impl_ = nullptr;
  }
}

AesBlocks::~AesBlocks() { delete impl_; }

bool AesBlocks::Encrypt(const uint8_t* in, uint8_t* out, size_t len) {
  if (!impl_ || len % 16) return false;
  ULONG got = 0;
  return Succeeded(BCryptEncrypt(impl_->key, const_cast<PUCHAR>(in), static_cast<ULONG>(len), nullptr, nullptr, 0,
                                 out, static_cast<ULONG>(len), &got, 0)) &&
         got == len;
}

struct HmacSha1::Impl {
  HmacProvider provider;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool failed = false;
  ~Impl() {
    if (hash) BCryptDestroyHash(hash);
  }
};

HmacSha1::HmacSha1(const uint8_t* key, size_t keyLen) : impl_(new Impl) {
  if (!impl_->provider.alg || !Succeeded(BCryptCreateHash(impl_->provider.alg, &impl_->hash, nullptr, 0,
                                                          const_cast<PUCHAR>(key), static_cast<ULONG>(keyLen), 0))) {
    impl_->hash = nullptr;
    delete impl_;
    impl_ = nullptr;
  }
}

HmacSha1::~HmacSha1() { delete impl_; }

void HmacSha1::Update(const uint8_t* data, size_t len) {
  if (impl_ && !Succeeded(BCryptHashData(impl_->hash, const_cast<PUCHAR>(data), static_cast<ULONG>(len), 0)))
    impl_->failed = true;
}

bool HmacSha1::Final(uint8_t out[20]) {
  return impl_ && !impl_->failed && Succeeded(BCryptFinishHash(impl_->hash, out, 20, 0));
}

}  // namespace qlzip
