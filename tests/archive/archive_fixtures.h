// Archive images for the tests and the stage scripts, built with the block
// writer. The carried archive's first blocks are given field by field as the
// setup program's payload holds them; the packed data that follows an entry
// header is filler, since nothing here unpacks it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pack/block_writer.h"

namespace fixtures {

// The payload's archive header: solid, authenticity block present.
constexpr uint16_t CarriedArchiveFlags = 0x0028;
// Offset of the marker in the setup program: the size of its image.
constexpr int32_t CarriedMarkerOffset = 51200;

tvpack::ArchiveHeaderFields carriedArchiveHeader();
// "FILE_ID.DIZ", 645 bytes packed to 421, 16 November 1998 22:03:04.
tvpack::EntryHeaderFields carriedFirstEntry();

// Leading data of the given size that holds no archive but plenty of "R" bytes
// and near-misses of both markers, like an executable image would.
tvpack::Bytes leadingData(size_t size);

// Filler standing for an entry's packed data.
tvpack::Bytes packedFiller(size_t size);

// Marker, archive header (with the given flags) and the first entry with its
// packed data: the carried archive's first 484 bytes.
tvpack::Bytes carriedArchiveStart(uint16_t archiveFlags = CarriedArchiveFlags);

// A small archive that has everything the walk meets: entries (solid, a
// directory, a Unix host, a slash-separated and a non-ASCII name), a sub-block
// between entries and the authenticity block at the end.
tvpack::Bytes mixedArchive();

// The older self-extractor: leading data with "RSFX" at offsets 28 to 31, then
// "RE~^" starting an archive header and one entry.
tvpack::Bytes oldVariantArchive();

tvpack::Bytes concat(const tvpack::Bytes& first, const tvpack::Bytes& second);

}  // namespace fixtures
