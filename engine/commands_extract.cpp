// The commands that take members out of an archive: extract of selected members, of whole
// archive files, of members dragged out and in Express; the test of an archive; the extract of
// one member for viewing.
#include "engine/command_parts.h"

#include <cctype>

#include "common/mask.h"
#include "readers/listing_lines.h"

namespace ql {

using namespace command_parts;

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
    if (!line.empty() && !IsMarkerLine(line) && ListableName(FirstField(line)))
      members.emplace_back(LineMemberName(line, false));
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
  cmd.currentDir = DirectoryOf(archive);
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

}  // namespace ql
