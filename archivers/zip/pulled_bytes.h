// Input for the stream decoders: the bytes a PullFn hands over, read through a buffer. Reading
// past the end yields zeros and counts them, so a decoder checks once, not after every byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "archivers/zip/old_methods.h"

namespace qlzip {

class PulledBytes {
 public:
  explicit PulledBytes(const PullFn& in) : in_(in), buf_(new uint8_t[kSize]) {}
  uint8_t Byte() {
    if (pos_ < len_ || Refill()) return buf_[pos_++];
    ++pad_;
    return 0;
  }
  // Bytes read past the end of the data (as zeros).
  uint64_t pad() const { return pad_; }
  // Bytes of the data read so far.
  uint64_t consumed() const { return base_ + pos_; }
  bool AtEnd() { return pos_ == len_ && !Refill(); }
  // Bytes available in the buffer without pulling; Take(n) moves past n of them.
  const uint8_t* Peek(size_t* n) {
    *n = len_ - pos_;
    return buf_.get() + pos_;
  }
  void Take(size_t n) { pos_ += n; }
  // Reads exactly n bytes; false (and padding) when the data ends first.
  bool Read(uint8_t* dst, size_t n) {
    while (n > 0) {
      if (pos_ == len_ && !Refill()) {
        pad_ += n;
        return false;
      }
      size_t k = len_ - pos_ < n ? len_ - pos_ : n;
      memcpy(dst, buf_.get() + pos_, k);
      pos_ += k;
      dst += k;
      n -= k;
    }
    return true;
  }
  bool Refill() {
    if (ended_) return false;
    base_ += len_;
    pos_ = 0;
    len_ = in_(buf_.get(), kSize);
    if (len_ == 0) ended_ = true;
    return len_ > 0;
  }

 private:
  static constexpr size_t kSize = 1 << 16;
  const PullFn& in_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0, len_ = 0;
  uint64_t pad_ = 0, base_ = 0;
  bool ended_ = false;
};

// Output handed on in pieces, counted against the most a member may hold.
class LimitedSink {
 public:
  LimitedSink(const PushFn& out, uint64_t limit) : out_(out), left_(limit) {}
  // False when the data would pass the limit or the receiver refused it.
  bool Push(const uint8_t* p, size_t n) {
    if (n == 0) return true;
    if (n > left_) {
      overflow_ = true;
      return false;
    }
    left_ -= n;
    passed_ += n;
    if (!out_(p, n)) {
      refused_ = true;
      return false;
    }
    return true;
  }
  bool refused() const { return refused_; }
  // Bytes handed on so far.
  uint64_t passed() const { return passed_; }
  OldMethodResult Failure() const { return refused_ ? OldMethodResult::kSink : OldMethodResult::kDamaged; }

 private:
  const PushFn& out_;
  uint64_t left_, passed_ = 0;
  bool overflow_ = false, refused_ = false;
};

}  // namespace qlzip
