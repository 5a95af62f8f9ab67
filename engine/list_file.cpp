// What every command carries besides its options: the paths of the program's files and of the
// work directory, arguments quoted for the archivers, the list file ql5files and the names it
// takes, the archive type from a name, and the pieces of paths the builders take apart.
#include "engine/command_parts.h"

#include "common/mask.h"
#include "readers/listing_lines.h"

namespace ql {

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
std::string CmndexitPath(const std::string& workDir) { return WorkSlash(workDir) + "cmndexit"; }

bool ParseRunnerExitCode(const std::string& text, unsigned long* code) {
  size_t i = 0;
  unsigned long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > 0xFFFFFFFFull) return false;
  }
  // Digits, then the line end (a file cut short before it still tells the code).
  if (i == 0 || i > 10) return false;
  const std::string rest = text.substr(i);
  if (!rest.empty() && rest != "\r\n" && rest != "\r" && rest != "\n") return false;
  *code = static_cast<unsigned long>(value);
  return true;
}

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

std::string VirusRunnerCommandLine(const std::string& runnerPath, const std::string& workDir) {
  return QuoteArg(runnerPath) + " " + QuoteArg(WorkNoSlash(workDir)) + " -V";
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
    // A name field read as a line of its own: "[DOCS]" is a directory, "[draft].txt" a file.
    DirLineKind kind = ClassifyDirLine(f);
    if (kind != DirLineKind::File && kind != DirLineKind::Directory) continue;
    std::string name = f;
    if (kind == DirLineKind::Directory) name = f.substr(1, f.size() - 2) + "\\*.*";
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

namespace command_parts {

std::string DriveRoot(const std::string& dir) {
  if (dir.size() >= 2 && dir[1] == ':') return std::string(1, dir[0]) + ":\\";
  return "\\";
}

std::string AfterLastSlash(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

}  // namespace command_parts
}  // namespace ql
