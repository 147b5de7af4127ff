// The CRC-32 table lives in the context record and is computed once per run
// rather than stored: 1 KB of arithmetic at start-up instead of 1 KB of data.
#include "archive/checksum.h"

#include "archive/archive_context.h"

void buildCrcTable(ArchiveContext* context) {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    context->crcTable[i] = c;
  }
}

uint32_t crc32Update(const ArchiveContext* context, uint32_t value, const void* bytes, uint32_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  const uint32_t* table = context->crcTable;
  for (uint32_t i = 0; i < length; ++i) value = table[(value ^ p[i]) & 0xFF] ^ (value >> 8);
  return value;
}

uint32_t oldChecksumUpdate(uint32_t value, const void* bytes, uint32_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  value &= 0xFFFF;
  for (uint32_t i = 0; i < length; ++i) {
    value = (value + p[i]) & 0xFFFF;
    value = ((value << 1) | (value >> 15)) & 0xFFFF;
  }
  return value;
}

uint32_t updateChecksum(const ArchiveContext* context, uint32_t value, const void* bytes,
                        uint32_t length, int variant) {
  if (variant == VariantOld) return oldChecksumUpdate(value, bytes, length);
  return crc32Update(context, value, bytes, length);
}
