// Comments and whole-archive operations under Wine with recording stand-ins: the comment viewer
// and the join dialog driven as a user would, the refusals of each operation, the convert's
// safety steps, and the command lines that reach the runner.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/shared_win.h"
#include "engine/comments_win.h"
#include "engine/tests/dialog_shot.h"
#include "engine/tests/program_dir_test.h"
#include "engine/transforms_win.h"
#include "resources/ids.h"
#include "tests/support/win_test_support.h"

namespace ql {
namespace {

using qltest::DialogWatcher;
using qltest::SeenDialog;

std::string DlgText(HWND d, int id) {
  char buf[4096] = "";
  GetDlgItemTextA(d, id, buf, sizeof buf);
  return buf;
}

std::vector<std::string> Texts(DialogWatcher& w) {
  std::vector<std::string> t;
  for (const SeenDialog& s : w.Seen()) t.push_back(s.text);
  return t;
}

class TransformsTest : public NamedArchiveTest {
 protected:
  std::string src;
  void SetUp() override {
    NamedArchiveTest::SetUp();
    src = prog + "\\SRC";
  }
};

// -------------------------------------------------------------------------------------------
// The comment viewer

TEST_F(TransformsTest, TheViewerShowsAZipCommentWithLineBreaks) {
  std::string archive = src + "\\C.ZIP";
  ASSERT_TRUE(WriteWholeFile(archive, "HEADhello\nworld\r\nend"));
  std::string shown;
  DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& s) {
    if (s.title != "Read Archive Comment") return qltest::PressDefault(d, s);
    shown = DlgText(d, IDC_COMMENT_TEXT);
    Shoot(d, s.title);
    return IDOK;
  });
  EXPECT_EQ(IDOK, ReadArchiveComment(nullptr, archive, ArchiveKind::Zip, "> Title: 4 19"));
  EXPECT_FALSE(g_cancelled);
  EXPECT_EQ("hello\r\nworld\r\nend", shown);
}

TEST_F(TransformsTest, TheViewerShowsAnArjCommentWithoutTheName) {
  std::string archive = src + "\\C.ARJ";
  std::string bytes = std::string("\x60\xEA", 2) + "dir/NAME.TXT" + std::string(1, '\0') + "Line one\nLine two\n" +
                      std::string(1, '\0') + "rest";
  ASSERT_TRUE(WriteWholeFile(archive, bytes));
  std::string shown;
  DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& s) {
    if (s.title != "Read Archive Comment") return qltest::PressDefault(d, s);
    shown = DlgText(d, IDC_COMMENT_TEXT);
    return IDCANCEL;
  });
  EXPECT_EQ(IDCANCEL, ReadArchiveComment(nullptr, archive, ArchiveKind::Arj, "> File Comment: 2 32"));
  EXPECT_TRUE(g_cancelled) << "Cancel sets the cancelled flag";
  EXPECT_EQ("Line one\r\nLine two\r\n", shown);
}

TEST_F(TransformsTest, TheViewerRefusesLinesThatPointNowhere) {
  std::string archive = src + "\\C.ZIP";
  ASSERT_TRUE(WriteWholeFile(archive, "short"));
  const char* lines[] = {"> Title: 500 10", "> Volume Label", "> Title: 1", "> Title: 0 4"};
  const char* files[] = {"C.ZIP", "C.ZIP", "C.ZIP", "MISSING.ZIP"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(lines[i]);
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_EQ(IDCANCEL, ReadArchiveComment(nullptr, src + "\\" + files[i], ArchiveKind::Zip, lines[i]));
    EXPECT_TRUE(g_cancelled);
    std::vector<std::string> t = Texts(w);
    ASSERT_EQ(1u, t.size());
    EXPECT_EQ("Unable to read file comment from archive.", t[0]);
  }
}

// -------------------------------------------------------------------------------------------
// Comment runs

TEST_F(TransformsTest, TitleCommentRefusals) {
  struct RefusalCase {
    bool directoryList;
    std::vector<std::string> names;
    std::string archive;
    const char* message;
  } cases[] = {
      {true, {}, "", "Please select at least one file\nIn the archive window."},
      {true, {"A.ZIP", "B.ZIP"}, "", "Only one file can be selected for this operation!"},
      {true, {"NOTES.TXT"}, "", "This Zip file may be invalid,damaged, or a multiple volume Zip."},
      {false, {}, "", "You Must Have An Arj, Zip Or Zip Exe File\nLoaded In A Window For This Operation."},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.message);
    CommentSource src;
    src.curDir = this->src;
    src.directoryListActive = c.directoryList;
    src.selectedNames = c.names;
    src.archivePath = c.archive;
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_FALSE(CommentArchiveTitle(setup, s, src, Ask()));
    EXPECT_EQ(std::vector<std::string>{c.message}, Texts(w));
  }
  EXPECT_TRUE(Runs().empty());
}

