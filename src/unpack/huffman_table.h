// A canonical Huffman decoding table. It holds no code values: the limits of
// each code length, left-justified to 16 bits, are enough to find a code's
// length with a few comparisons and its symbol by one subtraction.
#pragma once

#include <cstdint>

// The largest alphabet: the main table's literals, control codes and length slots.
constexpr int HuffmanMaxSymbols = 298;

struct HuffmanTable {
  uint32_t symbolCount;     // n of the last build; decoded indexes at or above it fall back to 0
  uint32_t lengthLimit[16]; // [L]: exclusive bound of codes of length <= L, left-justified, capped 0xFFFF
  uint32_t lengthStart[16]; // [L]: index in symbols of the first symbol with code length L
  uint32_t symbols[HuffmanMaxSymbols]; // coded symbols by (length, value); entries past the coded
                                       // count keep what an earlier build left there
};
