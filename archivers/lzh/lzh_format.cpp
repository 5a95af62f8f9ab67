#include "archivers/lzh/lzh_format.h"

#include <cstring>
#include <vector>

#include "archivers/arj/arj_decode.h"
#include "archivers/lzh/le_read.h"

namespace lzh {
namespace {

struct CrcTable {
  uint16_t t[256];
  CrcTable() {
    for (unsigned i = 0; i < 256; ++i) {
      unsigned c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
      t[i] = static_cast<uint16_t>(c);
    }
  }
};
const CrcTable kCrc;

using qlx::Get16;
using qlx::Get32;
using qlx::ReadAll;

// Stored names use '\' or 0xFF between directories; the result uses '/'.
std::string Slashes(const uint8_t* p, size_t n) {
  std::string s(reinterpret_cast<const char*>(p), n);
  for (char& c : s)
    if (c == '\\' || static_cast<uint8_t>(c) == 0xFF) c = '/';
  return s;
}

struct Extended {
  std::string file, dir;
  bool have_file = false;
  bool have_crc = false;
  size_t crc_at = 0;  // offset of the header CRC within the level 2 header
  uint16_t header_crc = 0;
};

// One extended header: `p` holds `size` bytes including the size field at the end (the next
// header's size, `size_bytes` long: 2, or 4 at level 3), type first.
void TakeExtended(const uint8_t* p, size_t size, size_t offset_in_header, Extended* x,
                  Entry* e, size_t size_bytes = 2) {
  uint8_t type = p[0];
  const uint8_t* d = p + 1;
  size_t n = size - 1 - size_bytes;  // without the type and the next size field
  switch (type) {
    case 0x00:
      if (n >= 2) {
        x->have_crc = true;
        x->header_crc = Get16(d);
        x->crc_at = offset_in_header + 1;
      }
      break;
    case 0x01:
      x->file = Slashes(d, n);
      x->have_file = true;
      break;
    case 0x02:
      x->dir = Slashes(d, n);
      break;
    case 0x50:
      if (n >= 2) e->unix_mode = Get16(d);
      break;
    case 0x54:
      if (n >= 4) e->unix_time = Get32(d);
      break;
    default:
      break;
  }
}

void JoinName(const Extended& x, Entry* e) {
  if (x.have_file) e->name = x.file;
  if (!x.dir.empty()) {
    std::string d = x.dir;
    if (d.back() != '/') d += '/';
    e->name = d + e->name;
  }
}

HeaderResult ReadLevel01(const ReadFn& in, uint8_t* head, Entry* e) {
  const size_t size = head[0];
  if (size + 2 < 24) return HeaderResult::kBadHeader;
  std::vector<uint8_t> h(size + 2);
  memcpy(h.data(), head, 21);
  if (!ReadAll(in, h.data() + 21, h.size() - 21)) return HeaderResult::kTruncated;
  uint8_t sum = 0;
  for (size_t i = 2; i < h.size(); ++i) sum = static_cast<uint8_t>(sum + h[i]);
  if (sum != h[1]) return HeaderResult::kBadChecksum;
  const size_t name_len = h[21];
  size_t pos = 22 + name_len;
  if (pos + 2 > h.size()) return HeaderResult::kBadHeader;
  e->name = Slashes(h.data() + 22, name_len);
  e->crc = Get16(h.data() + pos);
  pos += 2;
  e->dos_time = Get32(h.data() + 15);
  if (e->level == 0) return HeaderResult::kOk;
  // Level 1: the system byte, then the size of the first extended header in the last two bytes.
  if (pos + 3 > h.size()) return HeaderResult::kBadHeader;
  e->os = h[pos];
  size_t next = Get16(h.data() + h.size() - 2);
  Extended x;
  uint64_t ext_total = 0;
  while (next != 0) {
    if (next < 3) return HeaderResult::kBadHeader;
    ext_total += next;
    if (ext_total > e->comp_size) return HeaderResult::kBadHeader;
    // An extended header: type, data, then the size of the next one.
    std::vector<uint8_t> ext(next);
    if (!ReadAll(in, ext.data(), next))
      return HeaderResult::kTruncated;
    TakeExtended(ext.data(), next, 0, &x, e);
    next = Get16(ext.data() + next - 2);
  }
  e->comp_size -= static_cast<uint32_t>(ext_total);
  JoinName(x, e);
  return HeaderResult::kOk;
}

// Levels 2 and 3 share their layout: a fixed part, then extended headers up to the total size.
// Level 2 keeps the total in the first two bytes and 16-bit extended sizes; level 3 has the word
// size (4) there, the total as 32 bits after the system byte, and 32-bit extended sizes.
HeaderResult ReadLevel23(const ReadFn& in, uint8_t* head, Entry* e) {
  const bool l3 = e->level == 3;
  const size_t fixed = l3 ? 32 : 26, sb = l3 ? 4 : 2;
  uint8_t base[32];
  memcpy(base, head, 21);
  if (!ReadAll(in, base + 21, fixed - 21)) return HeaderResult::kTruncated;
  if (l3 && Get16(base) != 4) return HeaderResult::kBadHeader;
  const size_t size = l3 ? Get32(base + 24) : Get16(base);
  if (size < fixed || size > (1u << 20)) return HeaderResult::kBadHeader;
  std::vector<uint8_t> h(size);
  memcpy(h.data(), base, fixed);
  if (!ReadAll(in, h.data() + fixed, size - fixed)) return HeaderResult::kTruncated;
  e->unix_time = Get32(h.data() + 15);
  e->crc = Get16(h.data() + 21);
  e->os = h[23];
  Extended x;
  size_t next = l3 ? Get32(h.data() + 28) : Get16(h.data() + 24);
  size_t pos = fixed;
  while (next != 0) {
    if (next < 1 + sb || next > size - pos) return HeaderResult::kBadHeader;
    TakeExtended(h.data() + pos, next, pos, &x, e, sb);
    pos += next;
    next = l3 ? Get32(h.data() + pos - 4) : Get16(h.data() + pos - 2);
  }
  if (x.have_crc) {
    h[x.crc_at] = h[x.crc_at + 1] = 0;
    if (Crc16(0, h.data(), h.size()) != x.header_crc) return HeaderResult::kBadChecksum;
  }
  JoinName(x, e);
  return HeaderResult::kOk;
}

struct Sink {
  const ReadFn* in;
  const WriteFn* out;
  uint16_t crc;
};

size_t SinkRead(void* c, uint8_t* buf, size_t size) { return (*static_cast<Sink*>(c)->in)(buf, size); }
bool SinkWrite(void* c, const uint8_t* buf, size_t size) {
  Sink* s = static_cast<Sink*>(c);
  s->crc = Crc16(s->crc, buf, size);
  return (*s->out)(buf, size);
}

}  // namespace

uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ kCrc.t[(crc ^ data[i]) & 0xFF]);
  return crc;
}

