// Helpers shared by the native ZIP tests: scratch directories, files, a recording Ui.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/zip/ops.h"

namespace ziptest {

inline std::string MakeTempDir() {
  char tmpl[] = "/tmp/qlzipXXXXXX";
  char* d = mkdtemp(tmpl);
  return d ? d : "";
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::string dir = path.substr(0, path.find_last_of('/'));
  std::string cmd = "mkdir -p '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) return;
  std::ofstream f(path, std::ios::binary);
  f << data;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

inline int Shell(const std::string& cmd) {
  int r = std::system(cmd.c_str());
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

// Every regular file below `dir`, relative path -> contents.
inline std::map<std::string, std::string> Tree(const std::string& dir) {
  std::map<std::string, std::string> out;
  std::string list = dir + "/.list";
  Shell("cd '" + dir + "' && find . -type f ! -name .list | sed 's|^\\./||' > .list");
  std::ifstream f(list);
  std::string line;
  while (std::getline(f, line)) out[line] = ReadFile(dir + "/" + line);
  std::remove(list.c_str());
  return out;
}

// Text that compresses well but is not trivial.
inline std::string Sample(size_t n, unsigned seed) {
  std::string s;
  s.reserve(n);
  unsigned x = seed * 2654435761u + 1;
  static const char* const words[] = {"archive ", "zip ", "deflate ", "quillon ", "entry ", "data\r\n", "name ", "0123 "};
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 8];
  }
  s.resize(n);
  return s;
}

inline std::string Random(size_t n, unsigned seed) {
  std::string s(n, '\0');
  unsigned x = seed | 1;
  for (auto& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

class RecordingUi : public qlzip::Ui {
 public:
  void Line(const std::string& t) override { lines.push_back(t); }
  void Error(const std::string& t) override { errors.push_back(t); }
  void Progress(const std::string&, const std::string&, uint64_t, uint64_t) override {
    ++progressCalls;
    if (cancelAfter >= 0 && progressCalls > cancelAfter) cancelled = true;
  }
  bool Cancelled() override { return cancelled; }
  bool EditComment(const std::string&, std::string& text) override {
    shownComments.push_back(text);
    if (comments.empty()) return false;
    text = comments.front();
    comments.erase(comments.begin());
    return true;
  }
  Answer AskOverwrite(const std::string&) override { return overwriteAnswer; }
  bool AskPassword(std::string& pw) override {
    pw = passwordAnswer;
    return !pw.empty();
  }
  std::string AllErrors() const {
    std::string s;
    for (auto& e : errors) s += e + "\n";
    return s;
  }

  std::vector<std::string> lines, errors, comments, shownComments;
  int progressCalls = 0;
  int cancelAfter = -1;
  bool cancelled = false;
  Answer overwriteAnswer = kNo;
  std::string passwordAnswer;
};

}  // namespace ziptest
