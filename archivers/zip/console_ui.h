// The console side of pkzip and pkunzip: log lines on stdout, questions on stdin.
#pragma once
#include <cstdio>
#include <string>

#include "archivers/zip/ops.h"
#include "common/console_output.h"

namespace qlzip {

// One line of standard input without its line end; false at the end of input. Through stdio:
// the iostreams would bring their locale machinery into the programs.
inline bool ReadInputLine(std::string& line) {
  line.clear();
  int c = std::getc(stdin);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::getc(stdin)) line.push_back(static_cast<char>(c));
  return true;
}

class ConsoleUi : public Ui {
 public:
  void Line(const std::string& text) override {
    std::printf("%s\n", text.c_str());
    ql::ShowConsoleOutputNowAndThen();
  }
  void Error(const std::string& text) override {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  void Progress(const std::string&, const std::string&, uint64_t, uint64_t) override {}
  bool Cancelled() override { return false; }
  bool EditComment(const std::string& title, std::string& text) override {
    std::printf("%s\n", title.c_str());
    if (!text.empty()) std::printf("Current comment:\n%s\n", text.c_str());
    std::printf("Enter new comment (end with an empty line):\n");
    std::fflush(stdout);
    std::string line, out;
    bool any = false;
    while (ReadInputLine(line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) break;
      if (any) out += "\r\n";
      out += line;
      any = true;
    }
    if (!any) return false;
    text = out;
    return true;
  }
  Answer AskOverwrite(const std::string& path) override {
    std::printf("%s exists. Overwrite (y/n/a)? ", path.c_str());
    std::fflush(stdout);
    std::string line;
    if (!ReadInputLine(line)) {
      std::printf("n\n");
      return kNo;
    }
    char c = line.empty() ? 'n' : static_cast<char>(line[0] | 0x20);
    return c == 'y' ? kYes : c == 'a' ? kAll : kNo;
  }
  bool AskPassword(std::string& password) override {
    std::printf("Password: ");
    std::fflush(stdout);
    std::string line;
    if (!ReadInputLine(line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    password = line;
    return !line.empty();
  }
};

}  // namespace qlzip
