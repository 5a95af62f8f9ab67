// The zip and unzip operations shared by pkzip, pkunzip and the two engine libraries.
#pragma once
#include <cstdint>
#include <string>

#include "archivers/zip/host.h"
#include "archivers/zip/options.h"
#include "common/member_path.h"

namespace qlzip {

// What an operation asks of its surroundings (console or windows).
class Ui {
 public:
  virtual ~Ui() = default;
  virtual void Line(const std::string& text) = 0;    // one line of the running log
  virtual void Error(const std::string& text) = 0;   // a warning or error line
  // Progress of the current step; also the place where a windowed caller keeps its window alive.
  virtual void Progress(const std::string& verb, const std::string& name, uint64_t done, uint64_t total) = 0;
  virtual bool Cancelled() = 0;
  // Shows `text` for editing; false leaves it unchanged.
  virtual bool EditComment(const std::string& title, std::string& text) = 0;
  enum Answer { kNo, kYes, kAll, kAbort };
  virtual Answer AskOverwrite(const std::string& path) = 0;
  virtual bool AskPassword(std::string& password) = 0;
};

// PKZIP 2.04g exit codes.
enum ZipExit { kZipOk = 0, kZipBadName = 1, kZipDamaged = 3, kZipNothing = 12, kZipNotFound = 13,
               kZipDiskFull = 14, kZipReadOnly = 15, kZipBadParams = 16, kZipCantOpen = 18, kZipBreak = 255 };
// PKUNZIP 2.04g exit codes.
enum UnzipExit { kUnzipOk = 0, kUnzipWarning = 1, kUnzipDamaged = 3, kUnzipNotFound = 9, kUnzipBadParams = 10,
                 kUnzipNoFiles = 11, kUnzipDiskFull = 50, kUnzipEof = 51, kUnzipBreak = 255 };

int RunZip(const ZipArgs& args, Host& host, Ui& ui);
int RunUnzip(const UnzipArgs& args, Host& host, Ui& ui);

// Stored member names are checked by the shared rule before anything is written for them.
using ql::SafeMemberPath;

// Entries to compress per worker thread (0: one per core, at most 4).
void SetWorkerThreads(unsigned n);

}  // namespace qlzip
