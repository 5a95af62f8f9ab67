// Both ways with Debian's arj: what we write passes `arj t` and extracts identically with
// `arj x`; what arj writes is listed, tested and extracted identically by ours.
#include <gtest/gtest.h>

#include "archivers/arj/tests/test_util.h"

namespace arjtest {
namespace {

std::string Q(const std::string& s) { return "'" + s + "'"; }

RunResult Ours(const std::string& dir, const std::string& args, const std::string& in = "") {
  return Run(dir, Q(OurArj()) + " " + args, in);
}
RunResult Peer(const std::string& dir, const std::string& args) {
  return Run(dir, "arj " + args + " -y", "");
}

void MakeTree(const std::string& root) {
  WriteFile(root + "/readme.txt", TextData(60000, 21));
  WriteFile(root + "/noise.bin", RandomData(40000, 22));
  WriteFile(root + "/empty.dat", "");
  WriteFile(root + "/zeros.bin", std::string(200000, '\0'));
  WriteFile(root + "/sub/deeper/deep.txt", TextData(150000, 23));
  WriteFile(root + "/sub/note.txt", "note\n");
}

class ArjInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HavePeerArj()) GTEST_SKIP() << "Debian's arj is not installed";
    MakeTree(d_ / "src");
  }
  ScratchDir d_;
};

TEST_F(ArjInterop, OurArchivesPassArj) {
  struct Case {
    const char* name;
    const char* add;   // our switches
    const char* peer;  // switches arj needs to read it
  } cases[] = {
      {"m0", "-m0", ""},       {"m1", "-m1", ""},           {"m2", "-m2", ""},
      {"m3", "-m3", ""},       {"m4", "-m4", ""},           {"max", "-m1 -jm", ""},
      {"garbled", "-gsesame", "-gsesame"}, {"garbled4", "-m4 -gsesame", "-gsesame"},
  };
  for (const Case& c : cases) {
    std::string arc = d_ / (std::string(c.name) + ".arj");
    RunResult r = Ours(d_ / "src", std::string("a -r ") + c.add + " " + Q(arc));
    ASSERT_EQ(r.code, 0) << c.name << r.output;
    r = Peer(d_.path(), std::string("t ") + Q(arc) + " " + c.peer);
    EXPECT_EQ(r.code, 0) << c.name << r.output;
    std::string out = d_ / (std::string("out-") + c.name);
    MakeDirs(out);
    r = Peer(out, std::string("x ") + Q(arc) + " " + c.peer);
    EXPECT_EQ(r.code, 0) << c.name << r.output;
    EXPECT_EQ(CompareTrees(d_ / "src", out), "") << c.name;
  }
}

TEST_F(ArjInterop, OurCommentsDirectoriesAndVolumesPassArj) {
  WriteFile(d_ / "cmt", "Archive comment\nsecond line\n");
  ASSERT_EQ(Ours(d_ / "src", "a -r -a1 " + Q(d_ / "c.arj") + " -z" + Q(d_ / "cmt")).code, 0);
  WriteFile(d_ / "list", "readme.txt\r\n");
  ASSERT_EQ(Ours(d_.path(), "c c.arj -jz !list", "about the readme\n\n").code, 0);
  RunResult r = Peer(d_.path(), "v c.arj");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("Archive comment"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("about the readme"), std::string::npos) << r.output;
  EXPECT_EQ(Peer(d_.path(), "t c.arj").code, 0);
  MakeDirs(d_ / "oc");
  EXPECT_EQ(Peer(d_ / "oc", "x ../c.arj").code, 0);
  EXPECT_EQ(CompareTrees(d_ / "src", d_ / "oc"), "");
  // Volumes.
  ASSERT_EQ(Ours(d_ / "src", "a -r -v60k ../v.arj").code, 0);
  EXPECT_TRUE(Exists(d_ / "v.a01"));
  r = Peer(d_.path(), "t -v v.arj");
  EXPECT_EQ(r.code, 0) << r.output;
  MakeDirs(d_ / "ov");
  EXPECT_EQ(Peer(d_ / "ov", "x -v ../v.arj").code, 0);
  EXPECT_EQ(CompareTrees(d_ / "src", d_ / "ov"), "");
}

