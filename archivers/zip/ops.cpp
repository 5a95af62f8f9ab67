#include "archivers/zip/ops.h"

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <deque>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>

#include "archivers/zip/member_match.h"
#include "common/mask.h"
#include "common/overwrite_rule.h"
#include "common/written_targets.h"

namespace qlzip {

namespace {

unsigned g_threads = 0;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Reads a list file: one name per line (CR LF or LF), blank lines skipped.
bool ReadList(Host& host, const std::string& path, std::vector<std::string>& out) {
  std::FILE* f = host.OpenRead(ToSlashes(path));
  if (!f) return false;
  std::string line;
  int c;
  auto flush = [&] {
    size_t a = line.find_first_not_of(" \t");
    if (a != std::string::npos) {
      size_t b = line.find_last_not_of(" \t");
      out.push_back(line.substr(a, b - a + 1));
    }
    line.clear();
  };
  while ((c = std::fgetc(f)) != EOF) {
    if (c == '\r' || c == '\n') flush();
    else line.push_back(static_cast<char>(c));
  }
  flush();
  std::fclose(f);
  return true;
}

// A stored-name form of a path given on the command line: no drive, no root, no "." or "..".
std::string StoredFromGiven(const std::string& given) {
  std::string s = ToSlashes(given);
  if (s.size() >= 2 && s[1] == ':') s = s.substr(2);
  std::string out;
  size_t p = 0;
  while (p <= s.size()) {
    size_t q = s.find('/', p);
    if (q == std::string::npos) q = s.size();
    std::string part = s.substr(p, q - p);
    p = q + 1;
    if (part.empty() || part == "." || part == "..") continue;
    if (!out.empty()) out += '/';
    out += part;
  }
  return out;
}

bool Excluded(const std::vector<std::string>& excludes, const std::string& stored) {
  for (const auto& x : excludes)
    if (MatchesMember(stored, x)) return true;
  return false;
}

// Reads a source front to back through one large buffer: copying many small members then costs a
// memory copy each rather than a seek and a read of the file.
class ReadAhead {
 public:
  explicit ReadAhead(ByteSource& src) : src_(src), buf_(1 << 20) {}
  size_t ReadAt(uint64_t offset, void* out, size_t len) {
    if (offset < start_ || offset + len > start_ + have_) {
      if (len >= buf_.size()) return src_.ReadAt(offset, out, len);
      start_ = offset;
      have_ = src_.ReadAt(offset, buf_.data(), buf_.size());
      if (len > have_) len = have_;
    }
    std::memcpy(out, buf_.data() + (offset - start_), len);
    return len;
  }

 private:
  ByteSource& src_;
  std::vector<uint8_t> buf_;
  uint64_t start_ = 0;
  size_t have_ = 0;
};

// Why a name is refused when the character set it must be written in cannot hold it; such a name
// is never replaced by a look-alike (two members could then meet under one name).
constexpr char kNameNotHeld[] = "its name has characters that this system's code page cannot hold";

std::string Percent(uint64_t part, uint64_t whole) {
  if (whole == 0) return "0%";
  uint64_t saved = whole > part ? (whole - part) * 100 / whole : 0;
  return std::to_string(saved) + "%";
}

// ---------------------------------------------------------------------------------------------
// Zip

struct Candidate {
  std::string diskPath;
  std::string stored;
  std::string storedUtf8;  // the stored name as UTF-8 when a part of it has no OEM/ANSI form
  DirEntry info;
  bool label = false;
};

enum class ItemKind { kKeep, kNew };
struct Item {
  ItemKind kind;
  size_t index;         // into existing entries or candidates
  long replaces = -1;   // existing entry replaced by a new one
};

class ZipJob {
 public:
  ZipJob(const ZipArgs& a, Host& h, Ui& u) : args(a), host(h), ui(u) {}
  int Run();

  const ZipArgs& args;
  Host& host;
  Ui& ui;
  std::string archive;
  std::string password;
  std::unique_ptr<FileSource> oldSrc;
  Archive old;
  bool existed = false;
  DirEntry oldInfo;
  std::vector<Candidate> cands;
  std::vector<std::string> rawNames;  // stored names of the old entries (their .name is local)
  std::vector<std::string> utf8Names;  // the old entries' names as UTF-8
  std::string cwd, archiveAbs;        // the archive never goes into itself, however it is named
  std::string Absolute(const std::string& p) const {
    if (!p.empty() && (p[0] == '/' || (p.size() >= 2 && p[1] == ':'))) return p;
    return JoinPath(cwd, p.compare(0, 2, "./") == 0 ? p.substr(2) : p);
  }
  std::string tempPath;
  std::string tempName;

