#include "archivers/arc/arc_format.h"

#include <cstring>
#include <memory>
#include <vector>

#include "archivers/lzh/le_read.h"

namespace arc {
namespace {

constexpr uint8_t kMarker = 0x1A;
constexpr uint8_t kRepeat = 0x90;  // RLE90: 0x90 n repeats the previous byte to n copies

using qlx::Get16;
using qlx::Get32;
using qlx::ReadAll;

// The final stage: counts, checks the size and the CRC, and buffers the writes.
class Output {
 public:
  Output(const WriteFn& out, uint32_t limit) : out_(out), limit_(limit) {}
  bool Put(uint8_t b) {
    if (total_ == limit_) return false;
    buf_[n_++] = b;
    ++total_;
    return n_ < sizeof buf_ || Flush();
  }
  bool Flush() {
    if (n_ == 0) return true;
    crc_ = lzh::Crc16(crc_, buf_, n_);
    bool ok = out_(buf_, n_);
    n_ = 0;
    if (!ok) write_failed_ = true;
    return ok;
  }
  uint32_t total() const { return total_; }
  bool full() const { return total_ == limit_; }
  uint16_t crc() const { return crc_; }
  bool write_failed() const { return write_failed_; }

 private:
  const WriteFn& out_;
  uint32_t limit_;
  uint32_t total_ = 0;
  uint16_t crc_ = 0;
  uint8_t buf_[16384];
  size_t n_ = 0;
  bool write_failed_ = false;
};

// RLE90 expansion in front of an Output.
class Unrepeat {
 public:
  explicit Unrepeat(Output& out) : out_(out) {}
  // True when the output has all its bytes and no repeat is pending.
  bool done() const { return out_.full() && !marker_; }
  bool Put(uint8_t b) {
    if (marker_) {
      marker_ = false;
      if (b == 0) {
        last_ = kRepeat;
        have_last_ = true;
        return out_.Put(kRepeat);
      }
      if (!have_last_) return false;
      for (int i = 1; i < b; ++i)
        if (!out_.Put(last_)) return false;
      return true;
    }
    if (b == kRepeat) {
      marker_ = true;
      return true;
    }
    last_ = b;
    have_last_ = true;
    return out_.Put(b);
  }

 private:
  Output& out_;
  uint8_t last_ = 0;
  bool have_last_ = false;
  bool marker_ = false;
};

class ByteIn {
 public:
  ByteIn(const ReadFn& in, uint32_t limit) : in_(in), left_(limit) {}
  // -1 at the end.
  int Get() {
    if (pos_ == end_) {
      if (left_ == 0) return -1;
      size_t want = left_ < sizeof buf_ ? left_ : sizeof buf_;
      size_t got = in_(buf_, want);
      if (got == 0 || got > want) {
        left_ = 0;
        return -1;
      }
      left_ -= static_cast<uint32_t>(got);
      pos_ = 0;
      end_ = got;
    }
    return buf_[pos_++];
  }

