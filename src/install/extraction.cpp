// The extraction run. The carried archive is solid, so every entry that
// carries data is decoded in archive order, also when its file is not
// written; the window and the unpacker's tables run on from entry to entry.
// The run owns the context, the window, the archive stream and each output
// stream, and releases every one of them on every way out.
#include "install/extraction.h"

#include <cstring>

#include "archive/archive_search.h"
#include "archive/block_walk.h"
#include "archive/checksum.h"
#include "archive/stream_ops.h"
#include "install/entry_name.h"
#include "install/path_ops.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"

namespace {

constexpr const char* CannotInstallFile = "Cannot install file.";
// The settings file is kept when the user already has one: exact name, with
// no directory part, case counting.
constexpr const char* SettingsFileName = "TARNZIP.SET";
// targetDir may hold 260 characters with its backslash and fileName 259: the
// output name is joined in a buffer that takes both, its NUL and the second
// NUL removeFile may write, so that a name too long for a 259-character path
// can still be shown in full before it is refused.
constexpr size_t OutputNameSize = PathBufferSize + MaxNameLength + 2;

// ---- one entry ----

// targetDir followed by fileName; false when the result does not fit the
// system's paths or when the stored name would lead out of the target.
bool joinOutputName(const ArchiveContext* context, char* outputName) {
  const size_t dirLength = strnlen(context->targetDir, PathBufferSize);
  const size_t nameLength = strlen(context->fileName);
  if (dirLength >= PathBufferSize) {
    outputName[0] = '\0';  // a target the caller should never pass: shown as nothing
    return false;
  }
  memcpy(outputName, context->targetDir, dirLength);
  memcpy(outputName + dirLength, context->fileName, nameLength + 1);
  return dirLength + nameLength <= MaxNameLength && entryNameIsSafe(context->fileName);
}

bool isVolumeOrDirectory(const EntryHeader& entry) {
  return (entry.attributes & (AttributeDirectory | AttributeVolumeLabel)) != 0;
}

// Makes the directory the file goes into, parents first. Its result is not
// looked at: a directory that cannot be made shows as a file that cannot be
// created.
void createEntryDirectory(const char* outputName) {
  const uint16_t offset = nameOffset(outputName);
  if (offset <= 1 || outputName[offset - 1] != '\\') return;
  char directory[PathBufferSize];
  memcpy(directory, outputName, offset - 1);
  directory[offset - 1] = '\0';
  createPath(directory);
}

// Removes a file standing at the output name, also a read-only one. A
// directory standing there is left alone (and the entry then cannot be
// created): removing it would take whatever it holds with it.
void clearOutputName(char* outputName) {
  uint32_t attributes;
  if (!platformReadAttributes(outputName, &attributes)) return;
  if ((attributes & AttributeDirectory) == 0) removeFile(nullptr, outputName);
}

// Installs the entry at which the walk stopped; returns the run's result code
// after it.
int installEntry(WindowHandle owner, ArchiveContext* context, int result) {
  const EntryHeader& entry = context->entryHeader;
  seekStream(context->archiveStream,
             context->nextBlockPosition - static_cast<int32_t>(entry.compressedSize),
             SeekFromStart);

  char outputName[OutputNameSize];
  const bool placeable = joinOutputName(context, outputName);
  bool write = !(strcmp(context->fileName, SettingsFileName) == 0 && fileExists(outputName) == 0);
  if (!unpackVersionSupported(entry.versionNeeded)) {
    write = false;
    result = ExtractRefused;
  }
  if (isVolumeOrDirectory(entry)) {
    // Such an entry carries no data; any bytes it claims are not blocks.
    seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
    return result;
  }

  FILE* output = nullptr;
  if (write) {
    if (placeable) {
      createEntryDirectory(outputName);
      clearOutputName(outputName);
      output = openShared(outputName, "w+b", ShareDenyNone);
    }
    if (output == nullptr) {
      platformShowError(owner, CannotInstallFile, outputName);
      result = ExtractRefused;
      write = false;
    }
  }

  beginEntry(context, output, write ? 0 : 1);
  platformShowProgress(owner, context->fileName);
  unpackEntry(context, context->windowBuffer, entry.blockFlags & EntrySolidFlag);
  seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);

  const bool damaged = write && !entryChecksumMatches(context);
  if (damaged) result = ExtractBadChecksum;
  closeStream(output);
  context->outputStream = nullptr;

  if (damaged) {
    platformShowError(owner, CannotInstallFile, context->fileName);
    removeFile(nullptr, outputName);
  } else if (placeable) {
    // Time first: a read-only file can no longer be opened to set it.
    platformSetWriteTime(outputName, entry.dosDateTime);
    platformWriteAttributes(outputName, entry.attributes);
  }
  return result;
}

// Releases what the run holds and passes its result on.
int endRun(ArchiveContext* context, int result) {
  freeAndClear(context->windowBuffer);
  closeStream(context->archiveStream);
  context->archiveStream = nullptr;
  return result;
}

}  // namespace

int extractArchive(WindowHandle owner, const char* archivePath, char* targetDir) {
  ArchiveContext* context = static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)));
  if (context == nullptr) return ExtractRefused;
  context->archivePath = archivePath;
  context->targetDir = targetDir;
  addTrailingSlash(targetDir);
  for (int i = 0; i < AudioTableCount; ++i) context->audioTables[i] = &context->audioTableStore[i];
  buildCrcTable(context);
  const int result = extractEntries(owner, context);
  freeAndClear(context);
  return result;
}

int extractEntries(WindowHandle owner, ArchiveContext* context) {
  context->archiveStream = openShared(context->archivePath, "rb", ShareDenyWrite);
  if (context->archiveStream == nullptr) return ExtractNoArchive;
  if (openArchive(context) == KindNotFound) return endRun(context, ExtractNoArchive);
  context->windowBuffer = static_cast<uint8_t*>(allocZeroed(WindowSize));
  if (context->windowBuffer == nullptr) return endRun(context, ExtractNoWindow);
  // An archive header longer than its fixed part is passed over.
  seekStream(context->archiveStream,
             context->archiveHeader.headerLength - context->archiveHeaderBytesRead,
             SeekFromCurrent);

  context->continuesInNextVolume = 0;
  bool firstEntry = true;
  int result = ExtractDone;
  while (result == ExtractDone) {
    if (walkToBlock(context, StopAtSubBlock | BlockEntry) == 0) {
      // After an entry that goes on in a next volume the archive simply ends
      // here; no next volume is ever opened, so the run has not installed it.
      if (context->continuesInNextVolume != 0) result = ExtractNoArchive;
      break;
    }
    if (context->stopBlockType == BlockSubBlock) {
      seekStream(context->archiveStream, context->nextBlockPosition, SeekFromStart);
      continue;
    }
    if ((context->entryHeader.blockFlags & EntryContinuedFromPrevious) != 0 && firstEntry) {
      return endRun(context, ExtractNoArchive);
    }
    context->continuesInNextVolume = context->entryHeader.blockFlags & EntryContinuesInNext;
    firstEntry = false;
    result = installEntry(owner, context, result);
  }
  return endRun(context, result);
}
