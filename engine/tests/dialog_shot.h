// Test helper: with QL_DIALOG_SHOTS naming a directory, a dialog's screen area is saved there as a
// bitmap, for a person to look at.
#pragma once
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace ql {

// Saves the screen area of a dialog as a bitmap into QL_DIALOG_SHOTS, once per title.
inline void Shoot(HWND dialog, const std::string& title) {
  const char* dir = std::getenv("QL_DIALOG_SHOTS");
  if (!dir || !*dir) return;
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SendMessageA(dialog, WM_NULL, 0, 0);
  RECT rc;
  GetWindowRect(dialog, &rc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::string pixels(stride * static_cast<DWORD>(h), '\0');
  GetDIBits(mem, bmp, 0, static_cast<UINT>(h), &pixels[0], reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  BITMAPFILEHEADER bf{};
  bf.bfType = 0x4D42;
  bf.bfOffBits = sizeof bf + sizeof bi;
  bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string name;
  for (char c : title) name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
  std::string path = std::string(dir) + "\\" + name + ".bmp";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    DWORD wrote;
    WriteFile(f, &bf, sizeof bf, &wrote, nullptr);
    WriteFile(f, &bi, sizeof bi, &wrote, nullptr);
    WriteFile(f, pixels.data(), static_cast<DWORD>(pixels.size()), &wrote, nullptr);
    CloseHandle(f);
  }
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

}  // namespace ql