 private:
  const ReadFn& in_;
  uint32_t left_;
  uint8_t buf_[16384];
  size_t pos_ = 0, end_ = 0;
};

template <typename Sink>
DataResult Copy(ByteIn& in, Sink& sink) {
  for (int c; (c = in.Get()) >= 0;)
    if (!sink.Put(static_cast<uint8_t>(c))) return DataResult::kBadData;
  return DataResult::kOk;
}

// Squeezed: a node count, the nodes (two 16-bit children each: >= 0 another node, < 0 a leaf
// holding -(symbol + 1); symbol 256 ends the data), then the codes, low bit first. The end
// symbol is not always there: the data also ends when the output is complete (the last byte's
// spare bits are padding) or the input runs out (the size check then decides).
DataResult Unsqueeze(ByteIn& in, Unrepeat& sink) {
  int lo = in.Get(), hi = in.Get();
  if (lo < 0 || hi < 0) return DataResult::kBadData;
  const int count = lo | hi << 8;
  if (count > 256) return DataResult::kBadData;
  std::vector<int16_t> child(2 * static_cast<size_t>(count));
  for (int16_t& c : child) {
    int a = in.Get(), b = in.Get();
    if (a < 0 || b < 0) return DataResult::kBadData;
    c = static_cast<int16_t>(a | b << 8);
    if (c >= count || c < -257) return DataResult::kBadData;
  }
  if (count == 0) return DataResult::kOk;  // an empty member
  int node = 0;
  for (;;) {
    if (sink.done()) return DataResult::kOk;
    int byte = in.Get();
    if (byte < 0) return DataResult::kOk;
    for (int bit = 0; bit < 8; ++bit) {
      int next = child[2 * node + ((byte >> bit) & 1)];
      if (next >= 0) {
        node = next;
        continue;
      }
      int symbol = -(next + 1);
      if (symbol == 256) return DataResult::kOk;
      if (!sink.Put(static_cast<uint8_t>(symbol))) return DataResult::kBadData;
      if (sink.done()) return DataResult::kOk;
      node = 0;
    }
  }
}

// LZW with codes of 9 bits growing to `max_bits`; code 256 clears the table. Codes come in
// groups of as many bytes as the current code width; a change of width or a clear starts a new
// group (the rest of the current one is padding).
template <typename Sink>
DataResult Unlzw(ByteIn& in, int max_bits, Sink& sink) {
  constexpr int kClear = 256, kFirst = 257;
  const int max_max = 1 << max_bits;
  std::vector<uint16_t> prefix(max_max);
  std::vector<uint8_t> suffix(max_max), stack(max_max + 1);
  int n_bits = 9, max_code = (1 << 9) - 1, free_ent = kFirst;
  bool clear = false;
  uint8_t buf[16];
  int offset = 0, size = 0;  // in bits
  auto get_code = [&]() -> int {
    if (clear || offset >= size || free_ent > max_code) {
      if (free_ent > max_code) {
        ++n_bits;
        max_code = n_bits == max_bits ? max_max : (1 << n_bits) - 1;
      }
      if (clear) {
        n_bits = 9;
        max_code = (1 << 9) - 1;
        clear = false;
      }
      int got = 0;
      while (got < n_bits) {
        int c = in.Get();
        if (c < 0) break;
        buf[got++] = static_cast<uint8_t>(c);
      }
      if (got == 0) return -1;
      offset = 0;
      size = got * 8 - (n_bits - 1);
      if (size <= 0) return -1;
    }
    int code = 0;
    for (int i = 0; i < n_bits; ++i, ++offset)
      code |= ((buf[offset >> 3] >> (offset & 7)) & 1) << i;
    return code;
  };
  int old = get_code();
  if (old < 0) return DataResult::kOk;
  if (old > 255) return DataResult::kBadData;
  uint8_t fin = static_cast<uint8_t>(old);
  if (!sink.Put(fin)) return DataResult::kBadData;
  for (int code; (code = get_code()) >= 0;) {
    if (code == kClear) {
      clear = true;
      free_ent = kFirst - 1;
      code = get_code();
      if (code < 0) break;
    }
    const int in_code = code;
    size_t sp = 0;
    if (code > free_ent) return DataResult::kBadData;
    if (code == free_ent) {
      if (free_ent >= max_max) return DataResult::kBadData;
      stack[sp++] = fin;
      code = old;
    }
    while (code >= 256) {
      if (code >= free_ent || sp >= stack.size()) return DataResult::kBadData;
      stack[sp++] = suffix[code];
      code = prefix[code];
    }
    fin = static_cast<uint8_t>(code);
    if (!sink.Put(fin)) return DataResult::kBadData;
    while (sp > 0)
      if (!sink.Put(stack[--sp])) return DataResult::kBadData;
    if (free_ent < max_max) {
      prefix[free_ent] = static_cast<uint16_t>(old);
      suffix[free_ent] = fin;
      ++free_ent;
    }
    old = in_code;
  }
  return DataResult::kOk;
}

// Crunched the old way (methods 5 to 7): LZW with 12-bit codes, two codes in three bytes, high
// bits first, and no clear code. The string table has 4096 slots and a new string's code is the
// slot that hashing its (prefix, follower) pair finds: the hashed slot when it is free, else the
// first free slot from 101 past the end of the collision chain that starts there. The 256 single
// bytes are placed the same way, with no prefix. Methods 5 and 6 hash by squaring the 12-bit
// sum and keeping the middle bits; method 7 by multiplying.
class HashedTable {
 public:
  static constexpr unsigned kSize = 4096;
  static constexpr uint16_t kNoPrefix = 0xFFFF;
  using Hash = unsigned (*)(unsigned prefix, unsigned follower);

