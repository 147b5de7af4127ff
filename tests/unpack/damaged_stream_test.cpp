// Real packed streams, made by the packer, damaged at random many times over:
// bits flipped, bytes overwritten or zeroed, the data cut short, the stored
// size changed. Wrong bytes are expected; what must hold is that every run
// ends, stays inside its memory (the sanitizer build checks each access) and
// produces no more than the stored size plus the last match's overshoot.
#include <gtest/gtest.h>

#include <random>

#include "pack/archive_builder.h"
#include "unpack/decoder_harness.h"
#include "unpack/sample_data.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;

// The most bytes an entry can produce beyond its stored size: its last match
// of at most 260 bytes, started with one byte still to produce.
constexpr size_t MaxOvershoot = 259;
constexpr int Rounds = 250;

struct Sample {
  const char* name;
  Bytes data;
  Bytes packed;
};

std::vector<Sample> packedSamples() {
  std::vector<Sample> samples = {
      {"text", fixtures::sampleText(120000, 1), {}},
      {"source", fixtures::sampleSource(90000, 2), {}},
      {"binary", fixtures::sampleBinary(150000, 3), {}},
  };
  for (Sample& sample : samples) {
    const Bytes archive = tvpack::buildArchive({{sample.name, sample.data}}, {false, 3});
    sample.packed = fixtures::onlyEntryData(archive);
  }
  return samples;
}

// Damages packed in place; returns the packed size to declare.
int64_t damage(Bytes& packed, uint32_t& size, std::mt19937& random) {
  const size_t at = random() % packed.size();
  switch (random() % 5) {
    case 0:
      for (uint32_t n = 1 + random() % 4; n > 0; --n)
        packed[random() % packed.size()] ^= 1u << (random() % 8);
      break;
    case 1:
      for (size_t i = at; i < packed.size() && i < at + 1 + random() % 16; ++i)
        packed[i] = static_cast<uint8_t>(random());
      break;
    case 2:
      for (size_t i = at; i < packed.size() && i < at + 1 + random() % 64; ++i) packed[i] = 0;
      break;
    case 3: {  // cut short: the stored packed size stays
      const int64_t declared = static_cast<int64_t>(packed.size());
      packed.resize(at);
      return declared;
    }
    default:
      size = static_cast<uint32_t>(random() % (2 * size + 1));
      packed[at] ^= static_cast<uint8_t>(random());
      break;
  }
  return -1;
}

TEST(DamagedStreams, UndamagedSamplesDecodeExactly) {
  for (const Sample& sample : packedSamples()) {
    Decoder decoder;
    EXPECT_EQ(decoder.decode(sample.packed, static_cast<uint32_t>(sample.data.size())), sample.data)
        << sample.name;
  }
}

TEST(DamagedStreams, EndInsideTheirMemoryAndSize) {
  std::mt19937 random(2026);
  Decoder decoder;  // one context and window for all runs, as in a long extraction
  for (const Sample& sample : packedSamples()) {
    for (int round = 0; round < Rounds; ++round) {
      Bytes packed = sample.packed;
      uint32_t size = static_cast<uint32_t>(sample.data.size());
      const int64_t declared = damage(packed, size, random);
      const bool solid = round % 3 == 2;  // also continue after a damaged entry
      const Bytes out = decoder.decode(packed, size, solid, declared);
      ASSERT_LE(out.size(), size + MaxOvershoot) << sample.name << " round " << round;
    }
  }
}

}  // namespace
