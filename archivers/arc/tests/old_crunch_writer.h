// Test-side writer of ARC's old crunched members (methods 5 to 7), which today's arc no longer
// writes: RLE90 packing (6 and 7) and 12-bit LZW whose codes are the slots of a hashed string
// table. Written from the format's description on its own, without the extractor's code; Debian's
// arc judges its output in the interop tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace arctest {

class OldCrunchTable {
 public:
  static constexpr unsigned kNone = 0xFFFF;
  explicit OldCrunchTable(bool multiply) : multiply_(multiply), used_(4096), next_(4096), pred_(4096), foll_(4096) {
    for (unsigned c = 0; c < 256; ++c) Add(kNone, c);
  }
  unsigned Hash(unsigned p, unsigned f) const {
    if (multiply_) return ((p + f) * 15073u) % 4096;
    unsigned long long k = ((p + f) | 0x800) % 65536;
    return static_cast<unsigned>((k * k / 64) % 4096);
  }
  void Add(unsigned p, unsigned f) {
    unsigned i = Hash(p, f);
    if (used_[i]) {
      while (next_[i] != 0) i = next_[i];
      unsigned j = (i + 101) % 4096;
      while (used_[j]) j = (j + 1) % 4096;
      next_[i] = j;
      i = j;
    }
    used_[i] = true;
    next_[i] = 0;
    pred_[i] = p;
    foll_[i] = f;
    ++entries_;
  }
  // The slot of (p, f), or -1.
  int Find(unsigned p, unsigned f) const {
    for (unsigned i = Hash(p, f);;) {
      if (used_[i] && pred_[i] == p && foll_[i] == f) return static_cast<int>(i);
      i = next_[i];
      if (i == 0) return -1;
    }
  }
  bool Full() const { return entries_ == 4096; }

 private:
  bool multiply_;
  std::vector<bool> used_;
  std::vector<unsigned> next_, pred_, foll_;
  unsigned entries_ = 0;
};

// Runs of 3 to 255 bytes become byte, 0x90, count; 0x90 itself becomes 0x90, 0.
inline std::string PackRuns(const std::string& d) {
  std::string out;
  for (size_t i = 0; i < d.size();) {
    size_t n = 1;
    while (i + n < d.size() && d[i + n] == d[i] && n < 255) ++n;
    if (d[i] == '\x90') {
      out += std::string("\x90\x00", 2);
      ++i;
    } else if (n >= 3) {
      out += d[i];
      out += '\x90';
      out += static_cast<char>(n);
      i += n;
    } else {
      out += d[i++];
    }
  }
  return out;
}

// The packed data of a member of method 5, 6 or 7 holding `data`.
inline std::string OldCrunch(int method, const std::string& data) {
  const std::string in = method == 5 ? data : PackRuns(data);
  std::vector<unsigned> codes;
  if (!in.empty()) {
    OldCrunchTable table(method == 7);
    auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<uint8_t>(in[i])); };
    unsigned w = static_cast<unsigned>(table.Find(OldCrunchTable::kNone, byte(0)));
    for (size_t i = 1; i < in.size(); ++i) {
      int x = table.Find(w, byte(i));
      if (x >= 0) {
        w = static_cast<unsigned>(x);
        continue;
      }
      codes.push_back(w);
      if (!table.Full()) table.Add(w, byte(i));
      w = static_cast<unsigned>(table.Find(OldCrunchTable::kNone, byte(i)));
    }
    codes.push_back(w);
  }
  std::string out;
  for (size_t i = 0; i < codes.size(); i += 2) {
    unsigned a = codes[i], b = i + 1 < codes.size() ? codes[i + 1] : 0;
    out += static_cast<char>(a >> 4);
    out += static_cast<char>((a & 15) << 4 | b >> 8);
    if (i + 1 < codes.size()) out += static_cast<char>(b & 255);
  }
  return out;
}

}  // namespace arctest
