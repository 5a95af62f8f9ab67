#include "engine/transforms_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "common/dialog_kit_win.h"
#include "common/mask.h"
#include "common/member_reference.h"
#include "common/repaired_zip_name.h"
#include "common/shared_win.h"
#include "engine/convert_extras.h"
#include "engine/dialogs_win.h"
#include "engine/extract_win.h"
#include "engine/runner_win.h"
#include "engine/transform_commands.h"
#include "readers/readers_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool Ran(RunResult r) { return r == RunResult::Done || r == RunResult::RunnerEnded; }

std::string Joined(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Runs a command and tells whether it succeeded: the engine's result, or the exit code the
// runner left behind. A run whose outcome is unknown counts as failed.
bool RunSucceeded(const RunnerSetup& setup, const Command& cmd) {
  std::string exitFile = WorkSlash(setup.workDir) + "cmndexit";
  DeleteFileA(exitFile.c_str());  // never read the code of an earlier command
  RunResult r = RunCommand(setup, cmd);
  if (r != RunResult::Done) return false;
  if (cmd.via != Via::Runner) return LastEngineResult() == 0;
  unsigned long code = 1;
  return ReadRunnerExitCode(setup.workDir.c_str(), &code) && code == 0;
}

// Whether a directory holds at least one file, at any depth.
bool HoldsFiles(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if (!lstrcmpA(fd.cFileName, ".") || !lstrcmpA(fd.cFileName, "..")) continue;
    found = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? HoldsFiles(dir + "\\" + fd.cFileName) : true;
  } while (!found && FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

unsigned long long FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (static_cast<unsigned long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

char DriveOf(const std::string& path) {
  if (path.size() > 1 && path[1] == ':') return path[0];
  std::string cur = CurrentDirectory();
  return cur.size() > 1 && cur[1] == ':' ? cur[0] : 0;
}

// How many scratch and pack names a convert tries.
constexpr unsigned kScratchNames = 100;
constexpr unsigned kPackNames = 1000;

// A fresh, empty scratch directory, its path ("" when none can be made): leftovers of an earlier
// convert never go into a new archive. Scratch directories of earlier converts are removed first;
// one that a process still holds (a runner console left open keeps it as its current directory)
// stays and is passed over, to be removed by a later convert once it is free.
std::string FreshScratch(const std::string& workDir) {
  for (unsigned n = 0; n < kScratchNames; ++n) {
    std::string dir = ScratchDirectory(workDir, n);
    if (DirectoryExists(dir)) RemoveDirectoryTree(dir.c_str());
  }
  for (unsigned n = 0; n < kScratchNames; ++n) {
    std::string dir = ScratchDirectory(workDir, n);
    if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES && CreateDirectoryA(dir.c_str(), nullptr))
      return dir;
  }
  return "";
}

// The first of `count` names (`nameOf(0)`, `nameOf(1)` ...) that no file or directory has; ""
// when all are taken.
template <typename NameOf>
std::string FirstFreeName(unsigned count, NameOf nameOf) {
  for (unsigned n = 0; n < count; ++n) {
    std::string path = nameOf(n);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
      return path;
  }
  return "";
}

// A name beside `target` that nothing has, for the archive being made; "" when none is free.
std::string FreePackPath(const std::string& target) {
  return FirstFreeName(kPackNames, [&](unsigned n) { return ConvertPackPath(target, n); });
}

// The archive or file comment that `line` (a listing line of `source`) points at: a ZIP's bytes as
// they are, an ARJ's text with CR LF line ends, as a ZIP comment has them. False when it cannot be
// read.
bool ReadListedComment(const std::string& source, const std::string& line, bool arj, std::string* text) {
  HANDLE f = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  uint64_t offset = 0;
  size_t count = 0;
  bool ok = GetFileSizeEx(f, &size) &&
            CommentReadRange(line, static_cast<uint64_t>(size.QuadPart), 0xFFFF + 2600, &offset, &count);
  std::vector<char> buf(count + 1, '\0');
  if (ok) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    ok = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, buf.data(), static_cast<DWORD>(count), &got, nullptr) &&
         got == count;
  }
  CloseHandle(f);
  if (!ok) return false;
  *text = arj ? CommentTextOf(buf.data(), count, ArchiveKind::Arj) : std::string(buf.data(), count);
  return true;
}

