// The format's two checksums: CRC-32 (reflected polynomial 0xEDB88320) for
// RAR 1.5-2.0 data and header checksums, and a 16-bit rotate-and-add sum for
// the older variant's data. No operation complements its input or output:
// starting values and final comparisons belong to the callers.
#pragma once

#include <cstdint>

struct ArchiveContext;

void buildCrcTable(ArchiveContext* context);
uint32_t crc32Update(const ArchiveContext* context, uint32_t value, const void* bytes, uint32_t length);
uint32_t oldChecksumUpdate(uint32_t value, const void* bytes, uint32_t length);
// Variant 1 (VariantOld) selects the 16-bit sum, any other value CRC-32.
uint32_t updateChecksum(const ArchiveContext* context, uint32_t value, const void* bytes,
                        uint32_t length, int variant);
