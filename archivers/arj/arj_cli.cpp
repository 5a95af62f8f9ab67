#include "archivers/arj/arj_cli.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <set>

#include "archivers/arj/arj_archive.h"
#include "archivers/arj/arj_extract_steps.h"
#include "archivers/arj/arj_fs.h"
#include "common/console_output.h"
#include "common/mask.h"

namespace arj {
namespace {

constexpr const char* kBanner = "ARJ-compatible archiver, Quillon 5.3";

// ---------------------------------------------------------------------------------------------
// Small helpers

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

bool EndsWithSep(const std::string& s) { return !s.empty() && fs::IsSeparator(s.back()); }

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir == ".") return name;
  if (EndsWithSep(dir)) return dir + name;
  return dir + fs::kSep + name;
}

std::string ToNative(std::string s) {
  for (char& c : s)
    if (fs::IsSeparator(c)) c = fs::kSep;
  return s;
}

std::string DirPart(const std::string& path) {
  size_t p = path.find_last_of("/\\");
  if (p == std::string::npos) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return std::string();
  }
  return path.substr(0, p + 1);
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

bool IsMatchAll(const std::string& mask) { return mask == "*" || mask == "*.*"; }

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (fs::IsSeparator(x) && fs::IsSeparator(y)) continue;
    if (Upper(std::string(1, x)) != Upper(std::string(1, y))) return false;
  }
  return true;
}

// A bare name against a mask without directory.
bool MatchName(const std::string& name, const std::string& mask) {
  if (IsMatchAll(mask)) return true;
  if (SameText(name, mask)) return true;
  return ql::MatchFileMask(name, mask);
}

// A stored member name (with '/') against one file specification.
bool MatchMember(const std::string& stored, std::string spec, bool full_path) {
  spec = StoredName(spec);
  if (spec.empty()) return false;
  std::string dir = DirPart(spec);
  if (!dir.empty()) {
    if (SameText(stored, spec)) return true;
    std::string sdir = DirPart(stored);
    if (!SameText(sdir, dir)) return false;
    return MatchName(BaseName(stored), BaseName(spec));
  }
  if (full_path && stored.find('/') != std::string::npos) return false;
  return MatchName(BaseName(stored), spec);
}

std::string ReadTextFile(const std::string& path, bool* ok) {
  std::string s;
  FILE* f = fopen(ToNative(path).c_str(), "rb");
  *ok = f != nullptr;
  if (!f) return s;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

std::string NormaliseComment(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == 0x1A) break;
    out += text[i];
  }
  if (out.size() > kMaxCommentSize) out.resize(kMaxCommentSize);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Options

struct Options {
  char command = 0;
  std::string archive;
  std::string target_dir;
  std::vector<std::string> specs;
  std::vector<std::string> excludes;
  bool exclude_paths = false;   // -e
  bool exclude_base = false;    // -e1
  bool recurse = false;         // -r
  bool any_attrib = false;      // -a
  bool dir_entries = false;     // -a1
  int method = 1;               // -m
  bool maximum = false;         // -jm
  bool backup = false;          // -k
  bool volumes = false;         // -v...
  bool volume_auto = false;     // -va
  uint64_t volume_size = 0;
  std::string work_dir;         // -w
  std::string password;         // -g
  bool ask_password = false;    // -g?
  bool yes_overwrite = false;   // -jyo, -y
  bool freshen_extract = false; // -f
  bool update_extract = false;  // -u
  bool new_extract = false;     // -n
  int stamp = 0;                // 1: -s (newest entry), 2: -s1 (keep)
  bool label = false;           // -$
  bool full_path_match = false; // -p, -p1
  bool sfx = false;             // -je
  bool recover = false;         // -jr
  bool comment_archive = false; // -z
  std::string comment_file;
  bool comment_files = false;   // -jz
  std::string file_comment_file;
  bool delete_sources = false;  // -d
  bool test_after = false;      // -jt
};

bool ParseSize(const std::string& s, uint64_t* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  unsigned long long v = strtoull(s.c_str(), &end, 10);
  std::string unit = Upper(end);
  if (unit.empty()) {
    // A plain number below 10,000 counts thousands of bytes (-v360, -v1440); a larger one is
    // the size in bytes (-v50000), as ARJ reads it.
    *out = v < 10000 ? v * 1000 : v;
  } else if (unit == "K") {
    *out = v * 1000;
  } else if (unit == "M") {
    *out = v * 1000000;
  } else if (unit == "B") {
    *out = v;
  } else {
    return false;
  }
  return *out >= 10000 || unit == "B";
}

class Arj {
 public:
  int Run(const std::vector<std::string>& args);
  int RunSfx(const std::string& self, const std::vector<std::string>& args);

 private:
  // Reporting
  void Say(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
  }
  void Error(int code, const char* fmt, ...) {
    fflush(stdout);
    va_list ap;
    va_start(ap, fmt);
    fprintf(stderr, "ARJ: ");
    vfprintf(stderr, fmt, ap);
    fprintf(stderr, "\n");
    va_end(ap);
    Raise(code);
  }
  void Raise(int code) {
    // The more serious code wins; a warning never hides an error.
    if (code == kExitOk) return;
    if (exit_ == kExitOk || exit_ == kExitWarning) exit_ = code;
  }

  bool Parse(const std::vector<std::string>& args);
  bool ParseSwitch(const std::string& sw);
  bool AddListFile(const std::string& path);
  bool Ask(const std::string& question, char* answer);

  // Header helpers
  uint32_t EncodeTime(int64_t t) const {
    return fs::kHostOs == kHostUnix ? static_cast<uint32_t>(t) : fs::UnixToDos(t);
  }
  // A time as `h` keeps it: Unix seconds or DOS time, by the host that wrote the header.
  static uint32_t EncodeTimeFor(const Header& h, int64_t t) {
    return h.UnixTimes() ? static_cast<uint32_t>(t) : fs::UnixToDos(t);
  }
  static int64_t DecodeTime(const Header& h) {
    return h.UnixTimes() ? static_cast<int64_t>(h.mtime) : fs::DosToUnix(h.mtime);
  }
  Header NewMainHeader(const std::string& archive_path) const;
  Header NewFileHeader(const std::string& stored, const fs::FileInfo& info, int type);

  // Reading
  struct OpenArchive {
    std::unique_ptr<FileSource> src;
    std::unique_ptr<ArchiveReader> reader;
    std::deque<Entry> entries;  // a deque: no copying while a long archive loads
  };
  int LoadArchive(const std::string& path, OpenArchive* a, bool recover);

  // Commands
  int DoList();
  int DoExtract();
  int DoUpdate();
  int DoJoin();

  // Extraction pieces
  struct Volume {
    std::string path;
    OpenArchive a;
  };
  bool OpenVolume(const std::string& path, Volume* v);
  bool Selected(const Header& h) const;
  bool ExtractEntry(size_t* vi, size_t* index, std::vector<std::unique_ptr<Volume>>* chain);
  bool WriteSplitData(size_t* vi, size_t* index, const WriteFn& out, bool* crc_ok,
                      std::vector<std::unique_ptr<Volume>>* chain);
  bool NeedPassword(const Header& main);

  // Adding pieces
  struct NewFile {
    std::string disk;
    std::string stored;
    fs::FileInfo info;
  };
  void CollectFiles(std::vector<NewFile>* out);
  void CollectSpec(const std::string& spec, std::vector<NewFile>* out, std::set<std::string>* seen);
  void Walk(const std::string& disk_dir, const std::string& stored_dir, const std::string& mask,
            bool top, std::vector<NewFile>* out, std::set<std::string>* seen);
  bool Excluded(const std::string& stored) const;
  std::string CommentFromConsole(const std::string& what, const std::string& current,
                                 bool* changed);
  int CommitArchive(const std::string& temp, const std::vector<std::string>& volumes,
                    int64_t newest, int64_t old_mtime, bool existed);
  int MakeSfx(const std::string& archive);

