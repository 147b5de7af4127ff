// The block walk: where it stops, what it leaves in the context and the
// stream, every way it ends, and the name and attribute rules of an entry.
#include "archive/block_walk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_file.h"
#include "archive/archive_fixtures.h"
#include "archive/archive_search.h"
#include "archive/entry_walk.h"

namespace {

using tvpack::Bytes;

constexpr uint32_t DriverWalk = StopAtSubBlock | 0x74;
// The carried archive's start: its first entry at 20, the next block at 484.
constexpr int32_t FirstEntry = 20;
constexpr int32_t SecondBlock = 484;

Bytes archiveHeaderOnly() {
  Bytes out;
  tvpack::appendMarker(out);
  tvpack::appendArchiveHeader(out, fixtures::carriedArchiveHeader());
  return out;
}

tvpack::EntryHeaderFields entryNamed(const std::string& name, uint32_t packedSize = 10) {
  tvpack::EntryHeaderFields entry = fixtures::carriedFirstEntry();
  entry.name = name;
  entry.compressedSize = packedSize;
  return entry;
}

void appendEntry(Bytes& out, const tvpack::EntryHeaderFields& entry) {
  tvpack::appendEntryHeader(out, entry);
  tvpack::appendBytes(out, fixtures::packedFiller(entry.compressedSize));
}

// A sub-block of 35 header bytes and 50 data bytes.
void appendSubBlock(Bytes& out) {
  tvpack::BlockFields block;
  block.blockType = 0x77;
  block.blockFlags = 0x8000;
  block.addedSize = 50;
  block.body = Bytes(24, 0x33);
  tvpack::appendBlock(out, block);
  tvpack::appendBytes(out, fixtures::packedFiller(50));
}

// Opens the image and places the stream on the first block after the archive header.
void openAtFirstBlock(ArchiveFile& file) {
  ASSERT_NE(openArchive(file.context()), KindNotFound);
  skipArchiveHeaderRest(file.context());
}

// Walks over the first entry, as the driver does, to the block after it.
void passFirstEntry(ArchiveFile& file) {
  openAtFirstBlock(file);
  ASSERT_EQ(walkToBlock(file.context(), DriverWalk), 43);
  file.seek(file.context()->nextBlockPosition);
}

TEST(BlockWalk, StopsAtASubBlockOnlyWithTheOption) {
  Bytes image = fixtures::carriedArchiveStart();
  appendSubBlock(image);
  const int32_t afterSubBlock = SecondBlock + 35 + 50;
  appendEntry(image, entryNamed("NEXT.TXT"));

  {
    SCOPED_TRACE("with the option");
    ArchiveFile file(image);
    passFirstEntry(file);
    ArchiveContext* context = file.context();
    EXPECT_EQ(walkToBlock(context, DriverWalk), 32);
    EXPECT_EQ(context->stopBlockType, 0x77);
    EXPECT_EQ(context->blockPosition, SecondBlock);
    EXPECT_EQ(context->nextBlockPosition, afterSubBlock);
    EXPECT_EQ(file.position(), SecondBlock);
    // The previous entry's fields are back.
    EXPECT_EQ(context->entryHeader.blockType, 0x74);
    EXPECT_EQ(context->entryHeader.compressedSize, 421u);
    EXPECT_EQ(context->entryHeader.headerLength, 43);
    EXPECT_STREQ(context->fileName, "FILE_ID.DIZ");

    file.seek(context->nextBlockPosition);
    EXPECT_EQ(walkToBlock(context, DriverWalk), 32 + 8);
    EXPECT_STREQ(context->fileName, "NEXT.TXT");
    EXPECT_EQ(context->blockPosition, afterSubBlock);
  }
  {
    SCOPED_TRACE("without the option");
    ArchiveFile file(image);
    passFirstEntry(file);
    ArchiveContext* context = file.context();
    EXPECT_EQ(walkToBlock(context, 0x74), 32 + 8);
    EXPECT_EQ(context->stopBlockType, 0x74);
    EXPECT_STREQ(context->fileName, "NEXT.TXT");
    EXPECT_EQ(context->blockPosition, afterSubBlock);
  }
}

TEST(BlockWalk, StopCountIsWhatTheFileHoldsOfAShortLastBlock) {
  Bytes image = fixtures::carriedArchiveStart();
  tvpack::BlockFields block;
  block.blockType = 0x77;
  block.body = {1, 2, 3, 4};  // 11 header bytes, then the end of the file
  tvpack::appendBlock(image, block);
  ArchiveFile file(image);
  passFirstEntry(file);
  EXPECT_EQ(walkToBlock(file.context(), DriverWalk), 11);
  EXPECT_EQ(file.context()->stopBlockType, 0x77);
  EXPECT_EQ(file.context()->nextBlockPosition, SecondBlock + 11);
  EXPECT_EQ(file.position(), SecondBlock);
}

TEST(BlockWalk, WantedZeroStopsAtAnyBlockAndLeavesItUnread) {
  Bytes image = fixtures::carriedArchiveStart();
  appendSubBlock(image);
  ArchiveFile file(image);
  openAtFirstBlock(file);
  ArchiveContext* context = file.context();

  // At an entry header: the fixed part is read, the name is not.
  EXPECT_EQ(walkToBlock(context, 0), 32);
  EXPECT_EQ(context->stopBlockType, 0x74);
  EXPECT_EQ(context->nextBlockPosition, SecondBlock);
  EXPECT_EQ(context->entryHeader.blockType, 0);  // the zero-filled fields are back
  EXPECT_EQ(context->entryHeader.compressedSize, 0u);
  EXPECT_STREQ(context->fileName, "");
  EXPECT_EQ(file.position(), FirstEntry);

  // At a sub-block, without the option.
  file.seek(SecondBlock);
  EXPECT_EQ(walkToBlock(context, 0), 32);
  EXPECT_EQ(context->stopBlockType, 0x77);
  EXPECT_EQ(file.position(), SecondBlock);
}

TEST(BlockWalk, WantedEntryPassesOverEveryOtherBlock) {
  Bytes image = fixtures::carriedArchiveStart();
  tvpack::BlockFields unknown;
  unknown.blockType = 0x7A;
  unknown.blockFlags = 0x8000;
  unknown.addedSize = 7;
  tvpack::appendBlock(image, unknown);
  tvpack::appendBytes(image, fixtures::packedFiller(7));
  appendSubBlock(image);
  tvpack::BlockFields authenticity;
  authenticity.blockType = 0x76;
  authenticity.blockFlags = 0x4000;
  authenticity.body = Bytes(94 - 7, 0xFF);  // would read as a huge added size
  tvpack::appendBlock(image, authenticity);
  const int32_t entryAt = static_cast<int32_t>(image.size());
  appendEntry(image, entryNamed("LAST.BIN"));

  ArchiveFile file(image);
  passFirstEntry(file);
  EXPECT_EQ(walkToBlock(file.context(), 0x74), 32 + 8);
  EXPECT_EQ(file.context()->blockPosition, entryAt);
  EXPECT_EQ(entryAt, SecondBlock + 11 + 7 + 35 + 50 + 94);
  EXPECT_STREQ(file.context()->fileName, "LAST.BIN");
}

struct EndCase {
  const char* what;
  Bytes block;       // what follows the first entry
  bool fieldsKept;   // the previous entry's fields are back after the end
  int32_t position;  // where the stream then stands
};

tvpack::EntryHeaderFields entryAfterFirst(uint32_t packedSize) {
  tvpack::EntryHeaderFields entry = entryNamed("BAD", packedSize);
  entry.headerLength = 35;
  return entry;
}

Bytes prefixOf(const Bytes& bytes, size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + count);
}

