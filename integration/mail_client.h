// The mail client's program, as the class root names it for opening a message file: its command
// text up to the program file's extension.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ql {

// The program part of an "open" command such as "C:\EXCHANGE\EXCHNG32.EXE /s %1": everything up to
// the first "." and up to three characters after it (a blank or a quote ends them early), with the
// quote before a quoted path dropped. None when the text has no "." or nothing before it, so that
// no made-up name is ever started.
std::optional<std::string> MailClientProgram(std::string_view command);

}  // namespace ql
