// Interoperation with Info-ZIP: our pkzip's archives pass `unzip -t` and extract identically;
// archives Info-ZIP's zip writes are listed, tested and extracted correctly by our pkunzip.
#include <gtest/gtest.h>

#include "archivers/zip/tests/test_support.h"

using namespace ziptest;

namespace {

const std::string kBin = QL_NATIVE_BIN;

class Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    root = MakeTempDir();
    ASSERT_FALSE(root.empty());
    src = root + "/src";
    WriteFile(src + "/readme.txt", Sample(3000, 1));
    WriteFile(src + "/empty.txt", "");
    WriteFile(src + "/noise.bin", Random(100000, 2));
    WriteFile(src + "/docs/guide.txt", Sample(250000, 3));
    WriteFile(src + "/docs/deep/er/leaf.dat", Sample(777, 4) + Random(333, 5));
    WriteFile(src + "/docs/NOEXT", "no extension");
    WriteFile(src + "/docs/caf\xc3\xa9 \xc3\xbc" "ber.txt", "non-ASCII name");
    WriteFile(src + "/big/large.txt", Sample(9u << 20, 6));  // above the whole-file limit: streamed
  }
  void TearDown() override { Shell("rm -rf '" + root + "'"); }

  int Pkzip(const std::string& args, const std::string& dir) {
    return Shell("cd '" + dir + "' && '" + kBin + "/pkzip' " + args + " >>'" + root + "/log' 2>&1 </dev/null");
  }
  int Pkunzip(const std::string& args, const std::string& dir) {
    return Shell("cd '" + dir + "' && '" + kBin + "/pkunzip' " + args + " >>'" + root + "/log' 2>&1 </dev/null");
  }
  std::string Log() { return ReadFile(root + "/log"); }

  std::string root, src;
};

}  // namespace

TEST_F(Interop, OurArchivesPassInfoZipAndExtractIdentically) {
  struct Case {
    const char* name;
    const char* args;        // after the archive name
    const char* unzipFlags;  // for unzip -t / extraction
    bool withPaths;          // whole tree expected with paths
  } cases[] = {
      {"deflate_max", "-ex -rp '*.*'", "", true},
      {"normal", "-en -rp '*.*'", "", true},
      {"fast", "-ef -rp '*.*'", "", true},
      {"superfast", "-es -rp '*.*'", "", true},
      {"stored", "-e0 -rp '*.*'", "", true},
      {"scrambled", "-ex -rp -ss3cret '*.*'", "-P s3cret", true},
      {"scrambled_stored", "-e0 -rp -sp4ss '*.*'", "-P p4ss", true},
  };
  for (const auto& c : cases) {
    std::string zip = root + "/" + c.name + ".zip";
    ASSERT_EQ(Pkzip("-a '" + zip + "' " + c.args, src), 0) << c.name << Log();
    EXPECT_EQ(Shell(std::string("unzip -tq ") + c.unzipFlags + " '" + zip + "' >/dev/null"), 0) << c.name;
    std::string out = root + "/out_" + c.name;
    ASSERT_EQ(Shell(std::string("unzip -q ") + c.unzipFlags + " '" + zip + "' -d '" + out + "'"), 0) << c.name;
    EXPECT_TRUE(Tree(out) == Tree(src)) << c.name;
  }
}

TEST_F(Interop, PathStorageOptionsAndListFiles) {
  // -P stores the given path; without -p recursion flattens; a list names DIR\*.* with CR LF lines.
  WriteFile(root + "/list", "docs\\*.*\r\nreadme.txt\r\n");
  std::string z1 = root + "/given.zip", z2 = root + "/flat.zip", z3 = root + "/list.zip";
  ASSERT_EQ(Pkzip("-a -P '" + z1 + "' docs/deep/er/leaf.dat", src), 0) << Log();
  ASSERT_EQ(Pkzip("-a -r '" + z2 + "' 'docs/*.txt'", src), 0) << Log();
  ASSERT_EQ(Pkzip("-a -P '" + z3 + "' @'" + root + "/list'", src), 0) << Log();
  auto names = [&](const std::string& z) {
    Shell("unzip -Z1 '" + z + "' | sort > '" + root + "/names'");
    return ReadFile(root + "/names");
  };
  EXPECT_EQ(names(z1), "docs/deep/er/leaf.dat\n");
  const std::string cafe = "caf\xc3\xa9 \xc3\xbc" "ber.txt";
  EXPECT_EQ(names(z2), cafe + "\nguide.txt\n");
  EXPECT_EQ(names(z3), "docs/NOEXT\ndocs/" + cafe + "\ndocs/guide.txt\nreadme.txt\n");
  for (auto* z : {&z1, &z2, &z3}) EXPECT_EQ(Shell("unzip -tq '" + *z + "' >/dev/null"), 0);
}

