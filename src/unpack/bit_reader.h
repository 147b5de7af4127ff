// The unpacker's input side: the entry's packed bytes pass through an 8192-byte
// buffer inside the context record and are read most significant bit first.
// peekBits and skipBits are inline because every decoded symbol uses them; the
// callers refill before the buffer's last 32 bytes, so a peek of three bytes
// never reaches past the buffer (see the thresholds in lz_decoder.cpp and
// table_reader.cpp).
#pragma once

#include <cstdint>

#include "archive/archive_context.h"

// A refill keeps the buffer's last RefillKeep bytes: they hold the current byte
// and the two after it that a peek may still look at.
constexpr int RefillKeep = 32;

// Start-of-entry reset: the input position always; with solid == 0 also the
// window, the match state and the saved code lengths.
void resetUnpacker(ArchiveContext* context, int solid);

// Reads up to count packed bytes of the entry, never beyond packedLeft; stops
// early when the stream delivers nothing. Returns the number of bytes placed.
int32_t readPacked(ArchiveContext* context, uint8_t* destination, int32_t count);

// first != 0: fills the whole buffer. Otherwise moves the last 32 bytes to the
// front and reads behind them; when nothing comes, inputEnd becomes inputPos.
void refillInput(ArchiveContext* context, int first);

// The next 16 bits of the stream (bit 15 first), not consumed; also kept in
// peekedBits. Looks at the buffer whatever inputEnd says.
inline uint32_t peekBits(ArchiveContext* context) {
  const uint8_t* at = context->inputBuffer + context->inputPos;
  const uint32_t bits = (uint32_t{at[0]} << 16) | (uint32_t{at[1]} << 8) | at[2];
  context->peekedBits = (bits >> (8 - context->inputBit)) & 0xFFFF;
  return context->peekedBits;
}

// Consumes n bits, 0..16.
inline void skipBits(ArchiveContext* context, uint32_t n) {
  context->inputBit += n;
  context->inputPos += context->inputBit >> 3;
  context->inputBit &= 7;
}

// Reads an n-bit number, 1..16, with a peek of its own.
inline uint32_t readNumber(ArchiveContext* context, uint32_t n) {
  const uint32_t value = peekBits(context) >> (16 - n);
  skipBits(context, n);
  return value;
}