 private:
  int Gather();
  void Walk(const std::string& dir, const std::string& mask, const std::string& prefix, const std::string& rel,
            const std::string& relUtf8, std::map<std::string, size_t>& seen);
  int unopenable = 0;  // files left out because their names cannot be opened here
  int Write(const std::vector<Item>& items, std::vector<Entry>& keepEntries, std::string comment);
};

// `relUtf8` is `rel` as UTF-8 when one of its directories has no name in the local character set.
void ZipJob::Walk(const std::string& dir, const std::string& mask, const std::string& prefix, const std::string& rel,
                  const std::string& relUtf8, std::map<std::string, size_t>& seen) {
  std::vector<DirEntry> list;
  if (!host.List(dir, list)) return;
  std::sort(list.begin(), list.end(), [](const DirEntry& x, const DirEntry& y) { return Lower(x.name) < Lower(y.name); });
  auto utf8Part = [&](const DirEntry& d) { return d.utf8Name.empty() ? host.Utf8Name(d.name) : d.utf8Name; };
  for (const DirEntry& d : list) {
    if (!args.hiddenSystem && (d.attrs & (kHidden | kSystem))) continue;
    if (d.isDir) continue;
    if (!ql::MatchFileMask(d.utf8Name.empty() ? d.name : d.utf8Name, mask)) continue;
    if (d.name.empty()) {
      ui.Error("PKZIP: Warning! " + (dir.empty() ? std::string() : dir + "/") + d.utf8Name +
               " (UTF-8) not added: it cannot be opened under a name in this system's code page");
      ++unopenable;
      continue;
    }
    std::string path = JoinPath(dir, d.name);
    if (Lower(Absolute(path)) == archiveAbs || Lower(d.name) == Lower(tempName)) continue;
    Candidate c;
    c.diskPath = path;
    const std::string& relPart = (args.relPaths || args.givenPaths) ? rel : std::string();
    c.stored = prefix + relPart + d.name;
    if (!d.utf8Name.empty() || (!relUtf8.empty() && !relPart.empty()))
      c.storedUtf8 = host.Utf8Name(prefix) + (relPart.empty() ? std::string() : relUtf8) + utf8Part(d);
    c.info = d;
    if (Excluded(args.excludes, c.stored)) continue;
    std::string key = Lower(c.stored);
    if (seen.count(key)) continue;
    seen[key] = cands.size();
    cands.push_back(c);
  }
  if (!args.recurse) return;
  for (const DirEntry& d : list) {
    if (!d.isDir || d.name.empty()) continue;
    if (!args.hiddenSystem && (d.attrs & (kHidden | kSystem))) continue;
    const bool wide = !relUtf8.empty() || !d.utf8Name.empty();
    Walk(JoinPath(dir, d.name), mask, prefix, rel + d.name + "/",
         wide ? (relUtf8.empty() ? host.Utf8Name(rel) : relUtf8) + utf8Part(d) + "/" : std::string(), seen);
  }
}

int ZipJob::Gather() {
  std::vector<std::string> specs = args.specs;
  for (const auto& l : args.lists)
    if (!ReadList(host, l, specs)) {
      ui.Error("PKZIP: List file " + l + " not found");
      return kZipNotFound;
    }
  std::map<std::string, size_t> seen;
  if (specs.empty() && (args.action == ZipAction::kAdd) && !args.label) specs.push_back("*.*");
  for (const std::string& raw : specs) {
    std::string spec = ToSlashes(raw);
    std::string dir = DirName(spec), mask = BaseName(spec);
    if (!HasWildcard(spec)) {
      DirEntry st;
      if (host.Stat(spec, st) && st.isDir) {
        dir = spec;
        mask = "*.*";
      }
    }
    if (mask.empty()) mask = "*.*";
    std::string prefix;
    if (args.givenPaths) {
      prefix = StoredFromGiven(dir);
      if (!prefix.empty()) prefix += '/';
    }
    size_t before = cands.size();
    Walk(dir, mask, prefix, "", "", seen);
    if (cands.size() == before && !HasWildcard(mask)) ui.Error("PKZIP: Warning! can't find " + raw);
  }
  if (args.label) {
    std::string label = host.VolumeLabel(archive);
    if (!label.empty()) {
      Candidate c;
      c.stored = label;
      c.label = true;
      c.info.attrs = kLabel;
      c.info.mtime = time(nullptr);
      cands.push_back(c);
    }
  }
  return kZipOk;
}

// Parallel compression of entries read whole; big files are streamed by the writer itself.
constexpr uint64_t kWholeLimit = 8u << 20;

struct Encodings {
  struct Slot {
    bool done = false;
    bool failed = false;
    Entry entry;
    Encoded enc;
  };
  std::vector<Slot> slots;
  std::vector<size_t> order;  // candidate indexes to encode whole, in writing order
  std::mutex mu;
  std::condition_variable cv;
  size_t next = 0;
  size_t consumed = 0;  // order positions handed to the writer
  uint64_t ahead = 0;   // input bytes of entries started and not yet written
  bool stop = false;
};

int ZipJob::Write(const std::vector<Item>& items, std::vector<Entry>& keepEntries, std::string comment) {
  // Temporary archive: the -b directory, else beside the archive.
  std::string tdir = args.tempDir.empty() ? DirName(archive) : ToSlashes(args.tempDir);
  while (tdir.size() > 1 && tdir.back() == '/' && !(tdir.size() == 3 && tdir[1] == ':')) tdir.pop_back();
  std::FILE* out = nullptr;
  for (unsigned i = 0; i < 1000 && !out; ++i) {
    char name[32];
    snprintf(name, sizeof name, "QLZ%05u.TMP", static_cast<unsigned>((time(nullptr) + i * 7919u) % 100000u));
    tempName = name;
    tempPath = JoinPath(tdir, name);
    out = host.CreateNew(tempPath);
  }
  if (!out) {
    ui.Error("PKZIP: Can't create temporary file in " + (tdir.empty() ? std::string(".") : tdir));
    return kZipCantOpen;
  }
  std::vector<char> obuf(1 << 20);
  setvbuf(out, obuf.data(), _IOFBF, obuf.size());
  bool writeOk = true;
  auto put = [&](const void* p, size_t n) {
    if (writeOk && n && std::fwrite(p, 1, n, out) != n) writeOk = false;
  };
  auto fail = [&](int code) {
    std::fclose(out);
    host.Remove(tempPath);
    return code;
  };

  uint64_t total = 0, done = 0;
  for (const Item& it : items)
    total += it.kind == ItemKind::kKeep ? old.entries[it.index].csize : cands[it.index].info.size;

  // Leading data of a self-extracting archive stays in front.
  if (existed && old.leading) {
    std::vector<uint8_t> buf(1 << 16);
    uint64_t off = 0;
    while (off < old.leading) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), old.leading - off));
      if (oldSrc->ReadAt(off, buf.data(), n) != n) return fail(kZipDamaged);
      put(buf.data(), n);
      off += n;
    }
  }

  Encodings enc;
  enc.slots.resize(cands.size());
  for (const Item& it : items)
    if (it.kind == ItemKind::kNew && !cands[it.index].label && cands[it.index].info.size <= kWholeLimit)
      enc.order.push_back(it.index);
  unsigned nthreads = g_threads ? g_threads : std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  const size_t window = 256;
  const uint64_t kAheadBytes = 48u << 20;
  std::vector<std::thread> workers;
  auto worker = [&] {
    std::vector<uint8_t> data;
    for (;;) {
      size_t pos;
      {
        std::unique_lock<std::mutex> lk(enc.mu);
        // Run ahead of the writer by a bounded amount of input, so that a writer thread that gets
        // little processor time does not leave the workers idle.
        enc.cv.wait(lk, [&] {
          return enc.stop || enc.next >= enc.order.size() ||
                 (enc.next < enc.consumed + window && (enc.ahead < kAheadBytes || enc.next == enc.consumed));
        });
        if (enc.stop || enc.next >= enc.order.size()) return;
        pos = enc.next++;
        enc.ahead += cands[enc.order[pos]].info.size;
      }
      size_t ci = enc.order[pos];
      Candidate& c = cands[ci];
      Encodings::Slot& slot = enc.slots[ci];
      bool ok = false;
      std::FILE* f = host.OpenRead(c.diskPath);
      if (f) {
        data.resize(static_cast<size_t>(c.info.size) + 1);
        size_t n = std::fread(data.data(), 1, data.size(), f);
        ok = !std::ferror(f) && n == c.info.size;
        std::fclose(f);
        if (ok) {
          slot.entry.dosTime = UnixToDos(c.info.mtime);
          EncodeBuffer(data.data(), n, args.level, password, slot.entry, slot.enc);
        }
      }
      std::lock_guard<std::mutex> lk(enc.mu);
      slot.failed = !ok;
      slot.done = true;
      enc.cv.notify_all();
    }
  };
  if (!enc.order.empty())
    for (unsigned i = 0; i < nthreads; ++i) workers.emplace_back(worker);
  auto stopWorkers = [&] {
    {
      std::lock_guard<std::mutex> lk(enc.mu);
      enc.stop = true;
    }
    enc.cv.notify_all();
    for (auto& w : workers) w.join();
    workers.clear();
  };

  std::vector<Entry> central;
  central.reserve(items.size());
  std::vector<uint8_t> buf(1 << 16), sbuf;
  std::unique_ptr<ReadAhead> oldRead;
  if (oldSrc) oldRead = std::make_unique<ReadAhead>(*oldSrc);
  int result = kZipOk;
  // Where a kept member ends, as long as kept members follow one another: asking the file for
  // its position is a call into the system per member.
  constexpr uint64_t kUnknown = UINT64_MAX;
  uint64_t keptEnd = kUnknown;
  for (const Item& it : items) {
    if (ui.Cancelled()) {
      result = kZipBreak;
      break;
    }
    uint64_t at = keptEnd != kUnknown ? keptEnd : TellFile(out);
    keptEnd = kUnknown;
    if (it.kind == ItemKind::kKeep) {
      Entry e = keepEntries[it.index];
      ui.Progress("Copying", e.name, done, total);
      e.name = rawNames[it.index];
      e.localOffset = at;
      std::vector<uint8_t> lh = LocalHeader(e);
      put(lh.data(), lh.size());
      uint64_t off = old.entries[it.index].dataOffset, left = e.csize;
      while (left > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(left, buf.size()));
        if (oldRead->ReadAt(off, buf.data(), n) != n) {
          ui.Error("PKZIP: Zip file is damaged at " + e.name);
          result = kZipDamaged;
          break;
        }
        put(buf.data(), n);
        off += n;
        left -= n;
      }
      if (result != kZipOk) break;
      keptEnd = at + lh.size() + e.csize;
      if (e.flags & 8) {
        std::vector<uint8_t> dd = DataDescriptor(e);
        put(dd.data(), dd.size());
        keptEnd += dd.size();
      }
      done += e.csize;
      central.push_back(e);
      continue;
    }
    Candidate& c = cands[it.index];
    Entry e;
    if (it.replaces >= 0) {
      const Entry& prev = old.entries[static_cast<size_t>(it.replaces)];
      e.comment = prev.comment;
    }
    bool utf8 = true;
    e.name = c.storedUtf8.empty() ? host.ArchiveName(c.stored, utf8) : c.storedUtf8;
    e.madeBy = host.MadeBy();
    if (utf8) {
      e.flags |= 0x800;
      // Readers translate names of entries made on DOS (host 0) from the OEM code page even when
      // bit 11 says UTF-8; Windows NTFS (11) keeps the same attributes without that translation.
      if ((e.madeBy >> 8) == 0) e.madeBy = static_cast<uint16_t>(11 << 8 | (e.madeBy & 0xFF));
    }
    e.externalAttr = c.info.attrs;
    e.dosTime = UnixToDos(c.info.mtime);
    if (c.label) {
      e.madeBy = 20;
      e.externalAttr = kLabel;
      e.needed = 10;
      std::vector<uint8_t> lh = LocalHeader(e);
      e.localOffset = at;
      put(lh.data(), lh.size());
      central.push_back(e);
      ui.Line("  Adding: " + c.stored + " (volume label)");
      continue;
    }
    ui.Progress(it.replaces >= 0 ? "Updating" : "Adding", c.stored, done, total);
    if (c.info.size <= kWholeLimit) {
      Encodings::Slot* slot = &enc.slots[it.index];
      {
        std::unique_lock<std::mutex> lk(enc.mu);
        enc.cv.wait(lk, [&] { return slot->done; });
        ++enc.consumed;
        enc.ahead -= c.info.size;
        enc.cv.notify_all();
      }
      if (slot->failed) {
        ui.Error("PKZIP: Can't open " + c.diskPath);
        result = kZipCantOpen;
        break;
      }
      Entry& s = slot->entry;
      e.flags = static_cast<uint16_t>(s.flags | (e.flags & 0x800));
      e.method = s.method;
      e.needed = s.needed;
      e.crc = s.crc;
      e.csize = s.csize;
      e.usize = s.usize;
      e.localOffset = at;
      std::vector<uint8_t> lh = LocalHeader(e);
      put(lh.data(), lh.size());
      put(slot->enc.data.data(), slot->enc.data.size());
      std::vector<uint8_t>().swap(slot->enc.data);
    } else {
      // Streamed: header first, its sizes patched once the data is written.
      std::FILE* f = host.OpenRead(c.diskPath);
      if (!f) {
        ui.Error("PKZIP: Can't open " + c.diskPath);
        result = kZipCantOpen;
        break;
      }
      bool big = c.info.size >= 0xFFFFFFFFu;
      StreamEncoder se(args.level, password, e);
      if (!password.empty()) e.flags |= 1 | 8;
      e.localOffset = at;
      Entry h = e;
      if (big) h.usize = h.csize = 0xFFFFFFFFu;  // reserves Zip64 room in the local header
      std::vector<uint8_t> lh = LocalHeader(h);
      size_t lhSize = lh.size();
      put(lh.data(), lh.size());
      bool readOk = true;
      uint64_t got = 0;
      for (;;) {
        size_t n = std::fread(buf.data(), 1, buf.size(), f);
        if (n == 0) break;
        sbuf.clear();
        se.Feed(buf.data(), n, sbuf);
        put(sbuf.data(), sbuf.size());
        got += n;
        ui.Progress(it.replaces >= 0 ? "Updating" : "Adding", c.stored, done + got, total);
        if (ui.Cancelled()) {
          readOk = false;
          break;
        }
      }
      if (std::ferror(f)) readOk = false;
      std::fclose(f);
      if (!readOk) {
        if (ui.Cancelled()) {
          result = kZipBreak;
        } else {
          ui.Error("PKZIP: Can't read " + c.diskPath);
          result = kZipCantOpen;
        }
        break;
      }
      sbuf.clear();
      se.Finish(sbuf);
      put(sbuf.data(), sbuf.size());
      uint64_t end = TellFile(out);
      if (e.flags & 8) {
        std::vector<uint8_t> dd = DataDescriptor(e);
        put(dd.data(), dd.size());
      } else {
        std::vector<uint8_t> fixed = LocalHeader(e);
        if (fixed.size() != lhSize) {
          ui.Error("PKZIP: " + c.diskPath + " changed size while it was read");
          result = kZipCantOpen;
          break;
        }
        if (fflush(out) != 0 || !SeekFile(out, at)) writeOk = false;
        put(fixed.data(), fixed.size());
        if (fflush(out) != 0 || !SeekFile(out, end)) writeOk = false;
      }
    }
    if (args.fileComments) {
      std::string text = host.LocalName(e.comment, Host::kOemName);
      bool u = false;
      if (ui.EditComment("Comment for " + c.stored, text)) e.comment = host.ArchiveName(text, u).substr(0, 0xFFFF);
    }
    ui.Line(std::string(it.replaces >= 0 ? "Updating: " : "  Adding: ") + c.stored + "  " +
            (e.method == 8 ? "Deflating (" + Percent(e.csize, e.usize) + "), done." : "Storing (0%), done."));
    done += c.info.size;
    central.push_back(e);
    if (!writeOk) break;
  }
  stopWorkers();
  if (result != kZipOk) {
    if (result == kZipBreak) ui.Line("PKZIP: Cancelled; " + archive + " is unchanged");
    return fail(result);
  }
  uint64_t cdStart = TellFile(out);
  for (const Entry& e : central) {
    std::vector<uint8_t> ch = CentralHeader(e);
    put(ch.data(), ch.size());
  }
  uint64_t cdEnd = TellFile(out);
  std::vector<uint8_t> end = EndRecord(central.size(), cdEnd - cdStart, cdStart, comment);
  put(end.data(), end.size());
  if (fflush(out) != 0) writeOk = false;
  if (std::fclose(out) != 0) writeOk = false;
  if (!writeOk) {
    host.Remove(tempPath);
    ui.Error("PKZIP: Disk full or write error; " + archive + " is unchanged");
    return kZipDiskFull;
  }
  oldSrc.reset();  // the old archive must be closed before it is replaced
  if (!host.Replace(tempPath, archive)) {
    host.Remove(tempPath);
    ui.Error("PKZIP: Can't replace " + archive + " (read-only?); it is unchanged");
    return kZipReadOnly;
  }
  if (args.keepDate && existed) {
    host.SetTime(archive, oldInfo.mtime);
  } else if (args.newestDate && !central.empty()) {
    uint32_t newest = 0;
    for (const Entry& e : central) newest = std::max(newest, e.dosTime);
    host.SetTime(archive, DosToUnix(newest));
  }
  return kZipOk;
}

