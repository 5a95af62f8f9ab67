// Deleting members from a browser window's archive under Wine: the confirmation, the refusal of
// deleting every member and the password, with recording stand-ins.
#include "engine/delete_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/shared_win.h"
#include "tests/support/win_test_support.h"
#include "engine/tests/program_dir_test.h"

namespace ql {
namespace {

class DeleteTest : public ProgramDirTest {
 protected:
  SwitchSet s;
  std::vector<std::pair<std::string, std::string>> asked;  // question and names of each confirmation
  DeleteAnswer answer = DeleteAnswer::Yes;
  int passwordAsks = 0;
  bool passwordGiven = true;
  void SetUp() override {
    ProgramDirTest::SetUp();
    g_lastDeleteAnswer = DeleteAnswer::None;
    LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
    SetOn(s, Sw::UsePkzip, true);
  }
  DeleteRequest Request(int selected, long entries) {
    DeleteRequest r;
    r.archive = prog + "\\A.ZIP";
    r.entryCount = entries;
    for (int i = 0; i < selected; ++i)
      r.selectedLines.push_back("M" + std::to_string(i) + ".TXT\tM" + std::to_string(i) + ".TXT\t1");
    return r;
  }
  RunResult Delete(const DeleteRequest& r, std::vector<std::string>* texts = nullptr) {
    qltest::DialogWatcher boxes(GetCurrentProcessId(), GetCurrentThreadId(), qltest::PressInBoxes());
    RunResult result = DeleteFromArchive(
        setup, s, r,
        [this](const std::string& q, const std::string& n) {
          asked.emplace_back(q, n);
          return answer;
        },
        [this](SwitchSet& sw) {
          ++passwordAsks;
          sw.archivePassword = "pw";
          return passwordGiven;
        });
    if (texts) *texts = qltest::TextsOf(boxes.Seen());
    return result;
  }
  size_t Runs() { return All(RunnerLog(), "cmndargs").size(); }
};

TEST_F(DeleteTest, SevenMembersShowSixNamesAndDots) {
  EXPECT_EQ(RunResult::Done, Delete(Request(7, 20)));
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Delete selected files in archive?", asked[0].first);
  EXPECT_EQ("M0.TXT M1.TXT M2.TXT M3.TXT M4.TXT M5.TXT ...", asked[0].second);
  EXPECT_EQ(1u, Runs());
  EXPECT_EQ("M0.TXT\r\nM1.TXT\r\nM2.TXT\r\nM3.TXT\r\nM4.TXT\r\nM5.TXT\r\nM6.TXT\r\n",
            ReadAll(work + "\\ql5files"));
}

TEST_F(DeleteTest, NoOrCancelRunsNothing) {
  for (DeleteAnswer a : {DeleteAnswer::No, DeleteAnswer::None}) {
    answer = a;
    g_cancelled = false;
    EXPECT_EQ(RunResult::Refused, Delete(Request(2, 20)));
    EXPECT_EQ(a == DeleteAnswer::None, g_cancelled);
  }
  EXPECT_EQ(0u, Runs());
}

TEST_F(DeleteTest, YesToAllStopsTheQuestionsAndConfirmationOffNeverAsks) {
  answer = DeleteAnswer::YesToAll;
  EXPECT_EQ(RunResult::Done, Delete(Request(1, 20)));
  EXPECT_EQ(RunResult::Done, Delete(Request(1, 20)));
  EXPECT_EQ(1u, asked.size());
  g_lastDeleteAnswer = DeleteAnswer::None;
  DeleteRequest quiet = Request(1, 20);
  quiet.confirm = false;
  EXPECT_EQ(RunResult::Done, Delete(quiet));
  EXPECT_EQ(1u, asked.size());
  EXPECT_EQ(3u, Runs());
}

TEST_F(DeleteTest, EveryMemberIsRefusedWithoutAskingForAPassword) {
  DeleteRequest all = Request(3, 3);
  all.encrypted = true;
  std::vector<std::string> texts;
  EXPECT_EQ(RunResult::Refused, Delete(all, &texts));
  EXPECT_EQ(std::vector<std::string>{"Deleting all of the files in an archive will corrupt it!"}, texts);
  EXPECT_EQ(0, passwordAsks);
  EXPECT_EQ(0u, Runs());
}

TEST_F(DeleteTest, AnEncryptedArchiveAsksThePasswordAndCancelRunsNothing) {
  DeleteRequest enc = Request(1, 5);
  enc.encrypted = true;
  passwordGiven = false;
  EXPECT_EQ(RunResult::Refused, Delete(enc));
  EXPECT_EQ(0u, Runs());
  passwordGiven = true;
  EXPECT_EQ(RunResult::Done, Delete(enc));
  EXPECT_EQ(2, passwordAsks);
  EXPECT_EQ(prog + "\\pkzip -d " + prog + "\\A.ZIP @" + work + "\\ql5files -spw -b" + work + "\\",
            One(RunnerLog(), "cmndargs"));
}

}  // namespace
}  // namespace ql