// Gives the ZIP archive at `path` the archive comment `title`. The archive ends with an end record
// that has no comment, as the packers write a new archive; anything else is left alone and fails.
bool SetZipTitle(const std::string& path, const std::string& title) {
  constexpr LONGLONG kEndSize = 22;
  if (title.size() > 0xFFFF) return false;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{}, at{};
  unsigned char end[kEndSize];
  DWORD got = 0;
  bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= kEndSize;
  at.QuadPart = size.QuadPart - kEndSize;
  ok = ok && SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, end, kEndSize, &got, nullptr) &&
       got == kEndSize && end[0] == 'P' && end[1] == 'K' && end[2] == 5 && end[3] == 6 && end[20] == 0 && end[21] == 0;
  if (ok) {
    end[20] = static_cast<unsigned char>(title.size() & 0xFF);
    end[21] = static_cast<unsigned char>(title.size() >> 8);
    std::string tail(reinterpret_cast<const char*>(end), kEndSize);
    tail += title;
    DWORD written = 0;
    ok = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) &&
         WriteFile(f, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr) && written == tail.size();
  }
  CloseHandle(f);
  return ok;
}

// How far the comments and folders went into a new archive.
enum class Carried {
  Whole,   // all of them
  Partly,  // the archive is sound and complete, but some are not in it
  Failed,  // the archive is damaged or gone
};

// The local time as a DOS date (high half) and time.
uint32_t DosNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  FILETIME ft;
  WORD date = 0, time = 0;
  if (!SystemTimeToFileTime(&st, &ft) || !FileTimeToDosDateTime(&ft, &date, &time)) return 0;
  return (static_cast<uint32_t>(date) << 16) | time;
}

// Gives the new ZIP at `path` the file comments and the folder entries, by writing its central
// directory again. An archive this cannot read as a packer's plain new archive is left alone.
Carried CarryIntoZip(const std::string& path, const std::vector<MemberComment>& comments,
                     const std::vector<std::string>& folders) {
  if (comments.empty() && folders.empty()) return Carried::Whole;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return Carried::Failed;
  auto readAt = [f](uint64_t pos, std::string* into, size_t n) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(pos);
    into->resize(n);
    DWORD got = 0;
    return SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, &(*into)[0], static_cast<DWORD>(n), &got, nullptr) &&
           got == n;
  };
  LARGE_INTEGER size{};
  std::string end, directory, tail;
  uint64_t offset = 0, length = 0;
  uint16_t entries = 0;
  size_t missed = 0;
  bool plain = GetFileSizeEx(f, &size) && static_cast<uint64_t>(size.QuadPart) >= kZipEndSize &&
               readAt(static_cast<uint64_t>(size.QuadPart) - kZipEndSize, &end, kZipEndSize) &&
               PlainZipDirectory(reinterpret_cast<const uint8_t*>(end.data()), static_cast<uint64_t>(size.QuadPart),
                                 &offset, &length, &entries) &&
               readAt(offset, &directory, static_cast<size_t>(length)) &&
               ZipTailWithExtras(directory, offset, entries, comments, folders, DosNow(), &tail, &missed);
  Carried result = plain ? (missed ? Carried::Partly : Carried::Whole) : Carried::Partly;
  if (plain) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD written = 0;
    if (!SetFilePointerEx(f, at, nullptr, FILE_BEGIN) ||
        !WriteFile(f, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr) || written != tail.size() ||
        !SetEndOfFile(f))
      result = Carried::Failed;
  }
  CloseHandle(f);
  return result;
}

