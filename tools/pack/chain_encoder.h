// Encodes one chain of entries into packed data: the entries of a solid
// archive share one window, one match state and one series of blocks; a
// non-solid archive makes one chain per entry. Input arrives in pieces (so a
// large file need not be held whole), the parse runs behind it, and each
// entry's packed bytes leave through the sink once its last bits are known.
//
// Levels trade speed for size:
//   1  greedy, hash chains of 4 steps;
//   2..5  lazy evaluation of the next position, chains of 12, 48, 192 and
//      512 steps.
// Every choice is priced with the code lengths of the block written last.
#pragma once

#include <cstdint>
#include <vector>

#include "pack/block_coder.h"
#include "pack/match_finder.h"
#include "pack/symbol_coder.h"

namespace tvpack {

constexpr int MinLevel = 1;
constexpr int MaxLevel = 5;

class ChainEncoder {
 public:
  ChainEncoder(int level, BlockCoder::EntrySink sink);

  // The first entry starts with construction.
  void beginEntry();
  void addData(const uint8_t* bytes, size_t count);
  void endEntry();
  // Hands over the packed bytes of every entry not yet handed over.
  void finish();

  const WrittenCounts& counts() const { return blocks_.counts(); }

 private:
  struct Choice {
    uint32_t length = 0;  // 0: a literal
    uint32_t distance = 0;
    float gain = 0;  // bits saved against literals
  };

  void parse(uint64_t until);
  Choice bestChoice(uint64_t position, uint32_t limit);
  float literalBits(uint64_t position, uint32_t length);
  bool priceMatch(const MatchState& state, uint32_t length, uint32_t distance, float* bits) const;
  void emitLiteral(uint64_t position);
  void emitMatch(uint32_t length, uint32_t distance);
  void insertUpTo(uint64_t position);

  int level_;
  int depth_;
  uint32_t niceLength_;
  bool lazy_;
  MatchFinder finder_;
  BlockCoder blocks_;
  MatchState state_;
  uint64_t position_ = 0;                // next position to parse
  uint64_t inserted_ = 0;                // positions below this are in the match finder
  uint64_t entryEnd_ = 0;                // end of the current entry's bytes received so far
  uint64_t literalSumsAt_ = UINT64_MAX;  // position of literalSums_[0]
  std::vector<float> literalSums_;       // [n]: price of the n literals from there
};

}  // namespace tvpack
