// The command texts of Program Manager's DDE interface (service and topic "PROGMAN"): creating a
// group and adding an item to the current group. Written into the caller's buffer, so that the
// small library that sends them needs no run-time library of its own.
#pragma once
#include <cstddef>
#include <string_view>

namespace ql {

// "[CreateGroup(caption)]", or "[CreateGroup(caption,group file)]" when a group file is given.
bool CreateGroupCommand(std::string_view caption, std::string_view groupFile, char* out, size_t size);
// "[AddItem(command,description,icon file,icon index)]"; without a description only the command
// line is given and Program Manager names the item after the program.
bool AddItemCommand(std::string_view command, std::string_view description, std::string_view iconFile,
                    int iconIndex, char* out, size_t size);

// Both give false (and an empty text) when an argument is empty where one is needed, holds a
// double quote or a control character, or the command does not fit `size`: such a text cannot be
// passed as one argument, and cutting it or passing it open would let it end the command and start
// another.

}  // namespace ql
