#include "common/recent_list.h"

namespace ql {

std::string RecentKey(std::string_view stem, size_t n) { return std::string(stem) + std::to_string(n); }

std::vector<std::string> SaveRecentValues(const std::vector<std::string>& current, std::string_view value,
                                          size_t length) {
  std::vector<std::string> next(current);
  next.resize(length);
  for (size_t n = length; n >= 2; --n) {
    const std::string& older = n - 2 < current.size() ? current[n - 2] : std::string();
    if (!older.empty()) next[n - 1] = older;
  }
  if (length > 0) next[0] = std::string(value);
  return next;
}

bool OnFloppyDrive(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  char d = path[0];
  return d == 'A' || d == 'a' || d == 'B' || d == 'b';
}

RecentChoice ChooseRecentEntry(const std::vector<std::string>& values, size_t length) {
  auto value = [&](size_t i) { return i < values.size() ? std::string_view(values[i]) : std::string_view(); };
  RecentChoice c;
  for (size_t i = 0; i < length; ++i) {
    if (OnFloppyDrive(value(i))) continue;
    c.index = i;
    c.remembered = value(i).empty();
    return c;
  }
  c.remembered = value(0).empty();
  return c;
}

}  // namespace ql
