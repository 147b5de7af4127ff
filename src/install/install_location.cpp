// The proposal is built in the caller's 260-byte buffer: the recorded value
// when it reads back as a non-empty string, otherwise the parent of the
// Windows directory plus "Programme" when that name exists there (German
// systems), else "Program Files", plus "Tarnivole".
#include "install/install_location.h"

#include <cstring>

#include "archive/archive_format.h"
#include "install/path_ops.h"
#include "platform/platform.h"

namespace {

constexpr const char* RecordKey = "Software\\Tarnivole";
constexpr const char* RecordValue = "Dir";
constexpr const char* GermanProgramsFolder = "Programme";
constexpr const char* ProgramsFolder = "Program Files";
constexpr const char* ProductFolder = "Tarnivole";

// Reads the recorded directory as a string. A value stored without its NUL
// (written by something else) is ended after its bytes when there is room,
// refused when it fills the whole buffer.
bool readRecordedDir(char* buffer) {
  const int32_t length = platformReadUserValue(RecordKey, RecordValue, buffer, PathBufferSize);
  if (length <= 0) return false;
  if (buffer[length - 1] != '\0') {
    if (length >= PathBufferSize) return false;
    buffer[length] = '\0';
  }
  return buffer[0] != '\0';
}

// Longest text the proposal adds to the parent of the Windows directory:
// "Program Files" (13), a backslash and "Tarnivole" (9).
constexpr size_t LongestSuffix = 13 + 1 + 9;

}  // namespace

void defaultInstallDir(char* buffer) {
  buffer[0] = '\0';
  if (readRecordedDir(buffer)) return;

  buffer[0] = '\0';
  platformWindowsDirectory(buffer, PathBufferSize);
  cutLastComponent(buffer);
  addTrailingSlash(buffer);
  // A parent so deep that the proposal would not fit counts as an unknown
  // Windows directory: the proposal becomes relative instead of running past
  // the buffer.
  if (strlen(buffer) + LongestSuffix >= PathBufferSize) buffer[0] = '\0';
  const size_t folderStart = strlen(buffer);
  strcat(buffer, GermanProgramsFolder);
  if (fileExists(buffer) != 0) strcpy(buffer + folderStart, ProgramsFolder);
  addTrailingSlash(buffer);
  strcat(buffer, ProductFolder);
}

void recordInstallDir(const char* path) {
  platformWriteUserValue(RecordKey, RecordValue, path);
}
