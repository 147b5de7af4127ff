// Fixture images; see archive_fixtures.h.
#include "archive/archive_fixtures.h"

#include <cstring>

namespace fixtures {

using tvpack::Bytes;

tvpack::ArchiveHeaderFields carriedArchiveHeader() {
  tvpack::ArchiveHeaderFields header;
  header.blockFlags = CarriedArchiveFlags;
  header.reserved16 = 0x0000;
  header.reserved32 = 0x0008835C;
  return header;
}

tvpack::EntryHeaderFields carriedFirstEntry() {
  tvpack::EntryHeaderFields entry;
  entry.blockFlags = 0x8040;
  entry.compressedSize = 421;
  entry.uncompressedSize = 645;
  entry.hostSystem = 2;
  entry.dataChecksum = 0xB8530F88;
  entry.dosDateTime = 0x2570B062;
  entry.versionNeeded = 20;
  entry.packingMethod = 0x35;
  entry.attributes = 0x20;
  entry.name = "FILE_ID.DIZ";
  return entry;
}

Bytes leadingData(size_t size) {
  static const char pattern[] = "MZ Rar RE~ Ra r!\x1A Rar!\x1A\x07 RE~_ R";
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<uint8_t>(pattern[i % (sizeof pattern - 1)]);
  return bytes;
}

Bytes packedFiller(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return bytes;
}

Bytes carriedArchiveStart(uint16_t archiveFlags) {
  Bytes out;
  tvpack::appendMarker(out);
  tvpack::ArchiveHeaderFields header = carriedArchiveHeader();
  header.blockFlags = archiveFlags;
  tvpack::appendArchiveHeader(out, header);
  const tvpack::EntryHeaderFields entry = carriedFirstEntry();
  tvpack::appendEntryHeader(out, entry);
  tvpack::appendBytes(out, packedFiller(entry.compressedSize));
  return out;
}

namespace {

void appendEntry(Bytes& out, tvpack::EntryHeaderFields entry, size_t packedSize) {
  entry.compressedSize = static_cast<uint32_t>(packedSize);
  tvpack::appendEntryHeader(out, entry);
  tvpack::appendBytes(out, packedFiller(packedSize));
}

}  // namespace

Bytes mixedArchive() {
  Bytes out = carriedArchiveStart();

  tvpack::EntryHeaderFields entry = carriedFirstEntry();
  entry.blockFlags = 0x8050;  // solid
  entry.name = "DOCS/README.TXT";
  entry.uncompressedSize = 1000;
  entry.dataChecksum = 0x01020304;
  entry.dosDateTime = tvpack::dosDateTimeOf(2001, 2, 3, 4, 5, 6);
  entry.attributes = 0x21;  // read-only, archive
  appendEntry(out, entry, 300);

  tvpack::BlockFields subBlock;
  subBlock.blockType = 0x77;
  subBlock.blockFlags = 0x8000;
  subBlock.addedSize = 50;
  subBlock.body = Bytes(24, 0x77);
  tvpack::appendBlock(out, subBlock);
  tvpack::appendBytes(out, packedFiller(50));

  entry.blockFlags = 0x80F0;  // solid, directory
  entry.hostSystem = 3;
  entry.name = "bin";
  entry.uncompressedSize = 0;
  entry.dataChecksum = 0;
  entry.attributes = 0x41ED;  // a Unix mode: replaced by the host rule
  appendEntry(out, entry, 0);

  entry.blockFlags = 0x8050;
  entry.hostSystem = 0;
  entry.name = "bin/caf\xE9\x01\"q\\.exe";
  entry.uncompressedSize = 4096;
  entry.dataChecksum = 0xFFFFFFFF;
  entry.dosDateTime = tvpack::dosDateTimeOf(2107, 12, 31, 23, 59, 58);
  entry.attributes = 0x27;
  entry.extra = {0xAA, 0xBB, 0xCC};  // header bytes after the name
  appendEntry(out, entry, 4000);

  // The authenticity block that closes the carried archive: no added size,
  // 94 bytes, content not interpreted.
  tvpack::BlockFields authenticity;
  authenticity.blockType = 0x76;
  authenticity.blockFlags = 0x4000;
  authenticity.body = packedFiller(94 - 7);
  tvpack::appendBlock(out, authenticity);
  return out;
}

Bytes oldVariantArchive() {
  Bytes out = leadingData(4096);
  std::memcpy(out.data() + 28, "RSFX", 4);
  // The older variant's archive header starts at the marker's first byte: the
  // 13-byte layout laid over "RE~^" reads as checksum 0x4552, type 0x7E and
  // flags 0x005E; the length that follows is 13.
  const Bytes marker = {0x52, 0x45, 0x7E, 0x5E};
  tvpack::appendBytes(out, marker);
  const Bytes headerRest = {0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  tvpack::appendBytes(out, headerRest);
  tvpack::EntryHeaderFields entry = carriedFirstEntry();
  entry.name = "OLD.TXT";
  entry.dataChecksum = 0x0556;  // 16-bit sum of "abc"
  appendEntry(out, entry, 3);
  return out;
}

Bytes concat(const Bytes& first, const Bytes& second) {
  Bytes out = first;
  tvpack::appendBytes(out, second);
  return out;
}

}  // namespace fixtures
