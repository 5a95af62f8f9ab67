#include "express/express_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "common/mask.h"
#include "common/recent_list.h"
#include "common/recent_list_win.h"
#include "common/shared_win.h"
#include "engine/dialogs_win.h"
#include "engine/express_win.h"
#include "engine/switches_win.h"
#include "express/express_rules.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

ExpressHost g_host;

constexpr int kPathLimit = 260;

constexpr size_t kRecentLength = 10;
constexpr const char* kDirSection = "Express File Dir";

std::string IniRead(const char* section, const char* key, const std::string& fallback) {
  char buf[kPathLimit + 2] = "";
  GetPrivateProfileStringA(section, key, fallback.c_str(), buf, sizeof buf, g_host.iniPath.c_str());
  return buf;
}

HWND Owner() { return g_host.frame; }

// Makes a remembered directory current, unless it lies on a floppy drive.
void MakeRememberedCurrent(const std::string& dir) {
  if (!dir.empty() && !OnFloppyDrive(dir)) SetCurrentDirAndDrive(dir.c_str());
}

void Remember(bool archiveDir, const std::string& dir) {
  if (g_host.rememberDirectory) g_host.rememberDirectory(archiveDir, dir);
}

std::string DirectoryOfPath(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash);
}

// A directory text made full from the current directory.
std::string FullPathOf(const std::string& text) {
  char full[MAX_PATH] = "";
  DWORD n = GetFullPathNameA(text.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return text;
  return DirectoryTextWithoutSlash(full);
}

bool IsZipOrArj(const std::string& path) { return MatchFileMask(path, "*.ZIP") || MatchFileMask(path, "*.ARJ"); }

// A ZIP, an ARJ or a self-extracting ZIP program.
bool IsReadableArchive(const std::string& path) {
  return IsZipOrArj(path) || (MatchFileMask(path, "*.EXE") && FileHoldsZip(path));
}

bool Ran(RunResult r) { return r == RunResult::Done || r == RunResult::RunnerEnded; }

RunnerSetup SetupFor(HWND owner) {
  RunnerSetup s = g_host.runnerSetup ? g_host.runnerSetup(owner) : RunnerSetup{};
  s.owner = owner;
  return s;
}

AskPassword PasswordFor(HWND owner) {
  if (g_host.askPassword) return g_host.askPassword(owner);
  return [owner](SwitchSet& s) { return AskPasswordDialog(owner, s); };
}

bool HelpOrCancel(HWND dlg, UINT m, WPARAM w, DWORD context) {
  return DialogHelpOrCancel(dlg, m, w, context);
}

bool ChooseDirectory(HWND owner, std::string* dir) {
  return g_host.chooseDirectory && g_host.chooseDirectory(owner, dir);
}

// ---- list boxes ----

std::vector<std::string> Entries(HWND list) {
  std::vector<std::string> v;
  LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    LRESULT len = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    if (len < 0) continue;
    std::string text(static_cast<size_t>(len) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(len));
    v.push_back(text);
  }
  return v;
}

void SetEntries(HWND list, const std::vector<std::string>& entries) {
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& e : entries) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::vector<size_t> Chosen(HWND list) {
  std::vector<size_t> v;
  LRESULT n = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  if (n <= 0) return v;
  std::vector<int> items(static_cast<size_t>(n));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(items.data()));
  for (LRESULT i = 0; i < got; ++i) v.push_back(static_cast<size_t>(items[static_cast<size_t>(i)]));
  return v;
}

std::vector<size_t> Every(HWND list) {
  std::vector<size_t> v(static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(list, LB_GETCOUNT, 0, 0))));
  for (size_t i = 0; i < v.size(); ++i) v[i] = i;
  return v;
}

// Moves entries between the dialog's two lists; `all` takes every entry of the first.
void Move(HWND dlg, bool toSelected, bool all, bool keepSource) {
  HWND from = GetDlgItem(dlg, toSelected ? IDC_EX_AVAILABLE : IDC_EX_SELECTED);
  HWND to = GetDlgItem(dlg, toSelected ? IDC_EX_SELECTED : IDC_EX_AVAILABLE);
  std::vector<std::string> a = Entries(from), b = Entries(to);
  MoveListEntries(a, b, all ? Every(from) : Chosen(from), !keepSource);
  SetEntries(from, a);
  SetEntries(to, b);
}

