// The Properties dialog of a directory entry and the File Statistics dialog of an archive window.
#include <cstdio>
#include <string>

#include "browser/browser_win.h"
#include "browser/gauge_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "common/dialog_kit_win.h"
#include "fileops/file_ops_win.h"
#include "fileops/file_rules.h"
#include "fileops/launch_rules.h"
#include "fileops/launch_win.h"
#include "readers/listing_lines.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

struct PropertiesData {
  std::string directory;
  std::string name;  // the entry as listed
  bool isDirectory = false;
  bool done = false;
};

void ShowFileFacts(HWND d, PropertiesData* data) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(JoinPath(data->directory, data->name).c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  FindClose(find);
  char size[32] = "N/A";
  const unsigned long long bytes = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  if (!data->isDirectory) std::snprintf(size, sizeof size, "%llu", bytes);
  SetDlgItemTextA(d, IDC_PROPS_SIZE, size);
  FILETIME local{};
  SYSTEMTIME t{};
  if (FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &t))
    SetDlgItemTextA(d, IDC_PROPS_CHANGED, ChangeTimeText(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond).c_str());
  const std::pair<int, DWORD> boxes[] = {{IDC_PROPS_READ_ONLY, FILE_ATTRIBUTE_READONLY},
                                         {IDC_PROPS_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
                                         {IDC_PROPS_HIDDEN, FILE_ATTRIBUTE_HIDDEN},
                                         {IDC_PROPS_SYSTEM, FILE_ATTRIBUTE_SYSTEM}};
  for (auto [box, flag] : boxes) CheckDlgButton(d, box, (fd.dwFileAttributes & flag) ? BST_CHECKED : BST_UNCHECKED);
}

