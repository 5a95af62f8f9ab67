#include "archivers/arj/arj_archive.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace arj {

bool SeekFile(FILE* f, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t TellFile(FILE* f) {
#ifdef _WIN32
  return static_cast<uint64_t>(_ftelli64(f));
#else
  return static_cast<uint64_t>(ftello(f));
#endif
}

bool TruncateFile(FILE* f, uint64_t size) {
  if (fflush(f) != 0) return false;
#ifdef _WIN32
  return _chsize_s(_fileno(f), static_cast<__int64>(size)) == 0;
#else
  return ftruncate(fileno(f), static_cast<off_t>(size)) == 0;
#endif
}

size_t MemorySource::ReadAt(uint64_t offset, void* buf, size_t size) {
  if (offset >= size_) return 0;
  size_t n = std::min<uint64_t>(size, size_ - offset);
  memcpy(buf, data_ + offset, n);
  return n;
}

namespace {
constexpr size_t kReadAhead = 1 << 18;
constexpr size_t kDirectRead = 1 << 15;  // reads this large bypass the read-ahead buffer
}  // namespace

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return nullptr;
  // The source buffers for itself.
  setvbuf(f, nullptr, _IONBF, 0);
  std::unique_ptr<FileSource> s(new FileSource);
  s->f_ = f;
  if (fseek(f, 0, SEEK_END) == 0) s->size_ = TellFile(f);
  s->pos_ = UINT64_MAX;
  return s;
}

FileSource::~FileSource() {
  if (f_) fclose(f_);
}

size_t FileSource::ReadFile(uint64_t offset, void* buf, size_t size) {
  if (offset != pos_) {
    if (!SeekFile(f_, offset)) {
      pos_ = UINT64_MAX;
      return 0;
    }
    pos_ = offset;
  }
  size_t n = fread(buf, 1, size, f_);
  pos_ += n;
  if (n < size) pos_ = UINT64_MAX;
  return n;
}

size_t FileSource::ReadAt(uint64_t offset, void* buf, size_t size) {
  uint8_t* out = static_cast<uint8_t*>(buf);
  size_t done = 0;
  while (done < size) {
    const uint64_t at = offset + done;
    if (at >= cache_at_ && at < cache_at_ + cache_size_) {
      size_t n = std::min<uint64_t>(size - done, cache_at_ + cache_size_ - at);
      memcpy(out + done, cache_.data() + (at - cache_at_), n);
      done += n;
      continue;
    }
    if (size - done >= kDirectRead) return done + ReadFile(at, out + done, size - done);
    cache_.resize(kReadAhead);
    cache_at_ = at;
    cache_size_ = ReadFile(at, cache_.data(), kReadAhead);
    if (cache_size_ == 0) break;
  }
  return done;
}

ReadStatus ArchiveReader::ReadHeaderAt(uint64_t offset, Header* h, size_t* used) {
  const size_t full = 4 + kMaxBasicSize + 4 + 2;
  size_t want = full;
  // Most blocks are short: the first read takes the basic header and a short extended chain.
  uint8_t id[4];
  if (src_->ReadAt(offset, id, 4) == 4 && id[0] == kIdLo && id[1] == kIdHi)
    want = std::min<size_t>(full, 4 + ReadLe16(id + 2) + 4 + 2 + 64);
  for (;;) {
    buf_.resize(want);
    size_t got = src_->ReadAt(offset, buf_.data(), want);
    ParseResult r = ParseHeader(buf_.data(), got, h, used);
    switch (r) {
      case ParseResult::kOk:
        return ReadStatus::kOk;
      case ParseResult::kEnd:
        return ReadStatus::kEnd;
      case ParseResult::kTruncated:
        if (got < want || want >= (4u << 20)) return ReadStatus::kTruncated;
        want = want < full ? full : want * 4;  // a long extended header chain
        continue;
      default:
        return ReadStatus::kDamaged;
    }
  }
}

bool ArchiveReader::FindHeader(uint64_t from, uint64_t limit, bool want_main, uint64_t* found) {
  const uint64_t size = src_->Size();
  if (limit > size) limit = size;
  std::vector<uint8_t> chunk(1 << 16);
  uint64_t base = from;
  while (base < limit) {
    size_t got = src_->ReadAt(base, chunk.data(), chunk.size());
    if (got < 2) return false;
    for (size_t i = 0; i + 1 < got && base + i < limit; ++i) {
      if (chunk[i] != kIdLo || chunk[i + 1] != kIdHi) continue;
      Header h;
      size_t used = 0;
      ReadStatus st = ReadHeaderAt(base + i, &h, &used);
      if (st == ReadStatus::kOk && (want_main ? h.file_type == kMainHeader
                                              : h.file_type != kMainHeader)) {
        *found = base + i;
        return true;
      }
    }
    if (got < chunk.size()) return false;
    base += got - 1;
  }
  return false;
}

