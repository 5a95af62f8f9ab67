#include "engine/extract_win.h"

#include "app/shared_win.h"
#include "common/mask.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// "C:\\": the text after the first character is ":\\".
bool IsDriveRoot(const std::string& path) { return path.size() == 3 && path.compare(1, 2, ":\\") == 0; }

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool EnsureTargetDirectory(HWND owner, const std::string& target) {
  if (IsDriveRoot(target) || DirectoryExists(target)) return true;
  if (ShowStringMessageArg(owner, IDS_CREATE_DIRECTORY_ASK, target.c_str(),
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  CreateDirectoryPath(target.c_str());
  return DirectoryExists(target);
}

RunResult ExtractArchiveFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& directory,
                              const std::vector<std::string>& names, const std::string& target,
                              const AskPassword& askPassword) {
  if (names.empty()) {
    ShowStringMessage(setup.owner, IDS_NO_SELECTION);
    return RunResult::Refused;
  }
  for (const std::string& name : names)
    if (!IsExtractableArchiveName(name)) {
      ShowStringMessage(setup.owner, IDS_INVALID_ARCHIVE_NAME);
      return RunResult::Refused;
    }
  if (!EnsureTargetDirectory(setup.owner, target)) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::ExtractSwitch, s, false) && !askPassword(s))
    return RunResult::Refused;

  std::string dir = WorkNoSlash(directory);
  for (const std::string& name : names) {
    std::string path = dir + (dir.empty() || dir.back() == '\\' ? "" : "\\") + name;
    ArchiveKind kind;
    if (MatchFileMask(name, "*.ZIP") || MatchFileMask(name, "*.EXE")) {
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        ShowStringMessageArg(setup.owner, IDS_ARCHIVE_NOT_CREATED, path.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return RunResult::NotCreated;
      }
      bool zip = FindZipStart(file, nullptr);
      CloseHandle(file);
      if (!zip) {
        ShowStringMessageArg(setup.owner, IDS_ZIP_INVALID_NAMED, path.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return RunResult::Refused;
      }
      kind = ArchiveKind::Zip;
    } else {
      if (!IsArjPartName(name)) {
        ShowStringMessage(setup.owner, IDS_ARJ_INVALID);
        return RunResult::Refused;
      }
      kind = ArchiveKind::Arj;
    }
    RunResult r = RunCommand(setup, ExtractWholeArchive(s, EnginePaths{setup.programDir, setup.workDir},
                                                        kind, path, target));
    if (r != RunResult::Done) return r;
  }
  return RunResult::Done;
}

}  // namespace ql
