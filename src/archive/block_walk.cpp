// Header reader and block walk. Positions are signed 32-bit file offsets; the
// next block's position is summed with 32-bit wrap-around and must lie beyond
// the current one, which ends the walk on any header whose sizes would make it
// stand still, go back or pass 2^31 - 1.
#include "archive/block_walk.h"

#include <cstring>

#include "archive/archive_context.h"
#include "archive/archive_format.h"
#include "archive/stream_ops.h"

namespace {

uint16_t get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t get32(const uint8_t* p) {
  return get16(p) | (static_cast<uint32_t>(get16(p + 2)) << 16);
}

void decodeArchiveHeader(const uint8_t* p, ArchiveHeader* header) {
  header->headerChecksum = get16(p);
  header->blockType = p[2];
  header->blockFlags = get16(p + 3);
  header->headerLength = get16(p + 5);
  header->reserved16 = get16(p + 7);
  header->reserved32 = get32(p + 9);
}

void decodeEntryHeader(const uint8_t* p, EntryHeader* header) {
  header->headerChecksum = get16(p);
  header->blockType = p[2];
  header->blockFlags = get16(p + 3);
  header->headerLength = get16(p + 5);
  header->compressedSize = get32(p + 7);
  header->uncompressedSize = get32(p + 11);
  header->hostSystem = p[15];
  header->dataChecksum = get32(p + 16);
  header->dosDateTime = get32(p + 20);
  header->versionNeeded = p[24];
  header->packingMethod = p[25];
  header->nameLength = get16(p + 26);
  header->attributes = get32(p + 28);
}

// Offset of the block after the one whose header starts at position. The sum
// wraps like a signed 32-bit addition (computed unsigned to stay defined).
int32_t followingBlockPosition(int32_t position, const EntryHeader& header) {
  uint32_t next = static_cast<uint32_t>(position) + header.headerLength;
  if (header.blockFlags & BlockHasAddedSize) next += header.compressedSize;
  return static_cast<int32_t>(next);
}

}  // namespace

int32_t loadHeader(ArchiveContext* context, int kind) {
  uint8_t bytes[EntryHeaderSize] = {};
  if (kind == BlockArchiveHeader) {
    const int32_t count = readBytes(context->archiveStream, bytes, ArchiveHeaderSize);
    decodeArchiveHeader(bytes, &context->archiveHeader);
    return count;
  }
  if (kind == BlockEntry) {
    const int32_t count = readBytes(context->archiveStream, bytes, EntryHeaderSize);
    decodeEntryHeader(bytes, &context->entryHeader);
    return count;
  }
  return 0;
}

int32_t walkToBlock(ArchiveContext* context, uint32_t wanted) {
  const EntryHeader previous = context->entryHeader;
  const bool stopAtSubBlock = (wanted & StopAtSubBlock) != 0;
  wanted &= 0xFF;
  EntryHeader& header = context->entryHeader;

  int32_t count;
  for (;;) {
    context->blockPosition = streamPosition(context->archiveStream);
    count = loadHeader(context, BlockEntry);
    // The end of the file, or a common header cut off by it: the archive ends here.
    if (count < MinBlockHeaderSize) {
      count = 0;
      header.blockType = 0;
      break;
    }
    if (header.headerLength < MinBlockHeaderSize) return 0;
    context->nextBlockPosition = followingBlockPosition(context->blockPosition, header);
    if (context->nextBlockPosition <= context->blockPosition) return 0;
    if (wanted == 0 || header.blockType == wanted) break;
    if (header.blockType == BlockSubBlock && stopAtSubBlock) break;
    seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
  }

  context->stopBlockType = header.blockType;
  if (!(wanted == BlockEntry && header.blockType == BlockEntry)) {
    // Leave the block unread for the caller: the stream back at its first byte,
    // the last entry's header as it was.
    header = previous;
    seekStream(context->archiveStream, context->blockPosition, SeekFromStart);
    return count;
  }

  if (header.nameLength > MaxNameLength) header.nameLength = MaxNameLength;
  // A name cut off by the end of the file keeps only the bytes that are there.
  const int32_t nameRead = readBytes(context->archiveStream, context->fileName, header.nameLength);
  header.nameLength = static_cast<uint16_t>(nameRead);
  context->fileName[nameRead] = 0;
  count += nameRead;
  normalizeEntryHeader(context);
  return count;
}

void normalizeEntryHeader(ArchiveContext* context) {
  EntryHeader& header = context->entryHeader;
  if (header.hostSystem >= HostUnix) {
    const bool directory = (header.blockFlags & EntryDictionaryMask) == EntryDictionaryMask;
    header.attributes = directory ? AttributeDirectory : AttributeArchive;
  }
  for (char* c = context->fileName; *c != 0; ++c) {
    if (*c == '/') *c = '\\';
  }
}
