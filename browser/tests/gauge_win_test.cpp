// The gauge control under Wine: its messages, its text, its font copy and what it paints.
#include "browser/gauge_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ql {
namespace {

class GaugeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GaugeProc;
    wc.cbWndExtra = kGaugeExtraBytes;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    wc.lpszClassName = "gasguage3D";
    RegisterClassA(&wc);
  }

  void TearDown() override {
    if (gauge) DestroyWindow(gauge);
  }

  HWND Make(DWORD style, int width = 200, int height = 24) {
    gauge = CreateWindowExA(0, "gasguage3D", "", WS_POPUP | WS_VISIBLE | style, 40, 40, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    return gauge;
  }

  static std::string Text(HWND h) {
    char buf[64] = "";
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
  }

  HWND gauge = nullptr;
};

TEST_F(GaugeTest, PositionSetsThePercentTextUnlessTheOwnerWritesIt) {
  HWND g = Make(0);
  ASSERT_TRUE(g);
  EXPECT_EQ(1, GetWindowLongA(g, kGaugeRangeWord));
  EXPECT_EQ(0, GetWindowLongA(g, kGaugePositionWord));
  SendMessageA(g, kGaugeSetRange, 3, 0);
  SendMessageA(g, kGaugeSetPosition, 2, 0);
  EXPECT_EQ(" 66%", Text(g));
  SendMessageA(g, kGaugeSetRange, 0, 0);  // counts as 1
  SendMessageA(g, kGaugeSetPosition, 1, 0);
  EXPECT_EQ("100%", Text(g));

  DestroyWindow(g);
  g = Make(kGaugeOwnText);
  SetWindowTextA(g, "12 K");
  SendMessageA(g, kGaugeSetRange, 100, 0);
  SendMessageA(g, kGaugeSetPosition, 40, 0);
  EXPECT_EQ("", Text(g));  // the owner sets its text after the position
  EXPECT_EQ(40, GetWindowLongA(g, kGaugePositionWord));
}

TEST_F(GaugeTest, KeepsACopyOfItsFont) {
  HWND g = Make(0);
  HFONT given = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  SendMessageA(g, WM_SETFONT, reinterpret_cast<WPARAM>(given), TRUE);
  HFONT copy = reinterpret_cast<HFONT>(SendMessageA(g, WM_GETFONT, 0, 0));
  ASSERT_TRUE(copy);
  EXPECT_NE(given, copy);
  DeleteObject(given);  // the owner may drop its font; the gauge's copy lives on
  LOGFONTA lf;
  ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(copy, sizeof lf, &lf));
  EXPECT_EQ(FW_BOLD, lf.lfWeight);
  SendMessageA(g, WM_SETFONT, 0, FALSE);
  EXPECT_EQ(nullptr, reinterpret_cast<HFONT>(SendMessageA(g, WM_GETFONT, 0, 0)));
}

TEST_F(GaugeTest, PaintsTheBarToItsShareAndTheRestDark) {
  HWND g = Make(kGaugeOwnText, 202, 24);  // inner rectangle 1..201
  SendMessageA(g, kGaugeSetRange, 4, 0);
  SendMessageA(g, kGaugeSetPosition, 1, 0);  // the bar ends at 201 / 4 = 50
  UpdateWindow(g);
  HDC dc = GetDC(g);
  COLORREF frame = GetPixel(dc, 0, 12), face = GetPixel(dc, 25, 12), rest = GetPixel(dc, 150, 12),
           highlight = GetPixel(dc, 25, 1), shadow = GetPixel(dc, 25, 22);
  ReleaseDC(g, dc);
  EXPECT_EQ(RGB(0, 0, 0), frame);
  EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), face);
  EXPECT_EQ(RGB(0x40, 0x40, 0x40), rest);
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), highlight);
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), shadow);

  DestroyWindow(g);
  g = Make(kGaugeOwnText | kGaugeInset, 202, 24);  // pressed in: highlight and shadow swap
  SendMessageA(g, kGaugeSetRange, 4, 0);
  SendMessageA(g, kGaugeSetPosition, 2, 0);
  UpdateWindow(g);
  dc = GetDC(g);
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), GetPixel(dc, 25, 1));
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), GetPixel(dc, 25, 22));
  ReleaseDC(g, dc);
}

}  // namespace
}  // namespace ql
