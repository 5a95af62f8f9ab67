#include "archivers/zip/tests/old_method_writer.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <queue>
#include <unordered_map>

#include "archivers/zip/zipcore.h"

namespace oldzip {

namespace {

class BitWriter {
 public:
  // Appends the low `n` bits of `v`, least significant first.
  void Put(uint32_t v, int n) {
    for (int i = 0; i < n; ++i) {
      if (used_ == 0) out_.push_back(0);
      if ((v >> i) & 1) out_.back() = static_cast<uint8_t>(out_.back() | 1 << used_);
      used_ = (used_ + 1) & 7;
    }
  }
  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<uint8_t> out_;
  int used_ = 0;
};

// Greedy LZ77 over hash chains of three-byte prefixes.
class Matcher {
 public:
  Matcher(const std::string& d, uint32_t maxDist) : d_(d), maxDist_(maxDist), prev_(d.size(), -1) {}
  // Longest match at `pos` no longer than maxLen; dist 0 when there is none of minLen.
  void Find(size_t pos, uint32_t minLen, uint32_t maxLen, uint32_t& dist, uint32_t& len) {
    dist = len = 0;
    if (pos + 3 > d_.size()) return;
    maxLen = static_cast<uint32_t>(std::min<size_t>(maxLen, d_.size() - pos));
    int chain = 0;
    for (long p = Head(pos); p >= 0 && pos - static_cast<size_t>(p) <= maxDist_ && chain < 256; p = prev_[static_cast<size_t>(p)], ++chain) {
      uint32_t l = 0;
      while (l < maxLen && d_[static_cast<size_t>(p) + l] == d_[pos + l]) ++l;
      if (l >= minLen && l > len) {
        len = l;
        dist = static_cast<uint32_t>(pos - static_cast<size_t>(p));
      }
    }
  }
  // Enters positions up to (not including) `end` into the chains.
  void Insert(size_t end) {
    for (; next_ < end; ++next_) {
      if (next_ + 3 > d_.size()) continue;
      uint32_t h = Hash(next_);
      auto it = heads_.find(h);
      prev_[next_] = it == heads_.end() ? -1 : it->second;
      heads_[h] = static_cast<long>(next_);
    }
  }

