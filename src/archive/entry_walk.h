// Going from entry to entry the way the extraction driver does, for readers of
// an archive that only look at its entries (listing, testing): the archive
// header's bytes beyond its fixed part are passed over, sub-blocks are passed
// over by their position, and every other block by the walk itself.
#pragma once

#include <cstdint>

struct ArchiveContext;

// Moves the stream from the end of the archive header's fixed part (where
// openArchive leaves it) to the first block after the archive header.
void skipArchiveHeaderRest(ArchiveContext* context);

// Walks to the next entry header with walkToBlock(0x8074), passing over
// sub-blocks. Returns the walk's count at the entry, or 0 at the end of the
// archive. The caller moves on with seekStream to nextBlockPosition.
int32_t walkToNextEntry(ArchiveContext* context);
