// Builds packed streams for the decoder tests with the packer's bit writer and
// canonical codes: a table header, then literals, matches and control codes
// given by value (or by raw slot and extra bits where a test is about a slot).
// The default tables give every symbol a code, so a test can emit anything.
#pragma once

#include <cstdint>
#include <vector>

#include "pack/bit_writer.h"
#include "pack/huffman_code.h"

namespace fixtures {

using Bytes = std::vector<uint8_t>;

// Code lengths of one LZ table header: main, distance, repeat-length.
struct LzLengths {
  std::vector<uint8_t> main;
  std::vector<uint8_t> distance;
  std::vector<uint8_t> repeatLength;
  std::vector<uint8_t> all() const;  // the 374 lengths in header order
};

// Every main symbol 9 bits, every distance slot 6, every repeat slot 5.
LzLengths everySymbolCoded();

class PackedStream {
 public:
  explicit PackedStream(const LzLengths& lengths = everySymbolCoded());

  // A table header for the lengths given at construction (or new ones); with
  // keep, coded relative to the previous header's lengths.
  PackedStream& tables(bool keep = false);
  PackedStream& tables(const LzLengths& lengths, bool keep);

  PackedStream& literal(uint8_t byte);
  PackedStream& literals(const Bytes& bytes);
  // A long match (symbols 270..297) of the given final length and distance:
  // the length corrections for the distance are taken off before coding.
  PackedStream& match(uint32_t length, uint32_t distance);
  // Raw long match: length slot and its extra bits, distance slot and its bits.
  PackedStream& longMatch(int lengthSlot, uint32_t lengthExtra, int distanceSlot,
                          uint32_t distanceExtra);
  // Length-2 match with a short distance slot (symbols 261..268).
  PackedStream& shortMatch(int slot, uint32_t extra);
  // Repeated distance: age 1 (newest) .. 4; the length before the decoder adds
  // its corrections for the distance it finds in its ring (2 and up).
  PackedStream& recent(int age, uint32_t uncorrectedLength);
  PackedStream& repeatLast();   // symbol 256
  PackedStream& tableChange();  // symbol 269
  PackedStream& mainSymbol(int symbol);
  PackedStream& bits(uint32_t value, int count);

  // The bytes written so far, padded to a byte; the stream stays usable.
  Bytes bytes() const;
  size_t bitCount() const { return out_.bitCount(); }

 private:
  void useCodes(const LzLengths& lengths);

  tvpack::BitWriter out_;
  LzLengths lengths_;
  std::vector<uint8_t> saved_;
  tvpack::HuffmanCode main_, distance_, repeatLength_;
};

// Writes a table header by hand: flags, the 19 pre-code lengths (by default 5
// bits for every pre-code symbol), then whatever tokens a test asks for.
class HeaderWriter {
 public:
  HeaderWriter(tvpack::BitWriter& out, bool audio, bool keep, int channels = 1,
               const std::vector<uint8_t>& preCodeLengths = std::vector<uint8_t>(19, 5));
  HeaderWriter& length(int symbol);         // pre-code symbol 0..18 without extra bits
  HeaderWriter& repeatPrevious(int count);  // 16: 3..6 copies
  HeaderWriter& zeros(int count);           // 3 and more zeros, as runs of 17 and 18
  HeaderWriter& run(int symbol, uint32_t extra, int bits);

 private:
  tvpack::BitWriter& out_;
  tvpack::HuffmanCode preCode_;
};

// Slot of value in a slot table (base plus extra bits): the slot whose range
// holds it.
template <typename Base>
int slotOf(const Base* base, const uint8_t* extraBits, int slots, uint32_t value) {
  for (int slot = 0; slot < slots; ++slot) {
    if (value >= base[slot] && value - base[slot] < (1u << extraBits[slot])) return slot;
  }
  return -1;
}

}  // namespace fixtures
