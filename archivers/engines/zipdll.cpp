// QL53NTI2.DLL: the zip engine. Quillon calls zip(owner, "|"-string, cookie, short-name flag).
// Names found on disk are always stored by their long names, so the short-name flag (the caller
// shows 8.3 names) changes nothing here: a short name given in a list opens the same file.
#include <windows.h>

#include "archivers/engines/engine_ui.h"

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) qlengine::g_instance = inst;
  return TRUE;
}

extern "C" int WINAPI zip(HWND owner, LPCSTR args, DWORD cookie, int shortNames) {
  (void)shortNames;
  return qlengine::RunZipEngine(owner, args, cookie);
}
