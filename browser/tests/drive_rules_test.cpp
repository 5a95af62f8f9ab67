#include "browser/drive_rules.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(DriveRulesTest, KindsFromTheDriveFacts) {
  struct Case {
    DriveFacts facts;
    int kind;
  } cases[] = {
      {{2, 'A', 0, ""}, kDriveFloppy},
      {{2, 'b', 0, ""}, kDriveFloppy},
      {{2, 'E', 0, ""}, kDriveHardDisk},  // a removable drive past B: (a card reader)
      {{3, 'C', 0, ""}, kDriveHardDisk},
      {{4, 'N', 0, ""}, kDriveNetwork},
      {{4, 'N', 59, ""}, kDriveNetworkDisconnected},
      {{4, 'N', 1201, ""}, kDriveNetwork},  // any other refusal keeps the network picture
      {{4, 'N', 2250, ""}, kDriveNetwork},
      {{5, 'D', 0, ""}, kDriveCdRom},
      {{6, 'R', 0, "RAMDRIVE"}, kDriveRamDisk},
      {{6, 'R', 0, "my ramdisk"}, kDriveRamDisk},
      {{6, 'R', 0, "SCRATCH"}, kDriveHardDisk},
      {{6, 'R', 0, ""}, kDriveHardDisk},
      {{3, 'C', 0, "RAMDISK"}, kDriveHardDisk},  // the label counts only for RAM disks
      {{0, 'Q', 0, ""}, kDriveHardDisk},
      {{1, 'Q', 0, ""}, kDriveHardDisk},
      {{7, 'Q', 0, ""}, kDriveHardDisk},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DriveKindOf(c.facts), c.kind) << c.facts.type << " " << c.facts.letter << " " << c.facts.networkAnswer;
}

TEST(DriveRulesTest, PicturesByKind) {
  const char* expected[] = {"floppy", "harddrive", "netdrv", "cdrom", "ramdrive", "netdisabled"};
  for (int kind = 0; kind < 6; ++kind) EXPECT_STREQ(DriveKindBitmap(kind), expected[kind]) << kind;
  EXPECT_STREQ(DriveKindBitmap(-1), "harddrive");
  EXPECT_STREQ(DriveKindBitmap(6), "harddrive");
}

TEST(DriveRulesTest, ArrowKeysMoveToTheNeighbour) {
  struct Case {
    int count, from;
    bool right;
    int to;
  } cases[] = {
      {4, 0, true, 1},   {4, 1, true, 2},  {4, 3, true, 2},   // the last goes back one
      {2, 1, true, 1},   // ... but never to the first
      {3, 2, true, 1},   {1, 0, true, 0},  {4, 2, false, 1}, {4, 1, false, 0},
      {4, 0, false, 1},  // the first goes on to the right
      {1, 0, false, 0},  {0, 0, true, 0},  {3, 5, true, 5},  {3, -1, false, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DriveNeighbour(c.count, c.from, c.right), c.to) << c.count << " " << c.from << " " << c.right;
}

}  // namespace
}  // namespace ql
