#include "common/recent_list_win.h"

#include "common/recent_list.h"
#include "common/shared_win.h"

namespace ql {

namespace {

constexpr int kMaxValue = 260;

}  // namespace

std::vector<std::string> ReadRecentList(const std::string& iniPath, const char* section, const char* stem,
                                        size_t length) {
  std::vector<std::string> values;
  for (size_t n = 1; n <= length; ++n) {
    char v[kMaxValue + 2] = "";
    GetPrivateProfileStringA(section, RecentKey(stem, n).c_str(), "", v, sizeof v, iniPath.c_str());
    values.emplace_back(v);
  }
  return values;
}

void RestoreRecentList(const std::string& iniPath, const char* section, const char* stem, HWND control,
                       size_t length) {
  char cls[32] = "";
  GetClassNameA(control, cls, sizeof cls);
  bool combo = lstrcmpiA(cls, "ComboBox") == 0;
  if (!combo && lstrcmpiA(cls, "ListBox") != 0 && lstrcmpiA(cls, "qllistbox") != 0) return;
  const UINT reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
  const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
  char remembered[kMaxValue + 2] = "";
  if (combo) GetWindowTextA(control, remembered, sizeof remembered);
  std::vector<char> keys(32760, '\0');
  GetPrivateProfileStringA(section, nullptr, "", keys.data(), static_cast<DWORD>(keys.size()), iniPath.c_str());
  SendMessageA(control, reset, 0, 0);
  for (const char* k = keys.data(); *k; k += lstrlenA(k) + 1) {
    char value[kMaxValue + 2] = "";
    GetPrivateProfileStringA(section, k, "", value, sizeof value, iniPath.c_str());
    if (*value) SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(value));
  }
  if (!combo) return;
  std::vector<std::string> values = ReadRecentList(iniPath, section, stem, length);
  RecentChoice c = ChooseRecentEntry(values, length);
  const char* text = c.remembered ? remembered : values[c.index].c_str();
  if (!*text) return;
  LRESULT at = c.remembered ? CB_ERR : SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                     reinterpret_cast<LPARAM>(text));
  if (at == CB_ERR) at = SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  if (GetWindowTextLengthA(control) == 0) SetWindowTextA(control, text);
}

void SaveRecentList(const std::string& iniPath, const char* section, const char* stem, const std::string& value,
                    size_t length, bool keepFile) {
  std::string stored = value;
  DWORD attrs = GetFileAttributesA(stored.c_str());
  if (!keepFile && attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    size_t slash = stored.rfind('\\');
    if (slash != std::string::npos) stored.resize(slash);
  }
  std::vector<std::string> next = SaveRecentValues(ReadRecentList(iniPath, section, stem, length), stored, length);
  for (size_t n = 1; n <= next.size(); ++n)
    if (!next[n - 1].empty())
      WritePrivateProfileStringA(section, RecentKey(stem, n).c_str(), next[n - 1].c_str(), iniPath.c_str());
}

}  // namespace ql
