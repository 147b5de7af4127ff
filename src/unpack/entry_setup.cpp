// Per-entry fields and the checksum verdict of one entry.
#include "unpack/entry_setup.h"

void beginEntry(ArchiveContext* context, FILE* output, int skip) {
  context->skipEntry = skip;
  context->runningChecksum = context->archiveVariant == VariantOld ? 0 : 0xFFFFFFFFu;
  context->packedLeft = static_cast<int32_t>(context->entryHeader.compressedSize);
  context->unpackedLeft = static_cast<int32_t>(context->entryHeader.uncompressedSize);
  context->inputStream = context->archiveStream;
  context->outputStream = output;
}

bool entryChecksumMatches(const ArchiveContext* context) {
  const uint32_t stored = context->entryHeader.dataChecksum;
  if (context->archiveVariant == VariantOld) return context->runningChecksum == stored;
  return context->runningChecksum == ~stored;
}
