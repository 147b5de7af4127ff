// Canonical Huffman codes for the encoder. Code lengths come from symbol
// frequencies, limited to 15 bits (the decoder's longest code); code values are
// then assigned exactly as the decoder's table build places symbols: shorter
// codes first, within one length by increasing symbol value, each length's
// first code following the last code of the previous length.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "pack/bit_writer.h"

namespace tvpack {

constexpr int MaxCodeLength = 15;

// Code lengths (0 for a symbol of frequency 0) of an optimal-or-near-optimal
// prefix code with no code longer than maxLength. A single used symbol gets
// length 1 (the decoder reads a 0 bit as that symbol).
std::vector<uint8_t> buildCodeLengths(std::span<const uint32_t> frequencies,
                                      int maxLength = MaxCodeLength);

// A code ready for writing: lengths and the canonical code values.
struct HuffmanCode {
  std::vector<uint8_t> lengths;
  std::vector<uint16_t> codes;  // the low `lengths[s]` bits are symbol s's code
};

// Assigns canonical code values to the given lengths (0..15).
HuffmanCode makeHuffmanCode(std::span<const uint8_t> lengths);

// Lengths from frequencies, then code values.
inline HuffmanCode huffmanCodeFor(std::span<const uint32_t> frequencies) {
  std::vector<uint8_t> lengths = buildCodeLengths(frequencies);
  return makeHuffmanCode(lengths);
}

// Writes symbol's code. The symbol must have a length above 0.
inline void writeSymbol(BitWriter& out, const HuffmanCode& code, int symbol) {
  out.writeBits(code.codes[symbol], code.lengths[symbol]);
}

}  // namespace tvpack
