// The drive bar's rules that need no window: the kind of a drive button (which picture it shows)
// from the platform's drive facts, and where the arrow keys move the keyboard focus.
#pragma once
#include <string_view>

namespace ql {

// Drive kinds, kept in a drive button (word 4), each with its picture.
enum DriveKind : int {
  kDriveFloppy = 0,
  kDriveHardDisk = 1,
  kDriveNetwork = 2,
  kDriveCdRom = 3,
  kDriveRamDisk = 4,
  kDriveNetworkDisconnected = 5,
};

// What the platform says about one drive: its type (the GetDriveType values: 2 removable,
// 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk, anything else unknown), the answer of the network
// connection query (asked for remote drives only; 0 is success) and the volume label (asked for
// RAM disks only).
struct DriveFacts {
  unsigned type = 0;
  char letter = 'C';
  unsigned long networkAnswer = 0;
  std::string_view label;
};

// A removable A: or B: is a floppy, other removable drives and fixed drives hard disks; a remote
// drive is a network drive unless the query answered 59 (an unexpected network error:
// disconnected); a RAM disk only when its label says "RAMDRIVE" or "RAMDISK" (else a hard disk).
int DriveKindOf(const DriveFacts& facts);

// The picture of a kind; kinds outside 0 to 5 draw the hard disk.
const char* DriveKindBitmap(int kind);

// Where the focus goes from the button at `from` of `count` buttons (positions 0 to count-1).
// Right arrow: the next one to the right, else the nearest one to the left but never the first;
// any other key: the next one to the left, else the nearest one to the right. `from` itself when
// there is nowhere to go.
int DriveNeighbour(int count, int from, bool right);

}  // namespace ql
