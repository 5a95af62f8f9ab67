// Test helpers: the host's own programs (Debian's unzip, zip and arj) run from a test under Wine
// on files of drive Z:.
#pragma once
#include "engine/tests/win_test_util.h"
#include "tests/support/win_test_support.h"

namespace ql {

using qltest::HostPath;
using qltest::RunHost;

}  // namespace ql
