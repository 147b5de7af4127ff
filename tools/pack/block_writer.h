// Writes the blocks of an archive into a byte vector: the marker, the archive
// header, entry headers and blocks of any type, each with its header checksum
// computed as the format defines it. The packer builds whole archives from
// these pieces and the tests build small fixtures (also malformed ones: every
// length and checksum can be overridden) without any binary blobs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tvpack {

using Bytes = std::vector<uint8_t>;

// Fixed part of the archive header (block type 0x73), plus header bytes after it.
struct ArchiveHeaderFields {
  uint16_t blockFlags = 0;
  uint16_t reserved16 = 0;
  uint32_t reserved32 = 0;
  Bytes extra;                             // header bytes after the 13-byte fixed part
  std::optional<uint16_t> headerLength;    // default: 13 + extra
  std::optional<uint16_t> headerChecksum;  // default: computed
};

// An entry header (block type 0x74): fixed part, name, further header bytes.
struct EntryHeaderFields {
  uint8_t blockType = 0x74;  // other types write a block with the entry header's layout
  uint16_t blockFlags = 0x8000;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint8_t hostSystem = 2;
  uint32_t dataChecksum = 0;
  uint32_t dosDateTime = 0;
  uint8_t versionNeeded = 20;
  uint8_t packingMethod = 0x35;
  uint32_t attributes = 0x20;
  std::string name;                        // stored bytes as they stand
  Bytes extra;                             // header bytes after the name
  std::optional<uint16_t> headerLength;    // default: 32 + name + extra
  std::optional<uint16_t> headerChecksum;  // default: computed
};

// Any other block: the 7-byte common header, the added size when bit 15 of the
// flags is set, then the rest of the header.
struct BlockFields {
  uint8_t blockType = 0;
  uint16_t blockFlags = 0;
  uint32_t addedSize = 0;                  // written only when blockFlags has bit 15 set
  Bytes body;                              // header bytes after the common part
  std::optional<uint16_t> headerLength;    // default: the bytes written
  std::optional<uint16_t> headerChecksum;  // default: computed over bytes 2 to the end
};

// The complemented CRC-32 of a byte range (started at 0xFFFFFFFF): the entry
// data checksum of the current variant.
uint32_t crc32Of(const void* bytes, size_t length);

// Low 16 bits of the complemented CRC-32 of a range: a header checksum.
uint16_t headerChecksumOf(const void* bytes, size_t length);

// MS-DOS date and time, local time; seconds are stored halved.
uint32_t dosDateTimeOf(int year, int month, int day, int hour, int minute, int second);

void appendMarker(Bytes& out);
// Each returns the offset in out at which the block begins.
size_t appendArchiveHeader(Bytes& out, const ArchiveHeaderFields& fields);
size_t appendEntryHeader(Bytes& out, const EntryHeaderFields& fields);
size_t appendBlock(Bytes& out, const BlockFields& fields);
void appendBytes(Bytes& out, const Bytes& bytes);

}  // namespace tvpack
