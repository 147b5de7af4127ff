// Canonical table build and symbol decoding: the layout of a built table, the
// code each symbol gets, what codes that no symbol owns decode to, and that the
// packer's codes come back as the symbols written.
#include "unpack/huffman_decode.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pack/bit_writer.h"
#include "pack/huffman_code.h"
#include "unpack/decoder_harness.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;

TEST(HuffmanBuild, LimitsAndStartsFollowTheCodeLengths) {
  const uint8_t lengths[3] = {1, 2, 2};
  HuffmanTable table{};
  buildHuffmanTable(lengths, &table, 3);
  EXPECT_EQ(table.symbolCount, 3u);
  EXPECT_EQ(table.lengthLimit[0], 0u);
  EXPECT_EQ(table.lengthLimit[1], 0x8000u);
  for (int length = 2; length <= 15; ++length)
    EXPECT_EQ(table.lengthLimit[length], 0xFFFFu) << length;
  EXPECT_EQ(table.lengthStart[1], 0u);
  EXPECT_EQ(table.lengthStart[2], 1u);
  EXPECT_EQ(table.lengthStart[3], 3u);
  EXPECT_EQ(table.symbols[0], 0u);
  EXPECT_EQ(table.symbols[1], 1u);
  EXPECT_EQ(table.symbols[2], 2u);
}

TEST(HuffmanBuild, OnlyTheLowFourBitsOfALengthCount) {
  const uint8_t lengths[3] = {0x21, 0xF2, 0x12};
  HuffmanTable table{};
  buildHuffmanTable(lengths, &table, 3);
  EXPECT_EQ(table.symbols[0], 0u);
  EXPECT_EQ(table.lengthLimit[1], 0x8000u);
  EXPECT_EQ(table.lengthLimit[2], 0xFFFFu);
}

struct DecodeCase {
  const char* name;
  std::vector<uint8_t> lengths;
  Bytes input;        // the buffer's first bytes
  uint32_t symbol;    // expected result
  uint32_t consumed;  // expected bits taken
};

TEST(HuffmanDecode, SymbolsAndCodeLengths) {
  const DecodeCase cases[] = {
      {"1,2,2: bit 0", {1, 2, 2}, {0x00, 0x00}, 0, 1},
      {"1,2,2: bits 10", {1, 2, 2}, {0x80, 0x00}, 1, 2},
      {"1,2,2: bits 11", {1, 2, 2}, {0xC0, 0x00}, 2, 2},
      {"1,2,2: all ones decode at length 2, not 15", {1, 2, 2}, {0xFF, 0xFF, 0xFF}, 2, 2},
      {"2,1,2: bit 0 is the shortest code", {2, 1, 2}, {0x00, 0x00}, 1, 1},
      {"2,1,2: bits 10", {2, 1, 2}, {0x80, 0x00}, 0, 2},
      {"2,1,2: bits 11", {2, 1, 2}, {0xC0, 0x00}, 2, 2},
      // One symbol (5) of length 1: bit 0 is its code; a leading 1 falls through
      // to length 15, index ((v - 0x8000) >> 1) + 1.
      {"single: bit 0", {0, 0, 0, 0, 0, 1, 0, 0}, {0x7F, 0xFF}, 5, 1},
      {"single: index out of range falls back to the first entry",
       {0, 0, 0, 0, 0, 1, 0, 0},
       {0xFF, 0xFE},
       5,
       15},
      {"single: index within range finds a stale entry (0)",
       {0, 0, 0, 0, 0, 1, 0, 0},
       {0x80, 0x02},
       0,
       15},
      // No codes at all: every limit is 0, so 15 bits and index v >> 1.
      {"empty: index 2", {0, 0, 0, 0}, {0x00, 0x04}, 0, 15},
      {"empty: index beyond the alphabet", {0, 0, 0, 0}, {0xFF, 0xFF}, 0, 15},
  };
  for (const DecodeCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    HuffmanTable table{};
    buildHuffmanTable(c.lengths.data(), &table, static_cast<int32_t>(c.lengths.size()));
    decoder.startInput(c.input);
    EXPECT_EQ(decodeSymbol(context, &table), c.symbol) << c.name;
    EXPECT_EQ(context->decodedSymbol, c.symbol) << c.name;
    EXPECT_EQ(context->inputPos * 8 + context->inputBit, c.consumed) << c.name;
  }
}

