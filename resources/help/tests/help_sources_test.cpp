// The help data built from resources/help against the program's table of help contexts: every
// context has a topic of its own, every link a target, every topic source a place in the Contents.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/help_book.h"
#include "common/help_contexts.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class HelpSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    text_ = ReadFile(QL_HELP_DATA);
    ASSERT_FALSE(text_.empty()) << QL_HELP_DATA;
    ASSERT_TRUE(ql::help::ParseBook(text_, &book_)) << book_.errors[0];
  }
  std::string text_;
  ql::help::Book book_;
};

TEST_F(HelpSourcesTest, EveryContextOfTheProgramHasATopicOfItsOwn) {
  for (size_t i = 0; i < ql::help::kContextCount; ++i) {
    const auto& e = ql::help::kContextTable[i];
    EXPECT_GE(book_.NamingContext(e.context), 0) << e.context << " (" << e.name << ") has no topic";
    EXPECT_GE(book_.Find(e.family), 0) << e.context << ": family topic " << e.family << " is missing";
  }
}

TEST_F(HelpSourcesTest, TopicsNameOnlyContextsOfTheTableAndEachOnce) {
  std::set<unsigned> table;
  for (size_t i = 0; i < ql::help::kContextCount; ++i) table.insert(ql::help::kContextTable[i].context);
  std::set<unsigned> seen;
  for (const auto& t : book_.topics)
    for (unsigned c : t.contexts) {
      EXPECT_TRUE(table.count(c)) << t.id << " names " << c << ", which the program never uses";
      EXPECT_TRUE(seen.insert(c).second) << c << " is named by two topics (again in " << t.id << ")";
    }
}

TEST_F(HelpSourcesTest, EveryLinkHasATarget) {
  auto broken = book_.BrokenLinks();
  EXPECT_TRUE(broken.empty()) << broken.size() << " broken, first " << (broken.empty() ? "" : broken[0]);
}

TEST_F(HelpSourcesTest, EverySourceIsInTheContentsAndTopicsStayShort) {
  std::string dir = std::string(QL_SOURCE_DIR) + "/resources/help/topics";
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr);
  size_t files = 0;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < 5 || name.substr(name.size() - 4) != ".txt") continue;
    ++files;
    std::string id = name.substr(0, name.size() - 4);
    int t = book_.Find(id);
    EXPECT_GE(t, 0) << name << " is not listed in contents.lst, or its @topic differs from its file name";
  }
  closedir(d);
  EXPECT_EQ(files, book_.topics.size());
  for (const auto& t : book_.topics) {
    EXPECT_FALSE(t.group.empty()) << t.id;
    EXPECT_FALSE(t.blocks.empty()) << t.id << " has no text";
  }
  // The whole book stays small beside the program.
  EXPECT_LT(text_.size(), 120u * 1024);
}

TEST_F(HelpSourcesTest, TheMenusAndDialogsFindTheTopicsTheyMean) {
  struct Case {
    unsigned context;
    const char* title;
  };
  const Case cases[] = {
      {ql::help::kContents, "Welcome to Quillon"},
      {ql::help::kHowToUseHelp, "How to Use Help"},
      {ql::help::kExtract, "Extract"},
      {ql::help::kSelectByType, "Selecting Files"},
      {ql::help::kSwitches, "Switches"},
      {ql::help::kZipOptions, "DOS PKZIP Options"},
      {ql::help::kBrowserWindow, "Browser Windows"},
      {ql::help::kExpressExtract, "Express: Extract"},
  };
  for (const Case& c : cases) {
    int t = book_.ForContext(c.context);
    ASSERT_GE(t, 0);
    EXPECT_EQ(book_.topics[t].title, c.title) << c.context;
  }
  auto index = book_.Index();
  int hit = ql::help::FindIndexPrefix(index, "extr");
  ASSERT_GE(hit, 0);
  EXPECT_EQ(book_.topics[index[hit].topic].title, "Extract");
}

}  // namespace
