// The LZ decoder of unpack version 20: literals, matches and table changes
// decoded into a 1 MB ring window that survives from entry to entry, so a
// solid entry can copy bytes that earlier entries produced. Bytes leave the
// window only when it is nearly full and at the end of each entry.
#pragma once

#include <cstdint>

#include "archive/archive_context.h"

// The most bytes one main-loop iteration produces is a long match of
// 224 + 31 + 3 + 2 = 260; the window is flushed before an iteration when fewer
// than 270 bytes stand between writePos and the unflushed bytes, a margin above
// that.
constexpr uint32_t FlushMargin = 270;

// True when the unflushed bytes (flushedPos up to writePos, around the ring)
// fill the window to within FlushMargin bytes.
inline bool windowNearlyFull(const ArchiveContext* context) {
  return ((context->flushedPos - context->writePos) & WindowMask) < FlushMargin &&
         context->flushedPos != context->writePos;
}

// Decodes the entry described by the per-entry fields (see entry_setup.h) into
// window (2^20 bytes, the same buffer for every entry of a run) and writes it
// to outputStream. solid != 0 continues the previous entry's state.
void unpackEntry(ArchiveContext* context, uint8_t* window, int solid);

// Copies matchLength bytes from matchDistance back (mod 2^20) to writePos and
// makes the match the newest recent distance and the last match.
void copyMatch(ArchiveContext* context);

// Writes the bytes from flushedPos up to writePos, around the ring if needed.
void flushWindow(ArchiveContext* context);

// Writes to outputStream and adds the bytes it accepted to runningChecksum
// (unless skipEntry is set). Returns the number of bytes accepted.
int32_t writeOutput(ArchiveContext* context, const uint8_t* bytes, int32_t count);
