#include "engine/switches_win.h"

#include <windows.h>

#include <cstring>

#include "engine/commands.h"

namespace ql {

SwitchSet g_switches;

void LoadSwitchesFromIni(SwitchSet& s, const std::string& iniPath, const std::string& programDir) {
  LoadSwitchSet(s, [&](const char* key, const char* def) {
    // The switches are read through a 5-character buffer; the path storage word is read whole.
    char buf[16] = "";
    DWORD size = strcmp(key, "store_pathnames") == 0 ? sizeof buf : 5;
    GetPrivateProfileStringA("switches", key, def, buf, size, iniPath.c_str());
    return std::string(buf);
  });
  s.oldPkzip = ProbeOldPkzip(ProgramFile(programDir, "PKZIP.EXE"), s.oldPkzip);
}

WriteSwitchKey IniSwitchWriter(const std::string& iniPath) {
  return [iniPath](const char* key, const char* value) {
    WritePrivateProfileStringA("switches", key, value, iniPath.c_str());
  };
}

}  // namespace ql
