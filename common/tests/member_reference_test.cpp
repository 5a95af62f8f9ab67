#include <gtest/gtest.h>

#include "common/member_reference.h"

namespace {

TEST(MemberReference, NamesTheNameExactlyAndNothingElse) {
  for (const char* name : {"日本語/ファイル.txt", "π.txt", "p.txt", "a b?.txt", "x"}) {
    std::string ref = ql::MemberReference(name), back;
    EXPECT_TRUE(ql::IsMemberReference(ref)) << ref;
    ASSERT_TRUE(ql::MemberReferenceName(ref, &back)) << ref;
    EXPECT_EQ(back, name);
    // Only the characters every code page holds alike, and no wildcard.
    EXPECT_EQ(ref.find_first_not_of(":0123456789ABCDEF"), std::string::npos) << ref;
  }
  EXPECT_EQ(ql::MemberReference("p"), ":70");
  // Names and malformed forms are not references.
  std::string out;
  for (const char* spec : {"p.txt", "C:\\x", ":", ":7", ":7G", ":707", ""})
    EXPECT_FALSE(ql::MemberReferenceName(spec, &out)) << spec;
  EXPECT_FALSE(ql::IsMemberReference("C:x.txt"));
}

}  // namespace
