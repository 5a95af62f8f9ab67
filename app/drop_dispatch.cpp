#include "app/drop_dispatch.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "app/archive_ops.h"
#include "app/settings.h"
#include "app/startup.h"
#include "browser/drag_win.h"
#include "browser/drop_rules.h"
#include "common/shared_win.h"
#include "common/text_and_paths.h"
#include "engine/add_win.h"
#include "engine/commands.h"
#include "engine/dialogs_win.h"
#include "engine/extract_win.h"
#include "engine/runner_win.h"
#include "engine/switches_win.h"
#include "fileops/file_ops_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

namespace {

HWND Frame() { return g_mdiClient ? GetParent(g_mdiClient) : nullptr; }

bool IsClass(HWND h, const char* name) {
  char buf[32] = "";
  GetClassNameA(h, buf, sizeof buf);
  return lstrcmpiA(buf, name) == 0;
}

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

// Free bytes for the caller on a drive; 0 when it cannot be read.
uint64_t DriveFree(char drive) {
  if (!std::isalpha(static_cast<unsigned char>(drive))) return 0;
  char root[4] = {drive, ':', '\\', 0};
  ULARGE_INTEGER avail;
  if (!GetDiskFreeSpaceExA(root, &avail, nullptr, nullptr)) return 0;
  return avail.QuadPart;
}

// The directory a drive button stands for: the one the window remembers for the drive, else the
// drive's "=X:" entry, else its root.
std::string DriveButtonDirectory(HWND browser, char letter) {
  char dir[MAX_PATH] = "";
  if (RecallDriveDir(browser, letter, dir, sizeof dir) && dir[0]) return dir;
  char name[4] = {'=', static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':', 0};
  DWORD n = GetEnvironmentVariableA(name, dir, sizeof dir);
  if (n > 0 && n < sizeof dir) return dir;
  return std::string(1, letter) + ":\\";
}

std::string InDirectory(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

// Extracts the selected members of `list` (an archive list of `browser`) into `targetDir`, a
// browser window's directory when `targetWindow`, else the work directory.
RunResult ExtractDropped(HWND browser, const std::vector<std::string>& lines, bool targetWindow,
                         const std::string& targetDir) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !r->archivePath[0]) return RunResult::Refused;
  if (NeedsPassword(PasswordRule::ExtractEither, g_switches, Encrypted(browser)) &&
      !AskPasswordDialog(Frame(), g_switches))
    return RunResult::Refused;
  RunnerSetup setup = SetupFor(browser);
  return RunCommand(setup, DropExtract(g_switches, EnginePathsOf(setup), KindOf(browser), r->archivePath,
                                       Encrypted(browser), lines, targetWindow, targetDir));
}

// The new archive for a drop on the MDI client: a window opens for it; its archive list.
HWND NewArchiveWindowForDrop() {
  HWND frame = Frame();
  if (!frame || !NewArchiveFor(frame, nullptr)) return nullptr;
  WindowRecord* r = RecordOf(g_activeBrowser);
  return r ? r->hwndArchiveList : nullptr;
}

// Members dropped on another program: extracted into the work directory, where the program finds
// them. The extraction without a target window keeps no paths, so each file is there by its last
// name component.
bool ExtractForOtherProgram(HWND list, std::vector<std::string>* paths) {
  HWND browser = GetParent(list);
  std::vector<std::string> lines = SelectedLines(list);
  std::vector<std::string> members;
  for (const std::string& line : lines)
    if (IsFileLine(line)) members.emplace_back(LineMemberName(line, false));
  if (members.empty() || !g_settings) return false;
  const std::string work = g_settings->WorkDirectory;
  std::string saved = CurrentDirectory();
  RunResult result = ExtractDropped(browser, lines, false, work);
  SetCurrentDirAndDrive(saved.c_str());
  if (!Ran(result)) return false;
  for (const std::string& m : members) {
    std::string path = ExtractedFilePath(work, m);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) paths->push_back(path);
  }
  return !paths->empty();
}

