// The parser of a chain: picks literals and matches from the match finder's
// candidates and the recent distances, prices them with the current tables,
// and hands the coded symbols to the block coder.
#include "pack/chain_encoder.h"

#include <algorithm>

namespace tvpack {
namespace {

// Input is taken in pieces of at most this size so the match finder's buffer
// stays bounded.
constexpr size_t PieceSize = 1u << 20;

struct LevelSettings {
  int depth;            // hash-chain steps per search
  uint32_t niceLength;  // a match this long ends the search (and, optimal, the stretch)
  bool lazy;
  bool optimal;
};
constexpr LevelSettings Levels[MaxLevel + 1] = {{0, 0, false, false},  {4, 32, false, false},
                                                {8, 32, true, false},  {48, 128, true, false},
                                                {24, 64, false, true}, {96, 128, false, true}};

// The optimal parse finds the cheapest path through one stretch of positions
// at a time; longer stretches see more but cost memory for their nodes.
constexpr uint32_t OptimalStretch = 4096;
constexpr float Unreached = 1e30f;

// A match at least this long is taken without looking one position further.
constexpr uint32_t LazyEnough = 128;

}  // namespace

ChainEncoder::ChainEncoder(int level, BlockCoder::EntrySink sink)
    : level_(std::clamp(level, MinLevel, MaxLevel)),
      depth_(Levels[level_].depth),
      niceLength_(Levels[level_].niceLength),
      lazy_(Levels[level_].lazy),
      optimal_(Levels[level_].optimal),
      blocks_(std::move(sink)) {}

void ChainEncoder::beginEntry() {
  blocks_.beginEntry();
}

void ChainEncoder::addData(const uint8_t* bytes, size_t count) {
  while (count > 0) {
    size_t piece = std::min(count, PieceSize);
    finder_.append(bytes, piece, position_);
    entryEnd_ += piece;
    bytes += piece;
    count -= piece;
    // Parse only where the longest match still fits in the bytes received.
    if (entryEnd_ > position_ + MaxMatchLength) parse(entryEnd_ - MaxMatchLength);
  }
}

void ChainEncoder::endEntry() {
  parse(entryEnd_);
}

void ChainEncoder::finish() {
  blocks_.finish();
}

void ChainEncoder::insertUpTo(uint64_t position) {
  for (; inserted_ < position; ++inserted_) finder_.insert(inserted_);
}

float ChainEncoder::literalBits(uint64_t position, uint32_t length) {
  // Running sums of the literal prices from position on, extended on demand.
  if (literalSumsAt_ != position) {
    literalSumsAt_ = position;
    literalSums_.assign(1, 0.0f);
  }
  const uint8_t* bytes = finder_.at(position);
  const SymbolPrices& prices = blocks_.prices();
  for (size_t i = literalSums_.size() - 1; i < length; ++i) {
    literalSums_.push_back(literalSums_.back() + prices.main[bytes[i]]);
  }
  return literalSums_[length];
}

bool ChainEncoder::priceMatch(const MatchState& state, uint32_t length, uint32_t distance,
                              float* bits) const {
  CodedSymbol symbol;
  if (!codeMatch(state, length, distance, &symbol)) return false;
  const SymbolPrices& prices = blocks_.prices();
  float total = prices.main[symbol.main] + symbol.lengthBits + symbol.distanceBits;
  if (symbol.main >= FirstLongMatch) {
    total += prices.distance[symbol.slot];
  } else if (symbol.main >= FirstRecentDistance && symbol.main < FirstShortMatch) {
    total += prices.repeatLength[symbol.slot];
  }
  *bits = total;
  return true;
}

ChainEncoder::Choice ChainEncoder::bestChoice(uint64_t position, uint32_t limit) {
  Choice best;
  if (limit < ShortMatchLength) return best;
  auto consider = [&](uint32_t length, uint32_t distance) {
    float bits;
    if (!priceMatch(state_, length, distance, &bits)) return;
    float gain = literalBits(position, length) - bits;
    if (gain > best.gain) best = {length, distance, gain};
  };
  for (int age = 1; age <= 4; ++age) {
    uint32_t distance = state_.recentDistance(age);
    if (distance == 0 || distance > position) continue;
    uint32_t length = finder_.matchLength(position, distance, limit);
    if (length < ShortMatchLength) continue;
    if (distance == state_.prevDistance && state_.prevLength <= length) {
      consider(state_.prevLength, distance);
    }
    consider(std::min(length, MinRepeatMatch + repeatCorrection(distance) + 255), distance);
  }
  MatchCandidate found = finder_.longestMatch(position, limit, depth_, niceLength_);
  if (found.length != 0) {
    consider(std::min(found.length, MinLongMatch + longCorrection(found.distance) + 255),
             found.distance);
  }
  uint32_t pair = finder_.pairDistance(position);
  if (pair != 0 && pair <= 256) consider(ShortMatchLength, pair);
  return best;
}

void ChainEncoder::emitLiteral(uint64_t position) {
  blocks_.add(codeLiteral(*finder_.at(position)));
}

void ChainEncoder::emitMatch(uint32_t length, uint32_t distance) {
  CodedSymbol symbol;
  codeMatch(state_, length, distance, &symbol);  // chosen only where it codes
  blocks_.add(symbol);
  state_.push(length, distance);
}

void ChainEncoder::parse(uint64_t until) {
  if (optimal_) {
    parseOptimal(until);
    return;
  }
  while (position_ < until) {
    insertUpTo(position_);
    uint32_t limit =
        static_cast<uint32_t>(std::min<uint64_t>(MaxMatchLength, entryEnd_ - position_));
    Choice choice = bestChoice(position_, limit);
    if (lazy_ && choice.length != 0 && choice.length < LazyEnough && limit > choice.length) {
      insertUpTo(position_ + 1);
      Choice next = bestChoice(position_ + 1, limit - 1);
      if (next.gain > choice.gain) choice.length = 0;
    }
    if (choice.length == 0) {
      emitLiteral(position_);
      ++position_;
    } else {
      emitMatch(choice.length, choice.distance);
      position_ += choice.length;
    }
  }
}

}  // namespace tvpack

