// qllzh-make: writes an LZH archive of the given files with the test writer (bench/lzh uses it;
// Debian has no LZH archiver).
// usage: qllzh-make ARCHIVE LEVEL METHOD [FILE...]   (METHOD: -lh0-, -lh5-, -lh6-, -lh7-)
// Without FILE arguments the names are read from standard input, one a line.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/lzh/tests/lzh_writer.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: qllzh-make ARCHIVE LEVEL METHOD [FILE...]\n");
    return 2;
  }
  std::vector<std::string> names(argv + 4, argv + argc);
  if (names.empty())
    for (std::string line; std::getline(std::cin, line);)
      if (!line.empty()) names.push_back(line);
  std::vector<lzhtest::Member> members;
  for (const std::string& path : names) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
      fprintf(stderr, "%s: cannot open\n", path.c_str());
      return 2;
    }
    std::stringstream ss;
    ss << f.rdbuf();
    std::string name = path;
    while (name.compare(0, 2, "./") == 0) name.erase(0, 2);
    members.push_back({name, ss.str(), argv[3], ""});
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << lzhtest::MakeArchive(members, atoi(argv[2]));
  return out ? 0 : 1;
}
