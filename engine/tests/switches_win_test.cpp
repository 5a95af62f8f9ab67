// The switch set read from and written to a real settings file under Wine.
#include "engine/switches_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/runner_win.h"
#include "engine/tests/win_test_util.h"

namespace ql {
namespace {

class SwitchesIniTest : public ::testing::Test {
 protected:
  std::string dir, ini;
  void SetUp() override {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    dir = std::string(temp) + "qlswitches" + std::to_string(GetCurrentProcessId());
    RemoveTree(dir);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ini = dir + "\\ql53intl.ini";
  }
  void TearDown() override { RemoveTree(dir); }
};

TEST_F(SwitchesIniTest, StartUpReadOfTheSettingsFile) {
  ASSERT_TRUE(WriteWholeFile(ini,
                             "[switches]\r\n"
                             "recurse_subdirs=on\r\n"
                             "keep_backup=ON\r\n"
                             "overwrite_existing_files=Off\r\n"
                             "extract_only_newer_files=On\r\n"
                             "zip_DPMI=On\r\n"
                             "slow_mem_copy=Onwards\r\n"
                             "store_pathnames=Full\r\n"
                             "ViewArchiveProgress=On\r\n"));
  SwitchSet s;
  LoadSwitchesFromIni(s, ini, dir);
  EXPECT_TRUE(On(s, Sw::RecurseSubdirs));
  EXPECT_TRUE(On(s, Sw::KeepBackup));
  EXPECT_FALSE(On(s, Sw::OverwriteExisting));
  EXPECT_TRUE(On(s, Sw::ExtractOnlyNewer));
  EXPECT_TRUE(On(s, Sw::ZipDpmi));
  EXPECT_FALSE(Bit(s, Sw::ZipDpmi));
  EXPECT_FALSE(On(s, Sw::SlowMemCopy)) << "read through a 5-character buffer: \"Onwa\"";
  EXPECT_EQ(PathStorage::Full, PathMode(s));
  EXPECT_EQ(kPathFull, s.pathStorageChoice);
  EXPECT_TRUE(s.viewArchiveProgress);
  EXPECT_FALSE(s.oldPkzip) << "no PKZIP.EXE in the program directory";
}

TEST_F(SwitchesIniTest, MissingFileGivesTheDefaultsAndOldPkzipIsProbed) {
  std::string probe(29348, 'x');
  probe += "1989-1990";
  ASSERT_TRUE(WriteWholeFile(dir + "\\PKZIP.EXE", probe));
  SwitchSet s;
  LoadSwitchesFromIni(s, ini, dir);
  EXPECT_TRUE(On(s, Sw::OverwriteExisting));
  EXPECT_EQ(PathStorage::Relative, PathMode(s));
  EXPECT_FALSE(On(s, Sw::UsePkzip));
  EXPECT_TRUE(s.oldPkzip);
}

TEST_F(SwitchesIniTest, ConfirmedDialogsWriteTheirKeys) {
  SwitchSet s;
  LoadSwitchesFromIni(s, ini, dir);
  SetBit(s, Sw::OverwriteExisting, false);  // "Don't Overwrite"
  ConfirmSwitchesDialog(s, true, IniSwitchWriter(ini));
  bool boxes[7] = {true, false, false, false, false, false, false};
  ConfirmZipOptions(s, boxes, IniSwitchWriter(ini));
  ConfirmDefaultZip(s, true, IniSwitchWriter(ini));
  auto key = [&](const char* k) {
    char buf[32] = "";
    GetPrivateProfileStringA("switches", k, "<missing>", buf, sizeof buf, ini.c_str());
    return std::string(buf);
  };
  EXPECT_EQ("Off", key("overwrite_existing_files"));
  EXPECT_EQ("Off", key("extract_only_newer_files"));
  EXPECT_EQ("Relative", key("store_pathnames"));
  EXPECT_EQ("On", key("zip_compatibility_mode"));
  EXPECT_EQ("Off", key("slow_mem_copy"));
  EXPECT_EQ("On", key("use_pkzip"));
  SwitchSet again;
  LoadSwitchesFromIni(again, ini, dir);
  EXPECT_EQ(s.bits, again.bits) << "what the dialogs write reads back the same";
}

}  // namespace
}  // namespace ql
