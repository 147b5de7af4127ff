// Block writer: little-endian fields appended byte by byte, header checksums
// from the system's own CRC-32 (one table, built on first use).
#include "pack/block_writer.h"

#include <cstdlib>
#include <cstring>

#include "archive/archive_context.h"
#include "archive/archive_format.h"
#include "archive/checksum.h"
#include "archive/stream_ops.h"

namespace tvpack {
namespace {

// The CRC-32 table lives in an ArchiveContext; one is kept for the process.
const ArchiveContext* crcContext() {
  static ArchiveContext* context = [] {
    auto* built = static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)));
    if (built == nullptr) std::abort();
    buildCrcTable(built);
    return built;
  }();
  return context;
}

void put8(Bytes& out, uint8_t value) {
  out.push_back(value);
}

void put16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
  put16(out, static_cast<uint16_t>(value));
  put16(out, static_cast<uint16_t>(value >> 16));
}

void set16(Bytes& out, size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Writes the common part with placeholders for checksum and length.
size_t beginBlock(Bytes& out, uint8_t blockType, uint16_t blockFlags) {
  const size_t start = out.size();
  put16(out, 0);
  put8(out, blockType);
  put16(out, blockFlags);
  put16(out, 0);
  return start;
}

// Fills in the header length and the checksum over header bytes 2 to
// 2 + checksummedLength - 1.
void finishBlock(Bytes& out, size_t start, std::optional<uint16_t> headerLength,
                 std::optional<uint16_t> headerChecksum, size_t checksummedLength) {
  set16(out, start + 5, headerLength.value_or(static_cast<uint16_t>(out.size() - start)));
  const uint16_t checksum =
      headerChecksum.value_or(headerChecksumOf(out.data() + start + 2, checksummedLength));
  set16(out, start, checksum);
}

}  // namespace

uint32_t crc32Of(const void* bytes, size_t length) {
  return ~crc32Update(crcContext(), 0xFFFFFFFFu, bytes, static_cast<uint32_t>(length));
}

uint16_t headerChecksumOf(const void* bytes, size_t length) {
  return static_cast<uint16_t>(crc32Of(bytes, length));
}

uint32_t dosDateTimeOf(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t date = (static_cast<uint32_t>(year - 1980) << 9) | (month << 5) | day;
  const uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
  return (date << 16) | time;
}

void appendMarker(Bytes& out) {
  out.insert(out.end(), MarkerBytes, MarkerBytes + MarkerSize);
}

size_t appendArchiveHeader(Bytes& out, const ArchiveHeaderFields& fields) {
  const size_t start = beginBlock(out, BlockArchiveHeader, fields.blockFlags);
  put16(out, fields.reserved16);
  put32(out, fields.reserved32);
  appendBytes(out, fields.extra);
  // The checksum covers the fixed part after the checksum itself: bytes 2 to 12.
  finishBlock(out, start, fields.headerLength, fields.headerChecksum, ArchiveHeaderSize - 2);
  return start;
}

size_t appendEntryHeader(Bytes& out, const EntryHeaderFields& fields) {
  const size_t start = beginBlock(out, fields.blockType, fields.blockFlags);
  put32(out, fields.compressedSize);
  put32(out, fields.uncompressedSize);
  put8(out, fields.hostSystem);
  put32(out, fields.dataChecksum);
  put32(out, fields.dosDateTime);
  put8(out, fields.versionNeeded);
  put8(out, fields.packingMethod);
  put16(out, static_cast<uint16_t>(fields.name.size()));
  put32(out, fields.attributes);
  out.insert(out.end(), fields.name.begin(), fields.name.end());
  appendBytes(out, fields.extra);
  // The checksum covers bytes 2 to 31 and then the name.
  finishBlock(out, start, fields.headerLength, fields.headerChecksum,
              EntryHeaderSize - 2 + fields.name.size());
  return start;
}

size_t appendBlock(Bytes& out, const BlockFields& fields) {
  const size_t start = beginBlock(out, fields.blockType, fields.blockFlags);
  if (fields.blockFlags & BlockHasAddedSize) put32(out, fields.addedSize);
  appendBytes(out, fields.body);
  finishBlock(out, start, fields.headerLength, fields.headerChecksum, out.size() - start - 2);
  return start;
}

void appendBytes(Bytes& out, const Bytes& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace tvpack
