// The per-entry setup and the checksum verdict the driver and `tvsfx test`
// share, and the checksum's coverage: exactly the bytes the output accepted.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "archive/checksum.h"
#include "pack/block_writer.h"
#include "unpack/decoder_harness.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"
#include "unpack/packed_stream.h"

namespace {

using fixtures::Bytes;
using fixtures::Decoder;
using fixtures::PackedStream;

TEST(EntrySetup, SetsThePerEntryFieldsFromTheHeader) {
  struct StartCase {
    ArchiveVariant variant;
    uint32_t startingChecksum;
  };
  for (const StartCase& c : {StartCase{VariantNew, 0xFFFFFFFFu}, StartCase{VariantOld, 0u},
                             StartCase{VariantNone, 0xFFFFFFFFu}}) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    FILE* archive = std::tmpfile();
    FILE* output = std::tmpfile();
    context->archiveVariant = c.variant;
    context->archiveStream = archive;
    context->entryHeader.compressedSize = 421;
    context->entryHeader.uncompressedSize = 0x80000001u;
    beginEntry(context, output, 1);
    EXPECT_EQ(context->runningChecksum, c.startingChecksum) << c.variant;
    EXPECT_EQ(context->skipEntry, 1);
    EXPECT_EQ(context->packedLeft, 421);
    EXPECT_EQ(context->unpackedLeft, static_cast<int32_t>(0x80000001u)) << "signed, as stored";
    EXPECT_EQ(context->inputStream, archive);
    EXPECT_EQ(context->outputStream, output);
    std::fclose(archive);
    std::fclose(output);
  }
}

struct VerdictCase {
  const char* name;
  ArchiveVariant variant;
  uint32_t size;     // bytes of the entry: above 2^20 the output takes several flushes
  int storedChange;  // 0: the right checksum; else XORed into it
  bool matches;
};

TEST(EntryChecksum, ComparedAsTheVariantStoresIt) {
  const VerdictCase cases[] = {
      {"CRC-32, complemented on store", VariantNew, 5000, 0, true},
      {"CRC-32, one bit off", VariantNew, 5000, 1, false},
      {"CRC-32 over several flushes", VariantNew, 3000000, 0, true},
      {"16-bit sum, stored as is", VariantOld, 5000, 0, true},
      {"16-bit sum with high bits set: all 32 bits count", VariantOld, 5000, 0x10000, false},
      {"16-bit sum over several flushes", VariantOld, 3000000, 0, true},
  };
  for (const VerdictCase& c : cases) {
    Decoder decoder;
    ArchiveContext* context = decoder.context();
    context->archiveVariant = c.variant;
    PackedStream stream;
    stream.tables().literals({'t', 'v', 's', 'f', 'x', '!'});
    stream.match(258, 6);  // then the same match again until the entry is full
    for (uint32_t made = 6 + 258; made < c.size; made += 258) stream.repeatLast();
    const Bytes out = decoder.decode(stream.bytes(), c.size);
    ASSERT_GE(out.size(), c.size) << c.name;
    const uint32_t right = c.variant == VariantOld
                               ? oldChecksumUpdate(0, out.data(), static_cast<uint32_t>(out.size()))
                               : tvpack::crc32Of(out.data(), out.size());
    context->entryHeader.dataChecksum = right ^ static_cast<uint32_t>(c.storedChange);
    EXPECT_EQ(entryChecksumMatches(context), c.matches) << c.name;
  }
}

TEST(EntryChecksum, CoversOnlyTheBytesTheOutputAccepted) {
  // An output opened for reading takes nothing: the checksum stays at its
  // start and the verdict is a mismatch, as with a full disk.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "tv-unpack-readonly.bin";
  {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    std::fclose(file);
  }
  std::FILE* readOnly = std::fopen(path.string().c_str(), "rb");
  ASSERT_NE(readOnly, nullptr);
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  PackedStream stream;
  stream.tables().literals({'a', 'b', 'c'});
  decoder.decodeTo(readOnly, stream.bytes(), 3);
  EXPECT_EQ(context->runningChecksum, 0xFFFFFFFFu);
  context->entryHeader.dataChecksum = tvpack::crc32Of("abc", 3);
  EXPECT_FALSE(entryChecksumMatches(context));
  std::fclose(readOnly);
  std::filesystem::remove(path);
}

TEST(EntryChecksum, SkippedEntryLeavesTheChecksumAlone) {
  Decoder decoder;
  ArchiveContext* context = decoder.context();
  std::FILE* output = std::tmpfile();
  context->outputStream = output;
  context->skipEntry = 1;
  context->runningChecksum = 0x12345678u;
  const uint8_t bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(writeOutput(context, bytes, 4), 4);
  EXPECT_EQ(context->runningChecksum, 0x12345678u);
  context->skipEntry = 0;
  EXPECT_EQ(writeOutput(context, bytes, 4), 4);
  EXPECT_NE(context->runningChecksum, 0x12345678u);
  context->outputStream = nullptr;
  context->runningChecksum = 0x12345678u;
  EXPECT_EQ(writeOutput(context, bytes, 4), 0) << "no output stream writes nothing";
  EXPECT_EQ(context->runningChecksum, 0x12345678u);
  std::fclose(output);
}

}  // namespace
