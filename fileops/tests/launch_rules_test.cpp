// The platform-free rules of Run, Launch, Associate, Properties and File Statistics.
#include "fileops/launch_rules.h"

#include <gtest/gtest.h>

namespace {

using ql::LaunchKind;

TEST(LaunchRules, ClassifiesPaths) {
  struct Case {
    const char* path;
    LaunchKind kind;
  } cases[] = {
      {"C:\\TOOLS\\EDIT.EXE", LaunchKind::Program}, {"c:\\tools\\go.com", LaunchKind::Program},
      {"C:\\RUN.BAT", LaunchKind::Program},         {"C:\\DOS.PIF", LaunchKind::Program},
      {"C:\\DATA\\OLD.ARJ", LaunchKind::ArjArchive}, {"C:\\data\\new.zip", LaunchKind::ZipArchive},
      {"C:\\My Files\\notes.qlt", LaunchKind::Document}, {"C:\\readme.txt", LaunchKind::Document},
      {"NOTEPAD", LaunchKind::Program},
  };
  for (const Case& c : cases) EXPECT_EQ(ql::LaunchKindOf(c.path), c.kind) << c.path;
  EXPECT_EQ(ql::WithProgramExtension("NOTEPAD"), "NOTEPAD.EXE");
  EXPECT_EQ(ql::WithProgramExtension("C:\\A\\notes.txt"), "C:\\A\\notes.txt");
  EXPECT_TRUE(ql::IsExeProgram("C:\\A\\setup.exe"));
  EXPECT_FALSE(ql::IsExeProgram("C:\\A\\run.bat"));
}

TEST(LaunchRules, ExtensionsAndProgramExtensions) {
  EXPECT_EQ(ql::ExtensionOf("notes.qlt"), "qlt");
  EXPECT_EQ(ql::ExtensionOf("archive.tar.gz"), "gz");
  EXPECT_EQ(ql::ExtensionOf("README"), "");
  EXPECT_EQ(ql::ExtensionOf("C:\\dir.x\\README"), "");
  for (const char* e : {"EXE", "exe", "Com", "pif", "BAT"}) EXPECT_TRUE(ql::IsProgramExtension(e)) << e;
  for (const char* e : {"", "qlt", "EXEC", "txt"}) EXPECT_FALSE(ql::IsProgramExtension(e)) << e;
}

TEST(LaunchRules, ProgramTextsAndClassNames) {
  EXPECT_EQ(ql::QuotedProgramText("C:\\Program Files\\Stand In\\rec.exe"),
            "\"C:\\Program Files\\Stand In\\rec.exe\"");
  EXPECT_EQ(ql::QuotedProgramText("C:\\TOOLS\\REC.EXE"), "C:\\TOOLS\\REC.EXE");
  EXPECT_EQ(ql::QuotedProgramText("Text Editor"), "Text Editor") << "no path, no quotes";
  EXPECT_EQ(ql::QuotedProgramText("\"C:\\A B\\x.exe\""), "\"C:\\A B\\x.exe\"") << "quoted once";
  EXPECT_EQ(ql::OpenCommandFor("\"C:\\A B\\x.exe\""), "\"C:\\A B\\x.exe\" \"%1\"");
  EXPECT_EQ(ql::ClassNameFromProgram("\"C:\\Program Files\\Stand In\\my rec.exe\""), "my_rec.exe");
  EXPECT_EQ(ql::ClassNameFromProgram("notepad.exe"), "notepad.exe");
}

TEST(LaunchRules, AssociationListItems) {
  std::string item = ql::AssociationItem("Text Document", "C:\\WINDOWS\\NOTEPAD.EXE %1", "txtfile");
  EXPECT_EQ(item, "Text Document (C:\\WINDOWS\\NOTEPAD.EXE)\t\t\t\t\t\ttxtfile");
  EXPECT_EQ(ql::ItemProgramText(item), "Text Document");
  EXPECT_EQ(ql::ItemClassName(item), "txtfile");
  EXPECT_EQ(ql::AssociationItem("Rec", "\"C:\\A B\\r.exe\" \"%1\"", "r.exe"), "Rec (\"C:\\A B\\r.exe\")\t\t\t\t\t\tr.exe");
  EXPECT_EQ(ql::AssociationItem("Odd", "x.exe /p\"%1\"", "o"), "Odd (x.exe /p\")\t\t\t\t\t\to") << "only a quote after a blank goes";
  EXPECT_EQ(ql::ItemProgramText("(None)"), "(None)");
  EXPECT_EQ(ql::ItemClassName("(None)"), "");
}

TEST(LaunchRules, ExtensionsSectionValues) {
  EXPECT_EQ(ql::ExtensionsCommand("notepad.exe ^.txt"), "notepad.exe");
  EXPECT_EQ(ql::ExtensionsCommand("C:\\WRITE\\WRITE.EXE ^.WRI"), "C:\\WRITE\\WRITE.EXE");
  EXPECT_EQ(ql::ExtensionsCommand("notepad.exe"), "") << "no caret, no command";
}

TEST(LaunchRules, ChangeTimeOnATwelveHourClock) {
  EXPECT_EQ(ql::ChangeTimeText(2001, 2, 3, 0, 5, 9), "2/3/2001  12:05:09AM");
  EXPECT_EQ(ql::ChangeTimeText(2001, 12, 31, 12, 0, 0), "12/31/2001  12:00:00PM");
  EXPECT_EQ(ql::ChangeTimeText(1999, 7, 14, 23, 59, 58), "7/14/1999  11:59:58PM");
  EXPECT_EQ(ql::ChangeTimeText(1999, 7, 14, 11, 30, 0), "7/14/1999  11:30:00AM");
}

TEST(LaunchRules, GaugeFigures) {
  EXPECT_EQ(ql::GaugeThousands(0), 1u);
  EXPECT_EQ(ql::GaugeThousands(500), 1u);
  EXPECT_EQ(ql::GaugeThousands(12345), 12u);
  EXPECT_EQ(ql::GaugeThousands(0xFFFFFFFFu), 4294967u);
  EXPECT_EQ(ql::GaugeThousands(6000000000ull), 6000000u) << "past 4 GB";
  EXPECT_EQ(ql::GaugeThousands(~0ull), 0xFFFFFFFFu);
  struct Case {
    unsigned original, compressed, percent;
  } cases[] = {{100, 40, 60}, {10, 10, 0}, {1, 3, 0}, {3, 1, 67}, {0, 0, 0}, {4294967, 1, 100}};
  for (const Case& c : cases)
    EXPECT_EQ(ql::PercentCompression(c.original, c.compressed), c.percent) << c.original << " " << c.compressed;
}

}  // namespace

