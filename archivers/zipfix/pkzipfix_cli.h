// PKZIPFIX: `pkzipfix NAME [DIR]` rebuilds the damaged archive NAME (".ZIP" is added when a name
// without extension is not found) into PKFIXED.ZIP in DIR, or in the directory of DIR when DIR
// names a file, or in the current directory. NAME itself is only read, and an earlier repair is
// never written over: when PKFIXED.ZIP exists, the first free name of PKFIX001.ZIP ...
// PKFIX999.ZIP is used, and the program says which.
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
  kFixWriteError = 4,   // PKFIXED.ZIP cannot be written, or every name is taken
  kFixBadParams = 10,
};

constexpr const char* kFixedName = "PKFIXED.ZIP";
// The names a repair may take, in the order they are tried: PKFIXED.ZIP (0), PKFIX001.ZIP (1) ...
std::string FixedName(int n);

// Runs the program on its arguments (without the program name); messages go to `log`.
int RunZipFix(const std::vector<std::string>& args, qlzip::Host& host, std::FILE* log);

}  // namespace qlzipfix
