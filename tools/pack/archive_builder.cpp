// Whole archives in memory; see archive_builder.h.
#include "pack/archive_builder.h"

#include <memory>
#include <stdexcept>

#include "archive/archive_format.h"
#include "pack/chain_encoder.h"

namespace tvpack {
namespace {

// Positions in an archive are signed 32-bit values.
constexpr uint64_t MaxArchiveBytes = 0x7FFFFFFF;
// Dictionary field of a file entry: 0x40, as the carried archive stores it.
constexpr uint16_t FileDictionaryBits = 0x0040;

}  // namespace

uint16_t entryFlags(bool directory, bool solidContinuation) {
  return BlockHasAddedSize | (directory ? EntryDictionaryMask : FileDictionaryBits) |
         (solidContinuation ? EntrySolidFlag : 0);
}

uint8_t packingMethodFor(int level) {
  return static_cast<uint8_t>(0x30 + level);
}

Bytes buildArchive(const std::vector<ArchiveEntry>& entries, const BuildOptions& options) {
  uint64_t total = 0;
  for (const ArchiveEntry& entry : entries) {
    if (entry.name.size() > MaxNameLength) {
      throw std::invalid_argument("name longer than 259 bytes: " + entry.name);
    }
    total += entry.data.size();
  }
  if (total > MaxArchiveBytes) throw std::invalid_argument("archive too large for the format");

  // Packed data of the file entries, in order.
  std::vector<Bytes> packed(1);
  auto sink = [&packed](Bytes&& piece, bool last) {
    appendBytes(packed.back(), piece);
    if (last) packed.emplace_back();
  };
  std::unique_ptr<ChainEncoder> chain;
  for (const ArchiveEntry& entry : entries) {
    if (entry.directory) continue;
    if (!chain) {
      chain = std::make_unique<ChainEncoder>(options.level, sink);
    } else {
      chain->beginEntry();
    }
    chain->addData(entry.data.data(), entry.data.size());
    chain->endEntry();
    if (!options.solid) {
      chain->finish();
      chain.reset();
    }
  }
  if (chain) chain->finish();

  Bytes out;
  appendMarker(out);
  ArchiveHeaderFields archiveHeader;
  archiveHeader.blockFlags = options.solid ? ArchiveSolidFlag : 0;
  appendArchiveHeader(out, archiveHeader);
  size_t file = 0;
  for (const ArchiveEntry& entry : entries) {
    EntryHeaderFields fields;
    fields.blockFlags = entryFlags(entry.directory, options.solid && file > 0);
    fields.dosDateTime = entry.dosDateTime;
    fields.name = entry.name;
    fields.hostSystem = HostWindows;
    fields.versionNeeded = 20;
    if (entry.directory) {
      fields.attributes = entry.attributes | AttributeDirectory;
      fields.packingMethod = 0x30;  // nothing stored
      appendEntryHeader(out, fields);
      continue;
    }
    const Bytes& data = packed[file++];
    fields.attributes = entry.attributes;
    fields.packingMethod = packingMethodFor(options.level);
    fields.compressedSize = static_cast<uint32_t>(data.size());
    fields.uncompressedSize = static_cast<uint32_t>(entry.data.size());
    fields.dataChecksum = crc32Of(entry.data.data(), entry.data.size());
    appendEntryHeader(out, fields);
    appendBytes(out, data);
  }
  if (out.size() > MaxArchiveBytes) throw std::invalid_argument("archive too large for the format");
  return out;
}

}  // namespace tvpack
