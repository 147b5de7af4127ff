// Reads an archive image back the way the extraction driver does: the archive
// is searched for in the file, the entry headers are walked, and every file
// entry is decoded in order through one window, its checksum compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/block_writer.h"

struct UnpackedEntry {
  std::string name;  // as the walk returns it
  uint16_t flags;
  uint32_t attributes;
  uint8_t hostSystem;
  uint8_t versionNeeded;
  uint8_t packingMethod;
  uint32_t dosDateTime;
  uint32_t packedSize;
  tvpack::Bytes data;
  bool checksumMatches;
};

struct UnpackedArchive {
  bool found = false;
  uint16_t archiveFlags = 0;
  int32_t markerOffset = -1;
  std::vector<UnpackedEntry> entries;
};

UnpackedArchive unpackArchive(const tvpack::Bytes& image);
