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
  uint32_t niceLength;  // a match this long ends the search
  bool lazy;
};
constexpr LevelSettings Levels[MaxLevel + 1] = {{0, 0, false},    {4, 32, false},
                                                {12, 64, true},   {48, 128, true},
                                                {192, 260, true}, {512, 260, true}};

// A match at least this long is taken without looking one position further.
constexpr uint32_t LazyEnough = 128;

}  // namespace

ChainEncoder::ChainEncoder(int level, BlockCoder::EntrySink sink)
    : level_(std::clamp(level, MinLevel, MaxLevel)),
      depth_(Levels[level_].depth),
      niceLength_(Levels[level_].niceLength),
      lazy_(Levels[level_].lazy),
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
