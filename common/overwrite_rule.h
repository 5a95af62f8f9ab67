// The one rule every extractor follows where the file it is about to write may already be there:
// on disk before the run, or written earlier in the same run (two members of one name). It is
// asked about, and with no answer the file is kept and a warning given; switches decide first.
// Inline and free of the C++ library (the self-extractor is built without it): callers bring
// their console or window as a small callable.
#pragma once
#include <cstdint>

namespace ql {

// The switches that decide whether an entry is written where a file may exist.
struct ExtractRules {
  bool only_new;  // only what does not exist yet
  bool freshen;   // only what exists, when the entry is newer
  bool update;    // what does not exist, and what exists when the entry is newer
  bool yes;       // overwrite without asking
};

// The answers All and Skip all, kept from one entry to the next.
struct OverwriteAnswers {
  bool all = false;
  bool skip_all = false;
};

enum class ExtractChoice {
  kWrite,     // extract the entry
  kPass,      // leave it out quietly (a switch said so, or Skip all given before)
  kDeclined,  // the user said No or Skip all, or input ended: keep the file, with a warning
  kQuit,      // the user said Quit: stop with a warning
};

// Decides one entry against its target. `exists` is true when the target is on disk or was
// written earlier in this run; `existing_mtime` is its time then, `entry_mtime` the entry's. When
// the user is to decide, `ask(char* answer)` puts the question and stores the first letter of the
// answer upper-cased (Y, N, A for all, S for skip all, Q for quit), 0 when no answer came; it is
// put again until the answer is one of these.
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

}  // namespace ql
