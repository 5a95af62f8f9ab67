#include "readers/readers_win.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/shared_win.h"
#include "common/text_and_paths.h"
#include "readers/arj_reader.h"
#include "readers/listing_lines.h"
#include "readers/zip_reader.h"
#include "resources/ids.h"

namespace ql {

namespace {

// Layout of the listing-text block: the archive name, the column title, the separator line.
constexpr size_t kListingNameSize = 268;
constexpr size_t kListingTitleSize = 262;
constexpr size_t kListingSeparatorSize = 264;
constexpr int kHeaderControlId = 1;  // the column header over the archive list

// Big buffered reads through the Win32 file API.
struct FileSource {
  HANDLE file = INVALID_HANDLE_VALUE;

  static size_t ReadAt(void* ctx, uint64_t pos, void* buf, size_t n) {
    HANDLE f = static_cast<FileSource*>(ctx)->file;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(pos);
    if (!SetFilePointerEx(f, at, nullptr, FILE_BEGIN)) return 0;
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
    if (!ReadFile(f, buf, want, &got, nullptr)) return 0;
    return got;
  }

  ByteSource Source() {
    ByteSource s;
    LARGE_INTEGER size;
    s.size = GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    s.ctx = this;
    s.readAt = ReadAt;
    return s;
  }
};

HANDLE OpenShared(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool IsQlListBox(HWND list) {
  char name[32] = "";
  GetClassNameA(list, name, sizeof name);
  return lstrcmpiA(name, "qllistbox") == 0;
}

// Lines for a list box, and the column title for its window.
struct ListTarget {
  HWND list = nullptr;
  HWND window = nullptr;             // the browser window, when its words and title are wanted
  const char* headerText = nullptr;  // text of the column-header control, when there is one
  std::string line;

  static void Add(void* ctx, const char* text, size_t len) {
    ListTarget* t = static_cast<ListTarget*>(ctx);
    t->line.assign(text, len);
    SendMessageA(t->list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t->line.c_str()));
  }
  static void Top(void* ctx, const char* text, size_t len) {
    ListTarget* t = static_cast<ListTarget*>(ctx);
    t->line.assign(text, len);
    SendMessageA(t->list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(t->line.c_str()));
  }
  static void Columns(void* ctx, const char* title, const char* separator) {
    ListTarget* t = static_cast<ListTarget*>(ctx);
    if (!t->window) return;
    if (t->headerText) {
      HWND header = GetDlgItem(t->window, kHeaderControlId);
      if (header) SetWindowTextA(header, t->headerText);
    }
    HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(t->window, kWordListingText));
    if (!block) return;
    char* p = static_cast<char*>(GlobalLock(block));
    if (!p) return;
    lstrcpynA(p + kListingNameSize, title, kListingTitleSize);
    lstrcpynA(p + kListingNameSize + kListingTitleSize, separator, kListingSeparatorSize);
    GlobalUnlock(block);
  }

  LineSink Sink() { return LineSink{this, Add, Top, Columns}; }
};

// Lines for an output file, each followed by CR LF, written in big pieces.
struct FileTarget {
  HANDLE out = INVALID_HANDLE_VALUE;
  std::string pending;

  static void Add(void* ctx, const char* text, size_t len) {
    FileTarget* t = static_cast<FileTarget*>(ctx);
    t->pending.append(text, len);
    t->pending.append("\r\n");
    if (t->pending.size() >= 64 * 1024) t->Flush();
  }
  void Flush() {
    size_t done = 0;
    while (done < pending.size()) {
      DWORD wrote = 0;
      DWORD n = static_cast<DWORD>(std::min<size_t>(pending.size() - done, 1u << 20));
      if (!WriteFile(out, pending.data() + done, n, &wrote, nullptr) || wrote == 0) break;
      done += wrote;
    }
    pending.clear();
  }
  LineSink Sink() { return LineSink{this, Add, nullptr, nullptr}; }
};

// The words are 32-bit: larger values stay at the largest that fits.
LONG Word32(uint64_t v) { return static_cast<LONG>(std::min<uint64_t>(v, 0xFFFFFFFFu)); }
LONG SignedWord32(uint64_t v) { return static_cast<LONG>(std::min<uint64_t>(v, 0x7FFFFFFF)); }

void WriteTotals(HWND window, const ListOutcome& r) {
  SetWindowLongA(window, kWordArchiveSize, SignedWord32(r.archiveSize));
  SetWindowLongA(window, kWordTotalLength, Word32(r.totalLength));
  SetWindowLongA(window, kWordFileCount, Word32(r.fileCount));
  SetWindowLongA(window, kWordTotalSize, Word32(r.totalSize));
  SetWindowLongA(window, kWordTotalLengthThousands, Word32(r.totalLength / 1000));
  SetWindowLongA(window, kWordTotalSizeThousands, Word32(r.totalSize / 1000));
}

BrowserQueries g_browserQueries;

std::string ProgramDir() {
  char buf[MAX_PATH] = "";
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (!n || n >= sizeof buf) return {};
  char* slash = std::strrchr(buf, '\\');
  if (slash) *slash = 0;
  return buf;
}

// The directory remembered for a drive: the window's own, else, for the current drive, the
// current directory itself, else the drive's "=X:" entry, else its root.
std::string RememberedDir(HWND window, char letter, const std::string& current) {
  char buf[MAX_PATH] = "";
  if (window && g_browserQueries.recallDriveDir &&
      g_browserQueries.recallDriveDir(window, letter, buf, sizeof buf) && buf[0])
    return buf;
  if (letter == DriveLetterOf(current)) return current;
  char name[4] = {'=', letter, ':', 0};
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n && n < sizeof buf) return std::string(buf, n);
  return std::string(1, letter) + ":\\";
}

