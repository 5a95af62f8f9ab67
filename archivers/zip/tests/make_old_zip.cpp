// qlzip-oldmake OUT.ZIP: writes the archive of ZIP 1.x members (shrink, reduce 1-4, implode) that
// the tests use, for checking it with other programs or for other tests to start from.
#include <cstdio>

#include "archivers/zip/tests/old_method_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qlzip-oldmake OUT.ZIP\n");
    return 2;
  }
  std::string zip = oldzip::MakeZip(oldzip::FixtureMembers());
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(zip.data(), 1, zip.size(), f) != zip.size() || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
