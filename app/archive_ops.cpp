#include "app/archive_ops.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/frame.h"
#include "app/settings.h"
#include "common/shared_win.h"
#include "app/startup.h"
#include "app/transform_ops.h"
#include "browser/browser_win.h"
#include "engine/dialogs_win.h"
#include "engine/express_win.h"
#include "engine/add_win.h"
#include "engine/extract_win.h"
#include "engine/runner_win.h"
#include "engine/switches_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

DWORD g_runnerMinimumWaitMs = RunnerSetup{}.minimumWaitMs;

RunnerSetup SetupFor(HWND owner) {
  RunnerSetup s;
  s.minimumWaitMs = g_runnerMinimumWaitMs;
  if (g_settings) {
    s.runnerPath = g_settings->RunnerPath;
    s.programDir = g_settings->ProgramDirectory;
    s.workDir = g_settings->WorkDirectory;
  }
  s.owner = owner;
  s.shortNameDisplay = g_shortNameDisplay;
  s.translateAccelerators = TranslateAppAccelerators;
  return s;
}

AskPassword PasswordAsker(HWND owner) {
  return [owner](SwitchSet& s) { return AskPasswordDialog(owner, s); };
}

ArchiveKind KindOf(HWND browser) {
  return GetWindowLongA(browser, kWordArchiveType) == kArchiveTypeArj ? ArchiveKind::Arj : ArchiveKind::Zip;
}

// Whether an operation ran its archiver: a refusal, a No or a Cancel leaves the lists (and what
// the user selected in them) as they were.
bool Ran(RunResult r) { return r == RunResult::Done || r == RunResult::RunnerEnded; }

bool Encrypted(HWND browser) { return GetWindowLongA(browser, kWordEncrypted) != 0; }

std::vector<std::string> SelectedLines(HWND list) {
  std::vector<std::string> lines;
  if (!list) return lines;
  std::vector<std::string> all = ListLines(list);
  for (int i : SelectedIndexes(list))
    if (i >= 0 && static_cast<size_t>(i) < all.size()) lines.push_back(all[static_cast<size_t>(i)]);
  return lines;
}

// The names an operation takes from lines: the long or short field (a member's reference when its
// line has one), marker lines skipped.
std::vector<std::string> NamesOf(const std::vector<std::string>& lines) {
  std::vector<std::string> names;
  for (const std::string& line : lines) {
    if (IsMarkerLine(line)) continue;
    names.emplace_back(LineMemberName(line, g_shortNameDisplay != 0));
  }
  return names;
}

void ReadAgain(HWND browser, bool archive) {
  int slot = SlotOf(browser);
  if (slot < 0) return;
  if (archive) RefreshArchiveWindow(slot);
  FillDirectoryList(slot);
  InvalidateRect(browser, nullptr, TRUE);
}

