// What a convert carries into the new archive besides the files: the members' comments, and for
// a new ZIP the folder entries (our pkzip stores none). The packer writes the archive; these
// routines then give it the comments and folders. Platform-free; transforms_win.cpp does the
// file work.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// A member's comment for the new archive: `name` as the source's listing has it ("\" between
// folders; a folder's own entry may end in "\"), `text` as the new archive keeps it.
struct MemberComment {
  std::string name;
  std::string text;
};

// Whether two stored names are the same member: "\" and "/" alike, letters of either case, a
// separator at the end ignored.
bool SameMemberName(std::string_view a, std::string_view b);

// ---------------------------------------------------------------------------------------------
// ZIP

constexpr size_t kZipEndSize = 22;

// Where the central directory of a ZIP archive of `fileSize` bytes lies and how many entries it
// has, from the file's last 22 bytes `end`: only for an end record at the very end, without a
// comment, of a single-disk archive without Zip64 records, as a packer writes a new archive.
bool PlainZipDirectory(const uint8_t* end, uint64_t fileSize, uint64_t* offset, uint64_t* size,
                       uint16_t* entries);

// The bytes that take the place of the central directory `directory` (`entries` entries, at
// `offset`) and of the end record: a local header for each of `folders` (names as listed, "\"
// between folders) that the archive does not hold yet, then the central directory with those
// folders added and `comments` given to the entries they name, then an end record without a
// comment. `dosStamp` (date in the high half) dates the new folder entries; a folder name in
// well-formed UTF-8 beyond ASCII is marked as UTF-8. `*missed` counts the
// comments whose member is not there. False, with nothing made, when the directory does not read
// as `entries` whole entries or the result would need Zip64.
bool ZipTailWithExtras(const std::string& directory, uint64_t offset, uint16_t entries,
                       const std::vector<MemberComment>& comments,
                       const std::vector<std::string>& folders, uint32_t dosStamp, std::string* tail,
                       size_t* missed);

// ---------------------------------------------------------------------------------------------
// ARJ

// Reads up to n bytes into buf and tells how many it read (0 at the end).
using ReadBytes = std::function<size_t(void* buf, size_t n)>;
// Writes n bytes; false when they could not all be written.
using WriteBytes = std::function<bool(const void* data, size_t n)>;

// Copies the ARJ archive that `read` delivers to `write`, header by header, giving the file and
// folder entries that `comments` name their comment (text with LF line ends, as ARJ keeps it);
// the data, extended headers and everything else are copied as they are. `*missed` counts the
// comments whose member is not there or whose header would grow past ARJ's limit. False when
// the archive is not a whole, single-volume ARJ archive with sound header CRCs, or a write fails.
bool CopyArjWithComments(const ReadBytes& read, const WriteBytes& write,
                         const std::vector<MemberComment>& comments, size_t* missed);

}  // namespace ql
