#include "fileops/file_rules.h"
#include "common/text_and_paths.h"

#include <cstdio>

namespace ql {

namespace {

bool IsRoot(std::string_view dir) { return dir.size() == 3 && dir[1] == ':' && dir[2] == '\\'; }

}  // namespace

std::string_view StripBrackets(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') return name.substr(1, name.size() - 2);
  return name;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  out.append(name);
  return out;
}

std::string NormalizeTargetDir(std::string_view dir) {
  dir = Trim(dir);
  std::string out(dir);
  while (out.size() > 1 && (out.back() == '\\' || out.back() == '/') && !IsRoot(out)) out.pop_back();
  if (out.size() == 2 && out[1] == ':') out += '\\';
  return out;
}

bool SameDirectoryText(std::string_view a, std::string_view b) {
  return EqualNoCase(NormalizeTargetDir(a), NormalizeTargetDir(b));
}

bool NeedsShortTargetName(std::string_view sourceFileSystem, std::string_view targetFileSystem) {
  return !EqualNoCase(sourceFileSystem, "FAT") && EqualNoCase(targetFileSystem, "FAT");
}

std::string TargetFileName(std::string_view longName, std::string_view shortName, std::string_view sourceFileSystem,
                           std::string_view targetFileSystem) {
  if (NeedsShortTargetName(sourceFileSystem, targetFileSystem) && !shortName.empty()) return std::string(shortName);
  return std::string(longName);
}

bool FitsShortName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string_view::npos && ext.empty()) return false;
  for (std::string_view part : {base, ext})
    for (char c : part) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || c == ' ' || c == '.') return false;
      for (char bad : std::string_view("\"*+,/:;<=>?[\\]|"))
        if (c == bad) return false;
    }
  return true;
}

bool IsValidNewName(std::string_view name) {
  if (Trim(name).empty()) return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20) return false;
    for (char bad : std::string_view("<>\"|?*"))
      if (c == bad) return false;
  }
  return true;
}

std::string OverwriteDateText(int year, int month, int day, int hour, int minute) {
  char ampm = hour < 12 ? 'a' : 'p';
  int h = hour > 12 ? hour - 12 : hour;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d      %02d:%02d%c", month, day, year, h, minute, ampm);
  return buf;
}

std::string DragNamesText(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i == 6) {
      out += "...";
      break;
    }
    out += names[i];
    out += ' ';
  }
  return out;
}

}  // namespace ql
