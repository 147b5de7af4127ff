// Archives built in memory read back through the archive search, the block
// walk and the decoder with every stored field as the packer promises it.
#include "pack/archive_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/archive_format.h"
#include "pack/corpus.h"
#include "pack/unpacked_archive.h"

namespace tvpack {
namespace {

std::vector<ArchiveEntry> sampleEntries() {
  std::vector<ArchiveEntry> entries;
  entries.push_back({"README.TXT", corpus::text(5000, 1), 0x2570B062, 0x20, false});
  entries.push_back({"EMPTY.DAT", {}, 0x2570B063, 0x21, false});
  entries.push_back({"DOCS", {}, 0x2570B064, 0x10, true});
  entries.push_back({"BIN\\QVTX.EXE", corpus::randomBytes(20000, 2), 0x2570B065, 0x20, false});
  entries.push_back({"BIN\\DATA\\TABLE.DAT", corpus::records(50000, 3), 0x2570B066, 0x20, false});
  return entries;
}

TEST(ArchiveBuilder, EntriesReadBackWithTheirFieldsSolidAndNot) {
  struct Case {
    bool solid;
    uint16_t archiveFlags;
    uint16_t firstFlags, laterFlags, directoryFlags;
  };
  const Case cases[] = {{true, 0x0008, 0x8040, 0x8050, 0x80F0},
                        {false, 0x0000, 0x8040, 0x8040, 0x80E0}};
  for (const Case& c : cases) {
    std::vector<ArchiveEntry> entries = sampleEntries();
    UnpackedArchive archive = unpackArchive(buildArchive(entries, {c.solid, 4}));
    ASSERT_TRUE(archive.found);
    EXPECT_EQ(archive.markerOffset, 0);
    EXPECT_EQ(archive.archiveFlags, c.archiveFlags);
    ASSERT_EQ(archive.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const UnpackedEntry& got = archive.entries[i];
      SCOPED_TRACE(entries[i].name + (c.solid ? " solid" : " not solid"));
      EXPECT_EQ(got.name, entries[i].name);
      EXPECT_EQ(got.hostSystem, 2);
      EXPECT_EQ(got.versionNeeded, 20);
      EXPECT_EQ(got.dosDateTime, entries[i].dosDateTime);
      EXPECT_EQ(got.attributes, entries[i].attributes);
      if (entries[i].directory) {
        EXPECT_EQ(got.flags, c.directoryFlags);
        EXPECT_EQ(got.packedSize, 0u);
        continue;
      }
      EXPECT_EQ(got.flags, i == 0 ? c.firstFlags : c.laterFlags);
      EXPECT_EQ(got.packingMethod, 0x34);
      EXPECT_TRUE(got.checksumMatches);
      EXPECT_TRUE(got.data == entries[i].data);
    }
  }
}

TEST(ArchiveBuilder, ArchiveAfterAStubIsFoundAndUnpacks) {
  std::vector<ArchiveEntry> entries = sampleEntries();
  for (size_t stubSize : {size_t{7}, size_t{51200}, size_t{131053}}) {
    Bytes image = corpus::randomBytes(stubSize, 9);
    for (auto& b : image) b &= 0x7F;  // no stray marker in the stub
    Bytes archive = buildArchive(entries);
    image.insert(image.end(), archive.begin(), archive.end());
    UnpackedArchive got = unpackArchive(image);
    ASSERT_TRUE(got.found) << stubSize;
    EXPECT_EQ(got.markerOffset, static_cast<int32_t>(stubSize));
    ASSERT_EQ(got.entries.size(), entries.size());
    EXPECT_TRUE(got.entries[4].data == entries[4].data) << stubSize;
  }
}

TEST(ArchiveBuilder, RefusesNamesLongerThan259Bytes) {
  std::vector<ArchiveEntry> entries = {{std::string(259, 'A'), {1, 2, 3}}};
  EXPECT_NO_THROW(buildArchive(entries));
  entries[0].name.push_back('A');
  EXPECT_THROW(buildArchive(entries), std::invalid_argument);
}

TEST(ArchiveBuilder, FirstFileAfterADirectoryStartsTheSolidChain) {
  std::vector<ArchiveEntry> entries = {{"EMPTYDIR", {}, 0, 0x10, true},
                                       {"A.TXT", corpus::text(3000, 4)},
                                       {"B.TXT", corpus::text(3000, 4)}};
  UnpackedArchive got = unpackArchive(buildArchive(entries));
  ASSERT_EQ(got.entries.size(), 3u);
  EXPECT_EQ(got.entries[1].flags, 0x8040);
  EXPECT_EQ(got.entries[2].flags, 0x8050);
  EXPECT_TRUE(got.entries[2].checksumMatches);
  EXPECT_TRUE(got.entries[2].data == entries[2].data);
  EXPECT_LT(got.entries[2].packedSize, 40u);  // the solid entry copies its twin
}

}  // namespace
}  // namespace tvpack
