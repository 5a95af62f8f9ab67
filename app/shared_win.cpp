#include "app/shared_win.h"

#include <cstdio>
#include <string>

namespace ql {

bool g_cancelled = false;

int AppMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if ((style & MB_ICONMASK) == 0) style |= MB_ICONEXCLAMATION;
  int r = MessageBoxA(owner, text, caption, style | MB_TASKMODAL);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return r;
}

int ShowStringMessage(HWND owner, UINT id) {
  char text[129] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return AppMessageBox(owner, text, "Quillon", MB_OK | MB_ICONEXCLAMATION);
}

int ShowStringMessageArg(HWND owner, UINT id, const char* arg, UINT style) {
  char format[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, format, sizeof format);
  // The argument may be a long path: size the text from it rather than cutting it.
  std::string text(strlen(format) + strlen(arg) + 1, '\0');
  int n = snprintf(&text[0], text.size(), format, arg);
  if (n >= 0) text.resize(static_cast<size_t>(n));
  return AppMessageBox(owner, text.c_str(), "Quillon", style);
}

}  // namespace ql
