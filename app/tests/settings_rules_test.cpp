#include <gtest/gtest.h>

#include "app/settings_rules.h"

namespace ql {
namespace {

TEST(SettingsRules, OnAndTrueValuesIgnoreCaseButNothingElse) {
  struct Case { const char* value; bool on; bool isTrue; };
  const Case cases[] = {
      {"On", true, false},  {"ON", true, false},   {"on", true, false},   {"Off", false, false},
      {"", false, false},   {"One", false, false}, {" On", false, false}, {"True", false, true},
      {"TRUE", false, true}, {"true", false, true}, {"False", false, false}, {"Yes", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.on, IsOnValue(c.value)) << c.value;
    EXPECT_EQ(c.isTrue, IsTrueValue(c.value)) << c.value;
  }
}

TEST(SettingsRules, DirectoryValuesLoseTrailingBackslashesAndEmptyMeansProgramDirectory) {
  const std::string initial = "C:\\WORK";
  const std::string program = "C:\\QUILLON";
  struct Case { std::optional<std::string_view> value; const char* held; };
  const Case cases[] = {
      {std::nullopt, "C:\\WORK"},           // missing: the default
      {"", "C:\\QUILLON"},                  // present but empty: the program directory
      {"D:\\ARCHIVES\\", "D:\\ARCHIVES"},   // trailing backslash removed
      {"D:\\ARCHIVES\\\\", "D:\\ARCHIVES"},
      {"D:\\ARCHIVES", "D:\\ARCHIVES"},
      {"C:\\", "C:"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.held, DirectoryValue(c.value, initial, program)) << (c.value ? *c.value : "(missing)");
  EXPECT_EQ("C:\\WORK", DirectoryValue(std::nullopt, "C:\\WORK\\", program));
}

TEST(SettingsRules, FontValuesOutsideTheirRangeGiveTheDefault) {
  struct Case { const char* text; std::optional<long> height, points, weight; };
  const Case cases[] = {
      {"-13", -13, std::nullopt, std::nullopt},
      {"-99999", std::nullopt, std::nullopt, std::nullopt},
      {"99999", std::nullopt, std::nullopt, std::nullopt},
      {"0", std::nullopt, std::nullopt, 0},
      {"8", 8, 8, 8},
      {"96", 96, 96, 96},
      {"-128", -128, std::nullopt, std::nullopt},
      {"-129", std::nullopt, std::nullopt, std::nullopt},
      {"700", std::nullopt, std::nullopt, 700},
      {"1001", std::nullopt, std::nullopt, std::nullopt},
      {"big", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.height, FontHeightValue(c.text, 96)) << c.text;
    EXPECT_EQ(c.points, FontPointsValue(c.text)) << c.text;
    EXPECT_EQ(c.weight, FontWeightValue(c.text)) << c.text;
  }
  EXPECT_EQ(std::optional<long>(-192), FontHeightValue("-192", 192)) << "96 points at 192 pixels per inch";
}

TEST(SettingsRules, CoordinatesBelowMinus100OrNotNumbersGiveTheSystemDefault) {
  struct Case { const char* text; std::optional<int> value; };
  const Case cases[] = {
      {"-900", std::nullopt}, {"-101", std::nullopt}, {"-100", -100}, {"0", 0},     {"640", 640},
      {" 12 ", 12},           {"+7", 7},              {"", std::nullopt}, {"abc", std::nullopt},
      {"12px", std::nullopt}, {"-", std::nullopt},    {"99999999999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, CoordinateValue(c.text)) << "[" << c.text << "]";
}

TEST(SettingsRules, DecimalKeysRefuseGarbage) {
  EXPECT_EQ(-15, DecimalValue(" -15 "));
  EXPECT_EQ(700, DecimalValue("700"));
  EXPECT_EQ(2147483647L, DecimalValue("2147483647"));
  EXPECT_EQ(-2147483647L - 1, DecimalValue("-2147483648"));
  for (const char* bad : {"", "bold", "12pt", "2147483648", "1e3", "--1", "0x10"})
    EXPECT_EQ(std::nullopt, DecimalValue(bad)) << bad;
  EXPECT_EQ(4294967295UL, UnsignedDecimalValue("4294967295"));
  EXPECT_EQ(0UL, UnsignedDecimalValue("0"));
  for (const char* bad : {"", "-1", "4294967296", "red"}) EXPECT_EQ(std::nullopt, UnsignedDecimalValue(bad)) << bad;
}

TEST(SettingsRules, WinStatusInAnyCase) {
  EXPECT_EQ(WinStatus::Maximized, ParseWinStatus("maximized"));
  EXPECT_EQ(WinStatus::Maximized, ParseWinStatus("MAXIMIZED"));
  EXPECT_EQ(WinStatus::Minimized, ParseWinStatus("Minimized"));
  EXPECT_EQ(WinStatus::Minimized, ParseWinStatus("mInImIzEd"));
  EXPECT_EQ(WinStatus::Normal, ParseWinStatus("Normal"));
  EXPECT_EQ(WinStatus::Normal, ParseWinStatus("Zoomed"));
  EXPECT_EQ(WinStatus::Normal, ParseWinStatus(""));
  for (WinStatus s : {WinStatus::Normal, WinStatus::Maximized, WinStatus::Minimized})
    EXPECT_EQ(s, ParseWinStatus(WinStatusText(s)));
}

TEST(SettingsRules, StartModeFromModeKeyAndCommandLine) {
  struct Case { const char* mode; bool commandLine; Mode result; };
  const Case cases[] = {
      {"Manager", false, Mode::Manager}, {"Manager", true, Mode::Manager},
      {"Express", false, Mode::Express}, {"Express", true, Mode::Manager},
      {"express", false, Mode::Express}, {"MANAGER", false, Mode::Manager},
      {"Other", false, Mode::Express},   {"Other", true, Mode::Express},
      {"", false, Mode::Express},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.result, ChooseStartMode(c.mode, c.commandLine)) << c.mode << " " << c.commandLine;
}

TEST(SettingsRules, ProgramDirectoryPaths) {
  EXPECT_EQ("C:\\QUILLON", ProgramDirectoryOf("C:\\QUILLON\\QUILLON.EXE"));
  EXPECT_EQ("", ProgramDirectoryOf("QUILLON.EXE"));
  EXPECT_EQ("C:\\QUILLON\\qlkbdtrp.exe", ProgramFilePath("C:\\QUILLON\\QUILLON.EXE", "qlkbdtrp.exe"));
  EXPECT_EQ("C:qlkbdtrp.exe", ProgramFilePath("C:QUILLON.EXE", "qlkbdtrp.exe"));
  // A directory so long that no 8.3 name fits after it gives a path that cannot exist.
  std::string deep = "C:\\" + std::string(243, 'd') + "\\QUILLON.EXE";  // 247 + 13 = 260
  EXPECT_EQ("C:\\" + std::string(243, 'd') + "\\?", ProgramFilePath(deep, "qlkbdtrp.exe"));
  std::string fits = "C:\\" + std::string(242, 'd') + "\\QUILLON.EXE";  // 246 + 13 = 259
  EXPECT_EQ("C:\\" + std::string(242, 'd') + "\\ql53intl.ini", ProgramFilePath(fits, "ql53intl.ini"));
}

TEST(SettingsRules, AssociationCommandQuotesPathsWithBlanks) {
  EXPECT_EQ("C:\\QUILLON\\QUILLON.EXE %1", AssociationCommand("C:\\QUILLON\\QUILLON.EXE"));
  EXPECT_EQ("\"C:\\Program Files\\Quillon\\quillon.exe\" %1",
            AssociationCommand("C:\\Program Files\\Quillon\\quillon.exe"));
}

TEST(SettingsRules, CommandLineIsOnePath) {
  EXPECT_EQ("C:\\A B\\x.zip", CommandLinePath("  \"C:\\A B\\x.zip\"  "));
  EXPECT_EQ("C:\\A B\\x.zip", CommandLinePath("C:\\A B\\x.zip"));
  EXPECT_EQ("", CommandLinePath("   "));
  EXPECT_EQ("", CommandLinePath("\"\""));
  EXPECT_EQ("\"x.zip", CommandLinePath("\"x.zip"));
  EXPECT_TRUE(CommandLineFits(std::string(271, 'a')));
  EXPECT_FALSE(CommandLineFits(std::string(272, 'a')));
}

TEST(SettingsRules, StartAndHandedPathsOpenDifferentKinds) {
  struct Case { const char* path; StartRequest atStart; StartRequest handed; };
  const Case cases[] = {
      {"", StartRequest::None, StartRequest::None},
      {"C:\\DATA\\A.ZIP", StartRequest::Zip, StartRequest::Zip},
      {"c:\\data\\a.zip", StartRequest::Zip, StartRequest::Zip},
      {"C:\\DATA\\SETUP.EXE", StartRequest::Zip, StartRequest::None},  // only at start
      {"C:\\DATA\\A.ARJ", StartRequest::Arj, StartRequest::Arj},
      {"C:\\DATA\\A.A01", StartRequest::Invalid, StartRequest::Arj},  // volumes only when handed
      {"C:\\DATA\\README.TXT", StartRequest::Invalid, StartRequest::None},
      {"C:\\DATA", StartRequest::Invalid, StartRequest::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.atStart, ClassifyStartPath(c.path)) << c.path;
    EXPECT_EQ(c.handed, ClassifyHandedPath(c.path)) << c.path;
  }
  EXPECT_EQ("C:\\DATA\\", DirectoryPartOf("C:\\DATA\\A.ZIP"));
  EXPECT_EQ("C:\\", DirectoryPartOf("C:\\A.ZIP"));
  EXPECT_EQ("", DirectoryPartOf("A.ZIP"));
}

TEST(SettingsRules, RecentListsShiftDownAndKeepTen) {
  std::vector<std::string> list;
  for (int i = 1; i <= 11; ++i) list = SaveRecentValues(list, "D" + std::to_string(i), 10);
  ASSERT_EQ(10u, list.size());
  EXPECT_EQ("D11", list[0]);  // newest first
  EXPECT_EQ("D2", list[9]);   // D1 fell off
  // Duplicates stay; a key without a value pushes nothing down, so the key below keeps its own.
  list = SaveRecentValues({"A", "", "C"}, "A", 4);
  EXPECT_EQ((std::vector<std::string>{"A", "A", "C", "C"}), list);
  EXPECT_EQ("New10", RecentKey("New", 10));
}

}  // namespace
}  // namespace ql