  Options o_;
  int exit_ = kExitOk;
  std::string archive_path_;
  std::string temp_path_;
  OverwriteAnswers answers_;
  uint8_t garble_counter_ = 0;
  std::string split_name_;
};

bool Arj::AddListFile(const std::string& path) {
  bool ok = false;
  std::string text = ReadTextFile(path, &ok);
  if (!ok) {
    Error(kExitOpen, "Can't open list file %s", path.c_str());
    return false;
  }
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    size_t lead = line.find_first_not_of(" \t");
    if (lead != std::string::npos) o_.specs.push_back(line.substr(lead));
    start = end + 1;
  }
  return true;
}

bool Arj::ParseSwitch(const std::string& arg) {
  std::string sw = arg.substr(1);
  std::string up = Upper(sw);
  auto value = [&](size_t n) { return sw.substr(n); };
  if (up == "A" || up == "A+") {
    o_.any_attrib = true;
  } else if (up == "A1") {
    o_.any_attrib = o_.dir_entries = true;
  } else if (up == "E") {
    o_.exclude_paths = true;
  } else if (up == "E1") {
    o_.exclude_base = true;
  } else if (up == "R") {
    o_.recurse = true;
  } else if (up == "S") {
    o_.stamp = 1;
  } else if (up == "S1" || up == "S3") {
    o_.stamp = 2;
  } else if (up.size() == 2 && up[0] == 'M' && up[1] >= '0' && up[1] <= '4') {
    o_.method = up[1] - '0';
  } else if (up == "JM" || up == "JM1") {
    o_.maximum = true;
  } else if (up == "K") {
    o_.backup = true;
  } else if (up == "VA" || up == "V") {
    o_.volumes = o_.volume_auto = true;
  } else if (up[0] == 'V') {
    std::string v = up.substr(1);
    while (!v.empty() && (v[0] == 'V' || v[0] == 'W')) v.erase(0, 1);  // beep, whole files
    if (v == "A" || v.empty()) {
      o_.volumes = o_.volume_auto = true;
    } else if (!ParseSize(v, &o_.volume_size)) {
      return false;
    } else {
      o_.volumes = true;
    }
  } else if (up[0] == 'W') {
    o_.work_dir = value(1);
  } else if (up[0] == 'G') {
    o_.password = value(1);
    if (o_.password == "?") {
      o_.password.clear();
      o_.ask_password = true;
    }
  } else if (up.compare(0, 2, "JY") == 0) {
    if (up.find('O') != std::string::npos || up.size() == 2) o_.yes_overwrite = true;
  } else if (up == "Y") {
    o_.yes_overwrite = true;
  } else if (up == "F") {
    o_.freshen_extract = true;
  } else if (up == "U") {
    o_.update_extract = true;
  } else if (up == "N") {
    o_.new_extract = true;
  } else if (up[0] == '$') {
    o_.label = true;
  } else if (up == "P" || up == "P1") {
    o_.full_path_match = true;
  } else if (up == "JE" || up == "JE1") {
    o_.sfx = true;
  } else if (up == "JR" || up == "JR1") {
    o_.recover = true;
  } else if (up.compare(0, 2, "JZ") == 0) {
    o_.comment_files = true;
    o_.file_comment_file = value(2);
  } else if (up[0] == 'Z') {
    o_.comment_archive = true;
    o_.comment_file = value(1);
  } else if (up[0] == 'X') {
    if (sw.size() > 1) o_.excludes.push_back(value(1));
  } else if (up.compare(0, 2, "HT") == 0) {
    o_.target_dir = value(2);
  } else if (up == "D" || up == "D1") {
    o_.delete_sources = true;
  } else if (up == "JT" || up == "JT1") {
    o_.test_after = true;
  } else if (up == "I" || up == "2D" || up == "T0" || up == "T1" || up == "HY" || up == "JV" ||
             up == "Q") {
    // progress display, DOS compatibility, text mode, character set: nothing to do here
  } else {
    return false;
  }
  return true;
}

bool Arj::Parse(const std::vector<std::string>& args) {
  bool switches = true;
  std::vector<std::string> plain;
  for (const std::string& a : args) {
    if (switches && a == "--") {
      switches = false;
      continue;
    }
    if (switches && a.size() > 1 && a[0] == '-') {
      if (!ParseSwitch(a)) {
        Error(kExitUser, "Unknown switch %s", a.c_str());
        return false;
      }
      continue;
    }
    plain.push_back(a);
  }
  if (plain.empty()) return true;
  std::string cmd = Upper(plain[0]);
  static const std::string kCommands = "AMFUEXTDCNJLV";
  if (cmd.size() != 1 || kCommands.find(cmd[0]) == std::string::npos) {
    Error(kExitUser, "Unknown command %s", plain[0].c_str());
    return false;
  }
  o_.command = cmd[0];
  if (plain.size() < 2) {
    Error(kExitUser, "No archive name given");
    return false;
  }
  o_.archive = plain[1];
  for (size_t i = 2; i < plain.size(); ++i) {
    const std::string& a = plain[i];
    if (a[0] == '!' && a.size() > 1) {
      if (!AddListFile(a.substr(1))) return false;
    } else if (EndsWithSep(a) && o_.command != 'J') {
      o_.target_dir = a;
    } else {
      o_.specs.push_back(a);
    }
  }
  return true;
}

bool Arj::Ask(const std::string& question, char* answer) {
  Say("%s", question.c_str());
  fflush(stdout);
  std::string line;
  if (!fs::ReadLine(&line)) {
    Say("\n");
    *answer = 0;
    return false;
  }
  size_t p = line.find_first_not_of(" \t");
  *answer = p == std::string::npos ? 0 : Upper(line.substr(p, 1))[0];
  return true;
}

Header Arj::NewMainHeader(const std::string& archive_path) const {
  Header m;
  m.host_os = fs::kHostOs;
  m.file_type = kMainHeader;
  m.mtime = EncodeTime(fs::Now());
  m.comp_size = m.mtime;
  m.name = BaseName(archive_path);
  return m;
}

Header Arj::NewFileHeader(const std::string& stored, const fs::FileInfo& info, int type) {
  Header h;
  h.host_os = fs::kHostOs;
  h.file_type = static_cast<uint8_t>(type);
  h.min_version = type == kDirectory ? 3 : 1;
  h.name = stored;
  size_t slash = stored.rfind('/');
  h.entry_pos = static_cast<uint16_t>(slash == std::string::npos ? 0 : slash + 1);
  if (slash != std::string::npos) h.flags |= kPathSym;
  h.mtime = EncodeTime(info.mtime);
  h.access_mode = fs::ModeForHeader(info);
  h.garble_mod = static_cast<uint8_t>(fs::Now() + garble_counter_++);
  return h;
}

