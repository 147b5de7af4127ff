// Generated test inputs for the packer: random bytes, word-built text, runs,
// and copies placed at exact distances. Seeded, so every run packs the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corpus {

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(size_t size, uint32_t seed);
// Lines of words from a small vocabulary, with numbers: compresses like text.
Bytes text(size_t size, uint32_t seed);
// Runs of one byte value, of lengths 1..4000.
Bytes runs(size_t size, uint32_t seed);
// Random bytes, then `length` bytes copied from `distance` bytes back, then
// random bytes again: the copy can only be coded as a match at that distance.
Bytes copyAtDistance(uint32_t distance, uint32_t length, uint32_t seed);
// Records of fields that reappear at four alternating distances, so matches at
// every recent-distance age pay.
Bytes records(size_t size, uint32_t seed);

struct File {
  std::string name;
  Bytes data;
};

}  // namespace corpus
