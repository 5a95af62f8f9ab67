// Small text and path helpers every part of the program shares. Platform-free: letters are
// ASCII (the program's names are 8-bit text in the OEM or ANSI code page, whose other bytes are
// compared as they are), and paths are DOS paths ("X:\DIR\NAME", "/" taken as "\").
#pragma once
#include <string>
#include <string_view>

namespace ql {

// The upper case of an ASCII letter; any other byte as it is. Inline: the self-extractor stubs
// take member_path.cpp alone.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string Upper(std::string_view text);

// Equal but for the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);

// Without the blanks and tabs at either end.
std::string_view Trim(std::string_view text);

// The directory part of `path`: what stands before its last "\" or "/", a drive root ("X:\") kept
// whole; "" when the path has no directory part.
std::string DirectoryOf(std::string_view path);

// The drive letter `path` begins with ("X:..."), in upper case; 0 when it begins with none.
char DriveLetterOf(std::string_view path);

}  // namespace ql
