#include "integration/user_menu_rules.h"

namespace ql {

const UserMenuKind kApplicationsMenu{"App", "Menu Text", "App Name", "App Cmnd", 16, 6000};
const UserMenuKind kMacrosMenu{"Macro", "Macro Desc", "Archiver Name", "Macro Command", 36, 6100};

int SlotOfCommand(const UserMenuKind& kind, unsigned command) {
  if (command < kind.firstCommand || command >= kind.firstCommand + static_cast<unsigned>(kind.slots)) return 0;
  return static_cast<int>(command - kind.firstCommand) + 1;
}

std::string SlotKey(const UserMenuKind& kind, int slot) { return kind.stem + std::to_string(slot); }

std::string RunMinKey(int slot) { return "RunMin" + std::to_string(slot); }

int FirstFreeSlot(const std::vector<std::string>& texts) {
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i].empty()) return static_cast<int>(i) + 1;
  return 0;
}

int SlotWithText(const std::vector<std::string>& texts, std::string_view text) {
  if (text.empty()) return 0;
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i] == text) return static_cast<int>(i) + 1;
  return 0;
}

std::vector<int> SlotsWithText(const std::vector<std::string>& texts, std::string_view text) {
  std::vector<int> slots;
  if (text.empty()) return slots;
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i] == text) slots.push_back(static_cast<int>(i) + 1);
  return slots;
}

std::vector<UserMenuItem> MenuFromList(const UserMenuKind& kind, const std::vector<std::string>& listTexts,
                                       const std::vector<std::string>& slotTexts) {
  std::vector<UserMenuItem> items;
  for (const std::string& text : listTexts) {
    int slot = SlotWithText(slotTexts, text);
    if (slot) items.push_back({text, kind.firstCommand + static_cast<unsigned>(slot) - 1});
  }
  return items;
}

std::string SlotCommandLine(std::string_view program, std::string_view parameters) {
  std::string p(program);
  if (p.find(' ') != std::string::npos && p.front() != '"') p = "\"" + p + "\"";
  return p + " " + std::string(parameters);
}

}  // namespace ql
