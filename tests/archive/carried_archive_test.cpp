// The setup program's payload, its first blocks as the product carries them:
// built by the block writer, byte for byte, then opened and walked alone and
// behind the setup program's 51,200-byte image.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/archive_file.h"
#include "archive/archive_fixtures.h"
#include "archive/archive_search.h"
#include "archive/block_walk.h"
#include "archive/entry_walk.h"

namespace {

using tvpack::Bytes;

TEST(CarriedArchive, BlockWriterReproducesItsBytesAndHeaderChecksums) {
  const Bytes expected = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00,  // marker
                          0x20, 0x4C, 0x73, 0x28, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x5C, 0x83,
                          0x08, 0x00,  // archive header
                          0x09, 0xF6, 0x74, 0x40, 0x80, 0x2B, 0x00, 0xA5, 0x01, 0x00, 0x00,
                          0x85, 0x02, 0x00, 0x00, 0x02, 0x88, 0x0F, 0x53, 0xB8, 0x62, 0xB0,
                          0x70, 0x25, 0x14, 0x35, 0x0B, 0x00, 0x20, 0x00, 0x00, 0x00, 'F',
                          'I',  'L',  'E',  '_',  'I',  'D',  '.',  'D',  'I',  'Z'};
  const Bytes start = fixtures::carriedArchiveStart();
  ASSERT_EQ(start.size(), 7u + 13u + 43u + 421u);
  EXPECT_EQ(Bytes(start.begin(), start.begin() + expected.size()), expected);

  // The stored checksums are the low 16 bits of the CRC-32 of bytes 2 to 12 of
  // the archive header and bytes 2 to 42 of the entry header.
  EXPECT_EQ(tvpack::headerChecksumOf(expected.data() + 7 + 2, 11), 0x4C20);
  EXPECT_EQ(tvpack::headerChecksumOf(expected.data() + 20 + 2, 41), 0xF609);
  EXPECT_EQ(tvpack::dosDateTimeOf(1998, 11, 16, 22, 3, 4), 0x2570B062u);
}

struct CarriedCase {
  const char* what;
  size_t leading;  // bytes of leading data in front of the marker
  uint16_t archiveFlags;
  ArchiveKind kind;
};

TEST(CarriedArchive, OpensAndWalksToTheFirstEntryAloneAndBehindTheSetupImage) {
  const CarriedCase cases[] = {
      {"bare archive", 0, 0x0028, KindPlain},
      {"bare volume", 0, 0x0029, KindVolume},
      {"behind the setup image", 51200, 0x0028, KindSelfExtracting},
      {"volume behind the setup image", 51200, 0x0029, KindVolume},
  };
  for (const CarriedCase& c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t marker = static_cast<int32_t>(c.leading);
    const Bytes image = fixtures::concat(fixtures::leadingData(c.leading),
                                         fixtures::carriedArchiveStart(c.archiveFlags));
    ArchiveFile file(image);
    ArchiveContext* context = file.context();

    ASSERT_EQ(openArchive(context), c.kind);
    EXPECT_EQ(context->archiveVariant, VariantNew);
    EXPECT_EQ(std::memcmp(context->marker, "Rar!\x1A\x07\x00", 7), 0);
    const ArchiveHeader& archive = context->archiveHeader;
    // 0x4C20 for the carried flags; the volume bit changes it.
    EXPECT_EQ(archive.headerChecksum, tvpack::headerChecksumOf(image.data() + marker + 9, 11));
    EXPECT_EQ(archive.blockType, 0x73);
    EXPECT_EQ(archive.blockFlags, c.archiveFlags);
    EXPECT_EQ(archive.headerLength, 13);
    EXPECT_EQ(archive.reserved16, 0x0000);
    EXPECT_EQ(archive.reserved32, 0x0008835Cu);
    EXPECT_EQ(context->archiveHeaderBytesRead, 13);
    EXPECT_EQ(file.position(), marker + 20);
    EXPECT_EQ(markerOffset(context), marker);

    // The driver moves on by headerLength - 13 = 0 bytes.
    skipArchiveHeaderRest(context);
    EXPECT_EQ(file.position(), marker + 20);

    ASSERT_EQ(walkToBlock(context, StopAtSubBlock | 0x74), 43);
    const EntryHeader& entry = context->entryHeader;
    EXPECT_EQ(entry.headerChecksum, 0xF609);
    EXPECT_EQ(entry.blockType, 0x74);
    EXPECT_EQ(entry.blockFlags, 0x8040);
    EXPECT_EQ(entry.headerLength, 43);
    EXPECT_EQ(entry.compressedSize, 421u);
    EXPECT_EQ(entry.uncompressedSize, 645u);
    EXPECT_EQ(entry.hostSystem, 2);
    EXPECT_EQ(entry.dataChecksum, 0xB8530F88u);
    EXPECT_EQ(entry.dosDateTime, 0x2570B062u);
    EXPECT_EQ(entry.versionNeeded, 20);
    EXPECT_EQ(entry.packingMethod, 0x35);
    EXPECT_EQ(entry.nameLength, 11);
    EXPECT_EQ(entry.attributes, 0x20u);
    EXPECT_STREQ(context->fileName, "FILE_ID.DIZ");
    EXPECT_EQ(context->stopBlockType, 0x74);
    EXPECT_EQ(context->blockPosition, marker + 20);
    EXPECT_EQ(context->nextBlockPosition, marker + 20 + 43 + 421);
    // The packed data is the compressedSize bytes just before the next block,
    // and the stream stands at its first byte after the name.
    EXPECT_EQ(file.position(), context->nextBlockPosition - 421);
  }
}

