#include "browser/gauge_win.h"

#include <string>
#include <utility>

#include "browser/gauge_rules.h"

namespace ql {
namespace {

HFONT FontCopy(HWND h) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(h, kGaugeFontWord)); }

void DropFontCopy(HWND h) {
  if (HFONT f = FontCopy(h)) DeleteObject(f);
  SetWindowLongPtrA(h, kGaugeFontWord, 0);
}

void TakeFontCopy(HWND h, HFONT given) {
  DropFontCopy(h);
  LOGFONTA lf;
  if (given && GetObjectA(given, sizeof lf, &lf) == sizeof lf)
    SetWindowLongPtrA(h, kGaugeFontWord, reinterpret_cast<LONG_PTR>(CreateFontIndirectA(&lf)));
}

unsigned Range(HWND h) { return static_cast<unsigned>(GetWindowLongA(h, kGaugeRangeWord)); }
unsigned Position(HWND h) { return static_cast<unsigned>(GetWindowLongA(h, kGaugePositionWord)); }

void Line(HDC dc, HPEN pen, int x0, int y0, int x1, int y1) {
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
}

// A raised block: the face, a highlight along the top and left, a shadow along the bottom and right.
void RaisedBlock(HDC dc, const RECT& r, COLORREF highlight, COLORREF shadow) {
  HBRUSH face = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
  FillRect(dc, &r, face);
  DeleteObject(face);
  if (r.right - r.left < 2 || r.bottom - r.top < 2) return;
  HPEN light = CreatePen(PS_SOLID, 1, highlight), dark = CreatePen(PS_SOLID, 1, shadow);
  Line(dc, light, r.left, r.bottom - 1, r.left, r.top);
  Line(dc, light, r.left, r.top, r.right - 1, r.top);
  Line(dc, dark, r.right - 1, r.top, r.right - 1, r.bottom - 1);
  Line(dc, dark, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1);
  DeleteObject(light);
  DeleteObject(dark);
}

void Paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  HGDIOBJ oldFont = FontCopy(h) ? SelectObject(dc, FontCopy(h)) : nullptr;
  RECT client;
  GetClientRect(h, &client);
  FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RECT inner = client;
  InflateRect(&inner, -1, -1);

  RECT bar = inner;
  bar.right = GaugeBarRight(inner.left, inner.right, Position(h), Range(h));
  RECT rest = inner;
  rest.left = bar.right;
  FillRect(dc, &rest, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
  if (bar.right > bar.left) {
    COLORREF highlight = RGB(0xFF, 0xFF, 0xFF), shadow = RGB(0x80, 0x80, 0x80);
    DWORD style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    if ((style & kGaugeInset) && !(style & kGaugeRaised)) std::swap(highlight, shadow);
    RaisedBlock(dc, bar, highlight, shadow);
  }

  char text[256];
  int n = GetWindowTextA(h, text, sizeof text);
  if (n > 0) {
    // Black where the bar is, white over the background: the text reads on both.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT r = inner;
    DrawTextA(dc, text, n, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SaveDC(dc);
    IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    r = inner;
    DrawTextA(dc, text, n, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, -1);
  }
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(h, &ps);
}

}  // namespace

LRESULT CALLBACK GaugeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE:
      SetWindowLongPtrA(h, kGaugeFontWord, 0);
      SetWindowLongA(h, kGaugeRangeWord, 1);
      SetWindowLongA(h, kGaugePositionWord, 0);
      return 0;
    case kGaugeSetRange:
      SetWindowLongA(h, kGaugeRangeWord, static_cast<LONG>(w));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case kGaugeSetPosition: {
      SetWindowLongA(h, kGaugePositionWord, static_cast<LONG>(w));
      DWORD style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
      std::string text =
          (style & kGaugeOwnText) ? std::string() : GaugePercentText(GaugePercent(static_cast<unsigned>(w), Range(h)));
      SetWindowTextA(h, text.c_str());
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case WM_SETFONT:
      TakeFontCopy(h, reinterpret_cast<HFONT>(w));
      if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FontCopy(h));
    case WM_SETTEXT:
    case WM_SIZE:
    case WM_MOVE: {
      LRESULT r = DefWindowProcA(h, m, w, l);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_PAINT:
      Paint(h);
      return 0;
    case WM_DESTROY:
      DropFontCopy(h);
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace ql
