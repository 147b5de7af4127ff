// The one record of an extraction run. Every operation of the archive reader,
// the unpacker and the extraction driver receives it; a solid archive works
// because the unpacker's fields survive from one entry to the next. It is
// allocated zero-filled, so every table starts empty and every counter at 0.
#pragma once

#include <cstdint>
#include <cstdio>

#include "archive/archive_format.h"
#include "unpack/huffman_table.h"

constexpr uint32_t WindowSize = 1u << 20;  // the unpacker's ring; positions are taken modulo it
constexpr uint32_t WindowMask = WindowSize - 1;
constexpr int InputBufferSize = 8192;
constexpr int SavedLengthCount = 1028;  // 4 audio tables x 257, the longest table set
constexpr int AudioTableCount = 4;

struct ArchiveContext {
  // --- archive side (set by openArchive and walkToBlock) ---
  uint8_t marker[MarkerSize];   // first 7 bytes of the file, or the marker re-read where the search found it
  ArchiveHeader archiveHeader;  // fixed part of the archive header
  EntryHeader entryHeader;      // entry header at which the last walk stopped, normalised
  uint8_t stopBlockType;        // block type at which the last walk stopped

  // --- extraction driver ---
  char* targetDir;       // caller's buffer; the driver makes it end in a backslash
  const char* archivePath;  // caller's string
  uint8_t* windowBuffer;    // 1 MB window owned by one run of extractEntries

  char fileName[PathBufferSize];  // name of the last entry header read, separators as backslashes
  FILE* archiveStream;            // the open archive; every read and seek of the walk goes here
  int32_t continuesInNextVolume;  // flag 0x0002 of the last entry examined: 0 or 2
  int32_t skipEntry;              // non-zero: writeOutput leaves runningChecksum alone
  int32_t archiveHeaderBytesRead; // bytes of the archive header openArchive consumed: 13
  int32_t blockPosition;          // offset of the block header the walk read last
  int32_t nextBlockPosition;      // offset of the block after it

  // --- per entry, set by the driver before unpackEntry ---
  FILE* inputStream;         // packed bytes come from here (the archive stream)
  FILE* outputStream;        // unpacked bytes go here; null writes nothing
  int32_t packedLeft;        // packed bytes of the entry not yet read
  int32_t unpackedLeft;      // unpacked bytes still to produce (ends below 0)
  uint32_t runningChecksum;  // checksum of the bytes written so far

  ArchiveVariant archiveVariant;  // variant of the open archive; also selects the data checksum
  uint32_t crcTable[256];         // CRC-32 table, built once per run

  // --- unpacker (persists across the entries of a solid archive) ---
  uint8_t* windowBase;     // the window; stored by unpackEntry on every call
  uint32_t writePos;       // window position of the next byte to produce, 0..0xFFFFF
  uint32_t flushedPos;     // first window position not yet written out, 0..0xFFFFF
  uint32_t peekedBits;     // result of the last peekBits
  uint32_t decodedSymbol;  // result of the last decodeSymbol
  uint8_t inputBuffer[InputBufferSize];      // packed bytes of the entry
  uint8_t savedLengths[SavedLengthCount];    // code lengths of the previous table read, 0..15
  uint32_t inputPos;       // index of the byte holding the next unread bit; below 8192
  uint32_t inputBit;       // bits of that byte already consumed, from its top bit: 0..7
  uint32_t inputEnd;       // valid bytes at the start of inputBuffer
  uint32_t prevDistance;   // distance of the last match copied
  uint32_t prevLength;     // length of the last match copied
  int32_t matchLength;     // match being decoded or copied
  uint32_t matchDistance;
  uint32_t recentDistances[4];  // ring of the last four distances
  uint32_t recentIndex;         // distances pushed so far; next push goes to slot recentIndex % 4
  HuffmanTable* audioTables[AudioTableCount];  // point at audioTableStore, set once by the driver
  uint32_t audioMode;      // 0, or 0x8000 when the last table header announced audio tables
  int32_t channelCount;    // audio channels of the last audio header, 1..4
  int32_t activeChannel;   // audio table used by the end-of-entry check; only ever set to 0
  HuffmanTable preTable;          // 19 symbols: code lengths and their run codes
  HuffmanTable mainTable;         // 298 symbols: literals, control codes, length slots
  HuffmanTable distanceTable;     // 48 distance slots
  HuffmanTable repeatLengthTable; // 28 length slots after a repeated distance
  HuffmanTable audioTableStore[AudioTableCount];  // 257 symbols each
};
