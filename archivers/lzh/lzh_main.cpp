#include <cstdio>
#include <string>
#include <vector>

#include "archivers/lzh/lzh_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return lzh::RunCli(args, stdout);
}
