// The bit writer puts the first bit written into bit 7 of the first byte, the
// order in which the decoder reads packed data.
#include "pack/bit_writer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tvpack {
namespace {

struct BitCase {
  const char* name;
  std::vector<std::pair<uint32_t, int>> writes;  // (value, count)
  std::vector<uint8_t> bytes;
};

TEST(BitWriter, WritesMostSignificantBitFirstAndPadsWithZeros) {
  const BitCase cases[] = {
      {"one bit set", {{1, 1}}, {0x80}},
      {"three fields", {{1, 1}, {0, 2}, {0x1F, 5}}, {0x9F}},
      {"field across a byte boundary", {{0x5, 3}, {0x1FF, 9}}, {0xBF, 0xF0}},
      {"only low bits of the value count", {{0xFFFFFFF0, 4}}, {0x00}},
      {"zero-length write adds nothing", {{0xFF, 0}, {0x3, 2}}, {0xC0}},
      {"32-bit field", {{0x1, 1}, {0x80000001, 32}}, {0xC0, 0x00, 0x00, 0x00, 0x80}},
      {"whole bytes", {{0xAB, 8}, {0xCD, 8}}, {0xAB, 0xCD}},
  };
  for (const BitCase& c : cases) {
    BitWriter writer;
    size_t bits = 0;
    for (auto [value, count] : c.writes) {
      writer.writeBits(value, count);
      bits += count;
    }
    EXPECT_EQ(writer.bitCount(), bits) << c.name;
    EXPECT_EQ(writer.finish(), c.bytes) << c.name;
  }
}

TEST(BitWriter, AlignToBytePadsOnlyAPartialByte) {
  BitWriter writer;
  writer.alignToByte();
  EXPECT_EQ(writer.bitCount(), 0u);
  writer.writeBits(1, 1);
  writer.alignToByte();
  EXPECT_EQ(writer.bitCount(), 8u);
  writer.writeBits(0xFF, 8);
  writer.alignToByte();
  EXPECT_EQ(writer.bitCount(), 16u);
  EXPECT_EQ(writer.finish(), (std::vector<uint8_t>{0x80, 0xFF}));
  EXPECT_EQ(writer.bitCount(), 0u);  // finish leaves an empty writer
}

}  // namespace
}  // namespace tvpack
