#include "app/settings_rules.h"

#include <cctype>
#include <cstdio>

#include "common/mask.h"
#include "common/text_and_paths.h"

namespace ql {

namespace {

}  // namespace

bool IsOnValue(std::string_view value) { return EqualNoCase(value, "ON"); }
bool IsTrueValue(std::string_view value) { return EqualNoCase(value, "TRUE"); }

std::string WithoutTrailingBackslashes(std::string_view dir) {
  while (!dir.empty() && dir.back() == '\\') dir.remove_suffix(1);
  return std::string(dir);
}

std::string DirectoryValue(std::optional<std::string_view> value, std::string_view missingDefault,
                           std::string_view programDirectory) {
  if (!value) return WithoutTrailingBackslashes(missingDefault);
  if (value->empty()) return WithoutTrailingBackslashes(programDirectory);
  return WithoutTrailingBackslashes(*value);
}

std::optional<long> DecimalValue(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < -2147483647LL - 1 || v > 2147483647LL) return std::nullopt;
  return static_cast<long>(v);
}

std::optional<unsigned long> UnsignedDecimalValue(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<unsigned long>(v);
}

std::optional<long> DecimalValueWithin(std::string_view text, long low, long high) {
  std::optional<long> v = DecimalValue(text);
  if (!v || *v < low || *v > high) return std::nullopt;
  return v;
}

std::optional<long> FontHeightValue(std::string_view text, int perInch) {
  const long most = (kMaxFontPoints * (perInch > 0 ? perInch : 96) + 71) / 72;
  std::optional<long> v = DecimalValueWithin(text, -most, most);
  if (!v || *v == 0) return std::nullopt;
  return v;
}

std::optional<long> FontPointsValue(std::string_view text) { return DecimalValueWithin(text, 1, kMaxFontPoints); }

std::optional<long> FontWeightValue(std::string_view text) { return DecimalValueWithin(text, 0, 1000); }

std::optional<int> CoordinateValue(std::string_view text) {
  std::optional<long> v = DecimalValue(text);
  if (!v || *v < -100 || *v > 1000000) return std::nullopt;
  return static_cast<int>(*v);
}

WinStatus ParseWinStatus(std::string_view text) {
  if (EqualNoCase(text, "Maximized")) return WinStatus::Maximized;
  if (EqualNoCase(text, "Minimized")) return WinStatus::Minimized;
  return WinStatus::Normal;
}

const char* WinStatusText(WinStatus status) {
  switch (status) {
    case WinStatus::Maximized: return "Maximized";
    case WinStatus::Minimized: return "Minimized";
    default: return "Normal";
  }
}

Mode ChooseStartMode(std::string_view modeValue, bool commandLineGiven) {
  if (EqualNoCase(modeValue, "Manager")) return Mode::Manager;
  if (EqualNoCase(modeValue, "Express") && commandLineGiven) return Mode::Manager;
  return Mode::Express;
}

std::string ProgramDirectoryOf(std::string_view modulePath) {
  size_t slash = modulePath.rfind('\\');
  if (slash == std::string_view::npos) return std::string();
  return std::string(modulePath.substr(0, slash));
}

std::string ProgramFilePath(std::string_view modulePath, std::string_view name) {
  size_t cut = modulePath.find_last_of("\\:");
  std::string path(cut == std::string_view::npos ? std::string_view() : modulePath.substr(0, cut + 1));
  if (path.size() + 13 >= kMaxPath) return path + "?";
  return path + std::string(name);
}

std::string AssociationCommand(std::string_view modulePath) {
  std::string cmd;
  if (modulePath.find(' ') != std::string_view::npos)
    cmd = "\"" + std::string(modulePath) + "\"";
  else
    cmd = std::string(modulePath);
  return cmd + " %1";
}

std::string CommandLinePath(std::string_view commandLine) {
  std::string_view s = Trim(commandLine);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Trim(s.substr(1, s.size() - 2));
  return std::string(s);
}

bool CommandLineFits(std::string_view path) { return path.size() < kCommandLineBufferSize; }

StartRequest ClassifyStartPath(std::string_view path) {
  if (path.empty()) return StartRequest::None;
  if (MatchFileMask(path, "*.ZIP") || MatchFileMask(path, "*.EXE")) return StartRequest::Zip;
  if (MatchFileMask(path, "*.ARJ")) return StartRequest::Arj;
  return StartRequest::Invalid;
}

StartRequest ClassifyHandedPath(std::string_view path) {
  if (path.empty()) return StartRequest::None;
  if (MatchFileMask(path, "*.ZIP")) return StartRequest::Zip;
  if (MatchFileMask(path, "*.ARJ") || MatchFileMask(path, "*.A0?")) return StartRequest::Arj;
  return StartRequest::None;
}

std::string DirectoryPartOf(std::string_view path) {
  size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string();
  return std::string(path.substr(0, slash + 1));
}


}  // namespace ql
