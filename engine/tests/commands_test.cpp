#include "engine/commands.h"

#include <gtest/gtest.h>

#include "engine/tests/split_args.h"

#include <functional>
#include <string>
#include <vector>

namespace ql {
namespace {

const EnginePaths kPaths{R"(C:\QL)", R"(C:\QL\QL5TEMP)"};
const std::string kZip = R"(C:\DATA\A.ZIP)";
const std::string kArj = R"(C:\DATA\A.ARJ)";

// A fresh switch set (as from an empty settings file: overwrite on, relative paths) with the
// given switches turned on as the user sees them (Disable boxes checked for inverted ones).
SwitchSet Sws(std::initializer_list<Sw> on, PathStorage paths = PathStorage::Relative) {
  SwitchSet s;
  SetOn(s, Sw::OverwriteExisting, true);
  for (Sw id : {Sw::ZipDpmi, Sw::NetDetect, Sw::Use32BitIns, Sw::EmsUsage, Sw::XmsUsage})
    SetOn(s, id, false);
  for (Sw id : on) SetOn(s, id, true);
  SetBit(s, Sw::PathsFull, paths == PathStorage::Full);
  SetBit(s, Sw::PathsRelative, paths == PathStorage::Relative);
  s.archivePassword = "secret";
  return s;
}
SwitchSet Old(SwitchSet s) {
  s.oldPkzip = true;
  return s;
}
SwitchSet Without(SwitchSet s, Sw id) {
  SetOn(s, id, false);
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

const Via R = Via::Runner, Z = Via::ZipEngine, U = Via::UnzipEngine;

TEST(AddCommands, DroppedFiles) {
  const std::string cur = R"(D:\SRC\SUB)";
  auto a1 = [&](SwitchSet s, ArchiveKind k = ArchiveKind::Zip) {
    return [=] { return AddDroppedFiles(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, cur); };
  };
  const Case cases[] = {
      // The engine string of the add with maximum compression and recursion (the compatibility
      // box checked, so that " -=" stays out; no path storage).
      {"engine example", a1(Sws({Sw::MaximumCompression, Sw::RecurseSubdirs,
                                 Sw::ZipCompatibilityMode}, PathStorage::None)),
       Z, R"(-a |C:\DATA\A.ZIP| -ex| -rp| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"old pkzip drops the 2.x group",
       a1(Old(Sws({Sw::UsePkzip, Sw::MaximumCompression, Sw::StoreVolumeLabel, Sw::ZipDpmi}))), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -P -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)", false},
      {"new pkzip keeps the 2.x group",
       a1(Sws({Sw::UsePkzip, Sw::MaximumCompression, Sw::StoreVolumeLabel, Sw::ZipDpmi})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -ex -$ -) -= -P -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)",
       false},
      {"the engine gets the 2.x group even with old pkzip",
       a1(Old(Sws({Sw::MaximumCompression, Sw::StoreVolumeLabel, Sw::ZipDpmi}))), Z,
       R"(-a |C:\DATA\A.ZIP| -ex| -$| -)| -=| -P| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files| -q)",
       false},
      {"EMS and XMS only when their boxes are checked",
       a1(Sws({Sw::UsePkzip, Sw::EmsUsage, Sw::SlowMemCopy, Sw::NetDetect, Sw::Use32BitIns})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -= -~ -3 -+ -( -P -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)",
       false},
      {"every group in order",
       a1(Sws({Sw::UsePkzip, Sw::NoCompression, Sw::XmsUsage, Sw::IncAnyFileAttrib,
               Sw::RecurseSubdirs, Sw::KeepOrigArcDate}, PathStorage::Full)),
       R, R"(C:\QL\pkzip -a C:\DATA\A.ZIP -e0 -= -- -w -rp -P -k -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)",
       false},
      {"password turns the engine off", a1(Sws({Sw::Password})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -= -P -bC:\QL\QL5TEMP\ -ssecret @C:\QL\QL5TEMP\ql5files)",
       false},
      {"multi-volume: no -b, no engine, window shown", a1(Sws({Sw::MultiVolume})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -& -= -P @C:\QL\QL5TEMP\ql5files)", true},
      {"both dates give neither",
       a1(Sws({Sw::UsePkzip, Sw::KeepOrigArcDate, Sw::SetToNewestDate})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -= -P -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)", false},
      {"newest date only", a1(Sws({Sw::UsePkzip, Sw::SetToNewestDate})), R,
       R"(C:\QL\pkzip -a C:\DATA\A.ZIP -= -P -o -bC:\QL\QL5TEMP\ @C:\QL\QL5TEMP\ql5files)", false},
      {"progress shown: no quiet fragment", a1(Viewing(Sws({}))), Z,
       R"(-a |C:\DATA\A.ZIP| -=| -P| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files)", true},
      {"arj relative", a1(Sws({}), ArchiveKind::Arj), R,
       R"(C:\QL\ARJ A C:\DATA\A.ARJ -e1 -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)", false},
      {"arj full", a1(Sws({}, PathStorage::Full), ArchiveKind::Arj), R,
       R"(C:\QL\ARJ A C:\DATA\A.ARJ -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)", false},
      {"arj every fragment in order",
       a1(Sws({Sw::IncAnyFileAttrib, Sw::RecurseSubdirs, Sw::KeepOrigArcDate,
               Sw::MaximumCompression, Sw::KeepBackup, Sw::MultiVolume, Sw::Password},
              PathStorage::None),
          ArchiveKind::Arj),
       R, R"(C:\QL\ARJ A C:\DATA\A.ARJ -a -r -e -s1 -m1 -jm -k -va -wC:\QL\QL5TEMP\ -gsecret !C:\QL\QL5TEMP\ql5files)",
       true},
      {"arj store only, newest date", a1(Sws({Sw::NoCompression, Sw::SetToNewestDate}),
                                          ArchiveKind::Arj),
       R, R"(C:\QL\ARJ A C:\DATA\A.ARJ -e1 -s -m4 -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)", false},
      {"arj both dates give neither",
       a1(Sws({Sw::KeepOrigArcDate, Sw::SetToNewestDate, Sw::FasterCompression}), ArchiveKind::Arj),
       R, R"(C:\QL\ARJ A C:\DATA\A.ARJ -e1 -m2 -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)", false},
  };
  for (const Case& c : cases) Check(c);
}

TEST(AddCommands, FullPathStorageMakesTheDriveRootCurrent) {
  for (ArchiveKind k : {ArchiveKind::Zip, ArchiveKind::Arj}) {
    EXPECT_EQ(R"(D:\)",
              AddDroppedFiles(Sws({}, PathStorage::Full), kPaths, k, kArj, R"(D:\SRC\SUB)").currentDir);
    EXPECT_EQ("", AddDroppedFiles(Sws({}), kPaths, k, kArj, R"(D:\SRC\SUB)").currentDir);
  }
  DropSource src;
  src.sourceDir = R"(D:\SRC)";
  src.nameFields = {"A.TXT"};
  Command arj = DropAdd(Sws({}, PathStorage::Full), kPaths, ArchiveKind::Arj, kArj, false, false, src);
  EXPECT_EQ(R"(D:\SRC)", arj.currentDir);  // ARJ drops: names carry the source directory
  EXPECT_EQ("D:\\SRC\\A.TXT\r\n", arj.listFile);
  Command zip = DropAdd(Sws({}, PathStorage::Full), kPaths, ArchiveKind::Zip, kZip, false, false, src);
  EXPECT_EQ(R"(D:\)", zip.currentDir);
  Command xadd = ExpressAdd(Sws({}, PathStorage::Full), kPaths, ArchiveKind::Arj, kArj, {"B.TXT"},
                            R"(E:\WORK)", false);
  EXPECT_EQ(R"(E:\)", xadd.currentDir);
  EXPECT_EQ("E:\\WORK\\B.TXT\r\n", xadd.listFile);
}

TEST(AddCommands, KeepBackupFromTheSettingsUntilASwitchesDialogIsConfirmed) {
  SwitchSet s;
  LoadSwitchSet(s, [](const char* key, const char* def) {
    return std::string(key) == "keep_backup" ? std::string("on") : std::string(def);
  });
  s.archivePassword.clear();
  EXPECT_EQ(R"(C:\QL\ARJ A C:\DATA\A.ARJ -e1 -k -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)",
            AddDroppedFiles(s, kPaths, ArchiveKind::Arj, kArj, "C:\\").text);
  ConfirmSwitchesDialog(s, false, [](const char*, const char*) {});
  EXPECT_EQ(R"(C:\QL\ARJ A C:\DATA\A.ARJ -e1 -wC:\QL\QL5TEMP\ !C:\QL\QL5TEMP\ql5files)",
            AddDroppedFiles(s, kPaths, ArchiveKind::Arj, kArj, "C:\\").text);
}

TEST(AddCommands, DropIntoArchiveWindows) {
  DropSource lb;
  lb.sourceDir = R"(C:\SRC)";
  lb.nameFields = {"README.TXT", "[DOCS]", "[..]", "[-d-]", ">comment"};
  DropSource placed;
  placed.listBox = false;
  placed.placedList = "C:\\ELSE\\one.txt\r\nsub\\two.txt\r\n";
  auto drop = [&](SwitchSet s, ArchiveKind k, bool enc, bool move, const DropSource& src) {
    return [=] { return DropAdd(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, enc, move, src); };
  };
  const Case cases[] = {
      {"zip add to the engine", drop(Sws({}), ArchiveKind::Zip, false, false, lb), Z,
       R"(-a| -=| -+| --| -P| -bC:\QL\QL5TEMP\| C:\DATA\A.ZIP| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"zip move into an encrypted archive",
       drop(Sws({}, PathStorage::Full), ArchiveKind::Zip, true, true, lb), R,
       R"(C:\QL\pkzip -m -= -+ -- -P -bC:\QL\QL5TEMP\ C:\DATA\A.ZIP -ssecret @C:\QL\QL5TEMP\ql5files)",
       false},
      {"zip from the work directory always moves, no -P",
       drop(Sws({}), ArchiveKind::Zip, false, false, placed), Z,
       R"(-m| -=| -+| --| -bC:\QL\QL5TEMP\| C:\DATA\A.ZIP| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"zip old pkzip", drop(Old(Sws({Sw::UsePkzip, Sw::FastestCompression})), ArchiveKind::Zip,
                             false, false, lb),
       R, R"(C:\QL\pkzip -a -P -bC:\QL\QL5TEMP\ C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files)", false},
      {"arj from the work directory", drop(Sws({}), ArchiveKind::Arj, false, false, placed), R,
       R"(C:\QL\ARJ M C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -e1 -wC:\QL\QL5TEMP\)", false},
      {"arj add into an encrypted archive", drop(Sws({}), ArchiveKind::Arj, true, false, lb), R,
       R"(C:\QL\ARJ A C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -e1 -wC:\QL\QL5TEMP\ -gsecret)", false},
  };
  for (const Case& c : cases) Check(c);

  Command z = DropAdd(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, false, lb);
  EXPECT_EQ("README.TXT\r\nDOCS\\*.*\r\n", z.listFile);
  EXPECT_EQ(R"(C:\SRC)", z.currentDir);
  Command zp = DropAdd(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, false, placed);
  EXPECT_EQ("C:\\QL\\QL5TEMP\\one.txt\r\nC:\\QL\\QL5TEMP\\two.txt\r\n", zp.listFile);
  EXPECT_EQ(R"(C:\QL\QL5TEMP)", zp.currentDir);
  Command ap = DropAdd(Sws({}), kPaths, ArchiveKind::Arj, kArj, false, false, placed);
  EXPECT_EQ("one.txt\r\ntwo.txt\r\n", ap.listFile);
}

TEST(AddCommands, ExpressAddAndMove) {
  auto xadd = [](SwitchSet s, ArchiveKind k, bool move) {
    return [=] {
      return ExpressAdd(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, {"A.TXT"}, R"(C:\SRC)",
                        move);
    };
  };
  const Case cases[] = {
      {"engine add", xadd(Sws({}), ArchiveKind::Zip, false), Z,
       R"(C:\DATA\A.ZIP| -a| -=| -+| --| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"engine add, overwrite off: no quiet", xadd(Without(Sws({}), Sw::OverwriteExisting),
                                                   ArchiveKind::Zip, false),
       Z, R"(C:\DATA\A.ZIP| -a| -=| -+| --| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files)", false},
      {"dos move, -k regardless of the newest date, -$ after it",
       xadd(Sws({Sw::UsePkzip, Sw::KeepOrigArcDate, Sw::SetToNewestDate, Sw::StoreVolumeLabel,
                 Sw::MultiVolume},
                PathStorage::Full),
            ArchiveKind::Zip, true),
       R, R"(C:\QL\pkzip -m -& -= -+ -- -P -k -$ C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files)", true},
      {"dos with password", xadd(Sws({Sw::Password}), ArchiveKind::Zip, false), R,
       R"(C:\QL\pkzip -a -= -+ -- -bC:\QL\QL5TEMP\ C:\DATA\A.ZIP -ssecret @C:\QL\QL5TEMP\ql5files)",
       false},
      {"arj move", xadd(Sws({}), ArchiveKind::Arj, true), R,
       R"(C:\QL\ARJ M C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -e1 -wC:\QL\QL5TEMP\)", false},
  };
  for (const Case& c : cases) Check(c);
}

TEST(AddCommands, FreshenAndUpdate) {
  auto fu = [](SwitchSet s, ArchiveKind k, bool update, bool express, bool enc) {
    return [=] {
      return FreshenOrUpdate(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, update, express, enc);
    };
  };
  const SwitchSet orders = Sws({Sw::UsePkzip, Sw::NoCompression, Sw::MultiVolume, Sw::ZipDpmi});
  const Case cases[] = {
      {"engine freshen", fu(Sws({}), ArchiveKind::Zip, false, false, false), Z,
       R"(| -f |C:\DATA\A.ZIP| -=| -+| --| -P| -bC:\QL\QL5TEMP\| -q)", false},
      {"freshen with every fragment",
       fu(Sws({Sw::UsePkzip, Sw::FastestCompression, Sw::ZipDpmi, Sw::NetDetect, Sw::Use32BitIns,
               Sw::SlowMemCopy, Sw::IncAnyFileAttrib, Sw::RecurseSubdirs, Sw::StoreVolumeLabel,
               Sw::KeepOrigArcDate}),
          ArchiveKind::Zip, false, false, false),
       R, R"(C:\QL\pkzip -f C:\DATA\A.ZIP -es -) -= -~ -3 -+ -- -( -w -rp -P -k -$ -bC:\QL\QL5TEMP\)",
       false},
      {"freshen order", fu(orders, ArchiveKind::Zip, false, false, false), R,
       R"(C:\QL\pkzip -f C:\DATA\A.ZIP -) -= -e0 -+ -- -& -P)", true},
      {"update order, express", fu(orders, ArchiveKind::Zip, true, true, false), R,
       R"(C:\QL\pkzip -u C:\DATA\A.ZIP -) -= -e0 -& -+ -- -P)", true},
      {"update order, manager", fu(orders, ArchiveKind::Zip, true, false, false), R,
       R"(C:\QL\pkzip -u C:\DATA\A.ZIP -e0 -) -= -& -+ -- -P)", true},
      {"encrypted window archive asks the password",
       fu(Sws({}), ArchiveKind::Zip, false, false, true), R,
       R"(C:\QL\pkzip -f C:\DATA\A.ZIP -= -+ -- -P -ssecret -bC:\QL\QL5TEMP\)", false},
      {"express ignores the window flag", fu(Sws({}), ArchiveKind::Zip, true, true, true), Z,
       R"(| -u |C:\DATA\A.ZIP| -=| -+| --| -P| -bC:\QL\QL5TEMP\| -q)", false},
      {"arj update", fu(Sws({}), ArchiveKind::Arj, true, false, false), R,
       R"(C:\QL\ARJ U C:\DATA\A.ARJ -e1 -wC:\QL\QL5TEMP\)", false},
      {"arj freshen with password", fu(Sws({Sw::Password}), ArchiveKind::Arj, false, false, false),
       R, R"(C:\QL\ARJ F C:\DATA\A.ARJ -e1 -wC:\QL\QL5TEMP\ -gsecret)", false},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ(R"(C:\DATA)", FreshenOrUpdate(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, false,
                                           false).currentDir);
}

TEST(ExtractCommands, Members) {
  const std::string target = R"(D:\OUT)";
  auto e1 = [&](SwitchSet s, ArchiveKind k, bool enc) {
    return [=] {
      return ExtractMembers(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, enc, {"A.TXT"},
                            target);
    };
  };
  const Case cases[] = {
      {"engine", e1(Sws({}), ArchiveKind::Zip, false), U,
       R"(C:\DATA\A.ZIP| -o| -+| --| @C:\QL\QL5TEMP\ql5files|-q)", false},
      {"engine, password switch on but archive not encrypted",
       e1(Sws({Sw::ExtractWithPassword}), ArchiveKind::Zip, false), U,
       R"(C:\DATA\A.ZIP| -o| -+| --| @C:\QL\QL5TEMP\ql5files|-q)", false},
      {"encrypted but password switch off", e1(Sws({}), ArchiveKind::Zip, true), U,
       R"(C:\DATA\A.ZIP| -o| -+| --| @C:\QL\QL5TEMP\ql5files|-q)", false},
      {"dos, every fragment",
       e1(Sws({Sw::UsePkzip, Sw::RestoreSubdirs, Sw::ExtractByDate, Sw::ExtractInReverseOrder,
               Sw::ZipDpmi, Sw::Use32BitIns, Sw::ExtractVolumeLabel, Sw::ExtractWithPassword}),
          ArchiveKind::Zip, true),
       R, R"(C:\QL\pkunzip C:\DATA\A.ZIP -d -o -ed -er -) -3 -+ -- -$ -ssecret @C:\QL\QL5TEMP\ql5files)",
       false},
      {"multi-volume drops order and reverse",
       e1(Sws({Sw::RestoreSubdirs, Sw::ExtractByName, Sw::ExtractInReverseOrder, Sw::MultiVolume}),
          ArchiveKind::Zip, false),
       R, R"(C:\QL\pkunzip C:\DATA\A.ZIP -d -o -+ -- @C:\QL\QL5TEMP\ql5files)", true},
      {"old pkunzip drops the 2.x block",
       e1(Old(Sws({Sw::UsePkzip, Sw::ExtractByName, Sw::ExtractInReverseOrder, Sw::ZipDpmi})),
          ArchiveKind::Zip, false),
       R, R"(C:\QL\pkunzip C:\DATA\A.ZIP -o -en @C:\QL\QL5TEMP\ql5files)", false},
      {"overwrite off shows the window",
       e1(Without(Sws({Sw::ExtractOnlyNewer}), Sw::OverwriteExisting), ArchiveKind::Zip, false), U,
       R"(C:\DATA\A.ZIP| -n| -+| --| @C:\QL\QL5TEMP\ql5files)", true},
      {"arj", e1(Sws({}), ArchiveKind::Arj, false), R,
       R"(C:\QL\ARJ  E C:\DATA\A.ARJ -jyo  !C:\QL\QL5TEMP\ql5files)", false},
      {"arj with paths, encrypted",
       e1(Without(Sws({Sw::RestoreSubdirs, Sw::ExtractOnlyNewer, Sw::ExtractVolumeLabel,
                       Sw::MultiVolume}),
                  Sw::OverwriteExisting),
          ArchiveKind::Arj, true),
       R, R"(C:\QL\ARJ  X C:\DATA\A.ARJ -f -$ -va -gsecret  !C:\QL\QL5TEMP\ql5files)", true},
  };
  for (const Case& c : cases) Check(c);
  Command cmd = ExtractMembers(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, {"A.TXT", "B C.TXT"},
                               target);
  EXPECT_EQ(target, cmd.currentDir);
  EXPECT_EQ("A.TXT\r\nB C.TXT\r\n", cmd.listFile);
}

TEST(ExtractCommands, WholeArchives) {
  auto e2 = [](SwitchSet s, ArchiveKind k) {
    return [=] { return ExtractWholeArchive(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, "D:\\OUT"); };
  };
  const Case cases[] = {
      {"engine", e2(Sws({}), ArchiveKind::Zip), U, R"(C:\DATA\A.ZIP| -o| -+| --| *.*| -q)", false},
      {"dos: order before the 2.x block, reverse last in it",
       e2(Sws({Sw::UsePkzip, Sw::ExtractByExtender, Sw::ExtractInReverseOrder, Sw::ZipDpmi}),
          ArchiveKind::Zip),
       R, R"(C:\QL\pkunzip C:\DATA\A.ZIP -o -ee -) -+ -- -er *.*)", false},
      {"password switch alone asks", e2(Sws({Sw::ExtractWithPassword}), ArchiveKind::Zip), R,
       R"(C:\QL\pkunzip C:\DATA\A.ZIP -o -+ -- -ssecret *.*)", false},
      {"arj", e2(Sws({}), ArchiveKind::Arj), R, R"(C:\QL\ARJ  E C:\DATA\A.ARJ -jyo )", false},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ExtractCommands, ArchiveNamesOfAnExtractOfArchives) {
  struct NameCase {
    const char* name;
    bool extractable;
    bool arjPart;
  } cases[] = {
      {"ONE.ZIP", true, false},  {"TWO.ARJ", true, true},   {"THREE.A01", true, true},
      {"FOUR.A0X", true, false}, {"PART.A00", true, true},  {"PART.A10", true, true},
      {"SFX.EXE", true, false},  {"NOTES.TXT", false, false}, {"c:\\x\\two.arj", true, true},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(c.extractable, IsExtractableArchiveName(c.name)) << c.name;
    EXPECT_EQ(c.arjPart, IsArjPartName(c.name)) << c.name;
  }
}

TEST(ExtractCommands, DropExtract) {
  const std::vector<std::string> lines = {"A.TXT\tA.TXT\t12", ">comment", "DOCS\\B.TXT\tB.TXT\t3"};
  auto e3 = [&](SwitchSet s, ArchiveKind k, bool enc, bool window) {
    return [=] {
      return DropExtract(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, enc, lines, window,
                         window ? R"(E:\DROP)" : R"(C:\QL\QL5TEMP)");
    };
  };
  const Case cases[] = {
      {"engine into a window", e3(Sws({}), ArchiveKind::Zip, false, true), U,
       R"(| -o| -+| --| C:\DATA\A.ZIP| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"no target window: overwrite, no paths, order regardless of multi-volume",
       e3(Without(Sws({Sw::UsePkzip, Sw::RestoreSubdirs, Sw::ExtractOnlyNewer, Sw::ExtractByExtender,
                       Sw::MultiVolume, Sw::ExtractInReverseOrder, Sw::ZipDpmi}),
                  Sw::OverwriteExisting),
          ArchiveKind::Zip, false, false),
       R, R"(C:\QL\pkunzip  -o -ee -er -) -n -+ -- C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files)", true},
      {"encrypted source into a window with paths",
       e3(Sws({Sw::RestoreSubdirs, Sw::ExtractVolumeLabel}), ArchiveKind::Zip, true, true), R,
       R"(C:\QL\pkunzip  -o -d -+ -- -$ C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files -ssecret)", false},
      {"arj into a window with paths", e3(Sws({Sw::RestoreSubdirs}), ArchiveKind::Arj, false, true),
       R, R"(C:\QL\ARJ X C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -jyo -p1 -wC:\QL\QL5TEMP\)", false},
      {"arj without a window: E and overwrite",
       e3(Without(Sws({Sw::RestoreSubdirs}), Sw::OverwriteExisting), ArchiveKind::Arj, true, false),
       R, R"(C:\QL\ARJ E C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -jyo -p1 -wC:\QL\QL5TEMP\ -gsecret)",
       true},
      {"arj into a window, overwrite off",
       e3(Without(Sws({}), Sw::OverwriteExisting), ArchiveKind::Arj, false, true), R,
       R"(C:\QL\ARJ E C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -wC:\QL\QL5TEMP\)", true},
  };
  for (const Case& c : cases) Check(c);
  Command cmd = e3(Sws({}), ArchiveKind::Zip, false, true)();
  EXPECT_EQ("A.TXT\r\nDOCS\\B.TXT\r\n", cmd.listFile);
  EXPECT_EQ(R"(E:\DROP)", cmd.currentDir);
}

TEST(ExtractCommands, ExpressExtract) {
  const std::vector<std::string> names = {"A.TXT"};
  auto e5 = [&](SwitchSet s, ArchiveKind k, bool all) {
    return [=] {
      return ExpressExtract(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, all ? nullptr : &names,
                            R"(D:\OUT)");
    };
  };
  const Case cases[] = {
      {"engine", e5(Sws({}), ArchiveKind::Zip, true), U,
       R"(| -o| -+| --| C:\DATA\A.ZIP| D:\OUT\| @C:\QL\QL5TEMP\ql5files| -q)", false},
      {"dos with password",
       e5(Sws({Sw::ExtractWithPassword, Sw::RestoreSubdirs, Sw::ExtractByName, Sw::ExtractVolumeLabel}),
          ArchiveKind::Zip, false),
       R, R"(C:\QL\pkunzip  -o -d -en -+ -- -$ C:\DATA\A.ZIP D:\OUT\ @C:\QL\QL5TEMP\ql5files -ssecret)",
       false},
      {"arj with paths", e5(Sws({Sw::RestoreSubdirs}), ArchiveKind::Arj, false), R,
       R"(C:\QL\ARJ X C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files D:\OUT\ -jyo -wC:\QL\QL5TEMP\)", false},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ("*.*\r\n", e5(Sws({}), ArchiveKind::Zip, true)().listFile);
  EXPECT_EQ("A.TXT\r\n", e5(Sws({}), ArchiveKind::Zip, false)().listFile);
}

TEST(ExtractCommands, Test) {
  auto t1 = [](SwitchSet s, ArchiveKind k, TestFrom from) {
    return [=] { return TestArchive(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, from); };
  };
  const Case cases[] = {
      {"engine, express", t1(Sws({}), ArchiveKind::Zip, TestFrom::Express), U,
       R"(-t| C:\DATA\A.ZIP| -q)", true},
      {"engine, window", t1(Sws({}), ArchiveKind::Zip, TestFrom::WindowArchive), U,
       R"(-t |C:\DATA\A.ZIP| -q)", true},
      {"engine, directory file", t1(Sws({}), ArchiveKind::Zip, TestFrom::DirectoryFile), U,
       R"(| -t |C:\DATA\A.ZIP| -q)", true},
      {"progress wanted: window shown anyway, no quiet",
       t1(Viewing(Sws({})), ArchiveKind::Zip, TestFrom::WindowArchive), U, R"(-t |C:\DATA\A.ZIP)",
       true},
      {"dos", t1(Sws({Sw::UsePkzip, Sw::ZipDpmi}), ArchiveKind::Zip, TestFrom::WindowArchive), R,
       R"(C:\QL\pkunzip -t C:\DATA\A.ZIP -) -+ --)", true},
      {"dos, old pkunzip", t1(Old(Sws({Sw::UsePkzip, Sw::ZipDpmi})), ArchiveKind::Zip,
                              TestFrom::WindowArchive),
       R, R"(C:\QL\pkunzip -t C:\DATA\A.ZIP)", true},
      {"add password switch asks for a window test",
       t1(Sws({Sw::Password}), ArchiveKind::Zip, TestFrom::WindowArchive), R,
       R"(C:\QL\pkunzip -t C:\DATA\A.ZIP -+ -- -ssecret)", true},
      {"add password switch does not ask for a directory file",
       t1(Sws({Sw::Password}), ArchiveKind::Zip, TestFrom::DirectoryFile), U,
       R"(| -t |C:\DATA\A.ZIP| -q)", true},
      {"arj window", t1(Sws({Sw::MultiVolume, Sw::Password}), ArchiveKind::Arj, TestFrom::WindowArchive),
       R, R"(C:\QL\ARJ T C:\DATA\A.ARJ -va -wC:\QL\QL5TEMP\ -gsecret)", true},
      {"arj express",
       t1(Sws({Sw::RecurseSubdirs, Sw::KeepOrigArcDate, Sw::SetToNewestDate, Sw::FastestCompression,
               Sw::KeepBackup}),
          ArchiveKind::Arj, TestFrom::Express),
       R, R"(C:\QL\ARJ T C:\DATA\A.ARJ -r -e -s1 -m3 -k -wC:\QL\QL5TEMP\)", true},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ(R"(C:\DATA)", t1(Sws({}), ArchiveKind::Zip, TestFrom::Express)().currentDir);
}

TEST(ExtractCommands, ViewMember) {
  auto v1 = [](SwitchSet s, ArchiveKind k, bool enc, const char* member) {
    return [=] { return ViewMember(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, enc, member); };
  };
  const Case cases[] = {
      {"engine", v1(Sws({}), ArchiveKind::Zip, false, "DOCS/README.TXT"), U,
       R"(| C:\DATA\A.ZIP | DOCS/README.TXT | -o | C:\QL\QL5TEMP\|-q)", false},
      {"engine with progress", v1(Viewing(Sws({})), ArchiveKind::Zip, false, "README.TXT"), U,
       R"(| C:\DATA\A.ZIP | README.TXT | -o | C:\QL\QL5TEMP\)", true},
      {"dos, encrypted", v1(Sws({Sw::UsePkzip}), ArchiveKind::Zip, true, "README.TXT"), R,
       R"(C:\QL\pkunzip  -+ -- C:\DATA\A.ZIP README.TXT -o -ssecret C:\QL\QL5TEMP\)", false},
      {"arj", v1(Sws({}), ArchiveKind::Arj, false, "README.TXT"), R,
       R"(C:\QL\ARJ E C:\DATA\A.ARJ README.TXT C:\QL\QL5TEMP\ -jyo -p)", false},
      {"arj with password", v1(Sws({Sw::ExtractWithPassword}), ArchiveKind::Arj, false, "README.TXT"),
       R, R"(C:\QL\ARJ E C:\DATA\A.ARJ README.TXT -gsecret C:\QL\QL5TEMP\ -jyo -p)", false},
  };
  for (const Case& c : cases) Check(c);
  Command cmd = v1(Sws({}), ArchiveKind::Zip, false, "README.TXT")();
  EXPECT_TRUE(cmd.viewMode);
  EXPECT_EQ(R"(C:\QL\QL5TEMP)", cmd.currentDir);
  EXPECT_EQ(R"(C:\QL\QL5TEMP\README.TXT)", ViewedFile(R"(C:\QL\QL5TEMP\)", "DOCS/README.TXT"));
  EXPECT_EQ(R"(C:\QL\QL5TEMP\B.TXT)", ViewedFile(R"(C:\QL\QL5TEMP)", R"(A\B.TXT)"));
}

TEST(DeleteCommands, BrowserWindow) {
  const std::vector<std::string> sel = {"A.TXT\tA.TXT\t1", "B.TXT\tB.TXT\t2"};
  auto del = [&](SwitchSet s, ArchiveKind k, bool enc) {
    return [=] { return DeleteMembers(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, enc, sel, 5); };
  };
  const Case cases[] = {
      {"engine", del(Sws({}), ArchiveKind::Zip, false), Z,
       R"(-d| C:\DATA\A.ZIP| @C:\QL\QL5TEMP\ql5files| -bC:\QL\QL5TEMP\| -q)", false},
      {"engine, overwrite off still quiet", del(Without(Sws({}), Sw::OverwriteExisting),
                                                ArchiveKind::Zip, false),
       Z, R"(-d| C:\DATA\A.ZIP| @C:\QL\QL5TEMP\ql5files| -bC:\QL\QL5TEMP\| -q)", false},
      {"dos, no switch fragments", del(Sws({Sw::UsePkzip, Sw::MaximumCompression}), ArchiveKind::Zip,
                                       false),
       R, R"(C:\QL\pkzip -d C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files -bC:\QL\QL5TEMP\)", false},
      {"encrypted", del(Viewing(Sws({})), ArchiveKind::Zip, true), R,
       R"(C:\QL\pkzip -d C:\DATA\A.ZIP @C:\QL\QL5TEMP\ql5files -ssecret -bC:\QL\QL5TEMP\)", true},
      {"arj", del(Sws({Sw::KeepBackup, Sw::Password}), ArchiveKind::Arj, false), R,
       R"(C:\QL\ARJ D C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -wC:\QL\QL5TEMP\ -gsecret -k)", false},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ("A.TXT\r\nB.TXT\r\n", del(Sws({}), ArchiveKind::Zip, false)().listFile);
}

TEST(DeleteCommands, EveryMemberIsRefusedAndNothingRuns) {
  std::vector<std::string> all = {"A.TXT\ta", "B.TXT\tb", ">comment"};
  for (ArchiveKind k : {ArchiveKind::Zip, ArchiveKind::Arj}) {
    Command cmd = DeleteMembers(Sws({}), kPaths, k, kZip, false, all, 2);
    EXPECT_EQ(kMsgDeleteAll, cmd.message);
    EXPECT_TRUE(cmd.text.empty());
    EXPECT_FALSE(cmd.writeList);
  }
  Command none = DeleteMembers(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, {}, 2);
  EXPECT_EQ(0, none.message);
  EXPECT_TRUE(none.text.empty());
}

TEST(DeleteCommands, ConfirmationShowsSixNamesAndDots) {
  std::vector<std::string> lines;
  for (const char* n : {"A", "B", "C", "D", "E", "F", "G"}) lines.push_back(std::string(n) + "\tx\t1");
  EXPECT_EQ("A B C D E F ...", DeleteConfirmNames(lines));
  lines.pop_back();
  EXPECT_EQ("A B C D E F ", DeleteConfirmNames(lines));
  EXPECT_EQ("ONE ", DeleteConfirmNames({"ONE"}));
}

TEST(DeleteCommands, Express) {
  auto xdel = [](SwitchSet s, ArchiveKind k) {
    return [=] { return ExpressDelete(s, kPaths, k, k == ArchiveKind::Zip ? kZip : kArj, {"A.TXT"}); };
  };
  const Case cases[] = {
      {"engine", xdel(Sws({}), ArchiveKind::Zip), Z,
       R"(| -d| C:\DATA\A.ZIP| | -=| -+| --| -P| -bC:\QL\QL5TEMP\| @C:\QL\QL5TEMP\ql5files|-q)", false},
      {"dos with password", xdel(Sws({Sw::Password, Sw::StoreVolumeLabel}), ArchiveKind::Zip), R,
       R"(C:\QL\pkzip -d C:\DATA\A.ZIP  -= -+ -- -P -$ -bC:\QL\QL5TEMP\ -ssecret @C:\QL\QL5TEMP\ql5files)",
       false},
      {"arj", xdel(Sws({Sw::MultiVolume, Sw::KeepBackup}), ArchiveKind::Arj), R,
       R"(C:\QL\ARJ D C:\DATA\A.ARJ !C:\QL\QL5TEMP\ql5files -e1 -k -wC:\QL\QL5TEMP\)", false},
  };
  for (const Case& c : cases) Check(c);
  EXPECT_EQ(R"(C:\DATA)", xdel(Sws({}), ArchiveKind::Zip)().currentDir);
  EXPECT_TRUE(ExpressDelete(Sws({}), kPaths, ArchiveKind::Zip, kZip, {}).text.empty());
}

// The runner shows its window for exactly the operations that need it, and " -B" otherwise.
TEST(RunnerRules, ShowWindowAndQuietByOperation) {
  struct Rule {
    const char* name;
    std::function<Command(const SwitchSet&)> build;
  };
  const Rule rules[] = {
      {"add", [](const SwitchSet& s) { return AddDroppedFiles(s, kPaths, ArchiveKind::Zip, kZip, "C:\\"); }},
      {"freshen", [](const SwitchSet& s) {
         return FreshenOrUpdate(s, kPaths, ArchiveKind::Zip, kZip, false, false, false); }},
      {"extract", [](const SwitchSet& s) {
         return ExtractMembers(s, kPaths, ArchiveKind::Zip, kZip, false, {"A"}, "D:\\"); }},
      {"test", [](const SwitchSet& s) {
         return TestArchive(s, kPaths, ArchiveKind::Zip, kZip, TestFrom::WindowArchive); }},
      {"view", [](const SwitchSet& s) { return ViewMember(s, kPaths, ArchiveKind::Zip, kZip, false, "A"); }},
      {"delete", [](const SwitchSet& s) {
         return DeleteMembers(s, kPaths, ArchiveKind::Zip, kZip, false, {"A"}, 3); }},
  };
  // Expected: shown / quiet for (V, M, O) in the order below.
  struct Row {
    bool V, M, O;
    const char* shown;  // one letter per rule: add freshen extract test view delete
    const char* quiet;
  } rows[] = {
      {false, false, true, "...T..", "QQQQQQ"},
      {true, false, true, "TTTTTT", "......"},
      {false, true, true, "TTTT..", "......"},  // multi-volume: no engine, so no quiet
      {false, false, false, "..TT..", "Q...QQ"},
  };
  for (const Row& row : rows) {
    SwitchSet s = Sws({});
    s.viewArchiveProgress = row.V;
    SetOn(s, Sw::MultiVolume, row.M);
    SetOn(s, Sw::OverwriteExisting, row.O);
    for (size_t i = 0; i < sizeof rules / sizeof rules[0]; ++i) {
      SCOPED_TRACE(std::string(rules[i].name) + " V" + std::to_string(row.V) + " M" +
                   std::to_string(row.M) + " O" + std::to_string(row.O));
      Command cmd = rules[i].build(s);
      EXPECT_EQ(row.shown[i] == 'T', cmd.showWindow);
      bool quiet = cmd.text.find("|-q") != std::string::npos || cmd.text.find("| -q") != std::string::npos;
      EXPECT_EQ(row.quiet[i] == 'Q', quiet) << cmd.text;
    }
  }
}

TEST(RunnerRules, RunnerCommandAndWorkDirectory) {
  EXPECT_EQ(R"(C:\QL\QLKBDTRP.EXE C:\QL\QL5TEMP -B)",
            RunnerCommandLine(R"(C:\QL\QLKBDTRP.EXE)", R"(C:\QL\QL5TEMP\)", false, false));
  EXPECT_EQ(R"(C:\QL\QLKBDTRP.EXE C:\QL\QL5TEMP)",
            RunnerCommandLine(R"(C:\QL\QLKBDTRP.EXE)", R"(C:\QL\QL5TEMP)", true, false));
  EXPECT_EQ(R"(C:\QL\QLKBDTRP.EXE C:\QL\QL5TEMP -T -B)",
            RunnerCommandLine(R"(C:\QL\QLKBDTRP.EXE)", R"(C:\QL\QL5TEMP)", false, true));
  EXPECT_EQ(R"(C:\QL\QLKBDTRP.EXE C:\QL\QL5TEMP -V)",
            VirusRunnerCommandLine(R"(C:\QL\QLKBDTRP.EXE)", R"(C:\QL\QL5TEMP\)"));
  EXPECT_EQ(R"("C:\Program Files\QL\QLKBDTRP.EXE" "C:\Program Files\QL\QL5TEMP" -V)",
            VirusRunnerCommandLine(R"(C:\Program Files\QL\QLKBDTRP.EXE)", R"(C:\Program Files\QL\QL5TEMP)"));
  EXPECT_EQ(CmndargsPath(R"(C:\QL\QL5TEMP\)"), CmndargsPath(R"(C:\QL\QL5TEMP)"));
  EXPECT_EQ(R"(C:\QL\QL5TEMP\cmndargs)", CmndargsPath(R"(C:\QL\QL5TEMP)"));
  EXPECT_EQ(R"(C:\QL\QL5TEMP\ql5files)", ListFilePath(R"(C:\QL\QL5TEMP\)"));
  EXPECT_EQ(R"(C:\QL\pkzip)", ProgramFile(R"(C:\QL)", "pkzip"));
  std::string deep = "C:\\" + std::string(244, 'd');  // 247 characters: 247 + 13 reaches 260
  EXPECT_EQ(deep + "\\?", ProgramFile(deep, "pkzip"));
  EXPECT_EQ(deep.substr(0, 246) + "\\pkzip", ProgramFile(deep.substr(0, 246), "pkzip"));
}

TEST(Quoting, ArgumentRules) {
  EXPECT_EQ("plain", QuoteArg("plain"));
  EXPECT_EQ("\"\"", QuoteArg(""));
  EXPECT_EQ(R"("a b")", QuoteArg("a b"));
  EXPECT_EQ(R"("C:\a b\\")", QuoteArg(R"(C:\a b\)"));
  EXPECT_EQ(R"("say \"hi\"")", QuoteArg(R"(say "hi")"));
  for (const char* s : {"a b", R"(C:\a b\)", R"(x\"y)", R"(\\srv\share dir\\)", "tab\there", ""})
    EXPECT_EQ(std::vector<std::string>{s}, SplitArgs(QuoteArg(s))) << s;
}

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  for (const std::string& x : v)
    if (x == s) return true;
  return false;
}

// Names with blanks reach the archivers as single arguments; the engines get them unquoted
// between the "|" separators.
TEST(Quoting, NamesWithBlanksReachTheArchiversIntact) {
  const EnginePaths p{R"(C:\Program Files\QL)", R"(C:\Program Files\QL\QL5TEMP)"};
  const std::string zip = R"(D:\My Data\Old Mail.zip)";
  const std::string arj = R"(D:\My Data\Old Mail.arj)";
  const std::string work = R"(C:\Program Files\QL\QL5TEMP\)";
  SwitchSet dos = Sws({Sw::UsePkzip, Sw::Password});
  dos.archivePassword = "two words";

  std::vector<std::string> a = SplitArgs(AddDroppedFiles(dos, p, ArchiveKind::Zip, zip, "C:\\").text);
  EXPECT_EQ(R"(C:\Program Files\QL\pkzip)", a[0]);
  EXPECT_TRUE(Contains(a, zip));
  EXPECT_TRUE(Contains(a, "-b" + work));
  EXPECT_TRUE(Contains(a, "-stwo words"));
  EXPECT_TRUE(Contains(a, "@" + work + "ql5files"));

  a = SplitArgs(ViewMember(dos, p, ArchiveKind::Zip, zip, false, "Read Me.txt").text);
  EXPECT_TRUE(Contains(a, "Read Me.txt"));
  EXPECT_EQ(work, a.back());

  a = SplitArgs(ExpressExtract(dos, p, ArchiveKind::Arj, arj, nullptr, R"(E:\New Dir)").text);
  EXPECT_EQ(R"(C:\Program Files\QL\ARJ)", a[0]);
  EXPECT_TRUE(Contains(a, arj));
  EXPECT_TRUE(Contains(a, "!" + work + "ql5files"));
  EXPECT_TRUE(Contains(a, R"(E:\New Dir\)"));
  EXPECT_TRUE(Contains(a, "-w" + work));

  a = SplitArgs(ExtractMembers(Sws({}), p, ArchiveKind::Arj, arj, false, {"x"}, "E:\\").text);
  EXPECT_TRUE(Contains(a, arj));

  Command engine = ExtractMembers(Sws({}), p, ArchiveKind::Zip, zip, false, {"x"}, "E:\\");
  EXPECT_EQ(zip + "| -o| -+| --| @" + work + "ql5files|-q", engine.text);

  EXPECT_EQ(R"(C:\Program~1\QLKBDTRP.EXE "C:\Program Files\QL\QL5TEMP" -B)",
            RunnerCommandLine(R"(C:\Program~1\QLKBDTRP.EXE)", work, false, false));
}

// Selections and list files have no size limit: every name is written.
TEST(ListFiles, AnyNumberOfNames) {
  std::vector<std::string> lines;
  for (int i = 0; i < 5000; ++i) lines.push_back("FILE" + std::to_string(i) + ".TXT\tx\t1");
  Command cmd = DropExtract(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, lines, true, "E:\\");
  size_t crlf = 0;
  for (size_t pos = 0; (pos = cmd.listFile.find("\r\n", pos)) != std::string::npos; pos += 2) ++crlf;
  EXPECT_EQ(5000u, crlf);
  EXPECT_NE(std::string::npos, cmd.listFile.find("FILE4999.TXT\r\n"));

  DropSource placed;
  placed.listBox = false;
  for (int i = 0; i < 3000; ++i) placed.placedList += "C:\\SOME\\WHERE\\NAME" + std::to_string(i) + ".DAT\r\n";
  ASSERT_GT(placed.placedList.size(), 24576u);
  Command add = DropAdd(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, false, placed);
  EXPECT_NE(std::string::npos, add.listFile.find("C:\\QL\\QL5TEMP\\NAME2999.DAT\r\n"));
}

TEST(NewArchive, TargetPath) {
  auto full = [](const std::string& d) { return d == "DOCS" ? std::string(R"(C:\HOME\DOCS)") : std::string(); };
  struct NCase {
    const char* dir;
    const char* file;
    ArchiveKind kind;
    const char* directory;
    const char* path;
  } cases[] = {
      {R"(D:\OUT)", "REPORT", ArchiveKind::Zip, R"(D:\OUT)", R"(D:\OUT\REPORT.Zip)"},
      {R"(D:\OUT\)", "REPORT", ArchiveKind::Arj, R"(D:\OUT)", R"(D:\OUT\REPORT.Arj)"},
      {R"(D:\OUT)", "REPORT.OLD", ArchiveKind::Zip, R"(D:\OUT)", R"(D:\OUT\REPORT.OLD)"},
      {R"(.\SUB)", "A", ArchiveKind::Zip, R"(C:\HOME\SUB)", R"(C:\HOME\SUB\A.Zip)"},
      {".", "A", ArchiveKind::Zip, R"(C:\HOME)", R"(C:\HOME\A.Zip)"},
      {"..", "A", ArchiveKind::Zip, R"(C:\)", R"(C:\A.Zip)"},
      {R"(..\UP)", "A", ArchiveKind::Zip, R"(C:\UP)", R"(C:\UP\A.Zip)"},
      {"DOCS", "A", ArchiveKind::Zip, R"(C:\HOME\DOCS)", R"(C:\HOME\DOCS\A.Zip)"},
      {"NEWDIR", "A", ArchiveKind::Zip, R"(C:\HOME\NEWDIR)", R"(C:\HOME\NEWDIR\A.Zip)"},
      {R"(\TOP)", "A", ArchiveKind::Zip, R"(C:\TOP)", R"(C:\TOP\A.Zip)"},
      {"D:", "A", ArchiveKind::Zip, "D:", R"(D:\A.Zip)"},
      // Two dots inside a name or a path are not the parent: only a leading "." or ".." is.
      {"MY..DIR", "A", ArchiveKind::Zip, R"(C:\HOME\MY..DIR)", R"(C:\HOME\MY..DIR\A.Zip)"},
      {R"(D:\A\..\B)", "A", ArchiveKind::Zip, R"(D:\A\..\B)", R"(D:\A\..\B\A.Zip)"},
  };
  for (const NCase& c : cases) {
    NewArchiveTarget t = ResolveNewArchive(c.dir, c.file, c.kind, R"(C:\HOME)", full);
    EXPECT_EQ(c.directory, t.directory) << c.dir;
    EXPECT_EQ(c.path, t.path) << c.dir;
  }
}

// The directory the "New Files" list keeps: the resolved one as the archive's path uses it.
TEST(NewArchive, DirectoryAsThePathUsesIt) {
  struct DCase {
    const char* resolved;
    const char* kept;
  } cases[] = {
      {R"(D:\OUT)", R"(D:\OUT)"}, {R"(C:\HOME\NEW\)", R"(C:\HOME\NEW)"}, {R"(C:\)", R"(C:\)"},
      {"D:", R"(D:\)"},           {R"(C:\A\\)", R"(C:\A)"},               {R"(\\SERVER\SHARE)", R"(\\SERVER\SHARE)"},
  };
  for (const DCase& c : cases) EXPECT_EQ(c.kept, NewArchiveDirectory(c.resolved)) << c.resolved;
  auto none = [](const std::string&) { return std::string(); };
  for (const char* typed : {"D:", R"(D:\)", R"(D:\OUT\)", R"(.\SUB)", "NEWDIR", R"(NEWDIR\\)"}) {
    NewArchiveTarget t = ResolveNewArchive(typed, "A", ArchiveKind::Zip, R"(C:\HOME)", none);
    std::string kept = NewArchiveDirectory(t.directory);
    EXPECT_EQ((kept.back() == '\\' ? kept : kept + "\\") + "A.Zip", t.path) << typed;
  }
}

TEST(ArchiveNames, KindFromName) {
  ArchiveKind k;
  EXPECT_TRUE(ArchiveKindFromName(R"(C:\A.zip)", false, &k));
  EXPECT_EQ(ArchiveKind::Zip, k);
  EXPECT_TRUE(ArchiveKindFromName(R"(C:\A.ARJ)", false, &k));
  EXPECT_EQ(ArchiveKind::Arj, k);
  EXPECT_FALSE(ArchiveKindFromName(R"(C:\A.EXE)", false, &k));
  EXPECT_TRUE(ArchiveKindFromName(R"(C:\A.EXE)", true, &k));
  EXPECT_EQ(ArchiveKind::Zip, k);
  EXPECT_FALSE(ArchiveKindFromName(R"(C:\A.LZH)", true, &k));
}

TEST(ListFiles, NamesFromDirectoryLines) {
  EXPECT_EQ((std::vector<std::string>{R"(C:\S\A.TXT)", R"(C:\S\DOCS\*.*)", R"(C:\S\[draft].txt)"}),
            AddNamesFromLines({"A.TXT", "[DOCS]", "[..]", "[-c-]", ">x", "", "[draft].txt"}, R"(C:\S)"));
  EXPECT_EQ("A\r\nB C\r\n", ListFileContent({"A", "B C"}));
}

TEST(FreshenSpace, RefusedWhenEitherDriveLacksSpaceExceptOnFloppies) {
  struct SpaceCase {
    unsigned long long needed, archiveFree, workFree;
    char drive;
    bool refused;
  } cases[] = {
      {100, 100, 100, 'C', false}, {101, 100, 1000, 'C', true}, {101, 1000, 100, 'D', true},
      {101, 0, 0, 'A', false},     {101, 0, 0, 'b', false},     {5000000000ULL, 6000000000ULL, 6000000000ULL, 'C', false},
  };
  for (const SpaceCase& c : cases)
    EXPECT_EQ(c.refused, FreshenLacksSpace(c.needed, c.archiveFree, c.workFree, c.drive)) << c.needed << c.drive;
}

// A member name holding a line break must not add a name of its own to the list file: deleting
// "A.TXT\r\n*.*" would otherwise delete every member behind the refusal of deleting all.
TEST(ListFiles, NamesWithLineBreaksNeverSmuggleASecondName) {
  std::vector<std::string> lines = {"A.TXT\r\n*.*\tx\t1", "B.TXT\tB.TXT\t1", "C\nD\tx\t1"};
  Command del = DeleteMembers(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, lines, 10);
  EXPECT_EQ("B.TXT\r\n", del.listFile);
  Command all = DeleteMembers(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, lines, 1);
  EXPECT_EQ(kMsgDeleteAll, all.message) << "one listable name of one entry: every member";
  Command x = DropExtract(Sws({}), kPaths, ArchiveKind::Arj, kArj, false, lines, true, "E:\\");
  EXPECT_EQ("B.TXT\r\n", x.listFile);
  EXPECT_EQ("B\r\n", ListFileContent({"", "B", std::string("N\0UL", 4)}));
}

// A member whose line shows a look-alike ("?.txt" for "π.txt") is handed on by the reference to
// its real name, never by the name shown (a wildcard that would also take "p.txt"); the
// confirmation shows what the line shows.
TEST(ListFiles, MembersShownAsLookAlikesGoByTheirReference) {
  std::vector<std::string> lines = {"?.txt\t?.txt\t4\t4\t00%\t03-01-26\t12:00p\t:CF802E747874",
                                    "p.txt\tp.txt\t9\t9\t00%\t03-01-26\t12:00p"};
  Command del = DeleteMembers(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, lines, 10);
  EXPECT_EQ(":CF802E747874\r\np.txt\r\n", del.listFile);
  EXPECT_EQ("?.txt p.txt ", DeleteConfirmNames(lines));
  Command x = DropExtract(Sws({}), kPaths, ArchiveKind::Zip, kZip, false, lines, true, "E:\\");
  EXPECT_EQ(":CF802E747874\r\np.txt\r\n", x.listFile);
}

}  // namespace
}  // namespace ql
