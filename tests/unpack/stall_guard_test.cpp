// Damaged streams that would keep the main loop going without producing a
// byte end their entry; streams that only look like that (many table changes
// in a row, input cut short) decode as before.
#include <gtest/gtest.h>

#include <vector>

#include "pack/bit_writer.h"
#include "unpack/decoder_harness.h"
#include "unpack/packed_stream.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;
using fixtures::HeaderWriter;
using fixtures::PackedStream;

TEST(StallGuard, EndlessEmptyRepeatsEndTheEntry) {
  // Symbol 256 has the code 0 and the last match length is 0: the zero bits
  // after the stream's end repeat an empty match for ever.
  fixtures::LzLengths lengths{std::vector<uint8_t>(298, 0), std::vector<uint8_t>(48, 0),
                              std::vector<uint8_t>(28, 0)};
  lengths.main[256] = 1;
  lengths.main['a'] = lengths.main['b'] = 2;
  PackedStream stream(lengths);
  stream.tables().repeatLast().literal('a').repeatLast();
  Decoder decoder;
  EXPECT_EQ(decoder.decode(stream.bytes(), 100), Bytes{'a'});
  EXPECT_EQ(decoder.context()->unpackedLeft, 98);
}

TEST(StallGuard, EndlessTableChangesIntoStaleBytesEndTheEntry) {
  // Pre-code: 18 is the shortest code, so an empty pre-code rebuilt from zero
  // bits yields 18 (all lengths 0); main code: 269 is the shortest, so the
  // empty main table then yields 269 again and again.
  std::vector<uint8_t> preCode(19, 0);
  preCode[18] = 1;
  preCode[1] = 2;
  preCode[2] = 2;
  tvpack::BitWriter out;
  HeaderWriter header(out, false, false, 1, preCode);
  header.zeros('a').length(2).length(2).zeros(269 - 'c').length(1).zeros(374 - 270);
  fixtures::LzLengths lengths{std::vector<uint8_t>(298, 0), std::vector<uint8_t>(48, 0),
                              std::vector<uint8_t>(28, 0)};
  lengths.main['a'] = lengths.main['b'] = 2;
  lengths.main[269] = 1;
  const tvpack::HuffmanCode main = tvpack::makeHuffmanCode(lengths.main);
  tvpack::writeSymbol(out, main, 'a');
  tvpack::writeSymbol(out, main, 'b');
  tvpack::writeSymbol(out, main, 269);
  Decoder decoder;
  EXPECT_EQ(decoder.decode(out.finish(), 50), (Bytes{'a', 'b'}));
  EXPECT_EQ(decoder.context()->mainTable.symbols[0], 269u);
}

TEST(StallGuard, ManyTableChangesInARowStillDecode) {
  PackedStream stream;
  stream.tables().literal('x');
  for (int i = 0; i < 300; ++i) stream.tableChange().tables(i % 2 == 0);
  stream.repeatLast().literals({'y', 'z'});
  Decoder decoder;
  EXPECT_EQ(decoder.decode(stream.bytes(), 3), (Bytes{'x', 'y', 'z'}));
}

TEST(StallGuard, EntryCutShortStillProducesItsSize) {
  // The header promises 5000 packed bytes, the file holds far fewer: the loop
  // decodes the stale buffer until the stored size is produced.
  PackedStream stream;
  stream.tables();
  for (int i = 0; i < 100; ++i) stream.literal(static_cast<uint8_t>(i)).match(3, 1 + i % 7);
  const Bytes packed = stream.bytes();
  Decoder decoder;
  const Bytes out = decoder.decode(packed, 200000, false, 5000);
  EXPECT_GE(out.size(), 200000u);
  EXPECT_LE(out.size(), 200000u + 259);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[4 * i], i) << "the bytes before the cut are right";
}

}  // namespace
