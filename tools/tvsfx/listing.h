// What `tvsfx list` shows of an archive, and its two renderings: a text table
// for people and a JSON object for scripts. Reading fills the record by the
// driver's walk; the renderings only format it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

class OpenedArchive;

struct ListedEntry {
  EntryHeader header;     // as the walk decoded and normalised it
  int32_t blockPosition;  // offset of the entry header
  std::string name;       // stored name, separators as backslashes
};

struct Listing {
  ArchiveKind kind;
  ArchiveVariant variant;
  int32_t markerOffset;
  uint16_t archiveFlags;
  std::vector<ListedEntry> entries;
};

// Walks every entry of an opened archive, passing over sub-blocks.
Listing readListing(OpenedArchive& archive);

// A header line (kind, variant, marker offset), then per entry: name (control
// bytes shown as '?'), unpacked
// and packed size, ratio, time, attribute letters, CRC, solid/directory.
std::string formatListingText(const Listing& listing);

// {"kind", "variant", "markerOffset", "archiveFlags", "entries": [...]}; names
// with bytes outside printable ASCII escaped as \u00XX of the byte value.
std::string formatListingJson(const Listing& listing);