HeaderResult ReadHeader(const ReadFn& in, Entry* e) {
  *e = Entry();
  uint8_t head[21];
  size_t got = in(head, 1);
  if (got == 0 || head[0] == 0) return HeaderResult::kEnd;
  if (!ReadAll(in, head + 1, 20)) return HeaderResult::kTruncated;
  e->method.assign(reinterpret_cast<const char*>(head + 2), 5);
  e->comp_size = Get32(head + 7);
  e->orig_size = Get32(head + 11);
  e->level = head[20];
  if (e->method[0] != '-' || e->method[4] != '-') return HeaderResult::kBadHeader;
  HeaderResult r;
  if (e->level == 0 || e->level == 1) {
    r = ReadLevel01(in, head, e);
  } else if (e->level == 2 || e->level == 3) {
    r = ReadLevel23(in, head, e);
  } else {
    return HeaderResult::kUnsupported;
  }
  if (r == HeaderResult::kOk && e->name.empty()) return HeaderResult::kBadHeader;
  return r;
}

const char* HeaderMessage(HeaderResult r) {
  switch (r) {
    case HeaderResult::kOk: return "ok";
    case HeaderResult::kEnd: return "end of archive";
    case HeaderResult::kTruncated: return "the archive ends inside a header";
    case HeaderResult::kBadChecksum: return "header checksum error";
    case HeaderResult::kBadHeader: return "damaged header";
    case HeaderResult::kUnsupported: return "unsupported header level";
  }
  return "?";
}

bool MethodSupported(const std::string& m) {
  return m == "-lh0-" || m == "-lh5-" || m == "-lh6-" || m == "-lh7-" || m == "-lhd-";
}

DataResult DecodeData(const Entry& e, const ReadFn& in, const WriteFn& out) {
  Sink sink{&in, &out, 0};
  arj::DecodeIo io{SinkRead, SinkWrite, &sink};
  arj::DecodeResult r;
  if (e.method == "-lhd-") {
    return DataResult::kOk;
  } else if (e.method == "-lh0-") {
    if (e.comp_size != e.orig_size) return DataResult::kBadData;
    r = arj::DecodeStream(0, e.comp_size, e.orig_size, io);
  } else if (e.method == "-lh5-") {
    r = arj::DecodeHuffman(arj::HuffParams{14, 4, 8192}, e.comp_size, e.orig_size, io);
  } else if (e.method == "-lh6-") {
    r = arj::DecodeHuffman(arj::HuffParams{16, 5, 32768}, e.comp_size, e.orig_size, io);
  } else if (e.method == "-lh7-") {
    r = arj::DecodeHuffman(arj::HuffParams{17, 5, 65536}, e.comp_size, e.orig_size, io);
  } else {
    return DataResult::kUnsupported;
  }
  switch (r) {
    case arj::DecodeResult::kOk: break;
    case arj::DecodeResult::kBadData: return DataResult::kBadData;
    case arj::DecodeResult::kWriteError: return DataResult::kWriteError;
    case arj::DecodeResult::kUnsupported: return DataResult::kUnsupported;
    case arj::DecodeResult::kNoMemory: return DataResult::kNoMemory;
  }
  return sink.crc == e.crc ? DataResult::kOk : DataResult::kBadCrc;
}

const char* DataMessage(DataResult r) {
  switch (r) {
    case DataResult::kOk: return "ok";
    case DataResult::kBadData: return "damaged data";
    case DataResult::kBadCrc: return "CRC error";
    case DataResult::kWriteError: return "write error";
    case DataResult::kUnsupported: return "unsupported method";
    case DataResult::kNoMemory: return "out of memory";
  }
  return "?";
}

}  // namespace lzh
