// ARJ.EXE (arj-ql natively): the archiver program.
#include <string>
#include <vector>

#include "archivers/arj/arj_cli.h"
#include "common/console_output.h"

int main(int argc, char** argv) {
  ql::BufferConsoleOutput();
  std::vector<std::string> args(argv + 1, argv + argc);
  return arj::RunArj(args);
}
