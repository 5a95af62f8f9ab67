// qllzh-make: writes an LZH archive of the given files with the test writer (bench/lzh uses it;
// Debian has no LZH archiver).
// usage: qllzh-make ARCHIVE LEVEL METHOD FILE...   (METHOD: -lh0-, -lh5-, -lh6-, -lh7-)
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archivers/lzh/tests/lzh_writer.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: qllzh-make ARCHIVE LEVEL METHOD FILE...\n");
    return 2;
  }
  std::vector<lzhtest::Member> members;
  for (int i = 4; i < argc; ++i) {
    std::ifstream f(argv[i], std::ios::binary);
    if (!f) {
      fprintf(stderr, "%s: cannot open\n", argv[i]);
      return 2;
    }
    std::stringstream ss;
    ss << f.rdbuf();
    std::string name = argv[i];
    while (name.compare(0, 2, "./") == 0) name.erase(0, 2);
    members.push_back({name, ss.str(), argv[3], ""});
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << lzhtest::MakeArchive(members, atoi(argv[2]));
  return out ? 0 : 1;
}
