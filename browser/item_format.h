// How a list item is drawn, without drawing it: the picture chosen for a line, the text shown, the
// column positions measured from sample widths, and the browser window's layout rules.
#pragma once
#include <string>
#include <string_view>

#include "readers/listing_lines.h"

namespace ql {

// Kinds of list and column header: 1 directory, 2 ZIP, 3 ARJ.
constexpr int kListDirectory = 1;
constexpr int kListZip = 2;
constexpr int kListArj = 3;

enum class ItemPicture {
  ArjFile, ZipFile, WaveFile, AviFile, ExeFile, Floppy, HardDisk, NetDrive, NetDisabled, CdRom, RamDrive,
  Parent, Directory, Comment, TextFile, File
};
// The bitmap resource name of each picture.
const char* ItemPictureName(ItemPicture p);

// What the system says about a drive of a drive line.
enum class DriveType { Unknown, Removable, Fixed, Remote, CdRom, RamDisk };
struct DriveFacts {
  DriveType type = DriveType::Unknown;
  std::string label;          // volume label (fixed and RAM drives)
  int connectionResult = 0;   // network drives: result of the connection query (59: unreachable)
  std::string remoteName;     // network drives: the remote name when the query succeeded
};


// The name field the drawing uses: field 1, or field 2 with `shortNames`; the whole line without it.
std::string_view ItemNameField(std::string_view line, bool shortNames);

// The picture for a line; `drive` is consulted for drive lines only. `associated` tells whether an
// extension has an entry in the association table.
ItemPicture ChooseItemPicture(std::string_view line, bool shortNames, const DriveFacts& drive,
                              bool (*associated)(std::string_view extension) = nullptr);

// The text drawn for a line (tabs kept for the columns).
std::string ItemDisplayText(std::string_view line, bool shortNames, const DriveFacts& drive);

// Column measurement: sample widths in pixels and the list's wanted extent and column positions.
struct SampleWidths {
  int name = 0;    // N: the name field, or "wwwwwwww.www" when it is shorter than 3 characters
  int size = 0;    // S: "99999999"
  int date = 0;    // D: "99/99/99"
  int gap = 0;     // G: "ww"
  int ratio = 0;   // R: "99%"
  int bitmap = 0;  // B: max(ListCharWidth, harddrive bitmap width) + 2
  int charWidth = 0;  // X: ListCharWidth
};
struct ColumnSet {
  int extent = 0;
  int pos[6] = {0, 0, 0, 0, 0, 0};  // pos[0] is the column after the name, and so on
  int count = 0;  // columns of the kind: 3 directory, 4 ARJ, 5 ZIP
};
// True when the sample for the name is the fixed one (the field is shorter than 3 characters).
bool UsesNameSample(std::string_view nameField);
ColumnSet MeasureColumns(int listKind, const SampleWidths& w);

// Splitter position before a layout of a window that is neither minimised nor maximised:
// 0 becomes 280, below 130 becomes 125, beyond the client width half the client width.
int AdjustSplitter(int pos, int clientWidth);

// The height of the lists: whole items below the header.
int ListHeight(int clientHeight, int lineHeight, int itemHeight);

}  // namespace ql
