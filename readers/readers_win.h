// The readers' Win32 half: archive files through the Win32 file API, lines into list boxes and
// output files, totals into a browser window's words, messages to the user.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// The words of a browser window (32-bit each, in the window's extra bytes); the readers write the
// listing text and the totals.
enum BrowserWindowWord : int {
  kWordArchiveType = 0,  // 2 ZIP, 3 ARJ
#ifdef _WIN64
  kWordListingText = 40,  // a 64-bit build keeps the block's handle in a slot of pointer size
#else
  kWordListingText = 4,  // handle of the block holding the listing's name, column title and separator
#endif
  kWordArchiveSize = 8,
  kWordTotalLength = 12,
  kWordFileCount = 16,
  kWordTotalSize = 20,
  kWordSlot = 24,  // the window's slot in the window table
  kWordEncrypted = 28,
  // The two totals again in thousands of bytes, so that figures past 4 GB (where the words
  // above stop at their largest) can still be shown.
  kWordTotalLengthThousands = 32,
  kWordTotalSizeThousands = 36,
};
#ifdef _WIN64
constexpr int kBrowserExtraBytes = 48;
#else
constexpr int kBrowserExtraBytes = 40;
#endif


// Tests whether an open file is a ZIP archive (also a self-extracting one). When it is, the file
// is left positioned at the first local header. `spanning` (optional) tells whether the file
// begins with the spanning marker of a multiple-volume set.
bool FindZipStart(HANDLE file, bool* spanning);
// Whether the file at `path` is a ZIP archive (a self-extracting program holding one counts);
// false when it cannot be opened.
bool FileHoldsZip(const std::string& path);

// What an archive holds besides its files, which a whole-archive conversion must see to: the
// listing line that points at the archive comment ("" when there is none), the members that have
// a comment with the listing line that points at it, the names of the directory entries (without
// a separator at the end), and whether any of them is a folder that holds nothing (the other
// folders live on in the paths of their files). Nothing when the archive cannot be read to its end.
struct ArchiveExtras {
  std::string titleLine;
  struct CommentLine {
    std::string name;  // as listed, "\" between folders
    std::string line;
  };
  std::vector<CommentLine> commentLines;
  std::vector<std::string> folders;
  bool fileComments = false;
  bool emptyFolders = false;
};
ArchiveExtras ArchiveExtrasOf(const std::string& path, bool arj);

// Lists a ZIP archive into `list` (a qllistbox gets full lines and its window's words, another
// list box bare names) and/or the output file `out` (full lines and comment texts, each ended by
// CR LF). Returns 1 when read to the end record, 0 when nothing was done, -1 after a message.
int ReadZipDirectory(const char* path, HWND list, const char* mask, HANDLE out);

// Lists an ARJ archive. `window` is the browser window (or none) whose words and listing text
// are written; `form` 1 gives full lines, 0 bare names. Returns the number of file entries
// listed, 0 when there is nothing to do (also for a window that shows no archive), -1 after a
// message. During the read the current directory is the one remembered for the program's drive
// (the window's, else the drive's "=X:" entry, else its root); afterwards the one remembered for
// the drive that was current (the window's, else the directory that was current).
int ReadArjDirectory(HWND window, const char* path, HWND list, int form, const char* mask, HANDLE out);

// What the ARJ reader asks about the browser window it fills; the browser windows answer. Until
// they are set, every window counts as showing an archive and remembers no directories.
struct BrowserQueries {
  // Whether the window's record holds an archive path.
  bool (*showsArchive)(HWND window) = nullptr;
  // The directory the window remembers for a drive letter; false when it remembers none.
  bool (*recallDriveDir)(HWND window, char letter, char* out, size_t outSize) = nullptr;
};
void SetBrowserQueries(const BrowserQueries& queries);

// The current directory around a read into a browser window: the directory remembered for the
// program's drive during the read (only when the current drive is another one, with
// `onlyFromAnotherDrive`), then the one remembered for the drive that was current.
class CurrentDirAroundRead {
 public:
  CurrentDirAroundRead(HWND window, bool onlyFromAnotherDrive);
  ~CurrentDirAroundRead() { Restore(); }
  void Restore();
  CurrentDirAroundRead(const CurrentDirAroundRead&) = delete;
  CurrentDirAroundRead& operator=(const CurrentDirAroundRead&) = delete;

 private:
  std::string back_;
};

}  // namespace ql
