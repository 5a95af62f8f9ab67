#include "browser/window_rules.h"

#include <cstdio>
#include <cstdlib>

#include "common/text_and_paths.h"
#include "readers/listing_lines.h"


namespace ql {

namespace {

bool ExtensionIs(std::string_view name, std::string_view ext) { return EqualNoCase(FinalExtension(name), ext); }

bool IsProgramExtension(std::string_view ext) {
  for (const char* p : {"EXE", "COM", "BAT", "PIF"})
    if (EqualNoCase(ext, p)) return true;
  return false;
}

}  // namespace

std::string_view BaseNameOf(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FinalExtension(std::string_view name) {
  std::string_view base = BaseNameOf(name);
  size_t dot = base.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : base.substr(dot + 1);
}

bool IsArjVolumeExtension(std::string_view ext) {
  if (ext.size() != 3 || UpperAscii(ext[0]) != 'A') return false;
  if (ext[1] < '0' || ext[1] > '9' || ext[2] < '0' || ext[2] > '9') return false;
  return !(ext[1] == '0' && ext[2] == '0');
}

char DriveLineLetter(std::string_view name) {
  if (name.size() == 5 && name[0] == '[' && name[1] == '-' && name[3] == '-' && name[4] == ']') {
    char c = name[2];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return static_cast<char>(c | 0x20);
  }
  return 0;
}

std::string DirectoryLineName(std::string_view name) {
  if (name.size() < 3 || name.front() != '[' || name.back() != ']' || DriveLineLetter(name)) return std::string();
  return std::string(name.substr(1, name.size() - 2));
}

DirItemAction ClassifyDirectoryItem(std::string_view name) {
  if (name.empty()) return DirItemAction::None;
  if (DriveLineLetter(name)) return DirItemAction::Drive;
  if (!DirectoryLineName(name).empty()) return DirItemAction::Directory;
  std::string_view ext = FinalExtension(name);
  if (EqualNoCase(ext, "ZIP")) return DirItemAction::OpenZip;
  if (EqualNoCase(ext, "ARJ") || IsArjVolumeExtension(ext)) return DirItemAction::OpenArj;
  if (EqualNoCase(ext, "EXE")) return DirItemAction::RunExe;
  if (IsProgramExtension(ext)) return DirItemAction::RunProgram;
  return DirItemAction::OpenWithShell;
}

MemberAction ClassifyArchiveMember(std::string_view name) {
  DirLineKind kind = ClassifyDirLine(name);
  if (kind == DirLineKind::Marker) return MemberAction::ShowComment;
  if (kind != DirLineKind::File) return MemberAction::None;
  std::string_view base = BaseNameOf(name);
  if (base.empty()) return MemberAction::None;  // a directory entry "DOCS\"
  if (IsProgramExtension(FinalExtension(base))) return MemberAction::RunFromArchive;
  if (ExtensionIs(base, "ZIP") || ExtensionIs(base, "ARJ")) return MemberAction::RefuseArchive;
  return MemberAction::View;
}

std::optional<std::string> ComposeDisplayMask(MaskBox box, bool turnedOn, MaskBoxes* b) {
  const std::string programs = kProgramsPiece;
  std::string s;
  if (turnedOn) {
    switch (box) {
      case MaskBox::AllFiles:
        *b = MaskBoxes{};
        b->allFiles = true;
        return std::string("*.*");
      case MaskBox::Programs:
        b->allFiles = false;
        s = programs;
        if (b->arj) s += "; *.arj";
        if (b->zip) s += "; *.zip";
        if (b->allArchives) s += "; *.arj; *.zip";
        return s;
      case MaskBox::ArjFiles:
      case MaskBox::ZipFiles: {
        const bool arj = box == MaskBox::ArjFiles;
        b->allFiles = b->allArchives = false;
        s = arj ? "*.ARJ" : "*.ZIP";
        if (b->programs) s += "; " + programs;
        if (arj ? b->zip : b->arj) s += arj ? "; *.zip" : "; *.arj";
        return s;
      }
      case MaskBox::AllArchives:
        b->allFiles = b->arj = b->zip = false;
        s = "*.arj; *.zip";
        if (b->programs) s += "; " + programs;
        return s;
    }
    return std::nullopt;
  }
  switch (box) {
    case MaskBox::AllFiles:
      return std::nullopt;
    case MaskBox::Programs:
      if (b->arj) s += "; *.arj";
      if (b->zip) s += "; *.zip";
      if (b->allArchives) s += "; *.arj; *.zip";
      if (b->allFiles) s += "; *.*";
      break;
    case MaskBox::ArjFiles:
    case MaskBox::ZipFiles: {
      const bool arj = box == MaskBox::ArjFiles;
      if (b->programs) s += "; " + programs;
      if (arj ? b->zip : b->arj) s += arj ? "; *.zip" : "; *.arj";
      if (b->allFiles) s += "; *.*";
      break;
    }
    case MaskBox::AllArchives:
      b->arj = b->zip = false;
      if (b->allFiles) s += "; *.*";
      if (b->programs) s += "; " + programs;
      break;
  }
  // The pieces each begin with "; ": the first separator goes, leaving its blank.
  if (!s.empty() && s[0] == ';') s.erase(0, 1);
  return s;
}

SavedArchiveKind ClassifySavedArchive(std::string_view value) {
  if (value == kEmptyArchiveValue) return SavedArchiveKind::Empty;
  std::string_view base = BaseNameOf(value);
  if (base.empty() || value.size() < 2) return SavedArchiveKind::Unknown;
  std::string_view ext = FinalExtension(base);
  if (EqualNoCase(ext, "ZIP")) return SavedArchiveKind::Zip;
  if (EqualNoCase(ext, "ARJ") || IsArjVolumeExtension(ext)) return SavedArchiveKind::Arj;
  if (EqualNoCase(ext, "EXE")) return SavedArchiveKind::ZipProgram;
  return SavedArchiveKind::Unknown;
}

std::optional<SavedCoords> ParseSavedCoords(std::string_view text) {
  long v[5];
  std::string s(text);
  const char* p = s.c_str();
  for (long& n : v) {
    char* end = nullptr;
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return std::nullopt;
    n = std::strtol(p, &end, 10);
    if (end == p || n < -32768 || n > 32767) return std::nullopt;
    p = end;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) return std::nullopt;
  if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
  SavedCoords c;
  c.x = static_cast<int>(v[0]);
  c.y = static_cast<int>(v[1]);
  c.width = static_cast<int>(v[2]);
  c.height = static_cast<int>(v[3]);
  c.splitter = v[4] < 130 ? 125 : static_cast<int>(v[4]);
  return c;
}

std::string FormatSavedCoords(const SavedCoords& c) {
  char text[64];
  std::snprintf(text, sizeof text, "%d %d %d %d %d", c.x, c.y, c.width, c.height, c.splitter);
  return text;
}

SavedShow ParseSavedShow(std::string_view text) {
  if (EqualNoCase(text, "Iconic")) return SavedShow::Iconic;
  if (EqualNoCase(text, "Zoomed")) return SavedShow::Zoomed;
  return SavedShow::Restored;
}

const char* SavedShowText(SavedShow show) {
  switch (show) {
    case SavedShow::Iconic: return "Iconic";
    case SavedShow::Zoomed: return "Zoomed";
    default: return "Restored";
  }
}

std::string SavedWindowSection(int n) { return "Window" + std::to_string(n); }

}  // namespace ql
