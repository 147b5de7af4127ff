// Everything the encoder writes comes back byte for byte through our own
// decoder: solid chains (one decoder state carried from entry to entry) and
// independent entries, at every level, over random, text-like, run-heavy and
// record data, empty and one-byte files, files beyond the 1 MB window, many
// small files, and copies at distances on both sides of every length
// correction. Over the whole corpus every symbol kind and the keep flag occur.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pack/chain_encoder.h"
#include "pack/corpus.h"
#include "unpack/decoder_harness.h"

namespace tvpack {
namespace {

using corpus::Bytes;
using Files = std::vector<Bytes>;

struct Packed {
  std::vector<Bytes> entries;
  WrittenCounts counts;
};

// Packs the files as one solid chain, or each on its own.
Packed pack(const Files& files, int level, bool solid) {
  Packed packed;
  Bytes current;
  auto sink = [&](Bytes&& piece, bool last) {
    current.insert(current.end(), piece.begin(), piece.end());
    if (last) packed.entries.push_back(std::move(current)), current.clear();
  };
  auto add = [&](const WrittenCounts& counts) {
    for (int s = 0; s < MainSymbols; ++s) packed.counts.main[s] += counts.main[s];
    packed.counts.headers += counts.headers;
    packed.counts.keptHeaders += counts.keptHeaders;
    packed.counts.trailingHeaders += counts.trailingHeaders;
    packed.counts.paddingBytes += counts.paddingBytes;
  };
  if (solid) {
    ChainEncoder chain(level, sink);
    for (size_t i = 0; i < files.size(); ++i) {
      if (i > 0) chain.beginEntry();
      chain.addData(files[i].data(), files[i].size());
      chain.endEntry();
    }
    chain.finish();
    add(chain.counts());
  } else {
    for (const Bytes& file : files) {
      ChainEncoder chain(level, sink);
      chain.addData(file.data(), file.size());
      chain.endEntry();
      chain.finish();
      add(chain.counts());
    }
  }
  return packed;
}

// Decodes the entries in order with one decoder, as the extraction driver does.
void expectRoundTrip(const Files& files, const Packed& packed, bool solid,
                     const std::string& what) {
  ASSERT_EQ(packed.entries.size(), files.size()) << what;
  fixtures::Decoder decoder;
  for (size_t i = 0; i < files.size(); ++i) {
    Bytes out =
        decoder.decode(packed.entries[i], static_cast<uint32_t>(files[i].size()), solid && i > 0);
    ASSERT_EQ(out.size(), files[i].size()) << what << " entry " << i;
    ASSERT_TRUE(out == files[i]) << what << " entry " << i << " differs";
  }
}

struct Corpus {
  const char* name;
  Files files;
};

std::vector<Corpus> corpora() {
  std::vector<Corpus> all;
  all.push_back({"random", {corpus::randomBytes(70000, 1), corpus::randomBytes(1, 2), {}}});
  all.push_back({"text", {corpus::text(400000, 3), corpus::text(30000, 4)}});
  all.push_back({"empty files", {{}, {}, {}}});
  all.push_back({"one byte", {{0x61}}});
  all.push_back({"one byte each", {{0x61}, {0x61}, {}, {0x00}}});
  all.push_back({"long runs", {corpus::runs(300000, 5), Bytes(100000, 0x20)}});
  all.push_back({"records", {corpus::records(200000, 6)}});
  // Beyond the window: a random block seen again exactly 2^20 and 2^20 - 1
  // bytes later, inside one file and across files.
  {
    Bytes big = corpus::randomBytes(MaxDistance, 7);
    big.insert(big.end(), big.begin(), big.begin() + 5000);
    big.insert(big.end(), big.begin() + 10001, big.begin() + 15000);
    all.push_back({"over the window", {big, Bytes(big.begin() + 200000, big.begin() + 240000)}});
  }
  {
    Files small;
    for (int i = 0; i < 300; ++i) small.push_back(corpus::text(i * 7 % 500, 100 + i));
    all.push_back({"many small files", small});
  }
  {
    Files copies;
    const uint32_t thresholds[] = {1,      2,      4,       256,     257,     258,     0x1FFF,
                                   0x2000, 0x2001, 0x3FFFF, 0x40000, 0x40001, 0xFFFFF, 0x100000};
    uint32_t seed = 20;
    for (uint32_t distance : thresholds) {
      for (uint32_t length : {2u, 3u, 4u, 5u, 6u, 258u, 259u, 260u, 261u, 600u}) {
        if (distance > 0x10000 && length != 5 && length != 260) continue;  // keeps the test quick
        copies.push_back(corpus::copyAtDistance(distance, length, seed++));
      }
    }
    all.push_back({"copies around the length corrections", copies});
  }
  return all;
}

// Levels 1, 3 and 5 stand for the three parsers: greedy, lazy and optimal.
TEST(PackRoundTrip, EveryCorpusDecodesByteExactWithEachParserSolidAndNot) {
  WrittenCounts total;
  for (const Corpus& c : corpora()) {
    for (int level = MinLevel; level <= MaxLevel; level += 2) {
      for (bool solid : {true, false}) {
        std::string what = std::string(c.name) + " level " + std::to_string(level) +
                           (solid ? " solid" : " not solid");
        Packed packed = pack(c.files, level, solid);
        expectRoundTrip(c.files, packed, solid, what);
        for (int s = 0; s < MainSymbols; ++s) total.main[s] += packed.counts.main[s];
        total.keptHeaders += packed.counts.keptHeaders;
        total.trailingHeaders += packed.counts.trailingHeaders;
      }
    }
  }
  uint64_t literals = 0, longMatches = 0;
  for (int s = 0; s < 256; ++s) literals += total.main[s];
  for (int s = FirstLongMatch; s < MainSymbols; ++s) longMatches += total.main[s];
  EXPECT_GT(literals, 0u);
  EXPECT_GT(longMatches, 0u);
  for (int s = RepeatLastMatch; s <= static_cast<int>(TableChange); ++s) {
    EXPECT_GT(total.main[s], 0u) << "symbol " << s << " never written";
  }
  EXPECT_GT(total.keptHeaders, 0u);
  EXPECT_GT(total.trailingHeaders, 0u);
}

TEST(PackRoundTrip, EveryLevelDecodesAMixedSolidChain) {
  Files files = {corpus::text(120000, 30), corpus::records(60000, 31),     {},
                 corpus::runs(50000, 32),  corpus::randomBytes(20000, 33), {0x7F},
                 corpus::text(120000, 30)};  // the last repeats the first, 350 KB back
  size_t previousSize = SIZE_MAX;
  for (int level = MinLevel; level <= MaxLevel; ++level) {
    Packed packed = pack(files, level, true);
    expectRoundTrip(files, packed, true, "level " + std::to_string(level));
    size_t size = 0;
    for (const Bytes& entry : packed.entries) size += entry.size();
    EXPECT_LT(packed.entries.back().size(), 200u) << "level " << level;  // copied whole
    if (level == MinLevel || level == MaxLevel) {
      EXPECT_LT(size, previousSize) << "level " << level;  // the top level beats the lowest
      previousSize = size;
    }
  }
}

}  // namespace
}  // namespace tvpack

