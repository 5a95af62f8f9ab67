#include "browser/item_format.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

bool TxtAssociated(std::string_view ext) { return ext == "txt" || ext == "TXT"; }

TEST(ItemPictureTest, ChosenByNameAndKind) {
  DriveFacts none;
  struct Case {
    const char* line;
    bool shortNames;
    ItemPicture want;
  } cases[] = {
      {"BACKUP.ARJ\tBACKUP.ARJ\t1\t1\t01/01/1996\t01:00a", false, ItemPicture::ArjFile},
      {"pack.zip\tPACK.ZIP\t1\t01/01/1996\t01:00a", false, ItemPicture::ZipFile},
      {"ding.WAV\tDING.WAV\t1\t01/01/1996\t01:00a", false, ItemPicture::WaveFile},
      {"clip.avi\tCLIP.AVI\t1\t01/01/1996\t01:00a", false, ItemPicture::AviFile},
      {"run.bat\tRUN.BAT\t1\t01/01/1996\t01:00a", false, ItemPicture::ExeFile},
      {"x.pif\tX.PIF\t1", false, ItemPicture::ExeFile},
      {"[..]\t[..]\t", false, ItemPicture::Parent},
      {"[Program Files]\t[PROGRA~1]\t", true, ItemPicture::Directory},
      {"> File Comment: 120 14", false, ItemPicture::Comment},
      {"> Title: 0 33", false, ItemPicture::Comment},
      {"notes.txt\tNOTES.TXT\t1", false, ItemPicture::TextFile},
      {"README\tREADME\t10\t5\t50%\t01-02-96\t 1:00a", false, ItemPicture::File},
      // A file whose name begins with "[" carries a size: it is no directory.
      {"[draft]\t_DRAFT_\t5\t01/02/2001\t10:00a", false, ItemPicture::File},
      {"[draft].txt\t_DRAFT_.TXT\t5\t01/02/2001\t10:00a", false, ItemPicture::TextFile},
      {"[.hidden]\t_HIDDEN\t5\t01/02/2001\t10:00a", false, ItemPicture::File},
      // Short view: the picture follows the field shown.
      {"Archive of 1996.zip.bak\tARCHIV~1.ZIP\t1", true, ItemPicture::ZipFile},
      {"Archive of 1996.zip.bak\tARCHIV~1.ZIP\t1", false, ItemPicture::File},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseItemPicture(c.line, c.shortNames, none, TxtAssociated), c.want) << c.line;
}

TEST(ItemPictureTest, DrivesByTypeAndLabel) {
  auto facts = [](DriveType t, const char* label = "", int conn = 0) {
    DriveFacts f;
    f.type = t;
    f.label = label;
    f.connectionResult = conn;
    return f;
  };
  struct Case {
    char letter;
    DriveFacts facts;
    ItemPicture want;
  } cases[] = {
      {'a', facts(DriveType::Removable), ItemPicture::Floppy},
      {'b', facts(DriveType::Removable), ItemPicture::Floppy},
      {'f', facts(DriveType::Removable), ItemPicture::HardDisk},
      {'c', facts(DriveType::Fixed), ItemPicture::HardDisk},
      {'n', facts(DriveType::Remote, "", 0), ItemPicture::NetDrive},
      {'n', facts(DriveType::Remote, "", 1200), ItemPicture::NetDrive},
      {'n', facts(DriveType::Remote, "", 59), ItemPicture::NetDisabled},
      {'e', facts(DriveType::CdRom), ItemPicture::CdRom},
      {'r', facts(DriveType::RamDisk, "MS-RAMDRIVE"), ItemPicture::RamDrive},
      {'r', facts(DriveType::RamDisk, "ramdisk"), ItemPicture::RamDrive},
      {'r', facts(DriveType::RamDisk, "SCRATCH"), ItemPicture::HardDisk},
      {'q', facts(DriveType::Unknown), ItemPicture::HardDisk},
  };
  for (const auto& c : cases) {
    std::string line = std::string("[-") + c.letter + "-]\t[-" + c.letter + "-]\t";
    EXPECT_EQ(ChooseItemPicture(line, false, c.facts), c.want) << c.letter;
  }
}

