// Code lengths respect the 15-bit limit and form a prefix code, and code values
// are the canonical ones the decoder's table build assigns.
#include "pack/huffman_code.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace tvpack {
namespace {

// Kraft sum in units of 2^-15; a prefix code has at most 2^15.
uint64_t kraftSum(const std::vector<uint8_t>& lengths) {
  uint64_t sum = 0;
  for (uint8_t length : lengths) {
    if (length != 0) sum += 1ull << (15 - length);
  }
  return sum;
}

uint64_t codedBits(const std::vector<uint32_t>& frequencies, const std::vector<uint8_t>& lengths) {
  uint64_t bits = 0;
  for (size_t s = 0; s < frequencies.size(); ++s) bits += uint64_t{frequencies[s]} * lengths[s];
  return bits;
}

TEST(HuffmanCode, LengthsOfSmallAlphabetsAreOptimal) {
  struct Case {
    std::vector<uint32_t> frequencies;
    std::vector<uint8_t> lengths;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}},
      {{0, 7, 0}, {0, 1, 0}},  // a single symbol still needs a 1-bit code
      {{3, 1}, {1, 1}},
      {{1, 1, 2}, {2, 2, 1}},
      {{8, 4, 2, 1, 1}, {1, 2, 3, 4, 4}},
      {{5, 5, 5, 5}, {2, 2, 2, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(buildCodeLengths(c.frequencies), c.lengths);
}

TEST(HuffmanCode, SkewedFrequenciesAreLimitedTo15BitsAndStayAPrefixCode) {
  // Fibonacci weights would need codes up to 29 bits long without the limit.
  std::vector<uint32_t> frequencies(298, 0);
  uint32_t a = 1, b = 1;
  for (int s = 0; s < 30; ++s) {
    frequencies[s * 7] = a;
    uint32_t next = a + b;
    a = b;
    b = next;
  }
  std::vector<uint8_t> lengths = buildCodeLengths(frequencies);
  int longest = 0;
  for (size_t s = 0; s < lengths.size(); ++s) {
    EXPECT_EQ(lengths[s] != 0, frequencies[s] != 0) << "symbol " << s;
    longest = std::max<int>(longest, lengths[s]);
  }
  EXPECT_EQ(longest, 15);
  EXPECT_EQ(kraftSum(lengths), 1u << 15);  // limited and still complete
}

TEST(HuffmanCode, RandomFrequenciesGiveCompletePrefixCodesWithinLimit) {
  std::mt19937 random(42);
  for (int round = 0; round < 200; ++round) {
    size_t n = 2 + random() % 297;
    std::vector<uint32_t> frequencies(n);
    for (auto& f : frequencies) f = (random() % 3 == 0) ? 0 : 1u << (random() % 24);
    frequencies[0] = 1;  // at least two used symbols, one of them rare
    frequencies[n - 1] = 2;
    std::vector<uint8_t> lengths = buildCodeLengths(frequencies);
    for (uint8_t length : lengths) EXPECT_LE(length, 15);
    EXPECT_EQ(kraftSum(lengths), 1u << 15) << "round " << round;
    // Never worse than a flat code over the used symbols would be.
    std::vector<uint8_t> flat(n, 0);
    int used = 0;
    for (uint32_t f : frequencies) used += f != 0;
    int flatLength = 1;
    while ((1 << flatLength) < used) ++flatLength;
    for (size_t s = 0; s < n; ++s) flat[s] = frequencies[s] ? flatLength : 0;
    EXPECT_LE(codedBits(frequencies, lengths), codedBits(frequencies, flat));
  }
}

TEST(HuffmanCode, CodeValuesAreCanonicalShorterFirstThenBySymbol) {
  struct Case {
    std::vector<uint8_t> lengths;
    std::vector<uint16_t> codes;
  };
  const Case cases[] = {
      {{1, 2, 2}, {0b0, 0b10, 0b11}},
      {{2, 1, 2}, {0b10, 0b0, 0b11}},
      {{3, 0, 3, 2, 2, 3, 3}, {0b100, 0, 0b101, 0b00, 0b01, 0b110, 0b111}},
      {{0, 4, 0}, {0, 0b0000, 0}},  // an incomplete code starts at 0 too
  };
  for (const Case& c : cases) EXPECT_EQ(makeHuffmanCode(c.lengths).codes, c.codes);
}

TEST(HuffmanCode, WriteSymbolEmitsTheCodeMostSignificantBitFirst) {
  HuffmanCode code = makeHuffmanCode(std::vector<uint8_t>{2, 1, 3, 3});  // 10, 0, 110, 111
  BitWriter out;
  for (int symbol : {0, 1, 2, 3, 1}) writeSymbol(out, code, symbol);
  EXPECT_EQ(out.bitCount(), 2u + 1 + 3 + 3 + 1);
  EXPECT_EQ(out.finish(), (std::vector<uint8_t>{0b10011011, 0b10000000}));
}

}  // namespace
}  // namespace tvpack
