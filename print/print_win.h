// Printing an archive's listing: the listing file in the work directory, the printer chosen in
// the print dialog, the pages through GDI with the printing dialog PRTDLG shown meanwhile; and the
// printer setup, whose choice serves the next jobs.
#pragma once
#include <windows.h>

#include <string>

#include "print/listing_pages.h"

namespace ql {

// The archive to print. An archive a browser window shows in its archive list is listed with the
// window's type and totals; any other is listed by its name and its totals are counted from the
// lines.
struct ListingRequest {
  std::string archivePath;
  bool fromWindow = false;
  ListingKind kind = ListingKind::Zip;  // when fromWindow
  ListingTotals windowTotals;           // when fromWindow
};

// Where a job runs: the frame (disabled while the pages are printed), the owner of the messages
// and dialogs, and the work directory that receives the listing file ql5files.
struct PrintHost {
  HWND frame = nullptr;
  HWND owner = nullptr;
  std::string workDirectory;
};

// Writes the listing file, measures the printer, asks for printer, pages and copies in the print
// dialog and prints. True when printed; false after a message, or silently when the print dialog
// was cancelled (the cancelled flag is set then).
bool PrintArchiveListing(const PrintHost& host, const ListingRequest& request);

// The print-setup form of the print dialog.
void SetupPrinter(HWND owner);

// The metrics of a printer device context with the listing's font (a fixed-pitch font of 10
// points): the average character width, the line height (with external leading), characters per
// line and lines per page. False when they cannot hold a listing page.
struct PrinterMetrics {
  int charWidth = 0;
  int lineHeight = 0;
  int charsPerLine = 0;
  int linesPerPage = 0;
};
bool MeasurePrinter(HDC dc, PrinterMetrics* m);

// A device context for the printer chosen last in the print or setup dialog, else for WIN.INI's
// default printer; null when there is none.
HDC CreatePrinterContext();

}  // namespace ql
