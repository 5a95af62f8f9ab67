// The settings store: the Settings record, the process-wide settings beside it, ql53intl.ini access,
// the write-through setters the dialogs use, recent-entry lists and the short form of a path.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/settings_rules.h"
#include "common/confirm_flags.h"

namespace ql {

// Fourteen path slots of 262 bytes and two spare bytes, allocated zero-filled when the frame is
// created and freed when it is destroyed. Directory slots never end in a backslash.
struct SettingsRecord {
  char VirusProgram[kPathSlotSize];
  char ArcProgram[kPathSlotSize];
  char LzhProgram[kPathSlotSize];
  char Unused[kPathSlotSize];
  char RunnerPath[kPathSlotSize];
  char IniPath[kPathSlotSize];
  char InitialDirectory[kPathSlotSize];
  char WorkDirectory[kPathSlotSize];
  char ProgramDirectory[kPathSlotSize];
  char TargetDirectory[kPathSlotSize];
  char SourceDirectory[kPathSlotSize];
  char ExpressArchiveDir[kPathSlotSize];
  char ExpressFileDir[kPathSlotSize];
  char ExpressNewDir[kPathSlotSize];
  char SpareBytes[2];
};
static_assert(sizeof(SettingsRecord) == 14 * kPathSlotSize + 2, "fourteen slots and two spare bytes");

extern SettingsRecord* g_settings;

// The ConfirmFlags bits (common/confirm_flags.h).
extern WORD g_confirmFlags;
extern bool g_showToolbar;
extern bool g_showDriveBar;
extern bool g_managerMode;
extern LOGFONTA g_listFont;
extern COLORREF g_listTextColor;
extern int g_listCharWidth;
extern int g_listLineHeight;
extern char g_helpFile[kPathSlotSize];

// The settings file's name beside the program.
constexpr const char* kIniFileName = "ql53intl.ini";

// Reads a key of ql53intl.ini (g_settings->IniPath, or the one beside the module before the record
// exists). `size` is the buffer the key is read into, NUL included, so longer values are cut.
std::string IniString(const char* section, const char* key, const char* fallback, size_t size = 262);
// The value, or nullopt when the key is missing.
std::optional<std::string> IniStringIfPresent(const char* section, const char* key, size_t size = 262);
// False when the section is missing or holds no line: every key of it then reads as its fallback,
// so a caller reading many keys can skip them (each read opens the file anew).
bool IniSectionHasLines(const char* section);
// A decimal key; `fallback` when it is missing or not a number.
int IniInt(const char* section, const char* key, int fallback);
void IniWrite(const char* section, const char* key, const char* value);
void IniWriteOnOff(const char* section, const char* key, bool on);
void IniWriteTrueFalse(const char* section, const char* key, bool on);
void IniWriteInt(const char* section, const char* key, long value);
void IniDeleteKey(const char* section, const char* key);
void IniDeleteSection(const char* section);
std::string CurrentIniPath();

// Write-through setters: the record (or flag) and the file change together.
enum class DirSetting { Working, Target, Source, ExpressFile, ExpressArchive };
void SetDirectorySetting(DirSetting which, const char* dir);
enum class UtilityProgram { Virus, Arc, Lzh };
void SetUtilityProgram(UtilityProgram which, const char* command);
void SetConfirmFlag(ConfirmFlag flag, bool on);
void SetModeSetting(bool manager);

// Recent-entry lists of ten: section and stem, e.g. "New Files"/"New", "Run Files"/"Prog",
// "Express New"/"New", "Express Extract"/"Extract".
void SaveRecentEntry(const char* section, const char* stem, const char* value, size_t length, bool keepFile);
std::vector<std::string> ReadRecentEntries(const char* section, const char* stem, size_t length);

// The program takes its directory from its own executable's path; this replaces that path (tests run
// the program's code from a test executable with a program directory of their own).
void SetProgramModulePath(const char* path);

// The path of a file in the program directory ("?" in place of the name when it cannot fit).
std::string ProgramDirectoryFile(const char* name);

// Association of .ZIP and .ARJ with the program in the registry's class root; failures are ignored.
void RegisterArchiveAssociation();

// Steps of the start-up load that read the settings (the frame's creation handler runs them in order).
bool AllocateSettings();
void LoadProgramPaths();      // ProgramDirectory, IniPath, RunnerPath
void LoadUtilityPrograms();   // Utilities: Virus Detector, ARC, LZH
void LoadDirectories();       // InitialDirectory (made current), Target, Source, Express dirs, WorkDirectory
bool RunnerExists();
void LoadHelpFilePath();
void LoadConfirmations();     // Confirmation section into g_confirmFlags
void LoadBarFlags();          // Toolbar, Drivebar
bool UsePkzipSetting();       // switches/use_pkzip
void LoadSaveArchiveNames();  // switches/SaveArchiveNames into g_confirmFlags
void LoadListFont(HWND frame);
HFONT ListFontHandle();
// Replaces the list font with one made from g_listFont and measures it on `frame`: ListCharWidth is
// the average character width, ListLineHeight the character height (without external leading).
void ReplaceListFont(HWND frame);
HFONT BarFontHandle();
HFONT DriveBoxFontHandle();

// The frame placement at close: Coordinates/WinStatus, x, y, w, h.
void SaveFramePlacement(HWND frame);
// Releases the record and the fonts at the frame's destruction.
void FreeSettings();

}  // namespace ql
