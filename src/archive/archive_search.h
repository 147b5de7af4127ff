// Recognising the archive in an opened file: either it starts at the first
// byte, or it follows leading data (a setup program's image) and is found by a
// search through the first 131,063 bytes of the file.
#pragma once

#include <cstdint>

#include "archive/archive_format.h"

struct ArchiveContext;

// Reads the marker and the archive header's fixed part from archiveStream,
// which stands at offset 0, and sets marker, archiveHeader, archiveVariant and
// archiveHeaderBytesRead. On success the stream stands directly after the
// archive header's fixed part.
ArchiveKind openArchive(ArchiveContext* context);

// File offset of the marker of the archive just opened, from the stream's
// position right after a successful openArchive.
int32_t markerOffset(ArchiveContext* context);