int ZipJob::Run() {
  if (!args.error.empty()) {
    ui.Error("PKZIP: " + args.error);
    return kZipBadParams;
  }
  archive = ToSlashes(args.archive);
  if (!HasExtension(archive)) archive += ".zip";
  cwd = host.CurrentDir();
  archiveAbs = Lower(Absolute(archive));
  if (args.span && !host.IsRemovable(archive)) {
    ui.Error("PKZIP: Multiple volumes (-&) span removable disks only; " + archive +
             " is on a fixed disk. Nothing done.");
    return kZipBadParams;
  }
  if (args.action == ZipAction::kView) {
    ui.Error("PKZIP: use pkunzip -v to view an archive");
    return kZipBadParams;
  }
  existed = host.Stat(archive, oldInfo) && !oldInfo.isDir;
  if (existed) {
    std::FILE* f = host.OpenRead(archive);
    if (!f) {
      ui.Error("PKZIP: Can't open " + archive);
      return kZipCantOpen;
    }
    oldSrc = std::make_unique<FileSource>(f);
    OpenResult r = old.Open(*oldSrc);
    if (r != OpenResult::kOk) {
      ui.Error(r == OpenResult::kOverlap ? "PKZIP: " + archive + " has overlapping entries; not changed"
                                         : "PKZIP: Zip file " + archive + " is damaged or not a zip file");
      return kZipDamaged;
    }
    std::unique_ptr<Host> wide = host.Utf8Host();
    Host& utf8 = wide ? *wide : host;
    for (Entry& e : old.entries) {
      rawNames.push_back(e.name);
      const std::string& name = e.utf8Name.empty() ? e.name : e.utf8Name;
      const Host::NameKind kind = e.utf8Name.empty() ? NameKindOf(e) : Host::kUtf8Name;
      utf8Names.push_back(utf8.LocalName(name, kind));
      e.name = host.LocalName(name, kind);
    }
  } else if (args.action != ZipAction::kAdd && args.action != ZipAction::kUpdate) {
    ui.Error("PKZIP: Can't find zip file " + archive);
    return kZipNotFound;
  }
  if (args.password) {
    password = args.passwordText;
    if (password.empty() && !ui.AskPassword(password)) return kZipBadParams;
  }

  std::vector<Entry> keep = old.entries;
  std::vector<Item> items;
  std::string comment = old.comment;
  bool changed = false;

  if (args.action == ZipAction::kDelete || args.action == ZipAction::kCommentsOnly) {
    std::vector<std::string> specs = args.specs;
    for (const auto& l : args.lists)
      if (!ReadList(host, l, specs)) {
        ui.Error("PKZIP: List file " + l + " not found");
        return kZipNotFound;
      }
    if (args.action == ZipAction::kDelete && specs.empty()) {
      ui.Error("PKZIP: Nothing to do!");
      return kZipNothing;
    }
    MemberMatcher given(specs, MemberMatcher::kWithReferences), excluded(args.excludes);
    for (size_t i = 0; i < keep.size(); ++i) {
      bool hit = specs.empty() || given.Matches(keep[i].name, utf8Names[i]);
      if (hit && excluded.Matches(keep[i].name)) hit = false;
      if (args.action == ZipAction::kDelete) {
        if (hit) {
          ui.Line("Deleting: " + keep[i].name);
          changed = true;
          continue;
        }
      } else if (hit && args.fileComments) {
        std::string text = host.LocalName(keep[i].comment, NameKindOf(keep[i]) == Host::kOemName ? Host::kOemName : Host::kRawName);
        bool u = false;
        if (ui.EditComment("Comment for " + keep[i].name, text)) {
          keep[i].comment = host.ArchiveName(text, u).substr(0, 0xFFFF);
          changed = true;
        }
      }
      items.push_back({ItemKind::kKeep, i, -1});
    }
  } else {
    if (int r = Gather()) return r;
    std::unordered_map<std::string, size_t> byName;
    byName.reserve(keep.size());
    for (size_t i = 0; i < keep.size(); ++i) byName[Lower(ToSlashes(keep[i].name))] = i;
    std::vector<long> replacement(keep.size(), -1);
    std::vector<size_t> added;
    bool freshenAll = (args.action == ZipAction::kFreshen || args.action == ZipAction::kUpdate) &&
                      args.specs.empty() && args.lists.empty();
    if (freshenAll) {
      // Every member is looked up at its stored path below the current directory.
      cands.clear();
      for (size_t i = 0; i < keep.size(); ++i) {
        if (keep[i].isDir() || keep[i].isLabel()) continue;
        DirEntry st;
        if (!host.Stat(keep[i].name, st) || st.isDir) continue;
        Candidate c;
        c.diskPath = keep[i].name;
        c.stored = keep[i].name;
        c.info = st;
        cands.push_back(c);
      }
    }
    for (size_t ci = 0; ci < cands.size(); ++ci) {
      Candidate& c = cands[ci];
      auto it = byName.find(Lower(c.stored));
      if (c.label) {
        // One volume label per archive: a new one replaces any old one.
        for (size_t i = 0; i < keep.size(); ++i)
          if (keep[i].isLabel()) replacement[i] = -2;
        added.push_back(ci);
        continue;
      }
      if (it != byName.end()) {
        const Entry& e = keep[it->second];
        bool newer = UnixToDos(c.info.mtime) > e.dosTime;
        if (args.action == ZipAction::kAdd || newer) replacement[it->second] = static_cast<long>(ci);
      } else if (args.action != ZipAction::kFreshen) {
        added.push_back(ci);
      }
    }
    for (size_t i = 0; i < keep.size(); ++i) {
      if (replacement[i] == -2) continue;
      if (replacement[i] >= 0) items.push_back({ItemKind::kNew, static_cast<size_t>(replacement[i]), static_cast<long>(i)});
      else items.push_back({ItemKind::kKeep, i, -1});
    }
    for (size_t ci : added) items.push_back({ItemKind::kNew, ci, -1});
    for (const Item& it : items) changed = changed || it.kind == ItemKind::kNew;
    if (!changed && !args.archiveComment) {
      ui.Line("PKZIP: Nothing to do!");
      return kZipNothing;
    }
  }
  if (args.archiveComment) {
    std::string text = host.LocalName(comment, Host::kOemName);
    bool u = false;
    if (ui.EditComment("Zip file comment for " + archive, text)) {
      comment = host.ArchiveName(text, u).substr(0, 0xFFFF);
      changed = true;
    }
  }
  if (!changed) {
    if (args.action == ZipAction::kDelete) {
      ui.Error("PKZIP: Nothing to do!");
      return kZipNothing;
    }
    return kZipOk;
  }
  if (existed) ui.Line("Updating: " + archive);
  else ui.Line("Creating: " + archive);
  int r = Write(items, keep, comment);
  if (r != kZipOk) return r;
  if (args.move) {
    for (const Item& it : items)
      if (it.kind == ItemKind::kNew && !cands[it.index].label) host.Remove(cands[it.index].diskPath);
  }
  return unopenable ? kZipCantOpen : kZipOk;
}

