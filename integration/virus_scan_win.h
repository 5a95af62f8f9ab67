// Virus scans through an outside detector: a drive chosen in "Scan Drive", a browser window's
// directory, and the files of an archive extracted for the purpose. A DOS detector runs through
// the runner's virus mode; a Windows detector is started directly.
#pragma once
#include <windows.h>

#include <string>

#include "engine/operations_win.h"
#include "integration/virus_scan_commands.h"

namespace ql {

// What the scans take from the settings and the frame.
struct VirusScanHost {
  RunnerSetup setup;        // runner, program and work directories; owner of messages
  std::string detector;     // the "Virus Detector" setting
  std::string winEnv;       // "WinEnv", read afresh for every scan
  SwitchSet* switches = nullptr;
  AskPassword askPassword;  // the password dialog
};

// "Scan Drive" (command 981): the dialog, then the scan of the drive chosen. Cancel sets the
// cancelled flag and scans nothing.
void ScanDriveCommand(const VirusScanHost& host);

// The drive scan: the detector gets "D:" with the drive's root current.
void ScanDrive(const VirusScanHost& host, char drive);

// The directory scan (command 982): the detector gets "<directory>\*.*" (a Windows detector
// nothing), with the directory current.
void ScanDirectory(const VirusScanHost& host, const std::string& directory);

// The archive scan (command 1030): the archive's files are extracted into an emptied scan
// directory of the work directory, the detector scans that directory, and it is removed when the
// detector has ended.
void ScanArchive(const VirusScanHost& host, const ArchiveScanTarget& target);

}  // namespace ql
