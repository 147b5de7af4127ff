// The input side: how many packed bytes fills and refills take, where a refill
// puts the bytes it keeps, and how bits come out of the buffer.
#include "unpack/bit_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "unpack/decoder_harness.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;

// Distinct-looking bytes, so a byte found at the wrong index shows.
Bytes pattern(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

struct FillCase {
  size_t streamBytes;       // bytes the stream holds
  int32_t packedSize;       // the entry's packed size
  uint32_t firstEnd;        // inputEnd after the first fill
  uint32_t refillEnd;       // inputEnd after one refill from inputPos 8170 (10 after the move)
  int32_t packedLeftAfter;  // packedLeft after both
};

TEST(PackedInput, FillsAndRefillsTakeNoMoreThanThePackedSize) {
  const FillCase cases[] = {
      {421, 421, 421, 10, 0},
      {1000, 421, 421, 10, 0},  // the bytes after the entry stay unread
      {0, 0, 0, 10, 0},
      {16352, 16352, 8192, 8192, 0},  // 8192 + 8160
      {20000, 16352, 8192, 8192, 0},
      {20000, 16353, 8192, 8192, 1},
      {300, 1000, 300, 10, 700},  // cut short: the stream ends before the entry
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "stream " << c.streamBytes << " packed " << c.packedSize);
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    decoder.startInput(pattern(c.streamBytes), c.packedSize);
    EXPECT_EQ(context->inputEnd, c.firstEnd);
    EXPECT_EQ(context->inputPos, 0u);
    context->inputPos = 8170;
    refillInput(context, 0);
    EXPECT_EQ(context->inputEnd, c.refillEnd);
    EXPECT_EQ(context->packedLeft, c.packedLeftAfter);
  }
}

TEST(PackedInput, RefillKeepsTheCurrentByteAndBitPosition) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  const Bytes stream = pattern(8192 + 100);
  decoder.startInput(stream);
  context->inputPos = 8170;
  context->inputBit = 3;
  refillInput(context, 0);
  EXPECT_EQ(context->inputPos, 10u);
  EXPECT_EQ(context->inputBit, 3u);
  EXPECT_EQ(0, std::memcmp(context->inputBuffer, stream.data() + 8160, 32));
  EXPECT_EQ(context->inputBuffer[10], stream[8170]);
  EXPECT_EQ(0, std::memcmp(context->inputBuffer + 32, stream.data() + 8192, 100));
  EXPECT_EQ(context->inputEnd, 132u);
}

TEST(PackedInput, ReadStopsWhenTheStreamDeliversNothing) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  decoder.startInput(pattern(50), 50);
  context->packedLeft = 5000;  // the header promised more than the file holds
  uint8_t destination[100];
  EXPECT_EQ(readPacked(context, destination, 100), 0);
  EXPECT_EQ(context->packedLeft, 5000);
}

TEST(PackedInput, ReadWithoutAnOpenArchiveGivesNothing) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  decoder.startInput(pattern(100), 50);  // the first fill takes 50, 50 stay in the stream
  context->packedLeft = 50;
  FILE* archive = context->archiveStream;
  context->archiveStream = nullptr;
  uint8_t destination[10];
  EXPECT_EQ(readPacked(context, destination, 10), 0);
  EXPECT_EQ(context->packedLeft, 50);
  context->archiveStream = archive;
  EXPECT_EQ(readPacked(context, destination, 10), 10);
  EXPECT_EQ(context->packedLeft, 40);
}

TEST(BitReader, PeekTakesSixteenBitsMostSignificantFirst) {
  // The buffer starts A5 3C F0: 1010 0101 0011 1100 1111 0000.
  const uint32_t expected[8] = {0xA53C, 0x4A79, 0x94F3, 0x29E7, 0x53CF, 0xA79E, 0x4F3C, 0x9E78};
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  decoder.startInput({0xA5, 0x3C, 0xF0});
  for (uint32_t bit = 0; bit < 8; ++bit) {
    context->inputBit = bit;
    EXPECT_EQ(peekBits(context), expected[bit]) << "inputBit " << bit;
    EXPECT_EQ(context->peekedBits, expected[bit]);
  }
}