// Member names in the list boxes: in the ANSI code page, as well as it holds them.
std::string OemToUtf8(std::string_view oem) {
  std::string out;
  return NarrowText(WidenText(oem, CP_OEMCP), CP_UTF8, &out) ? out : std::string();
}

std::string Utf8ToLine(std::string_view utf8) {
  std::string out;
  NarrowText(WidenText(utf8, CP_UTF8), CP_ACP, &out);
  return out;
}

const NameText kAnsiNames = {OemToUtf8, Utf8ToLine};

}  // namespace

CurrentDirAroundRead::CurrentDirAroundRead(HWND window, bool onlyFromAnotherDrive) {
  std::string current = CurrentDirectory();
  char drive = DriveLetterOf(current);
  char programDrive = DriveLetterOf(ProgramDir());
  if (!programDrive || (onlyFromAnotherDrive && (!drive || drive == programDrive))) return;
  back_ = drive ? RememberedDir(window, drive, current) : current;
  SetCurrentDirAndDrive(RememberedDir(window, programDrive, current).c_str());
}

void CurrentDirAroundRead::Restore() {
  if (!back_.empty()) SetCurrentDirAndDrive(back_.c_str());
  back_.clear();
}

namespace {

void ShowReaderMessage(HWND owner, const ListOutcome& r, UINT icon) {
  if (!r.message) return;
  if (r.messageArg.empty()) ShowStringMessage(owner, r.message);
  else ShowStringMessageArg(owner, r.message, r.messageArg.c_str(), MB_OK | icon);
}

}  // namespace

bool FileHoldsZip(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  bool zip = FindZipStart(f, nullptr);
  CloseHandle(f);
  return zip;
}

bool FindZipStart(HANDLE file, bool* spanning) {
  FileSource f;
  f.file = file;
  ByteWindow in(f.Source(), 32 * 1024 + 16);
  ZipStart start = LocateZipStart(in);
  if (spanning) *spanning = start.spanning;
  if (!start.found) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(start.offset);
  SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  return true;
}

int ReadZipDirectory(const char* path, HWND list, const char* mask, HANDLE out) {
  if (out == INVALID_HANDLE_VALUE) out = nullptr;
  if (!path || !*path || (!list && !out)) return 0;
  bool full = list && IsQlListBox(list);
  HWND owner = list ? GetParent(list) : nullptr;
  HWND window = full ? owner : nullptr;  // the words belong to a browser window's archive list
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return 0;
  FileSource f;
  f.file = OpenShared(path);
  if (f.file == INVALID_HANDLE_VALUE) {
    ShowStringMessageArg(owner, IDS_ARCHIVE_NOT_CREATED, path, MB_OK | MB_ICONEXCLAMATION);
    if (window) SetWindowLongA(window, kWordFileCount, 0);
    return -1;
  }
  ListTarget listTarget;
  listTarget.list = list;
  listTarget.window = window;
  listTarget.headerText = "\n Name\t Length\t Size\t Ratio\t Date\t Time";
  FileTarget fileTarget;
  fileTarget.out = out;
  LineSink listSink = listTarget.Sink();
  LineSink fileSink = fileTarget.Sink();
  ListTargets targets;
  targets.list = list ? &listSink : nullptr;
  targets.fullLines = full;
  targets.file = out ? &fileSink : nullptr;
  targets.mask = mask ? mask : "*.*";
  targets.names = &kAnsiNames;
  ListOutcome r = ReadZipListing(f.Source(), path, targets);
  if (out) fileTarget.Flush();
  CloseHandle(f.file);
  if (window) {
    if (r.encryptedKnown) SetWindowLongA(window, kWordEncrypted, r.encrypted ? 1 : 0);
    if (r.complete) WriteTotals(window, r);
    else SetWindowLongA(window, kWordFileCount, 0);
  }
  ShowReaderMessage(owner, r, MB_ICONEXCLAMATION);
  return r.result;
}

