// Quillon's help window: one non-modal window beside the frame with the topic text, Contents, a
// keyword index searched as you type, Back, and links between topics. It shows the help data file
// named by the settings (g_helpFile, QL53.HLP beside the program) and keeps its place and size in
// the settings file, section "Help Window", key "Placement" ("x y width height").
#pragma once
#include <windows.h>

#include <string>

#include "common/shared_win.h"

namespace ql {

// Every help request of the program: opens (or brings forward) the help window at the topic of
// `context` (HelpAction::Context), the Contents, the keyword index or How to Use Help. A missing
// or damaged help file is reported in a message box; the window then stays closed.
void OpenHelp(HWND owner, HelpAction action, DWORD context);

// Makes OpenHelp the handler of common's ShowHelp, so that every layer reaches it.
void InstallHelpWindow();

// Saves the window's place and closes it (the frame does this when it is destroyed).
void CloseHelpWindow();

// The help window, or null; and the id of the topic it shows (empty when none).
HWND HelpWindowHandle();
std::string HelpTopicShown();

// Child control ids of the help window.
enum HelpControl {
  kHelpContentsButton = 101,
  kHelpSearchButton = 102,
  kHelpBackButton = 103,
  kHelpContentsList = 110,
  kHelpKeywordEdit = 111,
  kHelpKeywordLabel = 112,
  kHelpIndexList = 113,
  kHelpDisplayButton = 114,
  kHelpTopicPane = 120,
};

}  // namespace ql
