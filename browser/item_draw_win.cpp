// Drawing of list items and the column measurement that goes with it.
#include <windows.h>
#include <winnetwk.h>

#include <cstring>
#include <string>

#include "browser/browser_win.h"
#include "browser/item_format.h"

namespace ql {

namespace {

const char* const kBitmapNames[] = {"arjfile", "zipfile", "wavefile", "avifile", "exefile", "lbfd",
                                    "lbhd",    "lbnetdrive", "lbnetdisabled", "lbcdrom", "lbramdrive",
                                    "doubledots", "dir", "comment", "textfile", "file", "harddrive"};
constexpr int kBitmapCount = sizeof kBitmapNames / sizeof kBitmapNames[0];
HBITMAP g_bitmaps[kBitmapCount];

SIZE BitmapSize(HBITMAP b) {
  BITMAP bm{};
  SIZE s{0, 0};
  if (b && GetObjectA(b, sizeof bm, &bm)) {
    s.cx = bm.bmWidth;
    s.cy = bm.bmHeight;
  }
  return s;
}

DriveFacts FactsOf(char letter) {
  DriveFacts f;
  char root[4] = {letter, ':', '\\', 0};
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
  switch (GetDriveTypeA(root)) {
    case DRIVE_REMOVABLE: f.type = DriveType::Removable; break;
    case DRIVE_FIXED: f.type = DriveType::Fixed; break;
    case DRIVE_REMOTE: f.type = DriveType::Remote; break;
    case DRIVE_CDROM: f.type = DriveType::CdRom; break;
    case DRIVE_RAMDISK: f.type = DriveType::RamDisk; break;
    default: f.type = DriveType::Unknown; break;
  }
  if (f.type == DriveType::Fixed || f.type == DriveType::RamDisk) {
    char label[MAX_PATH] = "";
    if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) f.label = label;
  } else if (f.type == DriveType::Remote) {
    char local[3] = {letter, ':', 0};
    char remote[2054] = "";
    DWORD size = sizeof remote;
    DWORD r = WNetGetConnectionA(local, remote, &size);
    f.connectionResult = static_cast<int>(r);
    if (r == NO_ERROR) f.remoteName = remote;
  }
  SetErrorMode(old);
  return f;
}

std::string ItemText(HWND control, int index, bool combo) {
  LRESULT n = SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(&s[0]));
  s.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return s;
}

bool IsComboBox(HWND h) {
  char name[32] = "";
  GetClassNameA(h, name, sizeof name);
  return lstrcmpiA(name, "ComboBox") == 0;
}

int TextWidth(HDC dc, const char* s, size_t n) {
  SIZE sz{0, 0};
  GetTextExtentPoint32A(dc, s, static_cast<int>(n), &sz);
  return sz.cx;
}

}  // namespace

HINSTANCE ResourceInstance() {
  return g_browserHost.instance ? g_browserHost.instance : GetModuleHandleA(nullptr);
}

void LoadItemBitmaps() {
  for (int i = 0; i < kBitmapCount; ++i)
    if (!g_bitmaps[i]) g_bitmaps[i] = LoadBitmapA(ResourceInstance(), kBitmapNames[i]);
}

void FreeItemBitmaps() {
  for (auto& b : g_bitmaps) {
    if (b) DeleteObject(b);
    b = nullptr;
  }
}

HBITMAP ItemBitmap(const char* name) {
  for (int i = 0; i < kBitmapCount; ++i)
    if (std::strcmp(kBitmapNames[i], name) == 0) {
      if (!g_bitmaps[i]) g_bitmaps[i] = LoadBitmapA(ResourceInstance(), name);
      return g_bitmaps[i];
    }
  return nullptr;
}

int ItemHeight() {
  int h = BitmapSize(ItemBitmap("file")).cy;
  return (g_browserHost.lineHeight > h ? g_browserHost.lineHeight : h) + 2;
}

// A memory context with the list font selected and the fixed samples measured once per font;
// only the name is measured per line.
struct Measurer {
  HDC dc = nullptr;
  HFONT font = nullptr;
  HGDIOBJ oldFont = nullptr;
  int charWidth = -1;
  SampleWidths fixed;
  int nameSample = 0;
  // Advance widths of the font's 256 characters: a name's width is their sum, without a call to
  // the graphics system per line.
  INT widths[256] = {};
  bool haveWidths = false;
  int overhang = 0;

  int NameWidth(std::string_view name) {
    if (!haveWidths) return TextWidth(dc, name.data(), name.size());
    int w = overhang;
    for (unsigned char c : name) w += widths[c];
    return w;
  }

