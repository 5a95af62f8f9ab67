// Steps of extracting a file that the archiver (arj_cli.cpp) and the self-extractor
// (sfx_main.cpp) take alike, so that both decide, ask and report the same way. Inline and free
// of the C++ library (the self-extractor is built without it): the callers bring their console
// as small callables.
#pragma once
#include <cstdint>

namespace arj {

// The switches that decide whether an entry is written where a file may exist.
struct ExtractRules {
  bool only_new;  // -n: only what does not exist yet
  bool freshen;   // -f: only what exists, when the entry is newer
  bool update;    // -u: what does not exist, and what exists when the entry is newer
  bool yes;       // -y, -jyo: overwrite without asking
};

// The answers All and Skip all, kept from one entry to the next.
struct OverwriteAnswers {
  bool all = false;
  bool skip_all = false;
};

enum class ExtractChoice {
  kWrite,     // extract the entry
  kPass,      // leave it out quietly (-n, -f, -u, or Skip all given before)
  kDeclined,  // the user said No or Skip all, or input ended: leave it out with a warning
  kQuit,      // the user said Quit: stop with a warning
};

// What is asked when the target exists, behind the target's name.
constexpr const char kOverwriteQuestion[] = " exists. Overwrite? (Yes/No/All/Skip all/Quit) ";

// Decides one entry against its target (`exists`, last written at `existing_mtime`; the entry's
// time is `entry_mtime`). When the user is to decide, `ask(char* answer)` puts the question and
// stores the first letter of the answer upper-cased, 0 at the end of input; it is put again until
// the answer is Yes, No, All, Skip all or Quit.
template <typename Ask>
ExtractChoice ChooseExtract(const ExtractRules& rules, bool exists, int64_t existing_mtime,
                            int64_t entry_mtime, OverwriteAnswers* answers, Ask ask) {
  if (rules.only_new && exists) return ExtractChoice::kPass;
  if ((rules.freshen || rules.update) && exists && existing_mtime >= entry_mtime)
    return ExtractChoice::kPass;
  if (rules.freshen && !exists) return ExtractChoice::kPass;
  if (!exists || rules.yes || answers->all) return ExtractChoice::kWrite;
  if (answers->skip_all) return ExtractChoice::kPass;
  char a = 0;
  for (;;) {
    ask(&a);
    if (a == 'Y' || a == 'N' || a == 'A' || a == 'S' || a == 'Q' || a == 0) break;
  }
  if (a == 'A') answers->all = true;
  if (a == 'S') answers->skip_all = true;
  if (a == 'Q') return ExtractChoice::kQuit;
  if (a != 'Y' && a != 'A') return ExtractChoice::kDeclined;
  return ExtractChoice::kWrite;
}

// Once an entry's data is in its temporary file (`written` false when writing failed, `crc_ok`
// false when the data did not check out): ends the "Extracting <name> " line after a failed
// write, or reports a CRC error, calls `crc_error()` and, with -jr (`recover`), tells that the
// damaged data of `target` is kept. True when the temporary file is to replace the target.
// `say(format, ...)` prints like printf.
template <typename Say, typename CrcError>
bool KeepWritten(bool written, bool crc_ok, bool recover, const char* target, Say say,
                 CrcError crc_error) {
  if (!written) {
    say("\n");
    return false;
  }
  if (!crc_ok) {
    say("CRC error!\n");
    crc_error();
    if (!recover) return false;
    say("Keeping the damaged data of %s (-jr)\n", target);
  }
  return true;
}

}  // namespace arj
