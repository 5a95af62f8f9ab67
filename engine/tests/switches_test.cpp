#include "engine/switches.h"

#include "engine/commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ql {
namespace {

// A settings file section as a map; missing keys give the caller's default.
struct FakeIni {
  std::map<std::string, std::string> values;
  std::vector<std::pair<std::string, std::string>> written;
  ReadSwitchKey reader() {
    return [this](const char* key, const char* def) {
      auto it = values.find(key);
      return it == values.end() ? std::string(def) : it->second;
    };
  }
  WriteSwitchKey writer() {
    return [this](const char* key, const char* value) {
      written.emplace_back(key, value);
      values[key] = value;
    };
  }
};

SwitchSet Load(FakeIni& ini) {
  SwitchSet s;
  LoadSwitchSet(s, ini.reader());
  return s;
}

TEST(SwitchTable, OneRecordPerBitInBitOrder) {
  for (int i = 0; i < kSwitchCount; ++i) EXPECT_EQ(i, static_cast<int>(kSwitchTable[i].id));
  int inverted = 0;
  for (const SwitchRecord& r : kSwitchTable) inverted += r.inverted;
  EXPECT_EQ(5, inverted);
  EXPECT_TRUE(SwitchInfo(Sw::OverwriteExisting).defaultOn);
}

TEST(SwitchLoad, FreshFileGivesOverwriteAndRelativePathsOnly) {
  FakeIni ini;
  SwitchSet s = Load(ini);
  for (const SwitchRecord& r : kSwitchTable) {
    bool expected = r.id == Sw::OverwriteExisting || r.id == Sw::PathsRelative;
    EXPECT_EQ(expected, On(s, r.id)) << r.key;
  }
  EXPECT_EQ(kPathRelative, s.pathStorageChoice);
  EXPECT_FALSE(s.viewArchiveProgress);
  // The Disable boxes are clear, so their facilities are allowed: the bits are set.
  EXPECT_TRUE(Bit(s, Sw::ZipDpmi));
  EXPECT_TRUE(Bit(s, Sw::XmsUsage));
}

TEST(SwitchLoad, ValuesCountAsOnOnlyWhenTheyReadAsOn) {
  struct Case {
    const char* value;
    bool on;
  } cases[] = {{"On", true}, {"ON", true}, {"on", true}, {"oN", true}, {"Off", false},
               {"", false},  {"1", false}, {"ONE", false}, {"On  ", false}};
  for (const Case& c : cases) {
    FakeIni ini;
    ini.values["recurse_subdirs"] = c.value;
    ini.values["zip_DPMI"] = c.value;
    SwitchSet s = Load(ini);
    EXPECT_EQ(c.on, On(s, Sw::RecurseSubdirs)) << '"' << c.value << '"';
    EXPECT_EQ(c.on, On(s, Sw::ZipDpmi)) << '"' << c.value << '"';
    EXPECT_EQ(!c.on, Bit(s, Sw::ZipDpmi)) << "stored inverted";
  }
}

TEST(SwitchLoad, CompressionKeepsTheFirstKeyOnAndEveryOrderKeySetsItsOwnBit) {
  FakeIni ini;
  ini.values["faster_compression"] = "On";
  ini.values["no_compression"] = "On";
  ini.values["extract_by_size"] = "On";
  ini.values["extract_in_reverse_order"] = "On";
  ini.values["overwrite_existing_files"] = "On";
  ini.values["extract_only_newer_files"] = "On";
  SwitchSet s = Load(ini);
  EXPECT_TRUE(On(s, Sw::FasterCompression));
  EXPECT_FALSE(On(s, Sw::NoCompression));
  EXPECT_TRUE(On(s, Sw::ExtractBySize));
  EXPECT_TRUE(On(s, Sw::ExtractInReverseOrder)) << "a sort key and the reverse order go together";
  EXPECT_TRUE(On(s, Sw::OverwriteExisting));
  EXPECT_FALSE(On(s, Sw::ExtractOnlyNewer));
  SetOn(s, Sw::UsePkzip, true);
  Command cmd = ExtractMembers(s, EnginePaths{"C:\\QL", "C:\\QL\\QL5TEMP"}, ArchiveKind::Zip, "C:\\A.ZIP", false,
                               {"X.TXT"}, "C:\\OUT");
  EXPECT_NE(cmd.text.find(" -es"), std::string::npos) << cmd.text;
  EXPECT_NE(cmd.text.find(" -er"), std::string::npos) << cmd.text;
}

TEST(SwitchLoad, PathStorageFromStorePathnames) {
  struct Case {
    const char* value;
    PathStorage mode;
    int choice;
  } cases[] = {{"Full", PathStorage::Full, kPathFull},
               {"full", PathStorage::Full, kPathFull},
               {"None", PathStorage::None, kPathNone},
               {"Relative", PathStorage::Relative, kPathRelative},
               {"Garbage", PathStorage::Relative, kPathRelative}};
  for (const Case& c : cases) {
    FakeIni ini;
    ini.values["store_pathnames"] = c.value;
    SwitchSet s = Load(ini);
    EXPECT_EQ(c.mode, PathMode(s)) << c.value;
    EXPECT_EQ(c.choice, s.pathStorageChoice) << c.value;
  }
}

TEST(SwitchSetBits, RadioAndDerivedChoice) {
  SwitchSet s;
  SetRadio(s, Sw::MaximumCompression);
  SetRadio(s, Sw::FastestCompression);
  EXPECT_FALSE(On(s, Sw::MaximumCompression));
  EXPECT_TRUE(On(s, Sw::FastestCompression));
  EXPECT_EQ(kPathNone, PathChoice(s));
  SetBit(s, Sw::PathsFull, true);
  EXPECT_EQ(kPathFull, PathChoice(s));
  s.pathStorageChoice = kPathRelative;
  EXPECT_EQ(kPathRelative, PathChoice(s));
}

TEST(SwitchSetBits, UseEngineOnlyWithoutDosPkzipAndMultiVolume) {
  SwitchSet s;
  EXPECT_TRUE(UseEngine(s));
  SetOn(s, Sw::MultiVolume, true);
  EXPECT_FALSE(UseEngine(s));
  SetOn(s, Sw::MultiVolume, false);
  SetOn(s, Sw::UsePkzip, true);
  EXPECT_FALSE(UseEngine(s));
}

// The keys a switches dialog writes, in order, and the value of each.
std::vector<std::pair<std::string, std::string>> Confirm(SwitchSet& s, bool zip) {
  FakeIni ini;
  ConfirmSwitchesDialog(s, zip, ini.writer());
  return ini.written;
}

std::string Last(const std::vector<std::pair<std::string, std::string>>& w, const char* key) {
  std::string v;
  for (const auto& kv : w)
    if (kv.first == key) v = kv.second;
  return v;
}

TEST(SwitchDialogConfirm, OverwriteRadioWritesBothKeys) {
  struct Case {
    bool overwrite, newer;
    const char* overwriteKey;
    const char* newerKey;
  } cases[] = {{true, false, "On", "Off"}, {false, true, "Off", "On"}, {false, false, "Off", "Off"}};
  for (const Case& c : cases) {
    SwitchSet s;
    SetBit(s, Sw::OverwriteExisting, c.overwrite);
    SetBit(s, Sw::ExtractOnlyNewer, c.newer);
    auto w = Confirm(s, true);
    EXPECT_EQ(c.overwriteKey, Last(w, "overwrite_existing_files"));
    EXPECT_EQ(c.newerKey, Last(w, "extract_only_newer_files"));
  }
}

TEST(SwitchDialogConfirm, ClearsTheKeysWithoutControlsAndSetsPathBits) {
  FakeIni ini;
  ini.values["keep_backup"] = "On";
  ini.values["inc_any_file_attrib"] = "On";
  SwitchSet s = Load(ini);
  ASSERT_TRUE(On(s, Sw::KeepBackup));
  s.pathStorageChoice = kPathFull;
  auto w = Confirm(s, false);
  EXPECT_FALSE(On(s, Sw::KeepBackup));
  EXPECT_FALSE(On(s, Sw::IncAnyFileAttrib));
  EXPECT_EQ("Off", Last(w, "keep_backup"));
  EXPECT_EQ("Off", Last(w, "inc_any_file_attrib"));
  EXPECT_EQ("Full", Last(w, "store_pathnames"));
  EXPECT_EQ(PathStorage::Full, PathMode(s));
  // The order of the first keys and the last one.
  ASSERT_GE(w.size(), 8u);
  EXPECT_EQ("password", w[0].first);
  EXPECT_EQ("store_pathnames", w[6].first);
  EXPECT_EQ("set_to_newest_date", w.back().first);
  // ArjSwitches writes the ARJ label key and none of the extraction order keys.
  EXPECT_EQ("Off", Last(w, "extract_volume_label"));
  EXPECT_EQ("", Last(w, "extract_by_name"));
  auto wz = Confirm(s, true);
  EXPECT_EQ("", Last(wz, "extract_volume_label"));
  EXPECT_EQ("Off", Last(wz, "extract_by_name"));
}

class OldPkzipProbe : public ::testing::Test {
 protected:
  // A name of its own per test and run: tests running in parallel never share the file.
  std::string path = ::testing::TempDir() + "probe_pkzip_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                     std::to_string(std::random_device{}()) + ".exe";
  void Write(const char* text, long offset) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::string fill(static_cast<size_t>(offset), 'x');
    fwrite(fill.data(), 1, fill.size(), f);
    fwrite(text, 1, strlen(text), f);
    fclose(f);
  }
  void TearDown() override { remove(path.c_str()); }
};

