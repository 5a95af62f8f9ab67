#include "common/help_book.h"

#include <gtest/gtest.h>

#include "common/help_contexts.h"

namespace {

using ql::help::Block;
using ql::help::Book;
using ql::help::ParseBook;

const char kSample[] =
    "QLHELP 1\n"
    "@group Start\n"
    "@topic first\n"
    "@title First Topic\n"
    "@contexts 7081, 7080\n"
    "@keywords alpha; Beta ;; gamma\n"
    "# a comment before the text\n"
    "Line one\n"
    "line two with [[second]] and [[second|other words]].\n"
    "\n"
    "## A heading\n"
    "- bullet [[first]]\n"
    "  continues here\n"
    "- another\n"
    "@group Next\n"
    "@topic second\n"
    "@title Second\n"
    "@keywords alpha\n"
    "Text.\r\n";

TEST(HelpBookTest, ReadsTopicsBlocksAndLinks) {
  Book b;
  ASSERT_TRUE(ParseBook(kSample, &b)) << (b.errors.empty() ? "" : b.errors[0]);
  ASSERT_EQ(b.topics.size(), 2u);
  const auto& t = b.topics[0];
  EXPECT_EQ(t.id, "first");
  EXPECT_EQ(t.title, "First Topic");
  EXPECT_EQ(t.group, "Start");
  EXPECT_EQ(b.topics[1].group, "Next");
  EXPECT_EQ(t.contexts, (std::vector<unsigned>{7081, 7080}));
  EXPECT_EQ(t.keywords, (std::vector<std::string>{"alpha", "Beta", "gamma"}));
  ASSERT_EQ(t.blocks.size(), 4u);
  EXPECT_EQ(t.blocks[0].kind, Block::kParagraph);
  ASSERT_EQ(t.blocks[0].spans.size(), 5u);
  EXPECT_EQ(t.blocks[0].spans[0].text, "Line one line two with ");
  EXPECT_EQ(t.blocks[0].spans[1].text, "Second");  // a bare link shows the target's title
  EXPECT_EQ(t.blocks[0].spans[1].link, "second");
  EXPECT_EQ(t.blocks[0].spans[3].text, "other words");
  EXPECT_EQ(t.blocks[0].spans[4].text, ".");
  EXPECT_EQ(t.blocks[1].kind, Block::kHeading);
  EXPECT_EQ(t.blocks[2].kind, Block::kBullet);
  EXPECT_EQ(t.blocks[2].spans.back().text, " continues here");
  EXPECT_EQ(t.blocks[3].spans[0].text, "another");
  EXPECT_EQ(b.topics[1].blocks[0].spans[0].text, "Text.");
  EXPECT_TRUE(b.BrokenLinks().empty());
}

TEST(HelpBookTest, DamagedFilesAreRefusedWithAReason) {
  struct Case {
    const char* name;
    const char* text;
    const char* error;  // part of the first error
  };
  const Case cases[] = {
      {"empty", "", "not a Quillon help file"},
      {"other file", "MZ\x90 garbage\n@topic a\n@title A\n", "not a Quillon help file"},
      {"header only", "QLHELP 1\n", "no topics"},
      {"newer version", "QLHELP 2\n@topic a\n@title A\n", "not a Quillon help file"},
      {"no title", "QLHELP 1\n@topic a\ntext\n", "has no title"},
      {"twice", "QLHELP 1\n@topic a\n@title A\n@topic a\n@title B\n", "appears twice"},
      {"bad id", "QLHELP 1\n@topic a b\n@title A\n", "bad topic id"},
      {"bad context", "QLHELP 1\n@topic a\n@title A\n@contexts 70x1\n", "bad context number"},
      {"text first", "QLHELP 1\nstray text\n@topic a\n@title A\n", "text outside a topic"},
      {"late directive", "QLHELP 1\n@topic a\n@title A\ntext\n@keywords k\n", "after the topic's text"},
      {"unknown directive", "QLHELP 1\n@topic a\n@title A\n@colour red\n", "unknown directive"},
      {"unclosed link", "QLHELP 1\n@topic a\n@title A\nsee [[a\n", "unclosed link"},
      {"bad link", "QLHELP 1\n@topic a\n@title A\nsee [[no such]]\n", "bad link target"},
  };
  for (const Case& c : cases) {
    Book b;
    EXPECT_FALSE(ParseBook(c.text, &b)) << c.name;
    ASSERT_FALSE(b.errors.empty()) << c.name;
    EXPECT_NE(b.errors[0].find(c.error), std::string::npos) << c.name << ": " << b.errors[0];
  }
}

TEST(HelpBookTest, BrokenLinksAreListed) {
  Book b;
  ASSERT_TRUE(ParseBook("QLHELP 1\n@topic a\n@title A\nsee [[b]] and [[a]]\n", &b));
  EXPECT_EQ(b.BrokenLinks(), (std::vector<std::string>{"a -> b"}));
}

TEST(HelpBookTest, ContextsFindTheirTopicOrTheirFamily) {
  Book b;
  ASSERT_TRUE(ParseBook("QLHELP 1\n"
                        "@topic overview\n@title Overview\n@contexts 7081\n"
                        "@topic edit-menu\n@title Edit\n"
                        "@topic extract\n@title Extract\n@contexts 7018\n"
                        "@topic file-menu\n@title File\n",
                        &b));
  struct Case {
    unsigned context;
    const char* topic;
  };
  const Case cases[] = {
      {ql::help::kExtract, "extract"},        // a topic of its own
      {ql::help::kContents, "overview"},
      {ql::help::kTest, "edit-menu"},         // no topic: its family
      {ql::help::kCopyFiles, "file-menu"},
      {7017, "edit-menu"},                    // Add, no topic of its own
      {7026, "edit-menu"},                    // unknown: nearest is 7025 (edit family)
      {7037, "file-menu"},                    // unknown between 7036 and 7038: the lower one wins
      {ql::help::kExpressNew, "overview"},    // family topic missing: the first topic
      {1, "file-menu"},                       // far below: nearest is 2003 (File menu)
      {99999, "file-menu"},                   // far above: nearest is 7093 (File menu)
  };
  for (const Case& c : cases) {
    int t = b.ForContext(c.context);
    ASSERT_GE(t, 0) << c.context;
    EXPECT_EQ(b.topics[t].id, c.topic) << c.context;
  }
  Book empty;
  EXPECT_EQ(empty.ForContext(7018), -1);
}

TEST(HelpBookTest, IndexIsSortedAndFindsPrefixes) {
  Book b;
  ASSERT_TRUE(ParseBook(kSample, &b));
  auto index = b.Index();
  std::vector<std::string> texts;
  for (const auto& e : index) texts.push_back(e.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"alpha (First Topic)", "alpha (Second)", "Beta", "First Topic", "gamma",
                                             "Second"}));
  struct Case {
    const char* prefix;
    int entry;
  };
  const Case cases[] = {{"", 0}, {"AL", 0}, {"b", 2}, {"first t", 3}, {"g", 4}, {"sec", 5}, {"x", -1}, {"secondly", -1}};
  for (const Case& c : cases) EXPECT_EQ(ql::help::FindIndexPrefix(index, c.prefix), c.entry) << c.prefix;
  EXPECT_EQ(index[ql::help::FindIndexPrefix(index, "gam")].topic, 0);
}

TEST(HelpContextsTest, TableHasNoRepeatsAndKnownFamilies) {
  const char* families[] = {"overview", "how-to-use-help", "file-menu", "edit-menu", "view-menu",
                            "options-menu", "window-menu", "express-mode", "outside-programs"};
  for (size_t i = 0; i < ql::help::kContextCount; ++i) {
    const auto& e = ql::help::kContextTable[i];
    for (size_t k = i + 1; k < ql::help::kContextCount; ++k)
      EXPECT_NE(e.context, ql::help::kContextTable[k].context) << e.name;
    bool known = false;
    for (const char* f : families) known = known || std::string(f) == e.family;
    EXPECT_TRUE(known) << e.name << ": " << e.family;
    EXPECT_EQ(ql::help::NearestContext(e.context), &e);
  }
}

}  // namespace
