// Thin operations over the C library's buffered streams and the heap. Every byte
// the system reads from the archive or writes to an installed file passes here.
// Release operations accept absent objects.
#pragma once

#include <cstdint>
#include <cstdio>

// Share codes of openShared: what other openers of the file may do meanwhile.
constexpr int ShareDenyRead = 0;
constexpr int ShareDenyWrite = 1;
constexpr int ShareDenyNone = 2;

enum SeekOrigin : int { SeekFromStart = 0, SeekFromCurrent = 1, SeekFromEnd = 2 };

FILE* openShared(const char* path, const char* mode, int shareCode);
void closeStream(FILE* stream);
int32_t readBytes(FILE* stream, void* destination, int32_t count);
int32_t writeBytes(FILE* stream, const void* bytes, int32_t count);
int seekStream(FILE* stream, int32_t offset, int origin);
int32_t streamPosition(FILE* stream);
void* allocZeroed(uint32_t size);

void freeBlock(void* block);
// Frees the block a pointer variable holds and clears the variable.
template <typename T>
inline void freeAndClear(T*& block) {
  freeBlock(block);
  block = nullptr;
}
