#include "app/later_steps.h"

#include "app/settings.h"
#include "app/startup.h"

namespace ql {

HWND g_activeBrowser = nullptr;
std::vector<BrowserRequest> g_browserRequests;
HWND g_toolBar = nullptr;
HWND g_buttonBar = nullptr;
HWND g_statusBar = nullptr;

HWND OpenBrowserWindow(const char* archive, int archiveType, const char* dirMask, const char* archiveMask) {
  g_browserRequests.push_back({archive ? archive : "", archiveType, dirMask ? dirMask : "",
                               archiveMask ? archiveMask : ""});
  return nullptr;
}

bool AllocateWindowTable() { return true; }
void FreeWindowTable() {}
bool AllocatePrintState() { return true; }
void FreePrintState() {}

void ProbeOldPkzip() {}
void LoadSwitchSet() {}
void LoadPathStorage() {}
bool ViewArchiveProgressOn() { return IsOnValue(IniString("switches", "ViewArchiveProgress", "Off", 5)); }

void LoadItemBitmaps() {}
void FreeItemBitmaps() {}
void ApplyListFontToBrowsers() {}

void CreateBars(HWND) {}
int BarHeight() { return g_toolBar ? 28 : 0; }
void SetPaneText(int pane, const char* text) {
  if (g_statusBar) SetDlgItemTextA(g_statusBar, pane, text);
}

void BuildAssociationTable() {}
void RestoreWindowList() {}
void ArrangeRestoredWindows() {}
void SaveWindowList() {}
void CloseAllBrowserWindows() {}
void MakeActiveBrowserDirectoryCurrent() {}

bool MailLoggedOn() { return false; }
void MailLogOff() {}

void Start3dControls(HINSTANCE) {}
void Stop3dControls() {}

LRESULT CALLBACK BrowserWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefMDIChildProcA(h, m, w, l); }
LRESULT CALLBACK ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return CallWindowProcA(g_listBoxBase.proc, h, m, w, l);
}
LRESULT CALLBACK StaticTextProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return CallWindowProcA(g_staticBase.proc, h, m, w, l);
}
LRESULT CALLBACK ButtonBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK ResizeBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK BarButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK GaugeProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

}  // namespace ql
