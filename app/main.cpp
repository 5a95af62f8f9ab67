// quillon.exe: the process entry point.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  return ql::RunQuillon(instance, commandLine, show);
}
