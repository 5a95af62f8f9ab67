// A real printer for tests, in the test's Wine prefix: Wine's PostScript driver with its generic
// PPD on port "LPT1:", made the default printer. Wine's spooler sends a job on "LPT1:" to the Unix
// file or command that HKCU\Software\Wine\Printing\Spooler names; a test points it at a command
// that keeps the PostScript and turns every page into a text file with Ghostscript (txtwrite), and
// reads the pages back.
#pragma once
#include <string>
#include <vector>

namespace qltest {

constexpr const char* kTestPrinterName = "Quillon Test PS";

// Adds the driver and the printer (once per prefix) and makes it the default printer.
// False with `*error` naming the step that failed.
bool InstallTestPrinter(std::string* error);
// Removes the test printer and clears the default printer: a prefix without printers.
bool RemoveTestPrinter();

// Where the pages of the next jobs go: `dir` (a Windows path on a Unix drive, e.g. Z:\tmp\x)
// receives job.ps (all PostScript written, jobs appended) and, per job, page texts
// job<n>-<page>.txt, and job<n>.done once they are written. The destructor removes the mapping.
class PrinterOutput {
 public:
  explicit PrinterOutput(const std::string& dir);
  ~PrinterOutput();
  PrinterOutput(const PrinterOutput&) = delete;
  PrinterOutput& operator=(const PrinterOutput&) = delete;

  // The pages of the jobs printed so far as text, in the order printed (Ghostscript's text with
  // its blanks between columns squeezed to one, lines trimmed).
  std::vector<std::string> Pages() const;
  // The number of jobs the spooler finished (text pages written) since the output was set up.
  int JobsDone() const;
  const std::string& PostScript() const { return ps_; }

 private:
  std::string dir_;
  std::string ps_;
};

// The Unix form of a path on drive Z: ("Z:\tmp\a" -> "/tmp/a"); empty for other drives.
std::string UnixPath(const std::string& windowsPath);
// Whether Ghostscript is installed (scripts/setup.sh installs it).
bool HaveGhostscript();

}  // namespace qltest
