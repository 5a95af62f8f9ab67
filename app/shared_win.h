// Win32 routines shared by every part of the program: messages, paths and the cancelled flag.
#pragma once
#include <windows.h>

namespace ql {

// Task-modal message box with the standard cursor shown meanwhile; the exclamation icon is added
// when `style` carries no icon. Returns the button pressed.
int AppMessageBox(HWND owner, const char* text, const char* caption, UINT style);

// Loads string `id` (up to 128 characters) and shows it captioned "Quillon" with the exclamation icon.
int ShowStringMessage(HWND owner, UINT id);

// Loads string `id`, formats it with one text argument (its %s) and shows it captioned "Quillon".
int ShowStringMessageArg(HWND owner, UINT id, const char* arg, UINT style);

// True when the last modal dialog ended with Cancel; every dialog opener sets it.
extern bool g_cancelled;

}  // namespace ql
