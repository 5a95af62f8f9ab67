#include "app/print_commands.h"

#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/settings.h"
#include "browser/browser_win.h"
#include "common/mask.h"
#include "common/shared_win.h"
#include "print/print_win.h"
#include "readers/listing_lines.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool IsListableArchiveName(const std::string& path) {
  for (const char* mask : {"*.ARJ", "*.A0?", "*.EXE", "*.ZIP"})
    if (MatchFileMask(path, mask)) return true;
  return false;
}

uint32_t Word(HWND window, int index) { return static_cast<uint32_t>(GetWindowLongA(window, index)); }

// Manager mode: the archive of the active window's archive list, or the one entry selected in its
// directory list. False after a message (or without an active window).
bool ManagerRequest(HWND frame, ListingRequest* req) {
  HWND window = g_activeBrowser;
  WindowRecord* r = RecordOf(window);
  if (!r) return false;
  HWND focus = r->hwndFocusList && IsWindow(r->hwndFocusList) ? r->hwndFocusList : r->hwndDirList;
  if (focus == r->hwndDirList) {
    std::vector<int> selected = SelectedIndexes(r->hwndDirList);
    if (selected.empty()) {
      ShowStringMessage(frame, IDS_NO_SELECTION);
      return false;
    }
    if (selected.size() > 1) {
      ShowStringMessage(frame, IDS_ONLY_ONE_FILE);
      return false;
    }
    std::vector<std::string> lines = ListLines(r->hwndDirList);
    size_t i = static_cast<size_t>(selected[0]);
    std::string name = i < lines.size() ? std::string(LineSelectedName(lines[i], g_shortNameDisplay != 0)) : "";
    std::string dir = r->curDir;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    req->archivePath = dir + name;
    req->fromWindow = false;
  } else {
    req->archivePath = r->archivePath;
    req->fromWindow = true;
    req->kind = GetWindowLongA(window, kWordArchiveType) == kArchiveTypeArj ? ListingKind::Arj : ListingKind::Zip;
    req->windowTotals.files = Word(window, kWordFileCount);
    req->windowTotals.compressed = Word(window, kWordTotalSize);
    req->windowTotals.uncompressed = Word(window, kWordTotalLength);
  }
  if (!IsListableArchiveName(req->archivePath)) {
    ShowStringMessage(frame, IDS_NEED_ARCHIVE_FILE);
    return false;
  }
  return true;
}

// Express mode: the archive chosen in "Select An Archive File".
bool ExpressRequest(HWND frame, ListingRequest* req) {
  if (!ChooseArchiveFile(frame)) return false;
  req->archivePath = g_chosenFile;
  req->fromWindow = false;
  if (MatchFileMask(req->archivePath, "*.EXE") && !FileHoldsZip(req->archivePath)) {
    ShowStringMessage(frame, IDS_ZIP_INVALID);
    return false;
  }
  return true;
}

void PrintListing(HWND frame, UINT id) {
  bool express = id == IDM_EX_PRINT_LISTING || (id == IDM_PRINT_BUTTON && !g_managerMode);
  ListingRequest req;
  if (!(express ? ExpressRequest(frame, &req) : ManagerRequest(frame, &req))) return;
  PrintHost host;
  host.frame = frame;
  host.owner = !express && g_activeBrowser ? g_activeBrowser : frame;
  host.workDirectory = g_settings ? g_settings->WorkDirectory : "";
  PrintArchiveListing(host, req);
}

}  // namespace

bool DispatchPrintCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_PRINT_LISTING:
    case IDM_EX_PRINT_LISTING:
    case IDM_PRINT_BUTTON:
      PrintListing(frame, id);
      return true;
    case IDM_SETUP_PRINTER:
    case IDM_EX_SETUP_PRINTER:
      SetupPrinter(frame);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
