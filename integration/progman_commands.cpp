#include "integration/progman_commands.h"

namespace ql {

namespace {

// Appends to a fixed buffer; remembers when something did not fit.
class Writer {
 public:
  Writer(char* out, size_t size) : out_(out), size_(size) {
    if (size_) out_[0] = 0;
  }
  void Put(std::string_view text) {
    for (char c : text) {
      if (used_ + 1 >= size_) {
        full_ = true;
        return;
      }
      out_[used_++] = c;
      out_[used_] = 0;
    }
  }
  void Number(int value) {
    char digits[16];
    int n = 0;
    unsigned v = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do digits[n++] = static_cast<char>('0' + v % 10); while ((v /= 10) != 0);
    if (value < 0) Put("-");
    while (n) Put(std::string_view(&digits[--n], 1));
  }
  bool Done() {
    if (full_ || !size_) {
      if (size_) out_[0] = 0;
      return false;
    }
    return true;
  }

 private:
  char* out_;
  size_t size_;
  size_t used_ = 0;
  bool full_ = false;
};

// Whether a text can be one argument at all.
bool Passable(std::string_view text) {
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || u < 0x20 || u == 0x7f) return false;
  }
  return true;
}

// One argument: quoted when it holds a character that would otherwise end it (a comma, a
// bracket or parenthesis) or blanks at its ends, which Program Manager would drop.
void Argument(Writer& w, std::string_view text) {
  bool quote = !text.empty() && (text.front() == ' ' || text.back() == ' ');
  for (char c : text) quote = quote || c == ',' || c == '(' || c == ')' || c == '[' || c == ']';
  if (quote) w.Put("\"");
  w.Put(text);
  if (quote) w.Put("\"");
}

}  // namespace

bool CreateGroupCommand(std::string_view caption, std::string_view groupFile, char* out, size_t size) {
  Writer w(out, size);
  if (caption.empty() || !Passable(caption) || !Passable(groupFile)) return false;
  w.Put("[CreateGroup(");
  Argument(w, caption);
  if (!groupFile.empty()) {
    w.Put(",");
    Argument(w, groupFile);
  }
  w.Put(")]");
  return w.Done();
}

bool AddItemCommand(std::string_view command, std::string_view description, std::string_view iconFile,
                    int iconIndex, char* out, size_t size) {
  Writer w(out, size);
  if (command.empty() || !Passable(command) || !Passable(description) || !Passable(iconFile))
    return false;
  w.Put("[AddItem(");
  Argument(w, command);
  if (!description.empty()) {
    w.Put(",");
    Argument(w, description);
    if (!iconFile.empty()) {
      w.Put(",");
      Argument(w, iconFile);
      w.Put(",");
      w.Number(iconIndex);
    }
  }
  w.Put(")]");
  return w.Done();
}

}  // namespace ql