Bytes blockOf(const tvpack::EntryHeaderFields& entry) {
  Bytes out;
  tvpack::appendEntryHeader(out, entry);
  return out;
}

TEST(BlockWalk, EndsWithZeroOnEveryBlockItCannotWalkPast) {
  tvpack::EntryHeaderFields length5 = entryNamed("BAD");
  length5.headerLength = 5;
  tvpack::EntryHeaderFields length0 = entryNamed("BAD");
  length0.headerLength = 0;
  const EndCase cases[] = {
      {"end of the file", {}, true, SecondBlock},
      {"common header cut off after 6 bytes", prefixOf(blockOf(entryNamed("X")), 6), true,
       SecondBlock},
      {"header length 5", blockOf(length5), false, SecondBlock + 32},
      {"header length 0", blockOf(length0), false, SecondBlock + 32},
      // 484 + 35 + 0x7FFFFFFF passes 2^31 - 1 and wraps below 0.
      {"added size wraps the position", blockOf(entryAfterFirst(0x7FFFFFFF)), false,
       SecondBlock + 32},
      // An added size of -35 brings the walk back to the block itself.
      {"next position equals the block's", blockOf(entryAfterFirst(0xFFFFFFDD)), false,
       SecondBlock + 32},
      {"next position before the block's", blockOf(entryAfterFirst(0xFFFFFF00)), false,
       SecondBlock + 32},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.what);
    ArchiveFile file(fixtures::concat(fixtures::carriedArchiveStart(), c.block));
    passFirstEntry(file);
    ArchiveContext* context = file.context();
    EXPECT_EQ(walkToBlock(context, DriverWalk), 0);
    EXPECT_EQ(context->blockPosition, SecondBlock);
    EXPECT_EQ(file.position(), c.position);
    if (c.fieldsKept) {
      EXPECT_EQ(context->entryHeader.compressedSize, 421u);
    } else {
      // The walk stopped on the bad header itself: its fields as decoded, the
      // stop type as the last stop left it.
      EXPECT_EQ(context->entryHeader.nameLength, 3);
      EXPECT_EQ(context->stopBlockType, 0x74);
    }
    EXPECT_STREQ(context->fileName, "FILE_ID.DIZ");
  }
}

