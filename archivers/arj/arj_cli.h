// The ARJ program: command-line parsing and every command. Uses arj_fs for the file system.
#pragma once
#include <string>
#include <vector>

namespace arj {

enum ExitCode {
  kExitOk = 0,
  kExitWarning = 1,  // a file was not found or skipped
  kExitFatal = 2,
  kExitCrc = 3,      // CRC error in a header or in data, or a wrong password
  kExitWrite = 5,    // disk full or write error
  kExitOpen = 6,     // cannot open the archive or a file
  kExitUser = 7,     // bad command line
  kExitNotArj = 9,
};

// Runs one command line (without the program name); returns the exit code.
int RunArj(const std::vector<std::string>& args);

// The self-extractor's entry: extracts the archive appended to `self` with the user's
// extra arguments (switches, target directory).
int RunSelfExtractor(const std::string& self, const std::vector<std::string>& args);

}  // namespace arj
