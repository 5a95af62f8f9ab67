// The one check every extractor makes before it writes a member of an archive.
#pragma once
#include <cstddef>
#include <string>

namespace ql {

// Checks a stored member name of `size` bytes before it is joined to a target directory. On
// success `clean` holds the relative path to create, '/' separated, without "." components or
// doubled separators, zero-terminated. Refused, with the reason in `why`: empty names, control
// characters, absolute paths, UNC prefixes, drive letters and other colons (alternate streams),
// ".." components, components that are only dots or that end in a dot or blank (Windows would drop
// those and write elsewhere), wildcard and other characters not allowed in file names, and device
// names (CON, NUL, COM1, LPT9, ...). The clean path is never longer than the name, so `room` =
// size + 1 always suffices; a smaller room refuses names whose clean path does not fit. Needs no
// allocation, so that programs without the C++ library (the self-extractor) share it.
bool SafeMemberPath(const char* stored, size_t size, char* clean, size_t room, const char** why);

// The same check for std::string callers.
inline bool SafeMemberPath(const std::string& stored, std::string& clean, std::string& why) {
  std::string out(stored.size() + 1, '\0');
  const char* reason = "";
  if (!SafeMemberPath(stored.data(), stored.size(), &out[0], out.size(), &reason)) {
    clean.clear();
    why = reason;
    return false;
  }
  out.resize(std::char_traits<char>::length(out.c_str()));
  clean.swap(out);
  return true;
}

}  // namespace ql
