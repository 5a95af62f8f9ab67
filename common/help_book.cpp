#include "common/help_book.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "common/help_contexts.h"

namespace ql::help {

namespace {

constexpr std::string_view kHeader = "QLHELP 1";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool ValidId(std::string_view id) {
  if (id.empty() || id.size() > 64) return false;
  for (char c : id)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  return true;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i]));
    int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

class Parser {
 public:
  explicit Parser(Book* book) : book_(book) {}

  void Line(size_t number, std::string_view line) {
    number_ = number;
    std::string_view t = Trim(line);
    if (!t.empty() && t.front() == '@') {
      Directive(t);
      return;
    }
    if (!topic_) {
      if (!t.empty() && t.front() != '#') Error("text outside a topic");
      return;
    }
    if (!inText_ && !t.empty() && t.front() == '#' && t.rfind("##", 0) != 0) return;
    if (t.empty()) {
      block_ = nullptr;
      return;
    }
    inText_ = true;
    if (t.rfind("## ", 0) == 0) {
      topic_->blocks.push_back(Block{Block::kHeading, {}});
      Text(t.substr(3), &topic_->blocks.back());
      block_ = nullptr;
      return;
    }
    if (t.rfind("- ", 0) == 0) {
      topic_->blocks.push_back(Block{Block::kBullet, {}});
      block_ = &topic_->blocks.back();
      Text(t.substr(2), block_);
      return;
    }
    if (!block_) {
      topic_->blocks.push_back(Block{Block::kParagraph, {}});
      block_ = &topic_->blocks.back();
    } else {
      Append(block_, " ", "");
    }
    Text(t, block_);
  }

  void Finish() { EndTopic(); }

 private:
  void Error(const std::string& what) {
    if (book_->errors.size() < 20) book_->errors.push_back("line " + std::to_string(number_) + ": " + what);
  }

  void Directive(std::string_view t) {
    size_t space = t.find_first_of(" \t");
    std::string_view name = t.substr(0, space);
    std::string_view value = space == std::string_view::npos ? std::string_view() : Trim(t.substr(space));
    if (name == "@group") {
      EndTopic();
      group_ = std::string(value);
      return;
    }
    if (name == "@topic") {
      EndTopic();
      if (!ValidId(value)) {
        Error("bad topic id");
        return;
      }
      if (!seen_.emplace(std::string(value), 0).second) Error("topic " + std::string(value) + " appears twice");
      book_->topics.push_back(Topic{});
      topic_ = &book_->topics.back();
      topic_->id = std::string(value);
      topic_->group = group_;
      return;
    }
    if (!topic_) {
      Error(std::string(name) + " outside a topic");
      return;
    }
    if (inText_) {
      Error(std::string(name) + " after the topic's text");
      return;
    }
    if (name == "@title") {
      topic_->title = std::string(value);
    } else if (name == "@contexts") {
      std::string_view rest = value;
      while (!rest.empty()) {
        size_t end = rest.find_first_of(" \t,");
        std::string_view word = rest.substr(0, end);
        if (!word.empty()) {
          unsigned long n = 0;
          bool ok = word.size() <= 9;
          for (char c : word) {
            if (!std::isdigit(static_cast<unsigned char>(c))) ok = false;
            n = n * 10 + static_cast<unsigned>(c - '0');
          }
          if (ok) topic_->contexts.push_back(static_cast<unsigned>(n));
          else Error("bad context number");
        }
        if (end == std::string_view::npos) break;
        rest = rest.substr(end + 1);
      }
    } else if (name == "@keywords") {
      std::string_view rest = value;
      while (true) {
        size_t end = rest.find(';');
        std::string_view word = Trim(rest.substr(0, end));
        if (!word.empty()) topic_->keywords.emplace_back(word);
        if (end == std::string_view::npos) break;
        rest = rest.substr(end + 1);
      }
    } else {
      Error("unknown directive " + std::string(name));
    }
  }

  void EndTopic() {
    if (topic_ && topic_->title.empty()) Error("topic " + topic_->id + " has no title");
    topic_ = nullptr;
    block_ = nullptr;
    inText_ = false;
  }

  static void Append(Block* b, std::string_view text, std::string_view link) {
    if (text.empty()) return;
    if (!b->spans.empty() && b->spans.back().link == link && link.empty()) {
      b->spans.back().text += text;
      return;
    }
    b->spans.push_back(Span{std::string(text), std::string(link)});
  }

