// The stub's reading of an arbitrary file as its archive: end record, central headers, local
// headers, each member's data through the inflater (decrypted with a fixed password when marked
// encrypted), output bounded by the member's declared size as the stub bounds it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "archivers/zipsfx/sfx_directory.h"
#include "archivers/zipsfx/small_inflate.h"

namespace {

struct Source {
  const uint8_t* data;
  size_t pos, end;
  bool encrypted;
  qlsfx::ZipKeys keys;
  uint64_t written, limit;
};

size_t Read(void* c, uint8_t* buf, size_t size) {
  Source* s = static_cast<Source*>(c);
  size_t n = s->end - s->pos < size ? s->end - s->pos : size;
  for (size_t i = 0; i < n; ++i)
    buf[i] = s->encrypted ? qlsfx::ZipDecryptByte(&s->keys, s->data[s->pos + i]) : s->data[s->pos + i];
  s->pos += n;
  return n;
}

bool Write(void* c, const uint8_t*, size_t size) {
  Source* s = static_cast<Source*>(c);
  s->written += size;
  return s->written <= s->limit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<qlsfx::InflateState> state(new qlsfx::InflateState);
  qlsfx::CrcTableInit();
  qlsfx::EndRecord end;
  if (!qlsfx::FindEndRecord(data, size, 0, &end) || end.cdStart + end.cdSize > size) return 0;
  size_t pos = static_cast<size_t>(end.cdStart);
  for (uint32_t i = 0; i < end.count; ++i) {
    qlsfx::Member m;
    size_t used = 0;
    if (!qlsfx::ParseCentral(data + pos, static_cast<size_t>(end.cdStart + end.cdSize) - pos, end, &m, &used)) break;
    pos += used;
    if (m.localOffset + 30 > size) continue;
    size_t header = qlsfx::LocalHeaderLength(data + m.localOffset);
    if (header == 0 || m.localOffset + header + m.csize > size) continue;
    Source s = {data, static_cast<size_t>(m.localOffset + header), static_cast<size_t>(m.localOffset + header + m.csize),
                (m.flags & 1) != 0, {}, 0, m.usize < (1u << 22) ? m.usize : (1u << 22)};
    if (s.encrypted) {
      qlsfx::ZipKeysInit(&s.keys, "pw");
      s.pos = s.pos + 12 <= s.end ? s.pos + 12 : s.end;
    }
    qlsfx::InflateIo io = {Read, Write, &s};
    uint64_t produced = 0;
    if (m.method == 8) qlsfx::Inflate(state.get(), io, &produced);
  }
  return 0;
}
