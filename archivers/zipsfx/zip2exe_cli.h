// ZIP2EXE: `zip2exe FOO[.ZIP]` writes FOO.EXE beside the archive: the self-extractor stub
// ZIPSFX.EXE followed by the archive. An existing FOO.EXE is replaced only when it is a
// self-extractor made from an archive of the same name; any other program of that name stays.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zip/host.h"

namespace qlsfx {

enum Zip2ExeExit {
  kZ2eOk = 0,
  kZ2eBadArchive = 2,   // not a ZIP, damaged, or not something the stub can unpack
  kZ2eNoArchive = 3,    // FOO.ZIP not found
  kZ2eWriteError = 4,
  kZ2eExeInTheWay = 5,  // FOO.EXE exists and is not our self-extractor of FOO.ZIP
  kZ2eNoStub = 6,       // ZIPSFX.EXE missing or unusable
  kZ2eBadParams = 10,
};

constexpr const char* kStubName = "ZIPSFX.EXE";

// `stubPath`: where ZIPSFX.EXE is (beside the program). Messages go to `log`.
int RunZip2Exe(const std::vector<std::string>& args, const std::string& stubPath, qlzip::Host& host,
               std::FILE* log);

}  // namespace qlsfx