ReadStatus ArchiveReader::Open(uint64_t max_scan) {
  size_t used = 0;
  ReadStatus st = ReadHeaderAt(0, &main_, &used);
  uint64_t at = 0;
  if (st != ReadStatus::kOk || main_.file_type != kMainHeader) {
    if (!FindHeader(0, max_scan, true, &at)) return ReadStatus::kNotArj;
    st = ReadHeaderAt(at, &main_, &used);
    if (st != ReadStatus::kOk) return ReadStatus::kNotArj;
  }
  main_offset_ = at;
  pos_ = at + used;
  return ReadStatus::kOk;
}

ReadStatus ArchiveReader::Next(Entry* e, bool recover) {
  for (;;) {
    size_t used = 0;
    ReadStatus st = ReadHeaderAt(pos_, &e->h, &used);
    if (st == ReadStatus::kEnd) {
      pos_ += 4;
      return st;
    }
    if (st == ReadStatus::kOk && e->h.file_type == kMainHeader) st = ReadStatus::kDamaged;
    if (st == ReadStatus::kOk) {
      e->header_offset = pos_;
      e->data_offset = pos_ + used;
      uint64_t next = e->data_offset + e->h.comp_size;
      if (next > src_->Size()) {
        if (!recover) return ReadStatus::kTruncated;
      }
      pos_ = next;
      return ReadStatus::kOk;
    }
    if (!recover) return st;
    uint64_t found = 0;
    if (!FindHeader(pos_ + 1, UINT64_MAX, false, &found)) return st;
    pos_ = found;
  }
}

ReadFn ArchiveReader::DataReader(const Entry& e) {
  auto pos = std::make_shared<uint64_t>(e.data_offset);
  Source* src = src_;
  return [src, pos](uint8_t* buf, size_t size) {
    size_t n = src->ReadAt(*pos, buf, size);
    *pos += n;
    return n;
  };
}

EntryResult ExtractData(Source* src, const Entry& e, const std::string& password,
                        const WriteFn& out) {
  const Header& h = e.h;
  if (h.method > 4) return EntryResult::kUnsupported;
  Garble garble;
  if (h.flags & kGarbled) {
    if (password.empty()) return EntryResult::kNeedPassword;
    garble = Garble(password, h.garble_mod);
  }
  uint64_t pos = e.data_offset;
  uint64_t end = e.data_offset + h.comp_size;
  ReadFn in = [&](uint8_t* buf, size_t size) -> size_t {
    if (pos >= end) return 0;
    size_t n = src->ReadAt(pos, buf, std::min<uint64_t>(size, end - pos));
    pos += n;
    return n;
  };
  uint32_t crc = 0xFFFFFFFFu;
  bool write_failed = false;
  WriteFn sink = [&](const uint8_t* data, size_t size) {
    crc = Crc32Update(crc, data, size);
    if (!out(data, size)) {
      write_failed = true;
      return false;
    }
    return true;
  };
  DecodeResult r = Decode(h.method, h.comp_size, h.orig_size, in,
                          garble.active() ? &garble : nullptr, sink);
  if (write_failed) return EntryResult::kWriteError;
  if (r == DecodeResult::kUnsupported) return EntryResult::kUnsupported;
  if (r != DecodeResult::kOk) return (h.flags & kGarbled) ? EntryResult::kCrcError
                                                          : EntryResult::kBadData;
  return ~crc == h.crc ? EntryResult::kOk : EntryResult::kCrcError;
}

bool ArchiveWriter::Write(const void* data, size_t size) {
  if (failed_) return false;
  if (size && fwrite(data, 1, size, f_) != size) {
    failed_ = true;
    return false;
  }
  pos_ += size;
  return true;
}

bool ArchiveWriter::WriteMain(const Header& main) {
  std::vector<uint8_t> b;
  if (!WriteHeader(main, &b)) return false;
  return Write(b.data(), b.size());
}

bool ArchiveWriter::AddHeaderOnly(const Header& h) {
  std::vector<uint8_t> b;
  if (!WriteHeader(h, &b)) return false;
  return Write(b.data(), b.size());
}

bool ArchiveWriter::CopyEntry(Source* src, const Entry& e) { return CopyEntry(src, e, e.h); }

