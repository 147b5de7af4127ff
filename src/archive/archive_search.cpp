// Archive search. A file that starts with the marker is taken as it is; any
// other file is searched once, through one buffer, for the first position that
// starts a RAR 1.5-2.0 archive (the marker followed by an archive header) or a
// RAR 1.4 self-extractor's archive ("RE~^" in a file whose executable header
// carries "RSFX").
#include "archive/archive_search.h"

#include <cstring>

#include "archive/archive_context.h"
#include "archive/block_walk.h"
#include "archive/stream_ops.h"

namespace {

// The marker must start at offset 131,053 at the latest, so that it and the
// archive header's first three bytes lie within the first 131,063 bytes. The
// search reads from offset 7 up to that bound: 131,063 - 7 = 131,056 bytes.
constexpr int32_t SearchReadSize = 0x1FFF0;
// The tests look up to 9 bytes beyond a candidate; 16 zero bytes after the
// bytes read keep every look inside the buffer, and show zeros past the data.
constexpr uint32_t SearchBufferSize = SearchReadSize + 16;

// The older self-extractor carries this signature at file offsets 28 to 31.
constexpr uint8_t OldSignature[4] = {'R', 'S', 'F', 'X'};
constexpr int32_t OldSignatureOffset = 28;
// In a new-variant candidate, the archive header's block type follows the
// 7-byte marker and the header's checksum: at distance 7 + 2 = 9.
constexpr int32_t ArchiveTypeDistance = MarkerSize + 2;

bool isVolume(const ArchiveContext* context) {
  return (context->archiveHeader.blockFlags & ArchiveVolumeFlag) != 0;
}

// Looks through the count bytes read into buffer (file offset base + index) for
// the first candidate that passes a test, and reads its archive header.
ArchiveKind searchBuffer(ArchiveContext* context, const uint8_t* buffer, int32_t base,
                         int32_t count) {
  // base is 7 (the marker's bytes were read), which puts the signature at index 21.
  const int32_t signatureIndex = OldSignatureOffset - base;
  const bool carriesOldSignature =
      signatureIndex >= 0 &&
      std::memcmp(buffer + signatureIndex, OldSignature, sizeof OldSignature) == 0;
  const uint8_t* end = buffer + count;
  for (const uint8_t* p = buffer; p < end; ++p) {
    p = static_cast<const uint8_t*>(std::memchr(p, MarkerBytes[0], end - p));
    if (p == nullptr) break;
    if (carriesOldSignature && std::memcmp(p, OldMarkerBytes, sizeof OldMarkerBytes) == 0) {
      context->archiveVariant = VariantOld;
      seekStream(context->archiveStream, base + static_cast<int32_t>(p - buffer), SeekFromStart);
      loadHeader(context, BlockArchiveHeader);
      return KindSelfExtracting;
    }
    if (std::memcmp(p, MarkerBytes, MarkerSize) == 0 &&
        p[ArchiveTypeDistance] == BlockArchiveHeader) {
      context->archiveVariant = VariantNew;
      seekStream(context->archiveStream, base + static_cast<int32_t>(p - buffer), SeekFromStart);
      readBytes(context->archiveStream, context->marker, MarkerSize);
      loadHeader(context, BlockArchiveHeader);
      return isVolume(context) ? KindVolume : KindSelfExtracting;
    }
  }
  return KindNotFound;
}

}  // namespace

ArchiveKind openArchive(ArchiveContext* context) {
  context->archiveVariant = VariantNone;
  if (readBytes(context->archiveStream, context->marker, MarkerSize) < MarkerSize) {
    return KindNotFound;
  }

  ArchiveKind kind;
  if (std::memcmp(context->marker, MarkerBytes, MarkerSize) == 0) {
    context->archiveVariant = VariantNew;
    if (loadHeader(context, BlockArchiveHeader) < ArchiveHeaderSize) return KindNotFound;
    kind = isVolume(context) ? KindVolume : KindPlain;
  } else {
    uint8_t* buffer = static_cast<uint8_t*>(allocZeroed(SearchBufferSize));
    if (buffer == nullptr) return KindNotFound;
    const int32_t base = streamPosition(context->archiveStream);
    const int32_t count = readBytes(context->archiveStream, buffer, SearchReadSize);
    kind = searchBuffer(context, buffer, base, count);
    freeAndClear(buffer);
    if (kind == KindNotFound) return KindNotFound;
  }
  context->archiveHeaderBytesRead = ArchiveHeaderSize;
  return kind;
}

int32_t markerOffset(ArchiveContext* context) {
  // The new variant's stream stands after the marker and the header's fixed
  // part; the older variant's header starts at the marker's first byte.
  const int32_t markerBytes = context->archiveVariant == VariantOld ? 0 : MarkerSize;
  return streamPosition(context->archiveStream) - markerBytes - context->archiveHeaderBytesRead;
}
