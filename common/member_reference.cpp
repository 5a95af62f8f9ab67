#include "common/member_reference.h"

namespace ql {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string MemberReference(std::string_view utf8Name) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = ":";
  for (unsigned char c : utf8Name) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

bool IsMemberReference(std::string_view spec) { return spec.size() >= 3 && spec[0] == ':'; }

bool MemberReferenceName(std::string_view spec, std::string* utf8Name) {
  if (!IsMemberReference(spec) || spec.size() % 2 == 0) return false;
  std::string out;
  for (size_t i = 1; i < spec.size(); i += 2) {
    int hi = HexValue(spec[i]), lo = HexValue(spec[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<char>(hi << 4 | lo));
  }
  *utf8Name = out;
  return true;
}

}  // namespace ql
