// ARJSFX.EXE: the self-extractor module. ARJ -je puts an archive behind a copy of it; run, it
// extracts that archive (with paths) into the current directory or the directory given, the way
// `ARJ x` would, and answers the same switches for extraction (-y, -jyo, -g, -g?, -f, -u, -n, -jr,
// -ht<dir>, -$). The archiver's switches for making archives are accepted and change nothing;
// -x (exclude) is refused as unknown: the module extracts everything.
//
// A copy of it travels inside every self-extracting archive, so it is built without the C++
// library: no exceptions, no std::string or streams, msvcrt's stdio for the console and Win32 for
// files. The header parser, the decoders, the member-name check, the overwrite rules and the
// file times are the archiver's own (arj_block, arj_decode, common/member_path,
// arj_extract_steps, arj_win_file). It reads one volume: entries that continue in another volume
// are reported, not extracted.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archivers/arj/arj_block.h"
#include "archivers/arj/arj_decode.h"
#include "archivers/arj/arj_extract_steps.h"
#include "archivers/arj/arj_win_file.h"
#include "common/member_path.h"

namespace {

using namespace arj;

constexpr const char* kBanner = "ARJ-compatible archiver, Quillon 5.3";

enum ExitCode {
  kExitOk = 0,
  kExitWarning = 1,
  kExitFatal = 2,
  kExitCrc = 3,
  kExitWrite = 5,
  kExitOpen = 6,
  kExitUser = 7,
  kExitMemory = 8,
  kExitNotArj = 9,
};

// ---------------------------------------------------------------------------------------------
// Console

int exit_code = kExitOk;

void Raise(int code) {
  // The more serious code wins; a warning never hides an error.
  if (code == kExitOk) return;
  if (exit_code == kExitOk || exit_code == kExitWarning) exit_code = code;
}

// msvcrt's own vfprintf: the C++ headers route printf to MinGW's larger implementation.
void Say(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  __ms_vfprintf(stdout, fmt, ap);
  va_end(ap);
}

void Error(int code, const char* fmt, ...) {
  fflush(stdout);
  va_list ap;
  va_start(ap, fmt);
  fputs("ARJ: ", stderr);
  __ms_vfprintf(stderr, fmt, ap);
  fputs("\n", stderr);
  va_end(ap);
  Raise(code);
}

[[noreturn]] void OutOfMemory() {
  Error(kExitMemory, "Not enough memory");
  fflush(stdout);
  ExitProcess(kExitMemory);
}

// A growable zero-terminated string on malloc.
class Text {
 public:
  Text() = default;
  explicit Text(const char* s) { Append(s); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { free(p_); }

  Text& Append(const char* s, size_t n) {
    if (n_ + n + 1 > cap_) {
      size_t cap = (n_ + n + 1) * 2;
      char* p = static_cast<char*>(realloc(p_, cap));
      if (!p) OutOfMemory();
      p_ = p;
      cap_ = cap;
    }
    memcpy(p_ + n_, s, n);
    n_ += n;
    p_[n_] = 0;
    return *this;
  }
  Text& Append(const char* s) { return Append(s, strlen(s)); }
  Text& Append(char c) { return Append(&c, 1); }
  Text& Assign(const char* s, size_t n) {
    Clear();
    return Append(s, n);
  }
  Text& Assign(const char* s) { return Assign(s, strlen(s)); }
  void Clear() { Truncate(0); }
  void Truncate(size_t n) {
    if (n < n_) n_ = n;
    if (p_) p_[n_] = 0;
  }
  const char* c_str() const { return p_ ? p_ : ""; }
  char* data() { return p_; }
  size_t size() const { return n_; }
  bool empty() const { return n_ == 0; }
  char back() const { return n_ ? p_[n_ - 1] : 0; }

 private:
  char* p_ = nullptr;
  size_t n_ = 0, cap_ = 0;
};

// One line of standard input without its line end; false at the end of input.
bool ReadLine(Text* line) {
  line->Clear();
  int c = getc(stdin);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = getc(stdin)) line->Append(static_cast<char>(c));
  if (line->back() == '\r') line->Truncate(line->size() - 1);
  return true;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// ---------------------------------------------------------------------------------------------
// Paths and files

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

void ToNative(Text* s) {
  for (size_t i = 0; i < s->size(); ++i)
    if (s->data()[i] == '/') s->data()[i] = '\\';
}

void JoinPath(const char* dir, const char* name, Text* out) {
  out->Clear();
  size_t n = strlen(dir);
  if (n == 0 || strcmp(dir, ".") == 0) {
    out->Assign(name);
    return;
  }
  out->Assign(dir, n);
  if (!IsSeparator(dir[n - 1])) out->Append('\\');
  out->Append(name);
}

// The directory part with its separator ("C:" for "C:name"; empty for a bare name).
void DirPart(const char* path, Text* out) {
  const char* sep = nullptr;
  for (const char* p = path; *p; ++p)
    if (IsSeparator(*p)) sep = p;
  if (sep) {
    out->Assign(path, static_cast<size_t>(sep - path) + 1);
  } else if (path[0] && path[1] == ':') {
    out->Assign(path, 2);
  } else {
    out->Clear();
  }
}

// An entry's time in Unix seconds: Unix hosts store it so, the others as local DOS time.
int64_t EntryTime(uint8_t host_os, uint32_t mtime) {
  if (host_os == kHostUnix || host_os == kHostNeXT) return static_cast<int64_t>(mtime);
  return win::LocalDosToUnix(mtime);
}

struct FileState {
  bool is_dir = false;
  int64_t mtime = 0;
};

bool Stat(const char* path, FileState* st) {
  Text p(path);
  while (p.size() > 3 && p.back() == '\\') p.Truncate(p.size() - 1);
  WIN32_FILE_ATTRIBUTE_DATA ad;
  if (!GetFileAttributesExA(p.c_str(), GetFileExInfoStandard, &ad)) return false;
  st->is_dir = (ad.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  st->mtime = win::FileTimeToUnix(ad.ftLastWriteTime);
  return true;
}

bool Exists(const char* path) {
  FileState st;
  return Stat(path, &st);
}

// Creates every missing level of a native path.
bool MakeDirs(const char* path) {
  Text p(path);
  while (p.size() > 3 && p.back() == '\\') p.Truncate(p.size() - 1);
  char* s = p.data();
  const size_t n = p.size();
  size_t start = 0;
  if (n >= 2 && s[1] == ':') start = 2;
  if (n >= 2 && s[0] == '\\' && s[1] == '\\') {
    // \\server\share\ is taken as it is
    const char* a = strchr(s + 2, '\\');
    const char* b = a ? strchr(a + 1, '\\') : nullptr;
    start = b ? static_cast<size_t>(b - s) : n;
  }
  for (size_t i = start + 1; i <= n; ++i) {
    if (i < n && s[i] != '\\') continue;
    char keep = s[i];
    s[i] = 0;
    DWORD a = GetFileAttributesA(s);
    bool ok = true;
    if (a != INVALID_FILE_ATTRIBUTES) {
      ok = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    } else if (!CreateDirectoryA(s, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      ok = false;
    }
    s[i] = keep;
    if (!ok) return false;
  }
  return true;
}

void RemoveFile(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path);
}

bool MoveReplace(const char* from, const char* to) {
  SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

// ---------------------------------------------------------------------------------------------
// The archive behind the module

class Archive {
 public:
  ~Archive() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    free(buf_);
  }
  bool OpenFile(const char* path) {
    file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    size_ = GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    return true;
  }
  size_t ReadAt(uint64_t offset, void* buf, size_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file_, buf, static_cast<DWORD>(size), &got, nullptr))
      return 0;
    return got;
  }