TEST_F(Interop, UpdateFreshenDeleteMoveKeepArchivesValid) {
  std::string zip = root + "/a.zip";
  ASSERT_EQ(Pkzip("-a -rp -P '" + zip + "' 'docs/*.*'", src), 0) << Log();
  // Freshen replaces only older members; update also adds.
  WriteFile(src + "/docs/guide.txt", "changed guide");
  Shell("touch -d '2030-01-01 12:00' '" + src + "/docs/guide.txt'");
  WriteFile(src + "/docs/new.txt", "new file");
  ASSERT_EQ(Pkzip("-f -rp -P '" + zip + "' 'docs/*.*'", src), 0) << Log();
  EXPECT_EQ(Shell("unzip -p '" + zip + "' docs/guide.txt | grep -q 'changed guide'"), 0);
  EXPECT_NE(Shell("unzip -Z1 '" + zip + "' | grep -q new.txt"), 0);
  ASSERT_EQ(Pkzip("-u -rp -P '" + zip + "' 'docs/*.*'", src), 0) << Log();
  EXPECT_EQ(Shell("unzip -Z1 '" + zip + "' | grep -q docs/new.txt"), 0);
  // Freshen without names considers every member.
  WriteFile(src + "/docs/NOEXT", "newer text");
  Shell("touch -d '2031-01-01 12:00' '" + src + "/docs/NOEXT'");
  ASSERT_EQ(Pkzip("-f '" + zip + "'", src), 0) << Log();
  EXPECT_EQ(Shell("unzip -p '" + zip + "' docs/NOEXT | grep -q 'newer text'"), 0);
  // Nothing newer: nothing to do, archive untouched.
  std::string before = ReadFile(zip);
  EXPECT_EQ(Pkzip("-f '" + zip + "'", src), 12);
  EXPECT_TRUE(ReadFile(zip) == before);
  // Delete by a list of names.
  WriteFile(root + "/del", "docs\\new.txt\r\ndocs/NOEXT\r\n");
  ASSERT_EQ(Pkzip("-d '" + zip + "' @'" + root + "/del' -b'" + root + "/'", src), 0) << Log();
  Shell("unzip -Z1 '" + zip + "' | sort > '" + root + "/names'");
  EXPECT_EQ(ReadFile(root + "/names"), "docs/caf\xc3\xa9 \xc3\xbc" "ber.txt\ndocs/deep/er/leaf.dat\ndocs/guide.txt\n");
  EXPECT_EQ(Shell("unzip -tq '" + zip + "' >/dev/null"), 0);
  // Move: the sources go once the archive is written.
  ASSERT_EQ(Pkzip("-m '" + zip + "' readme.txt noise.bin", src), 0) << Log();
  EXPECT_FALSE(Exists(src + "/readme.txt"));
  EXPECT_FALSE(Exists(src + "/noise.bin"));
  EXPECT_EQ(Shell("unzip -tq '" + zip + "' >/dev/null"), 0);
  // -k keeps the archive's date.
  Shell("touch -d '2001-02-03 04:05' '" + zip + "'");
  std::string stamp = "stat -c %Y '" + zip + "' > '" + root + "/stamp'";
  Shell(stamp);
  std::string t0 = ReadFile(root + "/stamp");
  ASSERT_EQ(Pkzip("-a -k '" + zip + "' empty.txt", src), 0) << Log();
  Shell(stamp);
  EXPECT_EQ(ReadFile(root + "/stamp"), t0);
}

TEST_F(Interop, InfoZipArchivesListTestAndExtract) {
  struct Case {
    const char* name;
    const char* make;       // run in src; writes $Z
    const char* ourFlags;   // for pkunzip
  } cases[] = {
      {"stored", "zip -q -r -0 \"$Z\" .", ""},
      {"deflated", "zip -q -r -9 \"$Z\" .", ""},
      {"encrypted", "zip -q -r -P s3cret \"$Z\" .", "-ss3cret"},
      {"streamed", "zip -q -r - . > \"$Z\"", ""},
      {"zip64", "zip -q -r -fz \"$Z\" .", ""},
      {"streamed_encrypted", "zip -q -r -P pw - . > \"$Z\"", "-spw"},
      {"commented", "zip -q -r \"$Z\" . && printf 'title line\\n' | zip -q -z \"$Z\" && "
                    "printf 'about readme\\n' | zip -q -c \"$Z\" readme.txt", ""},
  };
  for (const auto& c : cases) {
    std::string zip = root + "/iz_" + c.name + ".zip";
    ASSERT_EQ(Shell("cd '" + src + "' && Z='" + zip + "' && " + c.make), 0) << c.name;
    EXPECT_EQ(Shell("cd '" + src + "' && '" + kBin + "/pkunzip' -v " + c.ourFlags + " '" + zip + "' > '" + root +
                    "/view'"),
              0)
        << c.name;
    std::string view = ReadFile(root + "/view");
    EXPECT_NE(view.find("docs/deep/er/leaf.dat"), std::string::npos) << c.name << view;
    EXPECT_EQ(Pkunzip(std::string("-t ") + c.ourFlags + " '" + zip + "'", src), 0) << c.name << Log();
    std::string out = root + "/out_" + c.name;
    EXPECT_EQ(Pkunzip(std::string("-d -o ") + c.ourFlags + " '" + zip + "' '" + out + "/'", src), 0)
        << c.name << Log();
    EXPECT_TRUE(Tree(out) == Tree(src)) << c.name;
  }
  std::string view = ReadFile(root + "/view");
  EXPECT_NE(view.find("title line"), std::string::npos);
}

