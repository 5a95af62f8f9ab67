#include "archivers/arc/arc_cli.h"

#include "archivers/arc/arc_format.h"
#include "archivers/arj/arj_fs.h"
#include "archivers/lzh/archive_file.h"
#include "archivers/lzh/member_out.h"

namespace arc {
namespace {

const char kUsage[] =
    "QLARC - extracts ARC archives (stored, packed, squeezed, crunched, squashed)\n"
    "usage: QLARC ARCHIVE [TARGETDIR\\]   extract every member into TARGETDIR\n"
    "       QLARC -l ARCHIVE             list the members\n"
    "       QLARC -t ARCHIVE             test the members\n"
    "An archive whose name begins with '-' is given with a directory: .\\-NAME.ARC\n"
    "Members are never written outside TARGETDIR. Exit code 0: all well; 1: damage or\n"
    "members not extracted; 2: command or file error.\n";

enum class Mode { kExtract, kList, kTest };

}  // namespace

int RunCli(const std::vector<std::string>& args, FILE* out) {
  if (args.empty()) {
    fputs(kUsage, out);
    return 2;
  }
  Mode mode = Mode::kExtract;
  size_t first = 0;
  if (!args[0].empty() && args[0][0] == '-') {
    const std::string& o = args[0];
    if (o == "-l" || o == "-L") mode = Mode::kList;
    else if (o == "-t" || o == "-T") mode = Mode::kTest;
    else {
      fputs(kUsage, out);
      return 2;
    }
    first = 1;
  }
  std::string archive, target;
  qlx::SplitArchiveAndTarget(std::vector<std::string>(args.begin() + first, args.end()), &archive,
                             &target);
  if (archive.empty() || (mode != Mode::kExtract && !target.empty())) {
    fputs(kUsage, out);
    return 2;
  }
  qlx::ArchiveFile file;
  if (!file.Open(archive)) {
    fprintf(out, "%s: cannot open\n", archive.c_str());
    return 2;
  }
  ReadFn header_in = [&](uint8_t* b, size_t n) { return file.Read(b, n); };
  int failures = 0, members = 0;
  uint64_t total_orig = 0, total_comp = 0;
  if (mode == Mode::kList) fprintf(out, "  Original   Packed Method    CRC   Name\n");
  for (;;) {
    const uint64_t header_at = file.pos();
    Entry e;
    HeaderResult hr = ReadHeader(header_in, &e);
    if (hr == HeaderResult::kEnd) {
      if (header_at == 0 && members == 0 && file.size() == 0) {
        fprintf(out, "%s: not an ARC archive\n", archive.c_str());
        return 1;
      }
      break;
    }
    if (hr != HeaderResult::kOk) {
      fprintf(out, "%s: %s at offset %llu\n", archive.c_str(),
              header_at == 0 && hr == HeaderResult::kNoMarker ? "not an ARC archive"
                                                              : HeaderMessage(hr),
              static_cast<unsigned long long>(header_at));
      ++failures;
      break;
    }
    ++members;
    const uint64_t data_at = file.pos();
    if (data_at + e.comp_size > file.size()) {
      fprintf(out, "%s: the archive ends inside the data (%s)\n", e.name.c_str(), archive.c_str());
      ++failures;
      break;
    }
    total_orig += e.orig_size;
    total_comp += e.comp_size;
    if (mode == Mode::kList) {
      fprintf(out, "%10lu %8lu %-9s %04X  %s\n", static_cast<unsigned long>(e.orig_size),
              static_cast<unsigned long>(e.comp_size), MethodName(e.method), e.crc, e.name.c_str());
    } else if (!MethodSupported(e.method)) {
      fprintf(out, "%s: unsupported method %d\n", e.name.c_str(), e.method);
      ++failures;
    } else {
      uint32_t left = e.comp_size;
      ReadFn data_in = [&](uint8_t* b, size_t n) {
        if (n > left) n = left;
        size_t got = file.Read(b, n);
        left -= static_cast<uint32_t>(got);
        return got;
      };
      std::string why;
      if (mode == Mode::kTest) {
        DataResult r = DecodeData(e, data_in, [](const uint8_t*, size_t) { return true; });
        fprintf(out, "%s: %s\n", e.name.c_str(), r == DataResult::kOk ? "OK" : DataMessage(r));
        if (r != DataResult::kOk) ++failures;
      } else {
        qlx::MemberFile member;
        if (!member.Open(target, e.name, &why)) {
          fprintf(out, "%s: %s\n", e.name.c_str(), why.c_str());
          ++failures;
        } else {
          DataResult r = DecodeData(e, data_in, [&](const uint8_t* b, size_t n) {
            return member.Write(b, n);
          });
          const uint32_t dos = static_cast<uint32_t>(e.date) << 16 | e.time;
          if (r != DataResult::kOk) {
            member.Discard();
            fprintf(out, "%s: %s, not extracted\n", e.name.c_str(), DataMessage(r));
            ++failures;
          } else if (!member.Commit(dos ? arj::fs::DosToUnix(dos) : -1, &why)) {
            fprintf(out, "%s: %s\n", e.name.c_str(), why.c_str());
            ++failures;
          } else {
            fprintf(out, "%s: extracted\n", e.name.c_str());
          }
        }
      }
    }
    if (!file.Seek(data_at + e.comp_size)) {
      ++failures;
      break;
    }
  }
  if (mode == Mode::kList) {
    fprintf(out, "%10llu %8llu           %d member(s)\n",
            static_cast<unsigned long long>(total_orig), static_cast<unsigned long long>(total_comp),
            members);
  }
  if (failures) fprintf(out, "%d error(s)\n", failures);
  return failures ? 1 : 0;
}

}  // namespace arc
