// QL53NTI1.DLL: the unzip engine. Quillon calls unzip(owner, "|"-string, cookie).
#include <windows.h>

#include "archivers/engines/engine_ui.h"

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) qlengine::g_instance = inst;
  return TRUE;
}

extern "C" int WINAPI unzip(HWND owner, LPCSTR args, DWORD cookie) {
  return qlengine::RunUnzipEngine(owner, args, cookie);
}
