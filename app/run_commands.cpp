#include "app/run_commands.h"

#include <string>
#include <vector>

#include "app/settings.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "fileops/launch_win.h"
#include "readers/listing_lines.h"
#include "resources/ids.h"

namespace ql {

namespace {

std::vector<std::string> SelectedLines(HWND list) {
  std::vector<std::string> lines = ListLines(list), out;
  for (int i : SelectedIndexes(list))
    if (i >= 0 && static_cast<size_t>(i) < lines.size()) out.push_back(lines[static_cast<size_t>(i)]);
  return out;
}

std::string NameOf(const std::string& line) { return std::string(LineSelectedName(line, g_shortNameDisplay != 0)); }

// The selection of the active window's directory list, checked: none gives 3045, a directory or
// drive 3055. Empty after a message.
std::vector<std::string> FileSelection(HWND frame, const WindowRecord* r) {
  std::vector<std::string> lines = SelectedLines(r->hwndDirList);
  UINT message = 0;
  if (lines.empty()) message = IDS_NO_SELECTION;
  for (const std::string& line : lines)
    if (IsPlaceLine(line)) message = IDS_NO_DRIVES_DIRS;
  if (message) {
    ShowStringMessage(frame, message);
    g_cancelled = true;
    lines.clear();
  }
  return lines;
}

void RunCommand(HWND frame) {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r) {
    ShowStringMessage(frame, IDS_NO_SELECTION);
    return;
  }
  std::vector<std::string> lines = FileSelection(frame, r);
  if (lines.empty()) return;
  std::string dir = CurrentDirectory();
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::string command;
  bool minimized = false;
  if (!RunCommandDialog(frame, dir + "\\" + NameOf(lines[0]), ReadRecentEntries("Run Files", "Prog", 10),
                        &command, &minimized))
    return;
  SaveRecentEntry("Run Files", "Prog", command.c_str(), 10, true);
  Launch(frame, command, minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
}

void AssociateCommand(HWND frame) {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r) return;
  std::vector<std::string> lines = SelectedLines(r->hwndDirList);
  UINT message = 0;
  if (lines.empty())
    message = IDS_NO_SELECTION;
  else if (lines.size() > 1)
    message = IDS_ONLY_ONE_FILE;
  else if (IsPlaceLine(lines[0]))
    message = IDS_NO_DRIVES_DIRS;
  if (message) {
    ShowStringMessage(frame, message);
    g_cancelled = true;
    return;
  }
  AssociateDialog(frame, NameOf(lines[0]));
}

void PropertiesCommand(HWND frame) {
  WindowRecord* r = RecordOf(g_activeBrowser);
  if (!r) {
    g_cancelled = true;
    return;
  }
  std::vector<std::string> lines = SelectedLines(r->hwndDirList);
  if (lines.empty()) {
    ShowStringMessage(frame, IDS_NO_SELECTION);
    g_cancelled = true;
    return;
  }
  if (!PropertiesDialog(frame, r->curDir, lines[0])) return;
  FillDirectoryList(SlotOf(g_activeBrowser));
  ShowDirectoryTotals(g_activeBrowser);
}

}  // namespace

void ConnectRunCommands() {
  BuildAssociationTableInBackground();
  g_browserHost.associated = HasAssociation;
}

void RebuildAssociations() { BuildAssociationTable(); }

bool DispatchRunCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_RUN:
      RunCommand(frame);
      return true;
    case IDM_ASSOCIATE:
      AssociateCommand(frame);
      return true;
    case IDM_PROPERTIES:
      PropertiesCommand(frame);
      return true;
    case IDM_FILE_STATISTICS:
      if (g_activeBrowser) FileStatisticsDialog(frame, g_activeBrowser);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
