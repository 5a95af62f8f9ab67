#include "common/mask.h"

namespace ql {
namespace {

struct NameParts {
  std::string_view dir, base, ext;
};

NameParts Split(std::string_view s) {
  NameParts p;
  size_t colon = s.find(':');
  if (colon != std::string_view::npos) s.remove_prefix(colon + 1);
  size_t slash = s.find_last_of("\\/");
  if (slash != std::string_view::npos) {
    p.dir = s.substr(0, slash + 1);
    s.remove_prefix(slash + 1);
  }
  size_t dot = s.rfind('.');
  if (dot == std::string_view::npos) {
    p.base = s;
  } else {
    p.base = s.substr(0, dot);
    p.ext = s.substr(dot + 1);
  }
  return p;
}

char Fold(char c) {
  if (c == '/') return '\\';
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

// One name part against one mask part: '*' takes the rest, '?' one character or none at the end.
bool MatchPart(std::string_view name, std::string_view mask) {
  size_t n = 0;
  for (size_t m = 0; m < mask.size(); ++m) {
    char c = mask[m];
    if (c == '*') return true;
    if (c == '?') {
      if (n < name.size()) ++n;
      continue;
    }
    if (n >= name.size() || Fold(name[n]) != Fold(c)) return false;
    ++n;
  }
  return n == name.size();
}

}  // namespace

bool MatchFileMask(std::string_view name, std::string_view mask) {
  NameParts n = Split(name), m = Split(mask);
  if (!m.dir.empty() && !SameIgnoringCase(n.dir, m.dir)) return false;
  if (n.base.empty() || m.base.empty()) return false;
  if (!MatchPart(n.base, m.base)) return false;
  if (n.ext.empty() && m.ext.empty()) return true;
  return MatchPart(n.ext, m.ext);
}

}  // namespace ql
