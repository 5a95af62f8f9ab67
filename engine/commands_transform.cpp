// The commands of the operations on whole archives: convert, self-extracting ARJ and ZIP, repair,
// join and rename in an ARJ, and the extract that runs a program from an archive.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/mask.h"
#include "common/text_and_paths.h"
#include "engine/command_parts.h"
#include "engine/transform_commands.h"
#include "readers/arj_reader.h"
#include "readers/listing_lines.h"

namespace ql {

using namespace command_parts;

namespace {

std::string Arj(const EnginePaths& p) { return QuoteArg(ProgramFile(p.programDir, "ARJ")); }

bool Quiet(const SwitchSet& s) {
  return !s.viewArchiveProgress && !On(s, Sw::MultiVolume) && On(s, Sw::OverwriteExisting);
}

Command Refusal(int message) {
  Command cmd;
  cmd.message = message;
  return cmd;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Convert

bool ConvertKindOf(unsigned command, ConvertKind* k) {
  switch (command) {
    case IDM_CONVERT_ZIP_TO_ARJ: *k = {ConvertFrom::Zip, ConvertTo::Arj, false}; return true;
    case IDM_CONVERT_ARJ_TO_ZIP: *k = {ConvertFrom::Arj, ConvertTo::Zip, false}; return true;
    case IDM_CONVERT_ARC_TO_ARJ: *k = {ConvertFrom::Arc, ConvertTo::Arj, false}; return true;
    case IDM_CONVERT_ARC_TO_ZIP: *k = {ConvertFrom::Arc, ConvertTo::Zip, false}; return true;
    case IDM_CONVERT_LZH_TO_ARJ: *k = {ConvertFrom::Lzh, ConvertTo::Arj, false}; return true;
    case IDM_CONVERT_LZH_TO_ZIP: *k = {ConvertFrom::Lzh, ConvertTo::Zip, false}; return true;
    case IDM_CONVERT_ZIP1_TO_ZIP2: *k = {ConvertFrom::Zip, ConvertTo::Zip, true}; return true;
    default: return false;
  }
}

bool ConvertSourceAccepted(const ConvertKind& k, const std::string& name, bool exeHoldsZip) {
  switch (k.from) {
    case ConvertFrom::Zip:
      return MatchFileMask(name, "*.ZIP") || (exeHoldsZip && MatchFileMask(name, "*.EXE"));
    case ConvertFrom::Arj: return MatchFileMask(name, "*.ARJ");
    case ConvertFrom::Arc: return MatchFileMask(name, "*.ARC");
    case ConvertFrom::Lzh: return MatchFileMask(name, "*.LZH");
  }
  return false;
}

std::string ConvertTargetPath(const std::string& source, ConvertTo to) {
  const char* ext = to == ConvertTo::Arj ? "ARJ" : "ZIP";
  size_t dot = source.find_last_of('.');
  size_t slash = source.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return source + "." + ext;
  return source.substr(0, dot + 1) + ext;
}

std::string ScratchDirectory(const std::string& workDir, unsigned n) {
  std::string dir = WorkSlash(workDir) + "tmp41720";
  return n ? dir + "." + std::to_string(n) : dir;
}

std::string ConvertPackPath(const std::string& target, unsigned n) {
  size_t slash = target.find_last_of("\\/");
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  size_t dot = target.find_last_of('.');
  std::string ext = dot == std::string::npos || dot + 1 < dir.size() ? "TMP" : Upper(target.substr(dot + 1));
  char name[16];
  std::snprintf(name, sizeof name, "~QLCV%03u.", n % 1000);
  return dir + name + ext;
}

std::string ConvertProgram(const EnginePaths& p, ConvertFrom from, const std::string& configured) {
  std::string c = configured;
  while (!c.empty() && c.back() == ' ') c.pop_back();
  if (!c.empty() && Upper(c) != "NONE") return c;
  return ProgramFile(p.programDir, from == ConvertFrom::Arc ? "QLARC.EXE" : "QLLZH.EXE");
}

namespace {

// Unpacks the source with its folders into the scratch directory, which is made current.
Command UnpackCommand(const SwitchSet& s, const EnginePaths& p, const ConvertKind& k,
                      const std::string& source, const std::string& program,
                      const std::string& scratch) {
  Command cmd;
  cmd.currentDir = scratch;
  cmd.showWindow = s.viewArchiveProgress;
  std::string into = scratch + "\\";
  bool pw = On(s, Sw::ExtractWithPassword);
  switch (k.from) {
    case ConvertFrom::Zip: {
      bool engine = UseEngine(s) && !pw;
      Ctx c{s, WorkSlash(p.workDir), engine, pw, false};
      std::string options =
          Fragments(c, {{F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2}, {F::UXms, V2}});
      if (pw) {
        cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + QuoteArg(source) + " " +
                   QuoteArg("-s" + s.archivePassword) + " " + QuoteArg(into) + " -d" + options;
      } else if (engine) {
        cmd.via = Via::UnzipEngine;
        cmd.text = source + "| " + into + "| -o| -d" + options;
        if (Quiet(s)) cmd.text += kQuietFragment;
      } else {
        cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + QuoteArg(source) + " " +
                   QuoteArg(into) + " -o -d" + options;
      }
      break;
    }
    case ConvertFrom::Arj:
      // "X" keeps the folders of the members ("E" would put same-named files on each other).
      cmd.text = Arj(p) + " X " + QuoteArg(source);
      if (pw) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
      cmd.text += " " + QuoteArg(into) + " -jyo";
      break;
    case ConvertFrom::Arc:
      cmd.text = QuoteArg(program) + " " + QuoteArg(source) + " " + QuoteArg(into);
      break;
    case ConvertFrom::Lzh:
      cmd.text = QuoteArg(program) + " e " + QuoteArg(source) + " " + QuoteArg(into);
      break;
  }
  return cmd;
}

// Packs everything below the scratch directory (current) into `packPath`, moving it.
Command PackCommand(const SwitchSet& s, const EnginePaths& p, const ConvertKind& k,
                    const std::string& scratch, const std::string& packPath, const std::string& titleFile,
                    bool folderEntries) {
  Command cmd;
  cmd.currentDir = scratch;
  cmd.showWindow = s.viewArchiveProgress;
  std::string work = WorkSlash(p.workDir);
  bool pw = On(s, Sw::ExtractWithPassword);
  if (k.to == ConvertTo::Arj) {
    // " -r" in place of " -e": the folders go into the archive with their paths.
    Ctx c{s, work, false, pw, false};
    cmd.text = Arj(p) + " M -r " + QuoteArg(packPath);
    cmd.text += Fragments(c, {{F::APassword, NO}, {F::ACompression, NO}, {F::AStore, NO},
                              {F::AAttrib, NO}, {F::AMultiVolume, NO}});
    if (On(s, Sw::StoreVolumeLabel)) cmd.text += " -$";
    cmd.text += Fragments(c, {{F::ADates, NO}, {F::AWorkDir, NO}});
    if (!titleFile.empty()) cmd.text += " " + QuoteArg("-z" + titleFile);
    if (folderEntries) cmd.text += " -a1";
    return cmd;
  }
  bool engine = UseEngine(s) && !pw;
  Ctx c{s, work, engine, false, false};
  std::string text = engine ? " -m |" + packPath + "| *.*" : " -m " + QuoteArg(packPath) + " *.*";
  text += Fragments(c, {{F::ZCompression, V2}, {F::ZStore, V2}, {F::ZMultiVolume, V2},
                        {F::ZDpmi, V2}, {F::ZCompat, V2}, {F::ZNetDetect, V2}, {F::Z32Bit, V2},
                        {F::ZEms, V2}, {F::ZXms, V2}, {F::ZSlowMem, V2}, {F::ZAttrib, NO}});
  // Always recursive with paths: same-named files of different folders stay apart.
  text += engine ? "| -rp" : " -rp";
  text += Fragments(c, {{F::ZDates, NO}, {F::ZVolumeLabel, NO}, {F::ZWorkDir, NO}});
  if (engine) {
    cmd.via = Via::ZipEngine;
    cmd.text = text;
    if (Quiet(s)) cmd.text += kQuietFragment;
  } else {
    cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + text;
  }
  return cmd;
}

Command PackTestCommand(const SwitchSet& s, const EnginePaths& p, const ConvertKind& k,
                        const std::string& packPath) {
  Command cmd;
  cmd.showWindow = s.viewArchiveProgress;
  bool pw = On(s, Sw::ExtractWithPassword);
  if (k.to == ConvertTo::Arj) {
    cmd.text = Arj(p) + " T " + QuoteArg(packPath);
    if (pw) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
    return cmd;
  }
  if (UseEngine(s) && !pw) {
    cmd.via = Via::UnzipEngine;
    cmd.text = "-t |" + packPath;
    if (Quiet(s)) cmd.text += kQuietFragment;
  } else {
    cmd.text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " -t " + QuoteArg(packPath);
  }
  return cmd;
}

}  // namespace

ConvertCommands ConvertCommandsFor(const SwitchSet& s, const EnginePaths& p, const ConvertKind& k,
                                   const std::string& source, const std::string& program,
                                   const std::string& packPath, const std::string& scratch,
                                   const std::string& titleFile, bool folderEntries) {
  return ConvertCommands{UnpackCommand(s, p, k, source, program, scratch),
                         PackCommand(s, p, k, scratch, packPath, titleFile, folderEntries),
                         PackTestCommand(s, p, k, packPath)};
}

bool ArjKeepsTitle(const std::string& title) {
  size_t kept = 0;
  for (char c : title) {
    if (c == '\0' || c == '\x1A') return false;
    if (c != '\r') ++kept;
  }
  return kept <= kArjTitleMax;
}

bool ArjKeepsFileComment(const std::string& name, const std::string& comment) {
  // The largest fixed part ARJ writes, then the name and the comment, each ended by a NUL.
  constexpr size_t kLargestFixedPart = 46;
  size_t kept = static_cast<size_t>(std::count_if(comment.begin(), comment.end(), [](char c) { return c != '\r'; }));
  return ArjKeepsTitle(comment) && kLargestFixedPart + name.size() + 1 + kept + 1 <= kArjHeaderMax;
}

// ---------------------------------------------------------------------------------------------
// Self-extracting, repair, join, rename

Command SelfExtractingArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive) {
  if (Upper(archive).find(".ARJ") == std::string::npos) return Refusal(IDS_ONLY_ARJ_FILES);
  Command cmd;
  cmd.currentDir = DirectoryOf(archive);
  cmd.showWindow = s.viewArchiveProgress || On(s, Sw::MultiVolume);
  Ctx c{s, WorkSlash(p.workDir), false, On(s, Sw::Password), false};
  cmd.text = Arj(p) + " F " + QuoteArg(archive) + " ...";
  cmd.text += Fragments(c, {{F::ARecurse, NO}});
  cmd.text += " -je";
  cmd.text += Fragments(c, {{F::ADates, NO}, {F::ABackup, NO}, {F::AWorkDir, NO}, {F::APassword, NO}});
  return cmd;
}

Command SelfExtractingZip(const SwitchSet&, const EnginePaths& p, const std::string& archive) {
  if (Upper(archive).find(".ZIP") == std::string::npos) return Refusal(IDS_ONLY_ZIP_FILES);
  Command cmd;
  cmd.showWindow = true;
  cmd.text = QuoteArg(ProgramFile(p.programDir, "zip2exe")) + " " + QuoteArg(archive);
  return cmd;
}

Command RepairArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive, const std::string& into) {
  Command cmd;
  cmd.currentDir = DirectoryOf(archive);
  // Shown whatever the progress setting says, in case ARJ asks something (a volume, a password).
  cmd.showWindow = true;
  Ctx c{s, WorkSlash(p.workDir), false, On(s, Sw::ExtractWithPassword), false};
  // "x" keeps the folders; " -n" passes over any file that is there, so nothing is written over
  // and ARJ never stops to ask.
  cmd.text = Arj(p) + " x " + QuoteArg(archive) + " " + QuoteArg(WorkSlash(into)) + " -jr -n";
  cmd.text += Fragments(c, {{F::ADates, NO}, {F::AMultiVolume, NO}, {F::AWorkDir, NO},
                            {F::APassword, NO}});
  return cmd;
}

Command RepairZip(const SwitchSet& s, const EnginePaths& p, const std::string& name,
                  const std::string& directory) {
  Command cmd;
  cmd.currentDir = directory;
  cmd.showWindow = s.viewArchiveProgress;
  cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzipfix")) + " " + QuoteArg(name) + " " +
             QuoteArg(directory);
  return cmd;
}

bool RepairLacksSpace(unsigned long long archiveSize, unsigned long long archiveDriveFree,
                      unsigned long long workDriveFree) {
  unsigned long long needed = archiveSize * 2;
  return needed > archiveDriveFree || needed > workDriveFree;
}

bool JoinNamesAccepted(const std::vector<std::string>& names) {
  for (const std::string& n : names)
    if (!n.empty() && !IsMarkerLine(n) && !MatchFileMask(n, "*.A??")) return false;
  return true;
}

Command JoinArj(const SwitchSet& s, const EnginePaths& p, const std::string& newName,
                const std::vector<std::string>& names, bool password) {
  if (!JoinNamesAccepted(names)) return Refusal(IDS_ONLY_ARJ_FILES);
  Command cmd;
  cmd.showWindow = s.viewArchiveProgress || On(s, Sw::MultiVolume);
  std::vector<std::string> listed;
  for (const std::string& n : names)
    if (!n.empty() && !IsMarkerLine(n) && MatchFileMask(n, "*.ARJ")) listed.push_back(n);
  cmd.writeList = true;
  cmd.listFile = ListFileContent(listed);
  cmd.text = Arj(p) + " J " + QuoteArg(newName);
  if (On(s, Sw::MultiVolume)) cmd.text += " -va";
  if (password) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
  cmd.text += " " + QuoteArg("!" + ListFilePath(p.workDir));
  return cmd;
}

Command RenameInArj(const SwitchSet& s, const EnginePaths& p, const std::string& archive,
                    const std::vector<std::string>& names) {
  Command cmd;
  cmd.currentDir = DirectoryOf(archive);
  cmd.showWindow = true;  // ARJ asks for each new name
  cmd.writeList = true;
  cmd.listFile = ListFileContent(names);
  Ctx c{s, WorkSlash(p.workDir), false, On(s, Sw::Password), false};
  cmd.text = Arj(p) + " N " + QuoteArg(archive);
  cmd.text += Fragments(c, {{F::ADates, NO}, {F::ABackup, NO}, {F::AMultiVolume, NO},
                            {F::AWorkDir, NO}, {F::APassword, NO}});
  cmd.text += " " + QuoteArg("!" + ListFilePath(p.workDir));
  return cmd;
}

// ---------------------------------------------------------------------------------------------
// Run from an archive

bool RunnableEntry(const std::string& name) {
  if (!IsFileLine(name)) return false;
  return MatchFileMask(name, "*.EXE") || MatchFileMask(name, "*.COM");
}

Command ExtractProgramToRun(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                            const std::string& archive, const std::string& entry) {
  Command cmd;
  cmd.currentDir = WorkNoSlash(p.workDir);
  bool M = On(s, Sw::MultiVolume);
  cmd.showWindow = s.viewArchiveProgress || M;
  bool pw = On(s, Sw::Password);
  if (kind == ArchiveKind::Arj) {
    cmd.text = Arj(p) + " E " + QuoteArg(archive) + (pw ? "  " : " ") + QuoteArg(entry) +
               " *.DLL *.OVL";
    if (pw) cmd.text += " " + QuoteArg("-g" + s.archivePassword);
    cmd.text += " -jyo";
    return cmd;
  }
  bool engine = UseEngine(s) && !pw;
  Ctx c{s, WorkSlash(p.workDir), engine, pw, false};
  std::string text;
  if (engine) {
    text = archive + "| " + entry + "| *.DLL| *.OVL";
  } else {
    text = QuoteArg(ProgramFile(p.programDir, "pkunzip")) + " " + QuoteArg(archive) + " " +
           QuoteArg(entry) + " *.DLL *.OVL";
    if (pw) text += " " + QuoteArg("-s" + s.archivePassword);
  }
  text += engine ? "| -o" : " -o";
  text += Fragments(c, {{F::UOrderAlways, NO}, {F::UDpmi, V2}, {F::U32Bit, V2}, {F::UEms, V2},
                        {F::UXms, V2}, {F::UReverse, V2}});
  if (engine) {
    cmd.via = Via::UnzipEngine;
    cmd.text = text;
    if (Quiet(s)) cmd.text += kQuietFragment;
  } else {
    cmd.text = text + " " + QuoteArg(WorkSlash(p.workDir));
  }
  return cmd;
}

}  // namespace ql
