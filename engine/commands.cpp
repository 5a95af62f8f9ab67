#include "engine/commands.h"

#include <cctype>
#include <cstring>

#include "common/mask.h"

namespace ql {

// -------------------------------------------------------------------------------------------
// Paths and quoting

std::string ProgramFile(const std::string& dir, const std::string& name) {
  if (dir.size() + 13 >= 260) return dir + "\\?";
  return dir + "\\" + name;
}

std::string WorkNoSlash(const std::string& workDir) {
  std::string w = workDir;
  while (w.size() > 1 && w.back() == '\\' && !(w.size() == 3 && w[1] == ':')) w.pop_back();
  return w;
}

std::string WorkSlash(const std::string& workDir) {
  std::string w = WorkNoSlash(workDir);
  if (w.empty() || w.back() != '\\') w += '\\';
  return w;
}

std::string CmndargsPath(const std::string& workDir) { return WorkSlash(workDir) + "cmndargs"; }
std::string ListFilePath(const std::string& workDir) { return WorkSlash(workDir) + "ql5files"; }

std::string QuoteArg(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string q = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    if (c == '"') q.append(slashes * 2 + 1, '\\');
    else q.append(slashes, '\\');
    slashes = 0;
    q += c;
  }
  q.append(slashes * 2, '\\');
  q += '"';
  return q;
}

std::string RunnerCommandLine(const std::string& runnerPath, const std::string& workDir,
                              bool showWindow, bool viewMode) {
  std::string cmd = QuoteArg(runnerPath) + " " + QuoteArg(WorkNoSlash(workDir));
  if (viewMode) cmd += " -T";
  if (!showWindow) cmd += " -B";
  return cmd;
}

bool ListableName(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string ListFileContent(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names)
    if (ListableName(n)) out += n + "\r\n";
  return out;
}

std::vector<std::string> AddNamesFromLines(const std::vector<std::string>& nameFields,
                                           const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& f : nameFields) {
    if (f.empty() || f[0] == '>') continue;
    std::string name = f;
    if (f[0] == '[') {
      if (f.size() < 2 || f[1] == '-' || f[1] == '.') continue;
      size_t close = f.find(']');
      name = f.substr(1, close == std::string::npos ? std::string::npos : close - 1) + "\\*.*";
    }
    out.push_back(prefix.empty() ? name : prefix + "\\" + name);
  }
  return out;
}

bool ArchiveKindFromName(const std::string& path, bool exeHoldsZip, ArchiveKind* kind) {
  if (MatchFileMask(path, "*.ZIP") || (exeHoldsZip && MatchFileMask(path, "*.EXE"))) {
    *kind = ArchiveKind::Zip;
    return true;
  }
  if (MatchFileMask(path, "*.ARJ")) {
    *kind = ArchiveKind::Arj;
    return true;
  }
  return false;
}

bool NeedsPassword(PasswordRule rule, const SwitchSet& s, bool encrypted) {
  bool pw = On(s, Sw::Password);
  bool xpw = On(s, Sw::ExtractWithPassword);
  switch (rule) {
    case PasswordRule::Add: return pw;
    case PasswordRule::AddToWindow: return pw || encrypted;
    case PasswordRule::FreshenManager: return pw || encrypted;
    case PasswordRule::FreshenExpress: return pw;
    case PasswordRule::ExtractMembersZip: return xpw && encrypted;
    case PasswordRule::ExtractEither: return xpw || encrypted;
    case PasswordRule::ExtractSwitch: return xpw;
    case PasswordRule::TestArchive: return xpw || pw;
  }
  return false;
}

// -------------------------------------------------------------------------------------------
// Fragment tables

