// Listing an archive's entries and rendering the list; see listing.h.
#include "listing.h"

#include <algorithm>
#include <cstdio>

#include "archive/archive_context.h"
#include "archive/dos_time.h"
#include "archive/entry_walk.h"
#include "archive/stream_ops.h"
#include "opened_archive.h"

namespace {

const char* kindName(ArchiveKind kind) {
  switch (kind) {
    case KindPlain:
      return "plain";
    case KindVolume:
      return "volume";
    case KindSelfExtracting:
      return "self-extracting";
    case KindNotFound:
      break;
  }
  return "none";
}

const char* variantName(ArchiveVariant variant) {
  switch (variant) {
    case VariantNew:
      return "new";
    case VariantOld:
      return "old";
    case VariantNone:
      break;
  }
  return "none";
}

bool isDirectory(const EntryHeader& header) {
  return (header.blockFlags & EntryDictionaryMask) == EntryDictionaryMask;
}

// Packed size as a whole percentage of the unpacked size; "-" for empty entries.
std::string ratioText(const EntryHeader& header) {
  if (header.uncompressedSize == 0) return "-";
  const uint64_t percent = (uint64_t{header.compressedSize} * 100 + header.uncompressedSize / 2) /
                           header.uncompressedSize;
  return std::to_string(percent) + "%";
}

std::string timeText(uint32_t dosDateTime) {
  const DosTimeFields t = decodeDosDateTime(dosDateTime);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

// One letter per attribute bit, '.' where it is clear: read-only, hidden,
// system, volume label, directory, archive.
std::string attributeText(uint32_t attributes) {
  static const char letters[] = "RHSVDA";
  std::string text;
  for (int bit = 0; bit < 6; ++bit) text += (attributes >> bit) & 1 ? letters[bit] : '.';
  return text;
}

std::string natureText(const EntryHeader& header) {
  const bool solid = (header.blockFlags & EntrySolidFlag) != 0;
  if (solid && isDirectory(header)) return "solid,dir";
  if (solid) return "solid";
  if (isDirectory(header)) return "dir";
  return "-";
}

// The stored name as it stands, but control bytes as '?' so that a name cannot
// steer the terminal.
std::string printableName(const std::string& name) {
  std::string text = name;
  for (char& c : text) {
    const uint8_t byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return text;
}

std::string jsonString(const std::string& bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const uint8_t byte = static_cast<uint8_t>(c);
    if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      text += escape;
    } else {
      text += c;
    }
  }
  return text + "\"";
}

}  // namespace

Listing readListing(OpenedArchive& archive) {
  ArchiveContext* context = archive.context();
  Listing listing{archive.kind(),
                  context->archiveVariant,
                  archive.markerOffset(),
                  context->archiveHeader.blockFlags,
                  {}};
  while (walkToNextEntry(context) > 0) {
    listing.entries.push_back({context->entryHeader, context->blockPosition, context->fileName});
    seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
  }
  return listing;
}

std::string formatListingText(const Listing& listing) {
  std::string text = std::string(kindName(listing.kind)) + " archive, " +
                     variantName(listing.variant) + " variant, marker at offset " +
                     std::to_string(listing.markerOffset) + "\n";
  size_t nameWidth = 4;
  for (const ListedEntry& entry : listing.entries)
    nameWidth = std::max(nameWidth, entry.name.size());
  for (const ListedEntry& entry : listing.entries) {
    const EntryHeader& h = entry.header;
    char row[160];
    std::snprintf(row, sizeof row, "  %10u  %10u  %4s  %s  %s  %08X  %s\n", h.uncompressedSize,
                  h.compressedSize, ratioText(h).c_str(), timeText(h.dosDateTime).c_str(),
                  attributeText(h.attributes).c_str(), h.dataChecksum, natureText(h).c_str());
    text += printableName(entry.name) + std::string(nameWidth - entry.name.size(), ' ') + row;
  }
  return text;
}

std::string formatListingJson(const Listing& listing) {
  std::string text = "{\"kind\": \"" + std::string(kindName(listing.kind)) + "\", \"variant\": \"" +
                     variantName(listing.variant) +
                     "\", \"markerOffset\": " + std::to_string(listing.markerOffset) +
                     ", \"archiveFlags\": " + std::to_string(listing.archiveFlags) +
                     ", \"entries\": [";
  const char* separator = "\n  ";
  for (const ListedEntry& entry : listing.entries) {
    const EntryHeader& h = entry.header;
    text += separator;
    separator = ",\n  ";
    text += "{\"name\": " + jsonString(entry.name) +
            ", \"packedSize\": " + std::to_string(h.compressedSize) +
            ", \"unpackedSize\": " + std::to_string(h.uncompressedSize) +
            ", \"hostSystem\": " + std::to_string(h.hostSystem) +
            ", \"dataChecksum\": " + std::to_string(h.dataChecksum) +
            ", \"dosDateTime\": " + std::to_string(h.dosDateTime) +
            ", \"versionNeeded\": " + std::to_string(h.versionNeeded) +
            ", \"packingMethod\": " + std::to_string(h.packingMethod) +
            ", \"attributes\": " + std::to_string(h.attributes) +
            ", \"blockFlags\": " + std::to_string(h.blockFlags) +
            ", \"blockPosition\": " + std::to_string(entry.blockPosition) + "}";
  }
  if (!listing.entries.empty()) text += "\n";
  return text + "]}\n";
}
