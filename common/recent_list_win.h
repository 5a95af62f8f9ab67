// Recent-entry lists in a settings file (the rules are in recent_list.h): reading the values,
// saving an entry at the top, and filling a list box or combo box from a list.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// The values of keys "<stem>1" to "<stem><length>" (empty for a missing key).
std::vector<std::string> ReadRecentList(const std::string& iniPath, const char* section, const char* stem,
                                        size_t length);

// Saves `value` as the newest entry. Without `keepFile`, an existing file is stored as its
// directory (up to its last "\").
void SaveRecentList(const std::string& iniPath, const char* section, const char* stem, const std::string& value,
                    size_t length, bool keepFile);

// Fills a list box (LISTBOX or qllistbox) or a combo box with the values of every key of the
// section, in the file's order; a combo box then shows the newest entry off the floppy drives
// (or the text it had, when that key has no value). Other controls are left alone.
void RestoreRecentList(const std::string& iniPath, const char* section, const char* stem, HWND control,
                       size_t length);

}  // namespace ql
