// Sample contents for packing in the decoder tests: text with a small
// vocabulary, source-like lines, and an executable-like image (tables of
// aligned small integers between stretches of random code bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fixtures {

std::vector<uint8_t> sampleText(size_t size, uint32_t seed);
std::vector<uint8_t> sampleSource(size_t size, uint32_t seed);
std::vector<uint8_t> sampleBinary(size_t size, uint32_t seed);

// The packed data of the one entry of an archive image that buildArchive made
// (marker, archive header, one entry header, its data).
std::vector<uint8_t> onlyEntryData(const std::vector<uint8_t>& archive);

}  // namespace fixtures
