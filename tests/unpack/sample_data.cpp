// Sample contents of the decoder tests.
#include "unpack/sample_data.h"

#include <random>
#include <string>

namespace fixtures {

namespace {

const char* const Words[] = {"the",   "window", "decoder", "table", "match",  "of",    "a",
                             "entry", "solid",  "bits",    "and",   "length", "setup", "to"};

}  // namespace

std::vector<uint8_t> sampleText(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) {
    text += Words[random() % std::size(Words)];
    text += random() % 9 == 0 ? ".\n" : " ";
  }
  return {text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size)};
}

std::vector<uint8_t> sampleSource(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) {
    text += std::string(2 * (random() % 4), ' ');
    text += "context->" + std::string(Words[random() % std::size(Words)]) +
            "Pos = " + std::to_string(random() % 4096) + ";\n";
  }
  return {text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size)};
}

std::vector<uint8_t> sampleBinary(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes;
  while (bytes.size() < size) {
    if (random() % 2 == 0) {
      for (int i = 0; i < 64; ++i) {
        const uint32_t value = random() % 512;
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), 0, 0});
      }
    } else {
      for (int i = 0; i < 200; ++i)
        bytes.push_back(static_cast<uint8_t>(random() % 7 == 0 ? 0x8B : random()));
    }
  }
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> onlyEntryData(const std::vector<uint8_t>& archive) {
  constexpr size_t EntryStart = 7 + 13;  // marker, archive header
  auto field = [&](size_t offset, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | archive[EntryStart + offset + i];
    return value;
  };
  const uint32_t headerLength = field(5, 2);
  const uint32_t packedSize = field(7, 4);
  const auto start = archive.begin() + static_cast<std::ptrdiff_t>(EntryStart + headerLength);
  return {start, start + packedSize};
}

}  // namespace fixtures
