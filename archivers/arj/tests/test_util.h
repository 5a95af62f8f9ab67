// Helpers for the ARJ tests: scratch directories, files, running programs.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace arjtest {

// A fresh directory under the system's temporary directory, removed by the destructor.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& data);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void MakeDirs(const std::string& path);
// Text that compresses, and bytes that do not.
std::string TextData(size_t size, unsigned seed);
std::string RandomData(size_t size, unsigned seed);

struct RunResult {
  int code = -1;
  std::string output;
};
// Runs a shell command in `dir` with `input` on standard input; output and errors captured.
RunResult Run(const std::string& dir, const std::string& command, const std::string& input = "");
// Our native archiver and Debian's arj.
std::string OurArj();
bool HavePeerArj();
// An in-process command line: `run(args, out)` with what it writes to `out` captured.
struct CliResult {
  int code;
  std::string output;
};
CliResult CaptureCli(int (*run)(const std::vector<std::string>& args, FILE* out),
                     const std::vector<std::string>& args);
// A decoder's input reading `data` (which must outlive it) from the start, and its output
// appending to `out`.
std::function<size_t(uint8_t*, size_t)> StringReader(const std::string& data);
std::function<bool(const uint8_t*, size_t)> StringWriter(std::string* out);
// Compares two directory trees file by file (names and contents); returns "" when equal.
std::string CompareTrees(const std::string& a, const std::string& b);

}  // namespace arjtest