// Gives the new ARJ at `packPath` the file comments: the packer's archive takes another free
// name beside `target` and is copied back with them. An archive the copy cannot read as a plain
// new archive stays as the packer wrote it.
Carried CarryIntoArj(const std::string& packPath, const std::string& target,
                     const std::vector<MemberComment>& comments) {
  if (comments.empty()) return Carried::Whole;
  std::string packed = FreePackPath(target);
  if (packed.empty() || !MoveFileExA(packPath.c_str(), packed.c_str(), 0)) return Carried::Failed;
  HANDLE in = CreateFileA(packed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  HANDLE out = CreateFileA(packPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool writable = true;
  size_t missed = 0;
  bool copied = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
                CopyArjWithComments(
                    [in](void* buf, size_t n) {
                      DWORD got = 0;
                      return ReadFile(in, buf, static_cast<DWORD>(n), &got, nullptr) ? static_cast<size_t>(got) : 0;
                    },
                    [out, &writable](const void* data, size_t n) {
                      DWORD written = 0;
                      writable = WriteFile(out, data, static_cast<DWORD>(n), &written, nullptr) && written == n;
                      return writable;
                    },
                    comments, &missed);
  if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (copied) {
    DeleteFileA(packed.c_str());
    return missed ? Carried::Partly : Carried::Whole;
  }
  DeleteFileA(packPath.c_str());
  if (writable && in != INVALID_HANDLE_VALUE && MoveFileExA(packed.c_str(), packPath.c_str(), 0))
    return Carried::Partly;
  DeleteFileA(packed.c_str());
  return Carried::Failed;
}

// What a convert of `source` carries into the new archive besides the files: the archive
// comment, the file comments (as the new archive keeps them) and the folder entries. A new ARJ
// takes its folders from the packer ("-a1"); a new ZIP is given them afterwards. `lost`: the
// source holds something the new archive cannot keep (a comment too long for ARJ), or that
// cannot be read.
struct ConvertExtras {
  std::string title;
  std::vector<MemberComment> comments;
  std::vector<std::string> folders;  // the folder entries a new ZIP is given
  bool folderEntries = false;        // a new ARJ stores its folders as entries
  bool lost = false;
};

ConvertExtras ConvertExtrasOf(const std::string& source, const ConvertKind& k) {
  ConvertExtras x;
  if (k.from != ConvertFrom::Zip && k.from != ConvertFrom::Arj) return x;
  bool arj = k.from == ConvertFrom::Arj, toArj = k.to == ConvertTo::Arj;
  ArchiveExtras extras = ArchiveExtrasOf(source, arj);
  bool titleKept = extras.titleLine.empty() || (ReadListedComment(source, extras.titleLine, arj, &x.title) &&
                                                (!toArj || ArjKeepsTitle(x.title)));
  if (!titleKept) x.title.clear();
  x.lost = !titleKept;
  for (const ArchiveExtras::CommentLine& c : extras.commentLines) {
    std::string text;
    if (!ReadListedComment(source, c.line, arj, &text) || (toArj && !ArjKeepsFileComment(c.name, text))) {
      x.lost = true;
      continue;
    }
    if (toArj) text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    x.comments.push_back({c.name, text});
  }
  x.folderEntries = extras.emptyFolders && toArj;
  if (!toArj) x.folders = extras.folders;
  return x;
}

}  // namespace

bool ConvertArchive(const RunnerSetup& setup, SwitchSet& s, unsigned command, const std::string& directory,
                    const std::vector<std::string>& names, const std::string& arcProgram,
                    const std::string& lzhProgram, const AskPassword& askPassword) {
  ConvertKind k{};
  if (!ConvertKindOf(command, &k)) return false;
  if (names.empty()) {
    ShowStringMessage(setup.owner, IDS_NO_SELECTION);
    return false;
  }
  std::string source = Joined(WorkNoSlash(directory), names[0]);
  bool exeZip = k.from == ConvertFrom::Zip && MatchFileMask(source, "*.EXE") && FileHoldsZip(source);
  if (!ConvertSourceAccepted(k, names[0], exeZip)) {
    ShowStringMessage(setup.owner, IDS_ZIP_INVALID);
    return false;
  }
  std::string target = ConvertTargetPath(source, k.to);
  bool replacesSource = lstrcmpiA(target.c_str(), source.c_str()) == 0;
  if (FileExists(target) && !replacesSource) {
    // Packing into an existing archive would merge the two silently.
    ShowStringMessageArg(setup.owner, IDS_CONVERT_TARGET_EXISTS, target.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  // What the new archive cannot keep, the user decides about before anything is written or
  // replaced, and again, before the source is replaced, about anything it turns out not to take.
  auto convertWithout = [&] {
    return ShowStringMessageArg(setup.owner, IDS_CONVERT_DROPS_EXTRAS, source.c_str(),
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  };
  ConvertExtras x = ConvertExtrasOf(source, k);
  if (x.lost && !convertWithout()) return false;
  const std::string& title = x.title;
  if (On(s, Sw::ExtractWithPassword) && !askPassword(s)) return false;

  EnginePaths paths = EnginePathsOf(setup);
  std::string program = k.from == ConvertFrom::Arc   ? ConvertProgram(paths, k.from, arcProgram)
                        : k.from == ConvertFrom::Lzh ? ConvertProgram(paths, k.from, lzhProgram)
                                                     : "";
  std::string saved = CurrentDirectory();
  std::string scratch = FreshScratch(setup.workDir);
  std::string packPath = FreePackPath(target);
  if (scratch.empty() || packPath.empty()) {
    if (!scratch.empty()) RemoveDirectoryTree(scratch.c_str());
    std::string failed = scratch.empty() ? ScratchDirectory(setup.workDir) : target;
    ShowStringMessageArg(setup.owner, IDS_ARCHIVE_NOT_CREATED, failed.c_str(), MB_OK | MB_ICONEXCLAMATION);
    SetCurrentDirAndDrive(saved.c_str());
    return false;
  }
  // ARJ reads the archive comment from a file of the work directory; a ZIP gets it once packed.
  std::string titleFile;
  if (!title.empty() && k.to == ConvertTo::Arj) titleFile = WorkSlash(setup.workDir) + "ql5title";
  ConvertCommands cmds = ConvertCommandsFor(s, paths, k, source, program, packPath, scratch, titleFile,
                                            x.folderEntries);

  // The new archive is written beside the target under a name of its own and tested there; only
  // then does it take the target's name, by a rename on the same drive. Whatever fails (a full
  // disk, a damaged source, a cancel), the partial archive goes and the folder is as it was.
  bool declined = false;
  auto carry = [&] {
    Carried c = k.to == ConvertTo::Zip ? CarryIntoZip(packPath, x.comments, x.folders)
                                       : CarryIntoArj(packPath, target, x.comments);
    if (c == Carried::Partly && !x.lost && !convertWithout()) declined = true;
    return c == Carried::Whole || (c == Carried::Partly && !declined);
  };
  bool ok = (titleFile.empty() || WriteWholeFile(titleFile, title)) && RunSucceeded(setup, cmds.unpack) &&
            HoldsFiles(scratch) && RunSucceeded(setup, cmds.pack) && FileExists(packPath) && carry() &&
            (k.to == ConvertTo::Arj || title.empty() || SetZipTitle(packPath, title)) &&
            RunSucceeded(setup, cmds.test);
  if (!titleFile.empty()) DeleteFileA(titleFile.c_str());
  if (ok) {
    // Only now is a replaced source gone.
    ok = MoveFileExA(packPath.c_str(), target.c_str(),
                     (replacesSource ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH) != 0;
    if (ok && k.deflateOldZip && !replacesSource) DeleteFileA(source.c_str());
  }
  DeleteFileA(packPath.c_str());
  SetCurrentDirAndDrive(saved.c_str());
  RemoveDirectoryTree(scratch.c_str());
  if (!ok && !declined) ShowStringMessageArg(setup.owner, IDS_CONVERT_FAILED, source.c_str(), MB_OK | MB_ICONEXCLAMATION);
  return ok;
}

RunResult MakeSelfExtracting(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind,
                             const std::string& archive, const AskPassword& askPassword) {
  EnginePaths paths = EnginePathsOf(setup);
  Command cmd = kind == ArchiveKind::Zip ? SelfExtractingZip(s, paths, archive) : SelfExtractingArj(s, paths, archive);
  if (kind == ArchiveKind::Arj && !cmd.message && On(s, Sw::Password)) {
    if (!askPassword(s)) return RunResult::Refused;
    cmd = SelfExtractingArj(s, paths, archive);
  }
  RunResult r = RunCommand(setup, cmd);
  // A minimised console that ends at once shows nothing: the exit code tells whether it worked.
  unsigned long code = 0;
  if (r == RunResult::Done && ReadRunnerExitCode(setup.workDir.c_str(), &code) && code != 0)
    ShowStringMessageArg(setup.owner, IDS_SFX_FAILED, archive.c_str(), MB_OK | MB_ICONEXCLAMATION);
  return r;
}

namespace {

// The directory a repaired ARJ's members go into: named after the archive, beside it, and new:
// DAMAGED.ARJ gives DAMAGED, or DAMAGED.1, DAMAGED.2 ... when that name is taken. "" when none
// is free.
std::string FreeRecoveryDirectory(const std::string& archive) {
  size_t slash = archive.find_last_of('\\');
  size_t dot = archive.find_last_of('.');
  std::string base = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? archive
                                                                                             : archive.substr(0, dot);
  return FirstFreeName(100, [&](unsigned n) { return n ? base + "." + std::to_string(n) : base; });
}

// Where PKZIPFIX puts its repair in `directory`: the first of PKFIXED.ZIP, PKFIX001.ZIP ...
// PKFIX999.ZIP that does not exist, as PKZIPFIX chooses it. "" when all are taken.
std::string FreeRepairedZipPath(const std::string& directory) {
  return FirstFreeName(kRepairedZipNames,
                       [&](unsigned n) { return Joined(directory, RepairedZipName(static_cast<int>(n))); });
}

}  // namespace

RunResult RepairArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& directory,
                        const std::string& name, const AskPassword& askPassword) {
  if (!IsFileLine(name)) return RunResult::Refused;
  if (kind == ArchiveKind::Zip && !MatchFileMask(name, "*.ZIP")) {
    ShowStringMessage(setup.owner, IDS_ZIP_INVALID);
    return RunResult::Refused;
  }
  std::string archive = Joined(directory, name);
  HANDLE f = CreateFileA(archive.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    ShowStringMessageArg(setup.owner, IDS_ARCHIVE_NOT_CREATED, archive.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return RunResult::NotCreated;
  }
  CloseHandle(f);
  char archiveDrive = DriveOf(directory.empty() ? archive : directory);
  char workDrive = DriveOf(WorkNoSlash(setup.workDir));
  unsigned long long archiveFree = archiveDrive ? DriveFreeBytes(archiveDrive) : 0;
  unsigned long long workFree = workDrive ? DriveFreeBytes(workDrive) : archiveFree;
  if (RepairLacksSpace(FileBytes(archive), archiveFree, workFree)) {
    ShowStringMessage(setup.owner, IDS_NO_DISK_SPACE);
    return RunResult::Refused;
  }
  EnginePaths paths = EnginePathsOf(setup);
  unsigned long code = 0;
  if (kind == ArchiveKind::Zip) {
    // PKZIPFIX never writes over an earlier repair: it takes the first free name, which the user
    // is told.
    std::string repaired = FreeRepairedZipPath(directory.empty() ? CurrentDirectory() : directory);
    RunResult r = RunCommand(setup, RepairZip(s, paths, name, directory));
    if (r != RunResult::Done) return r;
    bool known = ReadRunnerExitCode(setup.workDir.c_str(), &code);
    if (!repaired.empty() && FileExists(repaired) && (!known || code <= 1))
      ShowStringMessageArg(setup.owner, IDS_REPAIR_ZIP_WRITTEN, repaired.c_str(), MB_OK | MB_ICONINFORMATION);
    else
      ShowStringMessageArg(setup.owner, IDS_REPAIR_FAILED, archive.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return r;
  }
  if (On(s, Sw::ExtractWithPassword) && !askPassword(s)) return RunResult::Refused;
  // The members go, with their folders, into a new directory named after the archive: never
  // loose among the user's files, never over a file that is there.
  std::string into = FreeRecoveryDirectory(archive);
  if (into.empty() || !CreateDirectoryA(into.c_str(), nullptr)) {
    std::string failed = into.empty() ? archive : into;
    ShowStringMessageArg(setup.owner, IDS_ARCHIVE_NOT_CREATED, failed.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return RunResult::NotCreated;
  }
  RunResult r = RunCommand(setup, RepairArj(s, paths, archive, into));
  if (HoldsFiles(into)) {
    ShowStringMessageArg(setup.owner, IDS_REPAIR_ARJ_INTO, into.c_str(), MB_OK | MB_ICONINFORMATION);
  } else {
    RemoveDirectoryTree(into.c_str());
    if (r == RunResult::Done)
      ShowStringMessageArg(setup.owner, IDS_REPAIR_FAILED, archive.c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  return r;
}

namespace {

struct JoinData {
  std::string name;
};

INT_PTR CALLBACK JoinProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    SendDlgItemMessageA(d, IDC_JOIN_NAME, EM_LIMITTEXT, 260, 0);
    PlaceDialog(d);
    return TRUE;
  }
  JoinData* data = reinterpret_cast<JoinData*>(GetWindowLongPtrA(d, DWLP_USER));
  if (data && DialogHelpOrCancel(d, m, w, 7089)) return TRUE;
  if (m == WM_COMMAND && LOWORD(w) == IDOK && data) {
    std::string n = DlgText(d, IDC_JOIN_NAME, 261);
    while (!n.empty() && n.back() == ' ') n.pop_back();
    if (n.empty()) {
      MessageBeep(MB_ICONEXCLAMATION);
      SetFocus(GetDlgItem(d, IDC_JOIN_NAME));
      return TRUE;
    }
    data->name = n;
    EndDialog(d, IDOK);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR JoinArjFiles(const RunnerSetup& setup, SwitchSet& s, const std::string& directory,
                     const std::vector<std::string>& names, bool encrypted, const AskPassword& askPassword) {
  // Volumes (BOOK.A01) pass this check, so that a selection of a whole set can be joined; only
  // the .ARJ names go into the list.
  if (names.empty() || !JoinNamesAccepted(names)) {
    ShowStringMessage(setup.owner, names.empty() ? IDS_NO_SELECTION : IDS_ONLY_ARJ_FILES);
    g_cancelled = true;
    return IDCANCEL;
  }
  JoinData data;
  INT_PTR r = RunDialog(setup.owner, "JOIN_ARJ_FILES", JoinProc, reinterpret_cast<LPARAM>(&data));
  if (r != IDOK) return r;
  // A cancelled password only leaves the password out.
  bool password = (On(s, Sw::Password) || encrypted) && askPassword(s);
  Command cmd = JoinArj(s, EnginePathsOf(setup), data.name, names, password);
  cmd.currentDir = WorkNoSlash(directory);
  RunCommand(setup, cmd);
  return r;
}

bool RenameInArjArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& archive,
                        const std::vector<std::string>& members, const AskPassword& askPassword) {
  if (members.empty()) {
    ShowStringMessage(setup.owner, IDS_SELECT_IN_ARCHIVE);
    return false;
  }
  if (kind != ArchiveKind::Arj || archive.empty()) {
    ShowStringMessageArg(setup.owner, IDS_ARJ_INVALID, "", MB_OK | MB_ICONHAND);
    return false;
  }
  std::vector<std::string> names = SelectionListNames(members, "");
  if (names.empty()) return false;
  if (On(s, Sw::Password) && !askPassword(s)) return false;
  HCURSOR cursor = GetCursor();
  RunResult r = RunCommand(setup, RenameInArj(s, EnginePathsOf(setup), archive, names));
  SetCursor(cursor);
  return Ran(r);
}

bool StartProgramAt(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  std::string dir = slash == std::string::npos ? "" : path.substr(0, slash == 2 ? 3 : slash);
  std::string file = path;
  std::string shortPath = ShortPathForm(path.c_str());
  if (!shortPath.empty()) file = shortPath;
  ProcessStart how;
  how.application = file.c_str();
  how.directory = dir.empty() ? nullptr : dir.c_str();
  HANDLE process = StartProcess("", how);
  if (!process) return false;
  CloseHandle(process);
  return true;
}

RunResult RunFromArchive(const RunnerSetup& setup, SwitchSet& s, ArchiveKind kind, const std::string& archive,
                         const std::string& entry, const AskPassword& askPassword) {
  std::string shown = entry;  // a member's reference stands for its real name
  if (IsMemberReference(entry) && !MemberReferenceName(entry, &shown)) return RunResult::Refused;
  if (!IsFileLine(shown)) return RunResult::Refused;
  if (!RunnableEntry(shown)) {
    ShowStringMessage(setup.owner, IDS_PROGRAM_EXTENSIONS);
    return RunResult::Refused;
  }
  if (On(s, Sw::Password) && !askPassword(s)) return RunResult::Refused;
  RunResult r = RunCommand(setup, ExtractProgramToRun(s, EnginePathsOf(setup), kind, archive, entry));
  if (r != RunResult::Done) return r;
  StartProgramAt(ExtractedFilePath(setup.workDir, entry));
  return r;
}

namespace {

// What follows the last "." of a path's file name ("" without one).
std::string ExtensionOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

// The short form of a document's path for the shell, but never one that changes its extension:
// the association is looked up by the extension, and a short name keeps only three letters of it
// (LETTER.HTML would open as a .HTM, REPORT.QLRECDOC not at all). Then only the directory is
// shortened.
std::string DocumentPathForShell(const std::string& path) {
  std::string shortPath = ShortPathForm(path.c_str());
  if (shortPath.empty()) return path;
  if (lstrcmpiA(ExtensionOf(shortPath).c_str(), ExtensionOf(path).c_str()) == 0) return shortPath;
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return path;
  std::string dir = path.substr(0, slash == 2 ? 3 : slash);
  std::string shortDir = ShortPathForm(dir.c_str());
  if (shortDir.empty()) return path;
  return Joined(shortDir, path.substr(slash + 1));
}

}  // namespace

bool OpenDocument(HWND owner, const std::string& path, int show) {
  std::string p = DocumentPathForShell(path);
  std::string dir, file = p;
  size_t slash = p.find_last_of('\\');
  bool rooted = p.size() > 1 && ((p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) ||
                                 p[0] == '\\' || p[0] == '.');
  if (slash != std::string::npos && rooted) {
    dir = p.substr(0, slash == 2 ? 3 : slash);
    file = p.substr(slash + 1);
  }
  // The whole path goes to the shell (a bare name would be looked for in the current directory).
  HINSTANCE r = ShellExecuteA(owner, "open", dir.empty() ? file.c_str() : p.c_str(), nullptr,
                              dir.empty() ? nullptr : dir.c_str(), show);
  if (reinterpret_cast<INT_PTR>(r) > 32) return true;
  if (WinExec(p.c_str(), SW_SHOWNORMAL) > 31) return true;
  ShowStringMessage(owner, IDS_NO_ASSOCIATION);
  return false;
}

}  // namespace ql
