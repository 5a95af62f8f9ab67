#include "print/print_win.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/dialog_kit_win.h"
#include "common/shared_win.h"
#include "readers/readers_win.h"
#include "resources/ids.h"

namespace ql {

namespace {

constexpr const char* kDocumentName = "Archive Listing";
constexpr const char* kPrintingDialog = "PRTDLG";

// The printer and its settings chosen last in the print or setup dialog, kept while the program
// runs; the page range and copies are preset for every job.
PRINTDLGA g_printDialog;

// Set by the printing dialog's Cancel.
bool g_abortRequested = false;

void ResetPrintDialog(HWND owner) {
  HGLOBAL mode = g_printDialog.hDevMode, names = g_printDialog.hDevNames;
  g_printDialog = PRINTDLGA{};
  g_printDialog.lStructSize = sizeof g_printDialog;
  g_printDialog.hwndOwner = owner;
  g_printDialog.hDevMode = mode;
  g_printDialog.hDevNames = names;
}

std::string ListingFilePath(const std::string& workDirectory) {
  std::string p = workDirectory;
  if (p.empty() || p.back() != '\\') p += '\\';
  return p + "ql5files";
}

bool WriteAll(HANDLE f, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD wrote = 0;
    if (!WriteFile(f, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr) || !wrote)
      return false;
    done += wrote;
  }
  return true;
}

// Reads the whole file from its start; false when memory runs out.
bool ReadAll(HANDLE f, std::string* text) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f, &size) || size.QuadPart < 0) return false;
  try {
    text->assign(static_cast<size_t>(size.QuadPart), '\0');
  } catch (const std::bad_alloc&) {
    return false;
  }
  LARGE_INTEGER zero{};
  SetFilePointerEx(f, zero, nullptr, FILE_BEGIN);
  size_t done = 0;
  while (done < text->size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(text->size() - done, 1u << 30));
    if (!ReadFile(f, &(*text)[done], want, &got, nullptr) || !got) break;
    done += got;
  }
  text->resize(done);
  return true;
}

