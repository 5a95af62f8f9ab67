// The comment viewer's reader on arbitrary comment lines and archive bytes: the range it reads
// stays inside the file and the buffer, and the text it makes never reads past what was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/transform_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ql;
  // The first line is the listing line; the rest is the archive file.
  const char* bytes = reinterpret_cast<const char*>(data);
  const char* nl = static_cast<const char*>(memchr(bytes, '\n', size));
  if (!nl) return 0;
  std::string line(bytes, static_cast<size_t>(nl - bytes));
  const char* file = nl + 1;
  size_t fileSize = size - static_cast<size_t>(file - bytes);
  const size_t capacity = 64;
  uint64_t offset = 0;
  size_t count = 0;
  if (!CommentReadRange(line, fileSize, capacity, &offset, &count)) return 0;
  if (offset >= fileSize || count > capacity || offset + count > fileSize) abort();
  // An exact-size copy, so that ASan sees any read beyond it.
  char* buf = static_cast<char*>(malloc(count ? count : 1));
  memcpy(buf, file + offset, count);
  for (ArchiveKind kind : {ArchiveKind::Zip, ArchiveKind::Arj}) {
    std::string text = CommentTextOf(buf, count, kind);
    if (text.size() > 2 * count) abort();
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) abort();
  }
  free(buf);
  return 0;
}
