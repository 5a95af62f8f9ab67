// The one check every extractor makes before it writes a member of an archive.
#pragma once
#include <string>

namespace ql {

// Checks a stored member name before it is joined to a target directory. On success `clean` is the
// relative path to create, '/' separated, without "." components or doubled separators. Refused,
// with the reason in `why`: empty names, control characters, absolute paths, UNC prefixes, drive
// letters and other colons (alternate streams), ".." components, components that are only dots or
// that end in a dot or blank (Windows would drop those and write elsewhere), wildcard and other
// characters not allowed in file names, and device names (CON, NUL, COM1, LPT9, ...).
bool SafeMemberPath(const std::string& stored, std::string& clean, std::string& why);

}  // namespace ql
