// Option parsing for pkzip/pkunzip command lines and the engines' "|"-separated argument strings.
#pragma once
#include <string>
#include <vector>

namespace qlzip {

// Splits a "|"-separated engine string into command-line tokens. Elements are trimmed; an element
// that starts with "-" holds one or more blank-separated options, except that "-s" (password) and
// "-b" (directory) take the rest of their element; any other element is one token (a path may
// contain blanks).
std::vector<std::string> SplitEngineString(const std::string& s);

enum class ZipAction { kAdd, kUpdate, kFreshen, kDelete, kCommentsOnly, kView };

struct ZipArgs {
  ZipAction action = ZipAction::kAdd;
  bool actionGiven = false;
  bool move = false;
  int level = 6;             // 0 stores
  bool recurse = false;      // -r
  bool relPaths = false;     // -p
  bool givenPaths = false;   // -P
  bool keepDate = false;     // -k
  bool newestDate = false;   // -o
  bool hiddenSystem = false; // -w
  bool label = false;        // -$
  bool span = false;         // -&
  bool quiet = false;        // -q (engine)
  bool archiveComment = false;  // -z
  bool fileComments = false;    // -c
  bool password = false;     // -s given
  std::string passwordText;  // empty with -s alone: ask
  std::string tempDir;       // -b
  std::string archive;
  std::vector<std::string> specs;
  std::vector<std::string> lists;     // @listfile
  std::vector<std::string> excludes;  // -x
  std::string error;         // a bad option; empty when the arguments are usable
};

struct UnzipArgs {
  bool test = false;       // -t
  bool view = false;       // -v
  bool paths = false;      // -d
  bool overwrite = false;  // -o
  bool newer = false;      // -n
  bool freshen = false;    // -f
  std::string order;       // sort keys from -e (c d e n p s), in the order given
  bool reverse = false;    // -er
  bool label = false;      // -$
  bool quiet = false;      // -q
  bool password = false;
  std::string passwordText;
  std::string archive;
  std::vector<std::string> specs;
  std::vector<std::string> lists;
  std::vector<std::string> excludes;
  std::string dest;        // ends in '\' or '/' (or a bare drive) on the command line
  std::string error;
};

ZipArgs ParseZipArgs(const std::vector<std::string>& tokens);
UnzipArgs ParseUnzipArgs(const std::vector<std::string>& tokens);

}  // namespace qlzip
