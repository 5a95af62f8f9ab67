// The runner's own command line: "<runner> <work directory> [-B] [-V] [-T]".
#pragma once
#include <string>
#include <string_view>

namespace ql {

struct RunnerArgs {
  std::string workDirectory;  // without quotes; may hold blanks
  bool batch = false;         // -B: minimised, no pause
  bool virusScan = false;     // -V: a virus detector runs
  bool view = false;          // -T: a member is being viewed
};

// The text after the program name of a Windows command line (quoted or not).
std::string_view CommandLineTail(std::string_view commandLine);

// The work directory is everything before the trailing switches, so a directory with blanks needs no
// quotes (Quillon passes it as stored); enclosing double quotes are removed when present.
RunnerArgs ParseRunnerArgs(std::string_view tail);

// Where cmndargs lives: the work directory and "\cmndargs" (no second backslash).
std::string CommandFilePath(std::string_view workDirectory);

// Where the command's exit status is left: the work directory and "\cmndexit".
std::string ExitFilePath(std::string_view workDirectory);

// The content of cmndexit: the exit code in decimal, then CR LF.
std::string ExitFileText(unsigned long code);

}  // namespace ql