namespace {

bool OnlyMyToolExists(const std::string& path) { return path == "C:\\My Tools\\tool"; }

TEST(LaunchRules, SplitsCommandLines) {
  struct Case {
    const char* text;
    const char* program;
    const char* arguments;
  } cases[] = {
      {"C:\\TOOLS\\REC.EXE one two", "C:\\TOOLS\\REC.EXE", "one two"},
      {"  C:\\TOOLS\\REC.EXE  ", "C:\\TOOLS\\REC.EXE", ""},
      {"\"C:\\My Tools\\rec.exe\" -v \"a b\"", "C:\\My Tools\\rec.exe", "-v \"a b\""},
      {"C:\\My Tools\\rec.exe -v", "C:\\My Tools\\rec.exe", "-v"},
      {"C:\\My Tools\\tool now", "C:\\My Tools\\tool", "now"},
      {"C:\\Docs\\notes.qlt", "C:\\Docs\\notes.qlt", ""},
      {"run.bat x", "run.bat", "x"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    ql::ProgramAndArguments split = ql::SplitCommandLine(c.text, OnlyMyToolExists);
    EXPECT_EQ(split.program, c.program) << c.text;
    EXPECT_EQ(split.arguments, c.arguments) << c.text;
  }
}

TEST(LaunchRules, ListingLineNumbersAndExtensionsValues) {
  const char* line = "a.txt\tA.TXT\t1500\t700\t53%\t01-02-96\t10:00a";
  EXPECT_EQ(ql::LineNumberField(line, 2), 1500u);
  EXPECT_EQ(ql::LineNumberField(line, 3), 700u);
  EXPECT_EQ(ql::LineNumberField(line, 9), 0u);
  EXPECT_EQ(ql::LineNumberField("big.iso\tBIG.ISO\t5000000000\t4000000000\t01/02/2001", 2), 5000000000ull);
  EXPECT_EQ(ql::LineNumberField("> comment", 2), 0u);
  EXPECT_EQ(ql::ExtensionsValueFor("\"C:\\A B\\rec.exe\" \"%1\"", "qlt"), "\"C:\\A B\\rec.exe\" ^.qlt");
  EXPECT_EQ(ql::ExtensionsValueFor("notepad.exe %1", "txt"), "notepad.exe ^.txt");
  EXPECT_EQ(ql::ExtensionsValueFor("viewer.exe", "v"), "viewer.exe ^.v");
}

}  // namespace
