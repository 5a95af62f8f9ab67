// What the sources of the command builders share and nothing else includes: the ids of the
// option fragments, the context they are given in, the order steps a builder lists them in, and
// the pieces of paths and listing lines the builders take apart. The rest of the program uses
// engine/commands.h.
#pragma once
#include <initializer_list>
#include <string>

#include "common/text_and_paths.h"
#include "engine/commands.h"

namespace ql {
namespace command_parts {

// One id per fragment of the ZIP, PKUNZIP and ARJ command lines (and of the engines' strings).
enum class F {
  // ZIP (PKZIP and the zip engine)
  ZCompression, ZStore, ZMultiVolume, ZVolumeLabel, ZDpmi, ZCompat, ZNetDetect, Z32Bit, ZEms,
  ZXms, ZEmsIfOn, ZXmsIfOn, ZSlowMem, ZAttrib, ZRecurse, ZPaths, ZPathsFullOnly, ZDates,
  ZKeepDate, ZWorkDir, ZPassword,
  // PKUNZIP and the unzip engine
  URestore, URestoreDrop, UOverwrite, UOverwriteDrop, UNewer, UOrder, UOrderAlways, UReverse,
  UReverseSingleVolume, UDpmi, U32Bit, UEms, UXms, UVolumeLabel, UPassword,
  // ARJ
  AAttrib, ARecurse, APaths, APathsNotFull, ADates, AKeepDate, ACompression, AStore, ABackup,
  AMultiVolume, AWorkDir, APassword, AOverwrite, AOverwriteDrop, ANewer, AVolumeLabel,
  ARestorePaths,
  Count
};


// What a fragment depends on besides the switches.
struct Ctx {
  const SwitchSet& s;
  std::string work;       // with trailing "\"
  bool engine;
  bool password;          // the operation asked for the password
  bool targetWindow;      // drop extract: there is a target window
};

// One step of a builder's fragment order; `group2x` marks the PKZIP/PKUNZIP 2.x group, given
// only when `OldPkzip` is false or the engine is used.
struct Step {
  F id;
  bool group2x;
};
constexpr bool V2 = true;  // in the 2.x group
constexpr bool NO = false;

// The fragments of `steps` that apply under the switch set, in their order: for the engine each
// after a "|", for a DOS command with the argument of a path or password fragment quoted.
std::string Fragments(const Ctx& c, std::initializer_list<Step> steps);

// A path argument for a DOS command; the engine takes it as it is.
std::string Arg(const std::string& a, bool engine);

// The root of the drive of `dir` ("X:\"), or "\" when it names no drive.
std::string DriveRoot(const std::string& dir);
// The name after the last "\" or "/".
std::string AfterLastSlash(const std::string& path);
// A listing line's member name: the text before the first tab.
std::string FirstField(const std::string& line);

}  // namespace command_parts
}  // namespace ql