namespace {

enum class F {
  // ZIP (PKZIP and the zip engine)
  ZCompression, ZStore, ZMultiVolume, ZVolumeLabel, ZDpmi, ZCompat, ZNetDetect, Z32Bit, ZEms,
  ZXms, ZEmsIfOn, ZXmsIfOn, ZSlowMem, ZAttrib, ZRecurse, ZPaths, ZPathsFullOnly, ZDates,
  ZKeepDate, ZWorkDir, ZPassword,
  // PKUNZIP and the unzip engine
  URestore, URestoreDrop, UOverwrite, UOverwriteDrop, UNewer, UOrder, UOrderAlways, UReverse,
  UReverseSingleVolume, UDpmi, U32Bit, UEms, UXms, UVolumeLabel, UPassword,
  // ARJ
  AAttrib, ARecurse, APaths, APathsNotFull, ADates, AKeepDate, ACompression, AStore, ABackup,
  AMultiVolume, AWorkDir, APassword, AOverwrite, AOverwriteDrop, ANewer, AVolumeLabel,
  ARestorePaths,
  Count
};

enum class When { On, Off, Always, Special };

struct FragmentRecord {
  F id;
  Sw sw;
  When when;
  const char* text;  // begins with a blank; for Special rows only a note of the form
};

const FragmentRecord kFragments[] = {
    {F::ZCompression, Sw::MaximumCompression, When::Special, " -ex / -en / -es"},
    {F::ZStore, Sw::NoCompression, When::On, " -e0"},
    {F::ZMultiVolume, Sw::MultiVolume, When::On, " -&"},
    {F::ZVolumeLabel, Sw::StoreVolumeLabel, When::On, " -$"},
    {F::ZDpmi, Sw::ZipDpmi, When::On, " -)"},
    {F::ZCompat, Sw::ZipCompatibilityMode, When::Off, " -="},
    {F::ZNetDetect, Sw::NetDetect, When::On, " -~"},
    {F::Z32Bit, Sw::Use32BitIns, When::On, " -3"},
    {F::ZEms, Sw::EmsUsage, When::Always, " -+"},
    {F::ZXms, Sw::XmsUsage, When::Always, " --"},
    {F::ZEmsIfOn, Sw::EmsUsage, When::On, " -+"},
    {F::ZXmsIfOn, Sw::XmsUsage, When::On, " --"},
    {F::ZSlowMem, Sw::SlowMemCopy, When::On, " -("},
    {F::ZAttrib, Sw::IncAnyFileAttrib, When::On, " -w"},
    {F::ZRecurse, Sw::RecurseSubdirs, When::On, " -rp"},
    {F::ZPaths, Sw::PathsFull, When::Special, " -P"},
    {F::ZPathsFullOnly, Sw::PathsFull, When::Special, " -P"},
    {F::ZDates, Sw::KeepOrigArcDate, When::Special, " -k / -o"},
    {F::ZKeepDate, Sw::KeepOrigArcDate, When::On, " -k"},
    {F::ZWorkDir, Sw::MultiVolume, When::Special, " -b"},
    {F::ZPassword, Sw::Password, When::Special, " -s"},
    {F::URestore, Sw::RestoreSubdirs, When::On, " -d"},
    {F::URestoreDrop, Sw::RestoreSubdirs, When::Special, " -d"},
    {F::UOverwrite, Sw::OverwriteExisting, When::On, " -o"},
    {F::UOverwriteDrop, Sw::OverwriteExisting, When::Special, " -o"},
    {F::UNewer, Sw::ExtractOnlyNewer, When::On, " -n"},
    {F::UOrder, Sw::ExtractByName, When::Special, " -en / -ee / -es / -ed"},
    {F::UOrderAlways, Sw::ExtractByName, When::Special, " -en / -ee / -es / -ed"},
    {F::UReverse, Sw::ExtractInReverseOrder, When::On, " -er"},
    {F::UReverseSingleVolume, Sw::ExtractInReverseOrder, When::Special, " -er"},
    {F::UDpmi, Sw::ZipDpmi, When::On, " -)"},
    {F::U32Bit, Sw::Use32BitIns, When::On, " -3"},
    {F::UEms, Sw::EmsUsage, When::Always, " -+"},
    {F::UXms, Sw::XmsUsage, When::Always, " --"},
    {F::UVolumeLabel, Sw::ExtractVolumeLabel, When::On, " -$"},
    {F::UPassword, Sw::ExtractWithPassword, When::Special, " -s"},
    {F::AAttrib, Sw::IncAnyFileAttrib, When::On, " -a"},
    {F::ARecurse, Sw::RecurseSubdirs, When::On, " -r"},
    {F::APaths, Sw::PathsFull, When::Special, " -e / -e1"},
    {F::APathsNotFull, Sw::PathsFull, When::Special, " -e"},
    {F::ADates, Sw::KeepOrigArcDate, When::Special, " -s1 / -s"},
    {F::AKeepDate, Sw::KeepOrigArcDate, When::On, " -s1"},
    {F::ACompression, Sw::MaximumCompression, When::Special, " -m1 -jm / -m2 / -m3"},
    {F::AStore, Sw::NoCompression, When::On, " -m4"},
    {F::ABackup, Sw::KeepBackup, When::On, " -k"},
    {F::AMultiVolume, Sw::MultiVolume, When::On, " -va"},
    {F::AWorkDir, Sw::MultiVolume, When::Special, " -w"},
    {F::APassword, Sw::Password, When::Special, " -g"},
    {F::AOverwrite, Sw::OverwriteExisting, When::On, " -jyo"},
    {F::AOverwriteDrop, Sw::OverwriteExisting, When::Special, " -jyo"},
    {F::ANewer, Sw::ExtractOnlyNewer, When::On, " -f"},
    {F::AVolumeLabel, Sw::ExtractVolumeLabel, When::On, " -$"},
    {F::ARestorePaths, Sw::RestoreSubdirs, When::On, " -p1"},
};
static_assert(sizeof kFragments / sizeof kFragments[0] == static_cast<size_t>(F::Count),
              "one record per fragment");

// What a fragment depends on besides the switches.
struct Ctx {
  const SwitchSet& s;
  std::string work;       // with trailing "\"
  bool engine;
  bool password;          // the operation asked for the password
  bool targetWindow;      // drop extract: there is a target window
};

// The text of a fragment under the switch set, "" when it does not apply.
std::string FragmentText(F id, const Ctx& c) {
  const FragmentRecord& r = kFragments[static_cast<int>(id)];
  const SwitchSet& s = c.s;
  switch (r.when) {
    case When::On: return On(s, r.sw) ? r.text : "";
    case When::Off: return On(s, r.sw) ? "" : r.text;
    case When::Always: return r.text;
    case When::Special: break;
  }
  bool keep = On(s, Sw::KeepOrigArcDate), newest = On(s, Sw::SetToNewestDate);
  PathStorage paths = PathMode(s);
  switch (id) {
    case F::ZCompression:
      if (On(s, Sw::MaximumCompression)) return " -ex";
      if (On(s, Sw::FasterCompression)) return " -en";
      if (On(s, Sw::FastestCompression)) return " -es";
      return "";
    case F::ZPaths: return paths != PathStorage::None ? " -P" : "";
    case F::ZPathsFullOnly: return paths == PathStorage::Full ? " -P" : "";
    case F::ZDates: return keep && !newest ? " -k" : newest && !keep ? " -o" : "";
    case F::ZWorkDir: return On(s, Sw::MultiVolume) ? "" : " -b" + c.work;
    case F::ZPassword:
    case F::UPassword: return c.password ? " -s" + s.archivePassword : "";
    case F::URestoreDrop: return c.targetWindow && On(s, Sw::RestoreSubdirs) ? " -d" : "";
    case F::UOverwriteDrop:
      return On(s, Sw::OverwriteExisting) || !c.targetWindow ? " -o" : "";
    case F::UOrder:
    case F::UOrderAlways:
      if (id == F::UOrder && On(s, Sw::MultiVolume)) return "";
      if (On(s, Sw::ExtractByName)) return " -en";
      if (On(s, Sw::ExtractByExtender)) return " -ee";
      if (On(s, Sw::ExtractBySize)) return " -es";
      if (On(s, Sw::ExtractByDate)) return " -ed";
      return "";
    case F::UReverseSingleVolume:
      return On(s, Sw::ExtractInReverseOrder) && !On(s, Sw::MultiVolume) ? " -er" : "";
    case F::APaths:
      return paths == PathStorage::None ? " -e" : paths == PathStorage::Relative ? " -e1" : "";
    case F::APathsNotFull: return paths != PathStorage::Full ? " -e" : "";
    case F::ADates: return keep && !newest ? " -s1" : newest && !keep ? " -s" : "";
    case F::ACompression:
      if (On(s, Sw::MaximumCompression)) return " -m1 -jm";
      if (On(s, Sw::FasterCompression)) return " -m2";
      if (On(s, Sw::FastestCompression)) return " -m3";
      return "";
    case F::AWorkDir: return " -w" + c.work;
    case F::APassword: return c.password ? " -g" + s.archivePassword : "";
    case F::AOverwriteDrop:
      return On(s, Sw::OverwriteExisting) || !c.targetWindow ? " -jyo" : "";
    default: return "";
  }
}

// One step of a builder's fragment order; `group2x` marks the PKZIP/PKUNZIP 2.x group, given
// only when `OldPkzip` is false or the engine is used.
struct Step {
  F id;
  bool group2x;
};

// Fragments that carry a path or a password: their one argument may hold blanks.
bool CarriesText(F id) {
  return id == F::ZWorkDir || id == F::ZPassword || id == F::UPassword || id == F::AWorkDir ||
         id == F::APassword;
}

// Appends a fragment to a command: for the engine a "|" goes before it; for a DOS command the
// argument of a path or password fragment is quoted when it needs it.
void Append(std::string& out, F id, const std::string& fragment, bool engine) {
  if (fragment.empty()) return;
  if (engine) out += "|" + fragment;
  else if (CarriesText(id)) out += " " + QuoteArg(fragment.substr(1));
  else out += fragment;
}

std::string Fragments(const Ctx& c, std::initializer_list<Step> steps) {
  bool with2x = !c.s.oldPkzip || c.engine;
  std::string out;
  for (const Step& st : steps)
    if (!st.group2x || with2x) Append(out, st.id, FragmentText(st.id, c), c.engine);
  return out;
}

// A path argument for a DOS command; the engine takes it as it is.
std::string Arg(const std::string& a, bool engine) { return engine ? a : QuoteArg(a); }

std::string DriveRoot(const std::string& dir) {
  if (dir.size() >= 2 && dir[1] == ':') return std::string(1, dir[0]) + ":\\";
  return "\\";
}

std::string DirOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string AfterLastSlash(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

const bool V2 = true;  // in the 2.x group
const bool NO = false;

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

// -------------------------------------------------------------------------------------------
// Add, move, freshen and update

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
  cmd.currentDir = DirOf(archive);
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
    std::string parent = DirOf(cur);
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

// -------------------------------------------------------------------------------------------
// Extract, test and view

Command ExtractMembers(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                       const std::string& archive, bool encrypted,
                       const std::vector<std::string>& names, const std::string& target) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M || !O;
  cmd.currentDir = target;
  cmd.writeList = true;
  cmd.listFile = ListFileContent(names);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  if (kind == ArchiveKind::Zip) {
    bool pw = NeedsPassword(PasswordRule::ExtractMembersZip, s, encrypted);
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string text = Arg(archive, engine);
    text += Fragments(c, {{F::URestore, NO}, {F::UOverwrite, NO}, {F::UNewer, NO},
                          {F::UOrder, NO}, {F::UReverseSingleVolume, V2}, {F::UDpmi, V2},
                          {F::U32Bit, V2}, {F::UEms, V2}, {F::UXms, V2},
                          {F::UVolumeLabel, NO}, {F::UPassword, NO}});
    if (engine) {
      cmd.via = Via::UnzipEngine;
      cmd.text = text + "| @" + list;
      if (!V && !M && O) cmd.text += "|-q";
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + text + " " +
                 QuoteArg("@" + list);
    }
    return cmd;
  }
  bool pw = NeedsPassword(PasswordRule::ExtractEither, s, encrypted);
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " " +
             (On(s, Sw::RestoreSubdirs) ? " X " : " E ") + QuoteArg(archive);
  cmd.text += Fragments(c, {{F::AOverwrite, NO}, {F::ANewer, NO}, {F::AVolumeLabel, NO},
                            {F::AMultiVolume, NO}, {F::APassword, NO}});
  cmd.text += "  " + QuoteArg("!" + list);
  return cmd;
}

Command ExtractWholeArchive(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                            const std::string& archive, const std::string& target) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M || !O;
  cmd.currentDir = target;
  std::string work = WorkSlash(p.workDir);
  bool pw = NeedsPassword(PasswordRule::ExtractSwitch, s, false);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string text = Arg(archive, engine);
    text += Fragments(c, {{F::URestore, NO}, {F::UOverwrite, NO}, {F::UNewer, NO},
                          {F::UOrder, NO}, {F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2},
                          {F::UXms, V2}, {F::UReverseSingleVolume, V2}, {F::UVolumeLabel, NO},
                          {F::UPassword, NO}});
    if (engine) {
      cmd.via = Via::UnzipEngine;
      cmd.text = text + "| *.*";
      if (!V && !M && O) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + text + " *.*";
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " " +
             (On(s, Sw::RestoreSubdirs) ? " X " : " E ") + QuoteArg(archive);
  cmd.text += Fragments(c, {{F::AOverwrite, NO}, {F::ANewer, NO}, {F::AVolumeLabel, NO},
                            {F::AMultiVolume, NO}, {F::APassword, NO}});
  cmd.text += " ";
  return cmd;
}

bool IsExtractableArchiveName(const std::string& name) {
  return MatchFileMask(name, "*.ZIP") || MatchFileMask(name, "*.EXE") ||
         MatchFileMask(name, "*.A??");
}

bool IsArjPartName(const std::string& name) {
  std::string base = AfterLastSlash(name);
  size_t dot = base.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = base.substr(dot + 1);
  for (char& ch : ext) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
  if (ext == "ARJ" || ext == "A00") return true;
  if (ext.size() < 2 || ext[0] != 'A') return false;
  unsigned long n = 0;
  for (size_t i = 1; i < ext.size(); ++i) {
    if (!isdigit(static_cast<unsigned char>(ext[i]))) return false;
    n = n * 10 + static_cast<unsigned long>(ext[i] - '0');
  }
  return n != 0;
}

Command DropExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                    const std::string& archive, bool encrypted,
                    const std::vector<std::string>& names, bool targetWindow,
                    const std::string& targetDir) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M || !O;
  cmd.currentDir = targetDir;
  std::vector<std::string> members;
  for (const std::string& line : names)
    if (!line.empty() && line[0] != '>' && ListableName(FirstField(line)))
      members.push_back(FirstField(line));
  cmd.writeList = true;
  cmd.listFile = ListFileContent(members);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool pw = NeedsPassword(PasswordRule::ExtractEither, s, encrypted);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, false, targetWindow};
    std::string options =
        Fragments(c, {{F::UOverwriteDrop, NO}, {F::URestoreDrop, NO}, {F::UOrderAlways, NO},
                      {F::UReverse, V2}, {F::UDpmi, V2}, {F::UNewer, V2}, {F::U32Bit, V2},
                      {F::UEms, V2}, {F::UXms, V2}, {F::UVolumeLabel, NO}});
    if (engine) {
      cmd.via = Via::UnzipEngine;
      cmd.text = options + "| " + archive + "| @" + list;
      if (!V && !M && O) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + options + " " +
                 QuoteArg(archive) + " " + QuoteArg("@" + list);
      if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, targetWindow};
  bool withPaths = targetWindow && On(s, Sw::RestoreSubdirs);
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + (withPaths ? " X " : " E ") +
             QuoteArg(archive) + " " + QuoteArg("!" + list);
  cmd.text += Fragments(c, {{F::AOverwriteDrop, NO}, {F::ANewer, NO}, {F::AVolumeLabel, NO},
                            {F::AMultiVolume, NO}, {F::ARestorePaths, NO}, {F::AWorkDir, NO},
                            {F::APassword, NO}});
  return cmd;
}

