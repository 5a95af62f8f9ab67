#include "archivers/lzh/tests/lzh_writer.h"

#include <algorithm>

#include "archivers/lzh/lzh_format.h"

namespace lzhtest {
namespace {

class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = static_cast<uint8_t>(acc_ << 1 | ((value >> i) & 1));
      if (++n_ == 8) {
        out_ += static_cast<char>(acc_);
        acc_ = 0;
        n_ = 0;
      }
    }
  }
  std::string Finish() {
    if (n_) Put(0, 8 - n_);
    return out_;
  }

 private:
  std::string out_;
  uint8_t acc_ = 0;
  int n_ = 0;
};

// Canonical codes for the given lengths, as the decoder builds them.
std::vector<uint32_t> Codes(const std::vector<int>& len) {
  std::vector<uint32_t> code(len.size());
  uint32_t next[18] = {}, c = 0;
  int count[18] = {};
  for (int l : len) ++count[l];
  count[0] = 0;
  for (int l = 1; l <= 16; ++l) {
    next[l] = c;
    c = (c + count[l]) << 1;
  }
  for (size_t s = 0; s < len.size(); ++s)
    if (len[s]) code[s] = next[len[s]]++;
  return code;
}

void PutPtLen(BitWriter& bw, const std::vector<int>& len, int nbit, int special) {
  bw.Put(static_cast<uint32_t>(len.size()), nbit);
  for (size_t i = 0; i < len.size(); ++i) {
    int l = len[i];
    if (l < 7) {
      bw.Put(static_cast<uint32_t>(l), 3);
    } else {
      bw.Put(7, 3);
      for (int k = 7; k < l; ++k) bw.Put(1, 1);
      bw.Put(0, 1);
    }
    if (static_cast<int>(i) + 1 == special) {
      // Zeros after the third length: count them (at most 3) and skip them.
      int z = 0;
      while (z < 3 && i + 1 + z < len.size() && len[i + 1 + z] == 0) ++z;
      bw.Put(static_cast<uint32_t>(z), 2);
      i += z;
    }
  }
}

struct Symbol {
  int c;          // 0..255 literal, 256.. length code
  uint32_t dist;  // distance - 1
};

}  // namespace

std::string EncodeLh(int method, const std::string& data, int block_symbols) {
  const int np = method == 5 ? 14 : method == 6 ? 16 : 17;
  const int pbit = method == 5 ? 4 : 5;
  const size_t window = method == 5 ? 8192 : method == 6 ? 32768 : 65536;
  // Fixed shapes: literal/length codes of 8 and 9 bits, position codes of 3 to 5 bits.
  std::vector<int> c_len(510, 9);
  c_len[0] = c_len[1] = 8;
  std::vector<int> p_len(np, 4);
  if (np == 14) p_len[0] = p_len[1] = 3;
  if (np == 17) p_len[15] = p_len[16] = 5;
  std::vector<int> t_len(12, 0);
  t_len[10] = t_len[11] = 1;
  const auto c_code = Codes(c_len), p_code = Codes(p_len), t_code = Codes(t_len);

  // Greedy LZ77 with a hash chain.
  std::vector<Symbol> syms;
  const size_t n = data.size();
  std::vector<int64_t> head(1 << 16, -1), prev(n, -1);
  auto hash = [&](size_t i) {
    return (static_cast<uint8_t>(data[i]) << 8 ^ static_cast<uint8_t>(data[i + 1]) << 4 ^
            static_cast<uint8_t>(data[i + 2])) & 0xFFFF;
  };
  size_t i = 0;
  while (i < n) {
    size_t best_len = 0, best_dist = 0;
    if (i + 3 <= n) {
      int64_t cand = head[hash(i)];
      for (int tries = 0; cand >= 0 && tries < 16; ++tries, cand = prev[cand]) {
        size_t d = i - static_cast<size_t>(cand);
        if (d >= window) break;
        size_t l = 0;
        while (l < 256 && i + l < n && data[cand + l] == data[i + l]) ++l;
        if (l > best_len) {
          best_len = l;
          best_dist = d;
        }
      }
    }
    size_t step = best_len >= 3 ? best_len : 1;
    if (best_len >= 3) {
      syms.push_back({static_cast<int>(best_len) + 253, static_cast<uint32_t>(best_dist - 1)});
    } else {
      syms.push_back({static_cast<uint8_t>(data[i]), 0});
    }
    for (size_t k = 0; k < step; ++k, ++i) {
      if (i + 3 <= n) {
        size_t h = hash(i);
        prev[i] = head[h];
        head[h] = static_cast<int64_t>(i);
      }
    }
  }

  BitWriter bw;
  for (size_t at = 0; at < syms.size();) {
    size_t count = std::min<size_t>(block_symbols, syms.size() - at);
    bw.Put(static_cast<uint32_t>(count), 16);
    PutPtLen(bw, t_len, 5, 3);
    bw.Put(510, 9);
    for (int l : c_len) bw.Put(t_code[l + 2], t_len[l + 2]);
    PutPtLen(bw, p_len, pbit, -1);
    for (size_t k = at; k < at + count; ++k) {
      const Symbol& s = syms[k];
      bw.Put(c_code[s.c], c_len[s.c]);
      if (s.c < 256) continue;
      int p = 0;
      while ((s.dist >> p) != 0) ++p;
      bw.Put(p_code[p], p_len[p]);
      if (p > 1) bw.Put(s.dist - (1u << (p - 1)), p - 1);
    }
    at += count;
  }
  return bw.Finish();
}

