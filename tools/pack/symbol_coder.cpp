// Slot lookups and the choice of symbol for a match; see symbol_coder.h.
#include "pack/symbol_coder.h"

#include <bit>

namespace tvpack {

int lengthSlot(uint32_t value) {
  // Slots 0..7 hold one value each; from 8 on, four slots per doubling.
  if (value < 8) return static_cast<int>(value);
  int top = std::bit_width(value) - 1;  // 3..7
  return 8 + (top - 3) * 4 + static_cast<int>((value >> (top - 2)) & 3);
}

int distanceSlot(uint32_t value) {
  // Two slots per doubling up to 2^18, then one slot per 65536.
  if (value < 4) return static_cast<int>(value);
  if (value >= distanceBase[36]) return 36 + static_cast<int>((value - distanceBase[36]) >> 16);
  int top = std::bit_width(value) - 1;  // 2..17
  return 2 * top + static_cast<int>((value >> (top - 1)) & 1);
}

int shortDistanceSlot(uint32_t value) {
  int slot = ShortDistanceSlots - 1;
  while (value < shortDistanceBase[slot]) --slot;
  return slot;
}

bool codeMatch(const MatchState& state, uint32_t length, uint32_t distance, CodedSymbol* out) {
  if (distance == 0 || distance > MaxDistance || length < ShortMatchLength) return false;
  if (length == state.prevLength && distance == state.prevDistance) {
    *out = {static_cast<uint16_t>(RepeatLastMatch), 0, 0, 0, 0, 0, 0};
    return true;
  }
  if (repeatMatchFits(length, distance)) {
    for (int age = 1; age <= 4; ++age) {
      if (state.recentDistance(age) != distance) continue;
      uint32_t value = length - MinRepeatMatch - repeatCorrection(distance);
      int slot = lengthSlot(value);
      *out = {static_cast<uint16_t>(FirstRecentDistance + age - 1),
              static_cast<uint8_t>(slot),
              lengthExtraBits[slot],
              0,
              0,
              static_cast<uint16_t>(value - lengthBase[slot]),
              0};
      return true;
    }
  }
  if (length == ShortMatchLength && distance <= 256) {
    int slot = shortDistanceSlot(distance - 1);
    *out = {static_cast<uint16_t>(FirstShortMatch + slot), 0, 0, shortDistanceExtraBits[slot], 0, 0,
            distance - 1 - shortDistanceBase[slot]};
    return true;
  }
  if (!longMatchFits(length, distance)) return false;
  uint32_t value = length - MinLongMatch - longCorrection(distance);
  int slot = lengthSlot(value);
  int dslot = distanceSlot(distance - 1);
  *out = {static_cast<uint16_t>(FirstLongMatch + slot),
          static_cast<uint8_t>(dslot),
          lengthExtraBits[slot],
          distanceExtraBits[dslot],
          0,
          static_cast<uint16_t>(value - lengthBase[slot]),
          distance - 1 - distanceBase[dslot]};
  return true;
}

}  // namespace tvpack
