// The main loop and the window: what each symbol produces, the recent-distance
// ring, the length corrections, matches at the slot limits, entries that end in
// the middle of a match, the ring's wrap and flush, and solid entries.
#include "unpack/lz_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "unpack/decoder_harness.h"
#include "unpack/lz_tables.h"
#include "unpack/packed_stream.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;
using fixtures::PackedStream;

// Writes symbols and keeps the bytes they must produce in a flat buffer (no
// ring; bytes before the start read as the zeros of a fresh window).
struct Script {
  PackedStream stream;
  Bytes expected;

  Script() { stream.tables(); }
  Script& literals(const Bytes& bytes) {
    stream.literals(bytes);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Script& match(uint32_t length, uint32_t distance) {
    stream.match(length, distance);
    for (uint32_t i = 0; i < length; ++i) {
      const size_t size = expected.size();
      expected.push_back(distance <= size ? expected[size - distance] : 0);
    }
    return *this;
  }
  uint32_t size() const { return static_cast<uint32_t>(expected.size()); }
};

Bytes randomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

TEST(MainLoop, ZeroByteEntryReadsTablesAndWritesNothing) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  PackedStream stream;
  stream.tables().literal('x');
  EXPECT_TRUE(decoder.decode(stream.bytes(), 0).empty());
  EXPECT_EQ(context->mainTable.symbolCount, 298u);
  EXPECT_EQ(context->mainTable.symbols[120], 120u);
  EXPECT_EQ(context->writePos, 0u);
  EXPECT_EQ(context->unpackedLeft, -1);
}

struct EndCase {
  const char* name;
  Bytes literals;
  uint32_t matchLength, matchDistance;
  uint32_t size;  // the entry's stored size
  Bytes expected;
  int32_t unpackedLeft;
};

TEST(MainLoop, LastMatchIsCopiedWholeEvenPastTheEntrySize) {
  const EndCase cases[] = {
      {"1-byte entry starting with a match of 3", {}, 3, 1, 1, {0, 0, 0}, -3},
      {"match of 10 at distance 2 ends a 5-byte entry",
       {'a', 'b'},
       10,
       2,
       5,
       {'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b'},
       -8},
      {"match ending exactly at the size", {'a'}, 5, 1, 6, {'a', 'a', 'a', 'a', 'a', 'a'}, -1},
  };
  for (const EndCase& c : cases) {
    Decoder decoder;
    PackedStream stream;
    stream.tables().literals(c.literals).match(c.matchLength, c.matchDistance).literals({'z', 'z'});
    EXPECT_EQ(decoder.decode(stream.bytes(), c.size), c.expected) << c.name;
    EXPECT_EQ(decoder.context()->unpackedLeft, c.unpackedLeft) << c.name;
  }
}

TEST(MainLoop, RepeatOfTheLastMatchFirstCopiesNothingAndPushesDistanceZero) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  PackedStream stream;
  stream.tables().repeatLast().literal('x');
  EXPECT_EQ(decoder.decode(stream.bytes(), 1), Bytes{'x'});
  EXPECT_EQ(context->recentIndex, 1u);
  EXPECT_EQ(context->recentDistances[0], 0u);
  EXPECT_EQ(context->prevLength, 0u);
}

TEST(MainLoop, RepeatOfTheLastMatchCopiesItsLengthAndDistanceAgain) {
  Decoder decoder;
  Script script;
  script.literals({1, 2, 3, 4, 5}).match(4, 3);
  script.stream.repeatLast();
  script.match(4, 3);
  EXPECT_EQ(decoder.decode(script.stream.bytes(), script.size()), script.expected);
}

TEST(MainLoop, RecentDistancesAreTakenNewestFirst) {
  // After matches at distances 5, 9 and 300, symbols 257..260 take 300, 9, 5
  // and 0 (never set). A repeated distance of 257 or more gets one byte more.
  struct RecentCase {
    int age;
    uint32_t distance;
    uint32_t length;
  };
  const RecentCase cases[] = {{1, 300, 4}, {2, 9, 3}, {3, 5, 3}, {4, 0, 3}};
  for (const RecentCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    Script script;
    script.literals(randomBytes(300, 1)).match(3, 5).match(3, 9).match(3, 300);
    script.stream.recent(c.age, 3);
    Bytes expected = script.expected;
    const size_t end = expected.size();
    for (uint32_t i = 0; i < c.length; ++i) {
      // Distance 0 copies each byte onto itself: the fresh window's zeros stay.
      expected.push_back(c.distance == 0 ? 0 : expected[end + i - c.distance]);
    }
    EXPECT_EQ(decoder.decode(script.stream.bytes(), static_cast<uint32_t>(expected.size())),
              expected)
        << "age " << c.age;
    EXPECT_EQ(context->prevDistance, c.distance) << "age " << c.age;
    EXPECT_EQ(context->prevLength, c.length) << "age " << c.age;
    EXPECT_EQ(context->recentIndex, 4u);
  }
}