ArchiveExtras ArchiveExtrasOf(const std::string& path, bool arj) {
  ArchiveExtras x;
  FileSource f;
  f.file = OpenShared(path.c_str());
  if (f.file == INVALID_HANDLE_VALUE) return x;
  struct Lines {
    std::vector<std::string> all;
    static void Add(void* ctx, const char* text, size_t len) { static_cast<Lines*>(ctx)->all.emplace_back(text, len); }
  } lines;
  LineSink sink;
  sink.ctx = &lines;
  sink.add = Lines::Add;
  sink.insertTop = Lines::Add;
  ListTargets targets;
  targets.list = &sink;
  targets.fullLines = true;
  targets.directoryEntries = true;
  bool complete = arj ? ReadArjListing(f.Source(), targets).complete : ReadZipListing(f.Source(), path, targets).complete;
  CloseHandle(f.file);
  // A damaged archive tells nothing sure (a folder whose files come after the damage would look
  // empty): the conversion fails on it anyway, with its own message.
  if (!complete) return x;
  std::vector<std::string>& folders = x.folders;
  std::vector<std::string> names;
  const std::string directory = "> Directory: ";
  std::string member;  // the member of the line before: a comment line follows its member's line
  for (const std::string& l : lines.all) {
    std::string previous = std::move(member);
    member.clear();
    if (l.compare(0, 7, "> Title") == 0) {
      x.titleLine = l;
    } else if (l.compare(0, 14, "> File Comment") == 0) {
      x.fileComments = true;
      if (!previous.empty()) x.commentLines.push_back({previous, l});
    } else if (l.compare(0, directory.size(), directory) == 0) {
      folders.push_back(l.substr(directory.size()));
    } else if (!IsMarkerLine(l)) {
      std::optional<std::string_view> name = LineLongName(l);
      if (!name || name->empty()) continue;
      if (name->back() == '\\') folders.emplace_back(name->substr(0, name->size() - 1));
      names.emplace_back(*name);
      member = names.back();
    }
  }
  for (const std::string& folder : folders) {
    std::string inside = folder + "\\";
    bool holds = false;
    for (const std::string& n : names)
      if (n.size() > inside.size() && n.compare(0, inside.size(), inside) == 0) holds = true;
    if (!holds) x.emptyFolders = true;
  }
  return x;
}

int ReadArjDirectory(HWND window, const char* path, HWND list, int form, const char* mask, HANDLE out) {
  if (out == INVALID_HANDLE_VALUE) out = nullptr;
  if (!path || !*path) return 0;
  bool qlList = false;
  if (list) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    qlList = IsQlListBox(list);
  }
  bool both = window && list;
  auto redraw = [list] {
    if (!list) return;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
  };
  // A window that shows no archive has nothing to read: its list stays as it is.
  if (both && g_browserQueries.showsArchive && !g_browserQueries.showsArchive(window)) {
    redraw();
    return 0;
  }
  if (list) SendMessageA(list, LB_RESETCONTENT, 0, 0);
  CurrentDirAroundRead dir(window, false);
  FileSource f;
  f.file = OpenShared(path);
  if (f.file == INVALID_HANDLE_VALUE) {
    ShowStringMessageArg(window, IDS_ARCHIVE_NOT_CREATED, path, MB_OK | MB_ICONQUESTION);
    if (both) SetWindowLongA(window, kWordFileCount, 0);
    dir.Restore();
    redraw();
    return -1;
  }
  ListTarget listTarget;
  listTarget.list = list;
  listTarget.window = both ? window : nullptr;
  FileTarget fileTarget;
  fileTarget.out = out;
  LineSink listSink = listTarget.Sink();
  LineSink fileSink = fileTarget.Sink();
  ListTargets targets;
  targets.list = list ? &listSink : nullptr;
  targets.fullLines = form != 0;
  targets.file = out ? &fileSink : nullptr;
  targets.mask = mask ? mask : "*.*";
  ListOutcome r = ReadArjListing(f.Source(), targets);
  if (out) fileTarget.Flush();
  CloseHandle(f.file);
  if (both) {
    if (r.complete && qlList) WriteTotals(window, r);
    else if (!r.complete) SetWindowLongA(window, kWordFileCount, 0);
  }
  ShowReaderMessage(window, r, MB_ICONEXCLAMATION);
  dir.Restore();
  redraw();
  return r.result;
}

void SetBrowserQueries(const BrowserQueries& queries) { g_browserQueries = queries; }

}  // namespace ql