// ---------------------------------------------------------------------------------------------
// Unzip

// A Ui for an operation that works in UTF-8, in front of one that speaks the local character set
// of `local`: a name that set cannot hold is shown as well as it can be.
class Utf8Ui : public Ui {
 public:
  Utf8Ui(Ui& ui, Host& local) : ui_(ui), local_(local) {}
  void Line(const std::string& text) override { ui_.Line(Local(text)); }
  void Error(const std::string& text) override { ui_.Error(Local(text)); }
  void Progress(const std::string& verb, const std::string& name, uint64_t done, uint64_t total) override {
    ui_.Progress(verb, Local(name), done, total);
  }
  bool Cancelled() override { return ui_.Cancelled(); }
  bool EditComment(const std::string& title, std::string& text) override {
    std::string t = Local(text);
    if (!ui_.EditComment(Local(title), t)) return false;
    text = local_.Utf8Name(t);
    return true;
  }
  Answer AskOverwrite(const std::string& path) override { return ui_.AskOverwrite(Local(path)); }
  // A password is bytes, as typed: it is not a name.
  bool AskPassword(std::string& password) override { return ui_.AskPassword(password); }

 private:
  std::string Local(const std::string& text) { return local_.LocalName(text, Host::kUtf8Name); }
  Ui& ui_;
  Host& local_;
};

