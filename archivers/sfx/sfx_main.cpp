// ARJSFX.EXE: the self-extractor module. ARJ -je puts an archive behind a copy of it; run, it
// extracts that archive (with paths) into the current directory or the directory given.
#include <windows.h>

#include <string>
#include <vector>

#include "archivers/arj/arj_cli.h"

int main(int argc, char** argv) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::vector<std::string> args(argv + 1, argv + argc);
  return arj::RunSelfExtractor(std::string(self, n), args);
}
