// Browser windows for a person to look at: opens a directory with a ZIP archive, the same in the
// short-name view, or an ARJ archive with a title and a comment line, then saves the screen as a
// bitmap. Usage: browser_demo.exe long|short|arj <output.bmp>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "browser/browser_win.h"
#include "browser/tests/browser_harness.h"

using namespace qlbrowsertest;

namespace {

bool SaveScreen(const char* path) {
  HDC screen = GetDC(nullptr);
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  DWORD stride = ((w * 3 + 3) & ~3u);
  std::string pixels(stride * h, '\0');
  GetDIBits(mem, bmp, 0, h, &pixels[0], reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  BITMAPFILEHEADER bf{};
  bf.bfType = 0x4D42;
  bf.bfOffBits = sizeof bf + sizeof bi;
  bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<char*>(&bf), sizeof bf);
  file.append(reinterpret_cast<char*>(&bi), sizeof bi);
  file += pixels;
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return WriteFileBytes(path, file);
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    Drain();
    RedrawWindow(GetDesktopWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  Drain();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string mode = argv[1];
  ScratchDir dir;
  std::string work = dir / "Quillon Samples";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA((work + "\\Program Files").c_str(), nullptr);
  CreateDirectoryA((work + "\\docs").c_str(), nullptr);
  CopyFixture("comments.zip", work + "\\comments.zip");
  CopyFixture("dos.arj", work + "\\dos.arj");
  WriteFileBytes(work + "\\Read me first.txt", std::string(1234, 'r'));
  WriteFileBytes(work + "\\setup.exe", std::string(40960, 'e'));
  WriteFileBytes(work + "\\chime.wav", std::string(2048, 'w'));
  WriteFileBytes(work + "\\A rather long file name for the column.dat", std::string(77, 'd'));
  SetCurrentDirectoryA(work.c_str());
  ql::g_shortNameDisplay = mode == "short";

  TestFrame frame(1000, 700);
  SetWindowTextA(frame.frame(), "Quillon - Manager Mode");
  HWND h;
  if (mode == "arj")
    h = ql::CreateBrowserWindow((work + "\\dos.arj").c_str(), ql::kArchiveTypeArj, "*.*", "*.*", 0, 10, 10, 940, 560, 0);
  else
    h = ql::CreateBrowserWindow("comments.zip", ql::kArchiveTypeZip, "*.*", "*.*", 0, 10, 10, 940, 560, 0);
  if (!h) return 1;
  Settle();
  return SaveScreen(argv[2]) ? 0 : 1;
}