// The method column of a listing and the verb of an extraction line, in PKUNZIP's words.
const char* MethodName(uint16_t method) {
  static const char* const names[] = {"Stored", "Shrunk", "Reduce1", "Reduce2", "Reduce3", "Reduce4", "Implode"};
  if (method < sizeof names / sizeof names[0]) return names[method];
  switch (method) {
    case 8: return "DeflN";
    case 9: return "Defl64";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    case 98: return "PPMd";
    default: return "Other";
  }
}

const char* ExpandVerb(uint16_t method) {
  switch (method) {
    case 1: return "Unshrinking";
    case 2: case 3: case 4: case 5: return "Expanding";
    case 6: return "Exploding";
    case 8: case 9: return "Inflating";
    default: return "Extracting";
  }
}

bool MakeDirs(Host& host, const std::string& path) {
  if (path.empty()) return true;
  DirEntry st;
  if (host.Stat(path, st)) return st.isDir;
  std::string parent = DirName(path);
  if (!parent.empty() && parent != path && !MakeDirs(host, parent)) return false;
  return host.MakeDir(path);
}

}  // namespace

void SetWorkerThreads(unsigned n) { g_threads = n; }

namespace {

// One member on its way out: prepared on the caller's thread, decoded on a worker, then finished
// (renamed into place, dated) on the caller's thread again, in archive order.
struct OutJob {
  const Entry* e = nullptr;
  std::string full, temp;
  bool exists = false;
  std::FILE* f = nullptr;
  DecodeResult result = DecodeResult::kOk;
  int writeError = 0;  // errno of a failed write
  bool done = false;
};

class UnzipJob {
 public:
  // `h` is where the files are; `text` converts text from the user (list files) to h's names.
  UnzipJob(const UnzipArgs& a, Host& h, Host& text, Ui& u)
      : args(a), host(h), textHost(text), ui(u), writtenHere(h.FoldsCase()) {}
  int Run();