TEST(BitReader, PeekLooksPastTheValidBytes) {
  // Two valid bytes; the third comes from whatever the buffer held before.
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  context->inputBuffer[2] = 0xFF;
  decoder.startInput({0x00, 0x01});
  context->inputBit = 7;
  EXPECT_EQ(context->inputEnd, 2u);
  EXPECT_EQ(peekBits(context), 0x00FFu);
}

struct SkipCase {
  uint32_t pos, bit, n;
  uint32_t wantPos, wantBit;
};

TEST(BitReader, SkipAdvancesByteAndBit) {
  const SkipCase cases[] = {
      {0, 0, 0, 0, 0},  {0, 0, 7, 0, 7},      {0, 7, 1, 1, 0},
      {0, 5, 16, 2, 5}, {100, 3, 13, 102, 0}, {8000, 7, 16, 8002, 7},
  };
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  for (const SkipCase& c : cases) {
    context->inputPos = c.pos;
    context->inputBit = c.bit;
    skipBits(context, c.n);
    EXPECT_EQ(context->inputPos, c.wantPos) << c.pos << "/" << c.bit << " + " << c.n;
    EXPECT_EQ(context->inputBit, c.wantBit) << c.pos << "/" << c.bit << " + " << c.n;
  }
}

TEST(BitReader, NumbersFollowOneAnotherWithoutGaps) {
  // A7 9F 00 = 101 | 0 0111 1001 | 1111 000 | 0...: fields of 3, 9 and 7 bits.
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  decoder.startInput({0xA7, 0x9F, 0x00});
  EXPECT_EQ(readNumber(context, 3), 0x5u);
  EXPECT_EQ(readNumber(context, 9), 0x79u);
  EXPECT_EQ(readNumber(context, 7), 0x78u);
  EXPECT_EQ(context->inputPos, 2u);
  EXPECT_EQ(context->inputBit, 3u);
}

TEST(Reset, FreshEntryClearsWindowMatchStateAndSavedLengths) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  context->windowBase = decoder.window();
  std::memset(decoder.window(), 0x5A, WindowSize);
  std::memset(context->savedLengths, 7, SavedLengthCount);
  for (uint32_t& distance : context->recentDistances) distance = 99;
  context->recentIndex = 6;
  context->prevLength = 4;
  context->prevDistance = 12;
  context->writePos = 0x1234;
  context->flushedPos = 0x1000;
  context->activeChannel = 2;
  context->audioMode = 0x8000;
  context->inputPos = 300;
  context->inputBit = 5;

  ArchiveContext solidCopy;
  std::memcpy(&solidCopy, context, sizeof(ArchiveContext));
  resetUnpacker(context, 1);
  solidCopy.inputPos = 0;
  solidCopy.inputBit = 0;
  EXPECT_EQ(0, std::memcmp(&solidCopy, context, sizeof(ArchiveContext)))
      << "solid reset changed more";
  EXPECT_EQ(decoder.window()[WindowSize - 1], 0x5A);

  resetUnpacker(context, 0);
  for (uint32_t i = 0; i < WindowSize; ++i) ASSERT_EQ(decoder.window()[i], 0) << "window at " << i;
  for (int i = 0; i < SavedLengthCount; ++i) ASSERT_EQ(context->savedLengths[i], 0) << i;
  for (uint32_t distance : context->recentDistances) EXPECT_EQ(distance, 0u);
  EXPECT_EQ(context->recentIndex, 0u);
  EXPECT_EQ(context->prevLength, 0u);
  EXPECT_EQ(context->prevDistance, 0u);
  EXPECT_EQ(context->writePos, 0u);
  EXPECT_EQ(context->flushedPos, 0u);
  EXPECT_EQ(context->activeChannel, 0);
  EXPECT_EQ(context->audioMode, 0x8000u) << "left for the table read that follows";
}

}  // namespace
