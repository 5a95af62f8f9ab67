// The commands that add to an archive: files dropped from outside, drops into archive windows,
// Express add and move, freshen and update; the space a freshen needs; a new archive's path.
#include "engine/command_parts.h"

#include <cctype>

namespace ql {

using namespace command_parts;

namespace {

// pkzip with its options, the archive, the password when one is due, and the list file.
std::string PkzipAddText(const EnginePaths& p, const std::string& options, const std::string& archive,
                         const std::string* password, const std::string& list) {
  std::string text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + " " + options + " " + QuoteArg(archive);
  if (password) text += " " + QuoteArg("-s" + *password);
  return text + " " + QuoteArg("@" + list);
}

// ARJ A (or M) of the list file with the add fragments in their order.
std::string ArjAddText(const Ctx& c, const EnginePaths& p, bool move, const std::string& archive,
                       const std::string& list) {
  return QuoteArg(ProgramFile(p.programDir, "ARJ")) + (move ? " M " : " A ") + QuoteArg(archive) + " " +
         QuoteArg("!" + list) +
         Fragments(c, {{F::AAttrib, NO}, {F::ARecurse, NO}, {F::APaths, NO}, {F::ADates, NO},
                       {F::ACompression, NO}, {F::AStore, NO}, {F::ABackup, NO}, {F::AMultiVolume, NO},
                       {F::AWorkDir, NO}, {F::APassword, NO}});
}

}  // namespace

Command AddDroppedFiles(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                        const std::string& archive, const std::string& currentDir) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume);
  cmd.showWindow = V || M;
  bool pw = NeedsPassword(PasswordRule::Add, s, false);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string options = engine ? "-a |" + archive : "-a " + QuoteArg(archive);
    options += Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZMultiVolume, V2},
                             {F::ZVolumeLabel, V2}, {F::ZDpmi, V2}, {F::ZCompat, V2},
                             {F::ZNetDetect, V2}, {F::Z32Bit, V2}, {F::ZEmsIfOn, V2},
                             {F::ZXmsIfOn, V2}, {F::ZSlowMem, V2}, {F::ZAttrib, NO},
                             {F::ZRecurse, NO}, {F::ZPaths, NO}, {F::ZDates, NO},
                             {F::ZWorkDir, NO}});
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = options + "| @" + list;
      if (!V && !M) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + " " + options;
      if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
      cmd.text += " " + QuoteArg("@" + list);
    }
    if (PathMode(s) == PathStorage::Full) cmd.currentDir = DriveRoot(currentDir);
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " A " + QuoteArg(archive);
  cmd.text += Fragments(c, {{F::AAttrib, NO}, {F::ARecurse, NO}, {F::APaths, NO},
                            {F::ADates, NO}, {F::ACompression, NO}, {F::AStore, NO},
                            {F::ABackup, NO}, {F::AMultiVolume, NO}, {F::AWorkDir, NO},
                            {F::APassword, NO}});
  cmd.text += " " + QuoteArg("!" + list);
  if (PathMode(s) == PathStorage::Full) cmd.currentDir = DriveRoot(currentDir);
  return cmd;
}

