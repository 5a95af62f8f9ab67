#include "browser/drive_rules.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace ql {

namespace {

constexpr unsigned kTypeRemovable = 2;
constexpr unsigned kTypeFixed = 3;
constexpr unsigned kTypeRemote = 4;
constexpr unsigned kTypeCdRom = 5;
constexpr unsigned kTypeRamDisk = 6;
constexpr unsigned long kUnexpectedNetworkError = 59;

bool LabelNamesRamDisk(std::string_view label) {
  std::string upper(label);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper.find("RAMDRIVE") != std::string::npos || upper.find("RAMDISK") != std::string::npos;
}

}  // namespace

int DriveKindOf(const DriveFacts& facts) {
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(facts.letter)));
  switch (facts.type) {
    case kTypeRemovable:
      return letter == 'A' || letter == 'B' ? kDriveFloppy : kDriveHardDisk;
    case kTypeFixed:
      return kDriveHardDisk;
    case kTypeRemote:
      return facts.networkAnswer == kUnexpectedNetworkError ? kDriveNetworkDisconnected : kDriveNetwork;
    case kTypeCdRom:
      return kDriveCdRom;
    case kTypeRamDisk:
      return LabelNamesRamDisk(facts.label) ? kDriveRamDisk : kDriveHardDisk;
    default:
      return kDriveHardDisk;
  }
}

const char* DriveKindBitmap(int kind) {
  switch (kind) {
    case kDriveFloppy: return "floppy";
    case kDriveNetwork: return "netdrv";
    case kDriveCdRom: return "cdrom";
    case kDriveRamDisk: return "ramdrive";
    case kDriveNetworkDisconnected: return "netdisabled";
    default: return "harddrive";
  }
}

int DriveNeighbour(int count, int from, bool right) {
  if (count <= 0 || from < 0 || from >= count) return from;
  if (right) {
    if (from + 1 < count) return from + 1;
    return from - 1 > 0 ? from - 1 : from;
  }
  if (from > 0) return from - 1;
  return from + 1 < count ? from + 1 : from;
}

}  // namespace ql
