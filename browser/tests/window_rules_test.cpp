#include "browser/window_rules.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(WindowRulesTest, DirectoryItemsByFinalExtension) {
  struct Case {
    const char* name;
    DirItemAction action;
  } cases[] = {
      {"", DirItemAction::None},
      {"[-c-]", DirItemAction::Drive},
      {"[-Z-]", DirItemAction::Drive},
      {"[..]", DirItemAction::Directory},
      {"[Program Files]", DirItemAction::Directory},
      {"[]", DirItemAction::OpenWithShell},  // not a directory line
      {"backup.zip", DirItemAction::OpenZip},
      {"BACKUP.ZIP", DirItemAction::OpenZip},
      {"old.zip.txt", DirItemAction::OpenWithShell},
      {"data.arj", DirItemAction::OpenArj},
      {"PART.A01", DirItemAction::OpenArj},
      {"part.a99", DirItemAction::OpenArj},
      {"part.A00", DirItemAction::OpenWithShell},
      {"part.A1", DirItemAction::OpenWithShell},
      {"part.A100", DirItemAction::OpenWithShell},
      {"movie.avi", DirItemAction::OpenWithShell},
      {"x.arc", DirItemAction::OpenWithShell},
      {"setup.exe", DirItemAction::RunExe},
      {"invoice.exe.pdf", DirItemAction::OpenWithShell},
      {"my.exe files.txt", DirItemAction::OpenWithShell},
      {"command.com", DirItemAction::RunProgram},
      {"go.BAT", DirItemAction::RunProgram},
      {"dos.pif", DirItemAction::RunProgram},
      {"README", DirItemAction::OpenWithShell},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyDirectoryItem(c.name), c.action) << c.name;
}

TEST(WindowRulesTest, ArchiveMembersByFinalExtensionOfTheBaseName) {
  struct Case {
    const char* name;
    MemberAction action;
  } cases[] = {
      {"", MemberAction::None},
      {"> Title Comment: hello", MemberAction::ShowComment},
      {">", MemberAction::ShowComment},
      {"[-c-]", MemberAction::None},
      {"DOCS\\", MemberAction::None},
      {"BIN\\TOOL.EXE", MemberAction::RunFromArchive},
      {"run.bat", MemberAction::RunFromArchive},
      {"a/b/x.com", MemberAction::RunFromArchive},
      {"old.pif", MemberAction::RunFromArchive},
      {"inner.zip", MemberAction::RefuseArchive},
      {"SUB\\INNER.ARJ", MemberAction::RefuseArchive},
      {"setup.exe.txt", MemberAction::View},
      {"EXE.DIR\\readme.txt", MemberAction::View},
      {"ZIP\\notes", MemberAction::View},
      {"[draft].txt", MemberAction::View},
      {"[setup].exe", MemberAction::RunFromArchive},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyArchiveMember(c.name), c.action) << c.name;
}

TEST(WindowRulesTest, LinePieces) {
  EXPECT_EQ(DriveLineLetter("[-D-]"), 'd');
  EXPECT_EQ(DriveLineLetter("[-1-]"), 0);
  EXPECT_EQ(DriveLineLetter("[-c-"), 0);
  EXPECT_EQ(DirectoryLineName("[..]"), "..");
  EXPECT_EQ(DirectoryLineName("[-c-]"), "");
  EXPECT_EQ(DirectoryLineName("name"), "");
  EXPECT_EQ(FinalExtension("C:\\dir.x\\file"), "");
  EXPECT_EQ(FinalExtension("a.b.Zip"), "Zip");
  EXPECT_EQ(BaseNameOf("C:\\a\\b.zip"), "b.zip");
}

// One step of the display-selection dialog: the box's new state and the field it gives.
struct Step {
  MaskBox box;
  bool on;
  const char* field;  // nullptr: the field stays as it was
};

std::string Apply(MaskBoxes* boxes, std::string field, const Step& s) {
  bool* flag = s.box == MaskBox::AllFiles ? &boxes->allFiles
               : s.box == MaskBox::Programs ? &boxes->programs
               : s.box == MaskBox::ArjFiles ? &boxes->arj
               : s.box == MaskBox::ZipFiles ? &boxes->zip
                                            : &boxes->allArchives;
  *flag = s.on;
  std::optional<std::string> next = ComposeDisplayMask(s.box, s.on, boxes);
  return next ? *next : field;
}

