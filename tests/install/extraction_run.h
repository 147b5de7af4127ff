// Runs an extraction over an archive image made in a test: writes the image
// into a scratch directory, installs it into the subdirectory T with a null
// owner (a console run) and keeps what it showed.
#pragma once

#include <filesystem>
#include <string>

#include "install/scratch_dir.h"
#include "pack/block_writer.h"

namespace tvtest {

struct ExtractionRun {
  int result = -1;
  std::string progress;     // the names shown, one a line
  std::string messages;     // "CAPTION: TEXT" lines
  std::string targetAfter;  // the target buffer after the call
};

// The image goes to scratch/ARCHIVE.EXE; the target is scratch/T, created
// when missing.
ExtractionRun extractImage(const ScratchDir& scratch, const tvpack::Bytes& image);

// Marker and a plain archive header.
tvpack::Bytes archiveStart(uint16_t archiveFlags = 0);

// The header of an entry that holds no bytes: nothing to decode, and its
// checksum is that of no bytes.
tvpack::EntryHeaderFields emptyEntry(const std::string& name, uint32_t attributes = 0x20);

// Every file and directory below root, relative and with slashes, sorted.
std::string treeOf(const std::filesystem::path& root);

}  // namespace tvtest
