// Win32 routines shared by every part of the program: messages, paths and the cancelled flag.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

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

// Help: every request goes to one handler, which the program installs at start (the help window,
// app/help_window.h); before that, and without one, a request does nothing. Contexts are the named
// constants of common/help_contexts.h.
enum class HelpAction { Context, Contents, Search, HowToUse };
using HelpHandler = void (*)(HWND owner, HelpAction action, DWORD context);
void SetHelpHandler(HelpHandler handler);
void ShowHelp(HWND owner, HelpAction action, DWORD context = 0);

// The Help button (374), F1 (WM_HELP, or an F1 key-down sent to the dialog) and Cancel of a
// dialog: help at `context`, or the end of the dialog
// with IDCANCEL. True when the message was one of them.
bool DialogHelpOrCancel(HWND dlg, UINT m, WPARAM w, DWORD context);

// Makes `path` the current directory and, on success, sets the per-drive entry "=X:" of its drive to
// the directory read back, so that child processes inherit it. Returns true when it FAILED.
bool SetCurrentDirAndDrive(const char* path);

// Creates every missing level of a path that begins with a drive letter, ":" and "\" (failures of the
// intermediate levels are ignored). Returns true when the last level was created by this call.
bool CreateDirectoryPath(const char* path);

// Free bytes of the root of `drive` (a letter). The product of the drive's geometry is taken in 64 bits
// and held at 0xFFFFFFFF when it does not fit, so large drives never look nearly full. 0 on failure.
uint32_t DriveFreeBytes(char drive);

// Deletes `directory` with everything below it, clearing read-only, hidden and system attributes first.
// Stops at the first entry that cannot be deleted and returns false; true when the directory is gone.
// A drive root or an empty path is refused. The current directory is not changed.
bool RemoveDirectoryTree(const char* directory);

// The process's current directory; empty when it cannot be read.
std::string CurrentDirectory();

// True when `path` names an existing directory.
bool DirectoryExists(const std::string& path);

// True when `path` names an existing file or directory.
bool PathExists(const std::string& path);

// The short (8.3) form of a full path, component by component; empty when a component is not found
// or the path is not a full one.
std::string ShortPathForm(const char* path);

// Empties and removes the scratch directory tmp41720 of `workDirectory` when it exists.
void CleanScratchDir(const char* workDirectory);

// Text between a code page and UTF-16. The narrowing never takes a look-alike (Windows' best fit):
// a character the code page cannot hold becomes '?', and the result says whether any did.
std::wstring WidenText(std::string_view text, UINT codePage);
bool NarrowText(std::wstring_view text, UINT codePage, std::string* out);

}  // namespace ql
