// Reads arbitrary bytes as a help data file (the user can change QL53.HLP beside the program) and
// uses what it got: contexts, index and links.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/help_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ql::help::Book book;
  ql::help::ParseBook(std::string_view(reinterpret_cast<const char*>(data), size), &book);
  for (unsigned c : {0u, 2003u, 7018u, 7087u, 99999u}) {
    int t = book.ForContext(c);
    if (t >= static_cast<int>(book.topics.size())) __builtin_trap();
  }
  auto index = book.Index();
  ql::help::FindIndexPrefix(index, "ex");
  book.BrokenLinks();
  return 0;
}
