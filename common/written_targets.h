// The files an extraction has written (or is writing) in this run, so that a second member of
// the same name counts as meeting an existing file even before the first is on disk.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace ql {

class WrittenTargets {
 public:
  // `fold_case`: names differing only in the case of ASCII letters are one file (Windows).
  explicit WrittenTargets(bool fold_case) : fold_(fold_case) {}
  void Add(const std::string& path, int64_t mtime);
  // Whether `path` was written in this run; its time then goes to `mtime`.
  bool Find(const std::string& path, int64_t* mtime) const;

 private:
  std::string Key(const std::string& path) const;
  bool fold_;
  std::map<std::string, int64_t> seen_;
};

}  // namespace ql