int Arj::LoadArchive(const std::string& path, OpenArchive* a, bool recover) {
  a->src = FileSource::Open(ToNative(path));
  if (!a->src) {
    Error(kExitOpen, "Can't open %s", path.c_str());
    return kExitOpen;
  }
  a->reader = std::make_unique<ArchiveReader>(a->src.get());
  if (a->reader->Open() != ReadStatus::kOk) {
    Error(kExitNotArj, "%s is not an ARJ archive", path.c_str());
    return kExitNotArj;
  }
  for (;;) {
    Entry e;
    ReadStatus st = a->reader->Next(&e, recover);
    if (st == ReadStatus::kEnd) break;
    if (st == ReadStatus::kOk) {
      a->entries.push_back(std::move(e));
      continue;
    }
    if (st == ReadStatus::kTruncated) {
      Error(kExitFatal, "Unexpected end of archive %s", path.c_str());
      return kExitFatal;
    }
    Error(kExitCrc, "Bad header in %s (CRC error or damaged archive)", path.c_str());
    return kExitCrc;
  }
  return kExitOk;
}

// ---------------------------------------------------------------------------------------------
// L, V

int Arj::DoList() {
  std::string path = archive_path_;
  Say("%s\nProcessing archive: %s\n", kBanner, path.c_str());
  int files = 0;
  uint64_t total_orig = 0, total_comp = 0;
  bool verbose = o_.command == 'V';
  bool header_done = false;
  for (int vol = 0;; ++vol) {
    OpenArchive a;
    int r = LoadArchive(path, &a, false);
    if (r != kExitOk && a.entries.empty()) return exit_;
    const Header& m = a.reader->main();
    if (!header_done) {
      header_done = true;
      if (!m.comment.empty()) Say("%s\n", m.comment.c_str());
      Say("Filename                        Original Compressed Ratio DateTime modified   Mth Attr\n"
          "------------------------------ ---------- ---------- ----- ------------------- --- ----\n");
    }
    for (const Entry& e : a.entries) {
      const Header& h = e.h;
      if (h.file_type == kChapterLabel) continue;
      if (!o_.specs.empty() && !Selected(h)) continue;
      CalendarTime t = h.UnixTimes() ? FromUnixTime(h.mtime) : FromDosTime(h.mtime);
      double ratio = h.orig_size ? static_cast<double>(h.comp_size) / h.orig_size : 0.0;
      const char* kind = h.file_type == kDirectory     ? "DIR"
                         : h.file_type == kVolumeLabel ? "LBL"
                         : h.file_type == kUnixSpecial ? "SPC"
                                                       : "";
      std::string name = h.name;
      if (name.size() > 30) {
        Say("%s\n", name.c_str());
        name.clear();
      }
      Say("%-30s %10u %10u %5.3f %04d-%02d-%02d %02d:%02d:%02d  %d%s%s %s\n", name.c_str(),
          h.orig_size, h.comp_size, ratio, t.year, t.month, t.day, t.hour, t.minute, t.second,
          h.method, (h.flags & kGarbled) ? "G" : " ",
          (h.flags & (kVolume | kExtFile)) ? "V" : " ", kind);
      if (verbose && !h.comment.empty()) Say("%s\n", h.comment.c_str());
      if (h.IsFile()) {
        ++files;
        total_orig += h.orig_size;
        total_comp += h.comp_size;
      }
    }
    if (!(m.flags & kVolume)) break;
    std::string next = FollowingVolumeName(path);
    fs::FileInfo fi;
    if (!fs::Stat(ToNative(next), &fi)) break;
    path = next;
  }
  double ratio = total_orig ? static_cast<double>(total_comp) / total_orig : 0.0;
  Say("------------------------------ ---------- ---------- -----\n"
      "%6d files                     %10llu %10llu %5.3f\n",
      files, static_cast<unsigned long long>(total_orig),
      static_cast<unsigned long long>(total_comp), ratio);
  return exit_;
}

// ---------------------------------------------------------------------------------------------
// E, X, T

bool Arj::Selected(const Header& h) const {
  std::string name = h.name;
  for (char& c : name)
    if (c == '\\') c = '/';
  if (!o_.specs.empty()) {
    bool any = false;
    for (const std::string& s : o_.specs)
      if (MatchMember(name, s, o_.full_path_match)) {
        any = true;
        break;
      }
    if (!any) return false;
  }
  return !Excluded(name);
}

bool Arj::Excluded(const std::string& stored) const {
  for (const std::string& x : o_.excludes)
    if (MatchMember(stored, x, false)) return true;
  return false;
}

bool Arj::OpenVolume(const std::string& path, Volume* v) {
  v->path = path;
  return LoadArchive(path, &v->a, o_.recover) == kExitOk || !v->a.entries.empty();
}

bool Arj::NeedPassword(const Header& main) {
  if (!o_.password.empty()) return true;
  if (o_.ask_password) {
    Say("Enter password: ");
    fflush(stdout);
    std::string pw;
    fs::ReadLine(&pw);
    o_.password = pw;
    o_.ask_password = false;
    return !pw.empty();
  }
  (void)main;
  return false;
}

// Decodes an entry and its continuations (later in the volume or in the next volumes) into
// `out`; `vi` and `index` end on the last part used.
bool Arj::WriteSplitData(size_t* vi, size_t* index, const WriteFn& out, bool* crc_ok,
                         std::vector<std::unique_ptr<Volume>>* chain) {
  *crc_ok = true;
  size_t v = *vi, i = *index;
  uint64_t done = 0;
  for (;;) {
    Volume* cur = (*chain)[v].get();
    const Entry& e = cur->a.entries[i];
    if ((e.h.flags & kGarbled) && o_.password.empty()) {
      Error(kExitWarning, "%s is garbled: a password is needed (-g)", e.h.name.c_str());
      return false;
    }
    EntryResult r = ExtractData(cur->a.src.get(), e, o_.password, out);
    done += e.h.orig_size;
    if (r == EntryResult::kWriteError) {
      Error(kExitWrite, "Write error on %s", e.h.name.c_str());
      return false;
    }
    if (r == EntryResult::kUnsupported) {
      Error(kExitFatal, "%s: unknown method %d", e.h.name.c_str(), e.h.method);
      return false;
    }
    if (r != EntryResult::kOk) *crc_ok = false;
    if (!(e.h.flags & kVolume)) break;
    // The entry goes on: in this volume, or at the start of the next one.
    size_t nv = v, ni = i + 1;
    if (ni >= cur->a.entries.size()) {
      nv = v + 1;
      ni = 0;
      if (nv >= chain->size()) {
        std::string next = FollowingVolumeName(chain->back()->path);
        auto vol = std::make_unique<Volume>();
        fs::FileInfo fi;
        if (!fs::Stat(ToNative(next), &fi) || !OpenVolume(next, vol.get()) ||
            vol->a.entries.empty()) {
          Error(kExitFatal, "Can't find volume %s to continue %s", next.c_str(),
                e.h.name.c_str());
          return false;
        }
        Say("Continuing %s in %s\n", e.h.name.c_str(), next.c_str());
        chain->push_back(std::move(vol));
      }
    }
    const Entry& cont = (*chain)[nv]->a.entries[ni];
    if (!(cont.h.flags & kExtFile) || cont.h.name != e.h.name || cont.h.ResumePosition() != done) {
      Error(kExitFatal, "%s does not continue in %s", e.h.name.c_str(),
            (*chain)[nv]->path.c_str());
      return false;
    }
    v = nv;
    i = ni;
  }
  *vi = v;
  *index = i;
  return true;
}

