// Archives with real packed data for the extraction tests, made by the
// packer, and the place of an entry's packed bytes in such an image.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "pack/archive_builder.h"

namespace tvtest {

// Bytes that compress well and differ from file to file, with runs that
// repeat earlier files' bytes so a solid archive matches across entries.
tvpack::Bytes sampleData(size_t size, unsigned seed);

// Offset and length of the packed data of the index-th block after the
// archive header of an image that starts with the marker and a 13-byte
// archive header.
struct PackedRange {
  size_t offset;
  size_t length;
};
PackedRange packedRangeOf(const tvpack::Bytes& image, int index);

std::string textOf(const tvpack::Bytes& bytes);

}  // namespace tvtest