TEST(WindowRulesTest, DisplayMaskSequences) {
  const std::string p = kProgramsPiece;
  struct Sequence {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> fields;
  } sequences[] = {
      {"zip then programs",
       {{MaskBox::ZipFiles, true, nullptr}, {MaskBox::Programs, true, nullptr}},
       {"*.ZIP", p + "; *.zip"}},
      {"programs then zip",
       {{MaskBox::Programs, true, nullptr}, {MaskBox::ZipFiles, true, nullptr}},
       {p, "*.ZIP; " + p}},
      {"arj and zip, zip off",
       {{MaskBox::ArjFiles, true, nullptr}, {MaskBox::ZipFiles, true, nullptr}, {MaskBox::ZipFiles, false, nullptr}},
       {"*.ARJ", "*.ZIP; *.arj", " *.arj"}},
      {"all archives with programs, programs off",
       {{MaskBox::AllArchives, true, nullptr}, {MaskBox::Programs, true, nullptr}, {MaskBox::Programs, false, nullptr}},
       {"*.arj; *.zip", p + "; *.arj; *.zip", " *.arj; *.zip"}},
      {"all files clears, its own off leaves the field",
       {{MaskBox::ZipFiles, true, nullptr}, {MaskBox::AllFiles, true, nullptr}, {MaskBox::AllFiles, false, nullptr}},
       {"*.ZIP", "*.*", "*.*"}},
      {"all archives off also turns arj and zip off",
       {{MaskBox::Programs, true, nullptr}, {MaskBox::AllArchives, true, nullptr}, {MaskBox::AllArchives, false, nullptr}},
       {p, "*.arj; *.zip; " + p, " " + p}},
      {"the last box off empties the field",
       {{MaskBox::ArjFiles, true, nullptr}, {MaskBox::ArjFiles, false, nullptr}},
       {"*.ARJ", ""}},
  };
  for (const auto& seq : sequences) {
    MaskBoxes boxes;
    std::string field = "*.*";
    for (size_t i = 0; i < seq.steps.size(); ++i) {
      field = Apply(&boxes, field, seq.steps[i]);
      EXPECT_EQ(field, seq.fields[i]) << seq.what << ", step " << i;
    }
  }
}

TEST(WindowRulesTest, TurningOnClearsTheBoxesThatExcludeIt) {
  MaskBoxes b;
  b.allFiles = b.allArchives = b.programs = true;
  b.zip = true;
  ComposeDisplayMask(MaskBox::ZipFiles, true, &b);
  EXPECT_FALSE(b.allFiles);
  EXPECT_FALSE(b.allArchives);
  EXPECT_TRUE(b.programs);
  b.arj = true;
  ComposeDisplayMask(MaskBox::AllArchives, true, &b);
  EXPECT_FALSE(b.arj);
  EXPECT_FALSE(b.zip);
  ComposeDisplayMask(MaskBox::AllFiles, true, &b);
  EXPECT_TRUE(b.allFiles);
  EXPECT_FALSE(b.programs || b.arj || b.zip || b.allArchives);
}

TEST(WindowRulesTest, SavedArchiveByExtension) {
  struct Case {
    const char* value;
    SavedArchiveKind kind;
  } cases[] = {
      {"{Empty Archive}", SavedArchiveKind::Empty},
      {"C:\\DATA\\BACKUP.ZIP", SavedArchiveKind::Zip},
      {"c:\\data\\x.arj", SavedArchiveKind::Arj},
      {"C:\\DATA\\PART.A03", SavedArchiveKind::Arj},
      {"C:\\DATA\\SETUP.EXE", SavedArchiveKind::ZipProgram},
      {"C:\\my.zip.files\\notes.txt", SavedArchiveKind::Unknown},
      {"C:\\DATA\\x.arjx", SavedArchiveKind::Unknown},
      {"C:\\DATA.ZIP\\", SavedArchiveKind::Unknown},
      {"", SavedArchiveKind::Unknown},
      {"{empty archive}x", SavedArchiveKind::Unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifySavedArchive(c.value), c.kind) << c.value;
}

TEST(WindowRulesTest, SavedCoords) {
  struct Case {
    const char* text;
    bool valid;
    SavedCoords c;
  } cases[] = {
      {"10 20 300 200 280", true, {10, 20, 300, 200, 280}},
      {" -4 0 640 480 130 ", true, {-4, 0, 640, 480, 130}},
      {"0 0 640 480 129", true, {0, 0, 640, 480, 125}},
      {"10 20 300 200 100", true, {10, 20, 300, 200, 125}},
      {"10 20 300 200 40", true, {10, 20, 300, 200, 125}},
      {"10 20 300 200 0", true, {10, 20, 300, 200, 125}},
      {"10 20 300 200", false, {}},
      {"10 20 300 200 280 7", false, {}},
      {"10 20 abc 200 280", false, {}},
      {"10 20 0 200 280", false, {}},
      {"10 20 300 -5 280", false, {}},
      {"99999999999 20 300 200 280", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    std::optional<SavedCoords> got = ParseSavedCoords(c.text);
    ASSERT_EQ(got.has_value(), c.valid) << c.text;
    if (!got) continue;
    EXPECT_EQ(got->x, c.c.x) << c.text;
    EXPECT_EQ(got->y, c.c.y) << c.text;
    EXPECT_EQ(got->width, c.c.width) << c.text;
    EXPECT_EQ(got->height, c.c.height) << c.text;
    EXPECT_EQ(got->splitter, c.c.splitter) << c.text;
  }
  EXPECT_EQ(FormatSavedCoords({-1, 2, 300, 400, 280}), "-1 2 300 400 280");
}

TEST(WindowRulesTest, SavedShowAndSection) {
  EXPECT_EQ(ParseSavedShow("Iconic"), SavedShow::Iconic);
  EXPECT_EQ(ParseSavedShow("zoomed"), SavedShow::Zoomed);
  EXPECT_EQ(ParseSavedShow("Restored"), SavedShow::Restored);
  EXPECT_EQ(ParseSavedShow("garbage"), SavedShow::Restored);
  EXPECT_STREQ(SavedShowText(SavedShow::Zoomed), "Zoomed");
  EXPECT_EQ(SavedWindowSection(32), "Window32");
}

}  // namespace
}  // namespace ql
