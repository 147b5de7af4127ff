// Where an archive is found and where it is not: the first seven bytes, the
// search after leading data, both markers, and the bounds of the search.
#include "archive/archive_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_file.h"
#include "archive/archive_fixtures.h"

namespace {

using tvpack::Bytes;

Bytes prefixOf(const Bytes& bytes, size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + count);
}

Bytes archiveAt(size_t offset) {
  return fixtures::concat(fixtures::leadingData(offset), fixtures::carriedArchiveStart());
}

// The old signature at offsets 28 to 31 of leading data of the given size.
Bytes signedLeadingData(size_t size) {
  Bytes bytes = fixtures::leadingData(size);
  std::memcpy(bytes.data() + 28, "RSFX", 4);
  return bytes;
}

const Bytes OldMarker = {'R', 'E', '~', '^'};
// Enough bytes after an old marker for its 13-byte header.
const Bytes OldHeaderRest = {0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Bytes oldArchiveAt(size_t offset) {
  Bytes out = signedLeadingData(offset);
  tvpack::appendBytes(out, OldMarker);
  tvpack::appendBytes(out, OldHeaderRest);
  return out;
}

struct SearchCase {
  std::string what;
  Bytes image;
  ArchiveKind kind;
  ArchiveVariant variant;
  int32_t marker;  // where a found archive's marker starts
};

void expectSearch(const SearchCase& c) {
  SCOPED_TRACE(c.what);
  ArchiveFile file(c.image);
  ArchiveContext* context = file.context();
  EXPECT_EQ(openArchive(context), c.kind);
  EXPECT_EQ(context->archiveVariant, c.variant);
  if (c.kind == KindNotFound) return;
  const int32_t fixedPartEnd = c.variant == VariantOld ? c.marker + 13 : c.marker + 20;
  EXPECT_EQ(file.position(), fixedPartEnd);
  EXPECT_EQ(markerOffset(context), c.marker);
  EXPECT_EQ(context->archiveHeaderBytesRead, 13);
}

TEST(ArchiveSearch, FirstSevenBytesDecideADirectArchive) {
  const Bytes start = fixtures::carriedArchiveStart();
  Bytes otherHeaderType = start;
  otherHeaderType[7 + 2] = 0x7A;
  // The older variant is only ever found by the search, never at offset 0.
  Bytes oldAtStart = OldMarker;
  tvpack::appendBytes(oldAtStart, OldHeaderRest);
  tvpack::appendBytes(oldAtStart, fixtures::leadingData(100));
  std::memcpy(oldAtStart.data() + 28, "RSFX", 4);
  const SearchCase cases[] = {
      {"empty file", {}, KindNotFound, VariantNone, 0},
      {"six bytes of the marker", prefixOf(start, 6), KindNotFound, VariantNone, 0},
      {"marker alone", prefixOf(start, 7), KindNotFound, VariantNew, 0},
      // The marker at offset 0 rules out a search, so nothing else is tried.
      {"marker and 12 header bytes", prefixOf(start, 19), KindNotFound, VariantNew, 0},
      {"marker and the 13-byte header", prefixOf(start, 20), KindPlain, VariantNew, 0},
      {"header of another block type", otherHeaderType, KindPlain, VariantNew, 0},
      {"older marker at offset 0", oldAtStart, KindNotFound, VariantNone, 0},
  };
  for (const SearchCase& c : cases) expectSearch(c);
}

TEST(ArchiveSearch, FindsTheMarkerOnlyFromOffsetSeven) {
  std::vector<SearchCase> cases;
  for (int32_t offset = 1; offset <= 6; ++offset) {
    cases.push_back(
        {"marker at " + std::to_string(offset), archiveAt(offset), KindNotFound, VariantNone, 0});
  }
  cases.push_back({"marker at 7", archiveAt(7), KindSelfExtracting, VariantNew, 7});
  cases.push_back({"marker at 1000", archiveAt(1000), KindSelfExtracting, VariantNew, 1000});
  for (const SearchCase& c : cases) expectSearch(c);
}

TEST(ArchiveSearch, PassesOverCandidatesThatFailTheirTest) {
  // The marker followed by a header whose type byte (distance 9) is not 0x73.
  Bytes wrongType = fixtures::leadingData(40);
  tvpack::appendMarker(wrongType);
  tvpack::appendBytes(wrongType, {0x00, 0x00, 0x74, 0x00, 0x00, 0x0D, 0x00});
  const Bytes wrongTypeThenArchive = fixtures::concat(wrongType, archiveAt(100));
  const int32_t afterWrongType = static_cast<int32_t>(wrongType.size()) + 100;

  // "RE~^" where the file carries no "RSFX" at offsets 28 to 31.
  Bytes unsignedOld = fixtures::leadingData(64);
  tvpack::appendBytes(unsignedOld, OldMarker);
  tvpack::appendBytes(unsignedOld, OldHeaderRest);
  Bytes unsignedOldThenArchive = unsignedOld;
  tvpack::appendBytes(unsignedOldThenArchive, fixtures::carriedArchiveStart());

  const SearchCase cases[] = {
      {"wrong type at distance 9, nothing else", wrongType, KindNotFound, VariantNone, 0},
      {"wrong type at distance 9, archive later", wrongTypeThenArchive, KindSelfExtracting,
       VariantNew, afterWrongType},
      {"RE~^ without RSFX", unsignedOld, KindNotFound, VariantNone, 0},
      {"RE~^ without RSFX, archive later", unsignedOldThenArchive, KindSelfExtracting, VariantNew,
       static_cast<int32_t>(unsignedOld.size())},
  };
  for (const SearchCase& c : cases) expectSearch(c);
}

TEST(ArchiveSearch, OlderVariantIsTheFirstCandidateInFileOrderWhenSigned) {
  const Bytes oldFirst = fixtures::concat(oldArchiveAt(500), fixtures::carriedArchiveStart());
  Bytes newFirst = signedLeadingData(500);
  tvpack::appendBytes(newFirst, fixtures::carriedArchiveStart());
  tvpack::appendBytes(newFirst, OldMarker);
  tvpack::appendBytes(newFirst, OldHeaderRest);
  const SearchCase cases[] = {
      {"old variant alone", oldArchiveAt(500), KindSelfExtracting, VariantOld, 500},
      {"old marker before a new archive", oldFirst, KindSelfExtracting, VariantOld, 500},
      {"new archive before an old marker", newFirst, KindSelfExtracting, VariantNew, 500},
  };
  for (const SearchCase& c : cases) expectSearch(c);
}

TEST(ArchiveSearch, OlderVariantHeaderStartsAtTheMarkersFirstByte) {
  ArchiveFile file(fixtures::oldVariantArchive());
  ArchiveContext* context = file.context();
  ASSERT_EQ(openArchive(context), KindSelfExtracting);
  EXPECT_EQ(context->archiveVariant, VariantOld);
  EXPECT_EQ(context->archiveHeader.headerChecksum, 0x4552);  // "RE"
  EXPECT_EQ(context->archiveHeader.blockType, 0x7E);         // "~"
  EXPECT_EQ(context->archiveHeader.blockFlags, 0x005E);
  EXPECT_EQ(context->archiveHeader.headerLength, 13);
  // The marker field keeps the file's first bytes; only a new-variant find re-reads it.
  EXPECT_EQ(std::memcmp(context->marker, fixtures::leadingData(7).data(), 7), 0);
  EXPECT_EQ(file.position(), 4096 + 13);
}

TEST(ArchiveSearch, LooksNoFurtherThanTheSearchWindow) {
  // The window is file offsets 7 to 131,062: the marker and the header's first
  // three bytes must lie in it, so the new marker starts at 131,053 at the
  // latest and the old one (four bytes) at 131,059.
  const Bytes cutBeforeTypeByte =
      fixtures::concat(fixtures::leadingData(100), prefixOf(fixtures::carriedArchiveStart(), 9));
  const SearchCase cases[] = {
      {"new marker at 131,053", archiveAt(131053), KindSelfExtracting, VariantNew, 131053},
      {"new marker at 131,054", archiveAt(131054), KindNotFound, VariantNone, 0},
      {"old marker at 131,059", oldArchiveAt(131059), KindSelfExtracting, VariantOld, 131059},
      {"old marker at 131,060", oldArchiveAt(131060), KindNotFound, VariantNone, 0},
      {"file ends before the type byte", cutBeforeTypeByte, KindNotFound, VariantNone, 0},
  };
  for (const SearchCase& c : cases) expectSearch(c);
}

TEST(ArchiveSearch, FoundHeaderIsTakenWithWhateverBytesTheFileStillHolds) {
  // The file ends right after the archive header's type byte.
  ArchiveFile file(
      fixtures::concat(fixtures::leadingData(100), prefixOf(fixtures::carriedArchiveStart(), 10)));
  ArchiveContext* context = file.context();
  EXPECT_EQ(openArchive(context), KindSelfExtracting);
  EXPECT_EQ(context->archiveHeader.headerChecksum, 0x4C20);
  EXPECT_EQ(context->archiveHeader.blockType, 0x73);
  EXPECT_EQ(context->archiveHeader.headerLength, 0);  // bytes not delivered read as zero
  EXPECT_EQ(file.position(), 110);
}

}  // namespace
