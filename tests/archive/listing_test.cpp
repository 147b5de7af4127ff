// What `tvsfx list` prints for an archive behind a setup image that holds a
// sub-block, a Unix directory, header bytes after a name and a name with
// quotes, a backslash, a control byte and a byte outside ASCII.
#include "listing.h"

#include <gtest/gtest.h>

#include <string>

#include "archive/archive_file.h"
#include "archive/archive_fixtures.h"
#include "opened_archive.h"

namespace {

Listing listingOf(const tvpack::Bytes& image) {
  ArchiveFile file(image);
  OpenedArchive archive;
  std::string error;
  EXPECT_TRUE(archive.open(file.path().c_str(), error)) << error;
  return readListing(archive);
}

tvpack::Bytes mixedSetup() {
  return fixtures::concat(fixtures::leadingData(fixtures::CarriedMarkerOffset),
                          fixtures::mixedArchive());
}

TEST(Listing, JsonHoldsEveryFieldWithNamesEscaped) {
  // Positions: the first entry right after the archive header (51,200 + 20),
  // the second after its 43 + 421 bytes, the sub-block (35 + 50 bytes) passed
  // over, the directory after the second entry's 47 + 300 bytes.
  const std::string expected =
      "{\"kind\": \"self-extracting\", \"variant\": \"new\", \"markerOffset\": 51200, "
      "\"archiveFlags\": 40, \"entries\": [\n"
      "  {\"name\": \"FILE_ID.DIZ\", \"packedSize\": 421, \"unpackedSize\": 645, \"hostSystem\": "
      "2, "
      "\"dataChecksum\": 3092451208, \"dosDateTime\": 628142178, \"versionNeeded\": 20, "
      "\"packingMethod\": 53, \"attributes\": 32, \"blockFlags\": 32832, \"blockPosition\": "
      "51220},\n"
      "  {\"name\": \"DOCS\\\\README.TXT\", \"packedSize\": 300, \"unpackedSize\": 1000, "
      "\"hostSystem\": 2, \"dataChecksum\": 16909060, \"dosDateTime\": 709042339, "
      "\"versionNeeded\": 20, \"packingMethod\": 53, \"attributes\": 33, \"blockFlags\": 32848, "
      "\"blockPosition\": 51684},\n"
      "  {\"name\": \"bin\", \"packedSize\": 0, \"unpackedSize\": 0, \"hostSystem\": 3, "
      "\"dataChecksum\": 0, \"dosDateTime\": 709042339, \"versionNeeded\": 20, "
      "\"packingMethod\": 53, \"attributes\": 16, \"blockFlags\": 33008, \"blockPosition\": "
      "52116},\n"
      "  {\"name\": \"bin\\\\caf\\u00e9\\u0001\\\"q\\\\.exe\", \"packedSize\": 4000, "
      "\"unpackedSize\": 4096, \"hostSystem\": 0, \"dataChecksum\": 4294967295, "
      "\"dosDateTime\": 4288659325, \"versionNeeded\": 20, \"packingMethod\": 53, "
      "\"attributes\": 39, \"blockFlags\": 32848, \"blockPosition\": 52151}\n"
      "]}\n";
  EXPECT_EQ(formatListingJson(listingOf(mixedSetup())), expected);
}

TEST(Listing, TextShowsOneAlignedRowPerEntry) {
  const std::string expected =
      "self-extracting archive, new variant, marker at offset 51200\n"
      "FILE_ID.DIZ              645         421   65%  1998-11-16 22:03:04  .....A  B8530F88  -\n"
      "DOCS\\README.TXT         1000         300   30%  2001-02-03 04:05:06  R....A  01020304  "
      "solid\n"
      "bin                        0           0     -  2001-02-03 04:05:06  ....D.  00000000  "
      "solid,dir\n"
      "bin\\caf\xE9?\"q\\.exe        4096        4000   98%  2107-12-31 23:59:58  RHS..A  FFFFFFFF "
      " solid\n";
  EXPECT_EQ(formatListingText(listingOf(mixedSetup())), expected);
}

TEST(Listing, HeaderNamesEachKindAndVariant) {
  const std::pair<tvpack::Bytes, std::string> cases[] = {
      {fixtures::carriedArchiveStart(), "plain archive, new variant, marker at offset 0\n"},
      {fixtures::carriedArchiveStart(0x0029), "volume archive, new variant, marker at offset 0\n"},
      {fixtures::oldVariantArchive(),
       "self-extracting archive, old variant, marker at offset 4096\n"},
  };
  for (const auto& [image, header] : cases) {
    const std::string text = formatListingText(listingOf(image));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), header);
  }
}

TEST(Listing, OpenFailsWithOneLineForAMissingFileOrNoArchive) {
  ArchiveFile noArchive(fixtures::leadingData(4000));
  OpenedArchive archive;
  std::string error;
  EXPECT_FALSE(archive.open(noArchive.path().c_str(), error));
  EXPECT_EQ(error, "no archive in " + noArchive.path());

  const std::string missing = noArchive.path() + ".missing";
  OpenedArchive other;
  EXPECT_FALSE(other.open(missing.c_str(), error));
  EXPECT_EQ(error, "cannot open " + missing);
}

}  // namespace
