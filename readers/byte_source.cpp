#include "readers/byte_source.h"

#include <algorithm>
#include <cstring>

namespace ql {

ByteSource MemorySource(const void* data, size_t size) {
  ByteSource s;
  s.size = size;
  s.mapped = static_cast<const uint8_t*>(data);
  return s;
}

namespace {
constexpr size_t kFirstChunk = 4096;
}

ByteWindow::ByteWindow(const ByteSource& src, size_t chunk)
    : src_(src), chunk_(chunk), next_(std::min(chunk, kFirstChunk)) {}

const uint8_t* ByteWindow::Get(uint64_t pos, size_t n, size_t* got) {
  if (pos >= src_.size) {
    *got = 0;
    static const uint8_t kNothing[1] = {0};
    return kNothing;
  }
  uint64_t left = src_.size - pos;
  size_t want = left < n ? static_cast<size_t>(left) : n;
  if (src_.mapped) {
    *got = want;
    return src_.mapped + pos;
  }
  if (pos >= bufPos_ && pos - bufPos_ + want <= bufLen_) {
    *got = want;
    return buf_.data() + (pos - bufPos_);
  }
  uint64_t bufEnd = bufPos_ + bufLen_;
  if (bufLen_) {
    // Just past the last chunk, or a range straddling its end.
    bool near = pos >= bufPos_ && (pos < bufEnd || pos - bufEnd < next_);
    next_ = near ? std::min(next_ * 2, chunk_) : std::min(chunk_, kFirstChunk);
  }
  size_t fill = std::max(want, next_);
  if (fill > left) fill = static_cast<size_t>(left);
  if (buf_.size() < fill) buf_.resize(fill);
  size_t have = 0;
  while (have < fill) {
    size_t r = src_.readAt ? src_.readAt(src_.ctx, pos + have, buf_.data() + have, fill - have) : 0;
    if (r == 0) break;
    have += r;
  }
  bufPos_ = pos;
  bufLen_ = have;
  *got = std::min(want, have);
  return buf_.data();
}

}  // namespace ql
