// Builds whole archives: the marker, the archive header, then every entry's
// header followed by its packed data. In a solid archive all file entries form
// one chain (the first flagged 0x8040, the rest 0x8050: solid); without
// solid, each file entry is packed on its own (all 0x8040). Directory entries
// carry no data and are not part of the chain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/block_writer.h"

namespace tvpack {

// The default: no slower than gzip -9 on the benchmark payload (bench/pack-bench.sh).
constexpr int DefaultLevel = 2;

struct ArchiveEntry {
  std::string name;  // stored name: backslash separators, at most 259 bytes
  Bytes data;
  uint32_t dosDateTime = 0;
  uint32_t attributes = 0x20;  // archive bit
  bool directory = false;      // stored with dictionary bits 7 and attribute 0x10
};

struct BuildOptions {
  bool solid = true;
  int level = DefaultLevel;  // 1..5
};

// The archive image; throws std::invalid_argument for a name longer than 259
// bytes or an archive the format's signed 32-bit positions cannot hold.
Bytes buildArchive(const std::vector<ArchiveEntry>& entries, const BuildOptions& options = {});

// Entry flags and packing method as the archive stores them.
uint16_t entryFlags(bool directory, bool solidContinuation);
uint8_t packingMethodFor(int level);

}  // namespace tvpack
