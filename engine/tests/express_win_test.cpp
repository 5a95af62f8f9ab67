// Express mode's operations on a named archive file under Wine, with recording stand-ins: the
// archive type from the name, the directory question and the password rules.
#include "engine/express_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/extract_win.h"
#include "tests/support/win_test_support.h"
#include "engine/tests/program_dir_test.h"

namespace ql {
namespace {

TEST_F(NamedArchiveTest, ArchiveTypeFromTheName) {
  ASSERT_TRUE(WriteWholeFile(prog + "\\SFX.EXE", std::string(2000, 'M') + TinyZip()));
  ASSERT_TRUE(WriteWholeFile(prog + "\\PLAIN.EXE", std::string(2000, 'M')));
  struct Case {
    const char* name;
    bool known;
    ArchiveKind kind;
  } cases[] = {{"\\A.ZIP", true, ArchiveKind::Zip}, {"\\A.arj", true, ArchiveKind::Arj},
               {"\\SFX.EXE", true, ArchiveKind::Zip}, {"\\PLAIN.EXE", false, ArchiveKind::Zip},
               {"\\A.LZH", false, ArchiveKind::Zip}};
  for (const Case& c : cases) {
    ArchiveKind k = ArchiveKind::Zip;
    EXPECT_EQ(c.known, ArchiveKindOfFile(nullptr, prog + c.name, &k, false)) << c.name;
    if (c.known) {
      EXPECT_EQ(c.kind, k) << c.name;
    }
  }
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(RunResult::Refused, ExpressAddFiles(setup, s, prog + "\\A.LZH", {"X"}, false, Ask()));
    texts = qltest::TextsOf(boxes.Seen());
  }
  EXPECT_EQ(std::vector<std::string>{"This Zip file may be invalid,damaged, or a multiple volume Zip."},
            texts);
  EXPECT_TRUE(Runs().empty());
}

TEST_F(NamedArchiveTest, ExpressAddOffersToCreateTheArchiveDirectory) {
  std::string archive = prog + "\\NEWDIR\\NEW.ZIP";
  {
    qltest::DialogWatcher no(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes(IDNO));
    EXPECT_EQ(RunResult::Refused, ExpressAddFiles(setup, s, archive, {"A.TXT"}, false, Ask()));
    EXPECT_EQ(1u, qltest::TextsOf(no.Seen()).size());
  }
  EXPECT_TRUE(Runs().empty());
  {
    qltest::DialogWatcher yes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes(IDYES));
    EXPECT_EQ(RunResult::Done, ExpressAddFiles(setup, s, archive, {"A.TXT"}, true, Ask()));
    EXPECT_EQ(1u, qltest::TextsOf(yes.Seen()).size());
  }
  EXPECT_TRUE(Exists(prog + "\\NEWDIR"));
  EXPECT_EQ(prog + "\\pkzip -m -= -+ -- -b" + work + "\\ " + archive + " @" + work + "\\ql5files",
            One(RunnerLog(), "cmndargs"));
  EXPECT_EQ(0, passwordAsks);
}

TEST_F(NamedArchiveTest, ExpressExtractDeleteAndTestAskThePasswordByTheirRules) {
  std::string archive = prog + "\\A.ZIP";
  SetOn(s, Sw::Password, true);  // the add password: asked by delete and archive tests only
  EXPECT_EQ(RunResult::Done, ExpressExtractFiles(setup, s, archive, nullptr, prog + "\\OUT", Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, TestArchiveFile(setup, s, archive, TestFrom::DirectoryFile, Ask()));
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(RunResult::Done, TestArchiveFile(setup, s, archive, TestFrom::Express, Ask()));
  EXPECT_EQ(1, passwordAsks);
  EXPECT_EQ(RunResult::Done, ExpressDeleteFiles(setup, s, archive, {"A.TXT"}, Ask()));
  EXPECT_EQ(2, passwordAsks);
  std::vector<std::string> runs = Runs();
  ASSERT_EQ(4u, runs.size());
  EXPECT_EQ(prog + "\\pkunzip  -o -+ -- " + archive + " " + prog + "\\OUT\\ @" + work + "\\ql5files",
            runs[0]);
  EXPECT_EQ(prog + "\\pkunzip -t " + archive + " -+ -- -spw", runs[2]);
}

}  // namespace
}  // namespace ql
