// Main loop, match copy and window flush of the LZ decoder.
//
// One iteration decodes one main-alphabet symbol. Before it, the loop refills
// the input when fewer than 30 bytes are left in the buffer and flushes the
// window when the unflushed bytes come within 270 bytes of filling it; these two
// checks are what keep every peek inside the input buffer and every match from
// overwriting bytes not yet written, so the copy needs no checks of its own
// beyond taking positions modulo 2^20.
#include "unpack/lz_decoder.h"

#include <cstring>

#include "archive/checksum.h"
#include "archive/stream_ops.h"
#include "unpack/bit_reader.h"
#include "unpack/huffman_decode.h"
#include "unpack/lz_tables.h"
#include "unpack/stall_guard.h"
#include "unpack/table_reader.h"

namespace {

// The most bits one iteration consumes: a long match with a 15-bit symbol,
// 5 length bits, a 15-bit distance slot and 16 distance bits: 51 bits. With
// 7 bits of the current byte already used that is 58 bits, 8 bytes from the
// current one: a refill above 8162 keeps the last peek (3 bytes) within 8192
// and the next refill's inputPos within 8160..8191.
constexpr uint32_t MainRefillAbove = 8162;

// Reads an extra-bit field only when it has bits: a peek costs three loads.
inline uint32_t readExtra(ArchiveContext* context, uint32_t bits) {
  return bits != 0 ? readNumber(context, bits) : 0;
}

}  // namespace

// ------------------------------------------------------------------ output

int32_t writeOutput(ArchiveContext* context, const uint8_t* bytes, int32_t count) {
  const int32_t written = writeBytes(context->outputStream, bytes, count);
  if (context->skipEntry == 0) {
    const int variant = context->archiveVariant == VariantOld ? VariantOld : VariantNew;
    context->runningChecksum = updateChecksum(context, context->runningChecksum, bytes,
                                              static_cast<uint32_t>(written), variant);
  }
  return written;
}

void flushWindow(ArchiveContext* context) {
  const uint8_t* window = context->windowBase;
  const uint32_t from = context->flushedPos;
  const uint32_t to = context->writePos;
  if (to >= from) {
    writeOutput(context, window + from, static_cast<int32_t>(to - from));
  } else {
    writeOutput(context, window + from, static_cast<int32_t>(WindowSize - from));
    writeOutput(context, window, static_cast<int32_t>(to));
  }
  context->flushedPos = to;
}

// ------------------------------------------------------------------ match copy

void copyMatch(ArchiveContext* context) {
  const uint32_t distance = context->matchDistance;
  const int32_t length = context->matchLength;
  context->recentDistances[context->recentIndex & 3] = distance;
  ++context->recentIndex;
  context->prevDistance = distance;
  context->prevLength = static_cast<uint32_t>(length);
  context->unpackedLeft -= length;

  uint8_t* window = context->windowBase;
  uint32_t to = context->writePos;
  uint32_t from = (to - distance) & WindowMask;
  const uint32_t count = static_cast<uint32_t>(length);
  // Fast paths: neither end wraps and the source starts before the
  // destination, so no position needs the modulo. A source wholly before the
  // destination is one block copy; an overlapping one (distance shorter than
  // the length) must go forward byte by byte to repeat the last bytes.
  if (from < to && to + count <= WindowSize) {
    if (to - from >= count) {
      std::memcpy(window + to, window + from, count);
    } else {
      for (uint32_t i = 0; i < count; ++i) window[to + i] = window[from + i];
    }
    context->writePos = (to + count) & WindowMask;
    return;
  }
  // Careful path, around the end of the ring: byte by byte in increasing
  // order. A distance of 0 (or 2^20) leaves every byte as it is.
  for (uint32_t i = 0; i < count; ++i) {
    window[to] = window[from];
    to = (to + 1) & WindowMask;
    from = (from + 1) & WindowMask;
  }
  context->writePos = to;
}

// ------------------------------------------------------------------ main loop

void unpackEntry(ArchiveContext* context, uint8_t* window, int solid) {
  context->windowBase = window;
  resetUnpacker(context, solid);
  refillInput(context, 1);
  if (solid == 0) readCodeTables(context);

  StallGuard guard;
  guard.armed = 0;
  // The count holds size - 1 while the loop runs. A stored size of 2^31 or
  // more reads as negative, so like a size of 0 it runs no iteration; the
  // subtraction wraps instead of overflowing for the most negative value.
  const bool empty = context->unpackedLeft < 1;
  context->unpackedLeft = static_cast<int32_t>(static_cast<uint32_t>(context->unpackedLeft) - 1);
  if (!empty) {
    do {
      if (context->inputPos > MainRefillAbove) refillInput(context, 0);
      if (windowNearlyFull(context)) flushWindow(context);
      const uint32_t symbol = decodeSymbol(context, &context->mainTable);
      if (symbol < RepeatLastMatch) {
        // Literal.
        window[context->writePos] = static_cast<uint8_t>(symbol);
        context->writePos = (context->writePos + 1) & WindowMask;
        --context->unpackedLeft;
      } else if (symbol >= FirstLongMatch) {
        const uint32_t slot = symbol - FirstLongMatch;
        uint32_t length =
            lengthBase[slot] + MinLongMatch + readExtra(context, lengthExtraBits[slot]);
        const uint32_t distanceSlot = decodeSymbol(context, &context->distanceTable);
        const uint32_t distance =
            distanceBase[distanceSlot] + 1 + readExtra(context, distanceExtraBits[distanceSlot]);
        length += (distance >= LongerFrom8K) + (distance >= LongerFrom256K);
        context->matchLength = static_cast<int32_t>(length);
        context->matchDistance = distance;
        copyMatch(context);
      } else if (symbol >= FirstShortMatch && symbol < TableChange) {
        const uint32_t slot = symbol - FirstShortMatch;
        context->matchDistance =
            shortDistanceBase[slot] + 1 + readNumber(context, shortDistanceExtraBits[slot]);
        context->matchLength = ShortMatchLength;
        copyMatch(context);
      } else if (symbol >= FirstRecentDistance && symbol < FirstShortMatch) {
        const uint32_t age = symbol - RepeatLastMatch;  // 1 = newest
        const uint32_t distance = context->recentDistances[(context->recentIndex - age) & 3];
        const uint32_t slot = decodeSymbol(context, &context->repeatLengthTable);
        uint32_t length =
            lengthBase[slot] + MinRepeatMatch + readExtra(context, lengthExtraBits[slot]);
        length +=
            (distance >= LongerFrom257) + (distance >= LongerFrom8K) + (distance >= LongerFrom256K);
        context->matchLength = static_cast<int32_t>(length);
        context->matchDistance = distance;
        copyMatch(context);
      } else if (symbol == RepeatLastMatch) {
        // With a last length of 0 this symbol produces nothing.
        if (context->prevLength == 0 && stallDetected(context, &guard)) break;
        context->matchLength = static_cast<int32_t>(context->prevLength);
        context->matchDistance = context->prevDistance;
        copyMatch(context);
      } else {
        if (stallDetected(context, &guard)) break;
        readCodeTables(context);
      }
    } while (context->unpackedLeft >= 0);
  }
  checkTrailingTables(context);
  flushWindow(context);
}
