// Reading archive images back for the packer tests; see unpacked_archive.h.
#include "pack/unpacked_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "archive/archive_search.h"
#include "archive/block_walk.h"
#include "archive/stream_ops.h"
#include "opened_archive.h"
#include "unpack/decoder_harness.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"

UnpackedArchive unpackArchive(const tvpack::Bytes& image) {
  // Named after the running test: test programs run side by side.
  static int counter = 0;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "tv-pack-";
  if (test != nullptr) name += std::string(test->test_suite_name()) + "-" + test->name() + "-";
  std::replace(name.begin(), name.end(), '/', '_');
  std::string path =
      (std::filesystem::temp_directory_path() / (name + std::to_string(++counter))).string();
  FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr);
  if (file == nullptr) return {};
  std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);

  UnpackedArchive result;
  {
    OpenedArchive archive;
    std::string error;
    if (archive.open(path.c_str(), error)) {
      result.found = true;
      result.markerOffset = archive.markerOffset();
      ArchiveContext* context = archive.context();
      result.archiveFlags = context->archiveHeader.blockFlags;
      for (int i = 0; i < AudioTableCount; ++i)
        context->audioTables[i] = &context->audioTableStore[i];
      std::vector<uint8_t> window(WindowSize, 0);
      while (walkToBlock(context, BlockEntry) > 0) {
        normalizeEntryHeader(context);
        const EntryHeader& header = context->entryHeader;
        UnpackedEntry entry{context->fileName,
                            header.blockFlags,
                            header.attributes,
                            header.hostSystem,
                            header.versionNeeded,
                            header.packingMethod,
                            header.dosDateTime,
                            header.compressedSize,
                            {},
                            false};
        if ((header.attributes & (AttributeDirectory | AttributeVolumeLabel)) == 0) {
          seekStream(context->archiveStream,
                     context->nextBlockPosition - static_cast<int32_t>(header.compressedSize),
                     SeekFromStart);
          fixtures::TempFile output = fixtures::tempFileWith({});
          beginEntry(context, output.get(), 0);
          unpackEntry(context, window.data(), header.blockFlags & EntrySolidFlag);
          entry.checksumMatches = entryChecksumMatches(context);
          entry.data = fixtures::contentsOf(output.get());
          seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
        }
        result.entries.push_back(std::move(entry));
      }
    }
  }
  std::remove(path.c_str());
  return result;
}
