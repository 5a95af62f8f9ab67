#include "archivers/zipfix/zip_rebuild.h"

#include <zlib.h>

#include <algorithm>
#include <map>

namespace qlzipfix {
namespace {

using qlzip::ByteSource;
using qlzip::Entry;
using qlzip::Get16;
using qlzip::Get32;
using qlzip::Get64;

constexpr uint32_t kSigLocal = 0x04034b50;
constexpr uint32_t kSigCentral = 0x02014b50;
constexpr uint32_t kSigEnd = 0x06054b50;
constexpr uint32_t kSigDescriptor = 0x08074b50;
constexpr uint32_t kMax32 = 0xFFFFFFFFu;
constexpr uint64_t kStop = UINT64_MAX;
constexpr size_t kChunk = 1 << 16;

std::vector<uint8_t> ReadBytes(ByteSource& in, uint64_t at, size_t n) {
  if (n == 0 || at >= in.Size()) return {};
  std::vector<uint8_t> v(n);
  v.resize(in.ReadAt(at, v.data(), n));
  return v;
}

// Calls `visit` with the offset of each occurrence of `sig` from `from` on. `visit` returns where
// to go on: the next byte, further on (behind what it recognised), or kStop.
template <typename Visit>
void ScanFor(ByteSource& in, uint64_t from, uint32_t sig, Visit visit) {
  std::vector<uint8_t> buf(kChunk);
  uint64_t base = from;
  for (;;) {
    if (base >= in.Size()) return;
    size_t got = in.ReadAt(base, buf.data(), kChunk);
    if (got < 4) return;
    uint64_t next = base + got - 3;
    for (size_t i = 0; i + 4 <= got; ++i) {
      if (Get32(&buf[i]) != sig) continue;
      uint64_t r = visit(base + i);
      if (r == kStop) return;
      if (r > base + i + 1) {
        next = r;
        break;
      }
    }
    if (next == base + got - 3 && got < kChunk) return;
    base = next;
  }
}

// The extra field without its Zip64 record (the writer adds its own when it needs one).
std::vector<uint8_t> WithoutZip64(const uint8_t* p, size_t n) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i + 4 <= n) {
    uint16_t id = Get16(p + i);
    size_t len = Get16(p + i + 2);
    if (i + 4 + len > n) break;
    if (id != 1) out.insert(out.end(), p + i, p + i + 4 + len);
    i += 4 + len;
  }
  return out;
}

// The Zip64 sizes of a local extra field, each replacing a saturated 32-bit one.
void Zip64Sizes(const uint8_t* p, size_t n, uint64_t* usize, uint64_t* csize) {
  size_t i = 0;
  while (i + 4 <= n) {
    uint16_t id = Get16(p + i);
    size_t len = Get16(p + i + 2);
    if (i + 4 + len > n) return;
    if (id == 1) {
      const uint8_t* q = p + i + 4;
      size_t left = len;
      if (*usize == kMax32 && left >= 8) {
        *usize = Get64(q);
        q += 8;
        left -= 8;
      }
      if (*csize == kMax32 && left >= 8) *csize = Get64(q);
      return;
    }
    i += 4 + len;
  }
}

bool PlausibleName(const std::vector<uint8_t>& name) {
  if (name.empty()) return false;
  for (uint8_t c : name)
    if (c < 0x20) return false;
  return true;
}

// Central headers that survived, by name: they keep comments and attributes.
std::multimap<std::string, Entry> SurvivingCentral(ByteSource& in) {
  std::multimap<std::string, Entry> found;
  ScanFor(in, 0, kSigCentral, [&](uint64_t pos) -> uint64_t {
    std::vector<uint8_t> h = ReadBytes(in, pos, 46);
    if (h.size() < 46) return kStop;
    size_t nl = Get16(&h[28]), xl = Get16(&h[30]), cl = Get16(&h[32]);
    std::vector<uint8_t> rest = ReadBytes(in, pos + 46, nl + xl + cl);
    if (rest.size() < nl + xl + cl || nl == 0) return pos + 1;
    Entry e;
    e.madeBy = Get16(&h[4]);
    e.flags = Get16(&h[8]);
    e.crc = Get32(&h[16]);
    e.internalAttr = Get16(&h[36]);
    e.externalAttr = Get32(&h[38]);
    e.name.assign(rest.begin(), rest.begin() + static_cast<long>(nl));
    e.extra = WithoutZip64(rest.data() + nl, xl);
    e.comment.assign(rest.begin() + static_cast<long>(nl + xl), rest.end());
    found.emplace(e.name, e);
    return pos + 46 + nl + xl + cl;
  });
  return found;
}