 private:
  uint32_t Hash(size_t p) const {
    return static_cast<uint8_t>(d_[p]) | static_cast<uint8_t>(d_[p + 1]) << 8 | static_cast<uint32_t>(static_cast<uint8_t>(d_[p + 2])) << 16;
  }
  long Head(size_t pos) {
    Insert(pos);
    auto it = heads_.find(Hash(pos));
    return it == heads_.end() ? -1 : it->second;
  }
  const std::string& d_;
  uint32_t maxDist_;
  std::vector<long> prev_;
  std::unordered_map<uint32_t, long> heads_;
  size_t next_ = 0;
};

uint8_t At(const std::string& s, size_t i) { return static_cast<uint8_t>(s[i]); }

}  // namespace

// Shrink ----------------------------------------------------------------------------------------

std::vector<uint8_t> Shrink(const std::string& data, const ShrinkOptions& options) {
  // The decoder's table, kept in step: the same codes made in the same order, the same clears.
  constexpr int kCodes = 8192, kFirst = 257;
  BitWriter bw;
  if (data.empty()) return bw.Take();
  std::vector<int> parent(kCodes, 0);
  std::vector<uint8_t> suffix(kCodes, 0), inUse(kCodes, 0);
  for (int c = 0; c < 256; ++c) inUse[c] = 1;
  std::unordered_map<uint32_t, int> table;  // parent << 8 | byte -> code in use
  int nextFree = kFirst, limit = kFirst, width = 9, sinceClear = 0;
  auto emit = [&](int code) {
    while (code >= (1 << width)) {
      bw.Put(256, width);
      bw.Put(1, width);
      ++width;
    }
    bw.Put(static_cast<uint32_t>(code), width);
  };
  auto lowestFree = [&] {
    while (nextFree < kCodes && inUse[nextFree]) ++nextFree;
  };
  // Codes below `limit` that no code in use there extends.
  auto leaves = [&] {
    std::vector<uint8_t> extended(kCodes, 0);
    for (int c = kFirst; c < limit; ++c)
      if (inUse[c]) extended[static_cast<size_t>(parent[c])] = 1;
    std::vector<int> out;
    for (int c = kFirst; c < limit; ++c)
      if (inUse[c] && !extended[c]) out.push_back(c);
    return out;
  };
  auto clear = [&](const std::vector<int>& freed) {
    bw.Put(256, width);
    bw.Put(2, width);
    for (int c : freed) {
      table.erase(static_cast<uint32_t>(parent[c]) << 8 | suffix[c]);
      inUse[c] = 0;
    }
    nextFree = kFirst;
    lowestFree();
    limit = nextFree;
    sinceClear = 0;
  };
  int cur = At(data, 0);
  for (size_t i = 1; i <= data.size(); ++i) {
    if (i < data.size()) {
      auto it = table.find(static_cast<uint32_t>(cur) << 8 | At(data, i));
      if (it != table.end()) {
        cur = it->second;
        continue;
      }
    }
    emit(cur);
    if (i == data.size()) break;
    ++sinceClear;
    // A full table must be cleared before the next code is made. Near the end, and on request,
    // a clear waits for a moment when the code just sent survives it: the code made next
    // extends that one, and could otherwise land on the freed code itself.
    bool full = nextFree >= kCodes;
    bool want = nextFree >= kCodes - 256 || (options.clearEvery && sinceClear >= options.clearEvery);
    if (full || want) {
      std::vector<int> freed = leaves();
      bool survives = std::find(freed.begin(), freed.end(), cur) == freed.end();
      if (full || survives) clear(freed);
    }
    if (nextFree < kCodes) {
      parent[nextFree] = cur;
      suffix[nextFree] = At(data, i);
      inUse[nextFree] = 1;
      table[static_cast<uint32_t>(cur) << 8 | At(data, i)] = nextFree;
      limit = nextFree + 1;
      lowestFree();
    }
    cur = At(data, i);
  }
  return bw.Take();
}

// Reduce ----------------------------------------------------------------------------------------

std::vector<uint8_t> Reduce(const std::string& data, int factor, int maxFollowers) {
  // The escaped byte stream: literals (144 doubled as 144 0) and back references.
  const uint32_t mask = 0xFFu >> factor, maxDist = 256u << factor, maxLen = mask + 255 + 3;
  std::vector<uint8_t> mid;
  Matcher m(data, maxDist);
  for (size_t i = 0; i < data.size();) {
    uint32_t dist, len;
    m.Find(i, 3, maxLen, dist, len);
    // Length 3 within 256 bytes would need a zero code byte, which means a literal 144.
    if (len == 3 && dist <= 256) len = 0;
    if (len >= 3) {
      uint32_t high = (dist - 1) >> 8, l = len - 3;
      mid.push_back(144);
      if (l < mask) {
        mid.push_back(static_cast<uint8_t>(high << (8 - factor) | l));
      } else {
        mid.push_back(static_cast<uint8_t>(high << (8 - factor) | mask));
        mid.push_back(static_cast<uint8_t>(l - mask));
      }
      mid.push_back(static_cast<uint8_t>(dist - 1));
      i += len;
    } else {
      mid.push_back(At(data, i));
      if (At(data, i) == 144) mid.push_back(0);
      ++i;
    }
  }
  // Follower sets: the most frequent successors of each byte in that stream.
  std::vector<std::map<int, int>> counts(256);
  int last = 0;
  for (uint8_t c : mid) {
    ++counts[last][c];
    last = c;
  }
  std::vector<std::vector<uint8_t>> sets(256);
  for (int j = 0; j < 256; ++j) {
    std::vector<std::pair<int, int>> byCount;
    for (auto& kv : counts[j]) byCount.push_back({-kv.second, kv.first});
    std::sort(byCount.begin(), byCount.end());
    for (size_t k = 0; k < byCount.size() && static_cast<int>(k) < maxFollowers; ++k)
      sets[j].push_back(static_cast<uint8_t>(byCount[k].second));
  }
  BitWriter bw;
  for (int j = 255; j >= 0; --j) {
    bw.Put(static_cast<uint32_t>(sets[j].size()), 6);
    for (uint8_t c : sets[j]) bw.Put(c, 8);
  }
  last = 0;
  for (uint8_t c : mid) {
    const auto& s = sets[last];
    if (s.empty()) {
      bw.Put(c, 8);
    } else {
      auto it = std::find(s.begin(), s.end(), c);
      if (it == s.end()) {
        bw.Put(1, 1);
        bw.Put(c, 8);
      } else {
        int bits = 1;
        while ((1u << bits) < s.size()) ++bits;
        bw.Put(0, 1);
        bw.Put(static_cast<uint32_t>(it - s.begin()), bits);
      }
    }
    last = c;
  }
  return bw.Take();
}

// Implode ---------------------------------------------------------------------------------------

namespace {

// Code lengths (1-16) for every value, from frequencies (every value gets a code).
std::vector<int> CodeLengths(std::vector<uint64_t> freq) {
  const size_t n = freq.size();
  for (;;) {
    for (auto& f : freq) f += 1;
    // Huffman: merge the two lightest nodes; a node's depth grows with each merge above it.
    std::vector<int> parent(2 * n, -1);
    using Node = std::pair<uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> q;
    for (size_t i = 0; i < n; ++i) q.push({freq[i], static_cast<int>(i)});
    int next = static_cast<int>(n);
    while (q.size() > 1) {
      Node a = q.top();
      q.pop();
      Node b = q.top();
      q.pop();
      parent[static_cast<size_t>(a.second)] = parent[static_cast<size_t>(b.second)] = next;
      q.push({a.first + b.first, next++});
    }
    std::vector<int> lens(n);
    int longest = 0;
    for (size_t i = 0; i < n; ++i) {
      int d = 0;
      for (int p = parent[i]; p >= 0; p = parent[static_cast<size_t>(p)]) ++d;
      lens[i] = d;
      longest = std::max(longest, d);
    }
    if (longest <= 16) return lens;
    for (auto& f : freq) f >>= 1;
  }
}

struct SfCode {
  uint32_t code;
  int len;
};

// The codes that the lengths stand for: dealt out from the longest length up.
std::vector<SfCode> Codes(const std::vector<int>& lens) {
  int n = static_cast<int>(lens.size());
  std::vector<int> order(lens.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lens[static_cast<size_t>(a)] < lens[static_cast<size_t>(b)]; });
  std::vector<SfCode> codes(lens.size());
  uint32_t code = 0, step = 0;
  int lastLen = 0;
  for (int i = n - 1; i >= 0; --i) {
    int v = order[static_cast<size_t>(i)], len = lens[static_cast<size_t>(v)];
    code += step;
    if (len != lastLen) {
      lastLen = len;
      step = 1u << (16 - len);
    }
    codes[static_cast<size_t>(v)] = {code >> (16 - len), len};
  }
  return codes;
}

void PutTree(BitWriter& bw, const std::vector<int>& lens) {
  std::vector<uint8_t> runs;
  for (size_t i = 0; i < lens.size();) {
    size_t j = i;
    while (j < lens.size() && j - i < 16 && lens[j] == lens[i]) ++j;
    runs.push_back(static_cast<uint8_t>((j - i - 1) << 4 | static_cast<size_t>(lens[i] - 1)));
    i = j;
  }
  bw.Put(static_cast<uint32_t>(runs.size() - 1), 8);
  for (uint8_t r : runs) bw.Put(r, 8);
}

// Codes go out most significant bit first.
void PutCode(BitWriter& bw, const SfCode& c) {
  for (int i = c.len - 1; i >= 0; --i) bw.Put((c.code >> i) & 1, 1);
}

struct Token {
  uint32_t dist, len;  // dist 0: a literal in len
};

}  // namespace

