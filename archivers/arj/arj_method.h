// The parameters of ARJ methods 1-3 (LZ77 + static Huffman), shared by the encoder
// (arj_codec.cpp) and the decoder (arj_decode.cpp). Constants only: usable without the C++
// library.
#pragma once

namespace arj {

constexpr int kMaxMatch = 256;
constexpr int kThreshold = 3;
constexpr int kNC = 255 + kMaxMatch + 2 - kThreshold;  // 510
constexpr int kNP = 17;
constexpr int kNT = 19;
constexpr int kCBit = 9;
constexpr int kPBit = 5;
constexpr int kTBit = 5;
constexpr int kMaxCodeLen = 16;

}  // namespace arj