// The archive comment of an end record that survived at the end of the file.
bool SurvivingComment(ByteSource& in, std::string* comment) {
  const uint64_t size = in.Size();
  if (size < 22) return false;
  const uint64_t start = size > 65557 ? size - 65557 : 0;
  std::vector<uint8_t> tail = ReadBytes(in, start, static_cast<size_t>(size - start));
  for (size_t i = tail.size() - 22 + 1; i-- > 0;) {
    if (Get32(&tail[i]) != kSigEnd) continue;
    size_t cl = Get16(&tail[i + 20]);
    if (i + 22 + cl > tail.size()) continue;
    comment->assign(tail.begin() + static_cast<long>(i + 22), tail.begin() + static_cast<long>(i + 22 + cl));
    return true;
  }
  return false;
}

struct DataCheck {
  bool complete = false;  // the stream ended (deflate) or all bytes were there (stored)
  uint64_t consumed = 0;
  uint64_t produced = 0;
  uint32_t crc = 0;
};

// Decodes a member's data from `start` (at most `limit` bytes), counting and checking it.
DataCheck Decode(ByteSource& in, uint64_t start, uint64_t limit, uint16_t method) {
  DataCheck c;
  std::vector<uint8_t> inbuf(kChunk);
  if (method == 0) {
    for (uint64_t pos = start; pos < start + limit;) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, start + limit - pos));
      size_t got = in.ReadAt(pos, inbuf.data(), want);
      c.crc = qlzip::Crc32(c.crc, inbuf.data(), got);
      pos += got;
      c.consumed += got;
      if (got < want) return c;
    }
    c.produced = c.consumed;
    c.complete = true;
    return c;
  }
  z_stream zs = {};
  if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return c;
  std::vector<uint8_t> outbuf(kChunk);
  uint64_t pos = start;
  bool eof = false;
  for (;;) {
    if (zs.avail_in == 0 && !eof) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, start + limit - pos));
      size_t got = want ? in.ReadAt(pos, inbuf.data(), want) : 0;
      pos += got;
      eof = got < kChunk || pos >= start + limit;
      zs.next_in = inbuf.data();
      zs.avail_in = static_cast<uInt>(got);
    }
    zs.next_out = outbuf.data();
    zs.avail_out = static_cast<uInt>(outbuf.size());
    int r = inflate(&zs, Z_NO_FLUSH);
    size_t made = outbuf.size() - zs.avail_out;
    c.crc = qlzip::Crc32(c.crc, outbuf.data(), made);
    c.produced += made;
    if (r == Z_STREAM_END) {
      c.complete = true;
      break;
    }
    if (r != Z_OK && !(r == Z_BUF_ERROR && !eof)) break;
    if (r == Z_OK && made == 0 && zs.avail_in == 0 && eof) break;
  }
  c.consumed = (pos - start) - zs.avail_in;
  inflateEnd(&zs);
  return c;
}

// A data descriptor at `at` that agrees with what is known. `crc` may be unknown (any crc is
// taken); sizes are always known. Its length, or 0.
size_t DescriptorAt(ByteSource& in, uint64_t at, const uint32_t* crc, uint64_t csize, const uint64_t* usize,
                    uint32_t* gotCrc, uint64_t* gotUsize) {
  std::vector<uint8_t> d = ReadBytes(in, at, 24);
  for (size_t off : {size_t(4), size_t(0)}) {
    if (off == 4 && (d.size() < 4 || Get32(d.data()) != kSigDescriptor)) continue;
    if (d.size() >= off + 12) {
      uint32_t c = Get32(&d[off]);
      uint64_t cs = Get32(&d[off + 4]), us = Get32(&d[off + 8]);
      if ((!crc || c == *crc) && cs == csize && (!usize || us == *usize)) {
        *gotCrc = c;
        *gotUsize = us;
        return off + 12;
      }
    }
    if (d.size() >= off + 20) {
      uint32_t c = Get32(&d[off]);
      uint64_t cs = Get64(&d[off + 4]), us = Get64(&d[off + 12]);
      if ((!crc || c == *crc) && cs == csize && (!usize || us == *usize)) {
        *gotCrc = c;
        *gotUsize = us;
        return off + 20;
      }
    }
  }
  return 0;
}