TEST_F(TransformsTest, TitleAndMemberCommentsReachTheRunner) {
  std::string archive = src + "\\A.ZIP";
  ASSERT_TRUE(WriteWholeFile(archive, TinyZip()));
  CommentSource title;
  title.curDir = src;
  title.directoryListActive = true;
  title.selectedNames = {"A.ZIP"};
  EXPECT_TRUE(CommentArchiveTitle(setup, s, title, Ask()));

  CommentSource files;
  files.curDir = src;
  files.archivePath = src + "\\B.ARJ";
  files.kind = ArchiveKind::Arj;
  files.selectedNames = {"A.TXT", "[..]", R"(SUB\B.TXT)"};
  EXPECT_TRUE(CommentSelectedFiles(setup, s, files, Ask()));
  EXPECT_EQ("A.TXT\r\nSUB\\B.TXT\r\n", ReadAll(work + "\\ql5files"));

  EXPECT_EQ((std::vector<std::string>{
                prog + "\\pkzip -z " + archive + " -= -+ -- -b" + work + "\\",
                prog + "\\ARJ C -jz " + src + "\\B.ARJ -w" + work + "\\ !" + work + "\\ql5files",
            }),
            Runs());
  EXPECT_EQ((std::vector<std::string>{src, src}), All(RunnerLog(), "qlwork"));
  EXPECT_EQ((std::vector<std::string>{}), All(RunnerLog(), "flag")) << "the runner is shown: no -B";
  EXPECT_EQ(0, passwordAsks);
}

TEST_F(TransformsTest, MemberCommentsNeedAnArchiveSelection) {
  CommentSource files;
  files.archivePath = src + "\\B.ARJ";
  DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
  EXPECT_FALSE(CommentSelectedFiles(setup, s, files, Ask()));
  EXPECT_EQ(std::vector<std::string>{"Please select at least one file\nIn the archive window."}, Texts(w));
  files.selectedNames = {">File Comment: 1 2"};
  EXPECT_FALSE(CommentSelectedFiles(setup, s, files, Ask())) << "only marker lines: nothing to do";
  EXPECT_TRUE(Runs().empty());
}

// -------------------------------------------------------------------------------------------
// Convert

class ConvertTest : public TransformsTest {
 protected:
  std::string source;
  void SetUp() override {
    TransformsTest::SetUp();
    source = src + "\\A.ZIP";
    ASSERT_TRUE(WriteWholeFile(source, TinyZip()));
  }
  bool Convert(unsigned id, const std::vector<std::string>& names, std::vector<std::string>* texts,
               const std::string& arc = "None") {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    bool ok = ConvertArchive(setup, s, id, src, names, arc, "None", Ask());
    *texts = Texts(w);
    return ok;
  }
};

TEST_F(ConvertTest, AnExistingTargetIsNotMergedInto) {
  ASSERT_TRUE(WriteWholeFile(src + "\\A.ARJ", "an archive of its own"));
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ZIP_TO_ARJ, {"A.ZIP"}, &texts));
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(src + "\\A.ARJ\nalready exists. Quillon does not convert into an existing archive: rename or move it first.",
            texts[0]);
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ("an archive of its own", ReadAll(src + "\\A.ARJ"));
}

TEST_F(ConvertTest, SourcesOfTheWrongTypeAndEmptySelectionsAreRefused) {
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ZIP_TO_ARJ, {}, &texts));
  EXPECT_EQ(std::vector<std::string>{"No files have been selected for this operation."}, texts);
  EXPECT_FALSE(Convert(IDM_CONVERT_ARJ_TO_ZIP, {"A.ZIP"}, &texts));
  EXPECT_EQ(std::vector<std::string>{"This Zip file may be invalid,damaged, or a multiple volume Zip."}, texts);
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ConvertTest, AnUnpackOfUnknownOutcomeChangesNothing) {
  // Leftovers of an earlier convert are cleared before the unpack.
  std::string scratch = work + "\\tmp41720";
  ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(scratch + "\\LEFTOVER.TXT", "old"));
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, {"A.ZIP"}, &texts));
  EXPECT_EQ(std::vector<std::string>{"The conversion of\n" + source + "\nfailed. The archive was left as it was."},
            texts);
  EXPECT_EQ((std::vector<std::string>{prog + "\\pkunzip " + source + " " + scratch + "\\ -o -d -+ --"}), Runs());
  EXPECT_EQ(scratch, One(RunnerLog(), "qlwork"));
  EXPECT_EQ(TinyZip(), ReadAll(source)) << "the source survives";
  EXPECT_FALSE(Exists(scratch));
}

