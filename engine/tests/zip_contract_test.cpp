// The commands we build, read back by the option parser of our pkzip, pkunzip and zip engines:
// every engine string and DOS command line means what the operation wants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archivers/zip/options.h"
#include "engine/commands.h"
#include "engine/tests/split_args.h"

namespace ql {
namespace {

const EnginePaths kPaths{R"(C:\Program Files\QL)", R"(C:\Program Files\QL\QL5TEMP)"};
const std::string kWork = R"(C:\Program Files\QL\QL5TEMP\)";
const std::string kList = kWork + "ql5files";
const std::string kZip = R"(D:\My Data\Mail Box.ZIP)";

SwitchSet Fresh(std::initializer_list<Sw> on = {}) {
  SwitchSet s;
  LoadSwitchSet(s, [](const char*, const char* def) { return std::string(def); });
  for (Sw id : on) SetOn(s, id, true);
  s.archivePassword = "two words";
  return s;
}

// Tokens of a built command as the program it is meant for receives them.
std::vector<std::string> Tokens(const Command& cmd) {
  if (cmd.via != Via::Runner) return qlzip::SplitEngineString(cmd.text);
  std::vector<std::string> args = SplitArgs(cmd.text);
  args.erase(args.begin());  // the program path
  return args;
}

qlzip::ZipArgs Zip(const Command& cmd) { return qlzip::ParseZipArgs(Tokens(cmd)); }
qlzip::UnzipArgs Unzip(const Command& cmd) { return qlzip::ParseUnzipArgs(Tokens(cmd)); }

TEST(ZipContract, AddsReachTheZipSide) {
  for (bool dos : {false, true}) {
    SCOPED_TRACE(dos ? "pkzip" : "engine");
    SwitchSet s = Fresh({Sw::MaximumCompression, Sw::RecurseSubdirs});
    SetOn(s, Sw::UsePkzip, dos);
    Command a1 = AddDroppedFiles(s, kPaths, ArchiveKind::Zip, kZip, "C:\\");
    ASSERT_EQ(dos ? Via::Runner : Via::ZipEngine, a1.via);
    qlzip::ZipArgs z = Zip(a1);
    EXPECT_EQ("", z.error);
    EXPECT_EQ(qlzip::ZipAction::kAdd, z.action);
    EXPECT_EQ(kZip, z.archive);
    EXPECT_EQ(9, z.level);
    EXPECT_TRUE(z.recurse);
    EXPECT_TRUE(z.givenPaths);
    EXPECT_EQ(kWork, z.tempDir);
    EXPECT_EQ(std::vector<std::string>{kList}, z.lists);
    EXPECT_EQ(!dos, z.quiet);

    DropSource src;
    src.sourceDir = R"(C:\Some Dir)";
    src.nameFields = {"A.TXT"};
    qlzip::ZipArgs m = Zip(DropAdd(s, kPaths, ArchiveKind::Zip, kZip, false, true, src));
    EXPECT_EQ("", m.error);
    EXPECT_TRUE(m.move);
    EXPECT_EQ(kZip, m.archive);
    EXPECT_EQ(std::vector<std::string>{kList}, m.lists);

    qlzip::ZipArgs x = Zip(ExpressAdd(s, kPaths, ArchiveKind::Zip, kZip, {"A"}, "C:\\", false));
    EXPECT_EQ("", x.error);
    EXPECT_EQ(kZip, x.archive);
    EXPECT_TRUE(x.specs.empty());

    for (bool update : {false, true}) {
      qlzip::ZipArgs f = Zip(FreshenOrUpdate(s, kPaths, ArchiveKind::Zip, kZip, update, false, false));
      EXPECT_EQ("", f.error);
      EXPECT_EQ(update ? qlzip::ZipAction::kUpdate : qlzip::ZipAction::kFreshen, f.action);
      EXPECT_EQ(kZip, f.archive);
      EXPECT_TRUE(f.lists.empty());
    }

    qlzip::ZipArgs d = Zip(DeleteMembers(s, kPaths, ArchiveKind::Zip, kZip, false, {"A"}, 3));
    EXPECT_EQ("", d.error);
    EXPECT_EQ(qlzip::ZipAction::kDelete, d.action);
    EXPECT_EQ(kZip, d.archive);
    EXPECT_EQ(kWork, d.tempDir);
    EXPECT_EQ(std::vector<std::string>{kList}, d.lists);

    qlzip::ZipArgs xd = Zip(ExpressDelete(s, kPaths, ArchiveKind::Zip, kZip, {"A"}));
    EXPECT_EQ("", xd.error);
    EXPECT_EQ(qlzip::ZipAction::kDelete, xd.action);
    EXPECT_EQ(kZip, xd.archive);
    EXPECT_TRUE(xd.specs.empty());
  }
}

TEST(ZipContract, PasswordsWithBlanksReachPkzipWhole) {
  Command cmd = AddDroppedFiles(Fresh({Sw::Password}), kPaths, ArchiveKind::Zip, kZip, "C:\\");
  ASSERT_EQ(Via::Runner, cmd.via);
  qlzip::ZipArgs z = Zip(cmd);
  EXPECT_EQ("", z.error);
  EXPECT_TRUE(z.password);
  EXPECT_EQ("two words", z.passwordText);
  EXPECT_EQ(kZip, z.archive);
}

TEST(ZipContract, ExtractsTestsAndViewsReachTheUnzipSide) {
  for (bool dos : {false, true}) {
    SCOPED_TRACE(dos ? "pkunzip" : "engine");
    SwitchSet s = Fresh({Sw::RestoreSubdirs, Sw::ExtractByName});
    SetOn(s, Sw::UsePkzip, dos);
    qlzip::UnzipArgs e1 = Unzip(ExtractMembers(s, kPaths, ArchiveKind::Zip, kZip, false, {"A"}, "E:\\"));
    EXPECT_EQ("", e1.error);
    EXPECT_EQ(kZip, e1.archive);
    EXPECT_TRUE(e1.paths);
    EXPECT_TRUE(e1.overwrite);
    EXPECT_EQ("n", e1.order);
    EXPECT_EQ(std::vector<std::string>{kList}, e1.lists);
    EXPECT_TRUE(e1.specs.empty());
    EXPECT_EQ(!dos, e1.quiet);

    qlzip::UnzipArgs e2 = Unzip(ExtractWholeArchive(s, kPaths, ArchiveKind::Zip, kZip, "E:\\"));
    EXPECT_EQ("", e2.error);
    EXPECT_EQ(std::vector<std::string>{"*.*"}, e2.specs);

    qlzip::UnzipArgs e3 = Unzip(DropExtract(s, kPaths, ArchiveKind::Zip, kZip, false, {"A\tA"}, true, "E:\\"));
    EXPECT_EQ("", e3.error);
    EXPECT_EQ(kZip, e3.archive);
    EXPECT_EQ(std::vector<std::string>{kList}, e3.lists);

    std::vector<std::string> names = {"A"};
    qlzip::UnzipArgs e5 = Unzip(ExpressExtract(s, kPaths, ArchiveKind::Zip, kZip, &names, R"(E:\New Dir)"));
    EXPECT_EQ("", e5.error);
    EXPECT_EQ(kZip, e5.archive);
    EXPECT_EQ(R"(E:\New Dir\)", e5.dest);
    EXPECT_EQ(std::vector<std::string>{kList}, e5.lists);

    for (TestFrom from : {TestFrom::Express, TestFrom::WindowArchive, TestFrom::DirectoryFile}) {
      qlzip::UnzipArgs t = Unzip(TestArchive(s, kPaths, ArchiveKind::Zip, kZip, from));
      EXPECT_EQ("", t.error);
      EXPECT_TRUE(t.test);
      EXPECT_EQ(kZip, t.archive);
    }

    qlzip::UnzipArgs v = Unzip(ViewMember(s, kPaths, ArchiveKind::Zip, kZip, false, "Docs/Read Me.txt"));
    EXPECT_EQ("", v.error);
    EXPECT_EQ(kZip, v.archive);
    EXPECT_EQ(std::vector<std::string>{"Docs/Read Me.txt"}, v.specs);
    EXPECT_EQ(kWork, v.dest);
    EXPECT_TRUE(v.overwrite);
  }
}

}  // namespace
}  // namespace ql
