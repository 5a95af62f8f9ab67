#include "browser/dir_lines.h"

#include <algorithm>
#include <cstdio>

namespace ql {

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string TwoFields(std::string_view a, std::string_view b) {
  std::string s;
  s.reserve(a.size() + b.size() + 2);
  s.append(a);
  s.push_back('\t');
  s.append(b);
  s.push_back('\t');
  return s;
}

}  // namespace

bool LineLess(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(Fold(a[i]));
    unsigned char y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

std::string DirectoryFileLine(std::string_view longName, std::string_view shortName, uint64_t size, int year,
                              int month, int day, int hour, int minute) {
  char ap = 'a';
  if (hour == 12) {
    ap = 'p';
  } else if (hour > 12) {
    hour -= 12;
    ap = 'p';
  }
  if (shortName.empty()) shortName = longName;
  char tail[64];
  std::snprintf(tail, sizeof tail, "%llu\t%02d/%02d/%02d\t%02d:%02d%c", static_cast<unsigned long long>(size), month, day,
                year, hour, minute, ap);
  std::string s = TwoFields(longName, shortName);
  s.append(tail);
  return s;
}

std::string DirectoryDirLine(std::string_view longName, std::string_view shortName) {
  if (shortName.empty()) shortName = longName;
  std::string a = "[" + std::string(longName) + "]";
  std::string b = "[" + std::string(shortName) + "]";
  return TwoFields(a, b);
}

std::string DriveLine(char letter) {
  char item[6] = {'[', '-', Fold(letter), '-', ']', 0};
  return TwoFields(item, item);
}

void DirectoryLines::AddDrive(char letter) {
  ++itemCount_;
  drives_.push_back(DriveLine(letter));
}

void DirectoryLines::AddEntry(const FoundEntry& e) {
  const std::string& name = e.longName.empty() ? e.shortName : e.longName;
  if (name.empty() || name[0] == '\\' || name == ".") return;
  ++itemCount_;
  if (e.directory) {
    if (name == "..") {
      parent_ = true;
    } else if (name[0] == '.') {
      dirs_.push_back(DirectoryDirLine(name, name));
    } else {
      dirs_.push_back(DirectoryDirLine(name, e.shortName));
    }
    return;
  }
  totalBytes_ += static_cast<uint32_t>(e.size);
  files_.push_back(DirectoryFileLine(name, e.shortName, e.size, e.year, e.month, e.day, e.hour, e.minute));
}

std::vector<std::string> DirectoryLines::Finish() {
  std::stable_sort(drives_.begin(), drives_.end(), LineLess);
  std::stable_sort(dirs_.begin(), dirs_.end(), LineLess);
  std::stable_sort(files_.begin(), files_.end(), LineLess);
  std::vector<std::string> out;
  out.reserve(drives_.size() + dirs_.size() + files_.size() + 1);
  for (auto& s : drives_) out.push_back(std::move(s));
  if (parent_) out.push_back(DirectoryDirLine("..", ".."));
  for (auto& s : dirs_) out.push_back(std::move(s));
  for (auto& s : files_) out.push_back(std::move(s));
  drives_.clear();
  dirs_.clear();
  files_.clear();
  out.erase(std::remove_if(out.begin(), out.end(), [](const std::string& s) { return s.empty(); }), out.end());
  return out;
}

std::vector<std::string> SplitMaskPatterns(std::string_view mask) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i <= mask.size()) {
    size_t end = mask.find(';', i);
    if (end == std::string_view::npos) end = mask.size();
    std::string_view p = mask.substr(i, end - i);
    while (!p.empty() && (p.front() == ' ' || p.front() == '\t')) p.remove_prefix(1);
    while (!p.empty() && (p.back() == ' ' || p.back() == '\t')) p.remove_suffix(1);
    if (!p.empty()) out.emplace_back(p);
    i = end + 1;
  }
  return out;
}

std::string JoinDirPattern(std::string_view dir, std::string_view pattern) {
  std::string s(dir);
  if (s.empty() || s.back() != '\\') s.push_back('\\');
  s.append(pattern);
  return s;
}

bool IsDriveRoot(std::string_view dir) {
  return dir.size() == 3 && dir[1] == ':' && dir[2] == '\\' &&
         ((dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z'));
}

std::string DirTotalsText(long bytes, int files) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%ld Bytes In %d Files.", bytes, files);
  return buf;
}

std::string ArchiveTotalsText(int files, double totalSize, double totalLength) {
  double pct = totalLength > 0 ? 100.0 - totalSize * 100.0 / totalLength : 0.0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d Files at %.1f%%", files, pct);
  return buf;
}

}  // namespace ql
