#include "print/tests/test_printer.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>

namespace qltest {

namespace {

constexpr const char* kDriverName = "Wine PostScript Driver";
constexpr const char* kSpoolerKey = "Software\\Wine\\Printing\\Spooler";
constexpr const char* kPort = "LPT1:";

std::string ReadWhole(const std::string& path, bool* ok) {
  *ok = false;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(f);
  *ok = true;
  return out;
}

// Wine's generic PPD, kept in its winspool.drv as resource PPDFILE 1, written to `path`.
bool ExtractGenericPpd(const std::string& path) {
  HMODULE h = LoadLibraryA("winspool.drv");
  if (!h) return false;
  HRSRC res = FindResourceA(h, MAKEINTRESOURCEA(1), "PPDFILE");
  if (!res) return false;
  const char* p = static_cast<const char*>(LockResource(LoadResource(h, res)));
  DWORD size = SizeofResource(h, res);
  if (!p || !size) return false;
  const void* end = std::memchr(p, 0, size);  // the resource may be padded with zeros
  if (end) size = static_cast<DWORD>(static_cast<const char*>(end) - p);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  bool ok = WriteFile(f, p, size, &wrote, nullptr) && wrote == size;
  CloseHandle(f);
  return ok;
}

std::string Quoted(const std::string& unixPath) { return "\"" + unixPath + "\""; }

// Lines trimmed, runs of blanks squeezed: Ghostscript places words by their position on the page.
std::string Normalised(const std::string& text) {
  std::string out, line;
  auto flush = [&] {
    size_t b = line.find_first_not_of(' ');
    size_t e = line.find_last_not_of(' ');
    if (b != std::string::npos) out += line.substr(b, e - b + 1);
    out += '\n';
    line.clear();
  };
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      flush();
      continue;
    }
    if (c == '\t') c = ' ';
    if (c == ' ' && !line.empty() && line.back() == ' ') continue;
    line += c;
  }
  if (!line.empty()) flush();
  return out;
}

}  // namespace

std::string UnixPath(const std::string& windowsPath) {
  typedef char*(CDECL * ToUnix)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  WCHAR wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH)) return "";
  char* unix = toUnix(wide);
  if (!unix) return "";
  std::string out = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

bool HaveGhostscript() {
  return GetFileAttributesA("Z:\\usr\\bin\\gs") != INVALID_FILE_ATTRIBUTES;
}

bool InstallTestPrinter(std::string* error) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  std::string ppd = std::string(temp) + "quillon-generic-ps.ppd";
  if (!ExtractGenericPpd(ppd)) {
    *error = "no PPD in winspool.drv";
    return false;
  }
  DRIVER_INFO_3A di{};
  di.cVersion = 3;
  di.pName = const_cast<char*>(kDriverName);
  di.pEnvironment = nullptr;  // this process's own environment (x86 or x64)
  di.pDriverPath = const_cast<char*>("wineps.drv");
  di.pDataFile = &ppd[0];
  di.pConfigFile = const_cast<char*>("wineps.drv");
  di.pDefaultDataType = const_cast<char*>("RAW");
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) &&
      GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
    *error = "AddPrinterDriverEx failed: " + std::to_string(GetLastError());
    return false;
  }
  PRINTER_INFO_2A pi{};
  pi.pPrinterName = const_cast<char*>(kTestPrinterName);
  pi.pPortName = const_cast<char*>(kPort);
  pi.pDriverName = const_cast<char*>(kDriverName);
  // winprint passes the driver's PostScript through; Wine's "wineps" processor takes EMF only.
  pi.pPrintProcessor = const_cast<char*>("winprint");
  pi.pDatatype = const_cast<char*>("RAW");
  pi.pComment = const_cast<char*>("");
  pi.pLocation = const_cast<char*>("");
  pi.pParameters = const_cast<char*>("");
  pi.pShareName = const_cast<char*>("");
  pi.pSepFile = const_cast<char*>("");
  pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
  if (h) {
    ClosePrinter(h);
  } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
    *error = "AddPrinter failed: " + std::to_string(GetLastError());
    return false;
  }
  if (!SetDefaultPrinterA(kTestPrinterName)) {
    *error = "SetDefaultPrinter failed: " + std::to_string(GetLastError());
    return false;
  }
  return true;
}

bool RemoveTestPrinter() {
  HANDLE h = nullptr;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  bool ok = true;
  if (OpenPrinterA(const_cast<char*>(kTestPrinterName), &h, &access)) {
    ok = DeletePrinter(h) != FALSE;
    ClosePrinter(h);
  }
  WriteProfileStringA("windows", "device", nullptr);
  return ok;
}

PrinterOutput::PrinterOutput(const std::string& dir) : dir_(dir), ps_(dir + "\\job.ps") {
  std::string d = UnixPath(dir);
  // Each job: its PostScript appended to job.ps and kept as jobN.ps, its pages as text files.
  std::string command =
      "|d=" + Quoted(d) +
      "; n=$(ls \"$d\" | grep -c '^job[0-9][0-9]*\\.ps$'); n=$((n+1)); "
      "cat > \"$d/job$n.ps\" && cat \"$d/job$n.ps\" >> \"$d/job.ps\" && "
      "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=\"$d/job$n-%03d.txt\" \"$d/job$n.ps\" && "
      "touch \"$d/job$n.done\"";
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(key, kPort, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
  }
}

PrinterOutput::~PrinterOutput() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, kPort);
    RegCloseKey(key);
  }
}

int PrinterOutput::JobsDone() const {
  int n = 0;
  while (GetFileAttributesA((dir_ + "\\job" + std::to_string(n + 1) + ".done").c_str()) != INVALID_FILE_ATTRIBUTES) ++n;
  return n;
}

std::vector<std::string> PrinterOutput::Pages() const {
  std::vector<std::string> pages;
  for (int job = 1;; ++job) {
    if (GetFileAttributesA((dir_ + "\\job" + std::to_string(job) + ".ps").c_str()) == INVALID_FILE_ATTRIBUTES) break;
    for (int page = 1;; ++page) {
      char name[64];
      std::snprintf(name, sizeof name, "\\job%d-%03d.txt", job, page);
      bool ok = false;
      std::string text = ReadWhole(dir_ + name, &ok);
      if (!ok) break;
      pages.push_back(Normalised(text));
    }
  }
  return pages;
}

}  // namespace qltest
