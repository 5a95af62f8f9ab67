// pkunzip: PKUNZIP 2.04g-compatible console extractor.
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zip/console_ui.h"
#include "common/console_output.h"

int main(int argc, char** argv) {
  ql::BufferConsoleOutput();
  std::vector<std::string> tokens(argv + 1, argv + argc);
  if (tokens.empty()) {
    std::printf("Usage: pkunzip [options] zipfile [@list] [files...] [destination\\]\n"
                "  -d restore paths  -o overwrite  -n only newer  -f freshen  -t test  -v view\n"
                "  -e[c|d|e|n|p|s|r] order  -$ volume label  -s<pwd> password  -x<spec> exclude\n");
    return qlzip::kUnzipBadParams;
  }
  qlzip::UnzipArgs args = qlzip::ParseUnzipArgs(tokens);
  auto host = qlzip::MakeHost();
  qlzip::ConsoleUi ui;
  return qlzip::RunUnzip(args, *host, ui);
}