// For data written without known sizes that we cannot decode to its end (stored or encrypted):
// the first descriptor with its signature whose compressed size is the distance to it (and, for
// stored data we can read, whose CRC is that of the bytes before it).
bool SearchDescriptor(ByteSource& in, uint64_t start, bool checkCrc, uint64_t* csize, uint32_t* crc,
                      uint64_t* usize, size_t* descLen) {
  bool found = false;
  uint32_t running = 0;
  uint64_t crcDoneTo = start;
  std::vector<uint8_t> buf(kChunk);
  ScanFor(in, start, kSigDescriptor, [&](uint64_t pos) -> uint64_t {
    const uint64_t dist = pos - start;
    if (checkCrc) {
      while (crcDoneTo < pos) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, pos - crcDoneTo));
        size_t got = in.ReadAt(crcDoneTo, buf.data(), want);
        if (got == 0) return kStop;
        running = qlzip::Crc32(running, buf.data(), got);
        crcDoneTo += got;
      }
    }
    uint32_t c = 0;
    uint64_t us = 0;
    size_t len = checkCrc ? DescriptorAt(in, pos, &running, dist, &dist, &c, &us)
                          : DescriptorAt(in, pos, nullptr, dist, nullptr, &c, &us);
    if (len < 16) return pos + 1;  // the signature must be there: without it the search is blind
    *csize = dist;
    *crc = c;
    *usize = us;
    *descLen = len;
    found = true;
    return kStop;
  });
  return found;
}

// Writes the new archive and keeps count of where it is.
class Writer {
 public:
  explicit Writer(const std::function<bool(const uint8_t*, size_t)>& out) : out_(out) {}
  bool Put(const uint8_t* p, size_t n) {
    if (!ok_) return false;
    ok_ = n == 0 || out_(p, n);
    pos_ += n;
    return ok_;
  }
  bool Put(const std::vector<uint8_t>& v) { return Put(v.data(), v.size()); }
  bool Copy(ByteSource& in, uint64_t from, uint64_t n) {
    std::vector<uint8_t> buf(kChunk);
    while (n > 0 && ok_) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, n));
      size_t got = in.ReadAt(from, buf.data(), want);
      if (got != want) return ok_ = false;
      Put(buf.data(), got);
      from += got;
      n -= got;
    }
    return ok_;
  }
  uint64_t pos() const { return pos_; }
  bool ok() const { return ok_; }

 private:
  const std::function<bool(const uint8_t*, size_t)>& out_;
  uint64_t pos_ = 0;
  bool ok_ = true;
};

enum class Found { kNotHeader, kLeftOut, kKept };

struct Member {
  Entry e;
  uint64_t dataStart = 0;
  size_t descLen = 0;  // the descriptor behind the data in the damaged file
  bool checked = false;
};

class Rebuilder {
 public:
  Rebuilder(ByteSource& in, RebuildReport* report) : in_(in), report_(*report) {}

  // Reads the member whose local header is at `pos`; `next` is where the scan goes on.
  Found Read(uint64_t pos, Member* m, uint64_t* next) {
    *next = pos + 1;
    std::vector<uint8_t> h = ReadBytes(in_, pos, 30);
    if (h.size() < 30) return Found::kNotHeader;
    const uint16_t needed = Get16(&h[4]);
    Entry& e = m->e;
    e.needed = needed;
    e.flags = Get16(&h[6]);
    e.method = Get16(&h[8]);
    e.dosTime = static_cast<uint32_t>(Get16(&h[12])) << 16 | Get16(&h[10]);
    e.crc = Get32(&h[14]);
    e.csize = Get32(&h[18]);
    e.usize = Get32(&h[22]);
    const size_t nl = Get16(&h[26]), xl = Get16(&h[28]);
    if ((needed & 0xFF) > 63 || e.method > 99) return Found::kNotHeader;
    std::vector<uint8_t> name = ReadBytes(in_, pos + 30, nl);
    if (name.size() < nl) {
      if (!name.empty() && PlausibleName(name)) return Leave(pos, std::string(name.begin(), name.end()), "cut inside its header");
      return Found::kNotHeader;
    }
    if (!PlausibleName(name)) return Found::kNotHeader;
    e.name.assign(name.begin(), name.end());
    std::vector<uint8_t> extra = ReadBytes(in_, pos + 30 + nl, xl);
    if (extra.size() < xl) return Leave(pos, e.name, "cut inside its header");
    Zip64Sizes(extra.data(), extra.size(), &e.usize, &e.csize);
    m->dataStart = pos + 30 + nl + xl;
    const bool encrypted = e.flags & 1;
    const bool decodable = !encrypted && (e.method == 0 || e.method == 8);
    const uint64_t size = in_.Size();

    if (e.flags & 8) {
      if (!SizesFromDescriptor(m, decodable))
        return Leave(pos, e.name, "its data is cut short or its data descriptor is missing");
    } else if (m->dataStart + e.csize > size) {
      return Leave(pos, e.name, "cut inside its data");
    }
    const uint64_t dataEnd = m->dataStart + e.csize;
    if (decodable) {
      DataCheck c = Decode(in_, m->dataStart, e.csize, e.method);
      if (!c.complete || c.produced != e.usize || (e.method == 0 && c.consumed != e.csize)) {
        *next = dataEnd + m->descLen;
        return Leave(pos, e.name, "its data is damaged");
      }
      if (c.crc != e.crc) {
        *next = dataEnd + m->descLen;
        return Leave(pos, e.name, "CRC error");
      }
      m->checked = true;
    }
    *next = dataEnd + m->descLen;
    return Found::kKept;
  }

