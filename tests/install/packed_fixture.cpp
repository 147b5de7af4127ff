// Sample data and block positions for tests over packed archives.
#include "install/packed_fixture.h"

#include <cstdint>

namespace tvtest {

tvpack::Bytes sampleData(size_t size, unsigned seed) {
  static const char* words[] = {"setup ", "file ", "QV ", "Tarnivole ", "window ", "entry "};
  tvpack::Bytes data;
  uint32_t state = seed * 2654435761u + 1;
  while (data.size() < size) {
    state = state * 1103515245u + 12345u;
    const uint32_t pick = state >> 16;
    if (pick % 7 == 0) {
      data.push_back(static_cast<uint8_t>(pick >> 3));  // a byte no word holds
    } else {
      for (const char* c = words[pick % 6]; *c != '\0' && data.size() < size; ++c) {
        data.push_back(static_cast<uint8_t>(*c));
      }
    }
  }
  return data;
}

namespace {

uint32_t read16(const tvpack::Bytes& image, size_t at) {
  return image[at] | image[at + 1] << 8;
}
uint32_t read32(const tvpack::Bytes& image, size_t at) {
  return read16(image, at) | read16(image, at + 2) << 16;
}

}  // namespace

PackedRange packedRangeOf(const tvpack::Bytes& image, int index) {
  size_t block = 7 + 13;  // marker and archive header
  for (;; --index) {
    const size_t headerLength = read16(image, block + 5);
    const bool added = (read16(image, block + 3) & 0x8000) != 0;
    const size_t length = added ? read32(image, block + 7) : 0;
    if (index == 0) return {block + headerLength, length};
    block += headerLength + length;
  }
}

std::string textOf(const tvpack::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace tvtest