void RefillDirectory(HWND browser) {
  int slot = SlotOf(browser);
  if (slot < 0) return;
  FillDirectoryList(slot);
  InvalidateRect(browser, nullptr, TRUE);
}

void ReloadArchive(HWND browser) {
  int slot = SlotOf(browser);
  if (slot < 0) return;
  RefreshArchiveWindow(slot);
  InvalidateRect(browser, nullptr, TRUE);
}

// The target of a drop, classified.
struct DropTarget {
  int kind = 0;                 // kDropDirectory .. kDropDelete; 0: nothing happens
  HWND browser = nullptr;       // the target list's window
  std::string directory;        // kind 1: the destination directory
};

// Classifies the target; a ZIP or ARJ list whose window has no archive gets one first. False when
// that was cancelled.
bool ClassifyTarget(HWND frame, HWND sourceBrowser, HWND target, DropTarget* t) {
  if (!target) {
    t->kind = kDropDelete;
    return true;
  }
  if (IsClass(target, "qlbutton")) {
    char text[8] = "";
    GetWindowTextA(target, text, sizeof text);
    char letter = text[0];
    if (!std::isalpha(static_cast<unsigned char>(letter))) letter = static_cast<char>(GetWindowLongA(target, 8));
    if (!std::isalpha(static_cast<unsigned char>(letter))) return true;
    t->kind = kDropDirectory;
    t->directory = DriveButtonDirectory(sourceBrowser, letter);
    return true;
  }
  if (IsTrashCan(target)) {
    t->kind = kDropDelete;
    return true;
  }
  if (IsClass(target, "MDIClient")) return true;  // another program's, or ours (handled at the drag's end)
  WindowRecord* r = RecordOf(GetParent(target));
  if (!r || !IsClass(target, "qllistbox")) return true;
  t->browser = GetParent(target);
  if (target == r->hwndDirList) {
    t->kind = kDropDirectory;
    t->directory = r->curDir;
    return true;
  }
  if (!r->archivePath[0]) {
    if (!NewArchiveFor(frame, t->browser) || !r->archivePath[0]) return false;
  }
  t->kind = KindOf(t->browser) == ArchiveKind::Arj ? kDropArj : kDropZip;
  SetListKind(target, t->kind);
  return true;
}

// The selected lines of a drop's source and what they add up to.
struct DropSelection {
  std::vector<std::string> lines;
  std::vector<std::string> names;  // the first field of each line that is not a marker
  uint64_t bytes = 0;
  bool anyMarker = false;
};

// The selection of `source`; false when a drop of directory lines on a directory must be refused
// (said already).
bool ReadDropSelection(HWND frame, HWND source, int sourceKind, int targetKind, DropSelection* s) {
  s->lines = SelectedLines(source);
  if (sourceKind == kDropDirectory && targetKind == kDropDirectory)
    for (const std::string& line : s->lines)
      if (IsPlaceLine(line)) {
        ShowStringMessage(frame, IDS_FILES_ONLY);
        return false;
      }
  for (const std::string& line : s->lines) {
    if (IsMarkerLine(line)) {
      s->anyMarker = true;
      continue;
    }
    int64_t size = LineSizeField(line);
    if (size > 0) s->bytes += static_cast<uint64_t>(size);
    s->names.push_back(FirstField(line));
  }
  return true;
}