bool Arj::ExtractEntry(size_t* vi, size_t* index, std::vector<std::unique_ptr<Volume>>* chain) {
  Volume* vol = (*chain)[*vi].get();
  const Entry& e = vol->a.entries[*index];
  const Header& h = e.h;
  const bool test = o_.command == 'T';
  const bool paths = o_.command == 'X';
  if (h.file_type == kChapterLabel || h.file_type == kMainHeader) return true;
  if (!Selected(h)) return true;
  if (h.flags & kExtFile) {
    if (h.name == split_name_) return true;  // the rest of an entry handled before
    Say("Skipping %s: continued from an earlier volume\n", h.name.c_str());
    Raise(kExitWarning);
    return true;
  }
  if (h.file_type == kVolumeLabel) {
    if (o_.label && !test) Say("Volume label %s not restored\n", h.name.c_str());
    return true;
  }
  if (h.file_type == kUnixSpecial) {
    Say("Skipping %s: special file (link or device)\n", h.name.c_str());
    Raise(kExitWarning);
    return true;
  }
  const Header& main = vol->a.reader->main();
  if ((h.flags & kGarbled) && (main.byte28 & 0x0F) >= 2) {
    Error(kExitFatal, "%s: encryption method %d is not supported", h.name.c_str(),
          main.byte28 & 0x0F);
    return true;
  }
  if ((h.flags & kGarbled) && o_.password.empty()) NeedPassword(main);

  if (test) {
    if (h.file_type == kDirectory) return true;
    Say("Testing %-40s ", h.name.c_str());
    ql::ShowConsoleOutputNowAndThen();
    bool crc_ok = true;
    WriteFn null_sink = [](const uint8_t*, size_t) { return true; };
    if (!WriteSplitData(vi, index, null_sink, &crc_ok, chain)) return true;
    if (crc_ok) {
      Say("OK\n");
    } else {
      Say("CRC error!\n");
      Raise(kExitCrc);
    }
    return true;
  }

  std::string rel;
  if (paths) {
    rel = SafeRelativePath(h.name);
  } else {
    std::string base = BaseName(h.name);
    rel = h.file_type == kDirectory ? std::string(".") : SafeRelativePath(base);
  }
  if (rel.empty()) {
    Error(kExitWarning, "Refused %s: unsafe name (absolute, drive, .. or device)",
          h.name.c_str());
    return true;
  }
  std::string target = ToNative(JoinPath(o_.target_dir, rel));
  if (h.file_type == kDirectory) {
    if (!paths) return true;
    if (!fs::MakeDirs(target)) Error(kExitWrite, "Can't create directory %s", target.c_str());
    return true;
  }
  fs::FileInfo existing;
  bool exists = fs::Stat(target, &existing);
  if (exists && existing.is_dir) {
    Error(kExitWarning, "Skipping %s: a directory of that name exists", target.c_str());
    return true;
  }
  int64_t mtime = DecodeTime(h);
  const ExtractRules rules = {o_.new_extract, o_.freshen_extract, o_.update_extract,
                              o_.yes_overwrite};
  const ExtractChoice choice =
      ChooseExtract(rules, exists, existing.mtime, mtime, &answers_,
                    [&](char* answer) { Ask(target + kOverwriteQuestion, answer); });
  if (choice == ExtractChoice::kDeclined || choice == ExtractChoice::kQuit) Raise(kExitWarning);
  if (choice != ExtractChoice::kWrite) return choice != ExtractChoice::kQuit;
  std::string dir = DirPart(target);
  if (!dir.empty() && !fs::MakeDirs(dir)) {
    Error(kExitWrite, "Can't create directory %s", dir.c_str());
    return true;
  }
  // Written beside the target under a temporary name; it replaces the target only when
  // the data checked out.
  std::string temp;
  for (int n = 0;; ++n) {
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".$arj%d$", n);
    temp = target + suffix;
    fs::FileInfo fi;
    if (!fs::Stat(temp, &fi)) break;
  }
  FILE* f = fopen(temp.c_str(), "wb");
  if (!f) {
    Error(kExitOpen, "Can't create %s", target.c_str());
    return true;
  }
  Say("Extracting %-40s ", h.name.c_str());
  ql::ShowConsoleOutputNowAndThen();
  WriteFn sink = [f](const uint8_t* d, size_t n) { return fwrite(d, 1, n, f) == n; };
  bool crc_ok = true;
  const uint8_t host = h.host_os;
  const uint16_t mode = h.access_mode;
  bool ok = WriteSplitData(vi, index, sink, &crc_ok, chain);
  if (fclose(f) != 0) ok = false;
  if (!KeepWritten(
          ok, crc_ok, o_.recover, target.c_str(),
          [this](const char* format, auto... args) { Say(format, args...); },
          [this] { Raise(kExitCrc); })) {
    fs::RemoveFile(temp);
    return true;
  }
  if (exists) fs::SetAttributes(target, kHostDos, 0, false);  // clear read-only
  if (!fs::MoveReplace(temp, target)) {
    fs::RemoveFile(temp);
    Error(kExitWrite, "Can't write %s", target.c_str());
    return true;
  }
  fs::SetFileTime(target, mtime);
  fs::SetAttributes(target, host, mode, false);
  if (crc_ok) Say("OK\n");
  return true;
}

int Arj::DoExtract() {
  if (!o_.target_dir.empty() && o_.command != 'T') {
    fs::FileInfo fi;
    if (!fs::Stat(ToNative(o_.target_dir), &fi) && !fs::MakeDirs(ToNative(o_.target_dir))) {
      Error(kExitWrite, "Can't create directory %s", o_.target_dir.c_str());
      return exit_;
    }
  }
  Say("%s\nProcessing archive: %s\n", kBanner, archive_path_.c_str());
  std::vector<std::unique_ptr<Volume>> chain;
  chain.push_back(std::make_unique<Volume>());
  if (!OpenVolume(archive_path_, chain[0].get())) return exit_;
  size_t vi = 0, i = 0;
  for (;;) {
    Volume* v = chain[vi].get();
    if (i >= v->a.entries.size()) {
      if (!(v->a.reader->main().flags & kVolume)) break;
      if (vi + 1 >= chain.size()) {
        std::string next = FollowingVolumeName(chain.back()->path);
        fs::FileInfo fi;
        auto nv = std::make_unique<Volume>();
        if (!fs::Stat(ToNative(next), &fi) || !OpenVolume(next, nv.get())) {
          Error(kExitWarning, "Volume %s not found", next.c_str());
          break;
        }
        chain.push_back(std::move(nv));
      }
      ++vi;
      i = 0;
      continue;
    }
    const Header& h = v->a.entries[i].h;
    if (h.flags & kVolume) split_name_ = h.name;
    size_t idx = i;
    if (!ExtractEntry(&vi, &idx, &chain)) break;
    i = idx + 1;
  }
  if (exit_ == kExitOk) Say("All files OK\n");
  return exit_;
}

// ---------------------------------------------------------------------------------------------
// A, M, F, U, D, C, N

std::string NameKey(const std::string& s) { return fs::kSep == '\\' ? Upper(s) : s; }

void Arj::Walk(const std::string& disk_dir, const std::string& stored_dir, const std::string& mask,
               bool top, std::vector<NewFile>* out, std::set<std::string>* seen) {
  std::vector<fs::FileInfo> items;
  if (!fs::ListDir(disk_dir, &items)) {
    if (top) Error(kExitWarning, "Can't read directory %s", disk_dir.c_str());
    return;
  }
  std::sort(items.begin(), items.end(),
            [](const fs::FileInfo& a, const fs::FileInfo& b) { return a.name < b.name; });
  const std::string archive_base = NameKey(BaseName(archive_path_));
  for (const fs::FileInfo& fi : items) {
    std::string disk = JoinPath(disk_dir, fi.name);
    std::string stored = o_.exclude_paths ? fi.name : stored_dir + fi.name;
    if (fi.hidden && !o_.any_attrib) continue;
    if (fi.is_dir) {
      if (!o_.recurse) continue;
      if (o_.dir_entries && !o_.exclude_paths && !Excluded(stored) &&
          seen->insert(NameKey(stored)).second) {
        NewFile nf{disk, stored, fi};
        out->push_back(nf);
      }
      Walk(disk, stored_dir + fi.name + "/", mask, false, out, seen);
      continue;
    }
    if (!MatchName(fi.name, mask) || Excluded(stored)) continue;
    if (NameKey(fi.name) == archive_base || !temp_path_.empty()) {
      std::string full = fs::FullPath(disk);
      if (SameText(full, fs::FullPath(archive_path_))) continue;
    }
    if (!seen->insert(NameKey(stored)).second) continue;
    NewFile nf{disk, stored, fi};
    out->push_back(nf);
  }
}

