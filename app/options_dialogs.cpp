#include "app/options_dialogs.h"

#include <commdlg.h>

#include <cstdio>
#include <string>

#include "app/settings.h"
#include "browser/bars_win.h"
#include "browser/browser_win.h"
#include "browser/window_rules.h"
#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "common/text_and_paths.h"
#include "engine/dialogs_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

constexpr DWORD kDefaultsHelp = 7011;
constexpr DWORD kConfirmationsHelp = 7009;
constexpr DWORD kDisplayMaskHelp = 7063;

// ---- Quillon Defaults ----

// Which extractor a convert uses: the bundled one while the field says "None".
void ShowExtractorInUse(HWND d, int field, int label, const char* bundled) {
  std::string value = DlgText(d, field, 260);
  std::string text;
  if (!value.empty() && !EqualNoCase(value, "None")) {
    text = "Converts use the program above.";
  } else {
    std::string path = ProgramDirectoryFile(bundled);
    bool found = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    text = found ? std::string("None: converts use ") + bundled + " from the Quillon directory."
                 : std::string("None: ") + bundled + " is missing from the Quillon directory.";
  }
  SetDlgItemTextA(d, label, text.c_str());
}

void InitDefaults(HWND d) {
  PlaceDialog(d);
  for (int id : {IDC_SETUP_TARGET, IDC_SETUP_SOURCE, IDC_SETUP_WORKING})
    SendDlgItemMessageA(d, id, EM_LIMITTEXT, 256, 0);
  for (int id : {IDC_SETUP_ARC, IDC_SETUP_LZH, IDC_SETUP_VIRUS}) SendDlgItemMessageA(d, id, EM_LIMITTEXT, 260, 0);
  SetDlgItemTextA(d, IDC_SETUP_TARGET, g_settings->TargetDirectory);
  SetDlgItemTextA(d, IDC_SETUP_SOURCE, g_settings->SourceDirectory);
  std::string working = IniString("Defaults", "Working Directory", g_settings->InitialDirectory);
  SetDlgItemTextA(d, IDC_SETUP_WORKING, working.empty() ? g_settings->InitialDirectory : working.c_str());
  SetDlgItemTextA(d, IDC_SETUP_ARC, g_settings->ArcProgram);
  SetDlgItemTextA(d, IDC_SETUP_LZH, g_settings->LzhProgram);
  SetDlgItemTextA(d, IDC_SETUP_VIRUS, g_settings->VirusProgram);
  bool windows = EqualNoCase(IniString("Utilities", "WinEnv", "False", 10), "TRUE");
  CheckRadioButton(d, IDC_SETUP_VIRUS_DOS, IDC_SETUP_VIRUS_WINDOWS,
                   windows ? IDC_SETUP_VIRUS_WINDOWS : IDC_SETUP_VIRUS_DOS);
  CheckDlgButton(d, IDC_SETUP_SAVE_WINDOWS, (g_confirmFlags & kSaveArchiveNames) ? BST_CHECKED : BST_UNCHECKED);
  ShowExtractorInUse(d, IDC_SETUP_ARC, IDC_SETUP_ARC_IN_USE, "QLARC.EXE");
  ShowExtractorInUse(d, IDC_SETUP_LZH, IDC_SETUP_LZH_IN_USE, "QLLZH.EXE");
}

