#include "express/express_rules.h"

#include <gtest/gtest.h>

namespace {

// Only C:\WORK\HAVE exists.
std::string FullName(const std::string& dir) {
  if (dir == "HAVE" || dir == "C:\\WORK\\HAVE" || dir == "c:\\work\\have") return "C:\\WORK\\HAVE";
  return "";
}

TEST(ExpressNewArchive, DirectoryTextAndNameGiveThePath) {
  struct Case {
    const char* dir;
    const char* name;
    bool arj;
    const char* directory;
    const char* path;
    bool valid;
  } cases[] = {
      {".\\out", "REPORT", true, "C:\\WORK\\out", "C:\\WORK\\out\\REPORT.ARJ", true},
      {".\\out\\", "REPORT", false, "C:\\WORK\\out", "C:\\WORK\\out\\REPORT.ZIP", true},
      {".", "R", false, "C:\\WORK", "C:\\WORK\\R.ZIP", true},
      {"..\\beside", "R.zip", true, "C:\\beside", "C:\\beside\\R.zip", true},
      {"..", "R", true, "C:\\", "C:\\R.ARJ", true},
      {"HAVE", "R", false, "C:\\WORK\\HAVE", "C:\\WORK\\HAVE\\R.ZIP", true},
      {"D:\\NEW", "R.ARJ", false, "D:\\NEW", "D:\\NEW\\R.ARJ", true},
      // Two dots inside a name or a path are not the parent of the current directory.
      {"my..dir", "R", false, "C:\\WORK\\my..dir", "C:\\WORK\\my..dir\\R.ZIP", true},
      {"C:\\a\\..\\b", "R", false, "C:\\a\\..\\b", "C:\\a\\..\\b\\R.ZIP", true},
      // Names of other archivers are refused.
      {"D:\\NEW", "R.LZH", false, "D:\\NEW", "D:\\NEW\\R.LZH", false},
      {"D:\\NEW", "R.", false, "D:\\NEW", "D:\\NEW\\R.", false},
  };
  for (const Case& c : cases) {
    ql::ExpressNewTarget t = ql::ResolveExpressNewArchive(c.dir, c.name, c.arj, "C:\\WORK", FullName);
    EXPECT_EQ(c.directory, t.directory) << c.dir;
    EXPECT_EQ(c.path, t.path) << c.dir << " " << c.name;
    EXPECT_EQ(c.valid, t.valid) << c.dir << " " << c.name;
  }
}

TEST(ExpressNewArchive, TrailingBackslashGoesExceptAtARoot) {
  EXPECT_EQ("C:\\OUT", ql::DirectoryTextWithoutSlash("C:\\OUT\\"));
  EXPECT_EQ("C:\\OUT", ql::DirectoryTextWithoutSlash("C:\\OUT\\\\"));
  EXPECT_EQ("C:\\", ql::DirectoryTextWithoutSlash("C:\\"));
  EXPECT_EQ("\\", ql::DirectoryTextWithoutSlash("\\"));
  EXPECT_EQ("", ql::DirectoryTextWithoutSlash(""));
}

TEST(ExpressLists, SelectMovesAndRemoveMovesBack) {
  std::vector<std::string> available{"[DOCS]", "A.TXT", "B.TXT", "C.TXT"};
  std::vector<std::string> selected;
  ql::MoveListEntries(available, selected, {1, 3}, true);
  EXPECT_EQ((std::vector<std::string>{"[DOCS]", "B.TXT"}), available);
  EXPECT_EQ((std::vector<std::string>{"A.TXT", "C.TXT"}), selected);
  ql::MoveListEntries(selected, available, {1}, true);
  EXPECT_EQ((std::vector<std::string>{"[DOCS]", "B.TXT", "C.TXT"}), available);
  EXPECT_EQ((std::vector<std::string>{"A.TXT"}), selected);
}

TEST(ExpressLists, SelectAllTwiceListsEachEntryOnce) {
  // The archive's list keeps its entries when everything is chosen.
  std::vector<std::string> archive{"ONE.TXT", "TWO.TXT", "three.txt"};
  std::vector<std::string> selected{"THREE.TXT"};
  std::vector<size_t> all{0, 1, 2};
  ql::MoveListEntries(archive, selected, all, false);
  ql::MoveListEntries(archive, selected, all, false);
  EXPECT_EQ((std::vector<std::string>{"THREE.TXT", "ONE.TXT", "TWO.TXT"}), selected);
  EXPECT_EQ(3u, archive.size());
  // Moving back an entry the list still holds does not double it.
  ql::MoveListEntries(selected, archive, {1}, true);
  EXPECT_EQ(3u, archive.size());
  EXPECT_EQ((std::vector<std::string>{"THREE.TXT", "TWO.TXT"}), selected);
}

TEST(ExpressLists, IndexesOutsideTheListAreIgnored) {
  std::vector<std::string> from{"A"}, to;
  ql::MoveListEntries(from, to, {0, 5}, true);
  EXPECT_TRUE(from.empty());
  EXPECT_EQ((std::vector<std::string>{"A"}), to);
}

}  // namespace
