// Browser windows: the window table, the split MDI children with their two lists and column headers,
// the directory lister, loading an archive into a window, and the drawing of list items.
#pragma once
#include "common/help_contexts.h"
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "readers/readers_win.h"

namespace ql {

// A drop, as the drop dispatcher receives it: the list the items come from and the window they
// were dropped on (none for the Delete command, which deletes the selection).
struct DropRecord {
  HWND sourceList = nullptr;
  int32_t zero = 0;
  HWND target = nullptr;
  int32_t rest[4] = {};
};

// What the browser windows take from the program around them. The frame fills it in at start
// (tests fill it in themselves); the callbacks may be absent.
struct BrowserHost {
  HINSTANCE instance = nullptr;
  HWND mdiClient = nullptr;
  HFONT listFont = nullptr;
  int lineHeight = 16;  // ListLineHeight
  int charWidth = 7;    // ListCharWidth
  // The system classes the superclasses chain to, and the base class's own extra bytes.
  WNDPROC listBoxBase = nullptr;
  int listBoxBaseExtra = 0;
  WNDPROC staticBase = nullptr;
  int staticBaseExtra = 0;
  HICON zipIcon = nullptr, arjIcon = nullptr, noArchiveIcon = nullptr;
  void (*setPaneText)(int pane, const char* text) = nullptr;
  // Selects a drive ("[-c-]", lower case) in the drive box and the drive bar.
  void (*selectDrive)(char letter) = nullptr;
  // Greys or enables the tool bar's parent-directory button.
  void (*enableParentButton)(bool enabled) = nullptr;
  // The tool bar's height: the splitter's top margin.
  int (*barHeight)() = nullptr;
  // Whether an extension has an entry in the association table.
  bool (*associated)(std::string_view extension) = nullptr;
  // A double-click on a line of an archive list: view that member, show the comment of a marker
  // line, run a program member. A line without its own operation goes to viewMember; without
  // that either the command is not available.
  void (*viewMember)(HWND browser, const char* line) = nullptr;
  void (*showComment)(HWND browser, const char* line) = nullptr;
  void (*runMember)(HWND browser, const char* line) = nullptr;
  // F1: opens the help file at a context.
  void (*showHelp)(HWND owner, unsigned context) = nullptr;
  // The drop dispatcher (a browser window's kDropRecordMessage): runs the operation of a drop.
  // 1 when it finished or did nothing, 0 after a refusal or a cancel.
  int (*dispatchDrop)(HWND browser, DropRecord* record) = nullptr;
  // A drop on the MDI client: the new archive dialog names an archive and a window opens for it;
  // that window's archive list, or null when cancelled.
  HWND (*newArchiveWindowForDrop)() = nullptr;
  // Members of an archive list dropped on another program: extracts the selected entries into the
  // work area and gives the paths of the extracted files. False when nothing was extracted.
  bool (*extractForOtherProgram)(HWND list, std::vector<std::string>* paths) = nullptr;
};

// The help context F1 opens in a browser window.
constexpr unsigned kBrowserHelpContext = help::kBrowserWindow;
extern BrowserHost g_browserHost;

// ActiveBrowser: the active browser window, none when no window is active.
extern HWND g_activeBrowser;
// ShortNameDisplay: 0 shows and uses the long-name field, nonzero the short-name field.
extern int g_shortNameDisplay;
// The first field of the line selected last alone in an archive list.
extern char g_currentItemName[262];

constexpr int kMaxWindows = 32;
constexpr int kArchiveTypeZip = 2;
constexpr int kArchiveTypeArj = 3;

constexpr int kListingTextBytes = 794;
constexpr int kPerDriveDirBytes = 150;

// Control identifiers inside a browser window.
constexpr int kArchiveHeaderId = 1;
constexpr int kDirHeaderId = 2;
constexpr int kSplitterId = 191;
constexpr int kArchiveListIdBase = 1000;
constexpr int kDirListIdBase = 1032;

// Private message of a browser window carrying a drop record.
constexpr UINT kDropRecordMessage = WM_USER + 50;

// The last Select All action of a window (0 before the first).
constexpr int32_t kSelectAllSelect = 1;
constexpr int32_t kSelectAllDeselect = 2;

struct WindowRecord {
  int16_t inUse;
  int32_t selectAllState;
  HWND hwndChild;
  HWND hwndFocusList;
  HWND hwndArchiveList;
  HWND hwndDirList;
  HWND hwndSplitter;
  HWND hwndArchiveHeader;
  HWND hwndDirHeader;
  WNDPROC archiveListProc;
  char curDir[262];
  char archivePath[262];
  char dirMask[262];
  char archiveMask[262];
  int32_t dirItemCount;
  uint32_t dirTotalBytes;
  int32_t splitterPos;
  int32_t restoredX, restoredY, restoredWidth, restoredHeight;
  HGLOBAL perDriveDirs[32];
  int32_t dirColumns[6];
  int32_t arjColumns[6];
  int32_t zipColumns[6];
};

// The table of 32 records, allocated zero-filled by AllocateWindowTable, null before and after.
extern WindowRecord* g_windowTable;
bool AllocateWindowTable();
void FreeWindowTable();
// Destroys every browser window (at close, and before Close All opens a fresh one).
void CloseAllBrowserWindows();
// Makes the active window's directory current (when the frame is activated).
void MakeActiveBrowserDirectoryCurrent();
// Gives every window's lists and headers the host's list font.
void ApplyListFontToBrowsers();

// The record of a browser window (null for other windows) and its slot (-1).
int SlotOf(HWND browser);
WindowRecord* RecordOf(HWND browser);
// Number of browser windows that exist.
int BrowserWindowCount();

// Window procedures of MDICHILD, qllistbox and qlstatic.
LRESULT CALLBACK BrowserWindowProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK StaticTextProc(HWND h, UINT m, WPARAM w, LPARAM l);
// The splitter (QLResizebox) between the lists: dragged between 125 and 425 pixels from the
// window's left edge.
LRESULT CALLBACK ResizeBoxProc(HWND h, UINT m, WPARAM w, LPARAM l);
// Where the drag bar's left edge goes for a pointer at `pointerX` (screen coordinates).
int SplitterBarLeft(int pointerX, int parentLeft);
// Registers MDICHILD and the two superclasses with these procedures (and a plain QLResizebox),
// filling in the host's base classes; for programs and tests that do not register them themselves.
bool RegisterBrowserClasses(HINSTANCE instance);

// The list-item bitmaps, loaded once at start.
void LoadItemBitmaps();
void FreeItemBitmaps();
// Releases the memory context the lines are measured in (at shutdown; made again when needed).
void ReleaseItemMeasurer();
HBITMAP ItemBitmap(const char* name);

// Opens a browser window. `style` 0, WS_MINIMIZE or WS_MAXIMIZE; x, y, width and height may be
// CW_USEDEFAULT. Returns the window, or null after a message (or for archive types 1 and 4).
HWND CreateBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask,
                         DWORD style, int x, int y, int width, int height, int splitterPos);
