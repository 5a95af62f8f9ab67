// The arithmetic of the percentage gauge: its percentage, its text and how far its bar reaches.
#pragma once
#include <string>

namespace ql {

// position × 100 ÷ range, a range of 0 counting as 1. Computed wide, so that big positions do not
// wrap around into a small percentage.
unsigned GaugePercent(unsigned position, unsigned range);

// The gauge's own text for a percentage: "%3u%%" ("  7%", " 42%", "100%").
std::string GaugePercentText(unsigned percent);

// The right edge of the bar inside a gauge whose inner right edge is innerRight: innerRight ×
// position ÷ range, truncated, and never beyond innerRight nor left of innerLeft (a position past
// the range fills the gauge, it does not paint outside it).
int GaugeBarRight(int innerLeft, int innerRight, unsigned position, unsigned range);

}  // namespace ql
