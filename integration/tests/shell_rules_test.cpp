// The texts handed to other programs: Program Manager's DDE commands and the mail client's program
// taken from its "open" command.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "integration/mail_client.h"
#include "integration/progman_commands.h"

namespace {

using Text = std::optional<std::string>;

Text Group(const char* caption, const char* file) {
  char out[300] = "unchanged";
  bool made = ql::CreateGroupCommand(caption, file, out, sizeof out);
  EXPECT_TRUE(made || out[0] == 0) << "a refused command leaves no text behind";
  return made ? Text(out) : std::nullopt;
}

Text Item(const char* command, const char* description, const char* icon, int index) {
  char out[300] = "unchanged";
  bool made = ql::AddItemCommand(command, description, icon, index, out, sizeof out);
  EXPECT_TRUE(made || out[0] == 0) << "a refused command leaves no text behind";
  return made ? Text(out) : std::nullopt;
}

struct GroupCase {
  const char* caption;
  const char* file;
  Text expected;
};

TEST(ProgmanCommands, CreateGroup) {
  const GroupCase cases[] = {
      {"Archives", "", "[CreateGroup(Archives)]"},
      {"Archives", "ARCHIVES.GRP", "[CreateGroup(Archives,ARCHIVES.GRP)]"},
      {"My Archives", "C:\\WIN\\MY ARC.GRP", "[CreateGroup(My Archives,C:\\WIN\\MY ARC.GRP)]"},
      // Characters that would end the argument or the command are quoted.
      {"Backups, old", "", "[CreateGroup(\"Backups, old\")]"},
      {"Tools (zip)", "", "[CreateGroup(\"Tools (zip)\")]"},
      {"x)][DeleteGroup(Accessories)", "", "[CreateGroup(\"x)][DeleteGroup(Accessories)\")]"},
      {" padded ", "", "[CreateGroup(\" padded \")]"},
      // Texts that cannot be one argument are refused, never cut.
      {"", "A.GRP", std::nullopt},
      {"say \"hi\"", "", std::nullopt},
      {"two\nlines", "", std::nullopt},
      {"Archives", "A\"B.GRP", std::nullopt},
  };
  for (const GroupCase& c : cases) EXPECT_EQ(Group(c.caption, c.file), c.expected) << c.caption;
}

struct ItemCase {
  const char* command;
  const char* description;
  const char* icon;
  int index;
  Text expected;
};

TEST(ProgmanCommands, AddItem) {
  const ItemCase cases[] = {
      {"C:\\QL\\QUILLON.EXE", "Quillon", "C:\\QL\\QUILLON.EXE", 0,
       "[AddItem(C:\\QL\\QUILLON.EXE,Quillon,C:\\QL\\QUILLON.EXE,0)]"},
      {"C:\\Program Files\\ql\\quillon.exe", "Archive Manager", "C:\\Program Files\\ql\\quillon.exe", 2,
       "[AddItem(C:\\Program Files\\ql\\quillon.exe,Archive Manager,C:\\Program Files\\ql\\quillon.exe,2)]"},
      {"C:\\A,B\\X.EXE", "X (tool)", "C:\\A,B\\X.EXE", 0, "[AddItem(\"C:\\A,B\\X.EXE\",\"X (tool)\",\"C:\\A,B\\X.EXE\",0)]"},
      // Without a description Program Manager names the item itself.
      {"C:\\QL\\QUILLON.EXE", "", "C:\\QL\\QUILLON.EXE", 0, "[AddItem(C:\\QL\\QUILLON.EXE)]"},
      {"", "Nothing", "", 0, std::nullopt},
      {"C:\\QL\\Q.EXE", "a \"b\"", "", 0, std::nullopt},
      {"C:\\QL\\Q.EXE\r\n", "Q", "", 0, std::nullopt},
      {"C:\\QL\\Q.EXE", "Q", "C:\\QL\\Q.EXE", -3, "[AddItem(C:\\QL\\Q.EXE,Q,C:\\QL\\Q.EXE,-3)]"},
  };
  for (const ItemCase& c : cases)
    EXPECT_EQ(Item(c.command, c.description, c.icon, c.index), c.expected) << c.command;
}

TEST(ProgmanCommands, ACommandThatDoesNotFitIsRefusedNotCut) {
  const std::string caption(40, 'g');
  const std::string exact = "[CreateGroup(" + caption + ")]";
  std::vector<char> out(exact.size() + 1);
  EXPECT_TRUE(ql::CreateGroupCommand(caption, "", out.data(), out.size()));
  EXPECT_EQ(std::string(out.data()), exact);
  out.pop_back();
  EXPECT_FALSE(ql::CreateGroupCommand(caption, "", out.data(), out.size()));
  EXPECT_EQ(out[0], 0);
  char item[24];
  EXPECT_FALSE(ql::AddItemCommand("C:\\QL\\QUILLON.EXE", "Quillon", "", 0, item, sizeof item));
  EXPECT_EQ(item[0], 0);
}

TEST(MailClientProgram, CutsAfterTheFirstDotWhenThereIsOne) {
  const std::pair<const char*, Text> cases[] = {
      {"C:\\EXCHANGE\\EXCHNG32.EXE /s %1", "C:\\EXCHANGE\\EXCHNG32.EXE"},
      {"C:\\EXCHANGE\\EXCHNG32.EXE", "C:\\EXCHANGE\\EXCHNG32.EXE"},
      {"\"C:\\Program Files\\Mail\\mail.exe\" \"%1\"", "C:\\Program Files\\Mail\\mail.exe"},
      {"C:\\MAIL.V2\\MAIL.EXE", "C:\\MAIL.V2\\"},  // the first "." decides
      {"mail.ex", "mail.ex"},
      {"  mail.exe -r", "mail.exe"},
      // No "." at all: nothing to cut out, nothing is started.
      {"C:\\MAIL\\MAILER /s %1", std::nullopt},
      {"", std::nullopt},
      {"\"\"", std::nullopt},
      {".exe", std::nullopt},
  };
  for (const auto& [command, expected] : cases) EXPECT_EQ(ql::MailClientProgram(command), expected) << command;
}

}  // namespace