// Stores the fields in their order; the first empty one stops with its message, leaving those
// before it stored. True when all were stored.
bool StoreDefaults(HWND d) {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  auto refuse = [&](UINT message) {
    SetCursor(old);
    ShowStringMessage(d, message);
    return false;
  };
  std::string target = DlgText(d, IDC_SETUP_TARGET, 256);
  if (target.empty()) return refuse(IDS_ENTER_TARGET_DIR);
  SetDirectorySetting(DirSetting::Target, target.c_str());
  std::string source = DlgText(d, IDC_SETUP_SOURCE, 256);
  if (source.empty()) return refuse(IDS_ENTER_ARCHIVE_DIR);
  SetDirectorySetting(DirSetting::Source, source.c_str());
  std::string working = DlgText(d, IDC_SETUP_WORKING, 256);
  if (working.empty()) return refuse(IDS_ENTER_WORK_DIR);
  SetDirectorySetting(DirSetting::Working, working.c_str());
  SetCurrentDirAndDrive(g_settings->InitialDirectory);
  std::string virus = DlgText(d, IDC_SETUP_VIRUS, 260);
  if (virus.empty()) return refuse(IDS_ENTER_VIRUS_PROGRAM);
  SetUtilityProgram(UtilityProgram::Virus, virus.c_str());
  IniWriteTrueFalse("Utilities", "WinEnv", Checked(d, IDC_SETUP_VIRUS_WINDOWS));
  std::string arc = DlgText(d, IDC_SETUP_ARC, 260);
  if (arc.empty()) return refuse(IDS_ENTER_ARC_LZH_PROGRAM);
  SetUtilityProgram(UtilityProgram::Arc, arc.c_str());
  std::string lzh = DlgText(d, IDC_SETUP_LZH, 260);
  if (lzh.empty()) return refuse(IDS_ENTER_ARC_LZH_PROGRAM);
  SetUtilityProgram(UtilityProgram::Lzh, lzh.c_str());
  SetConfirmFlag(kSaveArchiveNames, Checked(d, IDC_SETUP_SAVE_WINDOWS));
  SetCursor(old);
  return true;
}

INT_PTR CALLBACK DefaultsProc(HWND d, UINT m, WPARAM w, LPARAM) {
  if (DialogHelpOrCancel(d, m, w, kDefaultsHelp)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      InitDefaults(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        if (StoreDefaults(d)) EndDialog(d, IDOK);
        return TRUE;
      }
      if (HIWORD(w) == EN_CHANGE && LOWORD(w) == IDC_SETUP_ARC)
        ShowExtractorInUse(d, IDC_SETUP_ARC, IDC_SETUP_ARC_IN_USE, "QLARC.EXE");
      if (HIWORD(w) == EN_CHANGE && LOWORD(w) == IDC_SETUP_LZH)
        ShowExtractorInUse(d, IDC_SETUP_LZH, IDC_SETUP_LZH_IN_USE, "QLLZH.EXE");
      break;
  }
  return FALSE;
}

// ---- Confirmations ----

struct ConfirmBox {
  int control;
  ConfirmFlag flag;
};
// In the order OK stores them.
const ConfirmBox kConfirmBoxes[] = {
    {IDC_WARN_REPLACE, kConfirmReplace}, {IDC_WARN_MOVE, kConfirmMove},   {IDC_WARN_DELETE, kConfirmDelete},
    {IDC_WARN_DIR_DELETE, kConfirmDirDelete}, {IDC_WARN_MOUSE, kConfirmMouse}, {IDC_WARN_TARGET_DIR, kConfirmTargetDir},
};

