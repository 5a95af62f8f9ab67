// Builds every command from arbitrary switch words, archive paths and names, and checks what must
// hold for any input: a quoted argument reaches the archiver unchanged, the list file carries
// exactly the listable names, and the archive path arrives as one argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/commands.h"
#include "engine/tests/split_args.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
}

size_t CrLfCount(const std::string& s) {
  size_t n = 0;
  for (size_t pos = 0; (pos = s.find("\r\n", pos)) != std::string::npos; pos += 2) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ql;
  if (size < 5) return 0;
  SwitchSet s;
  s.bits = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
  s.oldPkzip = data[4] & 1;
  s.viewArchiveProgress = data[4] & 2;
  // The rest: fields separated by byte 1: archive, password, then names.
  std::vector<std::string> fields(1);
  for (size_t i = 5; i < size; ++i) {
    if (data[i] == 1) fields.emplace_back();
    else fields.back() += static_cast<char>(data[i]);
  }
  std::string archive = fields[0];
  s.archivePassword = fields.size() > 1 ? fields[1].substr(0, 39) : "";
  std::vector<std::string> names(fields.size() > 2 ? fields.begin() + 2 : fields.end(), fields.end());

  for (const std::string& f : fields)
    if (f.find('\0') == std::string::npos) Check(SplitArgs(QuoteArg(f)) == std::vector<std::string>{f});

  size_t listable = 0;
  for (const std::string& n : names) listable += ListableName(n);
  Check(CrLfCount(ListFileContent(names)) == listable);

  EnginePaths p{R"(C:\Q L)", R"(C:\Q L\QL5TEMP)"};
  ArchiveKind kind = data[4] & 4 ? ArchiveKind::Arj : ArchiveKind::Zip;
  std::vector<Command> cmds = {
      AddDroppedFiles(s, p, kind, archive, "C:\\SRC"),
      ExpressAdd(s, p, kind, archive, names, "C:\\SRC", data[4] & 8),
      FreshenOrUpdate(s, p, kind, archive, data[4] & 8, data[4] & 16, data[4] & 32),
      ExtractMembers(s, p, kind, archive, data[4] & 32, names, "D:\\OUT"),
      ExtractWholeArchive(s, p, kind, archive, "D:\\OUT"),
      DropExtract(s, p, kind, archive, data[4] & 32, names, data[4] & 64, "D:\\OUT"),
      ExpressExtract(s, p, kind, archive, &names, "D:\\OUT"),
      TestArchive(s, p, kind, archive, TestFrom::WindowArchive),
      DeleteMembers(s, p, kind, archive, data[4] & 32, names, 1000000),
      ExpressDelete(s, p, kind, archive, names),
  };
  DropSource src;
  src.nameFields = names;
  src.sourceDir = "C:\\SRC";
  cmds.push_back(DropAdd(s, p, kind, archive, data[4] & 32, data[4] & 8, src));
  if (!names.empty()) cmds.push_back(ViewMember(s, p, kind, archive, data[4] & 32, names[0]));

  bool plainArchive = !archive.empty() && archive.find_first_of(std::string("\0\"", 2)) == std::string::npos;
  for (const Command& c : cmds) {
    if (c.writeList) {
      // Only whole lines: every CR or LF of the list belongs to a line end.
      size_t breaks = 0;
      for (char ch : c.listFile) breaks += ch == '\r' || ch == '\n';
      Check(breaks == 2 * CrLfCount(c.listFile));
    }
    if (c.via == Via::Runner && !c.text.empty() && plainArchive) {
      std::vector<std::string> args = SplitArgs(c.text);
      bool found = false;
      for (const std::string& a : args) found |= a == archive;
      Check(found);
    }
  }
  return 0;
}