void Arj::CollectSpec(const std::string& spec, std::vector<NewFile>* out,
                      std::set<std::string>* seen) {
  const bool absolute = !spec.empty() && (fs::IsSeparator(spec[0]) ||
                                          (spec.size() >= 2 && spec[1] == ':'));
  std::string disk_spec = absolute ? spec : JoinPath(o_.target_dir, spec);
  std::string dir, mask;
  fs::FileInfo fi;
  if (!HasWildcard(spec) && fs::Stat(ToNative(disk_spec), &fi) && fi.is_dir) {
    dir = disk_spec;
    mask = "*.*";
    if (EndsWithSep(spec)) {
      // stored under its own name
    }
  } else {
    dir = DirPart(disk_spec);
    mask = BaseName(disk_spec);
  }
  std::string spec_dir = (fi.is_dir && !HasWildcard(spec)) ? spec + "/" : DirPart(spec);
  std::string stored_dir = StoredName(spec_dir);
  if (!stored_dir.empty()) stored_dir += '/';
  // -e1 leaves out only a base directory argument, which never enters names anyway.
  if (o_.exclude_paths) stored_dir.clear();
  if (!HasWildcard(mask) && !(fi.is_dir && !HasWildcard(spec))) {
    fs::FileInfo one;
    if (!fs::Stat(ToNative(disk_spec), &one) || one.is_dir) {
      if (!o_.recurse) {
        Error(kExitWarning, "Can't find %s", spec.c_str());
        return;
      }
    } else {
      std::string stored = o_.exclude_paths ? BaseName(spec)
                                                               : StoredName(spec);
      if (!Excluded(stored) && seen->insert(NameKey(stored)).second)
        out->push_back(NewFile{ToNative(disk_spec), stored, one});
      return;
    }
  }
  size_t before = out->size();
  Walk(ToNative(dir.empty() ? std::string(".") : dir), stored_dir, mask, true, out, seen);
  if (out->size() == before && HasWildcard(mask) && !o_.recurse && o_.specs.size() > 0 &&
      !IsMatchAll(mask))
    Say("No files matching %s\n", spec.c_str());
}

void Arj::CollectFiles(std::vector<NewFile>* out) {
  std::set<std::string> seen;
  std::vector<std::string> specs = o_.specs;
  if (specs.empty()) specs.push_back("*.*");
  for (const std::string& s : specs) CollectSpec(s, out, &seen);
}

std::string Arj::CommentFromConsole(const std::string& what, const std::string& current,
                                    bool* changed) {
  *changed = false;
  if (!current.empty()) Say("Current comment of %s:\n%s\n", what.c_str(), current.c_str());
  Say("Enter a comment for %s, up to 25 lines; an empty line ends it, NUL alone removes it:\n",
      what.c_str());
  std::string text, line;
  for (int n = 1; n <= 25; ++n) {
    Say("%2d> ", n);
    fflush(stdout);
    if (!fs::ReadLine(&line) || line.empty()) break;
    if (n == 1 && Upper(line) == "NUL") {
      *changed = true;
      Say("\n");
      return std::string();
    }
    text += line + "\n";
  }
  Say("\n");
  if (text.empty()) return current;
  *changed = true;
  return NormaliseComment(text);
}

struct Plan {
  enum Kind { kCopy, kFile, kDirectory, kLabel };
  Kind kind = kCopy;
  const Entry* old = nullptr;
  Header header;  // for kCopy: the header to write (name/comment may be changed)
  std::string disk;
  fs::FileInfo info;
  bool replaces = false;
};

