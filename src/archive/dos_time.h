// The MS-DOS date and time of an entry (dosDateTime): date in the high 16 bits,
// time in the low 16 bits, local time, seconds stored halved.
#pragma once

#include <cstdint>

struct DosTimeFields {
  int year;    // 1980..2107
  int month;   // 1..12 in a valid value
  int day;     // 1..31 in a valid value
  int hour;    // 0..23 in a valid value
  int minute;  // 0..59 in a valid value
  int second;  // 0..62, even
};

inline DosTimeFields decodeDosDateTime(uint32_t value) {
  return DosTimeFields{
      static_cast<int>(value >> 25) + 1980,   static_cast<int>((value >> 21) & 0x0F),
      static_cast<int>((value >> 16) & 0x1F), static_cast<int>((value >> 11) & 0x1F),
      static_cast<int>((value >> 5) & 0x3F),  static_cast<int>(value & 0x1F) * 2,
  };
}
