#include <windows.h>
#include <gtest/gtest.h>
#include "resources/ids.h"
TEST(Resources, MenusLoad) {
  EXPECT_NE(LoadMenuA(GetModuleHandleA(nullptr), IDR_MANAGER), nullptr);
}