int Arj::DoUpdate() {
  const char cmd = o_.command;
  fs::FileInfo arc_info;
  bool existed = fs::Stat(ToNative(archive_path_), &arc_info);
  OpenArchive a;
  if (existed) {
    int r = LoadArchive(archive_path_, &a, false);
    if (r != kExitOk) {
      Error(r, "The archive was left unchanged");
      return exit_;
    }
    if (a.reader->main().flags & kVolume) {
      Error(kExitFatal, "%s is part of a multiple volume archive and can't be changed",
            archive_path_.c_str());
      return exit_;
    }
  } else if (cmd == 'F' || cmd == 'D' || cmd == 'C' || cmd == 'N') {
    Error(kExitOpen, "Can't find archive %s", archive_path_.c_str());
    return exit_;
  }
  Say("%s\n%s archive: %s\n", kBanner, existed ? "Updating" : "Creating", archive_path_.c_str());

  Header main = existed ? a.reader->main() : NewMainHeader(archive_path_);
  bool changed = false;
  std::vector<Plan> plan;
  std::map<std::string, size_t> by_name;
  for (const Entry& e : a.entries) {
    Plan p;
    p.old = &e;
    p.header = e.h;
    if (e.h.IsFile() || e.h.file_type == kDirectory) by_name[NameKey(e.h.name)] = plan.size();
    plan.push_back(p);
  }

  if (cmd == 'D') {
    if (o_.specs.empty()) {
      Error(kExitUser, "No files named to delete");
      return exit_;
    }
    std::vector<Plan> kept;
    for (Plan& p : plan) {
      if (p.header.file_type != kChapterLabel && Selected(p.header)) {
        Say("Deleting %s\n", p.header.name.c_str());
        changed = true;
      } else {
        kept.push_back(p);
      }
    }
    plan.swap(kept);
    if (!changed) {
      Error(kExitWarning, "No matching files in the archive");
      return exit_;
    }
  } else if (cmd == 'N') {
    std::set<std::string> names;
    for (const Plan& p : plan) names.insert(NameKey(p.header.name));
    for (Plan& p : plan) {
      if (!p.header.IsFile() && p.header.file_type != kDirectory) continue;
      if (!Selected(p.header)) continue;
      Say("Current name: %s\nNew name: ", p.header.name.c_str());
      fflush(stdout);
      std::string line;
      if (!fs::ReadLine(&line)) {
        Say("\n");
        break;
      }
      std::string nn = StoredName(line);
      if (nn.empty() || nn == p.header.name) continue;
      if (SafeRelativePath(nn).empty()) {
        Error(kExitWarning, "%s is not a usable name", line.c_str());
        continue;
      }
      if (names.count(NameKey(nn))) {
        Error(kExitWarning, "%s is already in the archive", nn.c_str());
        continue;
      }
      names.erase(NameKey(p.header.name));
      names.insert(NameKey(nn));
      p.header.name = nn;
      size_t slash = nn.rfind('/');
      p.header.entry_pos = static_cast<uint16_t>(slash == std::string::npos ? 0 : slash + 1);
      p.header.flags = static_cast<uint8_t>((p.header.flags & ~kPathSym) |
                                            (slash != std::string::npos ? kPathSym : 0));
      changed = true;
    }
  } else if (cmd == 'F') {
    for (Plan& p : plan) {
      if (!p.header.IsFile() || !Selected(p.header)) continue;
      if (p.header.flags & (kVolume | kExtFile)) continue;
      std::string disk = ToNative(JoinPath(o_.target_dir, p.header.name));
      fs::FileInfo fi;
      if (!fs::Stat(disk, &fi) || fi.is_dir) continue;
      if (fi.mtime <= DecodeTime(p.header) + (p.header.UnixTimes() ? 0 : 1)) continue;
      p.kind = Plan::kFile;
      p.disk = disk;
      p.info = fi;
      p.replaces = true;
      changed = true;
    }
  } else if (cmd == 'A' || cmd == 'M' || cmd == 'U') {
    std::vector<NewFile> files;
    CollectFiles(&files);
    if (files.empty() && cmd != 'U' && !existed && !o_.comment_archive) {
      Error(kExitWarning, "No files to add");
      return exit_;
    }
    for (const NewFile& nf : files) {
      auto it = by_name.find(NameKey(nf.stored));
      Plan np;
      np.kind = nf.info.is_dir ? Plan::kDirectory : Plan::kFile;
      np.disk = nf.disk;
      np.info = nf.info;
      np.header.name = nf.stored;
      if (it != by_name.end()) {
        Plan& old = plan[it->second];
        if (nf.info.is_dir) continue;
        if (cmd == 'U' && nf.info.mtime <= DecodeTime(old.header) +
                                                (old.header.UnixTimes() ? 0 : 1))
          continue;
        np.replaces = true;
        np.header = old.header;
        np.old = old.old;
        old = np;
      } else {
        by_name[NameKey(nf.stored)] = plan.size();
        plan.push_back(np);
      }
      changed = true;
    }
    if (o_.label) {
      std::string label = fs::VolumeLabel(o_.target_dir.empty() ? "." : o_.target_dir);
      if (!label.empty()) {
        Plan lp;
        lp.kind = Plan::kLabel;
        lp.header.name = label;
        plan.push_back(lp);
        changed = true;
      }
    }
  }
  // Comments: -z for the archive, -jz for the named files (C, or along with an update).
  if (o_.comment_archive) {
    std::string text;
    bool set = false;
    if (o_.comment_file.empty()) {
      text = CommentFromConsole("the archive", main.comment, &set);
    } else if (Upper(o_.comment_file) == "NUL" || o_.comment_file == "/dev/null") {
      set = true;
    } else {
      bool ok = false;
      text = NormaliseComment(ReadTextFile(o_.comment_file, &ok));
      if (!ok) {
        Error(kExitOpen, "Can't open comment file %s", o_.comment_file.c_str());
        return exit_;
      }
      set = true;
    }
    if (set && text != main.comment) {
      main.comment = text;
      changed = true;
    }
  }
  if (o_.comment_files || (cmd == 'C' && !o_.comment_archive)) {
    std::string from_file;
    bool use_file = !o_.file_comment_file.empty();
    if (use_file) {
      if (Upper(o_.file_comment_file) == "NUL" || o_.file_comment_file == "/dev/null") {
        from_file.clear();
      } else {
        bool ok = false;
        from_file = NormaliseComment(ReadTextFile(o_.file_comment_file, &ok));
        if (!ok) {
          Error(kExitOpen, "Can't open comment file %s", o_.file_comment_file.c_str());
          return exit_;
        }
      }
    }
    for (Plan& p : plan) {
      if (!p.header.IsFile() && p.header.file_type != kDirectory && p.kind == Plan::kCopy)
        continue;
      if (cmd == 'C' && !Selected(p.header)) continue;
      if (cmd != 'C' && p.kind == Plan::kCopy) continue;
      bool set = true;
      std::string text = use_file ? from_file
                                  : CommentFromConsole(p.header.name, p.header.comment, &set);
      if (set && text != p.header.comment) {
        p.header.comment = text;
        changed = true;
      }
    }
  }
  if (!changed && existed) {
    Say("Nothing to change in %s\n", archive_path_.c_str());
    if (o_.sfx) return MakeSfx(archive_path_);
    return exit_;
  }
  if (o_.ask_password && o_.password.empty()) NeedPassword(main);

  // Build the new archive in the work directory (or beside the archive).
  std::string work = o_.work_dir.empty() ? DirPart(archive_path_) : o_.work_dir;
  if (!work.empty()) {
    fs::FileInfo wi;
    if (!fs::Stat(ToNative(work), &wi) || !wi.is_dir) {
      Error(kExitOpen, "Can't use the work directory %s; the archive was left unchanged",
            work.c_str());
      return exit_;
    }
  }
  std::vector<std::string> temps;
  auto temp_name = [&](int n) {
    for (int k = 0;; ++k) {
      char name[40];
      snprintf(name, sizeof name, "ARJ$%03d%d.TMP", n, k);
      std::string t = ToNative(JoinPath(work, name));
      fs::FileInfo fi;
      if (!fs::Stat(t, &fi)) return t;
    }
  };
  temp_path_ = temp_name(0);
  const uint64_t capacity =
      o_.volumes && !o_.volume_auto && o_.volume_size ? o_.volume_size : UINT64_MAX;
  if (!o_.password.empty()) {
    main.flags |= kGarbled;
    main.byte28 = 1;
  }
  main.comp_size = EncodeTimeFor(main, fs::Now());  // last modified
  main.flags &= static_cast<uint8_t>(~kVolume);

  FILE* f = nullptr;
  std::unique_ptr<ArchiveWriter> w;
  int entries_in_volume = 0;
  bool ok = true;
  auto open_volume = [&]() {
    std::string t = temps.empty() ? temp_path_ : temp_name(static_cast<int>(temps.size()));
    f = fopen(t.c_str(), "wb+");
    if (!f) return false;
    temps.push_back(t);
    w = std::make_unique<ArchiveWriter>(f);
    entries_in_volume = 0;
    return w->WriteMain(main);
  };
  auto close_volume = [&](bool more) {
    bool good = w->Finish();
    if (more) {
      // Mark this volume as continued.
      Header m = main;
      m.flags |= kVolume;
      std::vector<uint8_t> b;
      WriteHeader(m, &b);
      good = good && SeekFile(f, 0) && fwrite(b.data(), 1, b.size(), f) == b.size();
    }
    if (fclose(f) != 0) good = false;
    f = nullptr;
    return good;
  };
  auto fail_cleanup = [&]() {
    if (f) fclose(f);
    f = nullptr;
    for (const std::string& t : temps) fs::RemoveFile(t);
    temp_path_.clear();
  };
  auto need_room = [&](uint64_t bytes) {
    if (capacity == UINT64_MAX || entries_in_volume == 0) return true;
    if (w->position() + bytes + 4 <= capacity) return true;
    return close_volume(true) && open_volume();
  };
  if (!open_volume()) {
    Error(kExitWrite, "Can't create %s", temp_path_.c_str());
    fail_cleanup();
    return exit_;
  }
  int64_t newest = 0;
  std::vector<std::string> added_sources;
  EncodeOptions eo;
  eo.method = o_.method;
  eo.maximum = o_.maximum;
  for (Plan& p : plan) {
    if (!ok) break;
    if (p.kind == Plan::kCopy) {
      std::vector<uint8_t> hb;
      WriteHeader(p.header, &hb);
      if (!need_room(hb.size() + p.header.comp_size)) {
        ok = false;
        break;
      }
      ok = w->CopyEntry(a.src.get(), *p.old, p.header);
      ++entries_in_volume;
      if (p.header.IsFile()) newest = std::max(newest, DecodeTime(p.header));
      continue;
    }
    if (p.kind == Plan::kDirectory || p.kind == Plan::kLabel) {
      fs::FileInfo fi = p.info;
      if (p.kind == Plan::kLabel) fi.mtime = fs::Now();
      Header h = NewFileHeader(p.header.name, fi,
                               p.kind == Plan::kDirectory ? kDirectory : kVolumeLabel);
      if (!need_room(64 + h.name.size())) {
        ok = false;
        break;
      }
      ok = w->AddHeaderOnly(h);
      ++entries_in_volume;
      continue;
    }
    FILE* in = fopen(p.disk.c_str(), "rb");
    if (!in) {
      Error(kExitWarning, "Can't open %s", p.disk.c_str());
      if (p.replaces && p.old) {
        ok = w->CopyEntry(a.src.get(), *p.old);
        ++entries_in_volume;
      }
      continue;
    }
    Header h = NewFileHeader(p.header.name, p.info, kBinary);
    if (p.replaces && p.old) h.comment = p.header.comment;
    if (p.replaces && p.kind == Plan::kFile && !p.header.comment.empty()) h.comment = p.header.comment;
    Say("%s %-40s ", p.replaces ? "Replacing" : "Adding   ", h.name.c_str());
    ql::ShowConsoleOutputNowAndThen();
    auto overhead_of = [](const Header& hd) {
      std::vector<uint8_t> hb;
      WriteHeader(hd, &hb);
      return static_cast<uint64_t>(hb.size());
    };
    uint64_t offset = 0, rest = p.info.size;
    bool first = true;
    bool read_error = false;
    do {
      Header part = h;
      if (!first) {
        part.flags |= kExtFile;
        part.SetResumePosition(static_cast<uint32_t>(offset));
      }
      uint64_t room = UINT64_MAX;
      if (capacity != UINT64_MAX) {
        std::vector<uint8_t> hb;
        WriteHeader(part, &hb);
        const uint64_t overhead = hb.size() + 4;
        auto free_room = [&]() {
          return w->position() + overhead < capacity ? capacity - w->position() - overhead : 0;
        };
        room = free_room();
        if (room < std::min<uint64_t>(rest, 512) && entries_in_volume > 0) {
          if (!close_volume(true) || !open_volume()) {
            ok = false;
            break;
          }
          room = free_room();
        }
        room = std::max<uint64_t>(room, 1);
      }
      // A part must fill its volume: when compression leaves room, a longer slice is tried.
      const uint64_t mark = w->position();
      uint64_t slice = std::min(rest, room), fits = 0;
      Header done;
      for (int attempt = 0;; ++attempt) {
        Header try_part = part;
        if (slice < rest) try_part.flags |= kVolume;
        uint64_t left = slice;
        const uint64_t start = offset;
        ReadFn reader = [&](uint8_t* buf, size_t n) -> size_t {
          if (left == 0) return 0;
          size_t got = fread(buf, 1, std::min<uint64_t>(n, left), in);
          if (got == 0 && ferror(in)) read_error = true;
          left -= got;
          return got;
        };
        std::function<bool()> rewind = [&]() {
          left = slice;
          return SeekFile(in, start);
        };
        if (!SeekFile(in, start) || !w->AddData(try_part, slice, reader, rewind, eo, o_.password,
                                                &done)) {
          ok = false;
          break;
        }
        const uint64_t used = w->position() - mark;
        const bool fit = room == UINT64_MAX || used <= room + overhead_of(try_part);
        if (fit) fits = slice;
        if (fit && (slice == rest || used + used / 32 >= room || attempt >= 4)) break;
        if (attempt >= 6) break;  // the last try was the plain slice, which always fits
        uint64_t next;
        if (fit) {
          next = std::min<uint64_t>(rest, slice + (room - std::min<uint64_t>(room, done.comp_size)) *
                                                     slice / std::max<uint64_t>(done.comp_size, 1) * 15 / 16);
          if (next <= slice) break;
        } else {
          next = attempt >= 4 ? std::max<uint64_t>(fits, std::min(rest, room))
                              : std::max<uint64_t>(fits, slice * room / std::max<uint64_t>(done.comp_size, 1) * 15 / 16);
          if (next >= slice) next = std::min(rest, room);
        }
        if (!w->Rollback(mark)) {
          ok = false;
          break;
        }
        slice = next;
      }
      if (!ok) break;
      ++entries_in_volume;
      offset += done.orig_size;
      rest = rest > done.orig_size ? rest - done.orig_size : 0;
      first = false;
      if (done.orig_size < slice) break;  // the file shrank
    } while (rest > 0);
    fclose(in);
    if (!ok) break;
    if (read_error || w->input_failed()) {
      Error(kExitWarning, "%s changed or could not be read completely while it was added",
            p.disk.c_str());
    } else {
      added_sources.push_back(p.disk);
    }
    newest = std::max(newest, p.info.mtime);
    Say("OK\n");
  }
  if (ok) ok = close_volume(false);
  if (!ok) {
    Error(kExitWrite, "Can't write the new archive (disk full?); %s was left unchanged",
          archive_path_.c_str());
    fail_cleanup();
    return exit_;
  }
  if (o_.test_after) {
    Options saved = o_;
    std::string saved_path = archive_path_;
    o_.command = 'T';
    o_.specs.clear();
    o_.excludes.clear();
    archive_path_ = temps[0];
    int before = exit_;
    exit_ = kExitOk;
    DoExtract();
    int tested = exit_;
    exit_ = before;
    o_ = saved;
    archive_path_ = saved_path;
    if (tested != kExitOk) {
      Error(kExitCrc, "The new archive failed its test; %s was left unchanged",
            archive_path_.c_str());
      fail_cleanup();
      return exit_;
    }
  }
  a.reader.reset();
  a.src.reset();
  int r = CommitArchive(temps[0], temps, newest, existed ? arc_info.mtime : 0, existed);
  temp_path_.clear();
  if (r != kExitOk) return exit_;
  if (cmd == 'M' || o_.delete_sources)
    for (const std::string& s : added_sources) fs::RemoveFile(s);
  if (o_.sfx) return MakeSfx(archive_path_);
  return exit_;
}