HWND OpenBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask);

// A double-click (or Enter) on the line at the caret of `list`, a list of `browser`: enter a
// directory or drive, open an archive, run a program, open a document, view a member or its comment.
void OnListDoubleClick(HWND browser, HWND list);

// The open windows written to sections "Window1" ... of the settings file `iniPath` (the earlier
// sections removed first; windows on removable, CD-ROM and RAM drives left out), and read back at
// start. Restoring keeps the current directory and never stops at a damaged section.
void SaveBrowserWindows(const char* iniPath);
void RestoreBrowserWindows(const char* iniPath);

// Lists the window's curDir by its dirMask into its directory list. 1, or 0 when the current
// directory cannot be read.
int FillDirectoryList(int slot);

// Reads a ZIP archive into `list` with redrawing off, inside the current-directory switch.
int LoadZipIntoWindow(const char* path, HWND list, const char* mask, HANDLE out);
// Reads the window's archive again after an operation changed it. An archive that vanished (from
// a window that listed entries) or that holds no entries any more is cleared through the frame's
// Clear Archive Window command, posted with the window as its control handle.
void RefreshArchiveWindow(int slot);
// The window takes a new archive (not made yet, as New Archive names it): the old listing and
// totals go, and the columns, title and icon become those of `archiveType`.
void AssignArchiveToWindow(HWND browser, const char* path, int archiveType);
// Forgets the window's archive: empty path, list and words, mask "*.*", title "[Untitled]".
void ClearArchiveWindow(HWND browser);

// The directory remembered per drive in a window.
bool RememberDriveDir(HWND browser, const char* path);
bool RecallDriveDir(HWND browser, char letter, char* out, size_t outSize);
// The directory a change to drive `letter` goes to: the one `browser` remembers for it, else the
// drive's environment entry "=X:", else its root.
std::string DriveDirectory(HWND browser, char letter);

// The lines of a list box, and the selected ones (every one of them, however many).
std::vector<std::string> ListLines(HWND list);
std::vector<int> SelectedIndexes(HWND list);

// Status texts of the panes: 3051 for the active window's directory, 3052 for its archive.
void ShowDirectoryTotals(HWND browser);
void ShowArchiveTotals(HWND browser);
// The directory header's text: the window's directory, in its short form while short names show.
void SetDirHeaderText(const WindowRecord* r);
// Puts "Ready" into the hint pane.
void ShowReadyHint();
// The ListKind word of a qllistbox or qlstatic.
int ListKindOf(HWND control);
void SetListKind(HWND control, int kind);
// The horizontal extent a list keeps in its word (columns only grow).
int StoredExtent(HWND list);

// Draws a list or drive-box item (the frame answers the drive box's requests with it).
void DrawListItem(const DRAWITEMSTRUCT* dis);
// The item height of owner-drawn lists and of the drive box.
int ItemHeight();

// Select All on `list` of `browser`: flips the window's state between selecting every item (in the
// directory list every item but drives and directories) and clearing the selection. For the
// directory list pane 199 then shows the selected files' total (or all files' when none is selected).
void SelectAllToggle(HWND browser, HWND list);
// Selects (or deselects) every item of `list` whose name matches one of the ';'-separated patterns.
// Returns the number of items changed.
int SelectByPatterns(HWND list, const char* patterns, bool select);
// Pane 199's totals over a directory list: the selected file items, or all when none is selected.
void ShowDirectorySelectionTotals(HWND list);
// Goes one directory up in `browser` and lists it; at a drive root the directory stays. The
// parent-directory button is greyed at a root. Returns false when nothing changed.
bool GoToParentDirectory(HWND browser);
// Switches every window between the long and the short names.
void SetNameDisplay(int shortNames);
// The drive box's choice ("[-c-]"): the active window (a new one when there is none) goes to the
// directory it remembers for that drive. A drive that cannot be read leaves the window's own drive
// current and returns false.
bool ChangeDriveFromBox(const char* item);

}  // namespace ql
