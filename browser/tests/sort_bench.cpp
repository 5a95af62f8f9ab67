// Times the directory lister's ordering of N file entries (natively): sorting is O(n log n).
// Usage: browser-sort-bench [N=50000]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "browser/dir_lines.h"

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 50000;
  std::mt19937 rng(1996);
  std::vector<ql::FoundEntry> entries(n);
  for (int i = 0; i < n; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "%c%07u Report.%s", 'A' + static_cast<int>(rng() % 26),
                  static_cast<unsigned>(rng() % 10000000), (i % 3) ? "txt" : "ZIP");
    entries[i].longName = name;
    entries[i].size = rng();
    entries[i].year = 1996;
    entries[i].month = 1 + i % 12;
    entries[i].day = 1 + i % 28;
    entries[i].hour = i % 24;
    entries[i].minute = i % 60;
    entries[i].directory = (i % 50) == 0;
  }
  auto t0 = std::chrono::steady_clock::now();
  ql::DirectoryLines lines;
  for (const auto& e : entries) lines.AddEntry(e);
  auto out = lines.Finish();
  auto t1 = std::chrono::steady_clock::now();
  std::printf("ordered %zu lines in %.3f s\n", out.size(), std::chrono::duration<double>(t1 - t0).count());
  return 0;
}
