#include "common/text_and_paths.h"

namespace ql {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string DirectoryOf(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return std::string();
  if (slash == 2 && path[1] == ':') return std::string(path.substr(0, 3));
  return std::string(path.substr(0, slash));
}

char DriveLetterOf(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return 0;
  char c = UpperAscii(path[0]);
  return c >= 'A' && c <= 'Z' ? c : 0;
}

}  // namespace ql