namespace tvpack {
namespace {

TEST(TrailingTables, PaddingMovesTheEndPastEveryEmptyRefill) {
  struct Case {
    size_t packedSize, padding;
  };
  // The last fill holds the data up to buffer index 8192 (first fill) or
  // 8192 + k * 8160 of the stream; ends at indexes 8163..8192 are moved to 8193.
  const Case cases[] = {{0, 0},     {8162, 0},   {8163, 30}, {8180, 13},  {8192, 1},
                        {8193, 0},  {9000, 0},   {16322, 0}, {16323, 30}, {16352, 1},
                        {16353, 0}, {24483, 30}, {24512, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(trailingTablePadding(c.packedSize), c.padding) << c.packedSize;
}

TEST(TrailingTables, EntryEndingNearTheBufferEndStillHandsItsTablesOn) {
  // A random first file (literals, about one byte each) whose data with the
  // next file's tables ends just short of index 8192; the run after it needs
  // those tables, which are short (few symbols), so the last literals of the
  // first file already lie beyond index 8162. Sizes are tried until one lands
  // there.
  Files files;
  Packed packed;
  for (size_t size = 7900; size < 8200; ++size) {
    files = {corpus::randomBytes(size, 11), Bytes(3000, 'a')};
    packed = pack(files, 1, true);
    if (packed.counts.paddingBytes >= 1 && packed.counts.paddingBytes <= 4) break;
  }
  ASSERT_GE(packed.counts.paddingBytes, 1u);
  ASSERT_LE(packed.counts.paddingBytes, 4u);
  ASSERT_EQ(packed.counts.trailingHeaders, 1u);
  expectRoundTrip(files, packed, true, "padded");

  // Without the padding the decoder's refill comes up empty before the table
  // change, its trailing check sees too few bytes, and the second file is
  // decoded with the wrong tables.
  Packed unpadded = packed;
  unpadded.entries[0].resize(unpadded.entries[0].size() - packed.counts.paddingBytes);
  fixtures::Decoder decoder;
  EXPECT_TRUE(decoder.decode(unpadded.entries[0], static_cast<uint32_t>(files[0].size())) ==
              files[0]);
  EXPECT_FALSE(decoder.decode(unpadded.entries[1], static_cast<uint32_t>(files[1].size()), true) ==
               files[1]);
}

}  // namespace
}  // namespace tvpack
