// pkzip: PKZIP 2.04g-compatible console archiver.
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zip/console_ui.h"
#include "common/console_output.h"

int main(int argc, char** argv) {
  ql::BufferConsoleOutput();
  std::vector<std::string> tokens(argv + 1, argv + argc);
  if (tokens.empty()) {
    std::printf("Usage: pkzip [options] zipfile [@list] [files...]\n"
                "  -a add  -u update  -f freshen  -m move  -d delete  -z zip comment  -c file comments\n"
                "  -ex -en -ef -es -e0 compression  -r recurse  -p/-P store paths  -k/-o zip date\n"
                "  -w hidden/system  -$ volume label  -s<pwd> scramble  -b<dir> temporary directory\n");
    return qlzip::kZipBadParams;
  }
  qlzip::ZipArgs args = qlzip::ParseZipArgs(tokens);
  auto host = qlzip::MakeHost();
  qlzip::ConsoleUi ui;
  return qlzip::RunZip(args, *host, ui);
}
