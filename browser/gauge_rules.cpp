#include "browser/gauge_rules.h"

#include <cstdint>
#include <cstdio>

namespace ql {

unsigned GaugePercent(unsigned position, unsigned range) {
  uint64_t r = range ? range : 1;
  uint64_t p = uint64_t{position} * 100 / r;
  return p > UINT32_MAX ? UINT32_MAX : static_cast<unsigned>(p);
}

std::string GaugePercentText(unsigned percent) {
  char text[16];
  std::snprintf(text, sizeof text, "%3u%%", percent);
  return text;
}

int GaugeBarRight(int innerLeft, int innerRight, unsigned position, unsigned range) {
  double r = range ? range : 1;
  double right = static_cast<double>(innerRight) * position / r;
  if (right > innerRight) return innerRight;
  int bar = static_cast<int>(right);
  return bar < innerLeft ? innerLeft : bar;
}

}  // namespace ql
