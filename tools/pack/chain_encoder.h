// Encodes one chain of entries into packed data: the entries of a solid
// archive share one window, one match state and one series of blocks; a
// non-solid archive makes one chain per entry. Input arrives in pieces (so a
// large file need not be held whole), the parse runs behind it, and each
// entry's packed bytes leave through the sink once its last bits are known.
//
// Levels trade speed for size:
//   1  greedy, hash chains of 4 steps;
//   2, 3  lazy evaluation of the next position, chains of 8 and 48 steps;
//   4, 5  near-optimal parse: the cheapest path through stretches of 4096
//      positions over every match length found, chains of 24 and 96 steps.
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

  struct Node {
    float price;      // bits from the stretch's start
    uint32_t from;    // node the cheapest way comes from
    uint32_t length;  // 0: a literal
    uint32_t distance;
    MatchState state;  // as that way leaves it; set when the node is visited
  };

  void parse(uint64_t until);
  void parseOptimal(uint64_t until);
  void updateTablePrices();
  float distancePrice(uint32_t distance) const;
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
  bool optimal_;
  MatchFinder finder_;
  BlockCoder blocks_;
  MatchState state_;
  uint64_t position_ = 0;                // next position to parse
  uint64_t inserted_ = 0;                // positions below this are in the match finder
  uint64_t entryEnd_ = 0;                // end of the current entry's bytes received so far
  uint64_t literalSumsAt_ = UINT64_MAX;  // position of literalSums_[0]
  std::vector<float> literalSums_;       // [n]: price of the n literals from there
  // Optimal parse: nodes of one stretch, the path found, current length prices.
  std::vector<Node> nodes_;
  std::vector<uint32_t> path_;
  std::vector<MatchCandidate> candidates_;
  float longLengthPrice_[256];    // main symbol and extra bits of a long match's length
  float repeatLengthPrice_[256];  // length slot and extra bits at a recent distance
};

}  // namespace tvpack
