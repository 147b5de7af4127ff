// Block splitting and writing of a chain's symbols; see block_coder.h.
#include "pack/block_coder.h"

#include <algorithm>
#include <span>

namespace tvpack {
namespace {

constexpr uint16_t EntryMarker = 0xFFFF;
constexpr uint32_t SegmentSymbols = 16384;
constexpr uint32_t MaxBlockSymbols = 262144;  // bounds the symbols held back per block
// Packed bytes of an entry leave in pieces of about this size.
constexpr size_t PieceBytes = 1u << 20;

// Bit index at which the decoder's main loop refills (it refills above 8162),
// and what each refill brings.
constexpr size_t RefillAbove = 8162;
constexpr size_t RefillBytes = 8160;
constexpr size_t BufferBytes = 8192;

struct BlockLengths {
  std::vector<uint8_t> main, distance, repeatLength;
  std::vector<uint8_t> all() const {
    std::vector<uint8_t> lengths(main);
    lengths.insert(lengths.end(), distance.begin(), distance.end());
    lengths.insert(lengths.end(), repeatLength.begin(), repeatLength.end());
    return lengths;
  }
};

BlockLengths lengthsFor(const SymbolStats& stats) {
  return {buildCodeLengths(stats.main), buildCodeLengths(stats.distance),
          buildCodeLengths(stats.repeatLength)};
}

template <size_t N>
uint64_t codedBits(const uint32_t (&counts)[N], const std::vector<uint8_t>& lengths) {
  uint64_t bits = 0;
  for (size_t s = 0; s < N; ++s) bits += uint64_t{counts[s]} * lengths[s];
  return bits;
}

// Bits of a block with these counts under its own tables, header included.
uint64_t blockBits(const SymbolStats& stats) {
  BlockLengths lengths = lengthsFor(stats);
  std::vector<uint8_t> all = lengths.all();
  return codedBits(stats.main, lengths.main) + codedBits(stats.distance, lengths.distance) +
         codedBits(stats.repeatLength, lengths.repeatLength) + stats.extraBits +
         tableHeaderBits(all, all, false);
}

template <size_t N>
void setPrices(float (&prices)[N], const std::vector<uint8_t>& lengths, float unseen) {
  for (size_t s = 0; s < N; ++s) prices[s] = lengths[s] ? lengths[s] : unseen;
}

}  // namespace

void SymbolStats::count(const CodedSymbol& symbol) {
  ++symbols;
  ++main[symbol.main];
  if (symbol.main >= FirstLongMatch) {
    ++distance[symbol.slot];
  } else if (symbol.main >= FirstRecentDistance && symbol.main < FirstShortMatch) {
    ++repeatLength[symbol.slot];
  }
  extraBits += symbol.lengthBits + symbol.distanceBits;
}

void SymbolStats::add(const SymbolStats& other) {
  for (int s = 0; s < MainSymbols; ++s) main[s] += other.main[s];
  for (int s = 0; s < DistanceSymbols; ++s) distance[s] += other.distance[s];
  for (int s = 0; s < RepeatLengthSymbols; ++s) repeatLength[s] += other.repeatLength[s];
  symbols += other.symbols;
  extraBits += other.extraBits;
}

size_t trailingTablePadding(size_t packedSize) {
  if (packedSize <= RefillAbove) return 0;
  size_t intoFill = (packedSize - (RefillAbove + 1)) % RefillBytes;  // 0 at index 8163
  size_t dangerous = BufferBytes - RefillAbove;                      // indexes 8163..8192
  return intoFill < dangerous ? dangerous - intoFill : 0;
}

BlockCoder::BlockCoder(EntrySink sink) : sink_(std::move(sink)) {
  // Before any block: literals about a byte, matches a little less.
  for (int s = 0; s < MainSymbols; ++s) prices_.main[s] = s < 256 ? 8.5f : 7.0f;
  std::fill(std::begin(prices_.distance), std::end(prices_.distance), 5.0f);
  std::fill(std::begin(prices_.repeatLength), std::end(prices_.repeatLength), 4.0f);
}

void BlockCoder::beginEntry() {
  closeSegment();
  segment_.push_back({EntryMarker, 0, 0, 0, 0, 0, 0});
}

void BlockCoder::add(const CodedSymbol& symbol) {
  segment_.push_back(symbol);
  segmentStats_.count(symbol);
  if (segmentStats_.symbols >= SegmentSymbols) closeSegment();
}

void BlockCoder::closeSegment() {
  if (segment_.empty()) return;
  bool split = false;
  if (blockStats_.symbols != 0 && segmentStats_.symbols != 0) {
    if (blockStats_.symbols + segmentStats_.symbols > MaxBlockSymbols) {
      split = true;
    } else {
      SymbolStats merged = blockStats_;
      merged.add(segmentStats_);
      split = blockBits(blockStats_) + blockBits(segmentStats_) < blockBits(merged);
    }
  }
  if (split) {
    writeBlock(true);
    block_.clear();
    blockStats_ = SymbolStats();
  }
  block_.insert(block_.end(), segment_.begin(), segment_.end());
  blockStats_.add(segmentStats_);
  segment_.clear();
  segmentStats_ = SymbolStats();
}

void BlockCoder::writeBlock(bool followed) {
  if (followed) ++blockStats_.main[TableChange];
  BlockLengths lengths = lengthsFor(blockStats_);
  std::vector<uint8_t> all = lengths.all();
  if (!firstBlock_) {
    tvpack::writeSymbol(entry_, main_, TableChange);  // coded with the block before
    ++counts_.main[TableChange];
    endsWithTables_ = true;
  }
  bool keep = tableHeaderBits(all, saved_, true) < tableHeaderBits(all, saved_, false);
  ++counts_.headers;
  counts_.keptHeaders += keep;
  writeTableHeader(entry_, all, saved_, keep);
  std::copy(all.begin(), all.end(), saved_);
  firstBlock_ = false;
  main_ = makeHuffmanCode(lengths.main);
  distance_ = makeHuffmanCode(lengths.distance);
  repeatLength_ = makeHuffmanCode(lengths.repeatLength);
  for (const CodedSymbol& symbol : block_) {
    if (symbol.main == EntryMarker) {
      ++pendingEntries_;
    } else {
      writeSymbol(symbol);
      if (entry_.byteCount() >= PieceBytes) {
        entryHandedOver_ += entry_.byteCount();
        sink_(entry_.takeBytes(), false);
      }
    }
  }
  // Symbols that never occurred get a price a little above the longest code.
  setPrices(prices_.main, lengths.main, 15.0f);
  setPrices(prices_.distance, lengths.distance, 8.0f);
  setPrices(prices_.repeatLength, lengths.repeatLength, 6.0f);
}

void BlockCoder::writeSymbol(const CodedSymbol& symbol) {
  while (pendingEntries_ > 0) {
    finishEntry();
    --pendingEntries_;
  }
  endsWithTables_ = false;
  ++counts_.main[symbol.main];
  tvpack::writeSymbol(entry_, main_, symbol.main);
  if (symbol.main >= FirstLongMatch) {
    entry_.writeBits(symbol.lengthExtra, symbol.lengthBits);
    tvpack::writeSymbol(entry_, distance_, symbol.slot);
    entry_.writeBits(symbol.distanceExtra, symbol.distanceBits);
  } else if (symbol.main >= FirstShortMatch) {
    entry_.writeBits(symbol.distanceExtra, symbol.distanceBits);
  } else if (symbol.main >= FirstRecentDistance) {
    tvpack::writeSymbol(entry_, repeatLength_, symbol.slot);
    entry_.writeBits(symbol.lengthExtra, symbol.lengthBits);
  }
}

void BlockCoder::finishEntry() {
  std::vector<uint8_t> packed = entry_.finish();
  if (endsWithTables_) {
    size_t padding = trailingTablePadding(entryHandedOver_ + packed.size());
    packed.resize(packed.size() + padding, 0);
    ++counts_.trailingHeaders;
    counts_.paddingBytes += padding;
  }
  endsWithTables_ = false;
  entryHandedOver_ = 0;
  sink_(std::move(packed), true);
}

void BlockCoder::finish() {
  closeSegment();
  writeBlock(false);
  block_.clear();
  blockStats_ = SymbolStats();
  finishEntry();
  for (; pendingEntries_ > 0; --pendingEntries_) finishEntry();
}

}  // namespace tvpack
