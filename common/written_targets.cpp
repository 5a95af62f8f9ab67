#include "common/written_targets.h"

namespace ql {

std::string WrittenTargets::Key(const std::string& path) const {
  std::string k = path;
  for (char& c : k) {
    if (c == '\\') c = '/';
    if (fold_ && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return k;
}

void WrittenTargets::Add(const std::string& path, int64_t mtime) { seen_[Key(path)] = mtime; }

bool WrittenTargets::Find(const std::string& path, int64_t* mtime) const {
  auto it = seen_.find(Key(path));
  if (it == seen_.end()) return false;
  if (mtime) *mtime = it->second;
  return true;
}

}  // namespace ql
