// Checks the files of a built program directory natively, without running them: what each program
// was built for, the self-extractor stubs' limits, and that our self-extractors are recognised
// behind the stubs the linker really produced. It lets a machine that cannot run 32-bit code still
// catch a fault that shows only in the i686 files we ship.
//
//   program_dir_check DIR ARCH [--shipped]
//     ARCH is i686 or x86_64; --shipped: DIR is the whole program directory a user installs (every
//     program must be there, and the directory within its size ceiling), not just the stubs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archivers/arj/arj_format.h"
#include "archivers/zip/zipcore.h"
#include "archivers/zipsfx/sfx_image.h"
#include "common/pe_image.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string g_dir, g_arch;
bool g_shipped = false;

// A ceiling, not the goal: it catches a program left unstripped or a runtime pulled in by mistake.
// The size goals themselves are measured by bench/size.
constexpr uintmax_t kDirectoryCeiling = 3600000;
constexpr uintmax_t kArjSfxLimit = 65536;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Bytes ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> Programs() {
  std::vector<fs::path> found;
  for (const auto& e : fs::directory_iterator(g_dir)) {
    const std::string ext = Upper(e.path().extension().string());
    if (e.is_regular_file() && (ext == ".EXE" || ext == ".DLL")) found.push_back(e.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// A small archive of one deflated member, as pkzip would write it.
Bytes SmallZip() {
  const std::string data(3000, 'q');
  qlzip::Entry e;
  e.name = "inside.txt";
  qlzip::Encoded enc;
  qlzip::EncodeBuffer(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 6, "", e, enc);
  e.localOffset = 0;
  Bytes zip = qlzip::LocalHeader(e);
  zip.insert(zip.end(), enc.data.begin(), enc.data.end());
  const Bytes cd = qlzip::CentralHeader(e);
  const size_t cdAt = zip.size();
  zip.insert(zip.end(), cd.begin(), cd.end());
  const Bytes end = qlzip::EndRecord(1, cd.size(), cdAt, "");
  zip.insert(zip.end(), end.begin(), end.end());
  return zip;
}

TEST(ProgramDirectory, EveryProgramIsBuiltForItsArchitecture) {
  const std::vector<fs::path> programs = Programs();
  ASSERT_FALSE(programs.empty()) << "no programs in " << g_dir;
  const uint16_t machine = g_arch == "i686" ? 0x14C : 0x8664;
  for (const fs::path& p : programs) {
    const Bytes head = ReadFile(p);
    ql::PeKind kind{};
    ASSERT_TRUE(ql::ReadPeKind(head.data(), head.size(), &kind)) << p << " is not a Windows program";
    EXPECT_EQ(machine, kind.machine) << p;
    EXPECT_EQ(g_arch == "i686", kind.pe32) << p << (kind.pe32 ? " is PE32" : " is PE32+");
  }
  if (!g_shipped) return;
  for (const char* name : {"quillon.exe", "qlkbdtrp.exe", "pkzip.exe", "pkunzip.exe", "QL53NTI1.DLL", "QL53NTI2.DLL",
                           "ARJ.EXE", "ARJSFX.EXE", "ZIP2EXE.EXE", "ZIPSFX.EXE", "PKZIPFIX.EXE", "QLLZH.EXE",
                           "QLARC.EXE", "QL53FM.DLL", "QL5DINTL.DLL", "QL53.HLP"})
    EXPECT_TRUE(fs::exists(fs::path(g_dir) / name)) << name << " is missing from " << g_dir;
}

TEST(ProgramDirectory, StubsAreWithinTheirLimits) {
  const Bytes zipsfx = ReadFile(fs::path(g_dir) / "ZIPSFX.EXE");
  ASSERT_FALSE(zipsfx.empty());
  EXPECT_EQ("", qlsfx::StubProblem(zipsfx.data(), zipsfx.size())) << "ZIPSFX.EXE";
  const uintmax_t arjsfx = fs::file_size(fs::path(g_dir) / "ARJSFX.EXE");
  EXPECT_LE(arjsfx, kArjSfxLimit) << "ARJSFX.EXE";
}

TEST(ProgramDirectory, SelfExtractorsAreRecognisedBehindTheRealStubs) {
  const Bytes stub = ReadFile(fs::path(g_dir) / "ZIPSFX.EXE");
  ASSERT_FALSE(stub.empty());
  std::printf("ZIPSFX.EXE: %zu bytes, sections end at %llu\n", stub.size(),
              static_cast<unsigned long long>(ql::PeImageEnd(stub.data(), stub.size())));
  const Bytes zip = SmallZip();
  qlzip::MemorySource src(zip.data(), zip.size());
  Bytes made;
  std::string error;
  ASSERT_TRUE(qlsfx::MakeSelfExtractor(stub, src, "FOO.ZIP", [&made](const uint8_t* p, size_t n) {
    made.insert(made.end(), p, p + n);
    return true;
  }, &error)) << error;
  EXPECT_EQ(stub.size(), qlsfx::SfxTagAt(made.data(), made.size())) << "the tag ZIP2EXE wrote behind ZIPSFX.EXE";
  EXPECT_TRUE(qlsfx::IsSelfExtractorOf(made.data(), made.size(), "FOO.ZIP"));
  EXPECT_FALSE(qlsfx::IsSelfExtractorOf(made.data(), made.size(), "BAR.ZIP"));
  EXPECT_FALSE(qlsfx::IsSelfExtractorOf(stub.data(), stub.size(), "FOO.ZIP")) << "the bare stub";

  const Bytes arjStub = ReadFile(fs::path(g_dir) / "ARJSFX.EXE");
  ASSERT_FALSE(arjStub.empty());
  std::printf("ARJSFX.EXE: %zu bytes, sections end at %llu\n", arjStub.size(),
              static_cast<unsigned long long>(ql::PeImageEnd(arjStub.data(), arjStub.size())));
  arj::Header main;
  main.file_type = arj::kMainHeader;
  main.name = "FOO.ARJ";
  Bytes sfx = arjStub;
  ASSERT_TRUE(arj::WriteHeader(main, &sfx));
  arj::WriteEndMarker(&sfx);
  uint64_t at = 0;
  std::string name;
  ASSERT_TRUE(arj::FindAppendedArchive(sfx.data(), sfx.size(), &at, &name)) << "behind ARJSFX.EXE";
  EXPECT_EQ(arjStub.size(), at);
  EXPECT_EQ("FOO.ARJ", name);
  EXPECT_FALSE(arj::FindAppendedArchive(arjStub.data(), arjStub.size(), &at, &name)) << "the bare stub";
}

TEST(ProgramDirectory, WithinItsSizeCeiling) {
  if (!g_shipped) GTEST_SKIP() << "only the stubs were built here";
  uintmax_t total = 0;
  for (const auto& e : fs::recursive_directory_iterator(g_dir))
    if (e.is_regular_file()) total += e.file_size();
  std::printf("%s: %ju bytes in all\n", g_dir.c_str(), total);
  EXPECT_LE(total, kDirectoryCeiling);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3 || (std::string(argv[2]) != "i686" && std::string(argv[2]) != "x86_64")) {
    std::fprintf(stderr, "usage: program_dir_check DIR i686|x86_64 [--shipped]\n");
    return 2;
  }
  g_dir = argv[1];
  g_arch = argv[2];
  g_shipped = argc > 3 && std::string(argv[3]) == "--shipped";
  return RUN_ALL_TESTS();
}
