// Ends an entry whose damaged packed data would keep the main loop going for
// ever without producing a byte. Only two symbols leave the output unchanged:
// a table change, and a repeat of the last match while its length is 0. When
// the packed bytes are used up the loop reads the same stale buffer again and
// again, and such a run can cycle. The guard watches the decoder's whole state
// at each of these symbols (Brent's cycle search) and reports a stall only when
// a state repeats exactly with no byte produced in between, that is only when
// the loop provably never ends. Every entry that ends by itself decodes exactly
// as without the guard.
#pragma once

#include <cstdint>

#include "archive/archive_context.h"

// Everything that decides how decoding goes on while no byte is produced: the
// window and the match lengths and distances in flight do not change or are
// set before use, so they are left out.
struct DecoderState {
  uint8_t inputBuffer[InputBufferSize];
  uint8_t savedLengths[SavedLengthCount];
  HuffmanTable tables[4 + AudioTableCount];
  uint32_t inputPos, inputBit, inputEnd;
  int32_t packedLeft;
  uint32_t writePos, flushedPos;
  uint32_t prevDistance, prevLength;
  uint32_t recentDistances[4];
  uint32_t recentSlot;  // recentIndex mod 4: only the slot matters
  uint32_t audioMode;
  int32_t channelCount, activeChannel;
  uint32_t decodedSymbol;
};

struct StallGuard {
  int armed;             // 0 until the first symbol that produces nothing
  int32_t unpackedLeft;  // at the saved state; any other value means progress
  uint32_t steps;        // symbols since the state was saved
  uint32_t stepLimit;    // steps before the state is saved again (doubles)
  DecoderState saved;
};

// Call at each symbol that produces no byte, right after decoding it. Returns
// non-zero when the decoder is in a cycle that would never produce a byte.
int stallDetected(const ArchiveContext* context, StallGuard* guard);
