#include "app/transform_ops.h"

#include <vector>

#include "app/archive_ops.h"
#include "app/dispatch.h"
#include "app/frame.h"
#include "app/settings.h"
#include "browser/browser_win.h"
#include "common/mask.h"
#include "common/shared_win.h"
#include "engine/comments_win.h"
#include "engine/switches_win.h"
#include "engine/transform_commands.h"
#include "engine/transforms_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool DirectoryListActive(const WindowRecord* r) { return r->hwndFocusList != r->hwndArchiveList; }

CommentSource CommentSourceOf(HWND browser, const WindowRecord* r) {
  CommentSource c;
  c.curDir = r->curDir;
  c.archivePath = r->archivePath;
  c.kind = KindOf(browser);
  c.directoryListActive = DirectoryListActive(r);
  HWND list = c.directoryListActive ? r->hwndDirList : r->hwndArchiveList;
  for (const std::string& line : SelectedLines(list)) {
    if (IsMarkerLine(line)) continue;
    c.selectedNames.emplace_back(c.directoryListActive ? std::string(LineSelectedName(line, g_shortNameDisplay != 0))
                                                       : std::string(LineMemberName(line, false)));
    int64_t size = LineSizeField(line);
    if (size > 0) c.selectedBytes += static_cast<unsigned long long>(size);
  }
  c.archiveBytes = static_cast<uint32_t>(GetWindowLongA(browser, kWordArchiveSize));
  return c;
}

void Comment(HWND browser, bool title) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  CommentSource src = CommentSourceOf(browser, r);
  bool ran = title ? CommentArchiveTitle(SetupFor(browser), g_switches, src, PasswordAsker(browser))
                   : CommentSelectedFiles(SetupFor(browser), g_switches, src, PasswordAsker(browser));
  if (ran) ReadAgain(browser, !src.archivePath.empty() && !(title && src.directoryListActive));
}

void Convert(HWND browser, UINT id) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
  if (names.size() > 3) names.resize(3);
  ConvertArchive(SetupFor(browser), g_switches, id, r->curDir, names, g_settings ? g_settings->ArcProgram : "",
                 g_settings ? g_settings->LzhProgram : "", PasswordAsker(browser));
  SetCurrentDirAndDrive(r->curDir);
  ReadAgain(browser, false);
}

// The archive of a single-archive command in Manager mode: the directory list's one selected
// file, or the window's archive. False (after a message, or silently for a directory) when there
// is none.
bool SingleArchive(HWND browser, WindowRecord* r, bool archiveListAllowed, std::string* path) {
  if (archiveListAllowed && !DirectoryListActive(r)) {
    if (!r->archivePath[0]) {
      ShowStringMessage(browser, IDS_NO_SELECTION);
      return false;
    }
    *path = r->archivePath;
    return true;
  }
  std::vector<std::string> lines = SelectedLines(r->hwndDirList);
  std::vector<std::string> names = NamesOf(lines);
  if (names.empty()) {
    ShowStringMessage(browser, IDS_NO_SELECTION);
    return false;
  }
  if (archiveListAllowed && names.size() > 1) {
    ShowStringMessage(browser, IDS_ONLY_ONE_FILE);
    return false;
  }
  if (names[0].empty() || !IsFileLine(lines[0])) return false;
  std::string dir = r->curDir;
  *path = dir.empty() || dir.back() == '\\' ? dir + names[0] : dir + "\\" + names[0];
  return true;
}

void SelfExtracting(HWND frame, HWND browser, ArchiveKind kind, bool express) {
  std::string archive;
  HWND owner = browser ? browser : frame;
  if (express) {
    archive = ChooseExpressArchive(frame);
    if (archive.empty()) return;
  } else {
    WindowRecord* r = RecordOf(browser);
    if (!r || !SingleArchive(browser, r, true, &archive)) return;
  }
  std::string saved = CurrentDirectory();
  MakeSelfExtracting(SetupFor(owner), g_switches, kind, archive, PasswordAsker(owner));
  SetCurrentDirAndDrive(saved.c_str());
  if (!express && browser) ReadAgain(browser, false);
}

