// What the virus scans hand to a detector, platform-free: the detector setting taken apart into
// its program and its own arguments, the command lines for a drive, a directory and the files of
// an archive, the drive letter of the "Scan Drive" dialog, the archive a scan takes from a browser
// window, and the command that extracts that archive for the detector.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/commands.h"

namespace ql {

// The detector setting ("Virus Detector" in section "Utilities"): a program, perhaps followed by
// arguments of its own, typed with or without quotes.
struct DetectorProgram {
  std::string path;  // the program, without quotes
  std::string args;  // the setting's text after the program, trimmed; may be empty
};

// Takes the setting apart. A quoted first word is the program. Otherwise the program is the longest
// part of the setting that ends at a blank (or the whole setting) naming a file, as `isFile` tells,
// with or without ".EXE" added; so "C:\Program Files\Scan\SCAN.EXE /A" keeps its blank in the path
// even when "C:\Program.exe" exists. When no part names a file, the first word is the program.
DetectorProgram SplitDetectorSetting(const std::string& setting,
                                     const std::function<bool(const std::string&)>& isFile);

// The detector's command line: its program (quoted when it holds a blank), its own arguments, and
// `target` (quoted when it holds a blank) unless it is empty.
std::string DetectorCommandLine(const DetectorProgram& detector, const std::string& target);

// "WinEnv": a value whose first character is "T" or "t" means a Windows program.
bool IsWindowsDetector(const std::string& winEnv);

// The drive field of "Scan Drive": empty, or exactly one letter A to Z (either case).
enum class DriveField { Empty, Letter, Invalid };
DriveField CheckDriveField(const std::string& text);
// The drive a drive scan takes: the letter typed, upper case, or the drive of the work directory
// when the field is empty. 0 when the field holds anything else, or the work directory names no
// drive.
char ScanDriveLetter(const std::string& field, const std::string& workDir);

// What the detector is given: "D:" for a drive; "<directory>\*.*" for a directory.
std::string DriveScanTarget(char drive);
std::string DirectoryScanTarget(const std::string& directory);

// The directory of the work directory an archive scan extracts into; emptied before and removed
// after every scan, so that nothing else in the work directory is scanned with the archive.
std::string ArchiveScanDirectory(const std::string& workDir);

// The archive an archive scan takes from the active browser window.
struct ArchiveScanSource {
  bool dirListFocused = false;             // the window's focused list is its directory list
  std::vector<std::string> selectedNames;  // name fields of the directory list's selected lines
  std::string directory;                   // the window's directory
  std::string archivePath;                 // the window's archive; empty without one
  bool archiveIsArj = false;               // the window's archive type
};
struct ArchiveScanTarget {
  bool scan = false;   // false: nothing is scanned
  int message = 0;     // with scan false: the string to show, 0 to end silently
  std::string path;
  ArchiveKind kind = ArchiveKind::Zip;
};
// From the directory list: the first selected entry, which must be a *.ZIP or *.ARJ (3002), in the
// window's directory; no selection ends silently. Otherwise the window's archive of its type, 3053
// when it shows none.
ArchiveScanTarget ChooseArchiveToScan(const ArchiveScanSource& source);

// Whether the archive scan asks for the password first (`extract_with_password`).
bool ArchiveScanNeedsPassword(const SwitchSet& s);

// Every member of `archive` into `scanDir` (made current), without directory structure,
// overwriting: ARJ E with -jyo; for a ZIP the unzip engine (`UseEngine` and no password) or
// PKUNZIP with -o, the PKUNZIP 2.x options after them.
Command ArchiveScanExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                           const std::string& archive, const std::string& scanDir);

}  // namespace ql
