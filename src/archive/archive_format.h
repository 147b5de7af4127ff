// Constants and decoded header records of the RAR 1.5-2.0 archive format (and
// the older RAR 1.4 self-extractor variant whose marker is also recognised).
// All integers on disk are little-endian; positions in a file are signed 32-bit.
#pragma once

#include <cstdint>

constexpr int MarkerSize = 7;
constexpr uint8_t MarkerBytes[MarkerSize] = {0x52, 0x61, 0x72, 0x21,
                                             0x1A, 0x07, 0x00};  // "Rar!" 1A 07 00
constexpr uint8_t OldMarkerBytes[4] = {0x52, 0x45, 0x7E, 0x5E};  // "RE~^"

constexpr int ArchiveHeaderSize = 13;  // fixed part of a block of type 0x73
constexpr int EntryHeaderSize = 32;    // fixed part of a block of type 0x74, before the name
constexpr int MinBlockHeaderSize = 7;  // checksum, type, flags, length
constexpr int MaxNameLength = 259;     // paths live in 260-byte buffers
constexpr int PathBufferSize = 260;

// The marker must start within this many bytes of the file's start: the marker
// and the first three header bytes must lie within the first 131,063 bytes.
constexpr int32_t LastMarkerOffset = 131053;

enum BlockType : uint8_t {
  BlockArchiveHeader = 0x73,
  BlockEntry = 0x74,
  BlockAuthenticity = 0x76,
  BlockSubBlock = 0x77,
};

// blockFlags bits.
constexpr uint16_t ArchiveVolumeFlag = 0x0001;
constexpr uint16_t ArchiveSolidFlag = 0x0008;
constexpr uint16_t EntryContinuedFromPrevious = 0x0001;
constexpr uint16_t EntryContinuesInNext = 0x0002;
constexpr uint16_t EntrySolidFlag = 0x0010;
constexpr uint16_t EntryDictionaryMask = 0x00E0;  // 0xE0 marks a directory entry
constexpr uint16_t BlockHasAddedSize = 0x8000;

// Attribute bits of MS-DOS and Windows hosts.
constexpr uint32_t AttributeReadOnly = 0x01;
constexpr uint32_t AttributeVolumeLabel = 0x08;
constexpr uint32_t AttributeDirectory = 0x10;
constexpr uint32_t AttributeArchive = 0x20;

constexpr uint8_t HostMsDos = 0;
constexpr uint8_t HostWindows = 2;
constexpr uint8_t HostUnix = 3;

enum ArchiveVariant : int32_t {
  VariantNone = 0,
  VariantOld = 1,  // RAR 1.4 self-extractor, 16-bit data checksum
  VariantNew = 2,  // RAR 1.5 to 2.0, CRC-32 data checksum
};

enum ArchiveKind : int32_t {
  KindNotFound = 0,
  KindPlain = 1,
  KindVolume = 2,
  KindSelfExtracting = 3,
};

// Option of walkToBlock: also stop at a sub-block (type 0x77).
constexpr uint32_t StopAtSubBlock = 0x8000;

struct ArchiveHeader {
  uint16_t headerChecksum;
  uint8_t blockType;
  uint16_t blockFlags;
  uint16_t headerLength;
  uint16_t reserved16;
  uint32_t reserved32;
};

struct EntryHeader {
  uint16_t headerChecksum;
  uint8_t blockType;
  uint16_t blockFlags;
  uint16_t headerLength;
  uint32_t compressedSize;  // the block's added size; position arithmetic with it is signed
  uint32_t uncompressedSize;
  uint8_t hostSystem;
  uint32_t dataChecksum;
  uint32_t dosDateTime;  // MS-DOS date (high 16 bits) and time (low 16 bits), local time
  uint8_t versionNeeded;
  uint8_t packingMethod;
  uint16_t nameLength;  // at most 259 after a walk that read a name
  uint32_t attributes;  // replaced for hosts 3 and above by normalizeEntryHeader
};

// Entries that need unpack versions 1.3 to 2.0 are decoded; any other is refused.
constexpr uint8_t LowestUnpackVersion = 13;
constexpr uint8_t HighestUnpackVersion = 20;

inline bool unpackVersionSupported(uint8_t versionNeeded) {
  return versionNeeded >= LowestUnpackVersion && versionNeeded <= HighestUnpackVersion;
}