  Found Leave(uint64_t pos, const std::string& name, const char* why) {
    report_.leftOut.push_back(LeftOut{name, pos, why});
    return Found::kLeftOut;
  }

 private:
  // Sizes and CRC of a member written with a data descriptor (flag bit 3).
  bool SizesFromDescriptor(Member* m, bool decodable) {
    Entry& e = m->e;
    uint32_t crc = 0;
    uint64_t usize = 0;
    // Filled-in local values that the descriptor confirms (Info-ZIP does this for encrypted members).
    if (e.csize != 0 && e.csize != kMax32) {
      uint32_t want = e.crc;
      uint64_t wantU = e.usize;
      if (size_t len = DescriptorAt(in_, m->dataStart + e.csize, &want, e.csize, &wantU, &crc, &usize)) {
        m->descLen = len;
        return true;
      }
    }
    if (decodable && e.method == 8) {
      DataCheck c = Decode(in_, m->dataStart, in_.Size() - std::min(in_.Size(), m->dataStart), 8);
      if (!c.complete) return false;
      size_t len = DescriptorAt(in_, m->dataStart + c.consumed, &c.crc, c.consumed, &c.produced, &crc, &usize);
      if (!len) return false;
      e.csize = c.consumed;
      e.usize = c.produced;
      e.crc = c.crc;
      m->descLen = len;
      return true;
    }
    uint64_t csize = 0;
    size_t len = 0;
    if (!SearchDescriptor(in_, m->dataStart, decodable, &csize, &crc, &usize, &len)) return false;
    e.csize = csize;
    e.usize = usize;
    e.crc = crc;
    m->descLen = len;
    return true;
  }

  ByteSource& in_;
  RebuildReport& report_;
};

}  // namespace

RebuildResult RebuildZip(ByteSource& in, const std::function<bool(const uint8_t*, size_t)>& out,
                         RebuildReport* report) {
  *report = RebuildReport();
  std::vector<Member> members;
  Rebuilder reader(in, report);
  ScanFor(in, 0, kSigLocal, [&](uint64_t pos) -> uint64_t {
    Member m;
    uint64_t next = pos + 1;
    if (reader.Read(pos, &m, &next) == Found::kKept) members.push_back(std::move(m));
    return std::max(next, pos + 1);
  });
  if (members.empty()) return RebuildResult::kNothingFound;

  // Comments, attributes and the system that made each member, where a central header survived.
  std::multimap<std::string, Entry> central = SurvivingCentral(in);
  for (Member& m : members) {
    Entry& e = m.e;
    e.madeBy = 20;
    if (!e.name.empty() && e.name.back() == '/') e.externalAttr = qlzip::kDir;
    auto range = central.equal_range(e.name);
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second.crc != e.crc) continue;
      e.madeBy = it->second.madeBy;
      e.internalAttr = it->second.internalAttr;
      e.externalAttr = it->second.externalAttr;
      e.comment = it->second.comment;
      e.extra = it->second.extra;
      report->centralUsed = true;
      central.erase(it);
      break;
    }
  }

  Writer w(out);
  for (Member& m : members) {
    m.e.localOffset = w.pos();
    w.Put(qlzip::LocalHeader(m.e));
    w.Copy(in, m.dataStart, m.e.csize);
    if (m.e.flags & 8) w.Put(qlzip::DataDescriptor(m.e));
    report->kept.push_back(m.e.name);
    if (!m.checked) report->unchecked.push_back(m.e.name);
  }
  const uint64_t cdStart = w.pos();
  for (const Member& m : members) w.Put(qlzip::CentralHeader(m.e));
  std::string comment;
  SurvivingComment(in, &comment);
  w.Put(qlzip::EndRecord(members.size(), w.pos() - cdStart, cdStart, comment));
  return w.ok() ? RebuildResult::kOk : RebuildResult::kWriteFailed;
}

}  // namespace qlzipfix