TEST_F(ConvertTest, AnUnpackThatLeavesNothingStopsBeforeThePack) {
  ASSERT_TRUE(WriteWholeFile(work + "\\runner.exit", "0\r\n"));
  ASSERT_TRUE(WriteWholeFile(src + "\\OLD.ARC", "arc"));
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ARC_TO_ARJ, {"OLD.ARC"}, &texts));
  ASSERT_EQ(1u, texts.size());
  // With the ARC program "None" the bundled extractor runs.
  EXPECT_EQ((std::vector<std::string>{prog + "\\QLARC.EXE " + src + "\\OLD.ARC " + work + "\\tmp41720\\"}), Runs());
  EXPECT_FALSE(Exists(src + "\\OLD.ARJ"));
}

// -------------------------------------------------------------------------------------------
// Self-extracting, repair, join, rename, run

TEST_F(TransformsTest, SelfExtractingAndRepairCommands) {
  ASSERT_TRUE(WriteWholeFile(src + "\\A.ZIP", TinyZip()));
  ASSERT_TRUE(WriteWholeFile(src + "\\B.ARJ", "arj"));
  SetCurrentDirectoryA(src.c_str());
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_EQ(RunResult::Refused, MakeSelfExtracting(setup, s, ArchiveKind::Zip, src + "\\B.ARJ", Ask()));
    EXPECT_EQ(RunResult::Refused, MakeSelfExtracting(setup, s, ArchiveKind::Arj, src + "\\A.ZIP", Ask()));
    EXPECT_EQ(RunResult::Refused, RepairArchive(setup, s, ArchiveKind::Zip, src, "B.ARJ", Ask()));
    EXPECT_EQ(RunResult::NotCreated, RepairArchive(setup, s, ArchiveKind::Arj, src, "GONE.ARJ", Ask()));
    EXPECT_EQ(RunResult::Refused, RepairArchive(setup, s, ArchiveKind::Arj, src, "[SUB]", Ask()));
    EXPECT_EQ((std::vector<std::string>{"Only ZIP files can be used with this command!",
                                        "Only ARJ files can be used with this command!",
                                        "This Zip file may be invalid,damaged, or a multiple volume Zip.",
                                        "Quillon didn't create the requested archive:\n " + src + "\\GONE.ARJ"}),
              Texts(w));
  }
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(RunResult::Done, MakeSelfExtracting(setup, s, ArchiveKind::Zip, "A.ZIP", Ask()));
  EXPECT_EQ(RunResult::Done, MakeSelfExtracting(setup, s, ArchiveKind::Arj, src + "\\B.ARJ", Ask()));
  {
    // The stand-in runs nothing: neither repair leaves anything, and the user is told.
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_EQ(RunResult::Done, RepairArchive(setup, s, ArchiveKind::Zip, src, "A.ZIP", Ask()));
    EXPECT_EQ(RunResult::Done, RepairArchive(setup, s, ArchiveKind::Arj, src, "B.ARJ", Ask()));
    const std::string failed = "\nfailed: nothing could be recovered. The archive was left as it was.";
    EXPECT_EQ((std::vector<std::string>{"The repair of\n" + src + "\\A.ZIP" + failed,
                                        "The repair of\n" + src + "\\B.ARJ" + failed}),
              Texts(w));
  }
  EXPECT_FALSE(Exists(src + "\\B")) << "the empty recovery directory is removed";
  EXPECT_EQ((std::vector<std::string>{
                prog + "\\zip2exe A.ZIP",
                prog + "\\ARJ F " + src + "\\B.ARJ ... -je -w" + work + "\\",
                prog + "\\pkzipfix A.ZIP " + src,
                prog + "\\ARJ x " + src + "\\B.ARJ " + src + "\\B\\ -jr -n -w" + work + "\\",
            }),
            Runs());
  // Repair ARJ is shown although the progress view is off, so that ARJ's questions are seen.
  std::vector<std::string> flags = All(RunnerLog(), "flag");
  EXPECT_EQ((std::vector<std::string>{"-B", "-B"}), flags) << "zip2exe shown, ARJ F and pkzipfix not, repair ARJ shown";
}