TEST(CarriedArchive, StoredHeaderChecksumsAreNotVerified) {
  Bytes image;
  tvpack::appendMarker(image);
  tvpack::ArchiveHeaderFields archive = fixtures::carriedArchiveHeader();
  archive.headerChecksum = 0x4C21;
  tvpack::appendArchiveHeader(image, archive);
  tvpack::EntryHeaderFields entry = fixtures::carriedFirstEntry();
  entry.headerChecksum = 0x0000;
  tvpack::appendEntryHeader(image, entry);
  tvpack::appendBytes(image, fixtures::packedFiller(entry.compressedSize));
  ArchiveFile file(image);
  ArchiveContext* context = file.context();

  ASSERT_EQ(openArchive(context), KindPlain);
  EXPECT_EQ(context->archiveHeader.headerChecksum, 0x4C21);
  skipArchiveHeaderRest(context);
  ASSERT_EQ(walkToBlock(context, StopAtSubBlock | 0x74), 43);
  EXPECT_EQ(context->entryHeader.headerChecksum, 0x0000);
  EXPECT_STREQ(context->fileName, "FILE_ID.DIZ");
}

TEST(CarriedArchive, WalkEndsAfterTheAuthenticityBlockWithTheLastEntryKept) {
  Bytes image = fixtures::concat(fixtures::leadingData(51200), fixtures::carriedArchiveStart());
  tvpack::BlockFields authenticity;
  authenticity.blockType = 0x76;
  authenticity.blockFlags = 0x4000;
  // Bytes 7 to 10 would read as an added size of 0x7FFFFFFF if bit 15 counted.
  authenticity.body = Bytes(94 - 7, 0x5A);
  authenticity.body[0] = authenticity.body[1] = authenticity.body[2] = 0xFF;
  authenticity.body[3] = 0x7F;
  tvpack::appendBlock(image, authenticity);
  ArchiveFile file(image);
  ArchiveContext* context = file.context();

  ASSERT_EQ(openArchive(context), KindSelfExtracting);
  skipArchiveHeaderRest(context);
  ASSERT_EQ(walkToBlock(context, StopAtSubBlock | 0x74), 43);
  file.seek(context->nextBlockPosition);

  EXPECT_EQ(walkToBlock(context, StopAtSubBlock | 0x74), 0);
  EXPECT_EQ(context->blockPosition, 51684 + 94);  // the end of the file
  EXPECT_EQ(context->nextBlockPosition, 51684 + 94);
  EXPECT_EQ(file.position(), 51684 + 94);
  // The driver looks at the last entry's flags after the end of the walk.
  EXPECT_EQ(context->entryHeader.blockFlags, 0x8040);
  EXPECT_EQ(context->entryHeader.compressedSize, 421u);
  EXPECT_STREQ(context->fileName, "FILE_ID.DIZ");
}

}  // namespace
