// The command texts of Program Manager's DDE interface (service and topic "PROGMAN"): creating a
// group and adding an item to the current group.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ql {

// "[CreateGroup(caption)]", or "[CreateGroup(caption,group file)]" when a group file is given.
std::optional<std::string> CreateGroupCommand(std::string_view caption, std::string_view groupFile);
// "[AddItem(command,description,icon file,icon index)]"; without a description only the command
// line is given and Program Manager names the item after the program.
std::optional<std::string> AddItemCommand(std::string_view command, std::string_view description,
                                          std::string_view iconFile, int iconIndex);

// Both give none when an argument is empty where one is needed, or holds a double quote or a
// control character: such a text cannot be passed as one argument, and cutting or passing it
// open would let it end the command and start another.

}  // namespace ql
