#include "app/settings.h"

#include <cstdio>
#include <cstring>

#include "common/recent_list_win.h"
#include "common/shared_win.h"

namespace ql {

SettingsRecord* g_settings = nullptr;
WORD g_confirmFlags = 0;
bool g_showToolbar = true;
bool g_showDriveBar = true;
bool g_managerMode = true;
LOGFONTA g_listFont = {};
COLORREF g_listTextColor = 0;
int g_listCharWidth = 0;
int g_listLineHeight = 0;
char g_helpFile[kPathSlotSize] = "";

namespace {

HFONT g_listFontHandle = nullptr;
HFONT g_barFont = nullptr;
HFONT g_driveBoxFont = nullptr;

// A value no one writes: tells a missing key from an empty one.
constexpr const char* kMissing = "\x01\x02missing";

std::string g_modulePathOverride;

std::string ModulePath() {
  if (!g_modulePathOverride.empty()) return g_modulePathOverride;
  char path[MAX_PATH + 1] = "";
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return std::string();
  return path;
}

void CopySlot(char (&slot)[kPathSlotSize], const std::string& value) {
  lstrcpynA(slot, value.c_str(), sizeof slot);
}

}  // namespace

std::string CurrentIniPath() {
  if (g_settings && g_settings->IniPath[0]) return g_settings->IniPath;
  std::string dir = ProgramDirectoryOf(ModulePath());
  return dir + "\\" + kIniFileName;
}

std::string IniString(const char* section, const char* key, const char* fallback, size_t size) {
  std::string buf(size, '\0');
  DWORD n = GetPrivateProfileStringA(section, key, fallback, &buf[0], static_cast<DWORD>(size),
                                     CurrentIniPath().c_str());
  buf.resize(n);
  return buf;
}

std::optional<std::string> IniStringIfPresent(const char* section, const char* key, size_t size) {
  std::string v = IniString(section, key, kMissing, size < 16 ? 16 : size);
  if (v == kMissing) return std::nullopt;
  if (v.size() >= size) v.resize(size - 1);
  return v;
}

bool IniSectionHasLines(const char* section) {
  char lines[64] = "";
  return GetPrivateProfileSectionA(section, lines, sizeof lines, CurrentIniPath().c_str()) > 0;
}

int IniInt(const char* section, const char* key, int fallback) {
  std::optional<long> v = DecimalValue(IniString(section, key, "", 32));
  return v ? static_cast<int>(*v) : fallback;
}

void IniWrite(const char* section, const char* key, const char* value) {
  WritePrivateProfileStringA(section, key, value, CurrentIniPath().c_str());
}
void IniWriteOnOff(const char* section, const char* key, bool on) { IniWrite(section, key, on ? "On" : "Off"); }
void IniWriteTrueFalse(const char* section, const char* key, bool on) {
  IniWrite(section, key, on ? "True" : "False");
}
void IniWriteInt(const char* section, const char* key, long value) {
  char text[16];
  snprintf(text, sizeof text, "%ld", value);
  IniWrite(section, key, text);
}
void IniDeleteKey(const char* section, const char* key) { IniWrite(section, key, nullptr); }
void IniDeleteSection(const char* section) {
  WritePrivateProfileStringA(section, nullptr, nullptr, CurrentIniPath().c_str());
}

// ---- write-through setters ----

void SetDirectorySetting(DirSetting which, const char* dir) {
  if (!g_settings) return;
  std::string value = WithoutTrailingBackslashes(dir ? dir : "");
  switch (which) {
    case DirSetting::Working:
      CopySlot(g_settings->InitialDirectory, value);
      IniWrite("Defaults", "Working Directory", value.c_str());
      break;
    case DirSetting::Target:
      CopySlot(g_settings->TargetDirectory, value);
      IniWrite("Defaults", "Target", value.c_str());
      break;
    case DirSetting::Source:
      CopySlot(g_settings->SourceDirectory, value);
      IniWrite("Defaults", "Source", value.c_str());
      break;
    case DirSetting::ExpressFile:
      CopySlot(g_settings->ExpressFileDir, value);
      IniWrite("Express File Dir", "ExpFileDir", value.c_str());
      break;
    case DirSetting::ExpressArchive:
      CopySlot(g_settings->ExpressArchiveDir, value);
      IniWrite("Express File Dir", "ExpArcDir", value.c_str());
      break;
  }
}

void SetUtilityProgram(UtilityProgram which, const char* command) {
  if (!g_settings) return;
  std::string value = command && *command ? command : "None";
  switch (which) {
    case UtilityProgram::Virus:
      CopySlot(g_settings->VirusProgram, value);
      IniWrite("Utilities", "Virus Detector", value.c_str());
      break;
    case UtilityProgram::Arc:
      CopySlot(g_settings->ArcProgram, value);
      IniWrite("Utilities", "ARC", value.c_str());
      break;
    case UtilityProgram::Lzh:
      CopySlot(g_settings->LzhProgram, value);
      IniWrite("Utilities", "LZH", value.c_str());
      break;
  }
}

namespace {

struct ConfirmKey {
  ConfirmFlag flag;
  const char* section;
  const char* key;
};
// In the order the start-up load reads them.
const ConfirmKey kConfirmKeys[] = {
    {kConfirmReplace, "Confirmation", "copy"},       {kConfirmMove, "Confirmation", "move"},
    {kConfirmDelete, "Confirmation", "delete"},      {kConfirmDirDelete, "Confirmation", "del_dir"},
    {kConfirmMouse, "Confirmation", "drag_n_drop"},  {kConfirmTargetDir, "Confirmation", "target_dir"},
};

}  // namespace

void SetConfirmFlag(ConfirmFlag flag, bool on) {
  if (on)
    g_confirmFlags |= flag;
  else
    g_confirmFlags &= static_cast<WORD>(~flag);
  if (flag == kSaveArchiveNames) {
    IniWriteOnOff("switches", "SaveArchiveNames", on);
    return;
  }
  for (const ConfirmKey& k : kConfirmKeys)
    if (k.flag == flag) IniWriteTrueFalse(k.section, k.key, on);
}

void SetModeSetting(bool manager) { IniWrite("switches", "Mode", manager ? "Manager" : "Express"); }

// ---- recent-entry lists ----

std::vector<std::string> ReadRecentEntries(const char* section, const char* stem, size_t length) {
  return ReadRecentList(CurrentIniPath(), section, stem, length);
}

void SaveRecentEntry(const char* section, const char* stem, const char* value, size_t length, bool keepFile) {
  SaveRecentList(CurrentIniPath(), section, stem, value ? value : "", length, keepFile);
}

void SetProgramModulePath(const char* path) { g_modulePathOverride = path ? path : ""; }

std::string ProgramDirectoryFile(const char* name) { return ProgramFilePath(ModulePath(), name); }

void RegisterArchiveAssociation() {
  std::string command = AssociationCommand(ModulePath());
  RegSetValueA(HKEY_CLASSES_ROOT, "Quillon", REG_SZ, "Quillon", 7);
  RegSetValueA(HKEY_CLASSES_ROOT, "Quillon\\shell\\open\\command", REG_SZ, command.c_str(),
               static_cast<DWORD>(command.size()));
  RegSetValueA(HKEY_CLASSES_ROOT, ".ARJ", REG_SZ, "Quillon", 7);
  RegSetValueA(HKEY_CLASSES_ROOT, ".ZIP", REG_SZ, "Quillon", 7);
}

// ---- the start-up load ----

bool AllocateSettings() {
  g_settings = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  return g_settings != nullptr;
}

void LoadProgramPaths() {
  std::string module = ModulePath();
  std::string dir = ProgramDirectoryOf(module);
  if (dir.empty()) {
    char windows[MAX_PATH + 1] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    dir = WithoutTrailingBackslashes(windows);
  }
  CopySlot(g_settings->ProgramDirectory, dir);
  CopySlot(g_settings->IniPath, dir + "\\" + kIniFileName);
  std::string runner = ProgramFilePath(module, "qlkbdtrp.exe");
  std::string shortForm = ShortPathForm(runner.c_str());
  CopySlot(g_settings->RunnerPath, shortForm.empty() ? runner : shortForm);
}

void LoadUtilityPrograms() {
  CopySlot(g_settings->VirusProgram, IniString("Utilities", "Virus Detector", "None"));
  CopySlot(g_settings->ArcProgram, IniString("Utilities", "ARC", "None"));
  CopySlot(g_settings->LzhProgram, IniString("Utilities", "LZH", "None"));
}

void LoadDirectories() {
  const std::string program = g_settings->ProgramDirectory;
  auto read = [](const char* section, const char* key) { return IniStringIfPresent(section, key); };
  auto value = [](const std::optional<std::string>& v) {
    return v ? std::optional<std::string_view>(*v) : std::nullopt;
  };
  std::optional<std::string> working = read("Defaults", "Working Directory");
  CopySlot(g_settings->InitialDirectory, DirectoryValue(value(working), program, program));
  SetCurrentDirAndDrive(g_settings->InitialDirectory);
  const std::string initial = g_settings->InitialDirectory;
  CopySlot(g_settings->TargetDirectory, DirectoryValue(value(read("Defaults", "Target")), initial, program));
  CopySlot(g_settings->SourceDirectory, DirectoryValue(value(read("Defaults", "Source")), initial, program));
  CopySlot(g_settings->ExpressFileDir,
           DirectoryValue(value(read("Express File Dir", "ExpFileDir")), initial, program));
  CopySlot(g_settings->ExpressArchiveDir,
           DirectoryValue(value(read("Express File Dir", "ExpArcDir")), initial, program));
  CopySlot(g_settings->WorkDirectory, program + "\\QL5TEMP");
}

bool RunnerExists() {
  return g_settings && g_settings->RunnerPath[0] &&
         GetFileAttributesA(g_settings->RunnerPath) != INVALID_FILE_ATTRIBUTES;
}

void LoadHelpFilePath() {
  std::string help = std::string(g_settings->ProgramDirectory) + "\\QL53.HLP";
  lstrcpynA(g_helpFile, help.c_str(), sizeof g_helpFile);
}

void LoadConfirmations() {
  for (const ConfirmKey& k : kConfirmKeys) {
    if (IsTrueValue(IniString(k.section, k.key, "True", 6)))
      g_confirmFlags |= k.flag;
    else
      g_confirmFlags &= static_cast<WORD>(~k.flag);
  }
}

void LoadBarFlags() {
  g_showToolbar = IsOnValue(IniString("switches", "Toolbar", "On", 5));
  g_showDriveBar = IsOnValue(IniString("switches", "Drivebar", "On", 5));
}

bool UsePkzipSetting() { return IsOnValue(IniString("switches", "use_pkzip", "Off", 5)); }

void LoadSaveArchiveNames() {
  if (IsOnValue(IniString("switches", "SaveArchiveNames", "Off", 5))) g_confirmFlags |= kSaveArchiveNames;
}

namespace {

HFONT SmallFont(const char* face, bool narrowScreen) {
  LOGFONTA lf = {};
  lf.lfHeight = 8;
  lf.lfWeight = narrowScreen ? 100 : 700;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

}  // namespace

void LoadListFont(HWND frame) {
  const char* s = "Current Font";
  HDC screen = GetDC(nullptr);
  int perInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  bool narrow = GetSystemMetrics(SM_CXSCREEN) < 801;
  LOGFONTA lf = {};
  std::string face = IniString(s, "font", "MS Sans Serif", 33);
  lstrcpynA(lf.lfFaceName, face.empty() ? "MS Sans Serif" : face.c_str(), LF_FACESIZE);
  // Each key is held to its range: a value outside it counts as missing.
  auto read = [&](const char* key, long fallback, std::optional<long> (*rule)(std::string_view)) {
    std::optional<long> v = rule(IniString(s, key, "", 32));
    return static_cast<int>(v ? *v : fallback);
  };
  auto byte = [](std::string_view text) { return DecimalValueWithin(text, 0, 255); };
  lf.lfWeight = read("Weight", narrow ? 400 : 700, FontWeightValue);
  lf.lfItalic = static_cast<BYTE>(read("Italic", 0, byte));
  lf.lfUnderline = static_cast<BYTE>(read("Underline", 0, byte));
  lf.lfStrikeOut = static_cast<BYTE>(read("StrikeOut", 0, byte));
  lf.lfCharSet = static_cast<BYTE>(read("CharSet", 0, byte));
  lf.lfOutPrecision = static_cast<BYTE>(read("OutPrecision", 0, byte));
  lf.lfClipPrecision = static_cast<BYTE>(read("ClipPrecision", 0, byte));
  lf.lfQuality = static_cast<BYTE>(read("Quality", 0, byte));
  lf.lfPitchAndFamily = static_cast<BYTE>(read("PitchAndFamily", 0, byte));
  int points = read("DesiredPointSize", 8, FontPointsValue);
  std::optional<long> height = FontHeightValue(IniString(s, "PointSize", "", 32), perInch);
  lf.lfHeight = height ? static_cast<LONG>(*height) : -(points * perInch / 72);
  g_listFont = lf;
  std::optional<unsigned long> color = UnsignedDecimalValue(IniString(s, "TextColor", "0", 16));
  g_listTextColor = static_cast<COLORREF>(color ? *color : 0);

  if (g_listFontHandle) DeleteObject(g_listFontHandle);
  g_listFontHandle = CreateFontIndirectA(&g_listFont);
  HDC dc = GetDC(frame);
  HGDIOBJ old = SelectObject(dc, g_listFontHandle ? g_listFontHandle : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(frame, dc);
  g_listCharWidth = tm.tmAveCharWidth;
  g_listLineHeight = tm.tmHeight + tm.tmExternalLeading;

  if (g_barFont) DeleteObject(g_barFont);
  if (g_driveBoxFont) DeleteObject(g_driveBoxFont);
  g_barFont = SmallFont("Helv", narrow);
  g_driveBoxFont = SmallFont("MS Sans Serif", narrow);
}

HFONT ListFontHandle() { return g_listFontHandle; }

void ReplaceListFont(HWND frame) {
  HFONT font = CreateFontIndirectA(&g_listFont);
  if (!font) return;
  if (g_listFontHandle) DeleteObject(g_listFontHandle);
  g_listFontHandle = font;
  HDC dc = GetDC(frame);
  HGDIOBJ old = SelectObject(dc, g_listFontHandle);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(frame, dc);
  g_listCharWidth = tm.tmAveCharWidth;
  g_listLineHeight = tm.tmHeight;
}
HFONT BarFontHandle() { return g_barFont; }
HFONT DriveBoxFontHandle() { return g_driveBoxFont; }

// ---- close and destruction ----

void SaveFramePlacement(HWND frame) {
  const char* s = "Coordinates";
  WinStatus status = WinStatus::Normal;
  if (IsIconic(frame))
    status = WinStatus::Minimized;
  else if (IsZoomed(frame))
    status = WinStatus::Maximized;
  if (status != WinStatus::Normal) ShowWindow(frame, SW_RESTORE);
  IniWrite(s, "WinStatus", WinStatusText(status));
  RECT r = {};
  GetWindowRect(frame, &r);
  IniWriteInt(s, "x", r.left);
  IniWriteInt(s, "y", r.top);
  IniWriteInt(s, "w", r.right - r.left);
  IniWriteInt(s, "h", r.bottom - r.top);
}

void FreeSettings() {
  for (HFONT* f : {&g_listFontHandle, &g_barFont, &g_driveBoxFont}) {
    if (*f) DeleteObject(*f);
    *f = nullptr;
  }
  if (g_settings) GlobalFree(g_settings);
  g_settings = nullptr;
}

}  // namespace ql
