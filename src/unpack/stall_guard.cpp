// Cycle search over the decoder state at symbols that produce nothing.
#include "unpack/stall_guard.h"

#include <cstring>

namespace {

void captureState(const ArchiveContext* context, DecoderState* state) {
  std::memcpy(state->inputBuffer, context->inputBuffer, InputBufferSize);
  std::memcpy(state->savedLengths, context->savedLengths, SavedLengthCount);
  state->tables[0] = context->preTable;
  state->tables[1] = context->mainTable;
  state->tables[2] = context->distanceTable;
  state->tables[3] = context->repeatLengthTable;
  for (int i = 0; i < AudioTableCount; ++i) state->tables[4 + i] = context->audioTableStore[i];
  state->inputPos = context->inputPos;
  state->inputBit = context->inputBit;
  state->inputEnd = context->inputEnd;
  state->packedLeft = context->packedLeft;
  state->writePos = context->writePos;
  state->flushedPos = context->flushedPos;
  state->prevDistance = context->prevDistance;
  state->prevLength = context->prevLength;
  std::memcpy(state->recentDistances, context->recentDistances, sizeof(state->recentDistances));
  state->recentSlot = context->recentIndex & 3;
  state->audioMode = context->audioMode;
  state->channelCount = context->channelCount;
  state->activeChannel = context->activeChannel;
  state->decodedSymbol = context->decodedSymbol;
}

bool sameTable(const HuffmanTable& a, const HuffmanTable& b) {
  return std::memcmp(&a, &b, sizeof(HuffmanTable)) == 0;
}

bool sameState(const ArchiveContext* context, const DecoderState* state) {
  // The small fields first: they differ in almost every comparison.
  if (state->inputPos != context->inputPos || state->inputBit != context->inputBit ||
      state->inputEnd != context->inputEnd || state->packedLeft != context->packedLeft ||
      state->writePos != context->writePos || state->flushedPos != context->flushedPos ||
      state->prevDistance != context->prevDistance || state->prevLength != context->prevLength ||
      state->recentSlot != (context->recentIndex & 3) || state->audioMode != context->audioMode ||
      state->channelCount != context->channelCount ||
      state->activeChannel != context->activeChannel ||
      state->decodedSymbol != context->decodedSymbol ||
      std::memcmp(state->recentDistances, context->recentDistances,
                  sizeof(state->recentDistances)) != 0) {
    return false;
  }
  if (!sameTable(state->tables[0], context->preTable) ||
      !sameTable(state->tables[1], context->mainTable) ||
      !sameTable(state->tables[2], context->distanceTable) ||
      !sameTable(state->tables[3], context->repeatLengthTable)) {
    return false;
  }
  for (int i = 0; i < AudioTableCount; ++i) {
    if (!sameTable(state->tables[4 + i], context->audioTableStore[i])) return false;
  }
  return std::memcmp(state->savedLengths, context->savedLengths, SavedLengthCount) == 0 &&
         std::memcmp(state->inputBuffer, context->inputBuffer, InputBufferSize) == 0;
}

}  // namespace

int stallDetected(const ArchiveContext* context, StallGuard* guard) {
  if (guard->armed == 0 || guard->unpackedLeft != context->unpackedLeft) {
    guard->armed = 1;
    guard->unpackedLeft = context->unpackedLeft;
    guard->steps = 0;
    guard->stepLimit = 1;
    captureState(context, &guard->saved);
    return 0;
  }
  if (sameState(context, &guard->saved)) return 1;
  if (++guard->steps == guard->stepLimit) {
    captureState(context, &guard->saved);
    guard->steps = 0;
    guard->stepLimit *= 2;
  }
  return 0;
}
