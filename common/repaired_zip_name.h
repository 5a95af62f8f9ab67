// The names PKZIPFIX gives a repaired archive, in the order it tries them, so that Quillon can
// tell the user which one a repair took: PKFIXED.ZIP (0), then PKFIX001.ZIP ... PKFIX999.ZIP.
#pragma once
#include <cstdio>
#include <string>

namespace ql {

constexpr int kRepairedZipNames = 1000;

inline std::string RepairedZipName(int n) {
  if (n <= 0) return "PKFIXED.ZIP";
  char name[16];
  std::snprintf(name, sizeof name, "PKFIX%03d.ZIP", n % kRepairedZipNames);
  return name;
}

}  // namespace ql
