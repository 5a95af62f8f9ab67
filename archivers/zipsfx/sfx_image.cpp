#include "archivers/zipsfx/sfx_image.h"

#include <algorithm>
#include <cctype>

#include "common/pe_image.h"

namespace qlsfx {
namespace {

constexpr uint8_t kTagMagic[8] = {'Q', 'L', 'Z', 'S', 'F', 'X', 0x1A, 0x01};
constexpr uint32_t kSigs[] = {0x02014b50, 0x04034b50, 0x06054b50, 0x08074b50, 0x06064b50, 0x07064b50};

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

void Set32(uint8_t* p, uint32_t x) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(x >> (8 * i));
}

}  // namespace

std::string StubProblem(const uint8_t* stub, size_t size) {
  if (size >= kStubLimit)
    return "it is " + std::to_string(size) + " bytes long; it must be shorter than " + std::to_string(kStubLimit);
  for (size_t i = 0; i + 4 <= size; ++i) {
    const uint32_t w = qlzip::Get32(stub + i);
    for (uint32_t sig : kSigs)
      if (w == sig) return "it holds a ZIP signature at offset " + std::to_string(i);
  }
  return "";
}

std::vector<uint8_t> SfxTag(const std::string& archiveName) {
  std::vector<uint8_t> tag(kTagMagic, kTagMagic + 8);
  const size_t n = std::min<size_t>(archiveName.size(), 0xFFFF);
  qlzip::Put16(tag, static_cast<uint32_t>(n));
  tag.insert(tag.end(), archiveName.begin(), archiveName.begin() + static_cast<long>(n));
  return tag;
}

uint64_t SfxTagAt(const uint8_t* head, size_t size) {
  return ql::FindAfterImage(head, size, [](const uint8_t* at, size_t left) {
    return left >= 10 && std::equal(kTagMagic, kTagMagic + 8, at) && 10u + qlzip::Get16(at + 8) <= left;
  });
}

bool IsSelfExtractorOf(const uint8_t* head, size_t size, const std::string& archiveName) {
  const uint64_t at = SfxTagAt(head, size);
  if (at == 0) return false;
  const size_t n = qlzip::Get16(head + at + 8);
  return SameName(std::string(reinterpret_cast<const char*>(head + at + 10), n), archiveName);
}

bool MakeSelfExtractor(const std::vector<uint8_t>& stub, qlzip::ByteSource& zip, const std::string& archiveName,
                       const std::function<bool(const uint8_t*, size_t)>& out, std::string* error) {
  qlzip::Archive ar;
  if (ar.Open(zip) != qlzip::OpenResult::kOk) {
    *error = "it is not a ZIP archive, or it is damaged" + (ar.error.empty() ? "" : " (" + ar.error + ")");
    return false;
  }
  for (const qlzip::Entry& e : ar.entries) {
    if (e.method != 0 && e.method != 8 && e.method != 9) {
      *error = e.name + " is packed with method " + std::to_string(e.method) +
               ", which the self-extractor cannot unpack (convert the archive to Zip 2.x, or use PKUNZIP)";
      return false;
    }
  }
  // The end record, and the central directory right before it.
  const uint64_t size = zip.Size();
  const uint64_t tailStart = size > 65557 ? size - 65557 : 0;
  std::vector<uint8_t> tail(static_cast<size_t>(size - tailStart));
  if (zip.ReadAt(tailStart, tail.data(), tail.size()) != tail.size() || tail.size() < 22) {
    *error = "it cannot be read";
    return false;
  }
  size_t at = tail.size() - 22 + 1;
  while (at-- > 0)
    if (qlzip::Get32(&tail[at]) == 0x06054b50 && at + 22 + qlzip::Get16(&tail[at + 20]) == tail.size()) break;
  if (at == SIZE_MAX) {
    *error = "its end record is missing";
    return false;
  }
  const uint8_t* eocd = tail.data() + at;
  const uint64_t eocdPos = tailStart + at;
  const uint32_t cdSize = qlzip::Get32(eocd + 12), cdOffset = qlzip::Get32(eocd + 16);
  const uint32_t count = qlzip::Get16(eocd + 10);
  if (count == 0xFFFF || cdSize == 0xFFFFFFFFu || cdOffset == 0xFFFFFFFFu || cdSize > eocdPos) {
    *error = "it is too large for a self-extractor (Zip64)";
    return false;
  }
  const uint64_t cdStart = eocdPos - cdSize;
  if (cdStart < cdOffset) {
    *error = "its directory is damaged";
    return false;
  }
  // Recorded offsets count from `start`, where the archive proper begins; what lies before it
  // (another stub) is not copied.
  const uint64_t start = cdStart - cdOffset;
  std::vector<uint8_t> tag = SfxTag(archiveName);
  const uint64_t shift = stub.size() + tag.size();
  if (cdStart - start + shift + cdSize >= 0xFFFFFFFFull) {
    *error = "it is too large for a self-extractor";
    return false;
  }

  std::vector<uint8_t> cd(cdSize);
  if (zip.ReadAt(cdStart, cd.data(), cd.size()) != cd.size()) {
    *error = "it cannot be read";
    return false;
  }
  size_t pos = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (pos + 46 > cd.size() || qlzip::Get32(&cd[pos]) != 0x02014b50) {
      *error = "its directory is damaged";
      return false;
    }
    uint8_t* h = &cd[pos];
    Set32(h + 42, static_cast<uint32_t>(qlzip::Get32(h + 42) + shift));
    pos += 46 + qlzip::Get16(h + 28) + qlzip::Get16(h + 30) + qlzip::Get16(h + 32);
  }
  std::vector<uint8_t> end(tail.begin() + static_cast<long>(at), tail.end());
  Set32(&end[16], static_cast<uint32_t>(cdOffset + shift));

  bool ok = out(stub.data(), stub.size()) && out(tag.data(), tag.size());
  std::vector<uint8_t> buf(1 << 16);
  for (uint64_t p = start; ok && p < cdStart;) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(buf.size(), cdStart - p));
    ok = zip.ReadAt(p, buf.data(), want) == want && out(buf.data(), want);
    p += want;
  }
  ok = ok && (cd.empty() || out(cd.data(), cd.size())) && out(end.data(), end.size());
  if (!ok) *error = "the self-extracting program cannot be written";
  return ok;
}

}  // namespace qlsfx