std::vector<uint8_t> Implode(const std::string& data, bool bigDictionary, bool literalTree) {
  const int lowBits = bigDictionary ? 7 : 6;
  const uint32_t minMatch = literalTree ? 3 : 2, maxLen = minMatch + 63 + 255;
  Matcher m(data, 64u << lowBits);
  std::vector<Token> tokens;
  std::vector<uint64_t> litFreq(256), lenFreq(64), distFreq(64);
  for (size_t i = 0; i < data.size();) {
    uint32_t dist, len;
    m.Find(i, std::max(minMatch, 3u), maxLen, dist, len);
    // Matches of two, which the chains do not find, are tried one step back.
    if (!dist && minMatch == 2 && i >= 1 && i + 2 <= data.size())
      for (uint32_t d = 1; d <= std::min<size_t>(i, 64); ++d)
        if (data[i - d] == data[i] && data[i - d + 1] == data[i + 1]) {
          dist = d;
          len = 2;
          break;
        }
    if (dist) {
      tokens.push_back({dist, len});
      ++lenFreq[std::min<uint32_t>(len - minMatch, 63)];
      ++distFreq[(dist - 1) >> lowBits];
      i += len;
    } else {
      tokens.push_back({0, At(data, i)});
      ++litFreq[At(data, i)];
      ++i;
    }
  }
  std::vector<int> litLens = CodeLengths(litFreq), lenLens = CodeLengths(lenFreq), distLens = CodeLengths(distFreq);
  std::vector<SfCode> litCodes = Codes(litLens), lenCodes = Codes(lenLens), distCodes = Codes(distLens);
  BitWriter bw;
  if (literalTree) PutTree(bw, litLens);
  PutTree(bw, lenLens);
  PutTree(bw, distLens);
  for (const Token& t : tokens) {
    if (!t.dist) {
      bw.Put(1, 1);
      if (literalTree) PutCode(bw, litCodes[t.len]);
      else bw.Put(t.len, 8);
      continue;
    }
    bw.Put(0, 1);
    bw.Put((t.dist - 1) & ((1u << lowBits) - 1), lowBits);
    PutCode(bw, distCodes[(t.dist - 1) >> lowBits]);
    uint32_t l = t.len - minMatch;
    PutCode(bw, lenCodes[std::min<uint32_t>(l, 63)]);
    if (l >= 63) bw.Put(l - 63, 8);
  }
  return bw.Take();
}

