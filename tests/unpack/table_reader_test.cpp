// Table headers: flags, relative and absolute lengths, runs cut at the table
// length, audio headers, the end-of-entry check, and headers that straddle a
// refill of the input buffer.
#include "unpack/table_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pack/bit_writer.h"
#include "pack/huffman_code.h"
#include "unpack/decoder_harness.h"
#include "unpack/huffman_decode.h"
#include "unpack/packed_stream.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;
using fixtures::HeaderWriter;

// Puts the written bits at the start of the input and reads one header.
void readHeaderFrom(Decoder& decoder, tvpack::BitWriter& out) {
  Bytes bytes = out.finish();
  bytes.resize(bytes.size() + 8, 0);
  decoder.startInput(bytes);
  readCodeTables(decoder.context());
}

uint32_t bitPosition(const ArchiveContext* context) {
  return context->inputPos * 8 + context->inputBit;
}

struct RelativeCase {
  const char* name;
  uint8_t savedAtZero;  // length at position 0 of the previous header
  bool keep;
  int symbol;
  uint8_t expected;
};

TEST(TableHeader, LengthsAreRelativeToTheSavedOnesOnlyWithTheKeepFlag) {
  const RelativeCase cases[] = {
      {"fresh header", 12, false, 5, 5},
      {"keep: (12 + 5) mod 16", 12, true, 5, 1},
      {"keep: 3 + 0", 3, true, 0, 3},
      {"keep: (15 + 15) mod 16", 15, true, 15, 14},
  };
  for (const RelativeCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    std::memset(context->savedLengths, 9, SavedLengthCount);
    context->savedLengths[0] = c.savedAtZero;
    tvpack::BitWriter out;
    HeaderWriter header(out, false, c.keep);
    header.length(c.symbol);
    for (int i = 1; i < LzTableLength; ++i) header.length(c.keep ? 0 : 9);  // keep the rest at 9
    readHeaderFrom(decoder, out);
    EXPECT_EQ(context->savedLengths[0], c.expected) << c.name;
    EXPECT_EQ(context->savedLengths[1], 9) << c.name;
    EXPECT_EQ(context->audioMode, 0u) << c.name;
  }
}

TEST(TableHeader, FreshHeaderBuildsTheThreeLzTablesInOrder) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  tvpack::BitWriter out;
  HeaderWriter header(out, false, false);
  // main: 'a' and 'b' of length 1; distance: slot 3 of length 1; repeat: slot 27 of length 1.
  header.zeros(97).length(1).length(1).zeros(298 - 99);
  header.zeros(3).length(1).zeros(48 - 4);
  header.zeros(27).length(1);
  readHeaderFrom(decoder, out);
  EXPECT_EQ(context->mainTable.symbolCount, 298u);
  EXPECT_EQ(context->mainTable.symbols[0], uint32_t{'a'});
  EXPECT_EQ(context->mainTable.symbols[1], uint32_t{'b'});
  EXPECT_EQ(context->distanceTable.symbolCount, 48u);
  EXPECT_EQ(context->distanceTable.symbols[0], 3u);
  EXPECT_EQ(context->repeatLengthTable.symbolCount, 28u);
  EXPECT_EQ(context->repeatLengthTable.symbols[0], 27u);
}

TEST(TableHeader, RepeatCopiesThePreviousLengthAbsolutely) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  std::memset(context->savedLengths, 2, SavedLengthCount);
  tvpack::BitWriter out;
  HeaderWriter header(out, false, true);
  header.length(5);          // 2 + 5 = 7
  header.repeatPrevious(6);  // six more 7s, not 7 + 2
  header.length(0);          // 2 + 0
  for (int i = 8; i < LzTableLength; ++i) header.length(0);
  readHeaderFrom(decoder, out);
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(context->savedLengths[i], 7) << i;
  EXPECT_EQ(context->savedLengths[7], 2);
}

