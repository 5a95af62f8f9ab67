// QL53FM.DLL: Quillon's File Manager extension. File Manager loads it from its "Addons" entry
// and shows its "&Quillon" menu; "&Open In Quillon" opens the selected archives in Quillon. Each is
// handed to quillon.exe beside this library, which passes it on to the running Quillon when there
// is one (the single-instance hand-over) or starts with it.
#include <windows.h>
// wfext.h declares the entry with a LONG last argument, which cannot carry a pointer on 64-bit
// Windows; the entry below takes it pointer-sized.
#define FMExtensionProc FMExtensionProcAsDeclared
#include <wfext.h>
#undef FMExtensionProc

namespace {

constexpr UINT kOpenCommand = 1;
HINSTANCE g_instance = nullptr;
UINT g_menuDelta = 0;

// quillon.exe beside this library; false when the path does not fit.
bool QuillonProgram(char* program, DWORD size) {
  DWORD n = GetModuleFileNameA(g_instance, program, size);
  if (n == 0 || n >= size) return false;
  char* name = program;
  for (char* p = program; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  const char exe[] = "quillon.exe";
  if (static_cast<DWORD>(name - program) + sizeof exe > size) return false;
  lstrcpyA(name, exe);
  return true;
}

// Starts quillon.exe with `file` and waits until it has either handed the name over and ended or
// is ready for input, so that the next name finds it running.
void StartQuillon(const char* program, const char* file) {
  char line[1024];
  if (lstrlenA(program) + lstrlenA(file) + 6 > static_cast<int>(sizeof line)) return;
  wsprintfA(line, "\"%s\" \"%s\"", program, file);
  STARTUPINFOA start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) return;
  if (WaitForInputIdle(process.hProcess, 20000) != 0) WaitForSingleObject(process.hProcess, 20000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// Opens each selected file of File Manager's active window (long names, full paths) in Quillon.
void OpenSelection(HWND fileManager) {
  char program[MAX_PATH];
  if (!QuillonProgram(program, sizeof program) || GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  LRESULT count = SendMessageA(fileManager, FM_GETSELCOUNTLFN, FMFOCUS_DIR, 0);
  int opened = 0;
  for (LRESULT i = 0; i < count; ++i) {
    FMS_GETFILESELA entry{};
    SendMessageA(fileManager, FM_GETFILESELLFNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&entry));
    entry.szName[sizeof entry.szName - 1] = 0;
    if (!entry.szName[0] || (entry.bAttr & FILE_ATTRIBUTE_DIRECTORY)) continue;
    StartQuillon(program, entry.szName);
    ++opened;
  }
  if (!opened) MessageBoxA(fileManager, "Select an archive to open in Quillon.", "Quillon", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

// File Manager's entry: the events of its life and the commands of the extension's menu. The last
// argument is pointer-sized, as 64-bit File Manager passes it; on 32-bit Windows it is the LONG of
// the classic declaration.
LONG_PTR WINAPI FMExtensionProc(HWND fileManager, WORD event, LPARAM l) {
  switch (event) {
    case FMEVENT_LOAD: {
      auto* load = reinterpret_cast<FMS_LOADA*>(l);
      HMENU menu = CreatePopupMenu();
      if (!menu) return FALSE;
      AppendMenuA(menu, MF_STRING, kOpenCommand, "&Open In Quillon");
      g_menuDelta = load->wMenuDelta;
      lstrcpynA(load->szMenuName, "&Quillon", MENU_TEXT_LEN);
      load->hMenu = menu;
      return TRUE;
    }
    case FMEVENT_INITMENU: {
      // Offered only while something is selected.
      HMENU menu = reinterpret_cast<HMENU>(l);
      bool any = SendMessageA(fileManager, FM_GETSELCOUNTLFN, FMFOCUS_DIR, 0) > 0;
      EnableMenuItem(menu, kOpenCommand + g_menuDelta, MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
      return 0;
    }
    case FMEVENT_HELPSTRING: {
      auto* help = reinterpret_cast<FMS_HELPSTRINGA*>(l);
      if (help->idCommand == static_cast<int>(kOpenCommand))
        lstrcpynA(help->szHelp, "Open the selected archives in Quillon", sizeof help->szHelp);
      else if (help->idCommand == -1)
        lstrcpynA(help->szHelp, "Quillon archive manager", sizeof help->szHelp);
      return 0;
    }
    case kOpenCommand:
      OpenSelection(fileManager);
      return 0;
    default:
      return 0;
  }
}

}  // extern "C"
