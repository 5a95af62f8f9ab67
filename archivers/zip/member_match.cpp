#include "archivers/zip/member_match.h"

#include "archivers/zip/host.h"
#include "common/mask.h"
#include "common/member_reference.h"

namespace qlzip {

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Lower case and '/' for '\': the form in which two names are equal when they match as wholes.
std::string Folded(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c == '\\') c = '/';
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The key under which a mask without a folder and without wildcards matches a name: the file
// name's base and extension, split as ql::MatchFileMask splits them (the drive up to the first
// ':' and the folder dropped, the extension after the last '.'). Empty when the base name is
// empty, since such a name never matches as a mask. '/' cannot occur in either part, so it keeps
// "A.B." (base "A.B") apart from "A.B" (base "A", extension "B").
std::string FileKey(const std::string& folded) {
  size_t from = folded.find(':');
  from = from == std::string::npos ? 0 : from + 1;
  size_t slash = folded.find_last_of('/');
  if (slash != std::string::npos && slash + 1 > from) from = slash + 1;
  size_t dot = folded.rfind('.');
  if (dot == std::string::npos || dot < from) dot = folded.size();
  if (dot == from) return std::string();
  std::string key = folded.substr(from, dot - from);
  key += '/';
  if (dot < folded.size()) key.append(folded, dot + 1, std::string::npos);
  return key;
}

}  // namespace

bool MatchesMember(const std::string& stored, const std::string& spec) {
  std::string a = ToSlashes(stored), b = ToSlashes(spec);
  if (Folded(a) == Folded(b)) return true;
  if (!HasWildcard(b) && b.find('/') != std::string::npos) return false;
  return ql::MatchFileMask(a, b);
}

MemberMatcher::MemberMatcher(const std::vector<std::string>& specs, References refs) {
  for (const auto& spec : specs) {
    std::string named;
    if (refs == kWithReferences && ql::MemberReferenceName(spec, &named)) {
      named_.insert(ToSlashes(named));
      continue;
    }
    std::string f = Folded(spec);
    whole_.insert(f);
    if (HasWildcard(f)) masks_.push_back(spec);
    else if (f.find('/') == std::string::npos) {
      std::string key = FileKey(f);
      if (!key.empty()) files_.insert(key);
    }
  }
}

bool MemberMatcher::Matches(const std::string& stored, const std::string& utf8Name) const {
  if (!named_.empty() && named_.count(ToSlashes(utf8Name))) return true;
  if (whole_.empty()) return false;
  std::string f = Folded(stored);
  if (whole_.count(f)) return true;
  if (!files_.empty()) {
    std::string key = FileKey(f);
    if (!key.empty() && files_.count(key)) return true;
  }
  for (const auto& m : masks_)
    if (MatchesMember(stored, m)) return true;
  return false;
}

}  // namespace qlzip