TEST_F(TransformsTest, JoinAsksForTheNewNameAndListsOnlyTheArjNames) {
  std::string typed = "ALL.ARJ";
  DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const SeenDialog& seen) {
    if (seen.title != "Join Arj Files") return qltest::PressDefault(d, seen);
    SetDlgItemTextA(d, IDC_JOIN_NAME, typed.c_str());
    Shoot(d, seen.title);
    return IDOK;
  });
  EXPECT_EQ(IDOK, JoinArjFiles(setup, s, src, {"BOOK.ARJ", "BOOK.A01", "MORE.ARJ"}, false, Ask()));
  EXPECT_FALSE(g_cancelled);
  EXPECT_EQ((std::vector<std::string>{prog + "\\ARJ J ALL.ARJ !" + work + "\\ql5files"}), Runs());
  EXPECT_EQ(src, One(RunnerLog(), "qlwork"));
  EXPECT_EQ("BOOK.ARJ\r\nMORE.ARJ\r\n", ReadAll(work + "\\ql5files"));
  EXPECT_EQ(0, passwordAsks);
}

TEST_F(TransformsTest, JoinCancelledOrRefusedRunsNothing) {
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId(), [](HWND, const SeenDialog&) { return IDCANCEL; });
    EXPECT_EQ(IDCANCEL, JoinArjFiles(setup, s, src, {"BOOK.ARJ"}, true, Ask()));
    EXPECT_TRUE(g_cancelled);
  }
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_EQ(IDCANCEL, JoinArjFiles(setup, s, src, {"BOOK.ARJ", "NOTES.ZIP"}, false, Ask()));
    EXPECT_EQ(std::vector<std::string>{"Only ARJ files can be used with this command!"}, Texts(w));
    EXPECT_TRUE(g_cancelled);
  }
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(0, passwordAsks);
}

TEST_F(TransformsTest, RenameRunsArjWithTheSelectedNames) {
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_FALSE(RenameInArjArchive(setup, s, ArchiveKind::Zip, src + "\\A.ZIP", {"A.TXT"}, Ask()));
    EXPECT_EQ(std::vector<std::string>{"This file appears to be a damaged or invalid ARJ file."}, Texts(w));
  }
  SetOn(s, Sw::Password, true);
  EXPECT_TRUE(RenameInArjArchive(setup, s, ArchiveKind::Arj, src + "\\B.ARJ", {"A.TXT", R"(SUB\C.TXT)"}, Ask()));
  EXPECT_EQ((std::vector<std::string>{prog + "\\ARJ N " + src + "\\B.ARJ -w" + work + "\\ -gpw !" + work +
                                      "\\ql5files"}),
            Runs());
  EXPECT_EQ("A.TXT\r\nSUB\\C.TXT\r\n", ReadAll(work + "\\ql5files"));
  EXPECT_EQ(src, One(RunnerLog(), "qlwork"));
  EXPECT_EQ(1, passwordAsks);
}

TEST_F(TransformsTest, RunFromArchiveExtractsEXEAndCOMProgramsOnly) {
  {
    DialogWatcher w(GetCurrentProcessId(), GetCurrentThreadId());
    EXPECT_EQ(RunResult::Refused, RunFromArchive(setup, s, ArchiveKind::Arj, src + "\\B.ARJ", "SETUP.BAT", Ask()));
    EXPECT_EQ(std::vector<std::string>{"Valid program extensions are EXE or COM"}, Texts(w));
  }
  EXPECT_EQ(RunResult::Done, RunFromArchive(setup, s, ArchiveKind::Arj, src + "\\B.ARJ", "BIN\\SETUP.EXE", Ask()));
  EXPECT_EQ((std::vector<std::string>{prog + "\\ARJ E " + src + "\\B.ARJ BIN\\SETUP.EXE *.DLL *.OVL -jyo"}), Runs());
  EXPECT_EQ(work, One(RunnerLog(), "qlwork"));
}

}  // namespace
}  // namespace ql
