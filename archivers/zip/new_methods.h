// The methods today's ZIP writers use beside deflate: Deflate64 (9), bzip2 (12), LZMA (14) and
// xz (95, LZMA2 in the xz container). Decoding only; platform-free, no library.
#pragma once
#include <cstddef>
#include <cstdint>

#include "archivers/zip/old_methods.h"

namespace qlzip {

// Whether `method` is one of Deflate64, bzip2, LZMA or xz.
bool IsNewMethod(uint16_t method);

// Expands the data of an entry stored with `method`. `usize` is the size the header records:
// LZMA without an end marker (flag bit 1 clear) decodes exactly that much; the others stop at
// the end of their stream and never hand on more than `usize` bytes (more is kDamaged). The
// caller checks the size and the CRC.
OldMethodResult DecodeNewMethod(uint16_t method, uint16_t flags, uint64_t usize, const PullFn& in,
                                const PushFn& out);

// The decoders one by one (`limit`: the most output accepted before the data counts as damaged).
// Raw deflate, or Deflate64 with its 64 KiB window, length code 285 of 16 extra bits and
// distance codes 30 and 31.
OldMethodResult Inflate(bool deflate64, uint64_t limit, const PullFn& in, const PushFn& out);
// One or more concatenated bzip2 streams ("BZh1".."BZh9"), with their block and stream CRCs.
OldMethodResult DecodeBzip2(uint64_t limit, const PullFn& in, const PushFn& out);
// ZIP's LZMA: a 4-byte version and size header, 5 bytes of properties, then the raw stream.
// With `endMarker` the stream ends with its marker; otherwise after exactly `usize` bytes.
OldMethodResult DecodeZipLzma(bool endMarker, uint64_t usize, const PullFn& in, const PushFn& out);
// One or more concatenated .xz streams whose blocks hold LZMA2 alone, with their checks
// (CRC-32, CRC-64, SHA-256) and indexes.
OldMethodResult DecodeXz(uint64_t limit, const PullFn& in, const PushFn& out);

}  // namespace qlzip