int Arj::CommitArchive(const std::string& temp, const std::vector<std::string>& volumes,
                       int64_t newest, int64_t old_mtime, bool existed) {
  const std::string target = ToNative(archive_path_);
  if (existed && o_.backup) {
    std::string bak = archive_path_;
    size_t dot = bak.rfind('.');
    size_t sep = bak.find_last_of("/\\");
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) bak.erase(dot);
    bak += fs::kSep == '\\' ? ".BAK" : ".bak";
    if (!fs::CopyWhole(target, ToNative(bak)))
      Error(kExitWarning, "Can't keep a backup copy %s", bak.c_str());
  }
  if (!fs::MoveReplace(temp, target)) {
    Error(kExitWrite, "Can't replace %s; the new archive is kept as %s", target.c_str(),
          temp.c_str());
    return kExitWrite;
  }
  for (size_t i = 1; i < volumes.size(); ++i) {
    std::string name = ToNative(NextVolumeName(archive_path_, static_cast<int>(i)));
    if (!fs::MoveReplace(volumes[i], name)) {
      Error(kExitWrite, "Can't write volume %s", name.c_str());
      return kExitWrite;
    }
  }
  if (o_.stamp == 2 && existed) {
    fs::SetFileTime(target, old_mtime);
  } else if (o_.stamp == 1 && newest > 0) {
    fs::SetFileTime(target, newest);
  }
  return kExitOk;
}

