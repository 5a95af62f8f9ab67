#include "integration/virus_scan_commands.h"

#include <cctype>

#include "common/mask.h"
#include "common/text_and_paths.h"
#include "resources/ids.h"

namespace ql {

namespace {

bool NamesFile(const std::string& path, const std::function<bool(const std::string&)>& isFile) {
  if (path.empty() || !isFile) return false;
  return isFile(path) || isFile(path + ".EXE");
}

}  // namespace

DetectorProgram SplitDetectorSetting(const std::string& setting,
                                     const std::function<bool(const std::string&)>& isFile) {
  DetectorProgram d;
  std::string s(Trim(setting));
  if (s.empty()) return d;
  if (s[0] == '"') {
    size_t close = s.find('"', 1);
    if (close == std::string::npos) {
      d.path = std::string(Trim(s.substr(1)));
      return d;
    }
    d.path = s.substr(1, close - 1);
    d.args = std::string(Trim(s.substr(close + 1)));
    return d;
  }
  // The longest part ending at a blank that names a file; the whole setting first.
  for (size_t end = s.size(); end != std::string::npos && end > 0; end = s.find_last_of(" \t", end - 1)) {
    std::string part(Trim(s.substr(0, end)));
    if (NamesFile(part, isFile)) {
      d.path = part;
      d.args = std::string(Trim(s.substr(end)));
      return d;
    }
  }
  size_t blank = s.find_first_of(" \t");
  d.path = s.substr(0, blank);
  d.args = blank == std::string::npos ? "" : std::string(Trim(s.substr(blank)));
  return d;
}

std::string DetectorCommandLine(const DetectorProgram& detector, const std::string& target) {
  std::string line = QuoteArg(detector.path);
  if (!detector.args.empty()) line += " " + detector.args;
  if (!target.empty()) line += " " + QuoteArg(target);
  return line;
}

bool IsWindowsDetector(const std::string& winEnv) {
  return !winEnv.empty() && (winEnv[0] == 'T' || winEnv[0] == 't');
}

DriveField CheckDriveField(const std::string& text) {
  if (text.empty()) return DriveField::Empty;
  if (text.size() == 1 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')))
    return DriveField::Letter;
  return DriveField::Invalid;
}

char ScanDriveLetter(const std::string& field, const std::string& workDir) {
  switch (CheckDriveField(field)) {
    case DriveField::Letter:
      return static_cast<char>(toupper(static_cast<unsigned char>(field[0])));
    case DriveField::Empty:
      // The work directory's drive; a work directory without one (a network path) names none.
      if (workDir.size() >= 2 && workDir[1] == ':' && CheckDriveField(workDir.substr(0, 1)) == DriveField::Letter)
        return static_cast<char>(toupper(static_cast<unsigned char>(workDir[0])));
      return 0;
    case DriveField::Invalid:
      break;
  }
  return 0;
}

std::string DriveScanTarget(char drive) { return std::string(1, drive) + ":"; }

std::string DirectoryScanTarget(const std::string& directory) { return WorkSlash(directory) + "*.*"; }

std::string ArchiveScanDirectory(const std::string& workDir) { return WorkSlash(workDir) + "QLSCAN"; }

ArchiveScanTarget ChooseArchiveToScan(const ArchiveScanSource& source) {
  ArchiveScanTarget t;
  if (source.dirListFocused) {
    if (source.selectedNames.empty()) return t;
    const std::string& name = source.selectedNames.front();
    if (MatchFileMask(name, "*.ZIP")) {
      t.kind = ArchiveKind::Zip;
    } else if (MatchFileMask(name, "*.ARJ")) {
      t.kind = ArchiveKind::Arj;
    } else {
      t.message = IDS_INVALID_ARCHIVE_NAME;
      return t;
    }
    t.path = WorkSlash(source.directory) + name;
    t.scan = true;
    return t;
  }
  if (source.archivePath.empty()) {
    t.message = IDS_NEED_ARCHIVE_FILE;
    return t;
  }
  t.path = source.archivePath;
  t.kind = source.archiveIsArj ? ArchiveKind::Arj : ArchiveKind::Zip;
  t.scan = true;
  return t;
}

bool ArchiveScanNeedsPassword(const SwitchSet& s) { return On(s, Sw::ExtractWithPassword); }

Command ArchiveScanExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                           const std::string& archive, const std::string& scanDir) {
  Command cmd;
  const bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  const bool password = ArchiveScanNeedsPassword(s);
  cmd.showWindow = V;
  cmd.currentDir = scanDir;
  if (kind == ArchiveKind::Arj) {
    cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " E " + QuoteArg(archive);
    if (password) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
    cmd.text += " -jyo";
    return cmd;
  }
  // The PKUNZIP 2.x options: DPMI, 32-bit instructions, then EMS and XMS.
  std::vector<std::string> options;
  if (On(s, Sw::ZipDpmi)) options.push_back(" -)");
  if (On(s, Sw::Use32BitIns)) options.push_back(" -3");
  options.push_back(" -+");
  options.push_back(" --");
  if (UseEngine(s) && !password) {
    cmd.via = Via::UnzipEngine;
    cmd.text = archive + "| -o";
    for (const std::string& o : options) cmd.text += "|" + o;
    if (!V && !M && O) cmd.text += kQuietFragment;
    return cmd;
  }
  cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + QuoteArg(archive) + " -o";
  if (password) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
  if (!s.oldPkzip)
    for (const std::string& o : options) cmd.text += o;
  return cmd;
}

}  // namespace ql
