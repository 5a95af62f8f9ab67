// The carrying of comments and folders on arbitrary archive bytes: the ZIP tail is made only from
// a directory that reads whole and stays within what a ZIP without Zip64 holds, and the ARJ copy
// never reads or writes past what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/convert_extras.h"
#include "readers/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ql;
  const std::vector<MemberComment> comments = {
      {"DOCS\\README.TXT", "a note\nline two"}, {"sub\\", "a folder"}, {"gone.txt", std::string(3000, 'c')}};
  const std::vector<std::string> folders = {"sub", "sub\\deeper", "DOCS"};

  // As a ZIP: the end record at the end, the directory it points at.
  uint64_t offset = 0, length = 0;
  uint16_t entries = 0;
  if (size >= kZipEndSize && PlainZipDirectory(data + size - kZipEndSize, size, &offset, &length, &entries)) {
    if (offset + length + kZipEndSize != size) abort();
    std::string directory(reinterpret_cast<const char*>(data) + offset, static_cast<size_t>(length));
    std::string tail;
    size_t missed = 0;
    if (ZipTailWithExtras(directory, offset, entries, comments, folders, 0, &tail, &missed)) {
      if (missed > comments.size() || tail.size() < kZipEndSize || offset + tail.size() >= 0xFFFFFFFFull * 2) abort();
      uint64_t newEnd = offset + tail.size() - kZipEndSize;
      if (!PlainZipDirectory(reinterpret_cast<const uint8_t*>(tail.data()) + tail.size() - kZipEndSize,
                             newEnd + kZipEndSize, &offset, &length, &entries))
        abort();
    }
  }

  // As an ARJ.
  size_t at = 0, written = 0, missed = 0;
  bool copied = CopyArjWithComments(
      [&](void* buf, size_t n) {
        n = n < size - at ? n : size - at;
        memcpy(buf, data + at, n);
        at += n;
        return n;
      },
      [&](const void*, size_t n) {
        written += n;
        return true;
      },
      comments, &missed);
  if (copied && (at != size || missed > comments.size())) abort();
  return 0;
}
