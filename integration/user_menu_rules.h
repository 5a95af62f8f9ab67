// The rules of the Applications and Macros menus that need no window: which commands are slots,
// which slot is free, which slot a menu text names, how the rebuilt menu reads, and the command
// line a slot runs.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// The two facilities: their settings sections, key stem, slot count and first command.
struct UserMenuKind {
  const char* stem;         // "App" or "Macro"
  const char* textSection;  // "Menu Text" / "Macro Desc"
  const char* programSection;
  const char* commandSection;
  int slots;                // 16 / 36
  unsigned firstCommand;    // 6000 / 6100
};
extern const UserMenuKind kApplicationsMenu;
extern const UserMenuKind kMacrosMenu;

// The slot (1-based) of a menu command, or 0 when the command is not one of the kind's.
int SlotOfCommand(const UserMenuKind& kind, unsigned command);
// The settings key of slot n ("App3", "RunMin3").
std::string SlotKey(const UserMenuKind& kind, int slot);
std::string RunMinKey(int slot);

// `texts[i]` is the menu text of slot i + 1. The first free (empty) slot, or 0 when all are used.
int FirstFreeSlot(const std::vector<std::string>& texts);
// The first slot whose menu text equals `text` (not empty), or 0.
int SlotWithText(const std::vector<std::string>& texts, std::string_view text);
// Every slot whose menu text equals `text` (Delete empties all of them).
std::vector<int> SlotsWithText(const std::vector<std::string>& texts, std::string_view text);

// The menu made from the dialog's list: for each list text in order, the first slot carrying it.
struct UserMenuItem {
  std::string text;
  unsigned command;
};
std::vector<UserMenuItem> MenuFromList(const UserMenuKind& kind, const std::vector<std::string>& listTexts,
                                       const std::vector<std::string>& slotTexts);

// The command line of a slot: program, a blank, parameters. A program that still holds a blank
// (a long path without a short form) is put in double quotes, so that it is not split.
std::string SlotCommandLine(std::string_view program, std::string_view parameters);

}  // namespace ql
