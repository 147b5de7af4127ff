// How one literal or match becomes symbols and extra bits of the packed data,
// given the decoder's match state: the last match (symbol 256 repeats it), the
// ring of four recent distances (symbols 257..260, lengths from their own
// table, one byte longer from distance 0x101, 0x2000 and 0x40000 on), short
// matches (261..268: length 2, distance 1..256) and long matches (270..297,
// one byte longer from distance 0x2000 and 0x40000 on). The encoder keeps a
// copy of the decoder's state so that every choice decodes as intended.
#pragma once

#include <cstdint>

#include "unpack/lz_tables.h"

namespace tvpack {

// The longest match one symbol can produce: long slot 27 with all extra bits,
// plus both corrections (224 + 31 + 3 + 2).
constexpr uint32_t MaxMatchLength = 260;
constexpr uint32_t MaxDistance = 1u << 20;  // the decoder's window

// One coded literal or match, ready to be counted for a block's tables and then
// written: main symbol, then for a long match the length extra bits, distance
// slot and distance extra bits; for a repeated distance the length slot and
// its extra bits; for a short match the distance extra bits.
struct CodedSymbol {
  uint16_t main;
  uint8_t slot;        // distance slot (long match) or length slot (repeated distance)
  uint8_t lengthBits;  // extra-bit counts
  uint8_t distanceBits;
  uint8_t unused = 0;
  uint16_t lengthExtra;
  uint32_t distanceExtra;
};

// The decoder's match state, changed exactly as its copy step changes it.
struct MatchState {
  uint32_t recent[4] = {};  // ring; the newest at (recentIndex - 1) mod 4
  uint32_t recentIndex = 0;
  uint32_t prevLength = 0;
  uint32_t prevDistance = 0;

  uint32_t recentDistance(int age) const { return recent[(recentIndex - age) & 3]; }  // age 1..4
  void push(uint32_t length, uint32_t distance) {
    recent[recentIndex & 3] = distance;
    ++recentIndex;
    prevLength = length;
    prevDistance = distance;
  }
};

inline uint32_t longCorrection(uint32_t distance) {
  return (distance >= LongerFrom8K) + (distance >= LongerFrom256K);
}
inline uint32_t repeatCorrection(uint32_t distance) {
  return (distance >= LongerFrom257) + longCorrection(distance);
}

// Slot of a length value 0..255 (lengthBase / lengthExtraBits).
int lengthSlot(uint32_t value);
// Slot of a distance value 0..2^20-1 (distance - 1).
int distanceSlot(uint32_t value);
// Slot of a short distance value 0..255.
int shortDistanceSlot(uint32_t value);

inline CodedSymbol codeLiteral(uint8_t byte) {
  return {byte, 0, 0, 0, 0, 0, 0};
}

// Whether (length, distance) can be coded as a long match.
inline bool longMatchFits(uint32_t length, uint32_t distance) {
  uint32_t base = MinLongMatch + longCorrection(distance);
  return length >= base && length - base <= 255;
}
// Whether (length, distance) can be coded at a repeated distance.
inline bool repeatMatchFits(uint32_t length, uint32_t distance) {
  uint32_t base = MinRepeatMatch + repeatCorrection(distance);
  return distance != 0 && length >= base && length - base <= 255;
}

// Codes a match with the cheapest form the state allows: repeat of the last
// match, a recent distance, a short match, a long match. Returns false when no
// form can code it. Does not change the state.
bool codeMatch(const MatchState& state, uint32_t length, uint32_t distance, CodedSymbol* out);

}  // namespace tvpack
