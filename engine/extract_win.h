// Extraction operations that need the file system: target confirmation and the extract of whole
// archive files.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/runner_win.h"

namespace ql {

// Asks for the password into the switch set; false when the user cancelled.
using AskPassword = std::function<bool(SwitchSet& s)>;

// An extraction target that is not a drive root and does not exist: string 421 asks whether to
// create it. False when the answer is not Yes or the directory cannot be made.
bool EnsureTargetDirectory(HWND owner, const std::string& target);

// Extracts every named archive file of `directory`, whole and in order, into `target`: names
// that are not ZIP, Zip EXE or ARJ files refuse the whole selection (3002) before anything runs;
// a ZIP that cannot be opened (3006) or holds no ZIP (3007) and an ARJ part with a wrong name
// (3029) end the loop after the archives before it were extracted.
RunResult ExtractArchiveFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& directory,
                              const std::vector<std::string>& names, const std::string& target,
                              const AskPassword& askPassword);

}  // namespace ql
