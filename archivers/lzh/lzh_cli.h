// The LZH extractor's command line (QLLZH.EXE; qllzh natively):
//   e ARCHIVE [TARGETDIR\]   extract every member, with its directories, into TARGETDIR
//   x ARCHIVE [TARGETDIR\]   the same
//   l ARCHIVE                list the members
//   t ARCHIVE                test the members' data against their CRCs
// Exit codes: 0 all well, 1 damage or members not extracted, 2 command-line or file errors.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace lzh {

int RunCli(const std::vector<std::string>& args, FILE* out);

}  // namespace lzh
