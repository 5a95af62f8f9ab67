// The frame's bars: the tool bar with its drive box, the drive bar, the status bar with its panes
// 194 (hint), 199 (directory totals), 196 (mode) and 398 (archive totals), and the classes of the
// bars' controls.
#pragma once
#include <windows.h>

namespace ql {

extern HWND g_toolBar;
extern HWND g_buttonBar;
extern HWND g_statusBar;

// What the bars take from the settings when they are made.
struct BarOptions {
  bool showToolbar = true;
  bool showDriveBar = true;
  HFONT driveBoxFont = nullptr;
  HFONT letterFont = nullptr;  // the drive buttons' letters
};

// Registers the classes of the bars and their controls: statusbar3D, QLButtonbar, qlbutton and
// gasguage3D.
bool RegisterBarClasses(HINSTANCE instance);

// Makes the tool bar (with the drive box), the drive bar and the status bar with its panes.
void CreateBars(HWND frame, const BarOptions& options);
// Frees what the tool bar holds but does not own (its greyed pictures); the frame calls it as it goes.
void ReleaseToolBarImages();

// The tool bar's height (28 before it has one).
int BarHeight();

// Sets a pane's text and repaints it when it changed.
void SetPaneText(int pane, const char* text);

// Selects the drive "[-c-]" (lower-case letter) in the drive box.
void SelectDriveItem(char letter);

// Selects a drive (either case) in the drive box and in the drive bar.
void SelectDrive(char letter);

// Puts the keyboard focus on the tool bar (its trash can).
void FocusToolBar();

// Greys or enables the tool bar's parent-directory button.
void EnableParentButton(bool enabled);

}  // namespace ql