// Whether `exe` is a program followed by an ARJ archive first made under the name `archive_name`
// (the name its main header keeps), as MakeSfx writes them.
bool IsSelfExtractorOf(const std::string& exe, const std::string& archive_name) {
  FILE* f = fopen(ToNative(exe).c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> head(1 << 18);
  head.resize(fread(head.data(), 1, head.size(), f));
  fclose(f);
  uint64_t at = 0;
  std::string name;
  return FindAppendedArchive(head.data(), head.size(), &at, &name) && SameText(name, archive_name);
}

int Arj::MakeSfx(const std::string& archive) {
  std::string stub = JoinPath(fs::SelfDirectory(), "ARJSFX.EXE");
  fs::FileInfo fi;
  if (!fs::Stat(ToNative(stub), &fi)) {
    Error(kExitFatal, "The self-extractor module %s is missing", stub.c_str());
    return exit_;
  }
  std::string exe = archive;
  size_t dot = exe.rfind('.');
  size_t sep = exe.find_last_of("/\\");
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) exe.erase(dot);
  exe += ".EXE";
  // Only our own self-extractor of this very archive is replaced: a program of that name that is
  // anything else stays as it is.
  if (fs::Stat(ToNative(exe), &fi) && !IsSelfExtractorOf(exe, BaseName(archive))) {
    Error(kExitFatal, "%s already exists and is not a self-extractor made from %s; it was left as it is "
                      "(rename or delete it, then try again)",
          exe.c_str(), BaseName(archive).c_str());
    return exit_;
  }
  std::string temp = exe + ".$$$";
  bool ok = fs::CopyWhole(ToNative(stub), ToNative(temp));
  if (ok) {
    FILE* out = fopen(ToNative(temp).c_str(), "ab");
    FILE* in = fopen(ToNative(archive).c_str(), "rb");
    ok = out && in;
    char buf[65536];
    size_t n;
    while (ok && (n = fread(buf, 1, sizeof buf, in)) > 0) ok = fwrite(buf, 1, n, out) == n;
    if (in) fclose(in);
    if (out && fclose(out) != 0) ok = false;
  }
  if (!ok || !fs::MoveReplace(ToNative(temp), ToNative(exe))) {
    fs::RemoveFile(ToNative(temp));
    Error(kExitWrite, "Can't write %s", exe.c_str());
    return exit_;
  }
  Say("Self-extracting archive %s made\n", exe.c_str());
  return exit_;
}

// ---------------------------------------------------------------------------------------------
// J

int Arj::DoJoin() {
  if (o_.specs.empty()) {
    Error(kExitUser, "No archives named to join");
    return exit_;
  }
  fs::FileInfo arc_info;
  bool existed = fs::Stat(ToNative(archive_path_), &arc_info);
  OpenArchive target;
  if (existed && LoadArchive(archive_path_, &target, false) != kExitOk) {
    Error(exit_, "The archive was left unchanged");
    return exit_;
  }
  std::vector<std::unique_ptr<OpenArchive>> sources;
  const std::string self = fs::FullPath(archive_path_);
  for (std::string s : o_.specs) {
    fs::FileInfo fi;
    if (!fs::Stat(ToNative(s), &fi)) {
      std::string with = s + (fs::kSep == '\\' ? ".ARJ" : ".arj");
      if (fs::Stat(ToNative(with), &fi)) s = with;
    }
    if (SameText(fs::FullPath(s), self)) {
      Say("Skipping %s: it is the target archive\n", s.c_str());
      continue;
    }
    auto a = std::make_unique<OpenArchive>();
    if (LoadArchive(s, a.get(), false) != kExitOk) {
      Error(exit_, "Nothing was joined; %s was left unchanged", archive_path_.c_str());
      return exit_;
    }
    if (a->reader->main().flags & kVolume) {
      Error(kExitFatal, "%s is a multiple volume archive; it can't be joined", s.c_str());
      return exit_;
    }
    Say("Joining %s\n", s.c_str());
    sources.push_back(std::move(a));
  }
  Header main = existed ? target.reader->main() : NewMainHeader(archive_path_);
  main.comp_size = EncodeTimeFor(main, fs::Now());
  for (auto& s : sources)
    for (const Entry& e : s->entries)
      if (e.h.flags & kGarbled) {
        main.flags |= kGarbled;
        if (!main.byte28) main.byte28 = s->reader->main().byte28 ? s->reader->main().byte28 : 1;
      }
  std::string work = o_.work_dir.empty() ? DirPart(archive_path_) : o_.work_dir;
  std::string temp = ToNative(JoinPath(work, "ARJ$JOIN.TMP"));
  FILE* f = fopen(temp.c_str(), "wb+");
  if (!f) {
    Error(kExitWrite, "Can't create %s", temp.c_str());
    return exit_;
  }
  ArchiveWriter w(f);
  bool ok = w.WriteMain(main);
  for (const Entry& e : target.entries) ok = ok && w.CopyEntry(target.src.get(), e);
  for (auto& s : sources)
    for (const Entry& e : s->entries) ok = ok && w.CopyEntry(s->src.get(), e);
  ok = ok && w.Finish();
  if (fclose(f) != 0) ok = false;
  if (!ok) {
    fs::RemoveFile(temp);
    Error(kExitWrite, "Can't write the joined archive; %s was left unchanged",
          archive_path_.c_str());
    return exit_;
  }
  target.reader.reset();
  target.src.reset();
  std::vector<std::string> vols{temp};
  CommitArchive(temp, vols, 0, existed ? arc_info.mtime : 0, existed);
  return exit_;
}

int Arj::Run(const std::vector<std::string>& args) {
  if (!Parse(args)) return exit_;
  if (!o_.command) {
    Say("%s\n"
        "Usage: ARJ <command> [-<switch>...] <archive>[.ARJ] [<dir>\\] [<!list>|<files>...]\n"
        "Commands: a add, m move, f freshen, u update, e extract, x extract with paths,\n"
        "          t test, d delete, c comment, n rename, j join, l list, v verbose list\n"
        "Switches: -e -e1 -r -a -a1 -m0..-m4 -jm -k -v<size> -va -w<dir> -g<password> -jyo -y\n"
        "          -f -u -n -s -s1 -$ -p -p1 -je -jr -z[file] -jz[file] -x<mask> -jt\n",
        kBanner);
    return kExitOk;
  }
  archive_path_ = o_.archive;
  std::string base = BaseName(archive_path_);
  fs::FileInfo fi;
  if (base.find('.') == std::string::npos && !fs::Stat(ToNative(archive_path_), &fi))
    archive_path_ += fs::kSep == '\\' ? ".ARJ" : ".arj";
  switch (o_.command) {
    case 'L':
    case 'V':
      return DoList();
    case 'E':
    case 'X':
    case 'T':
      return DoExtract();
    case 'J':
      return DoJoin();
    default:
      return DoUpdate();
  }
}

int Arj::RunSfx(const std::string& self, const std::vector<std::string>& args) {
  std::vector<std::string> full{"x", self};
  full.insert(full.end(), args.begin(), args.end());
  if (!Parse(full)) return exit_;
  archive_path_ = self;
  o_.specs.clear();
  return DoExtract();
}

}  // namespace
}  // namespace arj

namespace arj {

int RunArj(const std::vector<std::string>& args) {
  auto arj = std::make_unique<Arj>();
  int r = arj->Run(args);
  fflush(stdout);
  return r;
}

int RunSelfExtractor(const std::string& self, const std::vector<std::string>& args) {
  auto arj = std::make_unique<Arj>();
  int r = arj->RunSfx(self, args);
  fflush(stdout);
  return r;
}

}  // namespace arj