TEST(HuffmanDecode, EmptyTableYieldsTheEntryAtHalfThePeekedValue) {
  // An earlier build left symbols 0..3 in place; a build of all-zero lengths
  // keeps them and decodes v >> 1 where that is below the alphabet size.
  const uint8_t earlier[4] = {2, 2, 2, 2};  // symbols 0, 1, 2, 3 in order
  const uint8_t none[4] = {0, 0, 0, 0};
  HuffmanTable table{};
  buildHuffmanTable(earlier, &table, 4);
  table.symbols[3] = 3;
  buildHuffmanTable(none, &table, 4);
  Decoder decoder;
  decoder.startInput({0x00, 0x06});  // v = 6: index 3
  EXPECT_EQ(decodeSymbol(decoder.context(), &table), 3u);
}

TEST(HuffmanBuild, RebuildWithFewerCodesKeepsOlderEntriesBeyondThem) {
  std::vector<uint8_t> full(298, 9);
  std::vector<uint8_t> few(298, 0);
  few[200] = 1;
  few[100] = 1;
  HuffmanTable table{};
  buildHuffmanTable(full.data(), &table, 298);
  buildHuffmanTable(few.data(), &table, 298);
  EXPECT_EQ(table.symbols[0], 100u);
  EXPECT_EQ(table.symbols[1], 200u);
  for (uint32_t i = 2; i < 298; ++i) ASSERT_EQ(table.symbols[i], i) << i;
}

// Smallest L in 1..14 with v < limit[L], else 15: the plain search that the
// decoder's comparison tree must agree with.
uint32_t linearLength(const HuffmanTable& table, uint32_t v) {
  for (uint32_t length = 1; length <= 14; ++length) {
    if (v < table.lengthLimit[length]) return length;
  }
  return 15;
}

TEST(HuffmanDecode, ComparisonTreeAgreesWithLinearSearchOnAnyLengths) {
  // Random lengths, complete, incomplete and over-full alike.
  std::mt19937 random(20);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> lengths(298);
    const int maxLength = 1 + round % 15;
    for (uint8_t& length : lengths) length = static_cast<uint8_t>(random() % (maxLength + 1));
    HuffmanTable table{};
    buildHuffmanTable(lengths.data(), &table, 298);
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    for (uint32_t v = 0; v < 0x10000; v += 1 + random() % 64) {
      context->inputBuffer[0] = static_cast<uint8_t>(v >> 8);
      context->inputBuffer[1] = static_cast<uint8_t>(v);
      context->inputPos = 0;
      context->inputBit = 0;
      decodeSymbol(context, &table);
      ASSERT_EQ(context->inputPos * 8 + context->inputBit, linearLength(table, v & 0xFFFE))
          << "round " << round << " v " << v;
    }
  }
}

TEST(HuffmanDecode, PackerCodesDecodeToTheSymbolsWritten) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    // Skewed frequencies give code lengths up to the 15-bit limit.
    std::vector<uint32_t> frequencies(298);
    for (uint32_t& f : frequencies) f = random() % 3 == 0 ? 0 : 1u << (random() % 20);
    frequencies[round] = 1;
    const tvpack::HuffmanCode code = tvpack::huffmanCodeFor(frequencies);
    std::vector<int> used;
    for (int s = 0; s < 298; ++s) {
      if (code.lengths[s] != 0) used.push_back(s);
    }
    std::vector<int> written;
    tvpack::BitWriter out;
    for (int i = 0; i < 400; ++i) {
      written.push_back(used[random() % used.size()]);
      tvpack::writeSymbol(out, code, written.back());
    }
    HuffmanTable table{};
    buildHuffmanTable(code.lengths.data(), &table, 298);
    Decoder decoder;
    decoder.startInput(out.finish());
    for (size_t i = 0; i < written.size(); ++i) {
      ASSERT_EQ(decodeSymbol(decoder.context(), &table), static_cast<uint32_t>(written[i]))
          << "round " << round << " symbol " << i;
    }
  }
}

}  // namespace
