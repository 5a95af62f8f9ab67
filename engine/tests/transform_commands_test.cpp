#include "engine/transform_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/tests/split_args.h"

namespace ql {
namespace {

const EnginePaths kPaths{R"(C:\QL)", R"(C:\QL\QL5TEMP)"};
const std::string kZip = R"(C:\DATA\A.ZIP)";
const std::string kArj = R"(C:\DATA\A.ARJ)";
const Via R = Via::Runner, Z = Via::ZipEngine, U = Via::UnzipEngine;

// A switch set as from an empty settings file (overwrite on, every Disable box clear) with the
// given switches on.
SwitchSet Sws(std::initializer_list<Sw> on) {
  SwitchSet s;
  SetOn(s, Sw::OverwriteExisting, true);
  for (Sw id : {Sw::ZipDpmi, Sw::NetDetect, Sw::Use32BitIns, Sw::EmsUsage, Sw::XmsUsage})
    SetOn(s, id, false);
  for (Sw id : on) SetOn(s, id, true);
  s.archivePassword = "secret";
  return s;
}
SwitchSet Old(SwitchSet s) {
  s.oldPkzip = true;
  return s;
}
SwitchSet Viewing(SwitchSet s) {
  s.viewArchiveProgress = true;
  return s;
}

struct Case {
  const char* name;
  std::function<Command()> build;
  Via via;
  const char* text;
  bool show;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  Command cmd = c.build();
  EXPECT_EQ(0, cmd.message);
  EXPECT_EQ(c.text, cmd.text);
  EXPECT_EQ(static_cast<int>(c.via), static_cast<int>(cmd.via));
  EXPECT_EQ(c.show, cmd.showWindow);
}

TEST(CommentCommands, TitleAndFiles) {
  auto title = [](SwitchSet s, ArchiveKind k) {
    return [=] { return CommentTitle(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj); };
  };
  auto files = [](SwitchSet s, ArchiveKind k) {
    return [=] { return CommentFiles(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj); };
  };
  const ArchiveKind zip = ArchiveKind::Zip, arj = ArchiveKind::Arj;
  const Case cases[] = {
      {"zip title through the engine, quiet without a blank", title(Sws({}), zip), Z,
       R"( -z |C:\DATA\A.ZIP| -=| -+| --| -bC:\QL\QL5TEMP\|-q)", true},
      {"zip title with the progress shown is not quiet", title(Viewing(Sws({})), zip), Z,
       R"( -z |C:\DATA\A.ZIP| -=| -+| --| -bC:\QL\QL5TEMP\)", true},
      {"a password takes the title to DOS PKZIP",
       title(Sws({Sw::Password, Sw::KeepOrigArcDate}), zip), R,
       R"(C:\QL\pkzip -z C:\DATA\A.ZIP -= -+ -- -k -ssecret -bC:\QL\QL5TEMP\)", true},
      {"old pkzip: no 2.x texts, the work directory even for multiple volumes",
       title(Old(Sws({Sw::UsePkzip, Sw::MultiVolume, Sw::SetToNewestDate})), zip), R,
       R"(C:\QL\pkzip -z C:\DATA\A.ZIP -o -bC:\QL\QL5TEMP\)", true},
      {"both date switches give no date text",
       title(Sws({Sw::UsePkzip, Sw::KeepOrigArcDate, Sw::SetToNewestDate, Sw::ZipCompatibilityMode}), zip),
       R, R"(C:\QL\pkzip -z C:\DATA\A.ZIP -+ -- -bC:\QL\QL5TEMP\)", true},
      {"arj title", title(Sws({Sw::KeepBackup, Sw::SetToNewestDate}), arj), R,
       R"(C:\QL\ARJ C -z C:\DATA\A.ARJ -s -k -wC:\QL\QL5TEMP\)", true},
      {"arj title with a password", title(Sws({Sw::Password, Sw::KeepOrigArcDate}), arj), R,
       R"(C:\QL\ARJ C -z C:\DATA\A.ARJ -s1 -wC:\QL\QL5TEMP\ -gsecret)", true},
      {"zip file comments through the engine, quiet with a blank", files(Sws({}), zip), Z,
       R"( -c |C:\DATA\A.ZIP| -=| -+| --| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files| -q)", true},
      {"zip file comments with DOS PKZIP", files(Sws({Sw::UsePkzip, Sw::ZipDpmi}), zip), R,
       R"(C:\QL\pkzip -c C:\DATA\A.ZIP -) -= -+ -- -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)", true},
      {"arj file comments", files(Sws({Sw::Password}), arj), R,
       R"(C:\QL\ARJ C -jz C:\DATA\A.ARJ -wC:\QL\QL5TEMP\ -gsecret !C:\QL\QL5TEMP\ql5files)", true},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ(R"(C:\DATA)", CommentTitle(Sws({}), kPaths, zip, kZip).currentDir);
  EXPECT_EQ(R"(C:\)", CommentFiles(Sws({}), kPaths, arj, R"(C:\A.ARJ)").currentDir);
}

TEST(CommentCommands, PathsWithBlanksArriveWhole) {
  EnginePaths p{R"(C:\Program Files\QL)", R"(C:\My Work)"};
  Command cmd = CommentFiles(Sws({Sw::UsePkzip}), p, ArchiveKind::Zip, R"(C:\My Data\A.ZIP)");
  std::vector<std::string> args = SplitArgs(cmd.text);
  ASSERT_GE(args.size(), 4u);
  EXPECT_EQ(R"(C:\Program Files\QL\pkzip)", args[0]);
  EXPECT_EQ(R"(C:\My Data\A.ZIP)", args[2]);
  EXPECT_EQ(R"(-bC:\My Work\)", args[args.size() - 2]);
  EXPECT_EQ(R"(@C:\My Work\ql5files)", args.back());
}

TEST(SelectionList, NamesFromLines) {
  const std::vector<std::string> fields = {">Comment", "[..]", "[-c-]", "[DOCS]", "A.TXT",
                                           "BAD\r\nNAME", ""};
  EXPECT_EQ((std::vector<std::string>{R"(DOCS\*.*)", "A.TXT"}), SelectionListNames(fields, ""));
  EXPECT_EQ((std::vector<std::string>{R"(C:\SRC\DOCS\*.*)", R"(C:\SRC\A.TXT)"}),
            SelectionListNames(fields, R"(C:\SRC)"));
  EXPECT_EQ((std::vector<std::string>{R"(C:\A.TXT)"}), SelectionListNames({"A.TXT"}, R"(C:\)"));
  EXPECT_TRUE(SelectionListNames({">File Comment: 1 2", ">Title: 3 4"}, "").empty());
}

TEST(CommentReader, ReadRangeIsBoundedByFileAndBuffer) {
  struct RangeCase {
    const char* line;
    uint64_t fileSize;
    size_t capacity;
    bool ok;
    uint64_t offset;
    size_t count;
  } cases[] = {
      {"> File Comment: 10 5", 100, 4096, true, 10, 5},
      {"> Title: 90 50", 100, 4096, true, 90, 10},      // the file shrank since it was listed
      {"> Title: 0 100000", 1000000, 4096, true, 0, 4096},
      {"> Title: 100 1", 100, 4096, false, 0, 0},       // offset at the end of the file
      {"> Title: 4000000000 1", 100, 4096, false, 0, 0},
      {"> Title: 99999999999999999999999 1", 100, 4096, false, 0, 0},
      {"> Directory: DOCS", 100, 4096, false, 0, 0},
      {"> Title: ", 100, 4096, false, 0, 0},
      {"> Title: 5", 100, 4096, false, 0, 0},
      {"no colon", 100, 4096, false, 0, 0},
      {"> Title: 0 0", 100, 4096, true, 0, 0},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.line);
    uint64_t off = 0;
    size_t n = 0;
    EXPECT_EQ(c.ok, CommentReadRange(c.line, c.fileSize, c.capacity, &off, &n));
    if (c.ok) {
      EXPECT_EQ(c.offset, off);
      EXPECT_EQ(c.count, n);
    }
  }
}

TEST(CommentReader, TextGetsCarriageReturnsAndLosesTheArjName) {
  struct TextCase {
    std::string bytes;
    ArchiveKind kind;
    std::string text;
  } cases[] = {
      {"a\nb\r\nc", ArchiveKind::Zip, "a\r\nb\r\nc"},
      {"\n\n", ArchiveKind::Zip, "\r\n\r\n"},
      {std::string("ab\0cd", 5), ArchiveKind::Zip, "ab"},
      {"", ArchiveKind::Zip, ""},
      {std::string("dir/NAME.TXT\0one\ntwo\n\0junk", 26), ArchiveKind::Arj, "one\r\ntwo\r\n"},
      {"NAME-WITHOUT-END", ArchiveKind::Arj, ""},   // the name's NUL is outside what was read
      {std::string("NAME\0", 5), ArchiveKind::Arj, ""},
      {std::string("NAME\0comment cut", 16), ArchiveKind::Arj, "comment cut"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(c.text, CommentTextOf(c.bytes.data(), c.bytes.size(), c.kind));
  }
}

TEST(ConvertCommands, KindsSourcesAndTargets) {
  ConvertKind k{};
  EXPECT_FALSE(ConvertKindOf(IDM_SFX_ZIP, &k));
  ASSERT_TRUE(ConvertKindOf(IDM_CONVERT_ZIP1_TO_ZIP2, &k));
  EXPECT_TRUE(k.deflateOldZip);
  EXPECT_TRUE(ConvertSourceAccepted(k, "FOO.EXE", true));
  EXPECT_FALSE(ConvertSourceAccepted(k, "FOO.EXE", false));
  EXPECT_FALSE(ConvertSourceAccepted(k, "FOO.ARJ", true));
  ASSERT_TRUE(ConvertKindOf(IDM_CONVERT_LZH_TO_ARJ, &k));
  EXPECT_TRUE(ConvertSourceAccepted(k, "old.lzh", false));
  EXPECT_FALSE(ConvertSourceAccepted(k, "old.arc", false));

  EXPECT_EQ(R"(C:\DATA\A.B.ARJ)", ConvertTargetPath(R"(C:\DATA\A.B.ZIP)", ConvertTo::Arj));
  EXPECT_EQ(R"(C:\DATA\FOO.ZIP)", ConvertTargetPath(R"(C:\DATA\FOO.EXE)", ConvertTo::Zip));
  EXPECT_EQ(R"(C:\D.X\NOEXT.ZIP)", ConvertTargetPath(R"(C:\D.X\NOEXT)", ConvertTo::Zip));

  EXPECT_EQ(R"(C:\QL\QL5TEMP\tmp41720)", ScratchDirectory(R"(C:\QL\QL5TEMP\)"));
  EXPECT_EQ(R"(C:\QL\QLARC.EXE)", ConvertProgram(kPaths, ConvertFrom::Arc, "None"));
  EXPECT_EQ(R"(C:\QL\QLLZH.EXE)", ConvertProgram(kPaths, ConvertFrom::Lzh, "none "));
  EXPECT_EQ(R"(C:\QL\QLLZH.EXE)", ConvertProgram(kPaths, ConvertFrom::Lzh, ""));
  EXPECT_EQ(R"(C:\TOOLS\LHA.EXE)", ConvertProgram(kPaths, ConvertFrom::Lzh, R"(C:\TOOLS\LHA.EXE)"));
}

TEST(ConvertCommands, UnpackPackAndTest) {
  const std::string pz = R"(C:\DATA\~QLCV000.ZIP)", pa = R"(C:\DATA\~QLCV000.ARJ)";
  auto conv = [](unsigned id, SwitchSet s, std::string source, std::string program = "") {
    ConvertKind k{};
    ConvertKindOf(id, &k);
    return ConvertCommandsFor(s, kPaths, k, source, program, ConvertPackPath(ConvertTargetPath(source, k.to), 0),
                              ScratchDirectory(kPaths.workDir));
  };
  auto unpack = [&](unsigned id, SwitchSet s, std::string src, std::string prog = "") {
    return [=] { return conv(id, s, src, prog).unpack; };
  };
  auto pack = [&](unsigned id, SwitchSet s) { return [=] { return conv(id, s, kZip).pack; }; };
  auto test = [&](unsigned id, SwitchSet s) { return [=] { return conv(id, s, kZip).test; }; };
  const Case cases[] = {
      {"zip unpack through the engine keeps the folders", unpack(IDM_CONVERT_ZIP_TO_ARJ, Sws({}), kZip), U,
       R"(C:\DATA\A.ZIP| C:\QL\QL5TEMP\tmp41720\| -o| -d| -+| --| -q)", false},
      {"zip unpack with DOS PKUNZIP",
       unpack(IDM_CONVERT_ZIP1_TO_ZIP2, Viewing(Sws({Sw::UsePkzip, Sw::Use32BitIns})), kZip), R,
       R"(C:\QL\pkunzip C:\DATA\A.ZIP C:\QL\QL5TEMP\tmp41720\ -o -d -3 -+ --)", true},
      {"zip unpack with old PKUNZIP", unpack(IDM_CONVERT_ZIP_TO_ARJ, Old(Sws({Sw::UsePkzip})), kZip), R,
       R"(C:\QL\pkunzip C:\DATA\A.ZIP C:\QL\QL5TEMP\tmp41720\ -o -d)", false},
      {"zip unpack with a password",
       unpack(IDM_CONVERT_ZIP_TO_ARJ, Sws({Sw::ExtractWithPassword}), kZip), R,
       R"(C:\QL\pkunzip C:\DATA\A.ZIP -ssecret C:\QL\QL5TEMP\tmp41720\ -d -+ --)", false},
      {"arj unpack keeps the folders", unpack(IDM_CONVERT_ARJ_TO_ZIP, Sws({}), kArj), R,
       R"(C:\QL\ARJ X C:\DATA\A.ARJ C:\QL\QL5TEMP\tmp41720\ -jyo)", false},
      {"arj unpack with a password",
       unpack(IDM_CONVERT_ARJ_TO_ZIP, Sws({Sw::ExtractWithPassword}), kArj), R,
       R"(C:\QL\ARJ X C:\DATA\A.ARJ -gsecret C:\QL\QL5TEMP\tmp41720\ -jyo)", false},
      {"arc unpack with the bundled extractor",
       unpack(IDM_CONVERT_ARC_TO_ARJ, Sws({}), R"(C:\DATA\A.ARC)", R"(C:\QL\QLARC.EXE)"), R,
       R"(C:\QL\QLARC.EXE C:\DATA\A.ARC C:\QL\QL5TEMP\tmp41720\)", false},
      {"lzh unpack with a configured program",
       unpack(IDM_CONVERT_LZH_TO_ZIP, Sws({}), R"(C:\DATA\A.LZH)", R"(C:\TOOLS\LHA.EXE)"), R,
       R"(C:\TOOLS\LHA.EXE e C:\DATA\A.LZH C:\QL\QL5TEMP\tmp41720\)", false},
      {"arj pack is recursive with paths", pack(IDM_CONVERT_ZIP_TO_ARJ, Sws({})), R,
       R"(C:\QL\ARJ M -r C:\DATA\~QLCV000.ARJ -wC:\QL\QL5TEMP\)", false},
      {"arj pack options",
       pack(IDM_CONVERT_ARC_TO_ARJ, Sws({Sw::FastestCompression, Sw::IncAnyFileAttrib, Sw::MultiVolume,
                                         Sw::StoreVolumeLabel, Sw::KeepOrigArcDate})),
       R, R"(C:\QL\ARJ M -r C:\DATA\~QLCV000.ARJ -m3 -a -va -$ -s1 -wC:\QL\QL5TEMP\)", false},
      {"arj pack garbles with the extract password",
       pack(IDM_CONVERT_LZH_TO_ARJ, Viewing(Sws({Sw::ExtractWithPassword, Sw::MaximumCompression}))), R,
       R"(C:\QL\ARJ M -r C:\DATA\~QLCV000.ARJ -gsecret -m1 -jm -wC:\QL\QL5TEMP\)", true},
      {"zip pack through the engine is recursive with paths", pack(IDM_CONVERT_ARJ_TO_ZIP, Sws({})), Z,
       R"( -m |C:\DATA\~QLCV000.ZIP| *.*| -=| -+| --| -rp| -bC:\QL\QL5TEMP\| -q)", false},
      {"zip pack with DOS PKZIP",
       pack(IDM_CONVERT_ZIP1_TO_ZIP2, Sws({Sw::UsePkzip, Sw::MaximumCompression, Sw::IncAnyFileAttrib,
                                            Sw::SetToNewestDate, Sw::StoreVolumeLabel})),
       R, R"(C:\QL\pkzip -m C:\DATA\~QLCV000.ZIP *.* -ex -= -+ -- -w -rp -o -$ -bC:\QL\QL5TEMP\)",
       false},
      {"zip pack with old PKZIP on multiple volumes",
       pack(IDM_CONVERT_ARC_TO_ZIP, Old(Sws({Sw::UsePkzip, Sw::MultiVolume, Sw::RecurseSubdirs}))), R,
       R"(C:\QL\pkzip -m C:\DATA\~QLCV000.ZIP *.* -rp)", false},
      {"arj test", test(IDM_CONVERT_ZIP_TO_ARJ, Sws({})), R, R"(C:\QL\ARJ T C:\DATA\~QLCV000.ARJ)",
       false},
      {"zip test through the engine", test(IDM_CONVERT_ARJ_TO_ZIP, Sws({})), U,
       R"(-t |C:\DATA\~QLCV000.ZIP| -q)", false},
      {"zip test with DOS PKUNZIP", test(IDM_CONVERT_ARJ_TO_ZIP, Viewing(Sws({Sw::UsePkzip}))), R,
       R"(C:\QL\pkunzip -t C:\DATA\~QLCV000.ZIP)", true},
  };
  for (const Case& c : cases) Check(c);
  // The archive being made sits beside its target under a name of its own.
  EXPECT_EQ(pz, ConvertPackPath(R"(C:\DATA\A.ZIP)", 0));
  EXPECT_EQ(pa, ConvertPackPath(R"(C:\DATA\A.arj)", 0));
  EXPECT_EQ(R"(C:\D.X\~QLCV012.ZIP)", ConvertPackPath(R"(C:\D.X\A.B.ZIP)", 12));
  EXPECT_EQ(R"(C:\QL\QL5TEMP\tmp41720.3)", ScratchDirectory(kPaths.workDir, 3));
  ConvertCommands c = conv(IDM_CONVERT_ZIP_TO_ARJ, Sws({}), kZip);
  EXPECT_EQ(R"(C:\QL\QL5TEMP\tmp41720)", c.unpack.currentDir);
  EXPECT_EQ(R"(C:\QL\QL5TEMP\tmp41720)", c.pack.currentDir);
}

TEST(ConvertCommands, ScratchPathWithBlanksArrivesWhole) {
  EnginePaths p{R"(C:\Program Files\QL)", R"(C:\My Work)"};
  ConvertKind k{};
  ConvertKindOf(IDM_CONVERT_ARC_TO_ARJ, &k);
  ConvertCommands c = ConvertCommandsFor(Sws({}), p, k, R"(C:\My Data\A.ARC)", ConvertProgram(p, k.from, "None"),
                                         ConvertPackPath(R"(C:\My Data\A.ARJ)", 0), ScratchDirectory(p.workDir));
  EXPECT_EQ((std::vector<std::string>{R"(C:\Program Files\QL\QLARC.EXE)", R"(C:\My Data\A.ARC)",
                                      R"(C:\My Work\tmp41720\)"}),
            SplitArgs(c.unpack.text));
  std::vector<std::string> pack = SplitArgs(c.pack.text);
  ASSERT_EQ(5u, pack.size());
  EXPECT_EQ(R"(C:\My Data\~QLCV000.ARJ)", pack[3]);
  EXPECT_EQ(R"(-wC:\My Work\)", pack[4]);
}

// The archive comment of a ZIP or ARJ source reaches a new ARJ through a file ARJ reads; a ZIP
// pack takes no such switch.
TEST(ConvertCommands, ArjPackTakesTheTitleFromAFile) {
  EnginePaths p{R"(C:\Program Files\QL)", R"(C:\My Work)"};
  ConvertKind k{};
  ConvertKindOf(IDM_CONVERT_ZIP_TO_ARJ, &k);
  ConvertCommands c = ConvertCommandsFor(Sws({}), p, k, R"(C:\My Data\A.ZIP)", "", ConvertPackPath(R"(C:\My Data\A.ARJ)", 0),
                                         ScratchDirectory(p.workDir), R"(C:\My Work\ql5title)");
  std::vector<std::string> pack = SplitArgs(c.pack.text);
  ASSERT_EQ(6u, pack.size());
  EXPECT_EQ(R"(-zC:\My Work\ql5title)", pack[5]);
  ConvertKindOf(IDM_CONVERT_ARJ_TO_ZIP, &k);
  c = ConvertCommandsFor(Sws({}), p, k, R"(C:\My Data\A.ARJ)", "", ConvertPackPath(R"(C:\My Data\A.ZIP)", 0),
                         ScratchDirectory(p.workDir), R"(C:\My Work\ql5title)");
  EXPECT_EQ(std::string::npos, c.pack.text.find("-z"));
}

// Folders that hold nothing reach a new ARJ as entries of their own.
TEST(ConvertCommands, ArjPackStoresFolderEntriesWhenAsked) {
  ConvertKind k{};
  ConvertKindOf(IDM_CONVERT_ZIP_TO_ARJ, &k);
  auto pack = [&](bool folders) {
    return ConvertCommandsFor(Sws({}), kPaths, k, kZip, "", ConvertPackPath(kArj, 0), ScratchDirectory(kPaths.workDir),
                              "", folders).pack.text;
  };
  EXPECT_EQ(R"(C:\QL\ARJ M -r C:\DATA\~QLCV000.ARJ -wC:\QL\QL5TEMP\ -a1)", pack(true));
  EXPECT_EQ(R"(C:\QL\ARJ M -r C:\DATA\~QLCV000.ARJ -wC:\QL\QL5TEMP\)", pack(false));
}

TEST(ConvertCommands, WhatTitleArjKeepsWhole) {
  const struct {
    std::string title;
    bool kept;
  } cases[] = {
      {"", true},
      {"one line\r\nanother\r\n", true},
      {std::string(kArjTitleMax, 'x'), true},
      {std::string(kArjTitleMax, 'x') + "\r", true},  // carriage returns are not stored
      {std::string(kArjTitleMax + 1, 'x'), false},
      {std::string(6799, 'x'), false},
      {std::string("before\x1A after"), false},
      {std::string("before\0after", 12), false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.kept, ArjKeepsTitle(c.title)) << c.title.size();
}

// A file comment also shares its entry's header with the name: the header's limit counts both.
TEST(ConvertCommands, WhatFileCommentArjKeepsWhole) {
  const std::string name(600, 'n');
  const struct {
    std::string name, comment;
    bool kept;
  } cases[] = {
      {"TOP.TXT", "about the top file\r\n", true},
      {"TOP.TXT", std::string(kArjTitleMax, 'x'), true},
      {"TOP.TXT", std::string(kArjTitleMax + 1, 'x'), false},
      {"TOP.TXT", std::string("before\0after", 12), false},
      {name, std::string(2600 - 46 - 2 - 600, 'x'), true},
      {name, std::string(2600 - 46 - 2 - 600, 'x') + "\r\r", true},
      {name, std::string(2600 - 46 - 2 - 600 + 1, 'x'), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.kept, ArjKeepsFileComment(c.name, c.comment)) << c.name.size() << " " << c.comment.size();
}

TEST(WholeArchiveCommands, SelfExtractingRepairJoinRename) {
  const Case cases[] = {
      {"self-extracting arj", [] { return SelfExtractingArj(Sws({}), kPaths, kArj); }, R,
       R"(C:\QL\ARJ F C:\DATA\A.ARJ ... -je -wC:\QL\QL5TEMP\)", false},
      {"self-extracting arj with its switches",
       [] { return SelfExtractingArj(Sws({Sw::RecurseSubdirs, Sw::KeepBackup, Sw::Password,
                                          Sw::SetToNewestDate, Sw::MultiVolume}), kPaths, R"(C:\DATA\A.ARJ.BAK)"); },
       R, R"(C:\QL\ARJ F C:\DATA\A.ARJ.BAK ... -r -je -s -k -wC:\QL\QL5TEMP\ -gsecret)", true},
      {"self-extracting zip", [] { return SelfExtractingZip(Sws({}), kPaths, "FOO.ZIP.BAK"); }, R,
       R"(C:\QL\zip2exe FOO.ZIP.BAK)", true},
      {"repair arj is always shown, keeps the folders and writes over nothing",
       [] {
         return RepairArj(Sws({Sw::KeepOrigArcDate, Sw::MultiVolume, Sw::ExtractWithPassword}), kPaths, kArj,
                          R"(C:\DATA\A)");
       },
       R, R"(C:\QL\ARJ x C:\DATA\A.ARJ C:\DATA\A\ -jr -n -s1 -va -wC:\QL\QL5TEMP\ -gsecret)", true},
      {"repair zip", [] { return RepairZip(Sws({}), kPaths, "A.ZIP", R"(C:\DATA)"); }, R,
       R"(C:\QL\pkzipfix A.ZIP C:\DATA)", false},
      {"join lists only the .ARJ names",
       [] { return JoinArj(Sws({Sw::MultiVolume}), kPaths, R"(C:\OUT\ALL.ARJ)", {"BOOK.ARJ", "BOOK.A01"}, true); },
       R, R"(C:\QL\ARJ J C:\OUT\ALL.ARJ -va -gsecret !C:\QL\QL5TEMP\ql5files)", true},
      {"join without a password",
       [] { return JoinArj(Sws({Sw::Password}), kPaths, "ALL.ARJ", {"A.ARJ", ">x", "B.ARJ"}, false); },
       R, R"(C:\QL\ARJ J ALL.ARJ !C:\QL\QL5TEMP\ql5files)", false},
      {"rename in an arj",
       [] { return RenameInArj(Sws({Sw::KeepBackup, Sw::Password}), kPaths, kArj, {"A.TXT", R"(SUB\B.TXT)"}); },
       R, R"(C:\QL\ARJ N C:\DATA\A.ARJ -k -wC:\QL\QL5TEMP\ -gsecret !C:\QL\QL5TEMP\ql5files)", true},
  };
  for (const Case& c : cases) Check(c);

  EXPECT_EQ(IDS_ONLY_ARJ_FILES, SelfExtractingArj(Sws({}), kPaths, kZip).message);
  EXPECT_EQ(IDS_ONLY_ZIP_FILES, SelfExtractingZip(Sws({}), kPaths, kArj).message);
  EXPECT_EQ(IDS_ONLY_ARJ_FILES, JoinArj(Sws({}), kPaths, "X.ARJ", {"A.ARJ", "B.ZIP"}, false).message);
  EXPECT_EQ(R"(C:\DATA)", SelfExtractingArj(Sws({}), kPaths, kArj).currentDir);
  EXPECT_EQ("", SelfExtractingZip(Sws({}), kPaths, kZip).currentDir);

  Command join = JoinArj(Sws({}), kPaths, "ALL.ARJ", {"BOOK.ARJ", "BOOK.A01", "more.arj"}, false);
  EXPECT_TRUE(join.writeList);
  EXPECT_EQ("BOOK.ARJ\r\nmore.arj\r\n", join.listFile);
  Command rename = RenameInArj(Sws({}), kPaths, kArj, {"A.TXT", R"(SUB\B.TXT)"});
  EXPECT_EQ("A.TXT\r\nSUB\\B.TXT\r\n", rename.listFile);
  EXPECT_EQ(R"(C:\DATA)", rename.currentDir);

  EXPECT_FALSE(RepairLacksSpace(10000000, 20000000, 20000000));
  EXPECT_TRUE(RepairLacksSpace(10000000, 19999999, 30000000));
  EXPECT_TRUE(RepairLacksSpace(10000000, 30000000, 19999999));
}

TEST(RunFromArchive, EntriesAndExtractCommands) {
  EXPECT_TRUE(RunnableEntry("SETUP.EXE"));
  EXPECT_TRUE(RunnableEntry("tool.com"));
  EXPECT_FALSE(RunnableEntry("SETUP.BAT"));
  EXPECT_FALSE(RunnableEntry("APP.PIF"));
  EXPECT_FALSE(RunnableEntry("[BIN.EXE]"));
  EXPECT_FALSE(RunnableEntry(""));
  auto run = [](SwitchSet s, ArchiveKind k) {
    return [=] { return ExtractProgramToRun(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, "SETUP.EXE"); };
  };
  const ArchiveKind zip = ArchiveKind::Zip, arj = ArchiveKind::Arj;
  const Case cases[] = {
      {"arj", run(Sws({}), arj), R, R"(C:\QL\ARJ E C:\DATA\A.ARJ SETUP.EXE *.DLL *.OVL -jyo)", false},
      {"arj with a password: two blanks", run(Sws({Sw::Password, Sw::MultiVolume}), arj), R,
       R"(C:\QL\ARJ E C:\DATA\A.ARJ  SETUP.EXE *.DLL *.OVL -gsecret -jyo)", true},
      {"zip through the engine", run(Sws({Sw::ExtractByName}), zip), U,
       R"(C:\DATA\A.ZIP| SETUP.EXE| *.DLL| *.OVL| -o| -en| -+| --| -q)", false},
      {"zip with DOS PKUNZIP", run(Viewing(Sws({Sw::UsePkzip, Sw::ExtractInReverseOrder, Sw::ExtractByDate})), zip),
       R, R"(C:\QL\pkunzip C:\DATA\A.ZIP SETUP.EXE *.DLL *.OVL -o -ed -+ -- -er C:\QL\QL5TEMP\)", true},
      {"zip with a password", run(Old(Sws({Sw::Password, Sw::ExtractInReverseOrder})), zip), R,
       R"(C:\QL\pkunzip C:\DATA\A.ZIP SETUP.EXE *.DLL *.OVL -ssecret -o C:\QL\QL5TEMP\)", false},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ(R"(C:\QL\QL5TEMP)", ExtractProgramToRun(Sws({}), kPaths, zip, kZip, "A.EXE").currentDir);
}

}  // namespace
}  // namespace ql
