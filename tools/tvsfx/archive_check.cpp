// Archive check over the driver's operations; see archive_check.h.
#include "archive_check.h"

#include "archive/archive_context.h"
#include "archive/entry_walk.h"
#include "archive/stream_ops.h"
#include "install/extraction.h"
#include "opened_archive.h"
#include "platform/platform.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"

namespace {

// The first failure decides the result, as it ends the driver's run.
void fail(ArchiveCheck& check, int code) {
  if (check.result == ExtractDone) check.result = code;
}

}  // namespace

ArchiveCheck checkArchive(const char* path,
                          const std::function<void(const CheckedEntry&)>& onEntry) {
  ArchiveCheck check;
  OpenedArchive archive;
  if (!archive.open(path, check.error)) {
    check.result = ExtractNoArchive;
    return check;
  }
  ArchiveContext* context = archive.context();
  for (int i = 0; i < AudioTableCount; ++i) context->audioTables[i] = &context->audioTableStore[i];
  context->windowBuffer = static_cast<uint8_t*>(allocZeroed(WindowSize));
  FILE* sink = platformOpenDiscard();
  if (context->windowBuffer == nullptr || sink == nullptr) {
    check.error = "no memory for the window or no null device";
    check.result = ExtractNoWindow;
    closeStream(sink);
    freeAndClear(context->windowBuffer);
    return check;
  }

  bool firstEntry = true;
  while (walkToNextEntry(context) != 0) {
    const EntryHeader& header = context->entryHeader;
    if ((header.blockFlags & EntryContinuedFromPrevious) != 0 && firstEntry) {
      check.error = "the first entry continues an earlier volume";
      check.result = ExtractNoArchive;
      break;
    }
    firstEntry = false;
    ++check.entryCount;
    CheckedEntry entry{context->fileName, EntryVerdict::Good, header.uncompressedSize,
                       header.versionNeeded, (header.attributes & AttributeDirectory) != 0};
    const bool refused = !unpackVersionSupported(header.versionNeeded);
    if (refused) fail(check, ExtractRefused);
    if ((header.attributes & (AttributeDirectory | AttributeVolumeLabel)) != 0) {
      entry.verdict = EntryVerdict::Skipped;
    } else {
      seekStream(context->archiveStream,
                 context->nextBlockPosition - static_cast<int32_t>(header.compressedSize),
                 SeekFromStart);
      beginEntry(context, sink, refused ? 1 : 0);
      unpackEntry(context, context->windowBuffer, header.blockFlags & EntrySolidFlag);
      check.bytes += header.uncompressedSize;
      if (refused) {
        entry.verdict = EntryVerdict::Refused;
      } else if (!entryChecksumMatches(context)) {
        entry.verdict = EntryVerdict::Bad;
        fail(check, ExtractBadChecksum);
      }
    }
    seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
    onEntry(entry);
  }
  context->outputStream = nullptr;
  closeStream(sink);
  freeAndClear(context->windowBuffer);
  return check;
}
