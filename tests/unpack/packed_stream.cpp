// Packed stream builder of the decoder tests.
#include "unpack/packed_stream.h"

#include <span>
#include <stdexcept>

#include "pack/table_writer.h"
#include "unpack/lz_tables.h"

namespace fixtures {

std::vector<uint8_t> LzLengths::all() const {
  std::vector<uint8_t> list(main);
  list.insert(list.end(), distance.begin(), distance.end());
  list.insert(list.end(), repeatLength.begin(), repeatLength.end());
  return list;
}

LzLengths everySymbolCoded() {
  // 298 codes of 9 bits use 298/512 of the code space, 48 of 6 bits 48/64,
  // 28 of 5 bits 28/32: incomplete but valid prefix codes.
  return {std::vector<uint8_t>(298, 9), std::vector<uint8_t>(48, 6), std::vector<uint8_t>(28, 5)};
}

namespace {

int checkedSlot(int slot) {
  if (slot < 0) throw std::out_of_range("value outside every slot");
  return slot;
}

int lengthSlotOf(uint32_t value) {
  return checkedSlot(slotOf(lengthBase, lengthExtraBits, LengthSlots, value));
}

}  // namespace

PackedStream::PackedStream(const LzLengths& lengths) : saved_(tvpack::LzTableLength, 0) {
  useCodes(lengths);
}

void PackedStream::useCodes(const LzLengths& lengths) {
  lengths_ = lengths;
  main_ = tvpack::makeHuffmanCode(lengths.main);
  distance_ = tvpack::makeHuffmanCode(lengths.distance);
  repeatLength_ = tvpack::makeHuffmanCode(lengths.repeatLength);
}

PackedStream& PackedStream::tables(bool keep) {
  return tables(lengths_, keep);
}

PackedStream& PackedStream::tables(const LzLengths& lengths, bool keep) {
  useCodes(lengths);
  const std::vector<uint8_t> list = lengths.all();
  tvpack::writeTableHeader(out_, list, saved_, keep);
  saved_ = list;
  return *this;
}

PackedStream& PackedStream::mainSymbol(int symbol) {
  if (lengths_.main.at(symbol) == 0) throw std::logic_error("main symbol without a code");
  tvpack::writeSymbol(out_, main_, symbol);
  return *this;
}

PackedStream& PackedStream::bits(uint32_t value, int count) {
  if (count > 0) out_.writeBits(value, count);
  return *this;
}

PackedStream& PackedStream::literal(uint8_t byte) {
  return mainSymbol(byte);
}

PackedStream& PackedStream::literals(const Bytes& bytes) {
  for (uint8_t byte : bytes) literal(byte);
  return *this;
}

PackedStream& PackedStream::longMatch(int lengthSlot, uint32_t lengthExtra, int distanceSlot,
                                      uint32_t distanceExtra) {
  mainSymbol(FirstLongMatch + lengthSlot);
  bits(lengthExtra, lengthExtraBits[lengthSlot]);
  tvpack::writeSymbol(out_, distance_, distanceSlot);
  return bits(distanceExtra, distanceExtraBits[distanceSlot]);
}

PackedStream& PackedStream::match(uint32_t length, uint32_t distance) {
  const uint32_t coded =
      length - MinLongMatch - (distance >= LongerFrom8K) - (distance >= LongerFrom256K);
  const int lengthSlot = lengthSlotOf(coded);
  const int distanceSlot =
      checkedSlot(slotOf(distanceBase, distanceExtraBits, DistanceSlots, distance - 1));
  return longMatch(lengthSlot, coded - lengthBase[lengthSlot], distanceSlot,
                   distance - 1 - distanceBase[distanceSlot]);
}

PackedStream& PackedStream::shortMatch(int slot, uint32_t extra) {
  mainSymbol(FirstShortMatch + slot);
  return bits(extra, shortDistanceExtraBits[slot]);
}

PackedStream& PackedStream::recent(int age, uint32_t uncorrectedLength) {
  mainSymbol(RepeatLastMatch + age);
  const uint32_t coded = uncorrectedLength - MinRepeatMatch;
  const int slot = lengthSlotOf(coded);
  tvpack::writeSymbol(out_, repeatLength_, slot);
  return bits(coded - lengthBase[slot], lengthExtraBits[slot]);
}

PackedStream& PackedStream::repeatLast() {
  return mainSymbol(RepeatLastMatch);
}
PackedStream& PackedStream::tableChange() {
  return mainSymbol(TableChange);
}

Bytes PackedStream::bytes() const {
  tvpack::BitWriter copy = out_;
  return copy.finish();
}

HeaderWriter::HeaderWriter(tvpack::BitWriter& out, bool audio, bool keep, int channels,
                           const std::vector<uint8_t>& preCodeLengths)
    : out_(out), preCode_(tvpack::makeHuffmanCode(preCodeLengths)) {
  out_.writeBits(audio, 1);
  out_.writeBits(keep, 1);
  if (audio) out_.writeBits(channels - 1, 2);
  for (uint8_t length : preCodeLengths) out_.writeBits(length, 4);
}

HeaderWriter& HeaderWriter::length(int symbol) {
  tvpack::writeSymbol(out_, preCode_, symbol);
  return *this;
}

HeaderWriter& HeaderWriter::repeatPrevious(int count) {
  return run(16, count - 3, 2);
}

HeaderWriter& HeaderWriter::zeros(int count) {
  while (count >= 11) {
    int take = count > 138 ? 138 : count;
    if (count - take > 0 && count - take < 3) take = count - 3;  // leave a whole run
    run(18, take - 11, 7);
    count -= take;
  }
  if (count > 0) run(17, count - 3, 3);
  return *this;
}

HeaderWriter& HeaderWriter::run(int symbol, uint32_t extra, int bits) {
  length(symbol);
  out_.writeBits(extra, bits);
  return *this;
}

}  // namespace fixtures