TEST(BlockWalk, JumpBeyondTheEndOfTheFileEndsAtTheNextRead) {
  Bytes image = fixtures::carriedArchiveStart();
  tvpack::BlockFields farJump;
  farJump.blockType = 0x7A;
  farJump.blockFlags = 0x8000;
  farJump.addedSize = 0x7FFF0000;
  tvpack::appendBlock(image, farJump);
  ArchiveFile file(image);
  passFirstEntry(file);
  EXPECT_EQ(walkToBlock(file.context(), DriverWalk), 0);
  EXPECT_EQ(file.context()->blockPosition, SecondBlock + 11 + 0x7FFF0000);
}

TEST(BlockWalk, AddedSizeCountsOnlyWithFlagBit15) {
  Bytes image = archiveHeaderOnly();
  tvpack::EntryHeaderFields entry = entryNamed("NOSIZE", 1000);
  entry.blockFlags = 0x0040;
  tvpack::appendEntryHeader(image, entry);
  appendEntry(image, entryNamed("AFTER"));
  ArchiveFile file(image);
  openAtFirstBlock(file);
  ArchiveContext* context = file.context();
  ASSERT_EQ(walkToBlock(context, DriverWalk), 32 + 6);
  EXPECT_EQ(context->entryHeader.compressedSize, 1000u);
  EXPECT_EQ(context->nextBlockPosition, FirstEntry + 38);
  file.seek(context->nextBlockPosition);
  ASSERT_EQ(walkToBlock(context, DriverWalk), 32 + 5);
  EXPECT_STREQ(context->fileName, "AFTER");
}

TEST(BlockWalk, LongNameKeepsItsFirst259BytesAndTheStoredHeaderLength) {
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += static_cast<char>('a' + i % 26);
  Bytes image = archiveHeaderOnly();
  appendEntry(image, entryNamed(longName, 77));
  appendEntry(image, entryNamed("AFTER"));
  ArchiveFile file(image);
  openAtFirstBlock(file);
  ArchiveContext* context = file.context();

  ASSERT_EQ(walkToBlock(context, DriverWalk), 32 + 259);
  EXPECT_EQ(context->entryHeader.nameLength, 259);
  EXPECT_EQ(context->entryHeader.headerLength, 332);
  EXPECT_EQ(std::string(context->fileName), longName.substr(0, 259));
  EXPECT_EQ(context->nextBlockPosition, FirstEntry + 332 + 77);
  file.seek(context->nextBlockPosition);
  ASSERT_EQ(walkToBlock(context, DriverWalk), 32 + 5);
  EXPECT_STREQ(context->fileName, "AFTER");
}

TEST(BlockWalk, PackedDataFollowsHeaderBytesAfterTheName) {
  Bytes image = archiveHeaderOnly();
  tvpack::EntryHeaderFields entry = entryNamed("EXTRA.DAT", 20);
  entry.extra = {9, 8, 7, 6, 5};
  appendEntry(image, entry);
  ArchiveFile file(image);
  openAtFirstBlock(file);
  ArchiveContext* context = file.context();
  ASSERT_EQ(walkToBlock(context, DriverWalk), 32 + 9);
  EXPECT_EQ(file.position(), FirstEntry + 32 + 9);  // directly after the name
  EXPECT_EQ(context->nextBlockPosition - static_cast<int32_t>(context->entryHeader.compressedSize),
            FirstEntry + 32 + 9 + 5);
}