  bool Ready() {
    if (dc && font == g_browserHost.listFont && charWidth == g_browserHost.charWidth) return true;
    if (!dc) dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    if (oldFont) SelectObject(dc, oldFont);
    oldFont = nullptr;
    font = g_browserHost.listFont;
    if (font) oldFont = SelectObject(dc, font);
    charWidth = g_browserHost.charWidth;
    fixed.size = TextWidth(dc, "99999999", 8);
    fixed.date = TextWidth(dc, "99/99/99", 8);
    TextWidth(dc, "99:99", 5);
    fixed.gap = TextWidth(dc, "ww", 2);
    fixed.ratio = TextWidth(dc, "99%", 3);
    int bw = BitmapSize(ItemBitmap("harddrive")).cx;
    fixed.bitmap = (charWidth > bw ? charWidth : bw) + 2;
    fixed.charWidth = charWidth;
    nameSample = TextWidth(dc, "wwwwwwww.www", 12);
    TEXTMETRICA tm{};
    haveWidths = GetCharWidth32A(dc, 0, 255, widths) && GetTextMetricsA(dc, &tm);
    overhang = haveWidths ? tm.tmOverhang : 0;
    return true;
  }

  void Release() {
    if (dc) {
      if (oldFont) SelectObject(dc, oldFont);
      DeleteDC(dc);
    }
    *this = Measurer{};
  }
};
static Measurer g_measurer;

void ReleaseItemMeasurer() { g_measurer.Release(); }

// Measures `line` for `list` and widens the list's extent and its kind's columns when it needs more.
void MeasureListLine(HWND list, const char* line) {
  // Called for list boxes only: their kind word follows the list box class's own bytes.
  int kind = GetWindowLongA(list, g_browserHost.listBoxBaseExtra);
  if (kind < kListDirectory || kind > kListArj) return;
  if (!g_measurer.Ready()) return;
  SampleWidths w = g_measurer.fixed;
  std::string_view name = ItemNameField(line ? line : "", g_shortNameDisplay != 0);
  w.name = UsesNameSample(name) ? g_measurer.nameSample : g_measurer.NameWidth(name);
  ColumnSet c = MeasureColumns(kind, w);
  if (c.extent <= StoredExtent(list)) return;
  SetWindowLongA(list, g_browserHost.listBoxBaseExtra + 4, c.extent & 0xFFFF);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, c.extent, 0);
  WindowRecord* r = RecordOf(GetParent(list));
  if (!r) return;
  int32_t* cols = kind == kListZip ? r->zipColumns : kind == kListArj ? r->arjColumns : r->dirColumns;
  for (int i = 0; i < 6; ++i) cols[i] = c.pos[i];
}

void DrawListItem(const DRAWITEMSTRUCT* dis) {
  if (static_cast<int>(dis->itemID) < 0) return;
  HWND control = dis->hwndItem;
  const bool combo = IsComboBox(control);
  if (!(dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return;

  std::string line = ItemText(control, dis->itemID, combo);
  if (!combo) MeasureListLine(control, line.c_str());

  bool selected = (dis->itemState & ODS_SELECTED) != 0;
  bool unfocusedCaret = false;
  if (dis->itemAction == ODA_FOCUS && !combo && GetFocus() != control) {
    selected = false;
    unfocusedCaret = true;
  }

  const bool shortNames = g_shortNameDisplay != 0;
  DriveFacts drive;
  if (IsDriveLine(line)) drive = FactsOf(line[2]);
  ItemPicture picture = ChooseItemPicture(line, shortNames, drive, g_browserHost.associated);
  std::string text = ItemDisplayText(line, shortNames, drive);

  HDC dc = dis->hDC;
  RECT rc = dis->rcItem;
  COLORREF oldBack = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, "", 0, nullptr);

  HBITMAP bmp = ItemBitmap(ItemPictureName(picture));
  if (bmp) {
    SIZE bs = BitmapSize(bmp);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(dc, rc.left, rc.top + (rc.bottom - rc.top - bs.cy) / 2, bs.cx, bs.cy, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }

  HGDIOBJ oldFont = nullptr;
  if (g_browserHost.listFont && !combo) oldFont = SelectObject(dc, g_browserHost.listFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  int y = rc.top + (rc.bottom - rc.top - tm.tmHeight) / 2;
  if (combo) {
    ExtTextOutA(dc, rc.left + 25, y, ETO_CLIPPED, &rc, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  } else {
    int kind = ListKindOf(control);
    WindowRecord* r = RecordOf(GetParent(control));
    int tabs[6] = {0};
    int count = 0;
    if (r) {
      const int32_t* cols = kind == kListZip ? r->zipColumns : kind == kListArj ? r->arjColumns : r->dirColumns;
      count = kind == kListZip ? 5 : kind == kListArj ? 4 : 3;
      for (int i = 0; i < count; ++i) tabs[i] = cols[i];
    }
    // The tab positions count from the item's left edge, which moves with the horizontal scroll.
    TabbedTextOutA(dc, rc.left + 18, y, text.c_str(), static_cast<int>(text.size()), count, count ? tabs : nullptr,
                   rc.left);
  }
  if (oldFont) SelectObject(dc, oldFont);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);

  if (dis->itemAction == ODA_FOCUS || (dis->itemState & ODS_FOCUS)) {
    if (combo || !unfocusedCaret) {
      if ((dis->itemState & ODS_FOCUS) && (combo || GetFocus() == control)) DrawFocusRect(dc, &rc);
    } else {
      HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
      FrameRect(dc, &rc, b);
      DeleteObject(b);
    }
  }
}

}  // namespace ql