TEST(TableHeader, RepeatAtPositionZeroRepeatsAZero) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  std::memset(context->savedLengths, 3, SavedLengthCount);
  tvpack::BitWriter out;
  HeaderWriter header(out, false, true);
  header.repeatPrevious(4).length(1);
  for (int i = 5; i < LzTableLength; ++i) header.length(0);
  const size_t headerBits = out.bitCount();
  readHeaderFrom(decoder, out);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(context->savedLengths[i], 0) << i;
  EXPECT_EQ(context->savedLengths[4], 4);  // 3 + 1: the read went on in step
  EXPECT_EQ(context->savedLengths[5], 3);
  EXPECT_EQ(bitPosition(context), headerBits);
}

TEST(TableHeader, RunsAreCutAtTheTableLength) {
  struct RunCase {
    const char* name;
    int symbol;
    uint32_t extra;
    int extraBits;
    int room;      // positions left for the run
    uint8_t last;  // length at the last position
  };
  const RunCase cases[] = {
      {"18 with all seven bits: 138 asked, 20 written", 18, 127, 7, 20, 0},
      {"17 with all three bits: 10 asked, 3 written", 17, 7, 3, 3, 0},
      {"16 with both bits: 6 asked, 3 written", 16, 3, 2, 3, 4},
  };
  for (const RunCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    tvpack::BitWriter out;
    HeaderWriter header(out, false, false);
    header.zeros(LzTableLength - 1 - c.room).length(4).run(c.symbol, c.extra, c.extraBits);
    const size_t headerBits = out.bitCount();
    out.writeBits(0xFFFF, 16);  // not part of the header
    readHeaderFrom(decoder, out);
    EXPECT_EQ(bitPosition(context), headerBits) << c.name;
    EXPECT_EQ(context->savedLengths[LzTableLength - 1 - c.room], 4) << c.name;
    EXPECT_EQ(context->savedLengths[LzTableLength - 1], c.last) << c.name;
    for (int i = LzTableLength; i < SavedLengthCount; ++i)
      ASSERT_EQ(context->savedLengths[i], 0) << c.name;
  }
}

TEST(TableHeader, AudioHeaderBuildsAudioTablesAndLeavesLzTables) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  std::vector<uint8_t> lz(LzTableLength, 8);
  buildHuffmanTable(lz.data(), &context->mainTable, MainSymbols);
  const HuffmanTable mainBefore = context->mainTable;

  tvpack::BitWriter out;
  HeaderWriter header(out, true, false, 4);  // bits 1, 0, 11
  // Channel j codes symbol j and 256, one bit each.
  for (int channel = 0; channel < 4; ++channel) {
    if (channel > 0) header.length(0);
    if (channel > 1) header.length(0);
    if (channel > 2) header.length(0);
    header.length(1).zeros(255 - channel).length(1);
  }
  // Then symbol 256 of channel 0 (bit 1) and a fresh LZ header.
  out.writeBits(1, 1);
  HeaderWriter next(out, false, false);
  next.zeros(65).length(2).zeros(LzTableLength - 66);
  out.writeBits(0, 32);
  readHeaderFrom(decoder, out);

  EXPECT_EQ(context->audioMode, 0x8000u);
  EXPECT_EQ(context->channelCount, 4);
  for (int channel = 0; channel < 4; ++channel) {
    EXPECT_EQ(context->audioTableStore[channel].symbolCount, 257u);
    EXPECT_EQ(context->audioTableStore[channel].symbols[0], static_cast<uint32_t>(channel));
    EXPECT_EQ(context->audioTableStore[channel].symbols[1], 256u);
    EXPECT_EQ(context->savedLengths[257 * channel + channel], 1);
  }
  EXPECT_EQ(0, std::memcmp(&mainBefore, &context->mainTable, sizeof(HuffmanTable)));

  context->inputEnd = context->inputPos + 5;
  checkTrailingTables(context);  // decodes 256 with channel 0's table: new tables follow
  EXPECT_EQ(context->audioMode, 0u);
  EXPECT_EQ(context->mainTable.symbols[0], uint32_t{'A'});
  EXPECT_EQ(context->savedLengths[65], 2);
  EXPECT_EQ(context->savedLengths[LzTableLength], 0)
      << "lengths past the table length are saved as 0";
}

