// The constant slot tables of the LZ alphabet, shared by the decoder and the
// packer. Slot i stands for base[i] plus an extraBits[i]-bit number; each base
// is the previous base plus 2^(previous extra bits), so the slots cover their
// range without gaps.
#pragma once

#include <cstdint>

// Main-alphabet symbols.
constexpr uint32_t RepeatLastMatch = 256;
constexpr uint32_t FirstRecentDistance = 257;  // 257..260: newest..oldest recent distance
constexpr uint32_t FirstShortMatch = 261;      // 261..268: length 2, short distance slot
constexpr uint32_t TableChange = 269;
constexpr uint32_t FirstLongMatch = 270;  // 270..297: length slot, then a distance slot

constexpr int LengthSlots = 28;
constexpr int DistanceSlots = 48;
constexpr int ShortDistanceSlots = 8;

constexpr uint8_t lengthBase[LengthSlots] = {0,  1,  2,  3,   4,   5,   6,   7,  8,  10,
                                             12, 14, 16, 20,  24,  28,  32,  40, 48, 56,
                                             64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint8_t lengthExtraBits[LengthSlots] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                  2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

constexpr uint32_t distanceBase[DistanceSlots] = {
    0,      1,      2,      3,      4,      6,      8,      12,     16,     24,     32,     48,
    64,     96,     128,    192,    256,    384,    512,    768,    1024,   1536,   2048,   3072,
    4096,   6144,   8192,   12288,  16384,  24576,  32768,  49152,  65536,  98304,  131072, 196608,
    262144, 327680, 393216, 458752, 524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
constexpr uint8_t distanceExtraBits[DistanceSlots] = {
    0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
    11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};

constexpr uint8_t shortDistanceBase[ShortDistanceSlots] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t shortDistanceExtraBits[ShortDistanceSlots] = {2, 2, 3, 4, 5, 6, 6, 6};

// Long matches are one byte longer from each of these distances on; matches at
// a repeated distance also from 0x101 on. A far match must save more bits to
// pay for its longer distance code.
constexpr uint32_t LongerFrom257 = 0x101;
constexpr uint32_t LongerFrom8K = 0x2000;
constexpr uint32_t LongerFrom256K = 0x40000;

// Matches add MinLongMatch (or MinRepeatMatch) to their slot value.
constexpr uint32_t MinLongMatch = 3;
constexpr uint32_t MinRepeatMatch = 2;
constexpr uint32_t ShortMatchLength = 2;
