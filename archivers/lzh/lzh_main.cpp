#include <cstdio>
#include <string>
#include <vector>

#include "archivers/lzh/lzh_cli.h"
#include "common/console_output.h"

int main(int argc, char** argv) {
  ql::BufferConsoleOutput();
  std::vector<std::string> args(argv + 1, argv + argc);
  return lzh::RunCli(args, stdout);
}
