#include <cstdio>
#include <string>
#include <vector>

#include "archivers/arc/arc_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return arc::RunCli(args, stdout);
}
