// The extraction run over archives with packed data: solid and not, the kept
// settings file that is still decoded, and a damaged entry.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "install/extraction_run.h"
#include "install/packed_fixture.h"

namespace {

namespace fs = std::filesystem;
using tvpack::ArchiveEntry;
using tvpack::Bytes;
using tvtest::extractImage;
using tvtest::sampleData;
using tvtest::ScratchDir;
using tvtest::textOf;

std::vector<ArchiveEntry> sampleTree() {
  std::vector<ArchiveEntry> entries;
  const struct {
    const char* name;
    size_t size;
  } files[] = {
      {"README.TXT", 3000},       {"BIN\\QVTX.EXE", 70000}, {"DOC", 0},
      {"DOC\\MANUAL.TXT", 20000}, {"EMPTY.DAT", 0},         {"BIN\\DATA\\TABLE.BIN", 9000},
  };
  unsigned seed = 1;
  for (const auto& file : files) {
    ArchiveEntry entry;
    entry.name = file.name;
    entry.directory = std::string(file.name) == "DOC";
    if (!entry.directory) entry.data = sampleData(file.size, seed++);
    entry.dosDateTime = tvpack::dosDateTimeOf(2002, 3, 4, 5, 6, 8);
    entries.push_back(entry);
  }
  return entries;
}

std::string expectedPath(const ArchiveEntry& entry) {
  std::string path = entry.name;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

TEST(PackedExtraction, TreeComesOutByteForByteSolidOrNot) {
  for (bool solid : {true, false}) {
    ScratchDir scratch;
    const auto entries = sampleTree();
    const auto run = extractImage(scratch, tvpack::buildArchive(entries, {.solid = solid}));
    EXPECT_EQ(run.result, 0) << "solid " << solid;
    EXPECT_EQ(run.messages, "");
    for (const ArchiveEntry& entry : entries) {
      if (entry.directory) continue;
      EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / expectedPath(entry)), textOf(entry.data))
          << entry.name << (solid ? " (solid)" : "");
    }
  }
}

TEST(PackedExtraction, KeptSettingsFileIsStillDecodedForTheEntriesAfterIt) {
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "T" / "TARNZIP.SET", "user settings");
  std::vector<ArchiveEntry> entries(3);
  entries[0].name = "FIRST.TXT";
  entries[0].data = sampleData(5000, 7);
  entries[1].name = "TARNZIP.SET";
  entries[1].data = sampleData(40000, 8);
  entries[2].name = "AFTER.TXT";
  entries[2].data = entries[1].data;  // packed as matches into the kept entry's bytes
  const auto run = extractImage(scratch, tvpack::buildArchive(entries));
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "TARNZIP.SET"), "user settings");
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "AFTER.TXT"), textOf(entries[2].data));
}

TEST(PackedExtraction, DamagedEntryIsRemovedAndReportedByItsStoredName) {
  std::vector<ArchiveEntry> entries(3);
  entries[0].name = "GOOD.TXT";
  entries[0].data = sampleData(20000, 3);
  entries[1].name = "SUB\\BAD.TXT";
  entries[1].data = sampleData(20000, 4);
  entries[2].name = "LATER.TXT";
  entries[2].data = sampleData(20000, 5);
  Bytes image = tvpack::buildArchive(entries);
  const tvtest::PackedRange damaged = tvtest::packedRangeOf(image, 1);
  ASSERT_GT(damaged.length, 100u);
  image[damaged.offset + damaged.length / 2] ^= 0x5A;

  ScratchDir scratch;
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 3);
  EXPECT_EQ(run.messages, "SUB\\BAD.TXT: Cannot install file.\n");
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "GOOD.TXT"), textOf(entries[0].data));
  EXPECT_FALSE(fs::exists(scratch.path() / "T" / "SUB" / "BAD.TXT"));
  EXPECT_FALSE(fs::exists(scratch.path() / "T" / "LATER.TXT"));
}

TEST(PackedExtraction, StoredChecksumThatDoesNotMatchEndsWithThree) {
  // The data are whole; only the stored checksum is wrong.
  std::vector<ArchiveEntry> entries(2);
  entries[0].name = "ONE.TXT";
  entries[0].data = sampleData(3000, 9);
  entries[1].name = "TWO.TXT";
  entries[1].data = sampleData(3000, 10);
  Bytes image = tvpack::buildArchive(entries);
  const size_t secondHeader =
      tvtest::packedRangeOf(image, 0).offset + tvtest::packedRangeOf(image, 0).length;
  image[secondHeader + 16] ^= 0x01;  // dataChecksum, bytes 16-19 of the header

  ScratchDir scratch;
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 3);
  EXPECT_EQ(run.messages, "TWO.TXT: Cannot install file.\n");
  EXPECT_TRUE(fs::exists(scratch.path() / "T" / "ONE.TXT"));
  EXPECT_FALSE(fs::exists(scratch.path() / "T" / "TWO.TXT"));
}

}  // namespace
