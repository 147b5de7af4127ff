// Finds earlier occurrences of the bytes at a position within the decoder's
// window: hash chains over three-byte prefixes, reaching back up to 2^20
// bytes, and the last position of every two-byte pair (for length-2 matches at
// distances up to 256). The bytes live in a sliding buffer that keeps the last
// 2^20 bytes before the parse position plus the bytes not yet parsed, so memory
// stays bounded whatever the input size: the chains are indexed by position
// modulo 2^20 and hold position + 1 (0: none). The chain array grows with the
// input up to 2^20 entries, so a small entry costs little to set up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tvpack {

struct MatchCandidate {
  uint32_t length;
  uint32_t distance;
};

class MatchFinder {
 public:
  MatchFinder();

  // Appends input bytes; positions count from 0 at the first byte ever added.
  // Bytes older than 2^20 before `keepFrom` may be dropped to make room.
  void append(const uint8_t* bytes, size_t count, uint64_t keepFrom);
  uint64_t end() const { return base_ + buffer_.size(); }
  const uint8_t* at(uint64_t position) const { return buffer_.data() + (position - base_); }

  // Enters position into the chains; needs 3 bytes from it on (2 for the pair table).
  void insert(uint64_t position);

  // Length of the common prefix of position and position - distance, up to limit.
  uint32_t matchLength(uint64_t position, uint32_t distance, uint32_t limit) const {
    const uint8_t* here = at(position);
    const uint8_t* there = here - distance;
    uint32_t length = 0;
    while (length < limit && here[length] == there[length]) ++length;
    return length;
  }

  // The longest match of at least 3 bytes (up to limit) found within `depth`
  // chain steps, the search ending early at one of niceLength bytes; the
  // nearest one among equally long. Length 0 when none.
  MatchCandidate longestMatch(uint64_t position, uint32_t limit, int depth,
                              uint32_t niceLength) const;
  // Every improvement in length along the chain (increasing lengths, each with
  // the nearest distance found for it), up to one of niceLength bytes; for the
  // optimal parse.
  void allMatches(uint64_t position, uint32_t limit, int depth, uint32_t niceLength,
                  std::vector<MatchCandidate>& out) const;
  // Distance of the last earlier occurrence of the two bytes at position, or 0.
  uint32_t pairDistance(uint64_t position) const;

 private:
  static uint32_t hash3(const uint8_t* p) {
    uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
    return (v * 2654435761u) >> (32 - HashBits);
  }

  static constexpr int HashBits = 17;
  std::vector<uint8_t> buffer_;
  uint64_t base_ = 0;            // position of buffer_[0]
  std::vector<uint32_t> head_;   // hash -> newest position + 1
  std::vector<uint32_t> chain_;  // position mod 2^20 -> previous position + 1 of its hash
  std::vector<uint32_t> pairs_;  // two bytes -> newest position + 1
};

}  // namespace tvpack