TEST(MainLoop, LongerDistancesAddToTheMatchLength) {
  struct CorrectionCase {
    bool repeated;  // the distance comes from the ring (symbol 257)
    uint32_t distance;
    uint32_t length;  // length slot 0 with no extra bits, corrected
  };
  const CorrectionCase cases[] = {
      {false, 8191, 3}, {false, 8192, 4}, {false, 262144, 5}, {false, 262143, 4},
      {true, 256, 2},   {true, 257, 3},   {true, 8192, 4},    {true, 262144, 5},
  };
  for (const CorrectionCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    PackedStream stream;
    stream.tables();
    // A repeated distance is first put in the ring by a long match, whose own
    // length is 3 plus its own corrections.
    const uint32_t first = c.repeated ? (c.distance >= 8192 ? 4 + (c.distance >= 262144) : 3) : 0;
    if (c.repeated) {
      stream.match(first, c.distance).recent(1, 2);
    } else {
      const int slot =
          fixtures::slotOf(distanceBase, distanceExtraBits, DistanceSlots, c.distance - 1);
      stream.longMatch(0, 0, slot, c.distance - 1 - distanceBase[slot]);
    }
    const Bytes out = decoder.decode(stream.bytes(), first + 1);  // ends with the last match
    EXPECT_EQ(context->prevLength, c.length) << (c.repeated ? "repeated " : "long ") << c.distance;
    EXPECT_EQ(context->prevDistance, c.distance);
    EXPECT_EQ(out.size(), first + c.length);
  }
}

TEST(MainLoop, MatchesAtTheEndsOfTheSlotTables) {
  struct SlotCase {
    const char* name;
    bool shortMatch;
    int lengthSlot;
    uint32_t lengthExtra;
    int distanceSlot;
    uint32_t distanceExtra;
    uint32_t distance, length;
  };
  const SlotCase cases[] = {
      {"short slot 7, all six bits", true, 0, 0, 7, 63, 256, 2},
      {"short slot 0, no bits set", true, 0, 0, 0, 0, 1, 2},
      {"long slot 27, all five bits, distance 262144: the longest match", false, 27, 31, 35, 65535,
       262144, 260},
      {"distance slot 47, all sixteen bits: 2^20", false, 0, 0, 47, 0xFFFF, 1u << 20, 5},
      {"distance slot 0: distance 1", false, 8, 1, 0, 0, 1, 12},
  };
  for (const SlotCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    Bytes start = randomBytes(1000, 3);
    PackedStream stream;
    stream.tables().literals(start);
    if (c.shortMatch) {
      stream.shortMatch(c.distanceSlot, c.distanceExtra);
    } else {
      stream.longMatch(c.lengthSlot, c.lengthExtra, c.distanceSlot, c.distanceExtra);
    }
    const Bytes out = decoder.decode(stream.bytes(), 1000 + c.length);
    EXPECT_EQ(context->prevDistance, c.distance) << c.name;
    EXPECT_EQ(context->prevLength, c.length) << c.name;
    ASSERT_EQ(out.size(), 1000 + c.length) << c.name;
    for (uint32_t i = 0; i < c.length; ++i) {
      const size_t at = 1000 + i;
      // Beyond the bytes produced the fresh window reads as zero; a distance of
      // 2^20 copies each byte onto itself, also zero.
      const uint8_t want = c.distance <= at && c.distance < (1u << 20) ? out[at - c.distance] : 0;
      ASSERT_EQ(out[at], want) << c.name << " byte " << i;
    }
  }
}

struct CopyCase {
  const char* name;
  uint32_t writePos, distance;
  int32_t length;
  uint32_t wantWritePos;
};