void Repair(HWND frame, HWND browser, ArchiveKind kind, bool express) {
  std::string dir, name;
  HWND owner = browser ? browser : frame;
  if (express) {
    std::string chosen = ChooseExpressArchive(frame);
    if (chosen.empty()) return;
    size_t slash = chosen.find_last_of('\\');
    dir = slash == std::string::npos ? "" : chosen.substr(0, slash == 2 ? 3 : slash);
    name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
  } else {
    WindowRecord* r = RecordOf(browser);
    if (!r) return;
    std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
    if (names.empty()) {
      ShowStringMessage(browser, IDS_NO_SELECTION);
      return;
    }
    dir = r->curDir;
    name = names[0];
  }
  std::string saved = CurrentDirectory();
  RepairArchive(SetupFor(owner), g_switches, kind, dir, name, PasswordAsker(owner));
  SetCurrentDirAndDrive(saved.c_str());
  if (!express && browser) ReadAgain(browser, false);
}

void Join(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) {
    g_cancelled = true;
    return;
  }
  std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
  if (names.size() > 1022) names.resize(1022);
  std::string saved = CurrentDirectory();
  JoinArjFiles(SetupFor(browser), g_switches, r->curDir, names, Encrypted(browser), PasswordAsker(browser));
  SetCurrentDirAndDrive(saved.c_str());
}

void Rename(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  std::vector<std::string> members = NamesOf(SelectedLines(r->hwndArchiveList));
  if (SelectedLines(r->hwndArchiveList).empty()) {
    ShowStringMessage(browser, IDS_SELECT_IN_ARCHIVE);
    return;
  }
  std::string saved = CurrentDirectory();
  bool ran = RenameInArjArchive(SetupFor(browser), g_switches, KindOf(browser), r->archivePath, members,
                                PasswordAsker(browser));
  SetCurrentDirAndDrive(saved.c_str());
  if (ran) ReadAgain(browser, true);
  InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
}

}  // namespace

bool OpenArchiveListLine(HWND browser, const std::string& line) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !r->archivePath[0] || line.empty()) return false;
  if (IsMarkerLine(line)) {
    ReadArchiveComment(browser, r->archivePath, KindOf(browser), line);
    return true;
  }
  std::string name(LineFirstField(line));
  bool program = false;
  for (const char* m : {"*.EXE", "*.COM", "*.BAT", "*.PIF"}) program |= MatchFileMask(name, m);
  if (!program) return false;
  std::string saved = CurrentDirectory();
  RunFromArchive(SetupFor(browser), g_switches, KindOf(browser), r->archivePath,
                 std::string(LineMemberName(line, false)), PasswordAsker(browser));
  SetCurrentDirAndDrive(saved.c_str());
  return true;
}

bool DispatchTransformCommand(HWND frame, UINT id) {
  HWND b = g_activeBrowser && RecordOf(g_activeBrowser) ? g_activeBrowser : nullptr;
  switch (id) {
    case IDM_COMMENT_TITLE:
      if (b) Comment(b, true);
      return true;
    case IDM_COMMENT_FILES:
    case IDM_COMMENT_FILES_ALT1:
    case IDM_COMMENT_FILES_ALT2:
      if (b) Comment(b, false);
      return true;
    case IDM_CONVERT_ZIP_TO_ARJ:
    case IDM_CONVERT_ARJ_TO_ZIP:
    case IDM_CONVERT_ARC_TO_ARJ:
    case IDM_CONVERT_ARC_TO_ZIP:
    case IDM_CONVERT_LZH_TO_ARJ:
    case IDM_CONVERT_LZH_TO_ZIP:
    case IDM_CONVERT_ZIP1_TO_ZIP2:
      if (b) Convert(b, id);
      return true;
    case IDM_SFX_ARJ:
    case IDM_SFX_ZIP:
      if (b) SelfExtracting(frame, b, id == IDM_SFX_ARJ ? ArchiveKind::Arj : ArchiveKind::Zip, false);
      return true;
    case IDM_EX_SFX_ARJ:
    case IDM_EX_SFX_ZIP:
      SelfExtracting(frame, b, id == IDM_EX_SFX_ARJ ? ArchiveKind::Arj : ArchiveKind::Zip, true);
      return true;
    case IDM_REPAIR_ARJ:
    case IDM_REPAIR_ZIP:
      if (b) Repair(frame, b, id == IDM_REPAIR_ARJ ? ArchiveKind::Arj : ArchiveKind::Zip, false);
      return true;
    case IDM_EX_REPAIR_ARJ:
    case IDM_EX_REPAIR_ZIP:
      Repair(frame, b, id == IDM_EX_REPAIR_ARJ ? ArchiveKind::Arj : ArchiveKind::Zip, true);
      return true;
    case IDM_JOIN_ARJ:
      if (b) Join(b);
      else g_cancelled = true;
      return true;
    case IDM_RENAME_IN_ARJ:
      if (b) Rename(b);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