  explicit HashedTable(Hash hash) : hash_(hash) {
    for (unsigned c = 0; c < 256; ++c) Add(kNoPrefix, static_cast<uint8_t>(c));
  }
  bool full() const { return count_ == kSize; }
  // The slot the pair goes into; the table must not be full.
  unsigned Add(uint16_t prefix, uint8_t follower) {
    unsigned at = hash_(prefix, follower);
    if (slot_[at].used) {
      while (slot_[at].next) at = slot_[at].next;
      unsigned free_at = (at + 101) & (kSize - 1);
      while (slot_[free_at].used) free_at = (free_at + 1) & (kSize - 1);
      slot_[at].next = static_cast<uint16_t>(free_at);  // slot 0 can end a chain only
      at = free_at;
    }
    slot_[at] = Slot{true, 0, prefix, follower};
    ++count_;
    return at;
  }
  bool used(unsigned code) const { return slot_[code].used; }
  uint16_t prefix(unsigned code) const { return slot_[code].prefix; }
  uint8_t follower(unsigned code) const { return slot_[code].follower; }

  static unsigned SquareHash(unsigned prefix, unsigned follower) {
    uint32_t key = ((prefix + follower) | 0x800) & 0xFFFF;
    return (key * key >> 6) & (kSize - 1);
  }
  static unsigned MultiplyHash(unsigned prefix, unsigned follower) {
    return ((prefix + follower) * 15073u) & (kSize - 1);
  }

