// Recent-entry lists of the settings file: keys "<stem>1" (the newest) to "<stem><length>" of one
// section. The rules of saving an entry and of choosing the entry a combo box shows; reading and
// writing the file is left to the caller.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// "New" and 3 give "New3".
std::string RecentKey(std::string_view stem, size_t n);

// Given the current values (index 0 = key 1; an empty text = no value), the values after `value`
// was saved: each key n takes the value of key n-1 when that one has a value (keeping its own
// otherwise), key 1 takes `value`; the oldest falls off, duplicates stay.
std::vector<std::string> SaveRecentValues(const std::vector<std::string>& current, std::string_view value,
                                          size_t length);

// Whether a path lies on a floppy drive (A: or B:), which is never made current on its own.
bool OnFloppyDrive(std::string_view path);

// The entry a combo box filled from a list shows: the first of keys 1 to `length` whose value
// does not lie on a floppy drive, else key 1. `remembered` is set when that key has no value: the
// combo box then shows the text it had before (added to its items).
struct RecentChoice {
  size_t index = 0;  // 0 = key 1
  bool remembered = false;
};
RecentChoice ChooseRecentEntry(const std::vector<std::string>& values, size_t length);

}  // namespace ql
