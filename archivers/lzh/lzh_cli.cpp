#include "archivers/lzh/lzh_cli.h"

#include <cctype>

#include "archivers/arj/arj_fs.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/lzh/member_run.h"

namespace lzh {
namespace {

const char kUsage[] =
    "QLLZH - extracts LZH archives (-lh0-, -lh5-, -lh6-, -lh7-; header levels 0-3)\n"
    "usage: QLLZH e [-y] ARCHIVE [TARGETDIR\\]   extract every member into TARGETDIR\n"
    "       QLLZH x [-y] ARCHIVE [TARGETDIR\\]   the same\n"
    "       QLLZH l ARCHIVE                list the members\n"
    "       QLLZH t ARCHIVE                test the members\n"
    "An existing file is asked about before it is replaced; -y replaces it without asking.\n"
    "Members are never written outside TARGETDIR. Exit code 0: all well; 1: damage or\n"
    "members not extracted; 2: command or file error.\n";

int64_t EntryTime(const Entry& e) {
  if (e.unix_time >= 0) return e.unix_time;
  return e.dos_time ? arj::fs::DosToUnix(e.dos_time) : -1;
}

class LzhFormat : public qlx::MemberFormat {
 public:
  Header Next(const qlx::ByteReader& in, uint64_t, const char** message) override {
    e_ = Entry();
    HeaderResult hr = ReadHeader(in, &e_);
    if (hr == HeaderResult::kEnd) return Header::kEnd;
    if (hr == HeaderResult::kOk) return Header::kMember;
    *message = HeaderMessage(hr);
    return Header::kBad;
  }
  const std::string& name() const override { return e_.name; }
  uint32_t comp_size() const override { return e_.comp_size; }
  uint32_t orig_size() const override { return e_.orig_size; }
  bool is_dir() const override { return e_.is_dir(); }
  const char* refusal() const override {
    return e_.is_symlink() ? "a symbolic link, not extracted (links could lead outside the target)"
                           : nullptr;
  }
  int64_t unix_time() const override { return EntryTime(e_); }
  bool method_supported() const override { return MethodSupported(e_.method); }
  std::string method_label() const override { return e_.method; }
  void PrintRow(FILE* out) const override {
    fprintf(out, "%10lu %8lu %s %04X  %s\n", static_cast<unsigned long>(e_.orig_size),
            static_cast<unsigned long>(e_.comp_size), e_.method.c_str(), e_.crc, e_.name.c_str());
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
  if (args.size() < 2 || args[0].size() != 1) {
    fputs(kUsage, out);
    return 2;
  }
  qlx::RunMode mode;
  switch (tolower(static_cast<unsigned char>(args[0][0]))) {
    case 'e':
    case 'x': mode = qlx::RunMode::kExtract; break;
    case 'l': mode = qlx::RunMode::kList; break;
    case 't': mode = qlx::RunMode::kTest; break;
    default: fputs(kUsage, out); return 2;
  }
  static const qlx::FormatText kText = {kUsage, "LZH", "  Original   Packed Method  CRC   Name",
                                        "        "};
  size_t first = 1;
  const bool yes = mode == qlx::RunMode::kExtract && (args[1] == "-y" || args[1] == "-Y");
  if (yes) ++first;
  LzhFormat format;
  return qlx::RunMembers(format, kText, mode,
                         std::vector<std::string>(args.begin() + first, args.end()), false, yes,
                         out);
}

}  // namespace lzh
