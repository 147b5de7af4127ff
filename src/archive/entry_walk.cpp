// Entry-to-entry walk over the block walk: one loop, shared by the tools that
// read every entry.
#include "archive/entry_walk.h"

#include "archive/archive_context.h"
#include "archive/archive_format.h"
#include "archive/block_walk.h"
#include "archive/stream_ops.h"

void skipArchiveHeaderRest(ArchiveContext* context) {
  seekStream(context->archiveStream,
             context->archiveHeader.headerLength - context->archiveHeaderBytesRead,
             SeekFromCurrent);
}

int32_t walkToNextEntry(ArchiveContext* context) {
  for (;;) {
    const int32_t count = walkToBlock(context, StopAtSubBlock | BlockEntry);
    if (count == 0 || context->stopBlockType != BlockSubBlock) return count;
    seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
  }
}