INT_PTR CALLBACK ConfirmationsProc(HWND d, UINT m, WPARAM w, LPARAM) {
  if (DialogHelpOrCancel(d, m, w, kConfirmationsHelp)) return TRUE;
  switch (m) {
    case WM_INITDIALOG:
      PlaceDialog(d);
      for (const ConfirmBox& b : kConfirmBoxes)
        CheckDlgButton(d, b.control, (g_confirmFlags & b.flag) ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        for (const ConfirmBox& b : kConfirmBoxes) SetConfirmFlag(b.flag, Checked(d, b.control));
        EndDialog(d, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// ---- Select Files To Display ----

struct MaskDialog {
  HWND browser;
  bool archive;  // the archive list's mask, else the directory list's
  MaskBoxes boxes;
};

const int kMaskBoxIds[] = {IDC_MASK_ALL_FILES, IDC_MASK_PROGRAMS, IDC_MASK_ARJ, IDC_MASK_ZIP, IDC_MASK_ALL_ARCHIVES};

bool* BoxFlag(MaskBoxes& b, int id) {
  switch (id) {
    case IDC_MASK_ALL_FILES: return &b.allFiles;
    case IDC_MASK_PROGRAMS: return &b.programs;
    case IDC_MASK_ARJ: return &b.arj;
    case IDC_MASK_ZIP: return &b.zip;
    case IDC_MASK_ALL_ARCHIVES: return &b.allArchives;
    default: return nullptr;
  }
}

// Reads the window's archive again with its (new) mask. A mask that matches no member empties the
// list; the window keeps its archive.
void ReloadArchiveList(HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r || !r->archivePath[0]) return;
  if (GetFileAttributesA(r->archivePath) == INVALID_FILE_ATTRIBUTES) {
    RefreshArchiveWindow(SlotOf(browser));
    return;
  }
  SendMessageA(r->hwndArchiveList, LB_RESETCONTENT, 0, 0);
  if (GetWindowLongA(browser, kWordArchiveType) == kArchiveTypeArj) {
    SendMessageA(r->hwndArchiveList, WM_SETREDRAW, FALSE, 0);
    ReadArjDirectory(browser, r->archivePath, r->hwndArchiveList, 1, r->archiveMask, nullptr);
    SendMessageA(r->hwndArchiveList, WM_SETREDRAW, TRUE, 0);
  } else {
    LoadZipIntoWindow(r->archivePath, r->hwndArchiveList, r->archiveMask, nullptr);
  }
  InvalidateRect(browser, nullptr, TRUE);
  InvalidateRect(r->hwndArchiveList, nullptr, TRUE);
  if (g_activeBrowser == browser) ShowArchiveTotals(browser);
}

INT_PTR CALLBACK DisplayMaskProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (DialogHelpOrCancel(d, m, w, kDisplayMaskHelp)) return TRUE;
  MaskDialog* md = reinterpret_cast<MaskDialog*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, l);
      md = reinterpret_cast<MaskDialog*>(l);
      WindowRecord* r = RecordOf(md->browser);
      const char* mask = r ? (md->archive ? r->archiveMask : r->dirMask) : "";
      PlaceDialog(d);
      SendDlgItemMessageA(d, IDC_MASK_EDIT, EM_LIMITTEXT, 260, 0);
      SetDlgItemTextA(d, IDC_MASK_CURRENT, mask);
      SetDlgItemTextA(d, IDC_MASK_EDIT, mask);
      return TRUE;
    }
    case WM_COMMAND: {
      if (!md) break;
      const int id = LOWORD(w);
      if (id == IDOK) {
        WindowRecord* r = RecordOf(md->browser);
        if (r) {
          std::string mask = DlgText(d, IDC_MASK_EDIT, 63);
          if (mask.find_first_not_of(' ') == std::string::npos) mask = "*.*";
          char* slot = md->archive ? r->archiveMask : r->dirMask;
          lstrcpynA(slot, mask.c_str(), sizeof r->dirMask);
        }
        EndDialog(d, IDOK);
        return TRUE;
      }
      bool* flag = BoxFlag(md->boxes, id);
      if (flag && HIWORD(w) == BN_CLICKED) {
        *flag = Checked(d, id);
        std::optional<std::string> field =
            ComposeDisplayMask(static_cast<MaskBox>(id), *flag, &md->boxes);
        for (int box : kMaskBoxIds) CheckDlgButton(d, box, *BoxFlag(md->boxes, box) ? BST_CHECKED : BST_UNCHECKED);
        if (field) SetDlgItemTextA(d, IDC_MASK_EDIT, field->c_str());
        return TRUE;
      }
      break;
    }
  }
  return FALSE;
}

// ---- the list font ----

void SendSize(HWND h) {
  RECT rc;
  GetClientRect(h, &rc);
  WPARAM state = IsIconic(h) ? SIZE_MINIMIZED : IsZoomed(h) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessageA(h, WM_SIZE, state, MAKELPARAM(rc.right, rc.bottom));
}

void WriteListFont(int desiredPoints) {
  const char* s = "Current Font";
  const LOGFONTA& f = g_listFont;
  IniWrite(s, "font", f.lfFaceName);
  IniWriteInt(s, "PointSize", f.lfHeight);
  IniWriteInt(s, "DesiredPointSize", desiredPoints);
  IniWriteInt(s, "Weight", f.lfWeight);
  IniWriteInt(s, "Italic", f.lfItalic);
  IniWriteInt(s, "Underline", f.lfUnderline);
  IniWriteInt(s, "StrikeOut", f.lfStrikeOut);
  IniWriteInt(s, "CharSet", f.lfCharSet);
  IniWriteInt(s, "OutPrecision", f.lfOutPrecision);
  IniWriteInt(s, "ClipPrecision", f.lfClipPrecision);
  IniWriteInt(s, "Quality", f.lfQuality);
  IniWriteInt(s, "PitchAndFamily", f.lfPitchAndFamily);
  char color[16];
  std::snprintf(color, sizeof color, "%lu", static_cast<unsigned long>(g_listTextColor));
  IniWrite(s, "TextColor", color);
}

}  // namespace

