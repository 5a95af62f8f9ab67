// PKZIPFIX.EXE (pkzipfix natively): rebuilds a damaged ZIP archive into PKFIXED.ZIP.
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zipfix/pkzipfix_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto host = qlzip::MakeHost();
  int r = qlzipfix::RunZipFix(args, *host, stdout);
  std::fflush(stdout);
  return r;
}
