// The shared path routines, the short form of a path, recent-entry lists and write-through setters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/settings.h"
#include "common/shared_win.h"
#include "tests/support/win_test_support.h"

namespace {

using qltest::FileExists;
using qltest::TempDir;
using qltest::WriteTextFile;

TEST(CreateDirectoryPath, CreatesEveryMissingLevel) {
  TempDir t("qlpaths");
  std::string deep = t / "one\\two\\three";
  EXPECT_TRUE(ql::CreateDirectoryPath(deep.c_str()));
  EXPECT_TRUE(FileExists(deep));
  EXPECT_FALSE(ql::CreateDirectoryPath(deep.c_str())) << "the last level existed already";
  EXPECT_TRUE(ql::CreateDirectoryPath((t / "four\\").c_str())) << "a trailing backslash is fine";
  EXPECT_FALSE(ql::CreateDirectoryPath("relative\\path"));
  EXPECT_FALSE(ql::CreateDirectoryPath(""));
}

TEST(RemoveDirectoryTree, RemovesEverythingBelowWhateverItsAttributes) {
  TempDir t("qlpaths");
  std::string root = t / "tree";
  ASSERT_TRUE(ql::CreateDirectoryPath((root + "\\sub\\deeper").c_str()));
  ASSERT_TRUE(WriteTextFile(root + "\\a.txt", "a"));
  ASSERT_TRUE(WriteTextFile(root + "\\.hidden", "dot"));
  ASSERT_TRUE(WriteTextFile(root + "\\sub\\ro.txt", "ro"));
  ASSERT_TRUE(WriteTextFile(root + "\\sub\\deeper\\sys.bin", "s"));
  SetFileAttributesA((root + "\\sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((root + "\\sub\\deeper\\sys.bin").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA((root + "\\sub").c_str(), FILE_ATTRIBUTE_READONLY);
  std::string cwd = qltest::CurrentDirectory();
  EXPECT_TRUE(ql::RemoveDirectoryTree(root.c_str()));
  EXPECT_FALSE(FileExists(root));
  EXPECT_EQ(cwd, qltest::CurrentDirectory());
  EXPECT_FALSE(ql::RemoveDirectoryTree(root.c_str())) << "nothing left to remove";
}

TEST(RemoveDirectoryTree, StopsAtAFileThatCannotBeDeleted) {
  TempDir t("qlpaths");
  std::string root = t / "busy";
  ASSERT_TRUE(ql::CreateDirectoryPath(root.c_str()));
  ASSERT_TRUE(WriteTextFile(root + "\\open.txt", "held"));
  HANDLE held = CreateFileA((root + "\\open.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(ql::RemoveDirectoryTree(root.c_str()));
  EXPECT_TRUE(FileExists(root + "\\open.txt"));
  CloseHandle(held);
  EXPECT_TRUE(ql::RemoveDirectoryTree(root.c_str()));
}

TEST(RemoveDirectoryTree, RefusesRootsAndEmptyPaths) {
  for (const char* p : {"", "C:", "C:\\", "\\", "Z:\\\\"}) EXPECT_FALSE(ql::RemoveDirectoryTree(p)) << p;
  EXPECT_TRUE(FileExists("C:\\windows"));
}

TEST(CleanScratchDir, EmptiesAndRemovesTheScratchDirectoryOnly) {
  TempDir t("qlpaths");
  std::string scratch = t / "tmp41720";
  ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr));
  ASSERT_TRUE(WriteTextFile(scratch + "\\x.tmp", "x"));
  SetFileAttributesA((scratch + "\\x.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(WriteTextFile(t / "ql5files", "keep"));
  ql::CleanScratchDir(t.path().c_str());
  EXPECT_FALSE(FileExists(scratch));
  EXPECT_TRUE(FileExists(t / "ql5files"));
  ql::CleanScratchDir((t.path() + "\\").c_str());  // nothing to do, no harm
}

TEST(SetCurrentDirAndDrive, SetsTheDirectoryAndItsDriveEntry) {
  TempDir t("qlpaths");
  std::string cwd = qltest::CurrentDirectory();
  EXPECT_FALSE(ql::SetCurrentDirAndDrive(t.path().c_str()));
  EXPECT_EQ(t.path(), qltest::CurrentDirectory());
  char name[4] = {'=', static_cast<char>(toupper(t.path()[0])), ':', 0};
  char value[MAX_PATH + 1] = "";
  GetEnvironmentVariableA(name, value, sizeof value);
  EXPECT_EQ(t.path(), value);
  EXPECT_TRUE(ql::SetCurrentDirAndDrive((t / "missing").c_str())) << "true means it failed";
  EXPECT_EQ(t.path(), qltest::CurrentDirectory());
  SetCurrentDirectoryA(cwd.c_str());
}

TEST(DriveFreeBytes, LargeDrivesDoNotWrapAround) {
  ULARGE_INTEGER avail, total, free;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &avail, &total, &free));
  uint32_t bytes = ql::DriveFreeBytes('C');
  if (free.QuadPart >= 0xFFFFFFFFull)
    EXPECT_EQ(0xFFFFFFFFu, bytes);
  else
    EXPECT_GT(bytes, 0u);
  EXPECT_EQ(0u, ql::DriveFreeBytes('Q')) << "no such drive";
}

TEST(ShortPathForm, ComponentByComponent) {
  TempDir t("qlshort");
  std::string longDir = t / "Long Directory Name";
  ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr));
  ASSERT_TRUE(WriteTextFile(longDir + "\\a very long file name.text", "x"));
  std::string shortForm = ql::ShortPathForm((longDir + "\\a very long file name.text").c_str());
  char expected[MAX_PATH + 1] = "";
  GetShortPathNameA((longDir + "\\a very long file name.text").c_str(), expected, sizeof expected);
  EXPECT_TRUE(_stricmp(expected, shortForm.c_str()) == 0) << shortForm << " vs " << expected;
  EXPECT_EQ(std::string::npos, shortForm.find(' '));
  EXPECT_EQ("", ql::ShortPathForm((t / "missing\\x.txt").c_str())) << "a missing component";
  EXPECT_EQ("", ql::ShortPathForm("relative\\x.txt")) << "not a full path";
}

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ql::SetProgramModulePath((dir_ / "quillon.exe").c_str());
    ASSERT_TRUE(ql::AllocateSettings());
    ql::LoadProgramPaths();
  }
  void TearDown() override {
    ql::FreeSettings();
    ql::SetProgramModulePath(nullptr);
  }
  std::string Ini(const char* section, const char* key) {
    char buf[512] = "";
    GetPrivateProfileStringA(section, key, "(missing)", buf, sizeof buf, (dir_ / "ql53intl.ini").c_str());
    return buf;
  }
  TempDir dir_{"qlini"};
};