// Archives --------------------------------------------------------------------------------------

std::vector<uint8_t> Pack(const Member& m, uint16_t& flags) {
  flags = 0;
  switch (m.method) {
    case 1: return Shrink(m.data, ShrinkOptions{m.clearEvery});
    case 2: case 3: case 4: case 5: return Reduce(m.data, m.method - 1, m.maxFollowers);
    default:
      flags = static_cast<uint16_t>((m.bigDictionary ? 2 : 0) | (m.literalTree ? 4 : 0));
      return Implode(m.data, m.bigDictionary, m.literalTree);
  }
}

std::string MakeZip(const std::vector<Member>& members) {
  std::vector<uint8_t> out, central;
  for (const Member& m : members) {
    qlzip::Entry e;
    e.name = m.name;
    e.madeBy = 10;
    e.needed = 10;
    e.method = m.method;
    std::vector<uint8_t> packed = Pack(m, e.flags);
    e.dosTime = 0x1ACF6000;  // 1993-06-15 12:00
    e.crc = qlzip::Crc32(0, m.data.data(), m.data.size());
    e.usize = m.data.size();
    e.externalAttr = qlzip::kArchive;
    if (!m.password.empty()) {
      e.flags |= 1;
      qlzip::ZipCrypto zc(m.password);
      std::vector<uint8_t> head = {0x51, 0x75, 0x69, 0x6C, 0x6C, 0x6F, 0x6E, 0x20, 0x31, 0x2E, 0x30,
                                   static_cast<uint8_t>(e.crc >> 24)};
      zc.Encrypt(head.data(), head.size());
      zc.Encrypt(packed.data(), packed.size());
      packed.insert(packed.begin(), head.begin(), head.end());
    }
    e.csize = packed.size();
    e.localOffset = out.size();
    std::vector<uint8_t> lh = qlzip::LocalHeader(e);
    out.insert(out.end(), lh.begin(), lh.end());
    out.insert(out.end(), packed.begin(), packed.end());
    std::vector<uint8_t> ch = qlzip::CentralHeader(e);
    central.insert(central.end(), ch.begin(), ch.end());
  }
  std::vector<uint8_t> end = qlzip::EndRecord(members.size(), central.size(), out.size(), "");
  out.insert(out.end(), central.begin(), central.end());
  out.insert(out.end(), end.begin(), end.end());
  return std::string(out.begin(), out.end());
}

namespace {

std::string Prose(size_t n, unsigned seed) {
  static const char* const words[] = {"archive ", "shrink ", "reduce ", "implode ", "PKZIP ", "1.10\r\n",
                                      "follower ", "set ", "\x90", "tree ", "Shannon-Fano "};
  std::string s;
  unsigned x = seed * 2654435761u + 7;
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 11];
  }
  s.resize(n);
  return s;
}

std::string Binary(size_t n, unsigned seed) {
  std::string s(n, '\0');
  unsigned x = seed | 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    // Mostly noise with repeats, so that both literals and matches occur.
    s[i] = (i > 300 && (x & 3) == 0) ? s[i - 1 - (x >> 8) % 300] : static_cast<char>(x >> 11);
  }
  return s;
}

}  // namespace

std::vector<Member> FixtureMembers() {
  std::vector<Member> v;
  auto add = [&](const std::string& name, const std::string& data, uint16_t method) -> Member& {
    Member m;
    m.name = name;
    m.data = data;
    m.method = method;
    v.push_back(m);
    return v.back();
  };
  add("SHRUNK.TXT", Prose(3000, 1), 1);
  add("CLEARED.TXT", Prose(3000, 2), 1).clearEvery = 100;
  for (int f = 1; f <= 4; ++f) add("REDUCE" + std::to_string(f) + ".TXT", Prose(2500, 10u + static_cast<unsigned>(f)), static_cast<uint16_t>(1 + f));
  add("FOLLOW1.BIN", Binary(1500, 3), 5).maxFollowers = 1;
  for (int big = 0; big <= 1; ++big)
    for (int lit = 0; lit <= 1; ++lit) {
      Member& m = add(std::string("IMP") + (big ? "8K" : "4K") + (lit ? "LIT" : "") + ".TXT",
                      Prose(5000, 20u + static_cast<unsigned>(2 * big + lit)) + Binary(1000, 7), 6);
      m.bigDictionary = big;
      m.literalTree = lit;
    }
  add("EMPTY.TXT", "", 1);
  add("SUB/ONEBYTE.TXT", "x", 6).literalTree = true;
  return v;
}

}  // namespace oldzip
