// Reading block headers and walking from block to block. Every block's first
// 32 bytes are decoded with the entry header's layout; the walk moves strictly
// forward by each header's length and added size, so it always ends, at the
// latest at the end of the file.
#pragma once

#include <cstdint>

struct ArchiveContext;

// Decodes the fixed part of an archive header (kind 0x73, 13 bytes) or of an
// entry header (kind 0x74, 32 bytes) at the stream's position. Returns the
// number of bytes the read delivered; bytes it did not deliver decode as zero.
int32_t loadHeader(ArchiveContext* context, int kind);

// Walks to the next block of the type in the low 8 bits of wanted (0: any
// block); with StopAtSubBlock also stops at a sub-block. Returns the header
// bytes read at the stop (fixed part, plus the name at an entry header), or 0
// at the end of the archive or at a header that cannot be walked past.
int32_t walkToBlock(ArchiveContext* context, uint32_t wanted);

// Host rule for attributes and backslash separators in fileName.
void normalizeEntryHeader(ArchiveContext* context);