Command ExpressExtract(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                       const std::string& archive, const std::vector<std::string>* names,
                       const std::string& target) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = V || M || !O;
  cmd.writeList = true;
  cmd.listFile = names ? ListFileContent(*names) : std::string("*.*\r\n");
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  std::string targetSlash = WorkSlash(target);
  bool pw = NeedsPassword(PasswordRule::ExtractSwitch, s, false);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, false, true};
    std::string options =
        Fragments(c, {{F::UOverwrite, NO}, {F::URestore, NO}, {F::UOrder, NO}, {F::UReverse, V2},
                      {F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2}, {F::UXms, V2},
                      {F::UNewer, NO}, {F::UVolumeLabel, NO}});
    if (engine) {
      cmd.via = Via::UnzipEngine;
      cmd.text = options + "| " + archive + "| " + targetSlash + "| @" + list;
      if (!V && !M && O) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + options + " " +
                 QuoteArg(archive) + " " + QuoteArg(targetSlash) + " " + QuoteArg("@" + list);
      if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, true};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) +
             (On(s, Sw::RestoreSubdirs) ? " X " : " E ") + QuoteArg(archive) + " " +
             QuoteArg("!" + list) + " " + QuoteArg(targetSlash);
  cmd.text += Fragments(c, {{F::AOverwrite, NO}, {F::ANewer, NO}, {F::AVolumeLabel, NO},
                            {F::AMultiVolume, NO}, {F::AWorkDir, NO}, {F::APassword, NO}});
  return cmd;
}

