// The ARC extractor's command line (QLARC.EXE; qlarc natively):
//   ARCHIVE [TARGETDIR\]   extract every member into TARGETDIR (default: the current directory)
//   -l ARCHIVE             list the members
//   -t ARCHIVE             test the members' data against their CRCs
// An archive whose name begins with '-' is given with a directory in front (.\-L.ARC).
// Exit codes: 0 all well, 1 damage or members not extracted, 2 command-line or file errors.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace arc {

int RunCli(const std::vector<std::string>& args, FILE* out);

}  // namespace arc
