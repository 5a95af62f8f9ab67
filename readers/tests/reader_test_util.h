// Helpers for the reader tests: fixtures, and a reader run that collects its lines.
#pragma once
#include <string>
#include <vector>

#include "readers/listing.h"

namespace qltest {

std::string FixturePath(const std::string& name);
std::vector<unsigned char> LoadFixture(const std::string& name);

struct Listing {
  std::vector<std::string> list;   // what the list box holds
  std::vector<std::string> file;   // what the output file holds
  std::string columnTitle;
  std::string separator;
  int columnCalls = 0;
  ql::ListOutcome outcome;
  int sourceReads = 0;  // reads of the source (when reading through the window)
};

enum class Kind { kZip, kArj };

struct RunOptions {
  bool fullLines = true;
  bool withList = true;
  bool withFile = false;
  std::string mask = "*.*";
  bool throughReads = false;  // read through the buffered window instead of a mapped image
  const ql::NameText* names = nullptr;
};

Listing ListArchive(Kind kind, const std::vector<unsigned char>& bytes, const RunOptions& o = RunOptions());

}  // namespace qltest