Command DropAdd(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                const std::string& archive, bool encrypted, bool move, const DropSource& src) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume);
  cmd.showWindow = V || M;
  bool pw = NeedsPassword(PasswordRule::AddToWindow, s, encrypted);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool full = PathMode(s) == PathStorage::Full;

  // The list file.
  std::vector<std::string> names;
  if (src.listBox) {
    names = AddNamesFromLines(src.nameFields, full ? src.sourceDir : "");
    cmd.currentDir = kind == ArchiveKind::Zip && full ? DriveRoot(src.sourceDir) : src.sourceDir;
  } else {
    // Files placed in the work directory: each line names one of them by its final component.
    size_t pos = 0;
    const std::string& t = src.placedList;
    while (pos < t.size()) {
      size_t end = t.find('\n', pos);
      std::string line = t.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      pos = end == std::string::npos ? t.size() : end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      std::string base = AfterLastSlash(line);
      names.push_back(kind == ArchiveKind::Zip ? work + base : base);
    }
    cmd.currentDir = WorkNoSlash(p.workDir);
  }
  cmd.writeList = true;
  cmd.listFile = ListFileContent(names);

  bool moveCmd = move || !src.listBox;
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string options = moveCmd ? "-m" : "-a";
    options += Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZMultiVolume, V2},
                             {F::ZVolumeLabel, V2}, {F::ZDpmi, V2}, {F::ZCompat, V2},
                             {F::ZNetDetect, V2}, {F::Z32Bit, V2}, {F::ZEms, V2},
                             {F::ZXms, V2}, {F::ZSlowMem, V2}, {F::ZAttrib, NO},
                             {F::ZRecurse, NO}});
    if (src.listBox) options += Fragments(c, {{F::ZPaths, NO}});
    options += Fragments(c, {{F::ZDates, NO}, {F::ZWorkDir, NO}});
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = options + "| " + archive + "| @" + list;
      if (!V && !M) cmd.text += kQuietFragment;
    } else {
      cmd.text = PkzipAddText(p, options, archive, pw ? &s.archivePassword : nullptr, list);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = ArjAddText(c, p, moveCmd, archive, list);
  return cmd;
}

Command ExpressAdd(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                   const std::string& archive, const std::vector<std::string>& nameFields,
                   const std::string& currentDir, bool move) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M;
  bool pw = NeedsPassword(PasswordRule::Add, s, false);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool full = PathMode(s) == PathStorage::Full;
  cmd.writeList = true;
  cmd.listFile = ListFileContent(AddNamesFromLines(nameFields, full ? currentDir : ""));
  if (full) cmd.currentDir = DriveRoot(currentDir);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string options = move ? "-m" : "-a";
    options += Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZMultiVolume, V2},
                             {F::ZDpmi, V2}, {F::ZCompat, V2}, {F::ZNetDetect, V2},
                             {F::Z32Bit, V2}, {F::ZEms, V2}, {F::ZXms, V2}, {F::ZSlowMem, V2},
                             {F::ZAttrib, NO}, {F::ZRecurse, NO}, {F::ZPathsFullOnly, NO},
                             {F::ZKeepDate, NO}, {F::ZVolumeLabel, NO}, {F::ZWorkDir, NO}});
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = archive + "| " + options + "| @" + list;
      if (!V && !M && O) cmd.text += kQuietFragment;
    } else {
      cmd.text = PkzipAddText(p, options, archive, pw ? &s.archivePassword : nullptr, list);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = ArjAddText(c, p, move, archive, list);
  return cmd;
}