TEST(ItemTextTest, DisplayTexts) {
  DriveFacts none;
  DriveFacts fixed;
  fixed.type = DriveType::Fixed;
  fixed.label = "MY.DISK";
  DriveFacts cd;
  cd.type = DriveType::CdRom;
  DriveFacts floppy;
  floppy.type = DriveType::Removable;
  DriveFacts net;
  net.type = DriveType::Remote;
  net.remoteName = "\\\\server\\share";
  DriveFacts unlabelled;
  unlabelled.type = DriveType::Fixed;
  EXPECT_EQ(ItemDisplayText("[-c-]\t[-c-]\t", false, fixed), "c:  [MYDISK]");
  EXPECT_EQ(ItemDisplayText("[-e-]\t[-e-]\t", false, cd), "e:  CD-ROM");
  EXPECT_EQ(ItemDisplayText("[-a-]\t[-a-]\t", false, floppy), "a:");
  EXPECT_EQ(ItemDisplayText("[-n-]\t[-n-]\t", false, net), "n:  \\\\SERVER\\SHARE");
  EXPECT_EQ(ItemDisplayText("[-z-]\t[-z-]\t", false, unlabelled), "z:");
  EXPECT_EQ(ItemDisplayText("[..]\t[..]\t", false, none), "..");
  EXPECT_EQ(ItemDisplayText("[Program Files]\t[PROGRA~1]\t", false, none), "Program Files");
  EXPECT_EQ(ItemDisplayText("[Program Files]\t[PROGRA~1]\t", true, none), "PROGRA~1");
  EXPECT_EQ(ItemDisplayText("> File Comment: 1234 56", false, none), "> File Comment:");
  EXPECT_EQ(ItemDisplayText("> Directory: SUB\\DIR", false, none), "> Directory:");
  EXPECT_EQ(ItemDisplayText("Long file.txt\tLONGFI~1.TXT\t12\t01/02/1996\t03:04p", true, none),
            "LONGFI~1.TXT\t12\t01/02/1996\t03:04p");
  EXPECT_EQ(ItemDisplayText("README\tREADME\t10\t5\t50%\t01-02-96\t 1:00a", true, none),
            "README\t10\t5\t50%\t01-02-96\t 1:00a");
  EXPECT_EQ(ItemDisplayText("[draft].txt\t_DRAFT_.TXT\t5\t01/02/2001\t10:00a", false, none),
            "[draft].txt\t5\t01/02/2001\t10:00a");
  // A member's reference to its real name is not drawn.
  EXPECT_EQ(ItemDisplayText("?.txt\t?.txt\t4\t4\t00%\t03-01-26\t12:00p\t:CF802E747874", false, none),
            "?.txt\t4\t4\t00%\t03-01-26\t12:00p");
}

TEST(ColumnTest, PositionsAndExtentByKind) {
  SampleWidths w;
  w.name = 100;
  w.size = 48;
  w.date = 50;
  w.gap = 16;
  w.ratio = 20;
  w.bitmap = 18;
  w.charWidth = 7;
  ColumnSet dir = MeasureColumns(kListDirectory, w);
  EXPECT_EQ(dir.count, 3);
  EXPECT_EQ(dir.extent, 18 + 48 + 100 + 48 + 100 + 7);
  EXPECT_EQ(dir.pos[0], 134);
  EXPECT_EQ(dir.pos[1], 198);
  EXPECT_EQ(dir.pos[2], 264);
  ColumnSet arj = MeasureColumns(kListArj, w);
  EXPECT_EQ(arj.count, 4);
  EXPECT_EQ(arj.extent, 18 + 64 + 100 + 96 + 100 + 7);
  EXPECT_EQ(arj.pos[2], 262);
  EXPECT_EQ(arj.pos[3], 328);
  ColumnSet zip = MeasureColumns(kListZip, w);
  EXPECT_EQ(zip.count, 5);
  EXPECT_EQ(zip.extent, 18 + 80 + 100 + 96 + 20 + 100 + 7);
  EXPECT_EQ(zip.pos[3], 262 + 20 + 16);
  EXPECT_EQ(zip.pos[4], 298 + 16 + 50);
  EXPECT_TRUE(UsesNameSample("ab"));
  EXPECT_FALSE(UsesNameSample("abc"));
}

TEST(LayoutRuleTest, SplitterLimits) {
  EXPECT_EQ(AdjustSplitter(0, 600), 280);
  EXPECT_EQ(AdjustSplitter(100, 600), 125);
  EXPECT_EQ(AdjustSplitter(129, 600), 125);
  EXPECT_EQ(AdjustSplitter(130, 600), 130);
  EXPECT_EQ(AdjustSplitter(280, 200), 100);
  EXPECT_EQ(AdjustSplitter(0, 200), 100);
  EXPECT_EQ(ListHeight(200, 16, 18), (200 - 4 - 16) / 18 * 18);
  EXPECT_EQ(ListHeight(10, 16, 18), 0);
}

}  // namespace
}  // namespace ql
