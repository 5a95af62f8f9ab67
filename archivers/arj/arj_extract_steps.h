// Steps of extracting a file that the archiver (arj_cli.cpp) and the self-extractor
// (sfx_main.cpp) take alike, so that both decide, ask and report the same way. Inline and free
// of the C++ library (the self-extractor is built without it): the callers bring their console
// as small callables.
#pragma once
#include <cstdint>

#include "common/overwrite_rule.h"

namespace arj {

// The overwrite rule is the one all extractors share.
using ql::ChooseExtract;
using ql::ExtractChoice;
using ql::ExtractRules;
using ql::OverwriteAnswers;

// What is asked when the target exists, behind the target's name.
constexpr const char kOverwriteQuestion[] = " exists. Overwrite? (Yes/No/All/Skip all/Quit) ";

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
