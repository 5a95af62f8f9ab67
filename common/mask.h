// DOS wildcard matching of file names against masks such as "*.ZIP", "REPORT?.*" or "SUB\*.TXT".
#pragma once
#include <string_view>

namespace ql {

// Name and mask are split into drive (up to ':'), directory (up to the last '\' or '/'),
// base name (up to the last '.') and extension. A mask with a directory part needs the name's
// directory to be equal to it, ignoring case. An empty base name on either side never matches.
// In base names and extensions '*' matches the rest, '?' passes over one character (or none at
// the end), any other character must be equal ignoring case, and the name must be used up.
// "*.*" matches every name; "*" only names without an extension.
bool MatchFileMask(std::string_view name, std::string_view mask);

}  // namespace ql
