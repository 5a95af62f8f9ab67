// What a double-click on a list line means, how the display-selection dialog composes a mask from
// its check boxes, and how the values of a saved window are read back: the rules that need no
// window. The Win32 half (double_click_win.cpp, saved_windows_win.cpp, the frame's dialog) acts
// on them.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ql {

// ---- double-clicks ----

// A line of a directory list, by its name field.
enum class DirItemAction {
  None,        // an empty name
  Drive,       // "[-c-]": change to that drive
  Directory,   // "[name]" (also "[..]"): enter it
  OpenZip,     // *.ZIP
  OpenArj,     // *.ARJ and the volumes *.A01 to *.A99
  RunExe,      // *.EXE: a ZIP inside opens as a ZIP window, otherwise it is started
  RunProgram,  // *.COM, *.BAT, *.PIF: started
  OpenWithShell,  // anything else: the shell's "open" verb
};
// Decided by the final extension only: "invoice.exe.pdf" is a document, "movie.avi" and "x.arc"
// are documents, "PART.A07" is an ARJ volume.
DirItemAction ClassifyDirectoryItem(std::string_view name);

// A line of an archive list, by its name field.
enum class MemberAction {
  None,           // an empty name, or a directory line
  ShowComment,    // a marker line (">"): the comment viewer
  RunFromArchive, // *.EXE, *.COM, *.BAT, *.PIF
  RefuseArchive,  // *.ZIP, *.ARJ: message 3065
  View,           // anything else: extracted for viewing and opened
};
MemberAction ClassifyArchiveMember(std::string_view name);

// True for the ARJ volume extensions "A01" to "A99" (without the dot, any case).
bool IsArjVolumeExtension(std::string_view extension);
// The final extension of a name without its dot ("" when the base name has none).
std::string_view FinalExtension(std::string_view name);
// The name after the last backslash or slash.
std::string_view BaseNameOf(std::string_view path);
// The drive letter of a drive line "[-c-]" (0 for any other text).
char DriveLineLetter(std::string_view name);
// The directory name of a directory line "[name]" (empty for any other text and for drive lines).
std::string DirectoryLineName(std::string_view name);

// ---- the display-selection dialog ----

// The check boxes, by control id.
enum class MaskBox { AllFiles = 257, Programs = 258, ArjFiles = 259, ZipFiles = 260, AllArchives = 1051 };
constexpr const char* kProgramsPiece = "*.exe; *.com; *.bat; *.pif";

struct MaskBoxes {
  bool allFiles = false, programs = false, arj = false, zip = false, allArchives = false;
};
// A box was turned on or off (already reflected in the `boxes` it is given, which the rule may change
// further); returns the new edit field, or nullopt when the field stays as it is.
std::optional<std::string> ComposeDisplayMask(MaskBox box, bool turnedOn, MaskBoxes* boxes);

// ---- saved windows ----

// The Archive key: a ZIP or ARJ archive by its final extension (also ARJ volumes; an .EXE can hold a
// ZIP, which the caller checks), the empty-window marker, or something that is not restored.
enum class SavedArchiveKind { Zip, Arj, ZipProgram, Empty, Unknown };
constexpr const char* kEmptyArchiveValue = "{Empty Archive}";
SavedArchiveKind ClassifySavedArchive(std::string_view value);

// Coords: "left top width height splitter". A splitter position below 130 becomes 125. Nullopt when
// the text is not five integers or the size is not positive, so that the window takes the defaults.
struct SavedCoords {
  int x = 0, y = 0, width = 0, height = 0, splitter = 0;
};
std::optional<SavedCoords> ParseSavedCoords(std::string_view text);
std::string FormatSavedCoords(const SavedCoords& c);

// MinMax: "Iconic", "Zoomed", anything else restored (ignoring case).
enum class SavedShow { Restored, Iconic, Zoomed };
SavedShow ParseSavedShow(std::string_view text);
const char* SavedShowText(SavedShow show);

// The section of the n-th saved window (1 to 32).
std::string SavedWindowSection(int n);

}  // namespace ql