  enum Status { kOk, kEnd, kNotArj, kDamaged, kTruncated };

  // Finds the main header: at the start, else behind the module within the first 16 MB.
  Status Open() {
    size_t used = 0;
    uint64_t at = 0;
    Status st = ReadHeaderAt(0, &used);
    if (st != kOk || fields_.file_type != kMainHeader) {
      if (!FindHeader(0, 16u << 20, true, &at)) return kNotArj;
      if (ReadHeaderAt(at, &used) != kOk) return kNotArj;
    }
    main_flags_ = fields_.flags;
    main_encryption_ = fields_.byte28;
    first_entry_ = pos_ = at + used;
    return kOk;
  }
  void Rewind() { pos_ = first_entry_; }

  // The next local header into fields(); with `recover` a damaged header is passed over by
  // searching for the next valid one.
  Status Next(bool recover) {
    for (;;) {
      size_t used = 0;
      Status st = ReadHeaderAt(pos_, &used);
      if (st == kEnd) {
        pos_ += 4;
        return st;
      }
      if (st == kOk && fields_.file_type == kMainHeader) st = kDamaged;
      if (st == kOk) {
        data_offset_ = pos_ + used;
        uint64_t next = data_offset_ + fields_.comp_size;
        if (next > size_ && !recover) return kTruncated;
        pos_ = next;
        return kOk;
      }
      if (!recover) return st;
      uint64_t found = 0;
      if (!FindHeader(pos_ + 1, UINT64_MAX, false, &found)) return st;
      pos_ = found;
    }
  }
  const HeaderFields& fields() const { return fields_; }
  uint64_t data_offset() const { return data_offset_; }
  uint8_t main_flags() const { return main_flags_; }
  uint8_t main_encryption() const { return main_encryption_; }

