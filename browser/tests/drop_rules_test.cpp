// The operation, cursor and space rules of a drop.
#include "browser/drop_rules.h"
#include "readers/listing_lines.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(PlanDrop, EverySourceAndTargetKind) {
  struct Case {
    int source, target, action;
    DropOp op;
    bool move;
  } cases[] = {
      {kDropDirectory, kDropDirectory, kDropCopy, DropOp::CopyFiles, false},
      {kDropDirectory, kDropDirectory, kDropMove, DropOp::CopyFiles, true},
      {kDropZip, kDropDirectory, kDropCopy, DropOp::ExtractMembers, false},
      {kDropArj, kDropDirectory, kDropMove, DropOp::ExtractMembers, true},
      {kDropDirectory, kDropZip, kDropCopy, DropOp::AddFiles, false},
      {kDropDirectory, kDropArj, kDropMove, DropOp::AddFiles, true},
      {kDropZip, kDropZip, kDropCopy, DropOp::TransferMembers, false},
      {kDropArj, kDropZip, kDropCopy, DropOp::TransferMembers, false},
      {kDropZip, kDropArj, kDropMove, DropOp::TransferMembers, true},
      {kDropArj, kDropArj, kDropCopy, DropOp::TransferMembers, false},
      {kDropDirectory, kDropDelete, kDropCopy, DropOp::DeleteFiles, false},
      {kDropZip, kDropDelete, kDropCopy, DropOp::DeleteMembers, false},
      {kDropArj, kDropDelete, kDropMove, DropOp::DeleteMembers, true},
      // Kinds nobody has: nothing runs.
      {0, kDropZip, kDropCopy, DropOp::None, false},
      {kDropDelete, kDropDirectory, kDropCopy, DropOp::None, false},
      {kDropZip, 0, kDropCopy, DropOp::None, false},
      {kDropDirectory, 5, kDropCopy, DropOp::None, false},
  };
  for (const Case& c : cases) {
    DropPlan p = PlanDrop(c.source, c.target, c.action);
    EXPECT_EQ(c.op, p.op) << c.source << " -> " << c.target;
    EXPECT_EQ(c.move, p.move) << c.source << " -> " << c.target;
  }
}

TEST(DragCursor, ModeCountAndWindowUnderThePointer) {
  struct Case {
    DragOver over;
    bool pickUp, move;
    int count;
    const char* cursor;
  } cases[] = {
      {DragOver::DropTarget, false, false, 1, "copy"},
      {DragOver::DropTarget, false, false, 3, "multcopy"},
      {DragOver::DropTarget, false, true, 1, "filemov"},
      {DragOver::DropTarget, false, true, 3, "multmove"},
      {DragOver::AcceptsFiles, false, true, 2, "multmove"},
      {DragOver::Refuses, false, false, 1, "nodrop"},
      {DragOver::Nothing, false, false, 1, "nodrop"},
      // A pick-up keeps the command's cursor over any window, but not over none.
      {DragOver::Refuses, true, true, 1, "filemov"},
      {DragOver::Refuses, true, false, 4, "multcopy"},
      {DragOver::Nothing, true, false, 1, "nodrop"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.cursor, DragCursorFor(c.over, c.pickUp, c.move, c.count))
        << static_cast<int>(c.over) << " pickUp " << c.pickUp << " move " << c.move << " count " << c.count;
}

TEST(DropSpace, NeededAndRefused) {
  EXPECT_EQ(100u, DropSpaceNeeded(100, kDropDirectory, 5000));
  EXPECT_EQ(100u, DropSpaceNeeded(100, kDropDelete, 5000));
  EXPECT_EQ(10100u, DropSpaceNeeded(100, kDropZip, 5000));
  EXPECT_EQ(10100u, DropSpaceNeeded(100, kDropArj, 5000));
  // Above 4 GB the sums stay exact.
  EXPECT_EQ(0x300000000ull, DropSpaceNeeded(0x100000000ull, kDropZip, 0x100000000ull));

  struct Case {
    uint64_t needed, work, dest;
    int target;
    char drive;
    bool multi, refused;
  } cases[] = {
      {100, 1000, 1000, kDropDirectory, 'C', false, false},
      {100, 1000, 100, kDropDirectory, 'C', false, false},
      {100, 99, 1000, kDropDirectory, 'C', false, true},
      {100, 1000, 99, kDropZip, 'C', false, true},
      {100, 1000, 99, kDropZip, 'a', true, false},  // a spanned archive on a floppy goes on
      {100, 1000, 99, kDropArj, 'B', true, false},
      {100, 1000, 99, kDropArj, 'B', false, true},
      {100, 1000, 99, kDropDirectory, 'A', true, true},  // only archives span disks
      {100, 0, 0, kDropDelete, 'C', false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.refused, DropLacksSpace(c.needed, c.work, c.dest, c.target, c.drive, c.multi))
        << c.needed << " " << c.work << " " << c.dest << " " << c.target << " " << c.drive;
}

TEST(DropLines, DriveAndParentLines) {
  EXPECT_TRUE(IsDriveLine("[-c-]"));
  EXPECT_FALSE(IsDriveLine("[DOCS]\t..."));
  EXPECT_TRUE(IsParentLine("[..]\t"));
  EXPECT_FALSE(IsParentLine("[DOCS]"));
  EXPECT_FALSE(IsParentLine("..TXT"));
  EXPECT_FALSE(IsDriveLine(""));
}

}  // namespace
}  // namespace ql
