#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "archive/archive_context.h"
#include "archive/checksum.h"

namespace {

std::unique_ptr<ArchiveContext> contextWithTable() {
  auto context = std::make_unique<ArchiveContext>();
  std::memset(context.get(), 0, sizeof(ArchiveContext));
  buildCrcTable(context.get());
  return context;
}

TEST(CrcTable, HoldsTheReflectedPolynomialEntries) {
  auto context = contextWithTable();
  EXPECT_EQ(context->crcTable[0], 0u);
  EXPECT_EQ(context->crcTable[1], 0x77073096u);
  EXPECT_EQ(context->crcTable[2], 0xEE0E612Cu);
  EXPECT_EQ(context->crcTable[128], 0xEDB88320u);
}

struct CheckValue {
  const char* text;
  uint32_t crc32;     // complemented result from 0xFFFFFFFF
  uint32_t oldSum;    // 16-bit sum from 0
};

TEST(Checksums, GiveTheStandardCheckValues) {
  auto context = contextWithTable();
  const CheckValue cases[] = {
      {"123456789", 0xCBF43926u, 0xC78Au},
      {"abc", 0x352441C2u, 0x0556u},
  };
  for (const CheckValue& c : cases) {
    const uint32_t length = static_cast<uint32_t>(std::strlen(c.text));
    EXPECT_EQ(~crc32Update(context.get(), 0xFFFFFFFFu, c.text, length), c.crc32) << c.text;
    EXPECT_EQ(oldChecksumUpdate(0, c.text, length), c.oldSum) << c.text;
    EXPECT_EQ(updateChecksum(context.get(), 0, c.text, length, VariantOld), c.oldSum) << c.text;
    EXPECT_EQ(~updateChecksum(context.get(), 0xFFFFFFFFu, c.text, length, VariantNew), c.crc32);
    EXPECT_EQ(~updateChecksum(context.get(), 0xFFFFFFFFu, c.text, length, VariantNone), c.crc32);
  }
}

TEST(Checksums, EmptyRangeKeepsTheStartingValue) {
  auto context = contextWithTable();
  EXPECT_EQ(crc32Update(context.get(), 0x12345678u, "", 0), 0x12345678u);
  EXPECT_EQ(updateChecksum(context.get(), 0x12345678u, "", 0, VariantNew), 0x12345678u);
  EXPECT_EQ(oldChecksumUpdate(0x12345678u, "", 0), 0x5678u);
}

TEST(Checksums, OldSumDropsTheHighHalfOfTheStartingValue) {
  auto context = contextWithTable();
  const uint32_t sum = updateChecksum(context.get(), 0xABCD0000u, "abc", 3, VariantOld);
  EXPECT_EQ(sum >> 16, 0u);
  EXPECT_EQ(sum, 0x0556u);
}

}  // namespace
