// Writes the table header that starts every block of packed data: audio flag
// (always 0 here: LZ tables), keep flag, the 19 four-bit lengths of the
// pre-code, then the code lengths coded with the pre-code. Pre-code symbols
// 0..15 give one length relative to the saved length at the same position when
// the keep flag is set (absolute otherwise); 16 repeats the previous length 3..6
// times (never at position 0), 17 writes 3..10 zeros, 18 writes 11..138 zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "pack/bit_writer.h"

namespace tvpack {

// The LZ tables of one block, in the order of their lengths in the header.
constexpr int MainSymbols = 298;         // literals, control codes 256..269, length slots
constexpr int DistanceSymbols = 48;      // distance slots
constexpr int RepeatLengthSymbols = 28;  // length slots after a repeated distance
constexpr int LzTableLength = MainSymbols + DistanceSymbols + RepeatLengthSymbols;  // 374

// Size in bits of the header for `lengths` (each 0..15). With keep set, symbols
// 0..15 are relative to `saved` (same size as lengths); without, saved is unused.
size_t tableHeaderBits(std::span<const uint8_t> lengths, std::span<const uint8_t> saved, bool keep);

// Writes the header.
void writeTableHeader(BitWriter& out, std::span<const uint8_t> lengths,
                      std::span<const uint8_t> saved, bool keep);

}  // namespace tvpack
