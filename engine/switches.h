// The archiver switch set: one process-wide word of flags with its INI keys, defaults, radio
// groups and dialog controls, and the option fragments each switch gives ZIP, PKUNZIP and ARJ.
// Platform-free: the settings file is reached through a callback.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace ql {

// One id per flag; the value is the flag's bit in `SwitchSet::bits`.
enum class Sw : int {
  Password = 0,
  MaximumCompression = 1,
  FasterCompression = 2,
  FastestCompression = 3,
  NoCompression = 4,
  RecurseSubdirs = 5,
  PathsFull = 6,
  PathsRelative = 7,
  KeepOrigArcDate = 8,
  KeepBackup = 9,
  MultiVolume = 10,
  OverwriteExisting = 11,
  RestoreSubdirs = 12,
  IncAnyFileAttrib = 13,
  ZipCompatibilityMode = 14,
  ZipDpmi = 15,  // stored inverted
  ExtractByName = 16,
  ExtractByExtender = 17,
  ExtractBySize = 18,
  ExtractByDate = 19,
  ExtractInReverseOrder = 20,
  StoreVolumeLabel = 21,
  ExtractOnlyNewer = 22,
  ExtractWithPassword = 23,
  ExtractVolumeLabel = 24,
  SetToNewestDate = 25,
  NetDetect = 26,    // stored inverted
  Use32BitIns = 27,  // stored inverted
  EmsUsage = 28,     // stored inverted
  XmsUsage = 29,     // stored inverted
  SlowMemCopy = 30,
  UsePkzip = 31,
};
constexpr int kSwitchCount = 32;

// Radio groups among the flags.
enum class Radio : int { None, Compression, PathStorage, Overwrite, ExtractOrder };

// One record per flag. `inverted`: the INI value "On" means the Disable box is checked and the
// bit is clear. `zipControl`/`arjControl`: the control of ZipSwitches/ArjSwitches (or of
// PathStorage, ZipOptions, DefaultZIP, as the flag says), 0 when there is none.
struct SwitchRecord {
  Sw id;
  const char* key;  // key in section "switches"; the two path bits share "store_pathnames"
  bool defaultOn;
  Radio radio;
  bool inverted;
  int zipControl;
  int arjControl;
};
extern const SwitchRecord kSwitchTable[kSwitchCount];
const SwitchRecord& SwitchInfo(Sw id);

// PathStorage radio ids.
constexpr int kPathFull = 409;
constexpr int kPathRelative = 410;
constexpr int kPathNone = 411;

struct SwitchSet {
  uint32_t bits = 0;
  int pathStorageChoice = 0;      // `PathStorageChoice`: 409, 410, 411 or 0
  bool oldPkzip = false;          // `OldPkzip`
  bool viewArchiveProgress = false;  // `ViewArchiveProgress`
  std::string archivePassword;    // `ArchivePassword`, at most 39 characters
};

// The raw bit.
bool Bit(const SwitchSet& s, Sw id);
void SetBit(SwitchSet& s, Sw id, bool on);
// The switch as the user sees it: for the inverted flags, on means the Disable box is checked.
bool On(const SwitchSet& s, Sw id);
void SetOn(SwitchSet& s, Sw id, bool on);
// Sets one member of a radio group and clears the others of that group.
void SetRadio(SwitchSet& s, Sw id);

enum class PathStorage { Full, Relative, None };
PathStorage PathMode(const SwitchSet& s);
// `PathStorageChoice`, derived from bits 6/7 when not yet set.
int PathChoice(const SwitchSet& s);

// Reads one key of section "switches": returns the value or `def` when the key is missing.
using ReadSwitchKey = std::function<std::string(const char* key, const char* def)>;
// The start-up read: fills the flags, `PathStorageChoice` and `ViewArchiveProgress` from the
// settings file. Every value is read as into a 5-character buffer (4 characters kept).
void LoadSwitchSet(SwitchSet& s, const ReadSwitchKey& read);

// `OldPkzip` probe: 9 bytes at offset 29348 of PKZIP.EXE equal to "1989-1990". Keeps `previous`
// when the file cannot be opened or is too short.
bool ProbeOldPkzip(const std::string& pkzipPath, bool previous);

// Writes one key of section "switches".
using WriteSwitchKey = std::function<void(const char* key, const char* value)>;
// Writes every switch as the switches dialogs write them on OK, in their order: the caller has set
// the bits from the controls. `keep_backup` and `inc_any_file_attrib` are cleared and written
// "Off"; `PathStorageChoice` sets the path bits. `zipDialog` tells ZipSwitches from ArjSwitches.
void ConfirmSwitchesDialog(SwitchSet& s, bool zipDialog, const WriteSwitchKey& write);

// `UseEngine`: the in-process ZIP engines are used unless DOS PKZIP or multi-volume is chosen.
// Operations turn it off further when they ask for a password.
bool UseEngine(const SwitchSet& s);

// `QuietFragment`: appended to an engine string when no progress display is wanted.
extern const char* const kQuietFragment;  // "|" " -q"

// `ArchivePassword` takes at most 39 characters of what the password dialog gives.
void SetArchivePassword(SwitchSet& s, const std::string& text);

// The DOS PKZIP options dialog: the seven boxes read from their keys afresh when it opens.
// A box is checked when its value is exactly "On"; "Use Slow MemCopy" unless it is exactly "Off".
bool ZipOptionsBoxChecked(Sw id, const std::string& value);
// The seven switches of that dialog, in the order it writes them.
extern const Sw kZipOptionSwitches[7];
// OK in that dialog: each box sets its switch and writes "On" when checked, "Off" otherwise.
void ConfirmZipOptions(SwitchSet& s, const bool checked[7], const WriteSwitchKey& write);
// OK in the default program dialog: `use_pkzip` from the DOS PKZIP radio.
void ConfirmDefaultZip(SwitchSet& s, bool dosPkzip, const WriteSwitchKey& write);

}  // namespace ql
