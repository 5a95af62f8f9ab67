#include "fileops/file_ops_win.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "browser/browser_win.h"
#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "common/text_and_paths.h"
#include "engine/dialogs_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

FileOpsHost g_fileOpsHost;

namespace {

constexpr const char* kCaption = "Quillon";
constexpr DWORD kHelpCopy = 7059;
constexpr DWORD kHelpMove = 7062;
constexpr DWORD kHelpTarget = 7093;
constexpr DWORD kHelpRename = 7065;
constexpr DWORD kHelpMakeDir = 7060;
constexpr DWORD kHelpChangeDir = 7040;
constexpr DWORD kHelpDelete = 7061;

// Each read of the copy engine asks for this much (its buffer holds two bytes more).
constexpr DWORD kCopyBlock = 32765;
constexpr size_t kCopyBuffer = 32767;

// Set by the Copying dialog's Cancel button, read by the copy engine.
bool g_abortCopy = false;
// The Copying dialog while it runs: its messages go through the dialog manager while copying.
HWND g_copyingDialog = nullptr;

unsigned short Flags() { return g_fileOpsHost.confirmFlags ? *g_fileOpsHost.confirmFlags : 0xFFFF; }
bool Asks(unsigned short flag) { return (Flags() & flag) != 0; }
bool ManagerMode() { return !g_fileOpsHost.managerMode || *g_fileOpsHost.managerMode; }

bool HelpOrCancel(HWND dlg, UINT m, WPARAM w, DWORD context) {
  return DialogHelpOrCancel(dlg, m, w, context);
}

void Message(HWND owner, const char* text) { AppMessageBox(owner, text, kCaption, MB_OK | MB_ICONEXCLAMATION); }

void CouldNotMove(HWND owner, const std::string& source) {
  Message(owner, ("Error: Couldn't Move " + source + ".").c_str());
}

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH] = "";
  char* part = nullptr;
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, &part);
  if (n == 0 || n >= sizeof buf) return path;
  return buf;
}

// The directory of `path`; "." (the current directory) when it names none.
std::string DirectoryOrCurrent(const std::string& path) {
  std::string dir = DirectoryOf(path);
  return dir.empty() ? "." : dir;
}

// The drive of `path`; the current directory's when it names none.
char DriveOrCurrent(const std::string& path) {
  char letter = DriveLetterOf(path);
  return letter ? letter : DriveLetterOf(CurrentDirectory());
}

// The file system of the drive of `path` ("FAT", "NTFS", ...); empty when it cannot be read.
std::string FileSystemOf(const std::string& path) {
  char letter = DriveOrCurrent(path);
  if (!letter) return "";
  char root[4] = {letter, ':', '\\', 0};
  char fs[32] = "";
  UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  BOOL ok = GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fs, sizeof fs);
  SetErrorMode(mode);
  return ok ? fs : "";
}

bool FileFound(const std::string& path, WIN32_FIND_DATAA* fd) {
  HANDLE h = FindFirstFileA(path.c_str(), fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return true;
}

// Whether two names lead to one file: the volume serial number and the file index of both, so that
// a short-name spelling or another path to the source is recognised. When the identities cannot
// be read, the full long forms of the paths are compared.
bool SameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != FALSE;
  };
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (identity(a, &ia) && identity(b, &ib))
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
  auto longForm = [](const std::string& path) {
    std::string full = FullPath(path);
    char buf[MAX_PATH] = "";
    DWORD n = GetLongPathNameA(full.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf) : full;
  };
  return lstrcmpiA(longForm(a).c_str(), longForm(b).c_str()) == 0;
}

