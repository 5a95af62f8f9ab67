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
// rather than n * m; masks with wildcards are still tried one by one. With kWithReferences a
// member reference (see common/member_reference.h) names the one member whose UTF-8 name it
// holds, exactly; without, it is taken as any other name.
class MemberMatcher {
 public:
  enum References { kWithoutReferences, kWithReferences };
  explicit MemberMatcher(const std::vector<std::string>& specs, References refs = kWithoutReferences);
  bool Matches(const std::string& stored) const { return Matches(stored, stored); }
  // `utf8Name` is the member's name as UTF-8, which references are compared with.
  bool Matches(const std::string& stored, const std::string& utf8Name) const;

 private:
  std::unordered_set<std::string> whole_;  // every given name, folded: equal names match
  std::unordered_set<std::string> files_;  // plain names without a folder, by base and extension
  std::vector<std::string> masks_;         // names with wildcards
  std::unordered_set<std::string> named_;  // UTF-8 names of references, with '/' for '\'
};

}  // namespace qlzip
