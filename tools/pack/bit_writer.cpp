// MSB-first bit writer; see bit_writer.h.
#include "pack/bit_writer.h"

namespace tvpack {

void BitWriter::writeBits(uint32_t value, int count) {
  if (count == 0) return;
  uint64_t mask = (count == 32) ? 0xFFFFFFFFull : ((1ull << count) - 1);
  accumulator_ = (accumulator_ << count) | (value & mask);
  pending_ += count;  // at most 7 + 32 bits: fits the 64-bit accumulator
  while (pending_ >= 8) {
    pending_ -= 8;
    bytes_.push_back(static_cast<uint8_t>(accumulator_ >> pending_));
  }
}

void BitWriter::alignToByte() {
  if (pending_ > 0) writeBits(0, 8 - pending_);
}

std::vector<uint8_t> BitWriter::finish() {
  alignToByte();
  accumulator_ = 0;
  std::vector<uint8_t> out;
  out.swap(bytes_);
  return out;
}

std::vector<uint8_t> BitWriter::takeBytes() {
  std::vector<uint8_t> out;
  out.swap(bytes_);
  return out;
}

}  // namespace tvpack
