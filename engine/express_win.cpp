#include "engine/express_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cctype>
#include <cstdio>

#include "app/shared_win.h"
#include "common/mask.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return "";
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A directory named by an Express dialog (longer than two characters) that does not exist is
// offered for creation; false when it is not there afterwards.
bool EnsureExpressDirectory(HWND owner, const std::string& dir) {
  if (dir.size() <= 2 || DirectoryExists(dir)) return true;
  if (ShowStringMessageArg(owner, IDS_CREATE_DIRECTORY_ASK, dir.c_str(),
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  CreateDirectoryPath(dir.c_str());
  return DirectoryExists(dir);
}

unsigned long long FreeBytes(const std::string& path) {
  std::string root = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "\\" : path;
  ULARGE_INTEGER avail;
  if (!GetDiskFreeSpaceExA(root.c_str(), &avail, nullptr, nullptr)) return 0;
  return avail.QuadPart;
}

EnginePaths PathsOf(const RunnerSetup& setup) { return EnginePaths{setup.programDir, setup.workDir}; }

}  // namespace

bool ArchiveKindOfFile(HWND owner, const std::string& path, ArchiveKind* kind, bool message) {
  bool exeHoldsZip = false;
  if (MatchFileMask(path, "*.EXE")) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      exeHoldsZip = FindZipStart(file, nullptr);
      CloseHandle(file);
    }
  }
  if (ArchiveKindFromName(path, exeHoldsZip, kind)) return true;
  if (message) ShowStringMessage(owner, IDS_ZIP_INVALID);
  return false;
}

RunResult ExpressAddFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          const std::vector<std::string>& names, bool move,
                          const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (!EnsureExpressDirectory(setup.owner, DirectoryOf(archive))) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::Add, s, false) && !askPassword(s)) return RunResult::Refused;
  char cur[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof cur, cur);
  return RunCommand(setup, ExpressAdd(s, PathsOf(setup), kind, archive, names, cur, move));
}

RunResult ExpressExtractFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                              const std::vector<std::string>* names, const std::string& target,
                              const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (!EnsureExpressDirectory(setup.owner, target)) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::ExtractSwitch, s, false) && !askPassword(s))
    return RunResult::Refused;
  Command cmd = ExpressExtract(s, PathsOf(setup), kind, archive, names, target);
  // The target is named on the command; the archiver runs in the archive's directory.
  cmd.currentDir = DirectoryOf(archive);
  return RunCommand(setup, cmd);
}

RunResult ExpressDeleteFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             const std::vector<std::string>& names, const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  if (names.empty()) return RunResult::Done;
  if (NeedsPassword(PasswordRule::Add, s, false) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup, ExpressDelete(s, PathsOf(setup), kind, archive, names));
}

RunResult TestArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                          TestFrom from, const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  PasswordRule rule =
      from == TestFrom::DirectoryFile ? PasswordRule::ExtractSwitch : PasswordRule::TestArchive;
  if (NeedsPassword(rule, s, false) && !askPassword(s)) return RunResult::Refused;
  return RunCommand(setup, TestArchive(s, PathsOf(setup), kind, archive, from));
}

RunResult FreshenArchiveFile(const RunnerSetup& setup, SwitchSet& s, const std::string& archive,
                             bool update, bool express, bool encrypted, unsigned long long needed,
                             const AskPassword& askPassword) {
  ArchiveKind kind;
  if (!ArchiveKindOfFile(setup.owner, archive, &kind, true)) return RunResult::Refused;
  char drive = archive.size() >= 2 && archive[1] == ':' ? archive[0] : 'C';
  if (needed && FreshenLacksSpace(needed, FreeBytes(archive), FreeBytes(setup.workDir), drive)) {
    ShowStringMessage(setup.owner, IDS_NO_DISK_SPACE);
    return RunResult::Refused;
  }
  PasswordRule rule = express ? PasswordRule::FreshenExpress : PasswordRule::FreshenManager;
  if (NeedsPassword(rule, s, express ? false : encrypted) && !askPassword(s))
    return RunResult::Refused;
  return RunCommand(setup, FreshenOrUpdate(s, PathsOf(setup), kind, archive, update, express, encrypted));
}

}  // namespace ql

namespace ql {

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
  return RunCommand(setup, ExtractMembers(s, EnginePaths{setup.programDir, setup.workDir}, kind,
                                          archive, encrypted, names, target));
}

RunResult DropAddFiles(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                       const std::string& archive, bool encrypted, bool move,
                       const DropSource& src, const AskPassword& askPassword) {
  if (src.listBox && src.nameFields.empty()) return RunResult::Done;
  if (NeedsPassword(PasswordRule::AddToWindow, s, encrypted) && !askPassword(s))
    return RunResult::Refused;
  RunResult r = RunCommand(setup, DropAdd(s, EnginePaths{setup.programDir, setup.workDir}, kind,
                                          archive, encrypted, move, src));
  // A multiple-volume ARJ on a floppy ends on its last disk: ask for the first one back.
  if (r == RunResult::Done && kind == ArchiveKind::Arj && On(s, Sw::MultiVolume) &&
      !archive.empty() && (toupper(static_cast<unsigned char>(archive[0])) == 'A' ||
                           toupper(static_cast<unsigned char>(archive[0])) == 'B')) {
    HANDLE file = CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      char text[64];
      snprintf(text, sizeof text, "Insert Disk #0 Into Drive %c:", archive[0]);
      AppMessageBox(setup.owner, text, "Quillon", MB_OK | MB_ICONEXCLAMATION);
    } else {
      CloseHandle(file);
    }
  }
  return r;
}

void OpenWithShell(const std::string& path) {
  HINSTANCE r = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(r) <= 32) ShowStringMessage(nullptr, IDS_CANNOT_RUN);
}

RunResult ViewArchiveMember(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                            const std::string& archive, bool encrypted, const std::string& line,
                            const AskPassword& askPassword, const OpenFile& open) {
  if (line.empty() || line[0] == '>' || line[0] == '[') return RunResult::Done;
  std::string member = line.substr(0, line.find('\t'));
  if (NeedsPassword(PasswordRule::ExtractEither, s, encrypted) && !askPassword(s))
    return RunResult::Refused;
  RunResult r = RunCommand(setup, ViewMember(s, EnginePaths{setup.programDir, setup.workDir}, kind,
                                             archive, encrypted, member));
  if (r == RunResult::Done) open(ViewedFile(setup.workDir, member));
  return r;
}

}  // namespace ql
