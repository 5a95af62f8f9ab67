// What an archive reader produces: lines for its targets, and an outcome for its caller.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "resources/ids.h"

namespace ql {

// Message numbers the readers report (texts in the program's string table).
enum ReaderMessage : unsigned {
  kMsgCannotOpenArchive = IDS_ARCHIVE_NOT_CREATED,  // 3006, with the path
  kMsgBadArj = IDS_ARJ_INVALID,                     // 3029
  kMsgZipDamaged = IDS_MAY_BE_DAMAGED,              // 3035, with the path
  kMsgZipInvalid = IDS_ZIP_INVALID,                 // 3039
  kMsgZipMultiVolume = IDS_MULTI_VOLUME_ZIP,        // 3071
};

// The message text for a reader message number (empty for others), as the string table holds it.
const char* ReaderMessageText(unsigned id);
// The text with its %s argument filled in.
std::string FormatReaderMessage(unsigned id, std::string_view arg);

// Receives lines. `add` appends at the end; `insertTop` puts a line first (the ZIP title);
// `columns` receives the column title (and the separator line) of a full listing.
struct LineSink {
  void* ctx = nullptr;
  void (*add)(void* ctx, const char* text, size_t len) = nullptr;
  void (*insertTop)(void* ctx, const char* text, size_t len) = nullptr;
  void (*columns)(void* ctx, const char* title, const char* separator) = nullptr;
};

// How member names become the text of lines. The Win32 half converts through the code pages;
// without a converter a UTF-8 name is shown as its bytes and a DOS name as stored.
struct NameText {
  // A name in the DOS (OEM) code page as UTF-8; empty when it cannot be converted.
  std::string (*oemToUtf8)(std::string_view oem) = nullptr;
  // A UTF-8 name as a line shows it: what the lines' code page cannot hold becomes '?'.
  std::string (*utf8ToLine)(std::string_view utf8) = nullptr;
};

// Where a listing goes. `list` is a browser list (full lines: file lines, comment references and
// title) or a plain list (bare names); `file` is a printing target that gets file lines and the
// comment texts themselves. Either may be absent. Lines are matched against `mask`.
struct ListTargets {
  LineSink* list = nullptr;
  bool fullLines = true;
  LineSink* file = nullptr;
  std::string_view mask = "*.*";
  // Every directory entry is listed as well, whatever the mask (and in an ARJ whatever its
  // comment): for a reader that must know the folders an archive holds.
  bool directoryEntries = false;
  // A full line of a member whose name is not plain ASCII ends with a reference to its real name
  // (see listing_lines.h): the name it shows may be a look-alike.
  const NameText* names = nullptr;
};

// How a read ended and the totals a browser window keeps in its words.
struct ListOutcome {
  int result = 0;            // ZIP: 1 read to the end, 0 nothing done, -1 failed; ARJ: count or -1
  unsigned message = 0;      // message to show, 0 for none
  std::string messageArg;    // its %s argument
  bool complete = false;     // the end of the archive was reached: the totals are valid
  uint64_t archiveSize = 0;
  uint64_t totalLength = 0;  // sum of uncompressed sizes of all entries, listed or not
  uint64_t totalSize = 0;    // sum of compressed sizes
  uint32_t fileCount = 0;    // ZIP: local headers met; ARJ: file entries listed
  bool encryptedKnown = false;  // ZIP: at least one local header was met
  bool encrypted = false;       // ZIP: encryption bit of the last local header met
};

}  // namespace ql
