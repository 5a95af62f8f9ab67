#include "browser/drop_rules.h"

#include <cctype>

namespace ql {

DropPlan PlanDrop(int sourceKind, int targetKind, int dropAction) {
  DropPlan p;
  p.move = dropAction == kDropMove;
  p.sourceKind = sourceKind;
  p.targetKind = targetKind;
  const bool fromDir = sourceKind == kDropDirectory;
  const bool fromArchive = sourceKind == kDropZip || sourceKind == kDropArj;
  if (!fromDir && !fromArchive) return p;
  switch (targetKind) {
    case kDropDirectory: p.op = fromDir ? DropOp::CopyFiles : DropOp::ExtractMembers; break;
    case kDropZip:
    case kDropArj: p.op = fromDir ? DropOp::AddFiles : DropOp::TransferMembers; break;
    case kDropDelete: p.op = fromDir ? DropOp::DeleteFiles : DropOp::DeleteMembers; break;
    default: break;
  }
  return p;
}

const char* DragCursorName(bool move, int itemCount) {
  if (itemCount > 1) return move ? "multmove" : "multcopy";
  return move ? "filemov" : "copy";
}

const char* DragCursorFor(DragOver over, bool pickUp, bool move, int itemCount) {
  if (over == DragOver::Nothing) return "nodrop";
  if (pickUp) return DragCursorName(move, itemCount);
  if (over == DragOver::Refuses) return "nodrop";
  return DragCursorName(move, itemCount);
}

uint64_t DropSpaceNeeded(uint64_t selectedBytes, int targetKind, uint64_t archiveSize) {
  if (targetKind == kDropZip || targetKind == kDropArj) return selectedBytes + 2 * archiveSize;
  return selectedBytes;
}

bool DropLacksSpace(uint64_t needed, uint64_t workFree, uint64_t destinationFree, int targetKind,
                    char destinationDrive, bool multiVolume) {
  if (targetKind == kDropDelete) return false;
  const bool shortOfSpace = workFree < needed || destinationFree < needed;
  if (!shortOfSpace) return false;
  const char d = static_cast<char>(std::toupper(static_cast<unsigned char>(destinationDrive)));
  if ((targetKind == kDropZip || targetKind == kDropArj) && (d == 'A' || d == 'B') && multiVolume) return false;
  return true;
}

}  // namespace ql
