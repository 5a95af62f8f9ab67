// The percentage gauge (class gasguage3D): a bar with a centred text, used as a control in dialog
// templates. It keeps its own copy of the font it is given.
#pragma once
#include <windows.h>

namespace ql {

// Messages: the first parameter is the new range or position.
constexpr UINT kGaugeSetRange = 0x424;
constexpr UINT kGaugeSetPosition = 0x425;

// Styles: the owner sets the text itself (no "%3u%%"); with kGaugeInset and without kGaugeRaised
// the bar's highlight and shadow swap, so that it looks pressed in.
constexpr DWORD kGaugeOwnText = 0x100;
constexpr DWORD kGaugeRaised = 0x200;
constexpr DWORD kGaugeInset = 0x400;

// The window words: the font copy first (pointer-sized), then the range and the position.
constexpr int kGaugeFontWord = 0;
constexpr int kGaugeRangeWord = sizeof(LONG_PTR);
constexpr int kGaugePositionWord = sizeof(LONG_PTR) + 4;
constexpr int kGaugeExtraBytes = 16;
static_assert(kGaugePositionWord + 4 <= kGaugeExtraBytes, "the gauge's words fit its extra bytes");

LRESULT CALLBACK GaugeProc(HWND h, UINT m, WPARAM w, LPARAM l);

}  // namespace ql
