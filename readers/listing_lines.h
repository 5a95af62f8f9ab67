// Listing lines: the tab-separated texts that archive and directory list boxes hold, how the
// readers build them and how operations read names, sizes and comment references back.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ql {

// Calendar fields of a stored time stamp, without any time-zone change.
struct Stamp {
  int year = 0;  // full year, e.g. 1996
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

// DOS packed date and time. Fields come out as stored, also when they are no real date
// (month 0 shows as 00).
Stamp DosStamp(uint16_t date, uint16_t time);

// Ratio column of a ZIP line: 100 - size * 100 / length, 0 for an empty entry. Negative when
// the entry grew (a stored, encrypted entry). Computed wide, so large entries do not wrap.
int64_t ZipRatio(uint64_t length, uint64_t size);

// "name\tname\tlength\tsize\tratio%\tMM-DD-YY\tHH:MMa": year less 1900, hour on a 12-hour
// clock with midnight as 12 and a blank before one-digit hours.
void AppendZipFileLine(std::string* out, std::string_view name, uint64_t length, uint64_t size,
                       const Stamp& when);

// "name\tname\tlength\tsize\tMM/DD/YYYY\tHH:MMa": four-digit year, midnight as 00.
void AppendArjFileLine(std::string* out, std::string_view name, uint64_t length, uint64_t size,
                       const Stamp& when);

// Ends a file line with a reference to the member's real name (common/member_reference.h), for a
// name the line shows as well as its code page allows: "...\t:E3818B...". Not drawn.
void AppendMemberReference(std::string* line, std::string_view utf8Name);

// "> Label: offset length", a reference to text the comment operations read later.
std::string ReferenceLine(std::string_view label, uint64_t offset, uint64_t length);
// "> Label: text", the form used for printing and for directory and volume-label markers.
std::string MarkerLine(std::string_view label, std::string_view text);

// Reading lines back.
// Text before the first tab; none for a line without a tab (a marker line).
std::optional<std::string_view> LineLongName(std::string_view line);
// Text between the first and the second tab; none without a second tab.
std::optional<std::string_view> LineShortName(std::string_view line);
// Third field (between the second and third tab) as a decimal number; 0 when a tab is missing.
int64_t LineSizeField(std::string_view line);
// The name an operation uses: the short or long field by `shortNames`, the whole line when the
// field is missing.
std::string_view LineSelectedName(std::string_view line, bool shortNames);
// The member reference a line ends with; none for a line without one.
std::optional<std::string_view> LineMemberReference(std::string_view line);
// The line without its member reference: the text that is drawn and printed.
std::string_view LineWithoutReference(std::string_view line);
// What an operation hands an archiver for a member's line: its reference when it has one (the
// name shown may be a look-alike of another member's), else the name LineSelectedName gives.
std::string_view LineMemberName(std::string_view line, bool shortNames);
// The text before the first tab (the whole line without one).
std::string_view LineFirstField(std::string_view line);
// True for lines beginning with '>' (comments, titles, ARJ directories and labels).
inline bool IsMarkerLine(std::string_view line) { return !line.empty() && line[0] == '>'; }

// What a line stands for. Drives are "[-c-]", the parent "[..]", directories "[name]", each with
// nothing after their two name fields; marker lines begin with ">". A line whose name only
// happens to begin with "[" but carries a size (a file called "[draft].txt") is a file, and so is
// "report[1].pdf". This is the one rule; everything that decides a line's kind asks it.
enum class DirLineKind { File, Directory, Parent, Drive, Marker, Empty };
DirLineKind ClassifyDirLine(std::string_view line);
inline bool IsFileLine(std::string_view line) { return ClassifyDirLine(line) == DirLineKind::File; }
inline bool IsDirectoryLine(std::string_view line) { return ClassifyDirLine(line) == DirLineKind::Directory; }
inline bool IsDriveLine(std::string_view line) { return ClassifyDirLine(line) == DirLineKind::Drive; }
inline bool IsParentLine(std::string_view line) { return ClassifyDirLine(line) == DirLineKind::Parent; }
// Directories, the parent and drives: the lines that name a place rather than a file.
inline bool IsPlaceLine(std::string_view line) {
  DirLineKind kind = ClassifyDirLine(line);
  return kind == DirLineKind::Directory || kind == DirLineKind::Parent || kind == DirLineKind::Drive;
}
// The text between '[' and ']' of a directory or parent line (".." for the parent); none for
// other lines.
std::optional<std::string_view> LineDirectoryName(std::string_view line);
// The drive letter of a drive line (its third character); 0 for other lines.
inline char LineDriveLetter(std::string_view line) { return IsDriveLine(line) ? line[2] : 0; }
// Offset and length of a comment or title reference line ("> File Comment: 1234 56").
bool LineCommentReference(std::string_view line, uint64_t* offset, uint64_t* length);

}  // namespace ql
