// Times and attributes of installed files through the POSIX backend: the
// stored time is local time with the C library's daylight saving rules, and
// the read-only attribute is the absence of every write permission.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include "install/extraction_run.h"

namespace {

using tvpack::appendEntryHeader;
using tvtest::archiveStart;
using tvtest::emptyEntry;
using tvtest::extractImage;
using tvtest::ScratchDir;

// Central European time: UTC+1, UTC+2 from the last Sunday of March to the
// last Sunday of October.
class CentralEuropeanTime : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = getenv("TZ");
    hadZone = zone != nullptr;
    if (hadZone) savedZone = zone;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  void TearDown() override {
    if (hadZone) {
      setenv("TZ", savedZone.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  bool hadZone = false;
  std::string savedZone;
};

struct stat statusOf(const std::filesystem::path& path) {
  struct stat status = {};
  stat(path.c_str(), &status);
  return status;
}

TEST_F(CentralEuropeanTime, WriteTimeIsTheStoredLocalTimeWithDaylightSaving) {
  const struct {
    const char* name;
    uint32_t dosDateTime;
    time_t utc;  // the same moment, worked out by hand
  } cases[] = {
      {"WINTER.TXT", tvpack::dosDateTimeOf(2001, 1, 14, 12, 30, 44), 979471844},  // 11:30:44 UTC
      {"SUMMER.TXT", tvpack::dosDateTimeOf(2001, 7, 14, 12, 30, 44), 995106644},  // 10:30:44 UTC
      {"ODD.TXT", tvpack::dosDateTimeOf(1999, 12, 31, 23, 59, 59), 946681198},    // 58 s stored
  };
  ScratchDir scratch;
  tvpack::Bytes image = archiveStart();
  for (const auto& c : cases) {
    auto entry = emptyEntry(c.name);
    entry.dosDateTime = c.dosDateTime;
    appendEntryHeader(image, entry);
  }
  const time_t before = time(nullptr);
  ASSERT_EQ(extractImage(scratch, image).result, 0);
  for (const auto& c : cases) {
    const struct stat status = statusOf(scratch.path() / "T" / c.name);
    EXPECT_EQ(status.st_mtime, c.utc) << c.name;
    EXPECT_GE(status.st_atime, before) << c.name << ": the access time stays as writing left it";
  }
}

TEST_F(CentralEuropeanTime, StoredTimeThatIsNoMomentLeavesTheWriteTimeAlone) {
  ScratchDir scratch;
  auto entry = emptyEntry("NOMONTH.TXT");
  entry.dosDateTime = tvpack::dosDateTimeOf(2001, 1, 1, 0, 0, 0) & ~(0xFu << 21);  // month 0
  tvpack::Bytes image = archiveStart();
  appendEntryHeader(image, entry);
  const time_t before = time(nullptr);
  ASSERT_EQ(extractImage(scratch, image).result, 0);
  EXPECT_GE(statusOf(scratch.path() / "T" / "NOMONTH.TXT").st_mtime, before);
}

TEST(InstalledAttributes, ReadOnlyClearsEveryWriteBitAndOtherBitsAreDropped) {
  const struct {
    const char* name;
    uint32_t attributes;
    bool writable;
  } cases[] = {
      {"ARCHIVE.TXT", 0x20, true},
      {"READONLY.TXT", 0x01, false},
      {"ALLBITS.TXT", 0x27, false},  // read-only, hidden, system, archive
      {"HIDDEN.TXT", 0x06, true},
  };
  ScratchDir scratch;
  tvpack::Bytes image = archiveStart();
  for (const auto& c : cases) appendEntryHeader(image, emptyEntry(c.name, c.attributes));
  ASSERT_EQ(extractImage(scratch, image).result, 0);
  for (const auto& c : cases) {
    const mode_t mode = statusOf(scratch.path() / "T" / c.name).st_mode;
    EXPECT_TRUE(S_ISREG(mode)) << c.name;
    EXPECT_EQ((mode & S_IWUSR) != 0, c.writable) << c.name;
    if (!c.writable) {
      EXPECT_EQ(mode & (S_IWGRP | S_IWOTH), 0u) << c.name;
    }
  }
}

}  // namespace