uint16_t Crc16(const std::string& d) {
  return lzh::Crc16(0, reinterpret_cast<const uint8_t*>(d.data()), d.size());
}

namespace {

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// An extended header with its size in front: two bytes (levels 1 and 2) or four (level 3).
std::string Ext(uint8_t type, const std::string& data, int size_bytes = 2) {
  std::string e;
  if (size_bytes == 4) Put32(e, static_cast<uint32_t>(data.size() + 5));
  else Put16(e, static_cast<uint32_t>(data.size() + 3));
  e += static_cast<char>(type);
  e += data;
  return e;
}

}  // namespace

std::string MakeArchive(const std::vector<Member>& members, int level) {
  std::string out;
  for (const Member& m : members) {
    std::string packed = m.raw;
    if (packed.empty()) {
      if (m.method == "-lh5-") packed = EncodeLh(5, m.data);
      else if (m.method == "-lh6-") packed = EncodeLh(6, m.data);
      else if (m.method == "-lh7-") packed = EncodeLh(7, m.data);
      else if (m.method == "-lh0-") packed = m.data;
    }
    const uint16_t crc = Crc16(m.data);
    const uint32_t dos_time = (44u << 25) | (6u << 21) | (15u << 16) | (12u << 11) | (30u << 5);
    std::string dir, file = m.name;
    size_t slash = m.name.rfind('/');
    if (slash != std::string::npos) {
      dir = m.name.substr(0, slash + 1);
      file = m.name.substr(slash + 1);
    }
    if (level == 0 || level == 1) {
      std::string name = level == 0 ? m.name : file;
      if (level == 0) std::replace(name.begin(), name.end(), '/', '\\');
      std::string exts;
      if (level == 1 && !dir.empty()) {
        std::string d = dir;
        std::replace(d.begin(), d.end(), '/', '\xFF');
        exts = Ext(0x02, d).substr(2);  // the size field travels at the end of the previous part
      }
      // Chain: each part ends with the size of the next one.
      std::string body;
      body += m.method;
      Put32(body, static_cast<uint32_t>(packed.size() + (level == 1 && !exts.empty() ? exts.size() + 2 : 0)));
      Put32(body, static_cast<uint32_t>(m.data.size()));
      Put32(body, dos_time);
      body += static_cast<char>(0x20);
      body += static_cast<char>(level);
      body += static_cast<char>(name.size());
      body += name;
      Put16(body, crc);
      if (level == 1) {
        body += 'U';
        Put16(body, exts.empty() ? 0 : static_cast<uint32_t>(exts.size() + 2));
        if (!exts.empty()) Put16(exts, 0);
      }
      uint8_t sum = 0;
      for (char c : body) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
      out += static_cast<char>(body.size());
      out += static_cast<char>(sum);
      out += body;
      out += exts;
    } else {
      // Level 2: a 16-bit total size first and 16-bit extended sizes; level 3: the word size (4)
      // first, the 32-bit total after the system byte, and 32-bit extended sizes.
      const int sb = level == 3 ? 4 : 2;
      std::string h;
      Put16(h, level == 3 ? 4 : 0);  // level 2: total size, filled in below
      h += m.method;
      Put32(h, static_cast<uint32_t>(packed.size()));
      Put32(h, static_cast<uint32_t>(m.data.size()));
      Put32(h, 1400000000u);
      h += static_cast<char>(0x20);
      h += static_cast<char>(level);
      Put16(h, crc);
      h += 'U';
      if (level == 3) Put32(h, 0);  // total size, filled in below
      std::string exts = Ext(0x00, std::string(2, '\0'), sb);
      const size_t crc_at = h.size() + sb + 1;
      if (!file.empty()) exts += Ext(0x01, file, sb);
      if (!dir.empty()) {
        std::string d = dir;
        std::replace(d.begin(), d.end(), '/', '\xFF');
        exts += Ext(0x02, d, sb);
      }
      if (!m.unix_mode.empty()) exts += Ext(0x50, m.unix_mode, sb);
      h += exts;
      if (level == 3) Put32(h, 0);
      else Put16(h, 0);
      if (level == 2 && (h.size() & 0xFF) == 0) h += '\0';
      const size_t size_at = level == 3 ? 24 : 0;
      for (int i = 0; i < (level == 3 ? 4 : 2); ++i) h[size_at + i] = static_cast<char>((h.size() >> (8 * i)) & 0xFF);
      uint16_t hcrc = Crc16(h);
      h[crc_at] = static_cast<char>(hcrc & 0xFF);
      h[crc_at + 1] = static_cast<char>(hcrc >> 8);
      out += h;
    }
    out += packed;
  }
  out += '\0';
  return out;
}

}  // namespace lzhtest