TEST_F(ArjInterop, ArjArchivesReadByOurs) {
  struct Case {
    const char* name;
    const char* add;   // arj's switches
    const char* ours;  // ours to read it
  } cases[] = {
      {"m0", "-m0", ""},
      {"m1", "-m1", ""},
      {"m2", "-m2", ""},
      {"m3", "-m3", ""},
      {"m4", "-m4", ""},
      {"max", "-jm", ""},
      {"garbled", "-gsesame", "-gsesame"},
      {"garbled4", "-m4 -gsesame", "-gsesame"},
      {"dirs", "-a1", ""},
      {"dos", "-2d", ""},
  };
  for (const Case& c : cases) {
    std::string arc = d_ / (std::string("p-") + c.name + ".arj");
    RunResult r = Peer(d_ / "src", std::string("a -r ") + c.add + " " + Q(arc));
    ASSERT_EQ(r.code, 0) << c.name << r.output;
    r = Ours(d_.path(), std::string("l ") + Q(arc));
    EXPECT_EQ(r.code, 0) << c.name << r.output;
    EXPECT_NE(r.output.find("sub/deeper/deep.txt"), std::string::npos) << c.name;
    r = Ours(d_.path(), std::string("t ") + Q(arc) + " " + c.ours);
    EXPECT_EQ(r.code, 0) << c.name << r.output;
    std::string out = d_ / (std::string("ours-") + c.name);
    r = Ours(d_.path(), std::string("x ") + Q(arc) + " " + Q(out + "/") + " " + c.ours);
    EXPECT_EQ(r.code, 0) << c.name << r.output;
    EXPECT_EQ(CompareTrees(d_ / "src", out), "") << c.name;
  }
  // A wrong password is a CRC error.
  EXPECT_EQ(Ours(d_.path(), "t p-garbled.arj -gwrong").code, 3);
}

TEST_F(ArjInterop, ArjCommentsVolumesAndSelfExtractorsReadByOurs) {
  WriteFile(d_ / "cmt", "Peer comment\n");
  ASSERT_EQ(Peer(d_ / "src", "a -r ../pc.arj -z../cmt").code, 0);
  RunResult r = Ours(d_.path(), "v pc.arj");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("Peer comment"), std::string::npos) << r.output;
  // Volumes, extracted through every part.
  ASSERT_EQ(Peer(d_ / "src", "a -r -v50k ../pv.arj").code, 0);
  EXPECT_TRUE(Exists(d_ / "pv.a01"));
  EXPECT_EQ(Ours(d_.path(), "t pv.arj").code, 0);
  r = Ours(d_.path(), "x pv.arj opv/");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(CompareTrees(d_ / "src", d_ / "opv"), "");
  // arj's self-extractor: the archive behind its stub.
  ASSERT_EQ(Peer(d_ / "src", "a -r -je ../sfx").code, 0);
  std::string sfx = Exists(d_ / "sfx.exe") ? "sfx.exe" : "sfx";
  EXPECT_EQ(Ours(d_.path(), "t " + sfx).code, 0);
  r = Ours(d_.path(), "x " + sfx + " osfx/");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(CompareTrees(d_ / "src", d_ / "osfx"), "");
}

TEST_F(ArjInterop, ChaptersAreReadAsPlainEntries) {
  WriteFile(d_ / "ch/f.txt", "version one");
  ASSERT_EQ(Peer(d_ / "ch", "ac ../ch.arj f.txt").code, 0);
  WriteFile(d_ / "ch/f.txt", "version two, longer");
  ASSERT_EQ(Peer(d_ / "ch", "ac ../ch.arj f.txt").code, 0);
  EXPECT_EQ(Ours(d_.path(), "t ch.arj").code, 0);
  EXPECT_EQ(Ours(d_.path(), "e ch.arj och/ -jyo").code, 0);
  EXPECT_EQ(ReadFile(d_ / "och/f.txt"), "version two, longer");
}

}  // namespace
// A member with 20 damaged bytes in the middle of its packed data, extracted with -jr: the data
// decoded before the damage is kept, as the message says, and it is what Debian's arj keeps too
// (which goes on decoding past the damage, so ours is the start of its file).
TEST_F(ArjInterop, RecoveryKeepsTheDataDecodedBeforeTheDamage) {
  WriteFile(d_ / "n/numbers.txt", TextData(23893, 31));
  ASSERT_EQ(Peer(d_ / "n", "a ../num.arj numbers.txt").code, 0);
  std::string arc = ReadFile(d_ / "num.arj");
  for (size_t i = 0; i < 20; ++i) arc[arc.size() / 2 + i] ^= 0x5A;
  WriteFile(d_ / "bad.arj", arc);
  RunResult r = Ours(d_.path(), "e bad.arj ours/ -jr");
  EXPECT_NE(r.output.find("Keeping the damaged data of"), std::string::npos) << r.output;
  Peer(d_.path(), "e bad.arj peer/ -jr");
  const std::string ours = ReadFile(d_ / "ours/numbers.txt"), peer = ReadFile(d_ / "peer/numbers.txt");
  const std::string original = ReadFile(d_ / "n/numbers.txt");
  EXPECT_GT(ours.size(), 1000u);
  ASSERT_LE(ours.size(), peer.size());
  EXPECT_TRUE(peer.compare(0, ours.size(), ours) == 0) << ours.size() << " of " << peer.size();
  EXPECT_TRUE(original.compare(0, 1000, ours, 0, 1000) == 0);
}

}  // namespace arjtest