Command TestArchive(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                    const std::string& archive, TestFrom from) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
  cmd.showWindow = true;
  cmd.currentDir = DirOf(archive);
  std::string work = WorkSlash(p.workDir);
  bool pw = NeedsPassword(
      from == TestFrom::DirectoryFile ? PasswordRule::ExtractSwitch : PasswordRule::TestArchive,
      s, false);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    if (engine) {
      cmd.via = Via::UnzipEngine;
      switch (from) {
        case TestFrom::Express: cmd.text = "-t| " + archive; break;
        case TestFrom::WindowArchive: cmd.text = "-t |" + archive; break;
        case TestFrom::DirectoryFile: cmd.text = "| -t |" + archive; break;
      }
      if (!V && !M && O) cmd.text += kQuietFragment;
      return cmd;
    }
    Ctx c{s, work, false, pw, false};
    cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " -t " + QuoteArg(archive);
    cmd.text += Fragments(c, {{F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2}, {F::UXms, V2},
                              {F::UPassword, NO}});
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " T " + QuoteArg(archive);
  if (from == TestFrom::Express)
    cmd.text += Fragments(c, {{F::AAttrib, NO}, {F::ARecurse, NO}, {F::APathsNotFull, NO},
                              {F::AKeepDate, NO}, {F::ACompression, NO}, {F::AStore, NO},
                              {F::ABackup, NO}, {F::AMultiVolume, NO}, {F::AWorkDir, NO},
                              {F::APassword, NO}});
  else
    cmd.text += Fragments(c, {{F::AMultiVolume, NO}, {F::AWorkDir, NO}, {F::APassword, NO}});
  return cmd;
}

