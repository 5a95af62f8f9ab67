#include "engine/extract_win.h"

#include <shellapi.h>

#include "common/mask.h"
#include "common/member_reference.h"
#include "common/shared_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"
#include "readers/listing_lines.h"

namespace ql {

namespace {

// "C:\\": the text after the first character is ":\\".
bool IsDriveRoot(const std::string& path) { return path.size() == 3 && path.compare(1, 2, ":\\") == 0; }

}  // namespace

bool EnsureTargetDirectory(HWND owner, const std::string& target) {
  return IsDriveRoot(target) || OfferToCreateDirectory(owner, target);
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
    RunResult r = RunCommand(setup, ExtractWholeArchive(s, EnginePathsOf(setup), kind, path, target));
    if (r != RunResult::Done) return r;
  }
  return RunResult::Done;
}

RunResult ExtractMembersTo(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                           const std::string& archive, bool encrypted,
                           const std::vector<std::string>& names, const std::string& target,
                           const AskPassword& askPassword) {
  if (names.empty()) {
    ShowStringMessage(setup.owner, IDS_SELECT_IN_ARCHIVE);
    return RunResult::Refused;
  }
  if (!EnsureTargetDirectory(setup.owner, target)) return RunResult::Refused;
  PasswordRule rule =
      kind == ArchiveKind::Zip ? PasswordRule::ExtractMembersZip : PasswordRule::ExtractEither;
  if (NeedsPassword(rule, s, encrypted) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup,
                    ExtractMembers(s, EnginePathsOf(setup), kind, archive, encrypted, names, target));
}

RunResult TestArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          TestFrom from, const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  PasswordRule rule =
      from == TestFrom::DirectoryFile ? PasswordRule::ExtractSwitch : PasswordRule::TestArchive;
  if (NeedsPassword(rule, s, false) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup, TestArchive(s, EnginePathsOf(setup), kind, archive, from));
}

void OpenWithShell(const std::string& path) {
  HINSTANCE r = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  INT_PTR code = reinterpret_cast<INT_PTR>(r);
  // A document no program is associated with is told so, not taken for a program that failed.
  if (code <= 32) ShowStringMessage(nullptr, code == SE_ERR_NOASSOC ? IDS_NO_ASSOCIATION : IDS_CANNOT_RUN);
}

std::string ExtractedFilePath(const std::string& workDir, const std::string& member) {
  std::string utf8;
  if (!MemberReferenceName(member, &utf8)) return ViewedFile(workDir, member);
  size_t slash = utf8.find_last_of("/\\");
  std::wstring path = WidenText(WorkSlash(workDir), CP_ACP) +
                      WidenText(slash == std::string::npos ? utf8 : utf8.substr(slash + 1), CP_UTF8);
  std::string out;
  if (NarrowText(path, CP_ACP, &out)) return out;
  wchar_t shortPath[MAX_PATH];
  DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  if (n > 0 && n < MAX_PATH) NarrowText(std::wstring_view(shortPath, n), CP_ACP, &out);
  return out;
}

RunResult ViewArchiveMember(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                            const std::string& archive, bool encrypted, const std::string& line,
                            const AskPassword& askPassword, const OpenFile& open) {
  if (!IsFileLine(line)) return RunResult::Done;
  std::string member(LineMemberName(line, false));
  if (NeedsPassword(PasswordRule::ExtractEither, s, encrypted) && !askPassword(s))
    return RunResult::Refused;
  RunResult r = RunCommand(setup, ViewMember(s, EnginePathsOf(setup), kind, archive, encrypted, member));
  if (r == RunResult::Done) open(ExtractedFilePath(setup.workDir, member));
  return r;
}

}  // namespace ql
