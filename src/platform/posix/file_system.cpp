// POSIX files and directories with Windows' results. Only the read-only bit of
// the attributes has a counterpart (no write permission); the directory bit is
// read from the file's type, and the other bits cannot be held, so they are
// dropped when written and never reported when read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "archive/archive_format.h"
#include "platform/platform.h"
#include "platform/posix/native_path.h"

namespace {

constexpr mode_t WriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr uint32_t AttributeNormal = 0x80;  // Windows' value for a file without other bits

}  // namespace

DirectoryResult platformCreateDirectory(const char* path) {
  NativePath native;
  if (!toNativePath(path, native)) return DirectoryNotCreated;
  if (mkdir(native.text, 0777) == 0) return DirectoryCreated;
  // An empty path is a missing place too, as for Windows.
  return errno == ENOENT ? DirectoryParentMissing : DirectoryNotCreated;
}

bool platformReadAttributes(const char* path, uint32_t* attributes) {
  NativePath native;
  struct stat status;
  if (!toNativePath(path, native) || stat(native.text, &status) != 0) return false;
  uint32_t bits = 0;
  if (S_ISDIR(status.st_mode)) bits |= AttributeDirectory;
  if ((status.st_mode & S_IWUSR) == 0) bits |= AttributeReadOnly;
  *attributes = bits != 0 ? bits : AttributeNormal;
  return true;
}

bool platformWriteAttributes(const char* path, uint32_t attributes) {
  NativePath native;
  struct stat status;
  if (!toNativePath(path, native) || stat(native.text, &status) != 0) return false;
  mode_t mode = status.st_mode & 07777;
  if ((attributes & AttributeReadOnly) != 0) {
    mode &= ~WriteBits;
  } else {
    mode |= S_IWUSR;
  }
  return mode == (status.st_mode & 07777) || chmod(native.text, mode) == 0;
}

bool platformDeleteFile(WindowHandle /*owner*/, char* path) {
  NativePath native;
  return toNativePath(path, native) && unlink(native.text) == 0;
}

bool platformSetWriteTime(const char* path, uint32_t dosDateTime) {
  NativePath native;
  if (!toNativePath(path, native)) return false;
  // MS-DOS time: bits 0-4 seconds/2, 5-10 minutes, 11-15 hours; date (high
  // half): bits 0-4 day, 5-8 month, 9-15 years since 1980.
  struct tm local = {};
  local.tm_sec = static_cast<int>(dosDateTime & 0x1F) * 2;
  local.tm_min = static_cast<int>(dosDateTime >> 5 & 0x3F);
  local.tm_hour = static_cast<int>(dosDateTime >> 11 & 0x1F);
  local.tm_mday = static_cast<int>(dosDateTime >> 16 & 0x1F);
  local.tm_mon = static_cast<int>(dosDateTime >> 21 & 0x0F) - 1;
  local.tm_year = static_cast<int>(dosDateTime >> 25) + 80;
  local.tm_isdst = -1;  // daylight saving as the C library knows it for that moment
  if (local.tm_sec > 59 || local.tm_min > 59 || local.tm_hour > 23 || local.tm_mday < 1 ||
      local.tm_mon < 0 || local.tm_mon > 11) {
    return false;  // not a moment; Windows refuses it too
  }
  const time_t moment = mktime(&local);
  if (moment == static_cast<time_t>(-1)) return false;

  // Opened for writing like Windows does, so a read-only file keeps its time.
  const int file = open(native.text, O_WRONLY);
  if (file < 0) return false;
  const struct timespec times[2] = {{0, UTIME_OMIT}, {moment, 0}};
  const bool done = futimens(file, times) == 0;
  close(file);
  return done;
}
