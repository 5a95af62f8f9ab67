// Test-only encoders for the ZIP 1.x methods (shrink, reduce, implode) and a writer of archives
// holding such members. Our programs only read these methods; the tests need data to read, and
// Info-ZIP's zip cannot write them. Also used by the qlzip-oldmake fixture tool.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace oldzip {

struct ShrinkOptions {
  // Besides the partial clear when all 8192 codes are taken, clear after every this many codes
  // (0: never), so that small inputs reach the clearing too.
  int clearEvery = 0;
};
std::vector<uint8_t> Shrink(const std::string& data, const ShrinkOptions& options = {});

// factor 1-4 (methods 2-5). `maxFollowers` (1-32) caps the follower sets, to reach every index width.
std::vector<uint8_t> Reduce(const std::string& data, int factor, int maxFollowers = 32);

// bigDictionary: 8K sliding dictionary (flag bit 1), else 4K; literalTree: literals are
// Shannon-Fano coded (flag bit 2), else sent as plain bytes.
std::vector<uint8_t> Implode(const std::string& data, bool bigDictionary, bool literalTree);

// One member of a test archive and the way it is packed.
struct Member {
  std::string name;
  std::string data;
  uint16_t method = 1;   // 1 shrink, 2-5 reduce, 6 implode
  bool bigDictionary = false;
  bool literalTree = false;
  int maxFollowers = 32;
  int clearEvery = 0;
  std::string password;  // ZipCrypto when not empty
};

// The packed data and the general-purpose flags of a member.
std::vector<uint8_t> Pack(const Member& m, uint16_t& flags);

// A whole archive, as PKZIP 1.10 laid it out (version needed 10, DOS host).
std::string MakeZip(const std::vector<Member>& members);

// The members of the shared fixture: every method, both implode dictionaries with and without
// the literal tree, shrink with partial clears, texts and binary data.
std::vector<Member> FixtureMembers();

}  // namespace oldzip
