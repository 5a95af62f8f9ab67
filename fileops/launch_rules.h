// The rules behind Run, Launch, Associate, Properties and File Statistics that need no window: what
// a path starts, how association texts are made and read, the date text of Properties and the
// figures of the statistics gauges.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ql {

// What Launch does with a path.
enum class LaunchKind { ArjArchive, ZipArchive, Document, Program };

// A path without "." gets ".EXE".
std::string WithProgramExtension(std::string_view path);
// By the path's name: an ARJ or ZIP archive, another document, or a program (EXE, COM, BAT, PIF).
LaunchKind LaunchKindOf(std::string_view path);
// True for a path that names an EXE program (".EXE" in any case).
bool IsExeProgram(std::string_view path);

// The text after the last "." of a name (empty without one).
std::string ExtensionOf(std::string_view name);
// EXE, COM, PIF and BAT, in any case: Associate refuses them.
bool IsProgramExtension(std::string_view extension);

// A program text with both a blank and a "\" goes into double quotes (unless it already is).
std::string QuotedProgramText(std::string_view text);
// The open command of a new class: the program text and "%1" in quotes, so that names with blanks
// reach the program whole.
std::string OpenCommandFor(std::string_view programText);
// The class name made from a program text: its file name (after the last "\"), without double
// quotes, blanks replaced by "_".
std::string ClassNameFromProgram(std::string_view programText);
// A list item of the Associate dialog: "description (command)", six tabs, the class name. The
// command is cut before its first "%" and the blank before it (and the quote of a quoted "%1").
std::string AssociationItem(std::string_view description, std::string_view command, std::string_view className);
// What choosing an item puts into "Associate With...": its text up to the blank before "(".
std::string ItemProgramText(std::string_view item);
// The class name of an item: its text after the run of tabs (empty without tabs).
std::string ItemClassName(std::string_view item);
// A value of the profile's "Extensions" section: the command before " ^" (the blank before the
// "^"), or empty when the value has no "^".
std::string ExtensionsCommand(std::string_view value);

// The "Last Change:" text of Properties: "month/day/year  hour:mm:ssAM" on a 12-hour clock.
std::string ChangeTimeText(int year, int month, int day, int hour, int minute, int second);

// Figures of the statistics gauges: a byte count in thousands, at least 1; and the percent
// compression 100 - compressed * 100 / original of those thousands, held within 0 to 100 (an
// archive bigger than its contents would otherwise show a negative figure).
uint32_t GaugeThousands(uint64_t bytes);
// The same figure from a count already in thousands.
inline uint32_t GaugeFromThousands(uint32_t thousands) { return thousands ? thousands : 1; }
uint32_t PercentCompression(uint32_t originalThousands, uint32_t compressedThousands);

}  // namespace ql

namespace ql {

// Field `index` (0-based, tab-separated) of a listing line read as an unsigned decimal number;
// 0 when the field is missing or no number.
uint64_t LineNumberField(std::string_view line, int index);

// A Run command line split into the program and its arguments: a quoted program ends at its
// closing quote; otherwise the program ends at the first blank after a name ending in ".EXE",
// ".COM", ".BAT" or ".PIF" (in any case), or, when `exists` says a prefix names a file, at the
// blank after it; failing both the whole text is the program.
struct ProgramAndArguments {
  std::string program;
  std::string arguments;
};
ProgramAndArguments SplitCommandLine(std::string_view text, bool (*exists)(const std::string& path) = nullptr);

// The value of the profile's "Extensions" entry for an open command: the command without its
// "%1" argument, then " ^." and the extension.
std::string ExtensionsValueFor(std::string_view openCommand, std::string_view extension);

}  // namespace ql
