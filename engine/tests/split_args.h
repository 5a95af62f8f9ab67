// Test helper: splits a command line as the archivers' C runtime does (the Windows argument
// rules), to check what each argument of a built command arrives as.
#pragma once
#include <string>
#include <vector>

namespace ql {

inline std::vector<std::string> SplitArgs(const std::string& line) {
  std::vector<std::string> args;
  size_t i = 0, n = line.size();
  while (true) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t slashes = 0;
      while (i < n && line[i] == '\\') ++slashes, ++i;
      if (i < n && line[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace ql
