// The command-line driver shared by the LZH and ARC extractors: opens the archive, walks its
// members and lists, tests or extracts each one, with the same messages and totals. The format
// (headers, methods, decoding, the list columns) comes in through MemberFormat.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace qlx {

// Reads up to `size` bytes, returns the count (0 at the end or on failure).
using ByteReader = std::function<size_t(uint8_t* buf, size_t size)>;
// Takes `size` bytes; false stops the decoder.
using ByteWriter = std::function<bool(const uint8_t* buf, size_t size)>;

enum class RunMode { kExtract, kList, kTest };

// One archive format as the driver sees it; the member is the one the last Next read.
class MemberFormat {
 public:
  enum class Header { kMember, kEnd, kBad };
  virtual ~MemberFormat() = default;
  // Reads the header that starts at `header_at`; afterwards `in` stands at the member's data.
  // On kBad `*message` tells why.
  virtual Header Next(const ByteReader& in, uint64_t header_at, const char** message) = 0;
  virtual const std::string& name() const = 0;
  virtual uint32_t comp_size() const = 0;
  virtual uint32_t orig_size() const = 0;
  virtual bool is_dir() const { return false; }
  // Why the member is not extracted at all (a symbolic link, say); nullptr for members that are.
  virtual const char* refusal() const { return nullptr; }
  // The modification time in Unix seconds, negative when unknown.
  virtual int64_t unix_time() const = 0;
  virtual bool method_supported() const = 0;
  // The method as the "unsupported method" message names it.
  virtual std::string method_label() const = 0;
  // The member's row in the list.
  virtual void PrintRow(FILE* out) const = 0;
  // Decodes the member's data (exactly comp_size() bytes from `in`); nullptr when it is good,
  // else what is wrong.
  virtual const char* Decode(const ByteReader& in, const ByteWriter& out) const = 0;
};

struct FormatText {
  const char* usage;
  const char* kind;        // "LZH": "not an LZH archive"
  const char* list_title;  // the list's first line
  const char* total_gap;   // blanks between the packed total and the member count
};

// `words` are the arguments after the command: the archive and, for extraction, the target
// directory. `need_archive`: an empty archive name is a command error rather than a file that
// cannot be opened. An existing file, or one written earlier in the run, is asked about before it
// is replaced (`yes`: replaced without asking); with no answer it is kept and counted as not
// extracted. Returns the exit code: 0 all well, 1 damage or members not extracted, 2 command-line
// or file errors.
int RunMembers(MemberFormat& format, const FormatText& text, RunMode mode,
               const std::vector<std::string>& words, bool need_archive, bool yes, FILE* out);

}  // namespace qlx