Command ViewMember(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                   const std::string& archive, bool encrypted, const std::string& member) {
  Command cmd;
  bool V = s.viewArchiveProgress;
  cmd.showWindow = V;
  cmd.viewMode = true;
  cmd.currentDir = WorkNoSlash(p.workDir);
  std::string work = WorkSlash(p.workDir);
  bool pw = NeedsPassword(PasswordRule::ExtractEither, s, encrypted);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    if (engine) {
      cmd.via = Via::UnzipEngine;
      cmd.text = "| " + archive + " | " + member + " | -o | " + work;
      if (!V) cmd.text += "|-q";
      return cmd;
    }
    Ctx c{s, work, false, pw, false};
    std::string options =
        Fragments(c, {{F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2}, {F::UXms, V2}});
    cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + options + " " +
               QuoteArg(archive) + " " + QuoteArg(member) + " -o";
    if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
    cmd.text += " " + QuoteArg(work);
    return cmd;
  }
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " E " + QuoteArg(archive) + " " +
             QuoteArg(member);
  if (pw) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
  cmd.text += " " + QuoteArg(work) + " -jyo -p";
  return cmd;
}

std::string ViewedFile(const std::string& workDir, const std::string& member) {
  return WorkSlash(workDir) + AfterLastSlash(member);
}