namespace {

// The extraction target: the settings target, or the one confirmed in its dialog.
bool ChooseTarget(HWND frame, std::string* target) {
  std::string def = g_settings ? g_settings->TargetDirectory : "";
  if (!(g_confirmFlags & kConfirmTargetDir)) {
    *target = def;
    return true;
  }
  std::string saved = CurrentDirectory();
  bool ok = ConfirmTargetDialog(frame, def, target);
  if (!ok) SetCurrentDirAndDrive(saved.c_str());
  return ok;
}


void Extract(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  RunnerSetup setup = SetupFor(browser);
  RunResult result = RunResult::Refused;
  if (r->hwndFocusList == r->hwndArchiveList) {
    std::vector<std::string> names = NamesOf(SelectedLines(r->hwndArchiveList));
    if (names.empty()) {
      ShowStringMessage(frame, IDS_SELECT_IN_ARCHIVE);
      return;
    }
    std::string target;
    if (!ChooseTarget(frame, &target)) return;
    result = ExtractMembersTo(setup, g_switches, KindOf(browser), r->archivePath, Encrypted(browser), names,
                              target, PasswordAsker(frame));
  } else {
    std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
    if (names.empty()) {
      ShowStringMessage(frame, IDS_NO_SELECTION);
      return;
    }
    for (const std::string& n : names)
      if (!IsExtractableArchiveName(n)) {
        ShowStringMessage(frame, IDS_INVALID_ARCHIVE_NAME);
        return;
      }
    std::string target;
    if (!ChooseTarget(frame, &target)) return;
    result = ExtractArchiveFiles(setup, g_switches, r->curDir, names, target, PasswordAsker(frame));
  }
  SetCurrentDirAndDrive(r->curDir);
  if (Ran(result)) ReadAgain(browser, false);
}

std::string InDirectory(const char* dir, const std::string& name) {
  std::string d = dir;
  if (!d.empty() && d.back() != '\\') d += '\\';
  return d + name;
}

void Test(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  std::string archive;
  TestFrom from;
  if (r->hwndFocusList == r->hwndArchiveList) {
    if (!r->archivePath[0]) return;
    archive = r->archivePath;
    from = TestFrom::WindowArchive;
  } else {
    std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
    if (names.empty()) {
      ShowStringMessage(frame, IDS_SELECT_IN_ARCHIVE);
      return;
    }
    archive = InDirectory(r->curDir, names[0]);
    from = TestFrom::DirectoryFile;
  }
  TestArchiveFile(SetupFor(browser), g_switches, archive, from, PasswordAsker(frame));
  SetCurrentDirAndDrive(r->curDir);
}

void Freshen(HWND frame, HWND browser, bool update) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  std::string archive;
  unsigned long long needed = 0;
  bool encrypted = false;
  if (r->hwndFocusList == r->hwndArchiveList) {
    if (!r->archivePath[0]) return;
    archive = r->archivePath;
    for (const std::string& line : SelectedLines(r->hwndArchiveList)) {
      int64_t size = LineSizeField(line);
      if (size > 0) needed += static_cast<unsigned long long>(size);
    }
    needed += static_cast<uint32_t>(GetWindowLongA(browser, kWordArchiveSize));
    encrypted = Encrypted(browser);
  } else {
    std::vector<std::string> names = NamesOf(SelectedLines(r->hwndDirList));
    if (names.empty()) {
      ShowStringMessage(frame, IDS_NO_SELECTION);
      return;
    }
    if (names.size() > 1) {
      ShowStringMessage(frame, IDS_ONLY_ONE_FILE);
      return;
    }
    archive = InDirectory(r->curDir, names[0]);
  }
  FreshenArchiveFile(SetupFor(browser), g_switches, archive, update, false, encrypted, needed, PasswordAsker(frame));
  SetCurrentDirAndDrive(r->curDir);
  ReadAgain(browser, r->hwndFocusList == r->hwndArchiveList);
}

void SetWindowArchive(HWND browser, const std::string& path, ArchiveKind kind) {
  AssignArchiveToWindow(browser, path.c_str(), kind == ArchiveKind::Arj ? kArchiveTypeArj : kArchiveTypeZip);
}

// The "New Files" list of the new archive dialog, newest first.
std::vector<std::string> NewFilesHistory() {
  std::vector<std::string> h;
  for (std::string& v : ReadRecentEntries("New Files", "New", 10))
    if (!v.empty()) h.push_back(std::move(v));
  return h;
}

unsigned long long FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (static_cast<unsigned long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

void ExpressFreshenOrTest(HWND frame, UINT id) {
  std::string archive = ChooseExpressArchive(frame);
  if (archive.empty()) return;
  std::string saved = CurrentDirectory();
  RunnerSetup setup = SetupFor(g_activeBrowser ? g_activeBrowser : frame);
  if (id == IDM_EX_TEST)
    TestArchiveFile(setup, g_switches, archive, TestFrom::Express, PasswordAsker(frame));
  else
    FreshenArchiveFile(setup, g_switches, archive, id == IDM_EX_UPDATE, true, false, FileBytes(archive),
                       PasswordAsker(frame));
  SetCurrentDirAndDrive(saved.c_str());
}

}  // namespace

// Express mode's "Select An Archive File": starts in the remembered Express archive directory and
// remembers the directory of the choice. Empty when cancelled.
std::string ChooseExpressArchive(HWND frame) {
  std::string start = IniString("Express File Dir", "ExpArcDir", g_settings ? g_settings->SourceDirectory : "");
  if (!ChooseArchiveFile(frame, start.c_str())) return "";
  std::string chosen = g_chosenFile;
  size_t slash = chosen.find_last_of('\\');
  if (slash != std::string::npos) {
    std::string dir = chosen.substr(0, slash);
    if (dir.size() == 2) dir += '\\';
    IniWrite("Express File Dir", "ExpArcDir", dir.c_str());
  }
  return chosen;
}

void LoadArchiveSwitches() {
  if (!g_settings) return;
  LoadSwitchesFromIni(g_switches, g_settings->IniPath, g_settings->ProgramDirectory);
  g_dialogHost.iniPath = g_settings->IniPath;
}

