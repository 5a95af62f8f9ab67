// Writing one member of an archive into a target directory, shared by the LZH and ARC
// extractors: the stored name passes the member-path check, missing directories are created,
// the data goes to a temporary name beside the final one and takes the member's name only when
// it is complete and checked. Platform-free (the file-system layer is arj::fs).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qlx {

// `target` as given on a command line ("" = the current directory); a missing separator at its
// end is supplied. `clean` is a '/'-separated relative path from ql::SafeMemberPath.
std::string JoinTarget(const std::string& target, const std::string& clean);

class MemberFile {
 public:
  MemberFile() = default;
  MemberFile(const MemberFile&) = delete;
  MemberFile& operator=(const MemberFile&) = delete;
  ~MemberFile() { Discard(); }

  // Checks `stored` and opens the temporary file; false with the reason in `why`.
  bool Open(const std::string& target, const std::string& stored, std::string* why);
  bool Write(const uint8_t* data, size_t size);
  // Closes the temporary file and gives it the member's name (replacing an older file of that
  // name) and the modification time `unix_time` (ignored when negative).
  bool Commit(int64_t unix_time, std::string* why);
  // Closes and deletes the temporary file, if any.
  void Discard();
  const std::string& final_path() const { return final_; }

 private:
  FILE* file_ = nullptr;
  std::string temp_, final_;
};

// Callers that do not quote paths with blanks (Quillon's conversions: "PROGRAM e SOURCE TARGET\")
// hand them over in pieces. From `words` (the arguments after the command), finds the archive:
// the longest run of leading words that, joined by blanks, names an existing file; the rest,
// joined by blanks, is the target directory. A '"' left at the end of the target (a quoted
// path ending in a backslash, "DIR\", reaches programs as DIR\") is dropped. False when no
// leading run names a file: `archive` is then the first word and `target` the rest.
bool SplitArchiveAndTarget(const std::vector<std::string>& words, std::string* archive,
                           std::string* target);

// Creates the directory member `stored` under `target`.
bool MakeMemberDir(const std::string& target, const std::string& stored, std::string* why);

}  // namespace qlx
