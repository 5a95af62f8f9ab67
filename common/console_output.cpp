#include "common/console_output.h"

#include <cstdio>
#include <ctime>

namespace ql {

namespace {

char g_buffer[1 << 16];
std::time_t g_lastShown = 0;

}  // namespace

void BufferConsoleOutput() {
  std::setvbuf(stdout, g_buffer, _IOFBF, sizeof g_buffer);
  g_lastShown = std::time(nullptr);
}

void ShowConsoleOutputNowAndThen() {
  std::time_t now = std::time(nullptr);
  if (now == g_lastShown) return;
  g_lastShown = now;
  std::fflush(stdout);
}

}  // namespace ql
