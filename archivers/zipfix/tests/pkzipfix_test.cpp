// The pkzipfix program on archives made by Info-ZIP's zip, judged by Info-ZIP's unzip -t.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "archivers/zip/zipcore.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary);
  f << data;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

int Shell(const std::string& cmd) {
  int r = std::system(cmd.c_str());
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

struct Outcome {
  int code;
  std::string output;
};

Outcome PkZipFix(const std::string& dir, const std::string& args) {
  const std::string out = dir + "/pkzipfix.out";
  Outcome r;
  r.code = Shell("cd '" + dir + "' && " QL_NATIVE_BIN "/pkzipfix " + args + " > '" + out + "' 2>&1");
  r.output = ReadAll(out);
  return r;
}

class PkZipFixTest : public ::testing::Test {
 protected:
  std::string dir;
  std::string zip;  // made by Info-ZIP: folders, stored, deflated and encrypted members
  void SetUp() override {
    if (!Exists("/usr/bin/zip") || !Exists("/usr/bin/unzip")) GTEST_SKIP() << "Info-ZIP is not installed";
    char tmpl[] = "/tmp/qlzipfixXXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    dir = tmpl;
    ASSERT_EQ(0, Shell("mkdir -p '" + dir + "/src/sub/deeper' '" + dir + "/out'"));
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of the text\n";
    WriteAll(dir + "/src/deflated.txt", text);
    WriteAll(dir + "/src/sub/stored.txt", "stored as it is, with nothing in it twice");
    WriteAll(dir + "/src/sub/deeper/deep.txt", text.substr(0, 5000));
    WriteAll(dir + "/src/secret.txt", text.substr(0, 3000));
    zip = dir + "/SAMPLE.ZIP";
    ASSERT_EQ(0, Shell("cd '" + dir + "/src' && zip -qr ../SAMPLE.ZIP deflated.txt sub && "
                       "zip -q0 ../SAMPLE.ZIP sub/stored.txt && zip -q -P s3cret ../SAMPLE.ZIP secret.txt"));
  }
  void TearDown() override {
    if (!dir.empty()) Shell("rm -rf '" + dir + "'");
  }
  // Keeps the first `n` bytes of the archive in `name`.
  std::string Cut(const std::string& name, size_t n) {
    std::string data = ReadAll(zip);
    WriteAll(dir + "/" + name, data.substr(0, n));
    return dir + "/" + name;
  }
  size_t CentralStart() {
    std::string data = ReadAll(zip);
    return data.find(std::string("PK\x01\x02", 4));
  }
};

TEST_F(PkZipFixTest, ArchiveCutInsideItsCentralDirectoryPassesUnzipAfterwards) {
  const std::string cut = Cut("CUT.ZIP", CentralStart() + 70);
  ASSERT_NE(0, Shell("unzip -tqq '" + cut + "' >/dev/null 2>&1")) << "the cut archive is unreadable before";
  const std::string before = ReadAll(cut);
  Outcome r = PkZipFix(dir, "CUT out");
  EXPECT_EQ(0, r.code) << r.output;
  EXPECT_EQ(before, ReadAll(cut)) << "the input is never changed";
  EXPECT_EQ(0, Shell("unzip -P s3cret -tqq '" + dir + "/out/PKFIXED.ZIP' >/dev/null")) << r.output;
  EXPECT_EQ(0, Shell("mkdir '" + dir + "/x' && cd '" + dir + "/x' && unzip -qq -P s3cret ../out/PKFIXED.ZIP && diff -r ../src ."));
}

TEST_F(PkZipFixTest, MemberWithABadCrcIsLeftOutAndReported) {
  std::string data = ReadAll(zip);
  const std::string stored = "stored as it is";
  size_t at = data.find(stored);
  ASSERT_NE(std::string::npos, at);
  data[at] = 'S';
  WriteAll(dir + "/BAD.ZIP", data);
  Outcome r = PkZipFix(dir, "BAD.ZIP " + dir + "/out/");
  EXPECT_EQ(1, r.code) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("Left out: sub/stored.txt")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("CRC error")) << r.output;
  const std::string fixed = dir + "/out/PKFIXED.ZIP";
  EXPECT_EQ(0, Shell("unzip -P s3cret -tqq '" + fixed + "' >/dev/null"));
  EXPECT_NE(0, Shell("unzip -l '" + fixed + "' | grep -q stored.txt"));
  EXPECT_EQ(0, Shell("unzip -l '" + fixed + "' | grep -q deep.txt"));
}

TEST_F(PkZipFixTest, SecondArgumentNamingAFileMeansItsDirectory) {
  Cut("sub.zip", CentralStart() + 10);
  Outcome r = PkZipFix(dir, "sub.zip " + dir + "/SAMPLE.ZIP");  // Express mode passes the path twice
  EXPECT_EQ(0, r.code) << r.output;
  EXPECT_TRUE(Exists(dir + "/PKFIXED.ZIP"));
}

TEST_F(PkZipFixTest, RefusalsWriteNothing) {
  struct Case {
    const char* args;
    int code;
  } cases[] = {
      {"", 10},
      {"MISSING.ZIP out", 3},
      {"SAMPLE.ZIP nowhere", 10},
      {"out/PKFIXED.ZIP out", 2},  // goes beside its input, but a 200-byte cut holds no member
  };
  Cut("out/PKFIXED.ZIP", 200);
  const std::string before = ReadAll(dir + "/out/PKFIXED.ZIP");
  for (const Case& c : cases) {
    Outcome r = PkZipFix(dir, c.args);
    EXPECT_EQ(c.code, r.code) << c.args << "\n" << r.output;
  }
  EXPECT_EQ(before, ReadAll(dir + "/out/PKFIXED.ZIP"));
  EXPECT_EQ(0, Shell("ls '" + dir + "/out' | grep -qv PKFIXED.ZIP; test $? = 1")) << "no temporary files left";
}

// A second repair in the same place keeps the first: it takes the next free name and says so.
TEST_F(PkZipFixTest, AnEarlierRepairIsNeverWrittenOver) {
  Cut("CUT.ZIP", CentralStart() + 70);
  ASSERT_EQ(0, PkZipFix(dir, "CUT.ZIP out").code);
  const std::string first = ReadAll(dir + "/out/PKFIXED.ZIP");
  ASSERT_FALSE(first.empty());
  Cut("OTHER.ZIP", CentralStart() + 10);
  Outcome r = PkZipFix(dir, "OTHER.ZIP out");
  EXPECT_EQ(0, r.code) << r.output;
  EXPECT_EQ(first, ReadAll(dir + "/out/PKFIXED.ZIP")) << "the first repair is kept";
  EXPECT_EQ(0, Shell("unzip -P s3cret -tqq '" + dir + "/out/PKFIX001.ZIP' >/dev/null")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("recovered into out/PKFIX001.ZIP")) << r.output;
  // A repair of the first repair, in its own place, goes beside it too.
  r = PkZipFix(dir, "out/PKFIXED.ZIP out");
  EXPECT_EQ(0, r.code) << r.output;
  EXPECT_EQ(first, ReadAll(dir + "/out/PKFIXED.ZIP"));
  EXPECT_TRUE(Exists(dir + "/out/PKFIX002.ZIP"));
}

TEST_F(PkZipFixTest, GarbageRecoversNothingAndWritesNothing) {
  WriteAll(dir + "/JUNK.ZIP", std::string(5000, 'j'));
  Outcome r = PkZipFix(dir, "JUNK out");
  EXPECT_EQ(2, r.code) << r.output;
  EXPECT_FALSE(Exists(dir + "/out/PKFIXED.ZIP"));
}

}  // namespace
