// An MSB-first bit writer: the first bit written becomes bit 7 of the first
// byte, which is the order in which the decoder's bit reader takes them.
// Bits gather in a 64-bit accumulator and leave it a whole byte at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tvpack {

class BitWriter {
 public:
  // Appends the low `count` bits of value (0..32), most significant first.
  void writeBits(uint32_t value, int count);
  // Pads with zero bits up to the next byte boundary.
  void alignToByte();
  // Bits written so far, padding included.
  size_t bitCount() const { return bytes_.size() * 8 + pending_; }
  // Pads to a byte boundary and hands over the bytes; the writer is empty afterwards.
  std::vector<uint8_t> finish();
  // Hands over the whole bytes written so far; bits of a partial byte stay.
  std::vector<uint8_t> takeBytes();
  size_t byteCount() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t accumulator_ = 0;  // the low `pending_` bits are not yet in bytes_
  int pending_ = 0;           // 0..7 between calls
};

}  // namespace tvpack