std::string FileDateText(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  FILETIME local{};
  SYSTEMTIME st{};
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) &&
      FileTimeToLocalFileTime(&a.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &st))
    return OverwriteDateText(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
  return OverwriteDateText(0, 0, 0, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// The confirmation dialogs.

ConfirmAnswer RunConfirm(HWND owner, const char* name, const ConfirmTexts* texts) {
  INT_PTR r = RunConfirmDialog(owner, name, *texts);
  ConfirmAnswer a = r == IDC_DELETE_YES       ? ConfirmAnswer::Yes
                    : r == IDC_DELETE_YES_ALL ? ConfirmAnswer::YesToAll
                    : r == IDC_DELETE_NO      ? ConfirmAnswer::No
                                              : ConfirmAnswer::Cancel;
  g_cancelled = a == ConfirmAnswer::Cancel;
  return a;
}

ConfirmAnswer AskOverwrite(HWND owner, const std::string& target, const std::string& source) {
  ConfirmTexts t;
  t.question = target;
  t.targetDate = FileDateText(target);
  t.names = source;
  t.sourceDate = FileDateText(source);
  t.help = kHelpCopy;
  return RunConfirm(owner, "ConfirmOverwrite", &t);
}

// ---------------------------------------------------------------------------------------------
// The copy engine.

// One pending message while a file is copied, so that the Copying dialog's Cancel and the other
// windows keep working.
void PumpOneMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    g_abortCopy = true;
    return;
  }
  if (g_copyingDialog && IsWindow(g_copyingDialog) && IsDialogMessageA(g_copyingDialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

// Replaces `target` (which may not exist) with the complete `temp` beside it.
bool ReplaceWithTemp(const std::string& temp, const std::string& target) {
  if (MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  // Systems without MoveFileEx: the old file steps aside until the new one has its name.
  if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return MoveFileA(temp.c_str(), target.c_str());
  char aside[MAX_PATH] = "";
  if (!GetTempFileNameA(DirectoryOrCurrent(target).c_str(), "qlo", 0, aside)) return false;
  DeleteFileA(aside);
  if (!MoveFileA(target.c_str(), aside)) return false;
  if (!MoveFileA(temp.c_str(), target.c_str())) {
    MoveFileA(aside, target.c_str());
    return false;
  }
  DeleteFileA(aside);
  return true;
}

}  // namespace

ConfirmAnswer AskConfirmation(HWND owner, const char* templateName, const std::string& first,
                              const std::string& second) {
  ConfirmTexts t;
  t.question = first;
  t.names = second;
  t.help = lstrcmpiA(templateName, "ConfirmDrag") == 0 || lstrcmpiA(templateName, "ConfirmOverwrite") == 0
               ? kHelpCopy
               : kHelpDelete;
  return RunConfirm(owner, templateName, &t);
}

bool CopyOneFile(HWND owner, const std::string& source, const std::string& target, ConfirmAnswer* answer,
                 bool* copied) {
  *copied = false;
  WIN32_FIND_DATAA fd;
  if (!FileFound(source, &fd) || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  bool targetExists = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (targetExists && SameFile(source, target)) {
    ShowStringMessage(owner, IDS_OVERWRITE_WARNING);
    return false;
  }
  if (targetExists && Asks(kConfirmReplace) && *answer != ConfirmAnswer::YesToAll) {
    *answer = AskOverwrite(owner, target, source);
    if (*answer == ConfirmAnswer::No) return true;
    if (*answer == ConfirmAnswer::Cancel) return false;
  }
  HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;

  // The copy is written under a temporary name beside the target and takes the target's name only
  // when it is complete: an existing target stays as it was until then.
  std::string dir = DirectoryOrCurrent(target);
  char temp[MAX_PATH] = "";
  if (!GetTempFileNameA(dir.c_str(), "qlc", 0, temp)) {
    if (DirectoryExists(dir)) {
      CloseHandle(in);
      ShowStringMessage(owner, IDS_CANNOT_CREATE_TARGET);
      return false;
    }
    if (ShowStringMessageArg(owner, IDS_CREATE_DIRECTORY_ASK, dir.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
      CloseHandle(in);
      return false;
    }
    CreateDirectoryPath(FullPath(dir).c_str());
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES && SameFile(source, target)) {
      CloseHandle(in);
      ShowStringMessage(owner, IDS_OVERWRITE_WARNING);
      return false;
    }
    if (!GetTempFileNameA(dir.c_str(), "qlc", 0, temp)) {
      CloseHandle(in);
      ShowStringMessage(owner, IDS_CANNOT_CREATE_TARGET);
      return false;
    }
  }
  HANDLE out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    CloseHandle(in);
    DeleteFileA(temp);
    ShowStringMessage(owner, IDS_CANNOT_CREATE_TARGET);
    return false;
  }
  auto giveUp = [&](UINT message) {
    CloseHandle(in);
    CloseHandle(out);
    DeleteFileA(temp);
    if (message) ShowStringMessage(owner, message);
    return false;
  };

  g_abortCopy = false;
  std::vector<char> buffer(kCopyBuffer);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in, buffer.data(), kCopyBlock, &got, nullptr)) return giveUp(IDS_COPY_IO_ERROR);
    if (got == 0) break;
    if (!g_abortCopy) PumpOneMessage();
    // A Cancel stops at once: nothing of the copy is kept, so there is no point reading on.
    if (g_abortCopy) return giveUp(0);
    DWORD put = 0;
    if (!WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) return giveUp(IDS_COPY_IO_ERROR);
  }
  if (g_abortCopy) return giveUp(0);
  FILETIME created, accessed, written;
  if (GetFileTime(in, &created, &accessed, &written)) SetFileTime(out, &created, &accessed, &written);
  CloseHandle(in);
  BOOL flushed = FlushFileBuffers(out);
  BOOL closed = CloseHandle(out);
  if (!flushed || !closed) {
    DeleteFileA(temp);
    ShowStringMessage(owner, IDS_COPY_IO_ERROR);
    return false;
  }
  if (!ReplaceWithTemp(temp, target)) {
    DeleteFileA(temp);
    ShowStringMessage(owner, IDS_CANNOT_CREATE_TARGET);
    return false;
  }
  *copied = true;
  return true;
}