  void Text(std::string_view t, Block* b) {
    while (!t.empty()) {
      size_t open = t.find("[[");
      if (open == std::string_view::npos) {
        Append(b, t, "");
        return;
      }
      Append(b, t.substr(0, open), "");
      size_t close = t.find("]]", open + 2);
      if (close == std::string_view::npos) {
        Error("unclosed link");
        Append(b, t.substr(open), "");
        return;
      }
      std::string_view inner = t.substr(open + 2, close - open - 2);
      size_t bar = inner.find('|');
      std::string_view target = Trim(inner.substr(0, bar));
      std::string_view shown = bar == std::string_view::npos ? std::string_view() : Trim(inner.substr(bar + 1));
      if (!ValidId(target)) {
        Error("bad link target");
        Append(b, inner, "");
      } else {
        // A link without words shows the target's title, filled in once every topic is known.
        b->spans.push_back(Span{std::string(shown), std::string(target)});
      }
      t = t.substr(close + 2);
    }
  }

  Book* book_;
  Topic* topic_ = nullptr;
  Block* block_ = nullptr;
  bool inText_ = false;
  std::string group_;
  std::map<std::string, int> seen_;
  size_t number_ = 0;
};

}  // namespace

bool ParseBook(std::string_view text, Book* book) {
  *book = Book{};
  // Topics are kept by pointer while parsing; reserve so that they never move.
  size_t count = 0;
  for (size_t at = text.find("@topic"); at != std::string_view::npos; at = text.find("@topic", at + 1)) ++count;
  book->topics.reserve(count + 1);

  size_t lineEnd = text.find('\n');
  std::string_view first = Trim(text.substr(0, lineEnd));
  if (first != kHeader) {
    book->errors.push_back("not a Quillon help file");
    return false;
  }
  Parser p(book);
  size_t number = 1;
  size_t at = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    p.Line(++number, text.substr(at, end - at));
    at = end + 1;
  }
  p.Finish();
  if (book->topics.empty()) book->errors.push_back("no topics");
  for (Topic& t : book->topics)
    for (Block& b : t.blocks)
      for (Span& s : b.spans)
        if (!s.link.empty() && s.text.empty()) {
          int target = book->Find(s.link);
          s.text = target >= 0 ? book->topics[target].title : s.link;
        }
  return book->errors.empty();
}

int Book::Find(std::string_view id) const {
  for (size_t i = 0; i < topics.size(); ++i)
    if (topics[i].id == id) return static_cast<int>(i);
  return -1;
}

int Book::NamingContext(unsigned context) const {
  for (size_t i = 0; i < topics.size(); ++i)
    for (unsigned c : topics[i].contexts)
      if (c == context) return static_cast<int>(i);
  return -1;
}

int Book::ForContext(unsigned context) const {
  if (topics.empty()) return -1;
  int own = NamingContext(context);
  if (own >= 0) return own;
  if (const ContextEntry* e = NearestContext(context)) {
    if (e->context != context) {
      int near = NamingContext(e->context);
      if (near >= 0) return near;
    }
    int family = Find(e->family);
    if (family >= 0) return family;
  }
  return 0;
}

std::vector<IndexEntry> Book::Index() const {
  std::vector<IndexEntry> all;
  std::map<std::string, int> uses;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (size_t i = 0; i < topics.size(); ++i) {
    std::vector<std::string> words = topics[i].keywords;
    words.push_back(topics[i].title);
    std::map<std::string, int> once;
    for (const std::string& w : words) {
      if (w.empty() || !once.emplace(lower(w), 0).second) continue;
      all.push_back(IndexEntry{w, static_cast<int>(i)});
      ++uses[lower(w)];
    }
  }
  for (IndexEntry& e : all)
    if (uses[lower(e.text)] > 1) e.text += " (" + topics[e.topic].title + ")";
  std::stable_sort(all.begin(), all.end(),
                   [](const IndexEntry& a, const IndexEntry& b) { return CompareNoCase(a.text, b.text) < 0; });
  return all;
}

std::vector<std::string> Book::BrokenLinks() const {
  std::vector<std::string> broken;
  for (const Topic& t : topics)
    for (const Block& b : t.blocks)
      for (const Span& s : b.spans)
        if (!s.link.empty() && Find(s.link) < 0) broken.push_back(t.id + " -> " + s.link);
  return broken;
}

int FindIndexPrefix(const std::vector<IndexEntry>& index, std::string_view prefix) {
  for (size_t i = 0; i < index.size(); ++i) {
    const std::string& s = index[i].text;
    if (s.size() < prefix.size()) continue;
    bool same = true;
    for (size_t k = 0; k < prefix.size() && same; ++k)
      same = std::tolower(static_cast<unsigned char>(s[k])) == std::tolower(static_cast<unsigned char>(prefix[k]));
    if (same) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace ql::help
