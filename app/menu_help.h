// Status-bar help for menu items, their help contexts, and the tool-bar's tip texts.
#pragma once

namespace ql {

struct MenuHelp {
  unsigned command;
  unsigned string;   // hint shown in pane 194 while the item is selected
  unsigned context;  // help context F1 opens
};

// The help of a menu command; false for commands without an entry (the hint is then "Ready" and
// the help context stays as it was).
bool MenuHelpFor(unsigned command, MenuHelp* out);

// The string of a tool-bar button's tip; 0 for commands without a tip.
unsigned ToolTipStringFor(unsigned command);

}  // namespace ql
