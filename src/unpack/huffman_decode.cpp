// Canonical table build: count the codes of each length, derive each length's
// limit and first index, then place the symbols by (length, value). Codes are
// assigned shortest first and, within a length, in increasing symbol order.
#include "unpack/huffman_decode.h"

constexpr int MaxCodeLength = 15;

void buildHuffmanTable(const uint8_t* lengths, HuffmanTable* table, int32_t n) {
  uint32_t count[MaxCodeLength + 1] = {};
  for (int32_t i = 0; i < n; ++i) ++count[lengths[i] & 0xF];
  count[0] = 0;

  table->lengthLimit[0] = 0;
  table->lengthStart[0] = 0;
  // code is the first code value of the next length. It stays below
  // n * 2^15 for any n up to the largest alphabet, so the shift cannot overflow.
  uint32_t code = 0;
  for (int length = 1; length <= MaxCodeLength; ++length) {
    code = (code + count[length]) * 2;
    const uint32_t limit = code << (MaxCodeLength - length);
    table->lengthLimit[length] = limit < 0xFFFF ? limit : 0xFFFF;
    table->lengthStart[length] = table->lengthStart[length - 1] + count[length - 1];
  }

  uint32_t next[MaxCodeLength + 1];
  for (int length = 0; length <= MaxCodeLength; ++length) next[length] = table->lengthStart[length];
  for (int32_t i = 0; i < n; ++i) {
    const int length = lengths[i] & 0xF;
    if (length != 0) table->symbols[next[length]++] = static_cast<uint32_t>(i);
  }
  table->symbolCount = static_cast<uint32_t>(n);
}