TEST_F(OldPkzipProbe, SignatureAtItsOffsetMeansOldPkzip) {
  Write("1989-1990", 29348);
  EXPECT_TRUE(ProbeOldPkzip(path, false));
}

TEST_F(OldPkzipProbe, OtherBytesOrShortFileMeanNewPkzip) {
  Write("1989-1993", 29348);
  EXPECT_FALSE(ProbeOldPkzip(path, true));
  Write("1989-1990", 29347);  // one byte early
  EXPECT_FALSE(ProbeOldPkzip(path, true));
  Write("1989", 29348);  // the file ends inside the signature
  EXPECT_FALSE(ProbeOldPkzip(path, true));
}

TEST_F(OldPkzipProbe, MissingFileKeepsThePreviousValue) {
  EXPECT_FALSE(ProbeOldPkzip(path + ".missing", false));
  EXPECT_TRUE(ProbeOldPkzip(path + ".missing", true));
}

TEST(ZipOptionsDialog, BoxesCheckOnlyOnTheExactText) {
  EXPECT_TRUE(ZipOptionsBoxChecked(Sw::ZipDpmi, "On"));
  EXPECT_FALSE(ZipOptionsBoxChecked(Sw::ZipDpmi, "ON"));
  EXPECT_FALSE(ZipOptionsBoxChecked(Sw::ZipDpmi, "on"));
  EXPECT_FALSE(ZipOptionsBoxChecked(Sw::ZipDpmi, "Off"));
  EXPECT_TRUE(ZipOptionsBoxChecked(Sw::SlowMemCopy, "On"));
  EXPECT_TRUE(ZipOptionsBoxChecked(Sw::SlowMemCopy, "off"));
  EXPECT_TRUE(ZipOptionsBoxChecked(Sw::SlowMemCopy, ""));
  EXPECT_FALSE(ZipOptionsBoxChecked(Sw::SlowMemCopy, "Off"));
}