TEST(TableHeader, LengthsBeyondTheTableLengthAreSavedAsZero) {
  // An audio header of four channels fills all 1028 saved lengths; an LZ
  // header with the keep flag then saves only its 374.
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  tvpack::BitWriter out;
  HeaderWriter audio(out, true, false, 4);
  audio.length(3);
  for (int i = 1; i < 1028; i += 6) audio.repeatPrevious(1028 - i >= 6 ? 6 : 3);
  HeaderWriter lz(out, false, true);
  for (int i = 0; i < LzTableLength; ++i) lz.length(0);
  out.writeBits(0, 32);
  Bytes bytes = out.finish();
  decoder.startInput(bytes);
  readCodeTables(context);
  ASSERT_EQ(context->savedLengths[1027], 3);
  readCodeTables(context);
  EXPECT_EQ(context->savedLengths[373], 3);
  for (int i = LzTableLength; i < SavedLengthCount; ++i)
    ASSERT_EQ(context->savedLengths[i], 0) << i;
}

struct TrailingCase {
  const char* name;
  uint32_t bytesLeft;  // inputEnd - inputPos
  bool tableChange;    // the next symbol is 269
  bool tablesRead;
  uint32_t bitsTaken;
};

TEST(TrailingTables, ReadOnlyWithFiveBytesLeftAndATableChange) {
  const TrailingCase cases[] = {
      {"4 bytes left: nothing", 4, true, false, 0},
      {"5 bytes left, table change", 5, true, true, 0},
      {"5 bytes left, a literal", 5, false, false, 9},
  };
  for (const TrailingCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    std::vector<uint8_t> lengths(LzTableLength, 9);
    buildHuffmanTable(lengths.data(), &context->mainTable, MainSymbols);
    const tvpack::HuffmanCode code = tvpack::makeHuffmanCode(std::vector<uint8_t>(MainSymbols, 9));
    tvpack::BitWriter out;
    tvpack::writeSymbol(out, code, c.tableChange ? 269 : 'x');
    HeaderWriter header(out, false, false);
    header.zeros(LzTableLength - 1).length(7);
    const size_t withTables = out.bitCount();
    out.writeBits(0, 32);
    decoder.startInput(out.finish());
    context->inputEnd = context->inputPos + c.bytesLeft;
    checkTrailingTables(context);
    EXPECT_EQ(context->savedLengths[LzTableLength - 1], c.tablesRead ? 7 : 0) << c.name;
    EXPECT_EQ(bitPosition(context), c.tablesRead ? withTables : c.bitsTaken) << c.name;
  }
}

TEST(TableHeader, HeaderStraddlingARefillReadsAsAtTheStart) {
  // The same header, once at the buffer's start and once starting at each
  // offset near the buffer's end, where the reads on entry and before a
  // length refill the buffer.
  tvpack::BitWriter headerBits;
  HeaderWriter header(headerBits, false, false);
  for (int i = 0; i < LzTableLength; ++i) header.length(i % 16);
  const Bytes headerBytes = headerBits.finish();

  Decoder reference;
  {
    Bytes bytes = headerBytes;
    bytes.resize(bytes.size() + 8, 0);
    reference.startInput(bytes);
    readCodeTables(reference.context());
  }
  for (uint32_t start : {8100u, 8160u, 8168u, 8180u, 8187u, 8190u}) {
    Bytes bytes(start, 0xEE);
    bytes.insert(bytes.end(), headerBytes.begin(), headerBytes.end());
    bytes.resize(bytes.size() + 8, 0);
    Decoder decoder;
    decoder.startInput(bytes);
    decoder.context()->inputPos = start;
    readCodeTables(decoder.context());
    EXPECT_EQ(0, std::memcmp(decoder.context()->savedLengths, reference.context()->savedLengths,
                             SavedLengthCount))
        << "start " << start;
    EXPECT_EQ(0, std::memcmp(&decoder.context()->mainTable, &reference.context()->mainTable,
                             sizeof(HuffmanTable)))
        << "start " << start;
  }
}

}  // namespace
