// Building and using canonical Huffman decoding tables. A table keeps, per code
// length, the left-justified limit of the codes up to that length, so a symbol
// is found with one 16-bit peek and at most four comparisons: no bit-by-bit
// loop and no lookup table that would have to be rebuilt for every block.
#pragma once

#include <cstdint>

#include "archive/archive_context.h"
#include "unpack/bit_reader.h"

// lengths: one byte per symbol, only the low 4 bits count (0 = not coded).
// Over-full or incomplete sets still build a table; entries of symbols beyond
// the coded count keep what an earlier build left there.
void buildHuffmanTable(const uint8_t* lengths, HuffmanTable* table, int32_t n);

// Decodes one symbol, consumes its code and keeps it in decodedSymbol. A bit
// pattern that no code covers still yields an entry of symbols, so the result
// is always below the table's alphabet size.
inline uint32_t decodeSymbol(ArchiveContext* context, HuffmanTable* table) {
  // Bit 0 never takes part in an index; clearing it puts a limit capped at
  // 0xFFFF above every value, so an all-ones code decodes at its own length.
  const uint32_t v = peekBits(context) & 0xFFFE;
  const uint32_t* limit = table->lengthLimit;
  uint32_t length;
  // A balanced tree over the non-decreasing limits, same as a linear search
  // for the smallest length L in 1..14 with v < limit[L], else 15.
  if (v < limit[8]) {
    if (v < limit[4]) {
      if (v < limit[2]) {
        length = v < limit[1] ? 1 : 2;
      } else {
        length = v < limit[3] ? 3 : 4;
      }
    } else if (v < limit[6]) {
      length = v < limit[5] ? 5 : 6;
    } else {
      length = v < limit[7] ? 7 : 8;
    }
  } else if (v < limit[12]) {
    if (v < limit[10]) {
      length = v < limit[9] ? 9 : 10;
    } else {
      length = v < limit[11] ? 11 : 12;
    }
  } else if (v >= limit[14]) {
    length = 15;
  } else {
    length = v < limit[13] ? 13 : 14;
  }
  skipBits(context, length);
  uint32_t index = ((v - limit[length - 1]) >> (16 - length)) + table->lengthStart[length];
  if (index >= table->symbolCount) index = 0;
  context->decodedSymbol = table->symbols[index];
  return context->decodedSymbol;
}