 private:
  // Decides what to do with one member; a job to decode, or none.
  std::unique_ptr<OutJob> Prepare(const Entry& e);
  int Finish(OutJob& j);
  int ExtractAll(const std::string& archive, const std::vector<const Entry*>& chosen);
  const UnzipArgs& args;
  Host& host;
  Host& textHost;
  Ui& ui;
  std::string password;
  bool askedPassword = false;
  ql::OverwriteAnswers answers;
  ql::WrittenTargets writtenHere;  // files this run writes, on disk or still on their way
  bool abort = false;
  bool writeFailed = false;  // a member could not be written (disk full or write error)
  std::set<const Entry*> notHeld;  // members whose names the local character set cannot hold
  int warnings = 0;
  std::string dest;
  std::atomic<bool> stop{false};
  std::atomic<uint64_t> written{0};
};

std::unique_ptr<OutJob> UnzipJob::Prepare(const Entry& e) {
  if (notHeld.count(&e)) {
    ui.Error("PKUNZIP: Refused " + e.name + ": " + kNameNotHeld);
    ++warnings;
    return nullptr;
  }
  std::string clean, why;
  if (!SafeMemberPath(e.name, clean, why)) {
    ui.Error("PKUNZIP: Refused " + e.name + ": " + why);
    ++warnings;
    return nullptr;
  }
  if (e.isLabel()) {
    if (args.label) {
      if (host.SetVolumeLabel(dest.empty() ? host.CurrentDir() : dest, e.name)) ui.Line("Volume label: " + e.name);
      else ui.Error("PKUNZIP: Warning! could not set volume label " + e.name);
    }
    return nullptr;
  }
  if (e.isSymlink()) {
    ui.Error("PKUNZIP: Skipped " + e.name + ": symbolic links are not extracted");
    ++warnings;
    return nullptr;
  }
  if (e.isDir()) {
    if (args.paths) MakeDirs(host, JoinPath(dest, clean));
    return nullptr;
  }
  std::string rel = args.paths ? clean : BaseName(clean);
  std::string full = JoinPath(dest, rel);
  if (args.paths && !MakeDirs(host, DirName(full))) {
    ui.Error("PKUNZIP: Can't create directory for " + full);
    ++warnings;
    return nullptr;
  }
  DirEntry st;
  bool exists = host.Stat(full, st);
  if (exists && st.isDir) {
    ui.Error("PKUNZIP: " + full + " is a directory; " + e.name + " skipped");
    ++warnings;
    return nullptr;
  }
  int64_t existingTime = st.mtime;
  if (writtenHere.Find(full, &existingTime)) exists = true;
  int64_t when = DosToUnix(e.dosTime);
  // DOS times have a two-second step: a file within it counts as just as new. -n and -f replace
  // an older file without asking.
  const ql::ExtractRules rules = {false, args.freshen, args.newer && !args.freshen,
                                  args.overwrite || args.newer || args.freshen};
  const ql::ExtractChoice choice =
      ql::ChooseExtract(rules, exists, existingTime + 1, when, &answers, [&](char* answer) {
        switch (ui.AskOverwrite(full)) {
          case Ui::kYes: *answer = 'Y'; break;
          case Ui::kAll: *answer = 'A'; break;
          case Ui::kAbort: *answer = 'Q'; break;
          default: *answer = 'N'; break;
        }
      });
  if (choice == ql::ExtractChoice::kQuit) {
    abort = true;
    return nullptr;
  }
  if (choice == ql::ExtractChoice::kDeclined) {
    ui.Error("PKUNZIP: Warning! " + full + " exists; " + e.name + " not extracted");
    ++warnings;
    return nullptr;
  }
  if (choice != ql::ExtractChoice::kWrite) return nullptr;
  writtenHere.Add(full, when);
  if (e.encrypted() && password.empty() && !askedPassword) {
    askedPassword = true;
    ui.AskPassword(password);
  }
  // Written under a temporary name and renamed when complete and checked.
  auto j = std::make_unique<OutJob>();
  j->e = &e;
  j->full = full;
  j->exists = exists;
  for (unsigned i = 0; i < 100 && !j->f; ++i) {
    j->temp = full + ".~q" + std::to_string(i);
    j->f = host.CreateNew(j->temp);
  }
  if (!j->f) {
    ui.Error("PKUNZIP: Can't create " + full);
    ++warnings;
    return nullptr;
  }
  return j;
}

int UnzipJob::Finish(OutJob& j) {
  const Entry& e = *j.e;
  if (j.result != DecodeResult::kOk) {
    host.Remove(j.temp);
    if (j.result == DecodeResult::kCancelled) return kUnzipBreak;
    if (j.result == DecodeResult::kSink) {
      // Judged on its own: the members after it are still tried (a smaller one may fit).
      ui.Error("PKUNZIP: " + e.name + ": " +
               (j.writeError == ENOSPC ? "disk full, " + j.full + " not written"
                                       : "could not write " + j.full));
      ++warnings;
      writeFailed = true;
      return 0;
    }
    ui.Error("PKUNZIP: " + e.name + ": " +
             (j.result == DecodeResult::kMethod ? UnsupportedText(e) : DecodeResultText(j.result)));
    ++warnings;
    return 0;
  }
  if (j.exists) host.Remove(j.full);
  if (!host.Replace(j.temp, j.full)) {
    host.Remove(j.temp);
    ui.Error("PKUNZIP: Can't write " + j.full);
    ++warnings;
    return 0;
  }
  host.SetTime(j.full, DosToUnix(e.dosTime));
  uint32_t unixMode = (e.madeBy >> 8) == 3 ? (e.externalAttr >> 16) & 0777 : 0;
  host.SetAttrs(j.full, e.externalAttr & 0xFF, unixMode);
  ui.Line(std::string(" ") + ExpandVerb(e.method) + ": " + j.full);
  return 0;
}

// Members are decoded on worker threads, each with its own handle on the archive; questions,
// messages and renames stay on the caller's thread and keep the archive's order.
int UnzipJob::ExtractAll(const std::string& archive, const std::vector<const Entry*>& chosen) {
  uint64_t total = 0;
  for (const Entry* e : chosen) total += e->usize;
  std::deque<std::unique_ptr<OutJob>> pending;
  std::mutex mu;
  std::condition_variable cv;
  std::deque<OutJob*> queue;
  bool closing = false;
  unsigned nthreads = g_threads ? g_threads : std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  // Members finish in archive order, so a big one holds up the members behind it: a deep window of
  // members in flight (each holding just its open output file) keeps every worker busy meanwhile.
  const size_t window = nthreads * 16 + 2;
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < nthreads; ++t) {
    workers.emplace_back([&] {
      std::FILE* af = host.OpenRead(archive);
      std::unique_ptr<FileSource> src(af ? new FileSource(af) : nullptr);
      for (;;) {
        OutJob* j;
        {
          std::unique_lock<std::mutex> lk(mu);
          cv.wait(lk, [&] { return closing || !queue.empty(); });
          if (queue.empty()) return;
          j = queue.front();
          queue.pop_front();
        }
        DecodeResult r = DecodeResult::kDamaged;
        if (src) {
          bool cancelled = false;
          // The decoder hands on pieces of up to 128 KiB: each goes out in one write, without a
          // copy through the stream's small buffer.
          std::setvbuf(j->f, nullptr, _IONBF, 0);
          r = DecodeEntry(*src, *j->e, password, [&](const uint8_t* p, size_t n) {
            if (stop.load()) {
              cancelled = true;
              return false;
            }
            if (std::fwrite(p, 1, n, j->f) != n) {
              j->writeError = errno;
              return false;
            }
            written += n;
            return true;
          });
          if (cancelled) r = DecodeResult::kCancelled;
        }
        if (std::fclose(j->f) != 0 && r == DecodeResult::kOk) {
          r = DecodeResult::kSink;
          j->writeError = errno;
        }
        j->f = nullptr;
        std::lock_guard<std::mutex> lk(mu);
        j->result = r;
        j->done = true;
        cv.notify_all();
      }
    });
  }
  int code = 0;
  auto finishOldest = [&]() -> int {
    OutJob* j = pending.front().get();
    for (;;) {
      {
        std::unique_lock<std::mutex> lk(mu);
        if (cv.wait_for(lk, std::chrono::milliseconds(50), [&] { return j->done; })) break;
      }
      ui.Progress("Inflating", j->e->name, written.load(), total);
      if (ui.Cancelled()) stop = true;
    }
    ui.Progress("Inflating", j->e->name, written.load(), total);
    if (ui.Cancelled()) stop = true;
    int r = Finish(*j);
    pending.pop_front();
    return r;
  };
  for (const Entry* e : chosen) {
    if (abort || stop || ui.Cancelled()) {
      stop = true;
      break;
    }
    auto j = Prepare(*e);
    if (!j) continue;
    {
      std::lock_guard<std::mutex> lk(mu);
      queue.push_back(j.get());
    }
    cv.notify_all();
    pending.push_back(std::move(j));
    while (pending.size() >= window && code == 0) code = finishOldest();
    if (code) {
      stop = true;
      break;
    }
  }
  while (!pending.empty()) {
    int r = finishOldest();
    if (code == 0) code = r;
  }
  {
    std::lock_guard<std::mutex> lk(mu);
    closing = true;
  }
  cv.notify_all();
  for (auto& w : workers) w.join();
  if (stop && code == 0) code = kUnzipBreak;
  if (code == 0 && writeFailed) code = kUnzipDiskFull;
  return code;
}

