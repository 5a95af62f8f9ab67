#include "common/member_path.h"

namespace ql {
namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Device names keep their meaning with any extension and trailing blanks: "nul.txt", "aux .txt".
bool IsDeviceName(const std::string& part) {
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = Upper(base);
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
  for (const char* n : kNames)
    if (base == n) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '0' && base[3] <= '9';
}

bool Refuse(std::string& clean, std::string& why, const char* reason) {
  clean.clear();
  why = reason;
  return false;
}

}  // namespace

bool SafeMemberPath(const std::string& stored, std::string& clean, std::string& why) {
  clean.clear();
  if (stored.empty()) return Refuse(clean, why, "empty name");
  for (unsigned char c : stored)
    if (c < 0x20 || c == 0x7F) return Refuse(clean, why, "control character in name");
  std::string s = stored;
  for (char& c : s)
    if (c == '\\') c = '/';
  if (s[0] == '/')
    return Refuse(clean, why, s.size() > 1 && s[1] == '/' ? "network (UNC) path" : "absolute path");
  if (s.find(':') != std::string::npos) return Refuse(clean, why, "drive letter or colon in name");
  size_t p = 0;
  while (p <= s.size()) {
    size_t q = s.find('/', p);
    if (q == std::string::npos) q = s.size();
    std::string part = s.substr(p, q - p);
    p = q + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return Refuse(clean, why, "\"..\" in path");
    if (part.find_first_not_of(". ") == std::string::npos) return Refuse(clean, why, "name made of dots");
    if (part.back() == '.' || part.back() == ' ') return Refuse(clean, why, "name ends in a dot or blank");
    if (IsDeviceName(part)) return Refuse(clean, why, "device name");
    if (part.find_first_of("<>\"|?*") != std::string::npos)
      return Refuse(clean, why, "character not allowed in file names");
    if (!clean.empty()) clean += '/';
    clean += part;
  }
  if (clean.empty()) return Refuse(clean, why, "no file name");
  return true;
}

}  // namespace ql
