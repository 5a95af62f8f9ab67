// What the runner's cmndexit file may hold, as Quillon reads it.
#include <gtest/gtest.h>

#include "engine/commands.h"

namespace ql {
namespace {

TEST(RunnerExitCode, ParsesDecimalAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool ok;
    unsigned long code;
  } cases[] = {
      {"0\r\n", true, 0},
      {"3\r\n", true, 3},
      {"3221225477\r\n", true, 3221225477ul},  // a crash code, unsigned
      {"4294967295\r\n", true, 4294967295ul},
      {"12", true, 12},                          // the line end cut off
      {"4294967296\r\n", false, 0},              // more than 32 bits
      {"99999999999999999999\r\n", false, 0},
      {"", false, 0},
      {"\r\n", false, 0},
      {"-1\r\n", false, 0},
      {" 1\r\n", false, 0},
      {"1 2\r\n", false, 0},
      {"7\r\ngarbage", false, 0},
  };
  for (const Case& c : cases) {
    unsigned long code = 12345;
    EXPECT_EQ(c.ok, ParseRunnerExitCode(c.text, &code)) << c.text;
    if (c.ok) {
      EXPECT_EQ(c.code, code) << c.text;
    }
  }
}

TEST(RunnerExitCode, FileBesideCmndargs) {
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndexit", CmndexitPath("C:\\Q\\QL5TEMP"));
  EXPECT_EQ("C:\\Q\\QL5TEMP\\cmndexit", CmndexitPath("C:\\Q\\QL5TEMP\\"));
}

}  // namespace
}  // namespace ql
