// ZIP2EXE.EXE: makes a self-extracting program from a ZIP archive with the stub beside it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "archivers/zipsfx/zip2exe_cli.h"

int main(int argc, char** argv) {
  char self[MAX_PATH + 1] = "";
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string dir(self, n < MAX_PATH ? n : 0);
  dir.erase(dir.find_last_of("\\/") == std::string::npos ? 0 : dir.find_last_of("\\/"));
  std::vector<std::string> args(argv + 1, argv + argc);
  auto host = qlzip::MakeHost();
  int r = qlsfx::RunZip2Exe(args, dir + "\\" + qlsfx::kStubName, *host, stdout);
  std::fflush(stdout);
  return r;
}
