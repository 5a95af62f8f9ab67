// Shows the help window alone, for screenshots on the virtual display; built on demand:
//   help_demo.exe QL53.HLP [context] [keyword]
// With a keyword the index is shown with the keyword typed. Close the window to end.
#include <windows.h>

#include <cstdlib>

#include "app/help_window.h"
#include "app/settings.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  lstrcpynA(ql::g_helpFile, argv[1], sizeof ql::g_helpFile);
  unsigned context = argc > 2 ? static_cast<unsigned>(strtoul(argv[2], nullptr, 10)) : 0;
  ql::OpenHelp(nullptr, ql::HelpAction::Context, context);
  HWND help = ql::HelpWindowHandle();
  if (!help) return 1;
  if (argc > 3) {
    SendMessageA(help, WM_COMMAND, ql::kHelpSearchButton, 0);
    SetWindowTextA(GetDlgItem(help, ql::kHelpKeywordEdit), argv[3]);
  }
  MSG m;
  while (ql::HelpWindowHandle() && GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
