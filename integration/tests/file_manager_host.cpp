// A small stand-in for the Windows File Manager, for tests only. It loads the extensions named in
// winfile.ini's "Addons" section the way File Manager does (FMExtensionProc, FMEVENT_LOAD with a
// menu delta), puts each extension's menu into its menu bar, answers the selection queries with
// the files named on its command line, and hands the commands of those menus to the extension.
// It writes what happens, one line each, to the file named by QL_FM_LOG:
//   loaded <key> menu=<menu name> <item text>=<command id> ...
//   failed <key> <library>
// A test sends the command id as WM_COMMAND to the window "File Manager".
#include <windows.h>
#include <shellapi.h>
#include <wfext.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using ExtensionProc = LONG_PTR(WINAPI*)(HWND, WORD, LPARAM);

struct Extension {
  HMODULE module;
  ExtensionProc proc;
  UINT delta;
  HMENU menu;
};
std::vector<Extension> g_extensions;
std::vector<std::string> g_selection;

void Log(const std::string& line) {
  char path[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("QL_FM_LOG", path, sizeof path)) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

void LoadExtensions(HWND window) {
  char keys[4096] = "";
  GetPrivateProfileStringA("Addons", nullptr, "", keys, sizeof keys, "winfile.ini");
  HMENU bar = GetMenu(window);
  UINT delta = 100;
  for (const char* key = keys; *key; key += lstrlenA(key) + 1) {
    char library[MAX_PATH] = "";
    GetPrivateProfileStringA("Addons", key, "", library, sizeof library, "winfile.ini");
    HMODULE module = LoadLibraryA(library);
    auto proc = module ? reinterpret_cast<ExtensionProc>(
                             reinterpret_cast<void*>(GetProcAddress(module, "FMExtensionProc")))
                       : nullptr;
    FMS_LOADA load{};
    load.dwSize = sizeof load;
    load.wMenuDelta = delta;
    if (!proc || !proc(window, FMEVENT_LOAD, reinterpret_cast<LPARAM>(&load)) || !load.hMenu) {
      Log(std::string("failed ") + key + " " + library);
      if (module) FreeLibrary(module);
      continue;
    }
    // File Manager moves the extension's command ids up by its delta.
    std::string line = std::string("loaded ") + key + " menu=" + load.szMenuName;
    for (int i = 0, n = GetMenuItemCount(load.hMenu); i < n; ++i) {
      char text[80] = "";
      UINT id = GetMenuItemID(load.hMenu, i);
      GetMenuStringA(load.hMenu, i, text, sizeof text, MF_BYPOSITION);
      ModifyMenuA(load.hMenu, i, MF_BYPOSITION | MF_STRING, id + delta, text);
      line += std::string(" ") + text + "=" + std::to_string(id + delta);
    }
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(load.hMenu), load.szMenuName);
    g_extensions.push_back({module, proc, delta, load.hMenu});
    Log(line);
    delta += 100;
  }
  DrawMenuBar(window);
}

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case FM_GETSELCOUNT:
    case FM_GETSELCOUNTLFN:
      return static_cast<LRESULT>(g_selection.size());
    case FM_GETFILESELA:
    case FM_GETFILESELLFNA: {
      auto* entry = reinterpret_cast<FMS_GETFILESELA*>(l);
      if (w >= g_selection.size() || !entry) return 0;
      lstrcpynA(entry->szName, g_selection[w].c_str(), sizeof entry->szName);
      entry->bAttr = FILE_ATTRIBUTE_ARCHIVE;
      return 1;
    }
    case WM_INITMENUPOPUP:
      for (const Extension& e : g_extensions)
        if (reinterpret_cast<HMENU>(w) == e.menu) e.proc(h, FMEVENT_INITMENU, static_cast<LPARAM>(w));
      return 0;
    case WM_COMMAND:
      for (const Extension& e : g_extensions) {
        UINT id = LOWORD(w);
        if (id > e.delta && id < e.delta + 100) {
          Log("command " + std::to_string(id));
          e.proc(h, static_cast<WORD>(id - e.delta), 0);
          Log("done " + std::to_string(id));
          return 0;
        }
      }
      return 0;
    case WM_DESTROY:
      for (const Extension& e : g_extensions) {
        e.proc(h, FMEVENT_UNLOAD, 0);
        FreeLibrary(e.module);
      }
      g_extensions.clear();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; args && i < count; ++i) {
    char name[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, args[i], -1, name, sizeof name, nullptr, nullptr);
    g_selection.emplace_back(name);
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "QlFileManagerHost";
  RegisterClassA(&wc);
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 1, "&File");
  HWND window = CreateWindowA("QlFileManagerHost", "File Manager", WS_OVERLAPPEDWINDOW, 40, 40, 480, 320, nullptr,
                              bar, wc.hInstance, nullptr);
  if (!window) return 1;
  LoadExtensions(window);
  ShowWindow(window, SW_SHOWNORMAL);
  Log("ready");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
