#include "archivers/runner/runner_args.h"

namespace ql {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool TakeSwitch(std::string_view* s, RunnerArgs* args) {
  size_t blank = s->find_last_of(" \t");
  std::string_view last = blank == std::string_view::npos ? *s : s->substr(blank + 1);
  if (last.size() != 2 || (last[0] != '-' && last[0] != '/')) return false;
  switch (last[1]) {
    case 'B': case 'b': args->batch = true; break;
    case 'V': case 'v': args->virusScan = true; break;
    case 'T': case 't': args->view = true; break;
    default: return false;
  }
  *s = Trim(blank == std::string_view::npos ? std::string_view() : s->substr(0, blank));
  return true;
}

}  // namespace

std::string_view CommandLineTail(std::string_view cmd) {
  cmd = Trim(cmd);
  if (!cmd.empty() && cmd.front() == '"') {
    size_t close = cmd.find('"', 1);
    cmd = close == std::string_view::npos ? std::string_view() : cmd.substr(close + 1);
  } else {
    size_t blank = cmd.find_first_of(" \t");
    cmd = blank == std::string_view::npos ? std::string_view() : cmd.substr(blank);
  }
  return Trim(cmd);
}

RunnerArgs ParseRunnerArgs(std::string_view tail) {
  RunnerArgs args;
  std::string_view s = Trim(tail);
  while (TakeSwitch(&s, &args)) {
  }
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Trim(s.substr(1, s.size() - 2));
  args.workDirectory = std::string(s);
  return args;
}

namespace {

std::string WorkFile(std::string_view workDirectory, const char* name) {
  std::string path(workDirectory);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + name;
}

}  // namespace

std::string CommandFilePath(std::string_view workDirectory) { return WorkFile(workDirectory, "cmndargs"); }

std::string ExitFilePath(std::string_view workDirectory) { return WorkFile(workDirectory, "cmndexit"); }

std::string ExitFileText(unsigned long code) {
  return std::to_string(static_cast<unsigned long long>(code & 0xFFFFFFFFul)) + "\r\n";
}

}  // namespace ql
