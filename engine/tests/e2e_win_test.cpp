// Operations end to end with the real runner, pkzip and pkunzip, the zip and unzip engines and
// ARJ: a new archive is created, files are added, extracted into a new directory, tested, viewed,
// deleted and moved, and Debian's unzip and arj check every archive that results.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "archivers/lzh/tests/lzh_writer.h"
#include "engine/extract_win.h"
#include "engine/runner_win.h"
#include "engine/tests/box_answerer.h"
#include "engine/tests/dialog_shot.h"
#include "engine/transform_commands.h"
#include "engine/transforms_win.h"
#include "engine/tests/real_archivers.h"
#include "engine/tests/win_test_util.h"
#include "readers/readers_win.h"
#include "tests/support/win_test_support.h"

namespace ql {
namespace {

class RealArchiverTest : public RealArchiversFixture {
 protected:
  // The whole round of operations on a new archive of `kind`.
  void RoundTrip(ArchiveKind kind) {
    const char* judge = kind == ArchiveKind::Zip ? "Z:\\usr\\bin\\unzip" : "Z:\\usr\\bin\\arj";
    if (!Exists(judge)) GTEST_SKIP() << judge << " is not installed";

    // A new archive named REPORT in a directory that does not exist yet.
    NewArchiveTarget target = ResolveNewArchive(prog + "\\Archives", "REPORT", kind, prog,
                                                [](const std::string&) { return std::string(); });
    ASSERT_EQ(prog + (kind == ArchiveKind::Zip ? "\\Archives\\REPORT.Zip" : "\\Archives\\REPORT.Arj"),
              target.path);
    ASSERT_TRUE(CreateDirectoryA(target.directory.c_str(), nullptr));
    const std::string archive = target.path;
    ASSERT_NE(0, Judge(archive, kind)) << "the judge fails an archive that is not there";

    // Add the selected lines of a directory window.
    DropSource lines;
    lines.sourceDir = src;
    lines.nameFields = {"A.TXT", "B C.TXT", "[DOCS]", "[..]"};
    ASSERT_EQ(RunResult::Done, RunCommand(setup, DropAdd(s, Paths(), kind, archive, false, false, lines)));
    ASSERT_TRUE(Exists(archive));
    EXPECT_EQ(0, Judge(archive, kind));
    EXPECT_TRUE(Exists(src + "\\A.TXT")) << "an add keeps the source files";

    // Extract the members into a new directory, with their directories: the directory is
    // offered for creation (421) and made.
    std::string out = prog + "\\Out Dir\\Deeper";
    std::string member = kind == ArchiveKind::Zip ? "DOCS/D.TXT" : "DOCS\\D.TXT";
    {
      BoxAnswerer yes(GetCurrentThreadId(), IDYES);
      ASSERT_EQ(RunResult::Done,
                ExtractMembersTo(setup, s, kind, archive, false, {"A.TXT", "B C.TXT", member}, out,
                                 [](SwitchSet&) { return false; }));
      EXPECT_EQ(std::vector<std::string>{"The following directory:\n" + out +
                                         "\n Does not exist.\nWould you like to create it?"},
                yes.Texts());
    }
    EXPECT_EQ("first file\r\n", ReadAll(out + "\\A.TXT"));
    EXPECT_EQ(std::string(5000, 'b'), ReadAll(out + "\\B C.TXT"));
    EXPECT_EQ("in a directory\r\n", ReadAll(out + "\\DOCS\\D.TXT"));

    // Test (the runner's window shows).
    ASSERT_EQ(RunResult::Done,
              RunCommand(setup, TestArchive(s, Paths(), kind, archive, TestFrom::WindowArchive)));

    // View: the member lands in the work directory.
    ASSERT_EQ(RunResult::Done, RunCommand(setup, ViewMember(s, Paths(), kind, archive, false, member)));
    EXPECT_EQ("in a directory\r\n", ReadAll(ViewedFile(work, member)));

    // Delete one member; the archive stays sound and keeps the others.
    ASSERT_EQ(RunResult::Done,
              RunCommand(setup, DeleteMembers(s, Paths(), kind, archive, false,
                                              {"B C.TXT\tB C.TXT\t5000"}, 3)));
    EXPECT_EQ(0, Judge(archive, kind));
    std::string again = prog + "\\Again";
    ASSERT_TRUE(CreateDirectoryA(again.c_str(), nullptr));
    ASSERT_EQ(RunResult::Done,
              RunCommand(setup, ExpressExtract(s, Paths(), kind, archive, nullptr, again)));
    EXPECT_TRUE(Exists(again + "\\A.TXT"));
    EXPECT_TRUE(Exists(again + "\\DOCS\\D.TXT"));
    EXPECT_FALSE(Exists(again + "\\B C.TXT"));

    // Move: the source file goes into the archive and leaves the directory.
    DropSource more;
    more.sourceDir = src;
    more.nameFields = {"B C.TXT"};
    ASSERT_EQ(RunResult::Done, RunCommand(setup, DropAdd(s, Paths(), kind, archive, false, true, more)));
    EXPECT_FALSE(Exists(src + "\\B C.TXT"));
    EXPECT_EQ(0, Judge(archive, kind));
  }
};

TEST_F(RealArchiverTest, ZipThroughTheEngines) {
  RoundTrip(ArchiveKind::Zip);
}

TEST_F(RealArchiverTest, ZipThroughPkzipAndTheRunner) {
  SetOn(s, Sw::UsePkzip, true);
  RoundTrip(ArchiveKind::Zip);
}

TEST_F(RealArchiverTest, ArjThroughTheRunner) {
  RoundTrip(ArchiveKind::Arj);
}

// -------------------------------------------------------------------------------------------
// Convert: same-named files in different folders keep their paths, the new archive is tested
// before it takes its place, and a failure leaves the source as it was.

class ConvertE2ETest : public RealArchiverTest {
 protected:
  std::string tree, dir;
  void SetUp() override {
    RealArchiverTest::SetUp();
    if (HasFatalFailure()) return;
    tree = prog + "\\Tree";
    dir = prog + "\\Archives";
    for (const std::string& d : {tree, tree + "\\ONE", tree + "\\TWO", dir})
      ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
    ASSERT_TRUE(WriteWholeFile(tree + "\\ONE\\SAME.TXT", "one\n"));
    ASSERT_TRUE(WriteWholeFile(tree + "\\TWO\\SAME.TXT", "two\n"));
    ASSERT_TRUE(WriteWholeFile(tree + "\\TOP.TXT", std::string(3000, 't')));
  }
  // Packs the tree with Debian's zip or arj into `archive`.
  bool HostPack(const std::string& archive, ArchiveKind kind) {
    std::string cmd = "cd '" + HostPath(tree) + "' && " +
                      (kind == ArchiveKind::Zip ? "/usr/bin/zip -qr '" + HostPath(archive) + "' ."
                                                : "/usr/bin/arj a -r -y '" + HostPath(archive) + "' '*' >/dev/null");
    return RunHost(cmd, prog + "\\pack.status") == 0;
  }
  // Extracts `archive` with Debian's unzip or arj and compares the tree.
  void ExpectTree(const std::string& archive, ArchiveKind kind) {
    std::string out = prog + "\\Check";
    RemoveTree(out);
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
    std::string cmd = "cd '" + HostPath(out) + "' && " +
                      (kind == ArchiveKind::Zip ? "/usr/bin/unzip -q '" + HostPath(archive) + "'"
                                                : "/usr/bin/arj x -y '" + HostPath(archive) + "' >/dev/null");
    ASSERT_EQ(0, RunHost(cmd, prog + "\\check.status"));
    EXPECT_EQ("one\n", ReadAll(out + "\\ONE\\SAME.TXT"));
    EXPECT_EQ("two\n", ReadAll(out + "\\TWO\\SAME.TXT"));
    EXPECT_EQ(std::string(3000, 't'), ReadAll(out + "\\TOP.TXT"));
  }
  bool Convert(unsigned id, const std::string& name, std::vector<std::string>* texts) {
    BoxAnswerer ok(GetCurrentThreadId());
    bool r = ConvertArchive(setup, s, id, dir, {name}, "None", "None", [](SwitchSet&) { return false; });
    *texts = ok.Texts();
    return r;
  }
  // Whether the runner leaves its command's exit code behind, which converts through the runner
  // need to know that each step succeeded.
  bool RunnerReportsExitCodes() {
    DeleteFileA((work + "\\cmndexit").c_str());
    RunArchiver(setup, QuoteArg(prog + "\\pkunzip.exe") + " -t " + QuoteArg(prog + "\\none.zip"), false);
    unsigned long code = 0;
    return ReadRunnerExitCode(work.c_str(), &code);
  }
};

TEST_F(ConvertE2ETest, ZipToZip2ThroughTheEnginesKeepsTheFolders) {
  if (!Exists("Z:\\usr\\bin\\unzip") || !Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no Info-ZIP";
  std::string zip = dir + "\\TREE.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  // Leftovers of an earlier convert must not go into the new archive.
  std::string scratch = ScratchDirectory(work);
  ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((scratch + "\\ONE").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(scratch + "\\LEFTOVER.TXT", "old"));
  ASSERT_TRUE(WriteWholeFile(scratch + "\\ONE\\OLDER.TXT", "old"));
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "TREE.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  ExpectTree(zip, ArchiveKind::Zip);
  EXPECT_FALSE(Exists(prog + "\\Check\\LEFTOVER.TXT"));
  EXPECT_FALSE(Exists(prog + "\\Check\\ONE\\OLDER.TXT"));
  EXPECT_FALSE(Exists(scratch));
}

TEST_F(ConvertE2ETest, Zip1xToZip2DeflatesShrunkReducedAndImplodedMembers) {
  if (!Exists("Z:\\usr\\bin\\unzip")) GTEST_SKIP() << "no Info-ZIP";
  std::string zip = dir + "\\OLD.ZIP", copy = prog + "\\ORIGINAL.ZIP";
  ASSERT_TRUE(CopyFileA(FromUnix(OLD_ZIP_FIXTURE).c_str(), zip.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(zip.c_str(), copy.c_str(), FALSE));
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "OLD.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  // Every member keeps its name and CRC; none is left in an old method.
  std::string a = HostPath(copy), b = HostPath(zip), x = HostPath(prog);
  std::string crcs = "awk 'NF==8 && $7 ~ /^[0-9a-f]+$/ {print $8, $7}' | sort";
  EXPECT_EQ(0, RunHost("/usr/bin/unzip -v '" + a + "' | " + crcs + " > '" + x + "/old.crc' && /usr/bin/unzip -v '" + b +
                           "' | " + crcs + " > '" + x + "/new.crc' && test -s '" + x + "/new.crc' && cmp -s '" + x +
                           "/old.crc' '" + x + "/new.crc' && ! /usr/bin/unzip -v '" + b +
                           "' | grep -qE 'Shrunk|Reduce|Implode'",
                       prog + "\\crc.status"));
}


TEST_F(ConvertE2ETest, AFailedConvertLeavesTheSourceAsItWas) {
  if (!Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no Info-ZIP";
  std::string zip = dir + "\\CUT.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  std::string whole = ReadAll(zip);
  std::string cut = whole.substr(0, whole.size() - 30);  // inside the central directory
  ASSERT_TRUE(WriteWholeFile(zip, cut));
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "CUT.ZIP", &texts));
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ("The conversion of\n" + zip + "\nfailed. The archive was left as it was.", texts.back());
  EXPECT_EQ(cut, ReadAll(zip));
}

TEST_F(ConvertE2ETest, ZipToArjAndBack) {
  if (!Exists("Z:\\usr\\bin\\arj") || !Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no arj or zip";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string zip = dir + "\\TREE.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  std::string zipBytes = ReadAll(zip);
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP_TO_ARJ, "TREE.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(zipBytes, ReadAll(zip)) << "the source stays";
  EXPECT_EQ(0, Judge(dir + "\\TREE.ARJ", ArchiveKind::Arj));
  ExpectTree(dir + "\\TREE.ARJ", ArchiveKind::Arj);

  ASSERT_TRUE(DeleteFileA(zip.c_str()));
  ASSERT_TRUE(Convert(IDM_CONVERT_ARJ_TO_ZIP, "TREE.ARJ", &texts));
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  ExpectTree(zip, ArchiveKind::Zip);
}

TEST_F(ConvertE2ETest, ArcToArjWithTheBundledExtractor) {
  if (!Exists("Z:\\usr\\bin\\arc") || !Exists("Z:\\usr\\bin\\arj")) GTEST_SKIP() << "no arc or arj";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string arc = dir + "\\OLD.ARC";
  // arc refuses an argument longer than about 80 characters: a name relative to where it runs.
  ASSERT_EQ(0, RunHost("cd '" + HostPath(tree) + "' && /usr/bin/arc a ../Archives/OLD.ARC TOP.TXT >/dev/null",
                       prog + "\\arc.status"));
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ARC_TO_ARJ, "OLD.ARC", &texts));
  EXPECT_EQ(0, Judge(dir + "\\OLD.ARJ", ArchiveKind::Arj));
  EXPECT_TRUE(Exists(arc));
}

// Every file below `dir` with its bytes, by its path relative to `dir`; directories end in "\\".
std::map<std::string, std::string> Snapshot(const std::string& dir, const std::string& under = "") {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      files[under + name + "\\"] = "";
      for (const auto& f : Snapshot(dir + "\\" + name, under + name + "\\")) files.insert(f);
    } else {
      files[under + name] = ReadAll(dir + "\\" + name);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return files;
}

// An archiver that fails part-way, as on a full disk, leaving 16,384 bytes of its archive: the
// folder is as it was, byte for byte, and nothing carries the target's name. The archiver was
// given a name of its own beside the target, so that the tested archive only needs a rename.
TEST_F(ConvertE2ETest, AnArchiverFailingPartWayLeavesTheFolderAsItWas) {
  if (!Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no Info-ZIP";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  ASSERT_TRUE(CopyFileA((FromUnix(STANDIN_DIR) + "\\standin_partial_arj.exe").c_str(), (prog + "\\ARJ.EXE").c_str(),
                        FALSE));
  std::string zip = dir + "\\F.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  ASSERT_TRUE(WriteWholeFile(dir + "\\FILLER.BIN", std::string(700, 'f')));
  const std::map<std::string, std::string> before = Snapshot(dir);
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_ZIP_TO_ARJ, "F.ZIP", &texts));
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ("The conversion of\n" + zip + "\nfailed. The archive was left as it was.", texts.back());
  EXPECT_TRUE(Snapshot(dir) == before) << "the folder is as it was";
  EXPECT_FALSE(Exists(dir + "\\F.ARJ"));
  // The pack was asked to write beside the target, under another name.
  std::string log = ReadAll(prog + "\\partial.log");
  size_t tab = log.find("\t-r\t");
  ASSERT_NE(std::string::npos, tab) << log;
  std::string written = log.substr(tab + 4, log.find('\t', tab + 4) - tab - 4);
  size_t slash = written.find_last_of('\\');
  ASSERT_NE(std::string::npos, slash) << written;
  EXPECT_EQ(dir, written.substr(0, slash));
  EXPECT_NE("F.ARJ", written.substr(slash + 1));
  // A later convert is not refused for a leftover of this one.
  ASSERT_TRUE(CopyFileA((FromUnix(QL_PROGRAM_DIR) + "\\ARJ.EXE").c_str(), (prog + "\\ARJ.EXE").c_str(), FALSE));
  ASSERT_TRUE(DeleteFileA((dir + "\\FILLER.BIN").c_str()));
  EXPECT_TRUE(Convert(IDM_CONVERT_ZIP_TO_ARJ, "F.ZIP", &texts));
  EXPECT_EQ(0, Judge(dir + "\\F.ARJ", ArchiveKind::Arj));
}