// The directory in the form of the directory list: subdirectories as "[NAME]", then the files
// matching `mask`, each group in name order.
void ListDirectory(HWND list, const std::string& mask) {
  std::vector<std::string> dirs, files;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("*.*", &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (name != "." && name != "..") dirs.push_back("[" + name + "]");
      } else if (MatchFileMask(name, mask.empty() ? "*.*" : mask)) {
        files.push_back(name);
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  auto byName = [](const std::string& x, const std::string& y) { return lstrcmpiA(x.c_str(), y.c_str()) < 0; };
  std::sort(dirs.begin(), dirs.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  dirs.insert(dirs.end(), files.begin(), files.end());
  SetEntries(list, dirs);
}

// The member names of an archive, through the program's own readers.
void ListArchive(HWND list, const std::string& archive, const std::string& mask) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const char* m = mask.empty() ? "*.*" : mask.c_str();
  if (MatchFileMask(archive, "*.ARJ"))
    ReadArjDirectory(nullptr, archive.c_str(), list, 0, m, nullptr);
  else
    ReadZipDirectory(archive.c_str(), list, m, nullptr);
}

void ShowCurrentPath(HWND dlg) { SetDlgItemTextA(dlg, IDC_EX_CURRENT_PATH, CurrentDirectory().c_str()); }

// The text of a field of these dialogs: a path one character longer than the limit can be seen
// and refused.
std::string FieldText(HWND dlg, int id) { return DlgText(dlg, id, kPathLimit + 1); }

// The moving buttons and double clicks shared by the dialogs with two lists. True when handled.
bool ListCommand(HWND dlg, WPARAM w, bool selectAllKeeps) {
  switch (LOWORD(w)) {
    case IDC_EX_SELECT:
      Move(dlg, true, false, false);
      return true;
    case IDC_EX_REMOVE:
      Move(dlg, false, false, false);
      return true;
    case IDC_EX_SELECT_ALL:
      Move(dlg, true, true, selectAllKeeps);
      return true;
    case IDC_EX_AVAILABLE:
    case IDC_EX_SELECTED:
      if (HIWORD(w) == LBN_DBLCLK) {
        Move(dlg, LOWORD(w) == IDC_EX_AVAILABLE, false, false);
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---- Select Files To Compress ----

struct CompressDialog {
  std::string archive;
  bool move = false;
};

void RefreshAvailable(HWND dlg) {
  ShowCurrentPath(dlg);
  ListDirectory(GetDlgItem(dlg, IDC_EX_AVAILABLE), FieldText(dlg, IDC_EX_MASK));
}

INT_PTR CALLBACK SelFilesForArcProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* d = reinterpret_cast<CompressDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, help::kExpressNew)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      PlaceDialog(dlg);
      MakeRememberedCurrent(IniRead(kDirSection, "ExpFileDir", CurrentDirectory()));
      SetDlgItemTextA(dlg, IDC_EX_MASK, "*.*");
      RefreshAvailable(dlg);
      SendDlgItemMessageA(dlg, IDC_EX_AVAILABLE, LB_SETCARETINDEX, 0, FALSE);
      return TRUE;
    }
    case WM_COMMAND:
      if (ListCommand(dlg, w, false)) return TRUE;
      switch (LOWORD(w)) {
        case IDC_EX_CHANGE_DIR: {
          std::string dir;
          if (ChooseDirectory(dlg, &dir)) SetCurrentDirAndDrive(dir.c_str());
          RefreshAvailable(dlg);
          return TRUE;
        }
        case IDC_EX_UPDATE_LIST:
          RefreshAvailable(dlg);
          return TRUE;
        case IDC_EX_SWITCHES:
          if (MatchFileMask(d->archive, "*.ZIP")) OpenZipSwitches(dlg);
          else OpenArjSwitches(dlg);
          return TRUE;
        case IDOK: {
          std::string cur = CurrentDirectory();
          if (!OnFloppyDrive(cur)) Remember(false, cur);
          std::vector<std::string> names = Entries(GetDlgItem(dlg, IDC_EX_SELECTED));
          if (names.empty()) {
            ShowStringMessage(dlg, IDS_NEED_SELECTED_FILE);
            return TRUE;
          }
          ExpressAddFiles(SetupFor(dlg), g_switches, d->archive, names, d->move, PasswordFor(dlg));
          EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// True when the files were chosen and the add ran (or was refused by its own questions).
bool SelectFilesToCompress(HWND owner, const std::string& archive, bool move) {
  CompressDialog d{archive, move};
  return RunDialog(owner, "SelFilesForArc", SelFilesForArcProc, reinterpret_cast<LPARAM>(&d)) == IDOK;
}

// ---- Create New Archive ----

// OK: the directory and name typed, then the files to compress; the dialog stays up while they are
// not given. True when the archive was made.
bool AcceptExpressNew(HWND dlg, const std::string& dirTyped, const std::string& name, ArchiveKind kind) {
  std::string dirText = DirectoryTextWithoutSlash(dirTyped);
  if (dirText.empty()) {
    ShowStringMessage(dlg, IDS_NEED_DIRECTORY_NAME);
    return false;
  }
  if (name.empty()) {
    ShowStringMessage(dlg, IDS_INVALID_ARCHIVE_NAME);
    return false;
  }
  ExpressNewTarget t =
      ResolveExpressNewArchive(dirText, name, kind == ArchiveKind::Arj, CurrentDirectory(), FullDirName);
  SaveRecentList(g_host.iniPath, "Express New", "New", t.directory, kRecentLength, false);
  Remember(true, t.directory);
  if (!t.valid) {
    ShowStringMessage(dlg, IDS_INVALID_ARCHIVE_NAME);
    return false;
  }
  if (!SelectFilesToCompress(dlg, t.path, false)) {
    ShowStringMessage(dlg, IDS_ENTER_FILENAME);
    return false;
  }
  return true;
}

// ---- Select Files To Extract ----

INT_PTR CALLBACK ExtractPartProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* archive = reinterpret_cast<const std::string*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, help::kExpressExtract)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      archive = reinterpret_cast<const std::string*>(l);
      PlaceDialog(dlg);
      ShowCurrentPath(dlg);
      ListArchive(GetDlgItem(dlg, IDC_EX_AVAILABLE), *archive, "*.*");
      return TRUE;
    case WM_COMMAND:
      // "Select All" takes every member the selection lacks; the archive's list keeps them.
      if (ListCommand(dlg, w, true)) return TRUE;
      switch (LOWORD(w)) {
        case IDC_EX_CHANGE_DIR: {
          std::string dir;
          if (ChooseDirectory(dlg, &dir)) SetCurrentDirAndDrive(dir.c_str());
          ShowCurrentPath(dlg);
          return TRUE;
        }
        case IDOK: {
          std::string cur = CurrentDirectory();
          if (!OnFloppyDrive(cur)) Remember(false, cur);
          std::vector<std::string> names = Entries(GetDlgItem(dlg, IDC_EX_SELECTED));
          if (names.empty()) {
            ShowStringMessage(dlg, IDS_NEED_SELECTED_FILE);
            return TRUE;
          }
          RunResult r = ExpressExtractFiles(SetupFor(dlg), g_switches, *archive, &names, cur, PasswordFor(dlg));
          EndDialog(dlg, Ran(r) ? IDOK : IDCANCEL);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// ---- Archive Extract Options ----

INT_PTR CALLBACK ExtractOptionsProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* archive = reinterpret_cast<const std::string*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, help::kExpressExtract)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      PlaceDialog(dlg);
      CheckRadioButton(dlg, IDC_EX_ENTIRE, IDC_EX_SELECTED_ONLY, IDC_EX_ENTIRE);
      HWND combo = GetDlgItem(dlg, IDC_EX_TARGET);
      SendMessageA(combo, CB_LIMITTEXT, kPathLimit, 0);
      SetWindowTextA(combo, g_host.targetDir.c_str());
      RestoreRecentList(g_host.iniPath, "Express Extract", "Extract", combo, kRecentLength);
      std::string dir = FieldText(dlg, IDC_EX_TARGET);
      if (!dir.empty() && DirectoryExists(dir)) SetCurrentDirAndDrive(dir.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_EX_BROWSE: {
          std::string dir;
          if (ChooseDirectory(dlg, &dir)) SetDlgItemTextA(dlg, IDC_EX_TARGET, dir.c_str());
          return TRUE;
        }
        case IDOK: {
          std::string text = DirectoryTextWithoutSlash(FieldText(dlg, IDC_EX_TARGET));
          if (text.empty()) {
            ShowStringMessage(dlg, IDS_NEED_DIRECTORY_NAME);
            return TRUE;
          }
          std::string dir = FullPathOf(text);
          if (text.size() > 2 && !DirectoryExists(dir)) {
            if (ShowStringMessageArg(dlg, IDS_CREATE_DIRECTORY_ASK, dir.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
              EndDialog(dlg, IDCANCEL);
              return TRUE;
            }
            CreateDirectoryPath(dir.c_str());
          }
          SetCurrentDirAndDrive(dir.c_str());
          SaveRecentList(g_host.iniPath, "Express Extract", "Extract", dir, kRecentLength, false);
          bool done;
          if (Checked(dlg, IDC_EX_SELECTED_ONLY)) {
            std::string a = *archive;
            done = RunDialog(dlg, "ExtractPart", ExtractPartProc, reinterpret_cast<LPARAM>(&a)) == IDOK;
          } else {
            done = Ran(ExpressExtractFiles(SetupFor(dlg), g_switches, *archive, nullptr, dir, PasswordFor(dlg)));
          }
          g_cancelled = !done;
          if (done) EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// ---- Select Files To Delete From This Archive ----

INT_PTR CALLBACK DeleteFilesProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* archive = reinterpret_cast<const std::string*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (HelpOrCancel(dlg, m, w, help::kExpressDelete)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      archive = reinterpret_cast<const std::string*>(l);
      PlaceDialog(dlg);
      SetDlgItemTextA(dlg, IDC_EX_MASK, "*.*");
      ListArchive(GetDlgItem(dlg, IDC_EX_AVAILABLE), *archive, "*.*");
      return TRUE;
    case WM_COMMAND:
      if (ListCommand(dlg, w, false)) return TRUE;
      switch (LOWORD(w)) {
        case IDC_EX_UPDATE_LIST: {
          // The members matching the typed mask that are not chosen already.
          HWND list = GetDlgItem(dlg, IDC_EX_AVAILABLE);
          ListArchive(list, *archive, FieldText(dlg, IDC_EX_MASK));
          std::vector<std::string> a = Entries(list), chosen = Entries(GetDlgItem(dlg, IDC_EX_SELECTED));
          a.erase(std::remove_if(a.begin(), a.end(),
                                 [&](const std::string& e) {
                                   return std::any_of(chosen.begin(), chosen.end(), [&](const std::string& c) {
                                     return lstrcmpiA(c.c_str(), e.c_str()) == 0;
                                   });
                                 }),
                  a.end());
          SetEntries(list, a);
          return TRUE;
        }
        case IDOK: {
          // The folder the archive was chosen in: the current directory may have moved since.
          Remember(true, DirectoryOfPath(*archive));
          std::vector<std::string> names = Entries(GetDlgItem(dlg, IDC_EX_SELECTED));
          if (names.empty()) {
            ShowStringMessage(dlg, IDS_NEED_SELECTED_FILE);
            return TRUE;
          }
          ExpressDeleteFiles(SetupFor(dlg), g_switches, *archive, names, PasswordFor(dlg));
          EndDialog(dlg, IDOK);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// ---- Run ----

bool ChooseProgram(HWND owner, std::string* path) {
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "Programs *.Exe *.Com *.Bat *.Pif\0*.exe;*.com;*.bat;*.pif\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = 121;
  ofn.lpstrTitle = "Browse";
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameA(&ofn)) return false;
  *path = file;
  return true;
}

INT_PTR CALLBACK RunProc(HWND dlg, UINT m, WPARAM w, LPARAM) {
  if (HelpOrCancel(dlg, m, w, help::kRun)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(dlg);
      SendDlgItemMessageA(dlg, IDC_EX_RUN_LINE, EM_LIMITTEXT, kPathLimit, 0);
      RestoreRecentList(g_host.iniPath, "Run Files", "Prog", GetDlgItem(dlg, IDC_EX_RUN_LIST), kRecentLength);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_EX_RUN_LIST:
          if (HIWORD(w) == CBN_SELCHANGE) {
            HWND list = GetDlgItem(dlg, IDC_EX_RUN_LIST);
            LRESULT i = SendMessageA(list, CB_GETCURSEL, 0, 0);
            LRESULT len = i == CB_ERR ? CB_ERR : SendMessageA(list, CB_GETLBTEXTLEN, i, 0);
            if (len != CB_ERR && len <= kPathLimit) {
              char text[kPathLimit + 2] = "";
              SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
              SetDlgItemTextA(dlg, IDC_EX_RUN_LINE, text);
            }
          }
          return TRUE;
        case IDC_EX_RUN_BROWSE: {
          std::string path;
          if (ChooseProgram(dlg, &path)) SetDlgItemTextA(dlg, IDC_EX_RUN_LINE, path.c_str());
          return TRUE;
        }
        case IDOK: {
          std::string line = FieldText(dlg, IDC_EX_RUN_LINE);
          bool minimized = Checked(dlg, IDC_EX_RUN_MINIMIZED);
          EndDialog(dlg, IDOK);
          if (line.empty()) return TRUE;
          SaveRecentList(g_host.iniPath, "Run Files", "Prog", line, kRecentLength, true);
          if (g_host.launch) g_host.launch(Owner(), line, minimized);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

// The current directory of the command's start, made current again at its end.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory() : saved_(CurrentDirectory()) {}
  ~KeepCurrentDirectory() { SetCurrentDirAndDrive(saved_.c_str()); }
  KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
  KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;

 private:
  std::string saved_;
};

bool ChooseArchive(std::string* archive) {
  if (!g_host.chooseArchive || !g_host.chooseArchive(Owner(), archive)) {
    g_cancelled = true;
    return false;
  }
  return true;
}

}  // namespace

void SetExpressHost(const ExpressHost& host) { g_host = host; }

void ExpressNew() {
  KeepCurrentDirectory keep;
  NewArchiveForm form;
  form.templateName = "ExpressNewArchive";
  form.title = "Create New Archive";
  form.help = help::kExpressNew;
  form.fillDirectories = [](HWND combo) {
    SetWindowTextA(combo, g_host.sourceDir.c_str());
    RestoreRecentList(g_host.iniPath, "Express New", "New", combo, kRecentLength);
    std::string dir = FieldText(GetParent(combo), IDC_NEW_DIRECTORY);
    if (!dir.empty()) SetCurrentDirAndDrive(dir.c_str());
  };
  form.chooseDirectory = ChooseDirectory;
  form.accept = AcceptExpressNew;
  RunNewArchiveForm(Owner(), form);
}

void ExpressAddOrMove(bool move) {
  KeepCurrentDirectory keep;
  MakeRememberedCurrent(IniRead(kDirSection, "ExpArcDir", g_host.sourceDir));
  std::string archive;
  if (!ChooseArchive(&archive)) return;
  if (!IsZipOrArj(archive)) {
    ShowStringMessage(Owner(), IDS_INVALID_ARCHIVE_NAME);
    g_cancelled = true;
    return;
  }
  if (!SelectFilesToCompress(Owner(), archive, move)) return;
  SaveRecentList(g_host.iniPath, "Express New", "New", archive, kRecentLength, false);
  // Archives are picked where the last one was found.
  Remember(true, DirectoryOfPath(archive));
}

void ExpressExtract() {
  KeepCurrentDirectory keep;
  MakeRememberedCurrent(IniRead(kDirSection, "ExpFileDir", ""));
  std::string archive;
  if (!ChooseArchive(&archive)) return;
  if (!IsReadableArchive(archive)) {
    ShowStringMessage(Owner(), IDS_ZIP_INVALID);
    return;
  }
  RunDialog(Owner(), "ExtractOptions", ExtractOptionsProc, reinterpret_cast<LPARAM>(&archive));
}

void ExpressDelete() {
  KeepCurrentDirectory keep;
  MakeRememberedCurrent(IniRead(kDirSection, "ExpArcDir", g_host.sourceDir));
  std::string archive;
  if (!ChooseArchive(&archive)) return;
  if (!IsReadableArchive(archive)) {
    ShowStringMessage(Owner(), IDS_ZIP_INVALID);
    return;
  }
  RunDialog(Owner(), "DeleteFiles", DeleteFilesProc, reinterpret_cast<LPARAM>(&archive));
}

void ExpressRun() {
  KeepCurrentDirectory keep;
  RunDialog(Owner(), "ExpressRun", RunProc, 0);
}

}  // namespace ql
