#include "archivers/zipfix/pkzipfix_cli.h"

#include <cctype>

#include "archivers/zipfix/zip_rebuild.h"
#include "common/repaired_zip_name.h"

namespace qlzipfix {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// An absolute form for comparing two names of files (relative names are taken from the
// current directory; "." components are not resolved).
std::string Absolute(qlzip::Host& host, const std::string& path) {
  bool absolute = (!path.empty() && path[0] == '/') || (path.size() >= 3 && path[1] == ':' && path[2] == '/');
  std::string p = absolute ? path : qlzip::JoinPath(host.CurrentDir(), path);
  std::string out;
  for (size_t i = 0; i < p.size(); ++i) {
    if (p.compare(i, 2, "./") == 0 && (i == 0 || p[i - 1] == '/')) {
      ++i;
      continue;
    }
    out += p[i];
  }
  return out;
}

}  // namespace

std::string FixedName(int n) { return ql::RepairedZipName(n); }

int RunZipFix(const std::vector<std::string>& args, qlzip::Host& host, std::FILE* log) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(log, "Usage: pkzipfix zipfile[.ZIP] [directory]\n"
                      "  rebuilds a damaged archive into PKFIXED.ZIP in the directory (or in the\n"
                      "  directory of the file named there, or in the current directory)\n");
    return kFixBadParams;
  }
  std::string input = qlzip::ToSlashes(args[0]);
  qlzip::DirEntry st;
  if (!host.Stat(input, st) && !qlzip::HasExtension(input)) input += ".ZIP";
  if (!host.Stat(input, st) || st.isDir) {
    std::fprintf(log, "PKZIPFIX: can't find %s\n", input.c_str());
    return kFixNoInput;
  }

  std::string dir = args.size() > 1 ? qlzip::ToSlashes(args[1]) : std::string();
  while (dir.size() > 1 && dir.back() == '/' && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
  if (!dir.empty()) {
    qlzip::DirEntry d;
    if (!host.Stat(dir, d)) {
      std::fprintf(log, "PKZIPFIX: the directory %s does not exist\n", dir.c_str());
      return kFixBadParams;
    }
    if (!d.isDir) dir = qlzip::DirName(dir);
  }
  // An earlier repair in that place is never written over: the first free name of PKFIXED.ZIP,
  // PKFIX001.ZIP ... PKFIX999.ZIP takes this one.
  std::string output;
  for (int n = 0; n < ql::kRepairedZipNames && output.empty(); ++n) {
    std::string candidate = qlzip::JoinPath(dir, FixedName(n));
    qlzip::DirEntry existing;
    if (!host.Stat(candidate, existing)) output = candidate;
  }
  if (output.empty()) {
    std::fprintf(log, "PKZIPFIX: %s and PKFIX001.ZIP to PKFIX999.ZIP all exist in %s; nothing was written\n",
                 kFixedName, dir.empty() ? "the current directory" : dir.c_str());
    return kFixWriteError;
  }
  // The input is never written (a free name is never the input, but a name can have two forms).
  if (Upper(Absolute(host, output)) == Upper(Absolute(host, input))) {
    std::fprintf(log, "PKZIPFIX: %s would be written over itself; rename it or choose another directory\n",
                 input.c_str());
    return kFixBadParams;
  }

  std::FILE* in = host.OpenRead(input);
  if (!in) {
    std::fprintf(log, "PKZIPFIX: can't open %s\n", input.c_str());
    return kFixNoInput;
  }
  qlzip::FileSource src(in);
  std::FILE* out = nullptr;
  std::string temp;
  for (int n = 0; n < 1000 && !out; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "PKFIX%03d.TMP", n);
    temp = qlzip::JoinPath(dir, name);
    out = host.CreateNew(temp);
  }
  if (!out) {
    std::fprintf(log, "PKZIPFIX: can't create a file in %s\n", dir.empty() ? "the current directory" : dir.c_str());
    return kFixWriteError;
  }
  std::fprintf(log, "Rebuilding %s\n", input.c_str());
  RebuildReport report;
  RebuildResult r = RebuildZip(src, [&](const uint8_t* p, size_t n) { return std::fwrite(p, 1, n, out) == n; },
                               &report);
  bool written = std::fclose(out) == 0 && r == RebuildResult::kOk;
  for (const LeftOut& l : report.leftOut)
    std::fprintf(log, "  Left out: %s (at offset %llu): %s\n", l.name.empty() ? "?" : l.name.c_str(),
                 static_cast<unsigned long long>(l.offset), l.reason.c_str());
  for (const std::string& name : report.unchecked)
    std::fprintf(log, "  Kept without a CRC check (encrypted or an old method): %s\n", name.c_str());
  if (r == RebuildResult::kNothingFound) {
    host.Remove(temp);
    std::fprintf(log, "No member of %s could be recovered; nothing was written\n", input.c_str());
    return kFixNothing;
  }
  qlzip::DirEntry appeared;
  if (!written || host.Stat(output, appeared) || !host.Replace(temp, output)) {
    host.Remove(temp);
    std::fprintf(log, "PKZIPFIX: can't write %s\n", output.c_str());
    return kFixWriteError;
  }
  std::fprintf(log, "%zu member(s) recovered into %s; %zu left out\n", report.kept.size(), output.c_str(),
               report.leftOut.size());
  return report.leftOut.empty() ? kFixOk : kFixLeftOut;
}

}  // namespace qlzipfix
