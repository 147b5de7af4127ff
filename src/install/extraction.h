// The extraction run: installs every file entry of the archive carried by a
// file into a target directory, verifying each written file against its
// stored checksum and giving it its stored time and attributes.
#pragma once

#include "archive/archive_context.h"
#include "platform/platform.h"

// Result codes of an extraction run.
constexpr int ExtractDone = 0;
constexpr int ExtractRefused =
    1;  // no memory for the run, a foreign unpack version, or a file that cannot be created
constexpr int ExtractNoArchive =
    2;  // file not opened, no archive in it, or it needs another volume
constexpr int ExtractBadChecksum = 3;  // a written file does not match its stored checksum
constexpr int ExtractNoWindow = 9;     // no memory for the window

// Installs the archive in archivePath into targetDir, which must exist. A
// backslash is appended to targetDir in place when it does not end in one, so
// its buffer needs room for one more character. owner holds the progress line
// (the name of each entry) and owns the messages; null for a console run.
int extractArchive(WindowHandle owner, const char* archivePath, char* targetDir);

// The run over a context that extractArchive has prepared.
int extractEntries(WindowHandle owner, ArchiveContext* context);
