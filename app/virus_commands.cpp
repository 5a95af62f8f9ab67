#include "app/virus_commands.h"

#include <string>

#include "app/archive_ops.h"
#include "app/settings.h"
#include "browser/browser_win.h"
#include "common/shared_win.h"
#include "engine/switches_win.h"
#include "integration/virus_scan_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

VirusScanHost HostFor(HWND frame) {
  VirusScanHost host;
  host.setup = SetupFor(g_activeBrowser ? g_activeBrowser : frame);
  host.detector = g_settings ? g_settings->VirusProgram : "None";
  host.winEnv = IniString("Utilities", "WinEnv", "");
  host.switches = &g_switches;
  host.askPassword = PasswordAsker(host.setup.owner);
  return host;
}

ArchiveScanSource ScanSourceOf(HWND browser) {
  ArchiveScanSource source;
  WindowRecord* r = RecordOf(browser);
  if (!r) return source;
  HWND focus = r->hwndFocusList && IsWindow(r->hwndFocusList) ? r->hwndFocusList : r->hwndDirList;
  source.dirListFocused = focus == r->hwndDirList;
  source.selectedNames = NamesOf(SelectedLines(r->hwndDirList));
  source.directory = r->curDir;
  source.archivePath = r->archivePath;
  source.archiveIsArj = KindOf(browser) == ArchiveKind::Arj;
  return source;
}

}  // namespace

bool DispatchVirusCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_SCAN_DRIVE:
      ScanDriveCommand(HostFor(frame));
      return true;
    case IDM_SCAN_DIRECTORY: {
      WindowRecord* r = RecordOf(g_activeBrowser);
      if (r) ScanDirectory(HostFor(frame), r->curDir);
      return true;
    }
    case IDM_SCAN_ARCHIVE: {
      if (!RecordOf(g_activeBrowser)) return true;
      VirusScanHost host = HostFor(frame);
      ArchiveScanTarget target = ChooseArchiveToScan(ScanSourceOf(g_activeBrowser));
      if (target.message) ShowStringMessage(host.setup.owner, static_cast<UINT>(target.message));
      ScanArchive(host, target);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ql