// The listing file: title, headings, the reader's lines, totals. Its lines on success; false
// after a message (the file is gone then, unless it could not be made).
bool WriteListingFile(const PrintHost& host, const ListingRequest& req, ListingKind* kind,
                      std::vector<std::string>* lines) {
  const std::string path = ListingFilePath(host.workDirectory);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    ShowStringMessageArg(host.owner, IDS_TEMP_FILE_FAILED, path.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  auto fail = [&](UINT message, const char* arg) {
    CloseHandle(f);
    DeleteFileA(path.c_str());
    if (message && arg) ShowStringMessageArg(host.owner, message, arg, MB_OK | MB_ICONEXCLAMATION);
    else if (message) ShowStringMessage(host.owner, message);
    return false;
  };
  const char* archive = req.archivePath.c_str();
  if (!req.fromWindow) {
    HANDLE probe = CreateFileA(archive, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return fail(IDS_CANNOT_LOAD_LIBRARY, archive);
    CloseHandle(probe);
  }
  *kind = req.fromWindow ? req.kind : ListingKindOfName(req.archivePath);
  std::string head = ListingTitleLine(req.archivePath) + "\r\n\r\n" + ListingHeading(*kind) + "\r\n" +
                     ListingDashes(*kind) + "\r\n";
  if (!WriteAll(f, head)) return fail(IDS_TEMP_FILE_FAILED, path.c_str());
  int read = *kind == ListingKind::Zip ? ReadZipDirectory(archive, nullptr, "*.*", f)
                                       : ReadArjDirectory(nullptr, archive, nullptr, 1, "*.*", f);
  if (read < 0) return fail(0, nullptr);  // the reader said why
  std::string text;
  if (!ReadAll(f, &text)) return fail(IDS_NO_MEMORY, nullptr);
  try {
    *lines = SplitListingLines(text);
  } catch (const std::bad_alloc&) {
    return fail(IDS_NO_MEMORY, nullptr);
  }
  // Totals: the window's, or those of the lines the reader wrote.
  ListingTotals totals = req.fromWindow ? req.windowTotals : TotalsOfEntryLines(*lines);
  std::string last = ListingTotalsLine(totals);
  LARGE_INTEGER zero{};
  SetFilePointerEx(f, zero, nullptr, FILE_END);
  if (!WriteAll(f, last + "\r\n")) return fail(IDS_TEMP_FILE_FAILED, path.c_str());
  lines->push_back(last);
  CloseHandle(f);
  return true;
}

// The listing's font: a fixed-pitch font of 10 points, so that the columns line up at their tab
// stops and a ZIP or ARJ line fits the width of a page (a printer context's own font may be as large
// as 24 points).
HFONT CreateListingFont(HDC dc) {
  return CreateFontA(-MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                     "Courier New");
}

// The metrics of the font selected in a printer context.
bool MeasureSelectedFont(HDC dc, PrinterMetrics* m) {
  *m = PrinterMetrics{};
  TEXTMETRICA tm{};
  if (!dc || !GetTextMetricsA(dc, &tm)) return false;
  m->charWidth = tm.tmAveCharWidth;
  m->lineHeight = tm.tmHeight + tm.tmExternalLeading;
  if (m->charWidth <= 0 || m->lineHeight <= 0) return false;
  m->charsPerLine = GetDeviceCaps(dc, HORZRES) / m->charWidth;
  m->linesPerPage = GetDeviceCaps(dc, VERTRES) / m->lineHeight;
  return m->charsPerLine > 0 && m->linesPerPage >= kMinLinesPerPage;
}

// A context for the printer that the dialog data or WIN.INI names.
HDC ContextFor(const DEVNAMES* names, const DEVMODEA* mode) {
  if (names) {
    const char* base = reinterpret_cast<const char*>(names);
    return CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, mode);
  }
  char entry[512] = "";
  GetProfileStringA("windows", "device", "", entry, sizeof entry);
  PrinterDevice d;
  if (!ParseDeviceEntry(entry, &d)) return nullptr;
  return CreateDCA(d.driver.c_str(), d.printer.c_str(), d.port.c_str(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// The printing dialog.

INT_PTR CALLBACK PrintingDialogProc(HWND d, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      SetWindowTextA(d, "Quillon");
      EnableMenuItem(GetSystemMenu(d, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
      PlaceDialog(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDCANCEL) {
        g_abortRequested = true;
        EnableWindow(GetDlgItem(d, IDCANCEL), FALSE);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// Lets the printing dialog take its clicks between pages.
void PumpPrintingDialog(HWND dialog) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      g_abortRequested = true;
      return;
    }
    if (dialog && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

struct PrintJob {
  HDC dc = nullptr;
  HFONT font = nullptr;
  HWND dialog = nullptr;
  HWND frame = nullptr;
  bool started = false;
  PrinterMetrics metrics;
  int from = 1, to = 1, copies = 1;
};

// The print dialog (a device context, range and copies), the printing dialog and the document.
// False when cancelled (silently) or after a message.
bool BeginPrintJob(const PrintHost& host, int pageCount, PrintJob* job) {
  ResetPrintDialog(host.owner);
  PRINTDLGA& pd = g_printDialog;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  const WORD last = static_cast<WORD>(std::min(pageCount, 0xFFFF));
  pd.nFromPage = 1;
  pd.nToPage = last;
  pd.nMinPage = 1;
  pd.nMaxPage = last;
  pd.nCopies = 1;
  if (!PrintDlgA(&pd)) {
    if (CommDlgExtendedError() == 0) {
      g_cancelled = true;
      return false;
    }
    ShowStringMessage(host.owner, IDS_PRINTER_ERROR);
    return false;
  }
  g_cancelled = false;
  DEVNAMES* names = pd.hDevNames ? static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames)) : nullptr;
  DEVMODEA* mode = pd.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(pd.hDevMode)) : nullptr;
  job->dc = pd.hDC ? pd.hDC : ContextFor(names, mode);
  pd.hDC = nullptr;
  job->copies = pd.nCopies > 0 ? pd.nCopies : 1;
  // The copies are printed here, each from its first page: the printer makes one of each.
  if (mode && (mode->dmFields & DM_COPIES) && mode->dmCopies > 1) {
    if (mode->dmCopies > job->copies) job->copies = mode->dmCopies;
    mode->dmCopies = 1;
    if (job->dc) ResetDCA(job->dc, mode);
  }
  if (names) GlobalUnlock(pd.hDevNames);
  if (mode) GlobalUnlock(pd.hDevMode);
  if (!job->dc) {
    ShowStringMessage(host.owner, IDS_PRINTER_ERROR);
    return false;
  }
  job->from = (pd.Flags & PD_PAGENUMS) ? pd.nFromPage : 1;
  job->to = (pd.Flags & PD_PAGENUMS) ? pd.nToPage : pageCount;
  job->font = CreateListingFont(job->dc);
  if (job->font) SelectObject(job->dc, job->font);
  if (!MeasureSelectedFont(job->dc, &job->metrics)) {
    DeleteDC(job->dc);
    job->dc = nullptr;
    if (job->font) DeleteObject(job->font);
    job->font = nullptr;
    ShowStringMessage(host.owner, IDS_PRINTER_ERROR);
    return false;
  }
  g_abortRequested = false;
  job->frame = host.frame;
  if (job->frame) EnableWindow(job->frame, FALSE);
  job->dialog = CreateDialogParamA(GetModuleHandleA(nullptr), kPrintingDialog, host.frame ? host.frame : host.owner,
                                   PrintingDialogProc, 0);
  if (!job->dialog) {
    ReportDialogNotMade(host.owner, kPrintingDialog);
  } else {
    ShowWindow(job->dialog, SW_SHOW);
    UpdateWindow(job->dialog);
  }
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = kDocumentName;
  doc.lpszOutput = nullptr;
  job->started = StartDocA(job->dc, &doc) > 0;
  return true;
}

// Ends (or, after Cancel, aborts) the document and releases the job; false when the printer
// reported an error.
bool EndPrintJob(PrintJob* job, bool failed) {
  if (job->frame) EnableWindow(job->frame, TRUE);
  bool ok = job->started && !failed;
  if (job->started) {
    if (failed || g_abortRequested) AbortDoc(job->dc);
    else ok = EndDoc(job->dc) > 0;
  }
  if (job->dialog) DestroyWindow(job->dialog);
  job->dialog = nullptr;
  if (job->dc) DeleteDC(job->dc);
  job->dc = nullptr;
  if (job->font) DeleteObject(job->font);
  job->font = nullptr;
  return ok;
}

bool DrawPage(HDC dc, HFONT font, const ListingPage& page, const PrinterMetrics& m, const std::vector<int>& stops) {
  if (StartPage(dc) <= 0) return false;
  // A new page may start with the context's defaults again.
  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (const PageLine& line : page.lines) {
    if (line.text.empty()) continue;
    TabbedTextOutA(dc, 0, m.lineHeight * line.row, line.text.c_str(), static_cast<int>(line.text.size()),
                   static_cast<int>(stops.size()), const_cast<int*>(stops.data()), 0);
  }
  int x = FooterColumn(m.charsPerLine, page.footer.size()) * m.charWidth;
  TextOutA(dc, x, m.lineHeight * FooterRow(m.linesPerPage), page.footer.c_str(), static_cast<int>(page.footer.size()));
  return EndPage(dc) > 0;
}

}  // namespace

bool MeasurePrinter(HDC dc, PrinterMetrics* m) {
  *m = PrinterMetrics{};
  if (!dc) return false;
  HFONT font = CreateListingFont(dc);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  bool ok = MeasureSelectedFont(dc, m);
  if (old) SelectObject(dc, old);
  if (font) DeleteObject(font);
  return ok;
}

HDC CreatePrinterContext() {
  DEVNAMES* names = g_printDialog.hDevNames ? static_cast<DEVNAMES*>(GlobalLock(g_printDialog.hDevNames)) : nullptr;
  DEVMODEA* mode = g_printDialog.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(g_printDialog.hDevMode)) : nullptr;
  HDC dc = ContextFor(names, mode);
  if (names) GlobalUnlock(g_printDialog.hDevNames);
  if (mode) GlobalUnlock(g_printDialog.hDevMode);
  return dc;
}

bool PrintArchiveListing(const PrintHost& host, const ListingRequest& request) {
  ListingKind kind = ListingKind::Zip;
  std::vector<std::string> lines;
  if (!WriteListingFile(host, request, &kind, &lines)) return false;
  const std::string listingFile = ListingFilePath(host.workDirectory);

  // The pages as the printer chosen last would print them; a printer that cannot be measured
  // stops the job before anything is printed.
  PrinterMetrics measured;
  HDC probe = CreatePrinterContext();
  bool measuredOk = MeasurePrinter(probe, &measured);
  if (probe) DeleteDC(probe);
  if (!measuredOk) {
    DeleteFileA(listingFile.c_str());
    ShowStringMessage(host.owner, IDS_PRINTER_ERROR);
    return false;
  }
  std::vector<ListingPage> pages = LayOutListing(lines, kind, request.archivePath, measured.linesPerPage);
  int pageCount = static_cast<int>(pages.size());

  PrintJob job;
  if (!BeginPrintJob(host, pageCount, &job)) {
    if (!g_cancelled) DeleteFileA(listingFile.c_str());
    return false;
  }
  // The printer chosen in the dialog may hold another number of lines.
  if (job.metrics.linesPerPage != measured.linesPerPage)
    pages = LayOutListing(lines, kind, request.archivePath, job.metrics.linesPerPage);
  std::vector<int> stops;
  for (int s : ListingTabStops(kind)) stops.push_back(s * job.metrics.charWidth);

  bool failed = !job.started;
  for (const ListingPage& page : PagesToPrint(pages, job.from, job.to, job.copies)) {
    PumpPrintingDialog(job.dialog);
    if (g_abortRequested || failed) break;
    failed = !DrawPage(job.dc, job.font, page, job.metrics, stops);
  }
  PumpPrintingDialog(job.dialog);
  bool aborted = g_abortRequested;
  bool ok = EndPrintJob(&job, failed);
  if (aborted) return false;
  if (!ok) {
    DeleteFileA(listingFile.c_str());
    ShowStringMessage(host.owner, IDS_PRINTER_ERROR);
    return false;
  }
  return true;
}

void SetupPrinter(HWND owner) {
  ResetPrintDialog(owner);
  g_printDialog.Flags = PD_PRINTSETUP;
  if (!PrintDlgA(&g_printDialog)) {
    g_cancelled = true;
    if (CommDlgExtendedError() != 0) ShowStringMessage(owner, IDS_PRINTER_ERROR);
    return;
  }
  g_cancelled = false;
  if (g_printDialog.hDC) DeleteDC(g_printDialog.hDC);
  g_printDialog.hDC = nullptr;
}

}  // namespace ql
