// Hash-chain match finder; see match_finder.h.
#include "pack/match_finder.h"

#include <cstring>

#include "pack/symbol_coder.h"

namespace tvpack {
namespace {

constexpr uint32_t ChainMask = MaxDistance - 1;
// The buffer holds the reachable history plus up to this much unparsed input;
// appends come in pieces smaller than this.
constexpr size_t BufferSlack = 4u << 20;

}  // namespace

constexpr size_t FirstChainSize = 1u << 16;

MatchFinder::MatchFinder()
    : head_(size_t{1} << HashBits, 0), chain_(FirstChainSize, 0), pairs_(65536, 0) {
  buffer_.reserve(MaxDistance + BufferSlack);
}

void MatchFinder::append(const uint8_t* bytes, size_t count, uint64_t keepFrom) {
  if (buffer_.size() + count > buffer_.capacity()) {
    uint64_t oldest = keepFrom > MaxDistance ? keepFrom - MaxDistance : 0;
    size_t drop = static_cast<size_t>(oldest - base_);
    std::memmove(buffer_.data(), buffer_.data() + drop, buffer_.size() - drop);
    buffer_.resize(buffer_.size() - drop);
    base_ = oldest;
    if (buffer_.size() + count > buffer_.capacity()) buffer_.reserve(buffer_.size() + count);
  }
  buffer_.insert(buffer_.end(), bytes, bytes + count);
}

void MatchFinder::insert(uint64_t position) {
  if (position + 2 > end()) return;
  const uint8_t* p = at(position);
  uint32_t tag = static_cast<uint32_t>(position) + 1;
  pairs_[p[0] | (p[1] << 8)] = tag;
  if (position + 3 > end()) return;
  // Positions below the array's size index it directly, so doubling it keeps
  // every entry in place; from 2^20 on it is a ring.
  while (position >= chain_.size() && chain_.size() < MaxDistance)
    chain_.resize(chain_.size() * 2, 0);
  uint32_t& head = head_[hash3(p)];
  chain_[position & ChainMask] = head;
  head = tag;
}

MatchCandidate MatchFinder::longestMatch(uint64_t position, uint32_t limit, int depth,
                                         uint32_t niceLength) const {
  MatchCandidate best{0, 0};
  if (limit < 3 || position + 3 > end()) return best;
  const uint8_t* here = at(position);
  uint32_t tag = head_[hash3(here)];
  uint32_t current = static_cast<uint32_t>(position);
  while (tag != 0 && depth-- > 0) {
    uint32_t candidate = tag - 1;
    if (candidate >= current) break;
    uint32_t distance = current - candidate;
    if (distance > MaxDistance) break;
    const uint8_t* there = here - distance;
    if (there[best.length] == here[best.length] && there[0] == here[0]) {
      uint32_t length = matchLength(position, distance, limit);
      if (length > best.length) {
        best = {length, distance};
        if (length >= limit || length >= niceLength) break;
      }
    }
    tag = chain_[candidate & ChainMask];
  }
  if (best.length < 3) best = {0, 0};
  return best;
}

void MatchFinder::allMatches(uint64_t position, uint32_t limit, int depth, uint32_t niceLength,
                             std::vector<MatchCandidate>& out) const {
  out.clear();
  if (limit < 3 || position + 3 > end()) return;
  const uint8_t* here = at(position);
  uint32_t tag = head_[hash3(here)];
  uint32_t current = static_cast<uint32_t>(position);
  uint32_t bestLength = 2;
  while (tag != 0 && depth-- > 0) {
    uint32_t candidate = tag - 1;
    if (candidate >= current) break;
    uint32_t distance = current - candidate;
    if (distance > MaxDistance) break;
    const uint8_t* there = here - distance;
    if (there[bestLength] == here[bestLength]) {
      uint32_t length = matchLength(position, distance, limit);
      if (length > bestLength) {
        bestLength = length;
        out.push_back({length, distance});
        if (length >= limit || length >= niceLength) break;
      }
    }
    tag = chain_[candidate & ChainMask];
  }
}

uint32_t MatchFinder::pairDistance(uint64_t position) const {
  if (position + 2 > end()) return 0;
  const uint8_t* p = at(position);
  uint32_t tag = pairs_[p[0] | (p[1] << 8)];
  if (tag == 0 || tag - 1 >= position) return 0;
  return static_cast<uint32_t>(position - (tag - 1));
}

}  // namespace tvpack