Command FreshenOrUpdate(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                        const std::string& archive, bool update, bool express, bool encrypted) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M;
  if (express) encrypted = false;
  bool pw = NeedsPassword(express ? PasswordRule::FreshenExpress : PasswordRule::FreshenManager,
                          s, encrypted);
  std::string work = WorkSlash(p.workDir);
  cmd.currentDir = DirectoryOf(archive);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw && !encrypted;
    Ctx c{s, work, engine, pw, false};
    std::string text;
    std::string verb = update ? " -u " : " -f ";
    text = engine ? "|" + verb + "|" + archive : verb + QuoteArg(archive);
    if (!update)
      text += Fragments(c, {{F::ZCompression, V2}, {F::ZDpmi, V2}, {F::ZCompat, V2},
                            {F::ZStore, V2}, {F::ZNetDetect, V2}, {F::Z32Bit, V2},
                            {F::ZEms, V2}, {F::ZXms, V2}, {F::ZSlowMem, V2},
                            {F::ZMultiVolume, V2}});
    else if (express)
      text += Fragments(c, {{F::ZCompression, V2}, {F::ZDpmi, V2}, {F::ZCompat, V2},
                            {F::ZStore, V2}, {F::ZMultiVolume, V2}, {F::ZNetDetect, V2},
                            {F::Z32Bit, V2}, {F::ZEms, V2}, {F::ZXms, V2},
                            {F::ZSlowMem, V2}});
    else
      text += Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZDpmi, V2},
                            {F::ZCompat, V2}, {F::ZMultiVolume, V2}, {F::ZNetDetect, V2},
                            {F::Z32Bit, V2}, {F::ZEms, V2}, {F::ZXms, V2},
                            {F::ZSlowMem, V2}});
    text += Fragments(c, {{F::ZAttrib, NO}, {F::ZRecurse, NO}, {F::ZPaths, NO}, {F::ZDates, NO},
                          {F::ZVolumeLabel, NO}, {F::ZPassword, NO}, {F::ZWorkDir, NO}});
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = text;
      if (!V && !M && O) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + text;
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + (update ? " U " : " F ") +
             QuoteArg(archive);
  cmd.text += Fragments(c, {{F::AAttrib, NO}, {F::ARecurse, NO}, {F::APaths, NO},
                            {F::ADates, NO}, {F::ACompression, NO}, {F::AStore, NO},
                            {F::ABackup, NO}, {F::AMultiVolume, NO}, {F::AWorkDir, NO},
                            {F::APassword, NO}});
  return cmd;
}

bool FreshenLacksSpace(unsigned long long needed, unsigned long long archiveDriveFree,
                       unsigned long long workDriveFree, char archiveDrive) {
  char d = static_cast<char>(toupper(static_cast<unsigned char>(archiveDrive)));
  if (d == 'A' || d == 'B') return false;
  return needed > archiveDriveFree || needed > workDriveFree;
}

NewArchiveTarget ResolveNewArchive(const std::string& dirText, const std::string& fileName,
                                   ArchiveKind kind, const std::string& currentDir,
                                   const std::function<std::string(const std::string&)>& fullDirName) {
  std::string cur = WorkNoSlash(currentDir);
  std::string dir = dirText;
  if (dir.size() > 1 && dir.back() == '\\' && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
  auto join = [](const std::string& a, const std::string& b) {
    if (b.empty()) return a;
    return (!a.empty() && a.back() == '\\') ? a + b : a + "\\" + b;
  };
  if (dir.compare(0, 2, "..") == 0) {
    std::string parent = DirectoryOf(cur);
    if (parent.empty()) parent = cur;
    std::string rest = dir.substr(2);
    if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
    dir = join(parent, rest);
  } else if (!dir.empty() && dir[0] == '.') {
    std::string rest = dir.substr(1);
    if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
    dir = join(cur, rest);
  } else {
    std::string full = fullDirName(dir);
    if (!full.empty()) {
      dir = full;
    } else if (!(dir.size() >= 2 && dir[1] == ':')) {
      // A directory that does not exist yet is named from the current directory, so that the
      // question about creating it shows the full path and creating it works.
      dir = !dir.empty() && dir[0] == '\\' ? DriveRoot(cur).substr(0, 2) + dir : join(cur, dir);
    }
  }
  NewArchiveTarget t;
  t.directory = dir;
  std::string path = join(dir, fileName);
  if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] != '\\'))
    path.insert(2, "\\");
  std::string last = AfterLastSlash(path);
  if (last.find('.') == std::string::npos) path += kind == ArchiveKind::Zip ? ".Zip" : ".Arj";
  if (!(path.size() >= 2 && path[1] == ':')) {
    if (!path.empty() && path[0] == '\\') path = DriveRoot(cur).substr(0, 2) + path;
    else path = join(cur, path);
  }
  t.path = path;
  return t;
}

std::string NewArchiveDirectory(const std::string& directory) {
  if (directory.size() == 2 && directory[1] == ':') return directory + "\\";
  return WorkNoSlash(directory);
}

}  // namespace ql
