#include "integration/virus_scan_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "resources/ids.h"

namespace ql {
namespace {

// The files of a test machine.
auto FilesOf(std::set<std::string> files) {
  return [files](const std::string& p) { return files.count(p) > 0; };
}

TEST(DetectorSetting, ProgramAndItsOwnArguments) {
  const auto files = FilesOf({R"(C:\Program Files\Virus Tools\VSCAN.EXE)", R"(C:\Program.exe)",
                              R"(C:\TOOLS\SCAN.EXE)", R"(C:\Program Files\Old Scan\OSCAN.EXE)"});
  struct Case {
    const char* setting;
    const char* path;
    const char* args;
  } cases[] = {
      // Blanks in the path stay in it, though "C:\Program.exe" exists.
      {R"(C:\Program Files\Virus Tools\VSCAN.EXE)", R"(C:\Program Files\Virus Tools\VSCAN.EXE)", ""},
      {R"(C:\Program Files\Virus Tools\VSCAN.EXE /A /NOMEM)", R"(C:\Program Files\Virus Tools\VSCAN.EXE)",
       "/A /NOMEM"},
      // ".EXE" may be left out, as a command line allows.
      {R"(C:\Program Files\Old Scan\OSCAN /ALL)", R"(C:\Program Files\Old Scan\OSCAN)", "/ALL"},
      {R"(  C:\TOOLS\SCAN.EXE   /X  )", R"(C:\TOOLS\SCAN.EXE)", "/X"},
      // Quoted by the user: taken as quoted.
      {R"("C:\Program Files\Virus Tools\VSCAN.EXE" /A)", R"(C:\Program Files\Virus Tools\VSCAN.EXE)", "/A"},
      {R"("C:\Unterminated\SCAN.EXE /A)", R"(C:\Unterminated\SCAN.EXE /A)", ""},
      // Nothing names a file (a program on the path, "None"): the first word.
      {"SCAN /A", "SCAN", "/A"},
      {"None", "None", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    DetectorProgram d = SplitDetectorSetting(c.setting, files);
    EXPECT_EQ(c.path, d.path) << c.setting;
    EXPECT_EQ(c.args, d.args) << c.setting;
  }
}

TEST(DetectorSetting, CommandLinesQuoteWhatHoldsBlanks) {
  DetectorProgram spaced{R"(C:\Program Files\Virus Tools\VSCAN.EXE)", "/A"};
  DetectorProgram plain{R"(C:\TOOLS\SCAN.EXE)", ""};
  EXPECT_EQ(R"("C:\Program Files\Virus Tools\VSCAN.EXE" /A D:)", DetectorCommandLine(spaced, DriveScanTarget('D')));
  EXPECT_EQ(R"(C:\TOOLS\SCAN.EXE D:)", DetectorCommandLine(plain, DriveScanTarget('D')));
  EXPECT_EQ(R"(C:\TOOLS\SCAN.EXE C:\DATA\*.*)", DetectorCommandLine(plain, DirectoryScanTarget(R"(C:\DATA\)")));
  EXPECT_EQ(R"(C:\TOOLS\SCAN.EXE "C:\My Files\*.*")", DetectorCommandLine(plain, DirectoryScanTarget(R"(C:\My Files)")));
  EXPECT_EQ(R"(C:\TOOLS\SCAN.EXE C:\*.*)", DetectorCommandLine(plain, DirectoryScanTarget(R"(C:\)")));
  // A Windows detector started alone.
  EXPECT_EQ(R"("C:\Program Files\Virus Tools\VSCAN.EXE" /A)", DetectorCommandLine(spaced, ""));
}

TEST(DetectorKind, WindowsWhenWinEnvBeginsWithT) {
  EXPECT_TRUE(IsWindowsDetector("True"));
  EXPECT_TRUE(IsWindowsDetector("true"));
  EXPECT_TRUE(IsWindowsDetector("T"));
  EXPECT_FALSE(IsWindowsDetector("False"));
  EXPECT_FALSE(IsWindowsDetector(""));
  EXPECT_FALSE(IsWindowsDetector(" True"));
}

TEST(ScanDrive, OnlyALetterOrNothing) {
  struct Case {
    const char* field;
    const char* work;
    char drive;
  } cases[] = {
      {"D", R"(C:\QL\QL5TEMP)", 'D'},   {"d", R"(C:\QL\QL5TEMP)", 'D'},  {"z", R"(C:\QL\QL5TEMP)", 'Z'},
      {"", R"(C:\QL\QL5TEMP)", 'C'},    {"", R"(e:\QL5TEMP)", 'E'},      {"", R"(\\SERVER\SHARE\QL)", 0},
      {"1", R"(C:\QL\QL5TEMP)", 0},     {":", R"(C:\QL\QL5TEMP)", 0},    {"?", R"(C:\QL\QL5TEMP)", 0},
      {"DE", R"(C:\QL\QL5TEMP)", 0},    {" ", R"(C:\QL\QL5TEMP)", 0},    {"\xC4", R"(C:\QL\QL5TEMP)", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.drive, ScanDriveLetter(c.field, c.work)) << c.field << " " << c.work;
  EXPECT_EQ(DriveField::Empty, CheckDriveField(""));
  EXPECT_EQ(DriveField::Letter, CheckDriveField("q"));
  EXPECT_EQ(DriveField::Invalid, CheckDriveField("@"));
  EXPECT_EQ("D:", DriveScanTarget('D'));
}

TEST(ArchiveScan, TheArchiveOfTheWindow) {
  ArchiveScanSource dir;
  dir.dirListFocused = true;
  dir.directory = R"(C:\DATA)";
  dir.archivePath = R"(C:\OTHER\SHOWN.ZIP)";

  dir.selectedNames = {"BACKUP.ARJ", "REPORT.ZIP"};  // the first selected one
  ArchiveScanTarget t = ChooseArchiveToScan(dir);
  EXPECT_TRUE(t.scan);
  EXPECT_EQ(R"(C:\DATA\BACKUP.ARJ)", t.path);
  EXPECT_EQ(ArchiveKind::Arj, t.kind);

  dir.selectedNames = {"report.zip"};
  dir.directory = R"(C:\)";
  t = ChooseArchiveToScan(dir);
  EXPECT_EQ(R"(C:\report.zip)", t.path);
  EXPECT_EQ(ArchiveKind::Zip, t.kind);

  for (const char* name : {"REPORT.TXT", "[DOCS]", "SETUP.EXE", "[..]"}) {
    dir.selectedNames = {name};
    t = ChooseArchiveToScan(dir);
    EXPECT_FALSE(t.scan) << name;
    EXPECT_EQ(IDS_INVALID_ARCHIVE_NAME, t.message) << name;
  }
  dir.selectedNames.clear();
  t = ChooseArchiveToScan(dir);
  EXPECT_FALSE(t.scan);
  EXPECT_EQ(0, t.message) << "no selection ends silently";

  // The archive list: the window's archive, of the window's type (a Zip EXE is a ZIP).
  ArchiveScanSource shown = dir;
  shown.dirListFocused = false;
  shown.archivePath = R"(C:\OTHER\SETUP.EXE)";
  t = ChooseArchiveToScan(shown);
  EXPECT_TRUE(t.scan);
  EXPECT_EQ(R"(C:\OTHER\SETUP.EXE)", t.path);
  EXPECT_EQ(ArchiveKind::Zip, t.kind);
  shown.archivePath = R"(C:\OTHER\B.ARJ)";
  shown.archiveIsArj = true;
  EXPECT_EQ(ArchiveKind::Arj, ChooseArchiveToScan(shown).kind);
  shown.archivePath.clear();
  t = ChooseArchiveToScan(shown);
  EXPECT_FALSE(t.scan);
  EXPECT_EQ(IDS_NEED_ARCHIVE_FILE, t.message);
}

TEST(ArchiveScan, ScanDirectoryIsASubdirectoryOfTheWorkDirectory) {
  EXPECT_EQ(R"(C:\QL\QL5TEMP\QLSCAN)", ArchiveScanDirectory(R"(C:\QL\QL5TEMP)"));
  EXPECT_EQ(R"(C:\QL\QL5TEMP\QLSCAN)", ArchiveScanDirectory(R"(C:\QL\QL5TEMP\)"));
}

TEST(ArchiveScan, ExtractCommands) {
  const EnginePaths p{R"(C:\QL)", R"(C:\QL\QL5TEMP)"};
  const std::string scan = R"(C:\QL\QL5TEMP\QLSCAN)";
  auto base = [] {
    SwitchSet s;
    SetOn(s, Sw::OverwriteExisting, true);
    SetOn(s, Sw::ZipDpmi, false);
    SetOn(s, Sw::Use32BitIns, false);
    return s;
  };
  struct Case {
    const char* name;
    void (*setup)(SwitchSet&);
    ArchiveKind kind;
    const char* archive;
    Via via;
    const char* text;
    bool shown;
  } cases[] = {
      {"arj", [](SwitchSet&) {}, ArchiveKind::Arj, R"(C:\DATA\B.ARJ)", Via::Runner,
       R"(C:\QL\ARJ E C:\DATA\B.ARJ -jyo)", false},
      {"arj password", [](SwitchSet& s) { SetOn(s, Sw::ExtractWithPassword, true); s.archivePassword = "open up"; },
       ArchiveKind::Arj, R"(C:\My Data\B.ARJ)", Via::Runner, R"(C:\QL\ARJ E "C:\My Data\B.ARJ" "-gopen up" -jyo)",
       false},
      {"engine", [](SwitchSet&) {}, ArchiveKind::Zip, R"(C:\My Data\A.ZIP)", Via::UnzipEngine,
       R"(C:\My Data\A.ZIP| -o| -+| --| -q)", false},
      {"engine, progress shown", [](SwitchSet& s) { s.viewArchiveProgress = true; }, ArchiveKind::Zip,
       R"(C:\A.ZIP)", Via::UnzipEngine, R"(C:\A.ZIP| -o| -+| --)", true},
      {"engine, no overwrite", [](SwitchSet& s) { SetOn(s, Sw::OverwriteExisting, false); }, ArchiveKind::Zip,
       R"(C:\A.ZIP)", Via::UnzipEngine, R"(C:\A.ZIP| -o| -+| --)", false},
      {"engine, DPMI and 32-bit", [](SwitchSet& s) { SetOn(s, Sw::ZipDpmi, true); SetOn(s, Sw::Use32BitIns, true); },
       ArchiveKind::Zip, R"(C:\A.ZIP)", Via::UnzipEngine, R"(C:\A.ZIP| -o| -)| -3| -+| --| -q)", false},
      {"pkunzip", [](SwitchSet& s) { SetOn(s, Sw::UsePkzip, true); }, ArchiveKind::Zip, R"(C:\My Data\A.ZIP)",
       Via::Runner, R"(C:\QL\pkunzip "C:\My Data\A.ZIP" -o -+ --)", false},
      {"pkunzip 1.x", [](SwitchSet& s) { SetOn(s, Sw::UsePkzip, true); s.oldPkzip = true; }, ArchiveKind::Zip,
       R"(C:\A.ZIP)", Via::Runner, R"(C:\QL\pkunzip C:\A.ZIP -o)", false},
      {"multi-volume", [](SwitchSet& s) { SetOn(s, Sw::MultiVolume, true); }, ArchiveKind::Zip, R"(C:\A.ZIP)",
       Via::Runner, R"(C:\QL\pkunzip C:\A.ZIP -o -+ --)", false},
      // A password takes the extraction away from the engine, even with use_pkzip off.
      {"password", [](SwitchSet& s) { SetOn(s, Sw::ExtractWithPassword, true); s.archivePassword = "pw"; },
       ArchiveKind::Zip, R"(C:\A.ZIP)", Via::Runner, R"(C:\QL\pkunzip C:\A.ZIP -o -spw -+ --)", false},
  };
  for (const Case& c : cases) {
    SwitchSet s = base();
    c.setup(s);
    Command cmd = ArchiveScanExtract(s, p, c.kind, c.archive, scan);
    EXPECT_EQ(c.via, cmd.via) << c.name;
    EXPECT_EQ(c.text, cmd.text) << c.name;
    EXPECT_EQ(c.shown, cmd.showWindow) << c.name;
    EXPECT_EQ(scan, cmd.currentDir) << c.name;
    EXPECT_FALSE(cmd.writeList) << c.name;
    EXPECT_EQ(0, cmd.message) << c.name;
  }
}

TEST(ArchiveScan, PasswordAskedByTheExtractSwitch) {
  SwitchSet s;
  EXPECT_FALSE(ArchiveScanNeedsPassword(s));
  SetOn(s, Sw::Password, true);
  EXPECT_FALSE(ArchiveScanNeedsPassword(s)) << "the add's password switch is not the extract's";
  SetOn(s, Sw::ExtractWithPassword, true);
  EXPECT_TRUE(ArchiveScanNeedsPassword(s));
}

}  // namespace
}  // namespace ql
