#include "archivers/arc/arc_cli.h"

#include <string>

#include "archivers/arc/arc_format.h"
#include "archivers/arj/arj_fs.h"
#include "archivers/lzh/member_run.h"

namespace arc {
namespace {

const char kUsage[] =
    "QLARC - extracts ARC archives (stored, packed, squeezed, crunched, squashed)\n"
    "usage: QLARC [-y] ARCHIVE [TARGETDIR\\]   extract every member into TARGETDIR\n"
    "       QLARC -l ARCHIVE             list the members\n"
    "       QLARC -t ARCHIVE             test the members\n"
    "An archive whose name begins with '-' is given with a directory: .\\-NAME.ARC\n"
    "An existing file is asked about before it is replaced; -y replaces it without asking.\n"
    "Members are never written outside TARGETDIR. Exit code 0: all well; 1: damage or\n"
    "members not extracted; 2: command or file error.\n";

class ArcFormat : public qlx::MemberFormat {
 public:
  Header Next(const qlx::ByteReader& in, uint64_t header_at, const char** message) override {
    e_ = Entry();
    HeaderResult hr = ReadHeader(in, &e_);
    if (hr == HeaderResult::kEnd) return Header::kEnd;
    if (hr == HeaderResult::kOk) return Header::kMember;
    *message = header_at == 0 && hr == HeaderResult::kNoMarker ? "not an ARC archive"
                                                               : HeaderMessage(hr);
    return Header::kBad;
  }
  const std::string& name() const override { return e_.name; }
  uint32_t comp_size() const override { return e_.comp_size; }
  uint32_t orig_size() const override { return e_.orig_size; }
  int64_t unix_time() const override {
    const uint32_t dos = static_cast<uint32_t>(e_.date) << 16 | e_.time;
    return dos ? arj::fs::DosToUnix(dos) : -1;
  }
  bool method_supported() const override { return MethodSupported(e_.method); }
  std::string method_label() const override { return std::to_string(e_.method); }
  void PrintRow(FILE* out) const override {
    fprintf(out, "%10lu %8lu %-9s %04X  %s\n", static_cast<unsigned long>(e_.orig_size),
            static_cast<unsigned long>(e_.comp_size), MethodName(e_.method), e_.crc,
            e_.name.c_str());
  }
  const char* Decode(const qlx::ByteReader& in, const qlx::ByteWriter& out) const override {
    DataResult r = DecodeData(e_, in, out);
    return r == DataResult::kOk ? nullptr : DataMessage(r);
  }

 private:
  Entry e_;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, FILE* out) {
  if (args.empty()) {
    fputs(kUsage, out);
    return 2;
  }
  qlx::RunMode mode = qlx::RunMode::kExtract;
  size_t first = 0;
  bool yes = false;
  if (!args[0].empty() && args[0][0] == '-') {
    const std::string& o = args[0];
    if (o == "-y" || o == "-Y") yes = true;
    else if (o == "-l" || o == "-L") mode = qlx::RunMode::kList;
    else if (o == "-t" || o == "-T") mode = qlx::RunMode::kTest;
    else {
      fputs(kUsage, out);
      return 2;
    }
    first = 1;
  }
  static const qlx::FormatText kText = {kUsage, "ARC", "  Original   Packed Method    CRC   Name",
                                        "           "};
  ArcFormat format;
  return qlx::RunMembers(format, kText, mode,
                         std::vector<std::string>(args.begin() + first, args.end()), true, yes,
                         out);
}

}  // namespace arc
