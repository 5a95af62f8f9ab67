#include "fileops/launch_rules.h"

#include <cctype>
#include <cstdio>

#include "common/mask.h"

namespace ql {

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

std::string WithProgramExtension(std::string_view path) {
  std::string p(path);
  if (p.find('.') == std::string::npos) p += ".EXE";
  return p;
}

LaunchKind LaunchKindOf(std::string_view path) {
  std::string p(path);
  for (const char* program : {"*.EXE", "*.COM", "*.BAT", "*.PIF"})
    if (MatchFileMask(p.c_str(), program)) return LaunchKind::Program;
  if (p.find('.') == std::string::npos) return LaunchKind::Program;
  if (MatchFileMask(p.c_str(), "*.ARJ")) return LaunchKind::ArjArchive;
  if (MatchFileMask(p.c_str(), "*.ZIP")) return LaunchKind::ZipArchive;
  return LaunchKind::Document;
}

bool IsExeProgram(std::string_view path) { return EqualIgnoringCase(ExtensionOf(path), "EXE"); }

std::string ExtensionOf(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return "";
  std::string_view ext = name.substr(dot + 1);
  if (ext.find('\\') != std::string_view::npos) return "";
  return std::string(ext);
}

bool IsProgramExtension(std::string_view extension) {
  for (const char* p : {"EXE", "COM", "PIF", "BAT"})
    if (EqualIgnoringCase(extension, p)) return true;
  return false;
}

std::string QuotedProgramText(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"') return std::string(text);
  if (text.find(' ') != std::string_view::npos && text.find('\\') != std::string_view::npos)
    return "\"" + std::string(text) + "\"";
  return std::string(text);
}

std::string OpenCommandFor(std::string_view programText) { return std::string(programText) + " \"%1\""; }

std::string ClassNameFromProgram(std::string_view programText) {
  size_t slash = programText.find_last_of('\\');
  std::string_view name = slash == std::string_view::npos ? programText : programText.substr(slash + 1);
  std::string out;
  for (char c : name) {
    if (c == '"') continue;
    out += c == ' ' ? '_' : c;
  }
  return out;
}

std::string AssociationItem(std::string_view description, std::string_view command, std::string_view className) {
  size_t percent = command.find('%');
  if (percent != std::string_view::npos) {
    command = command.substr(0, percent);
    // A quoted argument ("%1") leaves its opening quote behind: it goes with the blank.
    if (command.size() >= 2 && command.back() == '"' && command[command.size() - 2] == ' ') command.remove_suffix(1);
    if (!command.empty() && command.back() == ' ') command.remove_suffix(1);
  }
  return std::string(description) + " (" + std::string(command) + ")\t\t\t\t\t\t" + std::string(className);
}

std::string ItemProgramText(std::string_view item) {
  size_t open = item.find(" (");
  if (open == std::string_view::npos) {
    size_t tab = item.find('\t');
    return std::string(tab == std::string_view::npos ? item : item.substr(0, tab));
  }
  return std::string(item.substr(0, open));
}

std::string ItemClassName(std::string_view item) {
  size_t tab = item.find('\t');
  if (tab == std::string_view::npos) return "";
  size_t start = item.find_first_not_of('\t', tab);
  return start == std::string_view::npos ? "" : std::string(item.substr(start));
}

std::string ExtensionsCommand(std::string_view value) {
  size_t caret = value.find('^');
  if (caret == std::string_view::npos) return "";
  std::string_view command = value.substr(0, caret);
  while (!command.empty() && command.back() == ' ') command.remove_suffix(1);
  return std::string(command);
}

std::string ChangeTimeText(int year, int month, int day, int hour, int minute, int second) {
  int twelve = hour % 12 == 0 ? 12 : hour % 12;
  char text[64];
  std::snprintf(text, sizeof text, "%d/%d/%d  %d:%02d:%02d%cM", month, day, year, twelve, minute, second,
                hour < 12 ? 'A' : 'P');
  return text;
}

uint32_t GaugeThousands(uint64_t bytes) {
  uint64_t k = bytes / 1000;
  return GaugeFromThousands(static_cast<uint32_t>(k > 0xFFFFFFFFu ? 0xFFFFFFFFu : k));
}

uint32_t PercentCompression(uint32_t originalThousands, uint32_t compressedThousands) {
  if (originalThousands == 0) return 0;
  uint64_t ratio = static_cast<uint64_t>(compressedThousands) * 100 / originalThousands;
  return ratio >= 100 ? 0 : static_cast<uint32_t>(100 - ratio);
}

}  // namespace ql

namespace ql {

uint64_t LineNumberField(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return 0;
    line.remove_prefix(tab + 1);
  }
  uint64_t value = 0;
  for (char c : line) {
    if (c < '0' || c > '9' || value > (UINT64_MAX - 9) / 10) break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

ProgramAndArguments SplitCommandLine(std::string_view text, bool (*exists)(const std::string& path)) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  text.remove_prefix(start);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  auto rest = [&](size_t from) {
    size_t a = text.find_first_not_of(' ', from);
    return a == std::string_view::npos ? std::string() : std::string(text.substr(a));
  };
  if (text.front() == '"') {
    size_t close = text.find('"', 1);
    if (close != std::string_view::npos) return {std::string(text.substr(1, close - 1)), rest(close + 1)};
  }
  for (size_t blank = text.find(' '); blank != std::string_view::npos; blank = text.find(' ', blank + 1)) {
    std::string head(text.substr(0, blank));
    std::string ext = ExtensionOf(head);
    if (IsProgramExtension(ext) || (exists && exists(head)))
      return {head, rest(blank)};
  }
  return {std::string(text), ""};
}

std::string ExtensionsValueFor(std::string_view openCommand, std::string_view extension) {
  std::string command(openCommand);
  for (const char* argument : {"\"%1\"", "%1"}) {
    size_t at = command.rfind(argument);
    if (at != std::string::npos) {
      command.erase(at);
      break;
    }
  }
  while (!command.empty() && command.back() == ' ') command.pop_back();
  return command + " ^." + std::string(extension);
}

}  // namespace ql
