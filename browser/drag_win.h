// Dragging the selection of a list: the drag state, its cursors, the end of a drag, drops onto
// other programs, and the tool bar's trash can.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// The drop action the operations read (347 copy, 348 move) and the window of the last drop.
extern int g_dropAction;
extern HWND g_dropTarget;

// Whether a drag (by the mouse or a pick-up) is in progress.
bool DragInProgress();

// The Add and Move commands: `list` takes the synthetic click at (-10, -10) and a pick-up drag
// starts at once, in the mode of the command; the next click on a target drops there.
void BeginPickUp(HWND list, bool move);

// The list box's drag handling, called first by its window procedure. True when the message was
// handled (`*result` holds the answer); false passes it on.
bool HandleDragMessage(HWND list, UINT m, WPARAM w, LPARAM l, LRESULT* result);

// A drop-files block for other programs: the 20-byte header (file list at 20, the drop point, the
// non-client flag, narrow names), the paths each ending in NUL, and a final NUL. Null when it
// cannot be allocated.
HGLOBAL BuildDropFiles(const std::vector<std::string>& paths, POINT point, bool nonClient);

// Hands `paths` to `target`, a window of this or another program, as files dropped at `screen`.
// Within this program the drop-files message is posted; another program gets them through OLE
// drag and drop (which Windows passes on to windows that only accept dropped files).
// False when the block could not be built (3050 was shown) or the target took nothing.
bool DropPathsOnWindow(HWND owner, HWND target, POINT screen, const std::vector<std::string>& paths);

// The tool bar's trash can: a `qltoolbutton` with the text "Trash Can". Registered with the bars'
// classes; created at the right end of the tool bar. A click on it deletes the focused list's
// selection (the frame's command 961, also the Del key).
bool RegisterTrashCanClass(HINSTANCE instance);
HWND CreateTrashCan(HWND toolBar);
bool IsTrashCan(HWND h);
extern HWND g_trashCan;

}  // namespace ql
