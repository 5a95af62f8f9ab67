#include "archivers/lzh/member_out.h"

#include "archivers/arj/arj_fs.h"
#include "common/member_path.h"

namespace qlx {

std::string JoinTarget(const std::string& target, const std::string& clean) {
  std::string path = target;
  if (!path.empty() && !arj::fs::IsSeparator(path.back()) && path.back() != ':') path += arj::fs::kSep;
  for (char c : clean) path += c == '/' ? arj::fs::kSep : c;
  return path;
}

static std::string Parent(const std::string& path) {
  size_t i = path.size();
  while (i > 0 && !arj::fs::IsSeparator(path[i - 1])) --i;
  return path.substr(0, i);
}

static std::string Join(const std::vector<std::string>& words, size_t from, size_t to) {
  std::string s;
  for (size_t i = from; i < to; ++i) {
    if (i > from) s += ' ';
    s += words[i];
  }
  return s;
}

bool SplitArchiveAndTarget(const std::vector<std::string>& words, std::string* archive,
                           std::string* target) {
  bool found = false;
  size_t split = words.empty() ? 0 : 1;
  for (size_t k = words.size(); k >= 1; --k) {
    arj::fs::FileInfo info;
    if (arj::fs::Stat(Join(words, 0, k), &info) && !info.is_dir) {
      split = k;
      found = true;
      break;
    }
  }
  *archive = Join(words, 0, split);
  *target = Join(words, split, words.size());
  if (!target->empty() && target->back() == '"') target->pop_back();
  return found;
}

bool MakeMemberDir(const std::string& target, const std::string& stored, std::string* why) {
  std::string clean, reason;
  if (!ql::SafeMemberPath(stored, clean, reason)) {
    *why = "refused name (" + reason + ")";
    return false;
  }
  std::string path = JoinTarget(target, clean);
  if (!arj::fs::MakeDirs(path)) {
    *why = "cannot create directory " + path;
    return false;
  }
  return true;
}

bool MemberFile::Open(const std::string& target, const std::string& stored, std::string* why) {
  Discard();
  std::string clean, reason;
  if (!ql::SafeMemberPath(stored, clean, reason)) {
    *why = "refused name (" + reason + ")";
    return false;
  }
  final_ = JoinTarget(target, clean);
  const std::string dir = Parent(final_);
  if (!dir.empty() && !arj::fs::MakeDirs(dir)) {
    *why = "cannot create directory " + dir;
    return false;
  }
  arj::fs::FileInfo info;
  if (arj::fs::Stat(final_, &info) && info.is_dir) {
    *why = "a directory of that name exists";
    return false;
  }
  for (int n = 0; n < 100000; ++n) {
    std::string candidate = dir + "qlx" + std::to_string(n) + ".$$$";
    if (arj::fs::Stat(candidate, &info)) continue;
    file_ = fopen(candidate.c_str(), "wb");
    if (file_) {
      temp_ = candidate;
      return true;
    }
    break;
  }
  *why = "cannot create a file in " + (dir.empty() ? std::string(".") : dir);
  return false;
}

bool MemberFile::Write(const uint8_t* data, size_t size) {
  return file_ && fwrite(data, 1, size, file_) == size;
}

bool MemberFile::Commit(int64_t unix_time, std::string* why) {
  if (!file_) return false;
  bool ok = fclose(file_) == 0;
  file_ = nullptr;
  if (!ok) {
    *why = "write error";
    Discard();
    return false;
  }
  if (unix_time >= 0) arj::fs::SetFileTime(temp_, unix_time);
  if (!arj::fs::MoveReplace(temp_, final_)) {
    *why = "cannot create " + final_;
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void MemberFile::Discard() {
  if (file_) fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) arj::fs::RemoveFile(temp_);
  temp_.clear();
}

}  // namespace qlx
