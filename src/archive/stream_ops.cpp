// Stream and memory operations. They add no buffering of their own: every request
// goes to the C library's buffered stream, and the platform layer opens it with
// the wanted share restriction.
#include "archive/stream_ops.h"

#include <cstdlib>

#include "platform/platform.h"

FILE* openShared(const char* path, const char* mode, int shareCode) {
  return platformOpenShared(path, mode, shareCode);
}

void closeStream(FILE* stream) {
  if (stream != nullptr) fclose(stream);
}

int32_t readBytes(FILE* stream, void* destination, int32_t count) {
  if (stream == nullptr || count <= 0) return 0;
  return static_cast<int32_t>(fread(destination, 1, static_cast<size_t>(count), stream));
}

int32_t writeBytes(FILE* stream, const void* bytes, int32_t count) {
  if (stream == nullptr || count <= 0) return 0;
  return static_cast<int32_t>(fwrite(bytes, 1, static_cast<size_t>(count), stream));
}

int seekStream(FILE* stream, int32_t offset, int origin) {
  if (stream == nullptr) return -1;
  return fseek(stream, offset, origin);
}

int32_t streamPosition(FILE* stream) {
  if (stream == nullptr) return -1;
  return static_cast<int32_t>(ftell(stream));
}

void* allocZeroed(uint32_t size) { return calloc(1, size); }

void freeBlock(void* block) { free(block); }
