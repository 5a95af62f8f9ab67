// The help book: Quillon's help topics as read from the help data file (QL53.HLP beside the
// program), which is the topic sources of resources/help put together. Platform-free.
//
// The file begins with the line "QLHELP 1". Then, line by line:
//   @group Heading        starts a group of the Contents (the topics that follow belong to it)
//   @topic id             starts a topic (id: letters, digits and '-')
//   @title Title          its title, shown above the text and in the Contents
//   @contexts 7018 7061   the help contexts it answers
//   @keywords a; b; c     entries of the keyword index (the title is always one)
//   # ...                 a comment, before the first text line of a topic
// Every other line is text: a blank line ends a paragraph, "- " starts a bulleted item and
// "## " a heading inside the topic; [[id]] links to a topic (shown with its title) and
// [[id|words]] shows the words instead.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ql::help {

struct Span {
  std::string text;
  std::string link;  // the target topic's id; empty for plain text
};

struct Block {
  enum Kind { kParagraph, kBullet, kHeading } kind = kParagraph;
  std::vector<Span> spans;
};

struct Topic {
  std::string id;
  std::string title;
  std::string group;
  std::vector<unsigned> contexts;
  std::vector<std::string> keywords;
  std::vector<Block> blocks;
};

struct IndexEntry {
  std::string text;  // the keyword, with the topic's title after it when several topics share it
  int topic;
};

struct Book {
  std::vector<Topic> topics;
  std::vector<std::string> errors;  // what makes the file unusable, with line numbers

  // The topic with this id, or -1.
  int Find(std::string_view id) const;
  // The topic that answers a help context: the one naming it; else the topic of the context's
  // family (the nearest context of the table when the program never uses this one); else the
  // first topic (the Contents). -1 only for an empty book.
  int ForContext(unsigned context) const;
  // The topic that names `context`, or -1.
  int NamingContext(unsigned context) const;
  // Every keyword and title, sorted without regard to case.
  std::vector<IndexEntry> Index() const;
  // Links whose target is missing, as "topic -> target".
  std::vector<std::string> BrokenLinks() const;
};

// Reads the help data. False (with `errors` filled) when the text is not a help file or is
// damaged: wrong first line, no topics, a topic without id or title, a repeated id, a bad context
// number, a directive outside a topic, an unclosed link.
bool ParseBook(std::string_view text, Book* book);

// The first index entry whose text begins with `prefix` (ignoring case), or -1.
int FindIndexPrefix(const std::vector<IndexEntry>& index, std::string_view prefix);

}  // namespace ql::help