// A runner console left open at its pause keeps the scratch directory as its current directory,
// so that it cannot be removed: the next convert takes a fresh one, and a convert after the
// console is gone removes the old one.
TEST_F(ConvertE2ETest, AScratchDirectoryStillHeldDoesNotStopTheNextConvert) {
  if (!Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no Info-ZIP";
  std::string zip = dir + "\\TREE.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  std::string held = ScratchDirectory(work);
  ASSERT_TRUE(CreateDirectoryA(held.c_str(), nullptr));
  HANDLE console = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, console);
  if (RemoveDirectoryA(held.c_str())) {
    CloseHandle(console);
    GTEST_SKIP() << "a directory held open can be removed here";
  }
  ASSERT_TRUE(WriteWholeFile(held + "\\LEFTOVER.TXT", "old"));
  std::vector<std::string> texts;
  bool converted = Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "TREE.ZIP", &texts);
  CloseHandle(console);
  ASSERT_TRUE(converted) << (texts.empty() ? "" : texts.back());
  EXPECT_TRUE(texts.empty());
  ExpectTree(zip, ArchiveKind::Zip);
  EXPECT_FALSE(Exists(prog + "\\Check\\LEFTOVER.TXT"));

  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "TREE.ZIP", &texts));
  EXPECT_FALSE(Exists(held)) << "removed once it is free";
  EXPECT_FALSE(Exists(ScratchDirectory(work, 1)));
}

