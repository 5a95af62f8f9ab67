// The file system as the zip and unzip operations see it. Paths use '/' between components
// (a drive prefix such as "C:" may lead); each platform's Host maps them to its own calls.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "archivers/zip/zipcore.h"

namespace qlzip {

struct DirEntry {
  std::string name;  // the name as stored on disk (long name), or a short name that opens it
  std::string utf8Name;  // the long name as UTF-8 when the local character set cannot hold it
  bool isDir = false;
  uint64_t size = 0;
  int64_t mtime = 0;    // Unix time, UTC
  uint32_t attrs = 0;   // DOS attributes
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* f);
  ~FileSource() override;
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t len) override;
  std::FILE* file() { return f_; }

 private:
  std::FILE* f_;
  uint64_t size_ = 0;
  uint64_t pos_ = UINT64_MAX;
};

bool SeekFile(std::FILE* f, uint64_t offset);
uint64_t TellFile(std::FILE* f);

class Host {
 public:
  virtual ~Host() = default;
  virtual std::FILE* OpenRead(const std::string& path) = 0;
  // Creates a new file; fails when the name exists (and never follows links).
  virtual std::FILE* CreateNew(const std::string& path) = 0;
  virtual bool Stat(const std::string& path, DirEntry& out) = 0;
  virtual bool List(const std::string& dir, std::vector<DirEntry>& out) = 0;
  virtual bool MakeDir(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Puts `from` in place of `to` as one step where the platform allows; `to` stays as it was on failure.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual void SetTime(const std::string& path, int64_t mtime) = 0;
  virtual void SetAttrs(const std::string& path, uint32_t dosAttrs, uint32_t unixMode) = 0;
  virtual std::string CurrentDir() = 0;
  // Label of the volume holding `path`; empty when it has none.
  virtual std::string VolumeLabel(const std::string& path) = 0;
  virtual bool SetVolumeLabel(const std::string& path, const std::string& label) = 0;
  // Whether the drive of `path` takes removable disks (spanning needs them).
  virtual bool IsRemovable(const std::string& path) = 0;
  virtual uint16_t MadeBy() const = 0;  // host byte and version for the central directory
  // Whether names differing only in letter case name one file.
  virtual bool FoldsCase() const = 0;
  // Member names: archives from DOS-family systems hold OEM code-page names, others UTF-8 (flag
  // bit 11, or by habit) or plain bytes; the program works with names in the local character set.
  // `exact` (when given) tells whether the local character set holds the name as it is: a name
  // it cannot hold is never replaced by a look-alike, and must not be written under this one.
  enum NameKind { kOemName, kUtf8Name, kRawName };
  virtual std::string LocalName(const std::string& stored, NameKind kind, bool* exact = nullptr) = 0;
  // The stored form of a local name. `utf8` in: whether UTF-8 may be stored (names, with bit 11);
  // out: whether it was, because the OEM code page cannot hold the name.
  virtual std::string ArchiveName(const std::string& local, bool& utf8) = 0;
  // A local name as UTF-8.
  virtual std::string Utf8Name(const std::string& local) = 0;
  // The same file system seen with UTF-8 as the local character set, so that every name can be
  // given as it is (Windows' wide calls); null when this host's local character set is UTF-8.
  virtual std::unique_ptr<Host> Utf8Host() { return nullptr; }
};

std::unique_ptr<Host> MakeHost();

// How the name (or comment) of an entry is encoded.
Host::NameKind NameKindOf(const Entry& e);

// Path helpers shared by the operations.
std::string JoinPath(const std::string& dir, const std::string& name);
std::string DirName(const std::string& path);   // "" for a bare name
std::string BaseName(const std::string& path);
bool HasExtension(const std::string& path);  // a dot in the last component
std::string ToSlashes(std::string s);

}  // namespace qlzip