INT_PTR OpenDefaultsDialog(HWND frame) {
  if (!g_settings) return IDCANCEL;
  return RunDialog(frame, "SETUPQL4", DefaultsProc, 0);
}

INT_PTR OpenConfirmationsDialog(HWND frame) {
  return RunDialog(frame, "WARNING", ConfirmationsProc, 0);
}

INT_PTR OpenDisplayMaskDialog(HWND frame, HWND browser) {
  WindowRecord* r = RecordOf(browser);
  if (!r) return IDCANCEL;
  MaskDialog md{browser, r->hwndFocusList && r->hwndFocusList == r->hwndArchiveList, {}};
  INT_PTR result = RunDialog(frame, "DIR_MASK", DisplayMaskProc, reinterpret_cast<LPARAM>(&md));
  if (result != IDOK || !RecordOf(browser)) return result;
  if (md.archive)
    ReloadArchiveList(browser);
  else
    FillDirectoryList(SlotOf(browser));
  return result;
}

INT_PTR ChooseListFont(HWND frame) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(CHOOSEFONTA) + sizeof(LOGFONTA));
  CHOOSEFONTA* cf = block ? static_cast<CHOOSEFONTA*>(GlobalLock(block)) : nullptr;
  if (!cf) {
    if (block) GlobalFree(block);
    ShowStringMessage(g_activeBrowser ? g_activeBrowser : frame, IDS_NO_MEMORY);
    return IDCANCEL;
  }
  LOGFONTA* lf = reinterpret_cast<LOGFONTA*>(cf + 1);
  *lf = g_listFont;
  if (lf->lfHeight > 0) lf->lfHeight = -lf->lfHeight;
  lf->lfWidth = lf->lfEscapement = lf->lfOrientation = 0;
  cf->lStructSize = sizeof *cf;
  cf->hwndOwner = frame;
  cf->lpLogFont = lf;
  cf->Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  cf->rgbColors = g_listTextColor;
  BOOL chosen = ChooseFontA(cf);
  if (chosen) {
    g_listFont = *lf;
    g_listTextColor = cf->rgbColors;
    ReleaseItemMeasurer();
    ReplaceListFont(frame);
    WriteListFont(cf->iPointSize / 10);
  }
  GlobalUnlock(block);
  GlobalFree(block);
  g_cancelled = !chosen;
  if (!chosen) return IDCANCEL;
  ApplyListFont(frame);
  return IDOK;
}

void ApplyListFont(HWND frame) {
  g_browserHost.listFont = ListFontHandle();
  if (g_listLineHeight > 0) g_browserHost.lineHeight = g_listLineHeight;
  if (g_listCharWidth > 0) g_browserHost.charWidth = g_listCharWidth;
  ApplyListFontToBrowsers();
  if (g_statusBar) {
    for (int pane : {IDC_PANE_HINT, IDC_PANE_DIR_TOTALS, IDC_PANE_ARCHIVE_TOTALS, IDC_PANE_MODE}) {
      HWND h = GetDlgItem(g_statusBar, pane);
      if (!h) continue;
      SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(g_browserHost.listFont), FALSE);
      InvalidateRect(h, nullptr, TRUE);
    }
  }
  if (frame) SendSize(frame);
  for (int i = 0; g_windowTable && i < kMaxWindows; ++i)
    if (HWND h = g_windowTable[i].hwndChild) SendSize(h);
}

bool DispatchOptionsCommand(HWND frame, UINT id) {
  switch (id) {
    case IDM_DEFAULTS:
      OpenDefaultsDialog(frame);
      return true;
    case IDM_CONFIRMATION:
      OpenConfirmationsDialog(frame);
      return true;
    case IDM_FONTS:
      ChooseListFont(frame);
      return true;
    case IDM_BY_FILE_TYPE:
      if (g_activeBrowser) OpenDisplayMaskDialog(frame, g_activeBrowser);
      return true;
    default:
      return false;
  }
}

}  // namespace ql
