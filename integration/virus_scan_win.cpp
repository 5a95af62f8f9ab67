#include "integration/virus_scan_win.h"

#include <vector>

#include "common/dialog_kit_win.h"
#include "common/help_contexts.h"
#include "common/shared_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

// An archive scan is under way (its extraction or its detector is awaited).
bool g_archiveScanBusy = false;

bool IsFile(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

DetectorProgram Detector(const VirusScanHost& host) { return SplitDetectorSetting(host.detector, IsFile); }

// Restores the current directory a scan found, on every way out.
class SavedDirectory {
 public:
  SavedDirectory() : dir_(CurrentDirectory()) {}
  ~SavedDirectory() { Restore(); }
  void Restore() {
    if (!dir_.empty()) SetCurrentDirAndDrive(dir_.c_str());
  }

 private:
  std::string dir_;
};

// Starts a Windows detector in a normal window with the current directory. With `wait`, keeps the
// interface live until it has ended. The result of the start is not examined.
void StartWindowsDetector(const RunnerSetup& setup, const std::string& line, bool wait) {
  ProcessStart how;
  how.show = SW_SHOWNORMAL;
  HANDLE process = StartProcess(line, how);
  if (!process) return;
  while (wait && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
    MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
    if (!PumpWaitingMessages(setup)) break;
  }
  CloseHandle(process);
}

// ---- "Scan Drive" ----

struct DriveDialogData {
  const VirusScanHost* host;
  char drive;
};

INT_PTR CALLBACK ScanDriveProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  auto* data = reinterpret_cast<DriveDialogData*>(GetWindowLongPtrA(d, DWLP_USER));
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    PlaceDialog(d);
    SendDlgItemMessageA(d, IDC_SCAN_DRIVE_LETTER, EM_LIMITTEXT, 1, 0);
    return TRUE;
  }
  if (!data) return FALSE;
  if (DialogHelpOrCancel(d, m, w, help::kScanDrive)) return TRUE;
  if (m == WM_COMMAND && LOWORD(w) == IDOK) {
    char text[8] = "";
    GetDlgItemTextA(d, IDC_SCAN_DRIVE_LETTER, text, sizeof text);
    data->drive = ScanDriveLetter(text, data->host->setup.workDir);
    if (!data->drive) {
      // Only a letter names a drive: say so and let the user type one.
      ShowStringMessage(d, IDS_DRIVE_LETTER_ONLY);
      HWND field = GetDlgItem(d, IDC_SCAN_DRIVE_LETTER);
      SetFocus(field);
      SendMessageA(field, EM_SETSEL, 0, -1);
      return TRUE;
    }
    EndDialog(d, IDOK);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ScanDriveCommand(const VirusScanHost& host) {
  DriveDialogData data{&host, 0};
  INT_PTR r = RunDialog(host.setup.owner, "SCAN_DRV", ScanDriveProc, reinterpret_cast<LPARAM>(&data));
  if (r == IDOK && data.drive) ScanDrive(host, data.drive);
}

void ScanDrive(const VirusScanHost& host, char drive) {
  SavedDirectory saved;
  const std::string line = DetectorCommandLine(Detector(host), DriveScanTarget(drive));
  const std::string root = DriveScanTarget(drive) + "\\";
  SetCurrentDirAndDrive(root.c_str());
  if (IsWindowsDetector(host.winEnv))
    StartWindowsDetector(host.setup, line, false);
  else
    RunVirusDetector(host.setup, line, 500);
}

void ScanDirectory(const VirusScanHost& host, const std::string& directory) {
  SavedDirectory saved;
  const std::string dir = WorkNoSlash(directory);
  SetCurrentDirAndDrive(dir.c_str());
  if (IsWindowsDetector(host.winEnv))
    StartWindowsDetector(host.setup, DetectorCommandLine(Detector(host), ""), false);
  else
    RunVirusDetector(host.setup, DetectorCommandLine(Detector(host), DirectoryScanTarget(dir)), 1000);
}

void ScanArchive(const VirusScanHost& host, const ArchiveScanTarget& target) {
  if (!target.scan || !host.switches) return;
  // The scan directory belongs to one scan at a time, and the runner to one command.
  if (g_archiveScanBusy || ArchiverBusy()) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  SavedDirectory saved;
  const std::string work = WorkNoSlash(host.setup.workDir);
  SetCurrentDirAndDrive(work.c_str());
  if (ArchiveScanNeedsPassword(*host.switches) && !(host.askPassword && host.askPassword(*host.switches))) return;

  // Only this archive's files are in the scan directory: whatever an earlier scan left goes first,
  // and a scan directory that cannot be emptied stops the scan.
  const std::string scanDir = ArchiveScanDirectory(work);
  if ((DirectoryExists(scanDir) && !RemoveDirectoryTree(scanDir.c_str())) ||
      !CreateDirectoryA(scanDir.c_str(), nullptr)) {
    ShowStringMessageArg(host.setup.owner, IDS_SCAN_DIRECTORY_IN_USE, scanDir.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  g_archiveScanBusy = true;
  Command extract = ArchiveScanExtract(*host.switches, EnginePathsOf(host.setup), target.kind, target.path, scanDir);
  RunResult r = RunCommand(host.setup, extract);
  if (r == RunResult::Done || r == RunResult::RunnerEnded) {
    if (!SetCurrentDirAndDrive(scanDir.c_str())) {
      if (IsWindowsDetector(host.winEnv))
        StartWindowsDetector(host.setup, DetectorCommandLine(Detector(host), ""), true);
      else
        RunVirusDetector(host.setup, DetectorCommandLine(Detector(host), DirectoryScanTarget(scanDir)), 1000);
    }
  }
  // The extracted files go with the scan; the scan directory must not be current to be removed.
  SetCurrentDirAndDrive(work.c_str());
  RemoveDirectoryTree(scanDir.c_str());
  g_archiveScanBusy = false;
}

}  // namespace ql
