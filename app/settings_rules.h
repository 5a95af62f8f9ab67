// Settings values and start-up texts that need no Win32: how a value read from ql53intl.ini or from
// the command line is turned into what the program holds. The Win32 half (settings.cpp, startup.cpp)
// reads the file and the process and calls these.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/recent_list.h"

namespace ql {

// Sizes the program fixes.
constexpr size_t kCommandLineBufferSize = 272;  // CommandLineBuffer, NUL included
constexpr size_t kHandOverSize = 1024;          // the QUILLON mapping, NUL included
constexpr size_t kPathSlotSize = 262;           // one text slot of the Settings record
constexpr size_t kMaxPath = 260;

// "On"/"Off" and "True"/"False" keys: on when the value equals "ON" (or "TRUE") ignoring case.
bool IsOnValue(std::string_view value);
bool IsTrueValue(std::string_view value);

// Directory settings never end in a backslash.
std::string WithoutTrailingBackslashes(std::string_view dir);

// A directory key of the Defaults and Express File Dir sections: a missing key gives `missingDefault`,
// an empty one `programDirectory`; trailing backslashes are removed.
std::string DirectoryValue(std::optional<std::string_view> value, std::string_view missingDefault,
                           std::string_view programDirectory);

// A decimal integer key (blanks around it allowed, optional sign, within 32 bits); nullopt for anything
// else, so that garbage in the file falls back to the key's default.
std::optional<long> DecimalValue(std::string_view text);
// An unsigned 32-bit decimal (colours).
std::optional<unsigned long> UnsignedDecimalValue(std::string_view text);

// A decimal integer key held to [low, high]; outside it, as for garbage, nullopt (the key's default).
std::optional<long> DecimalValueWithin(std::string_view text, long low, long high);

// The list font's keys. PointSize is the font's height in pixels (negative for the character
// height) and is taken for 1 to 96 points at `perInch` pixels per inch; DesiredPointSize for 1 to
// 96; Weight for 0 to 1000. Anything else gives the key's default, so a stray value cannot make
// the lists, the bars and the status bar unusable.
constexpr long kMaxFontPoints = 96;
std::optional<long> FontHeightValue(std::string_view text, int perInch);
std::optional<long> FontPointsValue(std::string_view text);
std::optional<long> FontWeightValue(std::string_view text);

// Coordinates x, y, w, h: a decimal integer (blanks around it allowed). A value of -100 or more is used;
// anything below, and anything that is not a number, leaves the system's default (nullopt).
std::optional<int> CoordinateValue(std::string_view text);

enum class WinStatus { Normal, Maximized, Minimized };
WinStatus ParseWinStatus(std::string_view text);  // ignoring case; anything unknown is Normal
const char* WinStatusText(WinStatus status);

// The mode at start (values compared ignoring case): "Manager" gives Manager; "Express" gives Express unless a command line was given;
// any other value gives Express.
enum class Mode { Manager, Express };
Mode ChooseStartMode(std::string_view modeValue, bool commandLineGiven);

// The program's directory: the module path cut at its last backslash (empty when it has none).
std::string ProgramDirectoryOf(std::string_view modulePath);

// A file in the program directory: the module path cut after its last backslash or colon, plus `name`;
// "?" in place of the name when the directory plus 13 characters would reach 260.
std::string ProgramFilePath(std::string_view modulePath, std::string_view name);

// The registry's open command for archives: the module path (quoted when it holds a blank) and " %1".
std::string AssociationCommand(std::string_view modulePath);

// The command line as a path: surrounding blanks and one pair of enclosing double quotes removed.
std::string CommandLinePath(std::string_view commandLine);

// Whether a command-line path fits CommandLineBuffer (and so the hand-over mapping too).
bool CommandLineFits(std::string_view path);

// What a command line asks for. At start "*.ZIP" and "*.EXE" open a ZIP window, "*.ARJ" an ARJ window,
// an empty text a plain window, anything else is refused. Handed over by a second start, "*.ZIP" opens
// a ZIP window, "*.ARJ" and "*.A0?" an ARJ window, and anything else nothing.
enum class StartRequest { None, Zip, Arj, Invalid };
StartRequest ClassifyStartPath(std::string_view path);
StartRequest ClassifyHandedPath(std::string_view path);

// The part of a path up to and including its last backslash; empty when it has none.
std::string DirectoryPartOf(std::string_view path);

// Recent-entry lists: common/recent_list.h.

}  // namespace ql
