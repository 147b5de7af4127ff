// Reset, packed-byte reading and refilling of the unpacker's input buffer.
#include "unpack/bit_reader.h"

#include <cstring>

#include "archive/stream_ops.h"

void resetUnpacker(ArchiveContext* context, int solid) {
  context->inputPos = 0;
  context->inputBit = 0;
  if (solid != 0) return;  // a solid entry continues the previous entry's state
  context->activeChannel = 0;
  std::memset(context->recentDistances, 0, sizeof(context->recentDistances));
  context->recentIndex = 0;
  context->prevLength = 0;
  context->prevDistance = 0;
  std::memset(context->windowBase, 0, WindowSize);
  std::memset(context->savedLengths, 0, sizeof(context->savedLengths));
  context->flushedPos = 0;
  context->writePos = 0;
}

int32_t readPacked(ArchiveContext* context, uint8_t* destination, int32_t count) {
  if (count == 0) return 0;
  int32_t total = 0;
  do {
    const int32_t wanted = count < context->packedLeft ? count : context->packedLeft;
    if (context->archiveStream == nullptr) return 0;
    const int32_t got = readBytes(context->inputStream, destination, wanted);
    // A stream that delivers nothing while bytes are still expected has ended
    // early (a cut archive or a read error); asking again would never finish.
    if (got <= 0) break;
    total += got;
    context->packedLeft -= got;
    count -= got;
    destination += got;
  } while (context->packedLeft > 0 && count != 0);
  return total;
}

void refillInput(ArchiveContext* context, int first) {
  if (first != 0) {
    context->inputEnd =
        static_cast<uint32_t>(readPacked(context, context->inputBuffer, InputBufferSize));
    context->inputPos = 0;
    return;
  }
  std::memmove(context->inputBuffer, context->inputBuffer + InputBufferSize - RefillKeep,
               RefillKeep);
  context->inputPos &= RefillKeep - 1;
  const int32_t got =
      readPacked(context, context->inputBuffer + RefillKeep, InputBufferSize - RefillKeep);
  context->inputEnd = got > 0 ? static_cast<uint32_t>(got) + RefillKeep : context->inputPos;
}