TEST(CopyMatch, CopiesByteByByteAroundTheRing) {
  const CopyCase cases[] = {
      {"distance 1 repeats one byte", 100, 1, 5, 105},
      {"distance 3 shorter than length 10 repeats three bytes", 100, 3, 10, 110},
      {"distance 300 at least the length: one block", 1000, 300, 260, 1260},
      {"distance 2^20 leaves every byte", 100, 1u << 20, 6, 106},
      {"distance 0 leaves every byte", 100, 0, 6, 106},
      {"destination wraps past the end", WindowSize - 2, 50, 5, 3},
      {"source wraps past the end", 2, 5, 8, 10},
      {"length 0 copies nothing", 100, 7, 0, 100},
  };
  for (const CopyCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    uint8_t* window = decoder.window();
    for (uint32_t i = 0; i < WindowSize; ++i) window[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    Bytes ring(window, window + WindowSize);  // byte-by-byte reference on a copy
    for (int32_t i = 0; i < c.length; ++i) {
      const uint32_t to = (c.writePos + i) & WindowMask;
      ring[to] = ring[(to - c.distance) & WindowMask];
    }
    context->windowBase = window;
    context->writePos = c.writePos;
    context->matchDistance = c.distance;
    context->matchLength = c.length;
    context->unpackedLeft = 1000;
    context->recentIndex = 2;
    copyMatch(context);
    EXPECT_EQ(context->writePos, c.wantWritePos) << c.name;
    EXPECT_EQ(0, std::memcmp(window, ring.data(), WindowSize)) << c.name;
    EXPECT_EQ(context->unpackedLeft, 1000 - c.length) << c.name;
    EXPECT_EQ(context->recentDistances[2], c.distance) << c.name;
    EXPECT_EQ(context->recentIndex, 3u) << c.name;
    EXPECT_EQ(context->prevDistance, c.distance) << c.name;
    EXPECT_EQ(context->prevLength, static_cast<uint32_t>(c.length)) << c.name;
  }
}

TEST(CopyMatch, OneByteAtDistanceOneGivesFiveMoreOfIt) {
  Decoder decoder;
  Script script;
  script.literals({0x61}).match(5, 1);
  EXPECT_EQ(decoder.decode(script.stream.bytes(), 6), Bytes(6, 0x61));
}

struct FlushCase {
  uint32_t flushedPos, writePos;
  bool nearlyFull;
};

TEST(Flush, WindowIsFlushedWithinTwoHundredSeventyBytesOfFull) {
  const FlushCase cases[] = {
      {0, 0xFFEF2, false},
      {0, 0xFFEF3, true},  // first flush point: 2^20 - 269
      {0, 0xFFFFF, true},
      {5, 5, false},  // nothing unflushed
      {0x100, 0xFF, true},
      {0x100, 0xFFFF2, false},
      {0x100, 0xFFFF3, true},
      // Unflushed bytes that wrap: 0xFFFF0 to the end, then from 0.
      {0xFFFF0, 0xFFEE2, false},
      {0xFFFF0, 0xFFEE3, true},
      {0x10, 0xFFF00, false},
      {0x10, 0xFFFFF, true},
  };
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  for (const FlushCase& c : cases) {
    context->flushedPos = c.flushedPos;
    context->writePos = c.writePos;
    EXPECT_EQ(windowNearlyFull(context), c.nearlyFull)
        << std::hex << c.flushedPos << " " << c.writePos;
  }
}

TEST(Flush, LiteralAtTheWindowEndWrapsAndTheFlushWritesBothParts) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  PackedStream stream;
  stream.tables();
  decoder.decode(stream.bytes(), 0);  // tables for the solid entry
  context->writePos = context->flushedPos = 0xFFFFD;
  PackedStream solid;
  solid.literals({'a', 'b', 'c', 'd', 'e'});
  EXPECT_EQ(decoder.decode(solid.bytes(), 5, true), (Bytes{'a', 'b', 'c', 'd', 'e'}));
  EXPECT_EQ(context->writePos, 2u);
  EXPECT_EQ(context->flushedPos, 2u);
  EXPECT_EQ(decoder.window()[0xFFFFF], 'c');
  EXPECT_EQ(decoder.window()[0], 'd');
}

TEST(Flush, EntryLongerThanTheWindowComesOutWhole) {
  // Four window sizes of bytes, with long matches that cross the window's end
  // and copy from far back: a flush too late would let them overwrite bytes
  // not yet written.
  Decoder decoder;
  Script script;
  script.literals(randomBytes(5000, 9));
  std::mt19937 random(4);
  while (script.size() < 4 * WindowSize) {
    const uint32_t distance = 1 + random() % std::min<uint32_t>(script.size(), WindowSize - 1);
    const uint32_t length = 200 + random() % 56;  // long matches test the margin hardest
    script.match(length, distance);
    if (random() % 4 == 0) script.literals({static_cast<uint8_t>(random())});
  }
  const Bytes out = decoder.decode(script.stream.bytes(), script.size());
  ASSERT_EQ(out.size(), script.expected.size());
  const auto mismatch = std::mismatch(out.begin(), out.end(), script.expected.begin());
  EXPECT_TRUE(mismatch.first == out.end())
      << "first wrong byte at " << (mismatch.first - out.begin());
}

