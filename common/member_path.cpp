#include "common/member_path.h"
#include "common/text_and_paths.h"

#include <cstring>

namespace ql {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Device names keep their meaning with any extension and trailing blanks: "nul.txt", "aux .txt".
bool IsDeviceName(const char* part, size_t n) {
  size_t end = 0;
  while (end < n && part[end] != '.') ++end;
  while (end > 0 && part[end - 1] == ' ') --end;
  char base[8];
  if (end >= sizeof base) return false;  // longer than every device name
  for (size_t i = 0; i < end; ++i) base[i] = UpperAscii(part[i]);
  base[end] = 0;
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
  for (const char* name : kNames)
    if (strcmp(base, name) == 0) return true;
  return end == 4 && (memcmp(base, "COM", 3) == 0 || memcmp(base, "LPT", 3) == 0) &&
         base[3] >= '0' && base[3] <= '9';
}

bool Refuse(char* clean, size_t room, const char** why, const char* reason) {
  if (room) clean[0] = 0;
  *why = reason;
  return false;
}

}  // namespace

bool SafeMemberPath(const char* stored, size_t size, char* clean, size_t room, const char** why) {
  if (room) clean[0] = 0;
  if (size == 0) return Refuse(clean, room, why, "empty name");
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = static_cast<unsigned char>(stored[i]);
    if (c < 0x20 || c == 0x7F) return Refuse(clean, room, why, "control character in name");
  }
  if (IsSeparator(stored[0]))
    return Refuse(clean, room, why,
                  size > 1 && IsSeparator(stored[1]) ? "network (UNC) path" : "absolute path");
  if (memchr(stored, ':', size)) return Refuse(clean, room, why, "drive letter or colon in name");
  static const char kNotAllowed[] = "<>\"|?*";
  size_t used = 0;
  for (size_t p = 0; p <= size;) {
    size_t q = p;
    while (q < size && !IsSeparator(stored[q])) ++q;
    const char* part = stored + p;
    const size_t n = q - p;
    p = q + 1;
    if (n == 0 || (n == 1 && part[0] == '.')) continue;
    if (n == 2 && part[0] == '.' && part[1] == '.')
      return Refuse(clean, room, why, "\"..\" in path");
    bool dots = true;
    for (size_t k = 0; k < n && dots; ++k) dots = part[k] == '.' || part[k] == ' ';
    if (dots) return Refuse(clean, room, why, "name made of dots");
    if (part[n - 1] == '.' || part[n - 1] == ' ')
      return Refuse(clean, room, why, "name ends in a dot or blank");
    if (IsDeviceName(part, n)) return Refuse(clean, room, why, "device name");
    for (size_t k = 0; k < n; ++k)
      if (memchr(kNotAllowed, part[k], sizeof kNotAllowed - 1))
        return Refuse(clean, room, why, "character not allowed in file names");
    if (used + (used ? 1 : 0) + n + 1 > room) return Refuse(clean, room, why, "name too long");
    if (used) clean[used++] = '/';
    memcpy(clean + used, part, n);
    used += n;
    clean[used] = 0;
  }
  if (used == 0) return Refuse(clean, room, why, "no file name");
  return true;
}

}  // namespace ql
