#include "archivers/lzh/member_run.h"

#include <cctype>

#include "archivers/arj/arj_fs.h"
#include "archivers/lzh/archive_file.h"
#include "archivers/lzh/member_out.h"
#include "common/console_output.h"
#include "common/overwrite_rule.h"
#include "common/written_targets.h"

namespace qlx {
namespace {

// What one extraction run remembers from member to member.
struct ExtractState {
  bool yes = false;  // overwrite without asking
  ql::OverwriteAnswers answers;
  ql::WrittenTargets written{arj::fs::kSep == '\\'};
  bool quit = false;
};

// Puts the overwrite question for `path` on `out` and reads the answer from standard input.
void AskOverwrite(const std::string& path, FILE* out, char* answer) {
  fprintf(out, "%s exists. Overwrite? (Yes/No/All/Skip all/Quit) ", path.c_str());
  fflush(out);
  std::string line;
  if (!arj::fs::ReadLine(&line)) {
    fputs("\n", out);
    *answer = 0;
    return;
  }
  size_t p = line.find_first_not_of(" \t");
  *answer = p == std::string::npos ? 0 : static_cast<char>(toupper(static_cast<unsigned char>(line[p])));
}

// Extracts the current member under `target`; false (with the message printed) on failure or
// when an existing file was kept.
bool Extract(const MemberFormat& format, const ByteReader& data_in, const std::string& target,
             ExtractState* state, FILE* out) {
  const std::string& name = format.name();
  std::string why;
  if (const char* refused = format.refusal()) {
    fprintf(out, "%s: %s\n", name.c_str(), refused);
    return false;
  }
  if (format.is_dir()) {
    if (MakeMemberDir(target, name, &why)) return true;
    fprintf(out, "%s: %s\n", name.c_str(), why.c_str());
    return false;
  }
  MemberFile member;
  if (!member.Open(target, name, &why)) {
    fprintf(out, "%s: %s\n", name.c_str(), why.c_str());
    return false;
  }
  const std::string& path = member.final_path();
  arj::fs::FileInfo existing;
  bool exists = arj::fs::Stat(path, &existing);
  if (state->written.Find(path, &existing.mtime)) exists = true;
  const ql::ExtractRules rules = {false, false, false, state->yes};
  const ql::ExtractChoice choice =
      ql::ChooseExtract(rules, exists, existing.mtime, format.unix_time(), &state->answers,
                        [&](char* answer) { AskOverwrite(path, out, answer); });
  if (choice != ql::ExtractChoice::kWrite) {
    member.Discard();
    if (choice == ql::ExtractChoice::kQuit) state->quit = true;
    if (choice == ql::ExtractChoice::kPass) return true;
    fprintf(out, "%s: %s exists, not extracted\n", name.c_str(), path.c_str());
    return false;
  }
  const char* bad =
      format.Decode(data_in, [&](const uint8_t* b, size_t n) { return member.Write(b, n); });
  if (bad) {
    member.Discard();
    fprintf(out, "%s: %s, not extracted\n", name.c_str(), bad);
    return false;
  }
  if (!member.Commit(format.unix_time(), &why)) {
    fprintf(out, "%s: %s\n", name.c_str(), why.c_str());
    return false;
  }
  state->written.Add(path, format.unix_time());
  fprintf(out, "%s: extracted\n", name.c_str());
  return true;
}

}  // namespace

int RunMembers(MemberFormat& format, const FormatText& text, RunMode mode,
               const std::vector<std::string>& words, bool need_archive, bool yes, FILE* out) {
  ExtractState state;
  state.yes = yes;
  std::string archive, target;
  SplitArchiveAndTarget(words, &archive, &target);
  if ((need_archive && archive.empty()) || (mode != RunMode::kExtract && !target.empty())) {
    fputs(text.usage, out);
    return 2;
  }
  ArchiveFile file;
  if (!file.Open(archive)) {
    fprintf(out, "%s: cannot open\n", archive.c_str());
    return 2;
  }
  ByteReader header_in = [&](uint8_t* b, size_t n) { return file.Read(b, n); };
  int failures = 0, members = 0;
  uint64_t total_orig = 0, total_comp = 0;
  if (mode == RunMode::kList) fprintf(out, "%s\n", text.list_title);
  for (;;) {
    const uint64_t header_at = file.pos();
    const char* message = "";
    MemberFormat::Header hr = format.Next(header_in, header_at, &message);
    if (hr == MemberFormat::Header::kEnd) {
      if (members == 0 && header_at == 0 && file.size() == 0) {
        fprintf(out, "%s: not an %s archive\n", archive.c_str(), text.kind);
        return 1;
      }
      break;
    }
    if (hr != MemberFormat::Header::kMember) {
      fprintf(out, "%s: %s at offset %llu\n", archive.c_str(), message,
              static_cast<unsigned long long>(header_at));
      ++failures;
      break;
    }
    ++members;
    const std::string& name = format.name();
    const uint64_t data_at = file.pos();
    if (data_at + format.comp_size() > file.size()) {
      fprintf(out, "%s: the archive ends inside the data (%s)\n", name.c_str(), archive.c_str());
      ++failures;
      break;
    }
    total_orig += format.orig_size();
    total_comp += format.comp_size();
    if (mode == RunMode::kList) {
      format.PrintRow(out);
    } else if (!format.method_supported()) {
      fprintf(out, "%s: unsupported method %s\n", name.c_str(), format.method_label().c_str());
      ++failures;
    } else {
      uint32_t left = format.comp_size();
      ByteReader data_in = [&](uint8_t* b, size_t n) {
        if (n > left) n = left;
        size_t got = file.Read(b, n);
        left -= static_cast<uint32_t>(got);
        return got;
      };
      if (mode == RunMode::kTest) {
        const char* bad = format.Decode(data_in, [](const uint8_t*, size_t) { return true; });
        fprintf(out, "%s: %s\n", name.c_str(), bad ? bad : "OK");
        if (bad) ++failures;
      } else if (!Extract(format, data_in, target, &state, out)) {
        ++failures;
        if (state.quit) break;
      }
    }
    ql::ShowConsoleOutputNowAndThen();
    if (!file.Seek(data_at + format.comp_size())) {
      ++failures;
      break;
    }
  }
  if (mode == RunMode::kList) {
    fprintf(out, "%10llu %8llu%s%d member(s)\n", static_cast<unsigned long long>(total_orig),
            static_cast<unsigned long long>(total_comp), text.total_gap, members);
  }
  if (failures) fprintf(out, "%d error(s)\n", failures);
  return failures ? 1 : 0;
}

}  // namespace qlx