TEST(SolidEntries, SecondEntryContinuesTheFirstsWindowRingAndTables) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  const Bytes text = {'s', 'o', 'l', 'i', 'd', ' ', 'w', 'i', 'n', 'd', 'o', 'w', ' '};
  Script first;
  first.literals(text).match(13, 13);
  EXPECT_EQ(decoder.decode(first.stream.bytes(), 26), first.expected);

  PackedStream second;  // no table header: the first entry's tables go on
  second.recent(1, 4).match(6, 30);
  const Bytes out = decoder.decode(second.bytes(), 10, true);
  // 4 bytes at the newest distance (13), then 6 from the first entry's start.
  const Bytes want = {'s', 'o', 'l', 'i', 's', 'o', 'l', 'i', 'd', ' '};
  EXPECT_EQ(out, want);
  EXPECT_EQ(context->writePos, 36u);
}

TEST(SolidEntries, TablesReadAfterTheLastSymbolServeTheNextEntry) {
  Decoder decoder;
  // The first entry ends with a table change to codes where only 'X', 'Y' and
  // 269 are coded (2 bits each), followed by enough bytes for the check.
  fixtures::LzLengths next{std::vector<uint8_t>(298, 0), std::vector<uint8_t>(48, 0),
                           std::vector<uint8_t>(28, 0)};
  next.main['X'] = next.main['Y'] = next.main[269] = 2;
  next.distance[0] = 1;
  next.repeatLength[0] = 1;
  PackedStream first;
  first.tables().literals({'a', 'b'}).tableChange().tables(next, false).bits(0, 48);
  EXPECT_EQ(decoder.decode(first.bytes(), 2), (Bytes{'a', 'b'}));

  PackedStream second(next);
  second.literals({'X', 'Y', 'X'});
  EXPECT_EQ(decoder.decode(second.bytes(), 3, true), (Bytes{'X', 'Y', 'X'}));
}

TEST(SolidEntries, FreshEntryForgetsTheWindowAndTheRing) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  Script first;
  first.literals({1, 2, 3, 4, 5, 6, 7, 8}).match(4, 8);
  decoder.decode(first.stream.bytes(), first.size());
  PackedStream second;
  second.tables().recent(1, 4).match(3, 5);
  EXPECT_EQ(decoder.decode(second.bytes(), 7), Bytes(7, 0));
  EXPECT_EQ(context->recentDistances[0], 0u);
  EXPECT_EQ(context->recentDistances[1], 5u);
}

TEST(MainLoop, TableChangeInTheMiddleSwitchesCodes) {
  Decoder decoder;
  fixtures::LzLengths other = fixtures::everySymbolCoded();
  other.main.assign(298, 0);
  for (int s = 'a'; s <= 'h'; ++s) other.main[s] = 3;
  PackedStream stream;
  stream.tables().literals({'x', 'y'}).tableChange().tables(other, true).literals({'a', 'h', 'c'});
  EXPECT_EQ(decoder.decode(stream.bytes(), 5), (Bytes{'x', 'y', 'a', 'h', 'c'}));
}

}  // namespace

namespace {

template <typename Base>
void expectGapless(const char* name, const Base* base, const uint8_t* extraBits, int slots,
                   uint32_t last) {
  EXPECT_EQ(base[0], 0u) << name;
  for (int i = 1; i < slots; ++i) {
    EXPECT_EQ(uint32_t{base[i]}, base[i - 1] + (1u << extraBits[i - 1])) << name << " slot " << i;
  }
  EXPECT_EQ(base[slots - 1] + (1u << extraBits[slots - 1]) - 1, last) << name << ": the last value";
}

TEST(SlotTables, CoverTheirRangesWithoutGaps) {
  expectGapless("length", lengthBase, lengthExtraBits, LengthSlots, 255);
  expectGapless("distance", distanceBase, distanceExtraBits, DistanceSlots, (1u << 20) - 1);
  expectGapless("short distance", shortDistanceBase, shortDistanceExtraBits, ShortDistanceSlots,
                255);
}

}  // namespace

namespace {

TEST(MainLoop, StoredSizesFromTwoToTheThirtyFirstProduceNothing) {
  // Signed, such sizes are below 0: the loop runs no iteration, as for 0.
  for (uint32_t size : {0x80000000u, 0x80000001u, 0xFFFFFFFFu}) {
    Decoder decoder;
    PackedStream stream;
    stream.tables().literals({'a', 'b'});
    EXPECT_TRUE(decoder.decode(stream.bytes(), size).empty()) << std::hex << size;
  }
}

}  // namespace