namespace {

// ---------------------------------------------------------------------------------------------
// The Copying dialog: the copy or move loop, started 500 milliseconds after it opens.

struct CopyJob {
  std::vector<std::string> sources;  // full paths
  std::string targetDir;
  bool move = false;
  bool completed = false;
};

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name a file gets in `targetDir`: its short name from a long-name file system onto plain FAT.
bool TargetNameFor(const std::string& source, const std::string& sourceFs, const std::string& targetFs,
                   std::string* name) {
  if (!NeedsShortTargetName(sourceFs, targetFs)) {
    *name = NameOf(source);
    return true;
  }
  WIN32_FIND_DATAA fd;
  if (!FileFound(source, &fd)) return false;
  *name = TargetFileName(fd.cFileName, fd.cAlternateFileName, sourceFs, targetFs);
  return true;
}

void RunCopyJob(HWND dlg, CopyJob* job) {
  std::string target = NormalizeTargetDir(job->targetDir);
  if (target.empty()) return;
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  const std::string targetFs = FileSystemOf(target);
  ConfirmAnswer answer = ConfirmAnswer::Yes;
  bool stopped = false;
  for (const std::string& source : job->sources) {
    if (answer == ConfirmAnswer::Cancel) {
      stopped = true;
      break;
    }
    std::string name;
    if (!TargetNameFor(source, FileSystemOf(source), targetFs, &name)) {
      stopped = true;
      break;
    }
    std::string to = JoinPath(target, name);
    SetDlgItemTextA(dlg, IDC_FO_SOURCE, source.c_str());
    SetDlgItemTextA(dlg, IDC_FO_TARGET, to.c_str());
    UpdateWindow(dlg);
    bool copied = false;
    if (!CopyOneFile(dlg, source, to, &answer, &copied)) {
      stopped = true;
      break;
    }
    if (job->move && copied && !DeleteFileA(source.c_str())) {
      SetCursor(old);
      CouldNotMove(dlg, source);
      stopped = true;
      break;
    }
  }
  SetCursor(old);
  job->completed = !stopped;
}

INT_PTR CALLBACK CopyingProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* job = reinterpret_cast<CopyJob*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, l);
      job = reinterpret_cast<CopyJob*>(l);
      PlaceDialog(dlg);
      if (job->move) {
        SetWindowTextA(dlg, "Moving Files");
        SetDlgItemTextA(dlg, IDC_FO_ACTION, "Moving:");
      }
      SetTimer(dlg, 1, 500, nullptr);
      return TRUE;
    case WM_TIMER: {
      KillTimer(dlg, 1);
      HWND outer = g_copyingDialog;
      g_copyingDialog = dlg;
      RunCopyJob(dlg, job);
      g_copyingDialog = outer;
      EndDialog(dlg, job->completed ? IDOK : IDCANCEL);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDCANCEL) {
        // While the loop runs, Cancel asks the engine to stop; before it starts, it ends the dialog.
        g_abortCopy = true;
        if (g_copyingDialog != dlg) {
          KillTimer(dlg, 1);
          EndDialog(dlg, IDCANCEL);
        }
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace


namespace {

// ---------------------------------------------------------------------------------------------
// The selection of a window's directory list.

WindowRecord* ActiveRecord() { return g_activeBrowser ? RecordOf(g_activeBrowser) : nullptr; }

std::vector<std::string> SelectedDirLines(const WindowRecord* r) {
  std::vector<std::string> out;
  if (!r || !r->hwndDirList) return out;
  std::vector<std::string> all = ListLines(r->hwndDirList);
  for (int i : SelectedIndexes(r->hwndDirList))
    if (i >= 0 && static_cast<size_t>(i) < all.size()) out.push_back(all[static_cast<size_t>(i)]);
  return out;
}

// The name of a line's entry as the operations use it (long or short by the display), a
// directory's without its brackets.
std::string EntryName(const std::string& line) {
  std::string_view name = LineSelectedName(line, g_shortNameDisplay != 0);
  return std::string(ClassifyDirLine(line) == DirLineKind::File ? name : StripBrackets(name));
}

// The checks of Copy and Move on the selected lines: nothing selected (3045), a comment line
// (3044, Copy only) or a drive or directory (3055). Shows the message and sets the cancelled flag;
// true when the selection may be copied or moved.
bool FileSelectionAllowed(HWND owner, const std::vector<std::string>& lines, bool refuseComments) {
  UINT message = 0;
  if (lines.empty()) message = IDS_NO_SELECTION;
  for (const std::string& line : lines) {
    if (message) break;
    DirLineKind kind = ClassifyDirLine(line);
    if (kind == DirLineKind::Marker && refuseComments) message = IDS_NO_COMMENTS_ALLOWED;
    if (kind == DirLineKind::Directory || kind == DirLineKind::Parent || kind == DirLineKind::Drive)
      message = IDS_NO_DRIVES_DIRS;
  }
  if (!message) return true;
  ShowStringMessage(owner, message);
  g_cancelled = true;
  return false;
}

// Full paths and the total length of the selected files (directories and marker lines left out).
std::vector<std::string> SelectedFiles(const WindowRecord* r, const std::vector<std::string>& lines,
                                       unsigned long long* total) {
  std::vector<std::string> files;
  *total = 0;
  for (const std::string& line : lines) {
    if (ClassifyDirLine(line) != DirLineKind::File) continue;
    files.push_back(JoinPath(r->curDir, EntryName(line)));
    int64_t size = LineSizeField(line);
    if (size > 0) *total += static_cast<unsigned long long>(size);
  }
  return files;
}

// Whether `needed` bytes fit on the work directory's drive and on the target's drive (3005 when not).
bool EnoughSpace(HWND owner, unsigned long long needed, const std::string& target) {
  char drives[2] = {g_fileOpsHost.workDirectory ? g_fileOpsHost.workDirectory[0] : '\0', DriveOrCurrent(FullPath(target))};
  for (char d : drives) {
    if (!d || !IsCharAlphaA(d)) continue;
    if (needed > DriveFreeBytes(d)) {
      ShowStringMessage(owner, IDS_NO_DISK_SPACE);
      return false;
    }
  }
  return true;
}

bool RunCopying(HWND owner, CopyJob* job) {
  job->completed = false;
  RunDialog(owner, "Copying", CopyingProc, reinterpret_cast<LPARAM>(job));
  return job->completed;
}

void RelistWindow(HWND browser) {
  int slot = SlotOf(browser);
  if (slot < 0) return;
  FillDirectoryList(slot);
  ShowDirectoryTotals(browser);
}

void MakeWindowDirCurrent(const WindowRecord* r) {
  if (r && r->curDir[0]) SetCurrentDirAndDrive(r->curDir);
}

// ---------------------------------------------------------------------------------------------
// The dialogs that take a path or a name: COPY_FILES, Move_Files1, RENAME, CREATEDIR, ChangeDir.

enum class PathKind { Copy, Move, Rename, MakeDir, ChangeDir };

struct PathDialog {
  PathDialog(PathKind k, WindowRecord* w, std::string cur, std::string first)
      : kind(k), window(w), current(std::move(cur)), entry(std::move(first)) {}
  PathKind kind;
  WindowRecord* window;
  std::string current;  // shown in the first field
  std::string entry;    // the edit field's first text
  std::string oldName;  // Rename
  std::string result;
};

DWORD HelpOf(PathKind k) {
  switch (k) {
    case PathKind::Copy:
      return kHelpCopy;
    case PathKind::Move:
      return kHelpMove;
    case PathKind::Rename:
      return kHelpRename;
    case PathKind::MakeDir:
      return kHelpMakeDir;
    case PathKind::ChangeDir:
      return kHelpChangeDir;
  }
  return 0;
}

// The OK of each dialog: how the dialog ends (IDOK or IDCANCEL), or 0 to keep it open.
INT_PTR AcceptPathDialog(HWND dlg, PathDialog* d) {
  std::string text = DlgText(dlg, IDC_FO_ENTRY, d->kind == PathKind::MakeDir ? 256 : MAX_PATH);
  switch (d->kind) {
    case PathKind::Copy:
    case PathKind::Move:
      // The target is taken relative to the window's directory, and kept as a full path.
      MakeWindowDirCurrent(d->window);
      if (d->kind == PathKind::Copy && !FileSelectionAllowed(dlg, SelectedDirLines(d->window), true))
        return IDCANCEL;
      if (!NormalizeTargetDir(text).empty()) d->result = NormalizeTargetDir(FullPath(NormalizeTargetDir(text)));
      return IDOK;
    case PathKind::Rename: {
      if (text.empty()) {
        Message(dlg, "You Must Enter A Filename.");
        return 0;
      }
      MakeWindowDirCurrent(d->window);
      std::string from = JoinPath(d->current, d->oldName);
      std::string to = FullPath(text);
      if (!IsValidNewName(text) || !MoveFileA(from.c_str(), to.c_str())) {
        Message(dlg, "Error: Unable To Rename This File.");
        return 0;
      }
      d->result = text;
      return IDOK;
    }
    case PathKind::MakeDir: {
      if (text.empty()) {
        Message(dlg, "You Must Enter A Directory Name.");
        return 0;
      }
      MakeWindowDirCurrent(d->window);
      std::string full = FullPath(text);
      if (!IsValidNewName(text) || !CreateDirectoryPath(full.c_str())) {
        Message(dlg, "Unable To Create The Directory.");
        return 0;
      }
      d->result = full;
      return IDOK;
    }
    case PathKind::ChangeDir: {
      if (text.empty()) {
        ShowStringMessage(dlg, IDS_NEED_DIRECTORY_NAME);
        return 0;
      }
      UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
      bool failed = SetCurrentDirAndDrive(text.c_str());
      SetErrorMode(mode);
      if (failed) {
        Message(dlg, "Error: Invalid Subdirectory!");
        return 0;
      }
      d->result = CurrentDirectory();
      return IDOK;
    }
  }
  return IDOK;
}

INT_PTR CALLBACK PathDialogProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* d = reinterpret_cast<PathDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, l);
    d = reinterpret_cast<PathDialog*>(l);
    PlaceDialog(dlg);
    SetDlgItemTextA(dlg, IDC_FO_CURRENT, d->current.c_str());
    if (d->kind == PathKind::Rename) SetDlgItemTextA(dlg, IDC_FO_OLD_NAME, d->oldName.c_str());
    HWND edit = GetDlgItem(dlg, IDC_FO_ENTRY);
    SendMessageA(edit, EM_LIMITTEXT, d->kind == PathKind::MakeDir ? 256 : MAX_PATH, 0);
    SetWindowTextA(edit, d->entry.c_str());
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return FALSE;
  }
  if (!d) return FALSE;
  if (m == WM_COMMAND && LOWORD(w) == IDCANCEL &&
      (d->kind == PathKind::Copy || d->kind == PathKind::Move))
    MakeWindowDirCurrent(d->window);
  if (HelpOrCancel(dlg, m, w, HelpOf(d->kind))) return TRUE;
  if (m != WM_COMMAND) return FALSE;
  switch (LOWORD(w)) {
    case IDC_FO_BROWSE: {
      std::string chosen;
      if (ChooseTargetDirectory(dlg, &chosen)) SetDlgItemTextA(dlg, IDC_FO_ENTRY, chosen.c_str());
      return TRUE;
    }
    case IDOK:
      if (INT_PTR end = AcceptPathDialog(dlg, d)) EndDialog(dlg, end);
      return TRUE;
  }
  return FALSE;
}

