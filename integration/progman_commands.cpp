#include "integration/progman_commands.h"

namespace ql {

namespace {

// One argument: quoted when it holds a character that would otherwise end it (a comma, a
// bracket or parenthesis) or blanks at its ends, which Program Manager would drop.
std::optional<std::string> Argument(std::string_view text) {
  bool quote = false;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || u < 0x20 || u == 0x7f) return std::nullopt;
    if (c == ',' || c == '(' || c == ')' || c == '[' || c == ']') quote = true;
  }
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) quote = true;
  if (quote) return "\"" + std::string(text) + "\"";
  return std::string(text);
}

}  // namespace

std::optional<std::string> CreateGroupCommand(std::string_view caption, std::string_view groupFile) {
  if (caption.empty()) return std::nullopt;
  auto name = Argument(caption);
  auto file = Argument(groupFile);
  if (!name || !file) return std::nullopt;
  std::string command = "[CreateGroup(" + *name;
  if (!file->empty()) command += "," + *file;
  return command + ")]";
}

std::optional<std::string> AddItemCommand(std::string_view command, std::string_view description,
                                          std::string_view iconFile, int iconIndex) {
  if (command.empty()) return std::nullopt;
  auto program = Argument(command);
  auto name = Argument(description);
  auto icon = Argument(iconFile);
  if (!program || !name || !icon) return std::nullopt;
  std::string text = "[AddItem(" + *program;
  if (!name->empty()) {
    text += "," + *name;
    if (!icon->empty()) text += "," + *icon + "," + std::to_string(iconIndex);
  }
  return text + ")]";
}

}  // namespace ql
