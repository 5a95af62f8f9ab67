#include "common/console_output.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace ql {

namespace {

constexpr size_t kBufferSize = 1 << 16;
char* g_buffer = nullptr;
std::time_t g_lastShown = 0;

}  // namespace

void BufferConsoleOutput() {
  // Taken from the heap: MinGW places a zero-filled array of static storage among initialised data,
  // where it would add its 64 KB to every program's file.
  if (!g_buffer) g_buffer = static_cast<char*>(std::malloc(kBufferSize));
  if (g_buffer) std::setvbuf(stdout, g_buffer, _IOFBF, kBufferSize);
  g_lastShown = std::time(nullptr);
}

void ShowConsoleOutputNowAndThen() {
  std::time_t now = std::time(nullptr);
  if (now == g_lastShown) return;
  g_lastShown = now;
  std::fflush(stdout);
}

}  // namespace ql
