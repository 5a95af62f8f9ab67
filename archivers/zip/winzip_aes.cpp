#include "archivers/zip/winzip_aes.h"

#include <algorithm>
#include <cstring>

namespace qlzip {

namespace {
constexpr uint16_t kAesFieldId = 0x9901;
constexpr size_t kCheckLength = 2, kCodeLength = 10;
constexpr unsigned kIterations = 1000;
}  // namespace

bool FindAesField(const std::vector<uint8_t>& extra, AesField& out) {
  for (size_t i = 0; i + 4 <= extra.size();) {
    uint16_t id = Get16(&extra[i]), len = Get16(&extra[i + 2]);
    if (i + 4 + len > extra.size()) break;
    const uint8_t* d = &extra[i + 4];
    if (id == kAesFieldId && len >= 7 && d[2] == 'A' && d[3] == 'E') {
      out.version = Get16(d);
      out.strength = d[4];
      out.method = Get16(d + 5);
      return (out.version == 1 || out.version == 2) && out.strength >= 1 && out.strength <= 3;
    }
    i += 4 + len;
  }
  return false;
}

// Counter mode with WinZip's counter: the block number from 1, as a 16-byte little-endian
// integer. Any range can be read, since each block's keystream depends only on its number.
class AesMember::CtrSource : public ByteSource {
 public:
  CtrSource(ByteSource& src, uint64_t begin, uint64_t size, AesBlocks& aes)
      : src_(src), begin_(begin), size_(size), aes_(aes) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t len) override {
    if (offset >= size_) return 0;
    len = static_cast<size_t>(std::min<uint64_t>(len, size_ - offset));
    uint8_t* out = static_cast<uint8_t*>(buf);
    size_t got = src_.ReadAt(begin_ + offset, out, len);
    constexpr size_t kBlocks = 256;
    uint8_t counters[kBlocks * 16], stream[kBlocks * 16];
    for (size_t done = 0; done < got;) {
      const uint64_t at = offset + done, first = at / 16;
      const size_t skip = static_cast<size_t>(at % 16);
      const size_t blocks = std::min(kBlocks, (skip + (got - done) + 15) / 16);
      memset(counters, 0, blocks * 16);
      for (size_t b = 0; b < blocks; ++b) {
        uint64_t n = first + b + 1;
        for (int k = 0; k < 8; ++k) counters[b * 16 + k] = static_cast<uint8_t>(n >> (8 * k));
      }
      if (!aes_.Encrypt(counters, stream, blocks * 16)) return done;
      const size_t n = std::min(got - done, blocks * 16 - skip);
      for (size_t k = 0; k < n; ++k) out[done + k] ^= stream[skip + k];
      done += n;
    }
    return got;
  }

 private:
  ByteSource& src_;
  uint64_t begin_, size_;
  AesBlocks& aes_;
};

AesMember::AesMember(ByteSource& src, uint64_t dataOffset, uint64_t dataSize, const AesField& field)
    : src_(src), begin_(dataOffset), size_(dataSize), field_(field) {}

AesMember::~AesMember() = default;

AesMember::Status AesMember::Open(const std::string& password) {
  const size_t keyLen = field_.keyLength(), saltLen = field_.saltLength();
  if (size_ < saltLen + kCheckLength + kCodeLength) return Status::kDamaged;
  uint8_t head[16 + kCheckLength];
  if (src_.ReadAt(begin_, head, saltLen + kCheckLength) != saltLen + kCheckLength) return Status::kDamaged;
  std::vector<uint8_t> keys(2 * keyLen + kCheckLength);
  if (!Pbkdf2HmacSha1(password, head, saltLen, kIterations, keys.data(), keys.size())) return Status::kCrypto;
  if (memcmp(keys.data() + 2 * keyLen, head + saltLen, kCheckLength) != 0) return Status::kPassword;
  aes_.reset(new AesBlocks(keys.data(), keyLen));
  if (!aes_->ok()) return Status::kCrypto;
  hmacKey_.assign(keys.begin() + keyLen, keys.begin() + 2 * keyLen);
  encBegin_ = begin_ + saltLen + kCheckLength;
  encSize_ = size_ - saltLen - kCheckLength - kCodeLength;
  plain_.reset(new CtrSource(src_, encBegin_, encSize_, *aes_));
  return Status::kOk;
}

AesMember::Status AesMember::Authenticate() {
  HmacSha1 mac(hmacKey_.data(), hmacKey_.size());
  if (!mac.ok()) return Status::kCrypto;
  std::vector<uint8_t> buf(static_cast<size_t>(std::min<uint64_t>(encSize_, 1 << 16)) + 1);
  for (uint64_t at = 0; at < encSize_;) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(encSize_ - at, buf.size()));
    if (src_.ReadAt(encBegin_ + at, buf.data(), n) != n) return Status::kDamaged;
    mac.Update(buf.data(), n);
    at += n;
  }
  uint8_t code[20], stored[kCodeLength];
  if (!mac.Final(code)) return Status::kCrypto;
  if (src_.ReadAt(encBegin_ + encSize_, stored, kCodeLength) != kCodeLength) return Status::kDamaged;
  return memcmp(code, stored, kCodeLength) == 0 ? Status::kOk : Status::kDamaged;
}

ByteSource& AesMember::Plain() { return *plain_; }

}  // namespace qlzip
