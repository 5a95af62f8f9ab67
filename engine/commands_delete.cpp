// The commands that delete members: from a browser window's archive (with the refusal of
// deleting every member) and from Express; the names the confirmation shows.
#include "engine/command_parts.h"
#include "readers/listing_lines.h"

namespace ql {

using namespace command_parts;

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
    if (!line.empty() && !IsMarkerLine(line) && ListableName(FirstField(line)))
      names.emplace_back(LineMemberName(line, false));
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
  cmd.currentDir = DirectoryOf(archive);
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
