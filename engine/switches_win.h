// The process-wide switch set and the settings file: the start-up read and the writer the
// dialogs use.
#pragma once
#include <string>

#include "engine/switches.h"

namespace ql {

// The process-wide switch set: read at start-up, changed by the switches dialogs, given to every
// archive operation.
extern SwitchSet g_switches;

// The start-up read of section "switches" of the settings file (every value through a
// 5-character buffer), then the `OldPkzip` probe of PKZIP.EXE in the program directory.
void LoadSwitchesFromIni(SwitchSet& s, const std::string& iniPath, const std::string& programDir);

// Writes keys of section "switches" of the settings file at once.
WriteSwitchKey IniSwitchWriter(const std::string& iniPath);

}  // namespace ql
