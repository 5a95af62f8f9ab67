#include "browser/item_format.h"

#include <cctype>

#include "common/mask.h"
#include "common/text_and_paths.h"

namespace ql {

namespace {

struct PictureName {
  ItemPicture p;
  const char* name;
};
const PictureName kPictureNames[] = {
    {ItemPicture::ArjFile, "arjfile"},     {ItemPicture::ZipFile, "zipfile"},
    {ItemPicture::WaveFile, "wavefile"},   {ItemPicture::AviFile, "avifile"},
    {ItemPicture::ExeFile, "exefile"},     {ItemPicture::Floppy, "lbfd"},
    {ItemPicture::HardDisk, "lbhd"},       {ItemPicture::NetDrive, "lbnetdrive"},
    {ItemPicture::NetDisabled, "lbnetdisabled"}, {ItemPicture::CdRom, "lbcdrom"},
    {ItemPicture::RamDrive, "lbramdrive"}, {ItemPicture::Parent, "doubledots"},
    {ItemPicture::Directory, "dir"},       {ItemPicture::Comment, "comment"},
    {ItemPicture::TextFile, "textfile"},   {ItemPicture::File, "file"},
};

ItemPicture DrivePicture(char letter, const DriveFacts& d) {
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  switch (d.type) {
    case DriveType::Removable:
      return (up == 'A' || up == 'B') ? ItemPicture::Floppy : ItemPicture::HardDisk;
    case DriveType::Fixed:
      return ItemPicture::HardDisk;
    case DriveType::Remote:
      return d.connectionResult == 59 ? ItemPicture::NetDisabled : ItemPicture::NetDrive;
    case DriveType::CdRom:
      return ItemPicture::CdRom;
    case DriveType::RamDisk: {
      std::string l = Upper(d.label);
      if (l.find("RAMDRIVE") != std::string::npos || l.find("RAMDISK") != std::string::npos)
        return ItemPicture::RamDrive;
      return ItemPicture::HardDisk;
    }
    default:
      return ItemPicture::HardDisk;
  }
}

std::string_view Extension(std::string_view name) {
  size_t slash = name.find_last_of("\\/");
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return name.substr(dot + 1);
}

}  // namespace

const char* ItemPictureName(ItemPicture p) {
  for (const auto& n : kPictureNames)
    if (n.p == p) return n.name;
  return "file";
}

std::string_view ItemNameField(std::string_view line, bool shortNames) {
  size_t t1 = line.find('\t');
  if (t1 == std::string_view::npos) return line;
  if (!shortNames) return line.substr(0, t1);
  size_t t2 = line.find('\t', t1 + 1);
  if (t2 == std::string_view::npos) return line;
  return line.substr(t1 + 1, t2 - t1 - 1);
}

ItemPicture ChooseItemPicture(std::string_view line, bool shortNames, const DriveFacts& drive,
                              bool (*associated)(std::string_view)) {
  std::string_view name = ItemNameField(line, shortNames);
  if (MatchFileMask(name, "*.ARJ")) return ItemPicture::ArjFile;
  if (MatchFileMask(name, "*.ZIP")) return ItemPicture::ZipFile;
  if (MatchFileMask(name, "*.wav")) return ItemPicture::WaveFile;
  if (MatchFileMask(name, "*.avi")) return ItemPicture::AviFile;
  for (const char* m : {"*.EXE", "*.COM", "*.BAT", "*.PIF"})
    if (MatchFileMask(name, m)) return ItemPicture::ExeFile;
  switch (ClassifyDirLine(line)) {
    case DirLineKind::Drive: return DrivePicture(line[2], drive);
    case DirLineKind::Parent: return ItemPicture::Parent;
    case DirLineKind::Directory: return ItemPicture::Directory;
    case DirLineKind::Marker: return ItemPicture::Comment;
    default: break;
  }
  std::string_view ext = Extension(name);
  if (associated && !ext.empty() && associated(ext)) return ItemPicture::TextFile;
  return ItemPicture::File;
}

std::string ItemDisplayText(std::string_view line, bool shortNames, const DriveFacts& drive) {
  if (IsDriveLine(line)) {
    std::string s;
    s.push_back(line[2]);
    s.push_back(':');
    std::string volume;
    switch (drive.type) {
      case DriveType::Fixed:
      case DriveType::RamDisk:
        if (!drive.label.empty()) {
          std::string l;
          for (char c : drive.label)
            if (c != '.') l.push_back(c);
          volume = "[" + l + "]";
        }
        break;
      case DriveType::Remote:
        volume = Upper(drive.remoteName);
        break;
      case DriveType::CdRom:
        volume = "CD-ROM";
        break;
      default:
        break;
    }
    if (!volume.empty()) s += "  " + volume;
    return s;
  }
  if (IsDirectoryLine(line) || IsParentLine(line)) {
    std::string_view name = ItemNameField(line, shortNames);
    if (name.empty() || name[0] != '[') name = line;
    size_t close = name.find(']');
    if (close == std::string_view::npos) return std::string(name.substr(1));
    return std::string(name.substr(1, close - 1));
  }
  if (IsMarkerLine(line)) {
    size_t colon = line.find(':');
    return std::string(colon == std::string_view::npos ? line : line.substr(0, colon + 1));
  }
  line = LineWithoutReference(line);  // a member's reference is for the archivers, not for the eye
  std::string s(ItemNameField(line, shortNames));
  size_t t1 = line.find('\t');
  size_t t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
  if (t2 != std::string_view::npos) {
    s.push_back('\t');
    s.append(line.substr(t2 + 1));
  }
  return s;
}

bool UsesNameSample(std::string_view nameField) { return nameField.size() < 3; }

ColumnSet MeasureColumns(int kind, const SampleWidths& w) {
  ColumnSet c;
  const int B = w.bitmap, G = w.gap, N = w.name, S = w.size, D = w.date, R = w.ratio, X = w.charWidth;
  int* p = c.pos;  // p[0] is the first column after the name
  p[0] = B + G + N;
  p[1] = p[0] + G + S;
  if (kind == kListZip) {
    c.extent = B + 5 * G + N + 2 * S + R + 2 * D + X;
    p[2] = p[1] + G + S;
    p[3] = p[2] + R + G;
    p[4] = p[3] + G + D;
    c.count = 5;
  } else if (kind == kListArj) {
    c.extent = B + 4 * G + N + 2 * S + 2 * D + X;
    p[2] = p[1] + G + S;
    p[3] = p[2] + G + D;
    c.count = 4;
  } else {
    c.extent = B + 3 * G + N + S + 2 * D + X;
    p[2] = p[1] + G + D;
    c.count = 3;
  }
  return c;
}

int AdjustSplitter(int pos, int clientWidth) {
  if (pos == 0) pos = 280;
  if (pos < 130) pos = 125;
  if (pos > clientWidth) pos = clientWidth / 2;
  return pos;
}

int ListHeight(int clientHeight, int lineHeight, int itemHeight) {
  if (itemHeight <= 0) return 0;
  int h = (clientHeight - 4 - lineHeight) / itemHeight * itemHeight;
  return h < 0 ? 0 : h;
}

}  // namespace ql
