// `tvsfx test`'s check of a whole archive: the verdict per entry and the
// installation's result code, on archives made by the packer and then altered
// where a test needs it (an entry's data, version or flags).
#include "archive_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pack/archive_builder.h"
#include "unpack/sample_data.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t FirstBlock = 7 + 13;  // marker and archive header

// Offsets of the entry headers of an image that buildArchive made.
std::vector<size_t> entryOffsets(const Bytes& archive) {
  std::vector<size_t> offsets;
  for (size_t at = FirstBlock; at + 11 <= archive.size();) {
    offsets.push_back(at);
    const uint32_t headerLength = archive[at + 5] | archive[at + 6] << 8;
    uint32_t packed = 0;
    for (int i = 3; i >= 0; --i) packed = packed << 8 | archive[at + 7 + i];
    at += headerLength + packed;
  }
  return offsets;
}

struct Checked {
  ArchiveCheck check;
  std::vector<CheckedEntry> entries;
};

Checked checkImage(const Bytes& image) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tv-archive-check.rar";
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);
  Checked checked;
  checked.check = checkArchive(
      path.string().c_str(), [&](const CheckedEntry& entry) { checked.entries.push_back(entry); });
  std::filesystem::remove(path);
  return checked;
}

Bytes sampleArchive() {
  return tvpack::buildArchive({
      {"readme.txt", fixtures::sampleText(30000, 5)},
      {"docs", {}, 0, 0x10, true},
      {"docs\\setup.c", fixtures::sampleSource(40000, 6)},
      {"qvtx.exe", fixtures::sampleBinary(50000, 7)},
  });
}

TEST(ArchiveCheck, GoodArchiveHasEveryEntryGoodAndTheDirectorySkipped) {
  const Checked checked = checkImage(sampleArchive());
  EXPECT_EQ(checked.check.result, 0);
  EXPECT_EQ(checked.check.entryCount, 4u);
  EXPECT_EQ(checked.check.bytes, 120000u);
  ASSERT_EQ(checked.entries.size(), 4u);
  for (const CheckedEntry& entry : checked.entries) {
    EXPECT_EQ(entry.verdict, entry.name == "docs" ? EntryVerdict::Skipped : EntryVerdict::Good)
        << entry.name;
  }
}

struct AlterCase {
  const char* name;
  int entry;      // index of the entry header altered
  size_t offset;  // byte within the header, or past it into the packed data
  uint8_t value;
  bool xorValue;  // XOR instead of set
  int result;
  std::vector<EntryVerdict> verdicts;
};

TEST(ArchiveCheck, ResultCodeIsTheInstallationsFirstFailure) {
  using V = EntryVerdict;
  const AlterCase cases[] = {
      {"damaged data of the last entry",
       3,
       200,
       0x40,
       true,
       3,
       {V::Good, V::Skipped, V::Good, V::Bad}},
      {"unpack version 21", 2, 24, 21, false, 1, {V::Good, V::Skipped, V::Refused, V::Good}},
      {"unpack version 12", 0, 24, 12, false, 1, {V::Refused, V::Skipped, V::Good, V::Good}},
      {"unpack version 13 is accepted",
       0,
       24,
       13,
       false,
       0,
       {V::Good, V::Skipped, V::Good, V::Good}},
      {"first entry continued from another volume", 0, 3, 0x01, true, 2, {}},
      {"a later entry flagged continued is not looked at",
       2,
       3,
       0x01,
       true,
       0,
       {V::Good, V::Skipped, V::Good, V::Good}},
  };
  const Bytes original = sampleArchive();
  const std::vector<size_t> offsets = entryOffsets(original);
  ASSERT_EQ(offsets.size(), 4u);
  for (const AlterCase& c : cases) {
    Bytes image = original;
    size_t at = offsets[c.entry] + c.offset;
    if (c.offset >= 32)
      at += image[offsets[c.entry] + 5] | image[offsets[c.entry] + 6] << 8;  // into the data
    image[at] = c.xorValue ? image[at] ^ c.value : c.value;
    const Checked checked = checkImage(image);
    EXPECT_EQ(checked.check.result, c.result) << c.name;
    ASSERT_EQ(checked.entries.size(), c.verdicts.size()) << c.name;
    for (size_t i = 0; i < c.verdicts.size(); ++i) {
      EXPECT_EQ(checked.entries[i].verdict, c.verdicts[i])
          << c.name << ": " << checked.entries[i].name;
    }
  }
}

TEST(ArchiveCheck, FileWithoutAnArchiveGivesTwo) {
  const Checked checked = checkImage(fixtures::sampleBinary(5000, 8));
  EXPECT_EQ(checked.check.result, 2);
  EXPECT_FALSE(checked.check.error.empty());
  EXPECT_TRUE(checked.entries.empty());
}

}  // namespace
