// PKZIPFIX: `pkzipfix NAME [DIR]` rebuilds the damaged archive NAME (".ZIP" is added when a name
// without extension is not found) into PKFIXED.ZIP in DIR, or in the directory of DIR when DIR
// names a file, or in the current directory. NAME itself is only read.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zip/host.h"

namespace qlzipfix {

enum ExitCode {
  kFixOk = 0,           // every member recovered
  kFixLeftOut = 1,      // PKFIXED.ZIP written, some members left out
  kFixNothing = 2,      // no member could be recovered: nothing written
  kFixNoInput = 3,      // NAME cannot be opened
  kFixWriteError = 4,   // PKFIXED.ZIP cannot be written
  kFixBadParams = 10,
};

constexpr const char* kFixedName = "PKFIXED.ZIP";

// Runs the program on its arguments (without the program name); messages go to `log`.
int RunZipFix(const std::vector<std::string>& args, qlzip::Host& host, std::FILE* log);

}  // namespace qlzipfix