int UnzipJob::Run() {
  if (!args.error.empty()) {
    ui.Error("PKUNZIP: " + args.error);
    return kUnzipBadParams;
  }
  std::string archive = ToSlashes(args.archive);
  DirEntry st;
  if (!host.Stat(archive, st) && !HasExtension(archive)) archive += ".zip";
  std::FILE* f = host.OpenRead(archive);
  if (!f) {
    ui.Error("PKUNZIP: Zip file " + archive + " not found");
    return kUnzipNotFound;
  }
  FileSource src(f);
  Archive ar;
  OpenResult orr = ar.Open(src);
  if (orr != OpenResult::kOk) {
    switch (orr) {
      case OpenResult::kOverlap: ui.Error("PKUNZIP: " + archive + " has overlapping entries (a zip bomb); refused"); break;
      case OpenResult::kMultiVolume: ui.Error("PKUNZIP: " + archive + " is part of a multiple volume zip"); break;
      default: ui.Error("PKUNZIP: " + archive + " is damaged or not a zip file"); break;
    }
    return kUnzipDamaged;
  }
  if (!ar.warning.empty()) {
    ui.Error("PKUNZIP: Warning! " + archive + " is inconsistent: " + ar.warning);
    ++warnings;
  }
  for (Entry& e : ar.entries) {
    bool exact = true;
    e.name = e.utf8Name.empty() ? host.LocalName(e.name, NameKindOf(e), &exact)
                                : host.LocalName(e.utf8Name, Host::kUtf8Name, &exact);
    if (!exact) notHeld.insert(&e);
  }
  password = args.passwordText;
  if (args.password && password.empty()) {
    askedPassword = true;
    ui.AskPassword(password);
  }
  std::vector<std::string> specs = args.specs;
  for (const auto& l : args.lists) {
    std::vector<std::string> listed;
    if (!ReadList(host, l, listed)) {
      ui.Error("PKUNZIP: List file " + l + " not found");
      return kUnzipNotFound;
    }
    for (const auto& name : listed) specs.push_back(&textHost == &host ? name : textHost.Utf8Name(name));
  }
  std::vector<const Entry*> chosen;
  MemberMatcher given(specs, MemberMatcher::kWithReferences), excluded(args.excludes);
  for (const Entry& e : ar.entries) {
    // Names are UTF-8 here (RunUnzip gives this job a host that holds every name).
    bool hit = specs.empty() || given.Matches(e.name, e.name);
    if (hit && !excluded.Matches(e.name)) chosen.push_back(&e);
  }
  if (chosen.empty()) {
    ui.Error("PKUNZIP: No file(s) found.");
    return kUnzipNoFiles;
  }
  if (!args.order.empty() || args.reverse) {
    auto ext = [](const Entry* e) {
      std::string b = BaseName(ToSlashes(e->name));
      size_t d = b.rfind('.');
      return Lower(d == std::string::npos ? "" : b.substr(d + 1));
    };
    std::stable_sort(chosen.begin(), chosen.end(), [&](const Entry* a, const Entry* b) {
      for (char k : args.order) {
        switch (k) {
          case 'c': if (a->crc != b->crc) return a->crc < b->crc; break;
          case 'd': if (a->dosTime != b->dosTime) return a->dosTime < b->dosTime; break;
          case 'e': if (ext(a) != ext(b)) return ext(a) < ext(b); break;
          case 'n': if (Lower(a->name) != Lower(b->name)) return Lower(a->name) < Lower(b->name); break;
          case 's': if (a->usize != b->usize) return a->usize < b->usize; break;
          case 'p': {
            uint64_t pa = a->usize ? a->csize * 1000 / a->usize : 0, pb = b->usize ? b->csize * 1000 / b->usize : 0;
            if (pa != pb) return pa < pb;
            break;
          }
          default: break;
        }
      }
      return false;
    });
    if (args.reverse) std::reverse(chosen.begin(), chosen.end());
  }
  if (args.view) {
    ui.Line(" Length  Method   Size  Ratio   Date    Time    CRC-32  Name");
    ui.Line(" ------  ------   ----  -----   ----    ----    ------  ----");
    uint64_t tu = 0, tc = 0;
    for (const Entry* e : chosen) {
      char line[128];
      uint32_t d = e->dosTime >> 16, t = e->dosTime & 0xFFFF;
      snprintf(line, sizeof line, "%7llu  %-6s %7llu  %4s  %02u-%02u-%02u  %02u:%02u  %08x%c ",
               static_cast<unsigned long long>(e->usize), MethodName(e->method),
               static_cast<unsigned long long>(e->csize), Percent(e->csize, e->usize).c_str(), (d >> 5) & 15, d & 31,
               ((d >> 9) + 80) % 100, t >> 11, (t >> 5) & 63, e->crc, e->encrypted() ? '*' : ' ');
      ui.Line(line + e->name);
      tu += e->usize;
      tc += e->csize;
    }
    ui.Line(" ------          ------  ---");
    ui.Line(std::to_string(tu) + "  " + std::to_string(tc) + "  " + Percent(tc, tu) + "  " +
            std::to_string(chosen.size()) + " file(s)");
    if (!ar.comment.empty()) ui.Line(ar.comment);
    return warnings ? kUnzipWarning : kUnzipOk;
  }
  if (args.test) {
    ui.Line("Testing: " + archive);
    uint64_t total = 0, done = 0;
    for (const Entry* e : chosen) total += e->usize;
    for (const Entry* e : chosen) {
      if (ui.Cancelled()) return kUnzipBreak;
      if (e->isDir() || e->isLabel()) continue;
      if (e->encrypted() && password.empty() && !askedPassword) {
        askedPassword = true;
        ui.AskPassword(password);
      }
      DecodeResult r = DecodeEntry(src, *e, password, [&](const uint8_t*, size_t n) {
        done += n;
        ui.Progress("Testing", e->name, done, total);
        return !ui.Cancelled();
      });
      if (r == DecodeResult::kSink) return kUnzipBreak;
      if (r == DecodeResult::kOk) {
        ui.Line(" Testing: " + e->name + "   OK");
      } else {
        ui.Error(" Testing: " + e->name + "   " +
                 (r == DecodeResult::kMethod ? UnsupportedText(*e) : DecodeResultText(r)));
        ++warnings;
      }
    }
    if (warnings == 0) ui.Line("No errors detected in " + archive);
    return warnings ? kUnzipWarning : kUnzipOk;
  }
  dest = ToSlashes(args.dest);
  while (dest.size() > 1 && dest.back() == '/' && !(dest.size() == 3 && dest[1] == ':')) dest.pop_back();
  if (!dest.empty() && !MakeDirs(host, dest)) {
    ui.Error("PKUNZIP: Can't create directory " + dest);
    return kUnzipBadParams;
  }
  int r = ExtractAll(archive, chosen);
  if (r) return r;
  if (abort) return kUnzipBreak;
  return warnings ? kUnzipWarning : kUnzipOk;
}

}  // namespace

int RunZip(const ZipArgs& args, Host& host, Ui& ui) {
  ZipJob job(args, host, ui);
  return job.Run();
}

int RunUnzip(const UnzipArgs& args, Host& host, Ui& ui) {
  // Members are written through a host that holds every name as it is; the names the user gives
  // and the lines the user reads are converted at this edge.
  std::unique_ptr<Host> wide = host.Utf8Host();
  if (!wide) {
    UnzipJob job(args, host, host, ui);
    return job.Run();
  }
  UnzipArgs a = args;
  auto toUtf8 = [&](std::string& s) { s = host.Utf8Name(s); };
  toUtf8(a.archive);
  toUtf8(a.dest);
  for (auto* v : {&a.specs, &a.lists, &a.excludes})
    for (auto& s : *v) toUtf8(s);
  Utf8Ui u(ui, host);
  UnzipJob job(a, *wide, host, u);
  return job.Run();
}

}  // namespace qlzip