// -------------------------------------------------------------------------------------------
// Delete

std::string DeleteConfirmNames(const std::vector<std::string>& selectedLines) {
  std::string out;
  size_t shown = 0;
  for (const std::string& line : selectedLines) {
    if (shown == 6) {
      out += "...";
      break;
    }
    out += FirstField(line) + " ";
    ++shown;
  }
  return out;
}

Command DeleteMembers(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                      const std::string& archive, bool encrypted,
                      const std::vector<std::string>& selectedLines, long entryCount) {
  Command cmd;
  bool V = s.viewArchiveProgress, M = On(s, Sw::MultiVolume);
  cmd.showWindow = V;
  std::vector<std::string> names;
  for (const std::string& line : selectedLines)
    if (!line.empty() && line[0] != '>' && ListableName(FirstField(line)))
      names.push_back(FirstField(line));
  if (names.empty()) return cmd;  // nothing selected: nothing to run
  if (static_cast<long>(names.size()) >= entryCount) {
    cmd.message = kMsgDeleteAll;
    return cmd;
  }
  cmd.writeList = true;
  cmd.listFile = ListFileContent(names);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool pw = NeedsPassword(PasswordRule::AddToWindow, s, encrypted);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = "-d| " + archive + "| @" + list + "| -b" + work;
      if (!V && !M) cmd.text += kQuietFragment;
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + " -d " + QuoteArg(archive) +
                 " " + QuoteArg("@" + list);
      if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
      cmd.text += " " + QuoteArg("-b" + work);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " D " + QuoteArg(archive) + " " +
             QuoteArg("!" + list);
  cmd.text += Fragments(c, {{F::AWorkDir, NO}, {F::APassword, NO}, {F::ABackup, NO}});
  return cmd;
}

