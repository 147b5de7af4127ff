// Turns the coded symbols of one chain of entries (a whole solid archive, or
// one entry of a non-solid one) into each entry's packed bytes.
//
// Symbols are grouped into blocks, each with its own Huffman tables. Symbols
// arrive in segments (cut at every entry start and every SegmentSymbols); a
// segment starts a new block when its own tables plus a new table header cost
// less than coding it with the current block's tables. The first block's table
// header opens the chain's first entry (the decoder reads it at a non-solid
// start); every later header follows a table-change symbol 269 coded with the
// block before. When a block starts with an entry, its 269 and header end the
// previous entry's data, which the decoder reads as a trailing table change.
//
// The end of an entry is read correctly either way:
// - without trailing tables the data ends inside the last symbol's byte, so
//   fewer than the 5 bytes the decoder's trailing check needs remain;
// - with trailing tables at least 10 bytes remain from the 269 on (a header
//   alone is 78 bits), unless a refill of the input buffer came up empty after
//   the last packed byte had been read, which makes the decoder forget how
//   many bytes it holds. That can only happen when the data ends at buffer
//   index 8163..8192 of its last fill (the main loop refills above index 8162;
//   every fill after the first brings 8160 bytes and keeps 32), so such an
//   entry gets zero bytes appended until the last fill ends one byte later
//   (at index 8193, the next refill reading one byte).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pack/bit_writer.h"
#include "pack/huffman_code.h"
#include "pack/symbol_coder.h"
#include "pack/table_writer.h"

namespace tvpack {

// Bit prices of the symbols under the last tables written, for the parser.
struct SymbolPrices {
  float main[MainSymbols];
  float distance[DistanceSymbols];
  float repeatLength[RepeatLengthSymbols];
};

// Symbol counts of a block or segment.
struct SymbolStats {
  uint32_t main[MainSymbols] = {};
  uint32_t distance[DistanceSymbols] = {};
  uint32_t repeatLength[RepeatLengthSymbols] = {};
  uint32_t symbols = 0;
  uint64_t extraBits = 0;

  void count(const CodedSymbol& symbol);
  void add(const SymbolStats& other);
};

// What the coder wrote so far: every main symbol (269 included) and the kinds
// of table header. Lets a caller report, and the tests see which paths of the
// decoder the output exercises.
struct WrittenCounts {
  uint64_t main[MainSymbols] = {};
  uint64_t headers = 0;
  uint64_t keptHeaders = 0;      // coded relative to the previous tables
  uint64_t trailingHeaders = 0;  // ending an entry's data
  uint64_t paddingBytes = 0;     // zero bytes appended after trailing tables
};

// Zero bytes to append to an entry whose data ends with a trailing table change.
size_t trailingTablePadding(size_t packedSize);

class BlockCoder {
 public:
  // Receives the packed bytes of the entries in order, a large entry in
  // several pieces: `last` marks an entry's final piece (possibly empty).
  using EntrySink = std::function<void(std::vector<uint8_t>&& piece, bool last)>;

  explicit BlockCoder(EntrySink sink);

  // The chain's first entry starts with construction; this starts the next one.
  void beginEntry();
  void add(const CodedSymbol& symbol);
  // Writes what is left and hands over the remaining entries.
  void finish();

  const SymbolPrices& prices() const { return prices_; }
  const WrittenCounts& counts() const { return counts_; }

 private:
  void closeSegment();
  void writeBlock(bool followed);
  void writeSymbol(const CodedSymbol& symbol);
  void finishEntry();

  EntrySink sink_;
  std::vector<CodedSymbol> segment_, block_;  // markers (main 0xFFFF) start entries
  SymbolStats segmentStats_, blockStats_;
  bool firstBlock_ = true;
  HuffmanCode main_, distance_, repeatLength_;  // the tables of the last block written
  uint8_t saved_[LzTableLength] = {};           // the decoder's saved lengths
  BitWriter entry_;
  uint64_t entryHandedOver_ = 0;  // bytes of the current entry already given to the sink
  int pendingEntries_ = 0;        // entries started whose first symbol is not written yet
  bool endsWithTables_ = false;   // the current entry's data ends with 269 and a header
  SymbolPrices prices_;
  WrittenCounts counts_;
};

}  // namespace tvpack
