// The comment commands (archive title and member comments), the selection list writer's names,
// and the text the comment viewer shows.
#include <algorithm>
#include <cstring>

#include "engine/command_parts.h"
#include "engine/transform_commands.h"
#include "readers/listing_lines.h"

namespace ql {

using namespace command_parts;

namespace {

bool PasswordOn(const SwitchSet& s) { return On(s, Sw::Password); }

// The ZIP options shared by the title and the member comments: the 2.x texts, the date, the
// password and the work directory (always, multi-volume or not).
std::string ZipCommentOptions(const SwitchSet& s, const std::string& work, bool engine, bool pw) {
  Ctx c{s, work, engine, pw, false};
  std::string out = Fragments(c, {{F::ZDpmi, V2}, {F::ZCompat, V2}, {F::ZNetDetect, V2},
                                  {F::Z32Bit, V2}, {F::ZEms, V2}, {F::ZXms, V2},
                                  {F::ZSlowMem, V2}, {F::ZDates, NO}, {F::ZPassword, NO}});
  out += engine ? "| -b" + work : " " + QuoteArg("-b" + work);
  return out;
}

std::string ArjCommentOptions(const SwitchSet& s, const std::string& work) {
  Ctx c{s, work, false, PasswordOn(s), false};
  return Fragments(c, {{F::ADates, NO}, {F::ABackup, NO}, {F::AWorkDir, NO}, {F::APassword, NO}});
}

Command CommentCommand(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                       const std::string& archive, bool title) {
  Command cmd;
  cmd.showWindow = true;  // the user types the comment in the archiver's window
  cmd.currentDir = DirectoryOf(archive);
  std::string work = WorkSlash(p.workDir);
  std::string list = ListFilePath(p.workDir);
  bool pw = PasswordOn(s);
  if (kind == ArchiveKind::Arj) {
    cmd.text = QuoteArg(ProgramFile(p.programDir, "ARJ")) + (title ? " C -z " : " C -jz ") +
               QuoteArg(archive) + ArjCommentOptions(s, work);
    if (!title) cmd.text += " " + QuoteArg("!" + list);
    return cmd;
  }
  bool engine = UseEngine(s) && !pw;
  std::string letter = title ? " -z " : " -c ";
  std::string text = letter + (engine ? "|" : "") + Arg(archive, engine) +
                     ZipCommentOptions(s, work, engine, pw);
  if (!title) text += engine ? "| @" + list : " " + QuoteArg("@" + list);
  bool quiet = !s.viewArchiveProgress && !On(s, Sw::MultiVolume) && On(s, Sw::OverwriteExisting);
  if (engine) {
    cmd.via = Via::ZipEngine;
    cmd.text = text;
    if (quiet) cmd.text += title ? "|-q" : kQuietFragment;
  } else {
    cmd.text = QuoteArg(ProgramFile(p.programDir, "pkzip")) + text;
  }
  return cmd;
}

}  // namespace

Command CommentTitle(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                     const std::string& archive) {
  return CommentCommand(s, p, kind, archive, true);
}

Command CommentFiles(const SwitchSet& s, const EnginePaths& p, ArchiveKind kind,
                     const std::string& archive) {
  return CommentCommand(s, p, kind, archive, false);
}

std::vector<std::string> SelectionListNames(const std::vector<std::string>& nameFields,
                                            const std::string& fullPathDir) {
  std::string prefix = fullPathDir;
  if (!prefix.empty() && prefix.back() == '\\') prefix.pop_back();
  std::vector<std::string> out;
  for (std::string& name : AddNamesFromLines(nameFields, prefix))
    if (ListableName(name)) out.push_back(std::move(name));
  return out;
}

bool CommentReadRange(const std::string& line, uint64_t fileSize, size_t capacity,
                      uint64_t* offset, size_t* count) {
  uint64_t off = 0, len = 0;
  if (!LineCommentReference(line, &off, &len)) return false;
  if (off >= fileSize) return false;
  uint64_t n = std::min<uint64_t>(len, fileSize - off);
  n = std::min<uint64_t>(n, capacity);
  *offset = off;
  *count = static_cast<size_t>(n);
  return true;
}

std::string CommentTextOf(const char* bytes, size_t count, ArchiveKind kind) {
  size_t start = 0;
  if (kind == ArchiveKind::Arj) {
    const char* nul = static_cast<const char*>(memchr(bytes, '\0', count));
    if (!nul) return "";
    start = static_cast<size_t>(nul - bytes) + 1;
  }
  std::string out;
  out.reserve((count - start) + (count - start) / 2);
  for (size_t i = start; i < count; ++i) {
    char c = bytes[i];
    if (c == '\0') break;
    if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
    out += c;
  }
  return out;
}

}  // namespace ql