TEST(BlockWalk, EntryCutOffByTheEndOfTheFileKeepsWhatIsThere) {
  Bytes whole = archiveHeaderOnly();
  appendEntry(whole, entryNamed("NAME.TXT"));
  {
    SCOPED_TRACE("name cut after 4 bytes");
    ArchiveFile file(prefixOf(whole, FirstEntry + 32 + 4));
    openAtFirstBlock(file);
    EXPECT_EQ(walkToBlock(file.context(), DriverWalk), 32 + 4);
    EXPECT_EQ(file.context()->entryHeader.nameLength, 4);
    EXPECT_STREQ(file.context()->fileName, "NAME");
  }
  {
    SCOPED_TRACE("fixed part cut after 20 bytes");
    ArchiveFile file(prefixOf(whole, FirstEntry + 20));
    openAtFirstBlock(file);
    EXPECT_EQ(walkToBlock(file.context(), DriverWalk), 20);
    EXPECT_EQ(file.context()->entryHeader.compressedSize, 10u);
    EXPECT_EQ(file.context()->entryHeader.dosDateTime, 0u);  // not delivered: zero
    EXPECT_EQ(file.context()->entryHeader.nameLength, 0);
    EXPECT_STREQ(file.context()->fileName, "");
  }
}

struct HostCase {
  uint8_t host;
  uint16_t flags;
  uint32_t stored;
  uint32_t expected;
};

TEST(BlockWalk, AttributesFollowTheHostRule) {
  const HostCase cases[] = {
      {3, 0x80E0, 0x41ED, 0x10},  // Unix directory
      {3, 0x8040, 0x81A4, 0x20},  // Unix file
      {4, 0x8050, 0x0000, 0x20},  // other host, solid file
      {255, 0x80F0, 0x1234, 0x10},
      {2, 0x80E0, 0x0001, 0x0001},  // Windows keeps its stored attributes
      {1, 0x8040, 0x0027, 0x0027},
      {0, 0x80E0, 0x0010, 0x0010},
  };
  Bytes image = archiveHeaderOnly();
  for (const HostCase& c : cases) {
    tvpack::EntryHeaderFields entry = entryNamed("F");
    entry.hostSystem = c.host;
    entry.blockFlags = c.flags;
    entry.attributes = c.stored;
    appendEntry(image, entry);
  }
  ArchiveFile file(image);
  openAtFirstBlock(file);
  for (const HostCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "host " << int{c.host} << " flags " << std::hex << c.flags);
    ASSERT_GT(walkToBlock(file.context(), DriverWalk), 0);
    EXPECT_EQ(file.context()->entryHeader.attributes, c.expected);
    file.seek(file.context()->nextBlockPosition);
  }
}

TEST(BlockWalk, SlashesInNamesBecomeBackslashes) {
  const std::pair<std::string, std::string> cases[] = {
      {"DOCS/README.TXT", "DOCS\\README.TXT"},
      {"a/b\\c/d", "a\\b\\c\\d"},
      {"/lead/", "\\lead\\"},
      {"PLAIN.TXT", "PLAIN.TXT"},
      {"DIR\\FILE", "DIR\\FILE"},
  };
  Bytes image = archiveHeaderOnly();
  for (const auto& [stored, expected] : cases) appendEntry(image, entryNamed(stored));
  ArchiveFile file(image);
  openAtFirstBlock(file);
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE(stored);
    ASSERT_GT(walkToBlock(file.context(), DriverWalk), 0);
    EXPECT_EQ(std::string(file.context()->fileName), expected);
    file.seek(file.context()->nextBlockPosition);
  }
}

TEST(EntryWalk, VisitsEveryEntryAsTheDriverDoes) {
  ArchiveFile file(fixtures::mixedArchive());
  openAtFirstBlock(file);
  ArchiveContext* context = file.context();
  std::vector<std::string> names;
  while (walkToNextEntry(context) > 0) {
    EXPECT_EQ(context->stopBlockType, 0x74);
    names.push_back(context->fileName);
    file.seek(context->nextBlockPosition);
  }
  const std::vector<std::string> expected = {"FILE_ID.DIZ", "DOCS\\README.TXT", "bin",
                                             "bin\\caf\xE9\x01\"q\\.exe"};
  EXPECT_EQ(names, expected);
}

}  // namespace
