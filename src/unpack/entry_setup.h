// What the extraction driver does around unpackEntry for one entry: set the
// per-entry fields before it and compare the checksum after it. The driver and
// `tvsfx test` both use these, so they judge an entry the same way.
#pragma once

#include <cstdio>

#include "archive/archive_context.h"

// Sets skipEntry, the starting checksum of the archive's variant, the packed
// and unpacked sizes of entryHeader, inputStream = archiveStream (standing at
// the entry's first packed byte) and outputStream (null writes nothing).
void beginEntry(ArchiveContext* context, FILE* output, int skip);

// The written bytes match the stored checksum: the complemented CRC-32 for the
// RAR 1.5-2.0 variant, the plain 16-bit sum for the older one; all 32 bits.
bool entryChecksumMatches(const ArchiveContext* context);