// The space and confirmation checks before a drop. -1 when the drop goes ahead; otherwise what
// DispatchDrop returns (0 refused or declined, 1 nothing to do).
int CheckDrop(HWND frame, const WindowRecord* sr, const DropTarget& target, const DropSelection& s) {
  WindowRecord* tr = RecordOf(target.browser);
  const uint64_t workFree = DriveFree(DriveLetterOf(g_settings->WorkDirectory));
  char destDrive = 0;
  uint64_t archiveSize = 0;
  if (target.kind == kDropDelete) {
    destDrive = DriveLetterOf(sr->curDir);
  } else if (target.kind == kDropDirectory) {
    destDrive = DriveLetterOf(target.directory);
  } else {
    destDrive = DriveLetterOf(tr->archivePath);
    archiveSize = static_cast<uint32_t>(GetWindowLongA(target.browser, kWordArchiveSize));
  }
  const uint64_t needed = DropSpaceNeeded(s.bytes, target.kind, archiveSize);
  const bool confirm = (g_confirmFlags & kConfirmMouse) != 0;
  if (target.kind == kDropDirectory) {
    if (DropLacksSpace(needed, workFree, DriveFree(destDrive), target.kind, destDrive, false)) {
      ShowStringMessage(frame, IDS_NO_DISK_SPACE);
      return 0;
    }
    if (confirm && !ConfirmDragDrop(frame, s.names, target.directory, g_dropAction == kDropMove)) return 0;
    if (target.browser && GetWindowLongA(target.browser, kWordFileCount) == 0)
      SetWindowLongA(target.browser, kWordFileCount, 1);
  } else if (target.kind == kDropZip || target.kind == kDropArj) {
    if (DropLacksSpace(needed, workFree, DriveFree(destDrive), target.kind, destDrive,
                       On(g_switches, Sw::MultiVolume))) {
      ShowStringMessage(frame, IDS_NO_DISK_SPACE);
      return 0;
    }
    if (s.anyMarker) {
      ShowStringMessage(frame, IDS_CANT_DRAG_COMMENTS);
      return 0;
    }
    if (confirm && !ConfirmDragDrop(frame, s.names, tr->archivePath[0] ? tr->archivePath : "[Untitled] Archive",
                                    g_dropAction == kDropMove))
      return 0;
    if (GetWindowLongA(target.browser, kWordFileCount) == 0) SetWindowLongA(target.browser, kWordFileCount, 1);
  } else {
    if (s.anyMarker) {
      ShowStringMessage(frame, IDS_CANT_DELETE_COMMENTS);
      return 0;
    }
    if (!sr->hwndFocusList || SendMessageA(sr->hwndFocusList, LB_GETSELCOUNT, 0, 0) <= 0) return 1;
  }
  return -1;
}

AskPassword PasswordAskerOf(HWND frame) {
  return [frame](SwitchSet& s) { return AskPasswordDialog(frame, s); };
}

// Files of a directory list copied or moved into a directory.
bool CopyDroppedFiles(HWND frame, HWND sourceBrowser, const DropTarget& target, const DropSelection& s,
                      bool move) {
  const WindowRecord* sr = RecordOf(sourceBrowser);
  std::vector<std::string> paths;
  for (const std::string& name : s.names) paths.push_back(InDirectory(sr->curDir, name));
  bool done = CopyFilesToDirectory(frame, paths, target.directory, move);
  RefillDirectory(sourceBrowser);
  if (target.browser) RefillDirectory(target.browser);
  return done;
}

// Members of an archive extracted into a directory (and deleted from the archive by a move).
bool ExtractDroppedMembers(HWND frame, HWND sourceBrowser, const DropTarget& target, const DropSelection& s,
                           bool move) {
  const WindowRecord* sr = RecordOf(sourceBrowser);
  RunResult r = ExtractDropped(sourceBrowser, s.lines, true, target.directory);
  SetCurrentDirAndDrive(sr->curDir);
  if (Ran(r) && move) DeleteArchiveSelection(frame, sourceBrowser);
  ReloadArchive(sourceBrowser);
  if (target.browser) RefillDirectory(target.browser);
  return Ran(r);
}

// Files of a directory list added to (or moved into) an archive.
bool AddDroppedFiles(HWND frame, HWND sourceBrowser, const DropTarget& target, const DropSelection& s,
                     bool move) {
  const WindowRecord* sr = RecordOf(sourceBrowser);
  const WindowRecord* tr = RecordOf(target.browser);
  DropSource src;
  src.listBox = true;
  src.sourceDir = sr->curDir;
  for (const std::string& line : s.lines)
    if (!IsMarkerLine(line)) src.nameFields.emplace_back(LineSelectedName(line, g_shortNameDisplay != 0));
  RunResult r = DropAddFiles(SetupFor(target.browser), g_switches, KindOf(target.browser), tr->archivePath,
                             Encrypted(target.browser), move, src, PasswordAskerOf(frame));
  SetCurrentDirAndDrive(sr->curDir);
  ReloadArchive(target.browser);
  RefillDirectory(sourceBrowser);
  ShowDirectoryTotals(sourceBrowser);
  return Ran(r);
}