Command ExpressDelete(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                      const std::string& archive, const std::vector<std::string>& names) {
  Command cmd;
  bool V = s.viewArchiveProgress;
  cmd.showWindow = V;
  if (names.empty()) return cmd;
  cmd.currentDir = DirOf(archive);
  cmd.writeList = true;
  cmd.listFile = ListFileContent(names);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool pw = NeedsPassword(PasswordRule::Add, s, false);
  if (kind == ArchiveKind::Zip) {
    bool engine = UseEngine(s) && !pw;
    Ctx c{s, work, engine, pw, false};
    std::string options =
        Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZDpmi, V2}, {F::ZCompat, V2},
                      {F::ZNetDetect, V2}, {F::Z32Bit, V2}, {F::ZEms, V2}, {F::ZXms, V2},
                      {F::ZSlowMem, V2}, {F::ZAttrib, NO}, {F::ZRecurse, NO}, {F::ZPaths, NO},
                      {F::ZDates, NO}, {F::ZVolumeLabel, NO}, {F::ZWorkDir, NO}});
    bool M = On(s, Sw::MultiVolume), O = On(s, Sw::OverwriteExisting);
    if (engine) {
      cmd.via = Via::ZipEngine;
      cmd.text = "| -d| " + archive + "| " + options + "| @" + list;
      if (!V && !M && O) cmd.text += "|-q";
    } else {
      cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + " -d " + QuoteArg(archive) +
                 " " + options;
      if (pw) cmd.text += " " + QuoteArg("-s" + s.archivePassword);
      cmd.text += " " + QuoteArg("@" + list);
    }
    return cmd;
  }
  Ctx c{s, work, false, pw, false};
  cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + " D " + QuoteArg(archive) + " " +
             QuoteArg("!" + list);
  cmd.text += Fragments(c, {{F::AAttrib, NO}, {F::ARecurse, NO}, {F::APaths, NO},
                            {F::ADates, NO}, {F::ACompression, NO}, {F::AStore, NO},
                            {F::ABackup, NO}, {F::AWorkDir, NO}, {F::APassword, NO}});
  return cmd;
}

}  // namespace ql

namespace ql {

bool FreshenLacksSpace(unsigned long long needed, unsigned long long archiveDriveFree,
                       unsigned long long workDriveFree, char archiveDrive) {
  char d = static_cast<char>(toupper(static_cast<unsigned char>(archiveDrive)));
  if (d == 'A' || d == 'B') return false;
  return needed > archiveDriveFree || needed > workDriveFree;
}

}  // namespace ql
