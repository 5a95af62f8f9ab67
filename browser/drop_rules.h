// What a drop does, decided without any window: the operation for a source and a target kind,
// the drag cursor, the space a drop needs and the names its confirmation shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

// List kinds and target kinds: a directory, a ZIP or an ARJ archive, and the trash can.
constexpr int kDropDirectory = 1;
constexpr int kDropZip = 2;
constexpr int kDropArj = 3;
constexpr int kDropDelete = 4;

// The drop action the operations read: copy or move.
constexpr int kDropCopy = 347;
constexpr int kDropMove = 348;

enum class DropOp {
  None,
  CopyFiles,          // directory -> directory: copy or move the files (by `move`)
  ExtractMembers,     // archive -> directory: extract (and delete the members afterwards when `move`)
  AddFiles,           // directory -> archive: add or move the files into the archive
  TransferMembers,    // archive -> archive: extract to the work area, then add to the target
  DeleteFiles,        // directory -> trash can
  DeleteMembers,      // archive -> trash can
};

struct DropPlan {
  DropOp op = DropOp::None;
  bool move = false;    // the drop action was a move
  int sourceKind = 0;   // kDropDirectory, kDropZip or kDropArj
  int targetKind = 0;   // kDropDirectory .. kDropDelete
};

// The operation of a drop from a list of `sourceKind` onto a target of `targetKind` with the
// drop action `dropAction` (kDropCopy or kDropMove). Unknown kinds give DropOp::None.
DropPlan PlanDrop(int sourceKind, int targetKind, int dropAction);

// The drag cursor's resource name for the mode and the number of selected items.
const char* DragCursorName(bool move, int itemCount);

// What lies under the pointer during a drag, as the cursor rules see it.
enum class DragOver {
  Nothing,         // no window
  DropTarget,      // a list, the program's MDI client, a drive button or the trash can
  AcceptsFiles,    // another window that accepts dropped files
  Refuses,         // any other window
};
// The cursor's resource name while dragging over `over`.
const char* DragCursorFor(DragOver over, bool pickUp, bool move, int itemCount);

// The space a drop needs on the destination: the selected items' lengths, and for an archive
// target twice the archive's own size besides (it is rewritten beside the old one).
uint64_t DropSpaceNeeded(uint64_t selectedBytes, int targetKind, uint64_t archiveSize);
// Whether a drop is refused for space: either the work drive or the destination has less free
// than needed. An archive on a floppy (A or B) with multiple volumes on is never refused.
bool DropLacksSpace(uint64_t needed, uint64_t workFree, uint64_t destinationFree, int targetKind,
                    char destinationDrive, bool multiVolume);

}  // namespace ql