 private:
  Status ReadHeaderAt(uint64_t offset, size_t* used) {
    size_t want = 4 + kMaxBasicSize + 4 + 2;
    for (;;) {
      if (want > cap_) {
        uint8_t* b = static_cast<uint8_t*>(realloc(buf_, want));
        if (!b) OutOfMemory();
        buf_ = b;
        cap_ = want;
      }
      size_t got = ReadAt(offset, buf_, want);
      switch (ParseHeaderFields(buf_, got, &fields_, used)) {
        case ParseResult::kOk:
          return kOk;
        case ParseResult::kEnd:
          return kEnd;
        case ParseResult::kTruncated:
          if (got < want || want >= (4u << 20)) return kTruncated;
          want *= 4;  // a long extended header chain
          continue;
        default:
          return kDamaged;
      }
    }
  }

  bool FindHeader(uint64_t from, uint64_t limit, bool want_main, uint64_t* found) {
    const size_t kChunk = 1 << 16;
    if (limit > size_) limit = size_;
    uint8_t* chunk = static_cast<uint8_t*>(malloc(kChunk));
    if (!chunk) OutOfMemory();
    bool hit = false;
    for (uint64_t base = from; base < limit && !hit;) {
      size_t got = ReadAt(base, chunk, kChunk);
      if (got < 2) break;
      for (size_t i = 0; i + 1 < got && base + i < limit; ++i) {
        if (chunk[i] != kIdLo || chunk[i + 1] != kIdHi) continue;
        size_t used = 0;
        if (ReadHeaderAt(base + i, &used) == kOk &&
            (want_main ? fields_.file_type == kMainHeader : fields_.file_type != kMainHeader)) {
          *found = base + i;
          hit = true;
          break;
        }
      }
      if (got < kChunk) break;
      base += got - 1;
    }
    free(chunk);
    return hit;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  uint64_t size_ = 0;
  uint8_t* buf_ = nullptr;
  size_t cap_ = 0;
  HeaderFields fields_ = {};
  uint64_t first_entry_ = 0, pos_ = 0, data_offset_ = 0;
  uint8_t main_flags_ = 0, main_encryption_ = 0;
};

// One entry's data, decoded into an open file with its CRC checked.
enum class DataResult { kOk, kCrcError, kWriteError, kUnsupported };

struct DataPipe {
  Archive* archive;
  uint64_t pos, end;
  const char* password;
  size_t password_size;
  uint8_t modifier;
  size_t key_index;
  HANDLE out;
  uint32_t crc;
  bool write_failed;
};

size_t PipeRead(void* context, uint8_t* buf, size_t size) {
  auto* p = static_cast<DataPipe*>(context);
  if (p->pos >= p->end) return 0;
  if (size > p->end - p->pos) size = static_cast<size_t>(p->end - p->pos);
  size_t n = p->archive->ReadAt(p->pos, buf, size);
  p->pos += n;
  GarbleBytes(p->password, p->password_size, p->modifier, &p->key_index, buf, n);
  return n;
}

bool PipeWrite(void* context, const uint8_t* buf, size_t size) {
  auto* p = static_cast<DataPipe*>(context);
  p->crc = Crc32Update(p->crc, buf, size);
  DWORD done = 0;
  if (!WriteFile(p->out, buf, static_cast<DWORD>(size), &done, nullptr) || done != size) {
    p->write_failed = true;
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Extraction

struct Options {
  Text target_dir;
  Text password;
  bool ask_password = false;  // -g?
  bool yes = false;           // -y, -jyo
  bool freshen = false;       // -f
  bool update = false;        // -u
  bool only_new = false;      // -n
  bool recover = false;       // -jr
  bool label = false;         // -$
};

bool Is(const char* up, const char* name) { return strcmp(up, name) == 0; }

// The archiver's switches: those that matter for extraction set options, the rest are accepted.
bool ParseSwitch(const char* arg, Options* o) {
  const char* sw = arg + 1;
  Text up(sw);
  for (size_t i = 0; i < up.size(); ++i) up.data()[i] = UpperAscii(up.data()[i]);
  const char* u = up.c_str();
  const char first = u[0];
  if (Is(u, "Y") || (first == 'J' && u[1] == 'Y' && (u[2] == 0 || strchr(u, 'O')))) {
    o->yes = true;
  } else if (first == 'J' && u[1] == 'Y') {
    // -jy without O: other questions
  } else if (first == 'G') {
    o->password.Assign(sw + 1);
    if (Is(o->password.c_str(), "?")) {
      o->password.Clear();
      o->ask_password = true;
    }
  } else if (Is(u, "F")) {
    o->freshen = true;
  } else if (Is(u, "U")) {
    o->update = true;
  } else if (Is(u, "N")) {
    o->only_new = true;
  } else if (Is(u, "JR") || Is(u, "JR1")) {
    o->recover = true;
  } else if (first == '$') {
    o->label = true;
  } else if (first == 'H' && u[1] == 'T') {
    o->target_dir.Assign(sw + 2);
  } else if (first == 'V' || first == 'W' || first == 'Z' || (first == 'J' && u[1] == 'Z')) {
    // volumes, work directory, comments: nothing to do when the archive is the module's own
  } else {
    static const char* const kInert[] = {"A",  "A+", "A1", "E",  "E1", "R",   "S",   "S1", "S3",
                                         "M0", "M1", "M2", "M3", "M4", "JM",  "JM1", "K",  "P",
                                         "P1", "JE", "JE1", "D", "D1", "JT",  "JT1", "I",  "2D",
                                         "T0", "T1", "HY", "JV", "Q"};
    for (const char* k : kInert)
      if (Is(u, k)) return true;
    return false;
  }
  return true;
}

class Extractor {
 public:
  Extractor(const char* self, Options* o) : self_(self), o_(*o) {}
  int Run();

 private:
  bool NeedPassword();
  bool Ask(const char* question, char* answer);
  // False to stop (Quit).
  bool ExtractEntry();
  bool WriteData(HANDLE out, bool* crc_ok);

  const char* self_;
  Options& o_;
  Archive archive_;
  Text name_;  // the current entry's name
  OverwriteAnswers answers_;
};

bool Extractor::NeedPassword() {
  if (!o_.password.empty()) return true;
  if (!o_.ask_password) return false;
  Say("Enter password: ");
  fflush(stdout);
  ReadLine(&o_.password);
  o_.ask_password = false;
  return !o_.password.empty();
}

bool Extractor::Ask(const char* question, char* answer) {
  Say("%s", question);
  fflush(stdout);
  Text line;
  if (!ReadLine(&line)) {
    Say("\n");
    *answer = 0;
    return false;
  }
  const char* p = line.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  *answer = UpperAscii(*p);
  return true;
}

bool Extractor::WriteData(HANDLE out, bool* crc_ok) {
  const HeaderFields& h = archive_.fields();
  *crc_ok = true;
  const bool garbled = (h.flags & kGarbled) != 0;
  if (garbled && o_.password.empty()) {
    Error(kExitWarning, "%s is garbled: a password is needed (-g)", name_.c_str());
    return false;
  }
  if (h.method > 4) {
    Error(kExitFatal, "%s: unknown method %d", name_.c_str(), h.method);
    return false;
  }
  DataPipe pipe = {&archive_,
                   archive_.data_offset(),
                   archive_.data_offset() + h.comp_size,
                   o_.password.c_str(),
                   garbled ? o_.password.size() : 0,
                   h.garble_mod,
                   0,
                   out,
                   0xFFFFFFFFu,
                   false};
  DecodeResult r = DecodeStream(h.method, h.comp_size, h.orig_size,
                                DecodeIo{PipeRead, PipeWrite, &pipe});
  if (pipe.write_failed) {
    Error(kExitWrite, "Write error on %s", name_.c_str());
    return false;
  }
  if (r == DecodeResult::kNoMemory) OutOfMemory();
  if (r == DecodeResult::kUnsupported) {
    Error(kExitFatal, "%s: unknown method %d", name_.c_str(), h.method);
    return false;
  }
  if (r != DecodeResult::kOk || ~pipe.crc != h.crc) *crc_ok = false;
  if (h.flags & kVolume) {
    Error(kExitFatal, "%s continues in the next volume; the self-extractor reads only its own",
          name_.c_str());
    return false;
  }
  return true;
}

bool Extractor::ExtractEntry() {
  const HeaderFields& h = archive_.fields();
  name_.Assign(h.name, h.name_size);
  if (h.file_type == kChapterLabel || h.file_type == kMainHeader) return true;
  if (h.flags & kExtFile) {
    Say("Skipping %s: continued from an earlier volume\n", name_.c_str());
    Raise(kExitWarning);
    return true;
  }
  if (h.file_type == kVolumeLabel) {
    if (o_.label) Say("Volume label %s not restored\n", name_.c_str());
    return true;
  }
  if (h.file_type == kUnixSpecial) {
    Say("Skipping %s: special file (link or device)\n", name_.c_str());
    Raise(kExitWarning);
    return true;
  }
  if ((h.flags & kGarbled) && (archive_.main_encryption() & 0x0F) >= 2) {
    Error(kExitFatal, "%s: encryption method %d is not supported", name_.c_str(),
          archive_.main_encryption() & 0x0F);
    return true;
  }
  if ((h.flags & kGarbled) && o_.password.empty()) NeedPassword();

  // The clean path is never longer than the name.
  char* clean = static_cast<char*>(malloc(name_.size() + 1));
  if (!clean) OutOfMemory();
  const char* why = nullptr;
  ql::SafeMemberPath(name_.c_str(), name_.size(), clean, name_.size() + 1, &why);
  Text rel(clean);
  free(clean);
  if (rel.empty()) {
    Error(kExitWarning, "Refused %s: unsafe name (absolute, drive, .. or device)", name_.c_str());
    return true;
  }
  Text target;
  JoinPath(o_.target_dir.c_str(), rel.c_str(), &target);
  ToNative(&target);
  if (h.file_type == kDirectory) {
    if (!MakeDirs(target.c_str())) Error(kExitWrite, "Can't create directory %s", target.c_str());
    return true;
  }
  FileState existing;
  const bool exists = Stat(target.c_str(), &existing);
  if (exists && existing.is_dir) {
    Error(kExitWarning, "Skipping %s: a directory of that name exists", target.c_str());
    return true;
  }
  const int64_t mtime = EntryTime(h.host_os, h.mtime);
  const uint8_t host = h.host_os;
  const uint16_t mode = h.access_mode;
  const ExtractRules rules = {o_.only_new, o_.freshen, o_.update, o_.yes};
  const ExtractChoice choice =
      ChooseExtract(rules, exists, existing.mtime, mtime, &answers_, [&](char* answer) {
        Text question(target.c_str());
        question.Append(kOverwriteQuestion);
        Ask(question.c_str(), answer);
      });
  if (choice == ExtractChoice::kDeclined || choice == ExtractChoice::kQuit) Raise(kExitWarning);
  if (choice != ExtractChoice::kWrite) return choice != ExtractChoice::kQuit;
  Text dir;
  DirPart(target.c_str(), &dir);
  if (!dir.empty() && !MakeDirs(dir.c_str())) {
    Error(kExitWrite, "Can't create directory %s", dir.c_str());
    return true;
  }
  // Written beside the target under a temporary name; it replaces the target only when the data
  // checked out.
  Text temp;
  for (int n = 0;; ++n) {
    char suffix[32];
    _snprintf(suffix, sizeof suffix, ".$arj%d$", n);
    suffix[sizeof suffix - 1] = 0;
    temp.Assign(target.c_str()).Append(suffix);
    if (!Exists(temp.c_str())) break;
  }
  HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    Error(kExitOpen, "Can't create %s", target.c_str());
    return true;
  }
  Say("Extracting %-40s ", name_.c_str());
  fflush(stdout);
  bool crc_ok = true;
  bool ok = WriteData(f, &crc_ok);
  if (!CloseHandle(f)) ok = false;
  if (!KeepWritten(
          ok, crc_ok, o_.recover, target.c_str(),
          [](const char* format, auto... args) { Say(format, args...); },
          [] { Raise(kExitCrc); })) {
    RemoveFile(temp.c_str());
    return true;
  }
  if (exists) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // clear read-only
  if (!MoveReplace(temp.c_str(), target.c_str())) {
    RemoveFile(temp.c_str());
    Error(kExitWrite, "Can't write %s", target.c_str());
    return true;
  }
  win::SetUnixMtime(target.c_str(), mtime);
  SetFileAttributesA(target.c_str(), win::AttributesFor(host, mode, false));
  if (crc_ok) Say("OK\n");
  return true;
}

int Extractor::Run() {
  if (!o_.target_dir.empty()) {
    Text dir(o_.target_dir.c_str());
    ToNative(&dir);
    if (!Exists(dir.c_str()) && !MakeDirs(dir.c_str())) {
      Error(kExitWrite, "Can't create directory %s", o_.target_dir.c_str());
      return exit_code;
    }
  }
  Say("%s\nProcessing archive: %s\n", kBanner, self_);
  if (!archive_.OpenFile(self_)) {
    Error(kExitOpen, "Can't open %s", self_);
    return exit_code;
  }
  if (archive_.Open() != Archive::kOk) {
    Error(kExitNotArj, "%s is not an ARJ archive", self_);
    return exit_code;
  }
  // Every header is checked before anything is written; a damaged archive gives up what lies
  // before the damage.
  size_t entries = 0;
  for (;;) {
    Archive::Status st = archive_.Next(o_.recover);
    if (st == Archive::kEnd) break;
    if (st == Archive::kOk) {
      ++entries;
      continue;
    }
    if (st == Archive::kTruncated) {
      Error(kExitFatal, "Unexpected end of archive %s", self_);
    } else {
      Error(kExitCrc, "Bad header in %s (CRC error or damaged archive)", self_);
    }
    if (entries == 0) return exit_code;
    break;
  }
  archive_.Rewind();
  for (size_t i = 0; i < entries; ++i) {
    archive_.Next(o_.recover);
    if (!ExtractEntry()) break;
  }
  if (archive_.main_flags() & kVolume)
    Error(kExitWarning, "More volumes follow; the self-extractor reads only its own");
  if (exit_code == kExitOk) Say("All files OK\n");
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  bool switches = true;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (switches && strcmp(a, "--") == 0) {
      switches = false;
      continue;
    }
    if (switches && a[0] == '-' && a[1]) {
      if (!ParseSwitch(a, &o)) {
        Error(kExitUser, "Unknown switch %s", a);
        fflush(stdout);
        return exit_code;
      }
      continue;
    }
    // A directory (ending in a separator) is the target; names and lists select nothing here:
    // the whole archive is extracted.
    size_t n = strlen(a);
    if (n && IsSeparator(a[n - 1])) o.target_dir.Assign(a, n);
  }
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    Error(kExitOpen, "Can't find the module's own file");
    return exit_code;
  }
  Extractor x(self, &o);
  int r = x.Run();
  fflush(stdout);
  return r;
}
