// Which stored members answer the names and masks a user gave (on the command line, in list
// files or as exclusions).
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

namespace qlzip {

// One stored name against one given name or mask. Equal names match, ignoring case and with '\'
// taken as '/'. A name with a folder but no wildcard matches only so; any other is a DOS mask
// (see ql::MatchFileMask): "*.TXT", "SUB/*.*", or a plain "README" that matches in any folder.
bool MatchesMember(const std::string& stored, const std::string& spec);

// The same answer as MatchesMember for a whole list of names at once, true when any matches.
// Plain names are looked up by hash, so choosing among n members by m names costs about n + m
// rather than n * m; masks with wildcards are still tried one by one.
class MemberMatcher {
 public:
  explicit MemberMatcher(const std::vector<std::string>& specs);
  bool Matches(const std::string& stored) const;

 private:
  std::unordered_set<std::string> whole_;  // every given name, folded: equal names match
  std::unordered_set<std::string> files_;  // plain names without a folder, by base and extension
  std::vector<std::string> masks_;         // names with wildcards
};

}  // namespace qlzip
