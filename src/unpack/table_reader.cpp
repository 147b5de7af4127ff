// Table headers. Lengths coded 0..15 are added (mod 16) to the length at the
// same position of the previous header when its keep flag is set, so a block
// can send only what changed; runs of zeros and repeats are absolute.
#include "unpack/table_reader.h"

#include <cstring>

#include "unpack/bit_reader.h"
#include "unpack/huffman_decode.h"
#include "unpack/lz_tables.h"

namespace {

// Refill thresholds. A header with its 19 pre-code lengths takes at most
// 1 + 1 + 2 + 19 * 4 = 80 bits (10 bytes) and one code length at most 15 + 7 =
// 22 bits; with up to 7 bits of the current byte already used, the three-byte
// peeks stay inside the 8192-byte buffer, and every refill happens with
// inputPos in 8160..8191 as the refill's 32-byte move requires.
constexpr uint32_t HeaderRefillAbove = 8167;
constexpr uint32_t LengthRefillAbove = 8187;

// Fewer bytes than this left in the buffer from the current one on: the entry's
// packed data holds no table change after its last symbol.
constexpr uint32_t TrailingTableMinBytes = 5;

constexpr uint32_t AudioFlag = 0x8000;
constexpr uint32_t KeepFlag = 0x4000;
// In audio mode the end-of-entry check looks for 256, the audio table change.
constexpr uint32_t AudioTableChangeSymbol = 256;

// Reads the code lengths of one header into list, table length entries.
void readCodeLengths(ArchiveContext* context, uint8_t* list, int tableLength) {
  int i = 0;
  while (i < tableLength) {
    if (context->inputPos > LengthRefillAbove) refillInput(context, 0);
    const uint32_t symbol = decodeSymbol(context, &context->preTable);
    if (symbol < 16) {
      list[i] = (context->savedLengths[i] + symbol) & 0xF;
      ++i;
      continue;
    }
    int run;
    if (symbol == 16) {
      run = 3 + static_cast<int>(readNumber(context, 2));
      // Position 0 has no previous length; the run repeats a zero there.
      const uint8_t previous = i > 0 ? list[i - 1] : 0;
      for (; run > 0 && i < tableLength; --run) list[i++] = previous;
      continue;
    }
    run = symbol == 17 ? 3 + static_cast<int>(readNumber(context, 3))
                       : 11 + static_cast<int>(readNumber(context, 7));
    for (; run > 0 && i < tableLength; --run) list[i++] = 0;
  }
}

}  // namespace

void readCodeTables(ArchiveContext* context) {
  // Positions past the table length are saved as zero, as after a header
  // without the keep flag.
  uint8_t list[SavedLengthCount] = {};
  if (context->inputPos > HeaderRefillAbove) refillInput(context, 0);
  const uint32_t header = peekBits(context);
  context->audioMode = header & AudioFlag;
  if ((header & KeepFlag) == 0) std::memset(context->savedLengths, 0, SavedLengthCount);
  skipBits(context, 2);

  int tableLength = LzTableLength;
  if (context->audioMode != 0) {
    context->channelCount = static_cast<int32_t>((header >> 12) & 3) + 1;
    if (context->activeChannel >= context->channelCount) context->activeChannel = 0;
    skipBits(context, 2);
    tableLength = context->channelCount * AudioSymbols;
  }

  uint8_t preLengths[PreCodeSymbols];
  for (uint8_t& length : preLengths) length = static_cast<uint8_t>(readNumber(context, 4));
  buildHuffmanTable(preLengths, &context->preTable, PreCodeSymbols);

  readCodeLengths(context, list, tableLength);

  if (context->audioMode != 0) {
    for (int channel = 0; channel < context->channelCount; ++channel) {
      buildHuffmanTable(list + channel * AudioSymbols, context->audioTables[channel], AudioSymbols);
    }
  } else {
    buildHuffmanTable(list, &context->mainTable, MainSymbols);
    buildHuffmanTable(list + MainSymbols, &context->distanceTable, DistanceSymbols);
    buildHuffmanTable(list + MainSymbols + DistanceSymbols, &context->repeatLengthTable,
                      RepeatLengthSymbols);
  }
  std::memcpy(context->savedLengths, list, SavedLengthCount);
}

void checkTrailingTables(ArchiveContext* context) {
  if (context->inputEnd < context->inputPos + TrailingTableMinBytes) return;
  if (context->audioMode != 0) {
    HuffmanTable* table = context->audioTables[context->activeChannel];
    if (decodeSymbol(context, table) == AudioTableChangeSymbol) readCodeTables(context);
  } else if (decodeSymbol(context, &context->mainTable) == TableChange) {
    readCodeTables(context);
  }
}