// The comment that a judge prints for `archive`: Debian's "unzip -z" for a ZIP, the text between
// the header and the member list of "arj v" for an ARJ. Line ends are LF, the last one left off.
std::string JudgedTitle(const std::string& prog, const std::string& archive, ArchiveKind kind) {
  std::string out = prog + "\\title.txt";
  std::string cmd = kind == ArchiveKind::Zip
                        ? "/usr/bin/unzip -z '" + HostPath(archive) + "' | tail -n +2"
                        : "/usr/bin/arj v '" + HostPath(archive) +
                              "' | sed -n '/^Archive created/,/Sequence\\/Pathname\\/Comment/p' | sed '1d' | "
                              "sed 's/Sequence\\/Pathname\\/Comment\\/Chapters$//'";
  if (RunHost(cmd + " > '" + HostPath(out) + "'", prog + "\\title.status") != 0) return "(judge failed)";
  std::string t = ReadAll(out);
  while (!t.empty() && t.back() == '\n') t.pop_back();
  return t;
}

// The archive comment of a ZIP that `bytes` hold whole: what follows its last end record, as long
// as the record says. "(no end record)" when there is none that fits.
std::string ZipTitleBytes(const std::string& bytes) {
  size_t at = bytes.rfind(std::string("PK\5\6", 4));
  if (at == std::string::npos || at + 22 > bytes.size()) return "(no end record)";
  size_t len = static_cast<unsigned char>(bytes[at + 20]) | static_cast<unsigned char>(bytes[at + 21]) << 8;
  if (at + 22 + len != bytes.size()) return "(no end record)";
  return bytes.substr(at + 22);
}

