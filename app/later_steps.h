// Steps of start-up, close and the hand-over whose subjects are the browser windows, the bars, the
// switch set, printing and mail. Each is a small function here so that the frame's sequences are
// complete today; the modules that own those subjects fill them in.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// Archive types of a browser window.
constexpr int kArchiveZip = 2;
constexpr int kArchiveArj = 3;

// ActiveBrowser: the active browser window, none when no window is active (kept by the browser windows).
extern HWND g_activeBrowser;
HWND OpenBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask);

// Blocks of the creation handler's first step (the window table belongs to the browser windows).
bool AllocateWindowTable();
void FreeWindowTable();
bool AllocatePrintState();
void FreePrintState();

// Switch set: the PKZIP 1.x probe, the switch keys and store_pathnames.
void ProbeOldPkzip();
void LoadSwitchSet();
void LoadPathStorage();
bool ViewArchiveProgressOn();

// Bitmaps of the button bar and list items; the list font applied to every browser window.
void LoadItemBitmaps();
void FreeItemBitmaps();
void ApplyListFontToBrowsers();

// The bars: tool bar with drive box, button bar, status bar and its panes 194, 199, 398, 196.
extern HWND g_toolBar;
extern HWND g_buttonBar;
extern HWND g_statusBar;
void CreateBars(HWND frame);
int BarHeight();
void SetPaneText(int pane, const char* text);

// File associations (Run, Associate), the saved window list and the browser windows at close.
void BuildAssociationTable();
void RestoreWindowList();
void ArrangeRestoredWindows();
void SaveWindowList();
void CloseAllBrowserWindows();
void MakeActiveBrowserDirectoryCurrent();

// Mail session.
bool MailLoggedOn();
void MailLogOff();

// 3D dialog controls.
void Start3dControls(HINSTANCE instance);
void Stop3dControls();

// Window procedures of the classes registered at start.
LRESULT CALLBACK BrowserWindowProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK StaticTextProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK ButtonBarProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK ResizeBoxProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK BarButtonProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK GaugeProc(HWND h, UINT m, WPARAM w, LPARAM l);

}  // namespace ql