TEST(ZipOptionsDialog, ConfirmSetsSwitchesInvertedWhereStoredSo) {
  SwitchSet s;
  std::vector<std::pair<std::string, std::string>> written;
  bool boxes[7] = {true, true, false, true, false, false, true};
  ConfirmZipOptions(s, boxes, [&](const char* k, const char* v) { written.emplace_back(k, v); });
  ASSERT_EQ(7u, written.size());
  EXPECT_EQ(std::make_pair(std::string("zip_compatibility_mode"), std::string("On")), written[0]);
  EXPECT_EQ(std::make_pair(std::string("zip_DPMI"), std::string("On")), written[1]);
  EXPECT_EQ(std::make_pair(std::string("slow_mem_copy"), std::string("On")), written[6]);
  EXPECT_TRUE(Bit(s, Sw::ZipCompatibilityMode));
  EXPECT_FALSE(Bit(s, Sw::ZipDpmi));   // Disable DPMI checked: facility not allowed
  EXPECT_TRUE(Bit(s, Sw::NetDetect));  // Disable box clear: allowed
  EXPECT_FALSE(Bit(s, Sw::Use32BitIns));
  EXPECT_TRUE(Bit(s, Sw::SlowMemCopy));
}

TEST(PasswordText, KeepsAtMost39Characters) {
  SwitchSet s;
  SetArchivePassword(s, std::string(64, 'p'));
  EXPECT_EQ(std::string(39, 'p'), s.archivePassword);
  SetArchivePassword(s, "short");
  EXPECT_EQ("short", s.archivePassword);
}

}  // namespace
}  // namespace ql
