// Table headers: flags, 19 pre-code lengths, then the lengths as pre-code
// tokens (16 repeats the previous length, 17/18 write zeros, 0..15 one length,
// relative to the saved lengths when the keep flag is set). Expected streams are
// written out bit by bit from the header layout.
#include "pack/table_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tvpack {
namespace {

// "0110 1..." -> bytes, MSB first, zero padded; blanks are ignored.
std::vector<uint8_t> bitsToBytes(const std::string& bits) {
  BitWriter out;
  for (char c : bits) {
    if (c == '0' || c == '1') out.writeBits(c - '0', 1);
  }
  return out.finish();
}

// The 19 pre-code lengths as bit text: `lengths` gives (symbol, length) pairs.
std::string preCode(std::vector<std::pair<int, int>> lengths) {
  std::string text;
  for (int s = 0; s < 19; ++s) {
    int length = 0;
    for (auto [symbol, l] : lengths) {
      if (symbol == s) length = l;
    }
    for (int bit = 3; bit >= 0; --bit) text += ((length >> bit) & 1) ? '1' : '0';
    text += ' ';
  }
  return text;
}

std::vector<uint8_t> written(const std::vector<uint8_t>& lengths, const std::vector<uint8_t>& saved,
                             bool keep, size_t* bits = nullptr) {
  BitWriter out;
  writeTableHeader(out, lengths, saved, keep);
  if (bits) *bits = out.bitCount();
  return out.finish();
}

TEST(TableWriter, HeadersMatchTheirBitLayout) {
  struct Case {
    const char* name;
    std::vector<uint8_t> lengths;
    std::vector<uint8_t> saved;
    bool keep;
    std::string bits;
  };
  std::vector<uint8_t> allZero(LzTableLength, 0);
  const Case cases[] = {
      // 374 zeros: three runs of 138, 138 and 98 zeros with a one-symbol pre-code.
      {"all lengths zero",
       allZero,
       {},
       false,
       "0 0 " + preCode({{18, 1}}) + "0 1111111  0 1111111  0 1010111"},
      // The first length is written, the next three copy it (16 with extra 0).
      {"run of a length", {5, 5, 5, 5}, {}, false, "0 0 " + preCode({{5, 1}, {16, 1}}) + "0  1 00"},
      // Eleven zeros (18), then 7s and 5 between runs of zeros (17); the
      // frequencies 17:4, 7:3, 5:1, 18:1 give the pre-code lengths 1, 2, 3, 3.
      {"short and long zero runs",
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0,
        0, 7, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {},
       false,
       "0 0 " + preCode({{5, 3}, {7, 2}, {17, 1}, {18, 3}}) +
           "111 0000000  10  0 000  10  0 000  10  0 001  110  0 111"},
      // Keep: 9 over a saved 4 is symbol 5; 0 over a saved 3 is symbol 13.
      {"keep codes lengths relative to the saved ones",
       {9, 0},
       {4, 3},
       true,
       "0 1 " + preCode({{5, 1}, {13, 1}}) + "0 1"},
      // Without keep the saved lengths play no part.
      {"no keep ignores saved lengths",
       {9, 0},
       {4, 3},
       false,
       "0 0 " + preCode({{0, 1}, {9, 1}}) + "1 0"},
  };
  for (const Case& c : cases) {
    size_t bits = 0;
    EXPECT_EQ(written(c.lengths, c.saved, c.keep, &bits), bitsToBytes(c.bits)) << c.name;
    EXPECT_EQ(tableHeaderBits(c.lengths, c.saved, c.keep), bits) << c.name;
  }
}

TEST(TableWriter, RepeatOfThePreviousLengthIsNeverTheFirstToken) {
  // Zeros at the start use 17/18; any other length starts with a plain token.
  for (uint8_t length : {1, 9, 15}) {
    std::vector<uint8_t> lengths(10, length);
    std::vector<uint8_t> bytes = written(lengths, {}, false);
    // Pre-code: the length symbol and 16, one bit each; the first token is the
    // length symbol, code 0, at bit 78.
    EXPECT_EQ((bytes[9] >> 1) & 1, 0) << int{length};
  }
}

TEST(TableWriter, KeepIsShorterWhenLengthsRepeatTheSavedOnes) {
  std::mt19937 random(7);
  std::vector<uint8_t> saved(LzTableLength);
  for (size_t i = 0; i < saved.size(); ++i) saved[i] = 1 + (i * 7 + random() % 3) % 15;
  std::vector<uint8_t> lengths = saved;
  for (int i = 0; i < 20; ++i) lengths[random() % lengths.size()] = random() % 16;
  size_t withKeep = tableHeaderBits(lengths, saved, true);
  size_t withoutKeep = tableHeaderBits(lengths, saved, false);
  EXPECT_LT(withKeep * 2, withoutKeep);
  size_t bits = 0;
  written(lengths, saved, true, &bits);
  EXPECT_EQ(bits, withKeep);
}

}  // namespace
}  // namespace tvpack