TEST_F(Interop, PkunzipOptionsSelectAndOrder) {
  std::string zip = root + "/a.zip";
  ASSERT_EQ(Shell("cd '" + src + "' && zip -q -r '" + zip + "' ."), 0);
  std::string out = root + "/sel";
  // Without -d paths are dropped; names and wildcards select; -x excludes.
  ASSERT_EQ(Pkunzip("-o '" + zip + "' '*.txt' -xempty.txt '" + out + "/'", src), 0) << Log();
  auto t = Tree(out);
  EXPECT_EQ(t.size(), 4u);  // readme.txt, guide.txt, large.txt and the non-ASCII name
  EXPECT_TRUE(t.count("guide.txt") && t.count("readme.txt") && t.count("large.txt"));
  // A single member into a directory, as a viewer does.
  ASSERT_EQ(Pkunzip("'" + zip + "' docs/deep/er/leaf.dat -o '" + root + "/view/'", src), 0) << Log();
  EXPECT_EQ(ReadFile(root + "/view/leaf.dat"), ReadFile(src + "/docs/deep/er/leaf.dat"));
  // -n extracts only newer: an existing newer file stays.
  WriteFile(root + "/view/leaf.dat", "mine");
  Shell("touch -d '2035-01-01' '" + root + "/view/leaf.dat'");
  ASSERT_EQ(Pkunzip("-n '" + zip + "' docs/deep/er/leaf.dat '" + root + "/view/'", src), 0) << Log();
  EXPECT_EQ(ReadFile(root + "/view/leaf.dat"), "mine");
  // Without -o an existing file is not overwritten when nobody answers, and a warning says so.
  ASSERT_EQ(Pkunzip("'" + zip + "' docs/deep/er/leaf.dat '" + root + "/view/'", src), 1) << Log();
  EXPECT_NE(Log().find("not extracted"), std::string::npos) << Log();
  EXPECT_EQ(ReadFile(root + "/view/leaf.dat"), "mine");
  // Missing names and archives give PKUNZIP's codes.
  EXPECT_EQ(Pkunzip("'" + zip + "' nothing.here", src), 11);
  EXPECT_EQ(Pkunzip("'" + root + "/missing.zip'", src), 9);
  EXPECT_EQ(Pkunzip("-k '" + zip + "'", src), 10);
  // -es orders by size.
  Shell("rm -f '" + root + "/log'");
  ASSERT_EQ(Pkunzip("-t -es '" + zip + "'", src), 0);
  std::string log = Log();
  EXPECT_LT(log.find("empty.txt"), log.find("readme.txt"));
  EXPECT_LT(log.find("readme.txt"), log.find("large.txt"));
}

TEST_F(Interop, EntriesBeyondFourGigabytesUseZip64) {
  // A sparse 4.3 GB file is streamed with Zip64 sizes in its local header and central record;
  // Info-ZIP's unzip and our pkunzip must both accept the result.
  std::string big = root + "/z64";
  ASSERT_EQ(Shell("mkdir -p '" + big + "' && truncate -s 4300000000 '" + big + "/huge.bin' && echo tail > '" + big +
                  "/small.txt'"),
            0);
  std::string zip = root + "/z64.zip";
  ASSERT_EQ(Pkzip("-a -es '" + zip + "' huge.bin small.txt", big), 0) << Log();
  EXPECT_EQ(Shell("unzip -tq '" + zip + "' >/dev/null"), 0);
  EXPECT_EQ(Pkunzip("-t '" + zip + "'", big), 0) << Log();
  EXPECT_EQ(Shell("unzip -Z -v '" + zip + "' | grep -q 'uncompressed size: *4300000000 bytes'"), 0);
}