namespace tvpack {

// ---- optimal parse ---------------------------------------------------------

void ChainEncoder::updateTablePrices() {
  const SymbolPrices& prices = blocks_.prices();
  for (uint32_t value = 0; value < 256; ++value) {
    int slot = lengthSlot(value);
    longLengthPrice_[value] = prices.main[FirstLongMatch + slot] + lengthExtraBits[slot];
    repeatLengthPrice_[value] = prices.repeatLength[slot] + lengthExtraBits[slot];
  }
}

float ChainEncoder::distancePrice(uint32_t distance) const {
  int slot = distanceSlot(distance - 1);
  return blocks_.prices().distance[slot] + distanceExtraBits[slot];
}

// Forward shortest path over the positions of one stretch: node i holds the
// cheapest known way to reach start + i, with the match state that way leaves.
// Every literal, every length of every match found (with the nearest distance
// for that length), every length at the recent distances of the node's own
// state, the repeat of its last match and the nearest short match are tried.
// A match of niceLength or more ends the stretch and is taken as it is.
void ChainEncoder::parseOptimal(uint64_t until) {
  const SymbolPrices& prices = blocks_.prices();
  while (position_ < until) {
    updateTablePrices();
    const uint64_t start = position_;
    uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(OptimalStretch, until - start));
    // Matches may run to the end of the bytes received, past the stretch.
    nodes_.assign(count + MaxMatchLength + 1, Node{Unreached, 0, 0, 0, {}});
    nodes_[0].price = 0;
    nodes_[0].state = state_;
    // A step from node `from`: a literal (length 0) or a match.
    auto relax = [&](uint32_t from, uint32_t length, uint32_t distance, float price) {
      Node& node = nodes_[from + std::max(length, 1u)];
      if (price >= node.price) return;
      node.price = price;
      node.from = from;
      node.length = length;
      node.distance = distance;
    };
    uint32_t last = count;  // the node the path ends at
    for (uint32_t i = 0; i < count; ++i) {
      Node& here = nodes_[i];
      if (i != 0) {  // the state the cheapest way here leaves, from the node it comes from
        here.state = nodes_[here.from].state;
        if (here.length != 0) here.state.push(here.length, here.distance);
      }
      const uint64_t position = start + i;
      insertUpTo(position);
      const float base = here.price;
      const uint8_t byte = *finder_.at(position);
      relax(i, 0, byte, base + prices.main[byte]);
      const uint32_t limit =
          static_cast<uint32_t>(std::min<uint64_t>(MaxMatchLength, entryEnd_ - position));
      if (limit < ShortMatchLength) continue;
      const MatchState state = here.state;
      uint32_t longest = 0, longestDistance = 0;

      for (int age = 1; age <= 4; ++age) {
        uint32_t distance = state.recentDistance(age);
        if (distance == 0 || distance > position) continue;
        bool seen = false;  // the coder uses the newest slot holding a distance
        for (int newer = 1; newer < age; ++newer) seen |= state.recentDistance(newer) == distance;
        if (seen) continue;
        uint32_t length = finder_.matchLength(position, distance, limit);
        if (length < ShortMatchLength) continue;
        if (length > longest) longest = length, longestDistance = distance;
        if (distance == state.prevDistance && state.prevLength <= length) {
          relax(i, state.prevLength, distance, base + prices.main[RepeatLastMatch]);
        }
        uint32_t correction = MinRepeatMatch + repeatCorrection(distance);
        float symbol = base + prices.main[FirstRecentDistance + age - 1];
        for (uint32_t l = correction; l <= length && l - correction <= 255; ++l) {
          relax(i, l, distance, symbol + repeatLengthPrice_[l - correction]);
        }
      }

      finder_.allMatches(position, limit, depth_, niceLength_, candidates_);
      uint32_t covered = ShortMatchLength;
      for (const MatchCandidate& match : candidates_) {
        uint32_t correction = MinLongMatch + longCorrection(match.distance);
        float symbol = base + distancePrice(match.distance);
        for (uint32_t l = std::max(covered + 1, correction);
             l <= match.length && l - correction <= 255; ++l) {
          relax(i, l, match.distance, symbol + longLengthPrice_[l - correction]);
        }
        covered = match.length;
        if (match.length > longest) longest = match.length, longestDistance = match.distance;
      }

      uint32_t pair = finder_.pairDistance(position);
      if (pair != 0 && pair <= 256) {
        int slot = shortDistanceSlot(pair - 1);
        relax(i, ShortMatchLength, pair,
              base + prices.main[FirstShortMatch + slot] + shortDistanceExtraBits[slot]);
      }

      if (longest >= niceLength_) {
        // Take it: the path to here, then this match, whatever it costs.
        uint32_t length = longest;
        CodedSymbol probe;
        if (!codeMatch(state, length, longestDistance, &probe)) {
          length = std::min(length, MinLongMatch + longCorrection(longestDistance) + 255);
        }
        Node& node = nodes_[i + length];
        node.from = i;
        node.length = length;
        node.distance = longestDistance;
        last = i + length;
        break;
      }
    }
    // Walk back from the end, then emit forwards.
    path_.clear();
    for (uint32_t at = last; at != 0; at = nodes_[at].from) path_.push_back(at);
    for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
      const Node& node = nodes_[*it];
      if (node.length == 0) {
        emitLiteral(start + *it - 1);
      } else {
        emitMatch(node.length, node.distance);
      }
    }
    position_ = start + last;
  }
}

}  // namespace tvpack
