// Making a self-extracting ZIP: the stub, a small tag naming the archive it was made from, then
// the archive with every offset moved by what now stands in front of it, so that readers that
// trust the end record and readers that scan from the front both find it. Platform-free.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archivers/zip/zipcore.h"

namespace qlsfx {

// The archive must begin within this many bytes of the file's start (Quillon's own readers scan
// no further for the first local header).
constexpr size_t kStubLimit = 32760;

// Why a stub cannot be used: too long, or holding a ZIP signature of its own (a reader scanning
// from the front would stop there). Empty when it is fine.
std::string StubProblem(const uint8_t* stub, size_t size);

// The tag between stub and archive: "QLZSFX" 0x1A 0x01, the length of the archive's file name
// (2 bytes) and that name.
std::vector<uint8_t> SfxTag(const std::string& archiveName);

// Where in `head` (the first bytes of a program) the tag of a self-extractor made by ZIP2EXE
// lies: the first whole tag behind the program's image, wherever the linker ended the stub's
// file. 0 when there is none.
uint64_t SfxTagAt(const uint8_t* head, size_t size);

// Whether `head` (the first bytes of an existing program) is a self-extractor that ZIP2EXE made
// from an archive named `archiveName` (compared without regard to case).
bool IsSelfExtractorOf(const uint8_t* head, size_t size, const std::string& archiveName);

// Writes stub, tag and the adjusted archive through `out`. False with the reason in `error` when
// the archive is not a sound ZIP, holds members the stub cannot unpack, needs Zip64, or the
// writing failed.
bool MakeSelfExtractor(const std::vector<uint8_t>& stub, qlzip::ByteSource& zip, const std::string& archiveName,
                       const std::function<bool(const uint8_t*, size_t)>& out, std::string* error);

}  // namespace qlsfx
