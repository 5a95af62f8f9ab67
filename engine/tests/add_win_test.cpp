// Add and freshen under Wine: drops into an archive window and the freshen of a named archive
// file, with recording stand-ins.
#include "engine/add_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win_test_support.h"
#include "engine/tests/program_dir_test.h"

namespace ql {
namespace {

TEST_F(NamedArchiveTest, FreshenRefusesWhenTheSpaceCannotBeThere) {
  std::vector<std::string> texts;
  {
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    EXPECT_EQ(RunResult::Refused, FreshenArchiveFile(setup, s, prog + "\\A.ZIP", false, false, false,
                                                     ~0ULL, Ask()));
    texts = qltest::TextsOf(boxes.Seen());
  }
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("Insufficient disk space available,\nor a read only disk was selected.", texts[0]);
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(RunResult::Done, FreshenArchiveFile(setup, s, prog + "\\A.ZIP", true, false, true, 1, Ask()));
  EXPECT_EQ(1, passwordAsks) << "an encrypted window archive asks";
  EXPECT_EQ(prog + "\\pkzip -u " + prog + "\\A.ZIP -= -+ -- -P -spw -b" + work + "\\",
            One(RunnerLog(), "cmndargs"));
}

TEST_F(NamedArchiveTest, DropAddAsksForAnEncryptedArchiveAndIgnoresAnEmptySelection) {
  DropSource none;
  none.sourceDir = prog + "\\SRC";
  EXPECT_EQ(RunResult::Done, DropAddFiles(setup, s, ArchiveKind::Zip, prog + "\\A.ZIP", true, false, none, Ask()));
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(0, passwordAsks);
  DropSource one = none;
  one.nameFields = {"A.TXT"};
  EXPECT_EQ(RunResult::Done, DropAddFiles(setup, s, ArchiveKind::Arj, prog + "\\A.ARJ", true, true, one, Ask()));
  EXPECT_EQ(1, passwordAsks);
  EXPECT_EQ(prog + "\\ARJ M " + prog + "\\A.ARJ !" + work + "\\ql5files -e1 -w" + work + "\\ -gpw",
            One(RunnerLog(), "cmndargs"));
}

}  // namespace
}  // namespace ql
