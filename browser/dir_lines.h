// The directory lister's platform-free half: turning found entries into listing lines, keeping the
// three groups (drives, directories, files) in order, the directory mask's patterns, and the texts
// of the status panes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// One entry a directory search found, with what its line needs.
struct FoundEntry {
  std::string longName;   // may be empty (then shortName is the name)
  std::string shortName;  // empty when the long name already fits 8.3
  bool directory = false;
  uint64_t size = 0;
  // Last-write time already in local calendar fields.
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// "name\tshort\tsize\tMM/DD/YYYY\tHH:MMa": hour below 12 as it is with 'a', 12 with 'p', above 12 less
// 12 with 'p' (so 00:15 shows 00:15a and 12:15 shows 12:15p). The short name is the long name when
// there is none. Sizes of 4 GB and more are shown whole.
std::string DirectoryFileLine(std::string_view longName, std::string_view shortName, uint64_t size, int year,
                              int month, int day, int hour, int minute);
// "[long]\t[short]\t", the short name being the long one when there is none.
std::string DirectoryDirLine(std::string_view longName, std::string_view shortName);
// "[-c-]\t[-c-]\t" with the letter in lower case.
std::string DriveLine(char letter);

// The lines of one listing, kept as three groups, each in ascending order compared without regard to
// case, equal lines in their order of arrival; the parent line "[..]" always heads the directories.
// Sorting is done once at the end (O(n log n)).
class DirectoryLines {
 public:
  void AddDrive(char letter);
  void AddEntry(const FoundEntry& e);
  // All lines in their final order: drives, directories, files. Empty lines are skipped.
  std::vector<std::string> Finish();
  // Sum of the file sizes (32 bits, wrapping like the window's field it goes to) and the number of raw
  // items added (drives, directories and files).
  uint32_t totalBytes() const { return totalBytes_; }
  int itemCount() const { return itemCount_; }

 private:
  std::vector<std::string> drives_, dirs_, files_;
  bool parent_ = false;
  uint32_t totalBytes_ = 0;
  int itemCount_ = 0;
};

// Case-insensitive ordering of whole lines (ASCII letters folded).
bool LineLess(std::string_view a, std::string_view b);

// The patterns of a directory mask: separated by ';', blanks before each skipped, empty ones dropped.
std::vector<std::string> SplitMaskPatterns(std::string_view mask);
// curDir + pattern, with a backslash between unless curDir already ends with one.
std::string JoinDirPattern(std::string_view dir, std::string_view pattern);

// True when `dir` is a drive root ("C:\").
bool IsDriveRoot(std::string_view dir);

// The status texts: "%ld Bytes In %d Files." and "%d Files at %.1f%%" (the percentage being
// 100 - size * 100 / length, 0.0 when the length is 0 or less).
std::string DirTotalsText(long bytes, int files);
std::string ArchiveTotalsText(int files, double totalSize, double totalLength);

}  // namespace ql