// A comment of `lines` numbered lines, ending CR LF as DOS archivers write them, and as the
// judges print it (LF, the last one left off).
std::string NumberedComment(int lines, bool crlf) {
  std::string t;
  for (int i = 1; i <= lines; ++i) t += "line " + std::to_string(i) + " of what this archive holds" + (crlf ? "\r\n" : "\n");
  if (!crlf) t.pop_back();
  return t;
}

// The archive comment goes into the new archive: ZIP to ARJ and back, and Zip 1.x to 2.x with a
// comment as long as a ZIP holds it, byte for byte, without a question.
TEST_F(ConvertE2ETest, TheArchiveCommentIsCarriedOver) {
  if (!Exists("Z:\\usr\\bin\\arj") || !Exists("Z:\\usr\\bin\\zip") || !Exists("Z:\\usr\\bin\\unzip"))
    GTEST_SKIP() << "no arj or Info-ZIP";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string zip = dir + "\\TREE.ZIP", comment = prog + "\\comment.txt";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  const std::string shortTitle = NumberedComment(3, true);
  ASSERT_TRUE(WriteWholeFile(comment, shortTitle));
  ASSERT_EQ(0, RunHost("/usr/bin/zip -qz '" + HostPath(zip) + "' < '" + HostPath(comment) + "'", prog + "\\z.status"));
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP_TO_ARJ, "TREE.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(dir + "\\TREE.ARJ", ArchiveKind::Arj));
  EXPECT_EQ(NumberedComment(3, false), JudgedTitle(prog, dir + "\\TREE.ARJ", ArchiveKind::Arj));
  ExpectTree(dir + "\\TREE.ARJ", ArchiveKind::Arj);

  ASSERT_TRUE(DeleteFileA(zip.c_str()));
  ASSERT_TRUE(Convert(IDM_CONVERT_ARJ_TO_ZIP, "TREE.ARJ", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  EXPECT_EQ(NumberedComment(3, false), JudgedTitle(prog, zip, ArchiveKind::Zip));
  EXPECT_EQ(shortTitle.substr(0, shortTitle.size() - 2), ZipTitleBytes(ReadAll(zip)))
      << "the ZIP holds the comment with DOS line ends";
  ExpectTree(zip, ArchiveKind::Zip);

  // A long comment (6,799 bytes) of a ZIP stays whole and exact through Zip 1.x to 2.x.
  std::string longTitle = NumberedComment(200, true);
  longTitle.resize(6799, '.');
  ASSERT_TRUE(WriteWholeFile(comment, longTitle));
  ASSERT_EQ(0, RunHost("/usr/bin/zip -qz '" + HostPath(zip) + "' < '" + HostPath(comment) + "'", prog + "\\z.status"));
  const std::string before = ZipTitleBytes(ReadAll(zip));
  ASSERT_GE(before.size(), 6799u);
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP1_TO_ZIP2, "TREE.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  EXPECT_TRUE(ZipTitleBytes(ReadAll(zip)) == before) << "the comment is kept byte for byte";
  ExpectTree(zip, ArchiveKind::Zip);
}

// Empty folders of a ZIP ("sub/" and "sub/deeper/") become folder entries of the new ARJ,
// without a question.
TEST_F(ConvertE2ETest, EmptyFoldersReachANewArj) {
  if (!Exists("Z:\\usr\\bin\\arj") || !Exists("Z:\\usr\\bin\\zip")) GTEST_SKIP() << "no arj or zip";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  ASSERT_TRUE(CreateDirectoryA((tree + "\\SUB").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((tree + "\\SUB\\DEEPER").c_str(), nullptr));
  std::string zip = dir + "\\TREE.ZIP";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  ASSERT_TRUE(ArchiveExtrasOf(zip, false).emptyFolders);
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_ZIP_TO_ARJ, "TREE.ZIP", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(dir + "\\TREE.ARJ", ArchiveKind::Arj));
  ExpectTree(dir + "\\TREE.ARJ", ArchiveKind::Arj);
  DWORD a = GetFileAttributesA((prog + "\\Check\\SUB\\DEEPER").c_str());
  EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << "arj x makes the empty folders";
}

// The file comments that a judge prints for `archive`, one "name: line" for each line of each
// comment, sorted: Debian's "unzip -Zv" for a ZIP, "arj v" for an ARJ.
std::string JudgedFileComments(const std::string& prog, const std::string& archive, ArchiveKind kind) {
  // The host command goes through a Windows command line: the scripts go in a file of their own.
  std::string out = prog + "\\comments.txt", script = prog + "\\comments.awk";
  std::string awk = kind == ArchiveKind::Zip
                        ? "/^Central directory entry #/ {getline; getline; getline; sub(/^  /, \"\"); name = $0}\n"
                          "/^-+ file comment begins/ {c = 1; next}\n/^-+ file comment ends/ {c = 0; next}\n"
                          "c && NF {sub(/\\r$/, \"\"); print name \": \" $0}\n"
                        : "/^[0-9][0-9][0-9]\\) / {name = substr($0, 6); c = 1; next}\n"
                          "c && /^ *[0-9]+ [A-Z]/ {c = 0}\nc && NF {print name \": \" $0}\n";
  if (!WriteWholeFile(script, awk)) return "(no script)";
  std::string cmd = (kind == ArchiveKind::Zip ? "/usr/bin/unzip -Zv '" : "/usr/bin/arj v '") + HostPath(archive) +
                    "' | awk -f '" + HostPath(script) + "' | sort > '" + HostPath(out) + "'";
  if (RunHost(cmd, prog + "\\comments.status") != 0) return "(judge failed)";
  return ReadAll(out);
}

// The folder entries of `archive` as our reader lists them, sorted, each ended by "\n".
std::string ListedFolders(const std::string& archive, ArchiveKind kind) {
  std::vector<std::string> folders = ArchiveExtrasOf(archive, kind == ArchiveKind::Arj).folders;
  std::sort(folders.begin(), folders.end());
  std::string all;
  for (const std::string& f : folders) all += f + "\n";
  return all;
}

// The archive comment, two file comments and the folder entries "sub/" and "sub/deeper/" go
// into the new archive in every direction, without a question: ZIP to ARJ, ARJ to ZIP and Zip
// 1.x to 2.x, each from an archive that Debian's zip or arj made.
TEST_F(ConvertE2ETest, CommentsAndFolderEntriesAreCarriedOver) {
  if (!Exists("Z:\\usr\\bin\\arj") || !Exists("Z:\\usr\\bin\\zip") || !Exists("Z:\\usr\\bin\\unzip"))
    GTEST_SKIP() << "no arj or Info-ZIP";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  ASSERT_TRUE(CreateDirectoryA((tree + "\\sub").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((tree + "\\sub\\deeper").c_str(), nullptr));
  const std::string notes = HostPath(prog);
  ASSERT_TRUE(WriteWholeFile(prog + "\\top.note", "about the top file\n"));
  ASSERT_TRUE(WriteWholeFile(prog + "\\same.note", "the first SAME\n"));
  ASSERT_TRUE(WriteWholeFile(prog + "\\title.note", NumberedComment(3, false) + "\n"));
  const std::string zipNotes =
      " && echo 'about the top file' | /usr/bin/zip -qc '%s' TOP.TXT"
      " && echo 'the first SAME' | /usr/bin/zip -qc '%s' ONE/SAME.TXT"
      " && /usr/bin/zip -qz '%s' < '" + notes + "/title.note'";
  const struct {
    const char* source;
    unsigned command;
    const char* target;
    ArchiveKind kind;
    std::string pack;
  } cases[] = {
      {"TREE.ZIP", IDM_CONVERT_ZIP_TO_ARJ, "TREE.ARJ", ArchiveKind::Arj, "/usr/bin/zip -qr '%s' ." + zipNotes},
      {"TREE.ARJ", IDM_CONVERT_ARJ_TO_ZIP, "TREE.ZIP", ArchiveKind::Zip,
       "/usr/bin/arj a -r -a1 -y '%s' '*' >/dev/null"
       " && /usr/bin/arj c '%s' TOP.TXT '-jz" + notes + "/top.note' -y >/dev/null"
       " && /usr/bin/arj c '%s' ONE/SAME.TXT '-jz" + notes + "/same.note' -y >/dev/null"
       " && /usr/bin/arj c '%s' '-z" + notes + "/title.note' -y >/dev/null"},
      {"TREE.ZIP", IDM_CONVERT_ZIP1_TO_ZIP2, "TREE.ZIP", ArchiveKind::Zip, "/usr/bin/zip -qr '%s' ." + zipNotes},
  };
  const std::string comments = "ONE/SAME.TXT: the first SAME\nTOP.TXT: about the top file\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + std::string(" to ") + c.target);
    for (const char* name : {c.source, c.target}) DeleteFileA((dir + "\\" + name).c_str());
    std::string source = dir + "\\" + c.source, target = dir + "\\" + c.target, pack = c.pack;
    for (size_t at; (at = pack.find("%s")) != std::string::npos;) pack.replace(at, 2, HostPath(source));
    ASSERT_EQ(0, RunHost("cd '" + HostPath(tree) + "' && " + pack, prog + "\\pack.status"));
    ASSERT_TRUE(ArchiveExtrasOf(source, c.command == IDM_CONVERT_ARJ_TO_ZIP).fileComments);

    std::vector<std::string> texts;
    ASSERT_TRUE(Convert(c.command, c.source, &texts));
    EXPECT_TRUE(texts.empty()) << texts[0];
    EXPECT_EQ(0, Judge(target, c.kind));
    ExpectTree(target, c.kind);
    EXPECT_EQ(NumberedComment(3, false), JudgedTitle(prog, target, c.kind));
    EXPECT_EQ(comments, JudgedFileComments(prog, target, c.kind));
    std::string folders = ListedFolders(target, c.kind);
    EXPECT_NE(std::string::npos, folders.find("sub\nsub\\deeper\n")) << folders;
    if (c.kind == ArchiveKind::Zip) {
      // Debian's unzip sees the folder entries as folders, and tests the archive whole.
      EXPECT_EQ(0, RunHost("/usr/bin/unzip -Z '" + HostPath(target) + "' | grep -q '^d.* sub/$' && /usr/bin/unzip -Z '" +
                               HostPath(target) + "' | grep -q '^d.* sub/deeper/$' && /usr/bin/unzip -t '" +
                               HostPath(target) + "' | grep -q 'testing: sub/deeper/ *OK'",
                           prog + "\\folders.status"));
    }
  }
}

// ARJ keeps no archive comment longer than 2,048 bytes: converting a ZIP with a longer one asks
// first. "No" leaves the folder as it was; "Yes" makes the ARJ without that comment, the file
// comments still carried.
TEST_F(ConvertE2ETest, ACommentTooLongForArjIsNotDroppedInSilence) {
  if (!Exists("Z:\\usr\\bin\\zip") || !Exists("Z:\\usr\\bin\\arj")) GTEST_SKIP() << "no Info-ZIP or arj";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string zip = dir + "\\LONG.ZIP", comment = prog + "\\comment.txt";
  ASSERT_TRUE(HostPack(zip, ArchiveKind::Zip));
  std::string longTitle = NumberedComment(200, true);
  longTitle.resize(6799, '.');
  ASSERT_TRUE(WriteWholeFile(comment, longTitle));
  ASSERT_EQ(0, RunHost("/usr/bin/zip -qz '" + HostPath(zip) + "' < '" + HostPath(comment) +
                           "' && echo 'about the top file' | /usr/bin/zip -qc '" + HostPath(zip) + "' TOP.TXT",
                       prog + "\\z.status"));
  const std::string source = ReadAll(zip);
  const struct {
    int answer;
    bool converted;
  } cases[] = {{IDNO, false}, {IDYES, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    std::vector<std::string> asked;
    {
      qltest::DialogWatcher user(GetCurrentProcessId(), GetCurrentThreadId(), [&](HWND d, const qltest::SeenDialog&) {
        Shoot(d, "Convert cannot carry a comment");
        return c.answer;
      });
      EXPECT_EQ(c.converted, ConvertArchive(setup, s, IDM_CONVERT_ZIP_TO_ARJ, dir, {"LONG.ZIP"}, "None", "None",
                                            [](SwitchSet&) { return false; }));
      for (const qltest::SeenDialog& seen : user.Seen()) asked.push_back(seen.text);
    }
    EXPECT_EQ(std::vector<std::string>{zip + "\nholds comments or folders that the new archive cannot keep.\n\n"
                                             "Convert it anyway, without them?"},
              asked);
    EXPECT_TRUE(ReadAll(zip) == source);
    EXPECT_EQ(c.converted, Exists(dir + "\\LONG.ARJ"));
  }
  EXPECT_EQ(0, Judge(dir + "\\LONG.ARJ", ArchiveKind::Arj));
  EXPECT_EQ("", JudgedTitle(prog, dir + "\\LONG.ARJ", ArchiveKind::Arj));
  EXPECT_EQ("TOP.TXT: about the top file\n", JudgedFileComments(prog, dir + "\\LONG.ARJ", ArchiveKind::Arj));
}

// An LZH archive of the tree (Debian has no LZH archiver: our test writer makes it), with its
// folders, in -lh5- and -lh0-, header level 2; TOP.TXT in `topMethod`.
std::string LzhOfTheTree(const char* topMethod = "-lh5-") {
  return lzhtest::MakeArchive({{"ONE/SAME.TXT", "one\n", "-lh5-", ""},
                               {"TWO/SAME.TXT", "two\n", "-lh0-", ""},
                               {"TOP.TXT", std::string(3000, 't'), topMethod, ""}},
                              2);
}

// "None" as the LZH program, as a fresh settings file has it: the bundled QLLZH.EXE unpacks.
TEST_F(ConvertE2ETest, LzhToZipWithTheBundledExtractor) {
  if (!Exists("Z:\\usr\\bin\\unzip")) GTEST_SKIP() << "no Info-ZIP";
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string lzh = dir + "\\OLD.LZH", zip = dir + "\\OLD.ZIP";
  const std::string source = LzhOfTheTree();
  ASSERT_TRUE(WriteWholeFile(lzh, source));
  std::vector<std::string> texts;
  ASSERT_TRUE(Convert(IDM_CONVERT_LZH_TO_ZIP, "OLD.LZH", &texts));
  EXPECT_TRUE(texts.empty()) << texts[0];
  EXPECT_EQ(0, Judge(zip, ArchiveKind::Zip));
  ExpectTree(zip, ArchiveKind::Zip);
  EXPECT_EQ(source, ReadAll(lzh)) << "the source stays";
}

// A member whose data is damaged: QLLZH.EXE fails, no ZIP takes the target's place and the LZH
// archive stays as it was.
TEST_F(ConvertE2ETest, AFailedLzhToZipMakesNoZip) {
  if (!RunnerReportsExitCodes()) GTEST_SKIP() << "the runner leaves no exit code";
  std::string lzh = dir + "\\BAD.LZH";
  std::string damaged = LzhOfTheTree("-lh0-");
  damaged[damaged.size() - 2] = 'x';  // TOP.TXT's last byte; the archive's end mark follows
  ASSERT_TRUE(WriteWholeFile(lzh, damaged));
  std::vector<std::string> texts;
  EXPECT_FALSE(Convert(IDM_CONVERT_LZH_TO_ZIP, "BAD.LZH", &texts));
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ("The conversion of\n" + lzh + "\nfailed. The archive was left as it was.", texts.back());
  EXPECT_FALSE(Exists(dir + "\\BAD.ZIP"));
  EXPECT_EQ(damaged, ReadAll(lzh));
}

}  // namespace
}  // namespace ql
