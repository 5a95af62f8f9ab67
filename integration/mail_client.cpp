#include "integration/mail_client.h"

namespace ql {

std::optional<std::string> MailClientProgram(std::string_view command) {
  size_t start = 0;
  while (start < command.size() && (command[start] == ' ' || command[start] == '\t')) ++start;
  bool quoted = start < command.size() && command[start] == '"';
  if (quoted) ++start;
  size_t dot = command.find('.', start);
  if (dot == std::string_view::npos || dot == start) return std::nullopt;
  size_t end = dot + 1;
  while (end < command.size() && end < dot + 4 && command[end] != '"' && command[end] != ' ') ++end;
  return std::string(command.substr(start, end - start));
}

}  // namespace ql