// ---------------------------------------------------------------------------------------------
// The target-directory chooser.

struct Chooser {
  std::string opened;
  std::string result;
};

void ListChooser(HWND dlg) {
  std::string cur = CurrentDirectory();
  SetDlgItemTextA(dlg, IDC_FO_CURRENT, cur.c_str());
  char spec[MAX_PATH] = "*.*";
  UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  DlgDirListA(dlg, spec, IDC_FO_DIR_LIST, 0, DDL_DRIVES | DDL_DIRECTORY | DDL_EXCLUSIVE);
  SetErrorMode(mode);
  SetDlgItemTextA(dlg, IDC_FO_ENTRY, cur.c_str());
}

// The directory a list entry stands for: a drive's current directory, or a directory below (or the
// parent of) the current one.
std::string ChooserEntryPath(HWND dlg) {
  char sel[MAX_PATH] = "";
  if (!DlgDirSelectExA(dlg, sel, sizeof sel, IDC_FO_DIR_LIST)) return "";
  std::string s = sel;
  if (s.size() == 2 && s[1] == ':') {
    char letter = s[0] >= 'a' && s[0] <= 'z' ? static_cast<char>(s[0] - 'a' + 'A') : s[0];
    char name[4] = {'=', letter, ':', 0};
    char env[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA(name, env, sizeof env);
    if (n > 0 && n < sizeof env) return env;
    return std::string(1, name[1]) + ":\\";
  }
  return NormalizeTargetDir(FullPath(JoinPath(CurrentDirectory(), s)));
}

void RestoreAfterChooser(const Chooser* c) {
  WindowRecord* r = ActiveRecord();
  if (ManagerMode() && r)
    MakeWindowDirCurrent(r);
  else if (!c->opened.empty())
    SetCurrentDirAndDrive(c->opened.c_str());
}

INT_PTR CALLBACK ChooserProc(HWND dlg, UINT m, WPARAM w, LPARAM l) {
  auto* c = reinterpret_cast<Chooser*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, l);
    PlaceDialog(dlg);
    HWND edit = GetDlgItem(dlg, IDC_FO_ENTRY);
    SendMessageA(edit, EM_LIMITTEXT, MAX_PATH, 0);
    ListChooser(dlg);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return FALSE;
  }
  if (!c) return FALSE;
  if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
    RestoreAfterChooser(c);
    c->result.clear();
  }
  if (HelpOrCancel(dlg, m, w, kHelpTarget)) return TRUE;
  if (m != WM_COMMAND) return FALSE;
  switch (LOWORD(w)) {
    case IDC_FO_DIR_LIST:
      if (HIWORD(w) == LBN_SELCHANGE) {
        std::string path = ChooserEntryPath(dlg);
        if (!path.empty()) SetDlgItemTextA(dlg, IDC_FO_ENTRY, path.c_str());
      } else if (HIWORD(w) == LBN_DBLCLK) {
        std::string path = ChooserEntryPath(dlg);
        UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
        bool failed = path.empty() || SetCurrentDirAndDrive(path.c_str());
        SetErrorMode(mode);
        if (failed)
          MessageBeep(0);
        else
          ListChooser(dlg);
      }
      return TRUE;
    case IDOK: {
      std::string text = DlgText(dlg, IDC_FO_ENTRY, MAX_PATH);
      if (NormalizeTargetDir(text).empty()) {
        ShowStringMessage(dlg, IDS_NEED_DIRECTORY_NAME);
        return TRUE;
      }
      // A relative name means a directory below the one shown.
      c->result = NormalizeTargetDir(FullPath(NormalizeTargetDir(text)));
      if (ManagerMode() && ActiveRecord()) MakeWindowDirCurrent(ActiveRecord());
      EndDialog(dlg, IDOK);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

bool ChooseTargetDirectory(HWND owner, std::string* directory) {
  Chooser c;
  c.opened = CurrentDirectory();
  if (RunDialog(owner, "GET_TARGET", ChooserProc, reinterpret_cast<LPARAM>(&c)) != IDOK) {
    directory->clear();
    g_cancelled = true;
    return false;
  }
  *directory = c.result;
  return true;
}

// ---------------------------------------------------------------------------------------------
// The commands.

void CopyFilesCommand(HWND frame) {
  WindowRecord* r = ActiveRecord();
  if (!r) {
    g_cancelled = true;
    return;
  }
  if (!FileSelectionAllowed(frame, SelectedDirLines(r), true)) return;
  PathDialog d{PathKind::Copy, r, r->curDir, r->curDir};
  if (RunDialog(frame, "COPY_FILES", PathDialogProc, reinterpret_cast<LPARAM>(&d)) != IDOK) return;
  unsigned long long needed = 0;
  CopyJob job;
  job.sources = SelectedFiles(r, SelectedDirLines(r), &needed);
  job.targetDir = NormalizeTargetDir(d.result);
  if (job.targetDir.empty()) return;
  if (!EnoughSpace(frame, needed, job.targetDir)) return;
  RunCopying(frame, &job);
  if (!g_abortCopy) RelistWindow(r->hwndChild);
}

void MoveFilesCommand(HWND frame) {
  WindowRecord* r = ActiveRecord();
  if (!r) {
    g_cancelled = true;
    return;
  }
  std::vector<std::string> lines = SelectedDirLines(r);
  if (!FileSelectionAllowed(frame, lines, false)) return;
  PathDialog d{PathKind::Move, r, r->curDir, r->curDir};
  if (RunDialog(frame, "Move_Files1", PathDialogProc, reinterpret_cast<LPARAM>(&d)) != IDOK) return;
  if (d.result.empty()) return;
  unsigned long long needed = 0;
  std::vector<std::string> files = SelectedFiles(r, lines, &needed);
  if (!EnoughSpace(frame, needed, d.result)) return;
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  ConfirmAnswer answer = ConfirmAnswer::Yes;
  std::string failed;
  for (const std::string& source : files) {
    bool copied = false;
    if (!CopyOneFile(frame, source, JoinPath(d.result, NameOf(source)), &answer, &copied) ||
        (copied && !DeleteFileA(source.c_str()))) {
      failed = source;
      break;
    }
  }
  SetCursor(old);
  if (!failed.empty()) CouldNotMove(frame, failed);
  RelistWindow(r->hwndChild);
}

void RenameCommand(HWND frame) {
  WindowRecord* r = ActiveRecord();
  if (!r) return;
  std::vector<std::string> lines = SelectedDirLines(r);
  if (lines.empty()) {
    ShowStringMessage(frame, IDS_NO_SELECTION);
    return;
  }
  DirLineKind kind = ClassifyDirLine(lines[0]);
  if (kind == DirLineKind::Drive) {
    ShowStringMessage(frame, IDS_CANNOT_RENAME_DRIVE);
    g_cancelled = true;
    return;
  }
  PathDialog d{PathKind::Rename, r, r->curDir, ""};
  d.oldName = EntryName(lines[0]);
  if (RunDialog(frame, "RENAME", PathDialogProc, reinterpret_cast<LPARAM>(&d)) != IDOK) return;
  int slot = SlotOf(r->hwndChild);
  if (r->archivePath[0]) RefreshArchiveWindow(slot);
  RelistWindow(r->hwndChild);
}

void MakeDirectoryCommand(HWND frame) {
  WindowRecord* r = ActiveRecord();
  PathDialog d{PathKind::MakeDir, r, r ? std::string(r->curDir) : CurrentDirectory(), ""};
  if (RunDialog(frame, "CREATEDIR", PathDialogProc, reinterpret_cast<LPARAM>(&d)) != IDOK) return;
  if (r) RelistWindow(r->hwndChild);
}

void ChangeDirectoryCommand(HWND frame) {
  WindowRecord* r = ActiveRecord();
  std::string start = g_fileOpsHost.workingDirectory ? g_fileOpsHost.workingDirectory() : "";
  PathDialog d{PathKind::ChangeDir, r, CurrentDirectory(), start};
  if (RunDialog(frame, "ChangeDir", PathDialogProc, reinterpret_cast<LPARAM>(&d)) != IDOK) return;
  if (!r || d.result.empty()) return;
  std::string now = NormalizeTargetDir(d.result);
  lstrcpynA(r->curDir, now.c_str(), sizeof r->curDir);
  // Closing the dialog made the window's old directory current again (frame activation).
  SetCurrentDirAndDrive(r->curDir);
  RememberDriveDir(r->hwndChild, r->curDir);
  RelistWindow(r->hwndChild);
}

bool CopyFilesToDirectory(HWND owner, const std::vector<std::string>& paths, const std::string& destDir, bool move) {
  CopyJob job;
  for (const std::string& p : paths) {
    DWORD a = GetFileAttributesA(p.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) continue;
    job.sources.push_back(p);
  }
  job.targetDir = destDir;
  job.move = move;
  if (job.sources.empty() || NormalizeTargetDir(destDir).empty()) {
    g_cancelled = true;
    return false;
  }
  return RunCopying(owner, &job);
}

bool ConfirmDragDrop(HWND owner, const std::vector<std::string>& names, const std::string& destination) {
  return ConfirmDragDrop(owner, names, destination, false);
}

bool ConfirmDragDrop(HWND owner, const std::vector<std::string>& names, const std::string& destination, bool move) {
  if (!Asks(kConfirmMouse)) return true;
  ConfirmTexts t;
  t.question = DragNamesText(names);
  t.names = destination;
  t.action = move ? "Move To:" : "Copy To:";
  t.help = kHelpCopy;
  return RunConfirm(owner, "ConfirmDrag", &t) == ConfirmAnswer::Yes;
}

bool DeleteSelectedDirectories(HWND owner, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return false;
  std::vector<std::string> lines = SelectedDirLines(r);
  bool directories = !lines.empty() && r->hwndFocusList == r->hwndDirList;
  for (const std::string& line : lines) directories = directories && IsDirectoryLine(line);
  if (!directories) {
    ShowStringMessage(owner, IDS_NOT_EMPTY_DIRECTORY);
    g_cancelled = true;
    return false;
  }
  return DeleteDirectoryListSelection(owner, browser);
}

bool DeleteDirectoryListSelection(HWND owner, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return false;
  std::vector<std::string> lines = SelectedDirLines(r);
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  ConfirmAnswer answer = ConfirmAnswer::Yes;  // Yes to All lasts for this run only
  bool ok = true;
  for (const std::string& line : lines) {
    DirLineKind kind = ClassifyDirLine(line);
    if (kind == DirLineKind::Marker || kind == DirLineKind::Empty) continue;
    if (kind == DirLineKind::Drive) {
      ShowStringMessage(owner, IDS_CANNOT_DELETE_DRIVE);
      ok = false;
      break;
    }
    if (kind == DirLineKind::Parent) {
      ShowStringMessage(owner, IDS_CANNOT_DELETE_PARENT);
      ok = false;
      break;
    }
    const bool directory = kind == DirLineKind::Directory;
    std::string path = JoinPath(r->curDir, EntryName(line));
    if (Asks(directory ? kConfirmDirDelete : kConfirmDelete) && answer != ConfirmAnswer::YesToAll) {
      answer = AskConfirmation(owner, directory ? "DeleteDir" : "ConfirmDelete",
                               LoadText(directory ? IDS_DELETE_SUBDIR_ASK : IDS_DELETE_FILE_ASK), path);
      if (answer == ConfirmAnswer::Cancel) {
        ok = false;
        break;
      }
      if (answer == ConfirmAnswer::No) continue;
    }
    if (directory ? !RemoveDirectoryTree(path.c_str()) : !DeleteFileA(path.c_str())) {
      if (directory)
        ShowStringMessage(owner, IDS_CANNOT_DELETE_DIR);
      else
        ShowStringMessageArg(owner, IDS_CANNOT_DELETE_FILE, path.c_str(), MB_OK | MB_ICONEXCLAMATION);
      ok = false;
      break;
    }
  }
  if (r->archivePath[0]) RefreshArchiveWindow(SlotOf(browser));
  RelistWindow(browser);
  SetCursor(old);
  return ok;
}

}  // namespace ql
