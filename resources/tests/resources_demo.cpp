// Shows the resources for a person to look at: a window with the Manager (or Express) menu
// that draws every bitmap, icon and cursor, optionally with one menu popup held open.
//   resources_demo.exe [express] [popup N]
// Not a test: take a screenshot of the virtual display while it runs, then end it.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "resources/ids.h"

namespace {

const char *const kItems[] = {IDB_ARJFILE, IDB_ZIPFILE,   IDB_WAVEFILE,   IDB_AVIFILE,  IDB_EXEFILE,
                              IDB_LBFD,    IDB_LBHD,      IDB_LBNETDRIVE, IDB_LBNETDISABLED,
                              IDB_LBCDROM, IDB_LBRAMDRIVE, IDB_DOUBLEDOTS, IDB_DIR,     IDB_COMMENT,
                              IDB_TEXTFILE, IDB_FILE};
const char *const kDrives[] = {IDB_HARDDRIVE, IDB_FLOPPY, IDB_RAMDRIVE, IDB_CDROM, IDB_NETDRV,
                               IDB_NETDISABLED};
const char *const kIcons[] = {IDI_ZIP, IDI_ARJ, IDI_NOARCHIVE, IDI_QL4};
const char *const kCursors[] = {IDCUR_COPY, IDCUR_FILEMOV, IDCUR_MULTCOPY, IDCUR_MULTMOVE,
                                IDCUR_NODROP, IDCUR_RESIZE};
int g_popup = -1;

void DrawBitmap(HDC dc, HBITMAP b, int x, int y, int scale) {
  BITMAP info = {};
  GetObjectA(b, sizeof info, &info);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, b);
  StretchBlt(dc, x, y, info.bmWidth * scale, info.bmHeight * scale, mem, 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Label(HDC dc, int x, int y, const char *text) { TextOutA(dc, x, y, text, int(strlen(text))); }

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  HINSTANCE self = GetModuleHandleA(nullptr);
  SetBkMode(dc, TRANSPARENT);
  int x = 10, y = 10;
  Label(dc, x, y, "List items (1x and 3x):");
  y += 20;
  for (const char *name : kItems) {
    HBITMAP b = LoadBitmapA(self, name);
    DrawBitmap(dc, b, x, y, 1);
    DrawBitmap(dc, b, x, y + 22, 3);
    Label(dc, x, y + 74, name);
    DeleteObject(b);
    x += 60;
  }
  x = 10;
  y += 100;
  Label(dc, x, y, "Drive bar (on button face, 1x and 3x):");
  y += 20;
  RECT face = {x - 4, y - 4, x + 6 * 90, y + 74};
  FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
  for (const char *name : kDrives) {
    HBITMAP b = LoadBitmapA(self, name);
    DrawBitmap(dc, b, x, y, 1);
    DrawBitmap(dc, b, x + 22, y, 3);
    Label(dc, x, y + 52, name);
    DeleteObject(b);
    x += 90;
  }
  x = 10;
  y += 90;
  Label(dc, x, y, "Tool bar strip (1x and 2x):");
  y += 20;
  HBITMAP strip = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_TOOLBAR));
  DrawBitmap(dc, strip, x, y, 1);
  DrawBitmap(dc, strip, x, y + 24, 2);
  DeleteObject(strip);
  y += 70;
  Label(dc, x, y, "Icons and cursors:");
  y += 20;
  for (const char *name : kIcons) {
    DrawIcon(dc, x, y, LoadIconA(self, name));
    HICON small = HICON(LoadImageA(self, name, IMAGE_ICON, 16, 16, 0));
    DrawIconEx(dc, x + 40, y + 8, small, 16, 16, 0, nullptr, DI_NORMAL);
    DestroyIcon(small);
    Label(dc, x, y + 36, name);
    x += 90;
  }
  for (const char *name : kCursors) {
    DrawIconEx(dc, x, y, LoadCursorA(self, name), 32, 32, 0, nullptr, DI_NORMAL);
    Label(dc, x, y + 36, name);
    x += 90;
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_APP: {
      HMENU popup = GetSubMenu(GetMenu(hwnd), g_popup);
      RECT r;
      GetMenuItemRect(hwnd, GetMenu(hwnd), g_popup, &r);
      TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, hwnd, nullptr);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE self, HINSTANCE, LPSTR cmd, int show) {
  bool express = strstr(cmd, "express") != nullptr;
  if (const char *p = strstr(cmd, "popup ")) g_popup = atoi(p + 6);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = self;
  wc.hIcon = LoadIconA(self, IDI_QL4);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = "QlResourcesDemo";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("QlResourcesDemo", express ? "Resources - Express" : "Resources - Manager",
                            WS_OVERLAPPEDWINDOW, 0, 0, 1000, 560, nullptr,
                            LoadMenuA(self, express ? IDR_EXPRESS : IDR_MANAGER), self, nullptr);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  if (g_popup >= 0) PostMessageA(hwnd, WM_APP, 0, 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