// Members of one archive put into another: out of the source into the work directory, then moved
// from there into the target.
bool TransferDroppedMembers(HWND frame, HWND sourceBrowser, const DropTarget& target, const DropSelection& s,
                            bool move) {
  const WindowRecord* sr = RecordOf(sourceBrowser);
  const WindowRecord* tr = RecordOf(target.browser);
  RunResult r = ExtractDropped(sourceBrowser, s.lines, false, g_settings->WorkDirectory);
  if (Ran(r)) {
    DropSource src;
    src.listBox = false;
    for (const std::string& name : s.names) src.placedList += name + "\r\n";
    r = DropAddFiles(SetupFor(target.browser), g_switches, KindOf(target.browser), tr->archivePath,
                     Encrypted(target.browser), true, src, PasswordAskerOf(frame));
  }
  SetCurrentDirAndDrive(sr->curDir);
  if (Ran(r) && move) DeleteArchiveSelection(frame, sourceBrowser);
  ReloadArchive(target.browser);
  ReloadArchive(sourceBrowser);
  return Ran(r);
}

}  // namespace

void ConnectDropHost(BrowserHost& host) {
  host.dispatchDrop = DispatchDrop;
  host.newArchiveWindowForDrop = NewArchiveWindowForDrop;
  host.extractForOtherProgram = ExtractForOtherProgram;
}

int DispatchDrop(HWND, DropRecord* record) {
  HWND frame = Frame();
  if (!g_activeBrowser || !record || !record->sourceList || !g_settings) return 1;
  HWND source = record->sourceList;
  HWND sourceBrowser = GetParent(source);
  WindowRecord* sr = RecordOf(sourceBrowser);
  if (!sr) return 1;
  const int sourceKind = source == sr->hwndDirList ? kDropDirectory
                         : KindOf(sourceBrowser) == ArchiveKind::Arj ? kDropArj
                                                                     : kDropZip;
  if (sourceKind != kDropDirectory && !sr->archivePath[0]) return 1;

  DropTarget target;
  if (!ClassifyTarget(frame, sourceBrowser, record->target, &target)) return 0;
  if (!target.kind) return 1;
  DropSelection selection;
  if (!ReadDropSelection(frame, source, sourceKind, target.kind, &selection)) return 0;
  if (selection.names.empty()) return 1;
  if (int stop = CheckDrop(frame, sr, target, selection); stop >= 0) return stop;

  const DropPlan plan = PlanDrop(sourceKind, target.kind, g_dropAction);
  bool done = true;
  switch (plan.op) {
    case DropOp::CopyFiles:
      done = CopyDroppedFiles(frame, sourceBrowser, target, selection, plan.move);
      break;
    case DropOp::ExtractMembers:
      done = ExtractDroppedMembers(frame, sourceBrowser, target, selection, plan.move);
      break;
    case DropOp::AddFiles:
      done = AddDroppedFiles(frame, sourceBrowser, target, selection, plan.move);
      break;
    case DropOp::TransferMembers:
      done = TransferDroppedMembers(frame, sourceBrowser, target, selection, plan.move);
      break;
    case DropOp::DeleteFiles:
      done = DeleteDirectoryListSelection(frame, sourceBrowser);
      break;
    case DropOp::DeleteMembers:
      DeleteArchiveSelection(frame, sourceBrowser);
      break;
    case DropOp::None:
      return 1;
  }
  g_dropAction = kDropCopy;
  if (g_activeBrowser) RefillDirectory(g_activeBrowser);
  return done ? 1 : 0;
}

void StartPickUp(HWND, HWND list, bool move) {
  if (list) BeginPickUp(list, move);
}

void DeleteWithTrashCan(HWND, HWND list) {
  if (!list || !g_activeBrowser) return;
  DropRecord record;
  record.sourceList = list;
  DispatchDrop(GetParent(list), &record);
}

}  // namespace ql
