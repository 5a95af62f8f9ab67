#include "express/express_rules.h"

#include <algorithm>
#include <cctype>

#include "common/mask.h"
#include "engine/commands.h"

namespace ql {

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

bool Holds(const std::vector<std::string>& list, const std::string& name) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return SameName(e, name); });
}

}  // namespace

ExpressNewTarget ResolveExpressNewArchive(const std::string& dirText, const std::string& fileName, bool arj,
                                          const std::string& currentDir,
                                          const std::function<std::string(const std::string&)>& fullDirName) {
  std::string name = fileName;
  if (name.find('.') == std::string::npos) name += arj ? ".ARJ" : ".ZIP";
  // The Manager's new-archive resolution: only a leading "." or ".." is taken from the current
  // directory; the name carries its extension already.
  NewArchiveTarget t = ResolveNewArchive(dirText, name, arj ? ArchiveKind::Arj : ArchiveKind::Zip, currentDir,
                                         fullDirName);
  ExpressNewTarget r;
  r.directory = t.directory;
  r.path = t.path;
  r.valid = MatchFileMask(r.path, "*.ARJ") || MatchFileMask(r.path, "*.ZIP");
  return r;
}

std::string DirectoryTextWithoutSlash(std::string text) {
  while (text.size() > 1 && (text.back() == '\\' || text.back() == '/') && !(text.size() == 3 && text[1] == ':'))
    text.pop_back();
  return text;
}

void MoveListEntries(std::vector<std::string>& from, std::vector<std::string>& to,
                     const std::vector<size_t>& chosen, bool removeFromSource) {
  std::vector<std::string> moved;
  for (size_t i : chosen)
    if (i < from.size()) moved.push_back(from[i]);
  for (const std::string& m : moved)
    if (!Holds(to, m)) to.push_back(m);
  if (!removeFromSource) return;
  from.erase(std::remove_if(from.begin(), from.end(), [&](const std::string& e) { return Holds(moved, e); }),
             from.end());
}

}  // namespace ql
