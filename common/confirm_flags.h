// The ConfirmFlags bits of the settings: which actions ask first, and whether the open archive
// windows are saved at exit. The key of each is in the settings store.
#pragma once
#include <cstdint>

namespace ql {

enum ConfirmFlag : uint16_t {
  kConfirmReplace = 0x01,    // copy
  kConfirmDelete = 0x02,     // delete
  kConfirmDirDelete = 0x04,  // del_dir
  kConfirmMove = 0x08,       // move
  kConfirmMouse = 0x10,      // drag_n_drop
  kConfirmTargetDir = 0x20,  // target_dir
  kSaveArchiveNames = 0x40,  // switches/SaveArchiveNames
};

}  // namespace ql