bool NewArchiveFor(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  HWND list = r ? r->hwndFocusList : nullptr;
  for (const std::string& line : SelectedLines(list))
    if (IsMarkerLine(line)) {
      ShowStringMessage(frame, IDS_NO_COMMENTS_ALLOWED);
      g_cancelled = true;
      return false;
    }
  NewArchiveChoice c;
  c.directory = g_settings ? g_settings->SourceDirectory : "";
  c.history = NewFilesHistory();
  if (!NewArchiveDialog(frame, &c)) return false;
  SaveRecentEntry("New Files", "New", c.directory.c_str(), 10, false);
  if (c.openExisting) {
    OpenBrowserWindow(c.path.c_str(), c.kind == ArchiveKind::Arj ? kArchiveTypeArj : kArchiveTypeZip, "*.*", "*.*");
    return false;
  }
  if (r) {
    SetWindowArchive(browser, c.path, c.kind);
    return true;
  }
  HWND h = OpenBrowserWindow("", kArchiveTypeZip, "*.*", "*.*");
  if (!h) return false;
  SetWindowArchive(h, c.path, c.kind);
  return true;
}

void DeleteArchiveSelection(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !r->archivePath[0]) return;
  DeleteRequest req;
  req.kind = KindOf(browser);
  req.archive = r->archivePath;
  req.encrypted = Encrypted(browser);
  req.selectedLines = SelectedLines(r->hwndArchiveList);
  req.entryCount = GetWindowLongA(browser, kWordFileCount);
  req.confirm = (g_confirmFlags & kConfirmDelete) != 0;
  if (req.selectedLines.empty()) return;
  // Comment, title and label lines are not members: they are passed over, and a selection of
  // nothing else is refused.
  bool anyMember = false;
  for (const std::string& line : req.selectedLines) anyMember |= !IsMarkerLine(line);
  if (!anyMember) {
    ShowStringMessage(frame, IDS_CANT_DELETE_COMMENTS);
    return;
  }
  RunResult result = DeleteFromArchive(
      SetupFor(browser), g_switches, req,
      [frame](const std::string& q, const std::string& n) { return ConfirmDeleteDialog(frame, q, n); },
      PasswordAsker(frame));
  SetCurrentDirAndDrive(r->curDir);
  if (Ran(result)) ReadAgain(browser, true);
}

void AddDroppedFilesTo(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return;
  if (!r->archivePath[0] && !NewArchiveFor(frame, browser)) return;
  if (NeedsPassword(PasswordRule::Add, g_switches, false) && !AskPasswordDialog(frame, g_switches)) return;
  RunnerSetup setup = SetupFor(browser);
  RunCommand(setup, AddDroppedFiles(g_switches, EnginePaths{setup.programDir, setup.workDir}, KindOf(browser),
                                    r->archivePath, CurrentDirectory()));
  ReadAgain(browser, true);
}

void ViewMemberLine(HWND browser, const std::string& line) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !r->archivePath[0]) return;
  if (OpenArchiveListLine(browser, line)) return;
  ViewArchiveMember(SetupFor(browser), g_switches, KindOf(browser), r->archivePath, Encrypted(browser), line,
                    PasswordAsker(browser));
  SetCurrentDirAndDrive(r->curDir);
}

bool DispatchArchiveCommand(HWND frame, UINT id) {
  HWND b = g_activeBrowser && RecordOf(g_activeBrowser) ? g_activeBrowser : nullptr;
  switch (id) {
    case IDM_ZIP_SWITCHES:
    case IDM_EX_ZIP_SWITCHES:
      OpenZipSwitches(frame);
      return true;
    case IDM_ARJ_SWITCHES:
    case IDM_EX_ARJ_SWITCHES:
      OpenArjSwitches(frame);
      return true;
    case IDM_ZIP_OPTIONS:
    case IDM_EX_ZIP_OPTIONS:
      OpenZipOptions(frame);
      return true;
    case IDM_DEFAULT_ZIP:
      if (OpenDefaultZip(frame) == IDOK) {
        UINT state = MF_BYCOMMAND | (On(g_switches, Sw::UsePkzip) ? MF_ENABLED : MF_GRAYED);
        if (g_managerMenu) EnableMenuItem(g_managerMenu, IDM_ZIP_OPTIONS, state);
        if (g_res.expressMenu) EnableMenuItem(g_res.expressMenu, IDM_EX_ZIP_OPTIONS, state);
        DrawMenuBar(frame);
      }
      return true;
    case IDM_NEW_ARCHIVE:
      NewArchiveFor(frame, b);
      return true;
    case IDM_EXTRACT:
      if (b) Extract(frame, b);
      return true;
    case IDM_TEST:
      if (b) Test(frame, b);
      return true;
    case IDM_EX_FRESHEN:
    case IDM_EX_UPDATE:
    case IDM_EX_TEST:
      ExpressFreshenOrTest(frame, id);
      return true;
    case IDM_FRESHEN:
    case IDM_UPDATE:
      if (b) Freshen(frame, b, id == IDM_UPDATE);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
