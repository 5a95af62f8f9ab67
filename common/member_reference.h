// A member of an archive named by its real name where a list line can only show a look-alike.
// Quillon's windows hold 8-bit text in the ANSI code page; a name that page cannot hold (or a DOS
// name whose bytes mean other characters there) travels to the archivers as ":" and the name's
// UTF-8 bytes in hexadecimal. That form passes through command lines, list files and engine strings
// in any code page, no file name begins with ':', and it names one name exactly: never a
// look-alike, never a wildcard.
#pragma once
#include <string>
#include <string_view>

namespace ql {

std::string MemberReference(std::string_view utf8Name);
// Whether `spec` has the form of a reference (a real name never has).
bool IsMemberReference(std::string_view spec);
// The UTF-8 name a reference stands for; false when `spec` is not a well-formed reference.
bool MemberReferenceName(std::string_view spec, std::string* utf8Name);

}  // namespace ql