TEST_F(IniTest, RecentListKeepsTenNewestFirst) {
  for (int i = 1; i <= 11; ++i)
    ql::SaveRecentEntry("Express New", "New", ("C:\\DIR" + std::to_string(i)).c_str(), 10, false);
  EXPECT_EQ("C:\\DIR11", Ini("Express New", "New1"));
  EXPECT_EQ("C:\\DIR2", Ini("Express New", "New10"));
  EXPECT_EQ("(missing)", Ini("Express New", "New11"));
  auto entries = ql::ReadRecentEntries("Express New", "New", 10);
  ASSERT_EQ(10u, entries.size());
  EXPECT_EQ("C:\\DIR11", entries[0]);
}

TEST_F(IniTest, RecentListStoresTheDirectoryOfAnExistingFile) {
  ASSERT_TRUE(WriteTextFile(dir_ / "A.ZIP", "PK"));
  ql::SaveRecentEntry("New Files", "New", (dir_ / "A.ZIP").c_str(), 10, false);
  EXPECT_EQ(dir_.path(), Ini("New Files", "New1"));
  ql::SaveRecentEntry("Run Files", "Prog", (dir_ / "A.ZIP").c_str(), 10, true);
  EXPECT_EQ(dir_ / "A.ZIP", Ini("Run Files", "Prog1")) << "the full text kept";
}

TEST_F(IniTest, SettersWriteThrough) {
  ql::SetDirectorySetting(ql::DirSetting::Target, "D:\\OUT\\");
  EXPECT_STREQ("D:\\OUT", ql::g_settings->TargetDirectory);
  EXPECT_EQ("D:\\OUT", Ini("Defaults", "Target"));
  ql::SetDirectorySetting(ql::DirSetting::ExpressArchive, "E:\\ARC");
  EXPECT_EQ("E:\\ARC", Ini("Express File Dir", "ExpArcDir"));
  ql::SetUtilityProgram(ql::UtilityProgram::Virus, "");
  EXPECT_EQ("None", Ini("Utilities", "Virus Detector"));
  ql::g_confirmFlags = 0x3F;
  ql::SetConfirmFlag(ql::kConfirmDirDelete, false);
  EXPECT_EQ(0x3B, ql::g_confirmFlags);
  EXPECT_EQ("False", Ini("Confirmation", "del_dir"));
  ql::SetConfirmFlag(ql::kSaveArchiveNames, true);
  EXPECT_EQ("On", Ini("switches", "SaveArchiveNames"));
}

}  // namespace
