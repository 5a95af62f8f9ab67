// Extract, test and view under Wine: the extract of whole archive files of a directory and of
// selected members, and the view of a member, with recording stand-ins.
#include "engine/extract_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win_test_support.h"
#include "engine/tests/program_dir_test.h"

namespace ql {
namespace {

// -------------------------------------------------------------------------------------------
// Extracting whole archive files of a directory.

class ExtractArchivesTest : public ProgramDirTest {
 protected:
  std::string dir;
  SwitchSet s;
  void SetUp() override {
    ProgramDirTest::SetUp();
    dir = prog + "\\SRC";
    ASSERT_TRUE(WriteWholeFile(dir + "\\ONE.ZIP", TinyZip()));
    ASSERT_TRUE(WriteWholeFile(dir + "\\NOTZIP.ZIP", "this is not a zip archive"));
    for (const char* arj : {"TWO.ARJ", "THREE.A01", "FOUR.A0X"})
      ASSERT_TRUE(WriteWholeFile(dir + "\\" + arj, "ARJ part"));
    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);  // everything through the runner, so that every run is recorded
  }
  // Runs the extract of `names`, answering every message box with `button`.
  RunResult Extract(const std::vector<std::string>& names, const std::string& target,
                    std::vector<std::string>* texts, int button = IDOK) {
    qltest::DialogWatcher answer(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes(button));
    RunResult r = ExtractArchiveFiles(setup, s, dir, names, target, [](SwitchSet&) { return true; });
    *texts = qltest::TextsOf(answer.Seen());
    return r;
  }
  std::vector<std::string> Runs() { return All(RunnerLog(), "cmndargs"); }
};

TEST_F(ExtractArchivesTest, EveryArchiveIsExtractedWithOneRunEach) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Done, Extract({"ONE.ZIP", "TWO.ARJ", "THREE.A01"}, prog + "\\OUT", &texts));
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ((std::vector<std::string>{
                prog + "\\pkunzip " + dir + "\\ONE.ZIP -o -+ -- *.*",
                prog + "\\ARJ  E " + dir + "\\TWO.ARJ -jyo ",
                prog + "\\ARJ  E " + dir + "\\THREE.A01 -jyo ",
            }),
            Runs());
  EXPECT_EQ(prog + "\\OUT", One(RunnerLog(), "qlwork"));
}

TEST_F(ExtractArchivesTest, AWrongPartNameEndsTheLoopBeforeItRuns) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP", "FOUR.A0X", "TWO.ARJ"}, prog + "\\OUT", &texts));
  EXPECT_EQ(std::vector<std::string>{"This file appears to be a damaged or invalid ARJ file."}, texts);
  EXPECT_EQ(1u, Runs().size()) << "the archive before it was extracted, none after";
}

TEST_F(ExtractArchivesTest, AFileThatHoldsNoZipIsNamed) {
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"NOTZIP.ZIP", "ONE.ZIP"}, prog + "\\OUT", &texts));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(dir + "\\NOTZIP.ZIP\nThis Zip file may be invalid,damaged, or a multiple volume Zip.", texts[0]);
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ExtractArchivesTest, ANameOfNoArchiveRefusesTheSelectionBeforeAnythingRuns) {
  WriteWholeFile(dir + "\\NOTES.TXT", "text");
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP", "NOTES.TXT"}, prog + "\\OUT", &texts));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(0u, texts[0].find("Invalid archive filename!")) << texts[0];
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ExtractArchivesTest, AMissingTargetIsCreatedOnlyWhenTheUserSaysYes) {
  std::string target = prog + "\\NEW\\DEEPER";
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Extract({"ONE.ZIP"}, target, &texts, IDNO));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("The following directory:\n" + target + "\n Does not exist.\nWould you like to create it?", texts[0]);
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(Runs().empty());

  EXPECT_EQ(RunResult::Done, Extract({"ONE.ZIP"}, target, &texts, IDYES));
  EXPECT_EQ(1u, texts.size());
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(target, One(RunnerLog(), "qlwork"));
}

// -------------------------------------------------------------------------------------------
// Selected members and the view of one member.

TEST_F(NamedArchiveTest, ExtractMembersTargetPasswordAndSelection) {
  std::string zip = prog + "\\A.ZIP", arj = prog + "\\A.ARJ";
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(RunResult::Refused, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, false, {}, prog, Ask()));
    texts = qltest::TextsOf(boxes.Seen());
  }
  EXPECT_EQ(std::vector<std::string>{"Please select at least one file\nIn the archive window."}, texts);
  // ZIP: only an encrypted archive with the extract password switch on asks.
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, true, {"A"}, prog, Ask()));
  EXPECT_EQ(0, passwordAsks);
  SetOn(s, Sw::ExtractWithPassword, true);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, false, {"A"}, prog, Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Zip, zip, true, {"A"}, prog, Ask()));
  EXPECT_EQ(1, passwordAsks);
  // ARJ: either asks.
  SetOn(s, Sw::ExtractWithPassword, false);
  EXPECT_EQ(RunResult::Done, ExtractMembersTo(setup, s, ArchiveKind::Arj, arj, true, {"A"}, prog, Ask()));
  EXPECT_EQ(2, passwordAsks);
  EXPECT_EQ(4u, Runs().size());
}

TEST_F(NamedArchiveTest, ViewRunsForMemberLinesAndOpensTheExtractedCopy) {
  std::vector<std::string> opened;
  auto open = [&](const std::string& path) { opened.push_back(path); };
  // A directory line has no size field; "[DOCS]\tDOCS\t0" would be a member named "[DOCS]".
  for (const char* ignored : {">comment line", "[DOCS]\t[DOCS]\t", ""})
    EXPECT_EQ(RunResult::Done,
              ViewArchiveMember(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", false, ignored, Ask(), open));
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(RunResult::Done, ViewArchiveMember(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", false,
                                               "DOCS/READ.ME\tREAD.ME\t10", Ask(), open));
  auto log = RunnerLog();
  EXPECT_EQ((std::vector<std::string>{"-T", "-B"}), All(log, "flag"));
  EXPECT_EQ(work, One(log, "qlwork"));
  EXPECT_EQ(std::vector<std::string>{work + "\\READ.ME"}, opened);
}

TEST_F(NamedArchiveTest, AViewedFileWithoutAProgramIsReported) {
  std::string file = work + "\\VIEWED.QLNOASSOC";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    OpenWithShell(file);
    texts = qltest::TextsOf(boxes.Seen());
  }
  ASSERT_EQ(1u, texts.size());
  // No program is associated: said so (3042), not reported as a program that failed to run.
  EXPECT_EQ(0u, texts[0].find("No application is associated with this file.")) << texts[0];
}

}  // namespace
}  // namespace ql