bool ArchiveWriter::CopyEntry(Source* src, const Entry& e, const Header& changed) {
  std::vector<uint8_t> b;
  if (!WriteHeader(changed, &b) || !Write(b.data(), b.size())) return false;
  std::vector<uint8_t> buf(1 << 16);
  uint64_t left = e.h.comp_size, at = e.data_offset;
  while (left > 0) {
    size_t n = src->ReadAt(at, buf.data(), std::min<uint64_t>(buf.size(), left));
    if (n == 0) {
      failed_ = true;
      return false;
    }
    if (!Write(buf.data(), n)) return false;
    at += n;
    left -= n;
  }
  return true;
}

bool ArchiveWriter::AddData(Header h, uint64_t size, const ReadFn& in,
                            const std::function<bool()>& rewind, const EncodeOptions& opts,
                            const std::string& password, Header* written) {
  if (!password.empty()) h.flags |= kGarbled;
  h.comp_size = h.orig_size = h.crc = 0;
  std::vector<uint8_t> hdr;
  if (!WriteHeader(h, &hdr)) return false;
  const uint64_t header_at = pos_;
  if (!Write(hdr.data(), hdr.size())) return false;
  const uint64_t data_at = pos_;

  uint32_t crc = 0xFFFFFFFFu;
  uint64_t read_total = 0;
  ReadFn counted = [&](uint8_t* buf, size_t n) {
    size_t got = in(buf, n);
    crc = Crc32Update(crc, buf, got);
    read_total += got;
    return got;
  };
  std::vector<uint8_t> tmp;
  bool stored = opts.method == 0 || size == 0;
  bool consumed = false;
  bool completed = false;
  if (!stored) {
    consumed = true;
    Garble g(password, h.garble_mod);
    uint64_t written_bytes = 0;
    WriteFn out = [&](const uint8_t* data, size_t n) {
      written_bytes += n;
      if (written_bytes >= std::max<uint64_t>(size, read_total) || written_bytes > 0xFFFFFFFFu) {
        return false;
      }
      if (g.active()) {
        tmp.assign(data, data + n);
        g.Apply(tmp.data(), n);
        return Write(tmp.data(), n);
      }
      return Write(data, n);
    };
    bool ok = encoder_.Run(opts, counted, out);
    if (failed_) return false;
    completed = ok;
    if (ok && read_total < 0xFFFFFFFFu && written_bytes < read_total) {
      h.method = static_cast<uint8_t>(opts.method);
      h.comp_size = static_cast<uint32_t>(written_bytes);
      h.orig_size = static_cast<uint32_t>(read_total);
    } else {
      stored = true;
    }
  }
  if (stored) {
    if (consumed) {
      if (!rewind() || fflush(f_) != 0 || !SeekFile(f_, data_at)) {
        failed_ = true;
        return false;
      }
      pos_ = data_at;
    }
    crc = 0xFFFFFFFFu;
    uint64_t first_total = read_total;
    read_total = 0;
    Garble g(password, h.garble_mod);
    std::vector<uint8_t> buf(1 << 16);
    for (;;) {
      size_t n = counted(buf.data(), buf.size());
      if (n == 0) break;
      g.Apply(buf.data(), n);
      if (!Write(buf.data(), n)) return false;
    }
    if (completed && first_total != read_total) input_failed_ = true;
    if (read_total > 0xFFFFFFFFu) {
      failed_ = true;
      return false;
    }
    h.method = 0;
    h.comp_size = h.orig_size = static_cast<uint32_t>(read_total);
  }
  h.crc = ~crc;
  hdr.clear();
  WriteHeader(h, &hdr);
  const uint64_t end = pos_;
  if (fflush(f_) != 0 || !SeekFile(f_, header_at) ||
      fwrite(hdr.data(), 1, hdr.size(), f_) != hdr.size() || fflush(f_) != 0 ||
      !SeekFile(f_, end)) {
    failed_ = true;
    return false;
  }
  if (written) *written = h;
  return true;
}

bool ArchiveWriter::Rollback(uint64_t pos) {
  if (failed_ || pos > pos_ || fflush(f_) != 0 || !SeekFile(f_, pos)) {
    failed_ = true;
    return false;
  }
  pos_ = pos;
  return true;
}

bool ArchiveWriter::Finish() {
  std::vector<uint8_t> b;
  WriteEndMarker(&b);
  if (!Write(b.data(), b.size())) return false;
  if (fflush(f_) != 0 || !TruncateFile(f_, pos_)) failed_ = true;
  return !failed_;
}

}  // namespace arj
