#include "readers/tests/reader_test_util.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "readers/arj_reader.h"
#include "readers/zip_reader.h"

namespace qltest {

std::string FixturePath(const std::string& name) {
  return std::string(QL_SOURCE_DIR) + "/readers/tests/fixtures/" + name;
}

std::vector<unsigned char> LoadFixture(const std::string& name) {
  std::ifstream f(FixturePath(name), std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

namespace {

struct Collect {
  std::vector<std::string>* lines;
  Listing* listing;
};

void Add(void* ctx, const char* text, size_t len) {
  static_cast<Collect*>(ctx)->lines->emplace_back(text, len);
}
void Top(void* ctx, const char* text, size_t len) {
  auto* l = static_cast<Collect*>(ctx)->lines;
  l->insert(l->begin(), std::string(text, len));
}
void Columns(void* ctx, const char* title, const char* separator) {
  Listing* l = static_cast<Collect*>(ctx)->listing;
  l->columnTitle = title;
  l->separator = separator;
  ++l->columnCalls;
}

struct Bytes {
  const std::vector<unsigned char>* v;
  int reads = 0;
};

size_t ReadAt(void* ctx, uint64_t pos, void* buf, size_t n) {
  Bytes* b = static_cast<Bytes*>(ctx);
  ++b->reads;
  if (pos >= b->v->size()) return 0;
  size_t k = std::min(n, b->v->size() - static_cast<size_t>(pos));
  memcpy(buf, b->v->data() + pos, k);
  return k;
}

}  // namespace

Listing ListArchive(Kind kind, const std::vector<unsigned char>& bytes, const RunOptions& o) {
  Listing result;
  Collect listCtx{&result.list, &result};
  Collect fileCtx{&result.file, &result};
  ql::LineSink list{&listCtx, Add, Top, Columns};
  ql::LineSink file{&fileCtx, Add, nullptr, nullptr};
  ql::ListTargets t;
  t.list = o.withList ? &list : nullptr;
  t.fullLines = o.fullLines;
  t.file = o.withFile ? &file : nullptr;
  t.mask = o.mask;
  t.names = o.names;
  Bytes b{&bytes};
  ql::ByteSource src = ql::MemorySource(bytes.data(), bytes.size());
  if (o.throughReads) {
    src = ql::ByteSource();
    src.size = bytes.size();
    src.ctx = &b;
    src.readAt = ReadAt;
  }
  result.outcome = kind == Kind::kZip ? ql::ReadZipListing(src, "C:\\A.ZIP", t)
                                      : ql::ReadArjListing(src, t);
  result.sourceReads = b.reads;
  return result;
}

}  // namespace qltest
