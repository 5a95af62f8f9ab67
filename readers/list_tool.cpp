// quillon-list: prints what a browser window would hold for an archive.
//   quillon-list [--mask MASK] [--names] [--no-map] ARCHIVE
// Writes the lines (full form, or bare names with --names), then one line with the window words.
// On failure prints the message text and exits non-zero. --no-map reads the file through
// buffered reads (as the Win32 program does) instead of mapping it.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "readers/arj_reader.h"
#include "readers/zip_reader.h"

namespace {

// Lines are kept until the end (a title goes first), in pieces (64 KiB, doubling up to 1 MiB) so
// that a long listing is never copied while it grows. Each piece is mapped with its pages populated
// in one call: touching fresh pages one at a time cost more than the listing itself.
struct Output {
  static constexpr size_t kFirstPiece = 1 << 16, kPiece = 1 << 20;
  struct Piece {
    char* text;
    size_t used, room;
  };
  std::string top;
  std::vector<Piece> body;

  ~Output() {
    for (const Piece& p : body) munmap(p.text, p.room);
  }

  // Room for `len` more bytes at the end of the last piece.
  char* Reserve(size_t len) {
    if (body.empty() || body.back().room - body.back().used < len) {
      size_t room = std::max(std::min(kPiece, kFirstPiece << std::min<size_t>(body.size(), 4)), len);
      void* m = mmap(nullptr, room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                     -1, 0);
      if (m == MAP_FAILED) {
        perror("quillon-list");
        exit(1);
      }
      body.push_back(Piece{static_cast<char*>(m), 0, room});
    }
    Piece& p = body.back();
    char* at = p.text + p.used;
    p.used += len;
    return at;
  }
};

void AddLine(void* ctx, const char* text, size_t len) {
  char* at = static_cast<Output*>(ctx)->Reserve(len + 1);
  memcpy(at, text, len);
  at[len] = '\n';
}

void InsertTop(void* ctx, const char* text, size_t len) {
  std::string& t = static_cast<Output*>(ctx)->top;
  t.insert(0, "\n");
  t.insert(0, text, len);
}

size_t ReadAt(void* ctx, uint64_t pos, void* buf, size_t n) {
  ssize_t r = pread(*static_cast<int*>(ctx), buf, n, static_cast<off_t>(pos));
  return r > 0 ? static_cast<size_t>(r) : 0;
}

// ".ARJ", and the later volumes of a set: ".A01" to ".A99".
bool IsArjName(const char* path) {
  size_t n = strlen(path);
  if (n < 4 || path[n - 4] != '.') return false;
  const char* ext = path + n - 3;
  if (strcasecmp(ext, "arj") == 0) return true;
  return (ext[0] == 'a' || ext[0] == 'A') && isdigit(static_cast<unsigned char>(ext[1])) &&
         isdigit(static_cast<unsigned char>(ext[2]));
}

int Usage() {
  fprintf(stderr, "usage: quillon-list [--mask MASK] [--names] [--no-map] ARCHIVE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mask = "*.*";
  bool names = false;
  bool noMap = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--mask") == 0 && i + 1 < argc) mask = argv[++i];
    else if (strcmp(argv[i], "--names") == 0) names = true;
    else if (strcmp(argv[i], "--no-map") == 0) noMap = true;
    else if (argv[i][0] == '-' && argv[i][1] == '-') return Usage();
    else if (!path) path = argv[i];
    else return Usage();
  }
  if (!path) return Usage();
  bool arj = IsArjName(path);

  struct stat st;
  if (!arj && stat(path, &st) != 0) {
    fprintf(stderr, "quillon-list: %s: no such file\n", path);  // the window shows nothing
    return 1;
  }
  int fd = open(path, O_RDONLY);
  if (fd < 0 || fstat(fd, &st) != 0) {
    fputs(ql::FormatReaderMessage(ql::kMsgCannotOpenArchive, path).c_str(), stderr);
    fputc('\n', stderr);
    return 1;
  }
  ql::ByteSource src;
  src.size = static_cast<uint64_t>(st.st_size);
  void* map = MAP_FAILED;
  if (st.st_size > 0 && !noMap) map = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  if (map != MAP_FAILED) {
    src.mapped = static_cast<const uint8_t*>(map);
  } else {
    src.ctx = &fd;
    src.readAt = ReadAt;
  }

  Output out;
  ql::LineSink sink;
  sink.ctx = &out;
  sink.add = AddLine;
  sink.insertTop = InsertTop;
  ql::ListTargets targets;
  targets.list = &sink;
  targets.fullLines = !names;
  targets.mask = mask;
  ql::ListOutcome r = arj ? ql::ReadArjListing(src, targets) : ql::ReadZipListing(src, path, targets);

  fwrite(out.top.data(), 1, out.top.size(), stdout);
  for (const Output::Piece& piece : out.body) fwrite(piece.text, 1, piece.used, stdout);
  if (r.message) {
    fflush(stdout);
    fputs(ql::FormatReaderMessage(r.message, r.messageArg).c_str(), stderr);
    fputc('\n', stderr);
    return 1;
  }
  printf("= archive size %llu, total length %llu, file count %u, total size %llu, encrypted %d\n",
         static_cast<unsigned long long>(r.archiveSize),
         static_cast<unsigned long long>(r.totalLength), r.fileCount,
         static_cast<unsigned long long>(r.totalSize), (!arj && r.encrypted) ? 1 : 0);
  return 0;
}