 private:
  struct Slot {
    bool used;
    uint16_t next;
    uint16_t prefix;
    uint8_t follower;
  };
  Hash hash_;
  Slot slot_[kSize] = {};
  unsigned count_ = 0;
};

// A code the table does not hold yet is only valid as the string being defined by this very
// code (the previous string and its own first byte), which must land in that slot.
template <typename Sink>
DataResult UncrunchOld(ByteIn& in, HashedTable::Hash hash, Sink& sink) {
  std::unique_ptr<HashedTable> table(new HashedTable(hash));
  int pending = -1;  // the low half of the middle byte of a pair of codes
  auto get_code = [&]() -> int {
    int a = in.Get();
    if (a < 0) return -1;
    if (pending >= 0) {
      int code = pending << 8 | a;
      pending = -1;
      return code;
    }
    int b = in.Get();
    if (b < 0) return -1;  // half a code: the padding at the end
    pending = b & 0x0F;
    return a << 4 | b >> 4;
  };
  int old = get_code();
  if (old < 0) return DataResult::kOk;
  if (!table->used(old) || table->prefix(old) != HashedTable::kNoPrefix) return DataResult::kBadData;
  uint8_t first = table->follower(old);
  if (!sink.Put(first)) return DataResult::kBadData;
  uint8_t stack[HashedTable::kSize];
  for (int code; (code = get_code()) >= 0;) {
    bool added = false;
    if (!table->used(code)) {
      if (table->full() || table->Add(static_cast<uint16_t>(old), first) != static_cast<unsigned>(code))
        return DataResult::kBadData;
      added = true;
    }
    size_t sp = 0;
    unsigned c = static_cast<unsigned>(code);
    while (table->prefix(c) != HashedTable::kNoPrefix) {
      if (sp == sizeof stack) return DataResult::kBadData;
      stack[sp++] = table->follower(c);
      c = table->prefix(c);
    }
    first = table->follower(c);
    if (!sink.Put(first)) return DataResult::kBadData;
    while (sp > 0)
      if (!sink.Put(stack[--sp])) return DataResult::kBadData;
    if (!added && !table->full()) table->Add(static_cast<uint16_t>(old), first);
    old = code;
  }
  return DataResult::kOk;
}

}  // namespace

HeaderResult ReadHeader(const ReadFn& in, Entry* e) {
  *e = Entry();
  uint8_t h[29];
  size_t got = in(h, 2);
  if (got == 0) return HeaderResult::kEnd;
  if (got == 1 && !ReadAll(in, h + 1, 1)) return HeaderResult::kTruncated;
  if (h[0] != kMarker) return HeaderResult::kNoMarker;
  e->method = h[1];
  if (e->method == 0) return HeaderResult::kEnd;
  const size_t rest = e->method == 1 ? 23 : 27;
  if (!ReadAll(in, h + 2, rest)) return HeaderResult::kTruncated;
  size_t n = 0;
  while (n < 13 && h[2 + n]) ++n;
  e->name.assign(reinterpret_cast<const char*>(h + 2), n);
  e->comp_size = Get32(h + 15);
  e->date = Get16(h + 19);
  e->time = Get16(h + 21);
  e->crc = Get16(h + 23);
  e->orig_size = e->method == 1 ? e->comp_size : Get32(h + 25);
  return HeaderResult::kOk;
}

const char* HeaderMessage(HeaderResult r) {
  switch (r) {
    case HeaderResult::kOk: return "ok";
    case HeaderResult::kEnd: return "end of archive";
    case HeaderResult::kTruncated: return "the archive ends inside a header";
    case HeaderResult::kNoMarker: return "damaged archive (no header mark)";
  }
  return "?";
}

bool MethodSupported(int m) { return m >= 1 && m <= 9; }

const char* MethodName(int m) {
  switch (m) {
    case 1:
    case 2: return "stored";
    case 3: return "packed";
    case 4: return "squeezed";
    case 5:
    case 6:
    case 7:
    case 8: return "crunched";
    case 9: return "squashed";
    default: return "unknown";
  }
}

DataResult DecodeData(const Entry& e, const ReadFn& read, const WriteFn& write) {
  if (!MethodSupported(e.method)) return DataResult::kUnsupported;
  ByteIn in(read, e.comp_size);
  Output out(write, e.orig_size);
  Unrepeat rle(out);
  DataResult r = DataResult::kOk;
  switch (e.method) {
    case 1:
    case 2: r = Copy(in, out); break;
    case 3: r = Copy(in, rle); break;
    case 4: r = Unsqueeze(in, rle); break;
    case 5: r = UncrunchOld(in, HashedTable::SquareHash, out); break;
    case 6: r = UncrunchOld(in, HashedTable::SquareHash, rle); break;
    case 7: r = UncrunchOld(in, HashedTable::MultiplyHash, rle); break;
    case 8: {
      int bits = in.Get();
      r = bits < 9 || bits > 12 ? DataResult::kBadData : Unlzw(in, bits, rle);
      break;
    }
    case 9: r = Unlzw(in, 13, out); break;
  }
  if (!out.Flush() || out.write_failed()) return DataResult::kWriteError;
  if (r != DataResult::kOk) return r;
  if (out.total() != e.orig_size) return DataResult::kBadData;
  return out.crc() == e.crc ? DataResult::kOk : DataResult::kBadCrc;
}

const char* DataMessage(DataResult r) {
  switch (r) {
    case DataResult::kOk: return "ok";
    case DataResult::kBadData: return "damaged data";
    case DataResult::kBadCrc: return "CRC error";
    case DataResult::kWriteError: return "write error";
    case DataResult::kUnsupported: return "unsupported method";
  }
  return "?";
}

}  // namespace arc
