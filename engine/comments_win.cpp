#include "engine/comments_win.h"

#include <vector>

#include "common/dialog_kit_win.h"
#include "common/mask.h"
#include "common/shared_win.h"
#include "engine/dialogs_win.h"
#include "engine/transform_commands.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// Comments are at most 65,535 bytes (ZIP) and much less for ARJ; the viewer reads no more.
constexpr size_t kCommentCapacity = 65536 + 2600;

std::string Joined(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

// The drives' free space against what the archiver may need; drives A and B are not checked.
bool LacksSpace(const RunnerSetup& setup, const std::string& archive, unsigned long long needed) {
  char archiveDrive = archive.size() > 1 && archive[1] == ':' ? archive[0] : 0;
  std::string work = WorkNoSlash(setup.workDir);
  char workDrive = work.size() > 1 && work[1] == ':' ? work[0] : 0;
  if (!archiveDrive) return false;
  unsigned long long archiveFree = DriveFreeBytes(archiveDrive);
  unsigned long long workFree = workDrive ? DriveFreeBytes(workDrive) : archiveFree;
  return FreshenLacksSpace(needed, archiveFree, workFree, archiveDrive);
}

}  // namespace

size_t WriteSelectionList(const RunnerSetup& setup, const std::vector<std::string>& names) {
  std::string list = ListFilePath(setup.workDir);
  if (!WriteWholeFile(list, ListFileContent(names))) {
    ShowStringMessageArg(setup.owner, IDS_ARCHIVE_NOT_CREATED, list.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  return names.size();
}

bool CommentArchiveTitle(const RunnerSetup& setup, SwitchSet& s, const CommentSource& src,
                         const AskPassword& askPassword) {
  std::string archive;
  ArchiveKind kind = src.kind;
  if (src.directoryListActive) {
    if (src.selectedNames.empty()) {
      ShowStringMessage(setup.owner, IDS_SELECT_IN_ARCHIVE);
      return false;
    }
    if (src.selectedNames.size() > 1) {
      ShowStringMessage(setup.owner, IDS_ONLY_ONE_FILE);
      return false;
    }
    archive = Joined(src.curDir, src.selectedNames[0]);
    bool exeZip = MatchFileMask(archive, "*.EXE") && FileHoldsZip(archive);
    if (!ArchiveKindFromName(archive, exeZip, &kind)) {
      ShowStringMessage(setup.owner, IDS_ZIP_INVALID);
      return false;
    }
  } else {
    archive = src.archivePath;
    if (archive.empty()) {
      ShowStringMessage(setup.owner, IDS_NEED_ARCHIVE_WINDOW);
      return false;
    }
  }
  // The rule of the member comments: every drive but A and B is checked (not only "Z" and on).
  if (LacksSpace(setup, archive, src.selectedBytes + src.archiveBytes)) {
    ShowStringMessage(setup.owner, IDS_NO_DISK_SPACE);
    return false;
  }
  if (On(s, Sw::Password) && !askPassword(s)) return false;
  RunResult r = RunCommand(setup, CommentTitle(s, EnginePathsOf(setup), kind, archive));
  return r == RunResult::Done || r == RunResult::RunnerEnded;
}

bool CommentSelectedFiles(const RunnerSetup& setup, SwitchSet& s, const CommentSource& src,
                          const AskPassword& askPassword) {
  if (src.archivePath.empty() || src.directoryListActive || src.selectedNames.empty()) {
    ShowStringMessage(setup.owner, IDS_SELECT_IN_ARCHIVE);
    return false;
  }
  if (LacksSpace(setup, src.archivePath, src.selectedBytes + src.archiveBytes)) {
    ShowStringMessage(setup.owner, IDS_NO_DISK_SPACE);
    return false;
  }
  // Member names are the archive's own: no directory goes before them.
  if (!WriteSelectionList(setup, SelectionListNames(src.selectedNames, ""))) return false;
  if (On(s, Sw::Password) && !askPassword(s)) return false;
  RunResult r = RunCommand(setup, CommentFiles(s, EnginePathsOf(setup), src.kind, src.archivePath));
  return r == RunResult::Done || r == RunResult::RunnerEnded;
}

namespace {

struct CommentView {
  std::string archive;
  ArchiveKind kind;
  std::string line;
};

// The comment text of `v`, or false when the archive cannot be opened or the line holds no
// location inside it.
bool LoadComment(const CommentView& v, std::string* text) {
  HANDLE f = CreateFileA(v.archive.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  uint64_t offset = 0;
  size_t count = 0;
  bool ok = GetFileSizeEx(f, &size) &&
            CommentReadRange(v.line, static_cast<uint64_t>(size.QuadPart), kCommentCapacity, &offset, &count);
  std::vector<char> buf(count + 1, '\0');
  if (ok) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    ok = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) &&
         ReadFile(f, buf.data(), static_cast<DWORD>(count), &got, nullptr);
    count = ok ? got : 0;
  }
  CloseHandle(f);
  if (!ok) return false;
  std::string t = CommentTextOf(buf.data(), count, v.kind);
  if (!t.empty()) OemToCharBuffA(&t[0], &t[0], static_cast<DWORD>(t.size()));
  *text = t;
  return true;
}

INT_PTR CALLBACK CommentProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    PlaceDialog(d);
    g_cancelled = false;
    const CommentView* v = reinterpret_cast<const CommentView*>(l);
    std::string text;
    if (!LoadComment(*v, &text)) {
      ShowStringMessage(d, IDS_CANNOT_READ_COMMENT);
      g_cancelled = true;
      EndDialog(d, IDCANCEL);
      return TRUE;
    }
    SetDlgItemTextA(d, IDC_COMMENT_TEXT, text.c_str());
    HWND ok = GetDlgItem(d, IDOK);
    SetFocus(ok);
    SendDlgItemMessageA(d, IDC_COMMENT_TEXT, EM_SETSEL, 0, -1);
    return FALSE;
  }
  const CommentView* v = reinterpret_cast<const CommentView*>(GetWindowLongPtrA(d, DWLP_USER));
  if (v && DialogHelpOrCancel(d, m, w, 7025)) {
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) g_cancelled = true;
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(w) == IDOK) {
    EndDialog(d, IDOK);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR ReadArchiveComment(HWND owner, const std::string& archive, ArchiveKind kind,
                           const std::string& line) {
  if (line.find(':') == std::string::npos) {
    ShowStringMessage(owner, IDS_CANNOT_READ_COMMENT);
    g_cancelled = true;
    return IDCANCEL;
  }
  CommentView v{archive, kind, line};
  INT_PTR r = RunDialog(owner, "ArchiveComment", CommentProc, reinterpret_cast<LPARAM>(&v));
  if (r != IDOK) {
    g_cancelled = true;
    return IDCANCEL;
  }
  g_cancelled = false;
  return IDOK;
}

}  // namespace ql