// OK: the ticked attributes, and a new name or directory only when the fields were changed.
void ApplyProperties(HWND d, PropertiesData* data) {
  DWORD attributes = 0;
  const std::pair<int, DWORD> boxes[] = {{IDC_PROPS_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
                                         {IDC_PROPS_READ_ONLY, FILE_ATTRIBUTE_READONLY},
                                         {IDC_PROPS_SYSTEM, FILE_ATTRIBUTE_SYSTEM},
                                         {IDC_PROPS_HIDDEN, FILE_ATTRIBUTE_HIDDEN}};
  for (auto [box, flag] : boxes)
    if (Checked(d, box)) attributes |= flag;
  if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
  char name[MAX_PATH + 1] = "", dir[MAX_PATH + 1] = "";
  GetDlgItemTextA(d, IDC_PROPS_NAME, name, sizeof name);
  GetDlgItemTextA(d, IDC_PROPS_PATH, dir, sizeof dir);
  std::string old = JoinPath(data->directory, data->name);
  std::string target = old;
  const bool renamed = name[0] && data->name != name;
  const bool moved = dir[0] && !SameDirectoryText(dir, data->directory);
  if (renamed || moved) {
    target = JoinPath(moved ? dir : data->directory, renamed ? name : data->name);
    if (!moved) {
      if (!MoveFileA(old.c_str(), target.c_str())) target = old;
    } else {
      ConfirmAnswer answer = ConfirmAnswer::Yes;
      bool copied = false;
      if (CopyOneFile(d, old, target, &answer, &copied) && copied) {
        SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(old.c_str());
      } else {
        target = old;
      }
    }
  }
  SetFileAttributesA(target.c_str(), attributes);
  data->done = true;
}

INT_PTR CALLBACK PropertiesProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kProperties)) return TRUE;
  PropertiesData* data = reinterpret_cast<PropertiesData*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, l);
      data = reinterpret_cast<PropertiesData*>(l);
      // The whole name: a field cut to a DOS name would read as a rename at OK.
      SendDlgItemMessageA(d, IDC_PROPS_NAME, EM_LIMITTEXT, MAX_PATH, 0);
      SendDlgItemMessageA(d, IDC_PROPS_PATH, EM_LIMITTEXT, MAX_PATH, 0);
      std::string title = "Properties For - " + data->name;
      SetWindowTextA(d, title.c_str());
      SetDlgItemTextA(d, IDC_PROPS_NAME, data->name.c_str());
      SetDlgItemTextA(d, IDC_PROPS_PATH, data->directory.c_str());
      ShowFileFacts(d, data);
      PlaceDialog(d);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        ApplyProperties(d, data);
        EndDialog(d, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// A gauge takes a range, a position and (for the sizes) a text of its own; the sizes come in
// thousands of bytes.
void SetSizeGauges(HWND d, int originalId, int compressedId, int percentId, uint32_t o, uint32_t c) {
  for (auto [id, value] : {std::pair<int, uint32_t>{originalId, o}, std::pair<int, uint32_t>{compressedId, c}}) {
    HWND g = GetDlgItem(d, id);
    SendMessageA(g, kGaugeSetRange, value, 0);
    SendMessageA(g, kGaugeSetPosition, value, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%u K", value);
    SetWindowTextA(g, text);
  }
  HWND percent = GetDlgItem(d, percentId);
  SendMessageA(percent, kGaugeSetRange, 100, 0);
  SendMessageA(percent, kGaugeSetPosition, PercentCompression(o, c), 0);
}

struct StatisticsData {
  HWND browser;
  std::string line;
};

INT_PTR CALLBACK StatisticsProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, help::kFileStatistics)) return TRUE;
  switch (m) {
    case WM_INITDIALOG: {
      StatisticsData* data = reinterpret_cast<StatisticsData*>(l);
      WindowRecord* r = RecordOf(data->browser);
      std::string archive = r->archivePath;
      size_t slash = archive.find_last_of("\\/");
      SetDlgItemTextA(d, IDC_STATS_ARCHIVE_NAME, archive.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
      SetDlgItemInt(d, IDC_STATS_FILE_COUNT, static_cast<UINT>(GetWindowLongA(data->browser, kWordFileCount)), FALSE);
      SetSizeGauges(d, IDC_STATS_ARCHIVE_ORIGINAL, IDC_STATS_ARCHIVE_COMPRESSED, IDC_STATS_ARCHIVE_PERCENT,
                    GaugeFromThousands(static_cast<uint32_t>(GetWindowLongA(data->browser, kWordTotalLengthThousands))),
                    GaugeFromThousands(static_cast<uint32_t>(GetWindowLongA(data->browser, kWordTotalSizeThousands))));
      SetDlgItemTextA(d, IDC_STATS_FILE_NAME, std::string(LineFirstField(data->line)).c_str());
      SetSizeGauges(d, IDC_STATS_FILE_ORIGINAL, IDC_STATS_FILE_COMPRESSED, IDC_STATS_FILE_PERCENT,
                    GaugeThousands(LineNumberField(data->line, 2)), GaugeThousands(LineNumberField(data->line, 3)));
      PlaceDialog(d);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        EndDialog(d, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool PropertiesDialog(HWND owner, const std::string& directory, const std::string& line) {
  DirLineKind kind = ClassifyDirLine(line);
  if (kind == DirLineKind::Drive) {
    ShowStringMessage(owner, IDS_NO_DRIVE_LETTERS);
    g_cancelled = true;
    return false;
  }
  if (kind == DirLineKind::Marker || kind == DirLineKind::Empty) {
    g_cancelled = true;
    return false;
  }
  std::string_view name = LineSelectedName(line, g_shortNameDisplay != 0);
  PropertiesData data;
  data.directory = directory;
  data.name = std::string(kind == DirLineKind::File ? name : StripBrackets(name));
  data.isDirectory = kind != DirLineKind::File;
  RunDialog(owner, "FileProps", PropertiesProc, reinterpret_cast<LPARAM>(&data));
  return data.done;
}

void FileStatisticsDialog(HWND owner, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) {
    g_cancelled = true;
    return;
  }
  std::string line;
  if (r->archivePath[0]) {
    std::vector<std::string> lines = ListLines(r->hwndArchiveList);
    std::vector<int> selected = SelectedIndexes(r->hwndArchiveList);
    if (!selected.empty() && selected[0] >= 0 && static_cast<size_t>(selected[0]) < lines.size())
      line = lines[static_cast<size_t>(selected[0])];
  }
  UINT message = 0;
  if (!r->archivePath[0] || line.empty())
    message = IDS_SELECT_IN_ARCHIVE;
  else if (IsPlaceLine(line))
    message = IDS_NO_DRIVES_DIRS;
  else if (IsMarkerLine(line))
    message = IDS_NO_COMMENTS_ALLOWED;
  if (message) {
    ShowStringMessage(owner, message);
    g_cancelled = true;
    return;
  }
  StatisticsData data{browser, line};
  RunDialog(owner, "FileStats", StatisticsProc, reinterpret_cast<LPARAM>(&data));
}

}  // namespace ql
